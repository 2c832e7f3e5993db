#pragma once

#include "core/Variant.h"
#include "model/SurveyModel.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

class SurveyDraft;
class FieldGuard;
class GridEditor;
class QLineEdit;
class QWidget;
class QKeyEvent;
class SurveyGrid;

// What the grids need of the survey window that holds them. The Loading window (LoadingSurveyWindow)
// and the Discharging window (DischargingSurveyWindow) implement it; the grids ask, never look around.
class SurveyGridsHost {
public:
    virtual ~SurveyGridsHost() = default;

    // True while the window fills itself: the boxes' focus and change handlers then keep still.
    virtual bool isFilling() const = 0;
    // The ship-first guard: true when a ship is selected; otherwise shows "Please select a ship
    // first." and puts the focus on dcbShip (the same guard as the header fields).
    virtual bool requireShip() = 0;
    // "frmQuorvane" or "frmZODuraduza", for the failure texts that name the window.
    virtual QString className() const = 0;
    // The Discharging window words a few messages differently and treats a few keys otherwise.
    virtual bool isDischarging() const = 0;
    // A figure typed into a cell of a hydrostatic table (row Below or Above; the MCTC tables' one
    // column) or a deductible quantity, handed to the survey's rule for the draft on show: what the
    // box is to show, and what the user is to be told.
    virtual SurveyInputRules::Outcome enterTableFigure(SurveyModel::Table table, int row, int column,
                                                       const QString& typed) = 0;
    virtual SurveyInputRules::Outcome enterDeduction(int itemId, const QString& typed) = 0;
    // A cell of a hydrostatic table took a text without a check (Enter moves on without one).
    virtual void tablesEdited() = 0;
    // Clears and relabels the result grids, the window's fgrdFinalResult included; the window
    // calls resetInterpolationGrids() from it for the four grids held here.
    virtual void resetResultGrids() = 0;
};

// The grids of a survey window: the hydrostatic tables fgrdHDT, fgrdMCTCP50 and fgrdMCTCM50,
// the deductibles fgrdDeduction, each edited through its own floating box (txtHDTGridTextbox,
// txtMPGridTextbox, txtMMGridTextbox, txtGridTextbox), and the interpolation result grids
// fgrdIpResult, fgrdIpResultMCTCP50, fgrdIpResultMCTCM50 and fgrdResult.
//
// How the window uses it:
//   - Create one in the window's constructor, `new SurveyGrids(*this, guard, this)` (the window
//     implements SurveyGridsHost; the boxes register their leave checks with the window's one
//     FieldGuard, and Enter on the last deductible moves on with it as Tab would; nothing of the
//     host is asked before the constructor has returned). Put the eight grids into
//     the layout through the accessors; the boxes live inside their grids. Put the four boxes
//     into the tab order after txtAftX (HDT, MP, MM, then the deductibles box, then cmdCalculate):
//     Enter on the last deductible moves on as Tab does.
//   - Enter as Tab: leave Enter alone when isEditor(focusWidget()); in txtAftX, once its check
//     passes, call enterFromAftX() and swallow the key.
//   - initializeAllGrids(true) wherever the window sets its grids up (load, reset, tab switch);
//     it calls back resetResultGrids() and reports its own failures.
//   - Handing the form to the survey: validateOpenDeduction(), then tablesInto() for the draft's
//     inputs (each deductible quantity goes to the survey as its cell is left). Every check on the
//     tables before a calculation is the survey's; focusCell() shows the cell it names.
//   - showDraft: showTables(inputs, differences), showInterpolation(draft) with txtIpFactor set to
//     ipFactorText(draft), and showDeductions(quantities, draft) last.
class SurveyGrids : public QObject {
    Q_OBJECT
public:
    SurveyGrids(SurveyGridsHost& host, FieldGuard& guard, QWidget* parent);
    ~SurveyGrids() override;

    GridEditor* hdtGrid() const { return m_hdt; }
    GridEditor* mctcp50Grid() const { return m_mctcp50; }
    GridEditor* mctcm50Grid() const { return m_mctcm50; }
    GridEditor* deductionGrid() const { return m_deduction; }
    SurveyGrid* ipResultGrid() const { return m_ipResult; }
    SurveyGrid* ipResultMctcp50Grid() const { return m_ipResultP50; }
    SurveyGrid* ipResultMctcm50Grid() const { return m_ipResultM50; }
    SurveyGrid* resultGrid() const { return m_result; }
    QLineEdit* hdtEditor() const;
    QLineEdit* mpEditor() const;
    QLineEdit* mmEditor() const;
    QLineEdit* deductionEditor() const;
    // One of the four floating boxes (Enter belongs to them, not to Enter-as-Tab).
    bool isEditor(const QWidget* w) const;
    // A box over a table cell holding other text than its cell: typed, not yet taken.
    bool entryInProgress() const;

    // Lays out the hydrostatic grids, has the window reset its result grids, and (withDeductions)
    // reloads the deductibles catalogue; then empties the boxes and lays them over their cells.
    // A failure is reported as "Source :  <window>::InitializeAllGrids" and ends the set-up.
    void initializeAllGrids(bool withDeductions);
    // The pieces, for a window that needs them one by one.
    void initializeHydrostaticGrids();
    void resetInterpolationGrids();
    // Re-reads DeductionMaster into fgrdDeduction; false when it holds no item (the grid is then
    // hidden). Throws VbError when the database fails.
    bool loadDeductionCatalogue();
    void placeEditors();

    // Enter in Aft X (after its check passed): fgrdHDT (1, 1) becomes current, its box focused.
    void enterFromAftX();

    // The Below and Above rows of the three tables as they stand (the figure being typed over
    // the current cell included) into a draft's inputs.
    void tablesInto(SurveyModel::DraftInputs& inputs) const;
    // A draft's rows and Difference rows into the grids; each box takes the text of its current
    // cell. The MCTC tables' drafts lie 50 cm either side of the hydrostatic rows'.
    void showTables(const SurveyModel::DraftInputs& inputs, const SurveyModel::Differences& differences);
    // The Difference rows alone.
    void showDifferences(const SurveyModel::Differences& differences);
    // The cell of a table the survey names ("hydrostatics.below.tpc", "mctcPlus50.above") made
    // current, its box focused: the table, or nullptr for a name that is no table cell.
    GridEditor* focusCell(const QString& field);
    // The quantity of a deductible item made current, its box focused; false when the list has
    // no such item.
    bool focusDeduction(int itemId);
    // The interpolation increments and values of a calculated draft into the result grids.
    void showInterpolation(const SurveyDraft& draft);
    // The text for txtIpFactor: the factor rounded to 7 places (a blank factor shows 0 in the
    // Loading window and nothing in the Discharging window).
    QString ipFactorText(const SurveyDraft& draft) const;

    // Deductibles: the quantities of the draft shown (nothing unless the draft was changed).
    // `quantities` by item id; nothing is shown unless the draft was changed.
    void showDeductions(const QMap<int, QString>& quantities, const SurveyDraft& draft);
    // The open quantity checked as when it is left; false (focus kept in it) when refused.
    bool validateOpenDeduction();
    void clearDeductionQuantities();

private:
    void buildGrids(QWidget* parent);
    void layoutMctcGrid(GridEditor* grid, const QString& draftCaption, const QString& mctcCaption);
    void hdtTextChanged(const QString& text);
    void propagateDraft(int row, const QString& typed);
    void clearPropagatedDraft(int row);
    void hydrostaticFocusIn(GridEditor* grid);
    void deductionFocusIn();
    bool hydrostaticKey(GridEditor* grid, QKeyEvent* event);
    bool deductionKey(QKeyEvent* event);
    void enterDeductions();
    bool validateHydrostatic(GridEditor* grid);
    void resetHydrostaticBox(GridEditor* grid, bool empty);
    bool validateDeduction();

    SurveyGridsHost& m_host;
    FieldGuard& m_guard;
    QVector<Variant> m_itemIds;  // DeductionMaster ItemID of each deductibles row
    QString m_lastHdtText;       // the hydrostatic box's text before the keystroke being checked
    GridEditor* m_hdt = nullptr;
    GridEditor* m_mctcp50 = nullptr;
    GridEditor* m_mctcm50 = nullptr;
    GridEditor* m_deduction = nullptr;
    SurveyGrid* m_ipResult = nullptr;
    SurveyGrid* m_ipResultP50 = nullptr;
    SurveyGrid* m_ipResultM50 = nullptr;
    SurveyGrid* m_result = nullptr;
};
