// The "Daily" tab of a survey window: the draft checks read between the Initial and the Final
// draft. The list chooses the check on show; the check itself is typed into the same boxes and
// grids as the two drafts and worked out by the survey in the same way. Beside the list stand
// what the check tells the surveyor: its net displacement, the cargo since the Initial draft and,
// on a loading with a planned cargo, what is still to load; on a discharge with a B/L quantity,
// what is still on board.
#include "core/MessageService.h"
#include "core/Variant.h"
#include "model/ResultFigures.h"
#include "model/SurveyDraft.h"
#include "survey/FindingsList.h"
#include "survey/ResultDisplay.h"
#include "survey/SurveyWindow.h"
#include "ui/FieldGuard.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

QString figure(const std::optional<Decimal>& d)
{
    return d ? d->toLocaleString(QLocale()) : QString();
}

} // namespace

QWidget* SurveyWindow::buildCheckBar()
{
    fmeDraftChecks = new QGroupBox(QStringLiteral("Draft Checks"));
    fmeDraftChecks->setObjectName(QStringLiteral("fmeDraftChecks"));
    auto* g = new QGridLayout(fmeDraftChecks);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(3);

    cmbDraftCheck = new QComboBox;
    cmbDraftCheck->setObjectName(QStringLiteral("cmbDraftCheck"));
    cmbDraftCheck->setMinimumWidth(220);
    // "Check 12 - 08-12-2026 05:49" whole, whatever the font.
    cmbDraftCheck->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmdAddCheck = new QPushButton(QStringLiteral("A&dd Check"));
    cmdAddCheck->setObjectName(QStringLiteral("cmdAddCheck"));
    cmdRemoveCheck = new QPushButton(QStringLiteral("Re&move Check"));
    cmdRemoveCheck->setObjectName(QStringLiteral("cmdRemoveCheck"));
    auto* checkCaption = new QLabel(QStringLiteral("Chec&k"));
    checkCaption->setBuddy(cmbDraftCheck);
    g->addWidget(checkCaption, 0, 0);
    g->addWidget(cmbDraftCheck, 0, 1);
    g->addWidget(cmdAddCheck, 0, 2);
    g->addWidget(cmdRemoveCheck, 0, 3);

    txtCheckNetDisp = figureBox("txtCheckNetDisp");
    txtCheckCargo = figureBox("txtCheckCargo");
    txtCheckRemaining = figureBox("txtCheckRemaining");
    for (QLineEdit* box : {txtCheckNetDisp, txtCheckCargo, txtCheckRemaining})
        makeReadOnly(box);
    g->addWidget(new QLabel(QStringLiteral("Net Displacement")), 1, 0);
    g->addWidget(txtCheckNetDisp, 1, 1);
    g->addWidget(
        new QLabel(m_discharging ? QStringLiteral("Cargo Discharged") : QStringLiteral("Cargo Loaded")), 1,
        2);
    g->addWidget(txtCheckCargo, 1, 3);
    g->addWidget(
        new QLabel(m_discharging ? QStringLiteral("Still on Board (B/L)") : QStringLiteral("Still to Load")),
        1, 4);
    g->addWidget(txtCheckRemaining, 1, 5);
    if (!m_discharging) {
        // The cargo the terminal was asked to load: what is still to load is worked from it.
        txtPlannedCargo = figureBox("txtPlannedCargo");
        auto* planned = new QLabel(QStringLiteral("&Planned Cargo"));
        planned->setBuddy(txtPlannedCargo);
        g->addWidget(planned, 0, 4);
        g->addWidget(txtPlannedCargo, 0, 5);
        guardField(txtPlannedCargo, true);
        m_guard->setCheck(txtPlannedCargo, [this] { return checkPlannedCargo(); });
    }
    g->setColumnStretch(6, 1);

    connect(cmdAddCheck, &QPushButton::clicked, this, &SurveyWindow::addCheckClick);
    connect(cmdRemoveCheck, &QPushButton::clicked, this, &SurveyWindow::removeCheckClick);
    connect(cmbDraftCheck, &QComboBox::activated, this, &SurveyWindow::chooseCheckClick);
    for (QPushButton* b : {cmdAddCheck, cmdRemoveCheck})
        connect(b, &QPushButton::clicked, this, &SurveyWindow::surveyTaken);
    connect(cmbDraftCheck, &QComboBox::activated, this, &SurveyWindow::surveyTaken);
    return fmeDraftChecks;
}

void SurveyWindow::checkBarTabOrder()
{
    // Between the header and the draft: the list, its buttons, the planned cargo.
    QList<QWidget*> order = {txtCargo, cmbDraftCheck, cmdAddCheck, cmdRemoveCheck};
    if (txtPlannedCargo)
        order.append(txtPlannedCargo);
    order.append(txtDensity);
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void SurveyWindow::refreshCheckBar()
{
    if (!cmbDraftCheck)
        return;
    {
        const QSignalBlocker quiet(cmbDraftCheck);
        cmbDraftCheck->clear();
        for (int check : m_model->draftChecks()) {
            const SurveyModel::DraftInputs& in = m_model->inputs(check);
            cmbDraftCheck->addItem(QStringLiteral("Check %1 - %2 %3")
                                       .arg(SurveyModel::checkNumber(check))
                                       .arg(in.date, in.time),
                check);
        }
        cmbDraftCheck->setCurrentIndex(cmbDraftCheck->findData(m_checkShown));
    }
    cmdRemoveCheck->setEnabled(m_checkShown >= 0);
    if (txtPlannedCargo && !txtPlannedCargo->hasFocus())
        txtPlannedCargo->setText(m_model->plannedCargo());
    const bool shown = m_checkShown >= 0 && m_model->calculated(m_checkShown);
    txtCheckNetDisp->setText(shown ? m_model->netDisplacementText(m_checkShown) : QString());
    txtCheckCargo->setText(shown ? figure(m_model->cargoSince(m_checkShown)) : QString());
    const std::optional<Decimal> remaining = !shown ? std::nullopt
        : m_discharging                             ? m_model->cargoOnBoard(m_checkShown)
                                                    : m_model->cargoToLoad(m_checkShown);
    txtCheckRemaining->setText(figure(remaining));
    ResultDisplay::paint(txtCheckRemaining, remaining && remaining->isNegative());
    const std::optional<Decimal> cargo = shown ? m_model->cargoSince(m_checkShown) : std::nullopt;
    ResultDisplay::paint(txtCheckCargo, cargo && cargo->isNegative());
}

bool SurveyWindow::boxesHold(int draft) const
{
    return currentTab() != DailyTab || draft == m_checkShown;
}

void SurveyWindow::showDailyTab()
{
    // The ship is chosen once, on the Initial tab; the Final tab's box over the initial net
    // displacement belongs to the Final draft.
    dcbShip->setEnabled(false);
    dcbDate->setEnabled(false);
    cmbTime->setEnabled(false);
    m_results->hideInitialNetDisplacementBox();
    showPanelsForTab(DailyTab);
    const int chosen = m_model->checkCount() > 0 ? m_model->chosenCheck() : -1;
    showCheck(SurveyModel::isCheck(chosen) ? chosen : -1);
}

void SurveyWindow::showCheck(int draft)
{
    m_checkShown = draft;
    // The density, date and time above the tabs are the draft's own: none to type without a check.
    for (QWidget* box : {txtDensity, mbxDate, mbxTime})
        box->setEnabled(draft >= 0);
    if (draft < 0) {
        // No check yet: nothing to type into but the list and its buttons.
        txtListTpcPort->setEnabled(false);
        txtListTpcStbd->setEnabled(false);
        m_content->hide();
        refreshCheckBar();
        showFindings();
        return;
    }
    m_model->chooseCheck(draft);
    moveContentTo(DailyTab);
    m_content->show();
    {
        FillingScope filling(*this);
        m_grids->initializeAllGrids(true);
        showDraft(draft, false);
    }
    refreshCheckBar();
    showFindings();
}

void SurveyWindow::addCheckClick()
{
    if (currentTab() != DailyTab || dcbShip->currentText().isEmpty())
        return;
    // The check on show keeps what was typed into it.
    if (m_checkShown >= 0 && !copyInputsToDraft(m_checkShown))
        return;
    const int added = m_model->addCheck();
    // A check takes the Initial draft's mark distances until its own are typed, as the Final does.
    showCheck(added);
    txtDensity->setFocus(Qt::OtherFocusReason);
}

void SurveyWindow::removeCheckClick()
{
    if (currentTab() != DailyTab || m_checkShown < 0)
        return;
    const int n = SurveyModel::checkNumber(m_checkShown);
    const Msg::Answer answer = MessageService::show(
        QStringLiteral("Remove draft check %1 ?").arg(n), Msg::Buttons::YesNo, Msg::Icon::Question);
    if (answer != Msg::Answer::Yes)
        return;
    const int removed = m_checkShown;
    m_checkShown = -1;
    m_model->removeCheck(removed);
    // The results withdrawn of the checks after it move up with them.
    QHash<int, bool> moved;
    for (auto it = m_resultsWithdrawn.cbegin(); it != m_resultsWithdrawn.cend(); ++it) {
        if (it.key() < removed)
            moved.insert(it.key(), it.value());
        else if (it.key() > removed)
            moved.insert(it.key() - 1, it.value());
    }
    m_resultsWithdrawn = moved;
    showCheck(m_model->checkCount() > 0 ? m_model->chosenCheck() : -1);
    cmbDraftCheck->setFocus(Qt::OtherFocusReason);
}

void SurveyWindow::chooseCheckClick(int row)
{
    const int draft = cmbDraftCheck->itemData(row).toInt();
    if (draft == m_checkShown || !SurveyModel::isCheck(draft))
        return;
    if (m_checkShown >= 0 && !copyInputsToDraft(m_checkShown)) {
        refreshCheckBar(); // the list goes back to the check that keeps the focus
        return;
    }
    showCheck(draft);
}

bool SurveyWindow::checkPlannedCargo()
{
    if (!applyRule(txtPlannedCargo, m_model->enterPlannedCargo(txtPlannedCargo->text())))
        return false;
    refreshCheckBar();
    return true;
}

QStringList SurveyWindow::checkResultCaptions() const
{
    return {QStringLiteral("Net Displacement"), QStringLiteral("Initial Net Displacement"),
        m_discharging ? QStringLiteral("Cargo Discharged") : QStringLiteral("Cargo Loaded")};
}

void SurveyWindow::showCheckResults()
{
    const int check = m_checkShown;
    m_results->setBold(ResultDisplay::NetDisplacementRow, 0, false);
    m_results->setLastCaptions(checkResultCaptions());
    const std::optional<Decimal> cargo = check >= 0 ? m_model->cargoSince(check) : std::nullopt;
    m_results->setText(ResultDisplay::SecondLastRow, 1,
        cargo ? m_model->initialNetDisplacement().toLocaleString(QLocale()) : QString());
    m_results->setText(ResultDisplay::LastRow, 1, figure(cargo));
    m_results->setRed(ResultDisplay::LastRow, 1, cargo && cargo->isNegative());
    refreshCheckBar();
}
