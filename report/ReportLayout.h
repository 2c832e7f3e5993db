#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QMap>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPaintDevice;
class QPainter;

// One page of a draft survey report as data: every caption of the surveyor's certificate with
// its place on an A4 portrait page (millimetres from the top left corner of the paper), its
// type style and its design-time text. The value captions carry names ("lblInitFO", ...) and
// are filled by name; the fixed captions ("CALL SIGN", "Fuel Oil", ...) are never touched.
//
// loadingReport() and dischargingReport() each return a fresh copy, so a report that is filled,
// shown and thrown away never leaves a figure behind for the next one.
class ReportLayout {
public:
    struct Caption {
        QString name;  // empty for a fixed caption
        QString text;
        QString designText;
        QRectF rect;  // mm on the page
        qreal pointSize = 8;
        bool bold = false;
        bool italic = false;
        bool wrap = false;  // free text over several lines (comments)
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        QColor color = Qt::black;
        bool filled = false;  // set by the program since the copy was made
    };
    struct Shade {
        QRectF rect;
        QColor color;
    };
    struct Rule {
        QLineF line;
        qreal width = 0.2;  // mm
        QColor color = Qt::black;
    };

    // How a caption's text is drawn in its place: the font after shrinking it to fit and the
    // text, elided only when even the smallest size would not fit.
    struct Fitted {
        QFont font;
        QString text;  // one line, or the wrapped text of a free-text caption
        bool shrunk = false;
        bool elided = false;
    };

    static constexpr qreal PageWidthMM = 210.0;
    static constexpr qreal PageHeightMM = 297.0;
    // Never print smaller than this: below it the figures stop being readable on paper.
    static constexpr qreal MinPointSize = 5.0;

    // The loading report ("LOADPORT DRAFT SURVEY REPORT") and the discharging report
    // ("DISCHARGE PORT DRAFT SURVEY REPORT"), each a fresh copy at its design-time texts.
    static ReportLayout loadingReport();
    static ReportLayout dischargingReport();

    QString layoutName() const { return m_layoutName; }  // "drptQuorvane" / "drptZODuraduza"
    QString windowTitle() const { return m_windowTitle; }

    bool hasCaption(const QString& name) const;
    // Reads or fills a value caption by name; an unknown name throws VbError (a report that
    // names a caption it does not have is a fault of the program, reported as a print failure).
    QString caption(const QString& name) const;
    void setCaption(const QString& name, const QString& text);
    bool isFilled(const QString& name) const;
    QString designText(const QString& name) const;

    // The names of all value captions in page order, their texts by name, and the texts of
    // only those the program filled since the copy was made.
    QStringList captionNames() const;
    QMap<QString, QString> captionTexts() const;
    QMap<QString, QString> filledCaptionTexts() const;
    // The fixed captions' texts in page order.
    QStringList staticTexts() const;

    const QList<Caption>& captions() const { return m_captions; }
    const QList<Shade>& shades() const { return m_shades; }
    const QList<Rule>& rules() const { return m_rules; }

    // Draws the page into `pageRect` (device coordinates of the painter) keeping the paper's
    // proportions: the one drawing used by the preview, the printer and the PDF file.
    void render(QPainter& painter, const QRectF& pageRect) const;

    // The font and text with which `caption` is drawn on `device` at `pxPerMM` device pixels
    // per millimetre: the size is lowered step by step until the text fits its place, and
    // only at the smallest size is a single-line text cut with an ellipsis.
    static Fitted fit(const Caption& caption, const QPaintDevice* device, qreal pxPerMM);

    // Finds and loads the page's typeface, which the first page drawn would otherwise wait for:
    // a run that has other waiting to do (the database being opened) does it meanwhile.
    static void loadTypeface();

private:
    ReportLayout() = default;
    int indexOf(const QString& name) const;
    static ReportLayout build(bool loading);

    QString m_layoutName;
    QString m_windowTitle;
    QList<Caption> m_captions;
    QList<Shade> m_shades;
    QList<Rule> m_rules;
    QMap<QString, int> m_index;
};
