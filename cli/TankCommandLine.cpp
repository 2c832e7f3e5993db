#include "cli/TankCommandLine.h"

#include "cli/CommandLineStart.h"
#include "cli/ServerCommandLine.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Database.h"
#include "files/TankTableFile.h"
#include "model/HydrostaticTable.h"
#include "model/TankTable.h"
#include "server/CatalogueServer.h"

#include <QCoreApplication>
#include <cstdio>

namespace TankCommandLine {

namespace {

const char* const kImport = "--import-tanks";
const char* const kExport = "--export-tanks";

int fail(const QString& text, int status)
{
    MessageService::printError(QStringLiteral("quorvane-lt: %1\n").arg(text));
    return status;
}

struct Options {
    bool import = false;
    QString ship;
    QString file;
    QString dataDir;
    QString passphraseFile;
    QString server;
    TankTableFile::TrimSign sign = TankTableFile::TrimSign::SternPositive;
};

bool parse(const QStringList& args, Options* o, QString* error)
{
    bool mode = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String(kImport) || a == QLatin1String(kExport)) {
            if (mode) {
                *error = QStringLiteral("only one of %1 and %2 at a time").arg(kImport, kExport);
                return false;
            }
            if (i + 2 >= args.size()) {
                *error = QStringLiteral("%1 needs a ship's name and a file").arg(a);
                return false;
            }
            mode = true;
            o->import = a == QLatin1String(kImport);
            o->ship = args.at(++i);
            o->file = args.at(++i);
        } else if (a == QLatin1String("--trim-sign") && i + 1 < args.size()) {
            const QString key = args.at(++i);
            const std::optional<TankTableFile::TrimSign> s = TankTableFile::trimSignFromKey(key);
            if (!s) {
                *error = QStringLiteral("--trim-sign takes stern-positive or stern-negative, not \"%1\"")
                             .arg(key);
                return false;
            }
            o->sign = *s;
        } else if (a == QLatin1String("--data-dir") || a.startsWith(QLatin1String("--data-dir="))) {
            const bool inlineValue = a.contains(QLatin1Char('='));
            if (!inlineValue && i + 1 >= args.size()) {
                *error = QStringLiteral("--data-dir needs a value");
                return false;
            }
            o->dataDir = inlineValue ? a.mid(11) : args.at(++i);
            if (o->dataDir.isEmpty()) {
                *error = QStringLiteral("--data-dir needs a value");
                return false;
            }
        } else if (a == QLatin1String("--server") && i + 1 < args.size()) {
            o->server = args.at(++i);
        } else if (a.startsWith(QLatin1String("--server="))) {
            o->server = a.mid(9);
        } else if (a == QLatin1String("--passphrase-file") && i + 1 < args.size()) {
            o->passphraseFile = args.at(++i);
        } else if (a.startsWith(QLatin1String("--passphrase-file="))) {
            o->passphraseFile = a.mid(18);
        } else {
            *error = QStringLiteral("unknown argument \"%1\"").arg(a);
            return false;
        }
    }
    if (o->ship.isEmpty() || o->file.isEmpty()) {
        *error = QStringLiteral("a ship's name and a file are needed");
        return false;
    }
    return true;
}

int importTables(int shipId, const Options& o)
{
    QString error;
    bool notRead = false;
    const std::optional<TankTables> tables = TankTableFile::readFile(o.file, o.sign, &error, &notRead);
    if (!tables)
        return fail(error, notRead ? Failed : Refused);
    const QList<TankAudit::Finding> findings = TankAudit::audit(*tables);
    for (const TankAudit::Finding& f : findings)
        MessageService::printError(
            QStringLiteral("%1: %2: %3\n")
                .arg(o.file, f.isError() ? QStringLiteral("error") : QStringLiteral("warning"), f.text));
    if (TankAudit::hasErrors(findings))
        return fail(QStringLiteral("the tank tables of %1 were left as they were.").arg(o.ship), Refused);
    if (CatalogueServer::shared().isSet()) {
        // The server first; the copy takes the tables from there.
        const CatalogueServer::WriteOutcome saved
            = CatalogueServer::shared().saveTanks(sharedConnection(), shipId, TankTables::stored(*tables));
        if (!saved.done)
            return fail(
                QStringLiteral("the catalogue server did not take the tank tables of %1: %2")
                    .arg(o.ship, QString(saved.message).replace(QLatin1String("\r\n"), QLatin1String(" "))),
                Failed);
    } else {
        TankTables::saveForShip(shipId, *tables);
    }
    std::printf("quorvane-lt: %d tanks imported for %s\n", int(tables->tanks.size()), qPrintable(o.ship));
    return Done;
}

int exportTables(int shipId, const Options& o)
{
    const TankTables tables = TankTables::loadForShip(shipId);
    if (tables.isEmpty())
        return fail(QStringLiteral("%1 has no tank tables.").arg(o.ship), Failed);
    QString error;
    if (!TankTableFile::writeCsv(o.file, tables, &error))
        return fail(error, Failed);
    return Done;
}

} // namespace

bool wanted(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], kImport) == 0 || qstrcmp(argv[i], kExport) == 0)
            return true;
    return false;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Options o;
    QString error;
    if (!parse(app.arguments().mid(1), &o, &error))
        return fail(error
                + QStringLiteral(
                    "\nusage: quorvane-lt [--data-dir DIR] --import-tanks \"SHIP NAME\" FILE.csv "
                    "[--trim-sign stern-positive|stern-negative]\n       quorvane-lt "
                    "[--data-dir DIR] --export-tanks \"SHIP NAME\" FILE.csv\n       (either with --server "
                    "URI: "
                    "the catalogue server)"),
            Failed);
    AppPaths::setApplicationNames();
    const CommandLineStart::Outcome start = CommandLineStart::prepareDataFolder(o.dataDir);
    if (!start.go)
        return fail(start.refusal, Failed);
    if (!start.prepared)
        MessageService::printError(QStringLiteral("quorvane-lt: %1\n").arg(start.prepareError));
    MessageService::setSink([](const MessageRecord& r) {
        MessageService::printError(
            QStringLiteral("quorvane-lt: %1\n")
                .arg(QString(r.text).replace(QLatin1String("\r\n"), QLatin1String(" "))));
        return Msg::Answer::Ok;
    });
    if (!CommandLineStart::usePassphrase(o.passphraseFile))
        return Failed;
    openDatabase();
    if (startupFailed())
        return Failed;
    // Out of reach, the export serves the copy as it is, and the import is refused (by the
    // server write), as a change of the catalogue waits for the server.
    ServerCommandLine::bringCopyUpToDate(o.server);
    int status = Failed;
    try {
        const int shipId = HydrostaticTable::shipIdByName(o.ship);
        if (shipId == 0)
            status = fail(QStringLiteral("there is no ship \"%1\" in the database.").arg(o.ship), Failed);
        else
            status = o.import ? importTables(shipId, o) : exportTables(shipId, o);
    } catch (const VbError& e) {
        status = fail(QStringLiteral("the database failed: %1").arg(e.description()), Failed);
    }
    closeDatabase();
    return status;
}

} // namespace TankCommandLine
