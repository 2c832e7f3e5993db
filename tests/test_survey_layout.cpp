// How the survey windows use the room they are given: maximised, their tables widen (and give
// the room back when restored, the interpolated figures still under their captions); on a 1366 x 768 laptop with a 12 pt font, and at 150 % (1280 x 720 device-independent
// pixels) with a 10 pt font, the survey needs no scrolling sideways, the figure column of the
// displacement is in view and the checks before signing can be reached.
#include "core/MessageService.h"
#include "shell/ChildRegistry.h"
#include "shell/MainWindow.h"
#include "survey/GridEditor.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

namespace {

const char* const Windows[2] = {"frmQuorvane", "frmZODuraduza"};
// The grids that take a maximised window's room.
const char* const Stretching[] = {"fgrdHDT",      "fgrdIpResult", "fgrdMCTCP50",     "fgrdIpResultMCTCP50",
                                  "fgrdMCTCM50",  "fgrdResult",   "fgrdDeduction",   "fgrdFinalResult"};

QMdiSubWindow* frameOf(QWidget* child)
{
    return qobject_cast<QMdiSubWindow*>(child->parentWidget());
}

QScrollArea* scrollerOf(QWidget* child)
{
    return child->findChild<QScrollArea*>(QStringLiteral("surveyScroller"));
}

// The left edge of a grid's column, in the window's co-ordinates.
int columnLeft(QWidget* child, const char* grid, int column)
{
    auto* g = child->findChild<SurveyGrid*>(QLatin1String(grid));
    return g->viewport()->mapTo(child, QPoint(g->columnViewportPosition(column), 0)).x();
}

// Whether a widget is wholly inside what the scroll area shows, once scrolled to it.
bool reachable(QScrollArea* scroller, QWidget* w)
{
    scroller->ensureWidgetVisible(w, 0, 0);
    QApplication::processEvents();
    const QPoint at = w->mapTo(scroller->viewport(), QPoint(0, 0));
    return scroller->viewport()->rect().contains(QRect(at, QSize(w->width(), qMin(w->height(), 40))));
}

}  // namespace

class TestSurveyLayout : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QFont m_font;

    // A main window of the given size with a survey window open in it; the survey window as its
    // frame was left (normal, or maximised when it did not fit).
    QWidget* openIn(MainWindow*& mdi, const char* window, QSize size)
    {
        mdi = new MainWindow;
        mdi->setGeometry(QRect(QPoint(0, 0), size));
        mdi->show();
        mdi->activateWindow();
        if (!QTest::qWaitForWindowActive(mdi))
            return nullptr;
        QWidget* child = mdi->openChild(QLatin1String(window));
        QApplication::processEvents();
        return child;
    }

    // At the given font size and screen, maximised: the checks before signing in reach and
    // nothing said; no scrolling sideways and the displacement's figures whole, on every tab.
    void fitsTheScreen(int points, QSize screen)
    {
        QFont f = m_font;
        f.setPointSize(points);
        QApplication::setFont(f);
        QStringList tooWide;
        for (const char* window : Windows) {
            MessageService::clearRecords();
            MainWindow* mdi = nullptr;
            QWidget* child = openIn(mdi, window, screen);
            QVERIFY2(child, window);
            frameOf(child)->showMaximized();
            QApplication::processEvents();
            QWidget* content = child->findChild<QWidget*>(QStringLiteral("surveyContent"));
            QVERIFY(content);
            QScrollArea* scroller = scrollerOf(child);
            QVERIFY(reachable(scroller, child->findChild<QListWidget*>()));
            QCOMPARE(TestSupport::messageTexts(), QStringList());
            // On each tab (the Daily one with a draft check, its bar above the block), the
            // displacement's figure column is whole without scrolling sideways.
            auto* tabs = child->findChild<QTabWidget*>();
            QVERIFY(tabs);
            for (int tab : {1, 2, 0}) {
                tabs->setCurrentIndex(tab);
                if (tab == 1)
                    QTest::mouseClick(
                        child->findChild<QPushButton*>(QStringLiteral("cmdAddCheck")), Qt::LeftButton);
                QApplication::processEvents();
                auto* result = child->findChild<SurveyGrid*>(QStringLiteral("fgrdFinalResult"));
                const QPoint at = result->mapTo(scroller->viewport(), QPoint(0, 0));
                if (scroller->horizontalScrollBar()->isVisible()
                    || at.x() + result->width() > scroller->viewport()->width())
                    tooWide << QStringLiteral("%1, tab %2: the figures end at %3 of %4")
                                   .arg(QLatin1String(window))
                                   .arg(tab)
                                   .arg(at.x() + result->width())
                                   .arg(scroller->viewport()->width());
            }
            delete mdi;
        }
        QApplication::setFont(m_font);
        if (!tooWide.isEmpty())
            qInfo("%s", qPrintable(tooWide.join(QStringLiteral("; "))));
        QVERIFY(tooWide.isEmpty());
    }

private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::initTestEnvironment();
        QVERIFY(m_dir.isValid());
        QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
        registerChildWindows();
        m_font = QApplication::font();
    }

    // Maximised on a large screen, both windows widen their tables; the
    // interpolated figures stay under their tables' captions, the box over the Initial's net
    // displacement over its cell; restored, every grid has its own width again.
    void aMaximisedWindowStretchesItsGrids()
    {
        for (const char* window : Windows) {
            MessageService::clearRecords();
            MainWindow* mdi = nullptr;
            QWidget* child = openIn(mdi, window, QSize(1920, 1080));
            QVERIFY2(child, window);
            QMdiSubWindow* frame = frameOf(child);
            QVERIFY(!frame->isMaximized());
            QHash<QString, int> normal;
            for (const char* name : Stretching) {
                auto* w = child->findChild<QWidget*>(QLatin1String(name));
                QVERIFY2(w, name);
                normal[QLatin1String(name)] = w->width();
            }
            auto* hdt = child->findChild<SurveyGrid*>(QStringLiteral("fgrdHDT"));
            const int hdtDisplacement = hdt->columnWidth(2);

            frame->showMaximized();
            for (const char* name : Stretching) {
                auto* w = child->findChild<QWidget*>(QLatin1String(name));
                QTRY_VERIFY2(w->width() > normal.value(QLatin1String(name)), name);
            }
            // The columns widen with the grids, the interpolation's under the table's.
            QTRY_VERIFY(hdt->columnWidth(2) > hdtDisplacement);
            for (int c = 1; c < 6; ++c)
                QCOMPARE(columnLeft(child, "fgrdIpResult", c), columnLeft(child, "fgrdHDT", c + 1));
            QCOMPARE(columnLeft(child, "fgrdIpResultMCTCM50", 1), columnLeft(child, "fgrdMCTCM50", 2));
            // The grid asks for its own width all the same: the frame restored is as it was.
            QCOMPARE(hdt->sizeHint().width() - 2 * hdt->frameWidth(),
                     hdt->ownColumnWidth(0) + hdt->ownColumnWidth(1) + hdt->ownColumnWidth(2)
                         + hdt->ownColumnWidth(3) + hdt->ownColumnWidth(4) + hdt->ownColumnWidth(5)
                         + hdt->ownColumnWidth(6));

            frame->showNormal();
            QTRY_COMPARE(hdt->columnWidth(2), hdtDisplacement);
            for (const char* name : Stretching) {
                auto* w = child->findChild<QWidget*>(QLatin1String(name));
                QTRY_COMPARE(w->width(), normal.value(QLatin1String(name)));
            }
            QCOMPARE(TestSupport::messageTexts(), QStringList());
            delete mdi;
        }
    }

    // 1366 x 768 with a 12 pt font.
    void atTwelvePointTheWindowFitsALaptopScreen() { fitsTheScreen(12, QSize(1366, 768)); }

    // 150 % on a 1920 x 1080 screen leaves 1280 x 720 to lay out, with a 10 pt font.
    void atOneHundredFiftyPercentTheWindowFits() { fitsTheScreen(10, QSize(1280, 720)); }
};

QTEST_MAIN(TestSurveyLayout)
#include "test_survey_layout.moc"
