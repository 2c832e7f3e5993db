// One draft of a survey: what it holds when new, how each kind of setter treats what the window
// hands it, the hydrostatic tables, the reset for a new survey and the deductions list.

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/Variant.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "model/SurveyDraft.h"
#include "tests/TestSupport.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTime>
#include <QtTest>

#include <functional>

namespace {

QString shown(const Variant& v)
{
    return v.debugString();
}

const QString kEmptyText = QStringLiteral("String(\"\")");

Decimal dec(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text), QLocale::c());
}

// Runs `action`, which must throw a runtime error with this number.
void expectError(const std::function<void()>& action, int number)
{
    try {
        action();
    } catch (const VbError& e) {
        QCOMPARE(e.number(), number);
        return;
    }
    QFAIL("no error was raised");
}

struct Property {
    const char* name;
    std::function<Variant(const SurveyDraft&)> get;
    std::function<void(SurveyDraft&, const Variant&)> set;
};

QList<Property> markingProperties()
{
    return {
        {"SpecificGravity", &SurveyDraft::specificGravity, &SurveyDraft::setSpecificGravity},
        {"FwdPort", &SurveyDraft::fwdPort, &SurveyDraft::setFwdPort},
        {"FwdStbd", &SurveyDraft::fwdStbd, &SurveyDraft::setFwdStbd},
        {"MidPort", &SurveyDraft::midPort, &SurveyDraft::setMidPort},
        {"MidStbd", &SurveyDraft::midStbd, &SurveyDraft::setMidStbd},
        {"AftPort", &SurveyDraft::aftPort, &SurveyDraft::setAftPort},
        {"AftStbd", &SurveyDraft::aftStbd, &SurveyDraft::setAftStbd},
    };
}

QList<Property> normalisingProperties()
{
    return {
        {"AftMean", &SurveyDraft::aftMean, &SurveyDraft::setAftMean},
        {"TotDeductibles", &SurveyDraft::totalDeductibles, &SurveyDraft::setTotalDeductibles},
        {"FwdCorrection", &SurveyDraft::fwdCorrection, &SurveyDraft::setFwdCorrection},
        {"MidCorrection", &SurveyDraft::midCorrection, &SurveyDraft::setMidCorrection},
        {"AftCorrection", &SurveyDraft::aftCorrection, &SurveyDraft::setAftCorrection},
        {"FwdTrueDraft", &SurveyDraft::fwdTrueDraft, &SurveyDraft::setFwdTrueDraft},
        {"MidTrueDraft", &SurveyDraft::midTrueDraft, &SurveyDraft::setMidTrueDraft},
        {"AftTrueDraft", &SurveyDraft::aftTrueDraft, &SurveyDraft::setAftTrueDraft},
        {"TrueTrim", &SurveyDraft::trueTrim, &SurveyDraft::setTrueTrim},
        {"TrueMeanDraft", &SurveyDraft::trueMeanDraft, &SurveyDraft::setTrueMeanDraft},
        {"FwdX", &SurveyDraft::fwdX, &SurveyDraft::setFwdX},
        {"MidX", &SurveyDraft::midX, &SurveyDraft::setMidX},
        {"AftX", &SurveyDraft::aftX, &SurveyDraft::setAftX},
        {"LBM", &SurveyDraft::lbm, &SurveyDraft::setLbm},
    };
}

// A table of cell texts as the window hands it over, rows and columns from the given bounds.
VariantArray2D texts(int lower1, int upper1, int lower2, int upper2, const QString& prefix)
{
    VariantArray2D a(lower1, upper1, lower2, upper2);
    for (int i = lower1; i <= upper1; ++i)
        for (int j = lower2; j <= upper2; ++j)
            a(i, j) = Variant(QStringLiteral(" %1%2.%3 ").arg(prefix).arg(i + 1).arg(j + 1));
    return a;
}

void addDeduction(SurveyDraft& draft, int itemId, const Variant& quantity)
{
    RowSet& list = draft.deductions();
    list.addNew();
    list.setValue(QStringLiteral("ItemID"), Variant::longInt(itemId));
    list.setValue(QStringLiteral("Quantity"), quantity);
}

}  // namespace

class TestDraft : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void freshDraftHoldsClearedAndNeverAssignedValues();
    void markingSettersCompareTexts();
    void eachMarkingSetterWritesItsOwnReading();
    void markingSettersRefuseWhatIsNotANumber();
    void markingTextSettersCompareExactly();
    void normalisingUnchangedAndPlainSetters();
    void tablesCopyElementByElement();
    void tablesStopAtTheFirstCellOutsideTheTable();
    void newDraftClearsTheSurveyButKeepsMarksAndTables();
    void shipIdIsConvertedBeforeTheShipIsLoaded();
    void totalOfDeductions();
    void totalStopsAtAnOverflowAndKeepsWhatItHad();
    void deductionsListThatCannotBeOpened();

private:
    QTemporaryDir m_dir;
};

void TestDraft::initTestCase()
{
    TestSupport::initTestEnvironment();
    QVERIFY(m_dir.isValid());
    QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
}

void TestDraft::init()
{
    MessageService::clearRecords();
}

void TestDraft::freshDraftHoldsClearedAndNeverAssignedValues()
{
    const QString dateBefore = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    const QString timeBefore = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    SurveyDraft draft;
    const QString dateAfter = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    const QString timeAfter = QTime::currentTime().toString(QStringLiteral("HH:mm"));

    QVERIFY(MessageService::records().isEmpty());
    QVERIFY(draft.surveyDate() == dateBefore || draft.surveyDate() == dateAfter);
    QVERIFY(draft.surveyTime() == timeBefore || draft.surveyTime() == timeAfter);
    QVERIFY(
        QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d{4}$")).match(draft.surveyDate()).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(draft.surveyTime()).hasMatch());
    QCOMPARE(draft.comments(), QString());
    QCOMPARE(draft.needsSaving(), false);
    QCOMPARE(draft.hasRecord(), false);
    QCOMPARE(draft.draftType(), qint16(0));

    // Cleared by the reset: empty text.
    for (const Property& p : markingProperties())
        QCOMPARE(shown(p.get(draft)), kEmptyText);
    for (const Variant& v : {draft.fwdMean(), draft.midMean(), draft.aftMean(), draft.apparentTrim(),
                             draft.fwdCorrection(), draft.midCorrection(), draft.aftCorrection(),
                             draft.fwdTrueDraft(), draft.midTrueDraft(), draft.aftTrueDraft(),
                             draft.trueTrim(), draft.trueMeanDraft(), draft.ipFactor(),
                             draft.netDisplacement()})
        QCOMPARE(shown(v), kEmptyText);
    const VariantArray2D hdt = draft.hdt();
    QCOMPARE(hdt.upperBound(1), 2);
    QCOMPARE(hdt.upperBound(2), 5);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 5; ++j)
            QCOMPARE(shown(hdt(i, j)), kEmptyText);
    const VariantArray2D ip = draft.ipResult();
    QCOMPARE(ip.upperBound(1), 1);
    QCOMPARE(ip.upperBound(2), 4);
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 4; ++j)
            QCOMPARE(shown(ip(i, j)), kEmptyText);
    QCOMPARE(draft.finalResult().size(), 12);
    for (const Variant& v : draft.finalResult())
        QCOMPARE(shown(v), kEmptyText);

    // Never assigned: the Empty value, not empty text.
    for (const Variant& v : {draft.fwdX(), draft.midX(), draft.aftX(), draft.lbm(), draft.totalDeductibles()})
        QCOMPARE(shown(v), QStringLiteral("Empty"));
    for (const VariantArray2D& table : {draft.mctcPlus50(), draft.mctcMinus50()}) {
        QCOMPARE(table.upperBound(1), 2);
        QCOMPARE(table.upperBound(2), 1);
        for (int i = 0; i <= 2; ++i)
            for (int j = 0; j <= 1; ++j)
                QCOMPARE(shown(table(i, j)), QStringLiteral("Empty"));
    }

    // An open, empty list shaped like DeductionTrans.
    QVERIFY(draft.deductions().isOpen());
    QCOMPARE(draft.deductions().recordCount(), 0);
    for (const char* column : {"DraftID", "ItemID", "Quantity"})
        QVERIFY(draft.deductions().hasColumn(QLatin1String(column)));
}

void TestDraft::markingSettersCompareTexts()
{
    SurveyDraft draft;

    // Blank over the cleared value: both texts are empty, nothing happens.
    draft.setFwdPort(Variant(QStringLiteral("")));
    QCOMPARE(shown(draft.fwdPort()), kEmptyText);
    QCOMPARE(draft.needsSaving(), false);

    draft.setFwdPort(Variant(QStringLiteral("5.2")));
    QCOMPARE(shown(draft.fwdPort()), QStringLiteral("Decimal(5.2)"));
    QCOMPARE(draft.needsSaving(), true);

    // Retyped the same: no change. The same figure as a number: no change either.
    draft.setNeedsSaving(false);
    draft.setFwdPort(Variant(QStringLiteral("5.2")));
    draft.setFwdPort(Variant(dec("5.2")));
    QCOMPARE(draft.needsSaving(), false);

    // "5.20" reads differently from 5.2: stored again, and the draft is marked.
    draft.setFwdPort(Variant(QStringLiteral("5.20")));
    QCOMPARE(shown(draft.fwdPort()), QStringLiteral("Decimal(5.2)"));
    QCOMPARE(draft.needsSaving(), true);

    // Two blanks differ from the text "5.2": stored as the Integer 0.
    draft.setNeedsSaving(false);
    draft.setFwdPort(Variant(QStringLiteral("  ")));
    QCOMPARE(shown(draft.fwdPort()), QStringLiteral("Integer(0)"));
    QCOMPARE(draft.needsSaving(), true);

    // "0" reads as the Integer 0 does: no change. "0.0" does not: a Decimal 0 now.
    draft.setNeedsSaving(false);
    draft.setFwdPort(Variant(QStringLiteral("0")));
    QCOMPARE(shown(draft.fwdPort()), QStringLiteral("Integer(0)"));
    QCOMPARE(draft.needsSaving(), false);
    draft.setFwdPort(Variant(QStringLiteral("0.0")));
    QCOMPARE(shown(draft.fwdPort()), QStringLiteral("Decimal(0)"));
    QCOMPARE(draft.needsSaving(), true);

    // On a fresh draft, blanks other than the empty text are a change.
    SurveyDraft fresh;
    fresh.setSpecificGravity(Variant(QStringLiteral(" ")));
    QCOMPARE(shown(fresh.specificGravity()), QStringLiteral("Integer(0)"));
    QCOMPARE(fresh.needsSaving(), true);
}

void TestDraft::eachMarkingSetterWritesItsOwnReading()
{
    SurveyDraft draft;
    const QList<Property> props = markingProperties();
    for (int n = 0; n < props.size(); ++n)
        props[n].set(draft, Variant(QStringLiteral(" %1.05").arg(n + 1)));
    for (int n = 0; n < props.size(); ++n)
        QCOMPARE(shown(props[n].get(draft)), QStringLiteral("Decimal(%1.05)").arg(n + 1));
    QCOMPARE(draft.needsSaving(), true);
}

void TestDraft::markingSettersRefuseWhatIsNotANumber()
{
    SurveyDraft draft;
    draft.setAftStbd(Variant(QStringLiteral("7.35")));
    draft.setNeedsSaving(false);

    expectError([&] { draft.setAftStbd(Variant(QStringLiteral("7.3a"))); }, 13);
    QCOMPARE(shown(draft.aftStbd()), QStringLiteral("Decimal(7.35)"));
    QCOMPARE(draft.needsSaving(), false);

    expectError([&] { draft.setAftStbd(Variant::null()); }, 94);
    QCOMPARE(shown(draft.aftStbd()), QStringLiteral("Decimal(7.35)"));
    QCOMPARE(draft.needsSaving(), false);
}

void TestDraft::markingTextSettersCompareExactly()
{
    SurveyDraft draft;
    const QString today = draft.surveyDate();

    draft.setSurveyDate(today);
    draft.setComments(QString());
    QCOMPARE(draft.needsSaving(), false);

    draft.setComments(QStringLiteral("Swell from the south"));
    QCOMPARE(draft.comments(), QStringLiteral("Swell from the south"));
    QCOMPARE(draft.needsSaving(), true);

    draft.setNeedsSaving(false);
    draft.setComments(QStringLiteral("Swell from the south"));
    QCOMPARE(draft.needsSaving(), false);
    draft.setComments(QStringLiteral("swell from the south"));
    QCOMPARE(draft.comments(), QStringLiteral("swell from the south"));
    QCOMPARE(draft.needsSaving(), true);

    draft.setNeedsSaving(false);
    draft.setSurveyTime(QStringLiteral("06:45"));
    QCOMPARE(draft.surveyTime(), QStringLiteral("06:45"));
    QCOMPARE(draft.needsSaving(), true);

    draft.setNeedsSaving(false);
    draft.setSurveyDate(QStringLiteral("05-03-2004"));
    QCOMPARE(draft.surveyDate(), QStringLiteral("05-03-2004"));
    QCOMPARE(draft.needsSaving(), true);
}

void TestDraft::normalisingUnchangedAndPlainSetters()
{
    SurveyDraft draft;

    // The aft mean is normalised, the forward and midship means are kept as handed over.
    draft.setAftMean(Variant(QStringLiteral("7.5")));
    draft.setFwdMean(Variant(QStringLiteral("7.5")));
    draft.setMidMean(Variant(dec("7.50")));
    QCOMPARE(shown(draft.aftMean()), QStringLiteral("Decimal(7.5)"));
    QCOMPARE(shown(draft.fwdMean()), QStringLiteral("String(\"7.5\")"));
    QCOMPARE(shown(draft.midMean()), QStringLiteral("Decimal(7.5)"));
    draft.setFwdMean(Variant(QStringLiteral("not a draft")));
    QCOMPARE(shown(draft.fwdMean()), QStringLiteral("String(\"not a draft\")"));

    // Every normalising setter: its own property, blank gives the Integer 0, needsSaving untouched.
    const QList<Property> props = normalisingProperties();
    for (int n = 0; n < props.size(); ++n)
        props[n].set(draft, Variant(QStringLiteral(" -%1.250 ").arg(n)));
    for (int n = 0; n < props.size(); ++n) {
        QCOMPARE(shown(props[n].get(draft)), QStringLiteral("Decimal(-%1.25)").arg(n));
        QVERIFY(props[n].get(draft).isDecimal());
    }
    for (const Property& p : props) {
        p.set(draft, Variant(QStringLiteral("")));
        QCOMPARE(shown(p.get(draft)), QStringLiteral("Integer(0)"));
        p.set(draft, Variant(QStringLiteral("0")));
        QCOMPARE(shown(p.get(draft)), QStringLiteral("Decimal(0)"));
    }
    QCOMPARE(draft.needsSaving(), false);

    // A value that is not a number is refused and the property keeps what it had.
    draft.setLbm(Variant(QStringLiteral("171.3")));
    expectError([&] { draft.setLbm(Variant(QStringLiteral("171,3 m"))); }, 13);
    QCOMPARE(shown(draft.lbm()), QStringLiteral("Decimal(171.3)"));

    // Plain setters store what they are given.
    draft.setDraftType(1);
    QCOMPARE(draft.draftType(), qint16(1));
    draft.setNeedsSaving(true);
    QCOMPARE(draft.needsSaving(), true);
    draft.setHasRecord(true);
    QCOMPARE(draft.hasRecord(), true);
    draft.setHasRecord(false);
    QCOMPARE(draft.hasRecord(), false);

    // The apparent trim is never worked out by the draft.
    QCOMPARE(shown(draft.apparentTrim()), kEmptyText);
}

void TestDraft::tablesCopyElementByElement()
{
    SurveyDraft draft;
    draft.setHdt(texts(0, 2, 0, 5, QStringLiteral("7")));
    QCOMPARE(shown(draft.hdt()(0, 0)), QStringLiteral("Decimal(71.1)"));
    QCOMPARE(shown(draft.hdt()(2, 5)), QStringLiteral("Decimal(73.6)"));

    // A 3 x 5 table leaves column 5 as it was; blanks become the Integer 0.
    VariantArray2D narrow(3, 5);
    narrow.fill(Variant(QStringLiteral("")));
    narrow(1, 4) = Variant(QStringLiteral("412.5"));
    draft.setHdt(narrow);
    const VariantArray2D hdt = draft.hdt();
    for (int i = 0; i <= 2; ++i) {
        for (int j = 0; j <= 4; ++j)
            QCOMPARE(shown(hdt(i, j)), i == 1 && j == 4 ? QStringLiteral("Decimal(412.5)")
                                                        : QStringLiteral("Integer(0)"));
        QCOMPARE(shown(hdt(i, 5)), QStringLiteral("Decimal(7%1.6)").arg(i + 1));
    }

    // The getter hands out a copy.
    VariantArray2D copy = draft.hdt();
    copy(0, 0) = Variant(QStringLiteral("99"));
    QCOMPARE(shown(draft.hdt()(0, 0)), QStringLiteral("Integer(0)"));

    // The MCTC tables are their own arrays.
    draft.setMctcPlus50(texts(0, 2, 0, 1, QStringLiteral("4")));
    draft.setMctcMinus50(texts(0, 2, 0, 1, QStringLiteral("3")));
    QCOMPARE(shown(draft.mctcPlus50()(1, 1)), QStringLiteral("Decimal(42.2)"));
    QCOMPARE(shown(draft.mctcMinus50()(1, 1)), QStringLiteral("Decimal(32.2)"));
    QCOMPARE(shown(draft.hdt()(1, 1)), QStringLiteral("Integer(0)"));

    // A part of a table, given with its own bounds, changes only that part.
    VariantArray2D corner(1, 2, 1, 1);
    corner.fill(Variant(QStringLiteral("404")));
    draft.setMctcMinus50(corner);
    QCOMPARE(shown(draft.mctcMinus50()(0, 1)), QStringLiteral("Decimal(31.2)"));
    QCOMPARE(shown(draft.mctcMinus50()(1, 0)), QStringLiteral("Decimal(32.1)"));
    QCOMPARE(shown(draft.mctcMinus50()(1, 1)), QStringLiteral("Decimal(404)"));
    QCOMPARE(shown(draft.mctcMinus50()(2, 1)), QStringLiteral("Decimal(404)"));
    QCOMPARE(draft.needsSaving(), false);
}

void TestDraft::tablesStopAtTheFirstCellOutsideTheTable()
{
    SurveyDraft draft;

    // 4 x 6: rows 0 to 2 are copied, then row 3 is out of range.
    expectError([&] { draft.setHdt(texts(0, 3, 0, 5, QStringLiteral("5"))); }, 9);
    const VariantArray2D hdt = draft.hdt();
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 5; ++j)
            QCOMPARE(shown(hdt(i, j)), QStringLiteral("Decimal(5%1.%2)").arg(i + 1).arg(j + 1));

    // 3 x 6 into a 3 x 2 table: the first row's two cells are copied, then column 2 fails.
    expectError([&] { draft.setMctcPlus50(texts(0, 2, 0, 5, QStringLiteral("4"))); }, 9);
    const VariantArray2D p50 = draft.mctcPlus50();
    QCOMPARE(shown(p50(0, 0)), QStringLiteral("Decimal(41.1)"));
    QCOMPARE(shown(p50(0, 1)), QStringLiteral("Decimal(41.2)"));
    QCOMPARE(shown(p50(1, 0)), QStringLiteral("Empty"));

    // An index below the table fails at once.
    expectError([&] { draft.setMctcMinus50(texts(-1, 1, 0, 1, QStringLiteral("3"))); }, 9);
    QCOMPARE(shown(draft.mctcMinus50()(0, 0)), QStringLiteral("Empty"));

    // A cell that is not a number stops the copy there.
    VariantArray2D bad = texts(0, 2, 0, 1, QStringLiteral("6"));
    bad(1, 0) = Variant(QStringLiteral("7.2O"));
    expectError([&] { draft.setMctcMinus50(bad); }, 13);
    const VariantArray2D m50 = draft.mctcMinus50();
    QCOMPARE(shown(m50(0, 1)), QStringLiteral("Decimal(61.2)"));
    QCOMPARE(shown(m50(1, 0)), QStringLiteral("Empty"));
}

void TestDraft::newDraftClearsTheSurveyButKeepsMarksAndTables()
{
    SurveyDraft draft;
    draft.setDraftType(1);
    draft.setSpecificGravity(Variant(QStringLiteral("1.015")));
    draft.setFwdPort(Variant(QStringLiteral("6.1")));
    draft.setAftStbd(Variant(QStringLiteral("7.9")));
    draft.setComments(QStringLiteral("Initial survey"));
    draft.setSurveyDate(QStringLiteral("01-01-2001"));
    draft.setSurveyTime(QStringLiteral("00:01"));
    draft.setFwdMean(Variant(QStringLiteral("6.1")));
    draft.setAftMean(Variant(QStringLiteral("7.9")));
    draft.setTrueTrim(Variant(QStringLiteral("1.8")));
    draft.setTrueMeanDraft(Variant(QStringLiteral("7.01")));
    draft.setFwdX(Variant(QStringLiteral("-2.5")));
    draft.setMidX(Variant(QStringLiteral("0.3")));
    draft.setAftX(Variant(QStringLiteral("4.1")));
    draft.setLbm(Variant(QStringLiteral("173.4")));
    draft.setTotalDeductibles(Variant(QStringLiteral("512.75")));
    draft.setHdt(texts(0, 2, 0, 5, QStringLiteral("7")));
    draft.setMctcPlus50(texts(0, 2, 0, 1, QStringLiteral("4")));
    draft.setMctcMinus50(texts(0, 2, 0, 1, QStringLiteral("3")));
    addDeduction(draft, 2, Variant(dec("300")));
    draft.setHasRecord(true);
    QVERIFY(draft.needsSaving());

    draft.clear();

    QVERIFY(MessageService::records().isEmpty());
    QCOMPARE(draft.needsSaving(), false);
    QCOMPARE(draft.hasRecord(), false);
    QCOMPARE(draft.surveyDate(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
    QCOMPARE(draft.comments(), QString());
    QCOMPARE(shown(draft.specificGravity()), kEmptyText);
    QCOMPARE(shown(draft.fwdPort()), kEmptyText);
    QCOMPARE(shown(draft.aftStbd()), kEmptyText);
    QCOMPARE(shown(draft.fwdMean()), kEmptyText);
    QCOMPARE(shown(draft.aftMean()), kEmptyText);
    QCOMPARE(shown(draft.trueTrim()), kEmptyText);
    QCOMPARE(shown(draft.trueMeanDraft()), kEmptyText);
    QCOMPARE(shown(draft.hdt()(1, 3)), kEmptyText);
    QCOMPARE(shown(draft.netDisplacement()), kEmptyText);
    // The rows the window added are gone.
    QVERIFY(draft.deductions().isOpen());
    QCOMPARE(draft.deductions().recordCount(), 0);

    // What the window carries from one survey to the next stays until it is set again.
    QCOMPARE(draft.draftType(), qint16(1));
    QCOMPARE(shown(draft.fwdX()), QStringLiteral("Decimal(-2.5)"));
    QCOMPARE(shown(draft.midX()), QStringLiteral("Decimal(0.3)"));
    QCOMPARE(shown(draft.aftX()), QStringLiteral("Decimal(4.1)"));
    QCOMPARE(shown(draft.lbm()), QStringLiteral("Decimal(173.4)"));
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Decimal(512.75)"));
    QCOMPARE(shown(draft.mctcPlus50()(2, 1)), QStringLiteral("Decimal(43.2)"));
    QCOMPARE(shown(draft.mctcMinus50()(0, 0)), QStringLiteral("Decimal(31.1)"));

    // ... until the total is worked out again, from the now empty list.
    QCOMPARE(shown(draft.sumDeductibles()), QStringLiteral("Integer(0)"));
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Integer(0)"));
}

void TestDraft::shipIdIsConvertedBeforeTheShipIsLoaded()
{
    SurveyDraft draft;
    // An unknown ship loads an empty record without a word; the calculation finds out later.
    draft.setShipId(Variant(QStringLiteral(" 424242 ")));
    draft.setShipId(Variant(QStringLiteral("")));
    QVERIFY(MessageService::records().isEmpty());
    expectError([&] { draft.setShipId(Variant(QStringLiteral("MV Example"))); }, 13);
    expectError([&] { draft.setShipId(Variant(QStringLiteral("3000000000"))); }, 6);
    QVERIFY(MessageService::records().isEmpty());
}

void TestDraft::totalOfDeductions()
{
    SurveyDraft draft;
    QCOMPARE(shown(draft.sumDeductibles()), QStringLiteral("Integer(0)"));

    addDeduction(draft, 2, Variant(dec("300.125")));
    addDeduction(draft, 3, Variant(dec("199.875")));
    addDeduction(draft, 24, Variant(dec("0.5")));
    QCOMPARE(shown(draft.sumDeductibles()), QStringLiteral("Decimal(500.5)"));
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Decimal(500.5)"));
    // The list is left at its end.
    QVERIFY(draft.deductions().eof());

    // A quantity without a value leaves the total unknown.
    addDeduction(draft, 25, Variant::null());
    addDeduction(draft, 26, Variant(dec("12")));
    QCOMPARE(shown(draft.sumDeductibles()), QStringLiteral("Null"));
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Null"));
    QVERIFY(MessageService::records().isEmpty());
}

void TestDraft::totalStopsAtAnOverflowAndKeepsWhatItHad()
{
    SurveyDraft draft;
    addDeduction(draft, 2, Variant(dec("12.5")));
    addDeduction(draft, 3, Variant(Decimal::maxValue()));
    addDeduction(draft, 24, Variant(dec("1")));

    QCOMPARE(shown(draft.sumDeductibles()), QStringLiteral("Empty"));
    QCOMPARE(MessageService::records().size(), 1);
    const MessageRecord box = MessageService::records().first();
    QCOMPARE(box.text, QStringLiteral("clsDraft::GetTotDeductibles"));
    QCOMPARE(box.title, QStringLiteral("Quorvane Lt"));
    QCOMPARE(box.icon, Msg::Icon::None);
    QCOMPARE(box.buttons, Msg::Buttons::Ok);
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Decimal(12.5)"));
}

void TestDraft::deductionsListThatCannotBeOpened()
{
    SurveyDraft draft;
    addDeduction(draft, 2, Variant(dec("300")));
    closeDatabase();
    draft.resetDeductions();
    openDatabase();
    QVERIFY(!startupFailed());

    QCOMPARE(MessageService::records().size(), 1);
    const MessageRecord box = MessageService::records().first();
    QVERIFY(box.text.endsWith(QStringLiteral("\r\n\r\nSource :  clsDraft::InitDeductions")));
    QVERIFY(!box.text.startsWith(QStringLiteral("\r\n")));
    QCOMPARE(box.title, QStringLiteral("Quorvane Lt"));
    QCOMPARE(box.icon, Msg::Icon::Critical);
    QVERIFY(!draft.deductions().isOpen());

    // The total on a closed list reports for itself and keeps the 0 it started from.
    MessageService::clearRecords();
    QCOMPARE(shown(draft.sumDeductibles()), QStringLiteral("Empty"));
    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(MessageService::records().first().text, QStringLiteral("clsDraft::GetTotDeductibles"));
    QCOMPARE(shown(draft.totalDeductibles()), QStringLiteral("Integer(0)"));

    // Once the database is back, the next reset opens the list again.
    MessageService::clearRecords();
    draft.clear();
    QVERIFY(MessageService::records().isEmpty());
    QVERIFY(draft.deductions().isOpen());
}

QTEST_MAIN(TestDraft)
#include "test_draft.moc"
