#pragma once

#include "report/ReportLayout.h"
#include "report/SheetPage.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class QPainter;
class SurveyModel;

// The pages "TANK SHEET" that follow the report page of a survey whose deductibles were worked out
// from the tanks' soundings: for each draft the report printed, every tank read with its group,
// reading, the trim its table was entered at, the volume, the density and the weight, then each
// group's total, the figure the report's deductions show. A survey without tank readings has no
// such page, and its report is what it always was.
class TankSheetPages {
public:
    struct Row {
        QString tank;
        QString group; // "Ballast", "Fresh Water", ...
        QString reading; // cm, as read
        QString trim; // m, the draft's true trim the table was entered at
        QString volume; // m3
        QString density; // t/m3
        QString weight; // MT
        bool typedVolume = false; // the volume typed by hand, the table not covering the reading
    };
    struct Total {
        QString key; // "ballast", "freshWater", "fuelOil", "dieselOil", "lubOil", "other"
        QString group; // "Ballast", ...
        int item = 0; // the deductions list's item it fills
        int tanks = 0; // how many tanks of the group were read
        QString weight; // MT, as it went into the deductions list
    };
    struct Draft {
        QString key; // "initial", "check1", ..., "final"
        QString title; // "INITIAL DRAFT", as the calculation sheet heads its block
        QList<Row> rows;
        QList<Total> totals;
    };

    static constexpr qreal PageWidthMM = SheetPage::WidthMM;
    static constexpr qreal PageHeightMM = SheetPage::HeightMM;

    // The pages of a survey whose report page was filled as `page`: a draft is on them when the
    // page printed its column (a draft check: when it was worked out) and tanks were read on it.
    // Nothing when no such draft is left.
    static std::optional<TankSheetPages> build(SurveyModel& survey, const ReportLayout& page);
    // The group totals of one draft's tank sheet (none without readings), as build gives them.
    static QList<Total> totals(SurveyModel& survey, int draft);
    // "Ballast (8 tanks", "Lub Oil (1 tank": how a total's line begins.
    static QString countedGroup(const Total& total);

    QString title() const { return QStringLiteral("TANK SHEET"); }
    const QList<Draft>& drafts() const { return m_drafts; }
    const Draft* draft(const QString& key) const;
    // For the captions file: {"initial": [{"tank", "group", "reading", "trim", "volume",
    // "density", "weight"}, ...], "final": [...]}, and "check1", ... for the draft checks.
    QVariantMap captions() const;

    int pageCount() const { return int(m_pages.size()); }
    // Draws page `page` (from 0) into `pageRect`, keeping the paper's proportions; the captions it
    // is drawn from are pageCaptions(page).
    void renderPage(QPainter& painter, const QRectF& pageRect, int page) const;
    QList<ReportLayout::Caption> pageCaptions(int page) const;
    QList<ReportLayout::Rule> pageRules(int page) const;
    QList<ReportLayout::Shade> pageShades(int page) const;

private:
    // One line of the pages: a draft's title band, the column heads, a tank, the totals' head, a
    // group's total or the note on typed volumes.
    struct Item {
        enum class Kind { Title, Heads, Tank, TotalsHead, Total, Note };
        Kind kind = Kind::Tank;
        int draft = 0;
        int index = 0; // the row or the total
    };
    using Drawn = SheetPage::Drawn;
    void paginate();
    Drawn drawPage(int page) const;

    QString m_heading; // ship, port, voyage and cargo under the title
    QString m_footer;
    QList<Draft> m_drafts;
    QList<QList<Item>> m_pages;
};
