#include "survey/DischargingSurveyWindow.h"

#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"
#include "model/SurveyFieldNames.h"
#include "survey/ResultDisplay.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString figureText(const Decimal& d)
{
    return Variant(d).toText();
}

}  // namespace

DischargingSurveyWindow::DischargingSurveyWindow(QWidget* parent)
    : SurveyWindow(QStringLiteral("frmZODuraduza"), true, parent)
{
    setWindowTitle(QStringLiteral("Draft Survey-[Discharging]"));
    txtBLQty = figureBox("txtBLQty");
    txtAssumedConstant = figureBox("txtAssumedConstant");
    txtConstant = figureBox("txtConstant");
    // The box only ever shows a figure the window worked out: no length limit may cut one short.
    txtFinTotCargoDis = figureBox("txtFinTotCargoDis");
    for (QLineEdit* box : {txtAssumedConstant, txtConstant, txtFinTotCargoDis})
        makeReadOnly(box);
    fmeAssumedConstant = figurePanel("fmeAssumedConstant", QStringLiteral("B/L Qty @ Load Port"), txtBLQty,
                                     QStringLiteral("Assumed Constant"), txtAssumedConstant);
    fmeConstant = figurePanel("fmeConstant", QStringLiteral("Constant"), txtConstant,
                              QStringLiteral("Total Cargo Discharged"), txtFinTotCargoDis);
    panelArea()->addWidget(fmeAssumedConstant);
    panelArea()->addWidget(fmeConstant);

    guardField(txtBLQty, false);
    fieldGuard().setCheck(txtBLQty, [this] { return checkBLQty(); });
    // After the remarks, on the Initial tab; the Final tab's typed initial net displacement follows.
    setTabOrder(txtComments, txtBLQty);
    setTabOrder(txtBLQty, results().initialNetDisplacementBox());
    formLoad();
}

QString DischargingSurveyWindow::cargoResultText() const
{
    return txtFinTotCargoDis->text();
}

void DischargingSurveyWindow::showPanelsForTab(int tab)
{
    const bool final = tab == FinalTab;
    fmeConstant->setVisible(final);
    fmeAssumedConstant->setVisible(!final);
}

void DischargingSurveyWindow::resetExtras()
{
    sstQuorvane->setTabEnabled(FinalTab, true);
}

void DischargingSurveyWindow::showHeaderExtras()
{
    txtBLQty->setText(model().blQuantity());
}

QWidget* DischargingSurveyWindow::extraField(const QString& field) const
{
    return field == SurveyFieldNames::kBlQuantity ? txtBLQty : nullptr;
}

// The Bill of Lading quantity and the assumed constant belong to the survey, not to a draft:
// a new survey leaves them standing.
void DischargingSurveyWindow::clearPanelTexts()
{
    for (QLineEdit* box : {txtConstant, txtFinTotCargoDis}) {
        box->clear();
        ResultDisplay::paint(box, false);
    }
}

void DischargingSurveyWindow::clearPanelsOfTab(bool initialTab)
{
    if (initialTab) {
        txtAssumedConstant->clear();
    } else {
        txtFinTotCargoDis->clear();
        txtConstant->clear();
    }
}

QStringList DischargingSurveyWindow::finalResultCaptions(int tab, bool* boldLastRow) const
{
    *boldLastRow = true;
    if (tab == InitialTab)
        return {QStringLiteral("Net Displacement"), QStringLiteral("Light Ship"),
                QStringLiteral("Cargo + Constant")};
    if (tab == FinalTab)
        return {QStringLiteral("Final Net Displacement"), QStringLiteral("Initial Displacement"),
                QStringLiteral("Total Cargo Discharged")};
    return {};
}

void DischargingSurveyWindow::showNetDisplacement(int tab, const SurveyDraft& draft)
{
    const Variant net = draft.netDisplacement();
    results().setBold(ResultDisplay::NetDisplacementRow, 0, tab != FinalTab);
    if (tab == InitialTab) {
        results().setLastCaptions({QStringLiteral("Net Displacement"), QStringLiteral("LightShip"),
                                   QStringLiteral("Cargo + Constant")});
        showCargoAndConstant(net);
    } else if (tab == FinalTab) {
        results().setLastCaptions({QStringLiteral("Final Net Displacement"),
                                   QStringLiteral("Initial Net Displacement"),
                                   QStringLiteral("Total Cargo Discharged")});
        showDischarge(net);
    }
}

// On arrival the ship weighs her light ship, the cargo and her constant: net displacement less
// light ship is cargo + constant.
void DischargingSurveyWindow::showCargoAndConstant(const Variant&)
{
    const std::optional<Decimal> onArrival = model().cargoPlusConstant();
    if (!onArrival) {
        results().setText(ResultDisplay::SecondLastRow, 1, QString());
        results().setText(ResultDisplay::LastRow, 1, QString());
        return;
    }
    const Variant light = shipRecord().lightShip();
    const bool noLightShip = ResultFigures::number(light).value_or(Decimal(0)).isZero();
    results().setText(ResultDisplay::SecondLastRow, 1, noLightShip ? QString() : light.toText());
    results().setText(ResultDisplay::LastRow, 1, onArrival->isZero() ? QString() : figureText(*onArrival));
    results().setRed(ResultDisplay::LastRow, 1, onArrival->isNegative());
    if (const std::optional<Decimal> assumed = model().assumedConstant())
        showAssumedConstant(*assumed, true);
}

// After discharge: the cargo discharged is the initial net displacement less the final one, and
// what the ship weighs beyond her light ship is the constant left on board.
void DischargingSurveyWindow::showDischarge(const Variant&)
{
    const std::optional<Decimal> cargo = model().cargoQuantity();
    const std::optional<Decimal> constant = model().constantAfterDischarge();
    if (!cargo || !constant) {
        results().setText(ResultDisplay::SecondLastRow, 1, QString());
        results().setText(ResultDisplay::LastRow, 1, QString());
        txtFinTotCargoDis->clear();
        return;
    }
    showInitialNetDisplacement();
    results().setText(ResultDisplay::LastRow, 1, figureText(*cargo));
    results().setRed(ResultDisplay::LastRow, 1, cargo->isNegative());
    ResultDisplay::paint(txtFinTotCargoDis, cargo->isNegative());
    txtFinTotCargoDis->setText(results().text(ResultDisplay::LastRow, 1));
    ResultDisplay::paint(txtConstant, constant->isNegative());
    txtConstant->setText(figureText(*constant));
}

void DischargingSurveyWindow::showAssumedConstant(const Decimal& assumed, bool blankWhenZero)
{
    ResultDisplay::paint(txtAssumedConstant, assumed.isNegative());
    txtAssumedConstant->setText(blankWhenZero && assumed.isZero() ? QString() : figureText(assumed));
}

// The quantity the Bill of Lading says was loaded. Against the cargo + constant found on
// arrival it gives the constant the ship would have if the bill were right.
bool DischargingSurveyWindow::checkBLQty()
{
    if (!applyRule(txtBLQty, model().enterBLQuantity(txtBLQty->text())))
        return false;
    if (const std::optional<Decimal> assumed = model().assumedConstant())
        showAssumedConstant(*assumed, false);
    return true;
}
