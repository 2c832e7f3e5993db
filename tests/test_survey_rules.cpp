// The rules of a survey around Calculate, on the model alone (the widget library is not even
// linked): what stops a calculation, which field it names and what the surveyor is told, the
// warnings on a result no ship can float at and their order, and the constant and the cargo
// worked out from the drafts. One row per case, so that a table reads as the rule it checks.
//
// The figures expected are worked by hand (see SurveySamples.h and the comments of the rows), not
// taken from the model's own arithmetic.
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "model/SurveyModel.h"
#include "tests/SurveySamples.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QGuiApplication>
#include <QtTest>

namespace {

using Kind = SurveyModel::Kind;
using Field = SurveyModel::Field;
using Table = SurveyModel::Table;
using Stop = SurveyModel::Calculation::Stop;
using SurveySamples::arrival;
using SurveySamples::departure;
using SurveySamples::loadingFinal;
using SurveySamples::loadingInitial;

const int Initial = SurveyModel::Initial;
const int Final = SurveyModel::Final;

// The survey file's names of the fields a check before Calculate can name, in the order the
// completeness check takes them.
const QStringList kCompleteness = {
    "ship",           "voyage",         "port",           "cargo",          "density",
    "drafts.fwdPort", "drafts.fwdStbd", "drafts.midPort", "drafts.midStbd", "drafts.aftPort",
    "drafts.aftStbd", "marks.fwdX",     "marks.midX",     "marks.aftX",
};
const Field kReadingFields[6] = {Field::FwdPort, Field::FwdStbd, Field::MidPort,
                                 Field::MidStbd, Field::AftPort, Field::AftStbd};
const Field kMarkFields[3] = {Field::FwdX, Field::MidX, Field::AftX};
const char* const kColumns[4] = {"draft", "displacement", "tpc", "lcf"};

// What the surveyor is told of a result no ship can float at.
QString checkInput(const QString& headline)
{
    return headline + QStringLiteral("\r\n\r\nPlease check your input values.");
}

// The header typed into the model, the fields named in `skip` left untyped.
bool typeHeader(SurveyModel& m, const SurveyFileData& h, const QStringList& skip = {})
{
    if (!skip.contains("ship")) {
        const std::optional<int> id = SurveyModel::shipIdByName(h.ship);
        if (!id || !m.setShip(*id, h.ship).accepted) {
            qWarning() << "ship not taken:" << h.ship;
            return false;
        }
    }
    if (!skip.contains("port") && !m.setPortByName(h.port)) {
        qWarning() << "port not taken:" << h.port;
        return false;
    }
    if (!skip.contains("voyage"))
        m.setVoyage(h.voyage);
    if (!skip.contains("cargo"))
        m.setCargo(h.cargo);
    return true;
}

// A draft typed into the model field by field through the field rules, the fields named in `skip`
// left untyped; false (with the field named) when a rule refused a value.
bool typeDraft(SurveyModel& m, int draft, const SurveyDraftData& d, const QStringList& skip = {})
{
    const auto taken = [](const SurveyInputRules::Outcome& o, const QString& name) {
        if (!o.accepted)
            qWarning() << name << "refused:" << o.message;
        return o.accepted;
    };
    bool ok = true;
    if (!skip.contains("density"))
        ok = taken(m.enter(draft, Field::Density, d.density), "density") && ok;
    const QString readings[6] = {d.fwdPort, d.fwdStbd, d.midPort, d.midStbd, d.aftPort, d.aftStbd};
    for (int i = 0; i < 6; ++i)
        if (!skip.contains(kCompleteness[5 + i]))
            ok = taken(m.enter(draft, kReadingFields[i], readings[i]), kCompleteness[5 + i]) && ok;
    const QString marks[3] = {d.fwdX, d.midX, d.aftX};
    for (int i = 0; i < 3; ++i)
        if (!skip.contains(kCompleteness[11 + i]))
            ok = taken(m.enter(draft, kMarkFields[i], marks[i]), kCompleteness[11 + i]) && ok;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 4; ++c) {
            const QString name = QStringLiteral("hydrostatics.%1.%2")
                                     .arg(QLatin1String(r == SurveyModel::Below ? "below" : "above"),
                                          QLatin1String(kColumns[c]));
            const QString value = r == SurveyModel::Below ? d.below[c] : d.above[c];
            if (!skip.contains(name))
                ok = taken(m.enterTable(draft, Table::Hydrostatics, r, c, value), name) && ok;
        }
    }
    const struct {
        Table table;
        const char* name;
        QString below, above;
    } mctc[2] = {{Table::MctcPlus50, "mctcPlus50", d.mctcPlus50Below, d.mctcPlus50Above},
                 {Table::MctcMinus50, "mctcMinus50", d.mctcMinus50Below, d.mctcMinus50Above}};
    for (const auto& t : mctc) {
        const QString below = QLatin1String(t.name) + QStringLiteral(".below");
        const QString above = QLatin1String(t.name) + QStringLiteral(".above");
        if (!skip.contains(below))
            ok = taken(m.enterTable(draft, t.table, SurveyModel::Below, 1, t.below), below) && ok;
        if (!skip.contains(above))
            ok = taken(m.enterTable(draft, t.table, SurveyModel::Above, 1, t.above), above) && ok;
    }
    for (const auto& [item, quantity] : d.deductibles)
        ok = taken(m.enterDeductible(draft, item, quantity), QStringLiteral("deductible %1").arg(item)) && ok;
    return ok;
}

// Even keel on the Below row's draft (7 m) with the same displacement on both rows: the
// displacement at the true mean draft is the table's, and no trim correction applies. The net
// displacement is then displacement x density / 1.025 less the ballast.
SurveyDraftData evenKeel(const QString& displacement, const QString& density = "1.025",
                         const QString& ballast = QString())
{
    SurveyDraftData d = SurveySamples::draft(density, {"7", "7", "7", "7", "7", "7"}, {"0", "0", "0"},
                                             {"7", displacement, "40", "1"}, {"7.1", displacement, "40", "1"},
                                             {"400", "400"}, {"400", "400"}, {});
    if (!ballast.isEmpty())
        d.deductibles = {{26, ballast}};
    return d;
}

SurveyFileData surveyOf(Kind kind, const SurveyDraftData& initial,
                        const std::optional<SurveyDraftData>& fin = std::nullopt)
{
    SurveyFileData data = SurveySamples::header(kind == Kind::Loading ? SurveyFileData::Kind::Loading
                                                                      : SurveyFileData::Kind::Discharging);
    data.initial = initial;
    data.final = fin;
    return data;
}

QStringList texts(const SurveyMessages& messages)
{
    QStringList out;
    for (const SurveyMessage& m : messages)
        out << m.text;
    return out;
}

// The results a window shows red.
QStringList redResults(const SurveyModel::Plausibility& p)
{
    QStringList out;
    const std::pair<bool, const char*> flags[] = {
        {p.initialNetDisplacement, "initialNetDisplacement"},
        {p.finalNetDisplacement, "finalNetDisplacement"},
        {p.constant, "constant"},
        {p.cargoLoaded, "cargoLoaded"},
        {p.cargoPlusConstant, "cargoPlusConstant"},
        {p.cargoDischarged, "cargoDischarged"},
        {p.constantAfterDischarge, "constantAfterDischarge"},
        {p.assumedConstant, "assumedConstant"},
    };
    for (const auto& [plausible, name] : flags)
        if (!plausible)
            out << QLatin1String(name);
    return out;
}

QString figure(const std::optional<Decimal>& d)
{
    return d ? d->toString() : QStringLiteral("none");
}

}  // namespace

class TestSurveyRules : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void completenessChecksInOrder_data();
    void completenessChecksInOrder();
    void aValueTakenAwayIsMissingAgain_data();
    void aValueTakenAwayIsMissingAgain();
    void theFinalDraftWorksWithTheMarksTheInitialLeft();
    void blankTableFigures_data();
    void blankTableFigures();
    void negativeDifferences_data();
    void negativeDifferences();
    void aNegativeDifferenceWithdrawsTheDraft_data();
    void aNegativeDifferenceWithdrawsTheDraft();
    void noTrueMeanDraft_data();
    void noTrueMeanDraft();
    void implausibleResults_data();
    void implausibleResults();
    void constantAndCargo_data();
    void constantAndCargo();

private:
    QTemporaryDir m_dir;
};

void TestSurveyRules::initTestCase()
{
    TestSupport::initTestEnvironment();
    QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
    SurveyTestShips::insert();
    // A ship whose particulars give no length between perpendiculars.
    sharedConnection().execute(QStringLiteral(
        "INSERT INTO Ship (ShipID, ShipName, PortOfRegistry, LBP, LOA, Breadth, LightShip, CallSign, Flag, "
        "OfficialNo, IMONo, SummerDraft, SummerDeadweight, GrossTonnage, NetTonnage) VALUES (3, 'No Length', "
        "1, 0, 190, 32.2, 8000, 'NOLEN', 'Panama', 3, 9000003, 11.2, 45000, 25000, 14000)"));
}

void TestSurveyRules::cleanupTestCase()
{
    closeDatabase();
}

void TestSurveyRules::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
}

// --- Before Calculate: the survey is complete -------------------------------------------------

void TestSurveyRules::completenessChecksInOrder_data()
{
    QTest::addColumn<QStringList>("untyped");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("headerField");
    const QStringList said = {
        "Please select ship name.",
        "Please enter Voyage-ID.",
        "Please select port name.",
        "Please enter value for cargo.",
        "Please enter value for Density.",
        "Please enter value for Forward Port.",
        "Please enter value for Forward Starboard.",
        "Please enter value for Midship Port.",
        "Please enter value for Midship Starboard.",
        "Please enter value for Aft Port.",
        "Please enter value for Aft Starboard.",
        "Please enter value for Fwd X.",
        "Please enter value for Mid X.",
        "Please enter value for Aft X.",
    };
    const QString incomplete = QStringLiteral("Incomplete data.\r\n\r\n");
    for (int i = 0; i < kCompleteness.size(); ++i) {
        const QString& name = kCompleteness[i];
        const bool header = i < 4;
        QTest::addRow("%s alone", qPrintable(name))
            << QStringList{name} << incomplete + said[i] << name << header;
        // Every field after it missing too: the first in order is the one named.
        if (i + 1 < kCompleteness.size())
            QTest::addRow("%s and all after it", qPrintable(name))
                << kCompleteness.mid(i) << incomplete + said[i] << name << header;
    }
    QTest::newRow("a reading and a mark: the reading")
        << QStringList{"marks.fwdX", "drafts.aftPort"} << incomplete + said[9] << "drafts.aftPort" << false;
    QTest::newRow("the cargo and the density: the cargo")
        << QStringList{"density", "cargo"} << incomplete + said[3] << "cargo" << true;
    QTest::newRow("a mark before a blank table figure")
        << QStringList{"hydrostatics.below.draft", "marks.aftX"} << incomplete + said[13] << "marks.aftX"
        << false;
}

void TestSurveyRules::completenessChecksInOrder()
{
    QFETCH(QStringList, untyped);
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(bool, headerField);
    SurveyModel m(Kind::Loading);
    QVERIFY(typeHeader(m, SurveySamples::loading(), untyped));
    QVERIFY(typeDraft(m, Initial, loadingInitial(), untyped));
    const SurveyModel::Calculation c = m.calculate(Initial);
    QVERIFY(!c.calculated);
    QCOMPARE(c.stop, Stop::Incomplete);
    QCOMPARE(c.field, field);
    QCOMPARE(c.headerField, headerField);
    QCOMPARE(texts(c.messages), QStringList{text});
    QCOMPARE(c.messages.at(0).title, QString());  // the program's own title
    QCOMPARE(c.messages.at(0).icon, Msg::Icon::Exclamation);
    QCOMPARE(c.messages.at(0).field, field);
    QVERIFY(!m.calculated(Initial));
    QCOMPARE(m.netDisplacementText(Initial), QString());
    QVERIFY(!m.constant());
    QCOMPARE(TestSupport::messageTexts(), QStringList());
}

// A box typed and then emptied (or left with blanks only) is missing again.
void TestSurveyRules::aValueTakenAwayIsMissingAgain_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("voyage of blanks") << "voyage" << "   " << "Please enter Voyage-ID.";
    QTest::newRow("cargo of blanks") << "cargo" << " " << "Please enter value for cargo.";
    QTest::newRow("density emptied") << "density" << "" << "Please enter value for Density.";
    QTest::newRow("reading of blanks")
        << "drafts.midStbd" << "  " << "Please enter value for Midship Starboard.";
    QTest::newRow("mark emptied") << "marks.midX" << "" << "Please enter value for Mid X.";
}

void TestSurveyRules::aValueTakenAwayIsMissingAgain()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    SurveyModel m(Kind::Discharging);
    QVERIFY(typeHeader(m, SurveySamples::discharging()));
    QVERIFY(typeDraft(m, Initial, arrival()));
    QVERIFY(m.calculate(Initial).calculated);
    if (field == "voyage")
        m.setVoyage(typed);
    else if (field == "cargo")
        m.setCargo(typed);
    else if (field == "density")
        QVERIFY(m.enter(Initial, Field::Density, typed).accepted);
    else if (field == "drafts.midStbd")
        QVERIFY(m.enter(Initial, Field::MidStbd, typed).accepted);
    else
        QVERIFY(m.enter(Initial, Field::MidX, typed).accepted);
    const SurveyModel::Calculation c = m.calculate(Initial);
    QVERIFY(!c.calculated);
    QCOMPARE(c.stop, Stop::Incomplete);
    QCOMPARE(c.field, field);
    QCOMPARE(texts(c.messages), QStringList{"Incomplete data.\r\n\r\n" + text});
}

// The marks are read once: the Final draft works with the Initial draft's until one of its own is
// typed, and is incomplete only when neither draft has one.
void TestSurveyRules::theFinalDraftWorksWithTheMarksTheInitialLeft()
{
    const QStringList marks = {"marks.fwdX", "marks.midX", "marks.aftX"};
    SurveyModel m(Kind::Discharging);
    QVERIFY(typeHeader(m, SurveySamples::discharging()));
    QVERIFY(typeDraft(m, Initial, arrival(), {"marks.midX"}));
    QVERIFY(typeDraft(m, Final, departure(), marks));
    SurveyModel::Calculation c = m.calculate(Final);
    QCOMPARE(c.stop, Stop::Incomplete);
    QCOMPARE(c.field, QStringLiteral("marks.midX"));
    QCOMPARE(texts(c.messages), QStringList{"Incomplete data.\r\n\r\nPlease enter value for Mid X."});
    QVERIFY(m.enter(Initial, Field::MidX, "0").accepted);
    QVERIFY(m.calculate(Initial).calculated);
    c = m.calculate(Final);
    QVERIFY(c.calculated);
    QCOMPARE(texts(c.messages), QStringList());
    // The departure's own marks are the arrival's: the same net displacement, 8418.56357.
    QCOMPARE(m.netDisplacementText(Final), QStringLiteral("8418.56357"));
}

// --- Before Calculate: the hydrostatic and MCTC tables are filled -----------------------------

void TestSurveyRules::blankTableFigures_data()
{
    QTest::addColumn<QStringList>("untyped");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    const char* const said[4] = {"Value of Hyd. Draft can't be left blank.",
                                 "Value of Displacement can't be left blank.",
                                 "Value of TPC can't be left blank.", "Value of LCF can't be left blank."};
    for (const char* row : {"below", "above"}) {
        for (int c = 0; c < 4; ++c) {
            const QString field =
                QStringLiteral("hydrostatics.%1.%2").arg(QLatin1String(row), QLatin1String(kColumns[c]));
            QTest::addRow("%s", qPrintable(field)) << QStringList{field} << QString(said[c]) << field;
        }
    }
    const QString plus = QStringLiteral("Value of MCTC+50 can't be left blank.");
    const QString minus = QStringLiteral("Value of MCTC-50 can't be left blank.");
    QTest::newRow("mctcPlus50.below") << QStringList{"mctcPlus50.below"} << plus << "mctcPlus50.below";
    QTest::newRow("mctcPlus50.above") << QStringList{"mctcPlus50.above"} << plus << "mctcPlus50.above";
    QTest::newRow("mctcMinus50.below") << QStringList{"mctcMinus50.below"} << minus << "mctcMinus50.below";
    QTest::newRow("mctcMinus50.above") << QStringList{"mctcMinus50.above"} << minus << "mctcMinus50.above";

    // The Below row before the Above row, the hydrostatic table before MCTC+50 before MCTC-50.
    QTest::newRow("Below LCF before Above draft")
        << QStringList{"hydrostatics.above.draft", "hydrostatics.below.lcf"} << QString(said[3])
        << "hydrostatics.below.lcf";
    QTest::newRow("Below TPC before Below LCF")
        << QStringList{"hydrostatics.below.lcf", "hydrostatics.below.tpc"} << QString(said[2])
        << "hydrostatics.below.tpc";
    QTest::newRow("hydrostatics before MCTC+50")
        << QStringList{"mctcPlus50.below", "hydrostatics.above.lcf"} << QString(said[3])
        << "hydrostatics.above.lcf";
    QTest::newRow("MCTC+50 before MCTC-50")
        << QStringList{"mctcMinus50.below", "mctcPlus50.above"} << plus << "mctcPlus50.above";
    QTest::newRow("MCTC-50 Below before Above")
        << QStringList{"mctcMinus50.above", "mctcMinus50.below"} << minus << "mctcMinus50.below";
    QTest::newRow("every figure blank")
        << QStringList{"hydrostatics.below.draft", "hydrostatics.below.displacement",
                       "hydrostatics.below.tpc", "hydrostatics.below.lcf", "hydrostatics.above.draft",
                       "hydrostatics.above.displacement", "hydrostatics.above.tpc", "hydrostatics.above.lcf",
                       "mctcPlus50.below", "mctcPlus50.above", "mctcMinus50.below", "mctcMinus50.above"}
        << QString(said[0]) << "hydrostatics.below.draft";
}

void TestSurveyRules::blankTableFigures()
{
    QFETCH(QStringList, untyped);
    QFETCH(QString, text);
    QFETCH(QString, field);
    for (const Kind kind : {Kind::Loading, Kind::Discharging}) {
        SurveyModel m(kind);
        const SurveyFileData survey =
            kind == Kind::Loading ? SurveySamples::loading() : SurveySamples::discharging();
        QVERIFY(typeHeader(m, survey));
        QVERIFY(typeDraft(m, Final, *survey.final, untyped));
        const SurveyModel::Calculation c = m.calculate(Final);
        QVERIFY(!c.calculated);
        QCOMPARE(c.stop, Stop::BlankTable);
        QCOMPARE(c.field, field);
        QVERIFY(!c.headerField);
        QCOMPARE(texts(c.messages), QStringList{text});
        QCOMPARE(c.messages.at(0).title, QStringLiteral("Hydrostatic Data Table"));
        QCOMPARE(c.messages.at(0).icon, Msg::Icon::Exclamation);
        QCOMPARE(c.messages.at(0).field, field);
        QVERIFY(!m.calculated(Final));
        QVERIFY(!m.cargoQuantity());
    }
}

// --- Before Calculate: the Above row lies above its Below row ----------------------------------

// Each figure of an Above row is changed to lie below its Below row (or the Below row raised above
// it). Only the draft and the displacement must grow between the two rows: the check names the
// Above row's cell of the first of them found so. LCF, TPC and MCTC may fall between two rows of a
// real table and are calculated as they stand (a falling TPC or MCTC is a finding, see
// fallingTpcOrMctcIsCalculatedAndFound).
void TestSurveyRules::negativeDifferences_data()
{
    QTest::addColumn<QStringList>("cells");   // "table.row.column" or "table.row" for the MCTC tables
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("field");       // empty: no refused difference, calculated
    const QString hyd = QStringLiteral("hydrostatics.above.");
    // The Hyd. Draft also carries the MCTC tables' drafts, 50 cm either side: the Above draft
    // below the Below one makes their differences negative too, and the hydrostatic column is named.
    QTest::newRow("Hyd. Draft, and with it the MCTC drafts")
        << QStringList{"hydrostatics.above.draft"} << QStringList{"7.1"} << hyd + "draft";
    QTest::newRow("Displacement")
        << QStringList{"hydrostatics.above.displacement"} << QStringList{"29999.999"} << hyd + "displacement";
    QTest::newRow("Below displacement raised over Above")
        << QStringList{"hydrostatics.below.displacement"} << QStringList{"30400.001"} << hyd + "displacement";
    QTest::newRow("TPC falls: calculated") << QStringList{"hydrostatics.above.tpc"} << QStringList{"39.999"}
                                           << QString();
    QTest::newRow("LCF falls: calculated") << QStringList{"hydrostatics.above.lcf"} << QStringList{"-2.501"}
                                           << QString();
    QTest::newRow("MCTC+50 falls: calculated")
        << QStringList{"mctcPlus50.above"} << QStringList{"419.999"} << QString();
    QTest::newRow("MCTC-50 falls: calculated")
        << QStringList{"mctcMinus50.above"} << QStringList{"399.999"} << QString();
    QTest::newRow("Below TPC raised over Above: calculated")
        << QStringList{"hydrostatics.below.tpc"} << QStringList{"40.201"} << QString();
    QTest::newRow("Below MCTC-50 raised over Above: calculated")
        << QStringList{"mctcMinus50.below"} << QStringList{"403.5"} << QString();
    // In order: the draft, then the displacement; the other columns never stop it.
    QTest::newRow("Displacement with LCF")
        << QStringList{"hydrostatics.above.lcf", "hydrostatics.above.displacement"}
        << QStringList{"-3", "29000"} << hyd + "displacement";
    QTest::newRow("Draft before displacement")
        << QStringList{"hydrostatics.above.displacement", "hydrostatics.above.draft"}
        << QStringList{"29000", "7.15"} << hyd + "draft";
    QTest::newRow("LCF and MCTC+50 fall together: calculated")
        << QStringList{"mctcPlus50.above", "hydrostatics.above.lcf"} << QStringList{"400", "-3"} << QString();
    // Equal rows are no negative difference: the figure simply does not change between them.
    QTest::newRow("TPC equal") << QStringList{"hydrostatics.above.tpc"} << QStringList{"40"} << QString();
    QTest::newRow("MCTC+50 equal") << QStringList{"mctcPlus50.above"} << QStringList{"420"} << QString();
}

void TestSurveyRules::negativeDifferences()
{
    QFETCH(QStringList, cells);
    QFETCH(QStringList, values);
    QFETCH(QString, field);
    SurveyModel m(Kind::Loading);
    QVERIFY(typeHeader(m, SurveySamples::loading()));
    QVERIFY(typeDraft(m, Initial, loadingInitial()));
    for (int i = 0; i < cells.size(); ++i) {
        const QStringList parts = cells[i].split('.');
        const int row = parts[1] == "below" ? SurveyModel::Below : SurveyModel::Above;
        SurveyInputRules::Outcome o;
        if (parts[0] == "hydrostatics") {
            const int column = QStringList{"draft", "displacement", "tpc", "lcf"}.indexOf(parts[2]);
            o = m.enterTable(Initial, Table::Hydrostatics, row, column, values[i]);
        } else {
            const Table table = parts[0] == "mctcPlus50" ? Table::MctcPlus50 : Table::MctcMinus50;
            o = m.enterTable(Initial, table, row, 1, values[i]);
        }
        QVERIFY2(o.accepted, qPrintable(o.message));
    }
    const SurveyModel::Calculation c = m.calculate(Initial);
    if (field.isEmpty()) {
        QVERIFY(c.calculated);
        QCOMPARE(c.stop, Stop::None);
        QCOMPARE(texts(c.messages), QStringList());
        return;
    }
    QVERIFY(!c.calculated);
    QCOMPARE(c.stop, Stop::NegativeDifference);
    QCOMPARE(c.field, field);
    QVERIFY(!c.headerField);
    QCOMPARE(texts(c.messages), QStringList{"Invalid hydrostatic details...!\r\n\r\nDifference of Above & "
                                            "Below can't be negative."});
    QCOMPARE(c.messages.at(0).title, QString());
    QCOMPARE(c.messages.at(0).icon, Msg::Icon::Exclamation);
    QCOMPARE(c.messages.at(0).field, field);
    QVERIFY(!m.calculated(Initial));
}

// A draft calculated, then a table figure changed so that the Above row lies below the Below row
// and Calculate again: the draft's results go, and what was worked out from them.
void TestSurveyRules::aNegativeDifferenceWithdrawsTheDraft_data()
{
    QTest::addColumn<bool>("discharging");
    QTest::addColumn<int>("draft");
    QTest::newRow("loading, Initial") << false << Initial;
    QTest::newRow("loading, Final") << false << Final;
    QTest::newRow("discharging, arrival") << true << Initial;
    QTest::newRow("discharging, departure") << true << Final;
}

void TestSurveyRules::aNegativeDifferenceWithdrawsTheDraft()
{
    QFETCH(bool, discharging);
    QFETCH(int, draft);
    const SurveyFileData survey = discharging ? SurveySamples::discharging() : SurveySamples::loading();
    SurveyModel m(discharging ? Kind::Discharging : Kind::Loading);
    QVERIFY(typeHeader(m, survey));
    QVERIFY(typeDraft(m, Initial, survey.initial));
    if (survey.blQuantity)
        QVERIFY(m.enterBLQuantity(*survey.blQuantity).accepted);
    QVERIFY(m.calculate(Initial).calculated);
    QVERIFY(typeDraft(m, Final, *survey.final));
    QVERIFY(m.calculate(Final).calculated);
    QVERIFY(!m.netDisplacementText(draft).isEmpty());
    QVERIFY(m.cargoQuantity());

    // The Above displacement under the Below one.
    QVERIFY(m.enterTable(draft, Table::Hydrostatics, SurveyModel::Above, 1, "1").accepted);
    const SurveyModel::Calculation c = m.calculate(draft);
    QCOMPARE(c.stop, Stop::NegativeDifference);
    QCOMPARE(c.field, QStringLiteral("hydrostatics.above.displacement"));
    QVERIFY(!m.calculated(draft));
    QCOMPARE(m.netDisplacementText(draft), QString());
    if (draft == Initial) {
        // With no arrival draft the bill stands against nothing, as before any calculation.
        if (discharging)
            QCOMPARE(figure(m.assumedConstant()), "-" + *survey.blQuantity);
        else
            QCOMPARE(figure(m.constant()), QStringLiteral("none"));
    } else {
        QCOMPARE(figure(m.cargoQuantity()), QStringLiteral("none"));
        QCOMPARE(figure(m.constantAfterDischarge()), QStringLiteral("none"));
    }
    // The other draft keeps its own results.
    const int other = draft == Initial ? Final : Initial;
    QVERIFY(m.calculated(other));
    QVERIFY(!m.netDisplacementText(other).isEmpty());
    QCOMPARE(TestSupport::messageTexts(), QStringList());
}

// --- Calculate: a true mean draft to enter the tables at -------------------------------------

void TestSurveyRules::noTrueMeanDraft_data()
{
    QTest::addColumn<bool>("discharging");
    QTest::addColumn<int>("draft");
    QTest::addColumn<QString>("ship");
    QTest::addColumn<QStringList>("marks");
    // LBM = LBP + Fwd X - Aft X = 180 - 90 - 90 = 0.
    QTest::newRow("loading, marks cancel the LBP")
        << false << Initial << "Ocean Pride" << QStringList{"-90", "0", "90"};
    QTest::newRow("discharging, departure, marks cancel the LBP")
        << true << Final << "Ocean Pride" << QStringList{"-90", "5", "90"};
    QTest::newRow("a ship without a length") << false << Initial << "No Length" << QStringList{"0", "0", "0"};
}

void TestSurveyRules::noTrueMeanDraft()
{
    QFETCH(bool, discharging);
    QFETCH(int, draft);
    QFETCH(QString, ship);
    QFETCH(QStringList, marks);
    SurveyFileData survey = discharging ? SurveySamples::discharging() : SurveySamples::loading();
    survey.ship = ship;
    SurveyModel m(discharging ? Kind::Discharging : Kind::Loading);
    QVERIFY(typeHeader(m, survey));
    QVERIFY(typeDraft(m, Initial, survey.initial));
    QVERIFY(typeDraft(m, Final, *survey.final));
    if (ship == QLatin1String("Ocean Pride")) {
        // Calculated first, so that the check is seen to take the results away.
        QVERIFY(m.calculate(Initial).calculated);
        QVERIFY(m.calculate(Final).calculated);
    }
    for (int i = 0; i < 3; ++i)
        QVERIFY(m.enter(draft, kMarkFields[i], marks[i]).accepted);
    const SurveyModel::Calculation c = m.calculate(draft);
    QVERIFY(!c.calculated);
    QCOMPARE(c.stop, Stop::NoTrueMeanDraft);
    QCOMPARE(c.field, QStringLiteral("drafts"));
    QVERIFY(!c.headerField);
    QCOMPARE(texts(c.messages),
             QStringList{"The true mean draft is 0: nothing was calculated.\r\n\r\nPlease check the draft "
                         "readings, the mark distances and the LBP of the ship."});
    QCOMPARE(c.messages.at(0).title, QString());
    QCOMPARE(c.messages.at(0).icon, Msg::Icon::Exclamation);
    QCOMPARE(c.messages.at(0).field, QStringLiteral("drafts"));
    QVERIFY(!m.calculated(draft));
    QCOMPARE(m.netDisplacementText(draft), QString());
    if (draft == Initial) {
        QVERIFY(!m.constant());
    } else {
        QVERIFY(!m.cargoQuantity());
        QVERIFY(!m.constantAfterDischarge());
    }
    QCOMPARE(TestSupport::messageTexts(), QStringList());
}

// --- After Calculate: a result no ship can float at ------------------------------------------

// Each draft is on an even keel (evenKeel()), so that the net displacement is the table's
// displacement x density / 1.025 less the ballast; the light ship is 8000. What the last draft
// calculated says, in order, and which results show red.
void TestSurveyRules::implausibleResults_data()
{
    QTest::addColumn<bool>("discharging");
    QTest::addColumn<SurveyDraftData>("initial");
    QTest::addColumn<std::optional<SurveyDraftData>>("final");
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<QStringList>("red");
    const std::optional<SurveyDraftData> none;
    const QString net = checkInput("Invalid Net Displacement value.");
    const QString constant = checkInput("Invalid constant value.");
    const QString arrivalConstant = checkInput("Value of constant is invalid.");
    const QString discharged = checkInput("Current value for Total cargo discharged is invalid.");
    const QString after = checkInput("Current value for Constant is invalid.");

    // Loading, before: net displacement in (0, 1000000), constant (net less 8000) in (0, 100000).
    QTest::newRow("loading: plausible")
        << false << evenKeel("30000") << none << QStringList() << QStringList();
    QTest::newRow("loading: net displacement 0")  // no constant is worked out from it
        << false << evenKeel("5000", "1.025", "5000") << none << QStringList{net}
        << QStringList{"initialNetDisplacement"};
    QTest::newRow("loading: net displacement below 0, the constant not told")
        << false << evenKeel("5000", "1.025", "6000") << none << QStringList{net}
        << QStringList{"initialNetDisplacement", "constant"};
    // 999999 x 1.026 / 1.025 = 1000974.56390
    QTest::newRow("loading: net displacement over 1000000, the constant not told")
        << false << evenKeel("999999", "1.026") << none << QStringList{net}
        << QStringList{"initialNetDisplacement", "constant"};
    QTest::newRow("loading: net displacement under 1000000, constant 991999")
        << false << evenKeel("999999") << none << QStringList{constant} << QStringList{"constant"};
    QTest::newRow("loading: constant 100000")
        << false << evenKeel("108000") << none << QStringList{constant} << QStringList{"constant"};
    QTest::newRow("loading: constant 99999.999") << false << evenKeel("107999.999") << none << QStringList()
                                                 << QStringList();
    QTest::newRow("loading: constant 0") << false << evenKeel("8000") << none << QStringList{constant}
                                         << QStringList{"constant"};
    QTest::newRow("loading: constant 0.001") << false << evenKeel("8000.001") << none << QStringList()
                                             << QStringList();
    QTest::newRow("loading: constant below 0") << false << evenKeel("7000") << none << QStringList{constant}
                                               << QStringList{"constant"};
    // Loading, after: only the net displacement is told; a cargo below 0 shows red unsaid.
    QTest::newRow("loading: final net displacement below 0")
        << false << evenKeel("30000") << std::optional(evenKeel("5000", "1.025", "6000")) << QStringList{net}
        << QStringList{"finalNetDisplacement", "cargoLoaded"};
    QTest::newRow("loading: cargo loaded below 0")
        << false << evenKeel("30000") << std::optional(evenKeel("20000")) << QStringList()
        << QStringList{"cargoLoaded"};

    // Discharging, on arrival: cargo + constant (net less 8000) not below 0; the net
    // displacement's own warning comes after it.
    QTest::newRow("arrival: cargo + constant 0") << true << evenKeel("8000") << none << QStringList()
                                                 << QStringList();
    QTest::newRow("arrival: cargo + constant below 0")
        << true << evenKeel("7999.999") << none << QStringList{arrivalConstant}
        << QStringList{"cargoPlusConstant"};
    QTest::newRow("arrival: net displacement below 0")
        << true << evenKeel("5000", "1.025", "6000") << none << QStringList{arrivalConstant, net}
        << QStringList{"initialNetDisplacement", "cargoPlusConstant"};
    QTest::newRow("arrival: net displacement 0")  // no cargo + constant is worked out from it
        << true << evenKeel("5000", "1.025", "5000") << none << QStringList{net}
        << QStringList{"initialNetDisplacement"};
    QTest::newRow("arrival: net displacement over 1000000")
        << true << evenKeel("999999", "1.026") << none << QStringList{net}
        << QStringList{"initialNetDisplacement"};

    // Discharging, after: net displacement, then cargo discharged (arrival less departure), then
    // the constant after discharge (departure less 8000).
    QTest::newRow("departure: plausible")
        << true << evenKeel("30000") << std::optional(evenKeel("10000")) << QStringList() << QStringList();
    QTest::newRow("departure: nothing discharged")
        << true << evenKeel("30000") << std::optional(evenKeel("30000")) << QStringList() << QStringList();
    QTest::newRow("departure: constant after discharge 0")
        << true << evenKeel("30000") << std::optional(evenKeel("8000")) << QStringList() << QStringList();
    QTest::newRow("departure: cargo discharged below 0")
        << true << evenKeel("30000") << std::optional(evenKeel("30000.001")) << QStringList{discharged}
        << QStringList{"cargoDischarged"};
    QTest::newRow("departure: constant after discharge below 0")
        << true << evenKeel("30000") << std::optional(evenKeel("7999.999")) << QStringList{after}
        << QStringList{"constantAfterDischarge"};
    QTest::newRow("departure: cargo and constant below 0")
        << true << evenKeel("7000") << std::optional(evenKeel("7500")) << QStringList{discharged, after}
        << QStringList{"cargoPlusConstant", "cargoDischarged", "constantAfterDischarge"};
    // Arrival -2000, departure -1000: discharged -1000, constant after -9000.
    QTest::newRow("departure: all three")
        << true << evenKeel("5000", "1.025", "7000") << std::optional(evenKeel("5000", "1.025", "6000"))
        << QStringList{net, discharged, after}
        << QStringList{"initialNetDisplacement", "finalNetDisplacement", "cargoPlusConstant",
                       "cargoDischarged", "constantAfterDischarge"};
    QTest::newRow("departure: net displacement over 1000000")
        << true << evenKeel("30000") << std::optional(evenKeel("999999", "1.026"))
        << QStringList{net, discharged} << QStringList{"finalNetDisplacement", "cargoDischarged"};
}

void TestSurveyRules::implausibleResults()
{
    QFETCH(bool, discharging);
    QFETCH(SurveyDraftData, initial);
    QFETCH(std::optional<SurveyDraftData>, final);
    QFETCH(QStringList, told);
    QFETCH(QStringList, red);
    SurveyModel m(discharging ? Kind::Discharging : Kind::Loading);
    QVERIFY(typeHeader(m, surveyOf(discharging ? Kind::Discharging : Kind::Loading, initial)));
    QVERIFY(typeDraft(m, Initial, initial));
    SurveyModel::Calculation c = m.calculate(Initial);
    if (final) {
        QVERIFY(c.calculated);
        QVERIFY(typeDraft(m, Final, *final));
        c = m.calculate(Final);
    }
    QVERIFY(c.calculated);
    QCOMPARE(c.stop, Stop::None);
    QCOMPARE(c.field, QString());
    QCOMPARE(texts(c.messages), told);
    for (const SurveyMessage& said : c.messages) {
        QCOMPARE(said.title, QString());
        QCOMPARE(said.icon, Msg::Icon::Exclamation);
        QCOMPARE(said.field, QString());  // the survey as a whole
    }
    QCOMPARE(redResults(m.plausibility()), red);
    QCOMPARE(TestSupport::messageTexts(), QStringList());
}

// --- After Calculate: the constant and the cargo ---------------------------------------------

// The figures of the result column, to the digit. A discharge's bill of lading is typed before
// the arrival draft is calculated, after it, or after the departure: the assumed constant is the
// cargo + constant on arrival less the bill all the same.
void TestSurveyRules::constantAndCargo_data()
{
    QTest::addColumn<SurveyFileData>("survey");
    QTest::addColumn<QString>("billTyped");  // "before arrival", "after arrival", "after departure"
    QTest::addColumn<QString>("initialNet");
    QTest::addColumn<QString>("constant");  // loading: the constant; discharging: cargo + constant
    QTest::addColumn<QString>("assumed");
    QTest::addColumn<QString>("finalNet");
    QTest::addColumn<QString>("cargo");
    QTest::addColumn<QString>("constantAfter");
    const QString none = QStringLiteral("none");

    // The shared surveys, worked by hand in SurveySamples.h.
    QTest::newRow("loading survey") << SurveySamples::loading() << QString() << "29348.62818" << "21348.62818"
                                    << none << "37707.23005" << "8358.60187" << none;
    for (const char* when : {"before arrival", "after arrival", "after departure"})
        QTest::addRow("discharging survey, the bill typed %s", when)
            << SurveySamples::discharging() << QString(when) << "38751.03485" << "30751.03485" << "351.03485"
            << "8418.56357" << "30332.47128" << "418.56357";

    // 30000 x 1.02 / 1.025 = 29853.658536...: the net displacement to 5 places, the constant
    // from it to the digit.
    QTest::newRow("loading: density correction")
        << surveyOf(Kind::Loading, evenKeel("30000", "1.02")) << QString() << "29853.65854" << "21853.65854"
        << none << none << none << none;
    // 30000.123 less 0.0001 of ballast; afterwards 45678.901 less 1234.5678.
    QTest::newRow("loading: every digit of the constant and the cargo")
        << surveyOf(Kind::Loading, evenKeel("30000.123", "1.025", "0.0001"),
                    evenKeel("45678.901", "1.025", "1234.5678"))
        << QString() << "30000.1229" << "22000.1229" << none << "44444.3332" << "14444.2103" << none;

    // Arrival net 20500, cargo + constant 12500.
    SurveyFileData bill = surveyOf(Kind::Discharging, evenKeel("20500"), evenKeel("8200.5"));
    bill.blQuantity = QStringLiteral("12300");
    QTest::newRow("discharge: the bill below cargo + constant")
        << bill << "after arrival" << "20500" << "12500" << "200" << "8200.5" << "12299.5" << "200.5";
    bill.blQuantity = QStringLiteral("12600");
    QTest::newRow("discharge: the bill above cargo + constant, typed first")
        << bill << "before arrival" << "20500" << "12500" << "-100" << "8200.5" << "12299.5" << "200.5";
    // Written back to 5 places: 12345.67891.
    bill.blQuantity = QStringLiteral("12345.678912");
    QTest::newRow("discharge: the bill to 5 places")
        << bill << "after departure" << "20500" << "12500" << "154.32109" << "8200.5" << "12299.5" << "200.5";
}

void TestSurveyRules::constantAndCargo()
{
    QFETCH(SurveyFileData, survey);
    QFETCH(QString, billTyped);
    QFETCH(QString, initialNet);
    QFETCH(QString, constant);
    QFETCH(QString, assumed);
    QFETCH(QString, finalNet);
    QFETCH(QString, cargo);
    QFETCH(QString, constantAfter);
    const bool discharging = survey.kind == SurveyFileData::Kind::Discharging;
    SurveyModel m(discharging ? Kind::Discharging : Kind::Loading);
    const auto typeBill = [&](const char* when) {
        if (billTyped == QLatin1String(when))
            QVERIFY(m.enterBLQuantity(*survey.blQuantity).accepted);
    };
    QVERIFY(typeHeader(m, survey));
    QVERIFY(typeDraft(m, Initial, survey.initial));
    typeBill("before arrival");
    QVERIFY(m.calculate(Initial).calculated);
    typeBill("after arrival");
    if (survey.final) {
        QVERIFY(typeDraft(m, Final, *survey.final));
        QVERIFY(m.calculate(Final).calculated);
    }
    typeBill("after departure");

    QCOMPARE(m.netDisplacementText(Initial), initialNet);
    QCOMPARE(figure(discharging ? m.cargoPlusConstant() : m.constant()), constant);
    QCOMPARE(figure(m.assumedConstant()), assumed);
    QCOMPARE(m.netDisplacementText(Final), finalNet == "none" ? QString() : finalNet);
    QCOMPARE(figure(m.cargoQuantity()), cargo);
    QCOMPARE(figure(m.constantAfterDischarge()), constantAfter);
    if (discharging)
        QVERIFY(!m.constant());
    else
        QVERIFY(!m.cargoPlusConstant());
    QCOMPARE(TestSupport::messageTexts(), QStringList());
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestSurveyRules t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_survey_rules.moc"
