#include "ships/HydrostaticTableWindow.h"

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/Database.h"
#include "model/ShipRecord.h"
#include "ui/CatalogueBanner.h"
#include "ui/CatalogueWrites.h"
#include "ui/Contrast.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cmath>

using Role = HydrostaticTableFile::Role;

namespace {

const QString kTitle = QStringLiteral("Hydrostatic Table");
constexpr int kPreviewRows = 8;

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

QString headerText(int column)
{
    static const char* units[HydrostaticTable::ColumnCount] = {"m", "t", "t/cm", "m", "t m/cm"};
    return QStringLiteral("%1 (%2)").arg(HydrostaticTable::columnName(column), QLatin1String(units[column]));
}

// The red of an error, darkened on a light ground and lightened on a dark one until it reads at
// 4.5:1 against the list; the palette's own text when no red does (a ground of middle grey).
QColor errorInk(const QPalette& palette)
{
    const QColor ground = palette.color(QPalette::Base);
    // Below this luminance white text reads better than black.
    const bool darkGround = Contrast::luminance(ground) < 0.179;
    for (int step = 0; step <= 50; ++step) {
        const double lightness = darkGround ? 0.5 + step * 0.01 : 0.5 - step * 0.01;
        const QColor red = QColor::fromHslF(0.0f, 1.0f, float(lightness));
        if (Contrast::ratio(red, ground) >= 4.5)
            return red;
    }
    return palette.color(QPalette::Text);
}

// One step on the window's undo stack: the grid and the density before and after it.
class TableEdit : public QUndoCommand {
public:
    using State = HydrostaticTableWindow::GridState;
    using Apply = std::function<void(const State&)>;
    TableEdit(const QString& what, State before, State after, bool densityTyping, Apply apply)
        : QUndoCommand(what), m_before(std::move(before)), m_after(std::move(after)),
          m_densityTyping(densityTyping), m_apply(std::move(apply))
    {
    }
    // The grid already shows the change when the step is pushed.
    void redo() override
    {
        if (m_done)
            m_apply(m_after);
        m_done = true;
    }
    void undo() override { m_apply(m_before); }
    // The keys typed into the density box make one step.
    int id() const override { return m_densityTyping ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        m_after = static_cast<const TableEdit*>(other)->m_after;
        return true;
    }

private:
    State m_before, m_after;
    bool m_densityTyping;
    Apply m_apply;
    bool m_done = false;
};

}  // namespace

std::function<QString(QWidget*, bool)>& HydrostaticTableWindow::fileChooser()
{
    static std::function<QString(QWidget*, bool)> chooser = [](QWidget* parent, bool forSaving) {
        const QString filter = QStringLiteral("Tables (*.csv *.txt *.tsv);;All files (*)");
        return forSaving ? QFileDialog::getSaveFileName(parent, QStringLiteral("Export Hydrostatic Table"),
                                                        QString(), QStringLiteral("CSV (*.csv)"))
                         : QFileDialog::getOpenFileName(parent, QStringLiteral("Import Hydrostatic Table"),
                                                        QString(), filter);
    };
    return chooser;
}

std::function<std::optional<LcfConvention>(QWidget*)>& HydrostaticTableWindow::lcfChooser()
{
    static std::function<std::optional<LcfConvention>(QWidget*)> chooser =
        [](QWidget* parent) -> std::optional<LcfConvention> {
        const LcfConvention choices[3] = {LcfConvention::MidshipAft, LcfConvention::MidshipForward,
                                          LcfConvention::AftPerpendicular};
        if (MessageService::testMode())
            return choices[0];
        QStringList items;
        for (LcfConvention c : choices)
            items.append(QStringLiteral("LCF %1").arg(LcfConventions::caption(c)));
        bool ok = false;
        const QString picked = QInputDialog::getItem(
            parent, kTitle, QStringLiteral("How does the table write its LCF?"), items, 0, false, &ok);
        if (!ok)
            return std::nullopt;
        return choices[std::max(0, int(items.indexOf(picked)))];
    };
    return chooser;
}

HydrostaticTableWindow::HydrostaticTableWindow(int shipId, const QString& shipName, QWidget* parent)
    : QDialog(parent), m_shipId(shipId), m_shipName(shipName)
{
    setObjectName(QStringLiteral("frmHydrostaticTable"));
    setWindowTitle(QStringLiteral("Hydrostatic Table - %1").arg(shipName));
    m_undo = new QUndoStack(this);
    buildLayout();
    buildEditActions();
    loadStored();
    CatalogueBanner::attach(this, [this] { return catalogueCopyChanged(); });
}

QString HydrostaticTableWindow::catalogueCopyChanged()
{
    if (CatalogueWrites::copyHolds(QStringLiteral("HydrostaticTable"), m_shipId, m_changeCount))
        return {};
    // Edits in the grid are kept: the save compares the table's count of writes and tells.
    if (isDirty())
        return QStringLiteral("The catalogue server holds a newer table of this ship than the one being "
                              "edited here: a save is refused, so as not to undo it.");
    loadStored();
    return {};
}

void HydrostaticTableWindow::loadStored()
{
    HydrostaticTable table;
    m_readTable.reset();
    try {
        m_readTable = HydrostaticTable::loadForShip(m_shipId, nullptr, &m_changeCount);
        if (m_readTable)
            table = *m_readTable;
    } catch (const VbError& e) {
        warn(MessageService::join(QStringLiteral("The ship's hydrostatic table cannot be read."), e.description()));
    }
    fillGrid(table);
    m_shown = gridState();
    m_undo->clear();
}

namespace {

// What differs between the table as read and as stored now, in a few words.
QString tableChanges(const std::optional<HydrostaticTable>& before,
                     const std::optional<HydrostaticTable>& after)
{
    if (!after)
        return before ? QStringLiteral("the table was removed") : QString();
    if (!before)
        return QStringLiteral("a table of %1 rows was stored").arg(after->rows.size());
    QStringList changes;
    if (before->density != after->density)
        changes.append(QStringLiteral("the water density is now %1").arg(after->density.toString()));
    if (before->mouldedDrafts != after->mouldedDrafts)
        changes.append(after->mouldedDrafts ? QStringLiteral("the drafts are now moulded")
                                            : QStringLiteral("the drafts are now extreme"));
    if (before->rows.size() != after->rows.size())
        changes.append(
            QStringLiteral("%1 rows instead of %2").arg(after->rows.size()).arg(before->rows.size()));
    QStringList rows;
    for (int r = 0; r < std::min(before->rows.size(), after->rows.size()); ++r) {
        if (before->rows[r] != after->rows[r])
            rows.append(QString::number(r + 1));
    }
    if (rows.size() > 8)
        rows = rows.mid(0, 8) << QStringLiteral("...");
    if (!rows.isEmpty())
        changes.append(QStringLiteral("rows %1 differ").arg(rows.join(QStringLiteral(", "))));
    return changes.join(QStringLiteral("; "));
}

}  // namespace

void HydrostaticTableWindow::requireCopyAsRead() const
{
    // The copy may have taken a newer table from the server since this window read it, which the
    // server would then let this save undo unseen.
    if (!CatalogueWrites::copyHolds(QStringLiteral("HydrostaticTable"), m_shipId, m_changeCount))
        throw ChangeCount::changedMeanwhile(QStringLiteral("The table"));
}

void HydrostaticTableWindow::reportChangedMeanwhile()
{
    std::optional<HydrostaticTable> now;
    try {
        now = HydrostaticTable::loadForShip(m_shipId);
    } catch (const VbError&) {
    }
    const QString changed = tableChanges(m_readTable, now);
    const QString headline
        = QStringLiteral(
              "The hydrostatic table of %1 was changed by another user or program after this window read "
              "it%2.")
              .arg(m_shipName, changed.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(changed));
    const Msg::Answer answer = MessageService::show(
        MessageService::join(headline,
                             QStringLiteral("The table on show was not saved, so as not to undo that "
                                            "change. Show the table as it is stored now? The rows on "
                                            "show are then lost.")),
        Msg::Buttons::YesNo, Msg::Icon::Exclamation, kTitle, Msg::Answer::No);
    if (answer == Msg::Answer::Yes)
        loadStored();
}

void HydrostaticTableWindow::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    m_pages = new QStackedWidget(this);
    outer->addWidget(m_pages);

    // Page 1: the table.
    auto* tablePage = new QWidget;
    auto* v = new QVBoxLayout(tablePage);
    v->setContentsMargins(0, 0, 0, 0);
    auto* densityRow = new QHBoxLayout;
    auto* densityLabel = new QLabel(QStringLiteral("Water density of the table (t/m3):"));
    txtDensity = new QLineEdit;
    txtDensity->setObjectName(QStringLiteral("txtDensity"));
    txtDensity->setMaximumWidth(90);
    densityLabel->setBuddy(txtDensity);
    densityRow->addWidget(densityLabel);
    densityRow->addWidget(txtDensity);
    auto* draftsLabel = new QLabel(QStringLiteral("Drafts:"));
    cmbDrafts = new QComboBox;
    cmbDrafts->setObjectName(QStringLiteral("cmbDrafts"));
    cmbDrafts->addItem(QStringLiteral("Extreme (from the underside of the keel)"), false);
    cmbDrafts->addItem(QStringLiteral("Moulded (from the top of the keel plate)"), true);
    draftsLabel->setBuddy(cmbDrafts);
    densityRow->addSpacing(12);
    densityRow->addWidget(draftsLabel);
    densityRow->addWidget(cmbDrafts);
    densityRow->addStretch();
    v->addLayout(densityRow);
    lblLcfConvention = new QLabel;
    lblLcfConvention->setObjectName(QStringLiteral("lblLcfConvention"));
    v->addWidget(lblLcfConvention);

    grdHydrostatics = new QTableWidget(0, HydrostaticTable::ColumnCount);
    grdHydrostatics->setObjectName(QStringLiteral("grdHydrostatics"));
    QStringList headers;
    for (int c = 0; c < HydrostaticTable::ColumnCount; ++c)
        headers.append(headerText(c));
    grdHydrostatics->setHorizontalHeaderLabels(headers);
    grdHydrostatics->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdHydrostatics->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdHydrostatics->installEventFilter(this);
    v->addWidget(grdHydrostatics, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("cmdAddRow", QStringLiteral("&Add Row"), &HydrostaticTableWindow::addRow);
    button("cmdDeleteRows", QStringLiteral("&Delete Rows"), &HydrostaticTableWindow::deleteRows);
    button("cmdPaste", QStringLiteral("&Paste"), [this] { pasteText(QApplication::clipboard()->text()); });
    button("cmdImport", QStringLiteral("&Import..."), &HydrostaticTableWindow::chooseImport);
    button("cmdExport", QStringLiteral("E&xport..."), &HydrostaticTableWindow::chooseExport);
    button("cmdCheck", QStringLiteral("&Check"), [this] {
        if (const auto t = tableOnShow())
            showFindings(HydrostaticAudit::audit(*t));
    });
    buttons->addStretch();
    button("cmdSave", QStringLiteral("&Save"), [this] { save(); });
    button("cmdClose", QStringLiteral("Close"), &HydrostaticTableWindow::reject);
    v->addLayout(buttons);

    auto* findingsLabel = new QLabel(QStringLiteral("Findings of the check (double-click to go to the row):"));
    v->addWidget(findingsLabel);
    lstFindings = new QListWidget;
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    lstFindings->setMaximumHeight(110);
    connect(lstFindings, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { findingActivated(lstFindings->row(item)); });
    v->addWidget(lstFindings);
    m_pages->addWidget(tablePage);

    // Page 2: what the columns of a file are, confirmed before anything is read.
    auto* importPage = new QWidget;
    importPage->setObjectName(QStringLiteral("fmeColumnRoles"));
    auto* iv = new QVBoxLayout(importPage);
    iv->setContentsMargins(0, 0, 0, 0);
    lblImportFile = new QLabel;
    lblImportFile->setObjectName(QStringLiteral("lblImportFile"));
    lblImportFile->setWordWrap(true);
    iv->addWidget(lblImportFile);
    iv->addWidget(new QLabel(QStringLiteral("Choose what each column of the file holds; columns marked "
                                            "(ignored) are left out.")));
    grdImportPreview = new QTableWidget;
    grdImportPreview->setObjectName(QStringLiteral("grdImportPreview"));
    grdImportPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    iv->addWidget(grdImportPreview, 1);
    auto* importButtons = new QHBoxLayout;
    importButtons->addStretch();
    auto* accept = new QPushButton(QStringLiteral("&Import"));
    accept->setObjectName(QStringLiteral("cmdImportAccept"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("cmdImportCancel"));
    accept->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(accept, &QPushButton::clicked, this, [this] { acceptImport(); });
    connect(cancel, &QPushButton::clicked, this, &HydrostaticTableWindow::cancelImport);
    importButtons->addWidget(accept);
    importButtons->addWidget(cancel);
    iv->addLayout(importButtons);
    m_pages->addWidget(importPage);

    // A cell's typing reaches the grid when its editor closes: one step for each cell.
    connect(grdHydrostatics, &QTableWidget::itemChanged, this, [this] {
        if (!m_filling)
            recordEdit(QStringLiteral("Typing"));
    });
    connect(txtDensity, &QLineEdit::textEdited, this,
            [this] { recordEdit(QStringLiteral("Density"), /*densityTyping=*/true); });
    resize(640, 520);
}

void HydrostaticTableWindow::warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation, kTitle);
}

void HydrostaticTableWindow::showLcfSource()
{
    lblLcfConvention->setText(
        m_lcfSource == LcfConvention::MidshipAft
            ? QStringLiteral("LCF from midships, positive aft.")
            : QStringLiteral("LCF from midships, positive aft; the table came with its LCF %1.")
                  .arg(LcfConventions::caption(m_lcfSource)));
}

bool HydrostaticTableWindow::convertLcf(HydrostaticTable& table)
{
    // Letters say themselves where the LCF lies: nothing to ask.
    if (table.lcfSource == LcfConvention::Lettered)
        return true;
    const std::optional<LcfConvention> c = lcfChooser()(this);
    if (!c)
        return false;
    Decimal lbp;
    if (*c == LcfConvention::AftPerpendicular) {
        ShipRecord ship;
        try {
            if (ship.load(m_shipId) == 1)
                lbp = toNumeric(ship.lbp(), -1, 0).toDecimal();
        } catch (const VbError&) {
            lbp = Decimal(0);
        }
        if (!(lbp > Decimal(0))) {
            warn(QStringLiteral("The ship has no LBP: an LCF from the aft perpendicular cannot be turned "
                                "into one from midships."));
            return false;
        }
    }
    table.convertLcf(*c, lbp);
    return true;
}

void HydrostaticTableWindow::showTable(const HydrostaticTable& table)
{
    replaceTable(table, QStringLiteral("Replace Table"));
}

void HydrostaticTableWindow::replaceTable(const HydrostaticTable& table, const QString& what)
{
    fillGrid(table);
    recordEdit(what);
    showFindings({});
}

void HydrostaticTableWindow::fillGrid(const HydrostaticTable& table)
{
    // What the table says of itself is not a figure of the grid: shown, not undone.
    cmbDrafts->setCurrentIndex(table.mouldedDrafts ? 1 : 0);
    m_lcfSource = table.lcfSource;
    showLcfSource();
    GridState state;
    state.density = table.density.toString();
    for (const HydrostaticRow& row : table.rows) {
        QStringList cells;
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c)
            cells.append(HydrostaticTable::value(row, c).toString());
        state.rows.append(cells);
    }
    const GridState shown = m_shown;
    restoreGrid(state);
    m_shown = shown;  // recordEdit compares with what was shown before
}

HydrostaticTableWindow::GridState HydrostaticTableWindow::gridState() const
{
    GridState state;
    state.density = txtDensity->text();
    state.rows.reserve(grdHydrostatics->rowCount());
    for (int r = 0; r < grdHydrostatics->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c) {
            const QTableWidgetItem* item = grdHydrostatics->item(r, c);
            cells.append(item ? item->text() : QString());
        }
        state.rows.append(cells);
    }
    return state;
}

void HydrostaticTableWindow::restoreGrid(const GridState& state)
{
    const int row = grdHydrostatics->currentRow(), column = grdHydrostatics->currentColumn();
    m_filling = true;
    if (txtDensity->text() != state.density)
        txtDensity->setText(state.density);
    grdHydrostatics->setRowCount(state.rows.size());
    for (int r = 0; r < state.rows.size(); ++r) {
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c) {
            const QString text = state.rows[r].value(c);
            QTableWidgetItem* item = grdHydrostatics->item(r, c);
            if (!item) {
                item = new QTableWidgetItem(text);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                grdHydrostatics->setItem(r, c, item);
            } else if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    m_filling = false;
    m_shown = state;
    if (row >= 0 && !state.rows.isEmpty())
        grdHydrostatics->setCurrentCell(std::min(row, int(state.rows.size()) - 1), std::max(0, column));
}

void HydrostaticTableWindow::recordEdit(const QString& what, bool densityTyping)
{
    GridState now = gridState();
    if (now == m_shown)
        return;
    m_undo->push(new TableEdit(what, m_shown, now, densityTyping, [this](const GridState& state) {
        restoreGrid(state);
        // Findings of another table would name rows that no longer hold what they say.
        showFindings({});
    }));
    m_shown = std::move(now);
}

bool HydrostaticTableWindow::isDirty() const
{
    return !m_undo->isClean();
}

std::optional<HydrostaticTable> HydrostaticTableWindow::tableOnShow(bool tell)
{
    HydrostaticTable t;
    const std::optional<Decimal> density = figureOf(txtDensity->text());
    if (!density) {
        if (tell) {
            warn(QStringLiteral("The water density \"%1\" is not a number.").arg(txtDensity->text()));
            txtDensity->setFocus();
        }
        return std::nullopt;
    }
    t.density = *density;
    t.mouldedDrafts = cmbDrafts->currentData().toBool();
    t.lcfSource = m_lcfSource;
    for (int r = 0; r < grdHydrostatics->rowCount(); ++r) {
        HydrostaticRow row;
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c) {
            const QTableWidgetItem* item = grdHydrostatics->item(r, c);
            const QString text = item ? item->text() : QString();
            const std::optional<Decimal> v = figureOf(text);
            if (!v) {
                if (tell) {
                    grdHydrostatics->setCurrentCell(r, c);
                    warn(text.trimmed().isEmpty()
                             ? QStringLiteral("Row %1, column %2 (%3): the figure is missing.")
                                   .arg(r + 1)
                                   .arg(c + 1)
                                   .arg(HydrostaticTable::columnName(c))
                             : QStringLiteral("Row %1, column %2 (%3): \"%4\" is not a number.")
                                   .arg(r + 1)
                                   .arg(c + 1)
                                   .arg(HydrostaticTable::columnName(c), text));
                }
                return std::nullopt;
            }
            HydrostaticTable::value(row, c) = *v;
        }
        t.rows.append(row);
    }
    return t;
}

void HydrostaticTableWindow::showFindings(const QList<HydrostaticAudit::Finding>& findings)
{
    m_findings = findings;
    lstFindings->clear();
    for (const HydrostaticAudit::Finding& f : findings) {
        auto* item = new QListWidgetItem((f.isError() ? QStringLiteral("Error - ") : QStringLiteral("Doubt - "))
                                         + f.text);
        // A long finding runs past the list's edge: the whole sentence shows over it.
        item->setToolTip(f.text);
        if (f.isError())
            item->setForeground(errorInk(palette()));
        lstFindings->addItem(item);
    }
}

void HydrostaticTableWindow::findingActivated(int index)
{
    if (index < 0 || index >= m_findings.size())
        return;
    const HydrostaticAudit::Finding& f = m_findings.at(index);
    if (f.row >= 1 && f.row <= grdHydrostatics->rowCount()) {
        grdHydrostatics->setCurrentCell(f.row - 1, std::max(0, f.column));
        grdHydrostatics->setFocus();
    }
}

void HydrostaticTableWindow::addRow()
{
    const int at = grdHydrostatics->currentRow() >= 0 ? grdHydrostatics->currentRow() + 1 : grdHydrostatics->rowCount();
    grdHydrostatics->insertRow(at);
    grdHydrostatics->setCurrentCell(at, 0);
    recordEdit(QStringLiteral("Add Row"));
}

void HydrostaticTableWindow::deleteRows()
{
    QList<int> rows;
    for (const QTableWidgetSelectionRange& range : grdHydrostatics->selectedRanges())
        for (int r = range.topRow(); r <= range.bottomRow(); ++r)
            if (!rows.contains(r))
                rows.append(r);
    if (rows.isEmpty() && grdHydrostatics->currentRow() >= 0)
        rows.append(grdHydrostatics->currentRow());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    QString question;
    if (rows.size() == 1)
        question = QStringLiteral("Delete row %1 of the hydrostatic table?").arg(rows.first() + 1);
    else if (rows.last() - rows.first() + 1 == rows.size())
        question = QStringLiteral("Delete rows %1 to %2 of the hydrostatic table?")
                       .arg(rows.first() + 1)
                       .arg(rows.last() + 1);
    else
        question = QStringLiteral("Delete the %1 selected rows of the hydrostatic table?").arg(rows.size());
    if (MessageService::show(question, Msg::Buttons::YesNo, Msg::Icon::Question, kTitle, Msg::Answer::No)
        != Msg::Answer::Yes)
        return;
    std::reverse(rows.begin(), rows.end());
    for (int r : rows)
        grdHydrostatics->removeRow(r);
    recordEdit(QStringLiteral("Delete Rows"));
}

bool HydrostaticTableWindow::pasteText(const QString& text)
{
    QString error;
    std::optional<HydrostaticTable> pasted = HydrostaticTableFile::fromPaste(text, &error);
    if (!pasted) {
        warn(MessageService::join(QStringLiteral("The pasted rows were not taken."), error));
        return false;
    }
    if (!convertLcf(*pasted))
        return false;
    m_lcfSource = pasted->lcfSource;
    showLcfSource();
    const int start = std::max(0, grdHydrostatics->currentRow());
    const PasteMode mode = askHowToPaste(start, pasted->rows.size());
    if (mode == PasteMode::Cancel)
        return false;
    m_filling = true;
    if (mode == PasteMode::Insert)
        for (int r = 0; r < pasted->rows.size(); ++r)
            grdHydrostatics->insertRow(start);
    if (grdHydrostatics->rowCount() < start + pasted->rows.size())
        grdHydrostatics->setRowCount(start + pasted->rows.size());
    for (int r = 0; r < pasted->rows.size(); ++r) {
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(HydrostaticTable::value(pasted->rows[r], c).toString());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdHydrostatics->setItem(start + r, c, item);
        }
    }
    m_filling = false;
    recordEdit(QStringLiteral("Paste"));
    return true;
}

HydrostaticTableWindow::PasteMode HydrostaticTableWindow::askHowToPaste(int start, int count)
{
    const int last = std::min(start + count, grdHydrostatics->rowCount()) - 1;
    bool holdsFigures = false;
    for (int r = start; r <= last && !holdsFigures; ++r)
        for (int c = 0; c < HydrostaticTable::ColumnCount && !holdsFigures; ++c)
            if (const QTableWidgetItem* item = grdHydrostatics->item(r, c))
                holdsFigures = !item->text().trimmed().isEmpty();
    if (!holdsFigures)
        return PasteMode::Overwrite;
    const QString rows = last > start ? QStringLiteral("rows %1 to %2").arg(start + 1).arg(last + 1)
                                      : QStringLiteral("row %1").arg(start + 1);
    const QString headline =
        count == 1 ? QStringLiteral("The pasted row would be written over %1 of the table.").arg(rows)
                   : QStringLiteral("The %1 pasted rows would be written over %2 of the table.")
                         .arg(count)
                         .arg(rows);
    const QString detail = QStringLiteral("Yes writes over %1.\r\n"
                                          "No inserts the pasted rows above row %2.\r\n"
                                          "Cancel leaves the table as it is.")
                               .arg(rows)
                               .arg(start + 1);
    switch (MessageService::show(MessageService::join(headline, detail), Msg::Buttons::YesNoCancel,
                                 Msg::Icon::Question, kTitle, Msg::Answer::Cancel)) {
    case Msg::Answer::Yes: return PasteMode::Overwrite;
    case Msg::Answer::No: return PasteMode::Insert;
    default: return PasteMode::Cancel;
    }
}

bool HydrostaticTableWindow::importFile(const QString& path)
{
    QString error;
    m_import = HydrostaticTableFile::readFile(path, &error);
    if (!m_import) {
        warn(MessageService::join(QStringLiteral("The file was not imported."), error));
        return false;
    }
    const HydrostaticTableFile::Layout& l = *m_import;
    lblImportFile->setText(QStringLiteral("%1: %2 rows, %3 columns%4.")
                               .arg(QFileInfo(path).fileName())
                               .arg(l.cells.size())
                               .arg(l.columnCount)
                               .arg(l.header.isEmpty() ? QStringLiteral(", no header") : QString()));
    // Row 0 holds the role boxes; then the file's header (when it has one) and its first rows.
    const int headerRows = l.header.isEmpty() ? 1 : 2;
    const int shown = std::min(int(l.cells.size()), kPreviewRows);
    grdImportPreview->clear();
    grdImportPreview->setRowCount(headerRows + shown);
    grdImportPreview->setColumnCount(l.columnCount);
    m_roleBoxes.clear();
    for (int c = 0; c < l.columnCount; ++c) {
        auto* box = new QComboBox;
        box->setObjectName(QStringLiteral("cmbRole%1").arg(c + 1));
        for (Role r : {Role::Ignore, Role::Draft, Role::Displacement, Role::Tpc, Role::Lcf, Role::Mctc})
            box->addItem(HydrostaticTableFile::roleName(r), int(r));
        box->setCurrentIndex(box->findData(int(l.proposed.value(c, Role::Ignore))));
        grdImportPreview->setCellWidget(0, c, box);
        m_roleBoxes.append(box);
        if (!l.header.isEmpty())
            grdImportPreview->setItem(1, c, new QTableWidgetItem(l.header.value(c)));
        for (int r = 0; r < shown; ++r)
            grdImportPreview->setItem(headerRows + r, c, new QTableWidgetItem(l.cells[r].value(c)));
    }
    QStringList lines;
    for (int r = 0; r < headerRows + shown; ++r)
        lines.append(r == 0 ? QStringLiteral("Role") : (r == 1 && headerRows == 2) ? QStringLiteral("Header")
                                                                                   : QStringLiteral("Line %1").arg(l.lineNumbers.value(r - headerRows)));
    grdImportPreview->setVerticalHeaderLabels(lines);
    grdImportPreview->resizeColumnsToContents();
    m_pages->setCurrentIndex(1);
    return true;
}

bool HydrostaticTableWindow::acceptImport()
{
    if (!m_import)
        return false;
    QVector<Role> roles;
    for (QComboBox* box : m_roleBoxes)
        roles.append(Role(box->currentData().toInt()));
    QString error;
    std::optional<HydrostaticTable> t = HydrostaticTableFile::build(*m_import, roles, &error);
    if (!t) {
        warn(MessageService::join(QStringLiteral("The file was not imported."), error));
        return false;
    }
    if (!convertLcf(*t))
        return false;
    m_import.reset();
    m_pages->setCurrentIndex(0);
    replaceTable(*t, QStringLiteral("Import"));
    // What the booklet's figures look like is shown at once; saving checks again.
    showFindings(HydrostaticAudit::audit(*t));
    return true;
}

void HydrostaticTableWindow::cancelImport()
{
    m_import.reset();
    m_pages->setCurrentIndex(0);
}

bool HydrostaticTableWindow::exportFile(const QString& path)
{
    const std::optional<HydrostaticTable> t = tableOnShow();
    if (!t)
        return false;
    QString error;
    if (!HydrostaticTableFile::writeCsv(path, *t, &error)) {
        warn(MessageService::join(QStringLiteral("The table was not exported."), error));
        return false;
    }
    return true;
}

bool HydrostaticTableWindow::askBeforeReplacingEdits()
{
    if (!isDirty())
        return true;
    const Msg::Answer a = MessageService::show(
        MessageService::join(
            QStringLiteral("The hydrostatic table of %1 has changed. Save it before importing?")
                .arg(m_shipName),
            QStringLiteral("Yes saves the table as it is now; No imports over the changes (Undo brings them "
                           "back); Cancel keeps the table as it is.")),
        Msg::Buttons::YesNoCancel, Msg::Icon::Question, kTitle);
    if (a == Msg::Answer::Cancel)
        return false;
    return a == Msg::Answer::No || save();
}

void HydrostaticTableWindow::chooseImport()
{
    if (!askBeforeReplacingEdits())
        return;
    const QString path = fileChooser()(this, false);
    if (!path.isEmpty())
        importFile(path);
}

void HydrostaticTableWindow::chooseExport()
{
    QString path = fileChooser()(this, true);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    exportFile(path);
}

bool HydrostaticTableWindow::save()
{
    const std::optional<HydrostaticTable> t = tableOnShow();
    if (!t)
        return false;
    try {
        if (t->rows.isEmpty()) {
            if (MessageService::show(QStringLiteral("The table has no rows. Remove the hydrostatic table of %1?")
                                         .arg(m_shipName),
                                     Msg::Buttons::YesNo, Msg::Icon::Question, kTitle, Msg::Answer::No)
                != Msg::Answer::Yes)
                return false;
            if (!CatalogueWrites::viaServer()) {
                m_changeCount = HydrostaticTable::removeForShip(m_shipId, nullptr, m_changeCount);
            } else {
                if (!CatalogueWrites::allowed())
                    return false;
                requireCopyAsRead();
                if (!CatalogueWrites::report(
                        CatalogueServer::shared().removeHydrostatics(sharedConnection(), m_shipId)))
                    return false;
                m_changeCount = CatalogueWrites::countInCopy(QStringLiteral("HydrostaticTable"), m_shipId);
            }
            m_readTable.reset();
            m_undo->setClean();
            return true;
        }
        const QList<HydrostaticAudit::Finding> findings = HydrostaticAudit::audit(*t);
        showFindings(findings);
        if (HydrostaticAudit::hasErrors(findings)) {
            QList<HydrostaticAudit::Finding> errors;
            for (const auto& f : findings)
                if (f.isError())
                    errors.append(f);
            warn(MessageService::join(QStringLiteral("The table was not saved: please correct these rows."),
                                      HydrostaticAudit::describe(errors)));
            findingActivated(0);
            return false;
        }
        if (!findings.isEmpty()
            && MessageService::show(
                   MessageService::join(QStringLiteral("Please look at these rows against the ship's booklet."),
                                        HydrostaticAudit::describe(findings) + QStringLiteral("\r\n\r\nSave the table as it is?")),
                   Msg::Buttons::YesNo, Msg::Icon::Question, kTitle, Msg::Answer::No)
                   != Msg::Answer::Yes)
            return false;
        if (!CatalogueWrites::viaServer()) {
            m_changeCount = HydrostaticTable::saveForShip(m_shipId, *t, nullptr, m_changeCount);
        } else {
            if (!CatalogueWrites::allowed())
                return false;
            requireCopyAsRead();
            if (!CatalogueWrites::report(CatalogueServer::shared().saveHydrostatics(
                    sharedConnection(), m_shipId, HydrostaticTable::stored(*t))))
                return false;
            m_changeCount = CatalogueWrites::countInCopy(QStringLiteral("HydrostaticTable"), m_shipId);
        }
        m_readTable = *t;
    } catch (const VbError& e) {
        if (e.number() == ChangeCount::ChangedMeanwhile) {
            reportChangedMeanwhile();
            return false;
        }
        warn(MessageService::join(QStringLiteral("The table was not saved."), e.description()));
        return false;
    }
    m_undo->setClean();
    return true;
}

void HydrostaticTableWindow::reject()
{
    if (m_pages->currentIndex() == 1) {
        cancelImport();
        return;
    }
    if (isDirty()) {
        const Msg::Answer a = MessageService::show(
            QStringLiteral("The hydrostatic table of %1 has changed. Save it?").arg(m_shipName), Msg::Buttons::YesNoCancel,
            Msg::Icon::Question, kTitle);
        if (a == Msg::Answer::Cancel || (a == Msg::Answer::Yes && !save()))
            return;
    }
    QDialog::reject();
}

bool HydrostaticTableWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grdHydrostatics && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            pasteText(QApplication::clipboard()->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void HydrostaticTableWindow::changeEvent(QEvent* event)
{
    // A colour scheme changed while the window is open: the errors' red is picked again.
    if (event->type() == QEvent::PaletteChange && lstFindings)
        showFindings(m_findings);
    QDialog::changeEvent(event);
}

void HydrostaticTableWindow::buildEditActions()
{
    // Ctrl+Z and Ctrl+Y work on the table; inside a cell being typed or the density box they
    // undo the typing first, as those boxes take the keys themselves. The import page has
    // nothing to undo.
    m_undoAction = new QAction(QStringLiteral("&Undo"), this);
    m_undoAction->setObjectName(QStringLiteral("mnuEditUndo"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_undoAction->setEnabled(false);
    connect(m_undoAction, &QAction::triggered, this, [this] {
        if (m_pages->currentIndex() == 0)
            m_undo->undo();
    });
    connect(m_undo, &QUndoStack::canUndoChanged, m_undoAction, &QAction::setEnabled);
    m_redoAction = new QAction(QStringLiteral("&Redo"), this);
    m_redoAction->setObjectName(QStringLiteral("mnuEditRedo"));
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m_redoAction->setEnabled(false);
    connect(m_redoAction, &QAction::triggered, this, [this] {
        if (m_pages->currentIndex() == 0)
            m_undo->redo();
    });
    connect(m_undo, &QUndoStack::canRedoChanged, m_redoAction, &QAction::setEnabled);
    addAction(m_undoAction);
    addAction(m_redoAction);

    // Delete empties the selected cells, as in a spreadsheet; rows go with Delete Rows.
    m_clearAction = new QAction(QStringLiteral("C&lear Cells"), this);
    m_clearAction->setObjectName(QStringLiteral("mnuEditClear"));
    m_clearAction->setShortcut(QKeySequence::Delete);
    m_clearAction->setShortcutContext(Qt::WidgetShortcut);
    connect(m_clearAction, &QAction::triggered, this, &HydrostaticTableWindow::clearCells);
    grdHydrostatics->addAction(m_clearAction);

    grdHydrostatics->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grdHydrostatics, &QWidget::customContextMenuRequested, this,
            &HydrostaticTableWindow::showContextMenu);
}

void HydrostaticTableWindow::showContextMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuGrid"));
    m_undoAction->setText(m_undo->canUndo() ? QStringLiteral("&Undo %1").arg(m_undo->undoText())
                                            : QStringLiteral("&Undo"));
    m_redoAction->setText(m_undo->canRedo() ? QStringLiteral("&Redo %1").arg(m_undo->redoText())
                                            : QStringLiteral("&Redo"));
    menu.addAction(m_undoAction);
    menu.addAction(m_redoAction);
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Paste"), this, [this] { pasteText(QApplication::clipboard()->text()); });
    menu.addAction(QStringLiteral("&Add Row"), this, &HydrostaticTableWindow::addRow);
    menu.addAction(QStringLiteral("&Delete Rows"), this, &HydrostaticTableWindow::deleteRows);
    menu.addAction(m_clearAction);
    menu.exec(grdHydrostatics->viewport()->mapToGlobal(at));
}

void HydrostaticTableWindow::clearCells()
{
    m_filling = true;
    for (QTableWidgetItem* item : grdHydrostatics->selectedItems())
        item->setText(QString());
    m_filling = false;
    recordEdit(QStringLiteral("Clear"));
}
