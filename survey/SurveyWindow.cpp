#include "survey/SurveyWindow.h"

#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "ui/FormCenter.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"
#include "survey/GridEditor.h"
#include "survey/HydrostaticPicker.h"
#include "report/CalculationSheet.h"
#include "report/ReportFiller.h"
#include "files/SurveyFileModel.h"
#include "survey/ParticularsDialog.h"
#include "ui/ReportPreview.h"
#include "survey/ResultDisplay.h"
#include "survey/SurveyRecovery.h"
#include "survey/SurveyKeys.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>


SurveyWindow::FillingScope::FillingScope(SurveyWindow& w)
    : m_w(w), m_wasFilling(w.m_filling), m_guardWasOn(w.m_guard->isEnabled())
{
    w.m_filling = true;
    w.m_guard->setEnabled(false);
}

SurveyWindow::FillingScope::~FillingScope()
{
    m_w.m_filling = m_wasFilling;
    m_w.m_guard->setEnabled(m_guardWasOn);
}

SurveyWindow::SurveyWindow(const QString& className, bool discharging, QWidget* parent)
    : QWidget(parent), m_className(className), m_discharging(discharging)
{
    setObjectName(className);
    m_guard = new FieldGuard(this);
    m_results = std::make_unique<ResultDisplay>(this);
    m_grids = new SurveyGrids(*this, *m_guard, this);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(3, 6, 3, 6);
    outer->setSpacing(4);
    buildHeader(outer);

    sstQuorvane = new QTabWidget;
    sstQuorvane->setObjectName(QStringLiteral("sstQuorvane"));
    sstQuorvane->setFocusPolicy(Qt::NoFocus);
    sstQuorvane->tabBar()->setFocusPolicy(Qt::NoFocus);
    const QString tabs[3] = {QStringLiteral("Initial"), QStringLiteral("Daily"), QStringLiteral("Final")};
    for (int i = 0; i < 3; ++i) {
        m_pages[i] = new QWidget;
        auto* l = new QVBoxLayout(m_pages[i]);
        l->setContentsMargins(2, 4, 2, 4);
        sstQuorvane->addTab(m_pages[i], tabs[i]);
    }
    m_content = buildContent();
    m_pages[InitialTab]->layout()->addWidget(m_content);
    // The Daily tab's list of draft checks stands above the draft on show there.
    m_pages[DailyTab]->layout()->addWidget(buildCheckBar());
    outer->addWidget(sstQuorvane, 1);

    m_model = std::make_unique<SurveyModel>(discharging ? SurveyModel::Kind::Discharging
                                                        : SurveyModel::Kind::Loading);
    m_shipRecord = &m_model->ship();
    m_dateList = std::make_unique<RowSet>();

    installChecks();
    buildTabOrder();
    checkBarTabOrder();
    // Under the hydrostatic table, now laid out, the picker puts its note.
    m_picker = new HydrostaticPicker(*m_grids, [this]() -> SurveyModel& { return *m_model; }, this);
    pickHydrostaticRows(false);

    connect(dcbShip, &QComboBox::currentIndexChanged, this, &SurveyWindow::dcbShipChange);
    connect(sstQuorvane, &QTabWidget::currentChanged, this, &SurveyWindow::sstQuorvaneClick);
    connect(cmdCalculate, &QPushButton::clicked, this, &SurveyWindow::cmdCalculateClick);
    for (QComboBox* list : {dcbShip, dcbPort})
        connect(list, &QComboBox::currentIndexChanged, this, &SurveyWindow::surveyTaken);
    connect(sstQuorvane, &QTabWidget::currentChanged, this, &SurveyWindow::surveyTaken);
    connect(cmdCalculate, &QPushButton::clicked, this, &SurveyWindow::surveyTaken);
    // The survey's particulars, from the button or the keyboard.
    connect(cmdParticulars, &QPushButton::clicked, this, [this] { openParticulars(); });
    auto* particulars = new QAction(QStringLiteral("Particulars..."), this);
    particulars->setObjectName(QStringLiteral("actParticulars"));
    particulars->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    particulars->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(particulars, &QAction::triggered, this, [this] { openParticulars(); });
    addAction(particulars);
    // The window sees every key first (Enter as Tab, Ctrl+F4) and every field gaining focus.
    qApp->installEventFilter(this);
}

SurveyWindow::~SurveyWindow()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (SurveyRecovery* keeper = SurveyRecovery::of(this))
        keeper->detach();
}

// --- Field checks and the ship-first guard ---------------------------------------------------

void SurveyWindow::guardField(QWidget* field, bool selectsText)
{
    m_guardedFields.insert(field, selectsText);
}

void SurveyWindow::installChecks()
{
    guardField(dcbPort, false);
    guardField(txtVoyageID, false);
    guardField(mbxDate, false);
    guardField(mbxTime, false);
    guardField(txtCargo, true);
    guardField(txtDensity, true);
    guardField(txtComments, false);
    using Field = SurveyModel::Field;
    for (int i = 0; i < 6; ++i) {
        QLineEdit* box = readingBoxes()[i];
        guardField(box, true);
        const Field field = Field(int(Field::FwdPort) + i);
        m_guard->setCheck(box, [this, box, field] { return enterField(box, field); });
    }
    m_guard->setCheck(txtDensity, [this] { return enterField(txtDensity, Field::Density); });
    for (int i = 0; i < 3; ++i) {
        QLineEdit* box = markBoxes()[i];
        guardField(box, false);  // selection on entry: marksSelectOnFocus()
        const Field field = Field(int(Field::FwdX) + i);
        m_guard->setCheck(box, [this, box, field] { return enterField(box, field); });
    }
    m_guard->setCheck(mbxDate, [this] { return enterField(mbxDate, Field::Date); });
    m_guard->setCheck(mbxTime, [this] { return enterField(mbxTime, Field::Time); });
    QLineEdit* fnl = m_results->initialNetDisplacementBox();
    m_guard->setCheck(fnl, [this, fnl] {
        try {
            return enterField(fnl, Field::InitialNetDisplacement);
        } catch (const VbError&) {
            MessageService::bareSource(m_className, QStringLiteral("txtFnlGrdTxtBox_Validate"));
            return true;
        }
    });
}

std::array<QLineEdit*, 6> SurveyWindow::readingBoxes() const
{
    return {txtFwdPort, txtFwdStbd, txtMidShipPort, txtMidshipStbd, txtAftPort, txtAftStbd};
}

std::array<QLineEdit*, 3> SurveyWindow::markBoxes() const
{
    return {txtFwdX, txtMidX, txtAftX};
}

bool SurveyWindow::enterField(QLineEdit* box, SurveyModel::Field field)
{
    using Field = SurveyModel::Field;
    // The masked boxes hand over what they show, prompt characters included.
    const bool masked = field == Field::Date || field == Field::Time;
    // The initial net displacement typed over the Final results belongs to the Final draft.
    const int draft = field == Field::InitialNetDisplacement ? int(SurveyModel::Final) : draftOnShow();
    return applyRule(box, m_model->enter(draft, field, masked ? box->displayText() : box->text()));
}

bool SurveyWindow::applyRule(QLineEdit* box, const SurveyInputRules::Outcome& outcome)
{
    if (box->text() != outcome.text)
        box->setText(outcome.text);
    if (!outcome.message.isEmpty())
        MessageService::show(outcome.message, Msg::Buttons::Ok, outcome.icon, outcome.title);
    if (outcome.accepted && outcome.refresh) {
        showPanel();
        // A figure of the draft panel accepted: the rows at its true mean draft.
        pickHydrostaticRows(false);
    }
    if (outcome.accepted)
        dropOutdatedResults();
    return outcome.accepted;
}

void SurveyWindow::dropOutdatedResults()
{
    // A figure the draft on show was worked out from has changed: its results, and what follows
    // from them, are not shown beside it until Calculate works them out again.
    const int index = draftOnShow();
    if (m_filling || m_resultsWithdrawn[index] || !m_model->outdated(index))
        return;
    clearResultsOfTab();
    m_grids->showDifferences({});
    showFindings();
}

void SurveyWindow::warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation);
}

SurveyInputRules::Outcome SurveyWindow::enterTableFigure(SurveyModel::Table table, int row, int column,
                                                         const QString& typed)
{
    return m_model->enterTable(draftOnShow(), table, row, column, typed);
}

SurveyInputRules::Outcome SurveyWindow::enterDeduction(int itemId, const QString& typed)
{
    const SurveyInputRules::Outcome o = m_model->enterDeductible(draftOnShow(), itemId, typed);
    dropOutdatedResults();
    return o;
}

void SurveyWindow::tablesEdited()
{
    if (m_filling)
        return;
    m_grids->tablesInto(m_model->editInputs(draftOnShow()));
    dropOutdatedResults();
}

bool SurveyWindow::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab pressed in the window come this way; the MDI area's own moves do not.
    const QScopedValueRollback<bool> tabbing(m_tabbing, true);
    return QWidget::focusNextPrevChild(next);
}

bool SurveyWindow::requireShip()
{
    if (!dcbShip->currentText().isEmpty())
        return true;
    warn(QStringLiteral("Please select a ship first."));
    dcbShip->setFocus(Qt::OtherFocusReason);
    return false;
}

void SurveyWindow::fieldFocusIn(QWidget* field, Qt::FocusReason reason)
{
    // Coming back to the field after a message box or a pop-up is no new visit.
    if (m_filling || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    // The MDI area moves the focus on by itself as it maximises or restores the window: no visit
    // of the surveyor's, so nothing to say; before a ship is chosen the ship list keeps it.
    const bool tab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    if (tab && !m_tabbing && dcbShip->currentText().isEmpty()) {
        dcbShip->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!requireShip())
        return;
    const bool mark = field == txtFwdX || field == txtMidX || field == txtAftX;
    const bool selects = m_guardedFields.value(field) || (mark && marksSelectOnFocus());
    if (auto* box = qobject_cast<QLineEdit*>(field); box && selects) {
        // After the click that brought the focus has placed the caret.
        QTimer::singleShot(0, box, [box] {
            if (box->hasFocus())
                box->selectAll();
        });
    }
}

bool SurveyWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !isAncestorOf(w))
        return false;
    if (type == QEvent::FocusIn) {
        if (m_guardedFields.contains(w))
            fieldFocusIn(w, static_cast<QFocusEvent*>(event)->reason());
        return false;
    }

    // Keys: only as delivered to the focused control, not its parents' copies.
    if (w != QApplication::focusWidget())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_F4 && mods == Qt::ControlModifier) {
        if (closesOnCtrlF4Anywhere() || w == dcbShip || w == dcbPort || dcbShip->isAncestorOf(w)
            || dcbPort->isAncestorOf(w)) {
            closeWindow();
            return true;
        }
        return false;
    }
    if (SurveyKeys::switchesDraftTab(*key)) {
        // As a click on the next (or the previous) tab, Initial, Daily, Final and round again:
        // the field being typed in is checked first.
        if (m_guard->validateFocused())
            sstQuorvane->setCurrentIndex((currentTab() + SurveyKeys::draftTabStep(*key) + 3) % 3);
        return true;
    }
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        || (mods & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (w == txtAftX) {
        // From the last mark distance straight into the hydrostatic table.
        if (m_guard->validate(txtAftX))
            m_grids->enterFromAftX();
        return true;
    }
    if (m_grids->isEditor(w))
        return false;
    m_guard->moveFocus(true);
    return true;
}

void SurveyWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        centreOnScreen(this);
    }
}

void SurveyWindow::closeWindow()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void SurveyWindow::closeEvent(QCloseEvent* event)
{
    // A survey lives only while its window is open; nothing is asked and nothing stored.
    QWidget::closeEvent(event);
    if (!m_closed) {
        m_closed = true;
        if (ChildHost* mdi = ChildWindow::host())
            mdi->childClosing(this);
    }
}

void SurveyWindow::sendToolbarState()
{
    offeredCommandsChanged();
}

// --- The draft panel -------------------------------------------------------------------------

void SurveyWindow::showPanel()
{
    const DraftCorrections::Texts t = m_model->panelTexts(draftOnShow());
    txtFwdMean->setText(t.fwdMean);
    txtMidshipMean->setText(t.midMean);
    txtAftMean->setText(t.aftMean);
    txtApparentTrim->setText(t.apparentTrim);
    txtLBM->setText(t.lbm);
    txtFwdCorrection->setText(t.fwdCorrection);
    txtMidshipCorrection->setText(t.midCorrection);
    txtAftCorrection->setText(t.aftCorrection);
    txtFwdTrueDraft->setText(t.fwdTrueDraft);
    txtMidshipTrueDraft->setText(t.midTrueDraft);
    txtAftTrueDraft->setText(t.aftTrueDraft);
    txtTrueTrim->setText(t.trueTrim);
    txtTrueMeanDraft->setText(t.trueMeanDraft);
    // The deflection is the draft's own, from its six readings: a draft still being read shows
    // none, not the other draft's nor one from half its marks.
    bool allRead = true;
    for (const QString& reading : m_model->inputs(draftOnShow()).readings)
        allRead = allRead && !reading.trimmed().isEmpty();
    bool valid = false;
    m_model->panel(draftOnShow(), &valid);
    if (allRead && valid) {
        showHullDeflection();
    } else {
        lblHogSag->hide();
        txtDeflection->clear();
    }
}

void SurveyWindow::showHullDeflection()
{
    const DraftCorrections::Result panel = m_model->panel(draftOnShow());
    const Decimal d = DraftCorrections::hullDeflection(panel.fwdMean, panel.midMean, panel.aftMean);
    if (d.isZero()) {
        lblHogSag->hide();
        txtDeflection->setText(QStringLiteral("0"));
        return;
    }
    // Midships deeper than the ends: the hull sags; shallower: it hogs.
    lblHogSag->setText(d.isNegative() ? QStringLiteral("Hog") : QStringLiteral("Sag"));
    lblHogSag->show();
    txtDeflection->setText(d.abs().toLocaleString(QLocale()));
}

// --- Result panels ---------------------------------------------------------------------------

QLineEdit* SurveyWindow::figureBox(const char* name)
{
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setFixedWidth(130);
    box->setAlignment(Qt::AlignRight);
    return box;
}

QGroupBox* SurveyWindow::figurePanel(const char* name, const QString& first, QLineEdit* firstBox,
                                     const QString& second, QLineEdit* secondBox)
{
    auto* frame = new QGroupBox;
    frame->setObjectName(QLatin1String(name));
    auto* g = new QGridLayout(frame);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(3);
    g->addWidget(new QLabel(first), 0, 0);
    g->addWidget(firstBox, 0, 1);
    g->addWidget(new QLabel(second), 1, 0);
    g->addWidget(secondBox, 1, 1);
    g->setColumnStretch(2, 1);
    return frame;
}

void SurveyWindow::showInitialNetDisplacement()
{
    const Variant initialNet = toNumeric(initialDraft().netDisplacement(), 5, 0);
    m_results->setText(ResultDisplay::SecondLastRow, 1, initialNet.toText());
    QLineEdit* typed = m_results->initialNetDisplacementBox();
    const Decimal initialValue = initialNet.toDecimal();
    if (!initialValue.isZero()) {
        ResultDisplay::paint(typed, initialValue.isNegative());
        typed->setText(m_results->text(ResultDisplay::SecondLastRow, 1));
    }
}

// --- The header as shown -----------------------------------------------------------------------

QString SurveyWindow::shipText() const
{
    return dcbShip->currentText();
}

QString SurveyWindow::portText() const
{
    return dcbPort->currentText();
}

Variant SurveyWindow::portId() const
{
    const QVariant id = dcbPort->currentData();
    return id.isValid() ? Variant::longInt(id.toInt()) : Variant();
}

QString SurveyWindow::lbpText() const
{
    return txtLBP->text();
}

QString SurveyWindow::voyageIdText() const
{
    return txtVoyageID->text();
}

QString SurveyWindow::cargoText() const
{
    return txtCargo->text();
}

QString SurveyWindow::finalResultText(int row, int column) const
{
    return m_results->text(row, column);
}

QString SurveyWindow::initialNetDisplacementText() const
{
    return m_results->initialNetDisplacementBox()->text();
}

int SurveyWindow::currentTab() const
{
    return sstQuorvane ? sstQuorvane->currentIndex() : int(InitialTab);
}

void SurveyWindow::showTab(int tab)
{
    if (tab != currentTab() && tab != DailyTab)
        sstQuorvane->setCurrentIndex(tab);
}

bool SurveyWindow::tableEntryInProgress() const
{
    return m_grids->entryInProgress();
}

void SurveyWindow::syncModel()
{
    SurveyModel& m = *m_model;
    m.setShipName(shipText());
    const QVariant port = dcbPort->currentData();
    m.setPort(port.isValid() ? std::optional<int>(port.toInt()) : std::nullopt, portText());
    m.setVoyage(voyageIdText());
    m.setCargo(cargoText());
    m.setDraftOnShow(draftOnShow());
}

SurveyFileData SurveyWindow::surveyData()
{
    syncModel();
    // On the Daily tab with no check on show the boxes hold no draft's inputs.
    if (boxesHold(draftOnShow()))
        copyInputsToDraft(draftOnShow());
    return SurveyFileModel::read(*m_model);
}

std::optional<ReportLayout> SurveyWindow::fillReport(bool showPreview)
{
    syncModel();
    const auto copy = [this](int draft) {
        if (boxesHold(draft))
            copyInputsToDraft(draft);
    };
    // On the Daily tab the report of the check on show: INITIAL and the check as its columns.
    if (currentTab() == DailyTab && m_checkShown >= 0)
        return ReportFiller::fillCheck(*m_model, m_checkShown, showPreview, copy);
    return ReportFiller::fill(*m_model, showPreview, copy);
}

void SurveyWindow::print(bool showPreview)
{
    const std::optional<ReportLayout> layout = fillReport(showPreview);
    if (!layout)
        return;
    // The tank sheet (of a survey from soundings) and the calculation sheet follow the survey's
    // report page, worked from the same filled page; a draft check's report is its page alone
    // (the sheet of the whole survey shows the checks).
    const bool checkReport = currentTab() == DailyTab && m_checkShown >= 0;
    const ReportDocument document = checkReport
        ? ReportDocument(*layout)
        : ReportDocument(
            *layout, TankSheetPages::build(*m_model, *layout), CalculationSheet::build(*m_model, *layout));
    if (showPreview)
        ReportPreview::open(document, this);
    else
        ReportOutput::printToDefaultPrinter(document, this);
}

ParticularsDialog* SurveyWindow::openParticulars()
{
    auto* dialog = new ParticularsDialog(*m_model, this);
    // What is given is kept with the rest of the survey's inputs, as an entry in a box is.
    connect(dialog, &QDialog::accepted, this, [this] {
        if (SurveyRecovery* keeper = SurveyRecovery::of(this))
            keeper->snapshot();
    });
    dialog->open();
    return dialog;
}

QString SurveyWindow::constantText() const
{
    return txtConstant ? txtConstant->text() : QString();
}
