#pragma once

#include "files/SurveyFile.h"

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

// Enters the file into `model`, a new survey of the file's kind: header, Initial draft, Calculate;
// then the Final draft, when the file has one, and Calculate. A refused value stops the entry
// there; a draft that fails a calculation check does not stop the other draft being entered.
SurveyLoadResult load(SurveyModel& model, const SurveyFileData& data, const QString& fileName);

// The survey's inputs as a file. A Final draft is written only when something was entered in it.
SurveyFileData read(const SurveyModel& model);

}  // namespace SurveyFileModel
