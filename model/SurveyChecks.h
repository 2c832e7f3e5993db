#pragma once

#include "model/SurveyFinding.h"

class SurveyModel;

// The checks a surveyor makes on a calculated draft before signing: whether the hydrostatic rows
// bracket the true mean draft, the list, a twisted hull, the trim, the dock water density, the
// hull deflection, the MCTC rows, TPC or MCTC falling between the rows, the summer draft and
// deadweight; and, for a discharge worked through both drafts, the cargo against the Bill of
// Lading and the constant against the one assumed on arrival. All figures come from the survey
// as calculated, in exact decimals; only the list angle, which is shown and never enters a
// result, goes through an arctangent.
namespace SurveyChecks {

// The findings on one calculated draft (SurveyModel::Initial or Final), in the order above.
SurveyFindings draft(const SurveyModel& survey, int draft);

// The findings on the survey as a whole: a discharge with its Final draft calculated and an
// initial net displacement to work the cargo from; nothing otherwise.
SurveyFindings survey(const SurveyModel& survey);

// The list angle, in degrees, at which a midship port-starboard difference becomes a finding.
constexpr double kListLimitDegrees = 0.5;

}  // namespace SurveyChecks
