#pragma once

#include "core/Variant.h"
#include "report/ReportLayout.h"

#include <QString>
#include <functional>
#include <optional>

class SurveyDraft;
class SurveyModel;

namespace ReportFiller {

// The report layout of the survey, filled as far as it allows: the ship and voyage, the Initial
// column when the Initial draft was calculated, the Final column, constant and cargo when the
// Final draft was. Nothing, after telling the user, when the survey cannot be reported (no ship,
// no port, the user declines an incomplete Initial draft, nothing calculated) or when filling
// failed (the failure is reported twice, as every report failure is).
// `copyInputs` hands the inputs of the draft on show to that draft before its column is read (a
// window's boxes); without it the survey hands its own.
std::optional<ReportLayout> fill(SurveyModel& survey, bool showPreview,
                                 const std::function<void(int draft)>& copyInputs = {});

// The report of a draft check: the same page with the check in the Final column, the cargo since
// the Initial draft as its Total Cargo, titled with " - DRAFT CHECK n" and the check's date and
// time. Nothing, after telling the user, when the check was not calculated.
std::optional<ReportLayout> fillCheck(SurveyModel& survey, int check, bool showPreview,
                                      const std::function<void(int draft)>& copyInputs = {});

// The caption texts of one draft's column, worked out from the draft alone ("lblInit" or
// "lblFin" before each stem). Throws VbError on a draft that holds no figures where the
// report needs them.
void fillDraftColumn(ReportLayout& layout, const QString& prefix, SurveyDraft& draft);

// The hull deflection caption of a draft: "Sag 12.5 cm", "Hog 3 cm", or nothing when the hull
// is neither hogged nor sagged.
std::optional<QString> deflectionText(const Variant& fwdMean, const Variant& midMean,
                                      const Variant& aftMean);

}  // namespace ReportFiller
