// The displacement of one draft, figure by figure: interpolation at the true mean draft, trim
// and density corrections, deductibles, and what stays as it was when a step cannot be done.

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/Variant.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/SurveyDraft.h"
#include "tests/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QString shown(const Variant& v)
{
    return v.debugString();
}

QString dec(const char* text)
{
    return QStringLiteral("Decimal(%1)").arg(QLatin1String(text));
}

const QString kEmptyText = QStringLiteral("String(\"\")");

VariantArray2D table(const QList<QStringList>& rows)
{
    VariantArray2D a(int(rows.size()), int(rows.first().size()));
    for (int i = 0; i < rows.size(); ++i)
        for (int j = 0; j < rows[i].size(); ++j)
            a(i, j) = Variant(rows[i][j]);
    return a;
}

void addDeduction(SurveyDraft& draft, int itemId, const Variant& quantity)
{
    RowSet& list = draft.deductions();
    list.addNew();
    list.setValue(QStringLiteral("ItemID"), Variant::longInt(itemId));
    list.setValue(QStringLiteral("Quantity"), quantity);
}

Variant number(const char* text)
{
    return Variant(*Decimal::parse(QString::fromLatin1(text), QLocale::c()));
}

int addShip(const QString& name, const QString& lbp, const QString& lightShip)
{
    sharedConnection().execute(
        QStringLiteral("INSERT INTO Ship (ShipName, LBP, LightShip) VALUES ('%1', %2, %3)")
            .arg(name, lbp, lightShip));
    RowSet ships;
    ships.open(SqlCatalogue::shipList(), sharedConnection());
    if (!ships.find(SqlCatalogue::findShipByName(name)))
        return -1;
    return ships.value(QStringLiteral("ShipID")).toInt32();
}

// Everything the calculation reads or writes, for before-and-after comparisons.
QStringList outputs(const SurveyDraft& draft)
{
    QStringList all{shown(draft.trueMeanDraft()), shown(draft.ipFactor()),
                    shown(draft.totalDeductibles())};
    const VariantArray2D ip = draft.ipResult();
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 4; ++j)
            all << shown(ip(i, j));
    for (const Variant& v : draft.finalResult())
        all << shown(v);
    return all;
}

}  // namespace

class TestDraftCalculation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void workedExampleDigitForDigit();
    void correctionsUseTheUnroundedInterpolation();
    void calculatingTwiceGivesTheSameResults();
    void noTrueMeanDraftLeavesEveryResultAsItWas();
    void factorAtTheBelowAndAboveDrafts();
    void equalTableDraftsGiveFactorZero();
    void neverSetMctcBelowCountsAsZero();
    void emptyDeductionsList();
    void shipWithoutLengthStopsAfterTheDisplacement();
    void shipWithoutLengthKeepsThePreviousCorrections();
    void densityNotGivenStopsBeforeTheTrueDisplacement();
    void unknownQuantityStopsAtTheNetDisplacement();
    void newDraftKeepsMarksAndTotalUntilRecalculated();

private:
    // The draft of the worked example: T 7.25 m, trim 1.20 m, dock water 1.015 t/m3 (the density
    // left as the reset left it when `density` is null).
    void fillWorkedExample(SurveyDraft& draft, const char* density = "1.015") const;
    // The same tables with the true mean draft a third of the way up: nothing comes out round.
    void fillThirds(SurveyDraft& draft) const;

    QTemporaryDir m_dir;
    int m_ship = -1;        // LBP 180 m, light ship 8000 t
    int m_oddShip = -1;     // LBP 180 m, light ship 7654.321 t
    int m_zeroLbp = -1;     // LBP 0
    int m_nullLbp = -1;     // no LBP recorded
};

void TestDraftCalculation::initTestCase()
{
    TestSupport::initTestEnvironment();
    QVERIFY(m_dir.isValid());
    QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
    m_ship = addShip(QStringLiteral("MV Worked Example"), QStringLiteral("180"), QStringLiteral("8000"));
    m_oddShip = addShip(QStringLiteral("MV Odd Light"), QStringLiteral("180.0"), QStringLiteral("7654.321"));
    m_zeroLbp = addShip(QStringLiteral("MV No Length"), QStringLiteral("0"), QStringLiteral("8000"));
    m_nullLbp = addShip(QStringLiteral("MV Unmeasured"), QStringLiteral("NULL"), QStringLiteral("8000"));
    QVERIFY(m_ship > 0 && m_oddShip > 0 && m_zeroLbp > 0 && m_nullLbp > 0);
}

void TestDraftCalculation::init()
{
    MessageService::clearRecords();
}

void TestDraftCalculation::fillWorkedExample(SurveyDraft& draft, const char* density) const
{
    draft.setShipId(Variant(QString::number(m_ship)));
    if (density)
        draft.setSpecificGravity(Variant(QLatin1String(density)));
    draft.setTrueTrim(Variant(QStringLiteral("1.20")));
    draft.setTrueMeanDraft(Variant(QStringLiteral("7.25")));
    // As the window hands them over: cell texts, the Difference row included.
    draft.setHdt(table({{"7.20", "30000", "40.0", "-2.5", "", ""},
                        {"7.30", "30400", "40.2", "-2.4", "", ""},
                        {"0.1", "400", "0.2", "0.1", "", ""}}));
    draft.setMctcPlus50(table({{"7.70", "420"}, {"7.80", "424"}, {"0.1", "4"}}));
    draft.setMctcMinus50(table({{"6.70", "400"}, {"6.80", "403"}, {"0.1", "3"}}));
    addDeduction(draft, 2, number("300"));
    addDeduction(draft, 3, number("200"));
}

void TestDraftCalculation::fillThirds(SurveyDraft& draft) const
{
    draft.setShipId(Variant(QString::number(m_ship)));
    draft.setSpecificGravity(Variant(QStringLiteral("1.020")));
    draft.setTrueTrim(Variant(QStringLiteral("0.85")));
    draft.setTrueMeanDraft(Variant(QStringLiteral("7.30")));
    draft.setHdt(table({{"7.20", "30000", "40.0", "-2.5", "", ""},
                        {"7.50", "31000", "40.3", "-2.2", "", ""},
                        {"0.3", "1000", "0.3", "0.3", "", ""}}));
    draft.setMctcPlus50(table({{"7.70", "420"}, {"8.00", "425"}, {"0.3", "5"}}));
    draft.setMctcMinus50(table({{"6.70", "400"}, {"7.00", "404"}, {"0.3", "4"}}));
    addDeduction(draft, 2, number("123.456"));
}

void TestDraftCalculation::workedExampleDigitForDigit()
{
    SurveyDraft draft;
    fillWorkedExample(draft);
    draft.calculate();
    QVERIFY(MessageService::records().isEmpty());

    QCOMPARE(shown(draft.trueMeanDraft()), dec("7.25"));
    QCOMPARE(shown(draft.ipFactor()), dec("0.5"));
    const VariantArray2D ip = draft.ipResult();
    const QStringList increments{"200", "0.1", "0.05", "2", "1.5"};
    const QStringList values{"30200", "40.1", "-2.45", "422", "401.5"};
    for (int q = 0; q <= 4; ++q) {
        QCOMPARE(shown(ip(0, q)), QStringLiteral("Decimal(%1)").arg(increments[q]));
        QCOMPARE(shown(ip(1, q)), QStringLiteral("Decimal(%1)").arg(values[q]));
    }

    const QVector<Variant> r = draft.finalResult();
    QCOMPARE(shown(r[0]), dec("30200"));
    QCOMPARE(shown(r[1]), dec("-65.49666666666666666666666667"));
    QCOMPARE(shown(r[2]), dec("8.2"));
    QCOMPARE(shown(r[3]), dec("-57.29666666666666666666666667"));
    QCOMPARE(shown(r[4]), QStringLiteral("Integer(0)"));
    QCOMPARE(shown(r[5]), dec("30142.70333333333333333333333"));
    QCOMPARE(shown(r[6]), dec("-294.07515447154471544715447"));
    QCOMPARE(shown(r[7]), dec("29848.62817886178861788617886"));
    QCOMPARE(shown(r[8]), dec("500"));
    QCOMPARE(shown(r[9]), dec("29348.62818"));
    QCOMPARE(shown(r[10]), dec("8000"));
    QCOMPARE(shown(r[11]), kEmptyText);
    QCOMPARE(shown(draft.totalDeductibles()), dec("500"));
    QCOMPARE(shown(draft.netDisplacement()), dec("29348.62818"));
    QCOMPARE(shown(draft.apparentTrim()), kEmptyText);
}

void TestDraftCalculation::correctionsUseTheUnroundedInterpolation()
{
    SurveyDraft draft;
    fillThirds(draft);
    draft.setShipId(Variant(QString::number(m_oddShip)));
    draft.calculate();
    QVERIFY(MessageService::records().isEmpty());

    QCOMPARE(shown(draft.ipFactor()), dec("0.3333333333333333333333333333"));
    // Stored rounded: increments to 3 places, the displacement to 5, the rest to 3.
    const VariantArray2D ip = draft.ipResult();
    const QStringList increments{"333.333", "0.1", "0.1", "1.667", "1.333"};
    const QStringList values{"30333.33333", "40.1", "-2.4", "421.667", "401.333"};
    for (int q = 0; q <= 4; ++q) {
        QCOMPARE(shown(ip(0, q)), QStringLiteral("Decimal(%1)").arg(increments[q]));
        QCOMPARE(shown(ip(1, q)), QStringLiteral("Decimal(%1)").arg(values[q]));
    }

    // Worked from the unrounded values: the displacement at the true mean draft keeps every
    // digit, and the second correction uses 421.66...67 - 401.33...33, not 421.667 - 401.333.
    const QVector<Variant> r = draft.finalResult();
    QCOMPARE(shown(r[0]), dec("30333.33333333333333333333333"));
    QCOMPARE(shown(r[1]), dec("-45.44666666666666666666666667"));
    QCOMPARE(shown(r[2]), dec("4.08078703703703703703703705"));
    QCOMPARE(shown(r[3]), dec("-41.36587962962962962962962962"));
    QCOMPARE(shown(r[5]), dec("30291.9674537037037037037037"));
    QCOMPARE(shown(r[6]), dec("-147.7656948961156278229449"));
    QCOMPARE(shown(r[7]), dec("30144.2017588075880758807588"));
    QCOMPARE(shown(r[8]), dec("123.456"));
    QCOMPARE(shown(r[9]), dec("30020.74576"));
    // The light ship comes from the ship as an exact figure.
    QCOMPARE(shown(r[10]), dec("7654.321"));
    QCOMPARE(shown(r[9] - r[10]), dec("22366.42476"));
}

void TestDraftCalculation::calculatingTwiceGivesTheSameResults()
{
    SurveyDraft draft;
    fillThirds(draft);
    draft.calculate();
    const QStringList first = outputs(draft);
    draft.calculate();
    QCOMPARE(outputs(draft), first);
    QVERIFY(MessageService::records().isEmpty());
}

void TestDraftCalculation::noTrueMeanDraftLeavesEveryResultAsItWas()
{
    // A fresh draft: the blank draft is stored as 0 and nothing is worked out.
    SurveyDraft fresh;
    QStringList before = outputs(fresh);
    fresh.calculate();
    QStringList after = outputs(fresh);
    QCOMPARE(after.takeFirst(), QStringLiteral("Integer(0)"));
    before.takeFirst();
    QCOMPARE(after, before);

    // A calculated draft whose true mean draft is then cleared keeps its results.
    SurveyDraft draft;
    fillWorkedExample(draft);
    draft.calculate();
    before = outputs(draft);
    for (const char* zero : {"", "0", "0.000"}) {
        draft.setTrueMeanDraft(Variant(QLatin1String(zero)));
        addDeduction(draft, 24, number("75"));
        draft.calculate();
        after = outputs(draft);
        // A blank entry is stored as the Integer 0, which the calculation reads as the figure 0.
        QCOMPARE(after.takeFirst(), dec("0"));
        QCOMPARE(after, before.mid(1));
    }
    QVERIFY(MessageService::records().isEmpty());
}

void TestDraftCalculation::factorAtTheBelowAndAboveDrafts()
{
    SurveyDraft draft;
    fillWorkedExample(draft);

    draft.setTrueMeanDraft(Variant(QStringLiteral("7.20")));
    draft.calculate();
    QCOMPARE(shown(draft.ipFactor()), dec("0"));
    VariantArray2D ip = draft.ipResult();
    const QStringList below{"30000", "40", "-2.5", "420", "400"};
    for (int q = 0; q <= 4; ++q) {
        QCOMPARE(shown(ip(0, q)), dec("0"));
        QCOMPARE(shown(ip(1, q)), QStringLiteral("Decimal(%1)").arg(below[q]));
    }

    draft.setTrueMeanDraft(Variant(QStringLiteral("7.3")));
    draft.calculate();
    QCOMPARE(shown(draft.ipFactor()), dec("1"));
    ip = draft.ipResult();
    const QStringList above{"30400", "40.2", "-2.4", "424", "403"};
    for (int q = 0; q <= 4; ++q)
        QCOMPARE(shown(ip(1, q)), QStringLiteral("Decimal(%1)").arg(above[q]));
    QCOMPARE(shown(draft.finalResult()[0]), dec("30400"));
    QVERIFY(MessageService::records().isEmpty());
}

void TestDraftCalculation::equalTableDraftsGiveFactorZero()
{
    SurveyDraft draft;
    fillWorkedExample(draft);
    VariantArray2D sameDraft(2, 1);
    sameDraft.fill(Variant(QStringLiteral("7.20")));
    draft.setHdt(sameDraft);
    draft.calculate();
    QVERIFY(MessageService::records().isEmpty());
    QCOMPARE(shown(draft.ipFactor()), QStringLiteral("Integer(0)"));
    const VariantArray2D ip = draft.ipResult();
    const QStringList below{"30000", "40", "-2.5", "420", "400"};
    for (int q = 0; q <= 4; ++q)
        QCOMPARE(shown(ip(1, q)), QStringLiteral("Decimal(%1)").arg(below[q]));
}

void TestDraftCalculation::neverSetMctcBelowCountsAsZero()
{
    SurveyDraft draft;
    draft.setShipId(Variant(QString::number(m_ship)));
    draft.setSpecificGravity(Variant(QStringLiteral("1.025")));
    draft.setTrueTrim(Variant(QStringLiteral("0.6")));
    draft.setTrueMeanDraft(Variant(QStringLiteral("7.25")));
    draft.setHdt(table({{"7.20", "30000", "40.0", "-2.5"}, {"7.30", "30400", "40.2", "-2.4"}}));
    draft.setMctcPlus50(table({{"7.70", "420"}, {"7.80", "424"}}));
    draft.calculate();
    QVERIFY(MessageService::records().isEmpty());

    const VariantArray2D ip = draft.ipResult();
    QCOMPARE(shown(ip(0, 4)), dec("0"));
    QCOMPARE(shown(ip(1, 4)), dec("0"));
    // 0.6 x 0.6 x (422 - 0) x 50 / 180
    QCOMPARE(shown(draft.finalResult()[2]), dec("42.2"));
}

void TestDraftCalculation::emptyDeductionsList()
{
    SurveyDraft draft;
    fillWorkedExample(draft);
    draft.resetDeductions();
    draft.calculate();
    QVERIFY(MessageService::records().isEmpty());
    const QVector<Variant> r = draft.finalResult();
    QCOMPARE(shown(r[8]), QStringLiteral("Integer(0)"));
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Integer(0)"));
    QCOMPARE(shown(r[9]), dec("29848.62818"));
}

void TestDraftCalculation::shipWithoutLengthStopsAfterTheDisplacement()
{
    for (const int ship : {m_zeroLbp, m_nullLbp, 987654}) {
        MessageService::clearRecords();
        SurveyDraft draft;
        fillThirds(draft);
        draft.setShipId(Variant(QString::number(ship)));
        draft.setTotalDeductibles(Variant(QStringLiteral("42")));
        draft.calculate();

        QCOMPARE(MessageService::records().size(), 1);
        const MessageRecord box = MessageService::records().first();
        QCOMPARE(box.text, QStringLiteral("clsDraft::Calculate"));
        QCOMPARE(box.title, QStringLiteral("Quorvane Lt"));
        QCOMPARE(box.icon, Msg::Icon::None);
        QCOMPARE(box.buttons, Msg::Buttons::Ok);

        // Interpolated, not yet rounded; the displacement at the true mean draft is written.
        QCOMPARE(shown(draft.ipFactor()), dec("0.3333333333333333333333333333"));
        QCOMPARE(shown(draft.ipResult()(0, 0)), dec("333.3333333333333333333333333"));
        QCOMPARE(shown(draft.ipResult()(1, 3)), dec("421.6666666666666666666666667"));
        const QVector<Variant> r = draft.finalResult();
        QCOMPARE(shown(r[0]), dec("30333.33333333333333333333333"));
        for (int n = 1; n <= 11; ++n)
            QCOMPARE(shown(r[n]), kEmptyText);
        QCOMPARE(shown(draft.totalDeductibles()), dec("42"));
    }
}

void TestDraftCalculation::shipWithoutLengthKeepsThePreviousCorrections()
{
    SurveyDraft draft;
    fillWorkedExample(draft);
    draft.calculate();
    const QVector<Variant> previous = draft.finalResult();

    fillThirds(draft);
    draft.setShipId(Variant(QString::number(m_zeroLbp)));
    draft.calculate();
    QCOMPARE(MessageService::records().size(), 1);
    const QVector<Variant> r = draft.finalResult();
    QCOMPARE(shown(r[0]), dec("30333.33333333333333333333333"));
    for (int n = 1; n <= 11; ++n)
        QCOMPARE(shown(r[n]), shown(previous[n]));
}

void TestDraftCalculation::densityNotGivenStopsBeforeTheTrueDisplacement()
{
    SurveyDraft draft;
    fillWorkedExample(draft, nullptr);
    QCOMPARE(shown(draft.specificGravity()), kEmptyText);
    draft.calculate();

    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(MessageService::records().first().text, QStringLiteral("clsDraft::Calculate"));
    const QVector<Variant> r = draft.finalResult();
    QCOMPARE(shown(r[4]), QStringLiteral("Integer(0)"));
    QCOMPARE(shown(r[5]), dec("30142.70333333333333333333333"));
    for (int n = 6; n <= 11; ++n)
        QCOMPARE(shown(r[n]), kEmptyText);
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Empty"));

    // A density entered blank is a density of 0: worked through, for the window to reject.
    MessageService::clearRecords();
    draft.setSpecificGravity(Variant(QStringLiteral(" ")));
    draft.calculate();
    QVERIFY(MessageService::records().isEmpty());
    QCOMPARE(shown(draft.finalResult()[7]), dec("0"));
    QCOMPARE(shown(draft.netDisplacement()), dec("-500"));
}

void TestDraftCalculation::unknownQuantityStopsAtTheNetDisplacement()
{
    SurveyDraft draft;
    fillWorkedExample(draft);
    addDeduction(draft, 24, Variant::null());
    draft.calculate();

    // The total is unknown, so no net displacement can be given: the user is told.
    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(MessageService::records().first().text, QStringLiteral("clsDraft::Calculate"));
    const QVector<Variant> r = draft.finalResult();
    QCOMPARE(shown(r[7]), dec("29848.62817886178861788617886"));
    QCOMPARE(shown(r[8]), QStringLiteral("Null"));
    QCOMPARE(shown(r[9]), kEmptyText);
    QCOMPARE(shown(draft.netDisplacement()), kEmptyText);
    QCOMPARE(shown(draft.ipResult()(1, 2)), dec("-2.45"));
}

void TestDraftCalculation::newDraftKeepsMarksAndTotalUntilRecalculated()
{
    SurveyDraft draft;
    fillWorkedExample(draft);
    draft.setFwdX(Variant(QStringLiteral("-3.1")));
    draft.calculate();
    QCOMPARE(shown(draft.totalDeductibles()), dec("500"));

    draft.clear();
    QCOMPARE(shown(draft.totalDeductibles()), dec("500"));
    QCOMPARE(shown(draft.fwdX()), dec("-3.1"));
    QCOMPARE(shown(draft.netDisplacement()), kEmptyText);

    // The ship and the MCTC tables carry over; the new survey's main table and inputs are typed.
    draft.setSpecificGravity(Variant(QStringLiteral("1.015")));
    draft.setTrueTrim(Variant(QStringLiteral("1.20")));
    draft.setTrueMeanDraft(Variant(QStringLiteral("7.25")));
    draft.setHdt(table({{"7.20", "30000", "40.0", "-2.5"}, {"7.30", "30400", "40.2", "-2.4"}}));
    draft.calculate();
    QVERIFY(MessageService::records().isEmpty());
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Integer(0)"));
    QCOMPARE(shown(draft.finalResult()[1]), dec("-65.49666666666666666666666667"));
    QCOMPARE(shown(draft.netDisplacement()), dec("29848.62818"));
}

QTEST_MAIN(TestDraftCalculation)
#include "test_draft_calculation.moc"
