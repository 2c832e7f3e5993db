// The Port Master window inside the main window: adding, correcting and deleting ports by
// typing and by the main window's keys, then reading the Port and Ship tables.
#include "db/RowSet.h"
#include "ships/PortMasterWindow.h"
#include "tests/RecordWindowFixture.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>

namespace {

struct PortRow {
    QString name;
    Variant city;
    Variant country;
};

QList<PortRow> storedPorts()
{
    RowSet rs;
    rs.open(QStringLiteral("SELECT * FROM Port ORDER BY PortID"), sharedConnection());
    QList<PortRow> rows;
    for (; !rs.eof(); rs.moveNext())
        rows.append({rs.value(QStringLiteral("PortName")).toText(), rs.value(QStringLiteral("City")),
                     rs.value(QStringLiteral("Country"))});
    return rows;
}

QStringList storedShipNames()
{
    RowSet rs;
    rs.open(QStringLiteral("SELECT * FROM Ship ORDER BY ShipName"), sharedConnection());
    QStringList names;
    for (; !rs.eof(); rs.moveNext())
        names << rs.value(QStringLiteral("ShipName")).toText();
    return names;
}

const QString kAddQuestion = QStringLiteral("Are you sure you want to add a new record ?");
const QString kUpdateQuestion = QStringLiteral("Are you sure to update the current record ?");

}  // namespace

class TestPortWindow : public QObject, private RecordWindowFixture {
    Q_OBJECT

private:
    PortMasterWindow* m_win = nullptr;

    void openWindow()
    {
        m_win = qobject_cast<PortMasterWindow*>(m_mdi->openChild(QStringLiteral("frmPortMaster")));
        QVERIFY(m_win);
        QTRY_VERIFY(m_win->isVisible());
    }

    QLineEdit* box(const char* name) const { return m_win->findChild<QLineEdit*>(QLatin1String(name)); }
    QListWidget* list() const { return m_win->findChild<QListWidget*>(QStringLiteral("dlstPortMaster")); }

    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i)
            names << list()->item(i)->text();
        return names;
    }

    // Types a port the way the hint suggests: each box, then Enter.
    void typePort(const QString& name, const QString& city, const QString& country)
    {
        replaceText(box("txtPortName"), name);
        QTest::keyClick(box("txtPortName"), Qt::Key_Return);
        QTRY_VERIFY(box("txtCity")->hasFocus());
        QTest::keyClick(box("txtCity"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box("txtCity"), city);
        QTest::keyClick(box("txtCity"), Qt::Key_Return);
        QTRY_VERIFY(box("txtCountry")->hasFocus());
        QTest::keyClick(box("txtCountry"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box("txtCountry"), country);
    }

    QListWidgetItem* item(const QString& name) const
    {
        const QList<QListWidgetItem*> found = list()->findItems(name, Qt::MatchExactly);
        return found.size() == 1 ? found.first() : nullptr;
    }

    // A click on a port in the list; whether it is then the picked one is up to the window.
    void clickPort(const QString& name)
    {
        QListWidgetItem* it = item(name);
        QVERIFY2(it, qPrintable(name));
        list()->scrollToItem(it);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(it).center());
    }

    void pick(const QString& name)
    {
        clickPort(name);
        QCOMPARE(list()->currentItem(), item(name));
    }

    void addPortThroughTheWindow(const QString& name)
    {
        pressNew();
        typePort(name, QString(), QString());
        pressSave();
    }

private Q_SLOTS:
    void initTestCase() { startProgram(); }
    void init() { startCase(); }
    void cleanup()
    {
        closeWindows();
        m_win = nullptr;
    }
    void cleanupTestCase() { endProgram(); }

    // The window works on the program's one connection: it opens with no second password check
    // (here the workgroup file has gone since the start), and a port it adds is at once in the
    // ships' port list.
    void worksOnTheProgramsConnection()
    {
        const QString lib = m_dir->filePath(QStringLiteral("DS.lib"));
        const QString kept = m_dir->filePath(QStringLiteral("DS.lib.kept"));
        QVERIFY(QFile::rename(lib, kept));
        sharedConnection().execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Cochin')"));
        openWindow();
        QVERIFY(QFile::rename(kept, lib));
        QCOMPARE(MessageService::records().size(), 0);
        QCOMPARE(list()->count(), 1);
        QCOMPARE(list()->item(0)->text(), QStringLiteral("Cochin"));
    }

    void layoutAndOpening()
    {
        openWindow();
        QCOMPARE(m_win->windowTitle(), QStringLiteral("Port Master"));
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::New);
        QCOMPARE(m_win->offeredCommands(), kNewRecordCommands);
        QVERIFY(m_mdi->action(QStringLiteral("tbrMDI(2)"))->isEnabled());
        QVERIFY(!m_mdi->action(QStringLiteral("tbrMDI(7)"))->isEnabled());
        QCOMPARE(box("txtPortName")->maxLength(), 32767);
        QCOMPARE(box("txtCity")->maxLength(), 15);
        QCOMPARE(box("txtCountry")->maxLength(), 15);
        QStringList labels;
        for (const QLabel* l : m_win->findChildren<QLabel*>())
            labels << l->text();
        for (const char* text : {"Add/Edit or Delete Ports", "Port Name:", "City:", "Country:", "Port Names",
                                 "Ctrl-N   : Add new record", "Ctrl-S   : Save record",
                                 "Ctrl-F4 : Close window", "Del      : Delete selected port"})
            QVERIFY2(labels.contains(QLatin1String(text)), text);

        // Tab order and the hints of the status bar.
        box("txtPortName")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(m_mdi->statusText(), PortMasterWindow::editHint());
        QTest::keyClick(box("txtPortName"), Qt::Key_Tab);
        QTRY_VERIFY(box("txtCity")->hasFocus());
        m_mdi->setStatusText(QString());
        QTest::keyClick(box("txtCity"), Qt::Key_X);
        QCOMPARE(m_mdi->statusText(), PortMasterWindow::editHint());
        QTest::keyClick(box("txtCity"), Qt::Key_Return);
        QTRY_VERIFY(box("txtCountry")->hasFocus());
        QTest::keyClick(box("txtCountry"), Qt::Key_Tab);
        QTRY_VERIFY(list()->hasFocus());
        QCOMPARE(m_mdi->statusText(), PortMasterWindow::deleteHint());
    }

    void aPortNameOfBlanksIsRefused()
    {
        openWindow();
        typePort(QStringLiteral("    "), QStringLiteral("Kandla"), QString());
        pressSave();
        QCOMPARE(messageTexts(), QStringList({QStringLiteral("Please enter port name")}));
        QCOMPARE(lastMessage().title, QStringLiteral("Quorvane Lt"));
        QCOMPARE(lastMessage().icon, Msg::Icon::Exclamation);
        QVERIFY(storedPorts().isEmpty());
        QTRY_VERIFY(box("txtPortName")->hasFocus());
    }

    // A NUL or a tab pasted in with a name cannot be seen in the box: it is refused when the box
    // is left, with the field's message, and a save does not get past it either.
    void controlCharactersAreRefusedOnLeavingTheBox_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("pasted");
        QTest::newRow("NUL in the name") << "txtPortName" << "Port name" << QStringLiteral("Mum") + QChar(0) + "bai";
        QTest::newRow("tab in the city") << "txtCity" << "City" << "Mum\tbai";
        QTest::newRow("escape in the country") << "txtCountry" << "Country" << QStringLiteral("India\x1b");
    }

    void controlCharactersAreRefusedOnLeavingTheBox()
    {
        QFETCH(QString, field);
        QFETCH(QString, caption);
        QFETCH(QString, pasted);
        openWindow();
        typePort(QStringLiteral("Mumbai"), QStringLiteral("Mumbai"), QStringLiteral("India"));
        QLineEdit* b = box(qPrintable(field));
        QTest::mouseClick(b, Qt::LeftButton);
        QTRY_VERIFY(b->hasFocus());
        b->selectAll();
        b->insert(pasted);
        QCOMPARE(b->text(), pasted);
        MessageService::clearRecords();
        QTest::keyClick(b, field == QLatin1String("txtCountry") ? Qt::Key_Tab : Qt::Key_Return);
        const QString message = caption == QLatin1String("Port name")
            ? QStringLiteral("Invalid value for Port name.\r\n\r\nPort name cannot hold control characters (a "
                             "tab, a line break, a NUL and the like); please type it again.")
            : QStringLiteral("Invalid value for %1.\r\n\r\n%1 cannot hold control characters (a tab, a line "
                             "break, a NUL and the like); please type it again.").arg(caption);
        QCOMPARE(messageTexts(), QStringList({message}));
        QCOMPARE(lastMessage().title, QStringLiteral("Quorvane Lt"));
        QCOMPARE(lastMessage().icon, Msg::Icon::Exclamation);
        QTRY_VERIFY(b->hasFocus());
        QCOMPARE(b->selectedText(), pasted);

        MessageService::clearRecords();
        pressSave();
        QCOMPARE(messageTexts(), QStringList({message}));
        QVERIFY(storedPorts().isEmpty());

        // Typed again without it, the port is saved.
        QTest::keyClick(b, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(b, QStringLiteral("Mumbai"));
        MessageService::clearRecords();
        pressSave();
        QCOMPARE(messageTexts().value(0), kAddQuestion);
        QCOMPARE(storedPorts().size(), 1);
    }

    void namesAreStoredTrimmedAndListedInOrder()
    {
        openWindow();
        typePort(QStringLiteral("  Mumbai "), QStringLiteral(" Mumbai  "), QStringLiteral(" India "));
        pressSave();
        QCOMPARE(messageTexts(),
                 QStringList({kAddQuestion, QStringLiteral("One record has been added successfully.")}));
        QCOMPARE(storedPorts().size(), 1);
        QCOMPARE(storedPorts().first().name, QStringLiteral("Mumbai"));
        QCOMPARE(storedPorts().first().city.toText(), QStringLiteral("Mumbai"));
        QCOMPARE(storedPorts().first().country.toText(), QStringLiteral("India"));
        // The boxes are emptied for the next port, which the focus waits for.
        QVERIFY(box("txtPortName")->text().isEmpty());
        QVERIFY(box("txtCity")->text().isEmpty());
        QTRY_VERIFY(box("txtPortName")->hasFocus());
        QCOMPARE(m_win->offeredCommands(), kNewRecordCommands);

        // City and country may stay empty.
        typePort(QStringLiteral("Chennai"), QString(), QString());
        pressSave();
        addPortThroughTheWindow(QStringLiteral("Kandla"));
        QCOMPARE(listed(), QStringList({"Chennai", "Kandla", "Mumbai"}));

        // Renamed, a port moves to its place in the list.
        pick(QStringLiteral("Chennai"));
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::Existing);
        QCOMPARE(m_win->offeredCommands(), kStoredRecordCommands);
        QVERIFY(m_mdi->action(QStringLiteral("tbrMDI(7)"))->isEnabled());
        QCOMPARE(box("txtPortName")->text(), QStringLiteral("Chennai"));
        replaceText(box("txtPortName"), QStringLiteral("Paradip "));
        MessageService::clearRecords();
        pressSave();
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion,
                                              QStringLiteral("One record has been updated successfully.")}));
        QCOMPARE(listed(), QStringList({"Kandla", "Mumbai", "Paradip"}));
        QCOMPARE(storedPorts().size(), 3);
        QCOMPARE(storedPorts().at(1).name, QStringLiteral("Paradip"));
        // Delete waits until a port is picked again.
        QVERIFY(!m_mdi->action(QStringLiteral("tbrMDI(7)"))->isEnabled());
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::New);
    }

    void theSaveQuestionNoAndCancel()
    {
        openWindow();
        addPortThroughTheWindow(QStringLiteral("Haldia"));
        pick(QStringLiteral("Haldia"));
        replaceText(box("txtCity"), QStringLiteral("Kolkata"));

        // No: the texts, the mode and the commands stay as they were.
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::No);
        pressSave();
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion}));
        QCOMPARE(lastMessage().buttons, Msg::Buttons::YesNoCancel);
        QCOMPARE(box("txtCity")->text(), QStringLiteral("Kolkata"));
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::Existing);
        QCOMPARE(m_win->offeredCommands(), kStoredRecordCommands);
        QVERIFY(storedPorts().first().city.toText().isEmpty());

        // Cancel: the texts stay on screen but the window is back in New mode ...
        MessageService::setNextAnswer(Msg::Answer::Cancel);
        pressSave();
        QCOMPARE(box("txtPortName")->text(), QStringLiteral("Haldia"));
        QCOMPARE(box("txtCity")->text(), QStringLiteral("Kolkata"));
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::New);
        QCOMPARE(m_win->offeredCommands(), kNewRecordCommands);
        QCOMPARE(storedPorts().size(), 1);

        // ... so the next Save adds a new port.
        MessageService::clearRecords();
        pressSave();
        QCOMPARE(messageTexts().value(0), kAddQuestion);
        QCOMPARE(storedPorts().size(), 2);
        QCOMPARE(storedPorts().at(1).city.toText(), QStringLiteral("Kolkata"));
    }

    void deletingAPortTakesItsShipsAfterTheWarning()
    {
        sharedConnection().execute(
            QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ('Vizag', NULL, "
                           "'India')"));
        sharedConnection().execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Cochin')"));
        RowSet vizag;
        vizag.open(QStringLiteral("SELECT * FROM Port WHERE PortName = 'Vizag'"), sharedConnection());
        const int vizagId = vizag.value(QStringLiteral("PortID")).toInt32();
        RowSet cochin;
        cochin.open(QStringLiteral("SELECT * FROM Port WHERE PortName = 'Cochin'"), sharedConnection());
        const int cochinId = cochin.value(QStringLiteral("PortID")).toInt32();
        const QString ship = QStringLiteral(
            "INSERT INTO Ship (ShipName, LBP, LOA, Breadth, LightShip, PortOfRegistry) VALUES ('%1', 1, 1, "
            "1, 1, %2)");
        sharedConnection().execute(ship.arg(QStringLiteral("Vizag One")).arg(vizagId));
        sharedConnection().execute(ship.arg(QStringLiteral("Vizag Two")).arg(vizagId));
        sharedConnection().execute(ship.arg(QStringLiteral("Cochin One")).arg(cochinId));

        openWindow();
        QCOMPARE(listed(), QStringList({"Cochin", "Vizag"}));
        pick(QStringLiteral("Vizag"));
        // A port stored without a city shows an empty City box.
        QCOMPARE(box("txtCity")->text(), QString());
        QCOMPARE(box("txtCountry")->text(), QStringLiteral("India"));

        // The Delete key in the list asks, with No as the button Enter presses.
        QTRY_VERIFY(list()->hasFocus());
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(lastMessage().text,
                 MessageService::join(QStringLiteral("Are you sure to delete the selected port ?"),
                                      QStringLiteral("Deletion of this port will also delete all the ships "
                                                     "corresponding to it.")));
        QCOMPARE(lastMessage().buttons, Msg::Buttons::YesNo);
        QCOMPARE(lastMessage().icon, Msg::Icon::Question);
        QVERIFY(lastMessage().defaultButton.has_value());
        QCOMPARE(*lastMessage().defaultButton, Msg::Answer::No);
        QCOMPARE(lastMessage().answer, Msg::Answer::No);
        QCOMPARE(storedPorts().size(), 2);
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::Existing);

        MessageService::setNextAnswer(Msg::Answer::Yes);
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(lastMessage().text, QStringLiteral("One record has been deleted successfully."));
        QCOMPARE(storedPorts().size(), 1);
        QCOMPARE(storedPorts().first().name, QStringLiteral("Cochin"));
        QCOMPARE(storedShipNames(), QStringList({"Cochin One"}));
        QCOMPARE(listed(), QStringList({"Cochin"}));
        QVERIFY(box("txtCountry")->text().isEmpty());
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::New);
        QCOMPARE(m_win->offeredCommands(), kNewRecordCommands);

        // With no port picked, Delete in the list deletes nothing, and asks nothing.
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);
        QTest::keyClick(list(), Qt::Key_Delete);
        QVERIFY(MessageService::records().isEmpty());
        QCOMPARE(storedPorts().size(), 1);
        MessageService::clearAnswers();

        // The toolbar's Delete does the same as the key.
        pick(QStringLiteral("Cochin"));
        MessageService::setNextAnswer(Msg::Answer::Yes);
        m_mdi->action(QStringLiteral("tbrMDI(7)"))->trigger();
        QVERIFY(storedPorts().isEmpty());
        QVERIFY(storedShipNames().isEmpty());
        QCOMPARE(list()->count(), 0);
    }

    void closingOffersATypedPortForSaving()
    {
        // Nothing typed: the window closes without a word.
        openWindow();
        QPointer<PortMasterWindow> win = m_win;
        auto* sub = qobject_cast<QMdiSubWindow*>(m_win->parentWidget());
        QVERIFY(sub);
        QVERIFY(sub->close());
        QVERIFY(MessageService::records().isEmpty());
        QCOMPARE(MainWindow::openChildCount, 0);
        QCOMPARE(m_mdi->statusText(), MainWindow::statusHint());
        QTRY_VERIFY(!win);

        // A new port typed: asked, Yes adds it, and the window goes.
        openWindow();
        typePort(QStringLiteral("Paradip"), QStringLiteral(" Paradip"), QString());
        sub = qobject_cast<QMdiSubWindow*>(m_win->parentWidget());
        QVERIFY(sub->close());
        QCOMPARE(messageTexts(), QStringList({kAddQuestion}));
        QCOMPARE(lastMessage().buttons, Msg::Buttons::YesNo);
        QCOMPARE(lastMessage().icon, Msg::Icon::Question);
        QCOMPARE(storedPorts().size(), 1);
        QCOMPARE(storedPorts().first().name, QStringLiteral("Paradip"));
        QCOMPARE(storedPorts().first().city.toText(), QStringLiteral("Paradip"));
        QCOMPARE(MainWindow::openChildCount, 0);

        // A port corrected, No: the window goes and the port stays as it was.
        openWindow();
        pick(QStringLiteral("Paradip"));
        replaceText(box("txtCity"), QStringLiteral("Cuttack"));
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::No);
        sub = qobject_cast<QMdiSubWindow*>(m_win->parentWidget());
        QVERIFY(sub->close());
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion}));
        QCOMPARE(storedPorts().first().city.toText(), QStringLiteral("Paradip"));
        QCOMPARE(MainWindow::openChildCount, 0);

        // Yes without a port name: told, and the window stays with what was typed.
        openWindow();
        typePort(QStringLiteral("   "), QStringLiteral("Puri"), QString());
        MessageService::clearRecords();
        sub = qobject_cast<QMdiSubWindow*>(m_win->parentWidget());
        QVERIFY(!sub->close());
        QCOMPARE(messageTexts(), QStringList({kAddQuestion, QStringLiteral("Please enter port name")}));
        QCOMPARE(MainWindow::openChildCount, 1);
        QCOMPARE(box("txtCity")->text(), QStringLiteral("Puri"));
        QTRY_VERIFY(box("txtPortName")->hasFocus());
        QCOMPARE(storedPorts().size(), 1);
    }

    void newWithACorrectedPortAsks()
    {
        openWindow();
        addPortThroughTheWindow(QStringLiteral("Haldia"));
        pick(QStringLiteral("Haldia"));

        // No: the correction is dropped and the boxes are emptied for a new port.
        replaceText(box("txtCity"), QStringLiteral("Kolkata"));
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::No);
        pressNew();
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion}));
        QCOMPARE(lastMessage().buttons, Msg::Buttons::YesNo);
        QVERIFY(box("txtCity")->text().isEmpty());
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::New);
        QVERIFY(storedPorts().first().city.toText().isEmpty());

        // Yes without a name: told, and the port stays in the boxes as typed.
        pick(QStringLiteral("Haldia"));
        replaceText(box("txtCity"), QStringLiteral("Kolkata"));
        replaceText(box("txtPortName"), QStringLiteral("  "));
        MessageService::clearRecords();
        pressNew();
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion, QStringLiteral("Please enter port name")}));
        QTRY_VERIFY(box("txtPortName")->hasFocus());
        QCOMPARE(box("txtCity")->text(), QStringLiteral("Kolkata"));
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::Existing);
        QCOMPARE(list()->currentItem(), item(QStringLiteral("Haldia")));
        QCOMPARE(storedPorts().first().name, QStringLiteral("Haldia"));

        // Yes with the name back: written, then the boxes are empty for a new port.
        QTest::keyClick(box("txtPortName"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box("txtPortName"), QStringLiteral("Haldia"));
        MessageService::clearRecords();
        pressNew();
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion}));
        QCOMPARE(storedPorts().size(), 1);
        QCOMPARE(storedPorts().first().city.toText(), QStringLiteral("Kolkata"));
        QVERIFY(box("txtPortName")->text().isEmpty());
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::New);
    }

    void pickingAnotherPortWithEditsAsksFirst()
    {
        openWindow();
        addPortThroughTheWindow(QStringLiteral("Haldia"));
        addPortThroughTheWindow(QStringLiteral("Kandla"));

        // A port shown and left untouched is simply replaced by the next one picked.
        pick(QStringLiteral("Haldia"));
        MessageService::clearRecords();
        pick(QStringLiteral("Kandla"));
        QVERIFY(MessageService::records().isEmpty());

        // No: the correction is dropped and the picked port shown.
        pick(QStringLiteral("Haldia"));
        replaceText(box("txtCity"), QStringLiteral("Kolkata"));
        MessageService::setNextAnswer(Msg::Answer::No);
        pick(QStringLiteral("Kandla"));
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion}));
        QCOMPARE(lastMessage().buttons, Msg::Buttons::YesNo);
        QCOMPARE(lastMessage().icon, Msg::Icon::Question);
        QCOMPARE(box("txtPortName")->text(), QStringLiteral("Kandla"));
        QVERIFY(box("txtCity")->text().isEmpty());
        QVERIFY(storedPorts().at(0).city.toText().isEmpty());

        // Yes: the correction is written, then the picked port shown.
        replaceText(box("txtCountry"), QStringLiteral("Bharat"));
        MessageService::clearRecords();
        pick(QStringLiteral("Haldia"));
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion}));
        QCOMPARE(box("txtPortName")->text(), QStringLiteral("Haldia"));
        QCOMPARE(storedPorts().at(1).country.toText(), QStringLiteral("Bharat"));
        QCOMPARE(m_win->recordMode(), PortMasterWindow::Mode::Existing);

        // Yes without a name: told, and the corrected port stays in the boxes and the list.
        replaceText(box("txtPortName"), QStringLiteral(" "));
        replaceText(box("txtCity"), QStringLiteral("Kolkata"));
        MessageService::clearRecords();
        clickPort(QStringLiteral("Kandla"));
        QCOMPARE(messageTexts(), QStringList({kUpdateQuestion, QStringLiteral("Please enter port name")}));
        QCOMPARE(list()->currentItem(), item(QStringLiteral("Haldia")));
        QCOMPARE(box("txtCity")->text(), QStringLiteral("Kolkata"));
        QCOMPARE(m_win->offeredCommands(), kStoredRecordCommands);
        QCOMPARE(storedPorts().at(0).name, QStringLiteral("Haldia"));

        // A new port typed, then one picked: Yes adds the new port first.
        replaceText(box("txtPortName"), QStringLiteral("Haldia"));
        MessageService::setNextAnswer(Msg::Answer::No);
        pressNew();
        typePort(QStringLiteral("Vizag"), QString(), QString());
        MessageService::clearRecords();
        pick(QStringLiteral("Kandla"));
        QCOMPARE(messageTexts(), QStringList({kAddQuestion}));
        QCOMPARE(storedPorts().size(), 3);
        QCOMPARE(storedPorts().at(2).name, QStringLiteral("Vizag"));
        QCOMPARE(listed(), QStringList({"Haldia", "Kandla", "Vizag"}));
        QCOMPARE(box("txtPortName")->text(), QStringLiteral("Kandla"));
        QCOMPARE(box("txtCountry")->text(), QStringLiteral("Bharat"));
    }
};

QTEST_MAIN(TestPortWindow)
#include "test_port_window.moc"
