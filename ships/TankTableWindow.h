#pragma once

#include "model/TankTable.h"

#include <QDialog>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

// The editor of one ship's tank tables, opened from Ship Particulars: the list of her tanks (name,
// group, sounding or ullage, the liquid's usual density) and the chosen tank's calibration table
// (a row per gauge: the volume at each trim of the table, and the heel corrections). Tables come
// in from a CSV file (the user says whether it writes the trim by the stern positive or negative)
// or from rows pasted out of a spreadsheet, are corrected by hand, exported, and audited before
// they are saved: errors keep them from being saved, doubts are shown and may be accepted.
class TankTableWindow : public QDialog {
    Q_OBJECT
public:
    TankTableWindow(int shipId, const QString& shipName, QWidget* parent = nullptr);

    // The file dialogs, replaceable so that nothing modal stops a test: given true for a file to
    // write, false for one to read; an empty name cancels.
    static std::function<QString(QWidget* parent, bool forSaving)>& fileChooser();

    // The tables as the window holds them; nothing, with the message shown and the refused box or
    // cell made current, when a figure is missing or is no number.
    std::optional<TankTables> tablesOnShow(bool tell = true);
    // Asks how the file writes the trim, then reads it over the tanks on show; false with the
    // message shown when the user cancels or the file is refused (its line named).
    bool importFile(const QString& path);
    bool exportFile(const QString& path);
    // Tab-separated rows from a spreadsheet (gauge, a volume per trim, the heel corrections)
    // written into the chosen tank's table from its current row down, or inserted above it, as
    // the user answers when rows holding figures would be written over.
    bool pasteText(const QString& text);
    // Audits and saves; true when the tables were written.
    bool save();
    bool isDirty() const;
    // The findings of the last check as shown in lstFindings.
    QList<TankAudit::Finding> findings() const { return m_findings; }
    // The tank whose table the grid shows (its row in grdTanks), -1 with none.
    int currentTank() const { return m_current; }
    void chooseTank(int index);

    // What the user typed for one tank, as texts: what the window keeps while it is open.
    struct TankText {
        QString name;
        QString group;
        QString gauge; // "Sounding" or "Ullage"
        QString density;
        QString trims; // "-1 0 1 2"
        QString heels; // "2P 2S"
        QVector<QStringList> rows; // gauge, the volumes, the heel corrections
        bool operator==(const TankText&) const = default;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void buildLayout();
    QWidget* buildTankBoxes();
    void loadStored();
    // The copy took rows from the catalogue server: the tables are read again unless edited.
    QString catalogueCopyChanged();
    static QVector<TankText> textsOf(const TankTables& tables);
    // The tanks with the chosen tank's grid as it stands.
    QVector<TankText> state() const;
    void showState(const QVector<TankText>& tanks, int current);
    void fillTankList();
    void fillTankBoxes();
    void fillGrid();
    QVector<QStringList> gridRows() const;
    // The columns of the chosen tank's table from its trims and heel columns, the cells kept.
    void reshapeGrid();
    void tankBoxEdited();
    void showFindings(const QList<TankAudit::Finding>& findings);
    void findingActivated(int index);
    void addTank();
    void removeTank();
    void addRow();
    void deleteRows();
    void chooseImport();
    void chooseExport();
    enum class PasteMode { Overwrite, Insert, Cancel };
    PasteMode askHowToPaste(int start, int count);
    bool askBeforeReplacingEdits();
    // A save refused because someone else wrote the tables since this window read them.
    void reportChangedMeanwhile();
    void warn(const QString& text);
    QString tankCaption(int index) const;

    int m_shipId;
    QString m_shipName;
    QTableWidget* grdTanks = nullptr;
    QLineEdit* txtTankName = nullptr;
    QComboBox* cmbGroup = nullptr;
    QComboBox* cmbGauge = nullptr;
    QLineEdit* txtTankDensity = nullptr;
    QLineEdit* txtTrims = nullptr;
    QLineEdit* txtHeels = nullptr;
    QTableWidget* grdTankTable = nullptr;
    QListWidget* lstFindings = nullptr;

    QVector<TankText> m_tanks; // the chosen tank's rows are in the grid, not here
    QVector<TankText> m_saved; // as read or last saved
    int m_current = -1;
    int m_gridTrims = 0; // the trim columns the grid shows
    bool m_filling = false;
    QList<TankAudit::Finding> m_findings;
    // The tables as this window read them, and the count of writes they held then.
    TankTables m_readTables;
    qint64 m_changeCount = -1;
};
