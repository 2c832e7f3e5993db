// How long opening the survey database takes at start: the two files keyed and read, the user
// looked up, and every page of both read once by the engine's quick check. Prints timings; it
// checks nothing.
//
//   bench_startup [DIR]     the DS.dat and DS.lib of DIR (by default the delivered ones)
#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/CipherFile.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <sqlite3.h>

namespace {

template <typename F>
void timeIt(const char* what, int rounds, F&& body)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        body(i);
    const auto us
        = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-48s %10.1f us per round (%d rounds)\n", what, us / rounds, rounds);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    MessageService::setTestMode(true);
    QTemporaryDir dir;
    const QString from = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUORVANE_DELIVERED_DIR);
    for (const char* name : {"DS.dat", "DS.lib"}) {
        const QString target = dir.filePath(QLatin1String(name));
        QFile::copy(from + QLatin1Char('/') + QLatin1String(name), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
    AppPaths::setAppDir(dir.path());
    const QString dat = dir.filePath(QStringLiteral("DS.dat"));
    const QString lib = dir.filePath(QStringLiteral("DS.lib"));
    std::printf("DS.dat %lld bytes, DS.lib %lld bytes\n", static_cast<long long>(QFileInfo(dat).size()),
                static_cast<long long>(QFileInfo(lib).size()));

    timeIt("OpenDatabase (whole start-up open)", 50, [](int) {
        openDatabase();
        closeDatabase();
    });
    // The share of the quick check in it: each file opened and checked alone.
    timeIt("quick_check of DS.dat alone", 50, [&](int) {
        sqlite3* db = CipherFile::open(dat, Schema::databasePassword(), false, QString());
        CipherFile::quickCheck(db);
        CipherFile::close(db);
    });
    timeIt("quick_check of DS.lib alone", 50, [&](int) {
        sqlite3* db = CipherFile::open(lib, Schema::userPassword(), false, QString());
        CipherFile::quickCheck(db);
        CipherFile::close(db);
    });
    timeIt("open of DS.dat without the check", 50, [&](int) {
        sqlite3* db = CipherFile::open(dat, Schema::databasePassword(), false, QString());
        CipherFile::checkReadable(db);
        CipherFile::close(db);
    });
    return startupFailed() ? 1 : 0;
}
