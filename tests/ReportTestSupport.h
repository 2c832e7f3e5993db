#pragma once

// What the report tests share: the test ship Ocean Star, and what the tests read off a report:
// its captions, name to text, and the text of a PDF page.
#include "db/SqlCatalogue.h"
#include "report/ReportLayout.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QtTest>

using Captions = QMap<QString, QString>;

// Ocean Star, registered at the port `registryPortId` (Majuro, Marshall Islands, in the tests).
inline SqlCatalogue::ShipValues oceanStar(int registryPortId)
{
    SqlCatalogue::ShipValues v;
    v.shipName = QStringLiteral("Ocean Star");
    v.lbp = QStringLiteral("180");
    v.loa = QStringLiteral("189.99");
    v.breadth = QStringLiteral("32.26");
    v.lightShip = QStringLiteral("8000");
    v.callSign = QStringLiteral("V7AB2");
    v.portOfRegistry = QString::number(registryPortId);
    v.officialNo = QStringLiteral("4567");
    v.imoNo = QStringLiteral("9301234");
    v.flag = QStringLiteral("Marshall Islands");
    v.grossTonnage = QStringLiteral("31250");
    v.netTonnage = QStringLiteral("18540.5");
    v.summerDraft = QStringLiteral("12.35");
    v.summerDeadweight = QStringLiteral("56012.8");
    return v;
}

// The captions of the page whose names start with `prefix`, as filled.
inline Captions column(const ReportLayout& layout, const QString& prefix)
{
    Captions c;
    for (const QString& name : layout.captionNames())
        if (name.startsWith(prefix))
            c.insert(name, layout.caption(name));
    return c;
}

// The same captions as drawn, before anything is filled.
inline Captions designColumn(const ReportLayout& layout, const QString& prefix)
{
    Captions c;
    for (const QString& name : layout.captionNames())
        if (name.startsWith(prefix))
            c.insert(name, layout.designText(name));
    return c;
}

// The same names, and each text as expected; a difference names its caption.
inline void compareCaptions(const Captions& actual, const Captions& expected)
{
    QCOMPARE(actual.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QVERIFY2(actual.value(it.key()) == it.value(),
                 qPrintable(it.key() + ": \"" + actual.value(it.key()) + "\", expected \"" + it.value()
                            + "\""));
}

// The text of a PDF file as pdftotext lays it out; empty when it cannot be read.
inline QString pdfText(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
