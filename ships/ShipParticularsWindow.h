#pragma once

#include "ships/NameFields.h"

#include "ui/ChildWindow.h"
#include "db/NameList.h"
#include "db/SqlCatalogue.h"
#include "ships/ShipFieldRules.h"

#include <QMap>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class FieldGuard;
class QComboBox;
class QLineEdit;

// The Ship Particulars window: the list of stored ships by name and the particulars of one of
// them, which the user adds, corrects and deletes. New, Save, Delete and Close come from the main
// window; every change is written at once with an INSERT, UPDATE or DELETE on the shared
// connection.
class ShipParticularsWindow : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    enum class Mode { New, Existing };

    explicit ShipParticularsWindow(QWidget* parent = nullptr);
    ~ShipParticularsWindow() override;

    ChildCommands offeredCommands() const override { return m_offeredCommands; }
    void newRecord() override;
    void saveRecord() override;
    void deleteRecord() override;
    // Besides the commands, the port list is read again: a port added or renamed in the Port
    // Master meanwhile is offered at once.
    void activated() override;

    Mode recordMode() const { return m_recordMode; }
    bool isDirty() const { return m_isDirty; }
    bool isFilling() const { return m_isFilling; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    // The copy took rows from the catalogue server: the ship shown is read again, unless edited.
    QString catalogueCopyChanged();
    // Runs `work` with isFilling set and the field checks off, so that the window's own writing
    // into the boxes neither counts as an edit nor asks the boxes' checks.
    void whileFilling(const std::function<void()>& work);
    void loadShips();
    void reloadPorts();
    void setOfferedCommands(ChildCommands commands);
    void markDirty();
    void nameEdited(const QString& text);

    void fillFromCurrentRow();
    void clearFields();
    void showFirstShipOrNothing();
    void refillNameList();
    void placeOnSavedShip(int savedShipId, const QString& savedName);
    void shipPicked(int index);
    int shownIndex() const;
    void readShips();  // the list read again, the first ship (if any) current

    bool checkNumberField(ShipFieldRules::NumberField field);
    bool validateAll();
    bool mandatoryCheck();
    void showLastMandatoryMessage();
    int saveStatement();
    // The ship's values as the form holds them, in the words of the save statement.
    SqlCatalogue::ShipValues valuesOnForm() const;
    // The same of the ship as stored now; nothing when she is gone.
    // `keelPlate`, when given, receives the stored keel plate as the save statement writes it.
    std::optional<SqlCatalogue::ShipValues> storedValues(int shipId, QString* keelPlate = nullptr) const;
    // The keel plate on the form, kept apart from the values of statement 5 as the database does.
    QString keelPlateOnForm() const;
    // A save refused because another writer changed the ship since she was read: says what
    // changed and offers to show the ship as stored now.
    void reportChangedMeanwhile();
    // After a save: what the form holds is what was read, with the ship's new count.
    void noteSaved(bool updated);
    bool saveCheckedEdits();
    void reportSaveFailure();
    int currentShipId() const;
    // "Hydrostatic Table...": the editor of the table of the ship on show (HydrostaticTableWindow).
    void openHydrostaticTable();
    // "Tank Tables...": the editor of the tank tables of the ship on show (TankTableWindow).
    void openTankTables();

    QComboBox* cmbShipName = nullptr;
    QComboBox* dcbPortOfRegistry = nullptr;
    QMap<ShipFieldRules::NumberField, QLineEdit*> m_numbers;
    QLineEdit* txtCallSign = nullptr;
    QLineEdit* txtFlag = nullptr;
    // The ship name, call sign and flag: checked for control characters on leaving and on save.
    QList<NameFields::Field> m_textFields;

    FieldGuard* m_guard = nullptr;
    NameList m_ships;  // the ship list, ordered by name: numbers and names only
    int m_shipRow = -1;  // the list's row of the ship on show, or -1
    bool m_portsJustRead = false;  // read for the opening; the first activation need not again

    Mode m_recordMode = Mode::New;
    ChildCommands m_offeredCommands = ChildCommand::Save | ChildCommand::Close;
    QString m_lastMandatoryMessage;
    // The name on the form as typed or as filled in; the name list puts a picked name into the
    // box before the pick is handled, and the ship on the form must keep its own.
    QString m_nameOnShow;
    bool m_isDirty = false;
    bool m_isFilling = false;
    bool m_closed = false;
    bool m_leavingName = false;  // the name box is losing the focus
    // The ship on show as she was read, and the count of writes she held then: a save writes only
    // the columns changed on the form, and only while the ship still holds that count.
    SqlCatalogue::ShipValues m_readValues;
    QString m_readKeelPlate;
    qint64 m_readCount = -1;
};
