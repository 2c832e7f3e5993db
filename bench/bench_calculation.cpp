// How long the arithmetic of a survey takes: exact decimal operations and one draft's whole
// calculation. Prints timings; it checks nothing.
#include "core/AppPaths.h"
#include "db/Database.h"
#include "core/Decimal.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/SurveyDraft.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

namespace {

template <typename F>
void timeIt(const char* what, int rounds, F&& body)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        body(i);
    const auto ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s %10.1f ns per round (%d rounds)\n", what, ns / rounds, rounds);
}

Decimal d(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text), QLocale::c());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    MessageService::setTestMode(true);

    const Decimal a = d("30142.70333333333333333333333");
    const Decimal b = d("1.015");
    const Decimal c = d("1.025");
    volatile int sink = 0;
    timeIt("decimal add", 200000, [&](int) { sink = sink + (a + b).sign(); });
    timeIt("decimal multiply", 200000, [&](int) { sink = sink + (a * b).sign(); });
    timeIt("decimal divide", 200000, [&](int) { sink = sink + (a / c).sign(); });
    timeIt("decimal round to 5 places", 200000, [&](int) { sink = sink + a.round(5).sign(); });
    timeIt("decimal parse and print", 100000,
           [&](int) { sink = sink + int(Decimal::parse(QStringLiteral("12345.6789"), QLocale::c())->toString().size()); });

    QTemporaryDir dir;
    for (const char* name : {"DS.dat", "DS.lib"})
        QFile::copy(QStringLiteral(QUORVANE_DELIVERED_DIR "/") + QLatin1String(name),
                    dir.filePath(QLatin1String(name)));
    AppPaths::setAppDir(dir.path());
    openDatabase();
    if (startupFailed())
        return 1;
    sharedConnection().execute(
        QStringLiteral("INSERT INTO Ship (ShipName, LBP, LightShip) VALUES ('Bench', 180, 8000)"));
    RowSet ships;
    ships.open(SqlCatalogue::shipList(), sharedConnection());
    ships.find(SqlCatalogue::findShipByName(QStringLiteral("Bench")));
    const Variant shipId = ships.value(QStringLiteral("ShipID"));

    SurveyDraft draft;
    draft.setShipId(shipId);
    VariantArray2D hdt(3, 6);
    const char* rows[2][4] = {{"7.20", "30000", "40.0", "-2.5"}, {"7.30", "30400", "40.2", "-2.4"}};
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 4; ++k)
            hdt(r, k) = Variant(QString::fromLatin1(rows[r][k]));
    draft.setHdt(hdt);
    draft.setTrueMeanDraft(Variant(QStringLiteral("7.25")));
    draft.setTrueTrim(Variant(QStringLiteral("1.2")));
    draft.setSpecificGravity(Variant(QStringLiteral("1.015")));
    timeIt("draft Calculate (worked example)", 20000, [&](int) { draft.calculate(); });
    std::printf("net displacement %s\n", qPrintable(draft.netDisplacement().toText()));
    return sink == 42 ? 0 : 0;
}
