// How long picking a survey's hydrostatic rows takes on a long booklet: 1,300 rows, one per
// centimetre from 2 m to 15 m. Prints timings; it checks nothing (the aim is well under 1 ms).
#include "core/Decimal.h"
#include "model/HydrostaticTable.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    HydrostaticTable t;
    const Decimal cm = Decimal(1) / Decimal(100);
    Decimal displacement(8000);
    for (int i = 0; i < 1300; ++i) {
        HydrostaticRow r;
        r.draft = Decimal(2) + Decimal(i) * cm;
        r.tpc = Decimal(50) + Decimal(i) / Decimal(100);
        displacement = displacement + r.tpc;
        r.displacement = displacement;
        r.lcf = Decimal(3) - Decimal(i) / Decimal(200);
        r.mctc = Decimal(700) + Decimal(i) / Decimal(3);
        t.rows.append(r);
    }
    // Drafts spread over the table, never on a row, so that every MCTC is interpolated.
    const int rounds = 20000;
    int picked = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        const Decimal draft = Decimal(3) + Decimal(i % 1000) * cm + Decimal(37) / Decimal(10000);
        picked += HydrostaticPicking::pick(t, draft).picked ? 1 : 0;
    }
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s %10.2f us per pick (%d rounds, %d picked, %d rows)\n", "pick rows and MCTC", us / rounds,
                rounds, picked, int(t.rows.size()));

    const auto auditStart = std::chrono::steady_clock::now();
    const int findings = int(HydrostaticAudit::audit(t).size());
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - auditStart).count();
    std::printf("%-40s %10.2f ms (%d findings)\n", "audit of the whole table", ms, findings);
    return 0;
}
