// The survey database: the catalogue texts, the dialect the connection accepts, the encrypted
// files and how they refuse to open, the row sets, and figures that must come back exactly.

#include "db/Database.h"
#include "core/MessageService.h"
#include "db/CipherFile.h"
#include "db/CipherKey.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/NameLookup.h"
#include "db/RowSet.h"
#include "db/Schema.h"
#include "db/SqlCatalogue.h"
#include "tests/TestSupport.h"

#include "core/AppPaths.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <openssl/evp.h>
#include <sqlite3.h>

namespace {

// Runs `body` and returns the VbError it threw; fails the test when nothing was thrown.
template <typename F>
VbError expectError(F body)
{
    try {
        body();
    } catch (const VbError& e) {
        return e;
    }
    QTest::qFail("expected a VbError, nothing was thrown", __FILE__, __LINE__);
    return VbError(0, QStringLiteral("nothing was thrown"));
}

QStringList column(Connection& c, const QString& sql, const QString& name)
{
    RowSet rs;
    rs.open(sql, c);
    QStringList out;
    for (; !rs.eof(); rs.moveNext())
        out.append(rs.value(name).isNull() ? QStringLiteral("<null>") : rs.value(name).toText());
    return out;
}

SqlCatalogue::ShipValues ship(const QString& name, const QString& port)
{
    SqlCatalogue::ShipValues v;
    v.shipName = name;
    v.lbp = QStringLiteral("180.5");
    v.loa = QStringLiteral("189.99");
    v.breadth = QStringLiteral("32.26");
    v.lightShip = QStringLiteral("8450.7");
    v.callSign = QStringLiteral("9VAB4");
    v.portOfRegistry = port;
    v.officialNo = QStringLiteral("0");
    v.imoNo = QStringLiteral("9301234");
    v.flag = QStringLiteral("Singapore");
    v.grossTonnage = QStringLiteral("0");
    v.netTonnage = QStringLiteral("0");
    v.summerDraft = QStringLiteral("12.35");
    v.summerDeadweight = QStringLiteral("52000");
    return v;
}

// Whole rows, for the row-set cases that read every column (the name lists hold only names).
const QString kAllShips = QStringLiteral("SELECT * FROM Ship ORDER BY ShipName");
const QString kAllPorts = QStringLiteral("SELECT * FROM Port ORDER BY PortName");

int addPort(Connection& c, const QString& name)
{
    c.execute(QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ('%1', 'x', 'y')")
                  .arg(SqlCatalogue::quoted(name)));
    RowSet rs;
    rs.open(SqlCatalogue::portList(), c);
    if (!rs.find(QStringLiteral("PortName = '") + SqlCatalogue::quoted(name) + QLatin1Char('\'')))
        return -1;
    return rs.value(QStringLiteral("PortID")).toInt32();
}

}  // namespace

class TestDatabase : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    Connection& db() { return sharedConnection(); }

private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = TestSupport::useFreshDatabaseCopy(*m_dir);
        MessageService::clearRecords();
        openDatabase();
        QVERIFY(!startupFailed());
        QVERIFY(MessageService::records().isEmpty());
    }

    void cleanup() { closeDatabase(); }

    // ---- the catalogue -------------------------------------------------------------------

    void catalogueComposesTheStatements()
    {
        QCOMPARE(SqlCatalogue::shipById(12),
                 QStringLiteral("SELECT Ship.* FROM Ship WHERE Ship.ShipID = 12"));
        QCOMPARE(
            SqlCatalogue::dateList(7),
            QStringLiteral("SELECT DISTINCT (Mid$(DD.DateTime,7,2) & '-' & Mid$(DD.DateTime,5,2) & '-' "
                           "& Left$(DD.DateTime,4)) AS DSDate FROM DraftDetails AS DD WHERE "
                           "DD.RecordID = 7 AND DD.DraftType = 2 ORDER BY (Mid$(DD.DateTime,7,2) & '-' "
                           "& Mid$(DD.DateTime,5,2) & '-' & Left$(DD.DateTime,4)) ASC"));
        QCOMPARE(SqlCatalogue::emptyDeductions(),
                 QStringLiteral("SELECT * FROM DeductionTrans WHERE DraftID = -1"));
        QCOMPARE(SqlCatalogue::portList(), QStringLiteral("SELECT PortID, PortName FROM Port ORDER BY PortName"));
        QCOMPARE(SqlCatalogue::deleteShip(3), QStringLiteral("DELETE FROM Ship WHERE ShipID = 3"));
        QCOMPARE(SqlCatalogue::findShipByName(QStringLiteral("O'Brien's Pride")),
                 QStringLiteral("ShipName = 'O''Brien''s Pride'"));

        // The save statements, with each value named after its column.
        SqlCatalogue::ShipValues v{
            QStringLiteral("name"),    QStringLiteral("lbp"),        QStringLiteral("loa"),
            QStringLiteral("breadth"), QStringLiteral("lightship"),  QStringLiteral("callsign"),
            QStringLiteral("port"),    QStringLiteral("officialno"), QStringLiteral("imono"),
            QStringLiteral("flag"),    QStringLiteral("gross"),      QStringLiteral("net"),
            QStringLiteral("draft"),   QStringLiteral("deadweight")};
        QCOMPARE(
            SqlCatalogue::insertShip(v),
            QStringLiteral("INSERT INTO Ship (ShipName, LBP, LOA, Breadth, LightShip, CallSign, "
                           "PortOfRegistry, OfficialNo, IMONo, Flag, GrossTonnage, NetTonnage, "
                           "SummerDraft, SummerDeadweight ) VALUES('name',lbp, loa, breadth, lightship, "
                           "'callsign',port, officialno,imono, 'flag', gross,net, draft,deadweight)"));
        QCOMPARE(
            SqlCatalogue::updateShip(v, 9),
            QStringLiteral("UPDATE Ship SET ShipName = 'name', LBP = lbp, LOA = loa, Breadth = breadth, "
                           "LightShip = lightship, CallSign = 'callsign', PortOfRegistry = port, "
                           "OfficialNo = officialno, IMONo = imono, Flag = 'flag', GrossTonnage = gross, "
                           "NetTonnage = net, SummerDraft = draft, SummerDeadweight = deadweight "
                           "WHERE ShipID = 9"));
    }

    void translatesTheDialect_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mid, left, join") << "SELECT (Mid$(d,7,2) & '-' & Left$(d,4)) AS x"
                                         << "SELECT (substr(d,7,2) || '-' || substr(d,1,4)) AS x";
        QTest::newRow("left around a call") << "Left$(Mid$(a,2,5), 3)"
                                            << "substr(substr(a,2,5),1, 3)";
        QTest::newRow("texts untouched") << "SELECT 'Mid$(a,1,2) & 1.5', \"a&b\""
                                         << "SELECT 'Mid$(a,1,2) & 1.5', \"a&b\"";
        QTest::newRow("doubled quote") << "WHERE n = 'O''Brien & 2.5'"
                                       << "WHERE n = 'O''Brien & 2.5'";
        QTest::newRow("decimal literal") << "VALUES('a',180.5, 0.1)"
                                         << "VALUES('a','180.5', '0.1')";
        QTest::newRow("signed decimal") << "SET LBP = -12.35, x = (-0.5)"
                                        << "SET LBP = '-12.35', x = ('-0.5')";
        QTest::newRow("exponent") << "VALUES(1.5E-3, 2e2)"
                                  << "VALUES('0.0015', '200')";
        QTest::newRow("whole numbers stay") << "WHERE DraftID = -1 AND ShipID = 12"
                                            << "WHERE DraftID = -1 AND ShipID = 12";
        QTest::newRow("names with digits") << "SELECT T1.a2 FROM T1"
                                           << "SELECT T1.a2 FROM T1";
        QTest::newRow("long whole number") << "VALUES(12345678901234567890)"
                                           << "VALUES('12345678901234567890')";
    }

    void translatesTheDialect()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(Connection::translateSql(sql), expected);
    }

    // An exponent is worked into the digits only as far as a figure of the program can reach;
    // beyond that the statement is refused instead of growing without bound, overflowing the
    // count of places, or losing its exponent.
    void exponentsAreWrittenOutOrRefused_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");  // empty: refused
        QTest::newRow("28 places up") << "SELECT 1E+28" << "SELECT '10000000000000000000000000000'";
        QTest::newRow("28 places down") << "SELECT -1.5E-28"
                                        << "SELECT '-0.00000000000000000000000000015'";
        QTest::newRow("zeros before the exponent") << "SELECT 2.5E000000000000000000001"
                                                   << "SELECT '25'";
        QTest::newRow("a billion zeros") << "SELECT 1E+999999999" << "";
        QTest::newRow("past a 32-bit count") << "SELECT 11E+2147483647" << "";
        QTest::newRow("past any count") << "SELECT 1.5E99999999999" << "";
        QTest::newRow("29 places down") << "SELECT 1E-29" << "";
        QTest::newRow("inside a statement") << "UPDATE Ship SET LBP = 1E29 WHERE ShipID = 1" << "";
    }

    void exponentsAreWrittenOutOrRefused()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        if (!expected.isEmpty()) {
            QCOMPARE(Connection::translateSql(sql), expected);
            return;
        }
        const VbError e = expectError([&] { Connection::translateSql(sql); });
        QCOMPARE(e.number(), Connection::EngineErrorNumber);
        QVERIFY2(e.description().startsWith(QStringLiteral("The number ")), qPrintable(e.description()));
        QVERIFY(e.description().contains(QStringLiteral("more than 28 places")));
        // The gate every statement passes: the open connection refuses it the same way, and the
        // table is as it was.
        const VbError run = expectError([&] { db().execute(sql); });
        QCOMPARE(run.description(), e.description());
    }

    void translationStaysNearTheStatementsLength()
    {
        // Many literals, each pushed as far as allowed: the statement grows by a bounded amount
        // per literal, never by what the exponents say.
        QString sql = QStringLiteral("SELECT 0");
        for (int i = 0; i < 2000; ++i)
            sql += QStringLiteral(",1E28,9.9E-28");
        const QString out = Connection::translateSql(sql);
        QVERIFY2(out.size() < sql.size() * 12, qPrintable(QString::number(out.size())));
        QVERIFY(out.contains(QStringLiteral(",'0.00000000000000000000000000099',")));
    }

    void connectionStringIsReadBack()
    {
        const QString cs = databaseConnectionString();
        QCOMPARE(cs, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Password=4702615938;User ID=tarnwick;"
                                    "Data Source='")
                         + m_path
                         + QStringLiteral("/DS.dat';Persist Security Info=True;Jet OLEDB:System "
                                          "database='")
                         + m_path + QStringLiteral("/DS.lib';Jet OLEDB:Database Password = cobaltpier"));
        QCOMPARE(db().connectionString(), cs);
        const auto value
            = [&](const char* key) { return Connection::connectionStringValue(cs, QLatin1String(key)); };
        QCOMPARE(value("Password"), QStringLiteral("4702615938"));
        QCOMPARE(value("user id"), QStringLiteral("tarnwick"));
        QCOMPARE(value("Data Source"), m_path + QStringLiteral("/DS.dat"));
        QCOMPARE(value("Jet OLEDB:System database"), m_path + QStringLiteral("/DS.lib"));
        QCOMPARE(value("Jet OLEDB:Database Password"), QStringLiteral("cobaltpier"));
        QCOMPARE(value("Provider"), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
        // A folder with a quote in its name does not cut the path short.
        QCOMPARE(Connection::connectionStringValue(QStringLiteral("Data Source='/home/o'neil/DS.dat';X=1"),
                                                   QStringLiteral("Data Source")),
                 QStringLiteral("/home/o'neil/DS.dat"));
    }

    // The folder is given to the connection apart from the string: a name with a quote and a
    // semicolon (and what looks like another password after them) is only a folder name.
    void aDataFolderMayHoldAnyCharacter()
    {
        closeDatabase();
        QTemporaryDir outer;
        const QString folder
            = outer.path() + QStringLiteral("/o'neil';Jet OLEDB:Database Password = wrong;x='; [1]");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(TestSupport::copyDatabaseFiles(m_path, folder));
        AppPaths::setAppDir(folder);
        MessageService::clearRecords();
        openDatabase();
        const bool failed = startupFailed();
        const QString cs = databaseConnectionString();
        Connection own;  // as the Port Master opens its own
        bool ownOpened = false;
        try {
            openOnAppDir(own);
            ownOpened = own.isOpen();
        } catch (const VbError&) {
        }
        AppPaths::setAppDir(m_path);
        QVERIFY(!failed);
        QVERIFY(MessageService::records().isEmpty());
        QVERIFY(ownOpened);
        QVERIFY(cs.contains(folder + QStringLiteral("/DS.dat")));
        QCOMPARE(column(db(), QStringLiteral("SELECT count(*) AS n FROM Port"), QStringLiteral("n")).size(), 1);
    }

    // ---- the delivered files ---------------------------------------------------------------

    void deliveredFilesHoldNoPlainText()
    {
        for (const char* name : {"DS.dat", "DS.lib"}) {
            QFile f(TestSupport::deliveredDir() + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            QVERIFY(bytes.size() > 1000);
            for (const char* word : {"CREATE TABLE", "DeductionMaster", "Fuel Oil", "TipOfDay", "Ship",
                                     "SQLite format", "tarnwick", "Users", "draft"})
                QVERIFY2(!bytes.contains(word), word);
        }
    }

    void deliveredCatalogueRows()
    {
        RowSet items;
        items.open(SqlCatalogue::deductionItems(), db());
        QStringList got;
        for (; !items.eof(); items.moveNext())
            got << items.value(QStringLiteral("ItemID")).toText() + QLatin1Char(' ')
                       + items.value(QStringLiteral("ItemName")).toText();
        QCOMPARE(got, QStringList({"2 Fuel Oil", "3 Diesel Oil", "24 Lub Oil", "25 Fresh Water",
                                   "26 Ballast", "27 Provisions", "28 Misc-1", "29 Misc-2"}));
        items.moveFirst();
        QCOMPARE(items.value(QStringLiteral("ItemID")).type(), Variant::Type::Long);

        const QStringList tips = column(db(), SqlCatalogue::tips(), QStringLiteral("Tip"));
        QVERIFY(tips.size() >= 12);
        QCOMPARE(tips.first(), Schema::tips().first());
        for (const QString& t : tips)
            QVERIFY(t.size() > 30);
        QVERIFY(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")).isEmpty());
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("breakage");
        // What the failure is taken for, and the file it names (empty: none).
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file");
        using F = Connection::OpenFailure;
        QTest::newRow("wrong database password") << "dbpassword" << int(F::WrongPassword) << "DS.dat";
        QTest::newRow("wrong user password") << "userpassword" << int(F::WrongPassword) << "DS.lib";
        QTest::newRow("unknown user") << "user" << int(F::WrongPassword) << "DS.lib";
        QTest::newRow("DS.lib missing") << "nolib" << int(F::Missing) << "DS.lib";
        QTest::newRow("DS.dat missing") << "nodat" << int(F::Missing) << "DS.dat";
        QTest::newRow("DS.dat not a database") << "garbage" << int(F::WrongPassword) << "DS.dat";
        QTest::newRow("DS.dat empty") << "empty" << int(F::WrongPassword) << "DS.dat";
        QTest::newRow("DS.lib is the data file") << "swapped" << int(F::WrongPassword) << "DS.lib";
        QTest::newRow("other provider") << "provider" << int(F::Other) << "";
    }

    void openFailures()
    {
        QFETCH(QString, breakage);
        QFETCH(int, kind);
        QFETCH(QString, file);
        closeDatabase();
        const QString dat = m_path + QStringLiteral("/DS.dat");
        const QString lib = m_path + QStringLiteral("/DS.lib");
        QString cs = databaseConnectionString();
        if (breakage == QLatin1String("dbpassword")) {
            cs.replace(QStringLiteral("Password = cobaltpier"), QStringLiteral("Password = cobaltpies"));
        } else if (breakage == QLatin1String("userpassword")) {
            cs.replace(QStringLiteral("Password=4702615938"), QStringLiteral("Password=4702615939"));
        } else if (breakage == QLatin1String("user")) {
            cs.replace(QStringLiteral("User ID=tarnwick"), QStringLiteral("User ID=admin"));
        } else if (breakage == QLatin1String("nolib")) {
            QVERIFY(QFile::remove(lib));
        } else if (breakage == QLatin1String("nodat")) {
            QVERIFY(QFile::remove(dat));
        } else if (breakage == QLatin1String("garbage") || breakage == QLatin1String("empty")) {
            QFile f(dat);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (breakage == QLatin1String("garbage"))
                f.write(QByteArray(8192, 'x'));
        } else if (breakage == QLatin1String("swapped")) {
            QVERIFY(QFile::remove(lib));
            QVERIFY(QFile::copy(dat, lib));
        } else if (breakage == QLatin1String("provider")) {
            cs.replace(QStringLiteral("Microsoft.Jet.OLEDB.4.0"), QStringLiteral("SQLOLEDB"));
        }

        Connection c;
        const VbError e = expectError([&] { c.open(cs); });
        QCOMPARE(e.number(), Connection::EngineErrorNumber);
        QVERIFY(!e.description().isEmpty());
        QVERIFY(!c.isOpen());
        QCOMPARE(int(c.openFailure().kind), kind);
        QCOMPARE(c.openFailure().file, file.isEmpty() ? QString() : m_path + QLatin1Char('/') + file);

        // The same through the start-up path (not for a changed string, which it builds itself).
        if (cs == databaseConnectionString()) {
            MessageService::clearRecords();
            openDatabase();
            QVERIFY(startupFailed());
            QCOMPARE(MessageService::records().size(), 1);
            const MessageRecord r = MessageService::records().first();
            // The box names the file that failed, and why.
            QVERIFY2(r.text.startsWith(
                         QStringLiteral("The survey database could not be opened.\r\n\r\nThe file ")),
                     qPrintable(r.text));
            QVERIFY2(r.text.contains(c.openFailure().file), qPrintable(r.text));
            QCOMPARE(r.icon, Msg::Icon::Critical);
            QVERIFY(!sharedConnection().isOpen());
            MessageService::clearRecords();
        }
    }

    void passwordsAreChecked()
    {
        // A file keyed with another password is refused even when everything else is right.
        QTemporaryDir other;
        Schema::writeDatabaseFile(other.path() + QStringLiteral("/DS.dat"), QStringLiteral("otherpass"),
                                  false);
        Schema::writeWorkgroupFile(other.path() + QStringLiteral("/DS.lib"), Schema::userName(),
                                   QStringLiteral("1111111111"), false);
        QString cs = databaseConnectionString();
        cs.replace(m_path, other.path());
        Connection c;
        expectError([&] { c.open(cs); });
        QVERIFY(!c.isOpen());
        cs.replace(QStringLiteral("Password=4702615938"), QStringLiteral("Password=1111111111"));
        QVERIFY(expectError([&] { c.open(cs); }).description().contains(QStringLiteral("password")));
        cs.replace(QStringLiteral("Password = cobaltpier"), QStringLiteral("Password = otherpass"));
        c.open(cs);
        QVERIFY(c.isOpen());
    }

    void keysAreDerivedAsTheEngineDerivesThem()
    {
        // PBKDF2-HMAC-SHA1 against the published vectors (RFC 6070), on both ways of hashing...
        for (const CipherKey::Path path : {CipherKey::Path::Fastest, CipherKey::Path::Portable}) {
            const auto hex = [path](const QByteArray& p, const QByteArray& salt, int rounds, int length) {
                return CipherKey::pbkdf2Sha1(p, salt, rounds, length, path).toHex();
            };
            QCOMPARE(hex("password", "salt", 1, 20), QByteArray("0c60c80f961f0e71f3a9b524af6012062fe037a6"));
            QCOMPARE(hex("password", "salt", 2, 20), QByteArray("ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"));
            QCOMPARE(hex("password", "salt", 4096, 20), QByteArray("4b007901b765489abead49d926f721d065a429c1"));
            QCOMPARE(hex("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 25),
                     QByteArray("3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"));
            QCOMPARE(hex(QByteArray("pass\0word", 9), QByteArray("sa\0lt", 5), 4096, 16),
                     QByteArray("56fa6aa75548099dcc37d7f03425e0c3"));
            // ...and against the library's own for passwords of every length around a hash block,
            // and keys of one to three blocks (an odd last block has no partner to run beside).
            for (const int size : {0, 1, 63, 64, 65, 200}) {
                const QByteArray password(size, 'k');
                const QByteArray salt = QByteArray::fromHex("00112233445566778899aabbccddeeff");
                for (const int length : {32, 60}) {
                    QByteArray expected(length, '\0');
                    QVERIFY(PKCS5_PBKDF2_HMAC_SHA1(password.constData(), size,
                                                   reinterpret_cast<const unsigned char*>(salt.constData()), 16,
                                                   1000, length, reinterpret_cast<unsigned char*>(expected.data())));
                    QCOMPARE(CipherKey::pbkdf2Sha1(password, salt, 1000, length, path), expected);
                }
            }
        }

        // The raw key made from a delivered file's salt and password opens it in the engine itself,
        // with nothing else derived: the same key the engine makes from the password.
        const QString dat = m_path + QStringLiteral("/DS.dat");
        const QByteArray salt = CipherKey::fileSalt(dat);
        QCOMPARE(salt.size(), CipherKey::SaltBytes);
        const QByteArray raw = CipherKey::rawKey(Schema::databasePassword().toUtf8(), salt);
        QCOMPARE(raw.size(), 2 * CipherKey::KeyBytes + 3);
        sqlite3* engine = nullptr;
        QCOMPARE(sqlite3_open_v2(dat.toUtf8().constData(), &engine, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_key(engine, raw.constData(), raw.size()), SQLITE_OK);
        QVERIFY(CipherFile::checkReadable(engine));
        CipherFile::close(engine);
        // A wrong password makes a key that reads nothing, by either way of keying.
        sqlite3* wrong = CipherFile::open(dat, QStringLiteral("cobaltpies"), false, QString());
        QVERIFY(!CipherFile::checkReadable(wrong));
        CipherFile::close(wrong);
        QCOMPARE(CipherKey::fileSalt(m_path + QStringLiteral("/missing.dat")), QByteArray());
    }

    void filesOfThePreviousReleaseStillOpen()
    {
        // DS.dat and DS.lib exactly as the released quorvane-mkdb wrote them (no ship-name index).
        closeDatabase();
        const QString kept = TestSupport::sourceDir() + QStringLiteral("/tests/data/previous-release");
        QVERIFY(TestSupport::copyDatabaseFiles(kept, m_path));
        const auto indexes = [this] {
            return column(db(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                               "AND name = 'ShipByName'"),
                          QStringLiteral("name"));
        };

        // The wrong passwords are still refused, the workgroup's first, and nothing is written.
        const QByteArray before = [&] {
            QFile f(m_path + QStringLiteral("/DS.dat"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QString cs = databaseConnectionString();
        cs.replace(QStringLiteral("Password = cobaltpier"), QStringLiteral("Password = cobaltpies"));
        Connection c;
        QVERIFY(expectError([&] { c.open(cs); }).description().startsWith(QStringLiteral("Not a valid password")));
        cs.replace(QStringLiteral("Password=4702615938"), QStringLiteral("Password=4702615939"));
        QVERIFY(expectError([&] { c.open(cs); }).description().contains(QStringLiteral("account name")));
        QVERIFY(!c.isOpen());
        QFile dat(m_path + QStringLiteral("/DS.dat"));
        QVERIFY(dat.open(QIODevice::ReadOnly));
        QCOMPARE(dat.readAll(), before);
        dat.close();

        // The right ones open it, through the start-up path as the program does.
        MessageService::clearRecords();
        openDatabase();
        QVERIFY(!startupFailed());
        QVERIFY(MessageService::records().isEmpty());
        QCOMPARE(column(db(), SqlCatalogue::deductionItems(), QStringLiteral("ItemName")).size(), 8);
        QCOMPARE(indexes(), QStringList{"ShipByName"});  // added on opening
        const int port = addPort(db(), QStringLiteral("Vizag"));
        db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Old Timer"), QString::number(port))));
        QVERIFY(NameLookup::hasShip(db(), QStringLiteral("Old Timer")));
        closeDatabase();

        // Opened again, the file keeps its ship and its index.
        openDatabase();
        QVERIFY(!startupFailed());
        QCOMPARE(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")), QStringList{"Old Timer"});
        QCOMPARE(indexes(), QStringList{"ShipByName"});
    }

    void namesAreLookedUpByQuery()
    {
        const int port = addPort(db(), QStringLiteral("St. John's"));
        for (const char* name : {"O'Brien's Pride", "Coral Meridian", "coral meridian II"})
            db().execute(SqlCatalogue::insertShip(ship(QLatin1String(name), QString::number(port))));

        // Exactly the name, letter case and quotes included.
        QVERIFY(NameLookup::hasShip(db(), QStringLiteral("O'Brien's Pride")));
        QVERIFY(NameLookup::hasShip(db(), QStringLiteral("Coral Meridian")));
        QVERIFY(!NameLookup::hasShip(db(), QStringLiteral("CORAL MERIDIAN")));
        QVERIFY(!NameLookup::hasShip(db(), QStringLiteral("Coral")));
        QVERIFY(!NameLookup::hasShip(db(), QStringLiteral("x' OR '1'='1")));
        QVERIFY(NameLookup::hasPort(db(), QStringLiteral("St. John's")));
        QVERIFY(!NameLookup::hasPort(db(), QStringLiteral("st. john's")));
        QVERIFY(!NameLookup::hasPort(db(), QString()));

        // The name is found through the index, and the list of names is read from it in order,
        // without sorting the ships and without reading their particulars.
        const auto plan = [this](const QString& sql) {
            return column(db(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql, QStringLiteral("detail")).join('|');
        };
        QVERIFY2(plan(SqlCatalogue::shipsNamed(QStringLiteral("Coral Meridian"))).contains(QStringLiteral("ShipByName")),
                 qPrintable(plan(SqlCatalogue::shipsNamed(QStringLiteral("Coral Meridian")))));
        const QString listPlan = plan(SqlCatalogue::shipList());
        QVERIFY2(listPlan.contains(QStringLiteral("COVERING INDEX ShipByName")), qPrintable(listPlan));
        QVERIFY2(!listPlan.contains(QStringLiteral("TEMP B-TREE")), qPrintable(listPlan));
        QCOMPARE(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")),
                 QStringList({"Coral Meridian", "coral meridian II", "O'Brien's Pride"}));
    }

    void toolNeverReplacesTheUsersFile()
    {
        const QString tool = TestSupport::deliveredDir() + QStringLiteral("/../tools/quorvane-mkdb");
        if (!QFile::exists(tool))
            QSKIP("quorvane-mkdb not built");
        closeDatabase();
        db().open(databaseConnectionString());
        db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Keeper"), QStringLiteral("NULL"))));
        db().close();

        QCOMPARE(QProcess::execute(tool, {m_path}), 1);
        QCOMPARE(QProcess::execute(tool, {m_path, QStringLiteral("--if-missing")}), 0);
        db().open(databaseConnectionString());
        QCOMPARE(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")), QStringList{"Keeper"});
        db().close();

        QCOMPARE(QProcess::execute(tool, {m_path, QStringLiteral("--force")}), 0);
        db().open(databaseConnectionString());
        QVERIFY(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")).isEmpty());
    }

    // ---- relations and statements ----------------------------------------------------------

    void deletingAPortDeletesItsShips()
    {
        const int hamburg = addPort(db(), QStringLiteral("Hamburg"));
        const int santos = addPort(db(), QStringLiteral("Santos"));
        db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Elbe Star"), QString::number(hamburg))));
        db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Alster"), QString::number(hamburg))));
        db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Rio Doce"), QString::number(santos))));
        QCOMPARE(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")).size(), 3);

        QCOMPARE(
            db().execute(QStringLiteral("DELETE FROM Port WHERE PortID = ") + QString::number(hamburg)), 1);
        QCOMPARE(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")),
                 QStringList{"Rio Doce"});

        // A ship cannot name a port that does not exist.
        expectError([&] {
            db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Ghost"), QStringLiteral("999"))));
        });
        QCOMPARE(column(db(), SqlCatalogue::shipList(), QStringLiteral("ShipName")).size(), 1);
    }

    void dateListIsDayFirstTextOrder()
    {
        const QStringList rows = {"7, 2, '202401021530'", "7, 2, '202403010800'", "7, 2, '202403011200'",
                                  "7, 1, '202312310000'", "8, 2, '202312300000'", "7, 2, '202312251000'"};
        for (const QString& r : rows)
            db().execute(QStringLiteral("INSERT INTO DraftDetails (RecordID, DraftType, DateTime) VALUES (")
                         + r + QLatin1Char(')'));
        RowSet dates;
        dates.open(SqlCatalogue::dateList(7), db());
        QCOMPARE(dates.columnNames(), QStringList{"DSDate"});
        QCOMPARE(column(db(), SqlCatalogue::dateList(7), QStringLiteral("DSDate")),
                 QStringList({"01-03-2024", "02-01-2024", "25-12-2023"}));
        QVERIFY(column(db(), SqlCatalogue::dateList(99), QStringLiteral("DSDate")).isEmpty());
    }

    void emptyDeductionsListKeepsItsChangesInMemory()
    {
        RowSet list;
        list.open(SqlCatalogue::emptyDeductions(), db());
        QVERIFY(list.isOpen());
        QCOMPARE(list.state(), int(RowSet::StateOpen));
        QCOMPARE(list.recordCount(), 0);
        QVERIFY(list.eof());
        QCOMPARE(list.columnNames(), QStringList({"DraftID", "ItemID", "Quantity"}));
        QVERIFY(!list.find(SqlCatalogue::findItem(24)));

        for (int item : {2, 24, 25}) {
            list.addNew();
            list.setValue(QStringLiteral("ItemID"), Variant::longInt(item));
            list.setValue(QStringLiteral("Quantity"), Variant(Decimal(item) / Decimal(10)));
        }
        QVERIFY(list.find(SqlCatalogue::findItem(24)));
        QCOMPARE(list.value(QStringLiteral("Quantity")), Variant(*Decimal::parse(u"2.4", QLocale::c())));
        QVERIFY(list.value(QStringLiteral("DraftID")).isNull());
        list.setValue(QStringLiteral("Quantity"), Variant(QStringLiteral("12.35")));
        QCOMPARE(list.value(QStringLiteral("Quantity")).type(), Variant::Type::Decimal);
        QCOMPARE(list.value(QStringLiteral("Quantity")).toDecimal().toString(), QStringLiteral("12.35"));
        QCOMPARE(expectError([&] {
                     list.setValue(QStringLiteral("Quantity"), Variant(QStringLiteral("abc")));
                 }).number(),
                 13);
        QCOMPARE(list.recordCount(), 3);
        list.update();  // an in-memory list writes nothing
        QVERIFY(!list.find(SqlCatalogue::findItem(26)));
        QVERIFY(list.eof());

        RowSet stored;
        stored.open(QStringLiteral("SELECT * FROM DeductionTrans"), db());
        QCOMPARE(stored.recordCount(), 0);
    }

    void unknownShipGivesAnEmptyRowSet()
    {
        RowSet rs;
        rs.open(SqlCatalogue::shipById(4711), db());
        QVERIFY(rs.isOpen());
        QCOMPARE(rs.recordCount(), 0);
        QVERIFY(rs.eof());
        QVERIFY(rs.hasColumn(QStringLiteral("LBP")));
        QCOMPARE(expectError([&] { rs.value(QStringLiteral("LBP")); }).number(), 3021);
        QCOMPARE(expectError([&] { rs.value(QStringLiteral("NoSuchColumn")); }).number(), 3265);
        rs.close();
        QCOMPARE(rs.state(), int(RowSet::StateClosed));
        QCOMPARE(expectError([&] { rs.moveFirst(); }).number(), 3704);
        QCOMPARE(expectError([&] { rs.recordCount(); }).number(), 3704);
    }

    void rejectedStatementsRaiseAndSecondStatementsNeverRun()
    {
        const VbError e = expectError([&] { db().execute(QStringLiteral("SELECT * FROM NoSuchTable")); });
        QCOMPARE(e.number(), Connection::EngineErrorNumber);
        QVERIFY(e.description().contains(QStringLiteral("NoSuchTable")));
        expectError([&] { db().execute(QStringLiteral("DELETE FROM Port; DROP TABLE Ship")); });
        RowSet rs;
        rs.open(SqlCatalogue::shipList(), db());
        QVERIFY(rs.isOpen());
        Connection closed;
        QCOMPARE(expectError([&] { closed.execute(SqlCatalogue::tips()); }).number(),
                 Connection::EngineErrorNumber);
    }

    // ---- texts, nulls and figures -----------------------------------------------------------

    void quotesInNamesAreSavedAndFound()
    {
        const int port = addPort(db(), QStringLiteral("St. John's"));
        QVERIFY(port > 0);
        const QString name = QStringLiteral("O'Brien's Pride");
        auto v = ship(name, QString::number(port));
        v.callSign = QStringLiteral("'; DROP TABLE Ship; --");
        db().execute(SqlCatalogue::insertShip(v));
        db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Obrien"), QString::number(port))));

        RowSet ships;
        ships.open(kAllShips, db());
        QVERIFY(ships.find(SqlCatalogue::findShipByName(name)));
        QCOMPARE(ships.value(QStringLiteral("ShipName")).toText(), name);
        QCOMPARE(ships.value(QStringLiteral("CallSign")).toText(), v.callSign);
        const int id = ships.value(QStringLiteral("ShipID")).toInt32();
        QVERIFY(ships.find(SqlCatalogue::findShip(id)));
        QVERIFY(!ships.find(QStringLiteral("ShipName = 'O''Brien'")));
        QVERIFY(ships.eof());

        v.shipName = QStringLiteral("O'Brien's Pride II");
        QCOMPARE(db().execute(SqlCatalogue::updateShip(v, id)), 1);
        ships.requery();
        QVERIFY(ships.find(SqlCatalogue::findShipByName(v.shipName)));
        QCOMPARE(ships.value(QStringLiteral("ShipID")).toInt32(), id);
        QCOMPARE(db().execute(SqlCatalogue::deleteShip(id)), 1);
    }

    void nullIsNotEmptyText()
    {
        const int port = addPort(db(), QStringLiteral("Durban"));
        db().execute(QStringLiteral("INSERT INTO Ship (ShipName, CallSign, Flag, PortOfRegistry) VALUES "
                                    "('Null Flag', '', NULL, ")
                     + QString::number(port) + QLatin1Char(')'));
        RowSet rs;
        rs.open(kAllShips, db());
        QVERIFY(rs.value(QStringLiteral("Flag")).isNull());
        QCOMPARE(rs.value(QStringLiteral("CallSign")).type(), Variant::Type::Text);
        QCOMPARE(rs.value(QStringLiteral("CallSign")).toText(), QString());
        QVERIFY(rs.value(QStringLiteral("LBP")).isNull());
        QVERIFY(!rs.find(QStringLiteral("Flag = ''")));
        QVERIFY(rs.find(QStringLiteral("CallSign = ''")));
    }

    void figuresComeBackExactly()
    {
        const int port = addPort(db(), QStringLiteral("Rotterdam"));
        auto v = ship(QStringLiteral("Exact"), QString::number(port));
        v.lbp = QStringLiteral("12.35");
        v.loa = QStringLiteral("0.1");
        v.breadth = QStringLiteral("32.2600");
        v.lightShip = QStringLiteral("1234567.123456789012345678");  // far beyond a double
        v.officialNo = QStringLiteral("9999999999");
        v.imoNo = QStringLiteral("9999999999");
        v.grossTonnage = QStringLiteral("0.3");
        v.netTonnage = QStringLiteral("-0.5");
        db().execute(SqlCatalogue::insertShip(v));

        RowSet rs;
        rs.open(kAllShips, db());
        const auto text = [&](const char* col) {
            const Variant x = rs.value(QLatin1String(col));
            return x.type() == Variant::Type::Decimal ? x.toDecimal().toString() : x.debugString();
        };
        QCOMPARE(text("LBP"), QStringLiteral("12.35"));
        QCOMPARE(text("LOA"), QStringLiteral("0.1"));
        QCOMPARE(text("Breadth"), QStringLiteral("32.26"));
        QCOMPARE(text("LightShip"), QStringLiteral("1234567.123456789012345678"));
        QCOMPARE(text("OfficialNo"), QStringLiteral("9999999999"));
        QCOMPARE(text("IMONo"), QStringLiteral("9999999999"));
        QCOMPARE(text("GrossTonnage"), QStringLiteral("0.3"));
        QCOMPARE(text("NetTonnage"), QStringLiteral("-0.5"));
        QCOMPARE(text("SummerDeadweight"), QStringLiteral("52000"));
        QCOMPARE(rs.value(QStringLiteral("PortOfRegistry")), Variant::longInt(port));
        QVERIFY(rs.find(QStringLiteral("LBP = 12.350")));
        QVERIFY(rs.find(QStringLiteral("OfficialNo = 9999999999")));

        // Stored as the digits, never as a binary double.
        RowSet kinds;
        kinds.open(QStringLiteral("SELECT typeof(LBP) AS a, typeof(LightShip) AS b, LightShip FROM Ship"),
                   db());
        QCOMPARE(kinds.value(QStringLiteral("a")).toText(), QStringLiteral("text"));
        QCOMPARE(kinds.value(QStringLiteral("b")).toText(), QStringLiteral("text"));

        // The update statement keeps them exact too.
        const int id = rs.value(QStringLiteral("ShipID")).toInt32();
        v.lbp = QStringLiteral("199.99999999999999");
        db().execute(SqlCatalogue::updateShip(v, id));
        rs.requery();
        QCOMPARE(text("LBP"), QStringLiteral("199.99999999999999"));
    }

    // ---- the port window's write-back set ------------------------------------------------------

    void writeBackRowSetWritesAtOnce()
    {
        RowSet ports;
        ports.open(SqlCatalogue::portMaster(), db(), RowSet::Mode::WriteBack);
        QCOMPARE(ports.recordCount(), 0);

        ports.addNew();
        QVERIFY(ports.editPending());
        ports.setValue(QStringLiteral("PortName"), Variant(QStringLiteral("Paradip")));
        ports.setValue(QStringLiteral("City"), Variant(QStringLiteral("Paradip")));
        ports.update();
        QVERIFY(!ports.editPending());
        const Variant id = ports.value(QStringLiteral("PortID"));
        QCOMPARE(id.type(), Variant::Type::Long);
        QVERIFY(ports.value(QStringLiteral("Country")).isNull());

        // Another connection, as the port window has, sees the row at once.
        Connection other;
        other.open(databaseConnectionString());
        QCOMPARE(column(other, SqlCatalogue::portList(), QStringLiteral("PortName")),
                 QStringList{"Paradip"});

        ports.addNew();
        ports.setValue(QStringLiteral("PortName"), Variant(QStringLiteral("Antwerp")));
        ports.moveFirst();  // leaving an added row writes it, as a record set does
        QCOMPARE(column(other, SqlCatalogue::portList(), QStringLiteral("PortName")),
                 QStringList({"Antwerp", "Paradip"}));

        ports.requery();
        QCOMPARE(ports.value(QStringLiteral("PortName")).toText(), QStringLiteral("Antwerp"));
        QVERIFY(ports.find(SqlCatalogue::findPort(id.toInt32())));
        ports.setValue(QStringLiteral("Country"), Variant(QStringLiteral("India")));
        ports.update();
        QCOMPARE(column(other, kAllPorts, QStringLiteral("Country")),
                 QStringList({"<null>", "India"}));

        // Cancel abandons the pending change of an existing row and an added row.
        ports.setValue(QStringLiteral("City"), Variant(QStringLiteral("Cuttack")));
        ports.cancelUpdate();
        QCOMPARE(ports.value(QStringLiteral("City")).toText(), QStringLiteral("Paradip"));
        ports.addNew();
        ports.setValue(QStringLiteral("PortName"), Variant(QStringLiteral("Never")));
        ports.cancelUpdate();
        QCOMPARE(ports.recordCount(), 2);
        ports.moveFirst();
        QCOMPARE(column(other, SqlCatalogue::portList(), QStringLiteral("PortName")).size(), 2);

        // Delete goes to the table at once, with the ships registered there.
        db().execute(SqlCatalogue::insertShip(ship(QStringLiteral("Kalinga"), id.toText())));
        QVERIFY(ports.find(SqlCatalogue::findPort(id.toInt32())));
        ports.deleteCurrent();
        QVERIFY(ports.eof());
        QCOMPARE(ports.recordCount(), 1);
        QCOMPARE(column(other, SqlCatalogue::portList(), QStringLiteral("PortName")),
                 QStringList{"Antwerp"});
        QVERIFY(column(other, SqlCatalogue::shipList(), QStringLiteral("ShipName")).isEmpty());

        // A query over no single table cannot be written back.
        RowSet dates;
        QCOMPARE(expectError([&] {
                     dates.open(SqlCatalogue::dateList(1), db(), RowSet::Mode::WriteBack);
                 }).number(),
                 3251);
        QVERIFY(!dates.isOpen());
    }
};

QTEST_MAIN(TestDatabase)
#include "test_database.moc"
