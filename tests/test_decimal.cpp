#include "core/Decimal.h"
#include "core/VbError.h"
#include "tests/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace {

Decimal dec(const char* text)
{
    const std::optional<Decimal> d = Decimal::parse(QString::fromLatin1(text), QLocale::c());
    if (!d)
        qFatal("not a number: %s", text);
    return *d;
}

// The error a calculation throws, or "" when it throws none.
template <typename F>
QString errorOf(F&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.description();
    }
    return QString();
}

// A random decimal: 1 to 29 digits (kept below 2^96), 0 to 28 places, either sign. Short and
// long figures, whole numbers and tiny fractions all turn up.
Decimal randomDecimal(QRandomGenerator& rng)
{
    const int kind = rng.bounded(10);
    int digits = 0;
    if (kind < 3)
        digits = 1 + rng.bounded(4);  // a reading: 7.35, 12, 0.5
    else if (kind < 5)
        digits = 5 + rng.bounded(10);
    else
        digits = 15 + rng.bounded(15);
    QString text;
    for (int i = 0; i < digits; ++i)
        text.append(QChar(u'0' + (i == 0 ? 1 + rng.bounded(9) : rng.bounded(10))));
    if (digits == 29 && text > QStringLiteral("79228162514264337593543950335"))
        text[0] = u'1';
    const int scale = rng.bounded(10) < 2 ? 0 : rng.bounded(29);
    if (scale > 0) {
        while (text.size() <= scale)
            text.prepend(u'0');
        text.insert(text.size() - scale, u'.');
    }
    if (rng.bounded(2))
        text.prepend(u'-');
    const std::optional<Decimal> d = Decimal::parse(text, QLocale::c());
    return d ? *d : Decimal();
}

QString resultText(const std::function<Decimal()>& f)
{
    try {
        return f().toString();
    } catch (const VbError& e) {
        return e.description();
    }
}

}  // namespace

class TestDecimal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    // The displacement chain of a survey sheet, worked left to right.
    void chainedProductAndQuotient()
    {
        const Decimal r = dec("40.1") * dec("-2.45") * dec("1.2") * Decimal(100) / Decimal(180);
        QCOMPARE(r.toString(), QStringLiteral("-65.49666666666666666666666667"));
        QCOMPARE(r.scale(), 26);
    }

    void roundsHalfToEven_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("places");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2.5 to 0") << "2.5" << 0 << "2";
        QTest::newRow("3.5 to 0") << "3.5" << 0 << "4";
        QTest::newRow("-2.5 to 0") << "-2.5" << 0 << "-2";
        QTest::newRow("-3.5 to 0") << "-3.5" << 0 << "-4";
        QTest::newRow("2.345 to 2") << "2.345" << 2 << "2.34";
        QTest::newRow("2.355 to 2") << "2.355" << 2 << "2.36";
        QTest::newRow("2.3451 to 2") << "2.3451" << 2 << "2.35";
        QTest::newRow("0.125 to 2") << "0.125" << 2 << "0.12";
        QTest::newRow("9.995 to 2") << "9.995" << 2 << "10";
        QTest::newRow("-0.4 to 0") << "-0.4" << 0 << "0";
        QTest::newRow("fewer places untouched") << "1.5" << 3 << "1.5";
        QTest::newRow("28 places") << "0.1234567890123456789012345678" << 28
                                   << "0.1234567890123456789012345678";
    }
    void roundsHalfToEven()
    {
        QFETCH(QString, value);
        QFETCH(int, places);
        QFETCH(QString, expected);
        QCOMPARE(Decimal::parse(value, QLocale::c())->round(places).toString(), expected);
    }

    void arithmeticKeepsTwentyEightDigits()
    {
        // Exactly half a unit in the 28th digit goes to the even neighbour.
        QCOMPARE((Decimal(1) + dec("0.0000000000000000000000000005")).toString(), QStringLiteral("1"));
        QCOMPARE((dec("1.000000000000000000000000001") + dec("0.0000000000000000000000000005"))
                     .toString(),
                 QStringLiteral("1.000000000000000000000000002"));
        QCOMPARE((Decimal(2) / Decimal(3)).toString(), QStringLiteral("0.6666666666666666666666666667"));
        QCOMPARE((Decimal(-1) / Decimal(7)).toString(), QStringLiteral("-0.1428571428571428571428571429"));
        QCOMPARE((Decimal(100000) / Decimal(3)).toString(), QStringLiteral("33333.33333333333333333333333"));
        // A quotient smaller than the last of 28 places is nothing.
        QCOMPARE((dec("0.0000000000000000000000000001") / Decimal(3)).toString(), QStringLiteral("0"));
        QCOMPARE((dec("1.5") * dec("2")).toString(), QStringLiteral("3"));
        QCOMPARE((dec("0.1") + dec("0.2")).toString(), QStringLiteral("0.3"));
    }

    void textIsPlainWithoutTrailingZeros_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("5.20") << "5.20" << "5.2";
        QTest::newRow("5.00") << "5.00" << "5";
        QTest::newRow("100") << "100" << "100";
        QTest::newRow("-0.0") << "-0.0" << "0";
        QTest::newRow("-0") << "-0" << "0";
        QTest::newRow("small") << "0.0000000000000000000000000001" << "0.0000000000000000000000000001";
        QTest::newRow("exponent in") << "1.5E+5" << "150000";
        QTest::newRow("exponent down") << "12E-5" << "0.00012";
        QTest::newRow("large") << "1E+28" << "10000000000000000000000000000";
        QTest::newRow("more than 28 places")
            << "0.12345678901234567890123456789"
            << "0.1234567890123456789012345679";
        QTest::newRow("29 digits kept")
            << "1.2345678901234567890123456789"
            << "1.2345678901234567890123456789";
        QTest::newRow("29 nines do not fit") << "9.9999999999999999999999999999" << "10";
        QTest::newRow("largest") << "79228162514264337593543950335" << "79228162514264337593543950335";
        QTest::newRow("too many digits")
            << "7922816251426433759354395033.46"
            << "7922816251426433759354395033.5";
        QTest::newRow("one place too many")
            << "7922816251426433759354395033.56"
            << "7922816251426433759354395034";
        QTest::newRow("long fraction")
            << "1.00000000000000000000000000005000000000000000000000000000000000001"
            << "1.0000000000000000000000000001";
    }
    void textIsPlainWithoutTrailingZeros()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const std::optional<Decimal> d = Decimal::parse(input, QLocale::c());
        QVERIFY(d.has_value());
        QCOMPARE(d->toString(), expected);
        QCOMPARE(d->toLocaleString(QLocale::c()), expected);
    }

    void fixedPlacesForTheReport()
    {
        QCOMPARE(dec("12.5").toFixedString(3), QStringLiteral("12.500"));
        QCOMPARE(dec("-0.0004").toFixedString(3), QStringLiteral("0.000"));
        QCOMPARE(dec("2.3455").toFixedString(3), QStringLiteral("2.346"));
        QCOMPARE(dec("-0.05").toFixedString(1), QStringLiteral("0.0"));
        QCOMPARE(dec("-1.25").toFixedString(1), QStringLiteral("-1.2"));
        QCOMPARE(Decimal(7).toFixedString(0), QStringLiteral("7"));
    }

    void overflowAndDivisionByZero()
    {
        const Decimal max = Decimal::maxValue();
        QCOMPARE(max.toString(), QStringLiteral("79228162514264337593543950335"));
        QCOMPARE(errorOf([&] { max + Decimal(1); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([&] { Decimal::minValue() - Decimal(1); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([&] { max * Decimal(2); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([&] { max / dec("0.5"); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([&] { Decimal(1) / Decimal(); }), QStringLiteral("Division by zero"));
        QCOMPARE(errorOf([&] { Decimal() / dec("0.000"); }), QStringLiteral("Division by zero"));
        QCOMPARE(errorOf([&] { Decimal::parse(u"79228162514264337593543950336", QLocale::c()); }),
                 QStringLiteral("Overflow"));
        QCOMPARE(errorOf([&] { Decimal::parse(u"1E29", QLocale::c()); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([&] { Decimal::fromDouble(1e30); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([&] { Decimal::fromDouble(std::nan("")); }), QStringLiteral("Overflow"));
        // Near the top, the sum still fits after rounding to 28 digits.
        QCOMPARE((max - Decimal(1)).toString(), QStringLiteral("79228162514264337593543950330"));
        QCOMPARE(errorOf([&] { dec("79228162514264337593543950000") * dec("1.0"); }), QString());
        // Twenty-nine digits are more than a result keeps: the maximum itself rounds past 2^96.
        QCOMPARE(errorOf([&] { max * Decimal(1); }), QStringLiteral("Overflow"));
    }

    void wholeNumbers()
    {
        QCOMPARE(dec("2147483646.5").toInt32(), 2147483646);
        QCOMPARE(dec("-2147483648.4").toInt32(), std::numeric_limits<qint32>::min());
        QCOMPARE(errorOf([] { dec("2147483647.5").toInt32(); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([] { dec("32767.5").toInt16(); }), QStringLiteral("Overflow"));
        QCOMPARE(dec("-32768").toInt16(), qint16(-32768));
        QCOMPARE(dec("9223372036854775807").toInt64(), std::numeric_limits<qint64>::max());
        QCOMPARE(dec("-9223372036854775808").toInt64(), std::numeric_limits<qint64>::min());
        QCOMPARE(errorOf([] { dec("9223372036854775808").toInt64(); }), QStringLiteral("Overflow"));
        QCOMPARE(Decimal(std::numeric_limits<long long>::min()).toString(),
                 QStringLiteral("-9223372036854775808"));
    }

    void parsesTheCLocale_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");  // "" when it is not a number
        QTest::newRow("blanks around") << "  -12.50 " << "-12.5";
        QTest::newRow("plus") << "+3" << "3";
        QTest::newRow("point first") << ".5" << "0.5";
        QTest::newRow("point last") << "5." << "5";
        QTest::newRow("grouped") << "1,234,567.25" << "1234567.25";
        QTest::newRow("exponent") << "1e3" << "1000";
        QTest::newRow("tab and newline") << "\t7.35\n" << "7.35";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("blanks") << "   " << "";
        QTest::newRow("point alone") << "." << "";
        QTest::newRow("sign alone") << "-" << "";
        QTest::newRow("two points") << "1.2.3" << "";
        QTest::newRow("letter") << "8a" << "";
        QTest::newRow("letters") << "abc" << "";
        QTest::newRow("short group") << "1,23" << "";
        QTest::newRow("long first group") << "1234,567" << "";
        QTest::newRow("group in fraction") << "1.234,5" << "";
        QTest::newRow("group before point") << "1,.5" << "";
        QTest::newRow("comma point") << "12,5" << "";
        QTest::newRow("blank inside") << "1 234" << "";
        QTest::newRow("sign after") << "12-" << "";
        QTest::newRow("two signs") << "--1" << "";
        QTest::newRow("bare exponent") << "1e" << "";
        QTest::newRow("exponent alone") << "E5" << "";
    }
    void parsesTheCLocale()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const std::optional<Decimal> d = Decimal::parse(input, QLocale::c());
        QCOMPARE(d.has_value(), !expected.isEmpty());
        if (d)
            QCOMPARE(d->toString(), expected);
        // The default locale of the tests is the C locale.
        QCOMPARE(Decimal::parse(input).has_value(), !expected.isEmpty());
    }

    void parsesAGermanLocale()
    {
        const QLocale de(QLocale::German, QLocale::Germany);
        QCOMPARE(Decimal::parse(u"12,5", de)->toString(), QStringLiteral("12.5"));
        QCOMPARE(Decimal::parse(u" -1.234,75 ", de)->toString(), QStringLiteral("-1234.75"));
        QCOMPARE(Decimal::parse(u"1.234.567", de)->toString(), QStringLiteral("1234567"));
        // A point where the comma belongs is not quietly read as a group of thousands.
        QVERIFY(!Decimal::parse(u"12.5", de).has_value());
        QVERIFY(!Decimal::parse(u"1,2,3", de).has_value());
        QCOMPARE(dec("-7.25").toLocaleString(de), QStringLiteral("-7,25"));
        QCOMPARE(Decimal::parse(dec("1025.125").toLocaleString(de), de)->toString(),
                 QStringLiteral("1025.125"));
    }

    void comparesByValue()
    {
        QVERIFY(dec("5.2") == dec("5.20"));
        QVERIFY(dec("-0.0") == Decimal());
        QVERIFY(dec("-1") < dec("0.5"));
        QVERIFY(dec("-2.5") < dec("-2.49"));
        QVERIFY(dec("2") > dec("1.9999999999999999999999999999"));
        QVERIFY(dec("0.0000000000000000000000000001") > Decimal());
        QVERIFY(Decimal::maxValue() > dec("79228162514264337593543950334"));
        QVERIFY(dec("3") == 3);
        QCOMPARE(dec("-4.5").abs(), dec("4.5"));
        QCOMPARE(dec("-4.5").sign(), -1);
        QCOMPARE(Decimal().sign(), 0);
    }

    void doublesKeepFifteenDigits()
    {
        QCOMPARE(Decimal::fromDouble(0.1).toString(), QStringLiteral("0.1"));
        QCOMPARE(Decimal::fromDouble(1.0 / 3).toString(), QStringLiteral("0.333333333333333"));
        QCOMPARE(Decimal::fromDouble(-123456789.123456789).toString(), QStringLiteral("-123456789.123457"));
        QCOMPARE(Decimal::fromDouble(1e-30).toString(), QStringLiteral("0"));
        QCOMPARE(Decimal::fromDouble(-0.0).toString(), QStringLiteral("0"));
        QCOMPARE(Decimal::fromDouble(2.5e20).toString(), QStringLiteral("250000000000000000000"));
    }

    // Thousands of random operand pairs against Python's decimal module.
    void agreesWithPythonDecimal()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        QVERIFY2(!python.isEmpty(), "python3 is needed for the reference figures");
        const QString script = TestSupport::sourceDir() + QStringLiteral("/tests/decimal_oracle.py");
        QVERIFY(QFile::exists(script));

        QRandomGenerator rng(20240517);
        QStringList lines;
        QStringList ours;
        const char ops[] = {'+', '-', '*', '/'};
        for (int i = 0; i < 3000; ++i) {
            const Decimal a = randomDecimal(rng);
            Decimal b = randomDecimal(rng);
            if (i % 10 == 0)
                b = a;  // equal operands: x - x, x / x
            else if (i % 10 == 1)
                b = -a;
            for (char op : ops) {
                lines << QStringLiteral("%1 %2 %3").arg(QChar(op), a.toString(), b.toString());
                ours << resultText([&]() -> Decimal {
                    switch (op) {
                    case '+': return a + b;
                    case '-': return a - b;
                    case '*': return a * b;
                    default: return a / b;
                    }
                });
            }
            const int places = rng.bounded(29);
            lines << QStringLiteral("r %1 %2").arg(a.toString()).arg(places);
            ours << resultText([&] { return a.round(places); });
        }

        QTemporaryDir dir;
        QFile input(dir.filePath(QStringLiteral("pairs.txt")));
        QVERIFY(input.open(QIODevice::WriteOnly | QIODevice::Text));
        input.write(lines.join(u'\n').toLatin1() + '\n');
        input.close();

        QProcess proc;
        proc.start(python, {script, input.fileName()});
        QVERIFY(proc.waitForFinished(60000));
        QCOMPARE(proc.exitCode(), 0);
        const QStringList theirs =
            QString::fromLatin1(proc.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(theirs.size(), lines.size());

        int mismatches = 0;
        int overflows = 0;
        for (int i = 0; i < lines.size(); ++i) {
            if (theirs[i] == QLatin1String("Overflow"))
                ++overflows;
            if (theirs[i] != ours[i] && ++mismatches <= 10)
                qWarning("%s: python %s, ours %s", qPrintable(lines[i]), qPrintable(theirs[i]),
                         qPrintable(ours[i]));
        }
        QCOMPARE(mismatches, 0);
        QVERIFY(overflows > 0);  // the large products do reach the edge
    }
};

QTEST_GUILESS_MAIN(TestDecimal)
#include "test_decimal.moc"
