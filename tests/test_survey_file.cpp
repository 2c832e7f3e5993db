// Survey files: what is written comes back the same, figures stay exactly as typed, and a bad
// file is refused with a message that names the file and the field.
#include "files/SurveyFile.h"
#include "tests/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

class TestSurveyFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void roundTripKeepsEveryInput()
    {
        SurveyFileData data;
        data.kind = SurveyFileData::Kind::Discharging;
        data.ship = QStringLiteral("O'Brien's Pride");
        data.port = QStringLiteral("Rotterdam");
        data.voyage = QStringLiteral("V-12");
        data.cargo = QStringLiteral("Wheat in bulk");
        data.blQuantity = QStringLiteral("12345.678912");
        data.initial.date = QStringLiteral("05-03-2004");
        data.initial.time = QStringLiteral("14:07");
        data.initial.density = QStringLiteral("1.0250");
        data.initial.fwdPort = QStringLiteral("7.20");
        data.initial.aftStbd = QStringLiteral("8.125");
        data.initial.fwdX = QStringLiteral("-2.5");
        data.initial.below[0] = QStringLiteral("7.2");
        data.initial.above[3] = QStringLiteral("-2.4");
        data.initial.mctcMinus50Above = QStringLiteral("403");
        data.initial.deductibles = {{2, QStringLiteral("300")}, {25, QStringLiteral("200.5")}};
        data.initial.comments = QStringLiteral("Swell 0.3 m,\n\"calm\" otherwise");
        SurveyDraftData fin = data.initial;
        fin.initialNetDisplacement = QStringLiteral("12000");
        data.final = fin;

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.json"));
        QString error;
        QVERIFY2(SurveyFile::write(path, data, &error), qPrintable(error));
        const auto back = SurveyFile::read(path, &error);
        QVERIFY2(back.has_value(), qPrintable(error));
        QCOMPARE(SurveyFile::serialize(*back), SurveyFile::serialize(data));
        QCOMPARE(back->initial.fwdPort, QStringLiteral("7.20"));
        QCOMPARE(back->blQuantity.value(), QStringLiteral("12345.678912"));
        QVERIFY(!back->initial.initialNetDisplacement.has_value());
        QCOMPARE(back->final->initialNetDisplacement.value(), QStringLiteral("12000"));
        QCOMPARE(back->initial.deductibles.size(), 2);
        QCOMPARE(back->initial.deductibles.at(1).first, 25);
        QCOMPARE(back->initial.comments, data.initial.comments);
    }

    void jsonNumbersKeepTheirDigits()
    {
        const QByteArray text = R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "Ada",
            "initial": {"density": 1.0250, "drafts": {"fwdPort": 0.1, "aftPort": -3.0e0},
                        "deductibles": {"24": 12345678901234567890.123456789, "3": 7},
                        "comments": "Drafts 7.1 and -2 read at slack water"}})";
        QString error;
        const auto data = SurveyFile::parse(text, QStringLiteral("n.json"), &error);
        QVERIFY2(data.has_value(), qPrintable(error));
        QCOMPARE(data->initial.density, QStringLiteral("1.0250"));
        QCOMPARE(data->initial.fwdPort, QStringLiteral("0.1"));
        QCOMPARE(data->initial.aftPort, QStringLiteral("-3.0e0"));
        QCOMPARE(data->initial.deductibles.at(0), qMakePair(3, QStringLiteral("7")));
        QCOMPARE(data->initial.deductibles.at(1).second, QStringLiteral("12345678901234567890.123456789"));
        QCOMPARE(data->initial.comments, QStringLiteral("Drafts 7.1 and -2 read at slack water"));
        QVERIFY(!data->final.has_value());
    }

    void badFilesNameTheFileAndTheField_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("not json") << QByteArray("hello") << QStringLiteral("bad.json: is not a survey file");
        QTest::newRow("other format") << QByteArray(R"({"format": "x"})")
                                      << QStringLiteral("bad.json: field \"format\": is not a survey file");
        QTest::newRow("kind") << QByteArray(R"({"format": "quorvane-survey/1", "kind": "daily"})")
                              << QStringLiteral("bad.json: field \"kind\": must be");
        QTest::newRow("no ship") << QByteArray(R"({"format": "quorvane-survey/1", "kind": "loading"})")
                                 << QStringLiteral("bad.json: field \"ship\": is missing.");
        QTest::newRow("no initial")
            << QByteArray(R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "A"})")
            << QStringLiteral("bad.json: field \"initial\": is missing.");
        QTest::newRow("reading not text")
            << QByteArray(R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "A",
                              "initial": {"drafts": {"fwdPort": [7]}}})")
            << QStringLiteral("bad.json: field \"initial.drafts.fwdPort\": must be a text or a number.");
        QTest::newRow("item")
            << QByteArray(R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "A",
                              "initial": {"deductibles": {"fuel": "1"}}})")
            << QStringLiteral("bad.json: field \"initial.deductibles.fuel\": is not an item number.");
        QTest::newRow("bl on loading")
            << QByteArray(R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "A",
                              "blQuantity": "5", "initial": {}})")
            << QStringLiteral("bad.json: field \"blQuantity\": belongs to a discharging survey only.");
    }

    void badFilesNameTheFileAndTheField()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!SurveyFile::parse(text, QStringLiteral("bad.json"), &error).has_value());
        QVERIFY2(error.startsWith(message), qPrintable(error));
    }

    // One item under two keys would let one quantity win unseen: "2", " 2", "+2" and "02" all
    // read as item 2. Only the plain number is a key, and a second key for one item (or the same
    // key twice) refuses the file, naming both.
    void deductibleKeysNameEachItemOnce_data()
    {
        QTest::addColumn<QByteArray>("deductibles");
        QTest::addColumn<QString>("message");  // empty: read
        QTest::newRow("plain keys") << QByteArray(R"({"2": "300", "10": "5", "0": "1"})") << QString();
        QTest::newRow("2 and 02") << QByteArray(R"({"2": "300", "02": "400"})")
                                  << R"(bad.json: field "initial.deductibles": the keys "02" and "2" both name item 2; an item is given once.)";
        QTest::newRow("2 and +2") << QByteArray(R"({"+2": "300", "2": "400"})")
                                  << R"(bad.json: field "initial.deductibles": the keys "+2" and "2" both name item 2; an item is given once.)";
        QTest::newRow("2 and blank 2") << QByteArray(R"({"2": "300", " 2": "400"})")
                                       << R"(bad.json: field "initial.deductibles": the keys " 2" and "2" both name item 2; an item is given once.)";
        QTest::newRow("2 twice") << QByteArray(R"({"2": "300", "3": "1", "2": "400"})")
                                 << R"(bad.json: field "initial.deductibles": the keys "2" and "2" both name item 2; an item is given once.)";
        QTest::newRow("leading zero alone")
            << QByteArray(R"({"07": "300"})")
            << R"(bad.json: field "initial.deductibles.07": the key "07" is not an item number written plainly (digits only, without sign, blank or leading zero).)";
        QTest::newRow("sign alone")
            << QByteArray(R"({"-3": "300"})")
            << R"(bad.json: field "initial.deductibles.-3": the key "-3" is not an item number written plainly (digits only, without sign, blank or leading zero).)";
    }

    void deductibleKeysNameEachItemOnce()
    {
        QFETCH(QByteArray, deductibles);
        QFETCH(QString, message);
        const QByteArray text = QByteArray("{\"format\": \"quorvane-survey/1\", \"kind\": \"loading\", "
                                           "\"ship\": \"A\", \"initial\": {\"deductibles\": ")
            + deductibles + "}}";
        QString error;
        SurveyFile::Failure failure = SurveyFile::Failure::None;
        const auto data = SurveyFile::parse(text, QStringLiteral("bad.json"), &error, &failure);
        if (message.isEmpty()) {
            QVERIFY2(data.has_value(), qPrintable(error));
            QCOMPARE(data->initial.deductibles.size(), 3);
            QCOMPARE(failure, SurveyFile::Failure::None);
            return;
        }
        QVERIFY(!data.has_value());
        QCOMPARE(error, message);
        QCOMPARE(failure, SurveyFile::Failure::Refused);
    }

    void otherKeysGivenTwiceAreNotDropped()
    {
        const QByteArray text = R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "A",
            "initial": {"drafts": {"fwdPort": "7.1", "fwdPort": "7.9"}}})";
        QString error;
        SurveyFile::Failure failure = SurveyFile::Failure::None;
        QVERIFY(!SurveyFile::parse(text, QStringLiteral("bad.json"), &error, &failure).has_value());
        QCOMPARE(error, QStringLiteral("bad.json: field \"initial.drafts\": the key \"fwdPort\" is given "
                                       "twice; one of the two would be lost."));
        QCOMPARE(failure, SurveyFile::Failure::NotRead);
        // A key inside a text, or the same name in two objects, is no repetition.
        const QByteArray fine = "{\"format\": \"quorvane-survey/1\", \"kind\": \"loading\", "
                                "\"ship\": \"A, \\\"ship\\\"\", \"initial\": {\"comments\": "
                                "\"{\\\"a\\\": 1, \\\"a\\\": 2}\", \"mctcPlus50\": {\"below\": \"1\"}, "
                                "\"mctcMinus50\": {\"below\": \"2\"}}}";
        QVERIFY2(SurveyFile::parse(fine, QStringLiteral("ok.json"), &error, &failure).has_value(),
                 qPrintable(error));
        QCOMPARE(failure, SurveyFile::Failure::None);
    }

    void missingFileIsReported()
    {
        QString error;
        QVERIFY(!SurveyFile::read(QStringLiteral("/nonexistent/s.json"), &error).has_value());
        QVERIFY2(error.startsWith(QStringLiteral("/nonexistent/s.json: the file cannot be read")),
                 qPrintable(error));
    }
};

QTEST_MAIN(TestSurveyFile)
#include "test_survey_file.moc"
