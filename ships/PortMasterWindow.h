#pragma once

#include "ships/NameFields.h"

#include "ui/ChildWindow.h"
#include "db/RowSet.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class FieldGuard;
class QLineEdit;
class QListWidget;

// The Port Master window: the ports a ship is registered at and a survey is made in. The list
// on the right holds every port by name; picking one puts it in the three boxes for correction.
// Each change goes to the Port table at once through the window's own updatable set of ports,
// read on the program's shared connection.
class PortMasterWindow : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    enum class Mode { New, Existing };

    explicit PortMasterWindow(QWidget* parent = nullptr);
    ~PortMasterWindow() override;

    ChildCommands offeredCommands() const override { return m_offeredCommands; }
    void newRecord() override;
    void saveRecord() override;
    void deleteRecord() override;

    Mode recordMode() const { return m_recordMode; }

    static QString editHint();  // "Type the new Port name and press Enter to save it"
    static QString deleteHint();  // "You can press the Delete key to delete this record"

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void load();
    void setOfferedCommands(ChildCommands commands);
    void setStatus(const QString& text);
    void refreshList();
    void portPicked();
    void showPort(int portId);
    void markPicked(int portId);
    void emptyBoxes();
    void startNewRecord();
    bool hasPendingEdits() const;
    void writePort();
    // Through the catalogue server: throws ChangedMeanwhile when the copy holds a newer port than
    // the one the list read.
    void requireCopyAsRead();
    // The copy took rows from the catalogue server: the list and the port shown are read again,
    // unless edited.
    QString catalogueCopyChanged();
    bool settlePendingEdits();
    // A write refused because another writer changed or deleted the port since it was read:
    // says what changed and offers to show the port as stored now.
    void reportChangedMeanwhile(bool deleting);

    QLineEdit* txtPortName = nullptr;
    QLineEdit* txtCity = nullptr;
    QLineEdit* txtCountry = nullptr;
    QListWidget* dlstPortMaster = nullptr;
    // Name, city and country: checked for control characters on leaving and before a write.
    QList<NameFields::Field> m_textFields;
    FieldGuard* m_guard = nullptr;

    RowSet m_ports;  // every port, ordered by name; its current row is the port edited
    int m_pickedPortId = -1;  // the port in the boxes (Existing), or -1
    QStringList m_shownPort;  // the picked port's name, city and country as the boxes showed them

    Mode m_recordMode = Mode::New;
    ChildCommands m_offeredCommands = ChildCommand::Save | ChildCommand::Close;
    bool m_filling = false;
    bool m_closed = false;
};
