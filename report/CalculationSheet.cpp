#include "report/CalculationSheet.h"

#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "model/ShipRecord.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"
#include "report/ReportFiller.h"
#include "report/SheetPage.h"
#include "report/TankSheetPages.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QtMath>

#include <exception>
#include <map>

namespace {

using Line = CalculationSheet::Line;
using Block = CalculationSheet::Block;
using Kind = CalculationSheet::Line::Kind;

// The page frame in millimetres, as the report page's: room for a binder's holes at the left.
constexpr qreal Left = 15.0;
constexpr qreal Right = 195.0;
constexpr qreal Top = 11.0;
constexpr qreal BodyTop = 29.0; // under the title, the ship and the rule
constexpr qreal BodyBottom = 281.0; // above the foot line
constexpr qreal LineHeight = 4.2;
constexpr qreal TitleHeight = 6.0; // a block's shaded title band
constexpr qreal BlockGap = 3.0;
constexpr qreal SignatureHeight = 26.0;
// The label column, then three figure columns; a line of n figures fills the last n of them.
constexpr qreal LabelLeft = Left + 2.0;
constexpr qreal LabelWidth = 82.0;
constexpr qreal FigureLeft = 101.0;
constexpr qreal FigureWidth = 31.0;
constexpr int FigureColumns = 3;
constexpr qreal TextLeft = FigureLeft;
constexpr qreal TextWidth = Right - 1.0 - TextLeft;
constexpr qreal PointSize = 8.0;

const QString Metres = QStringLiteral(" m");
const QString Tonnes = QStringLiteral(" MT");

const QColor Ink(0, 0, 0);
const QColor Label(60, 60, 60);
const QColor TitleShade(222, 226, 232);
const QColor HeadShade(244, 245, 247);
const QColor Hairline(170, 170, 170);

// A value as the report joins it to its unit: a database null reads as nothing.
QString text(const Variant& v)
{
    return v.isNull() ? QString() : v.toText();
}

// Rounded half to even to `places`, blank counting as 0: as the report page rounds.
QString rounded(const Variant& v, int places)
{
    return toNumeric(v, places, 0).toText();
}

Decimal number(const Variant& v)
{
    return toNumeric(v, -1, 0).toDecimal();
}

// A figure of the model not on the report page, rounded as the page rounds its kind: drafts to
// 3 places, displacements to 5, corrections in tonnes to 4.
QString decimalText(const Decimal& d, int places)
{
    return d.round(places).toLocaleString(QLocale());
}

Line figure(const QString& key, const QString& label, const QStringList& cells, bool strong = false)
{
    Line l;
    l.kind = Kind::Figure;
    l.key = key;
    l.label = label;
    l.cells = cells;
    l.strong = strong;
    return l;
}

Line heading(const QString& label, const QStringList& heads)
{
    Line l;
    l.kind = Kind::Heading;
    l.label = label;
    l.cells = heads;
    return l;
}

Line textLine(const QString& key, const QString& label, const QString& value)
{
    Line l;
    l.kind = Kind::Text;
    l.key = key;
    l.label = label;
    l.cells = QStringList{value};
    return l;
}

// The report page's caption when the page filled it, else nothing.
const auto pageCaption = SheetPage::filledCaption;

QString itemName(const QList<QPair<int, QString>>& catalogue, int item)
{
    for (const auto& [id, name] : catalogue)
        if (id == item)
            return name;
    return QStringLiteral("Item %1").arg(item);
}

// Where the rows the table was entered at came from.
QString rowsSource(const SurveyModel& survey, int draft)
{
    if (!survey.table())
        return QStringLiteral("Typed from the ship's hydrostatic tables");
    if (draft != SurveyModel::Initial && draft != SurveyModel::Final)
        return QStringLiteral("Picked from the ship's table");
    const QStringList typed = survey.typedOverTable(draft);
    if (typed.isEmpty())
        return QStringLiteral("Picked from the ship's table");
    return QStringLiteral("Picked from the ship's table; typed over it: ")
        + typed.join(QStringLiteral(", "));
}

Block draftBlock(SurveyModel& survey, const SurveyModel::DraftTaken& taken, const ReportLayout& page,
    const QString& prefix, const QList<QPair<int, QString>>& catalogue)
{
    SurveyDraft& d = *taken.draft;
    Block b;
    const int index = taken.index;
    b.key = index == SurveyModel::Initial ? QStringLiteral("initial")
        : SurveyModel::isCheck(index)     ? QStringLiteral("check%1").arg(SurveyModel::checkNumber(index))
                                          : QStringLiteral("final");
    b.title = taken.title;
    const auto k = [&b](const char* name) { return b.key + QLatin1Char('.') + QLatin1String(name); };
    QList<Line>& l = b.lines;

    l << figure(k("dateTime"), QStringLiteral("Date and time"),
        {d.surveyDate() + QLatin1Char(' ') + d.surveyTime()});
    l << figure(k("readingsStart"), QStringLiteral("Readings began"), {d.readingsStart()});
    l << figure(k("readingsEnd"), QStringLiteral("Readings ended"), {d.readingsEnd()});
    l << figure(
        k("density"), QStringLiteral("Density of the dock water (t/m3)"), {text(d.specificGravity())});

    // The readings on each side and their means, forward, midships and aft.
    l << heading(QStringLiteral("Drafts read"),
        {QStringLiteral("Port"), QStringLiteral("Starboard"), QStringLiteral("Mean")});
    l << figure(k("forward"), QStringLiteral("Forward"),
        {text(d.fwdPort()) + Metres, text(d.fwdStbd()) + Metres, rounded(d.fwdMean(), 3) + Metres});
    l << figure(k("midships"), QStringLiteral("Midships"),
        {text(d.midPort()) + Metres, text(d.midStbd()) + Metres, rounded(d.midMean(), 3) + Metres});
    l << figure(k("aft"), QStringLiteral("Aft"),
        {text(d.aftPort()) + Metres, text(d.aftStbd()) + Metres, rounded(d.aftMean(), 3) + Metres});

    // From the marks to the perpendiculars and midships.
    l << heading(QStringLiteral("To the perpendiculars"),
        {QStringLiteral("Mark distance"), QStringLiteral("Correction"), QStringLiteral("Corrected")});
    l << figure(k("forwardCorrection"), QStringLiteral("Forward"),
        {text(d.fwdX()) + Metres, rounded(d.fwdCorrection(), 3) + Metres,
            rounded(d.fwdTrueDraft(), 3) + Metres});
    l << figure(k("midshipsCorrection"), QStringLiteral("Midships"),
        {text(d.midX()) + Metres, rounded(d.midCorrection(), 3) + Metres,
            rounded(d.midTrueDraft(), 3) + Metres});
    l << figure(k("aftCorrection"), QStringLiteral("Aft"),
        {text(d.aftX()) + Metres, rounded(d.aftCorrection(), 3) + Metres,
            rounded(d.aftTrueDraft(), 3) + Metres});
    l << figure(k("lbm"), QStringLiteral("Length between the marks"), {text(d.lbm()) + Metres});
    l << figure(k("trueTrim"), QStringLiteral("True trim"), {rounded(d.trueTrim(), 3) + Metres});

    l << figure(k("fwdAftMean"), QStringLiteral("Mean of Fwd. & Aft. Draft"),
        {pageCaption(page, prefix + QStringLiteral("FwdAftMean"))});
    // The mean of the corrected forward and aft drafts, meaned again with the midship draft.
    const Decimal endsCorrected = (number(d.fwdTrueDraft()) + number(d.aftTrueDraft())) / Decimal(2);
    const Decimal meanOfMeans = (endsCorrected + number(d.midTrueDraft())) / Decimal(2);
    l << figure(k("meanOfMeans"), QStringLiteral("Mean of means (corrected drafts)"),
        {decimalText(meanOfMeans, 3) + Metres});
    const std::optional<QString> deflection
        = ReportFiller::deflectionText(d.fwdMean(), d.midMean(), d.aftMean());
    l << figure(k("deflection"), QStringLiteral("Hull deflection"),
        {deflection ? *deflection : QStringLiteral("None")});
    l << figure(k("trueMeanDraft"), QStringLiteral("True mean draft (quarter mean)"),
        {rounded(d.trueMeanDraft(), 8) + Metres}, true);
    l << figure(k("keelCorrection"), QStringLiteral("Keel correction"),
        {pageCaption(page, prefix + QStringLiteral("KeelCorr"))});

    // The rows of the ship's tables the true mean draft was entered between.
    const VariantArray2D hdt = d.hdt();
    const VariantArray2D plus = d.mctcPlus50();
    const VariantArray2D minus = d.mctcMinus50();
    const int below = SurveyDraft::Below;
    const int above = SurveyDraft::Above;
    l << heading(
        QStringLiteral("Hydrostatic rows used"), {QStringLiteral("Below"), QStringLiteral("Above")});
    l << figure(k("rowsDraft"), QStringLiteral("Draft"),
        {text(hdt.at(below, SurveyDraft::HydDraft)) + Metres,
            text(hdt.at(above, SurveyDraft::HydDraft)) + Metres});
    l << figure(k("rowsDisplacement"), QStringLiteral("Displacement"),
        {text(hdt.at(below, SurveyDraft::Displacement)) + Tonnes,
            text(hdt.at(above, SurveyDraft::Displacement)) + Tonnes});
    l << figure(k("rowsTpc"), QStringLiteral("TPC"),
        {text(hdt.at(below, SurveyDraft::Tpc)), text(hdt.at(above, SurveyDraft::Tpc))});
    l << figure(k("rowsLcf"), QStringLiteral("LCF"),
        {text(hdt.at(below, SurveyDraft::Lcf)), text(hdt.at(above, SurveyDraft::Lcf))});
    l << figure(k("rowsMctcPlus50"), QStringLiteral("MCTC at +0.5 m"),
        {text(plus.at(below, SurveyDraft::Mctc)), text(plus.at(above, SurveyDraft::Mctc))});
    l << figure(k("rowsMctcMinus50"), QStringLiteral("MCTC at -0.5 m"),
        {text(minus.at(below, SurveyDraft::Mctc)), text(minus.at(above, SurveyDraft::Mctc))});
    l << textLine(k("rowsFrom"), QStringLiteral("Rows"), rowsSource(survey, taken.index));

    // Interpolated at the true mean draft.
    const VariantArray2D ip = d.ipResult();
    const int at = SurveyDraft::Interpolated;
    l << heading(QStringLiteral("At the true mean draft"), {});
    l << figure(k("displacement"), QStringLiteral("Displacement in Sea Water"),
        {rounded(d.finalResult().at(SurveyDraft::DisplacementAtTmd), 5) + Tonnes});
    l << figure(k("tpc"), QStringLiteral("TPC"), {pageCaption(page, prefix + QStringLiteral("TPC"))});
    l << figure(k("lcf"), QStringLiteral("LCF"), {pageCaption(page, prefix + QStringLiteral("LCF"))});
    l << figure(k("mctc"), QStringLiteral("MCTC at +0.5 m / -0.5 m"),
        {text(ip.at(at, SurveyDraft::IpMctcP50)), text(ip.at(at, SurveyDraft::IpMctcM50))});
    l << figure(k("dMctc"), QStringLiteral("dMCTC"), {pageCaption(page, prefix + QStringLiteral("dMCTC"))});

    // From the displacement at the true mean draft down to the net.
    const QVector<Variant> r = d.finalResult();
    l << heading(QStringLiteral("Corrections"), {});
    l << figure(k("firstTrimCorrection"), QStringLiteral("1st Trim Correction"),
        {rounded(r.at(SurveyDraft::FirstTrimCorrection), 4) + Tonnes});
    l << figure(k("secondTrimCorrection"), QStringLiteral("2nd Trim Correction"),
        {rounded(r.at(SurveyDraft::SecondTrimCorrection), 4) + Tonnes});
    l << figure(k("totalTrimCorrection"), QStringLiteral("Total Trim Correction"),
        {rounded(r.at(SurveyDraft::TotalTrimCorrection), 4) + Tonnes});
    l << figure(k("listCorrection"), QStringLiteral("List Correction"),
        {rounded(r.at(SurveyDraft::ListCorrection), 4) + Tonnes});
    l << figure(k("displacementTrimList"), QStringLiteral("Disp. Corrected for Trim & List"),
        {rounded(r.at(SurveyDraft::DisplacementEvenKeel), 5) + Tonnes});
    l << figure(k("densityCorrection"), QStringLiteral("Density Correction"),
        {rounded(r.at(SurveyDraft::DensityCorrection), 5) + Tonnes});
    l << figure(k("displacementDensity"), QStringLiteral("Disp. Corrected for Density"),
        {rounded(r.at(SurveyDraft::TrueDisplacement), 5) + Tonnes});

    // What is on board besides cargo, item by item as the deductibles list holds it.
    l << heading(QStringLiteral("Deductibles"), {});
    RowSet& deductions = d.deductions();
    if (deductions.isOpen() && deductions.recordCount() > 0) {
        deductions.moveFirst();
        while (!deductions.eof()) {
            const Variant item = deductions.value(QStringLiteral("ItemID"));
            const Variant quantity = deductions.value(QStringLiteral("Quantity"));
            if (item.isNumber()) {
                const int id = item.toInt32();
                l << figure(b.key + QStringLiteral(".deductible.") + QString::number(id),
                    itemName(catalogue, id), {text(quantity) + Tonnes});
            }
            deductions.moveNext();
        }
    }
    // The groups worked out from the tanks' soundings, each the figure its item above holds: where
    // the item's tonnes came from (the tank sheet shows each tank). A draft without soundings
    // shows nothing here.
    const QList<TankSheetPages::Total> tankTotals = TankSheetPages::totals(survey, taken.index);
    if (!tankTotals.isEmpty()) {
        l << heading(QStringLiteral("From the tank sheet"), {});
        for (const TankSheetPages::Total& t : tankTotals) {
            const QString into = QStringLiteral(", into %1)").arg(itemName(catalogue, t.item));
            l << figure(b.key + QStringLiteral(".tanks.") + t.key, TankSheetPages::countedGroup(t) + into,
                {t.weight + Tonnes});
        }
    }
    l << figure(k("totalDeductibles"), QStringLiteral("TOTAL DEDUCTIBLES"),
        {rounded(r.at(SurveyDraft::TotalDeductibles), 5) + Tonnes});
    l << figure(k("netDisplacement"), QStringLiteral("Net Displacement"),
        {rounded(r.at(SurveyDraft::NetDisplacementResult), 5) + Tonnes}, true);
    return b;
}

Block resultBlock(SurveyModel& survey, const ReportLayout& page, const QStringList& onSheet)
{
    const bool discharging = survey.isDischarging();
    Block b;
    b.key = QStringLiteral("result");
    b.title = discharging ? QStringLiteral("CARGO DISCHARGED") : QStringLiteral("CARGO LOADED");
    QList<Line>& l = b.lines;
    l << figure(QStringLiteral("result.lightShip"), QStringLiteral("Light ship"),
        {pageCaption(page, QStringLiteral("lblLightShip"))});
    const SurveyModel::ReportView view = survey.reportView();
    // The Initial net displacement the cargo was worked from: the draft's, or the one typed on the
    // Final tab when the Initial draft was worked elsewhere.
    QString initialNet = pageCaption(page, QStringLiteral("lblInitNGDisp"));
    if (!onSheet.contains(QStringLiteral("initial")) && !view.initialNetDisplacement.isEmpty())
        initialNet = decimalText(number(Variant(view.initialNetDisplacement)), 5) + Tonnes;
    l << figure(QStringLiteral("result.initialNetDisplacement"), QStringLiteral("Initial Net Displacement"),
        {initialNet});
    l << figure(QStringLiteral("result.finalNetDisplacement"), QStringLiteral("Final Net Displacement"),
        {pageCaption(page, QStringLiteral("lblFinNGDisp"))});
    l << figure(QStringLiteral("result.constant"),
        discharging ? QStringLiteral("Constant after discharge") : QStringLiteral("Constant"),
        {pageCaption(page, QStringLiteral("lblConstant"))});
    const QString cargo = pageCaption(page, QStringLiteral("lblTotCargoLoaded"));
    l << figure(QStringLiteral("result.cargo"),
        discharging ? QStringLiteral("TOTAL CARGO DISCHARGED") : QStringLiteral("TOTAL CARGO LOADED"),
        {cargo}, true);

    // The Bill of Lading figure and how far the survey is from it.
    const QString bl = survey.blQuantity().trimmed();
    if (discharging && !bl.isEmpty()) {
        l << figure(QStringLiteral("result.blQuantity"), QStringLiteral("B/L quantity"), {bl + Tonnes});
        QString difference;
        QString percent;
        if (!cargo.isEmpty()) {
            // The cargo as the page worked it out: Initial less Final net displacement, to 5 places.
            SurveyDraft& fin = survey.draft(SurveyModel::Final);
            const Decimal initial = number(Variant(view.initialNetDisplacement));
            const Decimal finalNet = number(fin.finalResult().at(SurveyDraft::NetDisplacementResult));
            const Decimal quantity = (initial - finalNet).round(5);
            const Decimal blFigure = number(Variant(bl));
            const Decimal diff = quantity - blFigure;
            difference = decimalText(diff, 5) + Tonnes;
            if (!blFigure.isZero())
                percent = decimalText(diff * Decimal(100) / blFigure, 3) + QStringLiteral(" %");
        }
        l << figure(QStringLiteral("result.blDifference"), QStringLiteral("Difference from the B/L"),
            {difference, percent});
    }
    return b;
}

// The draft checks side by side: each one's net displacement, the cargo since the Initial draft
// and what is still to load (against the planned cargo) or still on board (against the B/L).
Block checksBlock(SurveyModel& survey)
{
    const bool discharging = survey.isDischarging();
    Block b;
    b.key = QStringLiteral("checks");
    b.title = QStringLiteral("DRAFT CHECKS");
    QList<Line>& l = b.lines;
    l << heading(QStringLiteral("Check, date and time"),
        {QStringLiteral("Net Displacement"),
            discharging ? QStringLiteral("Discharged") : QStringLiteral("Loaded"),
            discharging ? QStringLiteral("Still on board") : QStringLiteral("Still to load")});
    for (int check : survey.draftChecks()) {
        const int n = SurveyModel::checkNumber(check);
        const QString key = QStringLiteral("checks.%1").arg(n);
        SurveyDraft& d = survey.draft(check);
        const QString label = QStringLiteral("Check %1, %2 %3").arg(n).arg(d.surveyDate(), d.surveyTime());
        const std::optional<Decimal> cargo = survey.cargoSince(check);
        if (!survey.calculated(check) || !cargo) {
            l << figure(key, label, {QStringLiteral("Not calculated"), QString(), QString()});
            continue;
        }
        const std::optional<Decimal> rest
            = discharging ? survey.cargoOnBoard(check) : survey.cargoToLoad(check);
        l << figure(key, label,
            {rounded(d.finalResult().at(SurveyDraft::NetDisplacementResult), 5) + Tonnes,
                decimalText(*cargo, 5) + Tonnes, rest ? decimalText(*rest, 5) + Tonnes : QString()});
    }
    return b;
}

Block findingsBlock(const SurveyModel& survey)
{
    Block b;
    b.key = QStringLiteral("findings");
    b.title = QStringLiteral("CHECKS BEFORE SIGNING");
    const SurveyFindings findings = survey.findings();
    if (findings.isEmpty())
        b.lines << textLine(
            QStringLiteral("findings.none"), QString(), QStringLiteral("Nothing to remark."));
    for (int i = 0; i < findings.size(); ++i) {
        const SurveyFinding& f = findings.at(i);
        const QString draft = f.draft == SurveyFinding::Draft::Initial ? QStringLiteral("Initial")
            : f.draft == SurveyFinding::Draft::Final                   ? QStringLiteral("Final")
                                                                       : QStringLiteral("Survey");
        const QString severity = f.isWarning() ? QStringLiteral("Warning") : QStringLiteral("Note");
        b.lines << textLine(QStringLiteral("findings.%1").arg(i + 1),
            severity + QStringLiteral(" (") + draft + QLatin1Char(')'), f.text);
    }
    return b;
}

Block particularsBlock(const SurveyModel& survey)
{
    Block b;
    b.key = QStringLiteral("particulars");
    b.title = QStringLiteral("PARTICULARS OF THE SURVEY");
    // Every particular is listed, given or not: a blank one is written in by hand.
    const SurveyParticulars& p = survey.particulars();
    for (const SurveyParticulars::Item& item : SurveyParticulars::items())
        b.lines << textLine(QStringLiteral("particulars.") + item.key, item.label, p.value(item.key));
    return b;
}

Block signatureBlock(const SurveyModel& survey, const ReportLayout& page)
{
    Block b;
    b.key = QStringLiteral("signatures");
    b.title = QStringLiteral("SIGNATURES");
    const SurveyParticulars& p = survey.particulars();
    QString mate = p.value(QStringLiteral("master"));
    if (mate.isEmpty())
        mate = p.value(QStringLiteral("chiefOfficer"));
    Line l;
    l.kind = Kind::Signature;
    l.key = QStringLiteral("signatures");
    l.label = QString();
    l.cells = QStringList{QStringLiteral("Surveyor"), p.value(QStringLiteral("surveyor")),
        QStringLiteral("Master / Chief Officer"), mate, pageCaption(page, QStringLiteral("lblShipName2"))};
    b.lines << l;
    return b;
}

// The height a free text takes in the text column, in mm, measured as the drawing will set it
// (the page's typeface at its size, wrapped at word breaks) on a 600 dpi page.
qreal measuredTextHeight(const QString& text);

// A sheet is laid out, then drawn page by page: each text is measured once.
qreal textHeight(const QString& text)
{
    static QHash<QString, qreal> measured;
    if (const auto it = measured.constFind(text); it != measured.constEnd())
        return it.value();
    if (measured.size() > 512)
        measured.clear();
    const qreal h = measuredTextHeight(text);
    measured.insert(text, h);
    return h;
}

qreal measuredTextHeight(const QString& text)
{
    static const QImage paper = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(600 / 0.0254));
        image.setDotsPerMeterY(qRound(600 / 0.0254));
        return image;
    }();
    const qreal pxPerMM = 600 / 25.4;
    ReportLayout::Caption c;
    c.text = text;
    c.pointSize = PointSize;
    c.wrap = true;
    c.rect = QRectF(0, 0, TextWidth, 1000);
    const ReportLayout::Fitted f = ReportLayout::fit(c, &paper, pxPerMM);
    const QFontMetricsF fm(f.font, const_cast<QImage*>(&paper));
    const QString paragraphs = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QRectF need = fm.boundingRect(
        QRectF(0, 0, TextWidth * pxPerMM, 1e9), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, paragraphs);
    // A little air under the last line, so that the drawing never has to shrink it.
    return need.height() / pxPerMM + 0.6;
}

qreal lineHeight(const Line& line)
{
    switch (line.kind) {
    case Kind::Signature:
        return SignatureHeight;
    case Kind::Text:
        return qMax(LineHeight, textHeight(line.cells.value(0)));
    default:
        return LineHeight;
    }
}

using SheetPage::caption;

} // namespace

CalculationSheet CalculationSheet::build(SurveyModel& survey, const ReportLayout& page)
{
    CalculationSheet sheet;
    const QString ship = pageCaption(page, QStringLiteral("lblShipName"));
    QStringList heading;
    heading << ship;
    for (const char* name : {"lblPortName", "lblVoyageID", "lblCargo"}) {
        const QString t = pageCaption(page, QLatin1String(name)).trimmed();
        if (!t.isEmpty())
            heading << (QLatin1String(name) == QLatin1String("lblVoyageID") ? QStringLiteral("Voyage ") + t
                                                                            : t);
    }
    sheet.m_heading = heading.join(QStringLiteral("  -  "));
    sheet.m_footer = page.windowTitle() + (ship.isEmpty() ? QString() : QStringLiteral(", ") + ship);

    QList<QPair<int, QString>> catalogue;
    try {
        catalogue = SurveyModel::deductionCatalogue();
    } catch (const VbError&) {
        // Without the list the items are named by number; the figures are the same.
    }

    QStringList onSheet;
    // Each draft in the order taken whose column the report page printed, and each calculated
    // draft check between them, its figures worked out as the check's own report page has them.
    for (const SurveyModel::DraftTaken& taken : survey.draftsInOrder()) {
        if (SurveyModel::isCheck(taken.index)) {
            if (!survey.calculated(taken.index))
                continue;
            ReportLayout checkPage = page;
            try {
                ReportFiller::fillDraftColumn(checkPage, QStringLiteral("lblFin"), *taken.draft);
            } catch (const VbError&) {
                continue;
            }
            sheet.m_blocks << draftBlock(survey, taken, checkPage, QStringLiteral("lblFin"), catalogue);
            onSheet << sheet.m_blocks.last().key;
            continue;
        }
        const QString prefix
            = taken.index == SurveyModel::Initial ? QStringLiteral("lblInit") : QStringLiteral("lblFin");
        if (!page.isFilled(prefix + QStringLiteral("NGDisp")))
            continue;
        sheet.m_blocks << draftBlock(survey, taken, page, prefix, catalogue);
        onSheet << sheet.m_blocks.last().key;
    }
    sheet.m_blocks << resultBlock(survey, page, onSheet);
    if (survey.checkCount() > 0)
        sheet.m_blocks << checksBlock(survey);
    sheet.m_blocks << findingsBlock(survey);
    sheet.m_blocks << particularsBlock(survey);
    sheet.m_blocks << signatureBlock(survey, page);
    sheet.paginate();
    return sheet;
}

const CalculationSheet::Block* CalculationSheet::block(const QString& key) const
{
    for (const Block& b : m_blocks)
        if (b.key == key)
            return &b;
    return nullptr;
}

const CalculationSheet::Line* CalculationSheet::line(const QString& key) const
{
    for (const Block& b : m_blocks)
        for (const Line& l : b.lines)
            if (l.key == key)
                return &l;
    return nullptr;
}

QMap<QString, QString> CalculationSheet::figureTexts() const
{
    QMap<QString, QString> texts;
    for (const Block& b : m_blocks)
        for (const Line& l : b.lines)
            if (!l.key.isEmpty())
                texts.insert(l.key, l.cells.join(QStringLiteral(" | ")));
    return texts;
}

QVariantMap CalculationSheet::captions() const
{
    QVariantMap map;
    for (const Block& b : m_blocks)
        for (const Line& l : b.lines) {
            if (l.key.isEmpty())
                continue;
            if (l.cells.size() == 1)
                map.insert(l.key, l.cells.first());
            else
                map.insert(l.key, l.cells);
        }
    return map;
}

qreal CalculationSheet::blockHeight(const Block& block)
{
    qreal h = TitleHeight + 0.8;
    for (const Line& l : block.lines)
        h += lineHeight(l);
    return h;
}

void CalculationSheet::paginate()
{
    // Blocks go down the page in order; one that would run past the foot starts the next page,
    // so that no draft's corrections are ever split between two sheets.
    m_pages.clear();
    QList<int> current;
    qreal y = BodyTop;
    for (int i = 0; i < m_blocks.size(); ++i) {
        const qreal h = blockHeight(m_blocks.at(i));
        if (!current.isEmpty() && y + h > BodyBottom) {
            m_pages << current;
            current.clear();
            y = BodyTop;
        }
        current << i;
        y += h + BlockGap;
    }
    if (!current.isEmpty())
        m_pages << current;
}

CalculationSheet::Drawn CalculationSheet::drawPage(int page) const
{
    Drawn out;
    const auto rule = [&out](qreal x1, qreal y1, qreal x2, qreal y2, qreal width, const QColor& color) {
        ReportLayout::Rule r;
        r.line = QLineF(x1, y1, x2, y2);
        r.width = width;
        r.color = color;
        out.rules << r;
    };
    const Qt::Alignment leftMid = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment rightMid = Qt::AlignRight | Qt::AlignVCenter;

    out.captions << caption(title(), QRectF(Left, Top, Right - Left, 7), 13, true, Qt::AlignCenter);
    out.captions << caption(m_heading, QRectF(Left, Top + 8, Right - Left, 5), 9, false, Qt::AlignCenter);
    rule(Left, Top + 15, Right, Top + 15, 0.4, Ink);

    qreal y = BodyTop;
    for (int index : m_pages.value(page)) {
        const Block& b = m_blocks.at(index);
        ReportLayout::Shade band;
        band.rect = QRectF(Left, y, Right - Left, TitleHeight);
        band.color = TitleShade;
        out.shades << band;
        out.captions << caption(
            b.title, QRectF(Left + 2, y, Right - Left - 4, TitleHeight), 9.5, true, leftMid);
        y += TitleHeight + 0.8;
        for (const Line& l : b.lines) {
            const qreal h = lineHeight(l);
            switch (l.kind) {
            case Kind::Heading: {
                ReportLayout::Shade s;
                s.rect = QRectF(Left, y, Right - Left, h);
                s.color = HeadShade;
                out.shades << s;
                out.captions << caption(
                    l.label, QRectF(LabelLeft, y, LabelWidth, h), PointSize, true, leftMid);
                const int first = FigureColumns - int(l.cells.size());
                for (int c = 0; c < l.cells.size(); ++c)
                    out.captions << caption(l.cells.at(c),
                        QRectF(FigureLeft + (first + c) * FigureWidth, y, FigureWidth - 1.5, h),
                        PointSize - 0.5, true, rightMid, Label);
                break;
            }
            case Kind::Figure: {
                out.captions << caption(l.label, QRectF(LabelLeft, y, LabelWidth, h), PointSize, l.strong,
                    leftMid, l.strong ? Ink : Label);
                const int first = FigureColumns - int(l.cells.size());
                for (int c = 0; c < l.cells.size(); ++c)
                    out.captions << caption(l.cells.at(c),
                        QRectF(FigureLeft + (first + c) * FigureWidth, y, FigureWidth - 1.5, h), PointSize,
                        l.strong, rightMid);
                rule(Left, y + h, Right, y + h, l.strong ? 0.3 : 0.1, l.strong ? Ink : Hairline);
                break;
            }
            case Kind::Text:
                out.captions << caption(
                    l.label, QRectF(LabelLeft, y, LabelWidth, LineHeight), PointSize, false, leftMid, Label);
                out.captions << caption(l.cells.value(0), QRectF(TextLeft, y + 0.45, TextWidth, h - 0.45),
                    PointSize, false, Qt::AlignLeft | Qt::AlignTop, Ink, true);
                rule(Left, y + h, Right, y + h, 0.1, Hairline);
                break;
            case Kind::Signature: {
                // Two lines to sign on, the name written under each.
                const qreal w = (Right - Left - 20) / 2;
                for (int side = 0; side < 2; ++side) {
                    const qreal x = Left + 5 + side * (w + 10);
                    rule(x, y + 13, x + w, y + 13, 0.3, Ink);
                    const QString name = l.cells.value(side * 2 + 1);
                    out.captions << caption(
                        l.cells.value(side * 2), QRectF(x, y + 13.5, w, 4), PointSize, true, leftMid);
                    // A long name takes a second line rather than being cut.
                    out.captions << caption(name, QRectF(x, y + 17.5, w, 8), PointSize, false,
                        Qt::AlignLeft | Qt::AlignTop, Label, true);
                }
                break;
            }
            }
            y += h;
        }
        y += BlockGap;
    }

    rule(Left, 286, Right, 286, 0.2, Ink);
    out.captions << caption(m_footer, QRectF(Left, 287, 120, 4.5), 7.5, false, leftMid, Label);
    out.captions << caption(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount()),
        QRectF(Right - 50, 287, 50, 4.5), 7.5, false, rightMid, Label);
    return out;
}

QList<ReportLayout::Caption> CalculationSheet::pageCaptions(int page) const
{
    return drawPage(page).captions;
}

QList<ReportLayout::Rule> CalculationSheet::pageRules(int page) const
{
    return drawPage(page).rules;
}

QList<ReportLayout::Shade> CalculationSheet::pageShades(int page) const
{
    return drawPage(page).shades;
}

void CalculationSheet::renderPage(QPainter& painter, const QRectF& pageRect, int page) const
{
    SheetPage::render(painter, pageRect, drawPage(page));
}
