#include "cli/HydrostaticCommandLine.h"

#include "cli/CommandLineStart.h"
#include "cli/ServerCommandLine.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/Database.h"
#include "files/HydrostaticTableFile.h"
#include "model/HydrostaticTable.h"
#include "model/ShipRecord.h"
#include "server/CatalogueServer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace HydrostaticCommandLine {

namespace {

const char* const kImport = "--import-hydrostatics";
const char* const kExport = "--export-hydrostatics";

// A ship's name and a file's text come from the user: their control characters are shown escaped.
void printErr(const QString& text)
{
    MessageService::printError(text);
}

int fail(const QString& text, int status)
{
    printErr(QStringLiteral("quorvane-lt: %1\n").arg(text));
    return status;
}

struct Options {
    bool import = false;
    QString ship;
    QString file;
    QString dataDir;
    QString server;
    QString passphraseFile;
    // How the file writes its LCF (lettered figures are read with their letters whatever this
    // says), and whether its drafts are moulded.
    LcfConvention lcf = LcfConvention::MidshipAft;
    std::optional<bool> moulded;
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
        } else if (a == QLatin1String("--lcf") && i + 1 < args.size()) {
            const QString key = args.at(++i);
            const std::optional<LcfConvention> c = LcfConventions::fromKey(key);
            if (!c || *c == LcfConvention::Lettered) {
                *error = QStringLiteral("--lcf takes midship-aft, midship-forward or aft-perpendicular, "
                                        "not \"%1\"")
                             .arg(key);
                return false;
            }
            o->lcf = *c;
        } else if (a == QLatin1String("--drafts") && i + 1 < args.size()) {
            const QString kind = args.at(++i);
            if (kind != QLatin1String("extreme") && kind != QLatin1String("moulded")) {
                *error = QStringLiteral("--drafts takes extreme or moulded, not \"%1\"").arg(kind);
                return false;
            }
            o->moulded = kind == QLatin1String("moulded");
        } else if (a == QLatin1String("--data-dir") || a.startsWith(QLatin1String("--data-dir="))) {
            // An empty folder would quietly mean the default database: it is refused, as the
            // other starts refuse it.
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

int importTable(int shipId, const Options& o)
{
    QString error;
    bool notRead = false;
    const std::optional<HydrostaticTableFile::Layout> layout = HydrostaticTableFile::readFile(o.file, &error,
                                                                                              &notRead);
    if (!layout)
        return fail(error, notRead ? Failed : Refused);
    // From the command line nobody confirms the columns: the header must name them.
    if (layout->header.isEmpty())
        return fail(QStringLiteral("%1: the first line must name the columns (Draft, Displacement, TPC, LCF, "
                                   "MCTC).")
                        .arg(o.file),
                    Refused);
    std::optional<HydrostaticTable> table = HydrostaticTableFile::build(*layout, layout->proposed, &error);
    if (!table)
        return fail(QStringLiteral("%1: %2").arg(o.file, error), Refused);
    if (o.moulded)
        table->mouldedDrafts = *o.moulded;
    if (o.lcf == LcfConvention::AftPerpendicular && table->lcfSource != LcfConvention::Lettered) {
        // From the aft perpendicular the LCF is turned about midships: the ship's LBP is needed.
        ShipRecord ship;
        const Decimal lbp = ship.load(shipId) == 1 ? toNumeric(ship.lbp(), -1, 0).toDecimal() : Decimal(0);
        if (!(lbp > Decimal(0)))
            return fail(QStringLiteral("%1 has no LBP: an LCF from the aft perpendicular cannot be turned "
                                       "into one from midships.")
                            .arg(o.ship),
                        Refused);
        table->convertLcf(o.lcf, lbp);
    } else {
        table->convertLcf(o.lcf, Decimal(0));
    }
    const QList<HydrostaticAudit::Finding> findings = HydrostaticAudit::audit(*table);
    for (const HydrostaticAudit::Finding& f : findings)
        printErr(QStringLiteral("%1: %2: %3\n")
                     .arg(o.file, f.isError() ? QStringLiteral("error") : QStringLiteral("warning"), f.text));
    if (HydrostaticAudit::hasErrors(findings))
        return fail(QStringLiteral("the table of %1 was left as it was.").arg(o.ship), Refused);
    if (CatalogueServer::shared().isSet()) {
        // The server first; the copy takes the table from there.
        const CatalogueServer::WriteOutcome saved = CatalogueServer::shared().saveHydrostatics(
            sharedConnection(), shipId, HydrostaticTable::stored(*table));
        const QString said = QString(saved.message).replace(QLatin1String("\r\n"), QLatin1String(" "));
        if (!saved.done)
            return fail(
                QStringLiteral("the catalogue server did not take the table of %1: %2").arg(o.ship, said), Failed);
    } else {
        HydrostaticTable::saveForShip(shipId, *table);
    }
    std::printf("quorvane-lt: %d rows imported for %s\n", int(table->rows.size()), qPrintable(o.ship));
    return Done;
}

int exportTable(int shipId, const Options& o)
{
    const std::optional<HydrostaticTable> table = HydrostaticTable::loadForShip(shipId);
    if (!table)
        return fail(QStringLiteral("%1 has no hydrostatic table.").arg(o.ship), Failed);
    QString error;
    if (!HydrostaticTableFile::writeCsv(o.file, *table, &error))
        return fail(error, Failed);
    return Done;
}

}  // namespace

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
        return fail(error + QStringLiteral("\nusage: quorvane-lt [--data-dir DIR] --import-hydrostatics \"SHIP NAME\" "
                                           "FILE.csv [--lcf midship-aft|midship-forward|aft-perpendicular] "
                                           "[--drafts extreme|moulded]\n       quorvane-lt [--data-dir DIR] "
                                           "--export-hydrostatics \"SHIP NAME\" FILE.csv\n       (either with "
                                           "--server URI: the catalogue server)"),
                    Failed);
    // The same folder as the program's other starts, and on a first start the delivered database.
    AppPaths::setApplicationNames();
    const CommandLineStart::Outcome start = CommandLineStart::prepareDataFolder(o.dataDir);
    if (!start.go)
        return fail(start.refusal, Failed);
    if (!start.prepared)
        printErr(QStringLiteral("quorvane-lt: %1\n").arg(start.prepareError));
    // No one to answer a box here: the start-up failure goes to standard error.
    MessageService::setSink([](const MessageRecord& r) {
        printErr(QStringLiteral("quorvane-lt: %1\n").arg(QString(r.text).replace(QLatin1String("\r\n"), QLatin1String(" "))));
        return Msg::Answer::Ok;
    });
    if (!CommandLineStart::usePassphrase(o.passphraseFile))
        return Failed;
    openDatabase();
    if (startupFailed())
        return Failed;
    // Out of reach, the export serves the copy as it is, and the import is refused (by the
    // server write below), as a change of the catalogue waits for the server.
    ServerCommandLine::bringCopyUpToDate(o.server);
    int status = Failed;
    try {
        const int shipId = HydrostaticTable::shipIdByName(o.ship);
        if (shipId == 0)
            status = fail(QStringLiteral("there is no ship \"%1\" in the database.").arg(o.ship), Failed);
        else
            status = o.import ? importTable(shipId, o) : exportTable(shipId, o);
    } catch (const VbError& e) {
        status = fail(QStringLiteral("the database failed: %1").arg(e.description()), Failed);
    }
    closeDatabase();
    return status;
}

}  // namespace HydrostaticCommandLine
