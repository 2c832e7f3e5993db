// The ship's hydrostatic table at work: the survey windows pick their rows from it as the
// readings come in and give the very figures of the same rows typed by hand; a survey file
// without rows takes them from it; its editor in Ship Particulars imports, audits and saves;
// and the command line imports and exports it.

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Database.h"
#include "files/HydrostaticTableFile.h"
#include "files/SurveyFile.h"
#include "model/HydrostaticTable.h"
#include "model/SurveyDraft.h"
#include "shell/ChildRegistry.h"
#include "shell/Startup.h"
#include "ships/HydrostaticTableWindow.h"
#include "ships/ShipParticularsWindow.h"
#include "survey/GridEditor.h"
#include "survey/HydrostaticPicker.h"
#include "survey/SurveyWindow.h"
#include "survey/LoadingSurveyWindow.h"
#include "survey/DischargingSurveyWindow.h"
#include "tests/SurveyWindowDriver.h"
#include "tests/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
const QString kShip = QStringLiteral("Coral Meridian");

using TestSupport::Run;
using TestSupport::runProgram;

using SurveyTestShips::dropRows;
using SurveyTestShips::readExample;

QString texts(const QVector<Variant>& values)
{
    QStringList out;
    for (const Variant& v : values)
        out.append(v.isEmpty() || v.isNull() ? QString() : v.toText());
    return out.join(QLatin1Char('|'));
}

// Everything a survey's drafts worked out, and what the window shows of the cargo and constant.
QString figuresOf(SurveyWindow& w)
{
    QStringList out;
    for (SurveyDraft* d : {&w.initialDraft(), &w.finalDraft()}) {
        out.append(texts(d->finalResult()));
        out.append(d->ipFactor().isEmpty() ? QString() : d->ipFactor().toText());
    }
    out.append(w.cargoResultText());
    out.append(w.constantText());
    return out.join(QLatin1Char('\n'));
}

}  // namespace

class TestHydrostaticWindows : public QObject, public SurveyWindowDriver {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void pickedRowsGiveTheFiguresOfTypedRows_data();
    void pickedRowsGiveTheFiguresOfTypedRows();
    void windowPicksAsTheReadingsComeIn();
    void figureTypedOnTheFinalTabStaysTyped();
    void trueMeanDraftOnARowInTheDischargingWindow();
    void fileDraftOutsideTheTable();
    void rowsOfAFileFollowItsReadings_data();
    void rowsOfAFileFollowItsReadings();
    void editorImportsAuditsAndSaves();
    void commandLineImportsAndExports();
    void editorAsksHowTheLcfIsWritten();
    void commandLineTakesTheLcfConventionAndTheDrafts();
    void shipParticularsOpensTheTable();

private:
    std::unique_ptr<SurveyWindow> openWindow(SurveyFileData::Kind kind);
    // A Loading window on the example ship, her density typed, the focus on the first reading.
    void openAtTheReadings();
    QTemporaryDir m_dir;
    QString m_dataDir;
    std::unique_ptr<SurveyWindow> m_owned;
};

// Rows pasted or imported with plain LCF figures: the editor asks how they are written and keeps
// them in the program's own convention, showing the one they came in; lettered figures are not
// asked about. The drafts' kind is the editor's choice and is kept with the table.
void TestHydrostaticWindows::editorAsksHowTheLcfIsWritten()
{
    const int shipId = HydrostaticTable::shipIdByName(kShip);
    const HydrostaticTable before = *HydrostaticTable::loadForShip(shipId);
    HydrostaticTableWindow editor(shipId, kShip);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto* grid = editor.findChild<QTableWidget*>("grdHydrostatics");
    auto* shown = editor.findChild<QLabel*>("lblLcfConvention");
    QCOMPARE(shown->text(), QStringLiteral("LCF from midships, positive aft."));

    int asked = 0;
    std::optional<LcfConvention> answer;
    HydrostaticTableWindow::lcfChooser() = [&](QWidget*) {
        ++asked;
        return answer;
    };
    // Cancelled: nothing is taken.
    grid->setCurrentCell(0, 0);
    QVERIFY(!editor.pasteText(QStringLiteral("4\t20703.9\t59.9\t105.4\t845\n")));
    QCOMPARE(asked, 1);
    QCOMPARE(grid->item(0, 3)->text(), QStringLiteral("3.1"));
    // From the aft perpendicular of a ship 217 m between perpendiculars: 108.5 - 105.4 = 3.1 aft.
    answer = LcfConvention::AftPerpendicular;
    MessageService::setNextAnswer(Msg::Answer::Yes);  // write over the row
    QVERIFY(editor.pasteText(QStringLiteral("4\t20703.9\t59.9\t105.4\t845\n")));
    QCOMPARE(grid->item(0, 3)->text(), QStringLiteral("3.1"));
    QCOMPARE(shown->text(), QStringLiteral("LCF from midships, positive aft; the table came with its LCF from the "
                                           "aft perpendicular, positive forward."));
    // Marked F: 0.7 m forward of midships, whatever the answer would be.
    answer = LcfConvention::MidshipForward;
    grid->setCurrentCell(110, 0);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QVERIFY(editor.pasteText(QStringLiteral("15\t93677.8\t70\t0.70F\t1052\n")));
    QCOMPARE(asked, 2);
    QCOMPARE(grid->item(110, 3)->text(), QStringLiteral("-0.7"));
    QCOMPARE(shown->text(), QStringLiteral("LCF from midships, positive aft; the table came with its LCF from "
                                           "midships, marked A (aft) or F (forward)."));

    auto* drafts = editor.findChild<QComboBox*>("cmbDrafts");
    QCOMPARE(drafts->currentIndex(), 0);
    drafts->setCurrentIndex(1);
    forgetMessages();
    QVERIFY(editor.save());
    const HydrostaticTable saved = *HydrostaticTable::loadForShip(shipId);
    QCOMPARE(saved.rows, before.rows);
    QVERIFY(saved.mouldedDrafts);
    QCOMPARE(saved.lcfSource, LcfConvention::Lettered);

    HydrostaticTableWindow::lcfChooser() = {};
    HydrostaticTable::saveForShip(shipId, before);
}

// --lcf and --drafts on the command line: a table from the aft perpendicular, moulded, comes in
// as the booklet's own table does, and the same survey gives the same figures.
void TestHydrostaticWindows::commandLineTakesTheLcfConventionAndTheDrafts()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    QVERIFY(TestSupport::copyDatabaseFiles(m_dataDir, data));
    const HydrostaticTable own = *HydrostaticTable::loadForShip(HydrostaticTable::shipIdByName(kShip));
    QString csv = QStringLiteral("Draft,Displacement,TPC,LCF,MCTC\n");
    for (const HydrostaticRow& r : own.rows)
        csv += QStringLiteral("%1,%2,%3,%4,%5\n")
                   .arg(r.draft.toString(), r.displacement.toString(), r.tpc.toString(),
                        (Decimal(217) / Decimal(2) - r.lcf).toString(), r.mctc.toString());
    const QString path = dir.filePath(QStringLiteral("ap.csv"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(csv.toUtf8());
    f.close();

    Run r = runProgram(kLt, {"--data-dir", data, "--import-hydrostatics", kShip, path, "--lcf", "aft-perpendicular",
                             "--drafts", "moulded"});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    r = runProgram(kLt, {"--data-dir", data, "--export-hydrostatics", kShip, out});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QFile exported(out);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(exported.readAll());
    QVERIFY2(text.startsWith(QStringLiteral("# Water density 1.025 t/m3\n# LCF from midships, positive aft (m); the "
                                            "table came with its LCF from the aft perpendicular, positive forward\n"
                                            "# Drafts moulded, from the top of the keel plate\n")),
             qPrintable(text.left(300)));
    QVERIFY(text.contains(QStringLiteral("\n6,33012,63.18,4.05,894.2\n")));

    r = runProgram(kLt, {"--data-dir", data, "--import-hydrostatics", kShip, path, "--lcf", "forward"});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(QLatin1String("--lcf takes midship-aft, midship-forward or aft-perpendicular, not "
                                          "\"forward\"")),
             qPrintable(r.err));
    r = runProgram(kLt, {"--data-dir", data, "--import-hydrostatics", kShip, path, "--drafts", "keel"});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(QLatin1String("--drafts takes extreme or moulded, not \"keel\"")));
}

void TestHydrostaticWindows::initTestCase()
{
    TestSupport::initTestEnvironment();
    Startup::initResources();
    m_dataDir = TestSupport::useFreshDatabaseCopy(m_dir);
    // The example ship, her ports and her table, as a newcomer adds them.
    const Run mk = runProgram(kMkdb, {m_dataDir, QStringLiteral("--examples")});
    QVERIFY2(mk.status == 0, qPrintable(mk.err));
    QVERIFY2(mk.out.contains(QLatin1String("added the hydrostatic table of Coral Meridian (111 rows)")), qPrintable(mk.out));
    openDatabase();
    QVERIFY(!startupFailed());
    registerChildWindows();
}

void TestHydrostaticWindows::cleanupTestCase()
{
    closeDatabase();
}

void TestHydrostaticWindows::init()
{
    forgetMessages();
}

void TestHydrostaticWindows::cleanup()
{
    m_owned.reset();
    m_window = nullptr;
}

std::unique_ptr<SurveyWindow> TestHydrostaticWindows::openWindow(SurveyFileData::Kind kind)
{
    if (kind == SurveyFileData::Kind::Discharging)
        return std::make_unique<DischargingSurveyWindow>();
    return std::make_unique<LoadingSurveyWindow>();
}

void TestHydrostaticWindows::pickedRowsGiveTheFiguresOfTypedRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("loading") << QStringLiteral("loading-port-hedland.json");
    QTest::newRow("discharging") << QStringLiteral("discharging-qingdao.json");
}

void TestHydrostaticWindows::pickedRowsGiveTheFiguresOfTypedRows()
{
    QFETCH(QString, file);
    const SurveyFileData typed = readExample(file);
    QVERIFY(typed.final);
    SurveyFileData picked = typed;
    dropRows(picked.initial);
    dropRows(*picked.final);

    std::unique_ptr<SurveyWindow> byHand = openWindow(typed.kind);
    QVERIFY(byHand);
    const auto a = byHand->enterFile(typed, file);
    QVERIFY2(a.loaded(), qPrintable(a.message));
    std::unique_ptr<SurveyWindow> fromTable = openWindow(typed.kind);
    const auto b = fromTable->enterFile(picked, file);
    QVERIFY2(b.loaded(), qPrintable(b.message));

    const QString figures = figuresOf(*byHand);
    QVERIFY(!byHand->cargoResultText().isEmpty());
    QCOMPARE(figuresOf(*fromTable), figures);
    // The file written back holds the rows the table gave: the example's own.
    const SurveyFileData back = fromTable->surveyData();
    for (const auto& [was, now] : {std::pair{typed.initial, back.initial}, std::pair{*typed.final, *back.final}}) {
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(*Decimal::parse(now.below[c], QLocale::c()), *Decimal::parse(was.below[c], QLocale::c()));
            QCOMPARE(*Decimal::parse(now.above[c], QLocale::c()), *Decimal::parse(was.above[c], QLocale::c()));
        }
        QCOMPARE(*Decimal::parse(now.mctcPlus50Below, QLocale::c()), *Decimal::parse(was.mctcPlus50Below, QLocale::c()));
        QCOMPARE(*Decimal::parse(now.mctcMinus50Above, QLocale::c()), *Decimal::parse(was.mctcMinus50Above, QLocale::c()));
    }
}

void TestHydrostaticWindows::openAtTheReadings()
{
    m_owned = openWindow(SurveyFileData::Kind::Loading);
    showWindow(m_owned.get());
    pickShip(kShip);
    typeInto(box("txtDensity"), QStringLiteral("1.0235"));
    pressEnter();
    pressEnter();
    pressEnter();
}

void TestHydrostaticWindows::windowPicksAsTheReadingsComeIn()
{
    openAtTheReadings();
    const QStringList readings = {"5.10", "5.14", "6.02", "6.06", "7.05", "7.01"};
    for (int i = 0; i < 5; ++i)
        enter(readings[i]);
    // Five readings of six: no true mean draft of the ship's yet, nothing picked.
    QCOMPARE(cell("fgrdHDT", 1, 1), QString());
    enter(readings[5]);
    for (const char* m : {"-2.35", "0.50", "4.10"})
        enter(QLatin1String(m));
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
    const QStringList hdt = {cell("fgrdHDT", 1, 1), cell("fgrdHDT", 1, 2), cell("fgrdHDT", 1, 3), cell("fgrdHDT", 1, 4),
                             cell("fgrdHDT", 2, 1), cell("fgrdHDT", 2, 2), cell("fgrdHDT", 2, 3), cell("fgrdHDT", 2, 4)};
    QCOMPARE(hdt, QStringList({"6", "33012", "63.18", "4.05", "6.1", "33645.5", "63.36", "4.12"}));
    QCOMPARE(cell("fgrdMCTCP50", 1, 1), QStringLiteral("6.5"));
    QCOMPARE(cell("fgrdMCTCP50", 2, 2), QStringLiteral("907.9"));
    QCOMPARE(cell("fgrdMCTCM50", 1, 1), QStringLiteral("5.5"));
    QCOMPARE(cell("fgrdMCTCM50", 2, 2), QStringLiteral("886.6"));
    // The box over the current cell holds its picked figure, ready to be typed over.
    QCOMPARE(box("txtHDTGridTextbox")->text(), QStringLiteral("6"));
    HydrostaticPicker* picker = m_owned->hydrostaticPicker();
    QVERIFY(!picker->isTyped(grid("fgrdHDT"), 1, 1));
    QVERIFY(!grid("fgrdHDT")->cellBold(1, 1));

    // Enter keeps the picked draft; the Above TPC is typed over and stays so.
    enter(QStringLiteral("6"));
    enter(QStringLiteral("6.1"));
    enter(QStringLiteral("33012"));
    enter(QStringLiteral("33645.5"));
    enter(QStringLiteral("63.18"));
    enter(QStringLiteral("63.40"));
    QCOMPARE(cell("fgrdHDT", 2, 3), QStringLiteral("63.4"));
    QVERIFY(picker->isTyped(grid("fgrdHDT"), 2, 3));
    QVERIFY(grid("fgrdHDT")->cellBold(2, 3));
    QVERIFY(!picker->isTyped(grid("fgrdHDT"), 1, 3));

    // Deeper by 20 cm: the next pair of rows, the typed TPC kept.
    for (const auto& [name, value] : {std::pair{"txtFwdPort", "5.30"}, {"txtFwdStbd", "5.34"}, {"txtMidShipPort", "6.22"},
                                      {"txtMidshipStbd", "6.26"}, {"txtAftPort", "7.25"}, {"txtAftStbd", "7.21"}}) {
        typeInto(box(name), QLatin1String(value));
        pressEnter();
    }
    QCOMPARE(cell("fgrdHDT", 1, 1), QStringLiteral("6.2"));
    QCOMPARE(cell("fgrdHDT", 2, 1), QStringLiteral("6.3"));
    QCOMPARE(cell("fgrdHDT", 2, 3), QStringLiteral("63.4"));
    QVERIFY(grid("fgrdHDT")->cellBold(2, 3));
    QVERIFY(!find<QLabel>("lblHydrostaticPick")->isVisible());

    // Out of the table: nothing picked, the picked figures gone, the typed one kept, and why.
    for (const char* name : {"txtFwdPort", "txtFwdStbd", "txtMidShipPort", "txtMidshipStbd", "txtAftPort", "txtAftStbd"}) {
        typeInto(box(name), QStringLiteral("16.5"));
        pressEnter();
    }
    QCOMPARE(cell("fgrdHDT", 1, 1), QString());
    QCOMPARE(cell("fgrdMCTCP50", 2, 2), QString());
    QCOMPARE(cell("fgrdHDT", 2, 3), QStringLiteral("63.4"));
    auto* note = find<QLabel>("lblHydrostaticPick");
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("The true mean draft 16.5 m lies outside the ship's hydrostatic table "
                                          "(4 m to 15 m): no rows were picked."));
    QVERIFY(messages().isEmpty());

    // A new survey: no word left about the last one's draft.
    m_owned->newRecord();
    QVERIFY(!note->isVisible());
}

void TestHydrostaticWindows::figureTypedOnTheFinalTabStaysTyped()
{
    openAtTheReadings();
    for (const char* r : {"5.10", "5.14", "6.02", "6.06", "7.05", "7.01", "-2.35", "0.50", "4.10"})
        enter(QLatin1String(r));
    QCOMPARE(cell("fgrdHDT", 1, 2), QStringLiteral("33012"));
    // The Below displacement emptied on the Initial tab, to be picked again there.
    enter(QStringLiteral("6"));
    enter(QStringLiteral("6.1"));
    typeHere(QString());
    QTest::keyClick(focused(), Qt::Key_Delete);
    pressEnter();
    QCOMPARE(cell("fgrdHDT", 1, 2), QString());
    switchTo(SurveyWindow::FinalTab);
    QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::FinalTab));

    // No readings on the Final tab yet: its rows typed by hand, the Below displacement being the
    // very figure the Initial draft's table gave.
    typeInto(box("txtAftX"), QStringLiteral("4.10"));
    pressEnter();
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
    enter(QStringLiteral("6"));
    enter(QStringLiteral("6.1"));
    enter(QStringLiteral("33012"));
    HydrostaticPicker* picker = m_owned->hydrostaticPicker();
    QVERIFY(picker->isTyped(grid("fgrdHDT"), 1, 2));
    QVERIFY(grid("fgrdHDT")->cellBold(1, 2));

    // The Final readings come in deeper: what was typed on this tab stays.
    for (const auto& [name, value] : {std::pair{"txtFwdPort", "5.30"}, {"txtFwdStbd", "5.34"}, {"txtMidShipPort", "6.22"},
                                      {"txtMidshipStbd", "6.26"}, {"txtAftPort", "7.25"}, {"txtAftStbd", "7.21"}}) {
        typeInto(box(name), QLatin1String(value));
        pressEnter();
    }
    QCOMPARE(cell("fgrdHDT", 1, 1), QStringLiteral("6"));
    QCOMPARE(cell("fgrdHDT", 1, 2), QStringLiteral("33012"));
    QVERIFY(grid("fgrdHDT")->cellBold(1, 2));
    QVERIFY(messages().isEmpty());
}

void TestHydrostaticWindows::trueMeanDraftOnARowInTheDischargingWindow()
{
    m_owned = openWindow(SurveyFileData::Kind::Discharging);
    showWindow(m_owned.get());
    pickShip(kShip);
    typeInto(box("txtVoyageID"), QStringLiteral("CM-2612"));
    pressEnter();
    pickPort(QStringLiteral("Qingdao"));
    pressEnter();
    typeHere(QStringLiteral("Iron ore fines"));
    pressEnter();
    typeInto(box("txtDensity"), QStringLiteral("1.025"));
    pressEnter();
    pressEnter();
    pressEnter();
    for (int i = 0; i < 6; ++i)
        enter(QStringLiteral("6"));
    for (int i = 0; i < 3; ++i)
        enter(QStringLiteral("0"));
    // On the 6.00 m row: that row is Below, the next Above.
    QCOMPARE(cell("fgrdHDT", 1, 1), QStringLiteral("6"));
    QCOMPARE(cell("fgrdHDT", 2, 1), QStringLiteral("6.1"));
    calculate();
    QVERIFY2(messages().isEmpty(), qPrintable(messages().join(QLatin1Char('|'))));
    QCOMPARE(m_owned->initialDraft().ipFactor().toDecimal(), Decimal(0));
    // The displacement is the row's own, corrected for the dock water only.
    QCOMPARE(m_owned->initialDraft().finalResult().at(0).toText(), cell("fgrdHDT", 1, 2));
}

void TestHydrostaticWindows::fileDraftOutsideTheTable()
{
    SurveyFileData data = readExample(QStringLiteral("loading-port-hedland.json"));
    dropRows(*data.final);
    for (QString* r : {&data.final->fwdPort, &data.final->fwdStbd, &data.final->midPort, &data.final->midStbd,
                       &data.final->aftPort, &data.final->aftStbd})
        *r = QStringLiteral("14.8");
    std::unique_ptr<SurveyWindow> w = openWindow(data.kind);
    const auto r = w->enterFile(data, QStringLiteral("deep.json"));
    QCOMPARE(int(r.outcome), int(SurveyLoadResult::Outcome::NotCalculated));
    QCOMPARE(r.field, QStringLiteral("final.hydrostatics"));
    QCOMPARE(r.message, QStringLiteral("deep.json: field \"final.hydrostatics\": The MCTC at 15.3 m, 50 cm above "
                                       "the Below row, lies outside the ship's hydrostatic table (4 m to 15 m): "
                                       "no rows were picked."));
    // The Initial draft took its rows from the file and was worked out all the same.
    QVERIFY(!w->initialDraft().netDisplacement().isEmpty());
}

void TestHydrostaticWindows::rowsOfAFileFollowItsReadings_data()
{
    QTest::addColumn<bool>("recorded");
    // A file written before the typed cells were recorded: the cells holding the table's own
    // figures count as picked.
    QTest::newRow("older file") << false;
    QTest::newRow("typed cells recorded") << true;
}

// A survey saved with the rows the ship's table gave at its Final readings, the readings then
// moved 20 cm higher: the rows follow them to the next pair, in the window and on the command
// line, to the figures of the same file without rows; a figure typed over the table stays.
void TestHydrostaticWindows::rowsOfAFileFollowItsReadings()
{
    QFETCH(bool, recorded);
    SurveyFileData moved = readExample(QStringLiteral("loading-port-hedland.json"));
    QVERIFY(moved.final && !moved.final->typedOverTable);
    const Decimal higher = *Decimal::parse(u"0.2", QLocale::c());
    for (QString SurveyDraftData::*reading : SurveyDraftData::kReadings)
        (*moved.final).*reading = (*Decimal::parse((*moved.final).*reading, QLocale::c()) - higher).toString();
    if (recorded) {
        moved.initial.typedOverTable = QStringList();
        moved.final->typedOverTable = QStringList();
    }
    SurveyFileData rowless = moved;
    dropRows(rowless.initial);
    dropRows(*rowless.final);

    std::unique_ptr<SurveyWindow> followed = openWindow(moved.kind);
    QVERIFY2(followed->enterFile(moved, QStringLiteral("moved.json")).loaded(), qPrintable(messages().join('|')));
    std::unique_ptr<SurveyWindow> picked = openWindow(rowless.kind);
    QVERIFY(picked->enterFile(rowless, QStringLiteral("rowless.json")).loaded());
    QCOMPARE(followed->model().inputs(SurveyModel::Final).hydrostatics[SurveyModel::Below][0], QStringLiteral("13.7"));
    QCOMPARE(figuresOf(*followed), figuresOf(*picked));
    const Decimal factor = followed->finalDraft().ipFactor().toDecimal();
    QVERIFY(factor >= Decimal(0) && factor <= Decimal(1));
    // Saved again: nothing of it typed over the table.
    QCOMPARE(followed->surveyData().final->typedOverTable, std::optional<QStringList>(QStringList()));

    // The command line gives the very same report.
    QTemporaryDir dir;
    QStringList captions;
    for (const auto& [name, data] : {std::pair{QStringLiteral("moved"), moved}, {QStringLiteral("rowless"), rowless}}) {
        QString error;
        const QString file = dir.filePath(name + QStringLiteral(".json"));
        QVERIFY2(SurveyFile::write(file, data, &error), qPrintable(error));
        const QString out = dir.filePath(name + QStringLiteral("-captions.json"));
        const Run r = runProgram(kLt, {"--survey", file, "--captions", out, "--data-dir", m_dataDir});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        captions.append(QString::fromUtf8(f.readAll()));
    }
    QCOMPARE(captions[0], captions[1]);

    // A figure typed over the table stays where the readings go, and is saved as typed.
    SurveyFileData typed = moved;
    typed.final->below[2] = QStringLiteral("69.01");
    if (recorded)
        typed.final->typedOverTable = QStringList{QStringLiteral("hydrostatics.below.tpc")};
    std::unique_ptr<SurveyWindow> kept = openWindow(typed.kind);
    QVERIFY(kept->enterFile(typed, QStringLiteral("typed.json")).loaded());
    const SurveyModel::DraftInputs& in = kept->model().inputs(SurveyModel::Final);
    QCOMPARE(in.hydrostatics[SurveyModel::Below][0], QStringLiteral("13.7"));
    QCOMPARE(in.hydrostatics[SurveyModel::Below][2], QStringLiteral("69.01"));
    QCOMPARE(kept->surveyData().final->typedOverTable,
             std::optional<QStringList>(QStringList{QStringLiteral("hydrostatics.below.tpc")}));
}

void TestHydrostaticWindows::editorImportsAuditsAndSaves()
{
    const int shipId = HydrostaticTable::shipIdByName(kShip);
    const HydrostaticTable before = *HydrostaticTable::loadForShip(shipId);
    // A booklet page saved from a spreadsheet in a decimal-comma country, with LCB and KM, one
    // figure misread (the displacement of 7.30 m).
    QString text = QStringLiteral("Draft;Displ.;LCB;TPC;KM;LCF;MCTC\n");
    for (int i = 30; i <= 40; ++i) {
        const HydrostaticRow& r = before.rows[i];
        QString disp = r.displacement.toString();
        if (i == 33)
            disp = (r.displacement + Decimal(90)).toString();
        text += QStringLiteral("%1;%2;-1,2;%3;13,1;%4;%5\n")
                    .arg(r.draft.toString(), disp, r.tpc.toString(), r.lcf.toString(), r.mctc.toString())
                    .replace(QLatin1Char('.'), QLatin1Char(','));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.csv"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
    f.close();

    HydrostaticTableWindow editor(shipId, kShip);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    HydrostaticTableWindow::fileChooser() = [path](QWidget*, bool) { return path; };
    QTest::mouseClick(editor.findChild<QPushButton*>("cmdImport"), Qt::LeftButton);
    // The roles proposed from the header; LCB and KM left out.
    QStringList roles;
    for (int c = 1; c <= 7; ++c)
        roles.append(editor.findChild<QComboBox*>(QStringLiteral("cmbRole%1").arg(c))->currentText());
    QCOMPARE(roles, QStringList({"Draft", "Displacement", "(ignored)", "TPC", "(ignored)", "LCF", "MCTC"}));
    QTest::mouseClick(editor.findChild<QPushButton*>("cmdImportAccept"), Qt::LeftButton);
    auto* grid = editor.findChild<QTableWidget*>("grdHydrostatics");
    QCOMPARE(grid->rowCount(), 11);
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("7"));
    auto* findings = editor.findChild<QListWidget*>("lstFindings");
    QVERIFY(findings->count() >= 1);
    bool jumpShown = false;
    for (int i = 0; i < findings->count(); ++i)
        jumpShown = jumpShown || findings->item(i)->text().startsWith(QLatin1String("Doubt - Row 4: the Displacement"));
    QVERIFY(jumpShown);

    // Doubts: asked, and No keeps the stored table.
    MessageService::setNextAnswer(Msg::Answer::No);
    QTest::mouseClick(editor.findChild<QPushButton*>("cmdSave"), Qt::LeftButton);
    QCOMPARE(MessageService::records().last().buttons, Msg::Buttons::YesNo);
    QCOMPARE(*HydrostaticTable::loadForShip(shipId), before);

    // The figure corrected in the grid: the table is clean and saved.
    grid->item(3, 1)->setText(before.rows[33].displacement.toString());
    forgetMessages();
    QVERIFY(editor.save());
    QVERIFY(messages().isEmpty());
    HydrostaticTable saved = *HydrostaticTable::loadForShip(shipId);
    QCOMPARE(saved.rows, before.rows.mid(30, 11));

    // An error blocks: a draft typed twice.
    grid->item(5, 0)->setText(grid->item(4, 0)->text());
    QVERIFY(!editor.save());
    QVERIFY(lastMessage().startsWith(QLatin1String("The table was not saved: please correct these rows.\r\n\r\nRow 6: the draft")));
    QCOMPARE(grid->currentRow(), 5);
    QCOMPARE(*HydrostaticTable::loadForShip(shipId), saved);

    // A pasted block from a spreadsheet overwrites from the current row once the user agrees;
    // a cell of text is named.
    grid->setCurrentCell(0, 0);
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QVERIFY(editor.pasteText(QStringLiteral("7\t35572\t64.7\t4.2\t915\n")));
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("35572"));
    grid->item(2, 2)->setText(QStringLiteral("64,x"));
    QVERIFY(!editor.save());
    QCOMPARE(lastMessage(), QStringLiteral("Row 3, column 3 (TPC): \"64,x\" is not a number."));

    // The original back, for the tests after this one.
    editor.showTable(before);
    QVERIFY(editor.save());
    HydrostaticTableWindow::fileChooser() = {};
}

void TestHydrostaticWindows::commandLineImportsAndExports()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    // The delivered database in a folder of its own, with the example ship.
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    QVERIFY(TestSupport::copyDatabaseFiles(m_dataDir, data));

    Run r = runProgram(kLt, {"--data-dir", data, "--export-hydrostatics", kShip, out});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QFile exported(out);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QByteArray csv = exported.readAll();
    QCOMPARE(csv, HydrostaticTableFile::toCsv(*HydrostaticTable::loadForShip(HydrostaticTable::shipIdByName(kShip))));

    // A draft typed twice: refused with its row, the table left as it was.
    QString bad = QString::fromUtf8(csv);
    bad.replace(QLatin1String("\n4.1,"), QLatin1String("\n4,"));
    const QString badPath = dir.filePath(QStringLiteral("bad.csv"));
    QFile b(badPath);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write(bad.toUtf8());
    b.close();
    r = runProgram(kLt, {"--data-dir", data, "--import-hydrostatics", kShip, badPath});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(QLatin1String("error: Row 2: the draft 4 m does not follow the draft 4 m of row 1")),
             qPrintable(r.err));
    QVERIFY(r.err.contains(QLatin1String("the table of Coral Meridian was left as it was.")));

    // A table with a doubt: imported, the doubt printed as a warning; exported again unchanged.
    QString doubtful = QString::fromUtf8(csv);
    doubtful.replace(QLatin1String("\n9,52595.8,"), QLatin1String("\n9,52895.8,"));
    QVERIFY(doubtful != QString::fromUtf8(csv));
    QFile d(badPath);
    QVERIFY(d.open(QIODevice::WriteOnly | QIODevice::Truncate));
    d.write(doubtful.toUtf8());
    d.close();
    r = runProgram(kLt, {"--data-dir", data, "--import-hydrostatics", kShip, badPath});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY2(r.err.contains(QLatin1String("warning: Row 51: the Displacement 52895.8 breaks the trend")), qPrintable(r.err));
    r = runProgram(kLt, {"--data-dir", data, "--export-hydrostatics", kShip, out});
    QVERIFY(r.status == 0);
    QFile again(out);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(again.readAll()), doubtful);

    r = runProgram(kLt, {"--data-dir", data, "--export-hydrostatics", "No Such Ship", out});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(QLatin1String("there is no ship \"No Such Ship\" in the database.")));
}

void TestHydrostaticWindows::shipParticularsOpensTheTable()
{
    ShipParticularsWindow ships;
    ships.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ships));
    QCOMPARE(ships.findChild<QComboBox*>("cmbShipName")->currentText(), kShip);
    auto* button = ships.findChild<QPushButton*>("cmdHydrostatics");
    QCOMPARE(button->text(), QStringLiteral("Hydrostatic Table..."));
    QTest::mouseClick(button, Qt::LeftButton);
    auto* editor = ships.findChild<HydrostaticTableWindow*>();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Hydrostatic Table - Coral Meridian"));
    QCOMPARE(editor->findChild<QTableWidget*>("grdHydrostatics")->rowCount(), 111);
    QCOMPARE(editor->findChild<QLineEdit*>("txtDensity")->text(), QStringLiteral("1.025"));
    // Nothing changed: Close closes without a question.
    QTest::mouseClick(editor->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    QTRY_VERIFY(!ships.findChild<HydrostaticTableWindow*>());
    QVERIFY(messages().isEmpty());

    // A ship not yet saved has no table to open.
    ships.newRecord();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(lastMessage(), QStringLiteral("Please save the ship's particulars before editing her hydrostatic table."));
    QVERIFY(!ships.findChild<HydrostaticTableWindow*>());
}

QTEST_MAIN(TestHydrostaticWindows)
#include "test_hydrostatic_windows.moc"
