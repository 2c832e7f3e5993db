#include "report/TankSheetPages.h"

#include "model/SurveyDraft.h"
#include "model/SurveyInputRules.h"
#include "model/SurveyModel.h"
#include "model/TankSheet.h"
#include "report/SheetPage.h"

#include <QPainter>
#include <QPen>

namespace {

// The page frame in millimetres, as the report page's and the calculation sheet's.
constexpr qreal Left = 15.0;
constexpr qreal Right = 195.0;
constexpr qreal Top = 11.0;
constexpr qreal BodyTop = 29.0;
constexpr qreal BodyBottom = 281.0;
constexpr qreal LineHeight = 4.2;
constexpr qreal TitleHeight = 6.0;
constexpr qreal BlockGap = 3.0;
constexpr qreal PointSize = 8.0;

// The columns: tank, group, then the five figures right-aligned.
struct Column {
    qreal left;
    qreal width;
    bool figure;
};
constexpr Column Columns[7] = {
    {Left + 2.0, 38.0, false}, // tank
    {57.0, 28.0, false}, // group
    {85.0, 19.0, true}, // reading
    {104.0, 19.0, true}, // trim
    {123.0, 24.0, true}, // volume
    {147.0, 22.0, true}, // density
    {169.0, 25.0, true}, // weight
};

const QColor Ink(0, 0, 0);
const QColor Label(60, 60, 60);
const QColor TitleShade(222, 226, 232);
const QColor HeadShade(244, 245, 247);
const QColor Hairline(170, 170, 170);

const QString Tonnes = QStringLiteral(" MT");

QString groupKey(TankGroup group)
{
    switch (group) {
    case TankGroup::Ballast:
        return QStringLiteral("ballast");
    case TankGroup::FreshWater:
        return QStringLiteral("freshWater");
    case TankGroup::FuelOil:
        return QStringLiteral("fuelOil");
    case TankGroup::DieselOil:
        return QStringLiteral("dieselOil");
    case TankGroup::LubOil:
        return QStringLiteral("lubOil");
    case TankGroup::Other:
        return QStringLiteral("other");
    }
    return QString();
}

const auto pageCaption = SheetPage::filledCaption;

using SheetPage::caption;

} // namespace

QList<TankSheetPages::Total> TankSheetPages::totals(SurveyModel& survey, int draft)
{
    QList<Total> out;
    if (survey.tankSheet(draft).isEmpty())
        return out;
    const TankSheetWork::Result worked = survey.tankWork(draft);
    for (auto it = worked.totals.begin(); it != worked.totals.end(); ++it) {
        Total t;
        t.key = groupKey(it.key());
        t.group = TankGroups::name(it.key());
        t.item = TankGroups::deductionItem(it.key());
        for (const TankSheetWork::Line& line : worked.lines)
            t.tanks += line.group == it.key() ? 1 : 0;
        // Through the rule the group's total is written into the deductions list with.
        const SurveyInputRules::Outcome o
            = SurveyInputRules::deduction(it.value().toString(), QString(), survey.isDischarging());
        t.weight = o.accepted ? o.text : it.value().toString();
        out.append(t);
    }
    return out;
}

QString TankSheetPages::countedGroup(const Total& total)
{
    return total.tanks == 1 ? QStringLiteral("%1 (1 tank").arg(total.group)
                            : QStringLiteral("%1 (%2 tanks").arg(total.group).arg(total.tanks);
}

std::optional<TankSheetPages> TankSheetPages::build(SurveyModel& survey, const ReportLayout& page)
{
    TankSheetPages pages;
    // The drafts the report printed and, between them, each draft check worked out, as the
    // calculation sheet has them.
    for (const SurveyModel::DraftTaken& taken : survey.draftsInOrder()) {
        if (survey.tankSheet(taken.index).isEmpty())
            continue;
        const bool check = SurveyModel::isCheck(taken.index);
        const QString prefix
            = taken.index == SurveyModel::Initial ? QStringLiteral("lblInit") : QStringLiteral("lblFin");
        if (check ? !survey.calculated(taken.index) : !page.isFilled(prefix + QStringLiteral("NGDisp")))
            continue;
        Draft d;
        d.key = taken.index == SurveyModel::Initial ? QStringLiteral("initial")
            : check ? QStringLiteral("check%1").arg(SurveyModel::checkNumber(taken.index))
                    : QStringLiteral("final");
        d.title = taken.title;
        for (const TankSheetWork::Line& line : survey.tankWork(taken.index).lines)
            d.rows.append({line.tank, TankGroups::name(line.group), line.reading, line.trim, line.volume,
                line.density, line.weight, line.typedVolume});
        d.totals = totals(survey, taken.index);
        pages.m_drafts.append(d);
    }
    if (pages.m_drafts.isEmpty())
        return std::nullopt;

    const QString ship = pageCaption(page, QStringLiteral("lblShipName"));
    QStringList heading{ship};
    for (const char* name : {"lblPortName", "lblVoyageID", "lblCargo"}) {
        const QString t = pageCaption(page, QLatin1String(name)).trimmed();
        if (!t.isEmpty())
            heading << (QLatin1String(name) == QLatin1String("lblVoyageID") ? QStringLiteral("Voyage ") + t
                                                                            : t);
    }
    pages.m_heading = heading.join(QStringLiteral("  -  "));
    pages.m_footer = page.windowTitle() + (ship.isEmpty() ? QString() : QStringLiteral(", ") + ship);
    pages.paginate();
    return pages;
}

const TankSheetPages::Draft* TankSheetPages::draft(const QString& key) const
{
    for (const Draft& d : m_drafts)
        if (d.key == key)
            return &d;
    return nullptr;
}

QVariantMap TankSheetPages::captions() const
{
    QVariantMap map;
    for (const Draft& d : m_drafts) {
        QVariantList rows;
        for (const Row& r : d.rows)
            rows.append(QVariantMap{{QStringLiteral("tank"), r.tank}, {QStringLiteral("group"), r.group},
                {QStringLiteral("reading"), r.reading}, {QStringLiteral("trim"), r.trim},
                {QStringLiteral("volume"), r.volume}, {QStringLiteral("density"), r.density},
                {QStringLiteral("weight"), r.weight}});
        map.insert(d.key, rows);
    }
    return map;
}

void TankSheetPages::paginate()
{
    // Line by line down the page; a draft whose tanks run past the foot goes on with its title
    // and column heads again on the next page, so that every figure stands under its head.
    m_pages.clear();
    QList<Item> current;
    qreal y = BodyTop;
    const auto height
        = [](Item::Kind kind) { return kind == Item::Kind::Title ? TitleHeight + 0.8 : LineHeight; };
    const auto put = [&](const Item& item) {
        const bool opening = item.kind == Item::Kind::Title;
        // A title keeps its heads and first line with it.
        const qreal need = opening ? height(item.kind) + 2 * LineHeight : height(item.kind);
        if (!current.isEmpty() && y + need > BodyBottom) {
            m_pages << current;
            current.clear();
            y = BodyTop;
            if (!opening) {
                current << Item{Item::Kind::Title, item.draft, -1} << Item{Item::Kind::Heads, item.draft, 0};
                y += height(Item::Kind::Title) + LineHeight;
            }
        }
        current << item;
        y += height(item.kind);
    };
    for (int d = 0; d < m_drafts.size(); ++d) {
        const Draft& draft = m_drafts.at(d);
        put({Item::Kind::Title, d, 0});
        put({Item::Kind::Heads, d, 0});
        bool typed = false;
        for (int r = 0; r < draft.rows.size(); ++r) {
            put({Item::Kind::Tank, d, r});
            typed = typed || draft.rows.at(r).typedVolume;
        }
        put({Item::Kind::TotalsHead, d, 0});
        for (int t = 0; t < draft.totals.size(); ++t)
            put({Item::Kind::Total, d, t});
        if (typed)
            put({Item::Kind::Note, d, 0});
        y += BlockGap;
    }
    if (!current.isEmpty())
        m_pages << current;
}

TankSheetPages::Drawn TankSheetPages::drawPage(int page) const
{
    Drawn out;
    const auto rule = [&out](qreal x1, qreal y1, qreal x2, qreal y2, qreal width, const QColor& color) {
        ReportLayout::Rule r;
        r.line = QLineF(x1, y1, x2, y2);
        r.width = width;
        r.color = color;
        out.rules << r;
    };
    const auto shade = [&out](const QRectF& rect, const QColor& color) {
        ReportLayout::Shade s;
        s.rect = rect;
        s.color = color;
        out.shades << s;
    };
    const Qt::Alignment leftMid = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment rightMid = Qt::AlignRight | Qt::AlignVCenter;
    const auto cellRect = [](int column, qreal y) {
        const Column& c = Columns[column];
        return QRectF(c.left, y, c.width - 1.5, LineHeight);
    };

    out.captions << caption(title(), QRectF(Left, Top, Right - Left, 7), 13, true, Qt::AlignCenter);
    out.captions << caption(m_heading, QRectF(Left, Top + 8, Right - Left, 5), 9, false, Qt::AlignCenter);
    rule(Left, Top + 15, Right, Top + 15, 0.4, Ink);

    qreal y = BodyTop;
    for (const Item& item : m_pages.value(page)) {
        const Draft& d = m_drafts.at(item.draft);
        switch (item.kind) {
        case Item::Kind::Title:
            if (y > BodyTop)
                y += BlockGap;
            shade(QRectF(Left, y, Right - Left, TitleHeight), TitleShade);
            out.captions << caption(item.index < 0 ? d.title + QStringLiteral(" (continued)") : d.title,
                QRectF(Left + 2, y, Right - Left - 4, TitleHeight), 9.5, true, leftMid);
            y += TitleHeight + 0.8;
            break;
        case Item::Kind::Heads: {
            shade(QRectF(Left, y, Right - Left, LineHeight), HeadShade);
            const char* heads[7]
                = {"Tank", "Group", "Reading cm", "Trim m", "Volume m3", "Density t/m3", "Weight MT"};
            for (int c = 0; c < 7; ++c)
                out.captions << caption(QLatin1String(heads[c]), cellRect(c, y), PointSize - 0.5, true,
                    Columns[c].figure ? rightMid : leftMid, Label);
            y += LineHeight;
            break;
        }
        case Item::Kind::Tank: {
            const Row& r = d.rows.at(item.index);
            // A volume typed by hand is marked, the note under the totals saying so.
            const QString cells[7] = {r.tank, r.group, r.reading, r.trim,
                r.typedVolume ? QStringLiteral("* ") + r.volume : r.volume, r.density, r.weight};
            for (int c = 0; c < 7; ++c)
                out.captions << caption(
                    cells[c], cellRect(c, y), PointSize, false, Columns[c].figure ? rightMid : leftMid);
            rule(Left, y + LineHeight, Right, y + LineHeight, 0.1, Hairline);
            y += LineHeight;
            break;
        }
        case Item::Kind::TotalsHead:
            shade(QRectF(Left, y, Right - Left, LineHeight), HeadShade);
            out.captions << caption(QStringLiteral("Group totals, into the deductions"),
                QRectF(Columns[0].left, y, 100, LineHeight), PointSize, true, leftMid);
            y += LineHeight;
            break;
        case Item::Kind::Total: {
            const Total& t = d.totals.at(item.index);
            const QString label = countedGroup(t)
                + (t.item == TankGroups::deductionItem(TankGroup::Other) ? QStringLiteral(", as Misc-1)")
                                                                         : QStringLiteral(")"));
            out.captions << caption(
                label, QRectF(Columns[0].left, y, 100, LineHeight), PointSize, true, leftMid);
            out.captions << caption(t.weight + Tonnes, cellRect(6, y), PointSize, true, rightMid);
            rule(Left, y + LineHeight, Right, y + LineHeight, 0.3, Ink);
            y += LineHeight;
            break;
        }
        case Item::Kind::Note:
            out.captions << caption(
                QStringLiteral("* volume typed by hand: the table does not cover the reading"),
                QRectF(Columns[0].left, y, Right - Columns[0].left, LineHeight), PointSize - 0.5, false,
                leftMid, Label);
            y += LineHeight;
            break;
        }
    }

    rule(Left, 286, Right, 286, 0.2, Ink);
    out.captions << caption(m_footer, QRectF(Left, 287, 120, 4.5), 7.5, false, leftMid, Label);
    out.captions << caption(QStringLiteral("Tank sheet, page %1 of %2").arg(page + 1).arg(pageCount()),
        QRectF(Right - 60, 287, 60, 4.5), 7.5, false, rightMid, Label);
    return out;
}

QList<ReportLayout::Caption> TankSheetPages::pageCaptions(int page) const
{
    return drawPage(page).captions;
}

QList<ReportLayout::Rule> TankSheetPages::pageRules(int page) const
{
    return drawPage(page).rules;
}

QList<ReportLayout::Shade> TankSheetPages::pageShades(int page) const
{
    return drawPage(page).shades;
}

void TankSheetPages::renderPage(QPainter& painter, const QRectF& pageRect, int page) const
{
    SheetPage::render(painter, pageRect, drawPage(page));
}
