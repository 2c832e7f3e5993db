// Nothing of the user's is written over, read without bound, or left readable by others. Every
// writer, from the command line and from the windows, refuses the survey database of the folder in
// use and of the user's own folder (by name, through a link or a detour) and a pipe, naming the
// file and the reason; a write that fails leaves the old file whole; a pipe, /dev/zero and an
// oversized file are refused at once; the folders and files the program makes are its owner's
// alone; the table import refuses imperial units and a density it cannot read whole; a survey
// file's texts take no control characters; an empty --data-dir is refused by every program.
#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/DataFolder.h"
#include "db/Database.h"
#include "files/HydrostaticTableFile.h"
#include "files/InputFiles.h"
#include "files/OutputPaths.h"
#include "files/SurveyFile.h"
#include "model/HydrostaticTable.h"
#include "report/ReportLayout.h"
#include "shell/ChildRegistry.h"
#include "shell/MainWindow.h"
#include "shell/RecentSurveys.h"
#include "shell/Startup.h"
#include "shell/SurveyFileCommands.h"
#include "ships/HydrostaticTableWindow.h"
#include "survey/SurveyRecovery.h"
#include "survey/SurveyWindow.h"
#include "tests/SurveyWindowDriver.h"
#include "tests/TestSupport.h"
#include "ui/ReportPreview.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
// The ship whose hydrostatic table is exported (the survey windows work on "Ocean Pride").
const QString kExampleShip = QStringLiteral("Bay Trader");

using TestSupport::Run;
using TestSupport::runProgram;

QByteArray digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

int modeOf(const QString& path)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

bool isFifo(const QString& path)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// The temporary files a write leaves beside its target when it goes wrong (".NAME.XXXXXX").
QStringList hiddenFiles(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
}

QString loadingExample()
{
    return TestSupport::sourceDir() + QStringLiteral("/examples/loading-port-hedland.json");
}

// A file of `size` bytes that takes no room on the disk.
void sparse(const QString& path, qint64 size)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(f.resize(size));
}

} // namespace

class TestFileSafety : public QObject, private SurveyWindowDriver {
    Q_OBJECT

private:
    QTemporaryDir m_dir; // the data folder in use
    QTemporaryDir m_home; // HOME, with the user's own data folder under XDG_DATA_HOME
    QTemporaryDir m_out; // where the outputs are aimed
    QString m_data;
    QString m_userData;
    QString m_chosen;
    MainWindow* m_mdi = nullptr;

    QString dat() const { return m_data + QStringLiteral("/DS.dat"); }
    QString userDat() const { return m_userData + QStringLiteral("/DS.dat"); }
    QString pipe() const { return m_out.filePath(QStringLiteral("pipe.json")); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path() + QStringLiteral("/xdg"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + QStringLiteral("/config"));
        return env;
    }

    // Every place an output must not go, with the reason the refusal gives.
    static void addTargets()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        const QString database = QStringLiteral("is a file of the survey database");
        QTest::newRow("DS.dat in use") << "data:DS.dat" << database;
        QTest::newRow("DS.lib in use") << "data:DS.lib" << database;
        QTest::newRow("a journal to be") << "data:DS.dat-journal" << database;
        QTest::newRow("the user's DS.dat") << "user:DS.dat" << database;
        QTest::newRow("a link to DS.dat") << "out:link.json" << database;
        QTest::newRow("a link to the user's DS.dat") << "out:userlink.pdf" << database;
        QTest::newRow("a detour") << "data:sub/../DS.dat" << database;
        QTest::newRow("a linked folder") << "out:folder/DS.dat" << database;
        QTest::newRow("a hard link") << "out:hard.csv" << database;
        QTest::newRow("a pipe") << "out:pipe.json" << QStringLiteral("is not a plain file");
    }

    QString resolve(const QString& target) const
    {
        const QString where = target.section(QLatin1Char(':'), 0, 0);
        const QString name = target.section(QLatin1Char(':'), 1);
        const QString dir = where == QLatin1String("data") ? m_data
            : where == QLatin1String("user")               ? m_userData
                                                           : m_out.path();
        return dir + QLatin1Char('/') + name;
    }

    // Both databases as they were, and the pipe still a pipe.
    struct Untouched {
        QByteArray dat, lib, userDat;
    };
    Untouched before() const
    {
        return {digest(dat()), digest(m_data + QStringLiteral("/DS.lib")), digest(userDat())};
    }
    void verifyUntouched(const Untouched& b) const
    {
        QCOMPARE(digest(dat()), b.dat);
        QCOMPARE(digest(m_data + QStringLiteral("/DS.lib")), b.lib);
        QCOMPARE(digest(userDat()), b.userDat);
        QVERIFY(!QFile::exists(dat() + QStringLiteral("-journal")));
        QVERIFY(isFifo(pipe()));
        // No temporary file is left beside a refused output.
        QCOMPARE(hiddenFiles(m_data), QStringList());
        QCOMPARE(hiddenFiles(m_out.path()), QStringList());
    }

    void openMainWindow()
    {
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
    SurveyWindow* loadingWindow()
    {
        if (auto* w = dynamic_cast<SurveyWindow*>(m_mdi->findChildWindow(QStringLiteral("frmQuorvane"))))
            return w;
        m_mdi->action(QStringLiteral("mnuQuorvane(5)"))->trigger();
        QApplication::processEvents();
        auto* w = dynamic_cast<SurveyWindow*>(m_mdi->findChildWindow(QStringLiteral("frmQuorvane")));
        m_window = w;
        if (w && w->shipText().isEmpty())
            fillHeader();
        return w;
    }

    // The three writers of the windows, each aimed at `path`; true when it wrote.
    bool saveSurveyAs(const QString& path)
    {
        m_chosen = path;
        SurveyWindow* w = loadingWindow();
        if (!w)
            return false;
        w->activateWindow();
        m_mdi->action(QStringLiteral("mnuQuorvane(25)"))->trigger();
        QApplication::processEvents();
        return messages().isEmpty() && QFileInfo(path).isFile();
    }
    bool savePdf(const QString& path)
    {
        ReportOutput::setFileNameProvider([path](QWidget*, const QString&) { return path; });
        ReportPreview* preview = ReportPreview::open(ReportLayout::loadingReport());
        const bool saved = preview->savePdf();
        preview->close();
        ReportOutput::setFileNameProvider({});
        return saved;
    }
    bool exportTable(const QString& path)
    {
        const int shipId = HydrostaticTable::shipIdByName(kExampleShip);
        HydrostaticTableWindow editor(shipId, kExampleShip);
        return editor.exportFile(path);
    }

private slots:
    void initTestCase()
    {
        // The user's own folder lies under this HOME; the programs run below get the same.
        QVERIFY(m_home.isValid() && m_out.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/xdg")));
        m_userData = m_home.path() + QStringLiteral("/xdg/quorvane-lt");
        QVERIFY(QDir().mkpath(m_userData));
        QVERIFY(TestSupport::copyDatabaseFiles(TestSupport::deliveredDir(), m_userData));

        TestSupport::initTestEnvironment();
        Startup::initResources();
        m_data = TestSupport::useFreshDatabaseCopy(m_dir);
        openDatabase();
        QVERIFY(!startupFailed());
        SurveyTestShips::insert();
        QString error;
        const auto layout = HydrostaticTableFile::readFile(
            TestSupport::sourceDir() + QStringLiteral("/examples/coral-meridian-hydrostatics.csv"), &error);
        QVERIFY2(layout, qPrintable(error));
        const auto table = HydrostaticTableFile::build(*layout, layout->proposed, &error);
        QVERIFY2(table, qPrintable(error));
        HydrostaticTable::saveForShip(HydrostaticTable::shipIdByName(kExampleShip), *table);
        registerChildWindows();
        SurveyFileCommands::registerCommands();
        SurveyFileCommands::setFileChooser([this](QWidget*, bool, const QString&) { return m_chosen; });
        SurveyRecovery::setFolder(m_home.path() + QStringLiteral("/recovery"));

        QVERIFY(QDir(m_data).mkpath(QStringLiteral("sub")));
        QVERIFY(QFile::link(dat(), m_out.filePath(QStringLiteral("link.json"))));
        QVERIFY(QFile::link(userDat(), m_out.filePath(QStringLiteral("userlink.pdf"))));
        QVERIFY(QFile::link(m_data, m_out.filePath(QStringLiteral("folder"))));
        QCOMPARE(::link(QFile::encodeName(dat()).constData(),
                     QFile::encodeName(m_out.filePath(QStringLiteral("hard.csv"))).constData()),
            0);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe()).constData(), 0600), 0);
        openMainWindow();
    }

    void cleanupTestCase()
    {
        closeMainWindow();
        SurveyFileCommands::setFileChooser({});
        SurveyRecovery::setFolder(QString());
        OutputPaths::setWriteFaultAfter(-1);
        closeDatabase();
    }

    void init() { forgetMessages(); }

    // ---- every writer refuses the database and what is no plain file --------------------------

    void windowWritersRefuse_data() { addTargets(); }
    void windowWritersRefuse()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        const QString path = resolve(target);
        const Untouched b = before();
        const QString expected = QDir::toNativeSeparators(path) + QLatin1Char(' ') + reason;

        QVERIFY(!saveSurveyAs(path));
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().startsWith("The survey could not be saved.\r\n\r\n" + expected),
            qPrintable(messages().first()));
        verifyUntouched(b);

        forgetMessages();
        QVERIFY(!savePdf(path));
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().startsWith("The report could not be saved.\r\n\r\n" + expected),
            qPrintable(messages().first()));
        verifyUntouched(b);

        forgetMessages();
        QVERIFY(!exportTable(path));
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().startsWith("The table was not exported.\r\n\r\n" + expected),
            qPrintable(messages().first()));
        verifyUntouched(b);
    }

    void commandLineWritersRefuse_data() { addTargets(); }
    void commandLineWritersRefuse()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        const QString path = resolve(target);
        const Untouched b = before();
        const QString survey = loadingExample();
        const QList<QStringList> runs = {
            {"--survey", survey, "--pdf", path, "--data-dir", m_data},
            {"--survey", survey, "--captions", path, "--data-dir", m_data},
            {"--export-hydrostatics", kExampleShip, path, "--data-dir", m_data},
        };
        for (const QStringList& args : runs) {
            QElapsedTimer clock;
            clock.start();
            const Run r = runProgram(kLt, args, environment(), 30000);
            QVERIFY2(r.finished, qPrintable(args.join(' ')));
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.startsWith("quorvane-lt: " + QDir::toNativeSeparators(path) + ' ' + reason),
                qPrintable(args.join(' ') + "\n" + r.err));
            verifyUntouched(b);
        }
    }

    void reportFolderRefusesAPipeInIt()
    {
        // --pdf-dir names the file after the survey: a pipe of that name is refused as well.
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("loading-port-hedland.pdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(pdf).constData(), 0600), 0);
        const Run r
            = runProgram(kLt, {"--survey", loadingExample(), "--pdf-dir", dir.path(), "--data-dir", m_data},
                environment(), 30000);
        QVERIFY(r.finished);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QDir::toNativeSeparators(pdf) + " is not a plain file"), qPrintable(r.err));
        QVERIFY(isFifo(pdf));
    }

    // ---- a failed write leaves the old file --------------------------------------------------

    void failedWritesLeaveTheOldFileWhole()
    {
        const QString survey = m_out.filePath(QStringLiteral("old.qsurvey.json"));
        const QString pdf = m_out.filePath(QStringLiteral("old.pdf"));
        const QString csv = m_out.filePath(QStringLiteral("old.csv"));
        for (const QString& file : {survey, pdf, csv})
            put(file, "what was there before\n");
        // The disk fills after a few bytes of each.
        OutputPaths::setWriteFaultAfter(8);
        QVERIFY(!saveSurveyAs(survey));
        QVERIFY(!savePdf(pdf));
        QVERIFY(!exportTable(csv));
        OutputPaths::setWriteFaultAfter(-1);
        const QStringList said = messages();
        QCOMPARE(said.size(), 3);
        const QString full = QString::fromLocal8Bit(std::strerror(ENOSPC));
        const QString notWritten = QStringLiteral("%1\r\n\r\n%2 could not be written (%3).");
        QCOMPARE(said.at(0), notWritten.arg("The survey could not be saved.", survey, full));
        QCOMPARE(said.at(1), notWritten.arg("The report could not be saved.", pdf, full));
        QCOMPARE(said.at(2), notWritten.arg("The table was not exported.", csv, full));
        for (const QString& file : {survey, pdf, csv})
            QCOMPARE(contents(file), QByteArray("what was there before\n"));
        QCOMPARE(hiddenFiles(m_out.path()), QStringList());

        // Written again with room on the disk: each replaced whole, with its permissions kept.
        QVERIFY(QFile::setPermissions(csv, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        forgetMessages();
        QVERIFY(saveSurveyAs(survey));
        QVERIFY(savePdf(pdf));
        QVERIFY(exportTable(csv));
        QCOMPARE(messages(), QStringList());
        QVERIFY(SurveyFile::read(survey, nullptr).has_value());
        QVERIFY(contents(pdf).startsWith("%PDF"));
        QVERIFY(contents(csv).startsWith("# Water density 1.025 t/m3\n"));
        QVERIFY(contents(csv).contains("\nDraft,Displacement,TPC,LCF,MCTC\n"));
        QCOMPARE(modeOf(csv), 0640);

        // Two outputs of one run go in together: the second failing, the first stays as it was.
        put(pdf, "old report");
        put(csv, "old captions");
        OutputPaths::Output first(pdf);
        OutputPaths::Output second(csv);
        QString error;
        QVERIFY(first.stage("new report", &error));
        OutputPaths::setWriteFaultAfter(2);
        QVERIFY(!second.stage("new captions", &error));
        OutputPaths::setWriteFaultAfter(-1);
        first.discard();
        QCOMPARE(contents(pdf), QByteArray("old report"));
        QCOMPARE(contents(csv), QByteArray("old captions"));
        QCOMPARE(hiddenFiles(m_out.path()), QStringList());
    }

    // ---- reads: plain files only, and up to a limit --------------------------------------------

    void readsRefusePipesDevicesAndOversizedFilesAtOnce()
    {
        const QString big = m_out.filePath(QStringLiteral("big.json"));
        sparse(big, InputFiles::kSurveyLimit + 1);
        const QString hugeTable = m_out.filePath(QStringLiteral("huge.csv"));
        sparse(hugeTable, InputFiles::kTableLimit + 1);
        const QString zeroLink = m_out.filePath(QStringLiteral("zero.json"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zeroLink));

        QElapsedTimer clock;
        clock.start();
        QString error;
        QVERIFY(!SurveyFile::read(pipe(), &error));
        QCOMPARE(error,
            pipe() + " is not a plain file (a pipe, a device or the like); only a plain file is read.");
        QVERIFY(!SurveyFile::read(QStringLiteral("/dev/zero"), &error));
        QVERIFY(error.startsWith(QStringLiteral("/dev/zero is not a plain file")));
        QVERIFY(!SurveyFile::read(zeroLink, &error));
        QVERIFY(error.startsWith(zeroLink + QStringLiteral(" is not a plain file")));
        QVERIFY(!SurveyFile::read(big, &error));
        QCOMPARE(error, big + " is larger than 16 MiB, the most such a file may hold; it was not read.");
        QVERIFY(!HydrostaticTableFile::readFile(hugeTable, &error));
        QCOMPARE(
            error, hugeTable + " is larger than 64 MiB, the most such a file may hold; it was not read.");
        QVERIFY(!HydrostaticTableFile::readFile(pipe(), &error));
        QVERIFY(error.contains(QStringLiteral("is not a plain file")));
        // A file at the limit is read.
        sparse(big, InputFiles::kSurveyLimit);
        QCOMPARE(InputFiles::read(big, InputFiles::kSurveyLimit, &error).value_or(QByteArray()).size(),
            InputFiles::kSurveyLimit);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));

        // Open Survey in the window: a box, at once.
        forgetMessages();
        m_chosen = pipe();
        m_mdi->action(QStringLiteral("mnuQuorvane(20)"))->trigger();
        QApplication::processEvents();
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(pipe() + QStringLiteral(" is not a plain file")),
            qPrintable(messages().first()));

        // The command line: exit 1 with the reason, never waiting on the pipe.
        const QList<QStringList> runs = {
            {"--survey", pipe(), "--data-dir", m_data},
            {"--survey", QStringLiteral("/dev/zero"), "--data-dir", m_data},
            {"--survey", big + QStringLiteral("x"), "--data-dir", m_data},
            {"--import-hydrostatics", kExampleShip, pipe(), "--data-dir", m_data},
            {"--import-hydrostatics", kExampleShip, hugeTable, "--data-dir", m_data},
        };
        sparse(big + QStringLiteral("x"), InputFiles::kSurveyLimit + 1);
        for (const QStringList& args : runs) {
            const Run r = runProgram(kLt, args, environment(), 20000);
            QVERIFY2(r.finished, qPrintable(args.join(' ')));
            QCOMPARE(r.status, 1);
            QVERIFY2(r.err.contains(" is not a plain file") || r.err.contains("MiB"), qPrintable(r.err));
        }
    }

    void recoveryFileLinkedToDevZeroDoesNotHoldUpRecentSurveys()
    {
        const QString folder = SurveyRecovery::folder();
        QVERIFY(QDir().mkpath(folder));
        const QString link = folder + QStringLiteral("/survey-20260101-000000-deadbeef.json");
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), link));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(SurveyRecovery::leftBehind().isEmpty());
        QMenu* menu = RecentSurveys::menu(*m_mdi);
        QVERIFY(menu);
        RecentSurveys::fill(*m_mdi, menu);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(!menu->findChild<QAction*>(QStringLiteral("mnuRecentReopen(1)")));
        QFile::remove(link);
    }

    // ---- owner-only files ------------------------------------------------------------------

    void filesMadeAreTheOwnersAlone()
    {
        const mode_t oldMask = ::umask(022);
        // quorvane-mkdb into a folder that is not there yet.
        const QString made = m_home.path() + QStringLiteral("/made/data");
        const Run mk = runProgram(kMkdb, {made}, environment());
        QVERIFY2(mk.status == 0, qPrintable(mk.err));
        QCOMPARE(modeOf(made), 0700);
        QCOMPARE(modeOf(made + QStringLiteral("/DS.dat")), 0600);
        QCOMPARE(modeOf(made + QStringLiteral("/DS.lib")), 0600);

        // The program's first start in the user's folder.
        const QString first = m_home.path() + QStringLiteral("/first/quorvane-lt");
        QString error;
        QVERIFY2(DataFolder::writeDeliveredIfMissing(first, &error), qPrintable(error));
        QCOMPARE(modeOf(first), 0700);
        QCOMPARE(modeOf(first + QStringLiteral("/DS.dat")), 0600);
        QCOMPARE(modeOf(first + QStringLiteral("/DS.lib")), 0600);
        // The journal the engine writes beside DS.dat while a change is under way takes its
        // permissions.
        {
            Connection db;
            openOnDir(db, first);
            db.execute(QStringLiteral("BEGIN"));
            db.execute(QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ('J', 'J', 'J')"));
            QVERIFY(QFile::exists(first + QStringLiteral("/DS.dat-journal")));
            QCOMPARE(modeOf(first + QStringLiteral("/DS.dat-journal")), 0600);
            db.execute(QStringLiteral("ROLLBACK"));
            db.close();
        }

        // A survey typed: the recovery folder and file.
        SurveyRecovery::setFolder(m_home.path() + QStringLiteral("/fresh/recovery"));
        closeMainWindow();
        openMainWindow();
        QVERIFY(loadingWindow());
        const QDir recoveries(SurveyRecovery::folder());
        QTRY_COMPARE(recoveries.entryList({QStringLiteral("*.json")}, QDir::Files).size(), 1);
        const QString recovery = recoveries.filePath(recoveries.entryList({"*.json"}, QDir::Files).first());
        QCOMPARE(modeOf(SurveyRecovery::folder()), 0700);
        QCOMPARE(modeOf(recovery), 0600);

        // The settings, once a recent survey is kept.
        RecentSurveys::remember(m_out.filePath(QStringLiteral("voyage.qsurvey.json")));
        const QString settings = AppPaths::settings().fileName();
        QVERIFY(QFile::exists(settings));
        QCOMPARE(modeOf(settings), 0600);
        closeMainWindow();
        openMainWindow();
        SurveyRecovery::setFolder(m_home.path() + QStringLiteral("/recovery"));
        ::umask(oldMask);
    }

    // ---- what the readers refuse -------------------------------------------------------------

    void tableImportRefusesUnitsItDoesNotConvert_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("refusal"); // empty: taken
        QTest::newRow("feet, long tons, inches")
            << "Draft (ft),Displacement (LT),TPC (LT/in),LCF,MCTC"
            << "Column 1 (\"Draft (ft)\", the Draft) is in feet, which is not converted; the table takes "
               "metres and tonnes only.";
        QTest::newRow("long tons")
            << "Draft (m),Displacement (long tons),TPC,LCF,MCTC"
            << "Column 2 (\"Displacement (long tons)\", the Displacement) is in long tons, which is not "
               "converted; the table takes metres and tonnes only.";
        QTest::newRow("inches")
            << "Draft [m],Displacement [t],TPC [t/in],LCF,MCTC"
            << "Column 3 (\"TPC [t/in]\", the TPC) is in inches, which is not converted; the table takes "
               "metres and tonnes only.";
        QTest::newRow("metres and tonnes") << "Draft (m),Displacement (t),TPC (t/cm),LCF (m),MCTC (t m/cm)"
                                           << "";
        QTest::newRow("a preposition") << "Draft in m,Displacement in t,TPC,LCF,MCTC"
                                       << "";
        QTest::newRow("feet in a column left out") << "Draft,Displacement,TPC,LCF,MCTC,KM (ft)"
                                                   << "";
    }
    void tableImportRefusesUnitsItDoesNotConvert()
    {
        QFETCH(QString, header);
        QFETCH(QString, refusal);
        const QString text
            = header + QStringLiteral("\n4.0,20703.9,59.9,3.1,845.0,30\n4.1,21303.7,60.07,3.16,847.8,30\n");
        QString error;
        const std::optional<HydrostaticTableFile::Layout> l = HydrostaticTableFile::split(text, &error);
        QVERIFY(l);
        const std::optional<HydrostaticTable> t = HydrostaticTableFile::build(*l, l->proposed, &error);
        if (refusal.isEmpty()) {
            QVERIFY2(t, qPrintable(error));
            QCOMPARE(t->rows.size(), 2);
        } else {
            QVERIFY(!t);
            QCOMPARE(error, refusal);
        }
    }

    void densityRemarkIsReadWholeOrRefused_data()
    {
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QString>("density"); // empty: refused
        QTest::newRow("plain") << "# Water density 1.025 t/m3"
                               << "1.025";
        QTest::newRow("unit joined") << "# Density: 1,020t/m3"
                                     << "1.02";
        QTest::newRow("full stop") << "# Sea water, density 1.025."
                                   << "1.025";
        QTest::newRow("exponent") << "# Water density 1e999999 t/m3"
                                  << "";
        QTest::newRow("trailing letters") << "# density 1.025abc"
                                          << "";
        QTest::newRow("a sign") << "# density -1.025"
                                << "-1.025";
    }
    void densityRemarkIsReadWholeOrRefused()
    {
        QFETCH(QString, remark);
        QFETCH(QString, density);
        const QString text
            = remark + QStringLiteral("\nDraft,Displacement,TPC,LCF,MCTC\n4.0,20703.9,59.9,3.1,845.0\n");
        QString error;
        const std::optional<HydrostaticTableFile::Layout> l = HydrostaticTableFile::split(text, &error);
        QVERIFY(l);
        const std::optional<HydrostaticTable> t = HydrostaticTableFile::build(*l, l->proposed, &error);
        if (density.isEmpty()) {
            QVERIFY(!t);
            QVERIFY2(error.startsWith(QStringLiteral("The density \"")), qPrintable(error));
            QVERIFY(error.endsWith(QStringLiteral("\" of the remark is not a number.")));
        } else {
            QVERIFY2(t, qPrintable(error));
            QCOMPARE(t->density.toString(), density);
        }
    }

    void surveyFileTextsTakeNoControlCharacters_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("taken");
        QTest::newRow("escape in the cargo") << "cargo"
                                             << "Coal\x1b[2J" << false;
        QTest::newRow("line break in the voyage") << "voyage"
                                                  << "V-1\nV-2" << false;
        // The ship and the port are names from a list: one the list does not hold is refused there.
        QTest::newRow("NUL in the port") << "port" << QString(QStringLiteral("Kandla") + QChar(0)) << true;
        QTest::newRow("NUL in the B/L") << "blQuantity" << QString(QStringLiteral("1") + QChar(0)) << false;
        QTest::newRow("tab in a reading") << "initial.drafts.fwdPort"
                                          << "8.4\t" << false;
        QTest::newRow("line breaks in the comments") << "initial.comments"
                                                     << "Calm.\nAll sounded." << true;
        QTest::newRow("escape in the comments") << "initial.comments"
                                                << "Calm.\x1b]0;x\x07" << false;
    }
    void surveyFileTextsTakeNoControlCharacters()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, taken);
        QJsonObject root{{"format", SurveyFile::formatName()},
            {"kind", field == QLatin1String("blQuantity") ? "discharging" : "loading"},
            {"ship", "Ocean Pride"}};
        QJsonObject initial{{"density", "1.025"}, {"drafts", QJsonObject{{"fwdPort", "8.4"}}}};
        if (field == QLatin1String("initial.comments"))
            initial.insert("comments", value);
        else if (field == QLatin1String("initial.drafts.fwdPort"))
            initial.insert("drafts", QJsonObject{{"fwdPort", value}});
        else
            root.insert(field, value);
        root.insert("initial", initial);
        QString error;
        SurveyFile::Failure failure = SurveyFile::Failure::None;
        const auto data = SurveyFile::parse(QJsonDocument(root).toJson(), "s.json", &error, &failure);
        QCOMPARE(data.has_value(), taken);
        if (taken)
            return;
        QCOMPARE(failure, SurveyFile::Failure::Refused);
        const QString said = QStringLiteral("s.json: field \"%1\": holds a control character").arg(field);
        QVERIFY2(error.startsWith(said), qPrintable(error));

        // The command line refuses it as a figure refused (exit 2), and writes nothing.
        const QString file = m_out.filePath(QStringLiteral("control.json"));
        put(file, QJsonDocument(root).toJson());
        const QString pdf = m_out.filePath(QStringLiteral("control.pdf"));
        const Run r = runProgram(kLt, {"--survey", file, "--pdf", pdf, "--data-dir", m_data}, environment());
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(QStringLiteral("holds a control character")));
        QVERIFY(!QFile::exists(pdf));
    }

    void emptyDataFolderIsRefusedEverywhere()
    {
        const QByteArray userBefore = digest(userDat());
        const QString csv = m_out.filePath(QStringLiteral("empty-dir.csv"));
        // The window's start refuses a bad command line with status 2, the others with 1.
        const QList<QPair<QStringList, int>> runs = {
            {{"--import-hydrostatics", kExampleShip, csv, "--data-dir", ""}, 1},
            {{"--import-hydrostatics", kExampleShip, csv, "--data-dir="}, 1},
            {{"--export-hydrostatics", kExampleShip, csv, "--data-dir", ""}, 1},
            {{"--export-hydrostatics", kExampleShip, csv, "--data-dir"}, 1},
            {{"--survey", loadingExample(), "--data-dir", ""}, 1},
            {{"--data-dir", ""}, 2},
            {{"--data-dir="}, 2},
        };
        for (const auto& [args, status] : runs) {
            const Run r = runProgram(kLt, args, environment(), 20000);
            QVERIFY2(r.status == status, qPrintable(args.join(' ') + "\n" + r.err));
            QVERIFY2(r.err.contains(QStringLiteral("--data-dir needs a value")), qPrintable(r.err));
        }
        QVERIFY(!QFile::exists(csv));
        const Run mk = runProgram(kMkdb, {"", "--examples"}, environment());
        QCOMPARE(mk.status, 2);
        QVERIFY2(mk.err.startsWith("quorvane-mkdb: the folder name is empty\n"), qPrintable(mk.err));
        QCOMPARE(digest(userDat()), userBefore);
    }

    void duplicateKeysAreFoundInOnePass()
    {
        // 200,000 deductible keys: the check is linear (bench/ times it); here, what it finds.
        QByteArray many = "{\"format\":\"quorvane-survey/1\",\"kind\":\"loading\",\"ship\":\"Ocean Pride\","
                          "\"initial\":{\"deductibles\":{";
        for (int i = 0; i < 200000; ++i)
            many += (i ? ",\"" : "\"") + QByteArray::number(i + 1) + "\":\"1\"";
        QString error;
        SurveyFile::Failure failure = SurveyFile::Failure::None;
        QVERIFY(SurveyFile::parse(many + "}}}", "many.json", &error, &failure));
        QVERIFY(!SurveyFile::parse(many + ",\"7\":\"2\"}}}", "many.json", &error, &failure));
        QCOMPARE(failure, SurveyFile::Failure::Refused);
        QCOMPARE(error,
            QStringLiteral("many.json: field \"initial.deductibles\": the keys \"7\" and \"7\" "
                           "both name item 7; an item is given once."));
        // The same key in two objects is no duplicate; twice in one object is, at any depth.
        QVERIFY(SurveyFile::parse("{\"format\":\"quorvane-survey/1\",\"kind\":\"loading\",\"ship\":\"S\","
                                  "\"initial\":{\"comments\":\"a\"},\"final\":{\"comments\":\"b\"}}",
            "two.json", &error, &failure));
        QVERIFY(!SurveyFile::parse("{\"format\":\"quorvane-survey/1\",\"kind\":\"loading\",\"ship\":\"S\","
                                   "\"initial\":{\"drafts\":{\"fwdPort\":\"1\",\"fwdPort\":\"2\"}}}",
            "two.json", &error, &failure));
        QVERIFY2(error.contains(QStringLiteral("the key \"fwdPort\" is given twice")), qPrintable(error));
    }
};

QTEST_MAIN(TestFileSafety)
#include "test_file_safety.moc"
