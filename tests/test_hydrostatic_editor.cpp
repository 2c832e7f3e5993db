// The Hydrostatic Table window driven as a surveyor drives it, on the example ship's 111 rows:
// the findings name the row whose figure is wrong and take the user there, a paste, Delete Rows
// and an import over unsaved edits ask first, every edit can be undone and redone, and the
// findings' colours read on a light and on a dark scheme.

#include "ui/Contrast.h"
#include "bench/DarkPalette.h"
#include "core/MessageService.h"
#include "db/Database.h"
#include "model/HydrostaticTable.h"
#include "shell/Startup.h"
#include "ships/HydrostaticTableWindow.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {

const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
const QString kShip = QStringLiteral("Coral Meridian");
const QString kTitle = QStringLiteral("Hydrostatic Table");

// The grid as the user reads it: the density, then one line of cells per row.
QStringList onScreen(const HydrostaticTableWindow& w)
{
    QStringList out{w.findChild<QLineEdit*>("txtDensity")->text()};
    const auto* g = w.findChild<QTableWidget*>("grdHydrostatics");
    for (int r = 0; r < g->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < g->columnCount(); ++c)
            cells.append(g->item(r, c) ? g->item(r, c)->text() : QString());
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

QString lastMessage()
{
    const auto r = MessageService::records();
    return r.isEmpty() ? QString() : r.last().text;
}

}  // namespace

class TestHydrostaticEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void findingsNameTheRowAtFault();
    void pasteAsksBeforeWritingOver();
    void deleteRowsAsks();
    void importAsksOverUnsavedEdits();
    void everyEditUndoesAndRedoes();
    void undoPastTheSaveIsUnsaved();
    void findingColoursReadOnEveryScheme_data();
    void findingColoursReadOnEveryScheme();

private:
    void openEditor();
    QTableWidget* grid() const { return m_editor->findChild<QTableWidget*>("grdHydrostatics"); }
    QListWidget* findings() const { return m_editor->findChild<QListWidget*>("lstFindings"); }
    QPushButton* button(const char* name) const { return m_editor->findChild<QPushButton*>(name); }
    // Types `text` into the cell as the user does: F2, the old figure selected, Enter.
    void typeInto(int row, int column, const QString& text);
    // A double-click as the mouse gives it: the first click, then the second as a double-click.
    void doubleClickFinding(int index)
    {
        const QPoint at = findings()->visualItemRect(findings()->item(index)).center();
        QTest::mouseClick(findings()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(findings()->viewport(), Qt::LeftButton, {}, at);
    }
    static QStringList records();

    QTemporaryDir m_dir;
    int m_shipId = 0;
    HydrostaticTable m_stored;
    std::unique_ptr<HydrostaticTableWindow> m_editor;
};

void TestHydrostaticEditor::initTestCase()
{
    TestSupport::initTestEnvironment();
    Startup::initResources();
    const QString dataDir = TestSupport::useFreshDatabaseCopy(m_dir);
    const TestSupport::Run mk = TestSupport::runProgram(kMkdb, {dataDir, QStringLiteral("--examples")});
    QVERIFY2(mk.status == 0, qPrintable(mk.err));
    openDatabase();
    QVERIFY(!startupFailed());
    m_shipId = HydrostaticTable::shipIdByName(kShip);
    m_stored = *HydrostaticTable::loadForShip(m_shipId);
    QCOMPARE(m_stored.rows.size(), 111);
}

void TestHydrostaticEditor::cleanupTestCase()
{
    closeDatabase();
}

void TestHydrostaticEditor::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
    openEditor();
}

void TestHydrostaticEditor::cleanup()
{
    m_editor.reset();
    HydrostaticTableWindow::fileChooser() = {};
    // Each case starts from the booklet's table.
    HydrostaticTable::saveForShip(m_shipId, m_stored);
    MessageService::clearAnswers();
}

void TestHydrostaticEditor::openEditor()
{
    m_editor = std::make_unique<HydrostaticTableWindow>(m_shipId, kShip);
    m_editor->resize(700, 560);
    m_editor->show();
    m_editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    QCOMPARE(grid()->rowCount(), 111);
    QVERIFY(!m_editor->isDirty());
    QVERIFY(MessageService::records().isEmpty());
}

void TestHydrostaticEditor::typeInto(int row, int column, const QString& text)
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

QStringList TestHydrostaticEditor::records()
{
    QStringList out;
    for (const MessageRecord& r : MessageService::records())
        out.append(r.title + QLatin1String(": ") + r.text);
    return out;
}

void TestHydrostaticEditor::findingsNameTheRowAtFault()
{
    // Row 21 (draft 6.00 m) typed as 6.9: it stands above rows 22 and 23, so row 21 is at fault.
    QCOMPARE(grid()->item(20, 0)->text(), QStringLiteral("6"));
    typeInto(20, 0, QStringLiteral("6.9"));
    QTest::mouseClick(button("cmdCheck"), Qt::LeftButton);
    QVERIFY(findings()->count() >= 1);
    const QString error = QStringLiteral("Row 21: the draft 6.9 m is not below the draft 6.1 m of row 22; "
                                         "drafts must increase from row to row.");
    QCOMPARE(findings()->item(0)->text(), QStringLiteral("Error - ") + error);
    QCOMPARE(m_editor->findings().at(0).row, 21);

    // A double-click on the finding takes the user to row 21's draft, not to row 22.
    grid()->setCurrentCell(100, 3);
    doubleClickFinding(0);
    QCOMPARE(grid()->currentRow(), 20);
    QCOMPARE(grid()->currentColumn(), 0);
    QCOMPARE(QApplication::focusWidget(), grid());
    // Enter on the finding does the same.
    grid()->setCurrentCell(100, 3);
    findings()->setFocus();
    findings()->setCurrentRow(0);
    QTest::keyClick(findings(), Qt::Key_Return);
    QCOMPARE(grid()->currentRow(), 20);

    // Save refuses with the same row and goes there.
    grid()->setCurrentCell(100, 3);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(lastMessage(),
             QStringLiteral("The table was not saved: please correct these rows.\r\n\r\n") + error);
    QCOMPARE(grid()->currentRow(), 20);
    QCOMPARE(*HydrostaticTable::loadForShip(m_shipId), m_stored);

    // A displacement typed a thousand tonnes too high on row 21: row 21 again.
    typeInto(20, 0, QStringLiteral("6"));
    typeInto(20, 1, QStringLiteral("34012"));
    QTest::mouseClick(button("cmdCheck"), Qt::LeftButton);
    QCOMPARE(findings()->item(0)->text(),
             QStringLiteral("Error - Row 21: the displacement 34012 t is not below the displacement "
                            "33645.5 t of row 22."));
    grid()->setCurrentCell(0, 0);
    doubleClickFinding(0);
    QCOMPARE(grid()->currentRow(), 20);
    QCOMPARE(grid()->currentColumn(), 1);

    // Typed too low, row 21 follows row 20 out of order: named as before.
    typeInto(20, 1, QStringLiteral("32012"));
    QTest::mouseClick(button("cmdCheck"), Qt::LeftButton);
    QCOMPARE(findings()->item(0)->text(),
             QStringLiteral("Error - Row 21: the displacement 32012 t is not above the displacement "
                            "32380.6 t of row 20."));
}

void TestHydrostaticEditor::pasteAsksBeforeWritingOver()
{
    const QStringList before = onScreen(*m_editor);
    QApplication::clipboard()->setText(QStringLiteral("6.05\t33328\t63.27\t4.08\t895.1\n"
                                                      "6.07\t33455\t63.31\t4.1\t895.5\n"));
    const QString question = QStringLiteral(
        "The 2 pasted rows would be written over rows 5 to 6 of the table.\r\n\r\n"
        "Yes writes over rows 5 to 6.\r\nNo inserts the pasted rows above row 5.\r\n"
        "Cancel leaves the table as it is.");

    // Cancel (and Enter, whose button it is) leave the table as it was.
    grid()->setFocus();
    grid()->setCurrentCell(4, 0);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(records(), QStringList{kTitle + QLatin1String(": ") + question});
    const MessageRecord asked = MessageService::records().last();
    QCOMPARE(asked.buttons, Msg::Buttons::YesNoCancel);
    QCOMPARE(asked.icon, Msg::Icon::Question);
    QCOMPARE(asked.defaultButton, std::optional<Msg::Answer>(Msg::Answer::Cancel));
    QCOMPARE(onScreen(*m_editor), before);
    QVERIFY(!m_editor->isDirty());

    // No: the rows go in above row 5, row 5 and what follows move down.
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::mouseClick(button("cmdPaste"), Qt::LeftButton);
    QCOMPARE(grid()->rowCount(), 113);
    QStringList expected = before;
    expected.insert(5, QStringLiteral("6.05|33328|63.27|4.08|895.1"));
    expected.insert(6, QStringLiteral("6.07|33455|63.31|4.1|895.5"));
    QCOMPARE(onScreen(*m_editor), expected);
    QVERIFY(m_editor->isDirty());

    // Yes: rows 5 and 6 written over, the row count kept.
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(onScreen(*m_editor), before);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    grid()->setCurrentCell(4, 2);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    expected = before;
    expected[5] = QStringLiteral("6.05|33328|63.27|4.08|895.1");
    expected[6] = QStringLiteral("6.07|33455|63.31|4.1|895.5");
    QCOMPARE(onScreen(*m_editor), expected);

    // Pasted into an empty row at the end: nothing to write over, nothing asked.
    MessageService::clearRecords();
    grid()->setCurrentCell(110, 0);
    QTest::mouseClick(button("cmdAddRow"), Qt::LeftButton);
    QCOMPARE(grid()->currentRow(), 111);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(MessageService::records().isEmpty());
    QCOMPARE(grid()->rowCount(), 113);
    QCOMPARE(onScreen(*m_editor).at(112), QStringLiteral("6.05|33328|63.27|4.08|895.1"));

    // One row over the last row: the question names that row alone.
    QApplication::clipboard()->setText(QStringLiteral("15\t90000\t70\t1\t1200\n"));
    grid()->setCurrentCell(112, 0);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(lastMessage(), QStringLiteral("The pasted row would be written over row 113 of the table."
                                           "\r\n\r\nYes writes over row 113.\r\n"
                                           "No inserts the pasted rows above row 113.\r\n"
                                           "Cancel leaves the table as it is."));
    QCOMPARE(onScreen(*m_editor).at(113), QStringLiteral("6.07|33455|63.31|4.1|895.5"));
}

void TestHydrostaticEditor::deleteRowsAsks()
{
    const QStringList before = onScreen(*m_editor);
    grid()->setFocus();
    grid()->setCurrentCell(2, 0);
    grid()->setRangeSelected(QTableWidgetSelectionRange(2, 0, 4, 4), true);

    // No, the button Enter presses, keeps the rows.
    QTest::mouseClick(button("cmdDeleteRows"), Qt::LeftButton);
    QCOMPARE(records(),
             QStringList{kTitle + QLatin1String(": Delete rows 3 to 5 of the hydrostatic table?")});
    QCOMPARE(MessageService::records().last().buttons, Msg::Buttons::YesNo);
    QCOMPARE(MessageService::records().last().defaultButton, std::optional<Msg::Answer>(Msg::Answer::No));
    QCOMPARE(onScreen(*m_editor), before);
    QVERIFY(!m_editor->isDirty());

    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdDeleteRows"), Qt::LeftButton);
    QStringList expected = before;
    expected.erase(expected.begin() + 3, expected.begin() + 6);
    QCOMPARE(onScreen(*m_editor), expected);
    QVERIFY(m_editor->isDirty());

    // One row, and rows apart from one another.
    grid()->clearSelection();
    grid()->setCurrentCell(0, 1);
    QTest::mouseClick(button("cmdDeleteRows"), Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("Delete row 1 of the hydrostatic table?"));
    grid()->setRangeSelected(QTableWidgetSelectionRange(10, 0, 10, 0), true);
    grid()->setRangeSelected(QTableWidgetSelectionRange(20, 0, 20, 0), true);
    QTest::mouseClick(button("cmdDeleteRows"), Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("Delete the 3 selected rows of the hydrostatic table?"));
    QCOMPARE(onScreen(*m_editor), expected);
}

void TestHydrostaticEditor::importAsksOverUnsavedEdits()
{
    // A booklet page of two rows.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.csv"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Draft,Displacement,TPC,LCF,MCTC\n7,41094.3,65.1,4.4,920\n7.1,41745.7,65.18,4.42,922.4\n");
    f.close();
    int chosen = 0;
    HydrostaticTableWindow::fileChooser() = [&](QWidget*, bool) {
        ++chosen;
        return path;
    };

    // Nothing changed: no question, straight to the file.
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(chosen, 1);
    QVERIFY(MessageService::records().isEmpty());
    QTest::mouseClick(m_editor->findChild<QPushButton*>("cmdImportCancel"), Qt::LeftButton);

    typeInto(0, 4, QStringLiteral("846"));
    const QStringList edited = onScreen(*m_editor);
    const QString question = QStringLiteral(
        "The hydrostatic table of Coral Meridian has changed. Save it before importing?\r\n\r\n"
        "Yes saves the table as it is now; No imports over the changes (Undo brings them back); "
        "Cancel keeps the table as it is.");

    // Cancel: no file asked for, the edit kept.
    MessageService::setNextAnswer(Msg::Answer::Cancel);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(records(), QStringList{kTitle + QLatin1String(": ") + question});
    QCOMPARE(MessageService::records().last().buttons, Msg::Buttons::YesNoCancel);
    QCOMPARE(chosen, 1);
    QCOMPARE(onScreen(*m_editor), edited);

    // No: imported over the edit, which Undo brings back; nothing reached the database.
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(chosen, 2);
    QTest::mouseClick(m_editor->findChild<QPushButton*>("cmdImportAccept"), Qt::LeftButton);
    QCOMPARE(grid()->rowCount(), 2);
    QCOMPARE(onScreen(*m_editor).at(2), QStringLiteral("7.1|41745.7|65.18|4.42|922.4"));
    QCOMPARE(*HydrostaticTable::loadForShip(m_shipId), m_stored);
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(onScreen(*m_editor), edited);

    // Yes: the edit saved first, then the file imported.
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdImport"), Qt::LeftButton);
    QCOMPARE(chosen, 3);
    QCOMPARE(HydrostaticTable::loadForShip(m_shipId)->rows.at(0).mctc, Decimal(846));
    QTest::mouseClick(m_editor->findChild<QPushButton*>("cmdImportAccept"), Qt::LeftButton);
    QCOMPARE(grid()->rowCount(), 2);
    QVERIFY(m_editor->isDirty());
}

void TestHydrostaticEditor::everyEditUndoesAndRedoes()
{
    QList<QStringList> states{onScreen(*m_editor)};
    auto step = [&] { states.append(onScreen(*m_editor)); };

    typeInto(3, 2, QStringLiteral("60.41"));  // typing a cell
    step();
    auto* density = m_editor->findChild<QLineEdit*>("txtDensity");
    density->setFocus();
    density->selectAll();
    QTest::keyClicks(density, QStringLiteral("1.000"));  // the density, one step for the typing
    step();
    grid()->setFocus();
    grid()->setCurrentCell(7, 0);
    QApplication::clipboard()->setText(QStringLiteral("4.75\t25243\t61.15\t3.5\t865.7\n"));
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);  // paste, inserted
    step();
    QTest::mouseClick(button("cmdAddRow"), Qt::LeftButton);  // insert a row
    step();
    grid()->setCurrentCell(9, 0);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QTest::mouseClick(button("cmdDeleteRows"), Qt::LeftButton);  // delete a row
    step();
    grid()->setFocus();
    grid()->setCurrentCell(12, 1);
    grid()->setRangeSelected(QTableWidgetSelectionRange(12, 1, 13, 2), true);
    QTest::keyClick(grid(), Qt::Key_Delete);  // clear the selected cells
    step();
    QVERIFY(grid()->item(12, 1)->text().isEmpty() && grid()->item(13, 2)->text().isEmpty());
    QVERIFY(!grid()->item(12, 0)->text().isEmpty() && !grid()->item(14, 1)->text().isEmpty());
    m_editor->showTable(m_stored);  // the whole table replaced, as an import does
    step();

    for (int i = 1; i < states.size(); ++i)
        QVERIFY2(states.at(i) != states.at(i - 1),
                 qPrintable(QStringLiteral("step %1 changed nothing").arg(i)));
    QCOMPARE(m_editor->undoStack()->count(), states.size() - 1);

    // Ctrl+Z walks back through every step, Ctrl+Y forward again.
    grid()->setFocus();
    for (int i = states.size() - 2; i >= 0; --i) {
        QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(onScreen(*m_editor), states.at(i));
    }
    QVERIFY(!m_editor->isDirty());
    for (int i = 1; i < states.size(); ++i) {
        QTest::keyClick(grid(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(onScreen(*m_editor), states.at(i));
    }
    // The window's Undo action, as the grid's context menu offers it.
    auto* undo = m_editor->findChild<QAction*>("mnuEditUndo");
    QVERIFY(undo && undo->isEnabled());
    undo->trigger();
    QCOMPARE(onScreen(*m_editor), states.at(states.size() - 2));
    m_editor->findChild<QAction*>("mnuEditRedo")->trigger();
    QCOMPARE(onScreen(*m_editor), states.last());
    QVERIFY(MessageService::records().size() == 2);  // the paste's and the delete's questions only
}

void TestHydrostaticEditor::undoPastTheSaveIsUnsaved()
{
    typeInto(0, 4, QStringLiteral("846"));
    QVERIFY(m_editor->isDirty());
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QVERIFY(MessageService::records().isEmpty());
    QVERIFY(!m_editor->isDirty());
    QCOMPARE(HydrostaticTable::loadForShip(m_shipId)->rows.at(0).mctc, Decimal(846));

    // Undo after the save: the grid shows the figure before it, and the window knows the table
    // on show is not the one saved.
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(grid()->item(0, 4)->text(), QStringLiteral("845"));
    QVERIFY(m_editor->isDirty());
    MessageService::setNextAnswer(Msg::Answer::Cancel);
    QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("The hydrostatic table of Coral Meridian has changed. Save it?"));
    QVERIFY(m_editor->isVisible());

    // Redo comes back to what was saved: nothing to ask on closing.
    QTest::keyClick(grid(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(!m_editor->isDirty());
    MessageService::clearRecords();
    QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
    QVERIFY(MessageService::records().isEmpty());
    QVERIFY(!m_editor->isVisible());
}

void TestHydrostaticEditor::findingColoursReadOnEveryScheme_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("light") << QStringLiteral("light");
    QTest::newRow("dark") << QStringLiteral("dark");
    QTest::newRow("grey ground of the report") << QStringLiteral("grey");
}

void TestHydrostaticEditor::findingColoursReadOnEveryScheme()
{
    QFETCH(QString, scheme);
    const QPalette original = QApplication::palette();
    if (scheme == QLatin1String("dark")) {
        useDarkPalette();
    } else if (scheme == QLatin1String("grey")) {
        // The dark scheme the fault was seen in: list ground #3D3D3D.
        QPalette grey = original;
        grey.setColor(QPalette::Base, QColor(0x3d, 0x3d, 0x3d));
        grey.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        QApplication::setPalette(grey);
    }
    // An error and a doubt: a displacement typed too low and a misread one further down.
    typeInto(20, 1, QStringLiteral("32012"));
    typeInto(50, 1, QStringLiteral("52895.8"));
    QTest::mouseClick(button("cmdCheck"), Qt::LeftButton);
    QVERIFY(findings()->count() >= 2);
    const QColor ground = findings()->palette().color(QPalette::Base);
    if (scheme != QLatin1String("light"))
        QVERIFY(Contrast::luminance(ground) < 0.1);
    else
        QVERIFY(Contrast::luminance(ground) > 0.5);
    bool sawError = false, sawDoubt = false;
    for (int i = 0; i < findings()->count(); ++i) {
        const QListWidgetItem* item = findings()->item(i);
        const bool error = item->text().startsWith(QLatin1String("Error - "));
        sawError = sawError || error;
        sawDoubt = sawDoubt || !error;
        // What the list draws the text in: the item's own colour, or the palette's text.
        const QColor ink = item->foreground().style() == Qt::NoBrush
                               ? findings()->palette().color(QPalette::Text)
                               : item->foreground().color();
        QVERIFY2(Contrast::ratio(ink, ground) >= 4.5, qPrintable(QStringLiteral("%1 on %2: %3:1 for \"%4\"")
                                                               .arg(ink.name(), ground.name())
                                                               .arg(Contrast::ratio(ink, ground), 0, 'f', 2)
                                                               .arg(item->text())));
        // An error still looks red beside the doubts.
        if (error)
            QVERIFY(ink.hslHue() == 0 && ink.hslSaturation() > 200);
    }
    QVERIFY(sawError && sawDoubt);

    // The scheme changed while the window is open: the findings are coloured again.
    QApplication::setPalette(original);
    QApplication::processEvents();
    const QColor lightGround = findings()->palette().color(QPalette::Base);
    QVERIFY(Contrast::ratio(findings()->item(0)->foreground().color(), lightGround) >= 4.5);
}

QTEST_MAIN(TestHydrostaticEditor)
#include "test_hydrostatic_editor.moc"
