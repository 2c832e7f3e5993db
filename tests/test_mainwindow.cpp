// The main window driven as a user drives it: its File commands follow the child window in
// front, each child opens once, the band and the Ctrl-O hint follow the open windows, Exit asks
// every child first; and the navigator, the Tools and the Help menu.

#include "ui/Contrast.h"
#include "ui/ChildWindow.h"
#include "shell/AppIcons.h"
#include "shell/Desktop.h"
#include "shell/HelpViewer.h"
#include "core/MessageService.h"
#include "shell/Startup.h"
#include "shell/MainWindow.h"
#include "shell/WindowNavigator.h"
#include "ui/MessageBoxes.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextTable>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QScreen>
#include <QtTest>

#include <cmath>

namespace {

// A child window that lives in the tests only: it keeps the contract and records what the main
// window asks of it.
class TestChild : public QWidget, public ChildWindow {
public:
    explicit TestChild(ChildCommands offered) : m_offered(offered) { setMinimumSize(200, 120); }

    ChildCommands offeredCommands() const override { return m_offered; }
    void setOffered(ChildCommands offered)
    {
        m_offered = offered;
        MainWindow::instance()->commandsChanged(*this);
    }
    void newRecord() override { calls << QStringLiteral("RNew"); }
    void saveRecord() override { calls << QStringLiteral("RSave"); }
    void deleteRecord() override { calls << QStringLiteral("RDelete"); }
    void print(bool showPreview) override
    {
        calls << (showPreview ? QStringLiteral("RPrint(preview)") : QStringLiteral("RPrint(print)"));
    }
    void activated() override
    {
        ++activations;
        ChildWindow::activated();
    }

    QStringList calls;
    int activations = 0;
    bool refuseClose = false;
    int closingCalls = 0;
    // What the main window's commands looked like right after this window's closing rule ran.
    QMap<QString, bool> commandsWhenClosed;
    QString hintWhenClosed;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (refuseClose) {
            event->ignore();
            return;
        }
        event->accept();
        ++closingCalls;
        MainWindow* mdi = MainWindow::instance();
        mdi->childClosing(this);
        for (const char* name :
             {"mnuFile(0)", "mnuFile(4)", "mnuFile(6)", "mnuFile(12)", "mnuFile(14)", "tbrMDI(1)",
              "tbrMDI(2)", "tbrMDI(4)", "tbrMDI(5)", "tbrMDI(7)", "tbrMDI(9)"}) {
            commandsWhenClosed.insert(QLatin1String(name), mdi->action(QLatin1String(name))->isEnabled());
        }
        hintWhenClosed = mdi->statusText();
    }

private:
    ChildCommands m_offered;
};

const ChildCommands kRecordCommands =
    ChildCommand::New | ChildCommand::Save | ChildCommand::Delete | ChildCommand::Close;
const ChildCommands kSurveyCommands = ChildCommand::Print | ChildCommand::PrintPreview | ChildCommand::Close;
const ChildCommands kAllCommands = kRecordCommands | kSurveyCommands;

// The commands a child window offers, in toolbar order, with their menu items.
struct Command {
    const char* toolbar;
    const char* menu;  // nullptr: Delete has no menu item
};
const Command kCommands[] = {
    {"tbrMDI(1)", "mnuFile(0)"},   // New
    {"tbrMDI(2)", "mnuFile(4)"},   // Save
    {"tbrMDI(4)", "mnuFile(14)"},  // Print
    {"tbrMDI(5)", "mnuFile(12)"},  // Print Preview
    {"tbrMDI(7)", nullptr},        // Delete
    {"tbrMDI(9)", "mnuFile(6)"},   // Close
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    MainWindow* m_mdi = nullptr;
    QStringList m_opened;  // addresses the Help menu handed to the desktop
    QStringList m_started; // programs the Tools menu tried

    QAction* act(const char* name) const
    {
        QAction* a = m_mdi->action(QLatin1String(name));
        if (!a)
            qFatal("no action %s", name);
        return a;
    }
    QToolBar* band() const { return m_mdi->findChild<QToolBar*>(QStringLiteral("cbMDI")); }
    TestChild* open(const char* name)
    {
        return dynamic_cast<TestChild*>(m_mdi->openChild(QLatin1String(name)));
    }
    int subWindows() const
    {
        int n = 0;
        for (QMdiSubWindow* sub : m_mdi->mdiArea()->subWindowList())
            n += (sub->widget() && !sub->isHidden()) ? 1 : 0;
        return n;
    }
    void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QString enabledCommands() const
    {
        // "NSPVDC" with '-' for each command that is off, toolbar and menu alike.
        static const char letters[] = "NSPVDC";
        QString out;
        for (int i = 0; i < 6; ++i) {
            const bool tool = m_mdi->action(QLatin1String(kCommands[i].toolbar))->isEnabled();
            if (kCommands[i].menu) {
                const bool menu = m_mdi->action(QLatin1String(kCommands[i].menu))->isEnabled();
                if (menu != tool)
                    return QStringLiteral("toolbar and menu disagree at %1").arg(letters[i]);
            }
            out += tool ? QLatin1Char(letters[i]) : QLatin1Char('-');
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        TestSupport::initTestEnvironment();
        Startup::initResources();
        for (const char* name : {"frmShipParticulars", "frmPortMaster"})
            MainWindow::registerChild(QLatin1String(name),
                                  [] { return new TestChild(kRecordCommands); });
        for (const char* name : {"frmQuorvane", "frmZODuraduza"})
            MainWindow::registerChild(QLatin1String(name),
                                  [] { return new TestChild(kSurveyCommands); });
        Desktop::setAddressOpener([this](const QUrl& url) {
            m_opened << url.toString();
            return true;
        });
    }

    void init()
    {
        MessageService::clearRecords();
        MessageService::clearAnswers();
        m_opened.clear();
        m_started.clear();
        m_mdi = new MainWindow;
        m_mdi->show();
        m_mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mdi));
    }

    void cleanup()
    {
        Desktop::setProgramStarter({});
        for (QMdiSubWindow* sub : m_mdi->mdiArea()->subWindowList()) {
            if (auto* child = dynamic_cast<TestChild*>(sub->widget()))
                child->refuseClose = false;
        }
        delete m_mdi;
        m_mdi = nullptr;
        flushDeletes();
        QVERIFY(MainWindow::instance() == nullptr);
    }

    void menuBarIsTheTable()
    {
        QCOMPARE(m_mdi->windowTitle(), QStringLiteral("Quorvane Lt"));
        QStringList tops;
        for (QAction* a : m_mdi->menuBar()->actions())
            tops << a->menu()->objectName() + QLatin1Char('=') + a->text();
        QCOMPARE(tops, QStringList({"mnuMain0=&File", "mnuMain1=&Ship Data", "mnuMain2=&Draft Survey",
                                    "mnuMain3=&Tools", "mnuWindow=&Window", "mnuMain5=&Help"}));

        // Name, caption, shortcut, initial state and whether it carries a picture, in menu order.
        auto describe = [](QMenu* menu) {
            QStringList out;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator()) {
                    out << a->objectName() + QStringLiteral(" -");
                    continue;
                }
                out << QStringLiteral("%1 %2 [%3] %4%5")
                           .arg(a->objectName(), a->text(), a->shortcut().toString(),
                                a->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"),
                                a->icon().isNull() ? QString() : QStringLiteral(" icon"));
            }
            return out;
        };
        auto menu = [this](const char* name) { return m_mdi->findChild<QMenu*>(QLatin1String(name)); };
        QCOMPARE(describe(menu("mnuMain0")),
                 QStringList({"mnuFile(0) &New [Ctrl+N] off icon", "mnuFile(2) &Open [Ctrl+O] on icon",
                              "mnuFile(4) &Save [Ctrl+S] off icon", "mnuFile(6) &Close [Ctrl+F4] off icon",
                              "mnuFile(10) -", "mnuFile(12) Print Pre&view [] off icon",
                              "mnuFile(14) &Print [Ctrl+P] off icon", "mnuFile(16) -",
                              "mnuFile(18) E&xit [] on icon"}));
        QCOMPARE(describe(menu("mnuMain1")), QStringList({"mnuShipData(5) &Ship Particulars [] on icon",
                                                          "mnuShipData(20) &Port [] on icon"}));
        QCOMPARE(describe(menu("mnuMain2")), QStringList({"mnuQuorvane(5) &Loading [] on icon",
                                                          "mnuQuorvane(10) Disch&arging [] on icon",
                                                          "mnuQuorvane(15) -",
                                                          "mnuQuorvane(20) &Open Survey... [Ctrl+Shift+O] "
                                                          "on icon",
                                                          "mnuQuorvane(25) Sa&ve Survey As... [] on icon",
                                                          "mnuQuorvane(30) -",
                                                          "mnuQuorvane(35) &Recent Surveys [] on"}));
        QCOMPARE(describe(menu("mnuMain3")),
                 QStringList({"mnuTools(5) &Calculator [] on icon", "mnuTools(10) &Notepad [] on icon",
                              "mnuTools(15) -", "mnuTools(20) &Protect the Database... [] on",
                              "mnuTools(25) &Remove the Protection... [] on",
                              "mnuTools(30) Catalogue &Server... [] on"}));
        const QStringList help = describe(menu("mnuMain5"));
        QCOMPARE(help.size(), 8);
        QCOMPARE(help.at(0), QStringLiteral("mnuHelp(5) &Daily Tips [] on icon"));
        QCOMPARE(help.at(1), QStringLiteral("mnuHelp(6) &Contents [F1] on icon"));
        QCOMPARE(help.at(2), QStringLiteral("mnuHelp(7) -"));
        QCOMPARE(help.at(3), QStringLiteral("mnuHelp(10) &Technical Support [] on icon"));
        QVERIFY(help.at(4).startsWith(QStringLiteral("mnuHelp(13) ")));
        QCOMPARE(help.at(5), QStringLiteral("mnuHelp(15) &Submit bugs [] on"));
        QCOMPARE(help.at(6), QStringLiteral("mnuHelp(16) -"));
        QCOMPARE(help.at(7), QStringLiteral("mnuHelp(20) &About Quorvane Lt.... [] on"));
        QStringList web;
        for (QAction* a : menu("mnuHelp2")->actions())
            web << a->objectName();
        QCOMPARE(web, QStringList({"mnuHelp2(5)", "mnuHelp2(10)", "mnuHelp2(15)", "mnuHelp2(20)",
                                   "mnuHelp2(25)"}));
    }

    void toolbarIsNinePositionsInTheBand()
    {
        auto* tbr = m_mdi->findChild<QToolBar*>(QStringLiteral("tbrMDI"));
        QVERIFY(tbr);
        QVERIFY(band());
        QVERIFY(band()->isAncestorOf(tbr));
        const QList<QAction*> buttons = tbr->actions();
        QCOMPARE(buttons.size(), 9);
        QStringList seen;
        for (QAction* b : buttons) {
            seen << (b->isSeparator() ? QStringLiteral("|")
                                      : b->data().toString() + QLatin1Char('/') + b->toolTip());
            if (!b->isSeparator())
                QVERIFY2(!b->icon().isNull(), qPrintable(b->data().toString()));
        }
        QCOMPARE(seen, QStringList({"New/New", "Save/Save", "|", "Print/Print", "PrintPreview/Print Preview",
                                    "|", "Delete/Delete", "|", "Close/Close"}));
    }

    void picturesAreDrawnAtTheSizeAskedFor()
    {
        // Each picture is drawn when a size is first asked for, at that size exactly (150%
        // scaling asks for 36 pixels for a 24-pixel button), and greyed for a command that is off.
        for (const QString& key : AppIcons::keys()) {
            const QIcon icon = AppIcons::icon(key);
            QVERIFY2(!icon.isNull(), qPrintable(key));
            QCOMPARE(icon.availableSizes().first(), QSize(16, 16));
            for (const int side : {16, 24, 36, 128}) {
                const QPixmap normal = icon.pixmap(QSize(side, side));
                QCOMPARE(normal.size(), QSize(side, side));
                const QImage drawn = normal.toImage();
                QImage blank(drawn.size(), drawn.format());
                blank.fill(Qt::transparent);
                QVERIFY2(drawn != blank, qPrintable(key));
                QVERIFY2(icon.pixmap(QSize(side, side), QIcon::Disabled).toImage() != drawn, qPrintable(key));
            }
        }
        QVERIFY(AppIcons::icon(QStringLiteral("NoSuchPicture")).isNull());
    }

    void noChildOpen()
    {
        QCOMPARE(enabledCommands(), QStringLiteral("------"));
        QVERIFY(act("mnuFile(2)")->isEnabled());
        QVERIFY(act("mnuFile(18)")->isEnabled());
        QVERIFY(!band()->isVisible());
        QCOMPARE(MainWindow::openChildCount, 0);
        QCOMPARE(m_mdi->statusText(), QStringLiteral("Press Ctrl-O to open the Open file box"));
        auto* sb = m_mdi->findChild<QStatusBar*>(QStringLiteral("sb1"));
        QVERIFY(sb);
        QStringList panels;
        for (int i = 2; i <= 4; ++i)
            panels << sb->findChild<QLabel*>(QStringLiteral("sb1Panel%1").arg(i))->text();
        QCOMPARE(panels, QStringList({"CAPS", "NUM", "INS"}));
        const QString time = sb->findChild<QLabel*>(QStringLiteral("sb1Panel5"))->text();
        const QString date = sb->findChild<QLabel*>(QStringLiteral("sb1Panel6"))->text();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(time).hasMatch(),
                 qPrintable(time));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d{4}$")).match(date).hasMatch(),
                 qPrintable(date));

        // New, Save and Close do nothing with no window open, from the keyboard either.
        QTest::keyClick(m_mdi, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(m_mdi, Qt::Key_S, Qt::ControlModifier);
        m_mdi->toolbarCommand(QStringLiteral("Save"));
        QCOMPARE(subWindows(), 0);
    }

    void offeredCommandsEnableTheirItems_data()
    {
        QTest::addColumn<ChildCommands>("offered");
        QTest::addColumn<QString>("commands");
        QTest::newRow("child closed") << ChildCommands() << "------";
        QTest::newRow("ready for new record") << (ChildCommand::Save | ChildCommand::Close) << "-S---C";
        QTest::newRow("stored record") << kRecordCommands << "NS--DC";
        QTest::newRow("ship on show") << kRecordCommands << "NS--DC";
        QTest::newRow("survey") << kSurveyCommands << "--PV-C";
        QTest::newRow("all on") << kAllCommands << "NSPVDC";
        // Print Preview without Print, and New without Close: each item follows its own command.
        QTest::newRow("preview, no print")
            << (ChildCommand::New | ChildCommand::PrintPreview | ChildCommand::Delete) << "N--VD-";
        QTest::newRow("new and close") << (ChildCommand::New | ChildCommand::Close) << "N----C";
        QTest::newRow("print alone") << ChildCommands(ChildCommand::Print) << "--P---";
        QTest::newRow("nothing offered") << ChildCommands() << "------";
    }

    void offeredCommandsEnableTheirItems()
    {
        QFETCH(ChildCommands, offered);
        QFETCH(QString, commands);
        m_mdi->enableCommands(kAllCommands);
        m_mdi->enableCommands(offered);
        QCOMPARE(enabledCommands(), commands);
    }

    void childActivationGovernsCommands()
    {
        TestChild* ship = open("frmShipParticulars");
        QVERIFY(ship);
        QCOMPARE(ship->activations, 1);
        QCOMPARE(enabledCommands(), QStringLiteral("NS--DC"));
        QCOMPARE(m_mdi->statusText(), QString());
        ship->setOffered(ChildCommand::Save | ChildCommand::Close);
        QCOMPARE(enabledCommands(), QStringLiteral("-S---C"));

        TestChild* survey = open("frmQuorvane");
        QCOMPARE(enabledCommands(), QStringLiteral("--PV-C"));
        // Back to the ship window: its own state comes back.
        m_mdi->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(ship->parentWidget()));
        QCOMPARE(enabledCommands(), QStringLiteral("-S---C"));
        QCOMPARE(survey->activations, 1);
        QCOMPARE(ship->activations, 2);
    }

    void openingTwiceLeavesOne()
    {
        act("mnuShipData(5)")->trigger();
        QWidget* first = m_mdi->findChildWindow(QStringLiteral("frmShipParticulars"));
        QVERIFY(first);
        QVERIFY(band()->isVisible());
        act("mnuQuorvane(5)")->trigger();
        QCOMPARE(m_mdi->activeChild()->property("quorvaneChildName").toString(),
                 QStringLiteral("frmQuorvane"));
        act("mnuShipData(5)")->trigger();
        QCOMPARE(subWindows(), 2);
        QCOMPARE(MainWindow::openChildCount, 2);
        QCOMPARE(m_mdi->findChildWindow(QStringLiteral("frmShipParticulars")), first);
        QCOMPARE(m_mdi->activeChild(), first);  // brought to the front, not opened again

        // Ctrl+F4 closes the window in front.
        QTest::keyClick(m_mdi, Qt::Key_F4, Qt::ControlModifier);
        flushDeletes();
        QCOMPARE(subWindows(), 1);
        QVERIFY(!m_mdi->findChildWindow(QStringLiteral("frmShipParticulars")));
        QCOMPARE(MainWindow::openChildCount, 1);
        act("mnuFile(6)")->trigger();
        flushDeletes();
        QCOMPARE(subWindows(), 0);
        QCOMPARE(MainWindow::openChildCount, 0);
        QVERIFY(!band()->isVisible());
        QCOMPARE(enabledCommands(), QStringLiteral("------"));
        QCOMPARE(m_mdi->statusText(), MainWindow::statusHint());
    }

    void closingOneOfTwo()
    {
        TestChild* ship = open("frmShipParticulars");
        TestChild* survey = open("frmQuorvane");
        QCOMPARE(m_mdi->activeChild(), survey);
        QPointer<TestChild> watch(survey);
        act("tbrMDI(9)")->trigger();  // the toolbar's Close
        // The closing rule put every command off and left the hint away: one window is still open.
        QCOMPARE(survey->closingCalls, 1);
        for (auto it = survey->commandsWhenClosed.cbegin(); it != survey->commandsWhenClosed.cend(); ++it)
            QVERIFY2(!it.value(), qPrintable(it.key()));
        QCOMPARE(survey->hintWhenClosed, QString());
        flushDeletes();
        QVERIFY(watch.isNull());
        QCOMPARE(MainWindow::openChildCount, 1);
        QVERIFY(band()->isVisible());
        QCOMPARE(m_mdi->statusText(), QString());
        // The remaining child, active again, restores its own commands.
        QCOMPARE(m_mdi->activeChild(), ship);
        QCOMPARE(enabledCommands(), QStringLiteral("NS--DC"));
    }

    void commandsReachTheActiveChild()
    {
        TestChild* ship = open("frmShipParticulars");
        ship->setOffered(kAllCommands);
        act("mnuFile(0)")->trigger();
        act("mnuFile(4)")->trigger();
        act("mnuFile(12)")->trigger();
        act("mnuFile(14)")->trigger();
        QCOMPARE(ship->calls, QStringList({"RNew", "RSave", "RPrint(preview)", "RPrint(print)"}));
        ship->calls.clear();
        for (const char* b : {"tbrMDI(1)", "tbrMDI(2)", "tbrMDI(4)", "tbrMDI(5)", "tbrMDI(7)"})
            act(b)->trigger();
        QCOMPARE(ship->calls, QStringList({"RNew", "RSave", "RPrint(print)", "RPrint(preview)", "RDelete"}));
        ship->calls.clear();
        // The keyboard: Ctrl+S saves, Ctrl+N starts a new record, Ctrl+P prints.
        ship->setFocus();
        QTest::keyClick(m_mdi, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(m_mdi, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(m_mdi, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(ship->calls, QStringList({"RSave", "RNew", "RPrint(print)"}));

        // In a survey window Save is off, so Ctrl+S does nothing.
        TestChild* survey = open("frmQuorvane");
        QTest::keyClick(m_mdi, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(survey->calls, QStringList());
    }

    void reopenedWindowsHearTheirCommands()
    {
        // A frame deleted before its child (as the frame's own destructor does) and a new one
        // opened in its place, many times over: the memory of a frame comes round again, and
        // every new window must still take New and Save.
        QSet<const void*> frames;
        for (int i = 0; i < 40; ++i) {
            TestChild* ship = open("frmShipParticulars");
            QVERIFY(ship);
            QMdiSubWindow* sub = m_mdi->mdiArea()->subWindowList().value(0);
            QVERIFY(sub && sub->widget() == ship);
            frames.insert(sub);
            act("mnuFile(0)")->trigger();
            act("mnuFile(4)")->trigger();
            QCOMPARE(ship->calls, QStringList({"RNew", "RSave"}));
            delete sub;
            flushDeletes();
            QCOMPARE(MainWindow::openChildCount, 0);
        }
        // The test is worth something only if a frame's address did come round.
        if (frames.size() == 40)
            QSKIP("no frame was given a former frame's address");
    }

    void statusHintFollowsOpenWindows()
    {
        QCOMPARE(m_mdi->statusText(), MainWindow::statusHint());
        TestChild* ship = open("frmShipParticulars");
        QCOMPARE(m_mdi->statusText(), QString());
        m_mdi->setStatusText(QStringLiteral("a hint of the ship window"));
        TestChild* port = open("frmPortMaster");
        QCOMPARE(m_mdi->statusText(), QString());
        port->close();
        QCOMPARE(port->hintWhenClosed, QString());  // the ship window is still open
        ship->close();
        QCOMPARE(ship->hintWhenClosed, MainWindow::statusHint());
        flushDeletes();
        QCOMPARE(m_mdi->statusText(), MainWindow::statusHint());

        // Another window of the program, the help, counts as open too.
        act("mnuHelp(6)")->trigger();
        m_mdi->applyStatusHint();
        QCOMPARE(m_mdi->statusText(), QString());
        m_mdi->findChild<HelpViewer*>()->close();
        flushDeletes();
        m_mdi->applyStatusHint();
        QCOMPARE(m_mdi->statusText(), MainWindow::statusHint());
    }

    void closingRuleCountsEachWindowOnce()
    {
        TestChild* ship = open("frmShipParticulars");
        open("frmPortMaster");
        m_mdi->childClosing(ship);
        m_mdi->childClosing(ship);  // a second run of the same handler
        QCOMPARE(MainWindow::openChildCount, 1);
        QVERIFY(band()->isVisible());
    }

    void exitAsksEveryChild()
    {
        TestChild* ship = open("frmShipParticulars");
        TestChild* survey = open("frmQuorvane");
        ship->refuseClose = true;
        act("mnuFile(18)")->trigger();
        flushDeletes();
        // The ship window refused: the program stays, with the ship window in it.
        QVERIFY(m_mdi->isVisible());
        QVERIFY(m_mdi->findChildWindow(QStringLiteral("frmShipParticulars")));
        QCOMPARE(MainWindow::openChildCount, m_mdi->mdiArea()->subWindowList().size());
        Q_UNUSED(survey);

        ship->refuseClose = false;
        act("mnuFile(18)")->trigger();
        flushDeletes();
        QVERIFY(!m_mdi->isVisible());
        QCOMPARE(m_mdi->mdiArea()->subWindowList().size(), 0);
        QCOMPARE(MainWindow::openChildCount, 0);
    }

    void windowMenuListsTheChildren()
    {
        TestChild* ship = open("frmShipParticulars");
        ship->setWindowTitle(QStringLiteral("Ship Particulars"));
        TestChild* survey = open("frmQuorvane");
        survey->setWindowTitle(QStringLiteral("Draft Survey-[Loading]"));
        QMenu* menu = m_mdi->findChild<QMenu*>(QStringLiteral("mnuWindow"));
        emit menu->aboutToShow();
        QStringList entries;
        QAction* shipEntry = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->isCheckable()) {
                entries << a->text() + (a->isChecked() ? QStringLiteral(" *") : QString());
                if (a->text().contains(QLatin1String("Ship")))
                    shipEntry = a;
            }
        }
        QCOMPARE(entries, QStringList({"&1 Ship Particulars", "&2 Draft Survey-[Loading] *"}));
        shipEntry->trigger();
        QCOMPARE(m_mdi->activeChild(), ship);
    }

    void navigatorStartsOnTheShipGroup()
    {
        WindowNavigator nav(m_mdi);
        nav.show();
        auto* list = nav.findChild<QListWidget*>(QStringLiteral("lvOpen"));
        auto* tree = nav.findChild<QTreeWidget*>(QStringLiteral("tvOpen"));
        auto* cmdOpen = nav.findChild<QPushButton*>(QStringLiteral("cmdOpen"));
        QCOMPARE(nav.windowTitle(), QStringLiteral("Open"));
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Draft Survey"));
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Ship Data"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Ship Particulars"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("Port"));
        QVERIFY(!cmdOpen->isEnabled());
    }

    void navigatorOpensExactNamesOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::newRow("Port") << "Port" << "frmPortMaster";
        QTest::newRow("port in lower case") << "port" << "";
        QTest::newRow("blank after the name") << "Port " << "";
        QTest::newRow("Ship Particulars") << "Ship Particulars" << "frmShipParticulars";
        QTest::newRow("Loading Survey") << "Loading Survey" << "frmQuorvane";
        QTest::newRow("Discharging Survey") << "Discharging Survey" << "frmZODuraduza";
        QTest::newRow("unknown") << "Tonnage" << "";
    }

    void navigatorOpensExactNamesOnly()
    {
        QFETCH(QString, typed);
        QFETCH(QString, opened);
        WindowNavigator nav(m_mdi);
        nav.show();
        auto* text = nav.findChild<QLineEdit*>(QStringLiteral("txtFormToOpen"));
        auto* cmdOpen = nav.findChild<QPushButton*>(QStringLiteral("cmdOpen"));
        QTest::keyClicks(text, typed);
        QVERIFY(cmdOpen->isEnabled());
        QTest::mouseClick(cmdOpen, Qt::LeftButton);
        QVERIFY(!nav.isVisible());
        QCOMPARE(nav.result(), int(QDialog::Accepted));
        if (opened.isEmpty()) {
            QCOMPARE(subWindows(), 0);
            QCOMPARE(m_mdi->statusText(), MainWindow::statusHint());
        } else {
            QCOMPARE(subWindows(), 1);
            QCOMPARE(m_mdi->activeChild()->property("quorvaneChildName").toString(), opened);
            QCOMPARE(MainWindow::openChildCount, 1);
            QVERIFY(band()->isVisible());
        }
    }

    void navigatorBlanksKeepOpenOff()
    {
        WindowNavigator nav(m_mdi);
        nav.show();
        auto* text = nav.findChild<QLineEdit*>(QStringLiteral("txtFormToOpen"));
        auto* cmdOpen = nav.findChild<QPushButton*>(QStringLiteral("cmdOpen"));
        QTest::keyClicks(text, QStringLiteral("   "));
        QVERIFY(!cmdOpen->isEnabled());
        QTest::keyClick(text, Qt::Key_Return);  // Enter does not get past a disabled Open
        QVERIFY(nav.isVisible());
        QTest::keyClicks(text, QStringLiteral("P"));
        QVERIFY(cmdOpen->isEnabled());
        text->clear();
        QVERIFY(!cmdOpen->isEnabled());
    }

    void navigatorGroupEmptiesTheName()
    {
        WindowNavigator nav(m_mdi);
        nav.show();
        auto* list = nav.findChild<QListWidget*>(QStringLiteral("lvOpen"));
        auto* tree = nav.findChild<QTreeWidget*>(QStringLiteral("tvOpen"));
        auto* text = nav.findChild<QLineEdit*>(QStringLiteral("txtFormToOpen"));
        auto* cmdOpen = nav.findChild<QPushButton*>(QStringLiteral("cmdOpen"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        QCOMPARE(text->text(), QStringLiteral("Port"));
        QVERIFY(cmdOpen->isEnabled());

        QTreeWidgetItem* survey = tree->topLevelItem(0)->child(1);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(survey).center());
        QCOMPARE(text->text(), QString());
        QVERIFY(!cmdOpen->isEnabled());
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Loading Survey"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("Discharging Survey"));

        // The root empties the name too and leaves the list alone.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QCOMPARE(text->text(), QStringLiteral("Loading Survey"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->topLevelItem(0)).center());
        QCOMPARE(text->text(), QString());
        QCOMPARE(list->item(0)->text(), QStringLiteral("Loading Survey"));

        // A double-click opens at once; doing it again leaves a single Loading window.
        for (int i = 0; i < 2; ++i) {
            WindowNavigator again(m_mdi);
            again.show();
            auto* tv = again.findChild<QTreeWidget*>(QStringLiteral("tvOpen"));
            auto* lv = again.findChild<QListWidget*>(QStringLiteral("lvOpen"));
            QTest::mouseClick(tv->viewport(), Qt::LeftButton, {},
                              tv->visualItemRect(tv->topLevelItem(0)->child(1)).center());
            const QPoint at = lv->visualItemRect(lv->item(0)).center();
            QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(lv->viewport(), Qt::LeftButton, {}, at);
            QVERIFY(!again.isVisible());
        }
        QCOMPARE(subWindows(), 1);
        QCOMPARE(m_mdi->activeChild()->property("quorvaneChildName").toString(),
                 QStringLiteral("frmQuorvane"));
    }

    void ctrlOShowsTheNavigator()
    {
        bool seen = false;
        QString hintWhileOpen = QStringLiteral("unset");
        QTimer::singleShot(0, this, [&] {
            auto* nav = qobject_cast<WindowNavigator*>(QApplication::activeModalWidget());
            if (!nav)
                return;
            seen = true;
            hintWhileOpen = m_mdi->statusText();
            QTest::mouseClick(nav->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        });
        QTest::keyClick(m_mdi, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(seen);
        QCOMPARE(hintWhileOpen, QString());
        QCOMPARE(subWindows(), 0);
        QCOMPARE(m_mdi->statusText(), MainWindow::statusHint());
    }

    void toolsSayWhenNothingStarts()
    {
        Desktop::setProgramStarter([this](const QString& program, const QStringList&) {
            m_started << program;
            return false;
        });
        act("mnuTools(5)")->trigger();
        QCOMPARE(m_started, Desktop::calculatorPrograms());
        QCOMPARE(MessageService::records().size(), 1);
        MessageRecord box = MessageService::records().first();
        QCOMPARE(box.title, QStringLiteral("Quorvane Lt"));
        QVERIFY(box.text.startsWith(QStringLiteral("No calculator could be started.\r\n\r\n")));
        QCOMPARE(box.icon, Msg::Icon::Exclamation);

        m_started.clear();
        MessageService::clearRecords();
        act("mnuTools(10)")->trigger();
        QCOMPARE(m_started, Desktop::editorPrograms() + QStringList{"xdg-open"});
        QCOMPARE(MessageService::records().size(), 1);
        QVERIFY(MessageService::records().first().text.startsWith(
            QStringLiteral("No text editor could be started.")));
    }

    void toolsStartTheFirstThatWorks()
    {
        QStringList arguments;
        Desktop::setProgramStarter([&](const QString& program, const QStringList& args) {
            m_started << program;
            arguments = args;
            return program == QLatin1String("kcalc") || program == QLatin1String("xdg-open");
        });
        act("mnuTools(5)")->trigger();
        QCOMPARE(m_started, QStringList({"gnome-calculator", "kcalc"}));
        // With no editor at all, the desktop's default one gets the notes file, which exists.
        m_started.clear();
        act("mnuTools(10)")->trigger();
        QCOMPARE(m_started.last(), QStringLiteral("xdg-open"));
        QCOMPARE(arguments, QStringList{Desktop::notesFile()});
        QVERIFY(QFile::exists(arguments.first()));
        QCOMPARE(MessageService::records().size(), 0);
    }

    void helpAddressesGoToTheDesktop()
    {
        act("mnuHelp(10)")->trigger();
        act("mnuHelp(15)")->trigger();
        for (const char* name :
             {"mnuHelp2(5)", "mnuHelp2(10)", "mnuHelp2(15)", "mnuHelp2(20)", "mnuHelp2(25)"})
            act(name)->trigger();
        QCOMPARE(m_opened.size(), 7);
        QVERIFY(m_opened.at(0).startsWith(QStringLiteral("mailto:")));
        for (int i = 1; i < 7; ++i)
            QVERIFY2(m_opened.at(i).startsWith(QStringLiteral("https://")), qPrintable(m_opened.at(i)));
        QCOMPARE(QSet<QString>(m_opened.begin(), m_opened.end()).size(), 7);
    }

    void helpPagesAreThereAndLinked()
    {
        act("mnuHelp(6)")->trigger();
        auto* viewer = m_mdi->findChild<HelpViewer*>();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->currentPage(), HelpViewer::topics().first().page);
        // It fits the screen it opens on.
        const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY(viewer->width() <= room.width() && viewer->height() <= room.height());
        // F1 again brings the same viewer forward instead of a second one.
        act("mnuHelp(6)")->trigger();
        QCOMPARE(m_mdi->findChildren<HelpViewer*>().size(), 1);

        // Every page the program carries is a topic of the list, and every topic is a page.
        QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files);
        QStringList listed;
        for (const HelpViewer::Topic& topic : HelpViewer::topics())
            listed << QFileInfo(topic.page.path()).fileName();
        pages.sort();
        listed.sort();
        QCOMPARE(listed, pages);

        // The anchors each page offers: <a name="..."> and id="...".
        const QRegularExpression anchor(QStringLiteral("(?:<a name|\\bid)=\"([^\"]+)\""));
        QMap<QString, QSet<QString>> anchors;
        QMap<QString, QString> html;
        for (const QString& name : pages) {
            QFile page(QStringLiteral(":/help/") + name);
            QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(name));
            html[name] = QString::fromUtf8(page.readAll());
            QVERIFY2(html[name].size() > 800, qPrintable(name));
            for (auto m = anchor.globalMatch(html[name]); m.hasNext();)
                anchors[name].insert(m.next().captured(1));
        }

        // Each page opens with a title and a text, and each of its links within the help leads,
        // clicked, to a page that exists and to an anchor on it that exists.
        const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""));
        int followed = 0;
        for (const QString& name : pages) {
            const QUrl url(QStringLiteral("qrc:/help/") + name);
            viewer->showPage(url);
            QCOMPARE(viewer->currentPage(), url);
            QVERIFY2(!viewer->browser()->toPlainText().trimmed().isEmpty(), qPrintable(name));
            QVERIFY2(!viewer->browser()->documentTitle().isEmpty(), qPrintable(name));
            for (auto m = link.globalMatch(html[name]); m.hasNext();) {
                const QString href = m.next().captured(1);
                QVERIFY2(!href.isEmpty(), qPrintable(name + " has an empty link"));
                if (href.contains(QLatin1Char(':')))
                    continue;  // mail and web addresses go to the desktop (below)
                const QUrl target = url.resolved(QUrl(href));
                const QString targetName = QFileInfo(target.path()).fileName();
                QVERIFY2(html.contains(targetName), qPrintable(name + " -> " + href));
                if (target.hasFragment())
                    QVERIFY2(anchors[targetName].contains(target.fragment()),
                             qPrintable(name + " -> " + href + ": no such anchor"));
                viewer->showPage(url);
                emit viewer->browser()->anchorClicked(QUrl(href));
                QCOMPARE(viewer->currentPage().adjusted(QUrl::RemoveFragment),
                         target.adjusted(QUrl::RemoveFragment));
                QVERIFY(!viewer->browser()->toPlainText().trimmed().isEmpty());
                ++followed;
            }
        }
        QVERIFY(followed > 20);
        // A web address in a page goes to the desktop, not into the viewer.
        const QUrl before = viewer->currentPage();
        emit viewer->browser()->anchorClicked(QUrl(QStringLiteral("https://www.quorvane-marine.example/")));
        QCOMPARE(viewer->currentPage(), before);
        QCOMPARE(m_opened, QStringList{"https://www.quorvane-marine.example/"});
    }

    void helpReadsInALightAndADarkScheme()
    {
        const auto contrast = &Contrast::ratio;
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        for (const QPalette& palette : {QPalette(), dark}) {
            QApplication::setPalette(palette);
            HelpViewer viewer;
            viewer.showPage(QUrl(QStringLiteral("qrc:/help/figures.html")));
            const QColor ground = viewer.browser()->palette().color(QPalette::Base);
            const QColor ink = viewer.browser()->palette().color(QPalette::Text);
            int headings = 0, shaded = 0, links = 0;
            for (QTextBlock b = viewer.browser()->document()->begin(); b.isValid(); b = b.next()) {
                // Headings in their colour on the page; every shaded cell or box under the page's ink.
                if (b.blockFormat().headingLevel() > 0) {
                    ++headings;
                    QColor c;
                    for (auto it = b.begin(); !it.atEnd() && !c.isValid(); ++it)
                        if (!it.fragment().text().trimmed().isEmpty())
                            c = it.fragment().charFormat().foreground().color();
                    QVERIFY2(contrast(c, ground) >= 4.5, qPrintable(b.text()));
                }
                // Links as readable as the text around them.
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat f = it.fragment().charFormat();
                    if (!f.isAnchor() || f.anchorHref().isEmpty())
                        continue;
                    ++links;
                    const QColor c = f.foreground().style() != Qt::NoBrush
                                         ? f.foreground().color()
                                         : viewer.browser()->palette().color(QPalette::Link);
                    QVERIFY2(contrast(c, ground) >= 4.5, qPrintable(it.fragment().text()));
                }
                if (QTextTable* table = qobject_cast<QTextTable*>(QTextCursor(b).currentTable())) {
                    const QTextTableCell cell = table->cellAt(b.position());
                    const QBrush shade = cell.format().background();
                    if (shade.style() != Qt::NoBrush) {
                        ++shaded;
                        QVERIFY2(contrast(shade.color(), ink) >= 4.5, qPrintable(b.text()));
                    }
                }
            }
            QVERIFY(headings >= 4);
            QVERIFY(shaded >= 10);
            QVERIFY(links >= 1);
        }
        QApplication::setPalette(QPalette());
    }

    void messageBoxesAreWideEnoughForTheirTitles()
    {
        // The real box, made as the message service shows it, with a short text under a title
        // that a narrow box would cut to "Q... Lt", in the system font and in a 12 pt one.
        const QFont before = QApplication::font();
        for (const qreal points : {before.pointSizeF(), 12.0}) {
            QFont font = before;
            font.setPointSizeF(points);
            QApplication::setFont(font);
            for (const QString& title :
                 {QStringLiteral("Quorvane Lt"), QStringLiteral("Quorvane Lt-10016")}) {
                MessageRecord r;
                r.title = title;
                r.text = QStringLiteral("Invalid Date");
                r.icon = Msg::Icon::Exclamation;
                const std::unique_ptr<QMessageBox> box = MessageBoxes::make(r);
                box->show();
                QApplication::processEvents();
                QFont bold = QApplication::font();
                bold.setBold(true);
                const int titleWidth = QFontMetrics(bold).horizontalAdvance(title);
                QVERIFY2(box->width() >= titleWidth + 6 * QFontMetrics(bold).height(),
                         qPrintable(QStringLiteral("%1 pt, %2: %3 px")
                                        .arg(points)
                                        .arg(title)
                                        .arg(box->width())));
                QVERIFY(box->width() >= MessageBoxes::widthForTitle(title));
                box->close();
            }
        }
        QApplication::setFont(before);

        // The box's buttons say what they do where the question names them.
        MessageRecord offer;
        offer.text = QStringLiteral("Reopen it?");
        offer.buttons = Msg::Buttons::YesNoCancel;
        offer.buttonTexts = {{Msg::Answer::Yes, QStringLiteral("&Reopen")},
                             {Msg::Answer::Cancel, QStringLiteral("&Keep for Later")}};
        const std::unique_ptr<QMessageBox> box = MessageBoxes::make(offer);
        QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("&Reopen"));
        QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("&No"));
        QCOMPARE(box->button(QMessageBox::Cancel)->text(), QStringLiteral("&Keep for Later"));
    }

    void helpClosesWithEscAndCtrlW()
    {
        for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape),
                                          QKeyCombination(Qt::ControlModifier, Qt::Key_W)}) {
            m_mdi->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_mdi));
            QTest::keyClick(m_mdi, Qt::Key_F1);
            QPointer<HelpViewer> viewer = m_mdi->findChild<HelpViewer*>();
            QVERIFY(viewer && viewer->isVisible());
            viewer->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(viewer.data()));
            // From the page itself, where the reader is.
            viewer->browser()->setFocus();
            QTest::keyClick(viewer->browser(), key.key(), key.keyboardModifiers());
            QTRY_VERIFY2(!viewer || !viewer->isVisible(), qPrintable(QKeySequence(key).toString()));
            flushDeletes();
            QVERIFY(!m_mdi->findChild<HelpViewer*>());
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
