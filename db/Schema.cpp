#include "db/Schema.h"

#include "core/VbError.h"
#include "db/CipherFile.h"
#include "db/Connection.h"
#include "db/SchemaUpgrade.h"
#include "db/SqlCatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <functional>
#include <fcntl.h>
#include <unistd.h>

namespace Schema {

QString databasePassword()
{
    return QStringLiteral("cobaltpier");
}

QString userName()
{
    return QStringLiteral("tarnwick");
}

QString userPassword()
{
    return QStringLiteral("4702615938");
}

// Ships are listed, and looked up, by name; the index keeps both from reading the whole table.
// It takes the column's own collation (no case), so it serves "ORDER BY ShipName" as well. The
// file keeps the statement without "IF NOT EXISTS": SQLite stores it as if that were not there.
QString shipByNameIndex()
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS ShipByName ON Ship (ShipName)");
}

// Figures (lengths, tonnages, drafts, quantities) are declared DECIMAL_TEXT. The name holds
// "TEXT", which gives the column text affinity: SQLite then stores the digits exactly as the
// statement wrote them (the connection passes decimal literals as quoted text) instead of turning
// them into a binary double, and a whole number such as an IMO number is kept as its digits. The
// row sets recognise the declared type and read the column back as an exact decimal.
QStringList tableStatements()
{
    return {
        QStringLiteral("CREATE TABLE Port ("
                       "PortID INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "PortName TEXT COLLATE NOCASE, "
                       "City TEXT, "
                       "Country TEXT)"),
        QStringLiteral("CREATE TABLE Ship ("
                       "ShipID INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "ShipName TEXT COLLATE NOCASE, "
                       "PortOfRegistry INTEGER REFERENCES Port (PortID) ON DELETE CASCADE, "
                       "LBP DECIMAL_TEXT, "
                       "LOA DECIMAL_TEXT, "
                       "Breadth DECIMAL_TEXT, "
                       "LightShip DECIMAL_TEXT, "
                       "CallSign TEXT, "
                       "Flag TEXT, "
                       "OfficialNo DECIMAL_TEXT, "
                       "IMONo DECIMAL_TEXT, "
                       "SummerDraft DECIMAL_TEXT, "
                       "SummerDeadweight DECIMAL_TEXT, "
                       "GrossTonnage DECIMAL_TEXT, "
                       "NetTonnage DECIMAL_TEXT)"),
        QStringLiteral("CREATE INDEX ShipByPort ON Ship (PortOfRegistry)"),
        shipByNameIndex(),
        QStringLiteral("CREATE TABLE TipOfDay (Tip TEXT)"),
        QStringLiteral("CREATE TABLE DeductionMaster ("
                       "ItemID INTEGER PRIMARY KEY, "
                       "ItemName TEXT)"),
        QStringLiteral("CREATE TABLE DeductionTrans ("
                       "DraftID INTEGER, "
                       "ItemID INTEGER REFERENCES DeductionMaster (ItemID), "
                       "Quantity DECIMAL_TEXT)"),
        QStringLiteral("CREATE TABLE DraftDetails ("
                       "RecordID INTEGER, "
                       "DraftType INTEGER, "
                       "DateTime TEXT)"),
    };
}

QList<DeductionItem> deductionItems()
{
    // The report looks these up by their ids, so the ids are part of the delivered file.
    return {
        {2, QStringLiteral("Fuel Oil")}, {3, QStringLiteral("Diesel Oil")},
        {24, QStringLiteral("Lub Oil")}, {25, QStringLiteral("Fresh Water")},
        {26, QStringLiteral("Ballast")}, {27, QStringLiteral("Provisions")},
        {28, QStringLiteral("Misc-1")},  {29, QStringLiteral("Misc-2")},
    };
}

QStringList tips()
{
    return {
        QStringLiteral("Read the drafts from as low as you safely can, ideally from a boat or the "
                       "quay at water level: looking down from the deck makes every mark seem lower "
                       "than it is."),
        QStringLiteral("In a swell, watch each mark through several waves and take the mean of "
                       "the highs and lows rather than a single glance."),
        QStringLiteral("Take the dock water sample at about half the ship's draft, away from "
                       "discharge pipes and outfalls, and read the hydrometer at eye level."),
        QStringLiteral("Sample the dock water at the forward, midships and aft positions when the "
                       "river runs or it has rained: fresh water on top can change the density a lot."),
        QStringLiteral("Sound every ballast tank at both the initial and the final survey, including "
                       "the ones the chief officer tells you are empty or pressed up."),
        QStringLiteral("Use the same trim and list corrections for the tank soundings as the ship's "
                       "calibration tables: an uncorrected sounding on a trimmed ship is a wrong tonnage."),
        QStringLiteral("Ask the crew not to move ballast, fuel or fresh water between the draft reading "
                       "and the soundings; agree the time of the survey with the engine room."),
        QStringLiteral("Check that the hydrostatic tables belong to this ship and are for sea water "
                       "(1.025 t/m3) or note their base density: the density correction depends on it."),
        QStringLiteral("Pick the two hydrostatic rows that bracket the true mean draft, not the "
                       "observed mean: the corrections to the perpendiculars come first."),
        QStringLiteral(
            "Confirm the distances of the draft marks from the perpendiculars on the ship's "
            "drawings; a mark that is not on the perpendicular needs its correction every time."),
        QStringLiteral("A large difference between port and starboard readings amidships means a list: "
                       "read both sides and let the ship settle before reading the drafts."),
        QStringLiteral("Compare the hull deflection (hog or sag) with the previous port; a sudden change "
                       "often means a misread mark rather than a bent ship."),
        QStringLiteral("Keep the anchors, gangway, cranes and grabs in the same position for the "
                       "initial and final surveys so that they cancel out."),
        QStringLiteral("Record the time, the weather and the sea state with every set of readings; "
                       "they explain later why a survey and the shore figure differ."),
        QStringLiteral("The ship's constant found at the initial survey should agree roughly with earlier "
                       "voyages; a large change is worth a second look at the deductibles."),
        QStringLiteral("Write the figures down on paper at the draft marks and enter them the same "
                       "day, before memory fills the gaps."),
    };
}

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw VbError(Connection::EngineErrorNumber, text);
}

// Writes into a temporary file beside the target and moves it into place only when complete,
// so a failure never leaves a half-written database where the program looks for one.
void writeFile(const QString& path, const QString& key, bool overwrite,
               const std::function<void(sqlite3*)>& fill)
{
    if (QFileInfo::exists(path) && !overwrite)
        fail(QStringLiteral("'%1' already exists.").arg(path));
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    // The file holds the user's ships: made for the owner alone before the engine opens it (its
    // journals take the file's permissions).
    const int fd =
        ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(QStringLiteral("Could not create '%1'.").arg(temp));
    ::close(fd);
    sqlite3* db = CipherFile::open(temp, key, true, QStringLiteral("Could not create '%1'.").arg(temp));
    try {
        CipherFile::exec(db, QStringLiteral("BEGIN"));
        fill(db);
        CipherFile::exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        CipherFile::close(db);
        QFile::remove(temp);
        throw;
    }
    CipherFile::close(db);
    QFile::remove(path);
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        fail(QStringLiteral("Could not write '%1'.").arg(path));
    }
}

QString text(const QString& value)
{
    return QLatin1Char('\'') + SqlCatalogue::quoted(value) + QLatin1Char('\'');
}

}  // namespace

void writeDatabaseFile(const QString& path, const QString& dbPassword, bool overwrite)
{
    writeFile(path, dbPassword, overwrite, [](sqlite3* db) {
        for (const QString& statement : tableStatements())
            CipherFile::exec(db, statement);
        SchemaUpgrade::addAllVersions(db);
        for (const DeductionItem& item : deductionItems())
            CipherFile::exec(db, QStringLiteral("INSERT INTO DeductionMaster (ItemID, ItemName) VALUES (")
                                     + QString::number(item.itemId) + QStringLiteral(", ")
                                     + text(item.itemName) + QStringLiteral(")"));
        for (const QString& tip : tips())
            CipherFile::exec(db, QStringLiteral("INSERT INTO TipOfDay (Tip) VALUES (") + text(tip)
                                     + QStringLiteral(")"));
    });
}

void writeWorkgroupFile(const QString& path, const QString& user, const QString& password, bool overwrite)
{
    writeFile(path, password, overwrite, [&user](sqlite3* db) {
        CipherFile::exec(db,
                         QStringLiteral("CREATE TABLE Users (UserName TEXT PRIMARY KEY COLLATE NOCASE)"));
        CipherFile::exec(
            db, QStringLiteral("INSERT INTO Users (UserName) VALUES (") + text(user) + QStringLiteral(")"));
    });
}

void writeDeliveredFiles(const QString& dir, bool overwrite)
{
    const QString dat = QDir(dir).filePath(QStringLiteral("DS.dat"));
    const QString lib = QDir(dir).filePath(QStringLiteral("DS.lib"));
    // DS.dat holds the user's ships: refuse before touching either file.
    if (!overwrite && QFileInfo::exists(dat))
        fail(QStringLiteral("'%1' already exists.").arg(dat));
    writeWorkgroupFile(lib, userName(), userPassword(), true);
    writeDatabaseFile(dat, databasePassword(), overwrite);
}

}  // namespace Schema
