#include "ships/PortMasterWindow.h"

#include "db/Database.h"
#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "ui/FormCenter.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/SqlCatalogue.h"
#include "ui/CatalogueBanner.h"
#include "ui/CatalogueWrites.h"
#include "db/RowSet.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

// A new port can be saved; a port picked from the list can also be started afresh from and deleted.
const ChildCommands kNewRecordCommands = ChildCommand::Save | ChildCommand::Close;
const ChildCommands kPickedPortCommands =
    ChildCommand::New | ChildCommand::Save | ChildCommand::Delete | ChildCommand::Close;

// A column as the boxes and the list show it: a port stored without a city (a null) simply
// shows an empty City box.
QString shown(const Variant& value)
{
    return value.isNull() || value.isEmpty() ? QString() : value.toText();
}

void warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation);
}

}  // namespace

PortMasterWindow::PortMasterWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmPortMaster"));
    setWindowTitle(QStringLiteral("Port Master"));
    m_guard = new FieldGuard(this);
    buildLayout();
    load();
    CatalogueBanner::attach(this, [this] { return catalogueCopyChanged(); });
}

PortMasterWindow::~PortMasterWindow() = default;

QString PortMasterWindow::editHint()
{
    return QStringLiteral("Type the new Port name and press Enter to save it");
}

QString PortMasterWindow::deleteHint()
{
    return QStringLiteral("You can press the Delete key to delete this record");
}

void PortMasterWindow::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Add/Edit or Delete Ports"), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    heading->setFont(headingFont);
    outer->addWidget(heading);

    auto* body = new QHBoxLayout;
    outer->addLayout(body);

    auto* form = new QGridLayout;
    body->addLayout(form, 1);
    auto addBox = [&](int row, const QString& label, const QString& name, int maxLength) {
        auto* caption = new QLabel(label, this);
        caption->setObjectName(QStringLiteral("lbl") + name.mid(3));
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        if (maxLength > 0)
            box->setMaxLength(maxLength);
        caption->setBuddy(box);
        form->addWidget(caption, row, 0);
        form->addWidget(box, row, 1);
        return box;
    };
    txtPortName = addBox(0, QStringLiteral("Port Name:"), QStringLiteral("txtPortName"), 0);
    txtCity = addBox(1, QStringLiteral("City:"), QStringLiteral("txtCity"), 15);
    txtCountry = addBox(2, QStringLiteral("Country:"), QStringLiteral("txtCountry"), 15);
    form->setRowStretch(3, 1);

    auto* listSide = new QVBoxLayout;
    body->addLayout(listSide, 1);
    auto* listCaption = new QLabel(QStringLiteral("Port Names"), this);
    listCaption->setObjectName(QStringLiteral("lblPortNames"));
    listSide->addWidget(listCaption);
    dlstPortMaster = new QListWidget(this);
    dlstPortMaster->setObjectName(QStringLiteral("dlstPortMaster"));
    dlstPortMaster->setSelectionMode(QAbstractItemView::SingleSelection);
    // Thousands of ports are laid out without measuring each name.
    dlstPortMaster->setUniformItemSizes(true);
    listCaption->setBuddy(dlstPortMaster);
    listSide->addWidget(dlstPortMaster);

    auto* legend = new QGroupBox(QStringLiteral("Legend"), this);
    legend->setObjectName(QStringLiteral("fmeLegend"));
    auto* legendLayout = new QVBoxLayout(legend);
    // The key column lines up by its blanks, so the legend is set in a fixed-pitch face.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const char* lines[] = {"Ctrl-N   : Add new record", "Ctrl-S   : Save record", "Ctrl-F4 : Close window",
                           "Del      : Delete selected port"};
    int n = 0;
    for (const char* line : lines) {
        auto* l = new QLabel(QString::fromLatin1(line), legend);
        l->setObjectName(QStringLiteral("lblLegend%1").arg(++n));
        l->setFont(fixed);
        legendLayout->addWidget(l);
    }
    outer->addWidget(legend);

    m_textFields = {{txtPortName, QStringLiteral("Port name"), QString()},
                    {txtCity, QStringLiteral("City"), QString()},
                    {txtCountry, QStringLiteral("Country"), QString()}};
    NameFields::guard(*m_guard, m_textFields);

    setTabOrder(txtPortName, txtCity);
    setTabOrder(txtCity, txtCountry);
    setTabOrder(txtCountry, dlstPortMaster);

    for (QWidget* w : {static_cast<QWidget*>(txtPortName), static_cast<QWidget*>(txtCity),
                       static_cast<QWidget*>(txtCountry), static_cast<QWidget*>(dlstPortMaster)})
        w->installEventFilter(this);

    connect(dlstPortMaster, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            portPicked();
    });
    // A click on the port already under the cursor picks it again (after New, say).
    connect(dlstPortMaster, &QListWidget::itemClicked, this, [this] {
        if (!m_filling)
            portPicked();
    });
}

void PortMasterWindow::load()
{
    try {
        if (!centreOnScreen(this)) {
            MessageService::coded(10014, QStringLiteral("A serious internal error has occured."));
            return;
        }
        m_ports.open(SqlCatalogue::portMaster(), sharedConnection(), RowSet::Mode::WriteBack);
        refreshList();
        m_recordMode = Mode::New;
        setOfferedCommands(kNewRecordCommands);
    } catch (...) {
        MessageService::coded(10014, QStringLiteral("A serious internal error has occured."));
    }
}

void PortMasterWindow::setOfferedCommands(ChildCommands commands)
{
    m_offeredCommands = commands;
    offeredCommandsChanged();
}

void PortMasterWindow::setStatus(const QString& text)
{
    if (ChildHost* mdi = ChildWindow::host())
        mdi->setStatusText(text);
}

void PortMasterWindow::refreshList()
{
    m_filling = true;
    dlstPortMaster->clear();
    if (m_ports.isOpen()) {
        for (m_ports.moveFirst(); !m_ports.eof(); m_ports.moveNext()) {
            auto* item = new QListWidgetItem(shown(m_ports.value(QStringLiteral("PortName"))));
            item->setData(Qt::UserRole, m_ports.value(QStringLiteral("PortID")).toInt32());
            dlstPortMaster->addItem(item);
        }
        m_ports.moveFirst();
    }
    dlstPortMaster->setCurrentRow(-1);
    m_filling = false;
}

void PortMasterWindow::portPicked()
{
    const QListWidgetItem* item = dlstPortMaster->currentItem();
    if (!item || !m_ports.isOpen())
        return;
    const int id = item->data(Qt::UserRole).toInt();
    // The port already in the boxes, picked again, keeps what is being typed into it.
    if (m_recordMode == Mode::Existing && id == m_pickedPortId)
        return;
    if (hasPendingEdits()) {
        // Until the user has said what becomes of the edits, the highlight stays on the port
        // they belong to (none for a new port).
        markPicked(m_recordMode == Mode::Existing ? m_pickedPortId : -1);
        if (!settlePendingEdits())
            return;
        markPicked(id);
    }
    showPort(id);
}

void PortMasterWindow::markPicked(int portId)
{
    m_filling = true;
    int row = -1;
    for (int i = 0; i < dlstPortMaster->count() && portId >= 0; ++i) {
        if (dlstPortMaster->item(i)->data(Qt::UserRole).toInt() == portId)
            row = i;
    }
    dlstPortMaster->setCurrentRow(row);
    m_filling = false;
}

void PortMasterWindow::showPort(int portId)
{
    try {
        if (!m_ports.find(SqlCatalogue::findPort(portId)))
            return;
        m_pickedPortId = portId;
        m_recordMode = Mode::Existing;
        setOfferedCommands(kPickedPortCommands);
        txtPortName->setText(shown(m_ports.value(QStringLiteral("PortName"))));
        txtCity->setText(shown(m_ports.value(QStringLiteral("City"))));
        txtCountry->setText(shown(m_ports.value(QStringLiteral("Country"))));
        m_shownPort = {txtPortName->text(), txtCity->text(), txtCountry->text()};
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    }
}

void PortMasterWindow::emptyBoxes()
{
    txtPortName->clear();
    txtCity->clear();
    txtCountry->clear();
}

void PortMasterWindow::startNewRecord()
{
    m_recordMode = Mode::New;
    m_pickedPortId = -1;
    m_shownPort.clear();
    // The highlight in the list always marks the port in the boxes; a new record has none.
    m_filling = true;
    dlstPortMaster->setCurrentRow(-1);
    m_filling = false;
    setOfferedCommands(kNewRecordCommands);
    txtPortName->setFocus(Qt::OtherFocusReason);
}

bool PortMasterWindow::hasPendingEdits() const
{
    // What a save would store, against what is stored: the texts trimmed, a new port against
    // nothing at all.
    const QStringList typed = {txtPortName->text().trimmed(), txtCity->text().trimmed(),
                               txtCountry->text().trimmed()};
    if (m_recordMode == Mode::Existing && m_shownPort.size() == 3) {
        for (int i = 0; i < 3; ++i) {
            if (typed.at(i) != m_shownPort.at(i).trimmed())
                return true;
        }
        return false;
    }
    return !typed.join(QString()).isEmpty();
}

void PortMasterWindow::writePort()
{
    if (CatalogueWrites::viaServer()) {
        // The server first; the copy, and so the list, take the port from there.
        if (!CatalogueWrites::allowed())
            throw CatalogueWrites::Told();
        const bool existing = m_recordMode == Mode::Existing;
        if (existing)
            requireCopyAsRead();
        if (!CatalogueWrites::report(CatalogueServer::shared().savePort(
                sharedConnection(), existing ? m_pickedPortId : 0, txtPortName->text().trimmed(),
                txtCity->text().trimmed(), txtCountry->text().trimmed()))) {
            m_ports.requery();
            refreshList();
            throw CatalogueWrites::Told();
        }
        m_ports.requery();
        refreshList();
        return;
    }
    try {
        if (m_recordMode == Mode::Existing) {
            // The row written is the port picked in the list, wherever the set's cursor went.
            if (!m_ports.find(SqlCatalogue::findPort(m_pickedPortId)))
                throw VbError(3021, QStringLiteral("The port is no longer in the list."));
        } else {
            m_ports.addNew();
        }
        m_ports.setValue(QStringLiteral("PortName"), Variant(txtPortName->text().trimmed()));
        m_ports.setValue(QStringLiteral("City"), Variant(txtCity->text().trimmed()));
        m_ports.setValue(QStringLiteral("Country"), Variant(txtCountry->text().trimmed()));
        m_ports.update();
        m_ports.requery();
        refreshList();
    } catch (...) {
        // A row that could not be written must not linger in the set and be written later,
        // when the cursor next moves.
        try {
            if (m_ports.isOpen() && m_ports.editPending())
                m_ports.cancelUpdate();
        } catch (...) {
        }
        throw;
    }
}

QString PortMasterWindow::catalogueCopyChanged()
{
    // Edits in the boxes are kept: the save compares the port's count of writes and tells.
    if (hasPendingEdits())
        return QStringLiteral("The catalogue was brought up to date from the server while this port was "
                              "being edited: a save is checked against the port as the copy holds it now.");
    const int portId = m_pickedPortId;
    try {
        m_ports.requery();
        refreshList();
        if (portId >= 0 && m_ports.find(SqlCatalogue::findPort(portId))) {
            m_recordMode = Mode::New; // so that showPort fills the boxes afresh
            showPort(portId);
            markPicked(portId);
        } else if (portId >= 0) {
            emptyBoxes();
            startNewRecord();
        }
    } catch (const VbError& e) {
        return e.description();
    }
    return {};
}

void PortMasterWindow::requireCopyAsRead()
{
    // The list holds the port as this window read it; the copy may have taken a newer one from
    // the server since, which the server would then let this change undo unseen.
    qint64 countRead = ChangeCount::NotCounted;
    if (m_ports.find(SqlCatalogue::findPort(m_pickedPortId))
        && m_ports.hasColumn(QStringLiteral("ChangeCount")))
        countRead = m_ports.value(QStringLiteral("ChangeCount")).toDecimal().toInt64();
    if (!CatalogueWrites::copyHolds(QStringLiteral("Port"), m_pickedPortId, countRead))
        throw ChangeCount::changedMeanwhile(QStringLiteral("The port"));
}

bool PortMasterWindow::settlePendingEdits()
{
    if (!hasPendingEdits())
        return true;
    const Msg::Answer answer = MessageService::show(
        m_recordMode == Mode::Existing ? QStringLiteral("Are you sure to update the current record ?")
                                       : QStringLiteral("Are you sure you want to add a new record ?"),
        Msg::Buttons::YesNo, Msg::Icon::Question);
    if (answer != Msg::Answer::Yes)
        return true;
    // Yes: the port is written as Save writes it, or it stays in the boxes with what was typed.
    if (txtPortName->text().trimmed().isEmpty()) {
        warn(QStringLiteral("Please enter port name"));
        txtPortName->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!NameFields::checkAll(m_textFields))
        return false;
    try {
        writePort();
    } catch (const CatalogueWrites::Told&) {
        return false;
    } catch (const VbError& e) {
        if (e.number() != ChangeCount::ChangedMeanwhile)
            MessageService::coded(
                10016, QStringLiteral("A serious error has occured while saving the current record."));
        else
            reportChangedMeanwhile(false);
        return false;
    } catch (...) {
        MessageService::coded(
            10016, QStringLiteral("A serious error has occured while saving the current record."));
        return false;
    }
    return true;
}

void PortMasterWindow::newRecord()
{
    if (!settlePendingEdits())
        return;
    emptyBoxes();
    startNewRecord();
}

void PortMasterWindow::saveRecord()
{
    try {
        if (txtPortName->text().trimmed().isEmpty()) {
            warn(QStringLiteral("Please enter port name"));
            startNewRecord();
            return;
        }
        if (!NameFields::checkAll(m_textFields))
            return;
        const bool existing = m_recordMode == Mode::Existing;
        const Msg::Answer answer =
            MessageService::show(existing ? QStringLiteral("Are you sure to update the current record ?")
                                          : QStringLiteral("Are you sure you want to add a new record ?"),
                                 Msg::Buttons::YesNoCancel, Msg::Icon::Question);
        if (answer == Msg::Answer::No)
            return;
        if (answer == Msg::Answer::Yes) {
            writePort();
            emptyBoxes();
            warn(existing ? QStringLiteral("One record has been updated successfully.")
                          : QStringLiteral("One record has been added successfully."));
        } else if (m_ports.isOpen() && m_ports.editPending()) {
            m_ports.cancelUpdate();
        }
        startNewRecord();
    } catch (const CatalogueWrites::Told&) {
    } catch (const VbError& e) {
        if (e.number() == ChangeCount::ChangedMeanwhile)
            reportChangedMeanwhile(false);
        else
            MessageService::coded(
                10016, QStringLiteral("A serious error has occured while saving the current record."));
    } catch (...) {
        MessageService::coded(
            10016, QStringLiteral("A serious error has occured while saving the current record."));
    }
}

void PortMasterWindow::deleteRecord()
{
    // Only a port the user has picked, and sees in the boxes, can be deleted: with none picked,
    // the set's cursor stands on some port the user never chose.
    if (m_pickedPortId < 0)
        return;
    const Msg::Answer answer = MessageService::show(
        MessageService::join(
            QStringLiteral("Are you sure to delete the selected port ?"),
            QStringLiteral("Deletion of this port will also delete all the ships corresponding "
                           "to it.")),
        Msg::Buttons::YesNo, Msg::Icon::Question, QString(), Msg::Answer::No);
    if (answer != Msg::Answer::Yes)
        return;
    try {
        if (CatalogueWrites::viaServer()) {
            if (!CatalogueWrites::allowed())
                return;
            requireCopyAsRead();
            const bool done = CatalogueWrites::report(
                CatalogueServer::shared().deletePort(sharedConnection(), m_pickedPortId));
            m_ports.requery();
            refreshList();
            if (!done)
                return;
        } else {
            if (!m_ports.find(SqlCatalogue::findPort(m_pickedPortId)))
                throw VbError(3021, QStringLiteral("The port is no longer in the list."));
            // The ships registered here go with the port: the database cascades the delete.
            m_ports.deleteCurrent();
        }
        m_ports.requery();
        refreshList();
        emptyBoxes();
        warn(QStringLiteral("One record has been deleted successfully."));
        m_recordMode = Mode::New;
        m_pickedPortId = -1;
        setOfferedCommands(kNewRecordCommands);
    } catch (const VbError& e) {
        if (e.number() == ChangeCount::ChangedMeanwhile)
            reportChangedMeanwhile(true);
        else
            MessageService::coded(
                10017, QStringLiteral("A serious error has occured while deleting the current record."));
    } catch (...) {
        MessageService::coded(
            10017, QStringLiteral("A serious error has occured while deleting the current record."));
    }
}

void PortMasterWindow::reportChangedMeanwhile(bool deleting)
{
    const int portId = m_pickedPortId;
    QStringList now;
    try {
        RowSet stored;
        stored.open(SqlCatalogue::portById(portId), sharedConnection());
        if (!stored.eof())
            now = {shown(stored.value(QStringLiteral("PortName"))),
                   shown(stored.value(QStringLiteral("City"))),
                   shown(stored.value(QStringLiteral("Country")))};
    } catch (const VbError&) {
    }
    const QString name = m_shownPort.value(0);
    const QString changed = now.isEmpty()
        ? QString()
        : ChangeCount::differences(
            {QStringLiteral("Port Name"), QStringLiteral("City"), QStringLiteral("Country")}, m_shownPort,
            now);
    const QString headline = now.isEmpty()
        ? QStringLiteral("The port %1 was deleted by another user or program after this window read it.")
              .arg(name)
        : QStringLiteral("The port %1 was changed by another user or program after this window read it%2.")
              .arg(name, changed.isEmpty() ? QString() : QStringLiteral(" (changed: %1)").arg(changed));
    const QString detail = deleting
        ? QStringLiteral("It was not deleted. Show the port as it is stored now?")
        : QStringLiteral("Your changes were not saved, so as not to undo theirs. Show the port as it is "
                         "stored now? Your changes in the boxes are then lost.");
    const Msg::Answer answer
        = MessageService::show(MessageService::join(headline, detail), Msg::Buttons::YesNo,
                               Msg::Icon::Exclamation, QStringLiteral("Port Master"), Msg::Answer::No);
    if (answer != Msg::Answer::Yes)
        return;
    try {
        m_ports.requery();
        refreshList();
        if (!now.isEmpty() && m_ports.find(SqlCatalogue::findPort(portId))) {
            m_recordMode = Mode::New;  // so that showPort fills the boxes afresh
            showPort(portId);
            markPicked(portId);
        } else {
            emptyBoxes();
            startNewRecord();
        }
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    }
}

void PortMasterWindow::closeEvent(QCloseEvent* event)
{
    // A port typed or corrected and not yet saved is offered for saving; the window stays open
    // when it cannot be written.
    if (!m_closed && !settlePendingEdits()) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_closed) {
        m_closed = true;
        if (ChildHost* mdi = ChildWindow::host())
            mdi->childClosing(this);
    }
}

bool PortMasterWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn) {
        setStatus(watched == dlstPortMaster ? deleteHint() : editHint());
    } else if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter moves on to the next control, as Tab does.
            m_guard->moveFocus(true);
            return true;
        }
        if (watched == dlstPortMaster && key->key() == Qt::Key_Delete) {
            deleteRecord();
            return true;
        }
        if (watched == txtCity)
            setStatus(editHint());
    }
    return QWidget::eventFilter(watched, event);
}
