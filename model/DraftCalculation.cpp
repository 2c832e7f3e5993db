// The displacement of one draft: the hydrostatic table interpolated at the true mean draft, the
// first and second trim corrections, the density correction and the deductibles.

#include "model/SurveyDraft.h"

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "model/ShipRecord.h"

namespace {

// A figure as typed, as an exact decimal (blank is 0).
Variant asFigure(const Variant& value)
{
    return toNumeric(value, -1, 0);
}

// A result that was never worked out (Empty, or empty text after a reset) counts as 0.
Variant orZero(const Variant& value)
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
    return toNumeric(value, places, 0);
}

// Tables are for salt water of 1.025 t/m3 unless the ship's own says otherwise.
const Variant kTableDensity = Variant(Decimal::fromParts(1025, 0, 0, false, 3));

// The ship's length between perpendiculars, which every trim correction divides by. A ship
// without one cannot be corrected for trim: the calculation stops there.
Variant lengthBetweenPerpendiculars(const ShipRecord& ship)
{
    const Variant lbp = ship.lbp();
    if (lbp.isNull())
        throw VbError::invalidUseOfNull();
    return lbp;
}

}  // namespace

void SurveyDraft::calculate()
{
    try {
        calculateSteps();
    } catch (const std::exception&) {
        // What was worked out before the failing step stays; the rest keeps its old contents.
        MessageService::bareSource(QStringLiteral("clsDraft"), QStringLiteral("Calculate"));
    }
}

void SurveyDraft::calculateSteps()
{
    m_trueMeanDraft = asFigure(m_trueMeanDraft);
    // No true mean draft yet: the table cannot be entered, so the last results stand.
    if (isZero(m_trueMeanDraft))
        return;
    // A table with moulded drafts is entered at the draft over the keel plate's top.
    const Variant tmd = m_keelCorrection.isZero() ? m_trueMeanDraft
                                                  : m_trueMeanDraft - Variant(m_keelCorrection);

    // Where the true mean draft lies between the Below and Above rows. The MCTC tables bracket
    // drafts 50 cm either side of the same rows, so the same factor serves them.
    const Variant draftBelow = asFigure(m_hdt(Below, HydDraft));
    const Variant draftAbove = asFigure(m_hdt(Above, HydDraft));
    const Variant span = draftAbove - draftBelow;
    m_ipFactor = isZero(span) ? Variant::integer(0) : (tmd - draftBelow) / span;
    const Variant k = m_ipFactor;

    const Variant below[5] = {asFigure(m_hdt(Below, Displacement)), asFigure(m_hdt(Below, Tpc)),
                              asFigure(m_hdt(Below, Lcf)), asFigure(m_mctcPlus50(Below, Mctc)),
                              m_mctcMinus50(Below, Mctc)};
    const Variant above[5] = {asFigure(m_hdt(Above, Displacement)), asFigure(m_hdt(Above, Tpc)),
                              asFigure(m_hdt(Above, Lcf)), asFigure(m_mctcPlus50(Above, Mctc)),
                              m_mctcMinus50(Above, Mctc)};
    for (int q = IpDisplacement; q <= IpLcf; ++q)
        m_ipResult(Increment, q) = k * (above[q] - below[q]);
    for (int q = IpDisplacement; q <= IpLcf; ++q)
        m_ipResult(Interpolated, q) = m_ipResult(Increment, q) + below[q];
    for (int q = IpMctcP50; q <= IpMctcM50; ++q) {
        m_ipResult(Increment, q) = k * (above[q] - below[q]);
        m_ipResult(Interpolated, q) = m_ipResult(Increment, q) + below[q];
    }

    // The corrections work on the unrounded interpolated values.
    const Variant displacement = m_ipResult(Interpolated, IpDisplacement);
    const Variant tpc = m_ipResult(Interpolated, IpTpc);
    const Variant lcf = m_ipResult(Interpolated, IpLcf);
    const Variant mctcP50 = m_ipResult(Interpolated, IpMctcP50);
    const Variant mctcM50 = m_ipResult(Interpolated, IpMctcM50);
    QVector<Variant>& r = m_finalResult;

    r[DisplacementAtTmd] = displacement;

    // First trim correction: the centre of flotation lies off midships, so a trimmed ship floats
    // deeper or shallower there than at the mean draft.
    const Variant trim = Variant(m_trueTrim.toDecimal());
    r[FirstTrimCorrection] = tpc * lcf * trim * Variant::integer(100)
        / lengthBetweenPerpendiculars(*m_ship);
    // Second trim correction (Nemoto): from the change of MCTC over one metre of draft.
    r[SecondTrimCorrection] = trim * trim * (mctcP50 - mctcM50) * Variant::integer(50)
        / lengthBetweenPerpendiculars(*m_ship);
    r[TotalTrimCorrection] = r[SecondTrimCorrection] + r[FirstTrimCorrection];
    // Without a list correction the drafts read on both sides are simply averaged. With one, the
    // waterplane's widening on the low side is added back (always a gain).
    r[ListCorrection] = m_listCorrection ? Variant(*m_listCorrection) : Variant::integer(0);
    r[DisplacementEvenKeel] = orZero(displacement) + r[TotalTrimCorrection];
    if (m_listCorrection)
        r[DisplacementEvenKeel] = r[DisplacementEvenKeel] + r[ListCorrection];
    // From the water the table was worked out for to the dock water the ship floats in.
    const Variant tableDensity =
        m_tableDensity == kTableDensity.toDecimal() ? kTableDensity : Variant(m_tableDensity);
    r[TrueDisplacement] = orZero(r[DisplacementEvenKeel]) * m_specificGravity / tableDensity;
    r[DensityCorrection] = orZero(r[TrueDisplacement]) - r[DisplacementEvenKeel];
    r[TotalDeductibles] = sumDeductibles();
    // A null total (a quantity with no value) leaves no net displacement to work out, and the
    // rounding refuses it, so the user is told rather than shown a blank figure.
    r[NetDisplacementResult] = rounded(orZero(r[TrueDisplacement]) - m_totalDeductibles, 5);
    r[LightShipResult] = m_ship->lightShip();

    // The interpolation results are kept as the window shows them; finalResult(0) stays exact.
    for (int q = IpDisplacement; q <= IpMctcM50; ++q)
        m_ipResult(Increment, q) = rounded(m_ipResult(Increment, q), 3);
    m_ipResult(Interpolated, IpDisplacement) = rounded(m_ipResult(Interpolated, IpDisplacement), 5);
    for (int q = IpTpc; q <= IpMctcM50; ++q)
        m_ipResult(Interpolated, q) = rounded(m_ipResult(Interpolated, q), 3);
}

Variant SurveyDraft::sumDeductibles()
{
    try {
        m_totalDeductibles = Variant::integer(0);
        RowSet& list = *m_deductions;
        if (list.recordCount() > 0) {
            list.moveFirst();
            while (!list.eof()) {
                // Null in, Null out: one quantity without a value leaves the total unknown.
                m_totalDeductibles = m_totalDeductibles + list.value(QStringLiteral("Quantity"));
                list.moveNext();
            }
        }
        return m_totalDeductibles;
    } catch (const std::exception&) {
        MessageService::bareSource(QStringLiteral("clsDraft"), QStringLiteral("GetTotDeductibles"));
        return Variant();
    }
}
