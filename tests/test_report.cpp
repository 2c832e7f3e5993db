// The finer rules of filling the survey report, with drafts built directly rather than typed
// into a window: deductions by item, hull deflection, rounding, drafts left out, a hand-typed
// initial net displacement and a failure while printing. The whole page from a typed survey is
// checked in test_report_windows.

#include "db/Database.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"
#include "model/SurveyModel.h"
#include "report/ReportFiller.h"
#include "ui/ReportPreview.h"
#include "tests/ReportTestSupport.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

Variant dec(const char* text)
{
    return Variant(*Decimal::parse(QString::fromLatin1(text)));
}

struct Deduction {
    int item;
    const char* quantity;
};

// The figures of one draft as the window would have handed them over before calculating.
struct DraftInputs {
    const char* date;
    const char* time;
    const char* density;
    const char* readings[6];  // fwd P/S, mid P/S, aft P/S
    Variant fwdMean, midMean, aftMean;
    const char* fwdCorrection;
    const char* aftCorrection;
    const char* fwdTrueDraft;
    const char* aftTrueDraft;
    const char* trueMeanDraft;
    const char* trueTrim;
    const char* hdtBelow[4];
    const char* hdtAbove[4];
    const char* mctcP50[2];
    const char* mctcM50[2];
    QList<Deduction> deductions;
    const char* comments;
};

// Before loading: the worked example of the trade, with every deductible item on board and one
// item (31) that the report has no line for.
DraftInputs lightInputs()
{
    return {"05-03-2024",
            "08:15",
            "1.015",
            {"7.0", "7.1", "7.30", "7.2", "8.2", "8.3"},
            dec("7.05"),
            dec("7.25"),
            dec("8.25"),
            "-0.0123456",
            "0.0234567",
            "7.0376544",
            "8.2734567",
            "7.25",
            "1.20",
            {"7.20", "30000", "40.0", "-2.5"},
            {"7.30", "30400", "40.2", "-2.4"},
            {"420", "424"},
            {"400", "403"},
            {{2, "310.5"},
             {3, "42.25"},
             {24, "3.1"},
             {25, "120"},
             {26, "1500.75"},
             {27, "2"},
             {28, "0"},
             {29, "0.5"},
             {31, "999"}},
            "Sounded by ship's staff"};
}

// After loading: deeper, trimmed less, with fuel, diesel, fresh water and ballast only.
DraftInputs ladenInputs()
{
    return {"06-03-2024",
            "17:40",
            "1.02",
            {"9.0", "9.1", "9.25", "9.25", "9.8", "9.9"},
            dec("9.05"),
            dec("9.25"),
            dec("9.85"),
            "0.004",
            "-0.0055",
            "9.054",
            "9.8445",
            "9.25",
            "0.8",
            {"9.20", "45000", "45.0", "1.2"},
            {"9.30", "45460", "45.2", "1.1"},
            {"520", "526"},
            {"500", "505"},
            {{2, "250.25"}, {3, "40"}, {25, "90"}, {26, "300"}},
            ""};
}

void prepare(SurveyDraft& d, int shipId, const DraftInputs& in)
{
    d.setShipId(Variant::longInt(shipId));
    d.setSurveyDate(QString::fromLatin1(in.date));
    d.setSurveyTime(QString::fromLatin1(in.time));
    d.setSpecificGravity(Variant(in.density));
    d.setFwdPort(Variant(in.readings[0]));
    d.setFwdStbd(Variant(in.readings[1]));
    d.setMidPort(Variant(in.readings[2]));
    d.setMidStbd(Variant(in.readings[3]));
    d.setAftPort(Variant(in.readings[4]));
    d.setAftStbd(Variant(in.readings[5]));
    d.setFwdMean(in.fwdMean);
    d.setMidMean(in.midMean);
    d.setAftMean(in.aftMean);
    d.setFwdCorrection(Variant(in.fwdCorrection));
    d.setAftCorrection(Variant(in.aftCorrection));
    d.setFwdTrueDraft(Variant(in.fwdTrueDraft));
    d.setAftTrueDraft(Variant(in.aftTrueDraft));
    d.setTrueMeanDraft(Variant(in.trueMeanDraft));
    d.setTrueTrim(Variant(in.trueTrim));
    VariantArray2D hdt(3, 6);
    for (int c = 0; c < 4; ++c) {
        hdt(0, c) = Variant(in.hdtBelow[c]);
        hdt(1, c) = Variant(in.hdtAbove[c]);
    }
    d.setHdt(hdt);
    VariantArray2D p50(3, 2), m50(3, 2);
    p50(0, 1) = Variant(in.mctcP50[0]);
    p50(1, 1) = Variant(in.mctcP50[1]);
    m50(0, 1) = Variant(in.mctcM50[0]);
    m50(1, 1) = Variant(in.mctcM50[1]);
    d.setMctcPlus50(p50);
    d.setMctcMinus50(m50);
    RowSet& rows = d.deductions();
    for (const Deduction& x : in.deductions) {
        rows.addNew();
        rows.setValue("ItemID", Variant::longInt(x.item));
        rows.setValue("Quantity", dec(x.quantity));
    }
    d.setComments(QString::fromLatin1(in.comments));
}

// A survey as a survey window hands it to the report, with drafts built directly: the fields
// below stand for what the window shows.
class FakeSurvey {
public:
    explicit FakeSurvey(bool discharging)
        : model(discharging ? SurveyModel::Kind::Discharging : SurveyModel::Kind::Loading),
          m_discharging(discharging)
    {
    }

    SurveyDraft& initialDraft() const { return model.draft(SurveyModel::Initial); }
    SurveyDraft& finalDraft() const { return model.draft(SurveyModel::Final); }
    QString finalResultText(int row, int column) const
    {
        return row == 9 && column == 1 ? netDisplacementCell : QString();
    }

    void loadShip(int id) { model.setShip(id, ship); }

    // The window after Calculate on the Initial tab: the Initial indicator shows.
    void calculateInitial(const DraftInputs& in, int shipId)
    {
        prepare(initialDraft(), shipId, in);
        initialDraft().calculate();
        const QString net = netText(initialDraft().netDisplacement());
        if (m_discharging)
            netDisplacementCell = net;
        else
            constant = "some constant";
        initialNet = net;
    }
    void calculateFinal(const DraftInputs& in, int shipId)
    {
        prepare(finalDraft(), shipId, in);
        finalDraft().calculate();
        cargoResult = "shown";
        // The discharging window's result grid shows the net displacement of the draft on show.
        if (m_discharging && tab == "Final")
            netDisplacementCell = netText(finalDraft().netDisplacement());
    }
    static QString netText(const Variant& v)
    {
        return v.isDecimal() ? v.toDecimal().round(5).toString() : QString();
    }

    // What the window hands the survey before a report.
    SurveyModel& sync()
    {
        model.setShipName(ship);
        model.setPort(portIdValue.isEmpty() ? std::nullopt : std::optional<int>(portIdValue.toInt32()), port);
        model.setVoyage(voyage);
        model.setCargo(cargo);
        SurveyModel::ReportView v;
        v.draftOnShow = tab == "Final" ? SurveyModel::Final : SurveyModel::Initial;
        if (!m_discharging) {
            v.initialCalculated = !constant.isEmpty();
        } else if (tab != "Final") {
            v.initialCalculated = !netDisplacementCell.isEmpty();
        } else {
            const Variant net = initialDraft().netDisplacement();
            v.initialCalculated = net.isNumber() && !net.toDecimal().isZero();
        }
        v.cargoResult = cargoResult;
        v.initialNetDisplacement = initialNet;
        v.fwdX = fwdX;
        v.midX = midX;
        v.aftX = aftX;
        model.setReportView(v);
        return model;
    }

    QString ship = "Ocean Star";
    QString port = "Vizag";
    Variant portIdValue;
    QString fwdX = "-1.5";
    QString midX = "0.5";
    QString aftX = "2.25";
    QString voyage = "V-117";
    QString cargo = "Iron ore fines";
    QString constant;
    QString netDisplacementCell;
    QString cargoResult;
    QString initialNet;
    QString tab = "Initial";
    QList<int> copied;
    mutable SurveyModel model;

private:
    bool m_discharging;
};

// The report of the survey, as Print Preview (or Print) fills it.
std::optional<ReportLayout> fill(FakeSurvey& s, bool preview)
{
    return ReportFiller::fill(s.sync(), preview, [&s](int draft) { s.copied.append(draft); });
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void deductionsByItem();
    void hullDeflection_data();
    void hullDeflection();
    void meansAreAddedAsNumbers();
    void initialNotMarkedChanged_data();
    void initialNotMarkedChanged();
    void finalOnlyWithHandTypedInitialNet();
    void dischargeFinalTabWithoutInitialResults();
    void failureIsReportedTwice_data();
    void failureIsReportedTwice();

private:
    int addPort(const QString& name, const QString& country);
    int addShip();
    std::unique_ptr<FakeSurvey> survey(bool discharging);

    std::unique_ptr<QTemporaryDir> m_dir;
    int m_registry = 0;
    int m_surveyPort = 0;
    int m_ship = 0;
};

int TestReport::addPort(const QString& name, const QString& country)
{
    sharedConnection().execute("INSERT INTO Port (PortName, City, Country) VALUES ('" + name + "', '', '"
                               + country + "')");
    RowSet rs;
    rs.open(SqlCatalogue::portList(), sharedConnection());
    rs.find("PortName = '" + name + "'");
    return rs.value("PortID").toInt32();
}

int TestReport::addShip()
{
    sharedConnection().execute(SqlCatalogue::insertShip(oceanStar(m_registry)));
    RowSet rs;
    rs.open(SqlCatalogue::shipList(), sharedConnection());
    rs.find(SqlCatalogue::findShipByName("Ocean Star"));
    return rs.value("ShipID").toInt32();
}

std::unique_ptr<FakeSurvey> TestReport::survey(bool discharging)
{
    auto s = std::make_unique<FakeSurvey>(discharging);
    s->portIdValue = Variant::longInt(m_surveyPort);
    s->loadShip(m_ship);
    return s;
}

// The report only reads the database, so one copy serves every case.
void TestReport::initTestCase()
{
    TestSupport::initTestEnvironment();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(TestSupport::openFreshDatabaseCopy(*m_dir));
    m_registry = addPort("Majuro", "Marshall Islands");
    m_surveyPort = addPort("Vizag", "India");
    m_ship = addShip();
}

void TestReport::cleanupTestCase()
{
    closeDatabase();
}

void TestReport::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
}

void TestReport::cleanup()
{
    ReportOutput::setPrinterProvider({});
}

void TestReport::deductionsByItem()
{
    // Only fuel and diesel on board, plus an item the report has no line for.
    auto s = survey(false);
    DraftInputs in = lightInputs();
    in.deductions = {{3, "12.5"}, {40, "77"}, {2, "100.25"}};
    s->calculateInitial(in, m_ship);
    const auto layout = fill(*s, true);
    QVERIFY(layout);
    QCOMPARE(layout->caption("lblInitFO"), QString("100.25 MT"));
    QCOMPARE(layout->caption("lblInitDO"), QString("12.5 MT"));
    for (const char* stem : {"LO", "FW", "Ballast", "Provisions", "Misc1", "Misc2"}) {
        QCOMPARE(layout->caption(QString("lblInit") + stem), QString("0 MT"));
        QVERIFY(!layout->isFilled(QString("lblInit") + stem));
    }
    QCOMPARE(layout->caption("lblInitTotDeductibles"), QString("189.75 MT"));
    QVERIFY(!layout->captionTexts().values().contains("77 MT"));
}

void TestReport::hullDeflection_data()
{
    QTest::addColumn<QString>("fwd");
    QTest::addColumn<QString>("mid");
    QTest::addColumn<QString>("aft");
    QTest::addColumn<QString>("caption");
    QTest::newRow("sagging") << "7.05"
                             << "7.7"
                             << "8.25"
                             << "Sag 5 cm";
    QTest::newRow("hogging") << "7.05"
                             << "7.25"
                             << "8.25"
                             << "Hog 40 cm";
    QTest::newRow("straight") << "7.05"
                              << "7.65"
                              << "8.25"
                              << "0 cm";
    QTest::newRow("fine sag, unrounded") << "7.0125"
                                         << "7.6505"
                                         << "8.2875"
                                         << "Sag 0.05 cm";
}

void TestReport::hullDeflection()
{
    QFETCH(QString, fwd);
    QFETCH(QString, mid);
    QFETCH(QString, aft);
    QFETCH(QString, caption);
    auto s = survey(false);
    DraftInputs in = lightInputs();
    in.fwdMean = Variant(*Decimal::parse(fwd));
    in.midMean = Variant(*Decimal::parse(mid));
    in.aftMean = Variant(*Decimal::parse(aft));
    s->calculateInitial(in, m_ship);
    const auto layout = fill(*s, true);
    QVERIFY(layout);
    QCOMPARE(layout->caption("lblInitDeflection"), caption);
    QCOMPARE(layout->isFilled("lblInitDeflection"), caption != "0 cm");
}

void TestReport::meansAreAddedAsNumbers()
{
    // The means can reach the draft as the texts of the draft panel; they are still figures.
    auto s = survey(true);
    DraftInputs in = lightInputs();
    in.fwdMean = Variant("7.05");
    in.midMean = Variant("7.25");
    in.aftMean = Variant("8.25");
    s->calculateInitial(in, m_ship);
    const auto layout = fill(*s, true);
    QVERIFY(layout);
    QCOMPARE(layout->caption("lblInitFwdAftMean"), QString("7.65 m"));
    QCOMPARE(layout->caption("lblInitDeflection"), QString("Hog 40 cm"));
    QCOMPARE(layout->caption("lblInitFwdMeanDraft"), QString("7.05 m"));
    // LCF and dMCTC come from the interpolated row of the results.
    QCOMPARE(layout->caption("lblInitLCF"), QString("-2.45"));
    QCOMPARE(layout->caption("lblInitdMCTC"), QString("20.5"));
    // The form on show went into its draft before the page was made.
    QCOMPARE(s->copied, QList<int>{0});

    // Corrections and corrected drafts are shown to the millimetre, half to even.
    auto laden = survey(false);
    laden->calculateInitial(ladenInputs(), m_ship);
    const auto ladenPage = fill(*laden, true);
    QVERIFY(ladenPage);
    QCOMPARE(ladenPage->caption("lblInitAftCorrection"), QString("-0.006 m"));  // -0.0055
    QCOMPARE(ladenPage->caption("lblInitCorrDraftAft"), QString("9.844 m"));    // 9.8445
    QCOMPARE(ladenPage->caption("lblInitNGDisp"), QString("44355.68119 MT"));

    QCOMPARE(*ReportFiller::deflectionText(Variant("7.05"), Variant("7.7"), Variant("8.25")),
             QString("Sag 5 cm"));
    QVERIFY(!ReportFiller::deflectionText(Variant(""), Variant(""), Variant("")));
}

void TestReport::initialNotMarkedChanged_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QString>("message");
    QTest::newRow("preview") << true << "No valid draft for preview.";
    QTest::newRow("print") << false << "No valid draft for printing.";
}

void TestReport::initialNotMarkedChanged()
{
    QFETCH(bool, preview);
    QFETCH(QString, message);
    auto s = survey(false);
    s->calculateInitial(lightInputs(), m_ship);
    s->initialDraft().setNeedsSaving(false);
    QVERIFY(!fill(*s, preview));
    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(MessageService::records().at(0).text, message);
    QCOMPARE(MessageService::records().at(0).icon, Msg::Icon::Exclamation);
}

void TestReport::finalOnlyWithHandTypedInitialNet()
{
    // The initial net displacement was measured elsewhere and typed on the Final tab.
    auto s = survey(false);
    s->calculateFinal(ladenInputs(), m_ship);
    s->initialNet = "30000";
    MessageService::setNextAnswer(Msg::Answer::Yes);
    auto layout = fill(*s, true);
    QVERIFY(layout);
    QCOMPARE(layout->caption("lblTotCargoLoaded"), QString("14355.68119 MT"));
    QCOMPARE(layout->caption("lblInitNGDisp"), QString("0 MT"));
    QCOMPARE(layout->caption("lblConstant"), QString());

    // Nothing typed: the box counts as 0, as it did for the cargo the window showed.
    for (bool discharging : {false, true}) {
        auto d = survey(discharging);
        d->calculateFinal(ladenInputs(), m_ship);
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);
        layout = fill(*d, true);
        QVERIFY(layout);
        QCOMPARE(MessageService::records().size(), 1);
        QCOMPARE(layout->caption("lblTotCargoLoaded"),
                 QString(discharging ? "-44355.68119 MT" : "44355.68119 MT"));
        QCOMPARE(layout->caption("lblConstant"), QString(discharging ? "36355.68119 MT" : ""));
    }
}

void TestReport::dischargeFinalTabWithoutInitialResults()
{
    // Initial readings typed but never calculated; the Final draft calculated on its tab, so the
    // result grid shows the Final net displacement.
    auto s = survey(true);
    prepare(s->initialDraft(), m_ship, ladenInputs());
    QVERIFY(s->initialDraft().needsSaving());
    s->tab = "Final";
    s->calculateFinal(lightInputs(), m_ship);
    QCOMPARE(s->finalResultText(9, 1), QString("26870.52818"));
    s->initialNet = "44000";

    MessageService::setNextAnswer(Msg::Answer::No);
    QVERIFY(!fill(*s, true));
    QCOMPARE(MessageService::records().size(), 1);
    QVERIFY(MessageService::records().at(0).text.startsWith("Incomplete Initial draft...!"));

    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);
    const auto layout = fill(*s, true);
    QVERIFY(layout);
    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(column(*layout, "lblInit"), designColumn(ReportLayout::dischargingReport(), "lblInit"));
    QCOMPARE(layout->caption("lblFinNGDisp"), QString("26870.52818 MT"));
    QCOMPARE(layout->caption("lblTotCargoLoaded"), QString("17129.47182 MT"));  // 44000 - 26870.52818
    QCOMPARE(layout->caption("lblConstant"), QString("18870.52818 MT"));
}

void TestReport::failureIsReportedTwice_data()
{
    QTest::addColumn<bool>("discharging");
    QTest::addColumn<QString>("title");
    QTest::newRow("loading") << false << "Quorvane Lt-10067";
    QTest::newRow("discharging") << true << "Quorvane Lt-10066";
}

void TestReport::failureIsReportedTwice()
{
    QFETCH(bool, discharging);
    QFETCH(QString, title);
    auto s = survey(discharging);
    s->calculateInitial(lightInputs(), m_ship);
    s->model.ship().load(m_ship + 100);  // the ship was deleted meanwhile: its record holds no row
    bool printed = false;
    ReportOutput::setPrinterProvider([&] {
        printed = true;
        return std::unique_ptr<QPrinter>();
    });
    if (const auto layout = fill(*s, false))
        ReportOutput::printToDefaultPrinter(*layout);
    QVERIFY(!printed);
    const QList<MessageRecord> r = MessageService::records();
    QCOMPARE(r.size(), 2);
    QVERIFY(!r.at(0).text.isEmpty());
    QCOMPARE(r.at(0).title, QString("Quorvane Lt"));
    QCOMPARE(r.at(0).icon, Msg::Icon::None);
    QCOMPARE(r.at(0).buttons, Msg::Buttons::Ok);
    QCOMPARE(r.at(1).title, title);
    QCOMPARE(r.at(1).text,
             QString("Error while printing the report.\r\n\r\n"
                     "Please contact us with the error number on the titlebar of this dialog box"));
    QCOMPARE(r.at(1).icon, Msg::Icon::Critical);
}

QTEST_MAIN(TestReport)
#include "test_report.moc"
