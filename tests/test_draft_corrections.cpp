// The draft panel's arithmetic, without a window: means, trim, length between marks, corrections
// to the perpendiculars, true drafts and the true mean draft, in exact decimals.
#include "model/DraftCorrections.h"
#include "tests/TestSupport.h"

#include <QtTest>

using namespace DraftCorrections;

namespace {

Decimal dec(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

// Readings and marks as the user would type them, blank meaning 0.
Input input(const QStringList& readings, const QStringList& marks, const char* lbp)
{
    Input in;
    Decimal* r[] = {&in.fwdPort, &in.fwdStbd, &in.midPort, &in.midStbd, &in.aftPort, &in.aftStbd};
    for (int i = 0; i < 6; ++i)
        *r[i] = *readFigure(readings.value(i));
    Decimal* m[] = {&in.fwdX, &in.midX, &in.aftX};
    for (int i = 0; i < 3; ++i)
        *m[i] = *readFigure(marks.value(i));
    in.lbp = dec(lbp);
    return in;
}

}  // namespace

class TestDraftCorrections : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void readingBlankCountsAsZeroAndTextIsRefused()
    {
        QCOMPARE(readFigure(QString()), std::optional<Decimal>(Decimal(0)));
        QCOMPARE(readFigure(QStringLiteral("   ")), std::optional<Decimal>(Decimal(0)));
        QCOMPARE(readFigure(QStringLiteral(" 7.25 ")), std::optional<Decimal>(dec("7.25")));
        QVERIFY(!readFigure(QStringLiteral("8a")).has_value());
    }

    void panel_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QString>("lbp");
        QTest::addColumn<QStringList>("shown");  // fwd, mid, aft mean, trim, LBM
        QTest::addColumn<QStringList>("corrected");  // corrections, true drafts, true trim, TMD

        QTest::newRow("even marks, trim by the stern")
            << QStringList{"10", "10.2", "10.5", "10.5", "11", "11"} << QStringList{"0", "0", "0"}
            << "180" << QStringList{"10.1", "10.5", "11", "0.9", "180"}
            << QStringList{"0", "0", "0", "10.1", "10.5", "11", "0.9", "10.5125"};
        QTest::newRow("level, no corrections")
            << QStringList{"7.0", "7.0", "7.5", "7.5", "8.0", "8.0"} << QStringList{"0", "0", "0"}
            << "150" << QStringList{"7", "7.5", "8", "1", "150"}
            << QStringList{"0", "0", "0", "7", "7.5", "8", "1", "7.5"};
        QTest::newRow("an empty reading counts as 0")
            << QStringList{"7.5", "", "", "", "", ""} << QStringList{"", "", ""} << "100"
            << QStringList{"3.75", "0", "0", "-3.75", "100"}
            << QStringList{"0", "0", "0", "3.75", "0", "0", "-3.75", "0.46875"};
        // Forward marks 2 m abaft the FP, mid marks 0.5 m forward of midships, aft marks 3 m
        // forward of the AP: LBM 145, each mean carried along the 1.2 m apparent trim.
        QTest::newRow("marks off the perpendiculars")
            << QStringList{"6.0", "6.0", "6.5", "6.5", "7.2", "7.2"} << QStringList{"-2", "0.5", "3"}
            << "150" << QStringList{"6", "6.5", "7.2", "1.2", "145"}
            << QStringList{"-0.017", "0.004", "0.025", "5.983", "6.504", "7.225", "1.241", "6.52913793"};
        QTest::newRow("LBM from LBP 180, Fwd X 2.5, Aft X -3.0")
            << QStringList{"8", "8", "8", "8", "8", "8"} << QStringList{"2.5", "", "-3.0"} << "180"
            << QStringList{"8", "8", "8", "0", "185.5"}
            << QStringList{"0", "0", "0", "8", "8", "8", "0", "8"};
        QTest::newRow("LBM from LBP 150, Fwd X 2, Aft X 1")
            << QStringList{"8", "8", "8", "8", "8", "8"} << QStringList{"2", "", "1"} << "150"
            << QStringList{"8", "8", "8", "0", "151"}
            << QStringList{"0", "0", "0", "8", "8", "8", "0", "8"};
        // Half to even: 7.1245 shows 7.124, 7.1235 shows 7.124.
        QTest::newRow("means round half to even")
            << QStringList{"7.124", "7.125", "7.123", "7.124", "7.124", "7.125"}
            << QStringList{"0", "0", "0"} << "100" << QStringList{"7.124", "7.124", "7.124", "0", "100"}
            << QStringList{"0", "0", "0", "7.124", "7.124", "7.124", "0", "7.12375"};
    }

    void panel()
    {
        QFETCH(QStringList, readings);
        QFETCH(QStringList, marks);
        QFETCH(QString, lbp);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, corrected);

        const Result r = compute(input(readings, marks, lbp.toLatin1().constData()));
        QVERIFY(r.corrected);
        const Texts t = texts(r);
        QCOMPARE((QStringList{t.fwdMean, t.midMean, t.aftMean, t.apparentTrim, t.lbm}), shown);
        QCOMPARE((QStringList{t.fwdCorrection, t.midCorrection, t.aftCorrection, t.fwdTrueDraft,
                              t.midTrueDraft, t.aftTrueDraft, t.trueTrim, t.trueMeanDraft}),
                 corrected);
    }

    void workingValuesStayUnrounded()
    {
        const Result r = compute(input({"6.0", "6.0", "6.5", "6.5", "7.2", "7.2"}, {"-2", "0.5", "3"}, "150"));
        // 1.2 x -2 / 145 to 28 significant digits, not the 3 places shown.
        QCOMPARE(r.fwdCorrection, dec("-0.01655172413793103448275862069"));
        QCOMPARE(r.trueMeanDraft, dec("6.529137931034482758620689655"));
        QCOMPARE(r.lbm, Decimal(145));
    }

    void zeroLengthBetweenMarksLeavesCorrectionsBlank_data()
    {
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QString>("lbp");
        QTest::newRow("no ship, marks blank") << QStringList{"", "", ""} << "0";
        QTest::newRow("marks cancel the LBP") << QStringList{"-50", "0", "50"} << "100";
    }

    void zeroLengthBetweenMarksLeavesCorrectionsBlank()
    {
        QFETCH(QStringList, marks);
        QFETCH(QString, lbp);
        const Result r = compute(input({"7", "7", "7.5", "7.5", "8", "8"}, marks, lbp.toLatin1().constData()));
        QVERIFY(!r.corrected);
        const Texts t = texts(r);
        QCOMPARE(t.fwdMean, QStringLiteral("7"));
        QCOMPARE(t.apparentTrim, QStringLiteral("1"));
        QCOMPARE(t.lbm, QStringLiteral("0"));
        for (const QString& s : {t.fwdCorrection, t.midCorrection, t.aftCorrection, t.fwdTrueDraft,
                                 t.midTrueDraft, t.aftTrueDraft, t.trueTrim, t.trueMeanDraft})
            QVERIFY(s.isEmpty());
    }

    void hullDeflectionInCentimetres()
    {
        // Midships 5.5 cm deeper than the mean of the ends: sagging.
        QCOMPARE(hullDeflection(dec("7"), dec("7.555"), dec("8")), dec("5.5"));
        QCOMPARE(hullDeflection(dec("7"), dec("7.45"), dec("8")), Decimal(-5));
        QCOMPARE(hullDeflection(dec("7"), dec("7.5"), dec("8")), Decimal(0));
    }
};

QTEST_GUILESS_MAIN(TestDraftCorrections)
#include "test_draft_corrections.moc"
