#include "ships/ShipParticularsWindow.h"

#include "db/Database.h"
#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "ui/FormCenter.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "ui/CatalogueBanner.h"
#include "ui/CatalogueWrites.h"
#include "db/SqlCatalogue.h"
#include "ui/NameCombo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QTimer>
#include <utility>

using ShipFieldRules::NumberField;

namespace {

// A new record can be saved; a stored ship on show can also be started afresh from and deleted.
const ChildCommands kNewRecordCommands = ChildCommand::Save | ChildCommand::Close;
const ChildCommands kStoredShipCommands =
    ChildCommand::New | ChildCommand::Save | ChildCommand::Delete | ChildCommand::Close;

const QString kSavingHeadline =
    QStringLiteral("A serious error has occured while saving the current record.");
const QString kDeletingHeadline =
    QStringLiteral("A serious error has occured while deleting the current record.");

constexpr int kShipNameLimit = 50;
// saveStatement: the catalogue server did not take the ship, and the user has been told why.
constexpr int kToldAlready = 2;

// What saveStatement returns when the ship was written meanwhile by someone else.
constexpr int kChangedMeanwhile = ChangeCount::ChangedMeanwhile;

// The fields of the form by the save statement's columns (SqlCatalogue::shipColumns), as the
// form's captions name them.
const QStringList& fieldCaptions()
{
    static const QStringList captions = {QStringLiteral("Ship Name"),
                                         QStringLiteral("LBP"),
                                         QStringLiteral("LOA"),
                                         QStringLiteral("Breadth"),
                                         QStringLiteral("Light Ship"),
                                         QStringLiteral("Call Sign"),
                                         QStringLiteral("Port Of Registry"),
                                         QStringLiteral("Official No."),
                                         QStringLiteral("IMO No."),
                                         QStringLiteral("Flag"),
                                         QStringLiteral("Gross Tonnage"),
                                         QStringLiteral("Net Tonnage"),
                                         QStringLiteral("Summer Draft"),
                                         QStringLiteral("Summer Deadweight")};
    return captions;
}

// A figure as the save statement writes it; a text that is no figure stays as it is, so that
// it differs from any figure.
QString figureLiteral(const QString& text)
{
    try {
        return ShipFieldRules::numberLiteral(text);
    } catch (...) {
        return text;
    }
}

// A column as the form shows it: a null is an empty box.
QString shown(const Variant& value)
{
    return value.isNull() || value.isEmpty() ? QString() : value.toText();
}

void warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation);
}

}  // namespace

ShipParticularsWindow::ShipParticularsWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmShipParticulars"));
    setWindowTitle(QStringLiteral("Ship Particulars"));
    m_guard = new FieldGuard(this);
    buildLayout();
    loadShips();
    CatalogueBanner::attach(this, [this] { return catalogueCopyChanged(); });
}

QString ShipParticularsWindow::catalogueCopyChanged()
{
    // Edits on the form are kept: the save compares the ship's count of writes and tells.
    if (m_isDirty)
        return QStringLiteral("The catalogue was brought up to date from the server while this ship "
                              "was being edited: a save is checked against the ship as the copy holds "
                              "her now.");
    const int shipId = m_recordMode == Mode::Existing && m_shipRow >= 0 ? currentShipId() : -1;
    const QString name = cmbShipName->currentText();
    readShips();
    refillNameList();
    if (shipId < 0)
        return {};
    placeOnSavedShip(shipId, name);
    if (m_shipRow >= 0)
        fillFromCurrentRow();
    else
        showFirstShipOrNothing();
    m_isDirty = false;
    return {};
}

ShipParticularsWindow::~ShipParticularsWindow() = default;

void ShipParticularsWindow::whileFilling(const std::function<void()>& work)
{
    const bool wasFilling = m_isFilling;
    const bool guardWasOn = m_guard->isEnabled();
    m_isFilling = true;
    m_guard->setEnabled(false);
    auto restore = [&] {
        m_isFilling = wasFilling;
        m_guard->setEnabled(guardWasOn);
    };
    try {
        work();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void ShipParticularsWindow::loadShips()
{
    centreOnScreen(this);
    try {
        readShips();
        whileFilling([this] {
            NameCombo::fill(cmbShipName, m_ships);
            if (m_ships.isEmpty()) {
                m_recordMode = Mode::New;
                m_offeredCommands = kNewRecordCommands;
                clearFields();
            } else {
                m_recordMode = Mode::Existing;
                m_offeredCommands = kStoredShipCommands;
            }
            setOfferedCommands(m_offeredCommands);

            dcbPortOfRegistry->setCurrentIndex(-1);
            reloadPorts();
            // The main window activates the window as it shows it, straight after this; that
            // activation finds the ports just read. Any later one reads them again.
            m_portsJustRead = true;
            QTimer::singleShot(0, this, [this] { m_portsJustRead = false; });

            if (!m_ships.isEmpty()) {
                m_shipRow = 0;
                fillFromCurrentRow();
            }
        });
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    } catch (const std::exception& e) {
        MessageService::plain(QString::fromLocal8Bit(e.what()));
    }
    m_isDirty = false;
    m_isFilling = false;
}

void ShipParticularsWindow::reloadPorts()
{
    whileFilling([this] {
        // The chosen port is held by its number: renamed meanwhile, it stays chosen under its new
        // name; deleted, the choice is empty and the mandatory check asks for another.
        const QVariant chosen =
            dcbPortOfRegistry->currentIndex() >= 0 ? dcbPortOfRegistry->currentData() : QVariant();
        NameCombo::fill(dcbPortOfRegistry, NameList(sharedConnection(), SqlCatalogue::portList()));
        dcbPortOfRegistry->setCurrentIndex(chosen.isValid() ? dcbPortOfRegistry->findData(chosen) : -1);
    });
}

void ShipParticularsWindow::activated()
{
    ChildWindow::activated();
    if (std::exchange(m_portsJustRead, false))
        return;
    try {
        reloadPorts();
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    } catch (const std::exception& e) {
        MessageService::plain(QString::fromLocal8Bit(e.what()));
    }
}

void ShipParticularsWindow::setOfferedCommands(ChildCommands commands)
{
    m_offeredCommands = commands;
    offeredCommandsChanged();
}

void ShipParticularsWindow::markDirty()
{
    if (!m_isFilling)
        m_isDirty = true;
}

void ShipParticularsWindow::nameEdited(const QString& text)
{
    m_nameOnShow = text;
    markDirty();
}

void ShipParticularsWindow::fillFromCurrentRow()
{
    // The list holds only the names; the ship's particulars are read as she is shown. A ship gone
    // meanwhile (with her port, from the Port Master) shows her name and empty boxes.
    RowSet particulars;
    particulars.open(SqlCatalogue::shipById(currentShipId()), sharedConnection());
    const auto column = [&particulars](const QString& name) {
        return particulars.eof() ? Variant::null() : particulars.value(name);
    };
    whileFilling([&] {
        const int pos = m_shipRow;
        if (pos >= 0 && pos < cmbShipName->count())
            cmbShipName->setCurrentIndex(pos);
        m_nameOnShow = m_ships.name(pos);
        cmbShipName->setEditText(m_nameOnShow);
        for (auto it = m_numbers.constBegin(); it != m_numbers.constEnd(); ++it) {
            const QString name = ShipFieldRules::rule(it.key()).objectName.mid(3);
            it.value()->setText(shown(column(name)));
        }
        txtCallSign->setText(shown(column(QStringLiteral("CallSign"))));
        txtFlag->setText(shown(column(QStringLiteral("Flag"))));
        const Variant port = column(QStringLiteral("PortOfRegistry"));
        dcbPortOfRegistry->setCurrentIndex(port.isNull() ? -1 : dcbPortOfRegistry->findData(port.toInt32()));
    });
    QString storedKeelPlate;
    const std::optional<SqlCatalogue::ShipValues> stored = storedValues(currentShipId(), &storedKeelPlate);
    m_readValues = stored ? *stored : valuesOnForm();
    m_readKeelPlate = stored ? storedKeelPlate : keelPlateOnForm();
    m_readCount = !particulars.eof() && particulars.hasColumn(QStringLiteral("ChangeCount"))
        ? particulars.value(QStringLiteral("ChangeCount")).toDecimal().toInt64()
        : ChangeCount::NotCounted;
}

SqlCatalogue::ShipValues ShipParticularsWindow::valuesOnForm() const
{
    auto figure = [this](NumberField f) { return figureLiteral(m_numbers.value(f)->text()); };
    SqlCatalogue::ShipValues v;
    v.shipName = cmbShipName->currentText();
    v.lbp = figure(NumberField::LBP);
    v.loa = figure(NumberField::LOA);
    v.breadth = figure(NumberField::Breadth);
    v.lightShip = figure(NumberField::LightShip);
    v.callSign = txtCallSign->text();
    v.portOfRegistry = dcbPortOfRegistry->currentIndex() >= 0
        ? QString::number(dcbPortOfRegistry->currentData().toInt())
        : QString();
    v.officialNo = figure(NumberField::OfficialNo);
    v.imoNo = figure(NumberField::IMONo);
    v.flag = txtFlag->text();
    v.grossTonnage = figure(NumberField::GrossTonnage);
    v.netTonnage = figure(NumberField::NetTonnage);
    v.summerDraft = figure(NumberField::SummerDraft);
    v.summerDeadweight = figure(NumberField::SummerDeadweight);
    return v;
}

std::optional<SqlCatalogue::ShipValues> ShipParticularsWindow::storedValues(int shipId,
                                                                            QString* keelPlate) const
{
    RowSet row;
    row.open(SqlCatalogue::shipById(shipId), sharedConnection());
    if (row.eof())
        return std::nullopt;
    // Each value as the form would show it, then as the save statement would write it.
    const auto text = [&row](const char* name) { return shown(row.value(QLatin1String(name))); };
    const auto figure = [&text](const char* name) { return figureLiteral(text(name)); };
    SqlCatalogue::ShipValues v;
    v.shipName = text("ShipName");
    v.lbp = figure("LBP");
    v.loa = figure("LOA");
    v.breadth = figure("Breadth");
    v.lightShip = figure("LightShip");
    v.callSign = text("CallSign");
    const Variant port = row.value(QStringLiteral("PortOfRegistry"));
    v.portOfRegistry = port.isNull() ? QString() : QString::number(port.toInt32());
    v.officialNo = figure("OfficialNo");
    v.imoNo = figure("IMONo");
    v.flag = text("Flag");
    v.grossTonnage = figure("GrossTonnage");
    v.netTonnage = figure("NetTonnage");
    v.summerDraft = figure("SummerDraft");
    v.summerDeadweight = figure("SummerDeadweight");
    if (keelPlate)
        *keelPlate = figure("KeelPlate");
    return v;
}

QString ShipParticularsWindow::keelPlateOnForm() const
{
    return figureLiteral(m_numbers.value(NumberField::KeelPlate)->text());
}

void ShipParticularsWindow::noteSaved(bool updated)
{
    // The form now holds what is stored. An update raised the count by one; a new ship starts
    // with the count the database gave her.
    m_readValues = valuesOnForm();
    m_readKeelPlate = keelPlateOnForm();
    // Through the catalogue server the copy took the ship back from there: her count is read.
    if (updated && !CatalogueWrites::viaServer()) {
        if (m_readCount != ChangeCount::NotCounted)
            ++m_readCount;
        return;
    }
    m_readCount = ChangeCount::NotCounted;
    if (m_shipRow < 0 || m_ships.id(m_shipRow) == NameList::NoId)
        return;
    RowSet row;
    row.open(SqlCatalogue::shipById(int(m_ships.id(m_shipRow))), sharedConnection());
    if (!row.eof() && row.hasColumn(QStringLiteral("ChangeCount")))
        m_readCount = row.value(QStringLiteral("ChangeCount")).toDecimal().toInt64();
}

void ShipParticularsWindow::reportChangedMeanwhile()
{
    const int shipId = currentShipId();
    QString keelNow;
    const std::optional<SqlCatalogue::ShipValues> now = storedValues(shipId, &keelNow);
    const QString changed = now
        ? ChangeCount::differences(fieldCaptions() + QStringList{QStringLiteral("Keel Plate")},
                                   SqlCatalogue::shipLiterals(m_readValues) + QStringList{m_readKeelPlate},
                                   SqlCatalogue::shipLiterals(*now) + QStringList{keelNow})
        : QString();
    const QString headline
        = QStringLiteral("The ship %1 was changed by another user or program after this window read her%2.")
              .arg(m_readValues.shipName,
                   changed.isEmpty() ? QString() : QStringLiteral(" (changed: %1)").arg(changed));
    const Msg::Answer answer = MessageService::show(
        MessageService::join(headline,
                             QStringLiteral("Your changes were not saved, so as not to undo theirs. "
                                            "Show the ship as she is stored now? Your changes "
                                            "on the form are then lost.")),
        Msg::Buttons::YesNo, Msg::Icon::Exclamation, ShipFieldRules::checkTitle(), Msg::Answer::No);
    if (answer != Msg::Answer::Yes)
        return;
    readShips();
    refillNameList();
    placeOnSavedShip(shipId, m_readValues.shipName);
    if (m_shipRow < 0)
        m_shipRow = m_ships.indexOfId(shipId);
    if (m_shipRow >= 0) {
        fillFromCurrentRow();
        m_isDirty = false;
    }
}

void ShipParticularsWindow::clearFields()
{
    whileFilling([this] {
        cmbShipName->setCurrentIndex(-1);
        cmbShipName->clearEditText();
        m_nameOnShow.clear();
        dcbPortOfRegistry->setCurrentIndex(-1);
        for (QLineEdit* box : std::as_const(m_numbers))
            box->clear();
        txtCallSign->clear();
        txtFlag->clear();
    });
}

void ShipParticularsWindow::showFirstShipOrNothing()
{
    whileFilling([this] {
        if (m_ships.isEmpty()) {
            clearFields();
        } else {
            m_shipRow = 0;
            fillFromCurrentRow();
        }
    });
}

void ShipParticularsWindow::refillNameList()
{
    whileFilling([this] {
        const QString remembered = cmbShipName->currentText();
        NameCombo::fill(cmbShipName, m_ships);
        m_shipRow = remembered.isEmpty() ? -1 : m_ships.indexOfName(remembered);
        if (m_shipRow >= 0)
            cmbShipName->setCurrentIndex(m_shipRow);
        cmbShipName->setEditText(remembered);
        m_nameOnShow = remembered;
    });
}

void ShipParticularsWindow::placeOnSavedShip(int savedShipId, const QString& savedName)
{
    // The name search stops at the first ship of that name; when two ships share a name the
    // window must stay on the one just written, or the next save would rewrite the other.
    int target = savedShipId;
    if (target < 0) {
        // A new ship: the database numbers ships upwards, so it is the highest of that name.
        for (int i = 0; i < m_ships.count(); ++i) {
            if (m_ships.name(i) == savedName && m_ships.id(i) != NameList::NoId)
                target = qMax(target, int(m_ships.id(i)));
        }
    }
    m_shipRow = target >= 0 ? m_ships.indexOfId(target) : -1;
    if (m_shipRow >= 0)
        whileFilling([this] { cmbShipName->setCurrentIndex(m_shipRow); });
}

void ShipParticularsWindow::shipPicked(int index)
{
    if (index < 0 || m_leavingName)
        return;
    // Each name in the list carries its ship's number, so a picked name finds its own ship even
    // when another ship bears the same name.
    const QVariant id = cmbShipName->itemData(index);
    if (m_isDirty) {
        // The list has already put the picked name into the box. Until the user has said what
        // becomes of the edits, the form shows the ship being edited, with the name as typed.
        whileFilling([this] {
            cmbShipName->setCurrentIndex(shownIndex());
            cmbShipName->setEditText(m_nameOnShow);
        });
        const Msg::Answer answer =
            MessageService::show(QStringLiteral("Are you sure to update the current record ?"),
                                 Msg::Buttons::YesNo, Msg::Icon::Question);
        // Yes: a ship that cannot be written stays on the form, edits and all.
        try {
            if (answer == Msg::Answer::Yes && !saveCheckedEdits())
                return;
        } catch (...) {
            MessageService::coded(10007, kSavingHeadline);
            return;
        }
    }
    if (m_recordMode == Mode::New) {
        m_recordMode = Mode::Existing;
        setOfferedCommands(kStoredShipCommands);
    }
    m_shipRow = id.isValid() ? m_ships.indexOfId(id.toInt()) : -1;
    if (m_shipRow >= 0) {
        fillFromCurrentRow();
        m_isDirty = false;
    }
}

void ShipParticularsWindow::readShips()
{
    m_ships = NameList(sharedConnection(), SqlCatalogue::shipList());
    m_shipRow = m_ships.isEmpty() ? -1 : 0;
}

int ShipParticularsWindow::shownIndex() const
{
    return m_recordMode == Mode::Existing ? m_shipRow : -1;
}

bool ShipParticularsWindow::checkNumberField(NumberField field)
{
    QLineEdit* box = m_numbers.value(field);
    const ShipFieldRules::NumberCheck result = ShipFieldRules::checkNumber(field, box->text());
    switch (result.verdict) {
    case ShipFieldRules::NumberCheck::Blank:
        return true;
    case ShipFieldRules::NumberCheck::Accepted:
        if (box->text() != result.text)
            box->setText(result.text);
        return true;
    case ShipFieldRules::NumberCheck::NotNumeric:
    case ShipFieldRules::NumberCheck::OutOfRange:
        break;
    }
    MessageService::show(result.message, Msg::Buttons::Ok, Msg::Icon::Exclamation,
                         ShipFieldRules::checkTitle());
    box->clear();
    box->setFocus(Qt::OtherFocusReason);
    return false;
}

bool ShipParticularsWindow::validateAll()
{
    // A name the save statement would store with an unseen character in it is the name field's
    // business, not a failed save.
    if (!NameFields::checkAll(m_textFields))
        return false;
    for (NumberField field : ShipFieldRules::saveOrder()) {
        QLineEdit* box = m_numbers.value(field);
        // Through the guard when it is on, so that a refused field keeps the focus as on Tab.
        const bool ok =
            m_guard->isEnabled() && !m_guard->checking() ? m_guard->validate(box) : checkNumberField(field);
        if (!ok)
            return false;
    }
    return true;
}

bool ShipParticularsWindow::mandatoryCheck()
{
    const ShipFieldRules::MandatoryCheck result = ShipFieldRules::checkMandatory(
        cmbShipName->currentText(), dcbPortOfRegistry->currentIndex() >= 0,
        m_numbers.value(NumberField::LBP)->text(), m_numbers.value(NumberField::LOA)->text(),
        m_numbers.value(NumberField::Breadth)->text(), m_numbers.value(NumberField::LightShip)->text());
    if (result.ok())
        return true;
    m_lastMandatoryMessage = result.message;
    QWidget* focus = nullptr;
    switch (result.field) {
    case ShipFieldRules::Mandatory::ShipName:
        focus = cmbShipName;
        break;
    case ShipFieldRules::Mandatory::Port:
        focus = dcbPortOfRegistry;
        break;
    case ShipFieldRules::Mandatory::LBP:
        focus = m_numbers.value(NumberField::LBP);
        break;
    case ShipFieldRules::Mandatory::LOA:
        focus = m_numbers.value(NumberField::LOA);
        break;
    case ShipFieldRules::Mandatory::Breadth:
        focus = m_numbers.value(NumberField::Breadth);
        break;
    case ShipFieldRules::Mandatory::LightShip:
        focus = m_numbers.value(NumberField::LightShip);
        break;
    case ShipFieldRules::Mandatory::None:
        break;
    }
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
    return false;
}

void ShipParticularsWindow::showLastMandatoryMessage()
{
    warn(m_lastMandatoryMessage);
}

int ShipParticularsWindow::currentShipId() const
{
    if (m_shipRow < 0 || m_ships.id(m_shipRow) == NameList::NoId)
        throw VbError(3021, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                           "Requested operation requires a current record."));
    return int(m_ships.id(m_shipRow));
}

int ShipParticularsWindow::saveStatement()
{
    try {
        if (dcbPortOfRegistry->currentIndex() < 0)
            throw VbError::invalidUseOfNull();
        // Figures go in as their checked exact values, never as whatever text the box holds.
        auto figure = [this](NumberField f) {
            return ShipFieldRules::numberLiteral(m_numbers.value(f)->text());
        };
        SqlCatalogue::ShipValues v;
        v.shipName = cmbShipName->currentText();
        v.lbp = figure(NumberField::LBP);
        v.loa = figure(NumberField::LOA);
        v.breadth = figure(NumberField::Breadth);
        v.lightShip = figure(NumberField::LightShip);
        v.callSign = txtCallSign->text();
        v.portOfRegistry = QString::number(dcbPortOfRegistry->currentData().toInt());
        v.officialNo = figure(NumberField::OfficialNo);
        v.imoNo = figure(NumberField::IMONo);
        v.flag = txtFlag->text();
        v.grossTonnage = figure(NumberField::GrossTonnage);
        v.netTonnage = figure(NumberField::NetTonnage);
        v.summerDraft = figure(NumberField::SummerDraft);
        v.summerDeadweight = figure(NumberField::SummerDeadweight);
        if (CatalogueWrites::viaServer()) {
            // The server first; the copy takes the ship from there. A refusal has been told.
            if (!CatalogueWrites::allowed())
                return kToldAlready;
            const bool existing = m_recordMode == Mode::Existing;
            const int id = existing ? currentShipId() : 0;
            // The copy brought the ship up to date from the server since this window read her:
            // the server would take this change over the other one, which the window never showed.
            if (existing && !CatalogueWrites::copyHolds(QStringLiteral("Ship"), id, m_readCount))
                return storedValues(id) ? kChangedMeanwhile : 10088;
            return CatalogueWrites::report(CatalogueServer::shared().saveShip(
                       sharedConnection(), id, v, figure(NumberField::KeelPlate)))
                ? 1
                : kToldAlready;
        }
        const QString keel = figure(NumberField::KeelPlate);
        if (m_recordMode != Mode::Existing) {
            if (sharedConnection().execute(SqlCatalogue::insertShip(v)) == 0)
                return 10088;
            // The keel plate goes to the row just written, the ship just added.
            if (sharedConnection().execute(SqlCatalogue::shipKeelPlate(keel, std::nullopt)) == 0)
                return 10088;
            return 1;
        }
        // Only what was changed on the form is written: another writer's Light Ship stays as
        // they wrote it when this window saves the ship's flag. The keel plate is written in the
        // same statement when it was changed, so that it is counted and compared with the rest.
        const QStringList columns = SqlCatalogue::shipColumns();
        const QStringList now = SqlCatalogue::shipLiterals(v);
        const QStringList read = SqlCatalogue::shipLiterals(m_readValues);
        QStringList changed;
        for (int i = 0; i < columns.size(); ++i) {
            if (now.at(i) != read.at(i))
                changed.append(columns.at(i));
        }
        const std::optional<QString> keelChanged =
            keel != m_readKeelPlate ? std::optional<QString>(keel) : std::nullopt;
        const int shipId = currentShipId();
        if (sharedConnection().execute(
                SqlCatalogue::updateShipColumns(v, changed, shipId, m_readCount, keelChanged))
            > 0)
            return 1;
        // No row written: the ship went with her port (deleted in the Port Master), which is a
        // failed save; or she holds another count, written by someone else since she was read.
        if (m_readCount != ChangeCount::NotCounted && storedValues(shipId))
            return kChangedMeanwhile;
        return 10088;
    } catch (...) {
        return 10088;
    }
}

bool ShipParticularsWindow::saveCheckedEdits()
{
    if (!validateAll())
        return false;
    if (!mandatoryCheck()) {
        showLastMandatoryMessage();
        return false;
    }
    const int savedId = m_recordMode == Mode::Existing && m_shipRow >= 0 ? currentShipId() : -1;
    const QString savedName = cmbShipName->currentText();
    const int outcome = saveStatement();
    if (outcome == kChangedMeanwhile) {
        reportChangedMeanwhile();
        return false;
    }
    if (outcome == 10088) {
        reportSaveFailure();
        return false;
    }
    if (outcome == kToldAlready) {
        // Someone else's change may have come into the copy: the list shows it.
        readShips();
        refillNameList();
    }
    if (outcome != 1)
        return false;
    readShips();
    refillNameList();
    placeOnSavedShip(savedId, savedName);
    noteSaved(savedId >= 0);
    return true;
}

void ShipParticularsWindow::reportSaveFailure()
{
    MessageService::coded(10088, kSavingHeadline);
}

void ShipParticularsWindow::saveRecord()
{
    try {
        if (!validateAll())
            return;
        if (!m_isDirty) {
            warn(QStringLiteral("No changes to save..!"));
            return;
        }
        if (!mandatoryCheck()) {
            showLastMandatoryMessage();
            return;
        }
        const bool existing = m_recordMode == Mode::Existing;
        const Msg::Answer answer =
            MessageService::show(existing ? QStringLiteral("Are you sure to update the current record ?")
                                          : QStringLiteral("Are you sure to save the current record ?"),
                                 Msg::Buttons::YesNoCancel, Msg::Icon::Question);
        if (answer == Msg::Answer::Yes) {
            const int savedId = existing && m_shipRow >= 0 ? currentShipId() : -1;
            const QString savedName = cmbShipName->currentText();
            const int outcome = saveStatement();
            if (outcome == kChangedMeanwhile) {
                reportChangedMeanwhile();
                return;
            }
            if (outcome == 10088) {
                reportSaveFailure();
                return;
            }
            if (outcome == kToldAlready) {
                readShips();
                refillNameList();
            }
            if (outcome != 1)
                return;
            readShips();
            refillNameList();
            placeOnSavedShip(savedId, savedName);
            noteSaved(existing);
            warn(existing ? QStringLiteral("One record has been updated successfully.")
                          : QStringLiteral("One record has been saved successfully."));
            m_recordMode = Mode::Existing;
            setOfferedCommands(kStoredShipCommands);
            m_isDirty = false;
        } else if (answer == Msg::Answer::No) {
            showFirstShipOrNothing();
            // The form now shows a stored ship, and a later save must update that ship rather
            // than store a copy of it; with none stored it is an empty new record.
            if (!m_ships.isEmpty()) {
                m_recordMode = Mode::Existing;
                setOfferedCommands(kStoredShipCommands);
            } else {
                m_recordMode = Mode::New;
                setOfferedCommands(kNewRecordCommands);
            }
            m_isDirty = false;
        }
    } catch (...) {
        MessageService::coded(10007, kSavingHeadline);
    }
}

void ShipParticularsWindow::newRecord()
{
    try {
        if (m_isDirty) {
            // An incomplete ship is neither written nor thrown away: the user is told what is
            // missing, and the focus waits in that field with everything else as typed.
            if (!mandatoryCheck()) {
                showLastMandatoryMessage();
                return;
            }
            const Msg::Answer answer =
                MessageService::show(QStringLiteral("Are you sure to update the current record ?"),
                                     Msg::Buttons::YesNo, Msg::Icon::Question);
            // A figure that does not pass its check, or a failed write, stops the new record:
            // the user sees why, and what was typed stays on the form.
            if (answer == Msg::Answer::Yes && !saveCheckedEdits())
                return;
        }
        setOfferedCommands(kNewRecordCommands);
        m_recordMode = Mode::New;
        m_isDirty = false;
        clearFields();
        cmbShipName->setFocus(Qt::OtherFocusReason);
    } catch (...) {
        MessageService::coded(10008, kSavingHeadline);
    }
}

void ShipParticularsWindow::deleteRecord()
{
    try {
        const Msg::Answer answer =
            MessageService::show(QStringLiteral("Are you sure to delete the current record ?"),
                                 Msg::Buttons::YesNo, Msg::Icon::Question);
        if (answer != Msg::Answer::Yes)
            return;
        // A ship written by someone else since she was read is not deleted unseen.
        const int shipId = currentShipId();
        if (CatalogueWrites::viaServer()) {
            if (!CatalogueWrites::allowed())
                return;
            if (!CatalogueWrites::copyHolds(QStringLiteral("Ship"), shipId, m_readCount)
                && storedValues(shipId)) {
                reportChangedMeanwhile();
                return;
            }
            if (!CatalogueWrites::report(CatalogueServer::shared().deleteShip(sharedConnection(), shipId))) {
                readShips();
                refillNameList();
                return;
            }
        } else if (sharedConnection().execute(SqlCatalogue::deleteShip(shipId, m_readCount)) == 0
                   && m_readCount != ChangeCount::NotCounted && storedValues(shipId)) {
            reportChangedMeanwhile();
            return;
        }
        readShips();
        showFirstShipOrNothing();
        refillNameList();
        // The edits belonged to the ship that is gone; the form now shows a stored ship, or none.
        m_isDirty = false;
        if (m_ships.isEmpty()) {
            // With no ship left the empty form is a new record: a ship typed into it is stored,
            // not looked for among ships that are gone.
            m_recordMode = Mode::New;
            setOfferedCommands(kNewRecordCommands);
        }
        warn(QStringLiteral("One record has been deleted successfully."));
    } catch (...) {
        MessageService::coded(10008, kDeletingHeadline);
    }
}

void ShipParticularsWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closed && m_isDirty) {
        const Msg::Answer answer =
            MessageService::show(QStringLiteral("Are you sure to update the current record ?"),
                                 Msg::Buttons::YesNo, Msg::Icon::Question);
        if (answer == Msg::Answer::Yes) {
            // The window stays open whenever the ship could not be written, so that nothing the
            // user typed is lost: a figure refused by its check, a missing mandatory field, or a
            // failed statement.
            if (!saveCheckedEdits()) {
                event->ignore();
                return;
            }
        }
        m_isDirty = false;
    }
    event->accept();
    if (!m_closed) {
        m_closed = true;
        if (ChildHost* mdi = ChildWindow::host())
            mdi->childClosing(this);
    }
}

bool ShipParticularsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut
        && (watched == cmbShipName || watched == cmbShipName->lineEdit())) {
        // Leaving the name box, the combo box would take a typed name that matches a stored
        // ship for a pick of that ship and show it. A name is picked from the list, not typed:
        // deliver the focus change with picks shut off.
        m_leavingName = true;
        static_cast<QObject*>(watched)->event(event);
        m_leavingName = false;
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Enter moves on to the next field, as Tab does.
        m_guard->moveFocus(true);
        return true;
    }
    if (watched == cmbShipName->lineEdit() && key->key() != Qt::Key_Backspace) {
        const bool typesText = !key->text().isEmpty() && key->text().at(0).isPrint()
                               && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if ((typesText || key->matches(QKeySequence::Paste))
            && cmbShipName->currentText().trimmed().size() >= kShipNameLimit) {
            QApplication::beep();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
