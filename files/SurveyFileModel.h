#pragma once

#include "files/SurveyFile.h"
#include "model/SurveyMessage.h"

#include <QString>
#include <optional>

class SurveyModel;

// What became of a survey file entered into a survey (a model or a window).
struct SurveyLoadResult {
    enum class Outcome {
        Loaded,         // every value taken and every draft present calculated
        Refused,        // a field refused a value; the entry stopped there
        NotCalculated,  // a draft's calculation stopped at one of its checks
    };
    Outcome outcome = Outcome::Loaded;
    QString field;  // the file's field: "initial.drafts.fwdPort"
    QString value;  // the value refused
    // One sentence naming the file and the field; empty when loaded.
    QString message;
    // What the survey said on the way, in order, as the surveyor typing it would have been told:
    // a refused value, a check that stopped a calculation, an implausible result.
    SurveyMessages told;

    bool loaded() const { return outcome == Outcome::Loaded; }
};

// A survey file and a survey model: the file's figures entered field by field through the same
// rules, roundings and messages as typing them into the survey window, each draft calculated as
// Calculate does; and a survey's inputs written back as a file.
namespace SurveyFileModel {

QString kindCaption(SurveyFileData::Kind kind);  // "Loading" or "Discharging"

// Whether anything was entered in a draft (a Final draft is written only then).
bool hasInputs(const SurveyDraftData& d);

// What the database must know before anything is entered: the ship, the port and the deductible
// items the file names. Returns the sentence that names the file and the field when one is
// missing (or when the database cannot be read); nothing when all are there.
std::optional<QString> checkNames(const SurveyFileData& data, const QString& fileName);

// Which drafts are calculated once entered: a survey reopened as it was left, a draft before its
// Calculate, keeps that draft uncalculated.
struct Calculate {
    bool initial = true;
    bool final = true;
    // The draft checks, by their place in the list; a check not named here is calculated.
    QList<bool> checks;
};

// Enters the file into `model`, a new survey of the file's kind: header, Initial draft, Calculate;
// then the Final draft, when the file has one, and Calculate. A refused value stops the entry
// there; a draft that fails a calculation check does not stop the other draft being entered. The
// rows the file leaves out are first taken from the ship's own table; a draft then left
// uncalculated for want of them is reported as that table's failure, and a database that cannot
// be read ends the entry with a sentence naming the file.
SurveyLoadResult load(SurveyModel& model, const SurveyFileData& data, const QString& fileName,
                      Calculate calc = {});

// The survey's inputs as a file. A Final draft is written only when something was entered in it,
// or when it is the draft on show.
SurveyFileData read(const SurveyModel& model);

}  // namespace SurveyFileModel
