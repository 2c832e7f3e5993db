#pragma once

#include "report/ReportLayout.h"
#include "report/SheetPage.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

class QPainter;
class SurveyModel;

// The pages "DRAFT SURVEY CALCULATION" that follow the report page: for each draft in the order
// taken, every reading and every correction on the way from the marks to the net displacement;
// then the constant and the cargo, what to look at before signing, the survey's particulars and
// the lines the surveyor and the master or chief officer sign on.
//
// The sheet is first a list of blocks of labelled lines (what a test reads), then laid out on A4
// pages, a block never split over two pages. Its figures are the report page's where the page
// shows them, and otherwise the model's own, rounded as the report rounds figures of their kind.
class CalculationSheet {
public:
    struct Line {
        enum class Kind {
            Figure, // a label and one or more figures, right-aligned in the figure columns
            Heading, // the column heads of the lines below it
            Text, // a label and free text, wrapped (particulars, findings, rows used)
            Signature, // the two lines to sign on, side by side
        };
        Kind kind = Kind::Figure;
        QString key; // as the captions file names it ("initial.trueMeanDraft"); empty for a heading
        QString label;
        QStringList cells; // figures (or column heads, or the text) from left to right
        bool strong = false;
    };
    struct Block {
        QString key; // "initial", "check1", ..., "final", "result", "checks", "findings", "particulars",
                     // "signatures"
        QString title;
        QList<Line> lines;
    };

    static constexpr qreal PageWidthMM = SheetPage::WidthMM;
    static constexpr qreal PageHeightMM = SheetPage::HeightMM;

    // The sheet of a survey whose report page was filled as `page`: a draft is on the sheet when
    // the page printed its column.
    static CalculationSheet build(SurveyModel& survey, const ReportLayout& page);

    QString title() const { return QStringLiteral("DRAFT SURVEY CALCULATION"); }
    const QList<Block>& blocks() const { return m_blocks; }
    const Block* block(const QString& key) const;
    // The line of that key ("final.netDisplacement"), or nullptr.
    const Line* line(const QString& key) const;
    // Every line with a key, its figures joined by " | " when there are several.
    QMap<QString, QString> figureTexts() const;
    // The same for the captions file: one text per key, a list where a line has several.
    QVariantMap captions() const;

    int pageCount() const { return int(m_pages.size()); }
    // The blocks on each page, by index into blocks().
    QList<int> blocksOnPage(int page) const { return m_pages.value(page); }
    // The height a block takes on the page, in mm.
    static qreal blockHeight(const Block& block);

    // Draws sheet page `page` (from 0) into `pageRect`, keeping the paper's proportions, as
    // ReportLayout::render draws the report page. The captions each page is drawn from are
    // pageCaptions(page), so a test can see every text and where it sits.
    void renderPage(QPainter& painter, const QRectF& pageRect, int page) const;
    QList<ReportLayout::Caption> pageCaptions(int page) const;
    QList<ReportLayout::Rule> pageRules(int page) const;
    QList<ReportLayout::Shade> pageShades(int page) const;

private:
    void paginate();
    using Drawn = SheetPage::Drawn;
    Drawn drawPage(int page) const;

    QString m_heading; // ship, port, voyage and cargo under the title
    QString m_footer; // the report's title and the ship, at the foot of each page
    QList<Block> m_blocks;
    QList<QList<int>> m_pages;
};
