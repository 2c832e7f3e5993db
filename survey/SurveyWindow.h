#pragma once

#include "ui/ChildWindow.h"
#include "core/Variant.h"
#include "model/DraftCorrections.h"
#include "model/SurveyInputRules.h"
#include "model/SurveyModel.h"
#include "report/ReportLayout.h"
#include "survey/SurveyGrids.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class clsDraft;
class clsShip;
class FieldGuard;
class HydrostaticPicker;
class FindingsList;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class ResultDisplay;
class RowSet;

// One draft survey in a window of its own: the header shared by both drafts (ship, voyage, port,
// cargo), the readings, mark distances and draft panel of the draft on the current tab
// ("Initial" before cargo work, "Final" after it), the hydrostatic and deductibles grids, the
// calculation and its results.
//
// Everything the Loading and the Discharging window share lives here; each states only how it
// differs through the protected hooks below. A subclass builds its result panels into
// panelArea() in its constructor and then calls formLoad().
class SurveyWindow : public QWidget, public ChildWindow, public SurveyGridsHost {
    Q_OBJECT
public:
    enum TabIndex { InitialTab = 0, DailyTab = 1, FinalTab = 2 };

    ~SurveyWindow() override;

    // The main window's commands. Print and Print Preview fill the report; New starts afresh.
    ChildCommands offeredCommands() const override
    {
        return ChildCommand::Print | ChildCommand::PrintPreview | ChildCommand::Close;
    }
    void RNew() override;
    void RPrint(bool blnShowPreview = true) override;

    // Both drafts emptied and stamped with the current date and time.
    void NewDraft();
    void InitPortDataCombo();
    void InitDateDataCombo();
    void setConstant(const Variant& vNewConstant) { m_constant = vNewConstant; }

    // What the report reads of the window.
    QString shipText() const;
    QString portText() const;
    Variant portId() const;  // Empty when no port is chosen
    QString fwdXText() const;
    QString midXText() const;
    QString aftXText() const;
    QString lbpText() const;
    QString voyageIdText() const;
    QString cargoText() const;
    QString constantText() const;                  // txtConstant, empty until worked out
    QString finalResultText(int row, int column) const;  // fgrdFinalResult
    virtual QString cargoResultText() const = 0;   // the Total Cargo box of the window
    QString initialNetDisplacementText() const;    // txtFnlGrdTxtBox, typed on the Final tab
    QString currentTabCaption() const;
    // The window's inputs into the Initial (0) or Final (1) draft, as the calculation does; false
    // when the open deductible is refused (the draft keeps what it had).
    bool CopyFormToDraft(int index);
    // The survey the window edits and shows: the ship record and the two drafts live there.
    SurveyModel& model() const { return *m_model; }
    // The header and what the window shows handed to the survey, as a report reads them.
    void syncModel();
    // Shows a survey worked out without the window (a survey file entered whole): the window
    // takes it as its own and shows it as after the surveyor's own entry, on the Final tab when
    // `finalEntered`, else on the Initial tab. Nothing is said: the survey has said it.
    void showSurvey(std::unique_ptr<SurveyModel> survey, bool finalEntered);
    // The report of the survey as Print Preview (or Print) fills it; nothing when it cannot be.
    std::optional<ReportLayout> fillReport(bool blnShowPreview);
    clsDraft& initialDraft() const { return *m_initialDraft; }
    clsDraft& finalDraft() const { return *m_finalDraft; }
    // The hydrostatic tables typed for a draft (0 Initial, 1 Final) while it was on show and kept
    // since, not yet handed to the draft by a calculation: rows Below, Above and Difference,
    // columns from 1. False when none are kept.
    bool keptTables(int index, QList<QStringList>* hdt, QList<QStringList>* mctcp50,
                    QList<QStringList>* mctcm50) const;
    clsShip& shipRecord() const { return *m_shipRecord; }
    // Fills the hydrostatic grids from the ship's table (nothing for a ship without one).
    HydrostaticPicker* hydrostaticPicker() const { return m_picker; }
    Variant constant() const { return m_constant; }

    // SurveyGridsHost
    bool IsLoading() const override { return m_isLoading; }
    QString className() const override { return m_className; }
    bool isDischarging() const override { return m_discharging; }
    bool requireShip() override;
    FieldGuard& fieldGuard() { return *m_guard; }
    void markCurrentDraftUnsaved() override;
    void ResetResultGrids() override;

protected:
    // `className` names the window in failure texts ("frmQuorvane").
    SurveyWindow(const QString& className, bool discharging, QWidget* parent = nullptr);

    // The window load, in its order; the subclass calls it at the end of its constructor.
    void formLoad();

    // Where the subclass puts its net displacement, constant and cargo panels.
    QVBoxLayout* panelArea() const { return m_panelArea; }
    ResultDisplay& results() const { return *m_results; }
    SurveyGrids& grids() const { return *m_grids; }
    int currentTab() const;
    // Registers a read-only box of a panel: light yellow, locked, skipped by Tab.
    static void makeReadOnly(QLineEdit* box);
    // A right-aligned box for a figure of a result panel.
    static QLineEdit* figureBox(const char* name);
    // A frame of two captioned figure boxes, one above the other.
    static QGroupBox* figurePanel(const char* name, const QString& first, QLineEdit* firstBox,
                                  const QString& second, QLineEdit* secondBox);

    // --- How the two windows differ -------------------------------------------------------
    // The panels of the result area that belong to a tab (Initial or Final) are shown.
    virtual void showPanelsForTab(int tab) = 0;
    // Empties the boxes of the panels (part of emptying every text box of the window).
    virtual void clearPanelTexts() = 0;
    // A refused hydrostatic table: the panel of the current tab is emptied.
    virtual void clearPanelsOfTab(bool initialTab) = 0;
    // Captions of fgrdFinalResult rows 9 to 11 by tab, and whether (11, 0) is bold.
    virtual QStringList finalResultCaptions(int tab, bool* boldCargoRow) const = 0;
    // Rows 9 to 11 and the panels, once rows 0 to 8 of a draft are shown.
    virtual void showNetDisplacement(int tab, const clsDraft& draft) = 0;
    // The checks after a calculation, on the results as shown.
    virtual void checkPlausibility() = 0;
    // The mark boxes select their text on focus.
    virtual bool marksSelectOnFocus() const { return false; }
    // Ctrl+F4 closes the window from any control, not only from the ship and port lists.
    virtual bool closesOnCtrlF4Anywhere() const { return false; }
    // The list of stored survey dates exists.
    virtual bool hasDateList() const { return true; }
    // The grids are set up on a tab switch even without a ship.
    virtual bool initializesGridsWithoutShip() const { return false; }
    // Extra steps at the end of ResetSurveyWindow.
    virtual void resetExtras() {}
    // The header boxes of the window's own, filled from the survey shown.
    virtual void showHeaderExtras() {}
    // Places of the net displacement in fgrdFinalResult (9, 1).
    virtual int netDisplacementPlaces() const { return 5; }

    // --- Shared pieces the subclasses use ---------------------------------------------------
    // The net displacement of the draft as shown: (9, 1) coloured; NetDisplacementValue kept.
    Variant netDisplacementValue() const { return m_netDisplacementValue; }
    void setNetDisplacementValue(const Variant& v) { m_netDisplacementValue = v; }
    // "Invalid Net Displacement value." when the net displacement shown is not plausible.
    bool checkNetDisplacement();
    // On the Final tab: the Initial draft's net displacement into (10, 1) and, unless it is 0,
    // into the box over that cell (else the box keeps a figure typed there). Returns the box's
    // figure, empty counting as 0: the initial net displacement the cargo is worked from.
    Decimal showInitialNetDisplacement();
    // Runs a field rule on a box: writes back what it says, tells the user, recomputes.
    bool applyRule(QLineEdit* box, const SurveyInputRules::Outcome& outcome);
    // Shows a message with the exclamation icon and the application title.
    static void warn(const QString& text);
    // Puts a field under the ship-first guard; `selectsText`: its text is selected on entry.
    void guardField(QWidget* field, bool selectsText);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // Controls, named as the user and the tests know them.
    QComboBox* dcbShip = nullptr;
    QLineEdit* txtVoyageID = nullptr;
    QComboBox* dcbPort = nullptr;
    QLineEdit* txtCargo = nullptr;
    QLineEdit* txtDensity = nullptr;
    QLineEdit* mbxDate = nullptr;
    QLineEdit* mbxTime = nullptr;
    QComboBox* cmbTime = nullptr;
    QComboBox* dcbDate = nullptr;
    QTabWidget* sstQuorvane = nullptr;
    QGroupBox* fmeQuorvane = nullptr;
    QLineEdit* txtFwdPort = nullptr;
    QLineEdit* txtFwdStbd = nullptr;
    QLineEdit* txtMidShipPort = nullptr;
    QLineEdit* txtMidshipStbd = nullptr;
    QLineEdit* txtAftPort = nullptr;
    QLineEdit* txtAftStbd = nullptr;
    QLineEdit* txtFwdMean = nullptr;
    QLineEdit* txtMidshipMean = nullptr;
    QLineEdit* txtAftMean = nullptr;
    QLineEdit* txtFwdCorrection = nullptr;
    QLineEdit* txtMidshipCorrection = nullptr;
    QLineEdit* txtAftCorrection = nullptr;
    QLineEdit* txtFwdTrueDraft = nullptr;
    QLineEdit* txtMidshipTrueDraft = nullptr;
    QLineEdit* txtAftTrueDraft = nullptr;
    QLineEdit* txtFwdX = nullptr;
    QLineEdit* txtMidX = nullptr;
    QLineEdit* txtAftX = nullptr;
    QLineEdit* txtLBP = nullptr;
    QLineEdit* txtLBM = nullptr;
    QLineEdit* txtApparentTrim = nullptr;
    QLineEdit* txtTrueTrim = nullptr;
    QLabel* lblTrueTrim = nullptr;
    QLineEdit* txtTrueMeanDraft = nullptr;
    QLineEdit* txtIpFactor = nullptr;
    QGroupBox* fmeDeflection = nullptr;
    QLineEdit* txtDeflection = nullptr;
    QLabel* lblHogSag = nullptr;
    QPlainTextEdit* txtComments = nullptr;
    QPushButton* cmdCalculate = nullptr;
    // What the checks before signing found about the draft on show.
    FindingsList* lstFindings = nullptr;
    // Both windows show a constant in a panel of their own; the subclass makes the box.
    QLineEdit* txtConstant = nullptr;

private:
    // While the window fills itself no change, focus or tab handler reacts and no field check runs.
    class LoadingScope {
    public:
        explicit LoadingScope(SurveyWindow& w);
        ~LoadingScope();
        LoadingScope(const LoadingScope&) = delete;
        LoadingScope& operator=(const LoadingScope&) = delete;

    private:
        SurveyWindow& m_w;
        bool m_wasLoading;
        bool m_guardWasOn;
    };
    friend class LoadingScope;

    void buildHeader(QVBoxLayout* outer);
    QWidget* buildContent();
    QGroupBox* buildDraftFrame();
    void buildTabOrder();
    void installChecks();

    void InitShipDataCombo();
    void dcbShipChange();
    void fieldFocusIn(QWidget* field, Qt::FocusReason reason);
    void sendToolbarState();

    void RefreshDraftCorrections();
    void showHullDeflection();
    // The rows of the ship's table for the true mean draft of the panel (SurveyHydrostatics.cpp).
    void pickHydrostaticRows(bool reloadTable);

    void ResetSurveyWindow();
    void ClearTextInputs();
    bool copyFormToDraft(int index);
    void LoadDraft(int index);
    void showDraftResults(const clsDraft& draft);
    bool CheckSurveyComplete();
    void clearResultsOfTab();
    void sstQuorvaneClick(int tab);
    void moveContentTo(int tab);
    void cmdCalculateClick();
    // The checks before signing: the draft calculated is checked, withdrawn results take their
    // findings with them, and the list shows those of the tab.
    void checkCalculatedDraft(int draft);
    void clearFindings(int draft);
    void showFindings();
    void closeWindow();

    // The hydrostatic tables typed on a tab and not yet calculated, kept while the other draft
    // is shown (the draft itself takes them only when it calculates).
    struct TypedTables {
        bool kept = false;
        QList<QStringList> hdt, mctcp50, mctcm50;
    };
    void keepTypedTables(int index);
    void restoreTypedTables(int index);

    QString m_className;
    bool m_discharging = false;
    FieldGuard* m_guard = nullptr;
    SurveyGrids* m_grids = nullptr;
    HydrostaticPicker* m_picker = nullptr;
    std::unique_ptr<ResultDisplay> m_results;
    QWidget* m_content = nullptr;  // the block that moves to the tab being shown
    std::array<QWidget*, 3> m_pages{};
    QVBoxLayout* m_panelArea = nullptr;
    QHash<QWidget*, bool> m_guardedFields;  // ship-first guard; true: selects its text

    std::unique_ptr<SurveyModel> m_model;
    clsDraft* m_initialDraft = nullptr;
    clsDraft* m_finalDraft = nullptr;
    clsShip* m_shipRecord = nullptr;
    std::unique_ptr<RowSet> m_dateList;

    bool m_isLoading = false;
    bool m_skipTabClick = false;
    bool m_closed = false;
    bool m_centred = false;
    int m_shownTab = InitialTab;
    int m_currentRecordId = 0;
    Variant m_constant;
    Variant m_netDisplacementValue;
    // Working values of the draft panel, unrounded.
    DraftCorrections::Result m_panel;
    bool m_panelValid = false;
    std::array<TypedTables, 2> m_typedTables;
    // A draft whose last calculation was refused or came to nothing: its earlier results are
    // not shown again beside inputs that no longer give them.
    std::array<bool, 2> m_resultsWithdrawn{};
};
