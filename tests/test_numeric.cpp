#include "core/MessageService.h"
#include "core/Numeric.h"
#include "ui/FormCenter.h"
#include "tests/TestSupport.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QtTest>

Q_DECLARE_METATYPE(Variant)

namespace {

Variant dec(const char* text)
{
    return Variant(*Decimal::parse(QString::fromLatin1(text), QLocale::c()));
}

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

// Runs `f`, returning its value, or the error's description as a Text prefixed with "error: ".
template <typename F>
Variant outcome(F&& f)
{
    try {
        return f();
    } catch (const VbError& e) {
        return Variant(QStringLiteral("error: ") + e.description());
    }
}

Variant error(const char* description)
{
    return Variant(QStringLiteral("error: ") + QString::fromLatin1(description));
}

// The window's outer frame, as the user sees it on the screen.
QRect frameOnScreen(QWidget* w)
{
    return w->isWindow() ? w->frameGeometry() : w->geometry();
}

}  // namespace

class TestNumeric : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void toNumericModes_data()
    {
        QTest::addColumn<Variant>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<int>("mode");
        QTest::addColumn<Variant>("expected");

        const Variant twoBlanks("  ");
        QTest::newRow("two blanks, -1, numeric") << twoBlanks << -1 << 0 << Variant::integer(0);
        QTest::newRow("two blanks, 3, text") << twoBlanks << 3 << 1 << Variant("");
        QTest::newRow("two blanks, mode 5") << twoBlanks << -1 << 5 << Variant();
        QTest::newRow("two blanks, 2, numeric") << twoBlanks << 2 << 0 << Variant::integer(0);
        QTest::newRow("empty, numeric") << Variant() << -1 << 0 << Variant::integer(0);
        QTest::newRow("empty, text") << Variant() << 8 << 1 << Variant("");
        QTest::newRow("empty text, numeric") << Variant("") << 3 << 0 << Variant::integer(0);

        const Variant padded(" 12.5 ");
        QTest::newRow("padded, -1, text keeps blanks") << padded << -1 << 1 << Variant(" 12.5 ");
        QTest::newRow("padded, -1, numeric") << padded << -1 << 0 << dec("12.5");
        QTest::newRow("padded, mode 2") << padded << -1 << 2 << Variant();
        QTest::newRow("trailing zeros kept as typed, text") << Variant("7.350") << -1 << 1
                                                            << Variant("7.350");

        QTest::newRow("2.345 to 2") << Variant("2.345") << 2 << 0 << dec("2.34");
        QTest::newRow("2.355 to 2") << Variant("2.355") << 2 << 0 << dec("2.36");
        QTest::newRow("2.5 to 0") << Variant("2.5") << 0 << 0 << dec("2");
        QTest::newRow("3.5 to 0") << Variant("3.5") << 0 << 0 << dec("4");
        QTest::newRow("2.345 to 2, text mode") << Variant("2.345") << 2 << 1 << dec("2.34");
        QTest::newRow("shown to 3 places") << Variant("7.12351") << 3 << 1 << dec("7.124");
        QTest::newRow("rounded to 8 places") << dec("1.123456785") << 8 << 0 << dec("1.12345678");
        QTest::newRow("fewer places than asked") << Variant("1.5") << 3 << 0 << dec("1.5");
        QTest::newRow("grouped text") << Variant("1,234.5") << -1 << 0 << dec("1234.5");
        QTest::newRow("negative") << Variant(" -0.125 ") << 2 << 0 << dec("-0.12");

        QTest::newRow("integer") << Variant::integer(5) << -1 << 0 << dec("5");
        QTest::newRow("integer, text") << Variant::integer(-5) << -1 << 1 << Variant("-5");
        QTest::newRow("decimal") << dec("10.25") << 1 << 0 << dec("10.2");
        QTest::newRow("double") << Variant::fromDouble(0.1) << -1 << 0 << dec("0.1");
        QTest::newRow("double, text") << Variant::fromDouble(0.5) << -1 << 1 << Variant("0.5");
        QTest::newRow("boolean") << Variant::boolean(true) << -1 << 0 << dec("-1");

        QTest::newRow("letters") << Variant("abc") << -1 << 0 << error("Type mismatch");
        QTest::newRow("letters, rounded") << Variant("abc") << 3 << 0 << error("Type mismatch");
        QTest::newRow("number and letter") << Variant("8a") << 2 << 1 << error("Type mismatch");
        QTest::newRow("letters, mode 5") << Variant("abc") << -1 << 5 << Variant();
        QTest::newRow("letters, text mode") << Variant("abc") << -1 << 1 << Variant("abc");
        QTest::newRow("null") << Variant::null() << -1 << 0 << error("Invalid use of Null");
        QTest::newRow("null, text") << Variant::null() << 3 << 1 << error("Invalid use of Null");
        QTest::newRow("null, mode 5") << Variant::null() << -1 << 5 << error("Invalid use of Null");
        QTest::newRow("too large") << Variant("1E30") << -1 << 0 << error("Overflow");
        QTest::newRow("digits -2") << Variant("1.5") << -2 << 0
                                   << error("Invalid procedure call or argument");
    }
    void toNumericModes()
    {
        QFETCH(Variant, value);
        QFETCH(int, digits);
        QFETCH(int, mode);
        QFETCH(Variant, expected);
        QCOMPARE(outcome([&] { return toNumeric(value, digits, mode); }), expected);
    }

    void toNumericFollowsTheLocale()
    {
        const QLocale was;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const Variant comma = outcome([] { return toNumeric(Variant(" 1.234,55 "), 1, 0); });
        const Variant point = outcome([] { return toNumeric(Variant("12.5"), -1, 0); });
        const Variant shown = outcome([] { return toNumeric(dec("7.25"), -1, 1); });
        QLocale::setDefault(was);
        QCOMPARE(comma, dec("1234.6"));
        QCOMPARE(point, error("Type mismatch"));
        QCOMPARE(shown, Variant("7,25"));
    }

    void arithmetic_data()
    {
        QTest::addColumn<Variant>("a");
        QTest::addColumn<QString>("op");
        QTest::addColumn<Variant>("b");
        QTest::addColumn<Variant>("expected");

        const Variant one = Variant::integer(1);
        QTest::newRow("null in, null out") << Variant::null() << "+" << one << Variant::null();
        QTest::newRow("null on the right") << dec("2.5") << "*" << Variant::null() << Variant::null();
        QTest::newRow("null divided by zero") << Variant::null() << "/" << Variant::integer(0)
                                              << Variant::null();
        QTest::newRow("empty plus empty") << Variant() << "+" << Variant() << Variant::integer(0);
        QTest::newRow("empty plus decimal") << Variant() << "+" << dec("2.5") << dec("2.5");
        QTest::newRow("integer times decimal") << Variant::integer(2) << "*" << dec("1.5") << dec("3");
        QTest::newRow("decimal minus long") << dec("10.75") << "-" << Variant::longInt(100000)
                                            << dec("-99989.25");
        QTest::newRow("double plus decimal is exact")
            << Variant::fromDouble(0.1) << "+" << dec("0.2") << dec("0.3");
        QTest::newRow("text plus integer") << Variant("1.5") << "+" << Variant::integer(2) << dec("3.5");
        QTest::newRow("two texts add, never join") << Variant("1") << "+" << Variant("2") << dec("3");
        QTest::newRow("text divided") << Variant("10") << "/" << Variant(" 4 ") << dec("2.5");
        QTest::newRow("decimal quotient") << dec("1") << "/" << Variant::integer(3)
                                          << dec("0.3333333333333333333333333333");
        QTest::newRow("integers stay integer") << Variant::integer(300) << "*" << Variant::integer(100)
                                               << Variant::integer(30000);
        QTest::newRow("integer grows to long") << Variant::integer(30000) << "+"
                                               << Variant::integer(30000) << Variant::longInt(60000);
        QTest::newRow("long grows to double") << Variant::longInt(2147483647) << "+" << one
                                              << Variant::fromDouble(2147483648.0);
        QTest::newRow("integer and long give long") << one << "+" << Variant::longInt(1)
                                                    << Variant::longInt(2);
        QTest::newRow("integer quotient is double") << Variant::integer(7) << "/"
                                                    << Variant::integer(2) << Variant::fromDouble(3.5);
        QTest::newRow("double times integer") << Variant::fromDouble(1.5) << "*" << Variant::integer(2)
                                              << Variant::fromDouble(3);
        QTest::newRow("true counts -1") << Variant::boolean(true) << "+" << one << Variant::integer(0);
        QTest::newRow("integer by zero") << one << "/" << Variant::integer(0) << error("Division by zero");
        QTest::newRow("decimal by empty") << dec("1") << "/" << Variant() << error("Division by zero");
        QTest::newRow("double by zero") << Variant::fromDouble(1) << "/" << Variant::fromDouble(0)
                                        << error("Division by zero");
        QTest::newRow("letters") << Variant("8a") << "+" << one << error("Type mismatch");
        QTest::newRow("blank text") << Variant("  ") << "+" << one << error("Type mismatch");
        QTest::newRow("decimal overflow") << Variant(Decimal::maxValue()) << "*" << Variant::integer(2)
                                          << error("Overflow");
    }
    void arithmetic()
    {
        QFETCH(Variant, a);
        QFETCH(QString, op);
        QFETCH(Variant, b);
        QFETCH(Variant, expected);
        const Variant result = outcome([&] {
            if (op == u"+")
                return a + b;
            if (op == u"-")
                return a - b;
            if (op == u"*")
                return a * b;
            return a / b;
        });
        QCOMPARE(result, expected);
    }

    void negation()
    {
        QCOMPARE(-Variant::integer(-32768), Variant::longInt(32768));
        QCOMPARE(-Variant::integer(5), Variant::integer(-5));
        QCOMPARE(-Variant::null(), Variant::null());
        QCOMPARE(-Variant(), Variant::integer(0));
        QCOMPARE(-Variant("2.5"), dec("-2.5"));
        QCOMPARE(-dec("0"), dec("0"));
        QCOMPARE((-dec("0")).toText(), QStringLiteral("0"));
    }

    void conversions()
    {
        QCOMPARE(Variant().toText(), QStringLiteral(""));
        QCOMPARE(errorOf([] { Variant::null().toText(); }), QStringLiteral("Invalid use of Null"));
        QCOMPARE(dec("12.50").toText(), QStringLiteral("12.5"));
        QCOMPARE(dec("-12.5").toText(QLocale(QLocale::German)), QStringLiteral("-12,5"));
        QCOMPARE(Variant::boolean(true).toText(), QStringLiteral("True"));
        QCOMPARE(Variant::boolean(false).toText(), QStringLiteral("False"));
        QCOMPARE(Variant::fromDouble(1.0 / 3).toText(), QStringLiteral("0.333333333333333"));
        QCOMPARE(Variant::fromDouble(1e20).toText(), QStringLiteral("1E+20"));
        QCOMPARE(Variant::fromDouble(-2.5).toText(), QStringLiteral("-2.5"));
        QCOMPARE(Variant::integer(-5).toText(), QStringLiteral("-5"));
        QCOMPARE(Variant::longInt(123456).toText(), QStringLiteral("123456"));

        QCOMPARE(Variant().toDecimal(), Decimal());
        QCOMPARE(Variant("  7.35 ").toDecimal(), *Decimal::parse(u"7.35"));
        QCOMPARE(Variant::boolean(true).toDecimal(), Decimal(-1));
        QCOMPARE(errorOf([] { Variant("8a").toDecimal(); }), QStringLiteral("Type mismatch"));
        QCOMPARE(errorOf([] { Variant::null().toDecimal(); }), QStringLiteral("Invalid use of Null"));

        QCOMPARE(dec("2.5").toInt32(), 2);
        QCOMPARE(Variant::fromDouble(3.5).toInt32(), 4);
        QCOMPARE(Variant("-7.5").toInt32(), -8);
        QCOMPARE(errorOf([] { Variant("2147483648").toInt32(); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([] { Variant::longInt(40000).toInt16(); }), QStringLiteral("Overflow"));
        QCOMPARE(errorOf([] { Variant::null().toInt32(); }), QStringLiteral("Invalid use of Null"));

        QVERIFY(Variant("true").toBool());
        QVERIFY(!Variant("0").toBool());
        QVERIFY(dec("0.1").toBool());
        QCOMPARE(errorOf([] { Variant("yes").toBool(); }), QStringLiteral("Type mismatch"));
    }

    void isNumeric()
    {
        QVERIFY(!Variant("").isNumeric());
        QVERIFY(Variant().isNumeric());
        QVERIFY(!Variant("8a").isNumeric());
        QVERIFY(Variant(" 12.5 ").isNumeric());
        QVERIFY(Variant("1E40").isNumeric());  // a number, if too large for a decimal
        QVERIFY(!Variant::null().isNumeric());
        QVERIFY(Variant::boolean(false).isNumeric());
        QVERIFY(Variant::fromDouble(2).isNumeric());
        QVERIFY(!Variant("12,5").isNumeric());
        QVERIFY(Variant("12,5").isNumeric(QLocale(QLocale::German)));

        QVERIFY(dec("1").isNumber());
        QVERIFY(Variant::integer(1).isNumber());
        QVERIFY(!Variant("1").isNumber());
        QVERIFY(!Variant::boolean(true).isNumber());
        QCOMPARE(Variant("1").typeName(), QStringLiteral("String"));
        QCOMPARE(Variant::null().typeName(), QStringLiteral("Null"));
    }

    void comparison()
    {
        QCOMPARE(Variant::compare(dec("5.2"), Variant("5.20")), 0);
        QCOMPARE(Variant::compare(Variant::integer(2), Variant::fromDouble(2.5)), -1);
        QCOMPARE(Variant::compare(dec("-1"), Variant::longInt(-2)), 1);
        QCOMPARE(Variant::compare(Variant("abc"), Variant("abd")), -1);
        QCOMPARE(Variant::compare(Variant("10"), Variant("9")), -1);  // two texts: as texts
        QCOMPARE(Variant::compare(Variant(), Variant("")), 0);
        QCOMPARE(Variant::compare(Variant(), Variant::integer(0)), 0);
        QCOMPARE(Variant::compare(Variant::boolean(true), Variant::integer(-1)), 0);
        QCOMPARE(errorOf([] { Variant::compare(Variant::null(), Variant::null()); }),
                 QStringLiteral("Invalid use of Null"));
        QCOMPARE(errorOf([] { Variant::compare(Variant("x"), Variant::integer(1)); }),
                 QStringLiteral("Type mismatch"));

        QVERIFY(dec("5.2") == dec("5.20"));
        QVERIFY(!(Variant::integer(1) == Variant::longInt(1)));
        QVERIFY(!(Variant() == Variant("")));
    }

    void runtimeErrors()
    {
        QCOMPARE(VbError::typeMismatch().number(), 13);
        QCOMPARE(VbError::overflow().number(), 6);
        QCOMPARE(VbError::divisionByZero().number(), 11);
        QCOMPARE(VbError::subscriptOutOfRange().number(), 9);
        QCOMPARE(VbError::subscriptOutOfRange().description(), QStringLiteral("Subscript out of range"));
        QCOMPARE(VbError::invalidUseOfNull().number(), 94);
        const VbError db(-2147467259, QStringLiteral("Disk full"));
        QCOMPARE(db.number(), -2147467259);
        QCOMPARE(QString::fromUtf8(db.what()), QStringLiteral("Disk full"));
    }

    void formCenterCentresOnTheScreen()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget w;
        w.resize(301, 201);
        w.move(area.topLeft());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(centreOnScreen(&w));
        const QRect frame = frameOnScreen(&w);
        QVERIFY2(qAbs(frame.center().x() - area.center().x()) <= 1, qPrintable(QString::number(frame.x())));
        QVERIFY(qAbs(frame.center().y() - area.center().y()) <= 1);
        QCOMPARE(w.size(), QSize(301, 201));
    }

    void formCenterKeepsAnOversizedWindowsTitleBarOnScreen()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget w;
        w.resize(area.width() + 200, area.height() + 300);
        w.move(area.left() + 40, area.top() + 40);
        QVERIFY(centreOnScreen(&w));
        QCOMPARE(frameOnScreen(&w).topLeft(), area.topLeft());
    }

    void formCenterLeavesOtherScalesAlone()
    {
        QWidget w;
        w.resize(200, 100);
        w.move(7, 9);
        w.setProperty("ScaleMode", 3);  // pixels
        QVERIFY(!centreOnScreen(&w));
        QCOMPARE(w.pos(), QPoint(7, 9));
        w.setProperty("ScaleMode", 1);  // twips
        QVERIFY(centreOnScreen(&w));
        QVERIFY(w.pos() != QPoint(7, 9));
        QVERIFY(!centreOnScreen(nullptr));
    }

    void formCenterMovesTheSubWindowOfAChild()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QMainWindow main;
        auto* mdi = new QMdiArea;
        main.setCentralWidget(mdi);
        main.resize(area.size());
        auto* child = new QWidget;
        child->resize(240, 160);
        QMdiSubWindow* sub = mdi->addSubWindow(child);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        sub->resize(240, 160);
        sub->move(0, 0);
        QVERIFY(centreOnScreen(child));
        QVERIFY(sub->pos() != QPoint(0, 0));
        QVERIFY(qAbs(sub->x() - (area.width() - sub->width()) / 2) <= 1);
        QVERIFY(qAbs(sub->y() - (area.height() - sub->height()) / 2) <= 1);
        QCOMPARE(sub->size(), QSize(240, 160));
        QVERIFY(MessageService::records().isEmpty());  // never reports, even when it cannot
    }
};

QTEST_MAIN(TestNumeric)
#include "test_numeric.moc"
