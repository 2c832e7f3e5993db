// A day's work is never lost: a survey closed unsaved, or left open when the program ends or dies,
// comes back from Draft Survey, Recent Surveys figure for figure; a survey saved to a file and a
// window nothing was typed in leave nothing behind; the recent files outlive the main window. Also
// the keys that reach the Final tab, the tip and About boxes answering the keyboard, the menus'
// access keys, the limits of the comment and ship name boxes, and the figures readable in a dark
// colour scheme.
#include "ui/Contrast.h"
#include "core/MessageService.h"
#include "db/Database.h"
#include "files/SurveyFile.h"
#include "shell/ChildRegistry.h"
#include "shell/RecentSurveys.h"
#include "shell/Startup.h"
#include "shell/SurveyFileCommands.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "shell/TipOfDayWindow.h"
#include "core/AppPaths.h"
#include "ui/GridCopy.h"
#include "ui/ReportPreview.h"
#include "survey/SurveyRecovery.h"
#include "survey/GridEditor.h"
#include "survey/SurveyWindow.h"
#include "tests/ReportTestSupport.h"
#include "tests/SurveyWindowDriver.h"
#include "ui/TextLimit.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLockFile>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Figures = QMap<QString, QString>;

// Every figure a survey window shows, and the tab it is on.
Figures onScreenWithTab(const QWidget* w)
{
    Figures f = SurveyWindowDriver::onScreen(w);
    f.insert(QStringLiteral("tab"), QString::number(w->findChild<QTabWidget*>("sstQuorvane")->currentIndex()));
    return f;
}

// The contrast of the text drawn in `area` of an image against the area's background: the most
// common colour is the background, the pixel farthest from it the ink.
double inkContrast(const QImage& image, const QRect& area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double best = 1.0;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        best = std::max(best, Contrast::ratio(QColor(background), QColor(it.key())));
    return best;
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(30, 30, 32));
    p.setColor(QPalette::AlternateBase, QColor(50, 50, 54));
    p.setColor(QPalette::Text, QColor(235, 235, 235));
    p.setColor(QPalette::Button, QColor(55, 55, 60));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    p.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    return p;
}

// The access keys of a menu's items: each letter after a single '&'.
QStringList accessKeys(const QMenu* menu)
{
    QStringList keys;
    for (const QAction* a : menu->actions()) {
        const QString t = a->text();
        for (int i = 0; i + 1 < t.size(); ++i) {
            if (t.at(i) != QLatin1Char('&'))
                continue;
            if (t.at(i + 1) != QLatin1Char('&'))
                keys << t.at(i + 1).toLower();
            ++i;
        }
    }
    return keys;
}

}  // namespace

class TestSurveyRecovery : public QObject, private SurveyWindowDriver {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void surveyClosedWithCtrlF4ComesBackAfterARestart();
    void surveyLeftOpenAtExitComesBack();
    void savedSurveyAndUntouchedWindowLeaveNothing();
    void surveyLeftByAKillIsOfferedAndCanBeDiscarded();
    void recentFilesOutliveTheMainWindow();
    void ctrlPageDownAndCtrlTabReachTheFinalTab();
    void tipAndAboutAnswerTheKeyboard();
    void menuAccessKeysAreUnique();
    void commentsAndShipNameKeepTheirLimitsWhenPasted();
    void darkSchemeLeavesCalculatedFiguresReadable();
    void previewFitsTheScreenAndKeepsItsSizeAndZoom();
    void surveysLostWithTheProgramAreOfferedAtStart();
    void savedSurveyLookedAtTabByTabLeavesNothing();
    void resultGridsCopyTheirSelection();
    void aboutBoxFitsItsTextInALargerFont();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_recovery;
    MainWindow* m_mdi = nullptr;
    QString m_chosen;

    void openMainWindow()
    {
        if (startupFailed() || !sharedConnection().isOpen())
            openDatabase();
        m_mdi = new MainWindow;
        m_mdi->resize(1500, 900);
        m_mdi->show();
        m_mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mdi));
    }
    void closeMainWindow()
    {
        delete m_mdi;
        m_mdi = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    SurveyWindow* surveyWindow(const char* name = "frmQuorvane") const
    {
        return dynamic_cast<SurveyWindow*>(m_mdi->findChildWindow(QLatin1String(name)));
    }
    SurveyWindow* openLoading()
    {
        m_mdi->action(QStringLiteral("mnuQuorvane(5)"))->trigger();
        QApplication::processEvents();
        SurveyWindow* w = surveyWindow();
        m_window = w;
        return w;
    }
    // Draft Survey, Recent Surveys, as the menu shows itself.
    QMenu* recentMenu() const
    {
        QMenu* menu = RecentSurveys::menu(*m_mdi);
        if (menu)
            RecentSurveys::fill(*m_mdi, menu);
        return menu;
    }
    QAction* recentAction(const QString& name) const
    {
        QMenu* menu = recentMenu();
        return menu ? menu->findChild<QAction*>(name) : nullptr;
    }
    QStringList recoveryFiles() const
    {
        return QDir(m_recovery.path()).entryList({QStringLiteral("*.json")}, QDir::Files);
    }
    // A copy of the open window's recovery file as a program killed `ago` seconds after its last
    // entry leaves it: no time of closing, no lock.
    QString leaveAsKilled(const QString& name, int ago)
    {
        const QStringList live = recoveryFiles();
        if (live.isEmpty())
            return {};
        const QString killed = QDir(m_recovery.path()).filePath(name);
        QFile::remove(killed);
        if (!QFile::copy(QDir(m_recovery.path()).filePath(live.first()), killed))
            return {};
        QFile f(killed);
        if (!f.open(QIODevice::ReadWrite)
            || !f.setFileTime(QDateTime::currentDateTime().addSecs(-ago), QFileDevice::FileModificationTime))
            return {};
        return QFileInfo(killed).absoluteFilePath();
    }
    void typeSurvey(bool withFinal)
    {
        fillHeader();
        fillDraft(lightDraft());
        calculate();
        QVERIFY(!cell("fgrdFinalResult", 9, 1).isEmpty());
        if (!withFinal)
            return;
        switchTo(SurveyWindow::FinalTab);
        // The Final draft half typed: density and the forward readings, the rest still to come.
        typeInto(box("txtDensity"), QStringLiteral("1.02"));
        pressEnter();
        typeInto(box("txtFwdPort"), QStringLiteral("8.40"));
        pressEnter();
        enter(QStringLiteral("8.42"));
    }
};

void TestSurveyRecovery::initTestCase()
{
    openFreshDatabase(m_dir);
    Startup::initResources();
    registerChildWindows();
    SurveyFileCommands::registerCommands();
    SurveyFileCommands::setFileChooser([this](QWidget*, bool, const QString&) { return m_chosen; });
    QVERIFY(m_recovery.isValid());
    SurveyRecovery::setFolder(m_recovery.path());
}

void TestSurveyRecovery::cleanupTestCase()
{
    SurveyFileCommands::setFileChooser({});
    SurveyRecovery::setFolder(QString());
    closeDatabase();
}

void TestSurveyRecovery::init()
{
    forgetMessages();
    for (const QString& name : recoveryFiles())
        QFile::remove(QDir(m_recovery.path()).filePath(name));
    QSettings(AppPaths::appName(), AppPaths::appName()).remove(QStringLiteral("Recent Surveys"));
    m_chosen.clear();
    openMainWindow();
}

void TestSurveyRecovery::cleanup()
{
    closeMainWindow();
    QApplication::setPalette(QPalette());
}

void TestSurveyRecovery::surveyClosedWithCtrlF4ComesBackAfterARestart()
{
    QVERIFY(openLoading());
    typeSurvey(true);
    const Figures typed = onScreenWithTab(m_window);
    QCOMPARE(typed.value("txtFwdStbd"), QStringLiteral("8.42"));
    QCOMPARE(messages(), QStringList());
    // An open window's survey is not offered: it is on screen.
    QCOMPARE(recoveryFiles().size(), 1);
    QVERIFY(SurveyRecovery::leftBehind().isEmpty());

    // Closed as it stands, without a question.
    QTest::keyClick(focused(), Qt::Key_F4, Qt::ControlModifier);
    QApplication::processEvents();
    QVERIFY(!surveyWindow());
    QCOMPARE(messages(), QStringList());

    closeMainWindow();
    openMainWindow();
    QAction* reopen = recentAction(QStringLiteral("mnuRecentReopen(1)"));
    QVERIFY(reopen);
    const auto* entry = qobject_cast<QMenu*>(reopen->parent());
    QVERIFY(entry);
    QVERIFY2(entry->title().startsWith("&1 Loading: Ocean Pride, voyage V-042 - closed "),
             qPrintable(entry->title()));
    reopen->trigger();
    QApplication::processEvents();
    SurveyWindow* back = surveyWindow();
    QVERIFY(back);
    QCOMPARE(messages(), QStringList());
    const Figures reopened = onScreenWithTab(back);
    compareCaptions(reopened, typed);
    // Open again, it is no longer among the closed ones, and it goes on in the same file.
    QVERIFY(SurveyRecovery::leftBehind().isEmpty());
    QCOMPARE(recoveryFiles().size(), 1);
    QCOMPARE(back->windowTitle(), QStringLiteral("Draft Survey-[Loading]"));
}

void TestSurveyRecovery::surveyLeftOpenAtExitComesBack()
{
    QVERIFY(openLoading());
    typeSurvey(false);
    const Figures typed = onScreenWithTab(m_window);

    m_mdi->action(QStringLiteral("mnuFile(18)"))->trigger();  // File, Exit
    QApplication::processEvents();
    QCOMPARE(messages(), QStringList());
    closeMainWindow();

    openMainWindow();
    const QList<SurveyRecovery::Entry> left = SurveyRecovery::leftBehind();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first().ship, QStringLiteral("Ocean Pride"));
    QCOMPARE(left.first().voyage, QStringLiteral("V-042"));
    QVERIFY(left.first().closed.secsTo(QDateTime::currentDateTime()) < 120);
    QAction* reopen = recentAction(QStringLiteral("mnuRecentReopen(1)"));
    QVERIFY(reopen);
    reopen->trigger();
    QApplication::processEvents();
    QVERIFY(surveyWindow());
    QCOMPARE(onScreenWithTab(surveyWindow()), typed);
    QCOMPARE(messages(), QStringList());
}

void TestSurveyRecovery::savedSurveyAndUntouchedWindowLeaveNothing()
{
    // A window opened and closed with nothing typed.
    QVERIFY(openLoading());
    click(box("txtVoyageID"));  // the ship comes first: a message, nothing entered
    forgetMessages();
    m_mdi->action(QStringLiteral("mnuFile(6)"))->trigger();
    QApplication::processEvents();
    QVERIFY(!surveyWindow());
    QCOMPARE(recoveryFiles(), QStringList());

    // A survey typed and saved: the title names the file, and closing leaves no recovery behind.
    QVERIFY(openLoading());
    fillHeader();
    QCOMPARE(recoveryFiles().size(), 1);
    m_chosen = m_dir.filePath(QStringLiteral("voyage.json"));
    m_mdi->action(QStringLiteral("mnuQuorvane(25)"))->trigger();
    QCOMPARE(messages(), QStringList());
    QVERIFY(QFileInfo::exists(m_chosen));
    QCOMPARE(recoveryFiles(), QStringList());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Draft Survey-[Loading] - voyage.json"));
    QCOMPARE(m_mdi->mdiArea()->activeSubWindow()->windowTitle(),
             QStringLiteral("Draft Survey-[Loading] - voyage.json"));
    // Ctrl+S still does nothing in a survey window: the survey is saved through its menu item.
    QTest::keyClick(focused(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(messages(), QStringList());
    m_mdi->action(QStringLiteral("mnuFile(6)"))->trigger();
    QApplication::processEvents();
    QCOMPARE(recoveryFiles(), QStringList());
    QVERIFY(SurveyRecovery::leftBehind().isEmpty());

    // Typed on after saving: unsaved again, so kept again.
    m_chosen.clear();
    QVERIFY(SurveyFileCommands::openFile(*m_mdi, m_dir.filePath(QStringLiteral("voyage.json"))));
    m_window = surveyWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Draft Survey-[Loading] - voyage.json"));
    QCOMPARE(recoveryFiles(), QStringList());  // opening a file is no entry
    typeInto(box("txtCargo"), QStringLiteral("Coal"));
    pressEnter();
    QTRY_COMPARE(recoveryFiles().size(), 1);
    m_mdi->action(QStringLiteral("mnuFile(6)"))->trigger();
    QApplication::processEvents();
    const QList<SurveyRecovery::Entry> left = SurveyRecovery::leftBehind();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first().surveyFile, QFileInfo(m_dir.filePath(QStringLiteral("voyage.json"))).absoluteFilePath());
    // Reopened, it names the file it came from.
    QVERIFY(SurveyFileCommands::reopenRecovered(*m_mdi, left.first().path));
    m_window = surveyWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Draft Survey-[Loading] - voyage.json"));
    QCOMPARE(box("txtCargo")->text(), QStringLiteral("Coal"));
}

void TestSurveyRecovery::surveyLeftByAKillIsOfferedAndCanBeDiscarded()
{
    QVERIFY(openLoading());
    fillHeader();
    QApplication::processEvents();  // the cargo's Enter is written on the next turn
    const QStringList live = recoveryFiles();
    QCOMPARE(live.size(), 1);
    // A program killed leaves its file as it was last written, with no time of closing.
    const QString killed = QDir(m_recovery.path()).filePath(QStringLiteral("survey-killed.json"));
    QVERIFY(QFile::copy(QDir(m_recovery.path()).filePath(live.first()), killed));
    {
        QFile f(killed);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    closeMainWindow();

    openMainWindow();
    const QList<SurveyRecovery::Entry> left = SurveyRecovery::leftBehind();
    QCOMPARE(left.size(), 2);
    // Newest first: the window closed just now, then the one lost an hour ago.
    QCOMPARE(QFileInfo(left.at(1).path).fileName(), QStringLiteral("survey-killed.json"));
    QVERIFY(qAbs(left.at(1).closed.secsTo(QDateTime::currentDateTime()) - 3600) < 120);
    QVERIFY(recentAction(QStringLiteral("mnuRecentDiscardAll")));

    QAction* reopen = recentAction(QStringLiteral("mnuRecentReopen(2)"));
    QVERIFY(reopen);
    reopen->trigger();
    QApplication::processEvents();
    m_window = surveyWindow();
    QVERIFY(m_window);
    QCOMPARE(find<QComboBox>("dcbShip")->currentText(), QStringLiteral("Ocean Pride"));
    QCOMPARE(box("txtCargo")->text(), QStringLiteral("Iron ore fines"));
    QCOMPARE(messages(), QStringList());

    // The other one is let go.
    QAction* discard = recentAction(QStringLiteral("mnuRecentDiscard(1)"));
    QVERIFY(discard);
    discard->trigger();
    QCOMPARE(SurveyRecovery::leftBehind().size(), 0);
    QCOMPARE(recoveryFiles(), QStringList{QStringLiteral("survey-killed.json")});  // the open window's
    QVERIFY(recentAction(QStringLiteral("mnuRecentNone")));
}

void TestSurveyRecovery::recentFilesOutliveTheMainWindow()
{
    QVERIFY(openLoading());
    fillHeader();
    QStringList saved;
    for (int i = 1; i <= 9; ++i) {
        m_chosen = m_dir.filePath(QStringLiteral("survey-%1.json").arg(i));
        m_mdi->action(QStringLiteral("mnuQuorvane(25)"))->trigger();
        saved.prepend(QFileInfo(m_chosen).absoluteFilePath());
    }
    QCOMPARE(messages(), QStringList());
    closeMainWindow();

    openMainWindow();
    // The last eight, newest first.
    QCOMPARE(RecentSurveys::files(), saved.mid(0, 8));
    QAction* first = recentAction(QStringLiteral("mnuRecentFile(1)"));
    QVERIFY(first);
    QCOMPARE(first->text(), QStringLiteral("&1 survey-9.json"));
    QVERIFY(recentAction(QStringLiteral("mnuRecentFile(8)")));
    QVERIFY(!recentAction(QStringLiteral("mnuRecentFile(9)")));
    recentAction(QStringLiteral("mnuRecentFile(3)"))->trigger();
    QApplication::processEvents();
    QVERIFY(surveyWindow());
    QCOMPARE(surveyWindow()->windowTitle(), QStringLiteral("Draft Survey-[Loading] - survey-7.json"));
    // Opened, it goes to the top.
    QCOMPARE(RecentSurveys::files().first(), saved.at(2));
}

void TestSurveyRecovery::ctrlPageDownAndCtrlTabReachTheFinalTab()
{
    QVERIFY(openLoading());
    // No ship yet: the keys follow the rule of a click on the tab.
    QTest::keyClick(focused(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::InitialTab));
    QCOMPARE(messages(), QStringList{QStringLiteral("Please select a ship first.")});
    forgetMessages();

    fillHeader();
    // The Daily tab lies between the two drafts' tabs: the next tab, then the Final one.
    QTest::keyClick(focused(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::DailyTab));
    QTest::keyClick(focused(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::FinalTab));
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtVoyageID")));
    QTest::keyClick(focused(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::DailyTab));
    QTest::keyClick(focused(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::InitialTab));
    QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::FinalTab));
    QTest::keyClick(focused(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::InitialTab));
    QCOMPARE(messages(), QStringList());

    // A figure the box refuses keeps the surveyor on the draft it belongs to.
    typeInto(box("txtDensity"), QStringLiteral("abc"));
    QTest::keyClick(focused(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::InitialTab));
    QCOMPARE(messages().size(), 1);
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtDensity")));
}

void TestSurveyRecovery::tipAndAboutAnswerTheKeyboard()
{
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QWidget* tip = m_mdi->openChild(QStringLiteral("frmTipOfDay"));
        QVERIFY(tip);
        QTRY_VERIFY(tip->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), key);
        QApplication::processEvents();
        QVERIFY(!m_mdi->findChildWindow(QStringLiteral("frmTipOfDay")));
    }
    // Next Tip has the focus: Enter asks for another tip and leaves the window open.
    QWidget* tip = m_mdi->openChild(QStringLiteral("frmTipOfDay"));
    QTRY_VERIFY(tip->isAncestorOf(QApplication::focusWidget()));
    auto* next = tip->findChild<QPushButton*>(QStringLiteral("cmdNextTip"));
    next->setFocus();
    QTest::keyClick(next, Qt::Key_Return);
    QVERIFY(m_mdi->findChildWindow(QStringLiteral("frmTipOfDay")));

    TipOfDayWindow::storeShowTipsAtStartup(false);  // leaving About leads into the program
    {
        AboutDialog about(m_mdi);
        about.show();
        QTRY_COMPARE(QApplication::focusWidget(),
                     static_cast<QWidget*>(about.findChild<QPushButton*>(QStringLiteral("cmdContinue"))));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Rejected));
    }
    {
        AboutDialog about(m_mdi);
        about.show();
        QTRY_VERIFY(about.isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
    TipOfDayWindow::storeShowTipsAtStartup(true);
}

void TestSurveyRecovery::menuAccessKeysAreUnique()
{
    // With closed surveys and recent files in the list, as the menu is at its fullest.
    QVERIFY(openLoading());
    fillHeader();
    m_chosen = m_dir.filePath(QStringLiteral("keys.json"));
    m_mdi->action(QStringLiteral("mnuQuorvane(25)"))->trigger();
    typeInto(box("txtCargo"), QStringLiteral("Coal"));
    pressEnter();
    m_mdi->action(QStringLiteral("mnuFile(6)"))->trigger();
    QApplication::processEvents();
    recentMenu();

    QList<QMenu*> menus = m_mdi->menuBar()->findChildren<QMenu*>();
    QVERIFY(menus.size() >= 6);
    QStringList top;
    for (QAction* a : m_mdi->menuBar()->actions())
        top << a->text();
    QMenu bar;
    bar.addActions(m_mdi->menuBar()->actions());
    menus << &bar;
    for (const QMenu* menu : menus) {
        const QStringList keys = accessKeys(menu);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    }
    QCOMPARE(m_mdi->action(QStringLiteral("mnuQuorvane(10)"))->text(), QStringLiteral("Disch&arging"));
    QCOMPARE(m_mdi->action(QStringLiteral("mnuQuorvane(25)"))->text(), QStringLiteral("Sa&ve Survey As..."));
}

void TestSurveyRecovery::commentsAndShipNameKeepTheirLimitsWhenPasted()
{
    QVERIFY(openLoading());
    fillHeader();
    auto* comments = find<QPlainTextEdit>("txtComments");
    click(comments);
    // A megabyte without a space, pasted: the box keeps what fits and lays it out at once.
    QGuiApplication::clipboard()->setText(QString(1000000, QLatin1Char('w')));
    QTest::keyClick(comments, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(comments->toPlainText().size(), 2000);
    QTest::keyClicks(comments, QStringLiteral("xy"));
    QCOMPARE(comments->toPlainText().size(), 2000);
    // Room made by taking text away is room for typing again.
    QTest::keyClick(comments, Qt::Key_Backspace);
    QTest::keyClicks(comments, QStringLiteral("xy"));
    QCOMPARE(comments->toPlainText().right(2), QStringLiteral("wx"));
    // Pasted over a selection: what it replaces counts as room.
    comments->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("Hatches sealed."));
    QTest::keyClick(comments, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(comments->toPlainText(), QStringLiteral("Hatches sealed."));

    // The ship name: 50 characters typed or pasted.
    QWidget* ships = m_mdi->openChild(QStringLiteral("frmShipParticulars"));
    QVERIFY(ships);
    auto* name = ships->findChild<QComboBox*>(QStringLiteral("cmbShipName"));
    QVERIFY(name && name->lineEdit());
    name->lineEdit()->setFocus();
    name->lineEdit()->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("Marine ") + QString(60, QLatin1Char('N')));
    QTest::keyClick(name->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(name->currentText().trimmed().size(), 50);
    QVERIFY(name->currentText().startsWith(QStringLiteral("Marine NNN")));
    // Pasted into the middle, the tail typed before stays.
    name->lineEdit()->setText(QStringLiteral("Bay Star"));
    name->lineEdit()->setCursorPosition(4);
    QGuiApplication::clipboard()->setText(QString(60, QLatin1Char('x')));
    QTest::keyClick(name->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(name->currentText().size(), 50);
    QVERIFY(name->currentText().startsWith(QStringLiteral("Bay x")));
    QVERIFY(name->currentText().endsWith(QStringLiteral("xStar")));
}

void TestSurveyRecovery::darkSchemeLeavesCalculatedFiguresReadable()
{
    closeMainWindow();
    QApplication::setPalette(darkPalette());
    openMainWindow();
    QVERIFY(openLoading());
    m_mdi->mdiArea()->activeSubWindow()->showMaximized();
    typeSurvey(false);
    QApplication::processEvents();

    // A calculated cell: the displacement at the true mean draft.
    SurveyGrid* grid = result();
    QVERIFY(!grid->text(0, 1).isEmpty());
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect figure = grid->visualItemRect(grid->item(0, 1)).adjusted(2, 2, -2, -2);
    QVERIFY(!figure.isEmpty());
    const double cellContrast = inkContrast(shot, figure);
    QVERIFY2(cellContrast >= 4.5, qPrintable(QString::number(cellContrast)));
    // Its caption too, drawn as a header in the scheme's own colours.
    const QRect caption = grid->visualItemRect(grid->item(0, 0)).adjusted(2, 2, -2, -2);
    QVERIFY(inkContrast(shot, caption) >= 4.5);

    // A read-only box of the draft panel.
    QLineEdit* mean = box("txtFwdMean");
    QVERIFY(!mean->text().isEmpty());
    const QImage boxShot = mean->grab().toImage();
    const double boxContrast = inkContrast(boxShot, mean->rect().adjusted(3, 3, -3, -3));
    QVERIFY2(boxContrast >= 4.5, qPrintable(QString::number(boxContrast)));

    // The net displacement keeps its fixed ink on its fixed ground, where red still means implausible.
    QCOMPARE(result()->cellForeground(9, 1), QColor(0, 0, 0));
    QVERIFY(Contrast::ratio(result()->cellForeground(9, 1), result()->cellBackground(9, 1)) >= 4.5);
    QVERIFY(Contrast::ratio(Red, result()->cellBackground(9, 1)) >= 3.0);
}

void TestSurveyRecovery::previewFitsTheScreenAndKeepsItsSizeAndZoom()
{
    // A page-shaped window at first, never taller or wider than the screen's working area.
    QCOMPARE(ReportPreview::openingSize(QSize(), QSize(1350, 720)), QSize(820, 720));
    QCOMPARE(ReportPreview::openingSize(QSize(), QSize(1904, 1032)), QSize(820, 1000));
    QCOMPARE(ReportPreview::openingSize(QSize(900, 900), QSize(1264, 672)), QSize(900, 672));

    auto* first = ReportPreview::open(ReportLayout::loadingReport(), m_mdi);
    const QRect area = first->screen()->availableGeometry();
    QVERIFY(first->height() <= area.height());
    QVERIFY(area.contains(first->geometry().topLeft()));
    first->resize(520, 430);
    first->previewWidget()->setZoomFactor(1.25);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    auto* second = ReportPreview::open(ReportLayout::loadingReport(), m_mdi);
    QCOMPARE(second->size(), QSize(520, 430));
    QCOMPARE(second->previewWidget()->zoomMode(), QPrintPreviewWidget::CustomZoom);
    QCOMPARE(second->previewWidget()->zoomFactor(), 1.25);
    second->previewWidget()->fitToWidth();
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* third = ReportPreview::open(ReportLayout::loadingReport(), m_mdi);
    QCOMPARE(third->previewWidget()->zoomMode(), QPrintPreviewWidget::FitToWidth);
    third->close();
}

QTEST_MAIN(TestSurveyRecovery)
#include "test_survey_recovery.moc"

void TestSurveyRecovery::surveysLostWithTheProgramAreOfferedAtStart()
{
    QVERIFY(openLoading());
    fillHeader();
    QApplication::processEvents();  // the cargo's Enter is written on the next turn
    // Four programs killed with the survey open, an hour apart; and one still running elsewhere,
    // whose window holds its file.
    const QString oldest = leaveAsKilled(QStringLiteral("survey-lost-0.json"), 4 * 3600);
    const QString discarded = leaveAsKilled(QStringLiteral("survey-lost-1.json"), 3 * 3600);
    const QString middle = leaveAsKilled(QStringLiteral("survey-lost-2.json"), 2 * 3600);
    const QString newest = leaveAsKilled(QStringLiteral("survey-lost-3.json"), 3600);
    const QString running = leaveAsKilled(QStringLiteral("survey-running.json"), 60);
    for (const QString& f : {oldest, discarded, middle, newest, running})
        QVERIFY(!f.isEmpty());
    const QString lastEntry =
        QLocale().toString(QFileInfo(newest).lastModified(), QStringLiteral("dd-MM-yyyy HH:mm"));
    QLockFile otherProgram(running + QStringLiteral(".lock"));
    otherProgram.setStaleLockTime(0);
    QVERIFY(otherProgram.tryLock(0));
    // The window open now is closed by the user: Recent Surveys has it, no start offers it.
    closeMainWindow();

    openMainWindow();
    forgetMessages();
    // Newest first: kept for later (Escape); discarded, but taken back at the second question;
    // discarded; reopened.
    MessageService::setNextAnswer(Msg::Answer::Cancel);
    MessageService::setNextAnswer(Msg::Answer::No);
    MessageService::setNextAnswer(Msg::Answer::No);
    MessageService::setNextAnswer(Msg::Answer::No);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QCOMPARE(RecentSurveys::offerLost(*m_mdi), 1);
    const QList<MessageRecord> asked = MessageService::records();
    QCOMPARE(asked.size(), 6);
    QCOMPARE(asked.at(0).text,
             QStringLiteral("The Loading survey of Ocean Pride, voyage V-042, was not closed: the program "
                            "ended while its window was open (last entry %1).\r\n\r\n"
                            "Reopen it now, keep it for later (Draft Survey, Recent Surveys), or discard it?")
                 .arg(lastEntry));
    QCOMPARE(asked.at(0).buttons, Msg::Buttons::YesNoCancel);
    QVERIFY(asked.at(0).defaultButton == Msg::Answer::Yes);
    QCOMPARE(asked.at(0).buttonTexts.value(Msg::Answer::Yes), QStringLiteral("&Reopen"));
    QCOMPARE(asked.at(0).buttonTexts.value(Msg::Answer::No), QStringLiteral("&Discard"));
    QCOMPARE(asked.at(0).buttonTexts.value(Msg::Answer::Cancel), QStringLiteral("&Keep for Later"));
    QCOMPARE(asked.at(2).text, QStringLiteral("Discard the Loading survey of Ocean Pride, voyage V-042?"
                                              "\r\n\r\nIts figures cannot be brought back."));
    QVERIFY(asked.at(2).defaultButton == Msg::Answer::No);
    QVERIFY(asked.at(5).text.startsWith(QStringLiteral("The Loading survey of Ocean Pride")));

    // The newest is kept, the next one too (its discard was taken back), the third is gone and the
    // oldest is on screen, as typed; the running program's is not touched.
    QVERIFY(QFileInfo::exists(newest));
    QVERIFY(QFileInfo::exists(middle));
    QVERIFY(!QFileInfo::exists(discarded));
    QVERIFY(QFileInfo::exists(running));
    m_window = surveyWindow();
    QVERIFY(m_window);
    QCOMPARE(find<QComboBox>("dcbShip")->currentText(), QStringLiteral("Ocean Pride"));
    QCOMPARE(box("txtCargo")->text(), QStringLiteral("Iron ore fines"));
    QCOMPARE(SurveyRecovery::of(m_window)->path(), oldest);  // it goes on in its own file

    // What was kept stays in Recent Surveys, named for what it is; the next start asks nothing.
    const QList<SurveyRecovery::Entry> left = SurveyRecovery::leftBehind();
    QStringList lost;
    for (const SurveyRecovery::Entry& e : left) {
        QVERIFY(e.path != running);
        QVERIFY(!e.unanswered);
        if (e.lost)
            lost << QFileInfo(e.path).fileName();
    }
    QCOMPARE(lost, QStringList({"survey-lost-3.json", "survey-lost-2.json"}));
    QCOMPARE(left.size(), 3);  // and the survey closed by the user
    QMenu* menu = recentMenu();
    QStringList titles;
    for (QAction* a : menu->actions())
        if (a->menu())
            titles << a->text();
    QCOMPARE(titles.size(), 3);
    QVERIFY2(titles.at(0).startsWith(QStringLiteral("&1 Loading: Ocean Pride, voyage V-042 - closed ")),
             qPrintable(titles.at(0)));
    QCOMPARE(titles.at(1), QStringLiteral("&2 Loading: Ocean Pride, voyage V-042 - not closed, last entry ")
                               + lastEntry);
    forgetMessages();
    QCOMPARE(RecentSurveys::offerLost(*m_mdi), 0);
    QCOMPARE(messages(), QStringList());

    // Closed by the user at last, the reopened survey is no longer a lost one.
    m_mdi->action(QStringLiteral("mnuFile(6)"))->trigger();
    QApplication::processEvents();
    const std::optional<SurveyRecovery::Entry> closed = SurveyRecovery::entry(oldest);
    QVERIFY(closed);
    QVERIFY(!closed->lost);
    otherProgram.unlock();
}

void TestSurveyRecovery::savedSurveyLookedAtTabByTabLeavesNothing()
{
    QVERIFY(openLoading());
    typeSurvey(false);
    switchTo(SurveyWindow::FinalTab);
    Draft heavier = lightDraft();
    heavier.readings = QStringList{"6.63", "6.73", "7.27", "7.29", "7.87", "7.89"};
    fillDraft(heavier);
    calculate();
    QVERIFY(!box("txtTotCargoLoaded")->text().isEmpty());
    m_chosen = m_dir.filePath(QStringLiteral("both-drafts.json"));
    m_mdi->action(QStringLiteral("mnuQuorvane(25)"))->trigger();
    QCOMPARE(messages(), QStringList());
    m_mdi->action(QStringLiteral("mnuFile(6)"))->trigger();
    QApplication::processEvents();
    QCOMPARE(recoveryFiles(), QStringList());

    // Reopened from its file and only looked at, by the mouse and by the keys, tab after tab.
    QVERIFY(SurveyFileCommands::openFile(*m_mdi, m_chosen));
    m_window = surveyWindow();
    QCOMPARE(messages(), QStringList());
    for (int round = 0; round < 2; ++round) {
        switchTo(SurveyWindow::InitialTab);
        switchTo(SurveyWindow::FinalTab);
        click(result());
        QTest::keyClick(focused(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(focused(), Qt::Key_PageDown, Qt::ControlModifier);
        QApplication::processEvents();
    }
    QTest::qWait(300);  // a write put off while the window was busy would come by now
    QCOMPARE(recoveryFiles(), QStringList());
    m_mdi->action(QStringLiteral("mnuFile(6)"))->trigger();
    QApplication::processEvents();
    QVERIFY(SurveyRecovery::leftBehind().isEmpty());

    // A figure changed is an entry again.
    QVERIFY(SurveyFileCommands::openFile(*m_mdi, m_chosen));
    m_window = surveyWindow();
    switchTo(SurveyWindow::InitialTab);
    typeInto(box("txtCargo"), QStringLiteral("Coal"));
    pressEnter();
    QTRY_COMPARE(recoveryFiles().size(), 1);
}

void TestSurveyRecovery::resultGridsCopyTheirSelection()
{
    QVERIFY(openLoading());
    typeSurvey(false);
    SurveyGrid* results = result();
    const QStringList figures = finalResultColumn(1);
    QVERIFY(!figures.at(0).isEmpty());

    // Three figures chosen with the mouse: a click, then a click with Shift.
    const auto cellCentre = [](SurveyGrid* g, int row, int column) {
        return g->visualItemRect(g->item(row, column)).center();
    };
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, cellCentre(results, 0, 1));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(results, 2, 1));
    QCOMPARE(focused(), static_cast<QWidget*>(results));
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(focused(), Qt::Key_C, Qt::ControlModifier);
    const QString expected = QStringLiteral("Displacement@TMD\t%1\nFirst Trim Correction\t%2\n"
                                            "Second Trim Correction\t%3\n")
                                 .arg(figures.at(0), figures.at(1), figures.at(2));
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);

    // The context menu's Copy does the same.
    QGuiApplication::clipboard()->clear();
    QCOMPARE(results->contextMenuPolicy(), Qt::ActionsContextMenu);
    auto* copy = results->findChild<QAction*>(QStringLiteral("actGridCopy"));
    QVERIFY(copy && results->actions().contains(copy));
    QCOMPARE(copy->text(), QStringLiteral("&Copy"));
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);

    // The interpolation results copy the same way; the grids that are typed into keep their
    // floating box and select nothing.
    auto* ip = find<SurveyGrid>("fgrdIpResult");
    QTest::mouseClick(ip->viewport(), Qt::LeftButton, {}, cellCentre(ip, 1, 1));
    QTest::mouseClick(ip->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(ip, 1, 2));
    QTest::keyClick(focused(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             ip->text(1, 0) + QLatin1Char('\t') + ip->text(1, 1) + QLatin1Char('\t') + ip->text(1, 2)
                 + QLatin1Char('\n'));
    for (const char* name : {"fgrdHDT", "fgrdMCTCP50", "fgrdMCTCM50", "fgrdDeduction"}) {
        QCOMPARE(grid(name)->selectionMode(), QAbstractItemView::NoSelection);
        QVERIFY(!grid(name)->findChild<QAction*>(QStringLiteral("actGridCopy")));
    }
    QCOMPARE(messages(), QStringList());
}

void TestSurveyRecovery::aboutBoxFitsItsTextInALargerFont()
{
    const QFont before = QApplication::font();
    for (const qreal points : {before.pointSizeF(), 12.0, 14.0}) {
        QFont font = before;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        AboutDialog about(m_mdi);
        about.show();
        QApplication::processEvents();
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            if (!label->pixmap().isNull())
                continue;
            const QString what = QStringLiteral("%1 pt, %2").arg(points).arg(label->objectName());
            // A label whose text wraps needs its height at its width; one that does not, its width.
            if (label->wordWrap())
                QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(what));
            else
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(what));
            QVERIFY2(about.rect().contains(label->geometry().translated(label->parentWidget()->pos())),
                     qPrintable(what));
        }
        auto* cont = about.findChild<QPushButton*>(QStringLiteral("cmdContinue"));
        QVERIFY(cont->width() >= cont->sizeHint().width() && cont->height() >= cont->sizeHint().height());
        about.abandon();
    }
    QApplication::setFont(before);
}
