#pragma once

#include "ui/ChildWindow.h"
#include "core/Variant.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
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

class SurveyDraft;
class ShipRecord;
class FieldGuard;
class HydrostaticPicker;
class FindingsList;
class ParticularsDialog;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TankSheetPanel;
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
    void newRecord() override;
    void print(bool showPreview = true) override;

    // Both drafts emptied and stamped with the current date and time.
    void clearDrafts();
    void fillPortList();
    void fillDateList();

    // The survey's header as the window shows it.
    QString shipText() const;
    QString portText() const;
    Variant portId() const;  // Empty when no port is chosen
    QString lbpText() const;
    QString voyageIdText() const;
    QString cargoText() const;
    QString constantText() const;                  // txtConstant, empty until worked out
    QString finalResultText(int row, int column) const;  // fgrdFinalResult
    virtual QString cargoResultText() const = 0;   // the Total Cargo box of the window
    QString initialNetDisplacementText() const;    // txtFnlGrdTxtBox, typed on the Final tab
    // The draft of the tab on show: SurveyModel::Initial or SurveyModel::Final.
    int draftOnShow() const;
    // The tab on show (TabIndex), and another shown as the surveyor's click shows it.
    int currentTab() const;
    void showTab(int tab);
    // A figure typed into a table's box and not yet taken into its cell.
    bool tableEntryInProgress() const;
    // The window's inputs into the Initial (0) or Final (1) draft, as the calculation does; false
    // when the open deductible is refused (the draft keeps what it had).
    bool copyInputsToDraft(int index);
    // The survey the window edits and shows: the ship record and the two drafts live there.
    SurveyModel& model() const { return *m_model; }
    // The header and the draft on show handed to the survey; the report and the survey file
    // read the rest from the survey's own figures.
    void syncModel();
    // A survey file into the window: the survey enters it, as far as it goes, and the window
    // takes that survey as its own and shows it as after the surveyor's own entry (on the Final
    // tab when the entry reached the Final draft). A value the survey refused stands in its box
    // or cell, which takes the focus, as does the field a calculation stopped at. Nothing is
    // said: the result holds what the survey said on the way.
    SurveyLoadResult enterFile(const SurveyFileData& data, const QString& fileName,
                               SurveyFileModel::Calculate calc = {});
    // The survey as a file: the header, the draft on show as its boxes and grids hold it (first
    // handed to its draft, as a tab switch does), and the other draft as the survey keeps it.
    SurveyFileData surveyData();
    // Shows what the survey had to say, in order.
    static void tell(const SurveyMessages& messages);
    // The report of the survey as Print Preview (or Print) fills it; nothing when it cannot be.
    std::optional<ReportLayout> fillReport(bool showPreview);
    // The survey's particulars and the times of the readings, for the calculation sheet: the
    // Particulars button (Alt+R) or Ctrl+Shift+P. Opened without waiting for it to close.
    ParticularsDialog* openParticulars();
    SurveyDraft& initialDraft() const { return m_model->draft(SurveyModel::Initial); }
    SurveyDraft& finalDraft() const { return m_model->draft(SurveyModel::Final); }
    ShipRecord& shipRecord() const { return *m_shipRecord; }
    // Fills the hydrostatic grids from the ship's table (nothing for a ship without one).
    HydrostaticPicker* hydrostaticPicker() const { return m_picker; }

    // SurveyGridsHost
    bool isFilling() const override { return m_filling; }
    QString className() const override { return m_className; }
    bool isDischarging() const override { return m_discharging; }
    bool requireShip() override;
    FieldGuard& fieldGuard() { return *m_guard; }
    SurveyInputRules::Outcome enterTableFigure(SurveyModel::Table table, int row, int column,
                                               const QString& typed) override;
    SurveyInputRules::Outcome enterDeduction(int itemId, const QString& typed) override;
    void tablesEdited() override;
    void resetResultGrids() override;

protected:
    // `className` names the window in failure texts ("frmQuorvane").
    SurveyWindow(const QString& className, bool discharging, QWidget* parent = nullptr);

    // The window load, in its order; the subclass calls it at the end of its constructor.
    void formLoad();

    // Where the subclass puts its net displacement, constant and cargo panels.
    QVBoxLayout* panelArea() const { return m_panelArea; }
    ResultDisplay& results() const { return *m_results; }
    SurveyGrids& grids() const { return *m_grids; }
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
    virtual void showNetDisplacement(int tab, const SurveyDraft& draft) = 0;
    // The mark boxes select their text on focus.
    virtual bool marksSelectOnFocus() const { return false; }
    // Ctrl+F4 closes the window from any control, not only from the ship and port lists.
    virtual bool closesOnCtrlF4Anywhere() const { return false; }
    // The list of stored survey dates exists.
    virtual bool hasDateList() const { return true; }
    // The grids are set up on a tab switch even without a ship.
    virtual bool initializesGridsWithoutShip() const { return false; }
    // Extra steps at the end of resetSurveyWindow.
    virtual void resetExtras() {}
    // The header boxes of the window's own, filled from the survey shown.
    virtual void showHeaderExtras() {}
    // A box of the window's own by the survey file's name of its field ("blQuantity").
    virtual QWidget* extraField(const QString& field) const
    {
        (void)field;
        return nullptr;
    }
    // Places of the net displacement in fgrdFinalResult (9, 1).
    virtual int netDisplacementPlaces() const { return 5; }

    // --- Shared pieces the subclasses use ---------------------------------------------------
    // On the Final tab: the Initial draft's net displacement into (10, 1) and, unless it is 0,
    // into the box over that cell (else the box keeps a figure typed there).
    void showInitialNetDisplacement();
    // Writes back what the survey's rule made of a box's text, tells the user what it says, and
    // shows the draft panel again when the rule says so.
    bool applyRule(QLineEdit* box, const SurveyInputRules::Outcome& outcome);
    // Shows a message with the exclamation icon and the application title.
    static void warn(const QString& text);
    // Puts a field under the ship-first guard; `selectsText`: its text is selected on entry.
    void guardField(QWidget* field, bool selectsText);

Q_SIGNALS:
    // Something the survey holds was taken: Calculate pressed, another tab, ship or port chosen.
    void surveyTaken();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

    // Controls, named as the user and the tests know them.
    QComboBox* dcbShip = nullptr;
    QLineEdit* txtVoyageID = nullptr;
    QComboBox* dcbPort = nullptr;
    QLineEdit* txtCargo = nullptr;
    QLineEdit* txtDensity = nullptr;
    QLineEdit* mbxDate = nullptr;
    QLineEdit* mbxTime = nullptr;
    QComboBox* cmbTime = nullptr;
    // The list correction, chosen for the survey, and the TPCs at the midship drafts typed for it
    // when the ship has no table of her own.
    QCheckBox* chkListCorrection = nullptr;
    QLineEdit* txtListTpcPort = nullptr;
    QLineEdit* txtListTpcStbd = nullptr;
    void showListCorrection(int index);
    QComboBox* dcbDate = nullptr;
    QTabWidget* sstQuorvane = nullptr;
    // The tank sheet of the draft on show, under the deductibles (for a ship with tank tables).
    TankSheetPanel* fgrdTanks = nullptr;
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
    QPushButton* cmdParticulars = nullptr;
    // What the checks before signing found about the draft on show.
    FindingsList* lstFindings = nullptr;
    // Both windows show a constant in a panel of their own; the subclass makes the box.
    QLineEdit* txtConstant = nullptr;

private:
    // While the window fills itself no change, focus or tab handler reacts and no field check runs.
    class FillingScope {
    public:
        explicit FillingScope(SurveyWindow& w);
        ~FillingScope();
        FillingScope(const FillingScope&) = delete;
        FillingScope& operator=(const FillingScope&) = delete;

    private:
        SurveyWindow& m_w;
        bool m_wasFilling;
        bool m_guardWasOn;
    };
    friend class FillingScope;

    void buildHeader(QVBoxLayout* outer);
    QWidget* buildContent();
    QGroupBox* buildDraftFrame();
    void buildTabOrder();
    void installChecks();

    void fillShipList();
    void dcbShipChange();
    void fieldFocusIn(QWidget* field, Qt::FocusReason reason);
    void sendToolbarState();

    // The six reading boxes (fwd port, fwd stbd, mid port, mid stbd, aft port, aft stbd) and the
    // three mark boxes (Fwd X, Mid X, Aft X).
    std::array<QLineEdit*, 6> readingBoxes() const;
    std::array<QLineEdit*, 3> markBoxes() const;
    // A box left: its text handed to the survey's field rule for the draft on show.
    bool enterField(QLineEdit* box, SurveyModel::Field field);
    // The draft panel of the draft on show, as the survey works it out.
    void showPanel();
    void showHullDeflection();
    // The rows of the ship's table for the true mean draft of the panel (SurveyHydrostatics.cpp).
    void pickHydrostaticRows(bool reloadTable);

    void resetSurveyWindow();
    void clearTextInputs();
    // The boxes and grids of the draft on show into the survey's inputs of that draft.
    void handFormToModel(int index);
    // A draft as the survey holds it into the boxes and grids; `remind`: what the survey says
    // each time the draft is shown again is said.
    void showDraft(int index, bool remind);
    void showDraftResults(const SurveyDraft& draft);
    void clearResultsOfTab();
    void dropOutdatedResults();
    // The box or cell of a field the survey names ("voyage", "drafts.fwdPort", "marks.aftX",
    // "hydrostatics.below.tpc") takes the focus.
    void focusField(const QString& field);
    QWidget* fieldWidget(const QString& field) const;
    // Shows a survey worked out without the window; `whole`: entered and calculated whole, so
    // that a draft it did not calculate shows no results at all.
    void showSurvey(std::unique_ptr<SurveyModel> survey, bool finalEntered, bool whole);
    // A file's name of a field ("initial.drafts.fwdPort") as the survey names it in a draft.
    static QString withoutDraft(const QString& field);
    // The text a survey file gave a field, refused there, back in its box or cell.
    void showRefused(const QString& field, const QString& value);
    void sstQuorvaneClick(int tab);
    void moveContentTo(int tab);
    void cmdCalculateClick();
    // The checks before signing the survey made of the drafts, as the tab on show lists them.
    void showFindings();
    void closeWindow();

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
    ShipRecord* m_shipRecord = nullptr;
    std::unique_ptr<RowSet> m_dateList;

    bool m_filling = false;
    bool m_tabbing = false;  // a Tab or Shift+Tab of the surveyor's is moving the focus
    bool m_skipTabClick = false;
    bool m_closed = false;
    bool m_centred = false;
    int m_shownTab = InitialTab;
    int m_currentRecordId = 0;
    Variant m_netDisplacementValue;
    // A draft whose last calculation was refused or came to nothing: its earlier results are
    // not shown again beside inputs that no longer give them.
    QHash<int, bool> m_resultsWithdrawn;

    // --- Draft checks on the "Daily" tab (SurveyDraftChecksView.cpp) ---------------------------
    // The checks list with its Add and Remove buttons, the planned cargo of a loading, and the
    // figures of the check on show; the draft itself is shown in the same boxes and grids as the
    // Initial and Final drafts.
    QWidget* buildCheckBar();
    void checkBarTabOrder();
    // The list, the buttons and the figures as the survey holds them.
    void refreshCheckBar();
    // The Daily tab shown: the chosen check in the boxes, or none while there is none.
    void showDailyTab();
    // The check of that draft index into the boxes and grids (-1: no check, the boxes hidden).
    void showCheck(int draft);
    void addCheckClick();
    void removeCheckClick();
    void chooseCheckClick(int row);
    bool checkPlannedCargo();
    // Rows 9 to 11 of the result grid and the check's figures, once its rows 0 to 8 are shown.
    void showCheckResults();
    QStringList checkResultCaptions() const;
    // The boxes hold the inputs of that draft (on the Daily tab only those of the check shown).
    bool boxesHold(int draft) const;

    QGroupBox* fmeDraftChecks = nullptr;
    QComboBox* cmbDraftCheck = nullptr;
    QPushButton* cmdAddCheck = nullptr;
    QPushButton* cmdRemoveCheck = nullptr;
    QLineEdit* txtPlannedCargo = nullptr;  // loading only
    QLineEdit* txtCheckNetDisp = nullptr;
    QLineEdit* txtCheckCargo = nullptr;
    QLineEdit* txtCheckRemaining = nullptr;  // still to load (loading), still on board (discharging)
    int m_checkShown = -1;
};
