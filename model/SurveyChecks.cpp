#include "model/SurveyChecks.h"

#include "core/Numeric.h"
#include "model/DraftCorrections.h"
#include "model/ResultFigures.h"
#include "model/SurveyModel.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"

#include <QLocale>
#include <cmath>
#include <exception>
#include <numbers>

QString SurveyFinding::severityName() const
{
    return severity == Severity::Warning ? QStringLiteral("warning") : QStringLiteral("information");
}

QString SurveyFinding::draftName() const
{
    switch (draft) {
    case Draft::Initial:
        return QStringLiteral("initial");
    case Draft::Final:
        return QStringLiteral("final");
    case Draft::Check:
        return QStringLiteral("check");
    case Draft::Survey:
        break;
    }
    return QStringLiteral("survey");
}

namespace {

using Severity = SurveyFinding::Severity;

// A figure the draft or the ship holds; nothing for a blank, a null or what is no number.
std::optional<Decimal> figure(const Variant& v)
{
    if (v.isNull() || v.isEmpty() || (v.isText() && v.toText().trimmed().isEmpty()))
        return std::nullopt;
    try {
        return toNumeric(v, -1, 0).toDecimal();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// One of the ship's particulars; nothing when the ship has no such figure (or a zero one).
std::optional<Decimal> particular(const SurveyModel& s, Variant (ShipRecord::*get)() const)
{
    if (!s.hasShip())
        return std::nullopt;
    try {
        const std::optional<Decimal> f = figure((s.ship().*get)());
        return f && !f->isZero() ? f : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// A figure as the boxes show it: rounded, no trailing zeros.
QString shown(const Decimal& d, int places)
{
    return DraftCorrections::shown(d, places);
}

// A length in metres, said in centimetres.
QString cm(const Decimal& metres)
{
    return shown(metres * 100, 1);
}

class DraftChecks {
public:
    DraftChecks(const SurveyModel& s, int index)
        : m_s(s), m_d(s.draft(index)),
          m_which(index == SurveyModel::Final ? SurveyFinding::Draft::Final : SurveyFinding::Draft::Initial),
          m_name(index == SurveyModel::Final ? QStringLiteral("Final draft") : QStringLiteral("Initial draft"))
    {
        // A draft check is judged as any draft, under its own name.
        if (SurveyModel::isCheck(index)) {
            m_which = SurveyFinding::Draft::Check;
            m_name = QStringLiteral("Draft check %1").arg(SurveyModel::checkNumber(index));
        }
    }

    SurveyFindings run()
    {
        extrapolated();
        list();
        twist();
        trimByHead();
        density();
        deflection();
        secondTrimNegative();
        tableDecreasing();
        tableTerms();
        summerDraft();
        deadweight();
        return m_out;
    }

private:
    void add(const char* code, Severity severity, const QString& sentence)
    {
        m_out.append({QLatin1String(code), severity, m_which, m_name + QStringLiteral(": ") + sentence});
    }

    // The hydrostatic rows are interpolated, never extrapolated: the displacement found outside
    // them is a straight line drawn through a curve, and the rows typed are usually the wrong ones.
    void extrapolated()
    {
        const VariantArray2D hdt = m_d.hdt();
        const std::optional<Decimal> below = figure(hdt(SurveyDraft::Below, SurveyDraft::HydDraft));
        const std::optional<Decimal> above = figure(hdt(SurveyDraft::Above, SurveyDraft::HydDraft));
        const std::optional<Decimal> tmd = figure(m_d.trueMeanDraft());
        if (!below || !above || !tmd)
            return;
        if (*below == *above) {
            add("extrapolated", Severity::Warning,
                QStringLiteral("the Below and Above hydrostatic rows are both for a draft of %1 m, so the "
                               "true mean draft of %2 m cannot be interpolated between them.")
                    .arg(shown(*below, 3), shown(*tmd, 3)));
            return;
        }
        const std::optional<Decimal> k = figure(m_d.ipFactor());
        if (!k || (!k->isNegative() && *k <= Decimal(1)))
            return;
        add("extrapolated", Severity::Warning,
            QStringLiteral("the true mean draft of %1 m lies outside the hydrostatic rows typed (%2 m to %3 m), "
                           "interpolation factor %4.")
                .arg(shown(*tmd, 3), shown(*below, 3), shown(*above, 3), shown(*k, 4)));
    }

    // Drafts read on both sides are averaged, which takes out the list only while it is small.
    void list()
    {
        const std::optional<Decimal> breadth = particular(m_s, &ShipRecord::breadth);
        const std::optional<Decimal> port = figure(m_d.midPort());
        const std::optional<Decimal> stbd = figure(m_d.midStbd());
        if (!breadth || breadth->isNegative() || !port || !stbd)
            return;
        const Decimal difference = (*port - *stbd).abs();
        // The ratio is exact; only the angle, which is shown and enters no result, is a double.
        const double ratio = (difference / *breadth).toDouble();
        const double degrees = std::atan(ratio) * 180.0 / std::numbers::pi;
        if (!(degrees > SurveyChecks::kListLimitDegrees))
            return;
        const double limitCm =
            std::tan(SurveyChecks::kListLimitDegrees * std::numbers::pi / 180.0) * breadth->toDouble() * 100.0;
        // Rounded down, so that the difference said does bring the list under the limit.
        const double underCm = std::floor(limitCm * 10.0) / 10.0;
        const QLocale locale;
        // Two places, or three where two would show the limit itself.
        const int places = std::round(degrees * 100.0) / 100.0 <= SurveyChecks::kListLimitDegrees ? 3 : 2;
        add("list", Severity::Warning,
            QStringLiteral("a list of %1 degrees from the midship readings (port %2 m, starboard %3 m, breadth "
                           "%4 m); a midship difference of at most %5 cm instead of %6 cm would bring it under "
                           "%7 degrees.")
                .arg(locale.toString(degrees, 'f', places), shown(*port, 3), shown(*stbd, 3), shown(*breadth, 3),
                     locale.toString(underCm, 'f', 1), cm(difference),
                     locale.toString(SurveyChecks::kListLimitDegrees, 'f', 1)));
    }

    // The port-starboard difference is the same at every mark on a straight hull.
    void twist()
    {
        const std::optional<Decimal> r[6] = {figure(m_d.fwdPort()), figure(m_d.fwdStbd()),
                                             figure(m_d.midPort()), figure(m_d.midStbd()),
                                             figure(m_d.aftPort()), figure(m_d.aftStbd())};
        for (const auto& v : r)
            if (!v)
                return;
        const Decimal fwd = *r[0] - *r[1];
        const Decimal mid = *r[2] - *r[3];
        const Decimal aft = *r[4] - *r[5];
        static const Decimal limit = *Decimal::parse(u"0.05", QLocale::c());
        const bool fwdOff = (fwd - mid).abs() > limit;
        const bool aftOff = (aft - mid).abs() > limit;
        if (!fwdOff && !aftOff)
            return;
        QString ends;
        if (fwdOff)
            ends = QStringLiteral("%1 cm forward").arg(cm(fwd));
        if (aftOff)
            ends += (ends.isEmpty() ? QString() : QStringLiteral(" and ")) + QStringLiteral("%1 cm aft").arg(cm(aft));
        add("twist", Severity::Information,
            QStringLiteral("port less starboard is %1 against %2 cm midships, more than 5 cm apart: a twisted "
                           "hull or a misread mark.")
                .arg(ends, cm(mid)));
    }

    void trimByHead()
    {
        const std::optional<Decimal> trim = figure(m_d.trueTrim());
        if (!trim || !trim->isNegative())
            return;
        add("trim-by-head", Severity::Information,
            QStringLiteral("the ship is trimmed by the head, true trim %1 m.").arg(shown(*trim, 3)));
    }

    void density()
    {
        const std::optional<Decimal> sg = figure(m_d.specificGravity());
        if (!sg)
            return;
        static const Decimal low = *Decimal::parse(u"0.990", QLocale::c());
        static const Decimal high = *Decimal::parse(u"1.035", QLocale::c());
        if (*sg >= low && *sg <= high)
            return;
        add("density", Severity::Warning,
            QStringLiteral("a dock water density of %1 t/m3 lies outside 0.990 to 1.035.").arg(shown(*sg, 4)));
    }

    // A hull bends a few centimetres; more than a thousandth of her length is a misread mark.
    void deflection()
    {
        const std::optional<Decimal> lbp = particular(m_s, &ShipRecord::lbp);
        const std::optional<Decimal> r[6] = {figure(m_d.fwdPort()), figure(m_d.fwdStbd()),
                                             figure(m_d.midPort()), figure(m_d.midStbd()),
                                             figure(m_d.aftPort()), figure(m_d.aftStbd())};
        if (!lbp || lbp->isNegative())
            return;
        for (const auto& v : r)
            if (!v)
                return;
        // From the readings' own means, as the window's deflection box shows it (the discharging
        // window hands the draft its means rounded).
        const Decimal d = DraftCorrections::hullDeflection((*r[0] + *r[1]) / 2, (*r[2] + *r[3]) / 2,
                                                           (*r[4] + *r[5]) / 2);  // cm
        const Decimal limitCm = *lbp / 10;  // LBP / 1000 in metres
        if (!(d.abs() > limitCm))
            return;
        add("deflection", Severity::Warning,
            QStringLiteral("a %1 of %2 cm is more than LBP/1000 (%3 cm): probably a misread mark.")
                .arg(d.isNegative() ? QStringLiteral("hog") : QStringLiteral("sag"), shown(d.abs(), 2),
                     shown(limitCm, 2)));
    }

    // MCTC grows with the draft: lower 50 cm above the true mean draft than 50 cm below it turns
    // the second trim correction against the trim.
    void secondTrimNegative()
    {
        const VariantArray2D ip = m_d.ipResult();
        const std::optional<Decimal> plus = figure(ip(SurveyDraft::Interpolated, SurveyDraft::IpMctcP50));
        const std::optional<Decimal> minus = figure(ip(SurveyDraft::Interpolated, SurveyDraft::IpMctcM50));
        if (!plus || !minus || !(*plus < *minus))
            return;
        add("second-trim-negative", Severity::Warning,
            QStringLiteral("MCTC at +50 cm (%1) is below MCTC at -50 cm (%2): the MCTC rows are suspect.")
                .arg(shown(*plus, 3), shown(*minus, 3)));
    }

    // TPC and MCTC grow with the draft over most of a table, but a booklet may let them fall over
    // a short range; the calculation takes them as they are, and the surveyor sees it was meant.
    void tableDecreasing()
    {
        const VariantArray2D hdt = m_d.hdt();
        const VariantArray2D plus = m_d.mctcPlus50();
        const VariantArray2D minus = m_d.mctcMinus50();
        using D = SurveyDraft;
        const struct {
            const char* column;
            Variant below, above;
            const char* unit;
        } columns[3] = {
            {"TPC", hdt(D::Below, D::Tpc), hdt(D::Above, D::Tpc), "t/cm"},
            {"MCTC+50", plus(D::Below, D::Mctc), plus(D::Above, D::Mctc), "t m/cm"},
            {"MCTC-50", minus(D::Below, D::Mctc), minus(D::Above, D::Mctc), "t m/cm"},
        };
        for (const auto& c : columns) {
            const std::optional<Decimal> below = figure(c.below);
            const std::optional<Decimal> above = figure(c.above);
            if (!below || !above || !(*above < *below))
                continue;
            add("table-decreasing", Severity::Information,
                QStringLiteral("the %1 falls from %2 %3 on the Below row to %4 %3 on the Above row; the rows "
                               "were taken as the table gives them.")
                    .arg(QLatin1String(c.column), shown(*below, 3), QLatin1String(c.unit), shown(*above, 3)));
        }
    }

    // What the ship's own table and the survey's choices changed in the figures: said, so that
    // the surveyor signs knowing it.
    void tableTerms()
    {
        static const Decimal seaWater = Decimal(1025) / Decimal(1000);
        if (m_d.tableDensity() != seaWater)
            add("table-density", Severity::Information,
                QStringLiteral("the ship's hydrostatic table is for water of %1 t/m3: the displacement was "
                               "taken from that water to the dock water.")
                    .arg(shown(m_d.tableDensity(), 4)));
        const std::optional<Decimal> tmd = figure(m_d.trueMeanDraft());
        if (!m_d.keelCorrection().isZero() && tmd)
            add("keel-plate", Severity::Information,
                QStringLiteral("the table's drafts are moulded: it was entered at %1 m, the true mean draft "
                               "less the keel plate of %2 mm.")
                    .arg(shown(*tmd - m_d.keelCorrection(), 4), shown(m_d.keelCorrection() * 1000, 1)));
        const std::optional<Decimal> list = m_d.listCorrection();
        const std::optional<Decimal> port = figure(m_d.midPort());
        const std::optional<Decimal> stbd = figure(m_d.midStbd());
        if (list && port && stbd)
            add("list-correction", Severity::Information,
                QStringLiteral("a list correction of %1 t was added (midship port %2 m, starboard %3 m).")
                    .arg(shown(*list, 3), shown(*port, 3), shown(*stbd, 3)));
    }

    void summerDraft()
    {
        const std::optional<Decimal> summer = particular(m_s, &ShipRecord::summerDraft);
        const std::optional<Decimal> tmd = figure(m_d.trueMeanDraft());
        if (!summer || !tmd || !(*tmd > *summer))
            return;
        add("summer-draft", Severity::Warning,
            QStringLiteral("the true mean draft of %1 m is above the ship's summer draft of %2 m.")
                .arg(shown(*tmd, 3), shown(*summer, 3)));
    }

    void deadweight()
    {
        const std::optional<Decimal> summer = particular(m_s, &ShipRecord::summerDeadweight);
        const std::optional<Decimal> light = particular(m_s, &ShipRecord::lightShip);
        const std::optional<Decimal> trueDisplacement =
            figure(m_d.finalResult().value(SurveyDraft::TrueDisplacement));
        if (!summer || !light || !trueDisplacement)
            return;
        const Decimal dw = *trueDisplacement - *light;
        if (!(dw > *summer))
            return;
        add("deadweight", Severity::Warning,
            QStringLiteral("true displacement less light ship is %1 t, above the ship's summer deadweight of %2 t.")
                .arg(shown(dw, 3), shown(*summer, 3)));
    }

    const SurveyModel& m_s;
    const SurveyDraft& m_d;
    SurveyFinding::Draft m_which;
    QString m_name;
    SurveyFindings m_out;
};

}  // namespace

namespace SurveyChecks {

SurveyFindings draft(const SurveyModel& survey, int index)
{
    return DraftChecks(survey, index).run();
}

SurveyFindings survey(const SurveyModel& s)
{
    SurveyFindings out;
    if (!s.isDischarging())
        return out;
    const std::optional<Decimal> bl = figure(Variant(s.blQuantity()));
    const std::optional<Decimal> finalNet = figure(s.draft(SurveyModel::Final).netDisplacement());
    const std::optional<Decimal> initialNet = figure(Variant(s.reportView().initialNetDisplacement));
    if (!bl || bl->sign() <= 0 || !finalNet || finalNet->isZero() || !initialNet || initialNet->isZero())
        return out;
    const auto add = [&out](const char* code, const QString& text) {
        out.append({QLatin1String(code), Severity::Warning, SurveyFinding::Draft::Survey, text});
    };

    // The cargo as the window works it: the initial net displacement less the final one.
    const Decimal cargo = SurveyModel::cargoDischarged(*initialNet, *finalNet);
    const Decimal difference = cargo - *bl;
    static const Decimal half = *Decimal::parse(u"0.005", QLocale::c());
    if (difference.abs() > *bl * half) {
        add("bl-difference",
            QStringLiteral("The cargo discharged, %1 t, differs from the B/L quantity of %2 t by %3 t (%4%).")
                .arg(shown(cargo, 3), shown(*bl, 3), shown(difference, 3), shown(difference * 100 / *bl, 2)));
    }

    // On arrival the B/L gives the constant the ship should have; after discharge she shows hers.
    // A negative assumed constant (already red in the window) is judged by its size all the same.
    const Decimal light = particular(s, &ShipRecord::lightShip).value_or(Decimal(0));
    const Decimal assumed = *initialNet - light - *bl;
    const Decimal after = finalNet->round(5) - light;
    static const Decimal tenth = *Decimal::parse(u"0.1", QLocale::c());
    if (!assumed.isZero() && (after - assumed).abs() > assumed.abs() * tenth) {
        add("constant-difference",
            QStringLiteral("The constant after discharge, %1 t, differs from the assumed constant of %2 t by %3 t "
                           "(%4%).")
                .arg(shown(after, 3), shown(assumed, 3), shown(after - assumed, 3),
                     shown((after - assumed) * 100 / assumed.abs(), 2)));
    }
    return out;
}

}  // namespace SurveyChecks
