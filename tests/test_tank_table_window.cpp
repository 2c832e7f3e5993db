// The Tank Tables window driven as a surveyor drives it, on the example ship's twelve tanks: opened
// from Ship Particulars by its button and by Alt+K, a figure corrected and saved, the findings
// naming the tank and the row at fault and taking the user there, an import that asks how the
// file writes the trim and whether to save the edits first, a paste and Delete Rows that ask,
// an export that keeps to the rules of every file written, and a save refused when another
// writer changed the tables meanwhile.

#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/Database.h"
#include "files/OutputPaths.h"
#include "files/TankTableFile.h"
#include "model/HydrostaticTable.h"
#include "model/TankTable.h"
#include "shell/Startup.h"
#include "ships/ShipParticularsWindow.h"
#include "ships/TankTableWindow.h"
#include "tests/TestSupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
const QString kShip = QStringLiteral("Coral Meridian");
const QString kTitle = QStringLiteral("Tank Tables");

QString lastMessage()
{
    const auto r = MessageService::records();
    return r.isEmpty() ? QString() : r.last().text;
}

Decimal d(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text), QLocale::c());
}

} // namespace

class TestTankTableWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void shipParticularsOpensTheTables();
    void aCorrectedFigureIsSaved();
    void findingsNameTheTankAndRow();
    void importAsksTheTrimSignAndBeforeReplacingEdits();
    void pasteAndDeleteRowsAsk();
    void aNewTankTypedIn();
    void exportWritesTheTablesThroughTheFileRules();
    void anotherWritersChangeIsNotOverwritten();
    void closingWithEditsAsks();

private:
    void openEditor();
    QTableWidget* tanks() const { return m_editor->findChild<QTableWidget*>("grdTanks"); }
    QTableWidget* grid() const { return m_editor->findChild<QTableWidget*>("grdTankTable"); }
    QListWidget* findings() const { return m_editor->findChild<QListWidget*>("lstFindings"); }
    QPushButton* button(const char* name) const { return m_editor->findChild<QPushButton*>(name); }
    QLineEdit* box(const char* name) const { return m_editor->findChild<QLineEdit*>(name); }
    // A click on the tank's row of the list, as the user picks a tank.
    void clickTank(int row);
    // Types `text` into the cell as the user does: F2, the old figure selected, Enter.
    void typeInto(int row, int column, const QString& text);
    void doubleClickFinding(int index)
    {
        const QPoint at = findings()->visualItemRect(findings()->item(index)).center();
        QTest::mouseClick(findings()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(findings()->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList gridLine(int row) const;

    QTemporaryDir m_dir;
    QString m_dataDir;
    int m_shipId = 0;
    TankTables m_stored;
    std::unique_ptr<TankTableWindow> m_editor;
};

void TestTankTableWindow::initTestCase()
{
    TestSupport::initTestEnvironment();
    Startup::initResources();
    m_dataDir = TestSupport::useFreshDatabaseCopy(m_dir);
    const TestSupport::Run mk = TestSupport::runProgram(kMkdb, {m_dataDir, QStringLiteral("--examples")});
    QVERIFY2(mk.status == 0, qPrintable(mk.err));
    openDatabase();
    QVERIFY(!startupFailed());
    m_shipId = HydrostaticTable::shipIdByName(kShip);
    m_stored = TankTables::loadForShip(m_shipId);
    QCOMPARE(m_stored.tanks.size(), 12);
}

void TestTankTableWindow::cleanupTestCase()
{
    closeDatabase();
}

void TestTankTableWindow::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
    openEditor();
}

void TestTankTableWindow::cleanup()
{
    m_editor.reset();
    TankTableWindow::fileChooser() = {};
    // Each case starts from the booklet's tables.
    TankTables::saveForShip(m_shipId, m_stored);
    MessageService::clearAnswers();
}

void TestTankTableWindow::openEditor()
{
    m_editor = std::make_unique<TankTableWindow>(m_shipId, kShip);
    m_editor->resize(1000, 640);
    m_editor->show();
    m_editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    QCOMPARE(tanks()->rowCount(), 12);
    QCOMPARE(m_editor->currentTank(), 0);
    QVERIFY(!m_editor->isDirty());
    QVERIFY(MessageService::records().isEmpty());
}

void TestTankTableWindow::clickTank(int row)
{
    const QPoint at = tanks()->visualItemRect(tanks()->item(row, 0)).center();
    QTest::mouseClick(tanks()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_editor->currentTank(), row);
}

void TestTankTableWindow::typeInto(int row, int column, const QString& text)
{
    grid()->setFocus();
    grid()->setCurrentCell(row, column);
    QTest::keyClick(grid(), Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(grid()->item(row, column)->text(), text);
}

QStringList TestTankTableWindow::gridLine(int row) const
{
    QStringList cells;
    for (int c = 0; c < grid()->columnCount(); ++c)
        cells.append(grid()->item(row, c) ? grid()->item(row, c)->text() : QString());
    return cells;
}

void TestTankTableWindow::shipParticularsOpensTheTables()
{
    m_editor.reset();
    ShipParticularsWindow ships;
    ships.show();
    ships.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&ships));
    QCOMPARE(ships.findChild<QComboBox*>("cmbShipName")->currentText(), kShip);
    auto* open = ships.findChild<QPushButton*>("cmdTankTables");
    QCOMPARE(open->text(), QStringLiteral("Tan&k Tables..."));
    QVERIFY(open->focusPolicy() & Qt::TabFocus);

    // Alt+K opens the ship's tables: the list of her tanks and the first tank's table.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
    // The button's mnemonic presses it as a click would, after its short press.
    QTRY_VERIFY(ships.findChild<TankTableWindow*>());
    auto* editor = ships.findChild<TankTableWindow*>();
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Tank Tables - Coral Meridian"));
    auto* list = editor->findChild<QTableWidget*>("grdTanks");
    QCOMPARE(list->rowCount(), 12);
    const QStringList first{list->item(0, 0)->text(), list->item(0, 1)->text(), list->item(0, 2)->text(),
        list->item(0, 3)->text()};
    QCOMPARE(first, (QStringList{"FPT", "Ballast", "Sounding", "1.025"}));
    auto* table = editor->findChild<QTableWidget*>("grdTankTable");
    QCOMPARE(table->rowCount(), m_stored.tanks[0].rows.size());
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Trim -1"));
    QCOMPARE(editor->findChild<QLineEdit*>("txtTrims")->text(), QStringLiteral("-1 0 1 2 3"));
    // Nothing changed: Close closes without a question.
    QTest::mouseClick(editor->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    QTRY_VERIFY(!ships.findChild<TankTableWindow*>());
    QVERIFY(MessageService::records().isEmpty());

    // The button, clicked, does the same.
    QTest::mouseClick(open, Qt::LeftButton);
    QTRY_VERIFY(ships.findChild<TankTableWindow*>());
    QTest::mouseClick(
        ships.findChild<TankTableWindow*>()->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    QTRY_VERIFY(!ships.findChild<TankTableWindow*>());

    // A ship not yet saved has no tables to open.
    ships.newRecord();
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(
        lastMessage(), QStringLiteral("Please save the ship's particulars before editing her tank tables."));
    QVERIFY(!ships.findChild<TankTableWindow*>());
}

void TestTankTableWindow::aCorrectedFigureIsSaved()
{
    // DB2S (the fifth tank), gauge 90 cm: its correction for 2 degrees to port, -0.2 m3, corrected
    // to -0.21.
    clickTank(4);
    QCOMPARE(box("txtTankName")->text(), QStringLiteral("DB2S"));
    QCOMPARE(box("txtHeels")->text(), QStringLiteral("2P 2S"));
    QCOMPARE(grid()->columnCount(), 8);
    QCOMPARE(gridLine(9), (QStringList{"90", "666.9", "664.2", "661.5", "658.8", "656.1", "-0.2", "0.2"}));
    typeInto(9, 6, QStringLiteral("-0.21"));
    QVERIFY(m_editor->isDirty());

    // Another tank chosen and back: the typed figure is kept with its tank.
    clickTank(0);
    QCOMPARE(grid()->rowCount(), m_stored.tanks[0].rows.size());
    clickTank(4);
    QCOMPARE(grid()->item(9, 6)->text(), QStringLiteral("-0.21"));

    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QVERIFY2(MessageService::records().isEmpty(), qPrintable(lastMessage()));
    QVERIFY(!m_editor->isDirty());
    TankTables expected = m_stored;
    expected.tanks[4].rows[9].heel[0] = d("-0.21");
    QCOMPARE(TankTables::loadForShip(m_shipId), expected);
}

void TestTankTableWindow::findingsNameTheTankAndRow()
{
    // One wrong digit: 664.2 read as 654.2 at gauge 90 of DB2S breaks the trend of its column.
    clickTank(4);
    typeInto(9, 2, QStringLiteral("654.2"));
    clickTank(0);
    QTest::mouseClick(button("cmdCheck"), Qt::LeftButton);
    QCOMPARE(findings()->count(), 1);
    QCOMPARE(findings()->item(0)->text(),
        QStringLiteral("Doubt - Tank DB2S, row 10: the volume 654.2 m3 at trim 0 m breaks the trend "
                       "of the rows around it."));
    // A double-click takes the user to that tank, row and trim.
    doubleClickFinding(0);
    QCOMPARE(m_editor->currentTank(), 4);
    QCOMPARE(grid()->currentRow(), 9);
    QCOMPARE(grid()->currentColumn(), 2);
    QCOMPARE(QApplication::focusWidget(), grid());

    // A doubt is asked about before saving; No keeps the stored tables.
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(MessageService::records().last().buttons, Msg::Buttons::YesNo);
    QVERIFY(lastMessage().startsWith(
        QStringLiteral("Please look at these rows against the ship's tank tables.")));
    QCOMPARE(TankTables::loadForShip(m_shipId), m_stored);

    // A gauge out of order is an error: not saved, and the user is taken to the row.
    typeInto(9, 2, QStringLiteral("664.2"));
    typeInto(4, 0, QStringLiteral("30"));
    clickTank(7);
    MessageService::clearRecords();
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    const QString error
        = QStringLiteral("Tank DB2S, row 5: the gauge 30 cm does not follow the gauge 30 cm of "
                         "row 4; gauges must increase from row to row.");
    QCOMPARE(lastMessage(),
        QStringLiteral("The tank tables were not saved: please correct these rows.\r\n\r\n") + error);
    QCOMPARE(findings()->item(0)->text(), QStringLiteral("Error - ") + error);
    QCOMPARE(m_editor->currentTank(), 4);
    QCOMPARE(grid()->currentRow(), 4);
    QCOMPARE(grid()->currentColumn(), 0);
    QCOMPARE(TankTables::loadForShip(m_shipId), m_stored);

    // A cell that holds no figure is named, and made current, before any check.
    typeInto(4, 0, QStringLiteral("40"));
    typeInto(6, 3, QStringLiteral("x"));
    clickTank(1);
    QTest::mouseClick(button("cmdCheck"), Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("Tank DB2S, row 7, column 4 (Trim 1): \"x\" is not a number."));
    QCOMPARE(m_editor->currentTank(), 4);
    QCOMPARE(grid()->currentRow(), 6);
    QCOMPARE(grid()->currentColumn(), 3);
}

void TestTankTableWindow::importAsksTheTrimSignAndBeforeReplacingEdits()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("booklet.csv"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    // A booklet that writes the trim by the stern negative.
    f.write("Tank,Group,Sounding,Trim -2,Trim 0,Trim 2\n"
            "WB 1,Ballast,0,0,0,0\nWB 1,Ballast,100,98,100,102\nWB 1,Ballast,200,196,200,204\n");
    f.close();
    int chosen = 0;
    TankTableWindow::fileChooser() = [&](QWidget*, bool forSaving) {
        ++chosen;
        return forSaving ? QString() : path;
    };
    const QString signQuestion = QStringLiteral(
        "How does booklet.csv write the trim?\r\n\r\n"
        "By the stern positive: a ship deeper aft than forward has a positive trim, as this program writes "
        "it.\r\nBy the stern negative: the file's trims are turned round.\r\nCancel imports nothing.");

    // Nothing changed: no question but the trim's; Cancel there imports nothing.
    MessageService::setNextAnswer(Msg::Answer::Cancel);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(chosen, 1);
    QCOMPARE(MessageService::records().size(), 1);
    const MessageRecord asked = MessageService::records().last();
    QCOMPARE(asked.title, kTitle);
    QCOMPARE(asked.text, signQuestion);
    QCOMPARE(asked.buttons, Msg::Buttons::YesNoCancel);
    QCOMPARE(asked.buttonTexts.value(Msg::Answer::Yes), QStringLiteral("By the stern &positive"));
    QCOMPARE(asked.buttonTexts.value(Msg::Answer::No), QStringLiteral("By the stern &negative"));
    QCOMPARE(tanks()->rowCount(), 12);
    QVERIFY(!m_editor->isDirty());

    clickTank(3);
    typeInto(2, 1, QStringLiteral("140"));
    const QString saveQuestion = QStringLiteral(
        "The tank tables of Coral Meridian have changed. Save them before importing?\r\n\r\n"
        "Yes saves the tables as they are now; No imports over the changes; Cancel keeps the tables as "
        "they are.");

    // Cancel: no file asked for, the edit kept.
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Cancel);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(lastMessage(), saveQuestion);
    QCOMPARE(MessageService::records().last().defaultButton, std::make_optional(Msg::Answer::Cancel));
    QCOMPARE(chosen, 1);
    QCOMPARE(grid()->item(2, 1)->text(), QStringLiteral("140"));

    // No, then by the stern negative: the file's tank over the edit, its trims turned round;
    // nothing reached the database.
    MessageService::setNextAnswer(Msg::Answer::No);
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(chosen, 2);
    QCOMPARE(lastMessage(), signQuestion);
    QCOMPARE(tanks()->rowCount(), 1);
    QCOMPARE(m_editor->currentTank(), 0);
    QCOMPARE(box("txtTrims")->text(), QStringLiteral("-2 0 2"));
    QCOMPARE(gridLine(1), (QStringList{"100", "102", "100", "98"}));
    QCOMPARE(TankTables::loadForShip(m_shipId), m_stored);
    QVERIFY(m_editor->isDirty());
    const TankTables turned = *m_editor->tablesOnShow();
    QCOMPARE(turned, *TankTableFile::readFile(path, TankTableFile::TrimSign::SternNegative, nullptr));

    // Yes: the tables on show saved first; by the stern positive, the trims as written.
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(chosen, 3);
    QCOMPARE(TankTables::loadForShip(m_shipId), turned);
    QCOMPARE(gridLine(1), (QStringList{"100", "98", "100", "102"}));
    QVERIFY(m_editor->isDirty());

    // A file that is no table is refused with its line named; the tables on show stay.
    QFile bad(path);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("Tank,Group,Sounding,Trim 0\nWB 1,Ballast,0,0\nWB 1,Ballast,100,12,5x\n");
    bad.close();
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::No); // do not save the import before the next one
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QVERIFY(lastMessage().startsWith(QStringLiteral("The file was not imported.\r\n\r\n")));
    QVERIFY(lastMessage().endsWith(QStringLiteral("booklet.csv: Line 3: the row has 5 fields where the "
                                                  "header names 4.")));
    QCOMPARE(gridLine(1), (QStringList{"100", "98", "100", "102"}));
}

void TestTankTableWindow::pasteAndDeleteRowsAsk()
{
    clickTank(7); // APT: no heel columns
    QCOMPARE(box("txtTankName")->text(), QStringLiteral("APT"));
    QCOMPARE(grid()->columnCount(), 6);
    const int rows = grid()->rowCount();
    QApplication::clipboard()->setText(QStringLiteral("60\t54.5\t55.4\t56.3\t57.2\t58.1\n"
                                                      "70\t63.8\t64.8\t65.8\t66.8\t67.8\n"));
    const QString question = QStringLiteral(
        "The 2 pasted rows would be written over rows 2 to 3 of the table of tank APT.\r\n\r\n"
        "Yes writes over rows 2 to 3.\r\nNo inserts the pasted rows above row 2.\r\n"
        "Cancel leaves the table as it is.");

    // Cancel (the button Enter presses) leaves the table as it was.
    grid()->setFocus();
    grid()->setCurrentCell(1, 0);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(lastMessage(), question);
    QCOMPARE(MessageService::records().last().defaultButton, std::make_optional(Msg::Answer::Cancel));
    QVERIFY(!m_editor->isDirty());

    // No: inserted above row 2.
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::mouseClick(button("cmdPaste"), Qt::LeftButton);
    QCOMPARE(grid()->rowCount(), rows + 2);
    QCOMPARE(gridLine(1), (QStringList{"60", "54.5", "55.4", "56.3", "57.2", "58.1"}));
    QCOMPARE(gridLine(3), (QStringList{"50", "45.25", "46", "46.75", "47.5", "48.25"}));
    QVERIFY(m_editor->isDirty());

    // A row wider than the table is refused, naming the line.
    QApplication::clipboard()->setText(QStringLiteral("80\t1\t2\t3\t4\t5\t6\n"));
    QTest::mouseClick(button("cmdPaste"), Qt::LeftButton);
    QCOMPARE(lastMessage(),
        QStringLiteral("The pasted rows were not taken.\r\n\r\n"
                       "Line 1 holds 7 figures where the table of tank APT has 6 columns."));
    QCOMPARE(grid()->rowCount(), rows + 2);

    // Delete Rows asks, No (Enter's button) keeping them; Yes takes the two pasted rows out.
    grid()->setCurrentCell(1, 0);
    grid()->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 5), true);
    QTest::mouseClick(button("cmdDeleteRows"), Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("Delete rows 2 to 3 of the table of tank APT?"));
    QCOMPARE(MessageService::records().last().defaultButton, std::optional<Msg::Answer>(Msg::Answer::No));
    QCOMPARE(grid()->rowCount(), rows + 2);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdDeleteRows"), Qt::LeftButton);
    QCOMPARE(grid()->rowCount(), rows);
    QVERIFY(!m_editor->isDirty());
}

void TestTankTableWindow::aNewTankTypedIn()
{
    clickTank(11); // LO Sump: its trims come with the new tank
    QTest::mouseClick(button("cmdAddTank"), Qt::LeftButton);
    QCOMPARE(tanks()->rowCount(), 13);
    QCOMPARE(m_editor->currentTank(), 12);
    QCOMPARE(QApplication::focusWidget(), box("txtTankName"));
    QTest::keyClicks(box("txtTankName"), QStringLiteral("FO Overflow"));
    QCOMPARE(tanks()->item(12, 0)->text(), QStringLiteral("FO Overflow"));
    auto* group = m_editor->findChild<QComboBox*>("cmbGroup");
    group->setCurrentIndex(group->findText(QStringLiteral("Fuel Oil")));
    auto* gauge = m_editor->findChild<QComboBox*>("cmbGauge");
    gauge->setCurrentIndex(1);
    QCOMPARE(tanks()->item(12, 2)->text(), QStringLiteral("Ullage"));
    box("txtTankDensity")->setFocus();
    QTest::keyClicks(box("txtTankDensity"), QStringLiteral("0.95"));
    // Two trims only: the grid takes two trim columns when the box is left.
    box("txtTrims")->setFocus();
    box("txtTrims")->selectAll();
    QTest::keyClicks(box("txtTrims"), QStringLiteral("0 1"));
    QTest::keyClick(box("txtTrims"), Qt::Key_Tab);
    QCOMPARE(grid()->columnCount(), 3);
    QCOMPARE(grid()->horizontalHeaderItem(2)->text(), QStringLiteral("Trim 1"));

    // Ullage: the volume falls as the ullage deepens.
    QApplication::clipboard()->setText(QStringLiteral("0\t12\t12.1\n50\t6\t6.05\n100\t0\t0\n"));
    QTest::mouseClick(button("cmdPaste"), Qt::LeftButton);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QVERIFY2(MessageService::records().isEmpty(), qPrintable(lastMessage()));
    const TankTables saved = TankTables::loadForShip(m_shipId);
    QCOMPARE(saved.tanks.size(), 13);
    const Tank& t = saved.tanks.last();
    QCOMPARE(t.name, QStringLiteral("FO Overflow"));
    QCOMPARE(t.group, TankGroup::FuelOil);
    QCOMPARE(t.gauge, TankGauge::Ullage);
    QCOMPARE(*t.density, d("0.95"));
    QCOMPARE(t.trims, (QVector<Decimal>{d("0"), d("1")}));
    QCOMPARE(t.rows.size(), 3);
    QCOMPARE(t.rows[1].volumes, (QVector<Decimal>{d("6"), d("6.05")}));

    // Remove Tank asks; Yes takes it out, and the save keeps the other twelve.
    QTest::mouseClick(button("cmdRemoveTank"), Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("Remove tank FO Overflow and its table?"));
    QCOMPARE(tanks()->rowCount(), 13);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdRemoveTank"), Qt::LeftButton);
    QCOMPARE(tanks()->rowCount(), 12);
    QCOMPARE(m_editor->currentTank(), 11);
    MessageService::clearRecords();
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(TankTables::loadForShip(m_shipId), m_stored);
}

void TestTankTableWindow::exportWritesTheTablesThroughTheFileRules()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tanks"));
    TankTableWindow::fileChooser() = [&](QWidget*, bool forSaving) { return forSaving ? path : QString(); };
    QTest::mouseClick(button("cmdExport"), Qt::LeftButton);
    QVERIFY2(MessageService::records().isEmpty(), qPrintable(lastMessage()));
    QFile out(path + QStringLiteral(".csv"));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), TankTableFile::toCsv(m_stored));
    // What was exported reads back to the digit.
    QCOMPARE(
        *TankTableFile::readFile(out.fileName(), TankTableFile::TrimSign::SternPositive, nullptr), m_stored);

    // Never over the survey database.
    const QString database = QDir(m_dataDir).filePath(QStringLiteral("DS.dat"));
    QVERIFY(!OutputPaths::refusal(database).isEmpty());
    QVERIFY(!m_editor->exportFile(database));
    QVERIFY(lastMessage().startsWith(QStringLiteral("The tank tables were not exported.\r\n\r\n")));
    QCOMPARE(TankTables::loadForShip(m_shipId), m_stored);
}

void TestTankTableWindow::anotherWritersChangeIsNotOverwritten()
{
    // The command line's import writes the tables while the window holds them.
    TankTables other = m_stored;
    other.tanks[0].density = d("1.02");
    TankTables::saveForShip(m_shipId, other);

    clickTank(1);
    typeInto(3, 6, QStringLiteral("-0.11"));
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(lastMessage(),
        QStringLiteral("The tank tables of Coral Meridian were changed by another user or program after "
                       "this window read them.\r\n\r\nThe tables on show were not saved, so as not to "
                       "undo that change. Show the tables as they are stored now? The tables on show "
                       "are then lost."));
    QCOMPARE(MessageService::records().last().defaultButton, std::optional<Msg::Answer>(Msg::Answer::No));
    QCOMPARE(TankTables::loadForShip(m_shipId), other);
    QVERIFY(m_editor->isDirty());

    // Yes shows the tables as stored: the other writer's density, and a save that now goes in.
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(tanks()->item(0, 3)->text(), QStringLiteral("1.02"));
    QVERIFY(!m_editor->isDirty());
    clickTank(1);
    typeInto(3, 6, QStringLiteral("-0.11"));
    MessageService::clearRecords();
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QVERIFY2(MessageService::records().isEmpty(), qPrintable(lastMessage()));
    other.tanks[1].rows[3].heel[0] = d("-0.11");
    QCOMPARE(TankTables::loadForShip(m_shipId), other);

    // A count older than the stored one is refused below the window too, nothing written.
    qint64 count = 0;
    TankTables::loadForShip(m_shipId, nullptr, &count);
    QVERIFY(count > 0);
    try {
        TankTables::saveForShip(m_shipId, m_stored, nullptr, count - 1);
        QFAIL("a stale count was written over");
    } catch (const VbError& e) {
        QCOMPARE(e.number(), ChangeCount::ChangedMeanwhile);
    }
    QCOMPARE(TankTables::loadForShip(m_shipId), other);
}

void TestTankTableWindow::closingWithEditsAsks()
{
    clickTank(2);
    typeInto(1, 1, QStringLiteral("99"));
    MessageService::setNextAnswer(Msg::Answer::Cancel);
    QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("The tank tables of Coral Meridian have changed. Save them?"));
    QVERIFY(m_editor->isVisible());
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::keyClick(m_editor.get(), Qt::Key_Escape);
    QVERIFY(!m_editor->isVisible());
    QCOMPARE(TankTables::loadForShip(m_shipId), m_stored);
}

QTEST_MAIN(TestTankTableWindow)
#include "test_tank_table_window.moc"
