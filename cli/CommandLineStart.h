#pragma once

#include <QString>
#include <functional>

// What every start of the program does before it opens the survey database, with or without
// its window: the folder of --data-dir, and on a first start the delivered database written into
// the user's data folder. Each start says in its own words what went wrong and opens the
// database in its own way.
namespace CommandLineStart {

struct Outcome {
    bool go = false;       // false: the start ends here
    QString refusal;       // "--data-dir DIR is no folder", when that ended it
    bool prepared = true;  // false: the delivered database could not be written...
    QString prepareError;  // ...for this reason
};

// Takes DIR of --data-dir (when not empty) as the database's folder; when DIR is no folder the
// start ends with `refusal` and nothing is set or written. `beforeWriting`, when given, runs
// once the folder is set and before anything may be written; when it returns false the start
// ends there (it has told why itself). Then, when the database belongs in the user's data folder
// and is not there yet, the delivered one is written there. A failure to write it does not end
// the start: the open that follows finds no database and says so.
Outcome prepareDataFolder(const QString& dataDir, const std::function<bool()>& beforeWriting = {});

// The passphrase of a protected database for the run (Database.h's setDatabasePassphrase): from
// the file of --passphrase-file when `passphraseFile` is not empty, else from QUORVANE_PASSPHRASE.
// False, with the reason on standard error, when the file is refused.
bool usePassphrase(const QString& passphraseFile);

}  // namespace CommandLineStart
