// A survey window's lifecycle: loading, a new survey, moving the inputs between the window and
// its two drafts, the tab switch between them, the completeness check and Calculate.
#include "survey/SurveyWindow.h"

#include "db/Database.h"
#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/NameList.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/clsDraft.h"
#include "model/clsShip.h"
#include "survey/GridEditor.h"
#include "survey/HydrostaticPicker.h"
#include "survey/ResultDisplay.h"
#include "ui/NameCombo.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

using ResultFigures::figureOrBlank;
using ResultFigures::holdsMarkDistance;

// The text a cell would receive if the box over it were committed now.
QString committedText(const QString& boxText)
{
    const QString t = boxText.trimmed();
    try {
        return ToNumeric(Variant(t), 4, 1).toText();
    } catch (const VbError&) {
        return t;
    }
}

QList<QStringList> grabTable(const GridEditor* g)
{
    QList<QStringList> rows;
    for (int r = 1; r < g->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < g->columnCount(); ++c) {
            const bool editing = r == g->row() && c == g->col() && !g->editor()->isReadOnly();
            cells << (editing ? committedText(g->editor()->text()) : g->text(r, c));
        }
        rows << cells;
    }
    return rows;
}

void putTable(GridEditor* g, const QList<QStringList>& rows)
{
    for (int r = 1; r < g->rowCount() && r - 1 < rows.size(); ++r)
        for (int c = 1; c < g->columnCount(); ++c)
            g->setText(r, c, rows[r - 1].value(c - 1));
    g->setEditorTextQuietly(g->text(g->row(), g->col()));
}

QString textOf(const Variant& v)
{
    return v.isNull() ? QString() : v.toText();
}

// Rows of a list into a drop-down: the shown column as text.
void fillList(QComboBox* list, RowSet& rows, const QString& shown)
{
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        list->addItem(textOf(rows.value(shown)));
    list->setCurrentIndex(-1);
}

}  // namespace

// --- Ship, port and date lists ---------------------------------------------------------------

void SurveyWindow::InitShipDataCombo()
{
    const QSignalBlocker block(dcbShip);
    dcbShip->clear();
    try {
        NameCombo::fill(dcbShip, NameList(SharedConnection(), SqlCatalogue::shipList()));
    } catch (const VbError& e) {
        dcbShip->clear();
        MessageService::sourced(e.description(), m_className, QStringLiteral("InitShipDataCombo"));
    }
}

void SurveyWindow::InitPortDataCombo()
{
    const QSignalBlocker block(dcbPort);
    const QVariant chosen = dcbPort->currentData();
    dcbPort->clear();
    try {
        NameCombo::fill(dcbPort, NameList(SharedConnection(), SqlCatalogue::portList()));
        // A refreshed list keeps the port the survey is in, when it is still there.
        if (chosen.isValid())
            dcbPort->setCurrentIndex(dcbPort->findData(chosen));
    } catch (const VbError& e) {
        dcbPort->clear();
        MessageService::sourced(e.description(), m_className, QStringLiteral("InitPortDataCombo"));
    }
}

void SurveyWindow::InitDateDataCombo()
{
    const QSignalBlocker block(dcbDate);
    dcbDate->clear();
    try {
        if (m_dateList->isOpen())
            m_dateList->close();
        m_dateList->open(SqlCatalogue::dateList(m_currentRecordId), SharedConnection());
        fillList(dcbDate, *m_dateList, QStringLiteral("DSDate"));
    } catch (const VbError& e) {
        dcbDate->clear();
        MessageService::sourced(e.description(), m_className, QStringLiteral("InitDateDataCombo"));
    }
}

void SurveyWindow::dcbShipChange()
{
    if (m_isLoading)
        return;
    const QVariant bound = dcbShip->currentData();
    if (!bound.isValid())
        return;
    const int shipId = bound.toInt();
    try {
        // Both drafts and the survey take her particulars; the survey says when it cannot.
        const SurveyInputRules::Outcome chosen = m_model->setShip(shipId, dcbShip->currentText());
        if (!chosen.accepted) {
            MessageService::show(chosen.message, Msg::Buttons::Ok, chosen.icon, chosen.title);
            return;
        }
        txtLBP->setText(textOf(m_shipRecord->LBP()));
    } catch (const VbError&) {
        // The ship went from the database since the list was filled.
        MessageService::show(QStringLiteral("Unable to retrieve ship particulars."));
        return;
    }
    // A new LBP moves the length between the marks and all that hangs on it, and her own table
    // gives the rows.
    RefreshDraftCorrections();
    pickHydrostaticRows(false);
}

// --- Load and a new survey -------------------------------------------------------------------

void SurveyWindow::formLoad()
{
    LoadingScope loading(*this);
    sstQuorvane->setTabEnabled(DailyTab, false);
    InitShipDataCombo();
    InitPortDataCombo();
    if (hasDateList())
        InitDateDataCombo();
    m_grids->InitializeAllGrids(true);
    m_initialDraft->setDraftType(0);
    m_finalDraft->setDraftType(1);
    NewDraft();
    ResetSurveyWindow();
    m_skipTabClick = false;
}

void SurveyWindow::NewDraft()
{
    m_initialDraft->NewDraft();
    m_finalDraft->NewDraft();
    // Nothing the last survey picked from the table, nor its word on the pick, stays.
    m_picker->forget();
    mbxDate->setText(m_initialDraft->DSDate());
    mbxTime->setText(m_initialDraft->DSTime());
    m_currentRecordId = -1;
    m_constant = Variant::integer(0);
    m_netDisplacementValue = Variant();
    m_typedTables = {};
    m_resultsWithdrawn = {};
    clearFindings(0);
    clearFindings(1);
}

void SurveyWindow::ResetSurveyWindow()
{
    sendToolbarState();
    txtVoyageID->clear();
    dcbPort->setCurrentIndex(-1);
    txtCargo->clear();
    ClearTextInputs();
    lblHogSag->hide();
    txtDeflection->clear();
    m_grids->hdtGrid()->show();
    dcbShip->setEnabled(true);
    dcbPort->setEnabled(true);
    txtCargo->setEnabled(true);
    dcbDate->setEnabled(false);
    cmbTime->setEnabled(false);
    // The window looks as the Initial tab does, even when the reset came from the Final tab.
    showPanelsForTab(InitialTab);
    m_results->hideInitialNetDisplacementBox();
    resetExtras();
}

void SurveyWindow::ClearTextInputs()
{
    const QList<QLineEdit*> boxes = {
        txtVoyageID, txtDensity, txtFwdPort, txtFwdStbd, txtMidShipPort, txtMidshipStbd, txtAftPort,
        txtAftStbd, txtFwdMean, txtMidshipMean, txtAftMean, txtFwdCorrection, txtMidshipCorrection,
        txtAftCorrection, txtFwdTrueDraft, txtMidshipTrueDraft, txtAftTrueDraft, txtFwdX, txtMidX,
        txtAftX, txtLBP, txtLBM, txtApparentTrim, txtTrueTrim, txtTrueMeanDraft, txtIpFactor,
        txtDeflection, m_results->initialNetDisplacementBox(),
    };
    for (QLineEdit* box : boxes)
        box->clear();
    ResultDisplay::paint(m_results->initialNetDisplacementBox(), false);
    txtComments->clear();
    clearPanelTexts();
    m_panel = DraftCorrections::Result();
    m_panelValid = false;
    m_grids->InitializeAllGrids(true);
}

void SurveyWindow::RNew()
{
    {
        LoadingScope loading(*this);
        // First back to the Initial tab, so that the reset lays the result grid out for it.
        sstQuorvane->setCurrentIndex(InitialTab);
        NewDraft();
        ResetSurveyWindow();
    }
    dcbShip->setFocus(Qt::OtherFocusReason);
    sendToolbarState();
}

void SurveyWindow::markCurrentDraftUnsaved()
{
    if (currentTab() == InitialTab)
        m_initialDraft->setToSave(true);
    else if (currentTab() == FinalTab)
        m_finalDraft->setToSave(true);
}

void SurveyWindow::showSurvey(std::unique_ptr<SurveyModel> survey, bool finalEntered)
{
    // What the window would say while it shows the survey, the survey said already.
    MessageService::beginCapture();
    {
        LoadingScope loading(*this);
        m_model = std::move(survey);
        m_initialDraft = &m_model->draft(SurveyModel::Initial);
        m_finalDraft = &m_model->draft(SurveyModel::Final);
        m_shipRecord = &m_model->ship();
        m_typedTables = {};
        m_resultsWithdrawn = {!m_model->calculated(SurveyModel::Initial),
                              !m_model->calculated(SurveyModel::Final)};

        dcbShip->setCurrentIndex(
            dcbShip->findText(m_model->shipName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
        txtLBP->setText(m_model->lbpText());
        txtVoyageID->setText(m_model->voyage());
        dcbPort->setCurrentIndex(dcbPort->findText(m_model->portName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
        txtCargo->setText(m_model->cargo());
        showHeaderExtras();

        sstQuorvane->setCurrentIndex(InitialTab);
        LoadDraft(0);
        if (finalEntered) {
            // As the surveyor's click on the Final tab leaves it: the ship chosen once, the
            // grids laid out afresh, the initial net displacement over its cell.
            sstQuorvane->setCurrentIndex(FinalTab);
            dcbShip->setEnabled(false);
            showPanelsForTab(FinalTab);
            m_grids->InitializeAllGrids(true);
            m_results->showInitialNetDisplacementBox();
            m_results->initialNetDisplacementBox()->setText(
                m_model->inputs(SurveyModel::Final).initialNetDisplacement);
            LoadDraft(1);
        }
    }
    MessageService::endCapture();
    // The constant as its cell gave it after the Initial draft's calculation.
    if (!m_discharging && !constantText().trimmed().isEmpty())
        m_constant = Variant(constantText());
    // The findings the survey made of its drafts, as the tab on show lists them.
    showFindings();
    sendToolbarState();
    txtFwdPort->setFocus(Qt::OtherFocusReason);
}

// --- Window into draft, draft into window ----------------------------------------------------

bool SurveyWindow::CopyFormToDraft(int index)
{
    return copyFormToDraft(index);
}

bool SurveyWindow::copyFormToDraft(int index)
{
    if (dcbShip->currentText().isEmpty())
        return true;
    RefreshDraftCorrections();
    // The open quantity is checked first: a refused one keeps the draft as it was.
    if (!m_grids->validateOpenDeduction())
        return false;
    // The boxes as they stand are the draft's inputs; the survey hands them to the draft.
    SurveyModel::DraftInputs& in = m_model->editInputs(index);
    in.density = txtDensity->text();
    in.date = mbxDate->text();
    in.time = mbxTime->text();
    const QLineEdit* readings[6] = {txtFwdPort, txtFwdStbd, txtMidShipPort, txtMidshipStbd, txtAftPort, txtAftStbd};
    for (int i = 0; i < 6; ++i)
        in.readings[i] = readings[i]->text();
    const QLineEdit* marks[3] = {txtFwdX, txtMidX, txtAftX};
    for (int i = 0; i < 3; ++i) {
        in.marks[i] = marks[i]->text();
        in.ownMarks[i] = true;
    }
    in.deductibles = m_grids->deductionQuantities();
    in.comments = txtComments->toPlainText();
    m_model->copyToDraft(index);
    return true;
}

void SurveyWindow::LoadDraft(int index)
{
    clsDraft& d = index == 0 ? *m_initialDraft : *m_finalDraft;
    try {
        txtDensity->setText(figureOrBlank(d.SpecificGravity()));
        mbxDate->setText(d.DSDate());
        mbxTime->setText(d.DSTime());
        txtFwdPort->setText(figureOrBlank(d.FwdPort()));
        txtFwdStbd->setText(figureOrBlank(d.FwdStbd()));
        txtMidShipPort->setText(figureOrBlank(d.MidPort()));
        txtMidshipStbd->setText(figureOrBlank(d.MidStbd()));
        txtAftPort->setText(figureOrBlank(d.AftPort()));
        txtAftStbd->setText(figureOrBlank(d.AftStbd()));
        // The marks stay where they were read unless this draft has distances of its own.
        const std::pair<QLineEdit*, Variant> marks[3] = {
            {txtFwdX, d.FwdX()}, {txtMidX, d.MidX()}, {txtAftX, d.AftX()}};
        for (const auto& [box, value] : marks)
            if (holdsMarkDistance(value))
                box->setText(value.toText());
        txtComments->setPlainText(d.Comments());
        RefreshDraftCorrections();
        if (d.ToSave())
            showHullDeflection();

        m_grids->loadTables(d);
        restoreTypedTables(index);
        pickHydrostaticRows(true);
        if (m_resultsWithdrawn[index]) {
            txtIpFactor->clear();
            clearPanelsOfTab(index == 0);
            m_netDisplacementValue = Variant();
        } else {
            txtIpFactor->setText(m_grids->ipFactorText(d));
            m_grids->showInterpolation(d);
            showDraftResults(d);
        }
        m_grids->ShowDeductions(d);
    } catch (const VbError&) {
        MessageService::bareSource(m_className, QStringLiteral("LoadDraft"));
    }
}

void SurveyWindow::showDraftResults(const clsDraft& draft)
{
    const QVector<Variant> result = draft.FinalResult();
    m_results->showResultRows(result);
    m_netDisplacementValue = result.value(ResultDisplay::NetDisplacementRow);
    m_results->setRed(ResultDisplay::NetDisplacementRow, 1,
                      !ResultFigures::plausibleNetDisplacement(m_netDisplacementValue));
    m_results->setText(ResultDisplay::NetDisplacementRow, 1,
                       ResultFigures::rounded(m_netDisplacementValue, netDisplacementPlaces()));
    showNetDisplacement(currentTab(), draft);
}

void SurveyWindow::ResetResultGrids()
{
    m_grids->resetInterpolationGrids();
    bool boldLastRow = true;
    const QStringList captions = finalResultCaptions(currentTab(), &boldLastRow);
    m_results->reset(captions, boldLastRow);
}

void SurveyWindow::keepTypedTables(int index)
{
    TypedTables& t = m_typedTables[index];
    t.hdt = grabTable(m_grids->hdtGrid());
    t.mctcp50 = grabTable(m_grids->mctcp50Grid());
    t.mctcm50 = grabTable(m_grids->mctcm50Grid());
    t.kept = true;
}

void SurveyWindow::restoreTypedTables(int index)
{
    const TypedTables& t = m_typedTables[index];
    if (!t.kept)
        return;
    putTable(m_grids->hdtGrid(), t.hdt);
    putTable(m_grids->mctcp50Grid(), t.mctcp50);
    putTable(m_grids->mctcm50Grid(), t.mctcm50);
}

bool SurveyWindow::keptTables(int index, QList<QStringList>* hdt, QList<QStringList>* mctcp50,
                              QList<QStringList>* mctcm50) const
{
    if (index < 0 || index >= int(m_typedTables.size()) || !m_typedTables[index].kept)
        return false;
    const TypedTables& t = m_typedTables[index];
    *hdt = t.hdt;
    *mctcp50 = t.mctcp50;
    *mctcm50 = t.mctcm50;
    return true;
}

// --- The two drafts on their tabs ------------------------------------------------------------

void SurveyWindow::moveContentTo(int tab)
{
    // One block of controls serves every tab: it goes with the tab being shown.
    if (tab < 0 || tab >= int(m_pages.size()) || m_content->parentWidget() == m_pages[tab])
        return;
    m_pages[tab]->layout()->addWidget(m_content);
    m_content->show();
}

void SurveyWindow::sstQuorvaneClick(int tab)
{
    const int previous = m_shownTab;
    m_shownTab = tab;
    moveContentTo(tab);
    if (m_skipTabClick) {
        m_skipTabClick = false;
        return;
    }
    if (m_isLoading)
        return;
    try {
        const bool shipChosen = !dcbShip->currentText().isEmpty();
        if (previous == InitialTab && !shipChosen) {
            m_skipTabClick = true;
            sstQuorvane->setCurrentIndex(InitialTab);
            warn(QStringLiteral("Please select a ship first."));
            return;
        }
        if (previous == InitialTab || previous == FinalTab) {
            const int index = previous == InitialTab ? 0 : 1;
            if (!copyFormToDraft(index)) {
                // The open deductible was refused: stay with the draft it belongs to.
                m_skipTabClick = true;
                sstQuorvane->setCurrentIndex(previous);
                return;
            }
            keepTypedTables(index);
        }
        const bool setUpGrids = shipChosen || initializesGridsWithoutShip();
        if (tab == InitialTab) {
            sendToolbarState();
            dcbShip->setEnabled(true);
            dcbDate->setEnabled(false);
            cmbTime->setEnabled(false);
            showPanelsForTab(InitialTab);
            m_grids->resultGrid()->show();
            m_results->hideInitialNetDisplacementBox();
            if (setUpGrids)
                m_grids->InitializeAllGrids(true);
            if (shipChosen)
                LoadDraft(0);
        } else if (tab == FinalTab) {
            // The ship is chosen once, on the Initial tab.
            dcbShip->setEnabled(false);
            dcbDate->setEnabled(false);
            cmbTime->setEnabled(false);
            showPanelsForTab(FinalTab);
            m_grids->resultGrid()->show();
            sendToolbarState();
            if (setUpGrids)
                m_grids->InitializeAllGrids(true);
            if (shipChosen) {
                m_results->showInitialNetDisplacementBox();
                LoadDraft(1);
            }
        }
        showFindings();
        if (shipChosen)
            txtVoyageID->setFocus(Qt::OtherFocusReason);
    } catch (const VbError&) {
        MessageService::bareSource(m_className, QStringLiteral("sstQuorvane_Click"));
    }
}

// --- Calculate -------------------------------------------------------------------------------

bool SurveyWindow::CheckSurveyComplete()
{
    struct Check {
        bool missing;
        const char* text;
        QWidget* focus;
    };
    const Check checks[14] = {
        {!dcbShip->currentData().isValid(), "Please select ship name.", dcbShip},
        {txtVoyageID->text().trimmed().isEmpty(), "Please enter Voyage-ID.", txtVoyageID},
        {dcbPort->currentText().isEmpty(), "Please select port name.", dcbPort},
        {txtCargo->text().trimmed().isEmpty(), "Please enter value for cargo.", txtCargo},
        {txtDensity->text().isEmpty(), "Please enter value for Density.", txtDensity},
        {txtFwdPort->text().isEmpty(), "Please enter value for Forward Port.", txtFwdPort},
        {txtFwdStbd->text().isEmpty(), "Please enter value for Forward Starboard.", txtFwdStbd},
        {txtMidShipPort->text().isEmpty(), "Please enter value for Midship Port.", txtMidShipPort},
        {txtMidshipStbd->text().isEmpty(), "Please enter value for Midship Starboard.", txtMidshipStbd},
        {txtAftPort->text().isEmpty(), "Please enter value for Aft Port.", txtAftPort},
        {txtAftStbd->text().isEmpty(), "Please enter value for Aft Starboard.", txtAftStbd},
        {txtFwdX->text().isEmpty(), "Please enter value for Fwd X.", txtFwdX},
        {txtMidX->text().isEmpty(), "Please enter value for Mid X.", txtMidX},
        {txtAftX->text().isEmpty(), "Please enter value for Aft X.", txtAftX},
    };
    for (const Check& c : checks) {
        if (c.missing) {
            warn(MessageService::join(QStringLiteral("Incomplete data."), QLatin1String(c.text)));
            c.focus->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return m_grids->validateHydrostaticEditor() && m_grids->CheckHDTGridFilled()
           && m_grids->CheckMCTCP50GridFilled() && m_grids->CheckMCTCM50GridFilled();
}

void SurveyWindow::clearResultsOfTab()
{
    const bool initialTab = currentTabCaption() == QLatin1String("Initial");
    ResetResultGrids();
    txtIpFactor->clear();
    clearPanelsOfTab(initialTab);
    m_netDisplacementValue = Variant();
    if (initialTab)
        m_resultsWithdrawn[0] = true;
    else if (currentTabCaption() == QLatin1String("Final"))
        m_resultsWithdrawn[1] = true;
    if (initialTab || currentTabCaption() == QLatin1String("Final"))
        clearFindings(initialTab ? 0 : 1);
}

void SurveyWindow::cmdCalculateClick()
{
    // A field still being typed in (Alt+C reaches the button without leaving it) is checked first.
    if (!m_guard->validateFocused())
        return;
    if (!CheckSurveyComplete())
        return;
    m_grids->writeDifferenceRows();
    if (m_grids->firstNegativeDifference()) {
        clearResultsOfTab();
        warn(MessageService::join(QStringLiteral("Invalid hydrostatic details...!"),
                                  QStringLiteral("Difference of Above & Below can't be negative.")));
        return;
    }
    const QString caption = currentTabCaption();
    const int index = caption == QLatin1String("Final") ? 1 : 0;
    clsDraft* draft = caption == QLatin1String("Initial") ? m_initialDraft
                      : caption == QLatin1String("Final") ? m_finalDraft
                                                          : nullptr;
    try {
        if (draft) {
            if (!copyFormToDraft(index))
                return;  // the open deductible was refused; it keeps the focus
            m_grids->assignTables(*draft);
            m_typedTables[index].kept = false;
            // The draft enters the hydrostatic table at the true mean draft; with none it works
            // out nothing, and the window must not look as if it had.
            if (!m_panelValid || !m_panel.corrected || m_panel.trueMeanDraft.isZero()) {
                clearResultsOfTab();
                warn(MessageService::join(
                    QStringLiteral("The true mean draft is 0: nothing was calculated."),
                    QStringLiteral("Please check the draft readings, the mark distances and the LBP "
                                   "of the ship.")));
                txtFwdPort->setFocus(Qt::OtherFocusReason);
                return;
            }
            draft->Calculate();
            m_resultsWithdrawn[index] = false;
        }
        LoadDraft(index);
        checkPlausibility();
        if (draft)
            checkCalculatedDraft(index);
    } catch (const VbError&) {
        MessageService::bareSource(m_className, QStringLiteral("cmdCalculate_Click"));
    }
    txtFwdPort->setFocus(Qt::OtherFocusReason);
}

bool SurveyWindow::checkNetDisplacement()
{
    const Variant& v = m_netDisplacementValue;
    const bool empty = v.isEmpty() || v.isNull() || (v.isText() && v.toText().trimmed().isEmpty());
    if (empty || ResultFigures::plausibleNetDisplacement(v))
        return true;
    warn(MessageService::join(QStringLiteral("Invalid Net Displacement value."),
                              QStringLiteral("Please check your input values.")));
    return false;
}
