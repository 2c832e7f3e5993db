#include "survey/LoadingSurveyWindow.h"

#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"
#include "survey/ResultDisplay.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QString decimalText(const Decimal& d)
{
    return d.toLocaleString(QLocale());
}

}  // namespace

LoadingSurveyWindow::LoadingSurveyWindow(QWidget* parent)
    : SurveyWindow(QStringLiteral("frmQuorvane"), false, parent)
{
    setWindowTitle(QStringLiteral("Draft Survey-[Loading]"));
    txtInitNetDisp = figureBox("txtInitNetDisp");
    txtConstant = figureBox("txtConstant");
    txtFinalNetDisp = figureBox("txtFinalNetDisp");
    txtTotCargoLoaded = figureBox("txtTotCargoLoaded");
    for (QLineEdit* box : {txtInitNetDisp, txtConstant, txtFinalNetDisp, txtTotCargoLoaded})
        makeReadOnly(box);
    fmeInitNetDisp = figurePanel("fmeInitNetDisp", QStringLiteral("Initial Net Displacement"),
                                 txtInitNetDisp, QStringLiteral("Constant"), txtConstant);
    fmeFinalNetDisp = figurePanel("fmeFinalNetDisp", QStringLiteral("Final Net Displacement"),
                                  txtFinalNetDisp, QStringLiteral("Total Cargo Loaded"), txtTotCargoLoaded);
    panelArea()->addWidget(fmeInitNetDisp);
    panelArea()->addWidget(fmeFinalNetDisp);
    formLoad();
}

QString LoadingSurveyWindow::cargoResultText() const
{
    return txtTotCargoLoaded->text();
}

void LoadingSurveyWindow::showPanelsForTab(int tab)
{
    const bool final = tab == FinalTab;
    fmeFinalNetDisp->setVisible(final);
    fmeInitNetDisp->setVisible(!final);
}

void LoadingSurveyWindow::clearPanelTexts()
{
    for (QLineEdit* box : {txtInitNetDisp, txtConstant, txtFinalNetDisp, txtTotCargoLoaded}) {
        box->clear();
        ResultDisplay::paint(box, false);
    }
}

void LoadingSurveyWindow::clearPanelsOfTab(bool initialTab)
{
    if (initialTab) {
        txtInitNetDisp->clear();
        txtConstant->clear();
    } else {
        txtFinalNetDisp->clear();
        txtTotCargoLoaded->clear();
    }
}

QStringList LoadingSurveyWindow::finalResultCaptions(int tab, bool* boldLastRow) const
{
    if (tab == FinalTab) {
        *boldLastRow = false;
        return {QStringLiteral("Final Net Displacement"), QStringLiteral("Net. Displacement"),
                QStringLiteral("Total Cargo Loaded")};
    }
    *boldLastRow = true;
    return {QStringLiteral("Net Displacement"), QStringLiteral("Light Ship"), QStringLiteral("Constant")};
}

void LoadingSurveyWindow::showNetDisplacement(int tab, const SurveyDraft& draft)
{
    const Variant net = draft.netDisplacement();
    ResultDisplay::paint(txtInitNetDisp, !ResultFigures::plausibleNetDisplacement(net));
    if (tab == InitialTab) {
        results().setBold(ResultDisplay::NetDisplacementRow, 0, true);
        results().setLastCaptions(
            {QStringLiteral("Net Displacement"), QStringLiteral("LightShip"), QStringLiteral("Constant")});
        showConstant(net);
    } else if (tab == FinalTab) {
        results().setBold(ResultDisplay::NetDisplacementRow, 0, false);
        results().setLastCaptions({QStringLiteral("Final Net Displacement"),
                                   QStringLiteral("Initial Net Displacement"),
                                   QStringLiteral("Total Cargo Loaded")});
        showCargo(net);
    }
}

// The constant: what the ship weighs at the Initial draft beyond her light ship and the
// deductibles (stores, spares, the unknowns), net displacement less light ship.
void LoadingSurveyWindow::showConstant(const Variant& net)
{
    const std::optional<Decimal> found = model().constant();
    if (!found) {
        results().setText(ResultDisplay::SecondLastRow, 1, QString());
        results().setText(ResultDisplay::LastRow, 1, QString());
        return;
    }
    const Variant lightShip = shipRecord().lightShip();
    const Decimal& constant = *found;
    const bool red = !model().plausibility().constant;
    results().setRed(ResultDisplay::LastRow, 1, red);
    ResultDisplay::paint(txtConstant, red);
    results().setText(ResultDisplay::SecondLastRow, 1, lightShip.isNull() ? QString() : lightShip.toText());
    results().setText(ResultDisplay::LastRow, 1, decimalText(constant));
    txtInitNetDisp->setText(net.toText());
    txtConstant->setText(decimalText(constant));
}

// The cargo loaded: Final net displacement less Initial, the Initial one either worked out on
// the Initial tab or, when that draft has none, typed over cell (10, 1).
void LoadingSurveyWindow::showCargo(const Variant& net)
{
    const std::optional<Decimal> loaded = model().cargoQuantity();
    if (!loaded) {
        results().setText(ResultDisplay::SecondLastRow, 1, QString());
        results().setText(ResultDisplay::LastRow, 1, QString());
        txtTotCargoLoaded->clear();
        return;
    }
    showInitialNetDisplacement();
    const Decimal& cargo = *loaded;
    results().setText(ResultDisplay::LastRow, 1, decimalText(cargo));
    ResultDisplay::paint(txtFinalNetDisp, !ResultFigures::plausibleNetDisplacement(net));
    results().setRed(ResultDisplay::LastRow, 1, cargo.isNegative());
    ResultDisplay::paint(txtTotCargoLoaded, cargo.isNegative());
    txtFinalNetDisp->setText(net.toText());
    txtTotCargoLoaded->setText(results().text(ResultDisplay::LastRow, 1));
}
