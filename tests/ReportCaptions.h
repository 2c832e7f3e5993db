#pragma once

// What the tests read off a report: its captions, name to text, and the text of a PDF page.
#include "survey/ReportLayout.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QtTest>

using Captions = QMap<QString, QString>;

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
