// The user's own passphrase and what a start says when the database does not open. Protected,
// DS.dat and DS.lib open with the passphrase alone: the program asks for it at start (the dialog
// answered here), the command line reads it from --passphrase-file or QUORVANE_PASSPHRASE, a wrong
// one is refused as a wrong password is, and removing the protection brings the program's own
// password back. A start that fails names the file and what is wrong with it, in the box and on
// standard error: missing, no permission, in use by another program, damaged, wrong passphrase.

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/CipherFile.h"
#include "db/CipherKey.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Protection.h"
#include "db/Schema.h"
#include "db/SqlCatalogue.h"
#include "db/NameList.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "ui/PassphraseDialog.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <sqlite3.h>
#include <unistd.h>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
const QString kPassphrase = QStringLiteral("Lantern;Swell=42 at Dampier");

using TestSupport::Run;
using TestSupport::runProgram;

QStringList shipNames(Connection& c)
{
    const NameList list(c, SqlCatalogue::shipList());
    return QStringList(list.names().begin(), list.names().end());
}

QProcessEnvironment environment(const QString& passphrase = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QLatin1String(Protection::EnvironmentVariable));
    if (!passphrase.isNull())
        env.insert(QLatin1String(Protection::EnvironmentVariable), passphrase);
    return env;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

// What the start-up box says for a file and what is wrong with it.
QString expectedBox(const QString& detail)
{
    return QStringLiteral("The survey database could not be opened.\r\n\r\n") + detail;
}

}  // namespace

class TestProtection : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_data;
    QList<PassphraseDialog::Purpose> m_asked;

    // The dialogs answered with `answers`, one per question in order; none left: Cancel.
    void answerDialogs(QList<std::optional<PassphraseDialog::Entry>> answers)
    {
        m_asked.clear();
        PassphraseDialog::setAsker(
            [this, answers](PassphraseDialog::Purpose purpose, const QString&,
                            QWidget*) mutable -> std::optional<PassphraseDialog::Entry> {
                m_asked.append(purpose);
                return answers.isEmpty() ? std::nullopt : answers.takeFirst();
            });
    }

    // Start-up with Continue pressed on the About box as soon as it is up.
    Startup::Outcome startAndContinue()
    {
        auto* presser = new QTimer(this);
        presser->setInterval(5);
        connect(presser, &QTimer::timeout, this, [presser] {
            auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
            if (!about || !about->isVisible())
                return;
            presser->stop();
            presser->deleteLater();
            QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdContinue")), Qt::LeftButton);
        });
        presser->start();
        return Startup::start({QStringLiteral("--data-dir"), m_data});
    }

    void closeMainWindow()
    {
        if (MainWindow* mdi = MainWindow::instance())
            mdi->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Protects the copy in use, from outside the program as quorvane-mkdb does.
    void protectCopy(const QString& passphrase)
    {
        Connection c;
        openOnDir(c, m_data);
        Protection::rekey(c, passphrase);
        c.close();
        setDatabasePassphrase(QString());
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
        setDatabasePassphrase(QString());
        m_dir = std::make_unique<QTemporaryDir>();
        m_data = TestSupport::useFreshDatabaseCopy(*m_dir);
    }

    void cleanup()
    {
        closeMainWindow();
        closeDatabase();
        PassphraseDialog::setAsker({});
        setPassphraseAsker({});
        setDatabasePassphrase(QString());
        m_dir.reset();
    }

    // ---- the files ---------------------------------------------------------------------------

    void protectOpenRefuseAndUnprotect()
    {
        const QString dat = m_data + QStringLiteral("/DS.dat");
        const QString lib = m_data + QStringLiteral("/DS.lib");
        const QByteArray datSalt = CipherKey::fileSalt(dat);
        const QByteArray libSalt = CipherKey::fileSalt(lib);
        QVERIFY(datSalt != libSalt);  // each file its own salt

        openDatabase();
        QVERIFY(!startupFailed());
        sharedConnection().execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Dampier')"));
        sharedConnection().execute(
            QStringLiteral("INSERT INTO Ship (ShipName, PortOfRegistry) VALUES ('Kept "
                           "Safe', 1)"));
        const QStringList ships = shipNames(sharedConnection());
        QVERIFY(!sharedConnection().openedWithPassphrase());
        // Too short a passphrase protects nothing.
        QVERIFY(
            Protection::passphraseProblem(QStringLiteral("short")).contains(QStringLiteral("at least 8")));
        try {
            Protection::rekey(sharedConnection(), QStringLiteral("short"));
            QFAIL("a short passphrase was taken");
        } catch (const VbError&) {
        }
        Protection::rekey(sharedConnection(), kPassphrase);
        QVERIFY(sharedConnection().openedWithPassphrase());
        QCOMPARE(shipNames(sharedConnection()), ships);  // the open connection reads on
        closeDatabase();

        // The files keep their salts, and the key is the one the engine derives from the
        // passphrase with each file's own salt.
        QCOMPARE(CipherKey::fileSalt(dat), datSalt);
        QCOMPARE(CipherKey::fileSalt(lib), libSalt);
        for (const QString& path : {dat, lib}) {
            const QByteArray raw = CipherKey::rawKey(kPassphrase.toUtf8(), CipherKey::fileSalt(path));
            sqlite3* engine = nullptr;
            QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &engine, SQLITE_OPEN_READONLY, nullptr),
                     SQLITE_OK);
            QCOMPARE(sqlite3_key(engine, raw.constData(), raw.size()), SQLITE_OK);
            QVERIFY2(CipherFile::checkReadable(engine), qPrintable(path));
            CipherFile::close(engine);
        }

        // The program's own passwords open nothing now; nor does a wrong passphrase.
        Connection c;
        for (const QString& wrong : {QString(), QStringLiteral("Lantern;Swell=43 at Dampier")}) {
            setDatabasePassphrase(wrong);
            try {
                openOnDir(c, m_data);
                QFAIL("opened without the passphrase");
            } catch (const VbError& e) {
                QCOMPARE(c.openFailure().kind, Connection::OpenFailure::WrongPassword);
                QCOMPARE(c.openFailure().file, lib);
                QVERIFY2(e.description().startsWith(QStringLiteral("Not a valid account name or password")),
                         qPrintable(e.description()));
            }
            QVERIFY(!c.isOpen());
        }
        // The passphrase does, with ';' and '=' in it (given apart from the connection string).
        setDatabasePassphrase(kPassphrase);
        openDatabase();
        QVERIFY(!startupFailed());
        QVERIFY(sharedConnection().openedWithPassphrase());
        QCOMPARE(shipNames(sharedConnection()), ships);

        // Unprotected, the program's own password opens the files again, and the passphrase no
        // longer keys them (kept in the environment for another folder, it does no harm).
        Protection::rekey(sharedConnection(), QString());
        QVERIFY(!sharedConnection().openedWithPassphrase());
        closeDatabase();
        QCOMPARE(CipherKey::fileSalt(dat), datSalt);
        openDatabase();
        QVERIFY(!startupFailed());
        QVERIFY(!sharedConnection().openedWithPassphrase());
        closeDatabase();
        setDatabasePassphrase(QString());
        openDatabase();
        QVERIFY(!startupFailed());
        QCOMPARE(shipNames(sharedConnection()), ships);
    }

    void passphraseFilesAreReadWithCare()
    {
        QTemporaryDir dir;
        QString error;
        QCOMPARE(
            Protection::readPassphraseFile(writeFile(dir, "p1", "Lantern Swell\r\nsecond line\n"), &error),
            std::optional<QString>(QStringLiteral("Lantern Swell")));
        QVERIFY(!Protection::readPassphraseFile(writeFile(dir, "p2", "\nLantern"), &error));
        QVERIFY2(error.contains(QStringLiteral("holds no passphrase")), qPrintable(error));
        QVERIFY(!Protection::readPassphraseFile(writeFile(dir, "p3", QByteArray(5000, 'x')), &error));
        QVERIFY2(error.contains(QStringLiteral("larger than 4096 bytes")), qPrintable(error));
        QVERIFY(!Protection::readPassphraseFile(dir.path(), &error));
        QVERIFY2(error.contains(QStringLiteral("not a regular file")), qPrintable(error));
        QVERIFY(!Protection::readPassphraseFile(dir.filePath("none"), &error));
        QVERIFY2(error.contains(QStringLiteral("does not exist")), qPrintable(error));
        // The file before the environment; the environment when there is no file.
        qputenv(Protection::EnvironmentVariable, "From The Environment");
        error.clear();
        QCOMPARE(Protection::commandLinePassphrase(writeFile(dir, "p4", "From The File\n"), &error),
                 std::optional<QString>(QStringLiteral("From The File")));
        QCOMPARE(Protection::commandLinePassphrase(QString(), &error),
                 std::optional<QString>(QStringLiteral("From The Environment")));
        qunsetenv(Protection::EnvironmentVariable);
        QCOMPARE(Protection::commandLinePassphrase(QString(), &error), std::optional<QString>());
        QVERIFY(error.isEmpty());
    }

    // ---- the command line --------------------------------------------------------------------

    void commandLineProtectsOpensAndUnprotects()
    {
        QTemporaryDir files;
        const QString good = writeFile(files, "good", kPassphrase.toUtf8() + "\n");
        const QString wrong = writeFile(files, "wrong", "Lantern;Swell=43 at Dampier\n");
        Run mk = runProgram(kMkdb, {m_data, "--examples"}, environment());
        QVERIFY2(mk.status == 0, qPrintable(mk.err));
        const QString out = files.filePath("table.csv");
        const QStringList exportTable
            = {"--data-dir", m_data, "--export-hydrostatics", "Coral Meridian", out};

        // --protect needs the passphrase, and a long enough one.
        mk = runProgram(kMkdb, {m_data, "--protect"}, environment());
        QCOMPARE(mk.status, 2);
        QVERIFY2(mk.err.contains(QStringLiteral("--protect needs the passphrase")), qPrintable(mk.err));
        mk = runProgram(kMkdb, {m_data, "--protect"}, environment(QStringLiteral("short")));
        QCOMPARE(mk.status, 1);
        QVERIFY2(mk.err.contains(QStringLiteral("at least 8 characters")), qPrintable(mk.err));
        Run lt = runProgram(kLt, exportTable, environment());
        QVERIFY2(lt.status == 0, qPrintable(lt.err));  // still unprotected

        mk = runProgram(kMkdb, {m_data, "--protect", "--passphrase-file", good}, environment());
        QVERIFY2(mk.status == 0, qPrintable(mk.err));
        QVERIFY2(mk.out.contains(QStringLiteral("is protected by the passphrase")), qPrintable(mk.out));

        // Without the passphrase, or with a wrong one, refused as a wrong password is.
        const QString refusal
            = QStringLiteral("The file %1 does not open with the password or the passphrase given")
                  .arg(m_data + QStringLiteral("/DS.lib"));
        for (const QProcessEnvironment& env : {environment(),
                                               environment(QStringLiteral("Lantern;Swell=43 at "
                                                                          "Dampier"))}) {
            lt = runProgram(kLt, exportTable, env);
            QCOMPARE(lt.status, 1);
            QVERIFY2(lt.err.contains(refusal), qPrintable(lt.err));
        }
        lt = runProgram(kLt, exportTable + QStringList {"--passphrase-file", wrong}, environment());
        QCOMPARE(lt.status, 1);
        QVERIFY2(lt.err.contains(refusal), qPrintable(lt.err));
        // With it, from the file or the environment, the table comes out; the survey mode too.
        lt = runProgram(kLt, exportTable + QStringList {"--passphrase-file", good}, environment());
        QVERIFY2(lt.status == 0, qPrintable(lt.err));
        lt = runProgram(kLt, exportTable, environment(kPassphrase));
        QVERIFY2(lt.status == 0, qPrintable(lt.err));
        const QString example
            = TestSupport::sourceDir() + QStringLiteral("/examples/loading-port-hedland.json");
        lt = runProgram(kLt,
                        {"--data-dir", m_data, "--survey", example, "--pdf", files.filePath("r.pdf"),
                         "--passphrase-file", good},
                        environment());
        QVERIFY2(lt.status == 0, qPrintable(lt.err));
        lt = runProgram(kLt, {"--data-dir", m_data, "--survey", example, "--pdf", files.filePath("r.pdf")},
                        environment());
        QCOMPARE(lt.status, 1);
        QVERIFY2(lt.err.contains(refusal), qPrintable(lt.err));
        // A passphrase is never an argument.
        lt = runProgram(kLt, exportTable + QStringList {"--passphrase", kPassphrase}, environment());
        QVERIFY(lt.status != 0);
        QVERIFY2(lt.err.contains(QStringLiteral("unknown argument \"--passphrase\"")), qPrintable(lt.err));

        // --unprotect with a wrong passphrase changes nothing; with the right one, the program's
        // own password opens the files again.
        mk = runProgram(kMkdb, {m_data, "--unprotect", "--passphrase-file", wrong}, environment());
        QCOMPARE(mk.status, 1);
        QVERIFY2(mk.err.contains(refusal), qPrintable(mk.err));
        mk = runProgram(kMkdb, {m_data, "--unprotect"}, environment(kPassphrase));
        QVERIFY2(mk.status == 0, qPrintable(mk.err));
        QVERIFY2(mk.out.contains(QStringLiteral("opens with the program's own password again")),
                 qPrintable(mk.out));
        lt = runProgram(kLt, exportTable, environment());
        QVERIFY2(lt.status == 0, qPrintable(lt.err));
    }

    // ---- the windows -------------------------------------------------------------------------

    void startAsksForThePassphrase()
    {
        protectCopy(kPassphrase);
        // The right passphrase: the main window comes up on the protected database.
        answerDialogs({PassphraseDialog::Entry {kPassphrase, {}}});
        Startup::Outcome outcome = startAndContinue();
        QCOMPARE(m_asked, QList<PassphraseDialog::Purpose> {PassphraseDialog::Purpose::Open});
        QVERIFY2(outcome.windowShown, qPrintable(TestSupport::messageTexts().join('|')));
        QVERIFY(MessageService::records().isEmpty());
        QVERIFY(sharedConnection().openedWithPassphrase());
        closeMainWindow();
        closeDatabase();
        setDatabasePassphrase(QString());

        // A wrong one is refused as a wrong password is: the box, no window.
        answerDialogs({PassphraseDialog::Entry {QStringLiteral("Lantern;Swell=43 at Dampier"), {}}});
        outcome = startAndContinue();
        QVERIFY(!outcome.windowShown);
        QCOMPARE(outcome.status, 1);
        QCOMPARE(
            TestSupport::messageTexts(),
            QStringList {expectedBox(QStringLiteral("The file %1 does not open with the password or the "
                                                    "passphrase given: the passphrase is wrong, or the file "
                                                    "is not a survey database.")
                                         .arg(m_data + QStringLiteral("/DS.lib")))});
        QCOMPARE(MessageService::records().first().icon, Msg::Icon::Critical);
        closeDatabase();
        setDatabasePassphrase(QString());

        // Cancelled: the start ends with the same box.
        MessageService::clearRecords();
        answerDialogs({});
        outcome = startAndContinue();
        QVERIFY(!outcome.windowShown);
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(MessageService::records().size(), 1);
    }

    void toolsMenuProtectsAndRemovesTheProtection()
    {
        answerDialogs({});
        Startup::Outcome outcome = startAndContinue();
        QVERIFY(outcome.windowShown);
        QVERIFY(m_asked.isEmpty());  // not protected: nothing asked
        MainWindow* mdi = MainWindow::instance();
        auto* protect = mdi->findChild<QAction*>(QStringLiteral("mnuTools(20)"));
        auto* unprotect = mdi->findChild<QAction*>(QStringLiteral("mnuTools(25)"));
        QVERIFY(protect && unprotect);
        QCOMPARE(protect->text(), QStringLiteral("&Protect the Database..."));
        QCOMPARE(unprotect->text(), QStringLiteral("&Remove the Protection..."));

        // Two passphrases that differ, or too short a one: nothing changes.
        answerDialogs({PassphraseDialog::Entry {kPassphrase, kPassphrase + QLatin1Char('x')}});
        protect->trigger();
        QVERIFY(TestSupport::messageTexts().last().endsWith(
            QStringLiteral("The two passphrases typed differ.")));
        answerDialogs({PassphraseDialog::Entry {QStringLiteral("abc"), QStringLiteral("abc")}});
        protect->trigger();
        QVERIFY(TestSupport::messageTexts().last().endsWith(QStringLiteral("at least 8 characters.")));
        // Answered No to the question: nothing changes either.
        answerDialogs({PassphraseDialog::Entry {kPassphrase, kPassphrase}});
        MessageService::setNextAnswer(Msg::Answer::No);
        protect->trigger();
        QVERIFY(!sharedConnection().openedWithPassphrase());

        MessageService::clearRecords();
        answerDialogs({PassphraseDialog::Entry {kPassphrase, kPassphrase}});
        MessageService::setNextAnswer(Msg::Answer::Yes);
        protect->trigger();
        QCOMPARE(m_asked, QList<PassphraseDialog::Purpose> {PassphraseDialog::Purpose::Choose});
        QVERIFY(sharedConnection().openedWithPassphrase());
        QVERIFY2(TestSupport::messageTexts().last().startsWith(QStringLiteral("The database in")),
                 qPrintable(TestSupport::messageTexts().join('|')));
        // The program's own password opens nothing now.
        {
            Connection other;
            setDatabasePassphrase(QString());
            try {
                openOnDir(other, m_data);
                QFAIL("the built-in password still opens the database");
            } catch (const VbError&) {
                QCOMPARE(other.openFailure().kind, Connection::OpenFailure::WrongPassword);
            }
            setDatabasePassphrase(kPassphrase);
            openOnDir(other, m_data);  // the passphrase does, from a second connection too
        }
        // The windows go on working on the re-keyed files.
        sharedConnection().execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Walvis Bay')"));

        // Removing it asks for the passphrase in use; a wrong one removes nothing.
        answerDialogs({PassphraseDialog::Entry {QStringLiteral("not the one at all"), {}}});
        unprotect->trigger();
        QVERIFY(TestSupport::messageTexts().last().endsWith(QStringLiteral("The passphrase typed is not the "
                                                                           "database's.")));
        QVERIFY(sharedConnection().openedWithPassphrase());
        answerDialogs({PassphraseDialog::Entry {kPassphrase, {}}});
        MessageService::setNextAnswer(Msg::Answer::Yes);
        unprotect->trigger();
        QCOMPARE(m_asked, QList<PassphraseDialog::Purpose> {PassphraseDialog::Purpose::Confirm});
        QVERIFY(!sharedConnection().openedWithPassphrase());
        QVERIFY(TestSupport::messageTexts().last().startsWith(QStringLiteral("The protection was removed")));
        closeMainWindow();
        closeDatabase();

        // The next start asks nothing and opens with the program's own password.
        setDatabasePassphrase(QString());
        MessageService::clearRecords();
        answerDialogs({});
        outcome = startAndContinue();
        QVERIFY(outcome.windowShown);
        QVERIFY(m_asked.isEmpty());
        QCOMPARE(
            NameList(sharedConnection(), SqlCatalogue::portsNamed(QStringLiteral("Walvis Bay"))).count(), 1);
    }

    // ---- each start-up failure ---------------------------------------------------------------

    void eachStartupFailureSaysWhichFileAndWhy_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("detail");
        QTest::newRow("DS.dat missing")
            << "no-dat"
            << "DS.dat"
            << "The file %1 is missing. Restore DS.dat and DS.lib together from your backup, or write a new "
               "database with quorvane-mkdb.";
        QTest::newRow("DS.lib missing")
            << "no-lib"
            << "DS.lib"
            << "The file %1 is missing. Restore DS.dat and DS.lib together from your backup, or write a new "
               "database with quorvane-mkdb.";
        QTest::newRow("DS.dat damaged") << "damaged"
                                        << "DS.dat"
                                        << "The file %1 is damaged: some of its pages cannot be read. It "
                                           "was left as it is; restore DS.dat "
                                           "and DS.lib together from your backup.";
        QTest::newRow("DS.dat locked by another program")
            << "locked"
            << "DS.dat"
            << "The file %1 is in use by another program, which holds it while it writes to it; it was "
               "waited "
               "for, in vain. Close the other program, or wait until it has finished, and start Quorvane Lt "
               "again.";
        QTest::newRow("DS.dat keyed with another password")
            << "wrong-password"
            << "DS.dat"
            << "The file %1 does not open with the password or the passphrase given: the passphrase is "
               "wrong, or "
               "the file is not a survey database.";
        QTest::newRow("DS.dat not a database") << "garbage"
                                               << "DS.dat"
                                               << "The file %1 does not open with the password or the "
                                                  "passphrase given: the passphrase is wrong, or "
                                                  "the file is not a survey database.";
        QTest::newRow("folder without permission") << "no-permission"
                                                   << ""
                                                   << "You have no permission to read %1. Ask its owner for "
                                                      "access, or start the program as the user "
                                                      "who owns the database.";
    }

    void eachStartupFailureSaysWhichFileAndWhy()
    {
        QFETCH(QString, damage);
        QFETCH(QString, file);
        QFETCH(QString, detail);
        const QString dat = m_data + QStringLiteral("/DS.dat");
        const QString lib = m_data + QStringLiteral("/DS.lib");
        const QString named = file.isEmpty() ? m_data : m_data + QLatin1Char('/') + file;
        const QString expected = expectedBox(detail.arg(named));
        sqlite3* holder = nullptr;
        const bool asRoot = geteuid() == 0;
        if (damage == QLatin1String("no-dat")) {
            QVERIFY(QFile::remove(dat));
        } else if (damage == QLatin1String("no-lib")) {
            QVERIFY(QFile::remove(lib));
        } else if (damage == QLatin1String("damaged")) {
            QFile f(dat);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(f.size() - 1024));
            f.write(QByteArray(512, '\x5a'));
        } else if (damage == QLatin1String("locked")) {
            // Another program in the middle of a write holds the file.
            holder = CipherFile::open(dat, Schema::databasePassword(), false, QString());
            QVERIFY(CipherFile::checkReadable(holder));
            CipherFile::exec(holder, QStringLiteral("BEGIN EXCLUSIVE"));
        } else if (damage == QLatin1String("wrong-password")) {
            Schema::writeDatabaseFile(dat, QStringLiteral("harbourfog"), true);
        } else if (damage == QLatin1String("garbage")) {
            writeFile(*m_dir, QStringLiteral("DS.dat"), QByteArray(8192, 'x'));
        } else if (damage == QLatin1String("no-permission")) {
            QVERIFY(QFile::setPermissions(m_data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }

        // On the command line: the same words on standard error, exit status 1. (As root the
        // folder is shut to another user, who runs the program.) First, while nothing of this
        // process has touched the files since the other program took its lock.
        QString program = kLt;
        QStringList command = {"--data-dir", m_data, "--export-hydrostatics", "Any Ship", "/dev/null"};
        if (damage == QLatin1String("no-permission") && asRoot) {
            command
                = QStringList {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", kLt} + command;
            program = QStringLiteral("setpriv");
        }
        const Run run = runProgram(program, command, environment());
        QCOMPARE(run.status, 1);
        QString shown = expected;
        shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
        QVERIFY2(run.err.contains(shown), qPrintable(run.err));

        // In the window's start: one box, which says it all; no window.
        if (damage != QLatin1String("no-permission") || !asRoot) {
            answerDialogs({});
            const Startup::Outcome outcome = Startup::start({QStringLiteral("--data-dir"), m_data});
            QVERIFY(!outcome.windowShown);
            QCOMPARE(outcome.status, 1);
            QCOMPARE(TestSupport::messageTexts(), QStringList {expected});
            QCOMPARE(MessageService::records().first().icon, Msg::Icon::Critical);
            QCOMPARE(MessageService::records().first().title, QStringLiteral("Quorvane Lt"));
            closeDatabase();
        }

        if (holder) {
            CipherFile::exec(holder, QStringLiteral("ROLLBACK"));
            CipherFile::close(holder);
        }
        QFile::setPermissions(m_data,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                  | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
};

QTEST_MAIN(TestProtection)
#include "test_protection.moc"
