// How a survey window is laid out: the header above the tabs, and under them one block that
// goes with the tab being shown: the draft panel on the left, the hydrostatic tables and their
// interpolation in the middle, the deductibles and the displacement on the right.
#include "survey/SurveyWindow.h"

#include "survey/FindingsList.h"
#include "survey/GridEditor.h"
#include "survey/ResultDisplay.h"
#include "survey/TankSheetPanel.h"
#include "ui/TextLimit.h"
#include "ui/NameCombo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

const QColor LightYellow(253, 252, 210);
const QColor LightPink(255, 192, 192);
// The boxes of the draft panel: a reading or distance as typed, a mean or correction to its places.
constexpr int PanelBoxWidth = 68;
// How the room of a maximised window is shared: the draft panel, the hydrostatic tables, the
// deductibles and displacement, and a little between them.
constexpr int LeftStretch = 3;
constexpr int MiddleStretch = 5;
constexpr int RightStretch = 3;
constexpr int GapStretch = 1;
// The widest the block grows, against the width it needs: on a wide screen the tables stay near
// one another.
constexpr int MostSpreadPercent = 160;

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
    // A colour of its own brings its own ink: the scheme's text may be white.
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Text, SurveyGrid::inkOn(colour));
    box->setPalette(p);
}

// The block under the tabs. It asks for all the room it needs, and when the window is
// smaller than that (a laptop screen, a main window that is not maximised) it scrolls rather
// than have its lower or right part cut off.
class ContentScroller : public QScrollArea {
public:
    ContentScroller()
    {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        // Tab goes from box to box; the scroll area itself is never a stop.
        setFocusPolicy(Qt::NoFocus);
        // A box or grid cell that takes the focus is scrolled into view, with its caption.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now && widget() && widget()->isAncestorOf(now))
                ensureWidgetVisible(now, 100, 40);
        });
    }

    QSize sizeHint() const override
    {
        const QSize content = widget() ? widget()->sizeHint() : QSize();
        return content + QSize(2 * frameWidth(), 2 * frameWidth());
    }
    QSize minimumSizeHint() const override { return {160, 120}; }

protected:
    void showEvent(QShowEvent* event) override
    {
        QScrollArea::showEvent(event);
        if (m_watched)
            return;
        // The frame is placed once the window has been shown and centred; then it is kept
        // within the main window's working area, and again whenever that area shrinks.
        if (QMdiSubWindow* frame = subWindow()) {
            if (QMdiArea* area = frame->mdiArea()) {
                m_watched = area->viewport();
                m_watched->installEventFilter(this);
                QTimer::singleShot(0, this, &ContentScroller::openInWorkspace);
            }
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_watched && event->type() == QEvent::Resize)
            keepFrameInWorkspace();
        // The block grew or shrank (a catalogue loaded, a caption widened): the window's size
        // hint follows it.
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            updateGeometry();
            capSpread();
            QTimer::singleShot(0, this, &ContentScroller::growFrameToFit);
        }
        // The window goes into its frame, which takes its size from the window's size hint.
        if (watched == m_window && event->type() == QEvent::ParentChange)
            refreshSizeHints();
        return QScrollArea::eventFilter(watched, event);
    }

public:
    // The window that holds the block; its size hint is kept up to date.
    void watchWindow(QWidget* window)
    {
        m_window = window;
        window->installEventFilter(this);
    }

    // Told the room the block may have, whenever the window changes size, so that it can
    // arrange its columns to fit rather than scroll sideways.
    void onRoomChanged(std::function<void(QSize, int)> arrange) { m_arrange = std::move(arrange); }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        // The room is the window's size inside its frame, whether or not scroll bars show, and
        // the width a vertical scroll bar would take: the arrangement then depends on the
        // window's size alone, never on what the arrangement itself makes scroll.
        QScrollArea::resizeEvent(event);
        if (m_arrange)
            m_arrange(size() - QSize(2 * frameWidth(), 2 * frameWidth()),
                      verticalScrollBar()->sizeHint().width());
    }

private:
    void refreshSizeHints()
    {
        // A window not yet shown passes no change of size on by itself: the layouts of the
        // block, each widget between the block and the window and each layout holding one
        // forget the sizes they last worked out.
        if (widget()) {
            for (QLayout* l : widget()->findChildren<QLayout*>())
                l->invalidate();
        }
        for (QWidget* w = this; w && w != m_window; w = w->parentWidget()) {
            w->updateGeometry();
            if (QWidget* holder = w->parentWidget(); holder && holder->layout())
                holder->layout()->invalidate();
        }
    }

    QMdiSubWindow* subWindow() const
    {
        for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
            if (auto* frame = qobject_cast<QMdiSubWindow*>(w))
                return frame;
        }
        return nullptr;
    }

    // A window whose survey does not fit the working area as a frame (a small screen, large
    // text) opens maximised: without its frame's edges and title bar it shows the whole survey
    // where it otherwise would scroll. A window that fits opens as before.
    void openInWorkspace()
    {
        QMdiSubWindow* frame = subWindow();
        QMdiArea* area = frame ? frame->mdiArea() : nullptr;
        if (area && widget() && !frame->isMaximized() && !frame->isMinimized()) {
            // The frame's own wish: the whole block, the window's header and tabs, its edges.
            const QSize room = area->viewport()->size();
            const QSize wanted = frame->sizeHint();
            if (wanted.width() > room.width() || wanted.height() > room.height()) {
                frame->showMaximized();
                return;
            }
        }
        keepFrameInWorkspace();
    }

    // Room beyond what the block needs goes into its tables and between them, but not without end:
    // on a wide screen the tables stay near one another, the block in the middle.
    void capSpread()
    {
        QWidget* block = widget();
        if (!block || !block->layout())
            return;
        const int most = block->layout()->sizeHint().width() * MostSpreadPercent / 100;
        if (block->maximumWidth() != most)
            block->setMaximumWidth(most);
    }

    // The block grew after the window opened (a caption of the other tab, a figure): the frame
    // grows with it as far as the working area lets it, rather than start to scroll.
    void growFrameToFit()
    {
        QMdiSubWindow* frame = subWindow();
        QMdiArea* area = frame ? frame->mdiArea() : nullptr;
        if (!area || !m_watched || frame->isMaximized() || frame->isMinimized())
            return;
        const QSize wanted = frame->sizeHint().boundedTo(area->viewport()->size());
        const QSize grown = frame->size().expandedTo(wanted);
        if (grown != frame->size()) {
            frame->resize(grown);
            keepFrameInWorkspace();
        }
    }

    void keepFrameInWorkspace()
    {
        QMdiSubWindow* frame = subWindow();
        QMdiArea* area = frame ? frame->mdiArea() : nullptr;
        if (!area || frame->isMaximized() || frame->isMinimized())
            return;
        const QSize room = area->viewport()->size();
        QRect r = frame->geometry();
        r.setSize(r.size().boundedTo(room));
        r.moveLeft(qBound(0, r.left(), room.width() - r.width()));
        r.moveTop(qBound(0, r.top(), room.height() - r.height()));
        if (r != frame->geometry())
            frame->setGeometry(r);
    }

    QPointer<QWidget> m_watched;
    QWidget* m_window = nullptr;
    std::function<void(QSize, int)> m_arrange;
};

}  // namespace

// --- Layout ------------------------------------------------------------------------------------

void SurveyWindow::buildHeader(QVBoxLayout* outer)
{
    dcbShip = new QComboBox;
    dcbShip->setObjectName(QStringLiteral("dcbShip"));
    dcbShip->setMinimumWidth(190);
    NameCombo::prepare(dcbShip, 20);
    txtVoyageID = lineEdit("txtVoyageID", 15, 130);
    dcbPort = new QComboBox;
    dcbPort->setObjectName(QStringLiteral("dcbPort"));
    dcbPort->setMinimumWidth(170);
    NameCombo::prepare(dcbPort, 20);
    txtCargo = lineEdit("txtCargo", 50, 260);
    // A long cargo description has the room there is; a narrow window still shows a good part.
    txtCargo->setMinimumWidth(150);
    txtCargo->setMaximumWidth(360);
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
    // The list correction: off unless chosen; the TPC boxes only for a ship without a table.
    chkListCorrection = new QCheckBox(QStringLiteral("List correction"));
    chkListCorrection->setObjectName(QStringLiteral("chkListCorrection"));
    txtListTpcPort = lineEdit("txtListTpcPort", 0, 64);
    txtListTpcStbd = lineEdit("txtListTpcStbd", 0, 64);
    auto* list = new QHBoxLayout;
    list->addWidget(chkListCorrection);
    list->addWidget(caption(QStringLiteral("TPC port"), txtListTpcPort));
    list->addWidget(txtListTpcPort);
    list->addWidget(caption(QStringLiteral("stbd"), txtListTpcStbd));
    list->addWidget(txtListTpcStbd);
    list->addStretch();
    g->addLayout(list, 1, 8, 1, 2);
    connect(chkListCorrection, &QCheckBox::toggled, this, [this](bool on) {
        m_model->setListCorrection(on);
        showListCorrection(draftOnShow());
    });
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

    // The readings, port and starboard at each pair of marks, and what becomes of them; under
    // them where the marks stand, each distance from its perpendicular (from midships for the mid
    // marks), positive forward. One grid, so that the columns line up.
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(3);
    const QString columns[5] = {QStringLiteral(" Port"), QStringLiteral("Starboard"), QStringLiteral(" Mean"),
                                QStringLiteral(" Corrections"), QStringLiteral(" True Draft")};
    for (int c = 0; c < 5; ++c)
        g->addWidget(caption(columns[c]), 0, c + 1);
    txtFwdPort = lineEdit("txtFwdPort", 6, PanelBoxWidth);
    txtFwdStbd = lineEdit("txtFwdStbd", 6, PanelBoxWidth);
    txtFwdMean = lineEdit("txtFwdMean", 0, PanelBoxWidth);
    txtFwdCorrection = lineEdit("txtFwdCorrection", 0, PanelBoxWidth);
    txtFwdTrueDraft = lineEdit("txtFwdTrueDraft", 0, PanelBoxWidth);
    txtMidShipPort = lineEdit("txtMidShipPort", 6, PanelBoxWidth);
    txtMidshipStbd = lineEdit("txtMidshipStbd", 6, PanelBoxWidth);
    txtMidshipMean = lineEdit("txtMidshipMean", 0, PanelBoxWidth);
    txtMidshipCorrection = lineEdit("txtMidshipCorrection", 0, PanelBoxWidth);
    txtMidshipTrueDraft = lineEdit("txtMidshipTrueDraft", 0, PanelBoxWidth);
    txtAftPort = lineEdit("txtAftPort", 6, PanelBoxWidth);
    txtAftStbd = lineEdit("txtAftStbd", 6, PanelBoxWidth);
    txtAftMean = lineEdit("txtAftMean", 0, PanelBoxWidth);
    txtAftCorrection = lineEdit("txtAftCorrection", 0, PanelBoxWidth);
    txtAftTrueDraft = lineEdit("txtAftTrueDraft", 0, PanelBoxWidth);
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

    txtFwdX = lineEdit("txtFwdX", 8, PanelBoxWidth);
    txtMidX = lineEdit("txtMidX", 8, PanelBoxWidth);
    txtAftX = lineEdit("txtAftX", 8, PanelBoxWidth);
    txtLBP = lineEdit("txtLBP", 0, PanelBoxWidth);
    txtLBM = lineEdit("txtLBM", 0, PanelBoxWidth);
    makeReadOnly(txtLBP);
    makeReadOnly(txtLBM);
    g->setRowMinimumHeight(4, 6);
    g->addWidget(caption(QStringLiteral("Dist. fm. PP")), 6, 0);
    const QString markCaptions[5] = {QStringLiteral("Fwd X"), QStringLiteral("Mid X"),
                                     QStringLiteral("Aft X"), QStringLiteral("LBP"), QStringLiteral("LBM")};
    QLineEdit* const markBoxes[5] = {txtFwdX, txtMidX, txtAftX, txtLBP, txtLBM};
    for (int c = 0; c < 5; ++c) {
        g->addWidget(caption(markCaptions[c], markBoxes[c]), 5, c + 1);
        g->addWidget(markBoxes[c], 6, c + 1);
    }
    g->setColumnStretch(6, 1);
    v->addLayout(g);

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
    h->setSpacing(4);

    // Left: the draft block, remarks, Calculate, the panels of the tab and the checks on them.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(buildDraftFrame());
    txtComments = new LimitedPlainTextEdit(SurveyInputRules::kCommentLimit);
    txtComments->setObjectName(QStringLiteral("txtComments"));
    txtComments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtComments->setTabChangesFocus(true);
    txtComments->setFixedHeight(52);
    left->addWidget(caption(QStringLiteral("Comments / Remarks"), txtComments));
    left->addWidget(txtComments);
    cmdCalculate = new QPushButton(QStringLiteral("&Calculate"));
    cmdCalculate->setObjectName(QStringLiteral("cmdCalculate"));
    cmdCalculate->setAutoDefault(false);
    // The particulars for the calculation sheet; reached with Alt+R, left out of the Tab round.
    cmdParticulars = new QPushButton(QStringLiteral("Pa&rticulars..."));
    cmdParticulars->setObjectName(QStringLiteral("cmdParticulars"));
    cmdParticulars->setAutoDefault(false);
    cmdParticulars->setFocusPolicy(Qt::ClickFocus);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(cmdParticulars);
    buttonRow->addWidget(cmdCalculate);
    left->addLayout(buttonRow);
    m_panelArea = new QVBoxLayout;
    m_panelArea->setSpacing(2);
    left->addLayout(m_panelArea);
    // Under the results of the tab, what a surveyor would question in them; it takes the height
    // left free.
    lstFindings = new FindingsList;
    left->addWidget(caption(QStringLiteral("Checks before signing"), lstFindings));
    left->addWidget(lstFindings, 1);
    h->addLayout(left, LeftStretch);
    h->addStretch(GapStretch);

    // Middle: the hydrostatic tables, each with what the interpolation made of it right under
    // it, column under column, so that the table's captions name the interpolated figures too.
    auto* middle = new QVBoxLayout;
    middle->setSpacing(3);
    middle->addWidget(caption(QStringLiteral("Hydrostatic Data")));
    middle->addWidget(m_grids->hdtGrid());
    middle->addWidget(m_grids->ipResultGrid());
    middle->addSpacing(8);
    auto* mctc = new QHBoxLayout;
    mctc->setSpacing(10);
    const std::pair<SurveyGrid*, SurveyGrid*> mctcTables[2] = {
        {m_grids->mctcp50Grid(), m_grids->ipResultMctcp50Grid()},
        {m_grids->mctcm50Grid(), m_grids->ipResultMctcm50Grid()},
    };
    for (const auto& [table, interpolated] : mctcTables) {
        auto* column = new QVBoxLayout;
        column->setSpacing(3);
        column->addWidget(table);
        column->addWidget(interpolated);
        mctc->addLayout(column, 1);
    }
    middle->addLayout(mctc);
    middle->addSpacing(8);
    middle->addWidget(m_grids->resultGrid());
    middle->addStretch(1);
    h->addLayout(middle, MiddleStretch);
    h->addStretch(GapStretch);

    // Right: what is on board besides cargo, and the displacement worked down to the net.
    auto* rightColumn = new QWidget;
    rightColumn->setObjectName(QStringLiteral("surveyRightColumn"));
    auto* right = new QVBoxLayout(rightColumn);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(3);
    right->addWidget(caption(QStringLiteral("Deductibles")));
    right->addWidget(m_grids->deductionGrid());
    right->addSpacing(4);
    // The tanks sounded, whose group totals fill the deductibles when the draft is calculated.
    fgrdTanks = new TankSheetPanel([this]() -> SurveyModel& { return *m_model; },
                                   [this](const SurveyMessages& m) { tell(m); });
    right->addWidget(fgrdTanks);
    right->addSpacing(4);
    right->addWidget(caption(QStringLiteral("Displacement")));
    right->addWidget(m_results->grid());
    right->addStretch(1);
    h->addWidget(rightColumn, RightStretch);

    // A maximised window's room goes into the tables' columns rather than between them.
    for (SurveyGrid* grid : {static_cast<SurveyGrid*>(m_grids->hdtGrid()), m_grids->ipResultGrid(),
                             static_cast<SurveyGrid*>(m_grids->mctcp50Grid()), m_grids->ipResultMctcp50Grid(),
                             static_cast<SurveyGrid*>(m_grids->mctcm50Grid()), m_grids->ipResultMctcm50Grid(),
                             m_grids->resultGrid(), static_cast<SurveyGrid*>(m_grids->deductionGrid()),
                             m_results->grid()})
        grid->setSpreadsColumns(true);

    auto* scroller = new ContentScroller;
    scroller->setObjectName(QStringLiteral("surveyScroller"));
    scroller->setWidget(content);
    content->installEventFilter(scroller);
    scroller->watchWindow(this);
    // Where the three columns do not fit side by side (large text on a laptop screen), the
    // deductibles and the displacement go under the hydrostatic tables: the survey then scrolls
    // down, never sideways, and no figure column is cut at the window's edge.
    scroller->onRoomChanged([=](QSize room, int scrollBarWidth) {
        const bool isUnder = middle->indexOf(rightColumn) >= 0;
        const int besideWidth = left->minimumSize().width() + middle->minimumSize().width()
            + rightColumn->minimumSizeHint().width() + 4 * h->spacing();
        // Side by side the block is as tall as its tallest column; taller than the room, it
        // scrolls down and the scroll bar takes its width from the room.
        const int rightHeight = rightColumn->sizeHint().height();
        const int middleHeight
            = middle->sizeHint().height() - (isUnder ? rightHeight + 8 + middle->spacing() : 0);
        const int besideHeight = std::max({left->sizeHint().height(), middleHeight, rightHeight});
        const int width = room.width() - (besideHeight > room.height() ? scrollBarWidth : 0);
        const bool under = width < besideWidth;
        if (under == isUnder)
            return;
        if (under) {
            h->removeWidget(rightColumn);
            middle->insertSpacing(middle->count() - 1, 8);
            middle->insertWidget(middle->count() - 1, rightColumn);
        } else {
            middle->removeWidget(rightColumn);
            delete middle->takeAt(middle->count() - 2);
            h->addWidget(rightColumn, RightStretch);
        }
    });
    return scroller;
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
    // The tank sheet, when shown, between the deductibles and Calculate.
    QWidget::setTabOrder(m_grids->deductionEditor(), fgrdTanks);
    QWidget::setTabOrder(fgrdTanks, cmdCalculate);
}
