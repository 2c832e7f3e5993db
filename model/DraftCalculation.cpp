// The displacement of one draft: the hydrostatic table interpolated at the true mean draft, the
// first and second trim corrections, the density correction and the deductibles.

#include "model/clsDraft.h"

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "model/clsShip.h"

namespace {

// A figure as typed, as an exact decimal (blank is 0).
Variant N(const Variant& value)
{
    return ToNumeric(value, -1, 0);
}

// A result that was never worked out (Empty, or empty text after a reset) counts as 0.
Variant Z(const Variant& value)
{
    if (value.isEmpty() || (value.isText() && value.toText().isEmpty()))
        return Variant::integer(0);
    return value;
}

bool isZero(const Variant& value)
{
    return Variant::compare(value, Variant::integer(0)) == 0;
}

Variant rounded(const Variant& value, int places)
{
    return ToNumeric(value, places, 0);
}

// Tables are for salt water of 1.025 t/m3.
const Variant kTableDensity = Variant(Decimal::fromParts(1025, 0, 0, false, 3));

// The ship's length between perpendiculars, which every trim correction divides by. A ship
// without one cannot be corrected for trim: the calculation stops there.
Variant lengthBetweenPerpendiculars(const clsShip& ship)
{
    const Variant lbp = ship.LBP();
    if (lbp.isNull())
        throw VbError::invalidUseOfNull();
    return lbp;
}

}  // namespace

void clsDraft::Calculate()
{
    try {
        calculateSteps();
    } catch (const std::exception&) {
        // What was worked out before the failing step stays; the rest keeps its old contents.
        MessageService::bareSource(QStringLiteral("clsDraft"), QStringLiteral("Calculate"));
    }
}

void clsDraft::calculateSteps()
{
    m_TrueMeanDraft = N(m_TrueMeanDraft);
    // No true mean draft yet: the table cannot be entered, so the last results stand.
    if (isZero(m_TrueMeanDraft))
        return;
    const Variant tmd = m_TrueMeanDraft;

    // Where the true mean draft lies between the Below and Above rows. The MCTC tables bracket
    // drafts 50 cm either side of the same rows, so the same factor serves them.
    const Variant draftBelow = N(m_HDT(Below, HydDraft));
    const Variant draftAbove = N(m_HDT(Above, HydDraft));
    const Variant span = draftAbove - draftBelow;
    m_IpFactor = isZero(span) ? Variant::integer(0) : (tmd - draftBelow) / span;
    const Variant k = m_IpFactor;

    const Variant below[5] = {N(m_HDT(Below, Displacement)), N(m_HDT(Below, Tpc)),
                              N(m_HDT(Below, Lcf)), N(m_MCTCP50(Below, Mctc)),
                              m_MCTCM50(Below, Mctc)};
    const Variant above[5] = {N(m_HDT(Above, Displacement)), N(m_HDT(Above, Tpc)),
                              N(m_HDT(Above, Lcf)), N(m_MCTCP50(Above, Mctc)),
                              m_MCTCM50(Above, Mctc)};
    for (int q = IpDisplacement; q <= IpLcf; ++q)
        m_IpResult(Increment, q) = k * (above[q] - below[q]);
    for (int q = IpDisplacement; q <= IpLcf; ++q)
        m_IpResult(Interpolated, q) = m_IpResult(Increment, q) + below[q];
    for (int q = IpMctcP50; q <= IpMctcM50; ++q) {
        m_IpResult(Increment, q) = k * (above[q] - below[q]);
        m_IpResult(Interpolated, q) = m_IpResult(Increment, q) + below[q];
    }

    // The corrections work on the unrounded interpolated values.
    const Variant displacement = m_IpResult(Interpolated, IpDisplacement);
    const Variant tpc = m_IpResult(Interpolated, IpTpc);
    const Variant lcf = m_IpResult(Interpolated, IpLcf);
    const Variant mctcP50 = m_IpResult(Interpolated, IpMctcP50);
    const Variant mctcM50 = m_IpResult(Interpolated, IpMctcM50);
    QVector<Variant>& r = m_FinalResult;

    r[DisplacementAtTmd] = displacement;

    // First trim correction: the centre of flotation lies off midships, so a trimmed ship floats
    // deeper or shallower there than at the mean draft.
    const Variant trim = Variant(m_TrueTrim.toDecimal());
    r[FirstTrimCorrection] = tpc * lcf * trim * Variant::integer(100)
        / lengthBetweenPerpendiculars(*m_Ship);
    // Second trim correction (Nemoto): from the change of MCTC over one metre of draft.
    r[SecondTrimCorrection] = trim * trim * (mctcP50 - mctcM50) * Variant::integer(50)
        / lengthBetweenPerpendiculars(*m_Ship);
    r[TotalTrimCorrection] = r[SecondTrimCorrection] + r[FirstTrimCorrection];
    // No heel correction: drafts are read on both sides and averaged.
    r[ListCorrection] = Variant::integer(0);
    r[DisplacementEvenKeel] = Z(displacement) + r[TotalTrimCorrection];
    // From table water to the dock water the ship floats in.
    r[TrueDisplacement] = Z(r[DisplacementEvenKeel]) * m_SpecificGravity / kTableDensity;
    r[DensityCorrection] = Z(r[TrueDisplacement]) - r[DisplacementEvenKeel];
    r[TotalDeductibles] = GetTotDeductibles();
    // A null total (a quantity with no value) leaves no net displacement to work out, and the
    // rounding refuses it, so the user is told rather than shown a blank figure.
    r[NetDisplacementResult] = rounded(Z(r[TrueDisplacement]) - m_TotDeductibles, 5);
    r[LightShipResult] = m_Ship->LightShip();

    // The interpolation results are kept as the window shows them; FinalResult(0) stays exact.
    for (int q = IpDisplacement; q <= IpMctcM50; ++q)
        m_IpResult(Increment, q) = rounded(m_IpResult(Increment, q), 3);
    m_IpResult(Interpolated, IpDisplacement) = rounded(m_IpResult(Interpolated, IpDisplacement), 5);
    for (int q = IpTpc; q <= IpMctcM50; ++q)
        m_IpResult(Interpolated, q) = rounded(m_IpResult(Interpolated, q), 3);
}

Variant clsDraft::GetTotDeductibles()
{
    try {
        m_TotDeductibles = Variant::integer(0);
        RowSet& list = *m_Deductions;
        if (list.recordCount() > 0) {
            list.moveFirst();
            while (!list.eof()) {
                // Null in, Null out: one quantity without a value leaves the total unknown.
                m_TotDeductibles = m_TotDeductibles + list.value(QStringLiteral("Quantity"));
                list.moveNext();
            }
        }
        return m_TotDeductibles;
    } catch (const std::exception&) {
        MessageService::bareSource(QStringLiteral("clsDraft"), QStringLiteral("GetTotDeductibles"));
        return Variant();
    }
}
