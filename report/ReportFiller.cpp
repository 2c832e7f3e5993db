#include "report/ReportFiller.h"

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/clsDraft.h"
#include "model/clsShip.h"
#include "model/SurveyModel.h"

#include <exception>

namespace {

const QString Metres = QStringLiteral(" m");
const QString Tonnes = QStringLiteral(" MT");

// A value as the report joins it to its unit: a database null reads as nothing, as the ship
// window shows it, rather than stopping the whole report.
QString text(const Variant& v)
{
    return v.isNull() ? QString() : v.toText();
}

// Rounded half to even to `places`; a blank figure prints as 0.
QString rounded(const Variant& v, int places)
{
    return ToNumeric(v, places, 0).toText();
}

// The figure itself, blank counting as 0: means and corrections are added as numbers, never
// joined as texts.
Decimal number(const Variant& v)
{
    return ToNumeric(v, -1, 0).toDecimal();
}

QString textColumn(const clsShip& ship, QString (clsShip::*column)() const)
{
    try {
        return (ship.*column)();
    } catch (const VbError& e) {
        // A particular left null in an older file: the box stays empty, as in the ship window.
        if (e.number() == VbError::invalidUseOfNull().number())
            return QString();
        throw;
    }
}

void warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation);
}

void fillShip(ReportLayout& layout, const SurveyModel& source, const SurveyModel::ReportView& view)
{
    const clsShip& ship = source.ship();
    layout.setCaption(QStringLiteral("lblShipName"), textColumn(ship, &clsShip::ShipName).toUpper());
    layout.setCaption(QStringLiteral("lblReportTitle"),
                      source.isDischarging() ? QStringLiteral("DISCHARGE PORT DRAFT SURVEY REPORT")
                                             : QStringLiteral("LOADPORT DRAFT SURVEY REPORT"));
    layout.setCaption(QStringLiteral("lblCallSign"), textColumn(ship, &clsShip::CallSign));
    layout.setCaption(QStringLiteral("lblGrossTonnage"), text(ship.GrossTonnage()));
    layout.setCaption(QStringLiteral("lblPortOfRegistry"),
                      source.portCaption(ship.PortOfRegistry()));
    layout.setCaption(QStringLiteral("lblNetTonnage"), text(ship.NetTonnage()));
    layout.setCaption(QStringLiteral("lblOfficialNo"), text(ship.OfficialNo()));
    layout.setCaption(QStringLiteral("lblSummerDraft"), text(ship.SummerDraft()) + Metres);
    layout.setCaption(QStringLiteral("lblFlag"), textColumn(ship, &clsShip::Flag));
    layout.setCaption(QStringLiteral("lblSummerDeadweight"), text(ship.SummerDeadweight()) + Tonnes);
    layout.setCaption(QStringLiteral("lblLOA"), text(ship.LOA()) + Metres);
    layout.setCaption(QStringLiteral("lblBreadth"), text(ship.Breadth()) + Metres);
    layout.setCaption(QStringLiteral("lblFwdX"), view.fwdX + Metres);
    layout.setCaption(QStringLiteral("lblMidX"), view.midX + Metres);
    layout.setCaption(QStringLiteral("lblLBP"), source.lbpText() + Metres);
    layout.setCaption(QStringLiteral("lblLightShip"), text(ship.LightShip()) + Tonnes);
    layout.setCaption(QStringLiteral("lblAftX"), view.aftX + Metres);
    layout.setCaption(QStringLiteral("lblVoyageID"), source.voyage());
    layout.setCaption(QStringLiteral("lblCargo"), source.cargo());
}

// Net displacement less light ship: what the ship carries besides cargo and the deductibles.
QString constantText(const clsDraft& draft, const clsShip& ship)
{
    const Variant net = draft.FinalResult().at(clsDraft::NetDisplacementResult);
    return (number(net) - number(ship.LightShip())).toLocaleString(QLocale()) + Tonnes;
}

}  // namespace

namespace ReportFiller {

std::optional<QString> deflectionText(const Variant& fwdMean, const Variant& midMean, const Variant& aftMean)
{
    // Half a metre of midship draft above the mean of the ends is 50 cm of sag.
    const Decimal d = (Decimal(2) * number(midMean) - number(fwdMean) - number(aftMean)) * Decimal(50);
    if (d.sign() > 0)
        return QStringLiteral("Sag ") + d.toLocaleString(QLocale()) + QStringLiteral(" cm");
    if (d.sign() < 0)
        return QStringLiteral("Hog ") + (-d).toLocaleString(QLocale()) + QStringLiteral(" cm");
    return std::nullopt;
}

void fillDraftColumn(ReportLayout& layout, const QString& prefix, clsDraft& draft)
{
    auto set = [&](const char* stem, const QString& value) {
        layout.setCaption(prefix + QLatin1String(stem), value);
    };

    set("Date", draft.DSDate());
    set("Time", draft.DSTime());

    // One row per deductible item on board; items the report has no line for are left out.
    static const QMap<int, const char*> rowOfItem = {{2, "FO"},     {3, "DO"},       {24, "LO"},
                                                     {25, "FW"},    {26, "Ballast"}, {27, "Provisions"},
                                                     {28, "Misc1"}, {29, "Misc2"}};
    RowSet& deductions = draft.Deductions();
    if (deductions.isOpen() && deductions.recordCount() > 0) {
        deductions.moveFirst();
        while (!deductions.eof()) {
            const Variant item = deductions.value(QStringLiteral("ItemID"));
            if (item.isNumber()) {
                const auto row = rowOfItem.constFind(item.toInt32());
                if (row != rowOfItem.constEnd())
                    set(row.value(), text(deductions.value(QStringLiteral("Quantity"))) + Tonnes);
            }
            deductions.moveNext();
        }
    }

    const QVector<Variant> result = draft.FinalResult();
    const VariantArray2D ip = draft.IpResult();
    const int interpolated = clsDraft::Interpolated;

    set("TotDeductibles", rounded(result.at(clsDraft::TotalDeductibles), 5) + Tonnes);
    set("FwdMeanDraft", rounded(draft.FwdMean(), 3) + Metres);
    set("FwdCorrection", rounded(draft.FwdCorrection(), 3) + Metres);
    set("CorrDraftFwd", rounded(draft.FwdTrueDraft(), 3) + Metres);
    set("AftMeanDraft", rounded(draft.AftMean(), 3) + Metres);
    set("AftCorrection", rounded(draft.AftCorrection(), 3) + Metres);
    set("CorrDraftAft", rounded(draft.AftTrueDraft(), 3) + Metres);
    set("MeanMidDraft", rounded(draft.MidMean(), 3) + Metres);
    const Decimal endsMean = (number(draft.FwdMean()) + number(draft.AftMean())) / Decimal(2);
    set("FwdAftMean", endsMean.toLocaleString(QLocale()) + Metres);
    set("MidPortDraft", text(draft.MidPort()) + Metres);
    set("MidStbdDraft", text(draft.MidStbd()) + Metres);
    if (const auto deflection = deflectionText(draft.FwdMean(), draft.MidMean(), draft.AftMean()))
        set("Deflection", *deflection);
    set("TrueMeanDraft", rounded(draft.TrueMeanDraft(), 8) + Metres);
    set("TPC", text(ip.at(interpolated, clsDraft::IpTpc)));
    set("LCF", text(ip.at(interpolated, clsDraft::IpLcf)));
    const Decimal dMctc =
        number(ip.at(interpolated, clsDraft::IpMctcP50)) - number(ip.at(interpolated, clsDraft::IpMctcM50));
    set("dMCTC", dMctc.toLocaleString(QLocale()));
    set("DispInSeaWater", rounded(result.at(clsDraft::DisplacementAtTmd), 5) + Tonnes);
    set("1stTrimCorr", rounded(result.at(clsDraft::FirstTrimCorrection), 4) + Tonnes);
    set("2ndTrimCorr", rounded(result.at(clsDraft::SecondTrimCorrection), 4) + Tonnes);
    set("TotTrimCorr", rounded(result.at(clsDraft::TotalTrimCorrection), 4) + Tonnes);
    set("DispAtEvenKeel", rounded(result.at(clsDraft::DisplacementEvenKeel), 5) + Tonnes);
    set("Density", text(draft.SpecificGravity()));
    set("TrueDisplacement", rounded(result.at(clsDraft::TrueDisplacement), 5) + Tonnes);
    set("TotDeductibles2", rounded(result.at(clsDraft::TotalDeductibles), 5) + Tonnes);
    set("NGDisp", rounded(result.at(clsDraft::NetDisplacementResult), 5) + Tonnes);
    set("Comments", draft.Comments());
}

std::optional<ReportLayout> Fill(SurveyModel& source, bool blnShowPreview,
                                 const std::function<void(int draft)>& copyInputs)
{
    const bool discharging = source.isDischarging();
    try {
        ReportLayout layout = discharging ? ReportLayout::drptZODuraduza() : ReportLayout::drptQuorvane();
        const SurveyModel::ReportView view = source.reportView();

        if (source.shipName().isEmpty()) {
            warn(QStringLiteral("Please select ship name first."));
            return std::nullopt;
        }
        fillShip(layout, source, view);

        if (source.portName().isEmpty()) {
            warn(QStringLiteral("Please select port name first."));
            return std::nullopt;
        }
        QString portName = source.portCaption(source.portId() ? Variant::longInt(*source.portId()) : Variant());
        if (portName.isEmpty())
            portName = source.portName();
        layout.setCaption(QStringLiteral("lblPortName"), portName);

        clsDraft& initial = source.draft(SurveyModel::Initial);
        clsDraft& fin = source.draft(SurveyModel::Final);
        // The Initial column: only a calculated Initial draft is printed.
        bool initialComplete = false;
        if (view.initialCalculated) {
            if (view.copiesInputs) {
                if (copyInputs)
                    copyInputs(view.draftOnShow);
                else
                    source.copyToDraft(view.draftOnShow);
            }
            if (!initial.ToSave()) {
                warn(blnShowPreview ? QStringLiteral("No valid draft for preview.")
                                    : QStringLiteral("No valid draft for printing."));
                return std::nullopt;
            }
            fillDraftColumn(layout, QStringLiteral("lblInit"), initial);
            if (!discharging)
                layout.setCaption(QStringLiteral("lblConstant"), constantText(initial, source.ship()));
            initialComplete = true;
        } else {
            const Msg::Answer answer = MessageService::show(
                MessageService::join(
                    QStringLiteral("Incomplete Initial draft...!"),
                    QStringLiteral("Would you like to discard initial draft details and continue ?")),
                Msg::Buttons::YesNo, Msg::Icon::Exclamation);
            if (answer != Msg::Answer::Yes)
                return std::nullopt;
        }

        // The Final column, the constant of a discharge and the cargo.
        const QString cargo = view.cargoResult;
        if (cargo.isEmpty() && !initialComplete) {
            warn(MessageService::join(
                QStringLiteral("Incomplete Final draft...!"),
                QStringLiteral(
                    "Please enter all the values and press Calculate button before printing/preview.")));
            return std::nullopt;
        }
        if (!cargo.isEmpty() && fin.ToSave()) {
            fillDraftColumn(layout, QStringLiteral("lblFin"), fin);
            if (discharging)
                layout.setCaption(QStringLiteral("lblConstant"), constantText(fin, source.ship()));
            // The initial net displacement as the Final tab holds it (worked out, or typed in when
            // it was measured elsewhere); a blank box counts as 0, as it did for the cargo shown.
            const Decimal initialNet = number(Variant(view.initialNetDisplacement));
            const Decimal finalNet = number(fin.FinalResult().at(clsDraft::NetDisplacementResult));
            const Decimal quantity = discharging ? initialNet - finalNet : finalNet - initialNet;
            layout.setCaption(QStringLiteral("lblTotCargoLoaded"),
                              quantity.round(5).toLocaleString(QLocale()) + Tonnes);
        }

        layout.setCaption(QStringLiteral("lblShipName2"), textColumn(source.ship(), &clsShip::ShipName));
        return layout;
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    } catch (const std::exception& e) {
        MessageService::plain(QString::fromLocal8Bit(e.what()));
    }
    MessageService::printFailure(discharging ? 10066 : 10067);
    return std::nullopt;
}

}  // namespace ReportFiller
