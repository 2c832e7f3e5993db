// The program run as a user runs it, with hostile or damaged inputs: the report outputs never
// land on the database, on something that is no plain file, or twice in one file; a survey file
// naming one deductible item twice is refused as a bad figure is; a damaged database or journal
// ends the start as a wrong password does, and without a display that could show the box the
// failure is printed and the program ends at once; messages keep the characters after a NUL.
#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "files/OutputPaths.h"
#include "tests/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);

using TestSupport::Run;
using TestSupport::runProgram;

QByteArray digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Bytes written over part of a file, as a failing disk or a cut copy leaves it.
void damage(const QString& path, qint64 offset, qint64 length)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(offset));
    f.write(QByteArray(int(length), '\x5a'));
}

}  // namespace

class TestHostileInputs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_data;
    QString m_survey;

    QString dat() const { return m_data + QStringLiteral("/DS.dat"); }
    QString lib() const { return m_data + QStringLiteral("/DS.lib"); }

private slots:
    void initTestCase()
    {
        TestSupport::initTestEnvironment();
        m_data = TestSupport::useFreshDatabaseCopy(m_dir);
        QCOMPARE(runProgram(kMkdb, {m_data, QStringLiteral("--examples")}).status, 0);
        m_survey = TestSupport::sourceDir() + QStringLiteral("/examples/loading-port-hedland.json");
    }

    // ---- where the report may go ------------------------------------------------------------

    void outputsNeverLandOnTheDatabase_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("target");  // relative to the data folder
        QTest::addColumn<QString>("message");
        const QString database = "is a file of the survey database";
        QTest::newRow("pdf on DS.dat") << "--pdf" << "DS.dat" << database;
        QTest::newRow("captions on DS.lib") << "--captions" << "DS.lib" << database;
        QTest::newRow("pdf on the journal to be") << "--pdf" << "DS.dat-journal" << database;
        QTest::newRow("through a detour") << "--captions" << "sub/../DS.dat" << database;
        QTest::newRow("through a linked folder") << "--pdf" << "link/DS.dat" << database;
        QTest::newRow("a hard link") << "--pdf" << "hard.pdf" << database;
        QTest::newRow("a folder") << "--pdf" << "sub" << "is a folder";
        QTest::newRow("a pipe") << "--captions" << "pipe" << "is not a plain file";
    }

    void outputsNeverLandOnTheDatabase()
    {
        QFETCH(QString, option);
        QFETCH(QString, target);
        QFETCH(QString, message);
        QDir(m_data).mkpath(QStringLiteral("sub"));
        QFile::link(m_data, m_data + QStringLiteral("/link"));
        if (!QFile::exists(m_data + QStringLiteral("/hard.pdf")))
            QCOMPARE(::link(QFile::encodeName(dat()).constData(),
                            QFile::encodeName(m_data + QStringLiteral("/hard.pdf")).constData()),
                     0);
        if (!QFile::exists(m_data + QStringLiteral("/pipe")))
            QCOMPARE(::mkfifo(QFile::encodeName(m_data + QStringLiteral("/pipe")).constData(), 0600), 0);
        const QByteArray datBefore = digest(dat());
        const QByteArray libBefore = digest(lib());

        const QString path = m_data + QLatin1Char('/') + target;
        // The other output is asked for too: a refusal writes neither.
        const QString other = m_dir.filePath(QStringLiteral("other.out"));
        QFile::remove(other);
        const Run r = runProgram(kLt, {"--survey", m_survey, option, path,
                                       option == QLatin1String("--pdf") ? "--captions" : "--pdf", other,
                                       "--data-dir", m_data},
                                 QProcessEnvironment::systemEnvironment(), 20000);
        QVERIFY2(r.finished, "the program did not end");
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith(QStringLiteral("quorvane-lt: ") + QDir::toNativeSeparators(path) + " "
                                  + message),
                 qPrintable(r.err));
        QVERIFY2(r.err.endsWith(QStringLiteral("Nothing was written.\n")), qPrintable(r.err));
        QCOMPARE(digest(dat()), datBefore);
        QCOMPARE(digest(lib()), libBefore);
        QVERIFY(!QFile::exists(other));
        QVERIFY(!QFile::exists(dat() + QStringLiteral("-journal")));
        QVERIFY(QFileInfo(m_data + QStringLiteral("/sub")).isDir());
        QVERIFY(!QFileInfo(m_data + QStringLiteral("/pipe")).isFile());
    }

    void oneFileIsNotTakenForBothOutputs()
    {
        const QString out = m_dir.filePath(QStringLiteral("both.out"));
        QFile::remove(out);
        const Run r = runProgram(kLt, {"--survey", m_survey, "--pdf", out, "--captions",
                                       m_dir.path() + QStringLiteral("/./both.out"), "--data-dir", m_data});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("is named for two outputs")), qPrintable(r.err));
        QVERIFY(!QFile::exists(out));

        // Two files of their own are written, whole.
        const QString pdf = m_dir.filePath(QStringLiteral("fine.pdf"));
        const QString json = m_dir.filePath(QStringLiteral("fine.json"));
        const Run ok = runProgram(kLt, {"--survey", m_survey, "--pdf", pdf, "--captions", json, "--data-dir", m_data});
        QVERIFY2(ok.status == 0, qPrintable(ok.err));
        QVERIFY(digest(pdf).size() > 0 && QFileInfo(pdf).size() > 1000);
        QFile f(json);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("\"lblTotCargoLoaded\": \"73364.1757 MT\""));
    }

    void refusalsAreDecidedPerOutput()
    {
        AppPaths::setAppDir(m_data);
        QVERIFY(OutputPaths::refusal(m_dir.filePath(QStringLiteral("new.pdf"))).isEmpty());
        QVERIFY(OutputPaths::refusal(QStringLiteral("/dev/null")).contains(QStringLiteral("not a plain file")));
        QVERIFY(OutputPaths::refusal(dat() + QStringLiteral("-wal")).contains(QStringLiteral("survey database")));
        QVERIFY(OutputPaths::refusal(QStringLiteral("a.pdf"), {QStringLiteral("./a.pdf")})
                    .contains(QStringLiteral("two outputs")));
        QCOMPARE(OutputPaths::firstRefusal({QString(), QStringLiteral("x.pdf"), QString()}), QString());
    }

    // ---- survey files that say one thing twice ---------------------------------------------

    void oneItemUnderTwoKeysIsRefused()
    {
        QFile in(m_survey);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray text = in.readAll();
        const qsizetype at = text.indexOf("\"deductibles\"");
        QVERIFY(at > 0);
        const qsizetype open = text.indexOf('{', at);
        text.insert(open + 1, "\"02\": \"999\", ");
        const QString path = m_dir.filePath(QStringLiteral("twice.json"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(text);
        out.close();
        const QString pdf = m_dir.filePath(QStringLiteral("twice.pdf"));
        const Run r = runProgram(kLt, {"--survey", path, "--pdf", pdf, "--data-dir", m_data});
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(path + QStringLiteral(": field \"initial.deductibles\": the keys \"02\" and "
                                                      "\"2\" both name item 2")),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(pdf));
    }

    void messagesKeepWhatFollowsANul()
    {
        const QString path = m_dir.filePath(QStringLiteral("nul.json"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("{\"format\": \"quorvane-survey/1\", \"kind\": \"loading\", "
                  "\"ship\": \"Coral\\u0000Meridian\\u001b[2J\", \"initial\": {}}");
        out.close();
        const Run r = runProgram(kLt, {"--survey", path, "--data-dir", m_data});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("there is no ship \"Coral\\0Meridian\\x1B[2J\" in the database.")),
                 qPrintable(r.err));
        QCOMPARE(MessageService::printableBytes(QStringLiteral("a\tb\nc") + QChar(0) + QChar(0x7f)),
                 QByteArray("a\tb\nc\\0\\x7F"));
    }

    // ---- the start ---------------------------------------------------------------------------

    // Damage the first read does not reach, and a journal that would write garbage into DS.dat
    // when rolled back: each ends the start like a wrong password, and the user's files stay as
    // they were. Without a display that can show the box, the failure is printed and the program
    // ends at once.
    void damagedFilesEndTheStart_data()
    {
        QTest::addColumn<QString>("breakage");
        QTest::newRow("last page of DS.dat") << "dat-last";
        QTest::newRow("DS.lib after its first page") << "lib-second";
        QTest::newRow("a garbage journal") << "journal";
        QTest::newRow("no database at all") << "missing";
    }

    void damagedFilesEndTheStart()
    {
        QFETCH(QString, breakage);
        QTemporaryDir dir;
        const QString data = TestSupport::useFreshDatabaseCopy(dir);
        QCOMPARE(runProgram(kMkdb, {data, QStringLiteral("--examples")}).status, 0);
        const QString d = data + QStringLiteral("/DS.dat");
        const QString l = data + QStringLiteral("/DS.lib");
        if (breakage == QLatin1String("dat-last")) {
            const qint64 size = QFileInfo(d).size();
            damage(d, size - 1024, 512);
        } else if (breakage == QLatin1String("lib-second")) {
            damage(l, 1024 + 100, 512);
        } else if (breakage == QLatin1String("journal")) {
            QFile j(d + QStringLiteral("-journal"));
            QVERIFY(j.open(QIODevice::WriteOnly));
            // A journal header as the engine writes one, then pages of noise.
            QByteArray header("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
            header += QByteArray::fromHex("ffffffff" "12345678" "00000004" "00000200" "00000400");
            header.resize(512, '\0');
            j.write(header);
            for (int i = 0; i < 16; ++i) {
                QByteArray record = QByteArray::fromHex(QByteArray::number(i + 1, 16).rightJustified(8, '0'));
                record += QByteArray(1024, char(0x30 + i));
                record += QByteArray::fromHex("00000000");
                j.write(record);
            }
        } else {
            QVERIFY(QFile::remove(d));
        }
        const QByteArray datBefore = digest(d);
        AppPaths::setAppDir(data);
        MessageService::clearRecords();
        openDatabase();
        const bool failed = startupFailed();
        closeDatabase();
        AppPaths::setAppDir(m_data);
        QVERIFY(failed);
        QCOMPARE(MessageService::records().size(), 1);
        QCOMPARE(MessageService::records().first().icon, Msg::Icon::Critical);
        if (breakage == QLatin1String("journal"))
            QCOMPARE(digest(d), datBefore);  // the journal was not played into the user's file

        // The program's own start reads the pages on a thread while it goes on: the verdict is
        // the same, and nothing is written to DS.dat before it, however the program goes on.
        AppPaths::setAppDir(data);
        MessageService::clearRecords();
        openDatabase(WholeCheck::InBackground);
        bool refused = startupFailed();
        if (!refused) {
            try {
                sharedConnection().execute(QStringLiteral("DELETE FROM Port WHERE PortID < 0"));
            } catch (const VbError& e) {
                refused = e.description().contains(QStringLiteral("damaged"));
            }
            QVERIFY(!sharedConnection().isOpen());
            QVERIFY(!confirmDatabaseWhole());  // told once, by the box, when the start asks
        }
        closeDatabase();
        AppPaths::setAppDir(m_data);
        QVERIFY(refused);
        QCOMPARE(MessageService::records().size(), 1);
        QCOMPARE(MessageService::records().first().icon, Msg::Icon::Critical);
        if (breakage != QLatin1String("missing"))
            QCOMPARE(digest(d), datBefore);

        // A survey report from the command line is not made from such a file either.
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        const Run cli = runProgram(kLt, {"--survey", m_survey, "--pdf", pdf, "--data-dir", data});
        QCOMPARE(cli.status, 1);
        // Damage past the pages a survey reads is found while the report is made, before it is written.
        const QString told = breakage == QLatin1String("dat-last")
            ? QStringLiteral("is damaged: no report is made from it.")
            : QStringLiteral("cannot be opened");
        QVERIFY2(cli.err.contains(told), qPrintable(cli.err));
        QVERIFY(!QFile::exists(pdf));

        // The program itself, on the offscreen platform: the box is printed, nobody is waited for.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QUORVANE_APP_DIR"), data);
        const Run r = runProgram(kLt, {}, env, 20000);
        QVERIFY2(r.finished, "the start-up failure box waited for an answer");
        QVERIFY(r.status != 0);
        // The box names the file and what is wrong with it.
        const QString file = breakage == QLatin1String("lib-second") ? QStringLiteral("/DS.lib")
            : breakage == QLatin1String("journal")                   ? QStringLiteral("/DS.dat-journal")
                                                                     : QStringLiteral("/DS.dat");
        const QString what = breakage == QLatin1String("missing") ? QStringLiteral(" is missing.")
                                                                  : QStringLiteral(" is damaged: ");
        QVERIFY2(r.err.contains(QStringLiteral("The survey database could not be opened.\n\nThe file ")
                                + data + file + what),
                 qPrintable(r.err));
    }
};

QTEST_MAIN(TestHostileInputs)
#include "test_hostile_inputs.moc"
