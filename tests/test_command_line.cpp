// quorvane-lt --survey with several files: reports into a folder from one run, the database opened
// once, a refused file told by name while the others still get their reports. The run in this
// process has no widget library linked at all; the same run through the program itself follows.
#include "cli/SurveyCommandLine.h"
#include "core/MessageService.h"
#include "files/SurveyFile.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QJsonArray>
#include <QtTest>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
const QStringList kExamples = {"loading-port-hedland", "discharging-qingdao", "initial-only-port-hedland"};

using TestSupport::Run;
using TestSupport::runProgram;

// SurveyCommandLine::main as the program calls it, in this process.
int runHere(const QStringList& args)
{
    QList<QByteArray> bytes{QByteArrayLiteral("quorvane-lt")};
    for (const QString& a : args)
        bytes << a.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    return SurveyCommandLine::main(int(argv.size()) - 1, argv.data());
}

QJsonObject readJson(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

bool widgetLibraryLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Widgets");
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void severalSurveysIntoAFolder();
    void theProgramGivesTheSameReports();
    void outputsOfOneSurveyOnly();
    void draftChecksGetReportsOfTheirOwn();

private:
    QStringList surveyArgs(const QString& out) const;

    QTemporaryDir m_dir;
    QString m_dataDir;
    QString m_refused;
};

void TestCommandLine::initTestCase()
{
    TestSupport::initTestEnvironment();
    m_dataDir = TestSupport::useFreshDatabaseCopy(m_dir);
    const Run mk = runProgram(kMkdb, {m_dataDir, QStringLiteral("--examples")});
    QVERIFY2(mk.status == 0, qPrintable(mk.err));
    // The loading example with a forward port reading no draft mark carries.
    SurveyFileData bad = SurveyTestShips::readExample(QStringLiteral("loading-port-hedland.json"));
    bad.initial.fwdPort = QStringLiteral("100");
    m_refused = m_dir.filePath(QStringLiteral("refused-reading.json"));
    QString error;
    QVERIFY(SurveyFile::write(m_refused, bad, &error));
}

QStringList TestCommandLine::surveyArgs(const QString& out) const
{
    QStringList args{QStringLiteral("--survey")};
    for (const QString& e : kExamples)
        args << TestSupport::sourceDir() + "/examples/" + e + ".json";
    args << m_refused;
    args << "--pdf-dir" << out << "--captions-dir" << out << "--data-dir" << m_dataDir;
    return args;
}

void TestCommandLine::severalSurveysIntoAFolder()
{
    const QString out = m_dir.filePath(QStringLiteral("here"));
    QVERIFY(QDir().mkpath(out));
    QVERIFY(!widgetLibraryLoaded());
    QCOMPARE(runHere(surveyArgs(out)), 2);
    QVERIFY(!widgetLibraryLoaded());

    for (const QString& e : kExamples) {
        QVERIFY2(QFileInfo(out + "/" + e + ".pdf").size() > 1000, qPrintable(e));
        QVERIFY(!readJson(out + "/" + e + ".json").isEmpty());
    }
    QVERIFY(!QFile::exists(out + "/refused-reading.pdf"));
    QVERIFY(!QFile::exists(out + "/refused-reading.json"));
    QCOMPARE(readJson(out + "/loading-port-hedland.json").value("lblTotCargoLoaded").toString(),
             QStringLiteral("73364.1757 MT"));
    QCOMPARE(readJson(out + "/discharging-qingdao.json").value("lblReportTitle").toString(),
             QStringLiteral("DISCHARGE PORT DRAFT SURVEY REPORT"));

    // The refused file is told by name, after the field's own message.
    QCOMPARE(TestSupport::messageTexts(),
             (QStringList{"Invalid value for Foward Port draft.\r\n\r\nPlease enter value greater than 0 and "
                          "less than 100.",
                          "No report was written.\r\n\r\n" + m_refused
                              + ": field \"initial.drafts.fwdPort\": the value \"100\" was refused."}));
}

// A loading with two draft checks read as the Final was: beside the survey's report, one per check,
// each with the Final's cargo to the digit; the survey's captions list the checks.
void TestCommandLine::draftChecksGetReportsOfTheirOwn()
{
    SurveyFileData data = SurveyTestShips::readExample(QStringLiteral("loading-port-hedland.json"));
    QVERIFY(data.final);
    data.draftChecks = {*data.final, *data.final};
    const QString path = m_dir.filePath(QStringLiteral("with-checks.json"));
    QString error;
    QVERIFY(SurveyFile::write(path, data, &error));
    const QString out = m_dir.filePath(QStringLiteral("checks"));
    QVERIFY(QDir().mkpath(out));
    QCOMPARE(runHere({"--survey", path, "--pdf-dir", out, "--captions-dir", out, "--data-dir", m_dataDir}), 0);
    const QJsonObject survey = readJson(out + "/with-checks.json");
    QCOMPARE(survey.value("lblTotCargoLoaded").toString(), QStringLiteral("73364.1757 MT"));
    const QJsonArray checks = survey.value("draftChecks").toArray();
    QCOMPARE(checks.size(), 2);
    QCOMPARE(checks.at(1).toObject().value("cargo").toString(), QStringLiteral("73364.1757"));
    for (int n = 1; n <= 2; ++n) {
        const QString base = out + QStringLiteral("/with-checks-check-%1").arg(n);
        QVERIFY2(QFileInfo(base + ".pdf").size() > 1000, qPrintable(base));
        const QJsonObject page = readJson(base + ".json");
        QCOMPARE(page.value("lblTotCargoLoaded").toString(), QStringLiteral("73364.1757 MT"));
        QVERIFY(page.value("lblReportTitle")
                    .toString()
                    .startsWith(QStringLiteral("LOADPORT DRAFT SURVEY REPORT - DRAFT CHECK %1, ").arg(n)));
    }
    QVERIFY(!QFile::exists(out + "/with-checks-check-3.pdf"));
}

void TestCommandLine::theProgramGivesTheSameReports()
{
    const QString out = m_dir.filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(out));
    const Run run = runProgram(kLt, surveyArgs(out));
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(m_refused + ": field \"initial.drafts.fwdPort\": the value \"100\" was refused."),
             qPrintable(run.err));
    for (const QString& e : kExamples)
        QCOMPARE(readJson(out + "/" + e + ".json"), readJson(m_dir.filePath("here/" + e + ".json")));

    // One survey alone gives the same page as it did in the batch.
    const QString single = m_dir.filePath(QStringLiteral("single.json"));
    const Run one = runProgram(kLt, {"--survey", TestSupport::sourceDir() + "/examples/loading-port-hedland.json",
                                     "--captions", single, "--data-dir", m_dataDir});
    QCOMPARE(one.status, 0);
    QCOMPARE(one.err, QString());
    QCOMPARE(readJson(single), readJson(out + "/loading-port-hedland.json"));
}

void TestCommandLine::outputsOfOneSurveyOnly()
{
    const QString a = TestSupport::sourceDir() + "/examples/loading-port-hedland.json";
    const QString b = TestSupport::sourceDir() + "/examples/discharging-qingdao.json";
    Run run = runProgram(kLt, {"--survey", a, b, "--pdf", m_dir.filePath("x.pdf"), "--data-dir", m_dataDir});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains("with several use --pdf-dir and --captions-dir"));
    QVERIFY(!QFile::exists(m_dir.filePath("x.pdf")));
    // Two files of one name would give one report name.
    run = runProgram(kLt, {"--survey", a, m_dir.filePath("sub/loading-port-hedland.json"), "--pdf-dir",
                           m_dir.path(), "--data-dir", m_dataDir});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains("two survey files are called \"loading-port-hedland\""));
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
