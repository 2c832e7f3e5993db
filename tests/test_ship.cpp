// The ship record: what it reads for the surveys and the calculation, and how it fails.

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/ShipRecord.h"
#include "tests/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

template <typename F>
int errorNumber(F body)
{
    try {
        body();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

QString dec(const Variant& v)
{
    return v.type() == Variant::Type::Decimal ? v.toDecimal().toString() : v.debugString();
}

}  // namespace

class TestShip : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_port = 0;

    int addShip(const QString& name, const QString& lbp, const QString& lightShip, const QString& flag)
    {
        SqlCatalogue::ShipValues v;
        v.shipName = name;
        v.lbp = lbp;
        v.loa = QStringLiteral("199.9");
        v.breadth = QStringLiteral("32.26");
        v.lightShip = lightShip;
        v.callSign = name.left(4).toUpper();
        v.portOfRegistry = QString::number(m_port);
        v.officialNo = QStringLiteral("9999999999");
        v.imoNo = QStringLiteral("9301234");
        v.flag = flag;
        v.grossTonnage = QStringLiteral("31250");
        v.netTonnage = QStringLiteral("18540.5");
        v.summerDraft = QStringLiteral("12.35");
        v.summerDeadweight = QStringLiteral("56012.8");
        sharedConnection().execute(SqlCatalogue::insertShip(v));
        RowSet rs;
        rs.open(SqlCatalogue::shipList(), sharedConnection());
        rs.find(SqlCatalogue::findShipByName(name));
        return rs.value(QStringLiteral("ShipID")).toInt32();
    }

private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(TestSupport::openFreshDatabaseCopy(*m_dir));
        sharedConnection().execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Vizag')"));
        RowSet ports;
        ports.open(SqlCatalogue::portList(), sharedConnection());
        m_port = ports.value(QStringLiteral("PortID")).toInt32();
        MessageService::clearRecords();
    }

    void cleanup() { closeDatabase(); }

    void loadingAnotherShipReplacesEveryValue()
    {
        const int first = addShip(QStringLiteral("Aurora"), QStringLiteral("180.5"),
                                  QStringLiteral("8450.7"), QStringLiteral("Panama"));
        const int second = addShip(QStringLiteral("Borealis"), QStringLiteral("225.04"),
                                   QStringLiteral("12001.35"), QStringLiteral("Malta"));
        ShipRecord s;
        QCOMPARE(s.load(first), 1);
        QCOMPARE(s.shipName(), QStringLiteral("Aurora"));
        QCOMPARE(dec(s.lbp()), QStringLiteral("180.5"));
        QCOMPARE(s.load(second), 1);
        QCOMPARE(s.shipName(), QStringLiteral("Borealis"));
        QCOMPARE(s.flag(), QStringLiteral("Malta"));
        QCOMPARE(s.callSign(), QStringLiteral("BORE"));
        QCOMPARE(dec(s.lbp()), QStringLiteral("225.04"));
        QCOMPARE(dec(s.lightShip()), QStringLiteral("12001.35"));
        QCOMPARE(dec(s.loa()), QStringLiteral("199.9"));
        QCOMPARE(dec(s.breadth()), QStringLiteral("32.26"));
        QCOMPARE(dec(s.summerDraft()), QStringLiteral("12.35"));
        QCOMPARE(dec(s.summerDeadweight()), QStringLiteral("56012.8"));
        QCOMPARE(dec(s.grossTonnage()), QStringLiteral("31250"));
        QCOMPARE(dec(s.netTonnage()), QStringLiteral("18540.5"));
        QCOMPARE(dec(s.officialNo()), QStringLiteral("9999999999"));
        QCOMPARE(s.portOfRegistry(), Variant::longInt(m_port));
        // The figures the calculation takes are exact decimals, not doubles.
        QCOMPARE(s.lbp().type(), Variant::Type::Decimal);
        QCOMPARE(s.lightShip().type(), Variant::Type::Decimal);
        QVERIFY(MessageService::records().isEmpty());
    }

    void unknownShipLoadsButCannotBeRead()
    {
        ShipRecord s;
        QCOMPARE(s.load(4711), 1);
        QVERIFY(MessageService::records().isEmpty());
        QCOMPARE(errorNumber([&] { s.lbp(); }), 3021);
        QCOMPARE(errorNumber([&] { s.shipName(); }), 3021);
        QCOMPARE(errorNumber([&] { s.portOfRegistry(); }), 3021);
    }

    void neverLoadedShipCannotBeRead()
    {
        ShipRecord s;
        QVERIFY(errorNumber([&] { s.lightShip(); }) != 0);
        QVERIFY(errorNumber([&] { s.flag(); }) != 0);
    }

    void nullTextRaisesWhileFiguresRead()
    {
        sharedConnection().execute(
            QStringLiteral("INSERT INTO Ship (ShipName, LBP, CallSign, Flag, PortOfRegistry) "
                           "VALUES ('No Flag', 150.25, NULL, NULL, ")
            + QString::number(m_port) + QLatin1Char(')'));
        RowSet rs;
        rs.open(SqlCatalogue::shipList(), sharedConnection());
        ShipRecord s;
        QCOMPARE(s.load(rs.value(QStringLiteral("ShipID")).toInt32()), 1);
        QCOMPARE(errorNumber([&] { s.flag(); }), 94);
        QCOMPARE(errorNumber([&] { s.callSign(); }), 94);
        QCOMPARE(dec(s.lbp()), QStringLiteral("150.25"));
        QCOMPARE(s.shipName(), QStringLiteral("No Flag"));
        QVERIFY(s.loa().isNull());  // a figure's null comes back as Null, not as an error
    }

    void failedLoadShowsTheDescriptionAndReturnsZero()
    {
        const int id = addShip(QStringLiteral("Cassiopeia"), QStringLiteral("190"), QStringLiteral("9000"),
                               QStringLiteral("Liberia"));
        ShipRecord s;
        QCOMPARE(s.load(id), 1);
        closeDatabase();
        QCOMPARE(s.load(id), 0);
        QCOMPARE(MessageService::records().size(), 1);
        const MessageRecord r = MessageService::records().first();
        QCOMPARE(r.text, QStringLiteral("Operation is not allowed when the object is closed."));
        QCOMPARE(r.icon, Msg::Icon::None);
        QCOMPARE(r.buttons, Msg::Buttons::Ok);
        QCOMPARE(r.title, QStringLiteral("Quorvane Lt"));
        // The old ship is gone: the record holds the new, unopened row set.
        QCOMPARE(errorNumber([&] { s.shipName(); }), 3704);
    }
};

QTEST_MAIN(TestShip)
#include "test_ship.moc"
