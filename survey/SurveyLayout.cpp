// How a survey window is laid out: the header above the tabs, and under them one block that
// goes with the tab being shown: the draft panel on the left, the hydrostatic tables and their
// interpolation in the middle, the deductibles and the displacement on the right.
#include "survey/SurveyWindow.h"

#include "survey/GridEditor.h"
#include "survey/ResultDisplay.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor LightYellow(253, 252, 210);
const QColor LightPink(255, 192, 192);

QLineEdit* lineEdit(const char* name, int maxLength = 0, int width = 64)
{
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    box->setFixedWidth(width);
    return box;
}

QLabel* caption(const QString& text, QWidget* buddy = nullptr)
{
    auto* l = new QLabel(text);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

void shade(QLineEdit* box, const QColor& colour)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

}  // namespace

// --- Layout ------------------------------------------------------------------------------------

void SurveyWindow::buildHeader(QVBoxLayout* outer)
{
    dcbShip = new QComboBox;
    dcbShip->setObjectName(QStringLiteral("dcbShip"));
    dcbShip->setMinimumWidth(220);
    txtVoyageID = lineEdit("txtVoyageID", 15, 130);
    dcbPort = new QComboBox;
    dcbPort->setObjectName(QStringLiteral("dcbPort"));
    dcbPort->setMinimumWidth(200);
    txtCargo = lineEdit("txtCargo", 50, 260);
    txtDensity = lineEdit("txtDensity", 0, 80);
    mbxDate = lineEdit("mbxDate", 0, 96);
    mbxDate->setInputMask(QStringLiteral("99-99-9999;_"));
    mbxTime = lineEdit("mbxTime", 0, 56);
    mbxTime->setInputMask(QStringLiteral("99:99;_"));
    cmbTime = new QComboBox;
    cmbTime->setObjectName(QStringLiteral("cmbTime"));
    cmbTime->setMinimumWidth(70);
    dcbDate = new QComboBox;
    dcbDate->setObjectName(QStringLiteral("dcbDate"));
    dcbDate->setMinimumWidth(110);
    // A time picked from the list stands in the time box.
    connect(cmbTime, &QComboBox::activated, this, [this](int i) {
        if (!cmbTime->itemText(i).isEmpty())
            mbxTime->setText(cmbTime->itemText(i));
    });

    auto* g = new QGridLayout;
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(4);
    g->addWidget(caption(QStringLiteral("Ship"), dcbShip), 0, 0);
    g->addWidget(dcbShip, 0, 1);
    g->addWidget(caption(QStringLiteral("Voyage ID"), txtVoyageID), 0, 2);
    g->addWidget(txtVoyageID, 0, 3);
    g->addWidget(caption(QStringLiteral("Port"), dcbPort), 0, 4);
    g->addWidget(dcbPort, 0, 5);
    g->addWidget(caption(QStringLiteral("Cargo"), txtCargo), 0, 6);
    g->addWidget(txtCargo, 0, 7, 1, 3);
    g->addWidget(caption(QStringLiteral("Density"), txtDensity), 1, 0);
    g->addWidget(txtDensity, 1, 1, Qt::AlignLeft);
    g->addWidget(caption(QStringLiteral("Date"), mbxDate), 1, 2);
    auto* dates = new QHBoxLayout;
    dates->addWidget(mbxDate);
    dates->addWidget(dcbDate);
    dates->addStretch();
    g->addLayout(dates, 1, 3, 1, 2);
    g->addWidget(caption(QStringLiteral("Time"), mbxTime), 1, 6);
    auto* times = new QHBoxLayout;
    times->addWidget(mbxTime);
    times->addWidget(cmbTime);
    times->addStretch();
    g->addLayout(times, 1, 7);
    g->setColumnStretch(9, 1);
    outer->addLayout(g);
}

QGroupBox* SurveyWindow::buildDraftFrame()
{
    fmeQuorvane = new QGroupBox;
    fmeQuorvane->setObjectName(QStringLiteral("fmeQuorvane"));
    auto* v = new QVBoxLayout(fmeQuorvane);
    v->setContentsMargins(6, 6, 6, 6);
    v->setSpacing(6);

    // The readings, port and starboard at each pair of marks, and what becomes of them.
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(3);
    const QString columns[5] = {QStringLiteral(" Port"), QStringLiteral("Starboard"), QStringLiteral(" Mean"),
                                QStringLiteral(" Corrections"), QStringLiteral(" True Draft")};
    for (int c = 0; c < 5; ++c)
        g->addWidget(caption(columns[c]), 0, c + 1);
    txtFwdPort = lineEdit("txtFwdPort", 6);
    txtFwdStbd = lineEdit("txtFwdStbd", 6);
    txtFwdMean = lineEdit("txtFwdMean");
    txtFwdCorrection = lineEdit("txtFwdCorrection", 0, 74);
    txtFwdTrueDraft = lineEdit("txtFwdTrueDraft", 0, 74);
    txtMidShipPort = lineEdit("txtMidShipPort", 6);
    txtMidshipStbd = lineEdit("txtMidshipStbd", 6);
    txtMidshipMean = lineEdit("txtMidshipMean");
    txtMidshipCorrection = lineEdit("txtMidshipCorrection", 0, 74);
    txtMidshipTrueDraft = lineEdit("txtMidshipTrueDraft", 0, 74);
    txtAftPort = lineEdit("txtAftPort", 6);
    txtAftStbd = lineEdit("txtAftStbd", 6);
    txtAftMean = lineEdit("txtAftMean");
    txtAftCorrection = lineEdit("txtAftCorrection", 0, 74);
    txtAftTrueDraft = lineEdit("txtAftTrueDraft", 0, 74);
    const QString rows[3] = {QStringLiteral(" Forward"), QStringLiteral(" Midships"), QStringLiteral(" Aft")};
    QLineEdit* const table[3][5] = {
        {txtFwdPort, txtFwdStbd, txtFwdMean, txtFwdCorrection, txtFwdTrueDraft},
        {txtMidShipPort, txtMidshipStbd, txtMidshipMean, txtMidshipCorrection, txtMidshipTrueDraft},
        {txtAftPort, txtAftStbd, txtAftMean, txtAftCorrection, txtAftTrueDraft},
    };
    for (int r = 0; r < 3; ++r) {
        g->addWidget(caption(rows[r], table[r][0]), r + 1, 0);
        for (int c = 0; c < 5; ++c)
            g->addWidget(table[r][c], r + 1, c + 1);
        for (int c = 2; c < 5; ++c)
            makeReadOnly(table[r][c]);
    }
    g->setColumnStretch(6, 1);
    v->addLayout(g);

    // Where the marks stand: each distance from its perpendicular (from midships for the mid
    // marks), positive forward.
    txtFwdX = lineEdit("txtFwdX", 8, 70);
    txtMidX = lineEdit("txtMidX", 8, 70);
    txtAftX = lineEdit("txtAftX", 8, 70);
    txtLBP = lineEdit("txtLBP", 0, 74);
    txtLBM = lineEdit("txtLBM", 0, 74);
    makeReadOnly(txtLBP);
    makeReadOnly(txtLBM);
    auto* marks = new QGridLayout;
    marks->setHorizontalSpacing(4);
    marks->setVerticalSpacing(1);
    marks->addWidget(caption(QStringLiteral("Dist. fm. PP")), 1, 0);
    const QString markCaptions[5] = {QStringLiteral("Fwd X"), QStringLiteral("Mid X"),
                                     QStringLiteral("Aft X"), QStringLiteral("LBP"), QStringLiteral("LBM")};
    QLineEdit* const markBoxes[5] = {txtFwdX, txtMidX, txtAftX, txtLBP, txtLBM};
    for (int c = 0; c < 5; ++c) {
        marks->addWidget(caption(markCaptions[c], markBoxes[c]), 0, c + 1);
        marks->addWidget(markBoxes[c], 1, c + 1);
    }
    marks->setColumnStretch(6, 1);
    v->addLayout(marks);

    txtApparentTrim = lineEdit("txtApparentTrim", 0, 74);
    txtTrueTrim = lineEdit("txtTrueTrim", 0, 74);
    txtTrueMeanDraft = lineEdit("txtTrueMeanDraft", 0, 100);
    txtIpFactor = lineEdit("txtIpFactor", 0, 100);
    for (QLineEdit* b : {txtApparentTrim, txtTrueTrim, txtTrueMeanDraft, txtIpFactor})
        makeReadOnly(b);
    lblTrueTrim = caption(QStringLiteral(" True Trim"), txtTrueTrim);
    lblTrueTrim->setObjectName(QStringLiteral("lblTrueTrim"));
    auto* trim = new QGridLayout;
    trim->setHorizontalSpacing(4);
    trim->setVerticalSpacing(1);
    trim->addWidget(caption(QStringLiteral(" Apparent Trim"), txtApparentTrim), 0, 0);
    trim->addWidget(txtApparentTrim, 1, 0);
    trim->addWidget(lblTrueTrim, 0, 1);
    trim->addWidget(txtTrueTrim, 1, 1);
    trim->addWidget(caption(QStringLiteral(" True Mean Draft"), txtTrueMeanDraft), 0, 2);
    trim->addWidget(txtTrueMeanDraft, 1, 2);
    trim->addWidget(caption(QStringLiteral(" Interpolation Factor"), txtIpFactor), 0, 3);
    trim->addWidget(txtIpFactor, 1, 3);
    trim->setColumnStretch(4, 1);
    v->addLayout(trim);

    fmeDeflection = new QGroupBox(QStringLiteral("Hull Deflection"));
    fmeDeflection->setObjectName(QStringLiteral("fmeDeflection"));
    txtDeflection = lineEdit("txtDeflection", 0, 74);
    txtDeflection->setReadOnly(true);
    txtDeflection->setFocusPolicy(Qt::ClickFocus);
    shade(txtDeflection, LightPink);
    lblHogSag = new QLabel;
    lblHogSag->setObjectName(QStringLiteral("lblHogSag"));
    lblHogSag->setMinimumWidth(30);
    auto* d = new QHBoxLayout(fmeDeflection);
    d->setContentsMargins(6, 2, 6, 4);
    d->addWidget(lblHogSag);
    d->addWidget(txtDeflection);
    d->addWidget(caption(QStringLiteral("cm")));
    d->addStretch();
    v->addWidget(fmeDeflection);
    return fmeQuorvane;
}

QWidget* SurveyWindow::buildContent()
{
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("surveyContent"));
    auto* h = new QHBoxLayout(content);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(10);

    // Left: the draft block, remarks, Calculate and the panels of the tab.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(buildDraftFrame());
    txtComments = new QPlainTextEdit;
    txtComments->setObjectName(QStringLiteral("txtComments"));
    txtComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtComments->setTabChangesFocus(true);
    txtComments->setFixedHeight(52);
    left->addWidget(caption(QStringLiteral("Comments / Remarks"), txtComments));
    left->addWidget(txtComments);
    cmdCalculate = new QPushButton(QStringLiteral("&Calculate"));
    cmdCalculate->setObjectName(QStringLiteral("cmdCalculate"));
    cmdCalculate->setAutoDefault(false);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(cmdCalculate);
    left->addLayout(buttonRow);
    m_panelArea = new QVBoxLayout;
    m_panelArea->setSpacing(2);
    left->addLayout(m_panelArea);
    left->addStretch(1);
    h->addLayout(left);

    // Middle: the hydrostatic tables and what the interpolation made of them.
    auto* middle = new QVBoxLayout;
    middle->setSpacing(3);
    middle->addWidget(caption(QStringLiteral("Hydrostatic Data")));
    middle->addWidget(m_grids->hdtGrid(), 0, Qt::AlignLeft);
    auto* mctc = new QHBoxLayout;
    mctc->setSpacing(8);
    mctc->addWidget(m_grids->mctcp50Grid());
    mctc->addWidget(m_grids->mctcm50Grid());
    mctc->addStretch();
    middle->addLayout(mctc);
    middle->addSpacing(4);
    middle->addWidget(caption(QStringLiteral("Interpolation")));
    middle->addWidget(m_grids->ipResultGrid(), 0, Qt::AlignLeft);
    auto* lower = new QHBoxLayout;
    lower->setSpacing(8);
    auto* mctcResults = new QVBoxLayout;
    mctcResults->setSpacing(3);
    mctcResults->addWidget(m_grids->ipResultMctcp50Grid());
    mctcResults->addWidget(m_grids->ipResultMctcm50Grid());
    mctcResults->addStretch();
    lower->addLayout(mctcResults);
    lower->addWidget(m_grids->resultGrid(), 0, Qt::AlignTop);
    lower->addStretch();
    middle->addLayout(lower);
    middle->addStretch(1);
    h->addLayout(middle);

    // Right: what is on board besides cargo, and the displacement worked down to the net.
    auto* right = new QVBoxLayout;
    right->setSpacing(3);
    right->addWidget(caption(QStringLiteral("Deductibles")));
    right->addWidget(m_grids->deductionGrid(), 0, Qt::AlignLeft);
    right->addSpacing(4);
    right->addWidget(caption(QStringLiteral("Displacement")));
    right->addWidget(m_results->grid(), 0, Qt::AlignLeft);
    right->addStretch(1);
    h->addLayout(right);
    h->addStretch(1);
    return content;
}

void SurveyWindow::makeReadOnly(QLineEdit* box)
{
    box->setReadOnly(true);
    // Reachable with the mouse to copy a figure, passed over by Tab and Enter.
    box->setFocusPolicy(Qt::ClickFocus);
    shade(box, LightYellow);
}

void SurveyWindow::buildTabOrder()
{
    const QList<QWidget*> order = {
        dcbShip, txtVoyageID, dcbPort, txtCargo, txtDensity, mbxDate, mbxTime,
        txtFwdPort, txtFwdStbd, txtMidShipPort, txtMidshipStbd, txtAftPort, txtAftStbd,
        txtFwdX, txtMidX, txtAftX,
        m_grids->hdtEditor(), m_grids->mpEditor(), m_grids->mmEditor(), m_grids->deductionEditor(),
        cmdCalculate, txtComments, m_results->initialNetDisplacementBox(),
    };
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}
