#include "report/ReportLayout.h"

#include "core/VbError.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QtMath>

namespace {

// Page frame, in millimetres. The side margins leave room for a binder's holes and for the
// unprintable edge of any office printer.
constexpr qreal Left = 15.0;
constexpr qreal Right = 195.0;
constexpr qreal Width = Right - Left;
constexpr qreal Top = 11.0;
// Horizontal breathing room inside a box, so that a figure never touches its rule.
constexpr qreal Pad = 0.9;

const QColor Ink(0, 0, 0);
const QColor Label(70, 70, 70);
const QColor HeadShade(222, 226, 232);
const QColor BandShade(244, 245, 247);
const QColor Hairline(150, 150, 150);

QFont baseFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica"),
                   QStringLiteral("Liberation Sans")});
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString paragraphs(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The rows of the Initial / Final table: fixed caption, stem of the value captions, design-time
// text, and whether the row is a total that the eye should find at once.
struct TableRow {
    const char* caption;
    const char* stem;
    const char* designText;
    bool strong;
};

const TableRow Rows[] = {
    {"Date", "Date", "", false},
    {"Time", "Time", "", false},
    {"Fuel Oil", "FO", "0 MT", false},
    {"Diesel Oil", "DO", "0 MT", false},
    {"Lub Oil", "LO", "0 MT", false},
    {"Fresh Water", "FW", "0 MT", false},
    {"Ballast", "Ballast", "0 MT", false},
    {"Provisions", "Provisions", "0 MT", false},
    {"Misc-1", "Misc1", "0 MT", false},
    {"Misc-2", "Misc2", "0 MT", false},
    {"TOTAL DEDUCTIBLES", "TotDeductibles", "0 MT", true},
    {"Forward Mean Draft", "FwdMeanDraft", "0 m", false},
    {"Forward Correction", "FwdCorrection", "0 m", false},
    {"Corrected Draft Foward", "CorrDraftFwd", "0 m", false},
    {"Aft Mean Draft", "AftMeanDraft", "0 m", false},
    {"Aft Correction", "AftCorrection", "0 m", false},
    {"Corrected Draft Aft", "CorrDraftAft", "0 m", false},
    {"Mean of Fwd. & Aft. Draft", "FwdAftMean", "0 m", false},
    {"Midship Port Draft", "MidPortDraft", "0 m", false},
    {"Midship Starboard Draft", "MidStbdDraft", "0 m", false},
    {"Mean Midship Draft", "MeanMidDraft", "0 m", false},
    {"Hull Deflection", "Deflection", "0 cm", false},
    {"Keel Correction", "KeelCorr", "0 m", false},
    {"True Mean Draft", "TrueMeanDraft", "0 m", true},
    {"TPC", "TPC", "", false},
    {"LCF", "LCF", "", false},
    {"dMCTC", "dMCTC", "", false},
    {"Displacement in Sea Water", "DispInSeaWater", "0 MT", false},
    {"1st Trim Correction", "1stTrimCorr", "0 MT", false},
    {"2nd Trim Correction", "2ndTrimCorr", "0 MT", false},
    {"Total Trim Correction", "TotTrimCorr", "0 MT", false},
    {"List Correction", "ListCorr", "0 MT", false},
    {"Disp. Corrected for Trim & List", "DispAtEvenKeel", "0 MT", false},
    {"Density", "Density", "", false},
    {"Disp. Corrected for Density", "TrueDisplacement", "0 MT", false},
    {"Deductions", "TotDeductibles2", "0 MT", false},
    {"Initial/Final Net Displacement", "NGDisp", "0 MT", true},
};

// A heavier rule is drawn under these rows: date and time, the deductibles, the drafts, the
// hydrostatic particulars; the displacement block closes the table.
bool endsGroup(const QString& stem)
{
    return stem == QLatin1String("Time") || stem == QLatin1String("TotDeductibles")
           || stem == QLatin1String("TrueMeanDraft") || stem == QLatin1String("dMCTC");
}

}  // namespace

// Collects the page as it is drawn up, top to bottom.
struct LayoutBuilder {
    ReportLayout::Caption& add(const QString& name, const QString& text, const QRectF& rect, qreal pt,
                               bool bold = false, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
    {
        ReportLayout::Caption c;
        c.name = name;
        c.text = text;
        c.designText = text;
        c.rect = rect;
        c.pointSize = pt;
        c.bold = bold;
        c.align = align;
        captions.append(c);
        return captions.last();
    }
    ReportLayout::Caption& fixed(const QString& text, const QRectF& rect, qreal pt, bool bold = false,
                                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
    {
        return add(QString(), text, rect, pt, bold, align);
    }
    void rule(qreal x1, qreal y1, qreal x2, qreal y2, qreal width = 0.2, const QColor& color = Ink)
    {
        rules.append({QLineF(x1, y1, x2, y2), width, color});
    }
    void frame(const QRectF& r, qreal width = 0.3)
    {
        rule(r.left(), r.top(), r.right(), r.top(), width);
        rule(r.left(), r.bottom(), r.right(), r.bottom(), width);
        rule(r.left(), r.top(), r.left(), r.bottom(), width);
        rule(r.right(), r.top(), r.right(), r.bottom(), width);
    }
    void shade(const QRectF& r, const QColor& color) { shades.append({r, color}); }

    // A box of a particulars block: a small heading over the value, as on a ship's certificate.
    void field(const QString& heading, const QString& name, const QString& designText, qreal x, qreal y,
               qreal w, qreal h)
    {
        fixed(heading, QRectF(x + Pad, y + 0.5, w - 2 * Pad, 2.9), 6.0, true).color = Label;
        add(name, designText, QRectF(x + Pad, y + 3.4, w - 2 * Pad, h - 3.7), 8.5);
    }

    QList<ReportLayout::Caption> captions;
    QList<ReportLayout::Shade> shades;
    QList<ReportLayout::Rule> rules;
};

ReportLayout ReportLayout::loadingReport()
{
    return build(true);
}

ReportLayout ReportLayout::dischargingReport()
{
    return build(false);
}

ReportLayout ReportLayout::build(bool loading)
{
    ReportLayout layout;
    layout.m_layoutName = loading ? QStringLiteral("drptQuorvane") : QStringLiteral("drptZODuraduza");
    layout.m_windowTitle = loading ? QStringLiteral("Loadport Draft Survey Report")
                                   : QStringLiteral("Discharge Port Draft Survey Report");
    const QString title = loading ? QStringLiteral("LOADPORT DRAFT SURVEY REPORT")
                                  : QStringLiteral("DISCHARGE PORT DRAFT SURVEY REPORT");
    LayoutBuilder b;
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    // Title and the ship's name.
    qreal y = Top;
    b.add(QStringLiteral("lblReportTitle"), title, QRectF(Left, y, Width, 8.0), 15.0, true, centre);
    y += 8.5;
    b.add(QStringLiteral("lblShipName"), QString(), QRectF(Left, y, Width, 6.5), 12.0, true, centre);
    y += 7.5;
    b.rule(Left, y, Right, y, 0.5);
    b.rule(Left, y + 0.8, Right, y + 0.8, 0.2);
    y += 2.6;

    // Ship's particulars: four boxes a row, the mark distances in a row of three.
    const qreal fieldH = 7.6;
    struct Field {
        const char* heading;
        const char* name;
        const char* designText;
    };
    const Field particulars[] = {
        {"CALL SIGN", "lblCallSign", ""},
        {"PORT OF REG", "lblPortOfRegistry", ""},
        {loading ? "OFFICIAL NO" : "OFFICIAL NO.", "lblOfficialNo", ""},
        {"FLAG", "lblFlag", ""},
        {"L.O.A.", "lblLOA", ""},
        {"L.B.P.", "lblLBP", ""},
        {"GRT", "lblGrossTonnage", ""},
        {"NRT", "lblNetTonnage", ""},
        {"SUMMER DRAFT", "lblSummerDraft", ""},
        {"SUMMER DWT", "lblSummerDeadweight", ""},
        {"BREADTH", "lblBreadth", ""},
        {"LIGHT SHIP", "lblLightShip", ""},
    };
    const qreal blockTop = y;
    const qreal cellW = Width / 4;
    for (int i = 0; i < 12; ++i) {
        const Field& f = particulars[i];
        b.field(QLatin1String(f.heading), QLatin1String(f.name), QLatin1String(f.designText),
                Left + (i % 4) * cellW, y + (i / 4) * fieldH, cellW, fieldH);
    }
    y += 3 * fieldH;
    // The draft marks' distances from their perpendiculars, forward to aft as they lie on the hull.
    const qreal markW = Width / 3;
    b.field(QStringLiteral("FWD X"), QStringLiteral("lblFwdX"), QString(), Left, y, markW, fieldH);
    b.field(QStringLiteral("MID X"), QStringLiteral("lblMidX"), QStringLiteral("0 m"), Left + markW, y, markW,
            fieldH);
    b.field(QStringLiteral("AFT X"), QStringLiteral("lblAftX"), QString(), Left + 2 * markW, y, markW,
            fieldH);
    y += fieldH;
    for (int r = 1; r < 4; ++r)
        b.rule(Left, blockTop + r * fieldH, Right, blockTop + r * fieldH, 0.15, Hairline);
    for (int c = 1; c < 4; ++c)
        b.rule(Left + c * cellW, blockTop, Left + c * cellW, blockTop + 3 * fieldH, 0.15, Hairline);
    for (int c = 1; c < 3; ++c)
        b.rule(Left + c * markW, blockTop + 3 * fieldH, Left + c * markW, y, 0.15, Hairline);
    b.frame(QRectF(Left, blockTop, Width, y - blockTop));
    y += 1.8;

    // Voyage: the port of survey takes half the width, as its name carries the country.
    const qreal voyageTop = y;
    b.field(QStringLiteral("PORT"), QStringLiteral("lblPortName"), QString(), Left, y, Width / 2, fieldH);
    b.field(QStringLiteral("Voyage"), QStringLiteral("lblVoyageID"), QString(), Left + Width / 2, y,
            Width / 4, fieldH);
    b.field(QStringLiteral("Cargo"), QStringLiteral("lblCargo"), QString(), Left + 3 * Width / 4, y,
            Width / 4, fieldH);
    y += fieldH;
    b.rule(Left + Width / 2, voyageTop, Left + Width / 2, y, 0.15, Hairline);
    b.rule(Left + 3 * Width / 4, voyageTop, Left + 3 * Width / 4, y, 0.15, Hairline);
    b.frame(QRectF(Left, voyageTop, Width, fieldH));
    y += 2.2;

    // The Initial and Final columns side by side.
    const qreal captionW = 68.0;
    const qreal valueW = (Width - captionW) / 2;
    const qreal initX = Left + captionW;
    const qreal finX = initX + valueW;
    const qreal headH = 5.6;
    // Rows close enough that the keel and list corrections leave room to sign.
    const qreal rowH = 4.1;
    const qreal groupGap = 0.0;
    const qreal tableTop = y;
    b.shade(QRectF(Left, y, Width, headH), HeadShade);
    b.fixed(QStringLiteral("INITIAL"), QRectF(initX, y, valueW, headH), 8.5, true, centre);
    b.fixed(QStringLiteral("FINAL"), QRectF(finX, y, valueW, headH), 8.5, true, centre);
    y += headH;
    b.rule(Left, y, Right, y, 0.3);
    int band = 0;
    for (const TableRow& row : Rows) {
        const QString stem = QLatin1String(row.stem);
        if (row.strong)
            b.shade(QRectF(Left, y, Width, rowH), HeadShade);
        else if (band % 2 == 1)
            b.shade(QRectF(Left, y, Width, rowH), BandShade);
        ++band;
        const qreal pt = 7.6;
        b.fixed(QLatin1String(row.caption), QRectF(Left + Pad + 0.6, y, captionW - 2 * Pad - 0.6, rowH), pt,
                row.strong);
        QString initDesign = QLatin1String(row.designText);
        // The loading report was drawn with a tonnage in the initial density box; it shows
        // only while the initial column stays empty.
        if (stem == QLatin1String("Density") && loading)
            initDesign = QStringLiteral("0 MT");
        b.add(QStringLiteral("lblInit") + stem, initDesign,
              QRectF(initX + Pad, y, valueW - 2 * Pad - 1.5, rowH), pt, row.strong, right);
        b.add(QStringLiteral("lblFin") + stem, QLatin1String(row.designText),
              QRectF(finX + Pad, y, valueW - 2 * Pad - 1.5, rowH), pt, row.strong, right);
        y += rowH;
        if (endsGroup(stem)) {
            b.rule(Left, y, Right, y, 0.3);
            band = 0;
            y += groupGap;
        } else if (stem != QLatin1String("NGDisp")) {
            b.rule(Left, y, Right, y, 0.1, Hairline);
        }
    }
    b.rule(initX, tableTop, initX, y, 0.3);
    b.rule(finX, tableTop, finX, y, 0.3);
    b.frame(QRectF(Left, tableTop, Width, y - tableTop), 0.4);
    y += 2.4;

    // The figures the certificate is for.
    const qreal resultH = 10.0;
    const qreal resultW = (Width - 6.0) / 2;
    const QString cargoCaption =
        loading ? QStringLiteral("TOTAL CARGO LOADED") : QStringLiteral("TOTAL CARGO DISCHARGED");
    struct Result {
        QString caption;
        QString name;
        qreal x;
    };
    const Result results[] = {{QStringLiteral("CONSTANT"), QStringLiteral("lblConstant"), Left},
                              {cargoCaption, QStringLiteral("lblTotCargoLoaded"), Left + resultW + 6.0}};
    for (const Result& r : results) {
        const QRectF box(r.x, y, resultW, resultH);
        b.shade(box, HeadShade);
        b.frame(box, 0.4);
        b.fixed(r.caption, QRectF(r.x + 2.0, y + 0.6, resultW - 4.0, 3.4), 7.0, true).color = Label;
        b.add(r.name, QString(), QRectF(r.x + 2.0, y + 4.0, resultW - 4.0, resultH - 4.4), 11.0, true,
              right);
    }
    y += resultH + 2.4;

    // Remarks of the two drafts, two lines each before the text is made smaller.
    b.fixed(QStringLiteral("Comments"), QRectF(Left, y, Width, 4.6), 8.5, true);
    y += 4.8;
    const qreal commentH = 7.4;
    const qreal commentLabelW = 16.0;
    for (const auto& [heading, name] :
         {std::pair{QStringLiteral("Initial"), QStringLiteral("lblInitComments")},
          std::pair{QStringLiteral("Final"), QStringLiteral("lblFinComments")}}) {
        b.fixed(heading, QRectF(Left + Pad, y, commentLabelW - Pad, 3.6), 7.6, true,
                Qt::AlignLeft | Qt::AlignTop);
        Caption& c = b.add(name, QString(), QRectF(Left + commentLabelW, y, Width - commentLabelW, commentH),
                           7.6, false, Qt::AlignLeft | Qt::AlignTop);
        c.wrap = true;
        y += commentH + 0.6;
        b.rule(Left, y - 0.3, Right, y - 0.3, 0.1, Hairline);
    }

    // Signatures: the surveyor on the left, the ship's chief officer on the right.
    const qreal signY = PageHeightMM - 22.0;
    const qreal signW = 62.0;
    const qreal surveyorX = Left + 4.0;
    const qreal officerX = Right - 4.0 - signW;
    b.rule(surveyorX, signY, surveyorX + signW, signY, 0.25);
    b.rule(officerX, signY, officerX + signW, signY, 0.25);
    b.fixed(QStringLiteral("Suyveyor"), QRectF(surveyorX, signY + 0.6, signW, 4.4), 8.5, true, centre);
    b.fixed(QStringLiteral("Chief Officer"), QRectF(officerX, signY + 0.6, signW, 4.4), 8.5, true, centre);
    b.add(QStringLiteral("lblShipName2"), QString(), QRectF(officerX, signY + 5.0, signW, 4.4), 8.0, false,
          centre);
    Q_ASSERT(y < signY - 8.0);

    layout.m_captions = b.captions;
    layout.m_shades = b.shades;
    layout.m_rules = b.rules;
    for (int i = 0; i < layout.m_captions.size(); ++i)
        if (!layout.m_captions[i].name.isEmpty())
            layout.m_index.insert(layout.m_captions[i].name, i);
    return layout;
}

int ReportLayout::indexOf(const QString& name) const
{
    return m_index.value(name, -1);
}

bool ReportLayout::hasCaption(const QString& name) const
{
    return indexOf(name) >= 0;
}

QString ReportLayout::caption(const QString& name) const
{
    const int i = indexOf(name);
    if (i < 0)
        throw VbError(730, QStringLiteral("Control '%1' not found").arg(name));
    return m_captions[i].text;
}

void ReportLayout::setCaption(const QString& name, const QString& text)
{
    const int i = indexOf(name);
    if (i < 0)
        throw VbError(730, QStringLiteral("Control '%1' not found").arg(name));
    m_captions[i].text = text;
    m_captions[i].filled = true;
}

bool ReportLayout::isFilled(const QString& name) const
{
    const int i = indexOf(name);
    return i >= 0 && m_captions[i].filled;
}

QString ReportLayout::designText(const QString& name) const
{
    const int i = indexOf(name);
    if (i < 0)
        throw VbError(730, QStringLiteral("Control '%1' not found").arg(name));
    return m_captions[i].designText;
}

QStringList ReportLayout::captionNames() const
{
    QStringList names;
    for (const Caption& c : m_captions)
        if (!c.name.isEmpty())
            names.append(c.name);
    return names;
}

QMap<QString, QString> ReportLayout::captionTexts() const
{
    QMap<QString, QString> texts;
    for (const Caption& c : m_captions)
        if (!c.name.isEmpty())
            texts.insert(c.name, c.text);
    return texts;
}

QMap<QString, QString> ReportLayout::filledCaptionTexts() const
{
    QMap<QString, QString> texts;
    for (const Caption& c : m_captions)
        if (!c.name.isEmpty() && c.filled)
            texts.insert(c.name, c.text);
    return texts;
}

QStringList ReportLayout::staticTexts() const
{
    QStringList texts;
    for (const Caption& c : m_captions)
        if (c.name.isEmpty())
            texts.append(c.text);
    return texts;
}

ReportLayout::Fitted ReportLayout::fit(const Caption& caption, const QPaintDevice* device, qreal pxPerMM)
{
    Fitted out;
    const qreal dpi = device ? device->logicalDpiY() : 96.0;
    // A point is 25.4/72 mm; the font is sized for the device so that it prints at its nominal
    // size whatever the scale of the page on that device.
    auto fontAt = [&](qreal pt) {
        QFont f = baseFont();
        f.setBold(caption.bold);
        f.setItalic(caption.italic);
        f.setPointSizeF(qMax<qreal>(0.5, pt * 25.4 * pxPerMM / dpi));
        return f;
    };
    const qreal w = caption.rect.width() * pxPerMM;
    const qreal h = caption.rect.height() * pxPerMM;
    const QString text = caption.wrap ? paragraphs(caption.text) : oneLine(caption.text);

    auto fits = [&](const QFont& f, const QString& t) {
        const QFontMetricsF fm(f, const_cast<QPaintDevice*>(device));
        if (caption.wrap) {
            const QRectF need = fm.boundingRect(QRectF(0, 0, w, 1e9), Qt::TextWordWrap | caption.align, t);
            return need.height() <= h + 0.01 && need.width() <= w + 0.01;
        }
        return fm.horizontalAdvance(t) <= w && fm.height() <= h * 1.15;
    };

    qreal pt = caption.pointSize;
    for (;;) {
        const QFont f = fontAt(pt);
        if (fits(f, text)) {
            out.font = f;
            out.text = text;
            out.shrunk = pt < caption.pointSize;
            return out;
        }
        if (pt <= MinPointSize)
            break;
        pt = qMax(MinPointSize, pt - 0.25);
    }

    // Even the smallest size is too big: cut the text and say so with an ellipsis.
    out.font = fontAt(MinPointSize);
    out.shrunk = MinPointSize < caption.pointSize;
    out.elided = true;
    const QChar ellipsis(0x2026);
    if (!caption.wrap) {
        const QFontMetricsF fm(out.font, const_cast<QPaintDevice*>(device));
        out.text = fm.elidedText(text, Qt::ElideRight, w);
        return out;
    }
    int lo = 0;
    int hi = text.size();
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (fits(out.font, text.left(mid).trimmed() + ellipsis))
            lo = mid;
        else
            hi = mid - 1;
    }
    out.text = text.left(lo).trimmed() + ellipsis;
    return out;
}

void ReportLayout::render(QPainter& painter, const QRectF& pageRect) const
{
    const qreal s = qMin(pageRect.width() / PageWidthMM, pageRect.height() / PageHeightMM);
    const QPointF origin =
        pageRect.topLeft()
        + QPointF((pageRect.width() - PageWidthMM * s) / 2, (pageRect.height() - PageHeightMM * s) / 2);
    auto map = [&](const QRectF& r) { return QRectF(origin + r.topLeft() * s, r.size() * s); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const Shade& shade : m_shades)
        painter.fillRect(map(shade.rect), shade.color);
    for (const Rule& rule : m_rules) {
        QPen pen(rule.color, rule.width * s);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(QLineF(origin + rule.line.p1() * s, origin + rule.line.p2() * s));
    }
    for (const Caption& c : m_captions) {
        if (c.text.isEmpty())
            continue;
        const Fitted f = fit(c, painter.device(), s);
        painter.setFont(f.font);
        painter.setPen(c.color);
        const int flags = int(c.align) | (c.wrap ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine));
        painter.drawText(map(c.rect), flags, f.text);
    }
    painter.restore();
}

void ReportLayout::loadTypeface()
{
    QFont regular = baseFont();
    QFont bold = regular;
    bold.setBold(true);
    // Measuring a text makes the font system read its configuration and open the typeface.
    (void)QFontMetricsF(regular).horizontalAdvance(QStringLiteral("0.123 MT"));
    (void)QFontMetricsF(bold).horizontalAdvance(QStringLiteral("0.123 MT"));
}
