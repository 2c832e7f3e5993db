#include "report/ReportFiller.h"

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"
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
    return toNumeric(v, places, 0).toText();
}

// The figure itself, blank counting as 0: means and corrections are added as numbers, never
// joined as texts.
Decimal number(const Variant& v)
{
    return toNumeric(v, -1, 0).toDecimal();
}

QString textColumn(const ShipRecord& ship, QString (ShipRecord::*column)() const)
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
    const ShipRecord& ship = source.ship();
    layout.setCaption(QStringLiteral("lblShipName"), textColumn(ship, &ShipRecord::shipName).toUpper());
    layout.setCaption(QStringLiteral("lblReportTitle"),
                      source.isDischarging() ? QStringLiteral("DISCHARGE PORT DRAFT SURVEY REPORT")
                                             : QStringLiteral("LOADPORT DRAFT SURVEY REPORT"));
    layout.setCaption(QStringLiteral("lblCallSign"), textColumn(ship, &ShipRecord::callSign));
    layout.setCaption(QStringLiteral("lblGrossTonnage"), text(ship.grossTonnage()));
    layout.setCaption(QStringLiteral("lblPortOfRegistry"),
                      source.portCaption(ship.portOfRegistry()));
    layout.setCaption(QStringLiteral("lblNetTonnage"), text(ship.netTonnage()));
    layout.setCaption(QStringLiteral("lblOfficialNo"), text(ship.officialNo()));
    layout.setCaption(QStringLiteral("lblSummerDraft"), text(ship.summerDraft()) + Metres);
    layout.setCaption(QStringLiteral("lblFlag"), textColumn(ship, &ShipRecord::flag));
    layout.setCaption(QStringLiteral("lblSummerDeadweight"), text(ship.summerDeadweight()) + Tonnes);
    layout.setCaption(QStringLiteral("lblLOA"), text(ship.loa()) + Metres);
    layout.setCaption(QStringLiteral("lblBreadth"), text(ship.breadth()) + Metres);
    layout.setCaption(QStringLiteral("lblFwdX"), view.fwdX + Metres);
    layout.setCaption(QStringLiteral("lblMidX"), view.midX + Metres);
    layout.setCaption(QStringLiteral("lblLBP"), source.lbpText() + Metres);
    layout.setCaption(QStringLiteral("lblLightShip"), text(ship.lightShip()) + Tonnes);
    layout.setCaption(QStringLiteral("lblAftX"), view.aftX + Metres);
    layout.setCaption(QStringLiteral("lblVoyageID"), source.voyage());
    layout.setCaption(QStringLiteral("lblCargo"), source.cargo());
}

// Net displacement less light ship: what the ship carries besides cargo and the deductibles.
QString constantText(const SurveyDraft& draft, const ShipRecord& ship)
{
    const Variant net = draft.finalResult().at(SurveyDraft::NetDisplacementResult);
    return (number(net) - number(ship.lightShip())).toLocaleString(QLocale()) + Tonnes;
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

void fillDraftColumn(ReportLayout& layout, const QString& prefix, SurveyDraft& draft)
{
    auto set = [&](const char* stem, const QString& value) {
        layout.setCaption(prefix + QLatin1String(stem), value);
    };

    set("Date", draft.surveyDate());
    set("Time", draft.surveyTime());

    // One row per deductible item on board; items the report has no line for are left out.
    static const QMap<int, const char*> rowOfItem = {{2, "FO"},     {3, "DO"},       {24, "LO"},
                                                     {25, "FW"},    {26, "Ballast"}, {27, "Provisions"},
                                                     {28, "Misc1"}, {29, "Misc2"}};
    RowSet& deductions = draft.deductions();
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

    const QVector<Variant> result = draft.finalResult();
    const VariantArray2D ip = draft.ipResult();
    const int interpolated = SurveyDraft::Interpolated;

    set("TotDeductibles", rounded(result.at(SurveyDraft::TotalDeductibles), 5) + Tonnes);
    set("FwdMeanDraft", rounded(draft.fwdMean(), 3) + Metres);
    set("FwdCorrection", rounded(draft.fwdCorrection(), 3) + Metres);
    set("CorrDraftFwd", rounded(draft.fwdTrueDraft(), 3) + Metres);
    set("AftMeanDraft", rounded(draft.aftMean(), 3) + Metres);
    set("AftCorrection", rounded(draft.aftCorrection(), 3) + Metres);
    set("CorrDraftAft", rounded(draft.aftTrueDraft(), 3) + Metres);
    set("MeanMidDraft", rounded(draft.midMean(), 3) + Metres);
    const Decimal endsMean = (number(draft.fwdMean()) + number(draft.aftMean())) / Decimal(2);
    set("FwdAftMean", endsMean.toLocaleString(QLocale()) + Metres);
    set("MidPortDraft", text(draft.midPort()) + Metres);
    set("MidStbdDraft", text(draft.midStbd()) + Metres);
    if (const auto deflection = deflectionText(draft.fwdMean(), draft.midMean(), draft.aftMean()))
        set("Deflection", *deflection);
    // A table of moulded drafts was entered over the keel plate: the draft it was entered at is
    // the true mean draft less this.
    const Decimal keel = draft.keelCorrection();
    set("KeelCorr", (keel.isZero() ? Decimal(0) : -keel).round(3).toLocaleString(QLocale()) + Metres);
    set("TrueMeanDraft", rounded(draft.trueMeanDraft(), 8) + Metres);
    set("TPC", text(ip.at(interpolated, SurveyDraft::IpTpc)));
    set("LCF", text(ip.at(interpolated, SurveyDraft::IpLcf)));
    const Decimal dMctc = number(ip.at(interpolated, SurveyDraft::IpMctcP50))
                          - number(ip.at(interpolated, SurveyDraft::IpMctcM50));
    set("dMCTC", dMctc.toLocaleString(QLocale()));
    set("DispInSeaWater", rounded(result.at(SurveyDraft::DisplacementAtTmd), 5) + Tonnes);
    set("1stTrimCorr", rounded(result.at(SurveyDraft::FirstTrimCorrection), 4) + Tonnes);
    set("2ndTrimCorr", rounded(result.at(SurveyDraft::SecondTrimCorrection), 4) + Tonnes);
    set("TotTrimCorr", rounded(result.at(SurveyDraft::TotalTrimCorrection), 4) + Tonnes);
    set("ListCorr", rounded(result.at(SurveyDraft::ListCorrection), 4) + Tonnes);
    set("DispAtEvenKeel", rounded(result.at(SurveyDraft::DisplacementEvenKeel), 5) + Tonnes);
    set("Density", text(draft.specificGravity()));
    set("TrueDisplacement", rounded(result.at(SurveyDraft::TrueDisplacement), 5) + Tonnes);
    set("TotDeductibles2", rounded(result.at(SurveyDraft::TotalDeductibles), 5) + Tonnes);
    set("NGDisp", rounded(result.at(SurveyDraft::NetDisplacementResult), 5) + Tonnes);
    set("Comments", draft.comments());
}

namespace {

// The page of the Final draft, or of a draft check in its column.
std::optional<ReportLayout> fillPage(SurveyModel& source, bool showPreview,
                                     const std::function<void(int draft)>& copyInputs, int column)
{
    const bool discharging = source.isDischarging();
    const bool check = SurveyModel::isCheck(column);
    try {
        ReportLayout layout = discharging ? ReportLayout::dischargingReport() : ReportLayout::loadingReport();
        SurveyModel::ReportView view = source.reportView();
        if (check) {
            // The check's cargo since the Initial draft stands where the Total Cargo does.
            const std::optional<Decimal> since = source.cargoSince(column);
            view.cargoResult = !since ? QString()
                : discharging         ? Variant(*since).toText()
                                      : since->toLocaleString(QLocale());
            // Worked from the Initial draft's net displacement, or the one typed on the Final tab.
            view.initialNetDisplacement = source.initialNetDisplacement().toString();
        }

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

        SurveyDraft& initial = source.draft(SurveyModel::Initial);
        SurveyDraft& fin = source.draft(column);
        // The Initial column: only a calculated Initial draft is printed.
        bool initialComplete = false;
        if (view.initialCalculated) {
            if (view.copiesInputs) {
                if (copyInputs)
                    copyInputs(view.draftOnShow);
                else
                    source.copyToDraft(view.draftOnShow);
            }
            if (!initial.needsSaving()) {
                warn(showPreview ? QStringLiteral("No valid draft for preview.")
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
        if (check && cargo.isEmpty()) {
            warn(MessageService::join(
                QStringLiteral("Incomplete draft check...!"),
                QStringLiteral("Please enter all the values and press Calculate button before "
                               "printing/preview.")));
            return std::nullopt;
        }
        if (cargo.isEmpty() && !initialComplete) {
            warn(MessageService::join(
                QStringLiteral("Incomplete Final draft...!"),
                QStringLiteral(
                    "Please enter all the values and press Calculate button before printing/preview.")));
            return std::nullopt;
        }
        if (!cargo.isEmpty() && fin.needsSaving()) {
            fillDraftColumn(layout, QStringLiteral("lblFin"), fin);
            if (discharging)
                layout.setCaption(QStringLiteral("lblConstant"), constantText(fin, source.ship()));
            // The initial net displacement as the Final tab holds it (worked out, or typed in when
            // it was measured elsewhere); a blank box counts as 0, as it did for the cargo shown.
            const Decimal initialNet = number(Variant(view.initialNetDisplacement));
            const Decimal finalNet = number(fin.finalResult().at(SurveyDraft::NetDisplacementResult));
            const Decimal quantity = discharging ? initialNet - finalNet : finalNet - initialNet;
            layout.setCaption(QStringLiteral("lblTotCargoLoaded"),
                              quantity.round(5).toLocaleString(QLocale()) + Tonnes);
        }

        layout.setCaption(QStringLiteral("lblShipName2"), textColumn(source.ship(), &ShipRecord::shipName));
        if (check) {
            const SurveyModel::DraftInputs& in = source.inputs(column);
            layout.setCaption(QStringLiteral("lblReportTitle"),
                              layout.caption("lblReportTitle")
                                  + QStringLiteral(" - DRAFT CHECK %1").arg(SurveyModel::checkNumber(column))
                                  + QStringLiteral(", %1 %2").arg(in.date, in.time));
        }
        return layout;
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    } catch (const std::exception& e) {
        MessageService::plain(QString::fromLocal8Bit(e.what()));
    }
    MessageService::printFailure(discharging ? 10066 : 10067);
    return std::nullopt;
}

}  // namespace

std::optional<ReportLayout> fill(SurveyModel& source, bool showPreview,
                                 const std::function<void(int draft)>& copyInputs)
{
    return fillPage(source, showPreview, copyInputs, SurveyModel::Final);
}

std::optional<ReportLayout> fillCheck(SurveyModel& source, int check, bool showPreview,
                                      const std::function<void(int draft)>& copyInputs)
{
    if (!SurveyModel::isCheck(check) || check >= SurveyModel::FirstCheck + source.checkCount())
        return std::nullopt;
    return fillPage(source, showPreview, copyInputs, check);
}

}  // namespace ReportFiller
