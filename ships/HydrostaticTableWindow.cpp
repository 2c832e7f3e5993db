#include "ships/HydrostaticTableWindow.h"

#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Database.h"
#include "ui/CatalogueWrites.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

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

HydrostaticTableWindow::HydrostaticTableWindow(int shipId, const QString& shipName, QWidget* parent)
    : QDialog(parent), m_shipId(shipId), m_shipName(shipName)
{
    setObjectName(QStringLiteral("frmHydrostaticTable"));
    setWindowTitle(QStringLiteral("Hydrostatic Table - %1").arg(shipName));
    buildLayout();
    HydrostaticTable table;
    try {
        if (const std::optional<HydrostaticTable> stored = HydrostaticTable::loadForShip(shipId))
            table = *stored;
    } catch (const VbError& e) {
        warn(MessageService::join(QStringLiteral("The ship's hydrostatic table cannot be read."), e.description()));
    }
    showTable(table);
    m_dirty = false;
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
    densityRow->addStretch();
    v->addLayout(densityRow);

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

    connect(grdHydrostatics, &QTableWidget::itemChanged, this, [this] {
        if (!m_filling)
            m_dirty = true;
    });
    connect(txtDensity, &QLineEdit::textEdited, this, [this] { m_dirty = true; });
    resize(640, 520);
}

void HydrostaticTableWindow::warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation, kTitle);
}

void HydrostaticTableWindow::showTable(const HydrostaticTable& table)
{
    m_filling = true;
    txtDensity->setText(table.density.toString());
    grdHydrostatics->setRowCount(table.rows.size());
    for (int r = 0; r < table.rows.size(); ++r) {
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(HydrostaticTable::value(table.rows[r], c).toString());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdHydrostatics->setItem(r, c, item);
        }
    }
    m_filling = false;
    m_dirty = true;
    showFindings({});
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
        if (f.isError())
            item->setForeground(QColor(255, 0, 0));
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
    m_dirty = true;
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
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int r : rows)
        grdHydrostatics->removeRow(r);
    m_dirty = m_dirty || !rows.isEmpty();
}

bool HydrostaticTableWindow::pasteText(const QString& text)
{
    QString error;
    const std::optional<HydrostaticTable> pasted = HydrostaticTableFile::fromPaste(text, &error);
    if (!pasted) {
        warn(MessageService::join(QStringLiteral("The pasted rows were not taken."), error));
        return false;
    }
    const int start = std::max(0, grdHydrostatics->currentRow());
    m_filling = true;
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
    m_dirty = true;
    return true;
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
    const std::optional<HydrostaticTable> t = HydrostaticTableFile::build(*m_import, roles, &error);
    if (!t) {
        warn(MessageService::join(QStringLiteral("The file was not imported."), error));
        return false;
    }
    m_import.reset();
    m_pages->setCurrentIndex(0);
    showTable(*t);
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

void HydrostaticTableWindow::chooseImport()
{
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
            if (!CatalogueWrites::viaServer())
                HydrostaticTable::removeForShip(m_shipId);
            else if (!CatalogueWrites::allowed()
                     || !CatalogueWrites::report(
                         CatalogueServer::shared().removeHydrostatics(sharedConnection(), m_shipId)))
                return false;
            m_dirty = false;
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
        if (!CatalogueWrites::viaServer())
            HydrostaticTable::saveForShip(m_shipId, *t);
        else if (!CatalogueWrites::allowed()
                 || !CatalogueWrites::report(CatalogueServer::shared().saveHydrostatics(
                     sharedConnection(), m_shipId, HydrostaticTable::stored(*t))))
            return false;
    } catch (const VbError& e) {
        warn(MessageService::join(QStringLiteral("The table was not saved."), e.description()));
        return false;
    }
    m_dirty = false;
    return true;
}

void HydrostaticTableWindow::reject()
{
    if (m_pages->currentIndex() == 1) {
        cancelImport();
        return;
    }
    if (m_dirty) {
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
