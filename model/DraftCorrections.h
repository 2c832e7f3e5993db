#pragma once

#include "core/Decimal.h"

#include <QString>
#include <optional>

// The draft panel of a survey window: from the six readings, the distances of the draft marks and
// the ship's LBP, the means, the apparent trim, the length between the marks, the corrections of
// the mean drafts to the perpendiculars and midships, the true drafts, the true trim and the true
// mean draft at which the hydrostatic tables are entered. All in exact decimals, nothing rounded
// but the texts shown.
namespace DraftCorrections {

// A figure as read from a box: blank counts as 0; nothing when the text is not a number.
std::optional<Decimal> readFigure(const QString& text);

struct Input {
    Decimal fwdPort, fwdStbd, midPort, midStbd, aftPort, aftStbd;  // readings, m
    // Distances of the marks from their perpendiculars (the mid mark from midships), positive
    // forward, so the forward marks abaft the FP carry a negative Fwd X.
    Decimal fwdX, midX, aftX;
    Decimal lbp;  // 0 when the ship has none
};

struct Result {
    Decimal fwdMean, midMean, aftMean;
    Decimal apparentTrim;  // aft mean less forward mean: positive when trimmed by the stern
    Decimal lbm;           // LBP + Fwd X - Aft X
    // With the marks cancelling the LBP (LBM 0) the corrections have no meaning; everything from
    // the corrections on is then left out.
    bool corrected = false;
    Decimal fwdCorrection, midCorrection, aftCorrection;
    Decimal fwdTrueDraft, midTrueDraft, aftTrueDraft;
    Decimal trueTrim;
    Decimal trueMeanDraft;  // mean of means: (fwd + 6 x mid + aft) / 8
};

Result compute(const Input& in);

// The texts of the panel's read-only boxes; the corrections onwards are empty when not corrected.
struct Texts {
    QString fwdMean, midMean, aftMean, apparentTrim, lbm;
    QString fwdCorrection, midCorrection, aftCorrection;
    QString fwdTrueDraft, midTrueDraft, aftTrueDraft;
    QString trueTrim, trueMeanDraft;
};

Texts texts(const Result& r);

// The rounded text of a figure as the boxes show it: half to even, no trailing zeros, in the
// locale's number format so that it reads back as typed.
QString shown(const Decimal& value, int places);

// Hull deflection in centimetres from the three means in metres: positive is sagging (midships
// deeper than the mean of the ends), negative hogging.
Decimal hullDeflection(const Decimal& fwdMean, const Decimal& midMean, const Decimal& aftMean);

}  // namespace DraftCorrections
