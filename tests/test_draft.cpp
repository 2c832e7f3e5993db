// One draft of a survey: what it holds when new, how each kind of setter treats what the window
// hands it, the hydrostatic tables, the reset for a new survey and the deductions list.

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/Variant.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "model/clsDraft.h"
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
    std::function<Variant(const clsDraft&)> get;
    std::function<void(clsDraft&, const Variant&)> set;
};

QList<Property> markingProperties()
{
    return {
        {"SpecificGravity", &clsDraft::SpecificGravity, &clsDraft::setSpecificGravity},
        {"FwdPort", &clsDraft::FwdPort, &clsDraft::setFwdPort},
        {"FwdStbd", &clsDraft::FwdStbd, &clsDraft::setFwdStbd},
        {"MidPort", &clsDraft::MidPort, &clsDraft::setMidPort},
        {"MidStbd", &clsDraft::MidStbd, &clsDraft::setMidStbd},
        {"AftPort", &clsDraft::AftPort, &clsDraft::setAftPort},
        {"AftStbd", &clsDraft::AftStbd, &clsDraft::setAftStbd},
    };
}

QList<Property> normalisingProperties()
{
    return {
        {"AftMean", &clsDraft::AftMean, &clsDraft::setAftMean},
        {"TotDeductibles", &clsDraft::TotDeductibles, &clsDraft::setTotDeductibles},
        {"FwdCorrection", &clsDraft::FwdCorrection, &clsDraft::setFwdCorrection},
        {"MidCorrection", &clsDraft::MidCorrection, &clsDraft::setMidCorrection},
        {"AftCorrection", &clsDraft::AftCorrection, &clsDraft::setAftCorrection},
        {"FwdTrueDraft", &clsDraft::FwdTrueDraft, &clsDraft::setFwdTrueDraft},
        {"MidTrueDraft", &clsDraft::MidTrueDraft, &clsDraft::setMidTrueDraft},
        {"AftTrueDraft", &clsDraft::AftTrueDraft, &clsDraft::setAftTrueDraft},
        {"TrueTrim", &clsDraft::TrueTrim, &clsDraft::setTrueTrim},
        {"TrueMeanDraft", &clsDraft::TrueMeanDraft, &clsDraft::setTrueMeanDraft},
        {"FwdX", &clsDraft::FwdX, &clsDraft::setFwdX},
        {"MidX", &clsDraft::MidX, &clsDraft::setMidX},
        {"AftX", &clsDraft::AftX, &clsDraft::setAftX},
        {"LBM", &clsDraft::LBM, &clsDraft::setLBM},
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

void addDeduction(clsDraft& draft, int itemId, const Variant& quantity)
{
    RowSet& list = draft.Deductions();
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
    clsDraft draft;
    const QString dateAfter = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    const QString timeAfter = QTime::currentTime().toString(QStringLiteral("HH:mm"));

    QVERIFY(MessageService::records().isEmpty());
    QVERIFY(draft.DSDate() == dateBefore || draft.DSDate() == dateAfter);
    QVERIFY(draft.DSTime() == timeBefore || draft.DSTime() == timeAfter);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d{4}$")).match(draft.DSDate()).hasMatch());
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(draft.DSTime()).hasMatch());
    QCOMPARE(draft.Comments(), QString());
    QCOMPARE(draft.ToSave(), false);
    QCOMPARE(draft.HasRecord(), false);
    QCOMPARE(draft.DraftType(), qint16(0));

    // Cleared by the reset: empty text.
    for (const Property& p : markingProperties())
        QCOMPARE(shown(p.get(draft)), kEmptyText);
    for (const Variant& v : {draft.FwdMean(), draft.MidMean(), draft.AftMean(), draft.ApparentTrim(),
                             draft.FwdCorrection(), draft.MidCorrection(), draft.AftCorrection(),
                             draft.FwdTrueDraft(), draft.MidTrueDraft(), draft.AftTrueDraft(),
                             draft.TrueTrim(), draft.TrueMeanDraft(), draft.IpFactor(),
                             draft.NetDisplacement()})
        QCOMPARE(shown(v), kEmptyText);
    const VariantArray2D hdt = draft.HDT();
    QCOMPARE(hdt.upperBound(1), 2);
    QCOMPARE(hdt.upperBound(2), 5);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 5; ++j)
            QCOMPARE(shown(hdt(i, j)), kEmptyText);
    const VariantArray2D ip = draft.IpResult();
    QCOMPARE(ip.upperBound(1), 1);
    QCOMPARE(ip.upperBound(2), 4);
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 4; ++j)
            QCOMPARE(shown(ip(i, j)), kEmptyText);
    QCOMPARE(draft.FinalResult().size(), 12);
    for (const Variant& v : draft.FinalResult())
        QCOMPARE(shown(v), kEmptyText);

    // Never assigned: the Empty value, not empty text.
    for (const Variant& v : {draft.FwdX(), draft.MidX(), draft.AftX(), draft.LBM(), draft.TotDeductibles()})
        QCOMPARE(shown(v), QStringLiteral("Empty"));
    for (const VariantArray2D& table : {draft.MCTCP50(), draft.MCTCM50()}) {
        QCOMPARE(table.upperBound(1), 2);
        QCOMPARE(table.upperBound(2), 1);
        for (int i = 0; i <= 2; ++i)
            for (int j = 0; j <= 1; ++j)
                QCOMPARE(shown(table(i, j)), QStringLiteral("Empty"));
    }

    // An open, empty list shaped like DeductionTrans.
    QVERIFY(draft.Deductions().isOpen());
    QCOMPARE(draft.Deductions().recordCount(), 0);
    for (const char* column : {"DraftID", "ItemID", "Quantity"})
        QVERIFY(draft.Deductions().hasColumn(QLatin1String(column)));
}

void TestDraft::markingSettersCompareTexts()
{
    clsDraft draft;

    // Blank over the cleared value: both texts are empty, nothing happens.
    draft.setFwdPort(Variant(QStringLiteral("")));
    QCOMPARE(shown(draft.FwdPort()), kEmptyText);
    QCOMPARE(draft.ToSave(), false);

    draft.setFwdPort(Variant(QStringLiteral("5.2")));
    QCOMPARE(shown(draft.FwdPort()), QStringLiteral("Decimal(5.2)"));
    QCOMPARE(draft.ToSave(), true);

    // Retyped the same: no change. The same figure as a number: no change either.
    draft.setToSave(false);
    draft.setFwdPort(Variant(QStringLiteral("5.2")));
    draft.setFwdPort(Variant(dec("5.2")));
    QCOMPARE(draft.ToSave(), false);

    // "5.20" reads differently from 5.2: stored again, and the draft is marked.
    draft.setFwdPort(Variant(QStringLiteral("5.20")));
    QCOMPARE(shown(draft.FwdPort()), QStringLiteral("Decimal(5.2)"));
    QCOMPARE(draft.ToSave(), true);

    // Two blanks differ from the text "5.2": stored as the Integer 0.
    draft.setToSave(false);
    draft.setFwdPort(Variant(QStringLiteral("  ")));
    QCOMPARE(shown(draft.FwdPort()), QStringLiteral("Integer(0)"));
    QCOMPARE(draft.ToSave(), true);

    // "0" reads as the Integer 0 does: no change. "0.0" does not: a Decimal 0 now.
    draft.setToSave(false);
    draft.setFwdPort(Variant(QStringLiteral("0")));
    QCOMPARE(shown(draft.FwdPort()), QStringLiteral("Integer(0)"));
    QCOMPARE(draft.ToSave(), false);
    draft.setFwdPort(Variant(QStringLiteral("0.0")));
    QCOMPARE(shown(draft.FwdPort()), QStringLiteral("Decimal(0)"));
    QCOMPARE(draft.ToSave(), true);

    // On a fresh draft, blanks other than the empty text are a change.
    clsDraft fresh;
    fresh.setSpecificGravity(Variant(QStringLiteral(" ")));
    QCOMPARE(shown(fresh.SpecificGravity()), QStringLiteral("Integer(0)"));
    QCOMPARE(fresh.ToSave(), true);
}

void TestDraft::eachMarkingSetterWritesItsOwnReading()
{
    clsDraft draft;
    const QList<Property> props = markingProperties();
    for (int n = 0; n < props.size(); ++n)
        props[n].set(draft, Variant(QStringLiteral(" %1.05").arg(n + 1)));
    for (int n = 0; n < props.size(); ++n)
        QCOMPARE(shown(props[n].get(draft)), QStringLiteral("Decimal(%1.05)").arg(n + 1));
    QCOMPARE(draft.ToSave(), true);
}

void TestDraft::markingSettersRefuseWhatIsNotANumber()
{
    clsDraft draft;
    draft.setAftStbd(Variant(QStringLiteral("7.35")));
    draft.setToSave(false);

    expectError([&] { draft.setAftStbd(Variant(QStringLiteral("7.3a"))); }, 13);
    QCOMPARE(shown(draft.AftStbd()), QStringLiteral("Decimal(7.35)"));
    QCOMPARE(draft.ToSave(), false);

    expectError([&] { draft.setAftStbd(Variant::null()); }, 94);
    QCOMPARE(shown(draft.AftStbd()), QStringLiteral("Decimal(7.35)"));
    QCOMPARE(draft.ToSave(), false);
}

void TestDraft::markingTextSettersCompareExactly()
{
    clsDraft draft;
    const QString today = draft.DSDate();

    draft.setDSDate(today);
    draft.setComments(QString());
    QCOMPARE(draft.ToSave(), false);

    draft.setComments(QStringLiteral("Swell from the south"));
    QCOMPARE(draft.Comments(), QStringLiteral("Swell from the south"));
    QCOMPARE(draft.ToSave(), true);

    draft.setToSave(false);
    draft.setComments(QStringLiteral("Swell from the south"));
    QCOMPARE(draft.ToSave(), false);
    draft.setComments(QStringLiteral("swell from the south"));
    QCOMPARE(draft.Comments(), QStringLiteral("swell from the south"));
    QCOMPARE(draft.ToSave(), true);

    draft.setToSave(false);
    draft.setDSTime(QStringLiteral("06:45"));
    QCOMPARE(draft.DSTime(), QStringLiteral("06:45"));
    QCOMPARE(draft.ToSave(), true);

    draft.setToSave(false);
    draft.setDSDate(QStringLiteral("05-03-2004"));
    QCOMPARE(draft.DSDate(), QStringLiteral("05-03-2004"));
    QCOMPARE(draft.ToSave(), true);
}

void TestDraft::normalisingUnchangedAndPlainSetters()
{
    clsDraft draft;

    // The aft mean is normalised, the forward and midship means are kept as handed over.
    draft.setAftMean(Variant(QStringLiteral("7.5")));
    draft.setFwdMean(Variant(QStringLiteral("7.5")));
    draft.setMidMean(Variant(dec("7.50")));
    QCOMPARE(shown(draft.AftMean()), QStringLiteral("Decimal(7.5)"));
    QCOMPARE(shown(draft.FwdMean()), QStringLiteral("String(\"7.5\")"));
    QCOMPARE(shown(draft.MidMean()), QStringLiteral("Decimal(7.5)"));
    draft.setFwdMean(Variant(QStringLiteral("not a draft")));
    QCOMPARE(shown(draft.FwdMean()), QStringLiteral("String(\"not a draft\")"));

    // Every normalising setter: its own property, blank gives the Integer 0, ToSave untouched.
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
    QCOMPARE(draft.ToSave(), false);

    // A value that is not a number is refused and the property keeps what it had.
    draft.setLBM(Variant(QStringLiteral("171.3")));
    expectError([&] { draft.setLBM(Variant(QStringLiteral("171,3 m"))); }, 13);
    QCOMPARE(shown(draft.LBM()), QStringLiteral("Decimal(171.3)"));

    // Plain setters store what they are given.
    draft.setDraftType(1);
    QCOMPARE(draft.DraftType(), qint16(1));
    draft.setToSave(true);
    QCOMPARE(draft.ToSave(), true);
    draft.setHasRecord(true);
    QCOMPARE(draft.HasRecord(), true);
    draft.setHasRecord(false);
    QCOMPARE(draft.HasRecord(), false);

    // The apparent trim is never worked out by the draft.
    QCOMPARE(shown(draft.ApparentTrim()), kEmptyText);
}

void TestDraft::tablesCopyElementByElement()
{
    clsDraft draft;
    draft.setHDT(texts(0, 2, 0, 5, QStringLiteral("7")));
    QCOMPARE(shown(draft.HDT()(0, 0)), QStringLiteral("Decimal(71.1)"));
    QCOMPARE(shown(draft.HDT()(2, 5)), QStringLiteral("Decimal(73.6)"));

    // A 3 x 5 table leaves column 5 as it was; blanks become the Integer 0.
    VariantArray2D narrow(3, 5);
    narrow.fill(Variant(QStringLiteral("")));
    narrow(1, 4) = Variant(QStringLiteral("412.5"));
    draft.setHDT(narrow);
    const VariantArray2D hdt = draft.HDT();
    for (int i = 0; i <= 2; ++i) {
        for (int j = 0; j <= 4; ++j)
            QCOMPARE(shown(hdt(i, j)), i == 1 && j == 4 ? QStringLiteral("Decimal(412.5)")
                                                        : QStringLiteral("Integer(0)"));
        QCOMPARE(shown(hdt(i, 5)), QStringLiteral("Decimal(7%1.6)").arg(i + 1));
    }

    // The getter hands out a copy.
    VariantArray2D copy = draft.HDT();
    copy(0, 0) = Variant(QStringLiteral("99"));
    QCOMPARE(shown(draft.HDT()(0, 0)), QStringLiteral("Integer(0)"));

    // The MCTC tables are their own arrays.
    draft.setMCTCP50(texts(0, 2, 0, 1, QStringLiteral("4")));
    draft.setMCTCM50(texts(0, 2, 0, 1, QStringLiteral("3")));
    QCOMPARE(shown(draft.MCTCP50()(1, 1)), QStringLiteral("Decimal(42.2)"));
    QCOMPARE(shown(draft.MCTCM50()(1, 1)), QStringLiteral("Decimal(32.2)"));
    QCOMPARE(shown(draft.HDT()(1, 1)), QStringLiteral("Integer(0)"));

    // A part of a table, given with its own bounds, changes only that part.
    VariantArray2D corner(1, 2, 1, 1);
    corner.fill(Variant(QStringLiteral("404")));
    draft.setMCTCM50(corner);
    QCOMPARE(shown(draft.MCTCM50()(0, 1)), QStringLiteral("Decimal(31.2)"));
    QCOMPARE(shown(draft.MCTCM50()(1, 0)), QStringLiteral("Decimal(32.1)"));
    QCOMPARE(shown(draft.MCTCM50()(1, 1)), QStringLiteral("Decimal(404)"));
    QCOMPARE(shown(draft.MCTCM50()(2, 1)), QStringLiteral("Decimal(404)"));
    QCOMPARE(draft.ToSave(), false);
}

void TestDraft::tablesStopAtTheFirstCellOutsideTheTable()
{
    clsDraft draft;

    // 4 x 6: rows 0 to 2 are copied, then row 3 is out of range.
    expectError([&] { draft.setHDT(texts(0, 3, 0, 5, QStringLiteral("5"))); }, 9);
    const VariantArray2D hdt = draft.HDT();
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 5; ++j)
            QCOMPARE(shown(hdt(i, j)), QStringLiteral("Decimal(5%1.%2)").arg(i + 1).arg(j + 1));

    // 3 x 6 into a 3 x 2 table: the first row's two cells are copied, then column 2 fails.
    expectError([&] { draft.setMCTCP50(texts(0, 2, 0, 5, QStringLiteral("4"))); }, 9);
    const VariantArray2D p50 = draft.MCTCP50();
    QCOMPARE(shown(p50(0, 0)), QStringLiteral("Decimal(41.1)"));
    QCOMPARE(shown(p50(0, 1)), QStringLiteral("Decimal(41.2)"));
    QCOMPARE(shown(p50(1, 0)), QStringLiteral("Empty"));

    // An index below the table fails at once.
    expectError([&] { draft.setMCTCM50(texts(-1, 1, 0, 1, QStringLiteral("3"))); }, 9);
    QCOMPARE(shown(draft.MCTCM50()(0, 0)), QStringLiteral("Empty"));

    // A cell that is not a number stops the copy there.
    VariantArray2D bad = texts(0, 2, 0, 1, QStringLiteral("6"));
    bad(1, 0) = Variant(QStringLiteral("7.2O"));
    expectError([&] { draft.setMCTCM50(bad); }, 13);
    const VariantArray2D m50 = draft.MCTCM50();
    QCOMPARE(shown(m50(0, 1)), QStringLiteral("Decimal(61.2)"));
    QCOMPARE(shown(m50(1, 0)), QStringLiteral("Empty"));
}

void TestDraft::newDraftClearsTheSurveyButKeepsMarksAndTables()
{
    clsDraft draft;
    draft.setDraftType(1);
    draft.setSpecificGravity(Variant(QStringLiteral("1.015")));
    draft.setFwdPort(Variant(QStringLiteral("6.1")));
    draft.setAftStbd(Variant(QStringLiteral("7.9")));
    draft.setComments(QStringLiteral("Initial survey"));
    draft.setDSDate(QStringLiteral("01-01-2001"));
    draft.setDSTime(QStringLiteral("00:01"));
    draft.setFwdMean(Variant(QStringLiteral("6.1")));
    draft.setAftMean(Variant(QStringLiteral("7.9")));
    draft.setTrueTrim(Variant(QStringLiteral("1.8")));
    draft.setTrueMeanDraft(Variant(QStringLiteral("7.01")));
    draft.setFwdX(Variant(QStringLiteral("-2.5")));
    draft.setMidX(Variant(QStringLiteral("0.3")));
    draft.setAftX(Variant(QStringLiteral("4.1")));
    draft.setLBM(Variant(QStringLiteral("173.4")));
    draft.setTotDeductibles(Variant(QStringLiteral("512.75")));
    draft.setHDT(texts(0, 2, 0, 5, QStringLiteral("7")));
    draft.setMCTCP50(texts(0, 2, 0, 1, QStringLiteral("4")));
    draft.setMCTCM50(texts(0, 2, 0, 1, QStringLiteral("3")));
    addDeduction(draft, 2, Variant(dec("300")));
    draft.setHasRecord(true);
    QVERIFY(draft.ToSave());

    draft.NewDraft();

    QVERIFY(MessageService::records().isEmpty());
    QCOMPARE(draft.ToSave(), false);
    QCOMPARE(draft.HasRecord(), false);
    QCOMPARE(draft.DSDate(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
    QCOMPARE(draft.Comments(), QString());
    QCOMPARE(shown(draft.SpecificGravity()), kEmptyText);
    QCOMPARE(shown(draft.FwdPort()), kEmptyText);
    QCOMPARE(shown(draft.AftStbd()), kEmptyText);
    QCOMPARE(shown(draft.FwdMean()), kEmptyText);
    QCOMPARE(shown(draft.AftMean()), kEmptyText);
    QCOMPARE(shown(draft.TrueTrim()), kEmptyText);
    QCOMPARE(shown(draft.TrueMeanDraft()), kEmptyText);
    QCOMPARE(shown(draft.HDT()(1, 3)), kEmptyText);
    QCOMPARE(shown(draft.NetDisplacement()), kEmptyText);
    // The rows the window added are gone.
    QVERIFY(draft.Deductions().isOpen());
    QCOMPARE(draft.Deductions().recordCount(), 0);

    // What the window carries from one survey to the next stays until it is set again.
    QCOMPARE(draft.DraftType(), qint16(1));
    QCOMPARE(shown(draft.FwdX()), QStringLiteral("Decimal(-2.5)"));
    QCOMPARE(shown(draft.MidX()), QStringLiteral("Decimal(0.3)"));
    QCOMPARE(shown(draft.AftX()), QStringLiteral("Decimal(4.1)"));
    QCOMPARE(shown(draft.LBM()), QStringLiteral("Decimal(173.4)"));
    QCOMPARE(shown(draft.TotDeductibles()), QStringLiteral("Decimal(512.75)"));
    QCOMPARE(shown(draft.MCTCP50()(2, 1)), QStringLiteral("Decimal(43.2)"));
    QCOMPARE(shown(draft.MCTCM50()(0, 0)), QStringLiteral("Decimal(31.1)"));

    // ... until the total is worked out again, from the now empty list.
    QCOMPARE(shown(draft.GetTotDeductibles()), QStringLiteral("Integer(0)"));
    QCOMPARE(shown(draft.TotDeductibles()), QStringLiteral("Integer(0)"));
}

void TestDraft::shipIdIsConvertedBeforeTheShipIsLoaded()
{
    clsDraft draft;
    // An unknown ship loads an empty record without a word; the calculation finds out later.
    draft.setShipID(Variant(QStringLiteral(" 424242 ")));
    draft.setShipID(Variant(QStringLiteral("")));
    QVERIFY(MessageService::records().isEmpty());
    expectError([&] { draft.setShipID(Variant(QStringLiteral("MV Example"))); }, 13);
    expectError([&] { draft.setShipID(Variant(QStringLiteral("3000000000"))); }, 6);
    QVERIFY(MessageService::records().isEmpty());
}

void TestDraft::totalOfDeductions()
{
    clsDraft draft;
    QCOMPARE(shown(draft.GetTotDeductibles()), QStringLiteral("Integer(0)"));

    addDeduction(draft, 2, Variant(dec("300.125")));
    addDeduction(draft, 3, Variant(dec("199.875")));
    addDeduction(draft, 24, Variant(dec("0.5")));
    QCOMPARE(shown(draft.GetTotDeductibles()), QStringLiteral("Decimal(500.5)"));
    QCOMPARE(shown(draft.TotDeductibles()), QStringLiteral("Decimal(500.5)"));
    // The list is left at its end.
    QVERIFY(draft.Deductions().eof());

    // A quantity without a value leaves the total unknown.
    addDeduction(draft, 25, Variant::null());
    addDeduction(draft, 26, Variant(dec("12")));
    QCOMPARE(shown(draft.GetTotDeductibles()), QStringLiteral("Null"));
    QCOMPARE(shown(draft.TotDeductibles()), QStringLiteral("Null"));
    QVERIFY(MessageService::records().isEmpty());
}

void TestDraft::totalStopsAtAnOverflowAndKeepsWhatItHad()
{
    clsDraft draft;
    addDeduction(draft, 2, Variant(dec("12.5")));
    addDeduction(draft, 3, Variant(Decimal::maxValue()));
    addDeduction(draft, 24, Variant(dec("1")));

    QCOMPARE(shown(draft.GetTotDeductibles()), QStringLiteral("Empty"));
    QCOMPARE(MessageService::records().size(), 1);
    const MessageRecord box = MessageService::records().first();
    QCOMPARE(box.text, QStringLiteral("clsDraft::GetTotDeductibles"));
    QCOMPARE(box.title, QStringLiteral("Quorvane Lt"));
    QCOMPARE(box.icon, Msg::Icon::None);
    QCOMPARE(box.buttons, Msg::Buttons::Ok);
    QCOMPARE(shown(draft.TotDeductibles()), QStringLiteral("Decimal(12.5)"));
}

void TestDraft::deductionsListThatCannotBeOpened()
{
    clsDraft draft;
    addDeduction(draft, 2, Variant(dec("300")));
    CloseDatabase();
    draft.InitDeductions();
    OpenDatabase();
    QVERIFY(!StartupFailed());

    QCOMPARE(MessageService::records().size(), 1);
    const MessageRecord box = MessageService::records().first();
    QVERIFY(box.text.endsWith(QStringLiteral("\r\n\r\nSource :  clsDraft::InitDeductions")));
    QVERIFY(!box.text.startsWith(QStringLiteral("\r\n")));
    QCOMPARE(box.title, QStringLiteral("Quorvane Lt"));
    QCOMPARE(box.icon, Msg::Icon::Critical);
    QVERIFY(!draft.Deductions().isOpen());

    // The total on a closed list reports for itself and keeps the 0 it started from.
    MessageService::clearRecords();
    QCOMPARE(shown(draft.GetTotDeductibles()), QStringLiteral("Empty"));
    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(MessageService::records().first().text, QStringLiteral("clsDraft::GetTotDeductibles"));
    QCOMPARE(shown(draft.TotDeductibles()), QStringLiteral("Integer(0)"));

    // Once the database is back, the next reset opens the list again.
    MessageService::clearRecords();
    draft.NewDraft();
    QVERIFY(MessageService::records().isEmpty());
    QVERIFY(draft.Deductions().isOpen());
}

QTEST_MAIN(TestDraft)
#include "test_draft.moc"
