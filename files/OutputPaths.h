#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The one rule for every file the program writes (reports, captions, survey files, table
// exports, recovery files): never over the survey database or its journals, of any data folder
// the program knows, never over something that is no plain file (a pipe, a device, a folder), and
// never twice into one file in the same run. A file is written into a temporary file beside it
// and renamed over it only when whole, so a failure leaves the old file as it was.
namespace OutputPaths {

// Why `path` may not take an output, or an empty text when it may. `taken` are the files the
// same run writes other outputs to (a second output in one file would replace the first).
QString refusal(const QString& path, const QStringList& taken = {});

// The first refusal among all the outputs of one run; blank entries are outputs not asked for.
QString firstRefusal(const QStringList& paths);

// DS.dat, DS.lib and their journals in every data folder the program knows: the one in use, the
// user's own (where an installed program keeps it) and the one beside the program.
QStringList databaseFiles();

// Who may read a file written: whoever may read the folder, or its owner alone (a recovery file
// holds a whole survey).
enum class Access { Shared, OwnerOnly };

// One file written whole or not at all. stage() refuses the path or writes the bytes into a
// temporary file in the same folder; commit() puts it in place. A staged file not committed is
// removed, so that two outputs of one run go in together or not at all.
class Output {
public:
    explicit Output(QString path, Access access = Access::Shared);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // False with `error` naming the file and the reason.
    bool stage(const QByteArray& bytes, QString* error, const QStringList& taken = {});
    bool commit(QString* error);
    // Removes the staged file, if any.
    void discard();

private:
    QString m_path; // as given, for messages
    QString m_target; // where the file lands (a linked file's target)
    QString m_temp;
    Access m_access;
};

// stage() and commit() in one.
bool write(const QString& path, const QByteArray& bytes, QString* error, Access access = Access::Shared);

// Tests only: the next writes fail after `bytes` bytes, as a full disk fails them (-1: never).
void setWriteFaultAfter(qint64 bytes);

} // namespace OutputPaths
