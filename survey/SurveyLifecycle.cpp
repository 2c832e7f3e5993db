// A survey window's lifecycle: loading, a new survey, moving the inputs between the window and
// its two drafts, the tab switch between them, the completeness check and Calculate.
#include "survey/SurveyWindow.h"
#include "survey/TankSheetPanel.h"

#include "db/Database.h"
#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/NameList.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/SurveyFieldNames.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"
#include "survey/GridEditor.h"
#include "survey/HydrostaticPicker.h"
#include "survey/ResultDisplay.h"
#include "ui/NameCombo.h"

#include <QCheckBox>
#include <QSignalBlocker>
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

void SurveyWindow::fillShipList()
{
    const QSignalBlocker block(dcbShip);
    dcbShip->clear();
    try {
        NameCombo::fill(dcbShip, NameList(sharedConnection(), SqlCatalogue::shipList()));
    } catch (const VbError& e) {
        dcbShip->clear();
        MessageService::sourced(e.description(), m_className, QStringLiteral("InitShipDataCombo"));
    }
}

void SurveyWindow::fillPortList()
{
    const QSignalBlocker block(dcbPort);
    const QVariant chosen = dcbPort->currentData();
    dcbPort->clear();
    try {
        NameCombo::fill(dcbPort, NameList(sharedConnection(), SqlCatalogue::portList()));
        // A refreshed list keeps the port the survey is in, when it is still there.
        if (chosen.isValid())
            dcbPort->setCurrentIndex(dcbPort->findData(chosen));
    } catch (const VbError& e) {
        dcbPort->clear();
        MessageService::sourced(e.description(), m_className, QStringLiteral("InitPortDataCombo"));
    }
}

void SurveyWindow::fillDateList()
{
    const QSignalBlocker block(dcbDate);
    dcbDate->clear();
    try {
        if (m_dateList->isOpen())
            m_dateList->close();
        m_dateList->open(SqlCatalogue::dateList(m_currentRecordId), sharedConnection());
        fillList(dcbDate, *m_dateList, QStringLiteral("DSDate"));
    } catch (const VbError& e) {
        dcbDate->clear();
        MessageService::sourced(e.description(), m_className, QStringLiteral("InitDateDataCombo"));
    }
}

void SurveyWindow::dcbShipChange()
{
    if (m_filling)
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
        txtLBP->setText(textOf(m_shipRecord->lbp()));
    } catch (const VbError&) {
        // The ship went from the database since the list was filled.
        MessageService::show(QStringLiteral("Unable to retrieve ship particulars."));
        return;
    }
    // A new LBP moves the length between the marks and all that hangs on it, and her own table
    // gives the rows.
    showPanel();
    pickHydrostaticRows(false);
    // Her tank tables, if she has some, give the tank sheet its rows.
    fgrdTanks->showDraft(draftOnShow());
}

// --- Load and a new survey -------------------------------------------------------------------

void SurveyWindow::formLoad()
{
    FillingScope loading(*this);
    fillShipList();
    fillPortList();
    if (hasDateList())
        fillDateList();
    m_grids->initializeAllGrids(true);
    clearDrafts();
    resetSurveyWindow();
    m_skipTabClick = false;
}

void SurveyWindow::clearDrafts()
{
    // Both drafts emptied and stamped with the date and time now; the header stays.
    m_model->clear();
    // Nothing the last survey picked from the table, nor its word on the pick, stays.
    m_picker->forget();
    mbxDate->setText(m_model->inputs(SurveyModel::Initial).date);
    mbxTime->setText(m_model->inputs(SurveyModel::Initial).time);
    m_currentRecordId = -1;
    m_resultsWithdrawn = {};
    // A new survey has no draft checks.
    m_checkShown = -1;
    refreshCheckBar();
    showFindings();
}

void SurveyWindow::resetSurveyWindow()
{
    sendToolbarState();
    txtVoyageID->clear();
    dcbPort->setCurrentIndex(-1);
    txtCargo->clear();
    clearTextInputs();
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

void SurveyWindow::clearTextInputs()
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
    m_grids->initializeAllGrids(true);
}

void SurveyWindow::newRecord()
{
    {
        FillingScope loading(*this);
        // First back to the Initial tab, so that the reset lays the result grid out for it.
        sstQuorvane->setCurrentIndex(InitialTab);
        clearDrafts();
        resetSurveyWindow();
    }
    dcbShip->setFocus(Qt::OtherFocusReason);
    sendToolbarState();
}

SurveyLoadResult SurveyWindow::enterFile(const SurveyFileData& data, const QString& fileName,
                                         SurveyFileModel::Calculate calc)
{
    auto survey = std::make_unique<SurveyModel>(m_discharging ? SurveyModel::Kind::Discharging
                                                              : SurveyModel::Kind::Loading);
    const SurveyLoadResult result = SurveyFileModel::load(*survey, data, fileName, calc);
    using Outcome = SurveyLoadResult::Outcome;
    // A refusal stops the entry where it stands: in the header or the Initial draft, the Final
    // draft was never reached.
    const bool refused = result.outcome == Outcome::Refused;
    const QString finalDraft = SurveyFieldNames::kDrafts[SurveyModel::Final] + QLatin1Char('.');
    const bool finalEntered = data.final.has_value() && (!refused || result.field.startsWith(finalDraft));
    showSurvey(std::move(survey), finalEntered, result.loaded() && calc.initial && calc.final);
    if (refused)
        showRefused(result.field, result.value);
    else if (!result.loaded())
        focusField(withoutDraft(result.field));
    return result;
}

QString SurveyWindow::withoutDraft(const QString& field)
{
    // The survey's name of a field: after the draft's name for a draft's, else the header's.
    for (QLatin1String draft : SurveyFieldNames::kDrafts)
        if (field.startsWith(draft + QLatin1Char('.')))
            return field.mid(draft.size() + 1);
    return field;
}

void SurveyWindow::showRefused(const QString& field, const QString& value)
{
    namespace Names = SurveyFieldNames;
    const QString name = withoutDraft(field);
    if (name.startsWith(Names::kDeductibles + QLatin1Char('.'))) {
        if (m_grids->focusDeduction(name.section(QLatin1Char('.'), 1).toInt()))
            m_grids->deductionEditor()->setText(value);
        return;
    }
    if (GridEditor* grid = m_grids->focusCell(name)) {
        // Quietly: the hydrostatic box would take back a keystroke that makes no figure.
        grid->setEditorTextQuietly(value);
        return;
    }
    QWidget* widget = fieldWidget(name);
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        box->setText(value);
    if (widget)
        widget->setFocus(Qt::OtherFocusReason);
}

void SurveyWindow::showSurvey(std::unique_ptr<SurveyModel> survey, bool finalEntered, bool whole)
{
    {
        FillingScope loading(*this);
        m_model = std::move(survey);
        m_shipRecord = &m_model->ship();
        // A survey entered whole shows no results for a draft it did not calculate; one entered
        // as far as it went shows its drafts as after the surveyor's own entry.
        for (int i : {SurveyModel::Initial, SurveyModel::Final})
            m_resultsWithdrawn[i] = whole ? !m_model->calculated(i) : m_model->withdrawn(i);
        m_checkShown = -1;
        for (int i : m_model->draftChecks())
            m_resultsWithdrawn[i] = whole ? !m_model->calculated(i) : m_model->withdrawn(i);
        refreshCheckBar();

        dcbShip->setCurrentIndex(
            dcbShip->findText(m_model->shipName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
        txtLBP->setText(m_model->lbpText());
        txtVoyageID->setText(m_model->voyage());
        dcbPort->setCurrentIndex(dcbPort->findText(m_model->portName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
        txtCargo->setText(m_model->cargo());
        showHeaderExtras();

        // What the survey said on the way, it has said: the drafts are shown without a word.
        sstQuorvane->setCurrentIndex(InitialTab);
        showDraft(SurveyModel::Initial, false);
        if (finalEntered) {
            // As the surveyor's click on the Final tab leaves it: the ship chosen once, the
            // grids laid out afresh, the initial net displacement over its cell.
            sstQuorvane->setCurrentIndex(FinalTab);
            dcbShip->setEnabled(false);
            showPanelsForTab(FinalTab);
            m_grids->initializeAllGrids(true);
            m_results->showInitialNetDisplacementBox();
            m_results->initialNetDisplacementBox()->setText(
                m_model->inputs(SurveyModel::Final).initialNetDisplacement);
            showDraft(SurveyModel::Final, false);
        }
    }
    // The findings the survey made of its drafts, as the tab on show lists them.
    showFindings();
    sendToolbarState();
    txtFwdPort->setFocus(Qt::OtherFocusReason);
}

// --- Window into draft, draft into window ----------------------------------------------------

int SurveyWindow::draftOnShow() const
{
    // The Daily tab shows the check chosen there (none yet: the boxes are hidden).
    if (currentTab() == DailyTab)
        return m_checkShown >= 0 ? m_checkShown : int(SurveyModel::Final);
    return currentTab() == FinalTab ? SurveyModel::Final : SurveyModel::Initial;
}

bool SurveyWindow::copyInputsToDraft(int index)
{
    if (dcbShip->currentText().isEmpty())
        return true;
    // The open quantity is checked first: a refused one keeps the draft as it was.
    if (!m_grids->validateOpenDeduction())
        return false;
    handFormToModel(index);
    showPanel();
    m_model->copyToDraft(index);
    return true;
}

void SurveyWindow::handFormToModel(int index)
{
    // The boxes as they stand are the draft's inputs.
    SurveyModel::DraftInputs& in = m_model->editInputs(index);
    in.density = txtDensity->text();
    in.date = mbxDate->text();
    in.time = mbxTime->text();
    for (int i = 0; i < 6; ++i)
        in.readings[i] = readingBoxes()[i]->text();
    for (int i = 0; i < 3; ++i) {
        in.marks[i] = markBoxes()[i]->text();
        in.ownMarks[i] = true;
    }
    // The deductibles are the survey's already: each quantity is handed over as its cell is left.
    m_grids->tablesInto(in);
    in.comments = txtComments->toPlainText();
    in.listTpc = {txtListTpcPort->text().trimmed(), txtListTpcStbd->text().trimmed()};
}

void SurveyWindow::showListCorrection(int index)
{
    const SurveyModel::DraftInputs& in = m_model->inputs(index);
    const bool on = m_model->listCorrection();
    const QSignalBlocker quiet(chkListCorrection);
    chkListCorrection->setChecked(on);
    // With the ship's own table the TPCs are read off it: nothing to type.
    const bool typed = on && !m_model->listTpcFromTable();
    txtListTpcPort->setEnabled(typed);
    txtListTpcStbd->setEnabled(typed);
    txtListTpcPort->setText(in.listTpc[SurveyModel::Port]);
    txtListTpcStbd->setText(in.listTpc[SurveyModel::Starboard]);
}

void SurveyWindow::showDraft(int index, bool remind)
{
    const SurveyModel::DraftInputs& in = m_model->inputs(index);
    SurveyDraft& d = m_model->draft(index);
    try {
        txtDensity->setText(figureOrBlank(Variant(in.density)));
        mbxDate->setText(in.date);
        mbxTime->setText(in.time);
        for (int i = 0; i < 6; ++i)
            readingBoxes()[i]->setText(figureOrBlank(Variant(in.readings[i])));
        // The marks stay where they were read unless this draft has distances of its own.
        for (int i = 0; i < 3; ++i) {
            const QString mark = m_model->markText(index, i);
            if (holdsMarkDistance(Variant(mark)))
                markBoxes()[i]->setText(mark);
        }
        txtComments->setPlainText(in.comments);
        showListCorrection(index);
        showPanel();

        m_grids->showTables(in, m_model->differences(index));
        pickHydrostaticRows(true);
        if (m_resultsWithdrawn[index]) {
            txtIpFactor->clear();
            clearPanelsOfTab(index == SurveyModel::Initial);
            m_netDisplacementValue = Variant();
        } else {
            txtIpFactor->setText(m_grids->ipFactorText(d));
            m_grids->showInterpolation(d);
            showDraftResults(d);
            if (remind)
                tell(m_model->resultWarnings(index));
        }
        m_grids->showDeductions(in.deductibles, d);
        fgrdTanks->showDraft(index);
    } catch (const VbError&) {
        MessageService::bareSource(m_className, QStringLiteral("LoadDraft"));
    }
}

void SurveyWindow::showDraftResults(const SurveyDraft& draft)
{
    const QVector<Variant> result = draft.finalResult();
    m_results->showResultRows(result);
    m_netDisplacementValue = result.value(ResultDisplay::NetDisplacementRow);
    m_results->setRed(ResultDisplay::NetDisplacementRow, 1,
                      !ResultFigures::plausibleNetDisplacement(m_netDisplacementValue));
    m_results->setText(ResultDisplay::NetDisplacementRow, 1,
                       ResultFigures::rounded(m_netDisplacementValue, netDisplacementPlaces()));
    if (currentTab() == DailyTab)
        showCheckResults();
    else
        showNetDisplacement(currentTab(), draft);
}

void SurveyWindow::resetResultGrids()
{
    m_grids->resetInterpolationGrids();
    bool boldLastRow = true;
    QStringList captions = finalResultCaptions(currentTab(), &boldLastRow);
    if (currentTab() == DailyTab) {
        captions = checkResultCaptions();
        boldLastRow = false;
    }
    m_results->reset(captions, boldLastRow);
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
    if (m_filling)
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
            const int index = previous == InitialTab ? SurveyModel::Initial : SurveyModel::Final;
            if (!copyInputsToDraft(index)) {
                // The open deductible was refused: stay with the draft it belongs to.
                m_skipTabClick = true;
                sstQuorvane->setCurrentIndex(previous);
                return;
            }
        } else if (previous == DailyTab && m_checkShown >= 0) {
            if (!copyInputsToDraft(m_checkShown)) {
                m_skipTabClick = true;
                sstQuorvane->setCurrentIndex(previous);
                return;
            }
        }
        if (previous == DailyTab) {
            // The boxes come back to the draft of the tab shown, wherever the Daily tab left them.
            m_checkShown = -1;
            m_content->show();
            for (QWidget* box : {txtDensity, mbxDate, mbxTime})
                box->setEnabled(true);
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
                m_grids->initializeAllGrids(true);
            if (shipChosen)
                showDraft(SurveyModel::Initial, true);
        } else if (tab == FinalTab) {
            // The ship is chosen once, on the Initial tab.
            dcbShip->setEnabled(false);
            dcbDate->setEnabled(false);
            cmbTime->setEnabled(false);
            showPanelsForTab(FinalTab);
            m_grids->resultGrid()->show();
            sendToolbarState();
            if (setUpGrids)
                m_grids->initializeAllGrids(true);
            if (shipChosen) {
                m_results->showInitialNetDisplacementBox();
                showDraft(SurveyModel::Final, true);
            }
        } else if (tab == DailyTab) {
            sendToolbarState();
            m_grids->resultGrid()->show();
            if (setUpGrids)
                m_grids->initializeAllGrids(true);
            showDailyTab();
        }
        showFindings();
        if (shipChosen)
            txtVoyageID->setFocus(Qt::OtherFocusReason);
    } catch (const VbError&) {
        MessageService::bareSource(m_className, QStringLiteral("sstQuorvane_Click"));
    }
}

// --- Calculate -------------------------------------------------------------------------------

void SurveyWindow::clearResultsOfTab()
{
    const int index = draftOnShow();
    resetResultGrids();
    txtIpFactor->clear();
    clearPanelsOfTab(index == SurveyModel::Initial);
    m_netDisplacementValue = Variant();
    m_resultsWithdrawn[index] = true;
}

void SurveyWindow::cmdCalculateClick()
{
    // A field still being typed in (Alt+C reaches the button without leaving it) is checked first.
    if (!m_guard->validateFocused())
        return;
    const int index = draftOnShow();
    using Stop = SurveyModel::Calculation::Stop;
    try {
        if (!copyInputsToDraft(index))
            return;  // the open deductible was refused; it keeps the focus
        syncModel();
        const SurveyModel::Calculation c = m_model->calculate(index);
        if (c.stop == Stop::Incomplete || c.stop == Stop::BlankTable) {
            tell(c.messages);
            focusField(c.field);
            return;
        }
        m_grids->showDifferences(m_model->differences(index));
        if (c.stop == Stop::NegativeDifference || c.stop == Stop::NoTrueMeanDraft) {
            // Nothing of the earlier results may look as if it still stood.
            clearResultsOfTab();
            showFindings();
            tell(c.messages);
            if (c.stop == Stop::NoTrueMeanDraft)
                txtFwdPort->setFocus(Qt::OtherFocusReason);
            return;
        }
        m_resultsWithdrawn[index] = false;
        showDraft(index, false);
        tell(c.messages);
        showFindings();
    } catch (const VbError&) {
        MessageService::bareSource(m_className, QStringLiteral("cmdCalculate_Click"));
    }
    txtFwdPort->setFocus(Qt::OtherFocusReason);
}

void SurveyWindow::focusField(const QString& field)
{
    if (m_grids->focusCell(field))
        return;
    if (QWidget* box = fieldWidget(field))
        box->setFocus(Qt::OtherFocusReason);
}

QWidget* SurveyWindow::fieldWidget(const QString& field) const
{
    namespace Names = SurveyFieldNames;
    for (int i = 0; i < 6; ++i)
        if (field == Names::reading(i))
            return readingBoxes()[i];
    for (int i = 0; i < 3; ++i)
        if (field == Names::mark(i))
            return markBoxes()[i];
    const std::pair<QLatin1String, QWidget*> boxes[7] = {
        {Names::kShip, dcbShip}, {Names::kVoyage, txtVoyageID}, {Names::kPort, dcbPort},
        {Names::kCargo, txtCargo}, {Names::kDensity, txtDensity},
        // The readings together give no true mean draft: the first of them.
        {Names::kReadingsGroup, txtFwdPort},
        {Names::kInitialNetDisplacement, m_results->initialNetDisplacementBox()}};
    for (const auto& [name, box] : boxes)
        if (field == name)
            return box;
    return extraField(field);
}

void SurveyWindow::tell(const SurveyMessages& messages)
{
    for (const SurveyMessage& m : messages)
        MessageService::show(m.text, Msg::Buttons::Ok, m.icon, m.title);
}
