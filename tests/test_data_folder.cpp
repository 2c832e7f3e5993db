// Where the program keeps its database and what its command line does with the window: DS.dat
// beside the program is used as it is; an installed program keeps it in the user's data folder,
// written there on the first start and never written over; --data-dir names another folder; a
// command line that cannot be understood gets the usage and status 2; a survey file given on the
// command line opens in its window. The last tests run the built programs themselves, copied out of
// the build folder as an installed program would stand, with a home folder of their own.

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/DataFolder.h"
#include "db/Database.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "shell/Startup.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "survey/SurveyWindow.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);

bool encryptedDatabase(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(16);
    return head.size() == 16 && !head.startsWith("SQLite format 3");
}

QStringList portNames()
{
    QStringList out;
    RowSet rows;
    rows.open(SqlCatalogue::portList(), sharedConnection());
    for (; !rows.eof(); rows.moveNext())
        out << rows.value(QStringLiteral("PortName")).toText();
    return out;
}

using TestSupport::Run;

// The environment of a program started as from a desktop session, offscreen; with `home`, a home
// folder of its own.
QProcessEnvironment programEnvironment(const QString& home = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("QUORVANE_APP_DIR"));
    // As in a desktop session: the platform's remark about a missing runtime folder would come
    // before the program's own words on standard error.
    static QTemporaryDir runtime;
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    if (!home.isEmpty()) {
        env.insert(QStringLiteral("HOME"), home);
        env.remove(QStringLiteral("XDG_DATA_HOME"));
    }
    return env;
}

Run runProgram(const QString& program, const QStringList& args, const QString& home = QString())
{
    return TestSupport::runProgram(program, args, programEnvironment(home), 120000);
}

// A copy of a built program in `dir`, standing as it would in /usr/bin: no database beside it.
QString copyProgram(const QString& program, const QString& dir)
{
    const QString to = QDir(dir).filePath(QFileInfo(program).fileName());
    if (!QFile::copy(program, to))
        return QString();
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return to;
}

}  // namespace

class TestDataFolder : public QObject {
    Q_OBJECT

private:
    QTemporaryDir* m_home = nullptr;     // the user's home for one case
    QTemporaryDir* m_program = nullptr;  // the program's folder for one case
    QByteArray m_savedHome;

    QString userFolder() const { return AppPaths::userDataDir(); }

    Startup::Outcome startAndContinue(const QStringList& arguments, QString* aboutFolder = nullptr)
    {
        auto* presser = new QTimer(this);
        presser->setInterval(5);
        connect(presser, &QTimer::timeout, this, [presser, aboutFolder] {
            auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            if (!about || !about->isVisible())
                return;
            if (aboutFolder)
                *aboutFolder = about->findChild<QLabel*>(QStringLiteral("lblDataFolder"))->text();
            presser->stop();
            presser->deleteLater();
            QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdContinue")), Qt::LeftButton);
        });
        presser->start();
        return Startup::start(arguments);
    }

private slots:
    void initTestCase()
    {
        TestSupport::initTestEnvironment();
        // This test is about the user's folder itself: the standard place, under its own HOME.
        AppPaths::setUserDataDir(QString());
        Startup::initResources();
        m_savedHome = qgetenv("HOME");
        qunsetenv("QUORVANE_APP_DIR");
        // The data folder is looked up under the program's name, as the program does.
        AppPaths::setApplicationNames();
    }

    void cleanupTestCase()
    {
        qputenv("HOME", m_savedHome);
    }

    void init()
    {
        MessageService::clearRecords();
        MessageService::clearAnswers();
        m_home = new QTemporaryDir;
        m_program = new QTemporaryDir;
        qputenv("HOME", m_home->path().toLocal8Bit());
        AppPaths::setAppDir(QString());
        AppPaths::setProgramDir(m_program->path());
    }

    void cleanup()
    {
        if (MainWindow* mdi = MainWindow::instance())
            mdi->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        closeDatabase();
        qunsetenv("QUORVANE_APP_DIR");
        AppPaths::setAppDir(QString());
        AppPaths::setProgramDir(QString());
        delete m_home;
        delete m_program;
    }

    void theFolderChosen_data()
    {
        QTest::addColumn<QStringList>("besideProgram");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both files beside the program") << QStringList{"DS.dat", "DS.lib"} << "" << "program";
        QTest::newRow("DS.dat beside, its DS.lib lost") << QStringList{"DS.dat"} << "" << "program";
        QTest::newRow("only DS.lib beside") << QStringList{"DS.lib"} << "" << "user";
        QTest::newRow("nothing beside (installed)") << QStringList() << "" << "user";
        QTest::newRow("the environment names a folder") << QStringList{"DS.dat", "DS.lib"} << "env" << "env";
    }

    void theFolderChosen()
    {
        QFETCH(QStringList, besideProgram);
        QFETCH(QString, environment);
        QFETCH(QString, expected);
        for (const QString& name : besideProgram)
            QVERIFY(QFile::copy(TestSupport::deliveredDir() + QLatin1Char('/') + name,
                                m_program->filePath(name)));
        QTemporaryDir elsewhere;
        if (!environment.isEmpty())
            qputenv("QUORVANE_APP_DIR", elsewhere.path().toLocal8Bit());

        const QString user = userFolder();
        QVERIFY2(user.startsWith(m_home->path() + QLatin1Char('/')), qPrintable(user));
        QVERIFY2(user.endsWith(QStringLiteral("/quorvane-lt")), qPrintable(user));
        const QString want = expected == QLatin1String("program") ? m_program->path()
                             : expected == QLatin1String("user")  ? user
                                                                  : elsewhere.path();
        QCOMPARE(AppPaths::appDir(), want);
        QCOMPARE(AppPaths::usesUserDataDir(), expected == QLatin1String("user"));

        // --data-dir, and the tests' own copies, win over all of these.
        AppPaths::setAppDir(elsewhere.path() + QStringLiteral("/./"));
        QCOMPARE(AppPaths::appDir(), elsewhere.path());
        QVERIFY(!AppPaths::usesUserDataDir());
    }

    void firstStartWritesTheDeliveredDatabase()
    {
        const QString user = userFolder();
        QVERIFY(!QFileInfo::exists(user));
        QString error;
        QVERIFY2(DataFolder::prepare(&error), qPrintable(error));
        QVERIFY(QFileInfo(user).isDir());
        QVERIFY(encryptedDatabase(user + QStringLiteral("/DS.dat")));
        QVERIFY(QFileInfo::exists(user + QStringLiteral("/DS.lib")));
        QCOMPARE(QFileInfo(user).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
        // Nothing was written beside the program.
        QCOMPARE(QDir(m_program->path()).entryList(QDir::Files), QStringList());

        // The user's ports survive the next start: the database is never written over.
        openDatabase();
        QVERIFY(!startupFailed());
        QCOMPARE(portNames(), QStringList());
        QVERIFY(ExampleData::add(user).contains(QStringLiteral("port Port Hedland")));
        QVERIFY(portNames().contains(QStringLiteral("Port Hedland")));
        closeDatabase();
        QVERIFY(DataFolder::prepare(&error));
        openDatabase();
        QVERIFY(!startupFailed());
        QCOMPARE(portNames(), QStringList({"Monrovia", "Port Hedland", "Qingdao"}));
        // Adding the examples again adds nothing.
        QCOMPARE(ExampleData::add(user), QStringList());
    }

    void otherFoldersAreNeverFilled()
    {
        // A folder named on the command line without a database gets none: the user is told the
        // database cannot be opened rather than given an empty one.
        QTemporaryDir named;
        AppPaths::setAppDir(named.path());
        QVERIFY(DataFolder::prepare());
        QCOMPARE(QDir(named.path()).entryList(QDir::Files), QStringList());
        const Startup::Outcome outcome = Startup::start({QStringLiteral("--data-dir"), named.path()});
        QCOMPARE(outcome.status, 1);
        QVERIFY(!outcome.windowShown);
        QCOMPARE(MessageService::records().size(), 1);
        // The box says which file is missing.
        QCOMPARE(
            MessageService::records().first().text,
            QStringLiteral("The survey database could not be opened.\r\n\r\nThe file %1 is missing. Restore "
                           "DS.dat and DS.lib together from your backup, or write a new database with "
                           "quorvane-mkdb.")
                .arg(named.path() + QStringLiteral("/DS.lib")));
        QVERIFY(!QFileInfo::exists(userFolder()));
    }

    void aFolderThatCannotBeMadeFailsTheStart()
    {
        // A file stands where the data folder would be: the start-up failure box, no window, and
        // the file is left as it was.
        QVERIFY(QDir().mkpath(QFileInfo(userFolder()).absolutePath()));
        QFile blocker(userFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.write("not a folder");
        blocker.close();
        QString error;
        QVERIFY(!DataFolder::prepare(&error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(userFolder())), qPrintable(error));
        const Startup::Outcome outcome = Startup::start({});
        QCOMPARE(outcome.status, 1);
        QVERIFY(!outcome.windowShown);
        QCOMPARE(MessageService::records().size(), 1);
        QCOMPARE(QFileInfo(userFolder()).size(), qint64(12));
    }

    void theWindowOpensOnTheChosenFolder()
    {
        // Installed: the first start writes the database into the user's folder and the About box
        // says where it is.
        QString told;
        const Startup::Outcome first = startAndContinue({}, &told);
        QCOMPARE(first.status, 0);
        QVERIFY(first.windowShown);
        QCOMPARE(told, QStringLiteral("Ships and ports are kept in ") + QDir::toNativeSeparators(userFolder()));
        QVERIFY(encryptedDatabase(userFolder() + QStringLiteral("/DS.dat")));
        QVERIFY(databaseConnectionString().contains(QStringLiteral("'") + userFolder()
                                                    + QStringLiteral("/DS.dat'")));
        MainWindow::instance()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // --data-dir in window mode opens the database there (the examples were added to it only).
        QTemporaryDir named;
        TestSupport::useFreshDatabaseCopy(named);
        AppPaths::setAppDir(QString());
        ExampleData::add(named.path());
        const Startup::Outcome second = startAndContinue({QStringLiteral("--data-dir"), named.path()}, &told);
        QVERIFY(second.windowShown);
        QCOMPARE(told, QStringLiteral("Ships and ports are kept in ") + QDir::toNativeSeparators(named.path()));
        QCOMPARE(portNames(), QStringList({"Monrovia", "Port Hedland", "Qingdao"}));
    }

    void aSurveyFileOnTheCommandLineOpens_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("windowClass");
        QTest::newRow("loading") << "loading-port-hedland.json" << "frmQuorvane";
        QTest::newRow("discharging") << "discharging-qingdao.json" << "frmZODuraduza";
    }

    void aSurveyFileOnTheCommandLineOpens()
    {
        QFETCH(QString, file);
        QFETCH(QString, windowClass);
        QTemporaryDir db;
        TestSupport::useFreshDatabaseCopy(db);
        ExampleData::add(db.path());
        const QString path = TestSupport::sourceDir() + QStringLiteral("/examples/") + file;
        const Startup::Outcome outcome = startAndContinue({path});
        QVERIFY(outcome.windowShown);
        auto* survey = dynamic_cast<SurveyWindow*>(MainWindow::instance()->findChildWindow(windowClass));
        QVERIFY(survey);
        QCOMPARE(survey->shipText(), QStringLiteral("Coral Meridian"));
        QCOMPARE(MessageService::records().size(), 0);
    }

    void aFileThatIsNoSurveyIsToldInTheWindow()
    {
        QTemporaryDir db;
        TestSupport::useFreshDatabaseCopy(db);
        const QString notes = db.filePath(QStringLiteral("notes.qsurvey.json"));
        QFile f(notes);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("draft forward 7.42, aft 8.10\n");
        f.close();
        const Startup::Outcome outcome = startAndContinue({notes});
        QVERIFY(outcome.windowShown);
        QCOMPARE(MessageService::records().size(), 1);
        QVERIFY(MessageService::records().first().text.startsWith(
            QStringLiteral("The survey file cannot be opened.\r\n\r\n")));
        QVERIFY(!MainWindow::instance()->findChildWindow(QStringLiteral("frmQuorvane")));
    }

    void theProgramRefusesWhatItDoesNotKnow()
    {
        const Run bogus = runProgram(kLt, {QStringLiteral("--bogus")});
        QCOMPARE(bogus.status, 2);
        QVERIFY2(bogus.err.startsWith(QStringLiteral("quorvane-lt: unknown argument \"--bogus\"\n\nUsage: ")),
                 qPrintable(bogus.err));
        QCOMPARE(bogus.out, QString());
        const Run word = runProgram(kLt, {QStringLiteral("surveys")});
        QCOMPARE(word.status, 2);
        QVERIFY(word.err.startsWith(QStringLiteral("quorvane-lt: unknown argument \"surveys\" (no such option or file)")));

        // --help names every option and where the data is.
        const Run help = runProgram(kLt, {QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        for (const char* option : {"debug", "--data-dir DIR", "[FILE]", "--survey FILE", "--pdf OUT.pdf",
                                   "--captions OUT.json", "--pdf-dir DIR", "--captions-dir DIR", "--help", "~/.local/share/quorvane-lt",
                                   "quorvane-mkdb --examples"})
            QVERIFY2(help.out.contains(QLatin1String(option)), option);
    }

    void theInstalledProgramsUseTheUsersFolder()
    {
        // The two programs as they stand in /usr/bin, with a home folder of their own: the database
        // tool fills the user's folder the program then reads.
        QTemporaryDir bin;
        const QString lt = copyProgram(kLt, bin.path());
        const QString mkdb = copyProgram(kMkdb, bin.path());
        QVERIFY(!lt.isEmpty() && !mkdb.isEmpty());
        const QString data = m_home->path() + QStringLiteral("/.local/share/quorvane-lt");

        const Run examples = runProgram(mkdb, {QStringLiteral("--examples")}, m_home->path());
        QVERIFY2(examples.status == 0, qPrintable(examples.err));
        QVERIFY(examples.out.contains(QStringLiteral("added the ship Coral Meridian")));
        QVERIFY(encryptedDatabase(data + QStringLiteral("/DS.dat")));
        QCOMPARE(QDir(bin.path()).entryList(QDir::Files).size(), 2);

        const QString pdf = m_home->filePath(QStringLiteral("loading.pdf"));
        const Run report = runProgram(lt,
                                      {QStringLiteral("--survey"),
                                       TestSupport::sourceDir() + QStringLiteral("/examples/loading-port-hedland.json"),
                                       QStringLiteral("--pdf"), pdf},
                                      m_home->path());
        QVERIFY2(report.status == 0, qPrintable(report.err));
        QFile out(pdf);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.read(5) == "%PDF-");

        // Run again, the tool adds nothing and the database keeps its rows.
        const Run again = runProgram(mkdb, {QStringLiteral("--examples")}, m_home->path());
        QCOMPARE(again.status, 0);
        QVERIFY(!again.out.contains(QStringLiteral("added")));
    }

    void aShipsTableOnTheFirstStartUsesTheUsersFolder()
    {
        // The installed program's first start with a ship's table, as with --survey: the delivered
        // database is written into the user's folder and the table is looked for there.
        QTemporaryDir bin;
        const QString lt = copyProgram(kLt, bin.path());
        const QString mkdb = copyProgram(kMkdb, bin.path());
        QVERIFY(!lt.isEmpty() && !mkdb.isEmpty());
        const QString data = m_home->path() + QStringLiteral("/.local/share/quorvane-lt");
        const QString ship = ExampleData::shipName();
        const QString csv = m_home->filePath(QStringLiteral("table.csv"));

        const Run first = runProgram(lt, {QStringLiteral("--export-hydrostatics"), ship, csv}, m_home->path());
        QCOMPARE(first.status, 1);
        QCOMPARE(first.err, QStringLiteral("quorvane-lt: there is no ship \"%1\" in the database.\n").arg(ship));
        QVERIFY(encryptedDatabase(data + QStringLiteral("/DS.dat")));
        QVERIFY(QFileInfo::exists(data + QStringLiteral("/DS.lib")));
        QCOMPARE(QDir(bin.path()).entryList(QDir::Files).size(), 2);
        QVERIFY(!QFileInfo::exists(csv));

        // The database tool adds the ship to that same folder; the table goes in and comes out.
        QCOMPARE(runProgram(mkdb, {QStringLiteral("--examples")}, m_home->path()).status, 0);
        const Run import = runProgram(lt,
                                      {QStringLiteral("--import-hydrostatics"), ship,
                                       TestSupport::sourceDir() + QStringLiteral("/examples/coral-meridian-hydrostatics.csv")},
                                      m_home->path());
        QVERIFY2(import.status == 0, qPrintable(import.err));
        QVERIFY2(import.out.contains(QStringLiteral("rows imported for %1").arg(ship)), qPrintable(import.out));
        const Run exported = runProgram(lt, {QStringLiteral("--export-hydrostatics"), ship, csv}, m_home->path());
        QVERIFY2(exported.status == 0, qPrintable(exported.err));
        QVERIFY(QFileInfo(csv).size() > 0);
    }
};

QTEST_MAIN(TestDataFolder)
#include "test_data_folder.moc"
