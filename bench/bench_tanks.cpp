// How long a draft's tank sheet and a tank table import take on a large ship: 60 tanks of 300
// gauges and 10 trims. Prints timings; it checks nothing (the aims: under 1 ms for all the tanks
// of a draft, under 200 ms for the import).
#include "core/Decimal.h"
#include "files/TankTableFile.h"
#include "model/TankSheet.h"
#include "model/TankTable.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TankTables tables;
    const Decimal hundredth = Decimal(1) / Decimal(100);
    for (int t = 0; t < 60; ++t) {
        Tank tank;
        tank.name = QStringLiteral("Tank %1").arg(t + 1);
        tank.group = TankGroups::all().at(t % TankGroups::Count);
        tank.density = Decimal(1025) / Decimal(1000);
        for (int k = 0; k < 10; ++k)
            tank.trims.append(Decimal(k - 3) / Decimal(2));
        tank.heels = {Decimal(-2), Decimal(2)};
        for (int g = 0; g < 300; ++g) {
            TankRow r;
            r.gauge = Decimal(g * 5);
            for (int k = 0; k < 10; ++k)
                r.volumes.append(Decimal(g * (500 + t)) * hundredth + Decimal(g * k) / Decimal(1000));
            r.heel = {-Decimal(g) / Decimal(1000), Decimal(g) / Decimal(1000)};
            tank.rows.append(r);
        }
        tables.tanks.append(tank);
    }
    TankSheet sheet;
    for (int t = 0; t < 60; ++t)
        sheet.readings.insert(
            tables.tanks[t].name, {QStringLiteral("%1.3").arg(17 + t * 23), QString(), QString()});

    // The trims and lists as a survey hands them over: the true trim to 3 places, the list to 2.
    const int rounds = 2000;
    QVector<Decimal> trims, heels;
    for (int i = 0; i < rounds; ++i) {
        trims.append((Decimal(i % 300) / Decimal(137) - Decimal(1)).round(3));
        heels.append(Decimal(i % 7 - 3) / Decimal(4));
    }
    int worked = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        worked += TankSheetWork::workOut(tables, sheet, trims[i], heels[i]).ok() ? 1 : 0;
    const double us
        = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s %10.2f us per draft (%d rounds, %d worked, 60 tanks x 300 gauges x 10 trims)\n",
        "tank sheet of a draft", us / rounds, rounds, worked);

    const QString csv = QString::fromUtf8(TankTableFile::toCsv(tables));
    const auto importStart = std::chrono::steady_clock::now();
    QString error;
    const std::optional<TankTables> back
        = TankTableFile::parse(csv, TankTableFile::TrimSign::SternPositive, &error);
    const int findings = back ? int(TankAudit::audit(*back).size()) : -1;
    const double ms
        = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - importStart).count();
    std::printf("%-40s %10.2f ms (%d lines, %s, %d findings)\n", "import and audit of the tables", ms,
        int(csv.count(QLatin1Char('\n'))), back && *back == tables ? "unchanged" : "CHANGED", findings);
    return 0;
}
