#include "survey/frmZODuraduza.h"

#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "model/clsDraft.h"
#include "model/clsShip.h"
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

Decimal figureOf(const QString& text)
{
    return ResultFigures::number(Variant(text)).value_or(Decimal(0));
}

QString checkYourInput(const char* headline)
{
    return MessageService::join(QLatin1String(headline), QStringLiteral("Please check your input values."));
}

}  // namespace

frmZODuraduza::frmZODuraduza(QWidget* parent) : SurveyWindow(QStringLiteral("frmZODuraduza"), true, parent)
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

QString frmZODuraduza::cargoResultText() const
{
    return txtFinTotCargoDis->text();
}

void frmZODuraduza::showPanelsForTab(int tab)
{
    const bool final = tab == FinalTab;
    fmeConstant->setVisible(final);
    fmeAssumedConstant->setVisible(!final);
}

void frmZODuraduza::resetExtras()
{
    sstQuorvane->setTabEnabled(DailyTab, false);
    sstQuorvane->setTabEnabled(FinalTab, true);
}

void frmZODuraduza::showHeaderExtras()
{
    txtBLQty->setText(model().blQuantity());
}

// The Bill of Lading quantity and the assumed constant belong to the survey, not to a draft:
// a new survey leaves them standing.
void frmZODuraduza::clearPanelTexts()
{
    for (QLineEdit* box : {txtConstant, txtFinTotCargoDis}) {
        box->clear();
        ResultDisplay::paint(box, false);
    }
}

void frmZODuraduza::clearPanelsOfTab(bool initialTab)
{
    if (initialTab) {
        txtAssumedConstant->clear();
    } else {
        txtFinTotCargoDis->clear();
        txtConstant->clear();
    }
}

QStringList frmZODuraduza::finalResultCaptions(int tab, bool* boldLastRow) const
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

void frmZODuraduza::showNetDisplacement(int tab, const clsDraft& draft)
{
    const Variant net = draft.NetDisplacement();
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

Decimal frmZODuraduza::lightShip() const
{
    return ResultFigures::number(shipRecord().LightShip()).value_or(Decimal(0));
}

// On arrival the ship weighs her light ship, the cargo and her constant: net displacement less
// light ship is cargo + constant.
void frmZODuraduza::showCargoAndConstant(const Variant& net)
{
    const Decimal netValue = ResultFigures::number(net).value_or(Decimal(0));
    if (netValue.isZero()) {
        results().setText(ResultDisplay::SecondLastRow, 1, QString());
        results().setText(ResultDisplay::LastRow, 1, QString());
        return;
    }
    const Decimal light = lightShip();
    results().setText(ResultDisplay::SecondLastRow, 1,
                      light.isZero() ? QString() : shipRecord().LightShip().toText());
    const Decimal cargoPlusConstant = netValue - light;
    results().setText(ResultDisplay::LastRow, 1,
                      cargoPlusConstant.isZero() ? QString() : figureText(cargoPlusConstant));
    results().setRed(ResultDisplay::LastRow, 1, cargoPlusConstant.isNegative());
    // Less than her light ship: the draft or the ship's particulars are wrong. Said every time
    // the draft is shown, so that it is not forgotten.
    if (cargoPlusConstant.isNegative())
        warn(checkYourInput("Value of constant is invalid."));
    const Decimal bl = figureOf(txtBLQty->text());
    if (!txtBLQty->text().isEmpty() && !bl.isZero())
        showAssumedConstant(cargoPlusConstant - bl, true);
}

// After discharge: the cargo discharged is the initial net displacement less the final one, and
// what the ship weighs beyond her light ship is the constant left on board.
void frmZODuraduza::showDischarge(const Variant& net)
{
    if (net.isEmpty() || net.isNull() || net.toText().trimmed().isEmpty()) {
        results().setText(ResultDisplay::SecondLastRow, 1, QString());
        results().setText(ResultDisplay::LastRow, 1, QString());
        return;
    }
    const Decimal initialNet = showInitialNetDisplacement();
    const Decimal finalNet = ResultFigures::number(net).value_or(Decimal(0)).round(5);
    const Decimal cargo = SurveyModel::cargoDischarged(initialNet, finalNet);
    results().setText(ResultDisplay::LastRow, 1, figureText(cargo));
    results().setRed(ResultDisplay::LastRow, 1, cargo.isNegative());
    ResultDisplay::paint(txtFinTotCargoDis, cargo.isNegative());
    txtFinTotCargoDis->setText(results().text(ResultDisplay::LastRow, 1));
    const Decimal constant = finalNet - lightShip();
    ResultDisplay::paint(txtConstant, constant.isNegative());
    txtConstant->setText(figureText(constant));
}

void frmZODuraduza::showAssumedConstant(const Decimal& assumed, bool blankWhenZero)
{
    ResultDisplay::paint(txtAssumedConstant, assumed.isNegative());
    txtAssumedConstant->setText(blankWhenZero && assumed.isZero() ? QString() : figureText(assumed));
}

// The quantity the Bill of Lading says was loaded. Against the cargo + constant found on
// arrival it gives the constant the ship would have if the bill were right.
bool frmZODuraduza::checkBLQty()
{
    if (!applyRule(txtBLQty, SurveyInputRules::blQuantity(txtBLQty->text())))
        return false;
    const Decimal bl = figureOf(txtBLQty->text());
    if (!bl.isZero())
        showAssumedConstant(figureOf(results().text(ResultDisplay::LastRow, 1)) - bl, false);
    return true;
}

void frmZODuraduza::checkPlausibility()
{
    checkNetDisplacement();
    if (currentTabCaption() != QLatin1String("Final"))
        return;
    if (!txtFinTotCargoDis->text().isEmpty() && figureOf(txtFinTotCargoDis->text()).isNegative())
        warn(checkYourInput("Current value for Total cargo discharged is invalid."));
    if (!txtConstant->text().isEmpty() && figureOf(txtConstant->text()).isNegative())
        warn(checkYourInput("Current value for Constant is invalid."));
}
