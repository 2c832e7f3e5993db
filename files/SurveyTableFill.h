#pragma once

#include "files/SurveyFile.h"

#include <QString>
#include <optional>

// A survey file may leave out a draft's hydrostatic rows and MCTC figures (hydrostatics,
// mctcPlus50, mctcMinus50) when the ship has a table of her own: they are then taken from it for
// the draft's true mean draft, as the survey window picks them.
namespace SurveyTableFill {

struct Unfilled {
    QString field;    // "final.hydrostatics"
    QString message;  // one sentence naming the file and the field
};

// Fills every draft of `data` that has none of those figures. Returns the first draft the ship's
// table could not fill (its true mean draft lies outside the table, or the table cannot be read).
std::optional<Unfilled> complete(SurveyFileData& data, const QString& fileName);

}  // namespace SurveyTableFill
