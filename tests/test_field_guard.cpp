// The field guard keeps the focus in a field whose check refuses, whichever way the user tries
// to leave it, and stays out of the way of the program's own focus changes.
#include "ui/FieldGuard.h"
#include "tests/TestSupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

class TestFieldGuard : public QObject {
    Q_OBJECT
private:
    QWidget* window = nullptr;
    QLineEdit* first = nullptr;
    QLineEdit* second = nullptr;
    QPushButton* button = nullptr;
    FieldGuard* guard = nullptr;
    int checks = 0;
    bool accept = true;

private Q_SLOTS:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void init()
    {
        window = new QWidget;
        auto* layout = new QVBoxLayout(window);
        first = new QLineEdit(window);
        second = new QLineEdit(window);
        button = new QPushButton(QStringLiteral("Go"), window);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(button);
        guard = new FieldGuard(window);
        checks = 0;
        accept = true;
        guard->setCheck(first, [this] {
            ++checks;
            if (!accept)
                first->clear();
            return accept;
        });
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        first->setFocus();
        QTRY_VERIFY(first->hasFocus());
    }

    void cleanup() { delete window; }

    void tabLeavesWhenTheCheckAccepts()
    {
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(checks, 1);
        QTRY_VERIFY(second->hasFocus());
    }

    void tabAndClickStayWhenTheCheckRefuses()
    {
        accept = false;
        QTest::keyClicks(first, QStringLiteral("abc"));
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(checks, 1);
        QVERIFY(first->hasFocus());
        QCOMPARE(first->text(), QString());

        // A click on a button of the window must not run the button while the field refuses.
        bool clicked = false;
        connect(button, &QPushButton::clicked, this, [&clicked] { clicked = true; });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(checks, 2);
        QVERIFY(!clicked);
        QVERIFY(first->hasFocus());
    }

    void enterAsTabMovesOnlyAfterTheCheck()
    {
        accept = false;
        QVERIFY(!guard->moveFocus());
        QVERIFY(first->hasFocus());
        accept = true;
        QVERIFY(guard->moveFocus());
        QTRY_VERIFY(second->hasFocus());
        QVERIFY(guard->moveFocus(false));
        QTRY_VERIFY(first->hasFocus());
    }

    void programmaticFocusAndDisabledGuardRunNoCheck()
    {
        accept = false;
        second->setFocus();
        QTRY_VERIFY(second->hasFocus());
        QCOMPARE(checks, 0);

        first->setFocus();
        guard->setEnabled(false);
        QTest::keyClick(first, Qt::Key_Tab);
        QCOMPARE(checks, 0);
        QTRY_VERIFY(second->hasFocus());
    }
};

QTEST_MAIN(TestFieldGuard)
#include "test_field_guard.moc"
