#pragma once

// What the ship and port window tests share: one main window on one copy of the delivered
// database for the whole program, each case starting from empty Ship and Port tables, and the
// keys and messages of the windows they drive.
#include "shell/ChildRegistry.h"
#include "db/Database.h"
#include "core/MessageService.h"
#include "shell/MainWindow.h"
#include "db/Connection.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The File commands Ship Particulars and Port Master offer: a new record can be saved; a stored
// record on show can also be started afresh from and deleted.
const ChildCommands kNewRecordCommands = ChildCommand::Save | ChildCommand::Close;
const ChildCommands kStoredRecordCommands =
    ChildCommand::New | ChildCommand::Save | ChildCommand::Delete | ChildCommand::Close;

class RecordWindowFixture {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    MainWindow* m_mdi = nullptr;

    // From initTestCase().
    void startProgram()
    {
        TestSupport::initTestEnvironment();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(TestSupport::openFreshDatabaseCopy(*m_dir));
        m_mdi = new MainWindow;
        m_mdi->show();
        registerChildWindows();
    }

    // From init().
    void startCase()
    {
        sharedConnection().execute(QStringLiteral("DELETE FROM Ship"));
        sharedConnection().execute(QStringLiteral("DELETE FROM Port"));
        MessageService::clearRecords();
        MessageService::clearAnswers();
        m_mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mdi));
    }

    // From cleanup(): the windows go without their closing questions; the frame keeps its count.
    void closeWindows()
    {
        const auto windows = m_mdi->findChildren<QMdiSubWindow*>();
        for (QMdiSubWindow* sub : windows)
            delete sub;
        QTRY_COMPARE(MainWindow::openChildCount, 0);
        MessageService::clearAnswers();
    }

    // From cleanupTestCase().
    void endProgram()
    {
        delete m_mdi;
        closeDatabase();
    }

    // The main window's keys, pressed wherever the focus is.
    QWidget* keyTarget() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget() : static_cast<QWidget*>(m_mdi);
    }
    void pressSave() { QTest::keyClick(keyTarget(), Qt::Key_S, Qt::ControlModifier); }
    void pressNew() { QTest::keyClick(keyTarget(), Qt::Key_N, Qt::ControlModifier); }

    // Clicks into a box, selects what it holds (Ctrl+A) and types over it.
    static void replaceText(QLineEdit* w, const QString& text)
    {
        QTest::mouseClick(w, Qt::LeftButton);
        QTRY_VERIFY(w->hasFocus());
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }

    static QStringList messageTexts() { return TestSupport::messageTexts(); }

    static MessageRecord lastMessage()
    {
        const auto records = MessageService::records();
        return records.isEmpty() ? MessageRecord() : records.last();
    }
};
