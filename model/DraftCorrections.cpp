#include "model/DraftCorrections.h"

#include "core/Numeric.h"
#include "core/VbError.h"

#include <QLocale>

namespace DraftCorrections {

std::optional<Decimal> readFigure(const QString& text)
{
    try {
        return toNumeric(Variant(text), -1, 0).toDecimal();
    } catch (const VbError&) {
        return std::nullopt;
    }
}

Result compute(const Input& in)
{
    Result r;
    r.fwdMean = (in.fwdPort + in.fwdStbd) / 2;
    r.midMean = (in.midPort + in.midStbd) / 2;
    r.aftMean = (in.aftPort + in.aftStbd) / 2;
    r.apparentTrim = r.aftMean - r.fwdMean;
    r.lbm = in.lbp + in.fwdX - in.aftX;
    if (r.lbm.isZero())
        return r;
    try {
        // Each mean is carried to its perpendicular (or to midships) along the apparent trim.
        r.fwdCorrection = r.apparentTrim * in.fwdX / r.lbm;
        r.midCorrection = r.apparentTrim * in.midX / r.lbm;
        r.aftCorrection = r.apparentTrim * in.aftX / r.lbm;
        r.fwdTrueDraft = r.fwdMean + r.fwdCorrection;
        r.midTrueDraft = r.midMean + r.midCorrection;
        r.aftTrueDraft = r.aftMean + r.aftCorrection;
        r.trueTrim = r.aftTrueDraft - r.fwdTrueDraft;
        r.trueMeanDraft = (r.fwdTrueDraft + r.midTrueDraft * 6 + r.aftTrueDraft) / 8;
        r.corrected = true;
    } catch (const VbError&) {
        // A length between marks so short that the corrections leave the range of the
        // figures: no more meaningful than a zero one.
        r.corrected = false;
    }
    return r;
}

QString shown(const Decimal& value, int places)
{
    return value.round(places).toLocaleString(QLocale());
}

Texts texts(const Result& r)
{
    Texts t;
    t.fwdMean = shown(r.fwdMean, 3);
    t.midMean = shown(r.midMean, 3);
    t.aftMean = shown(r.aftMean, 3);
    t.apparentTrim = shown(r.apparentTrim, 3);
    t.lbm = r.lbm.toLocaleString(QLocale());
    if (!r.corrected)
        return t;
    t.fwdCorrection = shown(r.fwdCorrection, 3);
    t.midCorrection = shown(r.midCorrection, 3);
    t.aftCorrection = shown(r.aftCorrection, 3);
    t.fwdTrueDraft = shown(r.fwdTrueDraft, 3);
    t.midTrueDraft = shown(r.midTrueDraft, 3);
    t.aftTrueDraft = shown(r.aftTrueDraft, 3);
    t.trueTrim = shown(r.trueTrim, 3);
    t.trueMeanDraft = shown(r.trueMeanDraft, 8);
    return t;
}

Decimal hullDeflection(const Decimal& fwdMean, const Decimal& midMean, const Decimal& aftMean)
{
    return (midMean * 2 - fwdMean - aftMean) * 50;
}

}  // namespace DraftCorrections
