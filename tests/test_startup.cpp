// Start-up as the surveyor meets it: a database that cannot be opened ends the run with the
// failure box and no window; otherwise the About box leads into the main window, with the tip of
// the day when the setting asks for it, and the setting survives a restart.

#include "core/AppPaths.h"
#include "db/Database.h"
#include "core/MessageService.h"
#include "shell/Startup.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "shell/TipOfDayWindow.h"
#include "files/SurveyFile.h"
#include "survey/SurveyRecovery.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {

const char* const kSetting = "Options/Show Tips at Startup";

QString storedSetting()
{
    // A new settings object reads what the store holds, as the next run of the program would.
    QSettings settings(AppPaths::appName(), AppPaths::appName());
    return settings.value(QLatin1String(kSetting)).toString();
}

void setStoredSetting(const QString& value)
{
    QSettings settings(AppPaths::appName(), AppPaths::appName());
    if (value.isNull())
        settings.remove(QLatin1String(kSetting));
    else
        settings.setValue(QLatin1String(kSetting), value);
    settings.sync();
}

QStringList visibleWindows()
{
    QStringList out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog))
            out << w->objectName();
    }
    return out;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;
    QString m_aboutSeen;  // what the About box showed when it was answered

    // Runs start-up, pressing Continue on the About box as soon as it is up.
    Startup::Outcome startAndContinue(const QStringList& arguments = {})
    {
        m_aboutSeen.clear();
        auto* presser = new QTimer(this);
        presser->setInterval(5);
        connect(presser, &QTimer::timeout, this, [this, presser] {
            auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            if (!about || !about->isVisible())
                return;
            QStringList labels;
            for (QLabel* l : about->findChildren<QLabel*>())
                if (!l->text().isEmpty())
                    labels << l->text();
            m_aboutSeen = about->windowTitle() + QLatin1Char('|') + labels.join(QLatin1Char('|'));
            if (about->windowFlags() & Qt::FramelessWindowHint)
                m_aboutSeen += QStringLiteral("|frameless");
            presser->stop();
            presser->deleteLater();
            QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdContinue")), Qt::LeftButton);
        });
        presser->start();
        return Startup::start(arguments);
    }

    QWidget* tipWindow() const
    {
        MainWindow* mdi = MainWindow::instance();
        return mdi ? mdi->findChildWindow(QStringLiteral("frmTipOfDay")) : nullptr;
    }

    void closeMainWindow()
    {
        if (MainWindow* mdi = MainWindow::instance())
            mdi->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase()
    {
        TestSupport::initTestEnvironment();
        Startup::initResources();
    }

    void init()
    {
        MessageService::clearRecords();
        MessageService::clearAnswers();
        Startup::setDebugMode(false);
        m_dir = new QTemporaryDir;
        TestSupport::useFreshDatabaseCopy(*m_dir);
        setStoredSetting(QString());
    }

    void cleanup()
    {
        closeMainWindow();
        QVERIFY(!MainWindow::instance());
        closeDatabase();
        delete m_dir;
        m_dir = nullptr;
    }

    void failureToOpenEndsWithoutAWindow_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("DS.lib missing") << "no-lib";
        QTest::newRow("DS.dat missing") << "no-dat";
        QTest::newRow("DS.dat is not a database") << "garbage";
        QTest::newRow("DS.dat keyed with another password") << "wrong-password";
        QTest::newRow("DS.lib does not know the user") << "wrong-user";
        QTest::newRow("DS.lib with another user password") << "wrong-user-password";
    }

    void failureToOpenEndsWithoutAWindow()
    {
        QFETCH(QString, damage);
        const QString dat = m_dir->filePath(QStringLiteral("DS.dat"));
        const QString lib = m_dir->filePath(QStringLiteral("DS.lib"));
        if (damage == QLatin1String("no-lib")) {
            QVERIFY(QFile::remove(lib));
        } else if (damage == QLatin1String("no-dat")) {
            QVERIFY(QFile::remove(dat));
        } else if (damage == QLatin1String("garbage")) {
            QFile f(dat);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(8192, 'x'));
        } else if (damage == QLatin1String("wrong-password")) {
            Schema::writeDatabaseFile(dat, QStringLiteral("harbourfog"), true);
        } else if (damage == QLatin1String("wrong-user")) {
            Schema::writeWorkgroupFile(lib, QStringLiteral("bosun"), Schema::userPassword(), true);
        } else {
            Schema::writeWorkgroupFile(lib, Schema::userName(), QStringLiteral("1111111111"), true);
        }

        const Startup::Outcome outcome = Startup::start({});
        QVERIFY(outcome.status != 0);
        QVERIFY(!outcome.windowShown);
        QVERIFY(!MainWindow::instance());
        QCOMPARE(visibleWindows(), QStringList());
        QVERIFY(startupFailed());
        const QList<MessageRecord> boxes = MessageService::records();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first().title, QStringLiteral("Quorvane Lt"));
        // The box names the file and what is wrong with it.
        const QString file
            = damage == QLatin1String("no-lib") || damage.startsWith(QLatin1String("wrong-user")) ? lib
                                                                                                  : dat;
        const QString detail = damage.startsWith(QLatin1String("no-"))
            ? QStringLiteral(
                "The file %1 is missing. Restore DS.dat and DS.lib together from your backup, or "
                "write a new database with quorvane-mkdb.")
            : QStringLiteral("The file %1 does not open with the password or the passphrase given: the "
                             "passphrase is wrong, or the file is not a survey database.");
        QCOMPARE(boxes.first().text,
                 QStringLiteral("The survey database could not be opened.\r\n\r\n") + detail.arg(file));
        QCOMPARE(boxes.first().icon, Msg::Icon::Critical);
    }

    // A page of DS.dat damaged past those the opening reads is found while the About box is up:
    // left alone, the box closes by itself; with Continue pressed at once, the main window made
    // meanwhile is never shown. Either way one box, no window, and DS.dat untouched. A file of the
    // previous release, which gains its index on opening, is read whole before it is changed.
    void damagedPagesEndTheStartWhateverTheUserDoes_data()
    {
        QTest::addColumn<bool>("pressContinue");
        QTest::addColumn<bool>("previousRelease");
        QTest::newRow("box left alone") << false << false;
        QTest::newRow("Continue pressed at once") << true << false;
        QTest::newRow("previous release") << true << true;
    }

    void damagedPagesEndTheStartWhateverTheUserDoes()
    {
        QFETCH(bool, pressContinue);
        QFETCH(bool, previousRelease);
        const QString dat = m_dir->filePath(QStringLiteral("DS.dat"));
        const QString previous = TestSupport::sourceDir() + QStringLiteral("/tests/data/previous-release");
        if (previousRelease)
            QVERIFY(TestSupport::copyDatabaseFiles(previous, m_dir->path()));
        QByteArray before;
        {
            QFile f(dat);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(f.size() - 1024));
            f.write(QByteArray(512, '\x5a'));
            QVERIFY(f.seek(0));
            before = f.readAll();
        }

        const Startup::Outcome outcome = pressContinue ? startAndContinue() : Startup::start({});
        QVERIFY(outcome.status != 0);
        QVERIFY(!outcome.windowShown);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!MainWindow::instance());
        QCOMPARE(visibleWindows(), QStringList());
        QVERIFY(startupFailed());
        QVERIFY(!sharedConnection().isOpen());
        QCOMPARE(MessageService::records().size(), 1);
        QCOMPARE(MessageService::records().first().icon, Msg::Icon::Critical);
        closeDatabase();
        QFile f(dat);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void aboutLeadsToTheTipsByDefault()
    {
        const Startup::Outcome outcome = startAndContinue();
        QCOMPARE(outcome.status, 0);
        QVERIFY(outcome.windowShown);
        QCOMPARE(m_aboutSeen, QStringLiteral("About Quorvane Lt|Quorvane Lt|Version: 1.0|") +
                                  AboutDialog().findChild<QLabel*>(QStringLiteral("lblDescription"))->text() +
                                  QStringLiteral("|Ships and ports are kept in ") + m_dir->path() +
                                  QStringLiteral("|frameless"));
        MainWindow* mdi = MainWindow::instance();
        QVERIFY(mdi && mdi->isVisible());
        QCOMPARE(mdi->windowTitle(), QStringLiteral("Quorvane Lt"));
        QWidget* tip = tipWindow();
        QVERIFY(tip);
        QCOMPARE(tip->windowTitle(), QStringLiteral("Tip of the Day"));
        // The tip window lives in the main window but is no working window: no band, no count.
        QCOMPARE(MainWindow::openChildCount, 0);
        QVERIFY(!mdi->findChild<QToolBar*>(QStringLiteral("cbMDI"))->isVisible());
        QCOMPARE(mdi->statusText(), QString());
        QVERIFY(Schema::tips().contains(tip->findChild<QLabel*>(QStringLiteral("lblTipText"))->text()));
        QCOMPARE(tip->findChild<QLabel*>(QStringLiteral("lblHeading"))->text(),
                 QStringLiteral("Did you know..."));
        QCOMPARE(MessageService::records().size(), 0);

        // OK closes it; the main window alone is left, with the Ctrl-O hint.
        QTest::mouseClick(tip->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!tipWindow());
        QCOMPARE(mdi->statusText(), MainWindow::statusHint());
        QCOMPARE(MainWindow::openChildCount, 0);
    }

    void aStartOffersTheSurveyTheLastRunLost()
    {
        // A recovery file as a killed program leaves it: no time of closing.
        QVERIFY(QDir().mkpath(SurveyRecovery::folder()));
        const QString lost = QDir(SurveyRecovery::folder()).filePath(QStringLiteral("survey-lost.json"));
        QJsonObject survey{{"format", SurveyFile::formatName()}, {"kind", "discharging"},
                           {"ship", "Bay Star"}, {"voyage", "V-7"}, {"recovery", QJsonObject{{"tab", 0}}}};
        {
            QFile f(lost);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QJsonDocument(survey).toJson());
        }
        // Kept for later: asked once, after the main window is up, and not at the next start.
        MessageService::setNextAnswer(Msg::Answer::Cancel);
        QCOMPARE(startAndContinue().status, 0);
        QCOMPARE(MessageService::records().size(), 1);
        QVERIFY(MessageService::records().first().text.startsWith(
            QStringLiteral("The Discharging survey of Bay Star, voyage V-7, was not closed: the program "
                           "ended while its window was open (last entry ")));
        QCOMPARE(MessageService::records().first().buttons, Msg::Buttons::YesNoCancel);
        const std::optional<SurveyRecovery::Entry> kept = SurveyRecovery::entry(lost);
        QVERIFY(kept && kept->lost && !kept->unanswered);
        closeMainWindow();
        MessageService::clearRecords();
        QCOMPARE(startAndContinue().status, 0);
        QCOMPARE(MessageService::records().size(), 0);
        QVERIFY(QFile::remove(lost));
    }

    void tipsSettingSurvivesARestart()
    {
        QVERIFY(startAndContinue().windowShown);
        auto* check = tipWindow()->findChild<QCheckBox*>(QStringLiteral("chkLoadTipsAtStartup"));
        QCOMPARE(check->text(), QStringLiteral("&Show Tips at Startup"));
        QVERIFY(check->isChecked());
        QCOMPARE(storedSetting(), QStringLiteral("1"));
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(!check->isChecked());
        QCOMPARE(storedSetting(), QStringLiteral("0"));
        closeMainWindow();
        QVERIFY(!sharedConnection().isOpen());  // the main window closed the database with it

        // The next run goes straight to the main window.
        const Startup::Outcome again = startAndContinue();
        QVERIFY(again.windowShown);
        QVERIFY(MainWindow::instance()->isVisible());
        QVERIFY(!tipWindow());
        QCOMPARE(MainWindow::instance()->statusText(), MainWindow::statusHint());

        // Help, Daily Tips shows them anyway and turns the setting back on.
        MainWindow::instance()->action(QStringLiteral("mnuHelp(5)"))->trigger();
        QVERIFY(tipWindow());
        QVERIFY(tipWindow()->findChild<QCheckBox*>(QStringLiteral("chkLoadTipsAtStartup"))->isChecked());
        QCOMPARE(storedSetting(), QStringLiteral("1"));
        // Asking again brings the same window forward.
        QWidget* first = tipWindow();
        MainWindow::instance()->action(QStringLiteral("mnuHelp(5)"))->trigger();
        QCOMPARE(tipWindow(), first);
    }

    void settingIsReadAsANumber_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("tips");
        QTest::newRow("missing") << QString() << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("1.0") << "1.0" << true;
        QTest::newRow(" 1") << " 1" << true;
        QTest::newRow("2") << "2" << false;
        QTest::newRow("yes") << "yes" << false;
    }

    void settingIsReadAsANumber()
    {
        QFETCH(QString, stored);
        QFETCH(bool, tips);
        setStoredSetting(stored);
        QCOMPARE(TipOfDayWindow::showTipsAtStartup(), tips);
    }

    void aboutFromTheHelpMenu()
    {
        setStoredSetting(QStringLiteral("0"));
        QVERIFY(startAndContinue().windowShown);
        MainWindow* mdi = MainWindow::instance();
        auto about = [this, mdi] {
            auto* presser = new QTimer(this);
            presser->setInterval(5);
            connect(presser, &QTimer::timeout, this, [presser] {
                if (auto* box = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
                    presser->stop();
                    presser->deleteLater();
                    QTest::keyClick(box, Qt::Key_Return);
                }
            });
            presser->start();
            mdi->action(QStringLiteral("mnuHelp(20)"))->trigger();
        };
        about();
        QCOMPARE(MainWindow::instance(), mdi);
        QVERIFY(!tipWindow());
        setStoredSetting(QStringLiteral("1"));
        about();
        QCOMPARE(MainWindow::instance(), mdi);
        QVERIFY(tipWindow());
    }

    void emptyTipTable()
    {
        openDatabase();
        QVERIFY(!startupFailed());
        sharedConnection().execute(QStringLiteral("DELETE FROM TipOfDay"));
        TipOfDayWindow tip;
        auto* label = tip.findChild<QLabel*>(QStringLiteral("lblTipText"));
        QCOMPARE(tip.tips(), QStringList());
        QCOMPARE(tip.currentTip(), 0);
        QCOMPARE(label->text(), QString());
        QTest::mouseClick(tip.findChild<QPushButton*>(QStringLiteral("cmdNextTip")), Qt::LeftButton);
        QCOMPARE(label->text(), QString());
        QCOMPARE(MessageService::records().size(), 0);
    }

    void singleTipComesAgain()
    {
        openDatabase();
        sharedConnection().execute(QStringLiteral("DELETE FROM TipOfDay"));
        sharedConnection().execute(QStringLiteral(
            "INSERT INTO TipOfDay (Tip) VALUES ('Read the marks at eye level, from a boat if need be.')"));
        TipOfDayWindow tip;
        auto* label = tip.findChild<QLabel*>(QStringLiteral("lblTipText"));
        QCOMPARE(label->text(), QStringLiteral("Read the marks at eye level, from a boat if need be."));
        for (int i = 0; i < 5; ++i) {
            QTest::mouseClick(tip.findChild<QPushButton*>(QStringLiteral("cmdNextTip")), Qt::LeftButton);
            QCOMPARE(label->text(), QStringLiteral("Read the marks at eye level, from a boat if need be."));
            QCOMPARE(tip.currentTip(), 1);
        }
    }

    void nextTipDrawsFromTheStoredTips()
    {
        openDatabase();
        TipOfDayWindow tip;
        QCOMPARE(tip.tips(), Schema::tips());
        QVERIFY(tip.tips().size() >= 12);
        auto* label = tip.findChild<QLabel*>(QStringLiteral("lblTipText"));
        QSet<int> positions;
        for (int i = 0; i < 60; ++i) {
            QTest::mouseClick(tip.findChild<QPushButton*>(QStringLiteral("cmdNextTip")), Qt::LeftButton);
            QVERIFY(tip.currentTip() >= 1 && tip.currentTip() <= tip.tips().size());
            QCOMPARE(label->text(), tip.tips().at(tip.currentTip() - 1));
            positions.insert(tip.currentTip());
        }
        QVERIFY(positions.size() > 1);
    }

    void debugCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("boxes");
        QTest::newRow("debug") << QStringList{"debug"} << true;
        QTest::newRow("none") << QStringList() << false;
        QTest::newRow("debug with a data folder") << QStringList{"--data-dir", "$DIR", "debug"} << true;
        QTest::newRow("a data folder alone") << QStringList{"--data-dir=$DIR"} << false;
    }

    void debugCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, boxes);
        arguments.replaceInStrings(QStringLiteral("$DIR"), m_dir->path());
        QVERIFY(startAndContinue(arguments).windowShown);
        QVERIFY(tipWindow());
        QStringList texts;
        for (const MessageRecord& r : MessageService::records()) {
            texts << r.text;
            QCOMPARE(r.title, QStringLiteral("Quorvane Lt"));
            QCOMPARE(r.icon, Msg::Icon::None);
        }
        if (boxes)
            QCOMPARE(texts, QStringList({"loading tip of day", "activate of tip of day"}));
        else
            QCOMPARE(texts, QStringList());
    }

    // Anything else on the command line is no reason to open the program on some database: the
    // usage goes to standard error (the command-line tests read it) and no window comes up.
    void commandLineNotUnderstood_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("Debug") << QStringList{"Debug"};
        QTest::newRow("debug and a word") << QStringList{"debug", "now"};
        QTest::newRow("an unknown option") << QStringList{"--data-folder", "$DIR"};
        QTest::newRow("a data folder that is none") << QStringList{"--data-dir", "$DIR/nowhere"};
        QTest::newRow("a data folder without a name") << QStringList{"--data-dir"};
        QTest::newRow("two survey files") << QStringList{"$DIR/DS.dat", "$DIR/DS.lib"};
    }

    void commandLineNotUnderstood()
    {
        QFETCH(QStringList, arguments);
        arguments.replaceInStrings(QStringLiteral("$DIR"), m_dir->path());
        const Startup::Outcome outcome = Startup::start(arguments);
        QCOMPARE(outcome.status, 2);
        QVERIFY(!outcome.windowShown);
        QVERIFY(!MainWindow::instance());
        QCOMPARE(visibleWindows(), QStringList());
        QCOMPARE(MessageService::records().size(), 0);
    }

    void noDisplaySaysSoInsteadOfAborting()
    {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        const QByteArray display = qgetenv("DISPLAY");
        const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
        qunsetenv("QT_QPA_PLATFORM");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        const bool available = Startup::displayAvailable();
        char name[] = "quorvane-lt";
        char* argv[] = {name, nullptr};
        const int status = Startup::main(1, argv);
        qputenv("QT_QPA_PLATFORM", platform);
        if (!display.isEmpty())
            qputenv("DISPLAY", display);
        if (!wayland.isEmpty())
            qputenv("WAYLAND_DISPLAY", wayland);
        QVERIFY(!available);
        QVERIFY(status != 0);
        QVERIFY(Startup::displayAvailable());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
