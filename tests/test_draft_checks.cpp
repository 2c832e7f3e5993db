// Draft checks read between the Initial and the Final draft, without any window: each is a draft
// of the survey, entered and calculated by the very code of the two others, and gives the cargo
// so far to the digit of the Total Cargo.
#include "core/MessageService.h"
#include "db/Database.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/ResultFigures.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"
#include "report/CalculationSheet.h"
#include "report/ReportFiller.h"
#include "tests/SurveySamples.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

using Kind = SurveyModel::Kind;
using Field = SurveyModel::Field;

// Rows 0-9 of a draft's result grid as the window shows them, the net displacement last.
QStringList resultRows(const SurveyModel& m, int draft)
{
    static const int places[9] = {5, 4, 4, 4, 4, 5, 5, 5, 5};
    const QVector<Variant> r = m.draft(draft).finalResult();
    QStringList out;
    for (int i = 0; i < 9; ++i)
        out << ResultFigures::rounded(r.value(i), places[i]);
    out << m.netDisplacementText(draft);
    return out;
}

QString text(const std::optional<Decimal>& d)
{
    return d ? d->toString() : QStringLiteral("(none)");
}

// Part way through the loading: the Final draft's readings with 100 t more fresh water on board.
SurveyDraftData partWay()
{
    SurveyDraftData d = SurveySamples::loadingFinal();
    d.deductibles = {{2, "150"}, {3, "100"}, {25, "150"}};
    d.date = QStringLiteral("02-03-2026");
    d.time = QStringLiteral("14:30");
    return d;
}

// What a loading survey with its checks says of itself, check by check, to compare before and after.
QStringList figures(const SurveyModel& m, int draft)
{
    return resultRows(m, draft) << text(m.cargoSince(draft)) << text(m.cargoToLoad(draft))
                                << m.inputs(draft).date << m.inputs(draft).time;
}

} // namespace

class TestDraftChecks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void checksWithTheFinalReadingsGiveTheFinalCargo();
    void removingACheckChangesNothingElse();
    void cargoStillToLoadAndStillOnBoard();
    void plannedCargoIsCheckedAsTyped_data();
    void plannedCargoIsCheckedAsTyped();
    void aCheckChangedSinceCalculatedStandsNoMore();
    void aCheckIsEnteredAndCheckedAsAnyDraft();
    void surveyFileWithChecksRoundTrips();
    void filesWithoutChecksAreUnchanged();
    void aCheckIsReportedWithTheInitialDraft();
    void theCalculationSheetShowsEachCheck();

private:
    QTemporaryDir m_dir;
};

void TestDraftChecks::initTestCase()
{
    TestSupport::initTestEnvironment();
    QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
    SurveyTestShips::insert();
}

void TestDraftChecks::cleanupTestCase()
{
    closeDatabase();
}

void TestDraftChecks::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
}

void TestDraftChecks::checksWithTheFinalReadingsGiveTheFinalCargo()
{
    SurveyFileData data = SurveySamples::loading();
    data.draftChecks = {SurveySamples::loadingFinal(), SurveySamples::loadingFinal()};
    SurveyModel m(Kind::Loading);
    const SurveyLoadResult r = SurveyFileModel::load(m, data, "checks.json");
    QVERIFY2(r.loaded(), qPrintable(r.message));
    QCOMPARE(m.checkCount(), 2);
    QCOMPARE(m.draftChecks(), (QList<int>{SurveyModel::FirstCheck, SurveyModel::FirstCheck + 1}));
    QCOMPARE(m.cargoQuantity()->toString(), QStringLiteral("8358.60187"));
    for (int check : m.draftChecks()) {
        QVERIFY(m.calculated(check));
        QCOMPARE(resultRows(m, check), resultRows(m, SurveyModel::Final));
        QCOMPARE(resultRows(m, check),
            (QStringList{"38210", "-24.66", "8.2", "-16.46", "0", "38193.54", "-186.30995", "38007.23005",
                "300", "37707.23005"}));
        QCOMPARE(text(m.cargoSince(check)), QStringLiteral("8358.60187"));
        // The whole draft, to its last digit, not only the figures shown.
        QCOMPARE(m.draft(check).netDisplacement().toText(),
            m.draft(SurveyModel::Final).netDisplacement().toText());
        QCOMPARE(m.draft(check).trueMeanDraft().toText(), QStringLiteral("9"));
    }
    // The constant stays the Initial draft's, and the survey's figures the Final draft's.
    QCOMPARE(m.constant()->toString(), QStringLiteral("21348.62818"));
    QVERIFY(m.plausibility().cargoLoaded);

    // The same in a discharge: cargo discharged to the digit of the Total Cargo Discharged.
    SurveyFileData dis = SurveySamples::discharging();
    dis.draftChecks = {SurveySamples::departure()};
    SurveyModel d(Kind::Discharging);
    QVERIFY(SurveyFileModel::load(d, dis, "dis.json").loaded());
    QCOMPARE(text(d.cargoSince(SurveyModel::FirstCheck)), QStringLiteral("30332.47128"));
    QCOMPARE(text(d.cargoQuantity()), QStringLiteral("30332.47128"));
    QCOMPARE(d.netDisplacementText(SurveyModel::FirstCheck), d.netDisplacementText(SurveyModel::Final));
    QCOMPARE(TestSupport::messageTexts(), QStringList());
}

void TestDraftChecks::removingACheckChangesNothingElse()
{
    SurveyFileData data = SurveySamples::loading();
    data.draftChecks = {SurveySamples::loadingFinal(), partWay(), SurveySamples::loadingFinal()};
    SurveyModel m(Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, data, "three.json").loaded());
    QVERIFY(m.enterPlannedCargo("9000").accepted);
    const int first = SurveyModel::FirstCheck;
    QCOMPARE(text(m.cargoSince(first + 1)), QStringLiteral("8258.60187"));

    const QStringList initial = figures(m, SurveyModel::Initial);
    const QStringList fin = figures(m, SurveyModel::Final);
    const QStringList second = figures(m, first + 1);
    const QStringList third = figures(m, first + 2);
    const QString constant = text(m.constant());
    const QString cargo = text(m.cargoQuantity());
    const int findings = m.findings().size();
    m.chooseCheck(first + 2);

    m.removeCheck(first);
    QCOMPARE(m.checkCount(), 2);
    QCOMPARE(figures(m, first), second);
    QCOMPARE(figures(m, first + 1), third);
    QCOMPARE(figures(m, SurveyModel::Initial), initial);
    QCOMPARE(figures(m, SurveyModel::Final), fin);
    QCOMPARE(text(m.constant()), constant);
    QCOMPARE(text(m.cargoQuantity()), cargo);
    QCOMPARE(m.findings().size(), findings);
    QVERIFY(m.calculated(first) && m.calculated(first + 1));
    // The check chosen stays the same check, one place up.
    QCOMPARE(m.chosenCheck(), first + 1);
    // The file written after the removal holds the two others as they were.
    const SurveyFileData after = SurveyFileModel::read(m);
    QCOMPARE(after.draftChecks.size(), 2);
    QCOMPARE(after.draftChecks.at(0).time, QStringLiteral("14:30"));
    QCOMPARE(after.draftChecks.at(0).deductibles, partWay().deductibles);

    // The last one removed, the survey has no checks and chooses none.
    m.removeCheck(first + 1);
    m.removeCheck(first);
    QCOMPARE(m.checkCount(), 0);
    QCOMPARE(m.chosenCheck(), int(SurveyModel::Final));
    QCOMPARE(figures(m, SurveyModel::Final), fin);
    // Neither the Initial nor the Final draft can be removed as a check.
    m.removeCheck(SurveyModel::Final);
    m.removeCheck(SurveyModel::Initial);
    QCOMPARE(figures(m, SurveyModel::Final), fin);
    QCOMPARE(SurveyFileModel::read(m).draftChecks.size(), 0);
}

void TestDraftChecks::cargoStillToLoadAndStillOnBoard()
{
    SurveyFileData data = SurveySamples::loading();
    data.draftChecks = {partWay()};
    SurveyModel m(Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, data, "l.json").loaded());
    const int check = SurveyModel::FirstCheck;
    // No planned cargo: nothing to tell of what is still to load.
    QCOMPARE(text(m.cargoToLoad(check)), QStringLiteral("(none)"));
    QVERIFY(m.enterPlannedCargo("9000").accepted);
    QCOMPARE(text(m.cargoToLoad(check)), QStringLiteral("741.39813"));
    QCOMPARE(text(m.cargoToLoad(SurveyModel::Final)), QStringLiteral("641.39813"));
    QCOMPARE(text(m.cargoOnBoard(check)), QStringLiteral("(none)"));
    // Loaded beyond the plan: a figure below nothing, as it is.
    QVERIFY(m.enterPlannedCargo("8000.5").accepted);
    QCOMPARE(text(m.cargoToLoad(check)), QStringLiteral("-258.10187"));
    // The planned cargo emptied, nothing is told again.
    QVERIFY(m.enterPlannedCargo("").accepted);
    QCOMPARE(text(m.cargoToLoad(check)), QStringLiteral("(none)"));

    // A discharge: what is still on board against the Bill of Lading.
    SurveyFileData dis = SurveySamples::discharging();
    dis.draftChecks = {SurveySamples::departure()};
    SurveyModel d(Kind::Discharging);
    QVERIFY(SurveyFileModel::load(d, dis, "d.json").loaded());
    QCOMPARE(text(d.cargoOnBoard(SurveyModel::FirstCheck)), QStringLiteral("67.52872"));
    QCOMPARE(text(d.cargoToLoad(SurveyModel::FirstCheck)), QStringLiteral("(none)"));
    d.setBLQuantity(QString());
    QCOMPARE(text(d.cargoOnBoard(SurveyModel::FirstCheck)), QStringLiteral("(none)"));
}

void TestDraftChecks::plannedCargoIsCheckedAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString numeric = "Invalid value for Planned cargo.\r\n\r\nPlease enter numeric value.";
    const QString range
        = "Invalid value for Planned cargo.\r\n\r\nPlease enter value between 0 and 1000000.";
    QTest::newRow("figure") << "9000" << true << "9000"
                            << "";
    QTest::newRow("rounded to 5 places") << "9000.1234567" << true << "9000.12346"
                                         << "";
    QTest::newRow("blank") << "  " << true << ""
                           << "";
    QTest::newRow("no figure") << "abc" << false << "" << numeric;
    QTest::newRow("below nothing") << "-1" << false << "" << range;
    QTest::newRow("a million") << "1000000" << false << "" << range;
    QTest::newRow("beyond any figure") << "1e400" << false << "" << range;
}

void TestDraftChecks::plannedCargoIsCheckedAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    QFETCH(QString, message);
    SurveyModel m(Kind::Loading);
    m.setPlannedCargo(QStringLiteral("5000"));
    const SurveyInputRules::Outcome o = m.enterPlannedCargo(typed);
    QCOMPARE(o.accepted, accepted);
    QCOMPARE(o.message, message);
    // A refused figure leaves the planned cargo as it was.
    QCOMPARE(m.plannedCargo(), accepted ? text : QStringLiteral("5000"));
}

void TestDraftChecks::aCheckChangedSinceCalculatedStandsNoMore()
{
    SurveyFileData data = SurveySamples::loading();
    data.draftChecks = {partWay(), SurveySamples::loadingFinal()};
    SurveyModel m(Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, data, "s.json").loaded());
    const int check = SurveyModel::FirstCheck;
    const QStringList other = figures(m, check + 1);
    const QStringList fin = figures(m, SurveyModel::Final);
    QVERIFY(m.enter(check, Field::AftPort, "9.7").accepted);
    QVERIFY(m.outdated(check));
    QVERIFY(!m.calculated(check));
    QCOMPARE(m.netDisplacementText(check), QString());
    QCOMPARE(text(m.cargoSince(check)), QStringLiteral("(none)"));
    QVERIFY(m.draftFindings(check).isEmpty());
    // The other drafts keep their results.
    QCOMPARE(figures(m, check + 1), other);
    QCOMPARE(figures(m, SurveyModel::Final), fin);
    QVERIFY(!m.outdated(SurveyModel::Final));
    // Back as it was, it stands again; calculated anew it gives the figures of the changed draft.
    QVERIFY(m.enter(check, Field::AftPort, "9.6").accepted);
    QVERIFY(m.calculated(check));
    QVERIFY(m.enter(check, Field::AftPort, "9.7").accepted);
    QVERIFY(m.calculate(check).calculated);
    QVERIFY(m.calculated(check));
    QVERIFY(text(m.cargoSince(check)) != QStringLiteral("8258.60187"));
    // A check's marks follow the Initial draft's until one of its own is typed.
    SurveyModel fresh(Kind::Loading);
    QVERIFY(SurveyFileModel::load(fresh, SurveySamples::loading(), "f.json").loaded());
    const int added = fresh.addCheck();
    QCOMPARE(fresh.markText(added, 0), QStringLiteral("0"));
    QVERIFY(fresh.enter(added, Field::FwdX, "1.5").accepted);
    QCOMPARE(fresh.markText(added, 0), QStringLiteral("1.5"));
    QCOMPARE(fresh.markText(SurveyModel::Final, 0), QStringLiteral("0"));
}

void TestDraftChecks::aCheckIsEnteredAndCheckedAsAnyDraft()
{
    SurveyModel m(Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, SurveySamples::loading(), "e.json").loaded());
    const int check = m.addCheck();
    QCOMPARE(check, int(SurveyModel::FirstCheck));
    QCOMPARE(m.chosenCheck(), check);
    // Stamped with the date and time it was added, as a new survey's drafts are.
    QCOMPARE(m.inputs(check).date, QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
    // The same rules as the two drafts, with the same words.
    const SurveyInputRules::Outcome refused = m.enter(check, Field::FwdPort, "120");
    QVERIFY(!refused.accepted);
    SurveyModel other(Kind::Loading);
    QCOMPARE(refused.message, other.enter(SurveyModel::Final, Field::FwdPort, "120").message);
    // The same checks before Calculate, naming the same field.
    const SurveyModel::Calculation c = m.calculate(check);
    QVERIFY(!c.calculated);
    QCOMPARE(c.stop, SurveyModel::Calculation::Stop::Incomplete);
    QCOMPARE(c.field, QStringLiteral("density"));
    QCOMPARE(
        c.messages.value(0).text, QStringLiteral("Incomplete data.\r\n\r\nPlease enter value for Density."));
    // The Final draft and the survey's figures did not move.
    QCOMPARE(m.cargoQuantity()->toString(), QStringLiteral("8358.60187"));

    // A check with a 0.3 m list: the survey's findings run for the check, under its own name.
    SurveyDraftData listed = SurveySamples::loadingFinal();
    listed.midPort = QStringLiteral("9.15");
    listed.midStbd = QStringLiteral("8.85");
    SurveyFileData data = SurveySamples::loading();
    data.draftChecks = {SurveySamples::loadingFinal(), listed};
    SurveyModel f(Kind::Loading);
    QVERIFY(SurveyFileModel::load(f, data, "list.json").loaded());
    const SurveyFindings found = f.draftFindings(SurveyModel::FirstCheck + 1);
    QVERIFY(!found.isEmpty());
    QCOMPARE(found.first().code, QStringLiteral("list"));
    QCOMPARE(found.first().draftName(), QStringLiteral("check"));
    QVERIFY2(
        found.first().text.startsWith(QStringLiteral("Draft check 2: ")), qPrintable(found.first().text));
    // The check's findings stand apart: the survey's own are those of its two drafts.
    for (const SurveyFinding& finding : f.findings())
        QVERIFY(finding.draft != SurveyFinding::Draft::Check);
    // A new survey has no checks.
    f.clear();
    QCOMPARE(f.checkCount(), 0);
    QCOMPARE(f.plannedCargo(), QString());
}

void TestDraftChecks::surveyFileWithChecksRoundTrips()
{
    for (const SurveyFileData::Kind kind :
        {SurveyFileData::Kind::Loading, SurveyFileData::Kind::Discharging}) {
        const bool loading = kind == SurveyFileData::Kind::Loading;
        SurveyFileData data = loading ? SurveySamples::loading() : SurveySamples::discharging();
        data.draftChecks = {loading ? partWay() : SurveySamples::departure(),
            loading ? SurveySamples::loadingFinal() : SurveySamples::arrival()};
        data.draftChecks[1].comments = QStringLiteral("Before the last pour");
        if (loading)
            data.plannedCargo = QStringLiteral("9000");
        SurveyModel first(loading ? Kind::Loading : Kind::Discharging);
        QVERIFY(SurveyFileModel::load(first, data, "a.json").loaded());
        const QByteArray written = SurveyFile::serialize(SurveyFileModel::read(first));
        const QJsonObject root = QJsonDocument::fromJson(written).object();
        QCOMPARE(root.value("draftChecks").toArray().size(), 2);
        QCOMPARE(root.contains("plannedCargo"), loading);
        QString error;
        const std::optional<SurveyFileData> again = SurveyFile::parse(written, "b.json", &error);
        QVERIFY2(again, qPrintable(error));
        QCOMPARE(again->draftChecks.size(), 2);
        SurveyModel second(loading ? Kind::Loading : Kind::Discharging);
        QVERIFY(SurveyFileModel::load(second, *again, "b.json").loaded());
        QCOMPARE(SurveyFile::serialize(SurveyFileModel::read(second)), written);
        for (int d = 0; d < SurveyModel::FirstCheck + 2; ++d) {
            QCOMPARE(resultRows(second, d), resultRows(first, d));
            QCOMPARE(second.draft(d).netDisplacement().toText(), first.draft(d).netDisplacement().toText());
        }
        for (int check : second.draftChecks()) {
            QCOMPARE(text(second.cargoSince(check)), text(first.cargoSince(check)));
            QCOMPARE(text(second.cargoToLoad(check)), text(first.cargoToLoad(check)));
            QCOMPARE(text(second.cargoOnBoard(check)), text(first.cargoOnBoard(check)));
        }
        QCOMPARE(
            second.inputs(SurveyModel::FirstCheck + 1).comments, QStringLiteral("Before the last pour"));
    }
    // A refused figure in a check is named with its place in the list.
    SurveyFileData bad = SurveySamples::loading();
    bad.draftChecks = {partWay(), partWay()};
    bad.draftChecks[1].aftPort = QStringLiteral("120");
    SurveyModel m(Kind::Loading);
    const SurveyLoadResult r = SurveyFileModel::load(m, bad, "bad.json");
    QCOMPARE(r.outcome, SurveyLoadResult::Outcome::Refused);
    QCOMPARE(r.field, QStringLiteral("draftChecks[1].drafts.aftPort"));
    // A list that is no list of drafts is no survey file.
    QString error;
    QVERIFY(!SurveyFile::parse(R"({"format":"quorvane-survey/1","kind":"loading","ship":"Ocean Pride",
        "initial":{},"draftChecks":{"density":"1.02"}})",
        "c.json", &error));
    QVERIFY2(error.contains("\"draftChecks\""), qPrintable(error));
    QVERIFY(!SurveyFile::parse(R"({"format":"quorvane-survey/1","kind":"loading","ship":"Ocean Pride",
        "initial":{},"draftChecks":[{"density":"1.02"}, 5]})",
        "c.json", &error));
    QVERIFY2(error.contains("\"draftChecks[1]\""), qPrintable(error));
}

void TestDraftChecks::filesWithoutChecksAreUnchanged()
{
    for (const SurveyFileData& data : {SurveySamples::loading(), SurveySamples::discharging()}) {
        SurveyModel m(data.kind == SurveyFileData::Kind::Loading ? Kind::Loading : Kind::Discharging);
        QVERIFY(SurveyFileModel::load(m, data, "plain.json").loaded());
        QCOMPARE(m.checkCount(), 0);
        const QByteArray written = SurveyFile::serialize(SurveyFileModel::read(m));
        // The keys every survey file had before there were checks, and no more.
        QStringList keys = QJsonDocument::fromJson(written).object().keys();
        keys.sort();
        QStringList expected = {"cargo", "final", "format", "initial", "kind", "port", "ship", "voyage"};
        if (data.kind == SurveyFileData::Kind::Discharging)
            expected.prepend("blQuantity");
        QCOMPARE(keys, expected);
        QString error;
        const std::optional<SurveyFileData> again = SurveyFile::parse(written, "plain.json", &error);
        QVERIFY2(again, qPrintable(error));
        QVERIFY(again->draftChecks.isEmpty());
        QVERIFY(!again->plannedCargo);
    }
}

void TestDraftChecks::aCheckIsReportedWithTheInitialDraft()
{
    SurveyFileData data = SurveySamples::loading();
    data.draftChecks = {partWay(), SurveySamples::loadingFinal()};
    SurveyModel m(Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, data, "r.json").loaded());
    const std::optional<ReportLayout> finalPage = ReportFiller::fill(m, false);
    QVERIFY(finalPage);
    // The Final's page as it always was.
    QCOMPARE(finalPage->caption("lblReportTitle"), QStringLiteral("LOADPORT DRAFT SURVEY REPORT"));
    QCOMPARE(finalPage->caption("lblTotCargoLoaded"), QStringLiteral("8358.60187 MT"));

    const std::optional<ReportLayout> first = ReportFiller::fillCheck(m, SurveyModel::FirstCheck, false);
    QVERIFY(first);
    QCOMPARE(first->caption("lblReportTitle"),
        QStringLiteral("LOADPORT DRAFT SURVEY REPORT - DRAFT CHECK 1, 02-03-2026 14:30"));
    QCOMPARE(first->caption("lblTotCargoLoaded"), QStringLiteral("8258.60187 MT"));
    QCOMPARE(first->caption("lblInitNGDisp"), finalPage->caption("lblInitNGDisp"));
    QCOMPARE(first->caption("lblConstant"), finalPage->caption("lblConstant"));
    // A check with the Final readings prints the Final's page but for its title.
    const std::optional<ReportLayout> second
        = ReportFiller::fillCheck(m, SurveyModel::FirstCheck + 1, false);
    QVERIFY(second);
    QMap<QString, QString> checkCaptions = second->filledCaptionTexts();
    QMap<QString, QString> finalCaptions = finalPage->filledCaptionTexts();
    QVERIFY(
        checkCaptions.take("lblReportTitle").startsWith("LOADPORT DRAFT SURVEY REPORT - DRAFT CHECK 2, "));
    finalCaptions.remove("lblReportTitle");
    QCOMPARE(checkCaptions, finalCaptions);
    QCOMPARE(TestSupport::messageTexts(), QStringList());

    // A check changed since it was calculated has no report, and says so.
    QVERIFY(m.enter(SurveyModel::FirstCheck, Field::AftPort, "9.7").accepted);
    QVERIFY(!ReportFiller::fillCheck(m, SurveyModel::FirstCheck, false));
    QCOMPARE(TestSupport::messageTexts(),
        QStringList{"Incomplete draft check...!\r\n\r\nPlease enter all the values and press Calculate "
                    "button before printing/preview."});
    QVERIFY(!ReportFiller::fillCheck(m, SurveyModel::Final, false));
}

// The sheet of the whole survey: a block per calculated check between Initial and Final, each
// worked out as the check's own report page has it, and the checks side by side after the cargo.
void TestDraftChecks::theCalculationSheetShowsEachCheck()
{
    SurveyFileData data = SurveySamples::loading();
    data.draftChecks = {partWay(), SurveySamples::loadingFinal(), partWay()};
    data.plannedCargo = QStringLiteral("8400");
    SurveyModel m(Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, data, "sheet.json").loaded());
    // The third check changed since it was calculated: it stands in the summary only.
    QVERIFY(m.enter(SurveyModel::FirstCheck + 2, Field::AftPort, "9.7").accepted);
    const std::optional<ReportLayout> page = ReportFiller::fill(m, false);
    QVERIFY(page);
    const CalculationSheet sheet = CalculationSheet::build(m, *page);
    QStringList keys;
    for (const CalculationSheet::Block& b : sheet.blocks())
        keys << b.key;
    QCOMPARE(keys.mid(0, 5), (QStringList{"initial", "check1", "check2", "final", "result"}));
    QVERIFY(keys.contains("checks"));
    QCOMPARE(sheet.block("check1")->title, QStringLiteral("DRAFT CHECK 1"));

    // A check with the Final readings has the Final's block to the digit, line for line.
    const QMap<QString, QString> figures = sheet.figureTexts();
    int compared = 0;
    for (auto it = figures.begin(); it != figures.end(); ++it) {
        if (!it.key().startsWith("final.") || it.key() == "final.dateTime")
            continue;
        const QString check = "check2." + it.key().mid(6);
        QVERIFY2(figures.contains(check), qPrintable(check));
        QCOMPARE(figures.value(check), it.value());
        ++compared;
    }
    QVERIFY(compared > 30);
    // The first check's figures are those of its own report page.
    const std::optional<ReportLayout> first = ReportFiller::fillCheck(m, SurveyModel::FirstCheck, false);
    QVERIFY(first);
    QCOMPARE(figures.value("check1.netDisplacement"), first->caption("lblFinNGDisp"));
    QCOMPARE(figures.value("check1.tpc"), first->caption("lblFinTPC"));

    QCOMPARE(figures.value("checks.1").split(" | ").mid(1),
        (QStringList{"8258.60187 MT", "141.39813 MT"}));
    QCOMPARE(figures.value("checks.2").split(" | ").mid(1), (QStringList{"8358.60187 MT", "41.39813 MT"}));
    QCOMPARE(figures.value("checks.3").split(" | ").first(), QStringLiteral("Not calculated"));
    QCOMPARE(TestSupport::messageTexts(), QStringList());
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestDraftChecks t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_draft_checks.moc"
