#include "ships/TankTableWindow.h"

#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "files/TankTableFile.h"
#include "ui/CatalogueBanner.h"
#include "ui/CatalogueWrites.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Tank Tables");

std::optional<Decimal> figureOf(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    try {
        if (auto d = Decimal::parse(t, QLocale()))
            return d;
        return Decimal::parse(t, QLocale::c());
    } catch (const VbError&) {
        return std::nullopt;
    }
}

// The trims or heel columns as typed: figures parted by blanks or ';'.
QStringList tokens(const QString& text)
{
    static const QRegularExpression parting(QStringLiteral("[\\s;]+"));
    return text.split(parting, Qt::SkipEmptyParts);
}

// A heel column as the booklet heads it, "2P" or "1.5S": port negative, starboard positive.
std::optional<Decimal> heelOf(const QString& token)
{
    const QString t = token.trimmed().toUpper();
    if (t.size() < 2 || !(t.endsWith(QLatin1Char('P')) || t.endsWith(QLatin1Char('S'))))
        return std::nullopt;
    const std::optional<Decimal> degrees = figureOf(t.chopped(1));
    if (!degrees || !(*degrees > Decimal(0)))
        return std::nullopt;
    return t.endsWith(QLatin1Char('P')) ? -*degrees : *degrees;
}

QString gaugeName(TankGauge gauge)
{
    return gauge == TankGauge::Ullage ? QStringLiteral("Ullage") : QStringLiteral("Sounding");
}

QTableWidgetItem* figureItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

std::function<QString(QWidget*, bool)>& TankTableWindow::fileChooser()
{
    static std::function<QString(QWidget*, bool)> chooser = [](QWidget* parent, bool forSaving) {
        return forSaving ? QFileDialog::getSaveFileName(
                   parent, QStringLiteral("Export Tank Tables"), QString(), QStringLiteral("CSV (*.csv)"))
                         : QFileDialog::getOpenFileName(parent, QStringLiteral("Import Tank Tables"),
                             QString(), QStringLiteral("Tables (*.csv *.txt *.tsv);;All files (*)"));
    };
    return chooser;
}

TankTableWindow::TankTableWindow(int shipId, const QString& shipName, QWidget* parent)
    : QDialog(parent)
    , m_shipId(shipId)
    , m_shipName(shipName)
{
    setObjectName(QStringLiteral("frmTankTables"));
    setWindowTitle(QStringLiteral("Tank Tables - %1").arg(shipName));
    buildLayout();
    loadStored();
    // With a catalogue server: read-only while it is out of reach, and told of newer tables.
    CatalogueBanner::attach(this, [this] { return catalogueCopyChanged(); });
}

QString TankTableWindow::catalogueCopyChanged()
{
    if (CatalogueWrites::copyHolds(QStringLiteral("TankTableChanges"), m_shipId, m_changeCount))
        return {};
    // Edits on show are kept: the save compares the tables' count of writes and tells.
    if (isDirty())
        return QStringLiteral("The catalogue server holds newer tank tables of this ship than the ones "
                              "being edited here: a save is refused, so as not to undo them.");
    loadStored();
    return {};
}

// --- The face of the window --------------------------------------------------------------------

QWidget* TankTableWindow::buildTankBoxes()
{
    auto* boxes = new QWidget;
    auto* form = new QFormLayout(boxes);
    form->setContentsMargins(0, 0, 0, 0);
    txtTankName = new QLineEdit;
    txtTankName->setObjectName(QStringLiteral("txtTankName"));
    txtTankName->setMaxLength(50);
    form->addRow(QStringLiteral("Na&me:"), txtTankName);
    cmbGroup = new QComboBox;
    cmbGroup->setObjectName(QStringLiteral("cmbGroup"));
    for (TankGroup g : TankGroups::all())
        cmbGroup->addItem(TankGroups::name(g));
    form->addRow(QStringLiteral("Gro&up:"), cmbGroup);
    cmbGauge = new QComboBox;
    cmbGauge->setObjectName(QStringLiteral("cmbGauge"));
    cmbGauge->addItems({gaugeName(TankGauge::Sounding), gaugeName(TankGauge::Ullage)});
    form->addRow(QStringLiteral("Gauged &by:"), cmbGauge);
    txtTankDensity = new QLineEdit;
    txtTankDensity->setObjectName(QStringLiteral("txtTankDensity"));
    txtTankDensity->setPlaceholderText(QStringLiteral("the group's density"));
    form->addRow(QStringLiteral("Densit&y (t/m3):"), txtTankDensity);
    txtTrims = new QLineEdit;
    txtTrims->setObjectName(QStringLiteral("txtTrims"));
    txtTrims->setToolTip(QStringLiteral("The trims of the table's columns in metres, by the stern positive, "
                                        "from the least: -1 0 1 2"));
    form->addRow(QStringLiteral("T&rims (m):"), txtTrims);
    txtHeels = new QLineEdit;
    txtHeels->setObjectName(QStringLiteral("txtHeels"));
    txtHeels->setToolTip(QStringLiteral("The heel columns in degrees to port (P) or starboard (S), "
                                        "as the booklet gives them: 2P 2S; none when it gives none"));
    form->addRow(QStringLiteral("&Heel columns:"), txtHeels);

    for (QLineEdit* box : {txtTankName, txtTankDensity})
        connect(box, &QLineEdit::textEdited, this, &TankTableWindow::tankBoxEdited);
    for (QComboBox* box : {cmbGroup, cmbGauge})
        connect(box, &QComboBox::currentIndexChanged, this, &TankTableWindow::tankBoxEdited);
    // The columns follow the trims and heels once they are typed, not at every key.
    for (QLineEdit* box : {txtTrims, txtHeels}) {
        connect(box, &QLineEdit::textEdited, this, &TankTableWindow::tankBoxEdited);
        connect(box, &QLineEdit::editingFinished, this, &TankTableWindow::reshapeGrid);
    }
    return boxes;
}

void TankTableWindow::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    auto* split = new QHBoxLayout;
    outer->addLayout(split, 1);

    // Left: the ship's tanks and the boxes of the chosen one.
    auto* left = new QVBoxLayout;
    auto* tanksLabel = new QLabel(QStringLiteral("&Tanks:"));
    left->addWidget(tanksLabel);
    grdTanks = new QTableWidget(0, 4);
    grdTanks->setObjectName(QStringLiteral("grdTanks"));
    grdTanks->setHorizontalHeaderLabels({QStringLiteral("Tank"), QStringLiteral("Group"),
        QStringLiteral("Gauged by"), QStringLiteral("Density")});
    grdTanks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdTanks->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdTanks->setSelectionMode(QAbstractItemView::SingleSelection);
    grdTanks->verticalHeader()->setVisible(false);
    grdTanks->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tanksLabel->setBuddy(grdTanks);
    left->addWidget(grdTanks, 1);
    left->addWidget(buildTankBoxes());
    auto* tankButtons = new QHBoxLayout;
    left->addLayout(tankButtons);
    split->addLayout(left, 2);

    // Right: the chosen tank's table.
    auto* right = new QVBoxLayout;
    auto* tableLabel = new QLabel(QStringLiteral("The tank's tab&le (gauge cm, volumes m3):"));
    right->addWidget(tableLabel);
    grdTankTable = new QTableWidget;
    grdTankTable->setObjectName(QStringLiteral("grdTankTable"));
    grdTankTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdTankTable->installEventFilter(this);
    tableLabel->setBuddy(grdTankTable);
    // Columns as wide as a volume needs and rows as close as the survey's tables, so that a
    // table of a dozen trims shows most of them at once.
    grdTankTable->horizontalHeader()->setDefaultSectionSize(
        grdTankTable->fontMetrics().horizontalAdvance(QStringLiteral("Gauge (cm)")) + 16);
    for (QTableWidget* grid : {grdTanks, grdTankTable}) {
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    }
    right->addWidget(grdTankTable, 1);
    auto* rowButtons = new QHBoxLayout;
    right->addLayout(rowButtons);
    split->addLayout(right, 3);

    auto* buttons = new QHBoxLayout;
    outer->addLayout(buttons);
    auto button = [&](QHBoxLayout* row, const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    button(tankButtons, "cmdAddTank", QStringLiteral("Add Tan&k"), &TankTableWindow::addTank);
    button(tankButtons, "cmdRemoveTank", QStringLiteral("Remo&ve Tank"), &TankTableWindow::removeTank);
    tankButtons->addStretch();
    button(rowButtons, "cmdAddRow", QStringLiteral("&Add Row"), &TankTableWindow::addRow);
    button(rowButtons, "cmdDeleteRows", QStringLiteral("&Delete Rows"), &TankTableWindow::deleteRows);
    button(rowButtons, "cmdPaste", QStringLiteral("&Paste"),
        [this] { pasteText(QApplication::clipboard()->text()); });
    rowButtons->addStretch();
    button(buttons, "cmdImport", QStringLiteral("&Import..."), &TankTableWindow::chooseImport);
    button(buttons, "cmdExport", QStringLiteral("E&xport..."), &TankTableWindow::chooseExport);
    button(buttons, "cmdCheck", QStringLiteral("&Check"), [this] {
        if (const auto t = tablesOnShow())
            showFindings(TankAudit::audit(*t));
    });
    buttons->addStretch();
    button(buttons, "cmdSave", QStringLiteral("&Save"), [this] { save(); });
    button(buttons, "cmdClose", QStringLiteral("Close"), &TankTableWindow::reject);

    auto* findingsLabel
        = new QLabel(QStringLiteral("&Findings of the check (double-click to go to the row):"));
    outer->addWidget(findingsLabel);
    lstFindings = new QListWidget;
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    lstFindings->setMaximumHeight(110);
    findingsLabel->setBuddy(lstFindings);
    connect(lstFindings, &QListWidget::itemActivated, this,
        [this](QListWidgetItem* item) { findingActivated(lstFindings->row(item)); });
    outer->addWidget(lstFindings);

    connect(grdTanks, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_filling && row != m_current)
            chooseTank(row);
    });
    // Wide enough for the boxes and several trims, within the screen.
    QSize size(1100, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

void TankTableWindow::warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation, kTitle);
}

QString TankTableWindow::tankCaption(int index) const
{
    const QString name = index >= 0 && index < m_tanks.size() ? m_tanks[index].name.trimmed() : QString();
    return name.isEmpty() ? QStringLiteral("number %1").arg(index + 1) : name;
}

// --- What the window holds -----------------------------------------------------------------------

QVector<TankTableWindow::TankText> TankTableWindow::textsOf(const TankTables& tables)
{
    QVector<TankText> out;
    for (const Tank& t : tables.tanks) {
        TankText text;
        text.name = t.name;
        text.group = TankGroups::name(t.group);
        text.gauge = gaugeName(t.gauge);
        text.density = t.density ? t.density->toString() : QString();
        QStringList trims, heels;
        for (const Decimal& trim : t.trims)
            trims.append(trim.toString());
        for (const Decimal& heel : t.heels)
            heels.append(heelCaption(heel));
        text.trims = trims.join(QLatin1Char(' '));
        text.heels = heels.join(QLatin1Char(' '));
        for (const TankRow& row : t.rows) {
            QStringList cells{row.gauge.toString()};
            for (const Decimal& v : row.volumes)
                cells.append(v.toString());
            for (const Decimal& v : row.heel)
                cells.append(v.toString());
            text.rows.append(cells);
        }
        out.append(text);
    }
    return out;
}

void TankTableWindow::loadStored()
{
    m_readTables = {};
    try {
        m_readTables = TankTables::loadForShip(m_shipId, nullptr, &m_changeCount);
    } catch (const VbError& e) {
        warn(MessageService::join(QStringLiteral("The ship's tank tables cannot be read."),
                                  e.description()));
    }
    m_saved = textsOf(m_readTables);
    showState(m_saved, m_saved.isEmpty() ? -1 : 0);
    showFindings({});
}

QVector<QStringList> TankTableWindow::gridRows() const
{
    QVector<QStringList> rows;
    rows.reserve(grdTankTable->rowCount());
    for (int r = 0; r < grdTankTable->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grdTankTable->columnCount(); ++c) {
            const QTableWidgetItem* item = grdTankTable->item(r, c);
            cells.append(item ? item->text() : QString());
        }
        rows.append(cells);
    }
    return rows;
}

QVector<TankTableWindow::TankText> TankTableWindow::state() const
{
    QVector<TankText> tanks = m_tanks;
    if (m_current >= 0 && m_current < tanks.size())
        tanks[m_current].rows = gridRows();
    return tanks;
}

bool TankTableWindow::isDirty() const
{
    return state() != m_saved;
}

void TankTableWindow::showState(const QVector<TankText>& tanks, int current)
{
    m_tanks = tanks;
    m_current = -1;
    fillTankList();
    chooseTank(current);
}

void TankTableWindow::fillTankList()
{
    m_filling = true;
    grdTanks->setRowCount(m_tanks.size());
    for (int i = 0; i < m_tanks.size(); ++i) {
        const TankText& t = m_tanks[i];
        const QStringList cells{t.name, t.group, t.gauge, t.density};
        for (int c = 0; c < cells.size(); ++c) {
            QTableWidgetItem* item = grdTanks->item(i, c);
            if (!item)
                grdTanks->setItem(i, c, new QTableWidgetItem(cells[c]));
            else if (item->text() != cells[c])
                item->setText(cells[c]);
        }
    }
    m_filling = false;
}

void TankTableWindow::chooseTank(int index)
{
    // The grid's rows go back to the tank they belong to before another is shown.
    if (m_current >= 0 && m_current < m_tanks.size())
        m_tanks[m_current].rows = gridRows();
    m_current = index >= 0 && index < m_tanks.size() ? index : -1;
    m_filling = true;
    if (m_current >= 0)
        grdTanks->setCurrentCell(m_current, 0);
    else
        grdTanks->setCurrentCell(-1, -1);
    m_filling = false;
    fillTankBoxes();
    fillGrid();
}

void TankTableWindow::fillTankBoxes()
{
    m_filling = true;
    const bool any = m_current >= 0;
    const TankText t = any ? m_tanks[m_current] : TankText{};
    txtTankName->setText(t.name);
    cmbGroup->setCurrentIndex(std::max(0, cmbGroup->findText(t.group)));
    cmbGauge->setCurrentIndex(t.gauge == gaugeName(TankGauge::Ullage) ? 1 : 0);
    txtTankDensity->setText(t.density);
    txtTrims->setText(t.trims);
    txtHeels->setText(t.heels);
    for (QWidget* w : std::initializer_list<QWidget*>{
             txtTankName, cmbGroup, cmbGauge, txtTankDensity, txtTrims, txtHeels, grdTankTable})
        w->setEnabled(any);
    m_filling = false;
}

void TankTableWindow::fillGrid()
{
    m_filling = true;
    grdTankTable->clear();
    if (m_current < 0) {
        grdTankTable->setRowCount(0);
        grdTankTable->setColumnCount(0);
        m_gridTrims = 0;
        m_filling = false;
        return;
    }
    const TankText& t = m_tanks[m_current];
    QStringList headers{QStringLiteral("Gauge (cm)")};
    for (const QString& trim : tokens(t.trims))
        headers.append(QStringLiteral("Trim %1").arg(trim));
    for (const QString& heel : tokens(t.heels))
        headers.append(QStringLiteral("Heel %1").arg(heel.toUpper()));
    m_gridTrims = tokens(t.trims).size();
    grdTankTable->setColumnCount(headers.size());
    grdTankTable->setHorizontalHeaderLabels(headers);
    grdTankTable->setRowCount(t.rows.size());
    for (int r = 0; r < t.rows.size(); ++r)
        for (int c = 0; c < headers.size(); ++c)
            grdTankTable->setItem(r, c, figureItem(t.rows[r].value(c)));
    m_filling = false;
}

void TankTableWindow::reshapeGrid()
{
    if (m_current < 0)
        return;
    // A trim column keeps its figures when another is added or dropped after it; the heel columns
    // keep theirs behind the trims.
    TankText& t = m_tanks[m_current];
    const int trims = tokens(t.trims).size(), heels = tokens(t.heels).size();
    if (trims == m_gridTrims && 1 + trims + heels == grdTankTable->columnCount())
        return;
    QVector<QStringList> rows;
    for (const QStringList& old : gridRows()) {
        QStringList row{old.value(0)};
        for (int k = 0; k < trims; ++k)
            row.append(k < m_gridTrims ? old.value(1 + k) : QString());
        for (int k = 0; k < heels; ++k)
            row.append(old.value(1 + m_gridTrims + k));
        rows.append(row);
    }
    t.rows = rows;
    fillGrid();
}

void TankTableWindow::tankBoxEdited()
{
    if (m_filling || m_current < 0)
        return;
    TankText& t = m_tanks[m_current];
    t.name = txtTankName->text();
    t.group = cmbGroup->currentText();
    t.gauge = cmbGauge->currentText();
    t.density = txtTankDensity->text();
    t.trims = txtTrims->text();
    t.heels = txtHeels->text();
    fillTankList();
}

std::optional<TankTables> TankTableWindow::tablesOnShow(bool tell)
{
    reshapeGrid();
    const QVector<TankText> tanks = state();
    // Takes the user to the tank and the box or cell at fault, then tells.
    auto refuse = [&](int tank, QWidget* box, int row, int column, const QString& text) {
        if (!tell)
            return;
        chooseTank(tank);
        if (box) {
            box->setFocus();
        } else {
            grdTankTable->setCurrentCell(row, column);
            grdTankTable->setFocus();
        }
        warn(text);
    };
    TankTables out;
    for (int i = 0; i < tanks.size(); ++i) {
        const TankText& text = tanks[i];
        const QString name
            = text.name.trimmed().isEmpty() ? QStringLiteral("number %1").arg(i + 1) : text.name.trimmed();
        Tank tank;
        tank.name = text.name.trimmed();
        tank.group = TankGroups::fromName(text.group).value_or(TankGroup::Other);
        tank.gauge = text.gauge == gaugeName(TankGauge::Ullage) ? TankGauge::Ullage : TankGauge::Sounding;
        if (!text.density.trimmed().isEmpty()) {
            tank.density = figureOf(text.density);
            if (!tank.density) {
                refuse(i, txtTankDensity, 0, 0,
                    QStringLiteral("Tank %1: the density \"%2\" is not a number.").arg(name, text.density));
                return std::nullopt;
            }
        }
        for (const QString& t : tokens(text.trims)) {
            const std::optional<Decimal> trim = figureOf(t);
            if (!trim) {
                refuse(i, txtTrims, 0, 0,
                    QStringLiteral("Tank %1: the trim \"%2\" is not a number.").arg(name, t));
                return std::nullopt;
            }
            tank.trims.append(*trim);
        }
        for (const QString& h : tokens(text.heels)) {
            const std::optional<Decimal> heel = heelOf(h);
            if (!heel) {
                refuse(i, txtHeels, 0, 0,
                    QStringLiteral("Tank %1: the heel column \"%2\" is not an angle to port or starboard "
                                   "(2P, 1.5S).")
                        .arg(name, h));
                return std::nullopt;
            }
            tank.heels.append(*heel);
        }
        const int columns = 1 + tank.trims.size() + tank.heels.size();
        for (int r = 0; r < text.rows.size(); ++r) {
            QVector<Decimal> figures;
            for (int c = 0; c < columns; ++c) {
                const QString cell = text.rows[r].value(c);
                const std::optional<Decimal> v = figureOf(cell);
                if (!v) {
                    const QString column = c == 0 ? QStringLiteral("Gauge")
                        : c <= tank.trims.size()
                        ? QStringLiteral("Trim %1").arg(tank.trims[c - 1].toString())
                        : QStringLiteral("Heel %1").arg(heelCaption(tank.heels[c - 1 - tank.trims.size()]));
                    refuse(i, nullptr, r, c,
                        cell.trimmed().isEmpty()
                            ? QStringLiteral("Tank %1, row %2, column %3 (%4): the figure is missing.")
                                  .arg(name)
                                  .arg(r + 1)
                                  .arg(c + 1)
                                  .arg(column)
                            : QStringLiteral("Tank %1, row %2, column %3 (%4): \"%5\" is not a number.")
                                  .arg(name)
                                  .arg(r + 1)
                                  .arg(c + 1)
                                  .arg(column, cell));
                    return std::nullopt;
                }
                figures.append(*v);
            }
            TankRow row;
            row.gauge = figures.at(0);
            row.volumes = figures.mid(1, tank.trims.size());
            row.heel = figures.mid(1 + tank.trims.size());
            tank.rows.append(row);
        }
        out.tanks.append(tank);
    }
    return out;
}

void TankTableWindow::showFindings(const QList<TankAudit::Finding>& findings)
{
    m_findings = findings;
    lstFindings->clear();
    for (const TankAudit::Finding& f : findings) {
        auto* item = new QListWidgetItem(
            (f.isError() ? QStringLiteral("Error - ") : QStringLiteral("Doubt - ")) + f.text);
        item->setToolTip(f.text);
        lstFindings->addItem(item);
    }
}

void TankTableWindow::findingActivated(int index)
{
    if (index < 0 || index >= m_findings.size())
        return;
    const TankAudit::Finding& f = m_findings.at(index);
    int tank = -1;
    for (int i = 0; i < m_tanks.size() && tank < 0; ++i)
        if (!f.tank.isEmpty() && m_tanks[i].name.trimmed().compare(f.tank, Qt::CaseInsensitive) == 0)
            tank = i;
    if (tank < 0)
        return;
    chooseTank(tank);
    if (f.row >= 1 && f.row <= grdTankTable->rowCount()) {
        // The gauge is the grid's first column, the trims follow it.
        grdTankTable->setCurrentCell(f.row - 1, f.column >= 0 ? f.column + 1 : 0);
        grdTankTable->setFocus();
    } else {
        // A fault of the tank as a whole (its trims, its density): the boxes that say it.
        (f.column >= 0 ? txtTrims : txtTankName)->setFocus();
    }
}

// --- Edits --------------------------------------------------------------------------------------

void TankTableWindow::addTank()
{
    // The tanks of one booklet mostly share their trims and heels: the new one starts with them.
    TankText t;
    t.group = TankGroups::name(TankGroup::Ballast);
    t.gauge = gaugeName(TankGauge::Sounding);
    if (m_current >= 0) {
        t.group = m_tanks[m_current].group;
        t.trims = m_tanks[m_current].trims;
        t.heels = m_tanks[m_current].heels;
    }
    if (m_current >= 0)
        m_tanks[m_current].rows = gridRows();
    m_tanks.append(t);
    m_current = -1;
    fillTankList();
    chooseTank(m_tanks.size() - 1);
    txtTankName->setFocus();
}

void TankTableWindow::removeTank()
{
    if (m_current < 0)
        return;
    if (MessageService::show(QStringLiteral("Remove tank %1 and its table?").arg(tankCaption(m_current)),
            Msg::Buttons::YesNo, Msg::Icon::Question, kTitle, Msg::Answer::No)
        != Msg::Answer::Yes)
        return;
    const int at = m_current;
    m_tanks.removeAt(at);
    m_current = -1;
    fillTankList();
    chooseTank(std::min(at, int(m_tanks.size()) - 1));
    showFindings({});
}

void TankTableWindow::addRow()
{
    if (m_current < 0)
        return;
    reshapeGrid();
    const int at
        = grdTankTable->currentRow() >= 0 ? grdTankTable->currentRow() + 1 : grdTankTable->rowCount();
    m_filling = true;
    grdTankTable->insertRow(at);
    for (int c = 0; c < grdTankTable->columnCount(); ++c)
        grdTankTable->setItem(at, c, figureItem(QString()));
    m_filling = false;
    grdTankTable->setCurrentCell(at, 0);
    grdTankTable->setFocus();
}

void TankTableWindow::deleteRows()
{
    if (m_current < 0)
        return;
    QList<int> rows;
    for (const QTableWidgetSelectionRange& range : grdTankTable->selectedRanges())
        for (int r = range.topRow(); r <= range.bottomRow(); ++r)
            if (!rows.contains(r))
                rows.append(r);
    if (rows.isEmpty() && grdTankTable->currentRow() >= 0)
        rows.append(grdTankTable->currentRow());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    const QString tank = tankCaption(m_current);
    QString question;
    if (rows.size() == 1)
        question = QStringLiteral("Delete row %1 of the table of tank %2?").arg(rows.first() + 1).arg(tank);
    else if (rows.last() - rows.first() + 1 == rows.size())
        question = QStringLiteral("Delete rows %1 to %2 of the table of tank %3?")
                       .arg(rows.first() + 1)
                       .arg(rows.last() + 1)
                       .arg(tank);
    else
        question = QStringLiteral("Delete the %1 selected rows of the table of tank %2?")
                       .arg(rows.size())
                       .arg(tank);
    if (MessageService::show(question, Msg::Buttons::YesNo, Msg::Icon::Question, kTitle, Msg::Answer::No)
        != Msg::Answer::Yes)
        return;
    std::reverse(rows.begin(), rows.end());
    for (int r : rows)
        grdTankTable->removeRow(r);
}

bool TankTableWindow::pasteText(const QString& text)
{
    if (m_current < 0) {
        warn(QStringLiteral("Please add a tank before pasting her table."));
        return false;
    }
    reshapeGrid();
    const int columns = grdTankTable->columnCount();
    // Each line a row of the booklet: the gauge, a volume per trim, then the heel corrections.
    QVector<QStringList> pasted;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (int l = 0; l < lines.size(); ++l) {
        if (lines[l].trimmed().isEmpty())
            continue;
        QStringList cells = lines[l].split(QLatin1Char('\t'));
        while (cells.size() > 1 && cells.last().trimmed().isEmpty())
            cells.removeLast();
        if (cells.size() > columns) {
            warn(MessageService::join(QStringLiteral("The pasted rows were not taken."),
                QStringLiteral("Line %1 holds %2 figures where the table of tank %3 has %4 columns.")
                    .arg(l + 1)
                    .arg(cells.size())
                    .arg(tankCaption(m_current))
                    .arg(columns)));
            return false;
        }
        QStringList row;
        for (int c = 0; c < cells.size(); ++c) {
            if (cells[c].trimmed().isEmpty()) {
                row.append(QString());
                continue;
            }
            const std::optional<Decimal> v = figureOf(cells[c]);
            if (!v) {
                warn(MessageService::join(QStringLiteral("The pasted rows were not taken."),
                    QStringLiteral("Line %1, column %2: \"%3\" is not a number.")
                        .arg(l + 1)
                        .arg(c + 1)
                        .arg(cells[c].trimmed())));
                return false;
            }
            row.append(v->toString());
        }
        pasted.append(row);
    }
    if (pasted.isEmpty()) {
        warn(MessageService::join(QStringLiteral("The pasted rows were not taken."),
            QStringLiteral("The clipboard holds no rows of figures.")));
        return false;
    }
    const int start = std::max(0, grdTankTable->currentRow());
    const PasteMode mode = askHowToPaste(start, pasted.size());
    if (mode == PasteMode::Cancel)
        return false;
    m_filling = true;
    if (mode == PasteMode::Insert)
        for (int r = 0; r < pasted.size(); ++r)
            grdTankTable->insertRow(start);
    if (grdTankTable->rowCount() < start + pasted.size())
        grdTankTable->setRowCount(start + pasted.size());
    for (int r = 0; r < pasted.size(); ++r)
        for (int c = 0; c < columns; ++c)
            grdTankTable->setItem(start + r, c, figureItem(pasted[r].value(c)));
    m_filling = false;
    return true;
}

TankTableWindow::PasteMode TankTableWindow::askHowToPaste(int start, int count)
{
    const int last = std::min(start + count, grdTankTable->rowCount()) - 1;
    bool holdsFigures = false;
    for (int r = start; r <= last && !holdsFigures; ++r)
        for (int c = 0; c < grdTankTable->columnCount() && !holdsFigures; ++c)
            if (const QTableWidgetItem* item = grdTankTable->item(r, c))
                holdsFigures = !item->text().trimmed().isEmpty();
    if (!holdsFigures)
        return PasteMode::Overwrite;
    const QString rows = last > start ? QStringLiteral("rows %1 to %2").arg(start + 1).arg(last + 1)
                                      : QStringLiteral("row %1").arg(start + 1);
    const QString tank = tankCaption(m_current);
    const QString headline = count == 1
        ? QStringLiteral("The pasted row would be written over %1 of the table of tank %2.").arg(rows, tank)
        : QStringLiteral("The %1 pasted rows would be written over %2 of the table of tank %3.")
              .arg(count)
              .arg(rows, tank);
    const QString detail = QStringLiteral("Yes writes over %1.\r\n"
                                          "No inserts the pasted rows above row %2.\r\n"
                                          "Cancel leaves the table as it is.")
                               .arg(rows)
                               .arg(start + 1);
    switch (MessageService::show(MessageService::join(headline, detail), Msg::Buttons::YesNoCancel,
        Msg::Icon::Question, kTitle, Msg::Answer::Cancel)) {
    case Msg::Answer::Yes:
        return PasteMode::Overwrite;
    case Msg::Answer::No:
        return PasteMode::Insert;
    default:
        return PasteMode::Cancel;
    }
}

// --- Files --------------------------------------------------------------------------------------

bool TankTableWindow::askBeforeReplacingEdits()
{
    if (!isDirty())
        return true;
    const Msg::Answer a = MessageService::show(
        MessageService::join(
            QStringLiteral("The tank tables of %1 have changed. Save them before importing?")
                .arg(m_shipName),
            QStringLiteral("Yes saves the tables as they are now; No imports over the changes; Cancel keeps "
                           "the tables as they are.")),
        Msg::Buttons::YesNoCancel, Msg::Icon::Question, kTitle, Msg::Answer::Cancel);
    if (a == Msg::Answer::Cancel)
        return false;
    return a == Msg::Answer::No || save();
}

bool TankTableWindow::importFile(const QString& path)
{
    // Booklets write the trim either way: the user says which, the program turns it to its own.
    MessageRecord question;
    question.title = kTitle;
    question.text
        = MessageService::join(QStringLiteral("How does %1 write the trim?").arg(QFileInfo(path).fileName()),
            QStringLiteral("By the stern positive: a ship deeper aft than forward has a positive trim, as "
                           "this program writes it.\r\nBy the stern negative: the file's trims are turned "
                           "round.\r\nCancel imports nothing."));
    question.icon = Msg::Icon::Question;
    question.buttons = Msg::Buttons::YesNoCancel;
    question.defaultButton = Msg::Answer::Yes;
    question.buttonTexts = {{Msg::Answer::Yes, QStringLiteral("By the stern &positive")},
        {Msg::Answer::No, QStringLiteral("By the stern &negative")}};
    const Msg::Answer a = MessageService::show(question);
    if (a != Msg::Answer::Yes && a != Msg::Answer::No)
        return false;
    const auto sign = a == Msg::Answer::Yes ? TankTableFile::TrimSign::SternPositive
                                            : TankTableFile::TrimSign::SternNegative;
    QString error;
    const std::optional<TankTables> tables = TankTableFile::readFile(path, sign, &error);
    if (!tables) {
        warn(MessageService::join(QStringLiteral("The file was not imported."), error));
        return false;
    }
    showState(textsOf(*tables), tables->isEmpty() ? -1 : 0);
    // What the booklet's figures look like is shown at once; saving checks again.
    showFindings(TankAudit::audit(*tables));
    return true;
}

bool TankTableWindow::exportFile(const QString& path)
{
    const std::optional<TankTables> t = tablesOnShow();
    if (!t)
        return false;
    QString error;
    if (!TankTableFile::writeCsv(path, *t, &error)) {
        warn(MessageService::join(QStringLiteral("The tank tables were not exported."), error));
        return false;
    }
    return true;
}

void TankTableWindow::chooseImport()
{
    if (!askBeforeReplacingEdits())
        return;
    const QString path = fileChooser()(this, false);
    if (!path.isEmpty())
        importFile(path);
}

void TankTableWindow::chooseExport()
{
    QString path = fileChooser()(this, true);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    exportFile(path);
}

// --- Saving and closing -------------------------------------------------------------------------

void TankTableWindow::reportChangedMeanwhile()
{
    const Msg::Answer answer = MessageService::show(
        MessageService::join(
            QStringLiteral("The tank tables of %1 were changed by another user or program after this window "
                           "read them.")
                .arg(m_shipName),
            QStringLiteral("The tables on show were not saved, so as not to undo that change. Show the "
                           "tables as they are stored now? The tables on show are then lost.")),
        Msg::Buttons::YesNo, Msg::Icon::Exclamation, kTitle, Msg::Answer::No);
    if (answer == Msg::Answer::Yes)
        loadStored();
}

bool TankTableWindow::save()
{
    const std::optional<TankTables> t = tablesOnShow();
    if (!t)
        return false;
    try {
        if (t->isEmpty() && !m_readTables.isEmpty()
            && MessageService::show(
                   QStringLiteral("No tank is left. Remove the tank tables of %1?").arg(m_shipName),
                   Msg::Buttons::YesNo, Msg::Icon::Question, kTitle, Msg::Answer::No)
                != Msg::Answer::Yes)
            return false;
        const QList<TankAudit::Finding> findings = TankAudit::audit(*t);
        showFindings(findings);
        if (TankAudit::hasErrors(findings)) {
            QList<TankAudit::Finding> errors;
            for (const auto& f : findings)
                if (f.isError())
                    errors.append(f);
            warn(MessageService::join(
                QStringLiteral("The tank tables were not saved: please correct these rows."),
                TankAudit::describe(errors)));
            findingActivated(0);
            return false;
        }
        if (!findings.isEmpty()
            && MessageService::show(
                   MessageService::join(
                       QStringLiteral("Please look at these rows against the ship's tank tables."),
                       TankAudit::describe(findings)
                           + QStringLiteral("\r\n\r\nSave the tables as they are?")),
                   Msg::Buttons::YesNo, Msg::Icon::Question, kTitle, Msg::Answer::No)
                != Msg::Answer::Yes)
            return false;
        // Through the catalogue server first when one is set; the surveyor is told why not.
        if (!CatalogueWrites::saveTankTables(m_shipId, *t, m_changeCount))
            return false;
        m_readTables = *t;
    } catch (const VbError& e) {
        if (e.number() == ChangeCount::ChangedMeanwhile) {
            reportChangedMeanwhile();
            return false;
        }
        warn(MessageService::join(QStringLiteral("The tank tables were not saved."), e.description()));
        return false;
    }
    // What was saved is what a reading gives back: figures as the model writes them.
    const int current = m_current;
    m_saved = textsOf(*t);
    m_current = -1;
    showState(m_saved, current);
    return true;
}

void TankTableWindow::reject()
{
    if (isDirty()) {
        const Msg::Answer a = MessageService::show(
            QStringLiteral("The tank tables of %1 have changed. Save them?").arg(m_shipName),
            Msg::Buttons::YesNoCancel, Msg::Icon::Question, kTitle);
        if (a == Msg::Answer::Cancel || (a == Msg::Answer::Yes && !save()))
            return;
    }
    QDialog::reject();
}

bool TankTableWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grdTankTable && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            pasteText(QApplication::clipboard()->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
