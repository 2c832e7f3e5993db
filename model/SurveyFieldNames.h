#pragma once

#include <QLatin1String>
#include <QString>

// The names a survey gives its fields, spelled here once: the survey file's keys, and the paths by
// which a refusal, a check or a message names a field ("drafts.fwdPort", "hydrostatics.below.tpc",
// "initial.density" where the draft is named too).
namespace SurveyFieldNames {

// The header.
constexpr QLatin1String kShip("ship");
constexpr QLatin1String kVoyage("voyage");
constexpr QLatin1String kPort("port");
constexpr QLatin1String kCargo("cargo");
constexpr QLatin1String kBlQuantity("blQuantity");
// The drafts, and what each holds.
constexpr QLatin1String kDrafts[2] = {QLatin1String("initial"), QLatin1String("final")};
constexpr QLatin1String kDate("date");
constexpr QLatin1String kTime("time");
constexpr QLatin1String kDensity("density");
constexpr QLatin1String kReadingsGroup("drafts");
constexpr QLatin1String kReadings[6] = {QLatin1String("fwdPort"), QLatin1String("fwdStbd"),
                                        QLatin1String("midPort"), QLatin1String("midStbd"),
                                        QLatin1String("aftPort"), QLatin1String("aftStbd")};
constexpr QLatin1String kMarksGroup("marks");
constexpr QLatin1String kMarks[3] = {QLatin1String("fwdX"), QLatin1String("midX"), QLatin1String("aftX")};
constexpr QLatin1String kHydrostatics("hydrostatics");
constexpr QLatin1String kRows[2] = {QLatin1String("below"), QLatin1String("above")};
constexpr QLatin1String kColumns[4] = {QLatin1String("draft"), QLatin1String("displacement"),
                                       QLatin1String("tpc"), QLatin1String("lcf")};
constexpr QLatin1String kMctcPlus50("mctcPlus50");
constexpr QLatin1String kMctcMinus50("mctcMinus50");
constexpr QLatin1String kDeductibles("deductibles");
constexpr QLatin1String kComments("comments");
constexpr QLatin1String kInitialNetDisplacement("initialNetDisplacement");
// The list correction: chosen for the survey, and the TPCs a draft types for it.
constexpr QLatin1String kListCorrection("listCorrection");
constexpr QLatin1String kListTpc("listTpc");
constexpr QLatin1String kListSides[2] = {QLatin1String("port"), QLatin1String("stbd")};
// The cells of a draft's tables typed over the ship's own table (the others were picked from it).
constexpr QLatin1String kTypedOverTable("typedOverTable");
// The survey's particulars (who, where, the weather; keys in model/SurveyParticulars) and the
// times each draft's readings began and ended.
constexpr QLatin1String kParticulars("particulars");
constexpr QLatin1String kReadingsStart("readingsStart");
constexpr QLatin1String kReadingsEnd("readingsEnd");

inline QString joined(QLatin1String group, QLatin1String name)
{
    return group + QLatin1Char('.') + name;
}
// "drafts.fwdPort" ... "drafts.aftStbd"
inline QString reading(int i)
{
    return joined(kReadingsGroup, kReadings[i]);
}
// "marks.fwdX" ... "marks.aftX"
inline QString mark(int i)
{
    return joined(kMarksGroup, kMarks[i]);
}
// "hydrostatics.below.draft" ... "hydrostatics.above.lcf"
inline QString hydrostatic(int row, int column)
{
    return joined(kHydrostatics, kRows[row]) + QLatin1Char('.') + kColumns[column];
}
// "mctcPlus50.below" ... "mctcMinus50.above"
inline QString mctc(bool plus, int row)
{
    return joined(plus ? kMctcPlus50 : kMctcMinus50, kRows[row]);
}
// "listTpc.port", "listTpc.stbd"
inline QString listTpc(int side)
{
    return joined(kListTpc, kListSides[side]);
}
// "deductibles.25"
inline QString deductible(int item)
{
    return kDeductibles + QLatin1Char('.') + QString::number(item);
}
// The draft checks between the two drafts, in the order taken, and the loading's planned cargo.
constexpr QLatin1String kDraftChecks("draftChecks");
constexpr QLatin1String kPlannedCargo("plannedCargo");
// A draft by its index in the survey: "initial", "final", or a check, "draftChecks[0]".
inline QString draftPath(int draft)
{
    if (draft < 2)
        return kDrafts[draft];
    return kDraftChecks + QStringLiteral("[%1]").arg(draft - 2);
}
// A draft's field with its draft: "initial.density", "final.drafts.fwdPort".
inline QString inDraft(int draft, const QString& name)
{
    return draftPath(draft) + QLatin1Char('.') + name;
}

}  // namespace SurveyFieldNames
