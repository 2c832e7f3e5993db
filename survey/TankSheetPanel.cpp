#include "survey/TankSheetPanel.h"

#include "model/SurveyModel.h"

#include <QHeaderView>
#include <QScopedValueRollback>

TankSheetPanel::TankSheetPanel(
    std::function<SurveyModel&()> model, std::function<void(const SurveyMessages&)> tell, QWidget* parent)
    : QTableWidget(0, ColumnCount, parent)
    , m_model(std::move(model))
    , m_tell(std::move(tell))
{
    setObjectName(QStringLiteral("fgrdTanks"));
    setHorizontalHeaderLabels({QStringLiteral("Tank"), QStringLiteral("Group"), QStringLiteral("Reading"),
        QStringLiteral("Density"), QStringLiteral("Trim"), QStringLiteral("Volume"),
        QStringLiteral("Weight")});
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the sheet as it leaves any box; the arrows move in it and typing edits a cell.
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
        | QAbstractItemView::EditKeyPressed);
    setMinimumHeight(140);
    hide();
    connect(this, &QTableWidget::itemChanged, this, &TankSheetPanel::cellChanged);
}

void TankSheetPanel::showDraft(int draft)
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    m_draft = draft;
    SurveyModel& m = m_model();
    const TankTables& tables = m.tankTables();
    setVisible(!tables.isEmpty());
    const TankSheet& sheet = m.tankSheet(draft);
    const TankSheetWork::Result worked = m.tankWork(draft);
    setRowCount(int(tables.tanks.size()));
    for (int r = 0; r < tables.tanks.size(); ++r) {
        const Tank& tank = tables.tanks[r];
        const TankReading read = sheet.readings.value(tank.name);
        const TankSheetWork::Line* line = nullptr;
        for (const TankSheetWork::Line& l : worked.lines)
            if (l.tank == tank.name)
                line = &l;
        const QString texts[ColumnCount] = {
            tank.name,
            TankGroups::name(tank.group),
            read.reading,
            read.density.isEmpty() && tank.density ? tank.density->toString() : read.density,
            line ? line->trim : QString(),
            !read.volume.isEmpty() ? read.volume : (line ? line->volume : QString()),
            line ? line->weight : QString(),
        };
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            const bool typed = c == ReadingColumn || c == DensityColumn || c == VolumeColumn;
            item->setFlags(typed ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                 : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c >= DensityColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == VolumeColumn && !read.volume.isEmpty()) {
                // A volume typed by hand stands out from those the tables give.
                QFont italic = font();
                italic.setItalic(true);
                item->setFont(italic);
                item->setToolTip(QStringLiteral("Typed by hand"));
            } else if (c == VolumeColumn && line && !line->refusal.isEmpty()) {
                item->setToolTip(line->refusal);
            }
            setItem(r, c, item);
        }
    }
}

void TankSheetPanel::cellChanged(QTableWidgetItem* item)
{
    if (m_filling || !item)
        return;
    const int r = item->row();
    const int c = item->column();
    const TankTables& tables = m_model().tankTables();
    if (r < 0 || r >= tables.tanks.size())
        return;
    const TankSheetWork::Field field = c == ReadingColumn ? TankSheetWork::Field::Reading
        : c == DensityColumn                              ? TankSheetWork::Field::Density
                                                          : TankSheetWork::Field::Volume;
    const QString tank = tables.tanks[r].name;
    const SurveyInputRules::Outcome o = m_model().enterTank(m_draft, tank, field, item->text());
    if (!o.accepted && m_tell)
        m_tell({{o.message, o.title, o.icon, QStringLiteral("tanks.") + tank}});
    // The row as the survey holds it now: the text accepted, or the one before the refusal.
    QMetaObject::invokeMethod(
        this,
        [this, r, c] {
            const int keepRow = r, keepColumn = c;
            showDraft(m_draft);
            setCurrentCell(keepRow, keepColumn);
        },
        Qt::QueuedConnection);
}
