#pragma once

#include "files/HydrostaticTableFile.h"
#include "model/HydrostaticTable.h"

#include <QDialog>
#include <QVector>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QUndoStack;

// The editor of one ship's hydrostatic table, opened from Ship Particulars: the rows in a grid
// to read and correct, rows pasted from a spreadsheet, a table imported from a CSV or text file
// (after the user confirms what each of its columns is), exported to CSV, and audited before it
// is saved: errors keep it from being saved, doubts are shown and may be accepted. Every change
// to the grid and the density is kept on an undo stack (Ctrl+Z, Ctrl+Y, the grid's context menu).
class HydrostaticTableWindow : public QDialog {
    Q_OBJECT
public:
    HydrostaticTableWindow(int shipId, const QString& shipName, QWidget* parent = nullptr);

    // The file dialogs, replaceable so that nothing modal stops a test: given true for a file to
    // write, false for one to read; an empty name cancels.
    static std::function<QString(QWidget* parent, bool forSaving)>& fileChooser();
    // The question asked when plain LCF figures are imported or pasted: the convention they are
    // written in, nothing to leave them untaken. Replaceable like the file dialogs; in test mode
    // the default answers "from midships, positive aft" without a dialog.
    static std::function<std::optional<LcfConvention>(QWidget* parent)>& lcfChooser();

    // The table as the grid and the density box hold it; nothing, with the message shown and the
    // refused cell made current, when a cell holds no figure.
    std::optional<HydrostaticTable> tableOnShow(bool tell = true);
    void showTable(const HydrostaticTable& table);

    // Import: reads the file and shows its columns with the proposed roles (page 2); false
    // with the message shown when the file cannot be read.
    bool importFile(const QString& path);
    // Page 2's Import: the file's figures into the grid under the roles chosen; false with the
    // message shown (naming the line and the column) when a figure is refused.
    bool acceptImport();
    void cancelImport();
    bool exportFile(const QString& path);
    // Tab-separated rows (from a spreadsheet) written over the grid from its current row down,
    // or inserted above it, as the user answers when rows holding figures would be written over.
    bool pasteText(const QString& text);
    // Audits and saves; true when the table was written.
    bool save();
    // The findings of the last audit as shown in lstFindings.
    QList<HydrostaticAudit::Finding> findings() const { return m_findings; }
    // Changed since it was opened or saved: an undo back to the saved table makes it clean again,
    // an undo past the save makes it changed.
    bool isDirty() const;
    QUndoStack* undoStack() const { return m_undo; }

    // The grid's figures and the density as texts, as the user sees them: what an undo restores.
    struct GridState {
        QString density;
        QVector<QStringList> rows;
        bool operator==(const GridState&) const = default;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    void buildLayout();
    void buildEditActions();
    void fillGrid(const HydrostaticTable& table);
    GridState gridState() const;
    void restoreGrid(const GridState& state);
    // Puts what the grid and the density now hold on the undo stack as one step.
    void recordEdit(const QString& what, bool densityTyping = false);
    void replaceTable(const HydrostaticTable& table, const QString& what);
    enum class PasteMode { Overwrite, Insert, Cancel };
    // Asks before a paste writes over rows that hold figures; Overwrite when none would be.
    PasteMode askHowToPaste(int start, int count);
    // Asks before an import replaces edits not yet saved; false when the user cancels.
    bool askBeforeReplacingEdits();
    void clearCells();
    void showContextMenu(const QPoint& at);
    void showFindings(const QList<HydrostaticAudit::Finding>& findings);
    void findingActivated(int index);
    void addRow();
    void deleteRows();
    void chooseImport();
    void chooseExport();
    void warn(const QString& text);
    // Reads the ship's table as stored now into the grid (the constructor, and a reload).
    void loadStored();
    // A save refused because the table was written by someone else (the command line's import,
    // another window) since this window read it: says what changed and offers to reload it.
    // Through the catalogue server: throws ChangedMeanwhile when the copy holds another table than
    // the one this window read.
    void requireCopyAsRead() const;
    // The copy took rows from the catalogue server: a newer table is shown, unless edited.
    QString catalogueCopyChanged();
    void reportChangedMeanwhile();
    // Asks how the LCF of rows being taken is written and turns it into the program's own; false
    // when the user cancels or the ship's LBP is wanting.
    bool convertLcf(HydrostaticTable& table);
    void showLcfSource();

    int m_shipId;
    QString m_shipName;
    QLineEdit* txtDensity = nullptr;
    QComboBox* cmbDrafts = nullptr;
    QLabel* lblLcfConvention = nullptr;
    LcfConvention m_lcfSource = LcfConvention::MidshipAft;
    QTableWidget* grdHydrostatics = nullptr;
    QListWidget* lstFindings = nullptr;
    QStackedWidget* m_pages = nullptr;
    QTableWidget* grdImportPreview = nullptr;
    QVector<QComboBox*> m_roleBoxes;
    QLabel* lblImportFile = nullptr;
    std::optional<HydrostaticTableFile::Layout> m_import;
    QList<HydrostaticAudit::Finding> m_findings;
    QUndoStack* m_undo = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_clearAction = nullptr;
    GridState m_shown;  // what the grid held after the last step on the undo stack
    bool m_filling = false;
    // The table as this window read it, and the count of writes it held then (see ChangeCount.h).
    std::optional<HydrostaticTable> m_readTable;
    qint64 m_changeCount = -1;
};
