#include "db/SchemaUpgrade.h"

#include "core/VbError.h"
#include "db/CipherFile.h"
#include "db/Connection.h"
#include "db/Schema.h"

#include <QStringList>
#include <sqlite3.h>

namespace SchemaUpgrade {

namespace {

// Version 1: a ship's hydrostatic table. The figures are DECIMAL_TEXT like every other figure
// of the file (see Schema.cpp): the digits of the booklet are kept as they were typed. The rows
// go with their ship: deleting a ship (or the port she is registered in) deletes her table.
QStringList version1()
{
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS HydrostaticTable ("
                       "ShipID INTEGER PRIMARY KEY REFERENCES Ship (ShipID) ON DELETE CASCADE, "
                       "Density DECIMAL_TEXT)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS HydrostaticRow ("
                       "ShipID INTEGER NOT NULL REFERENCES HydrostaticTable (ShipID) ON DELETE CASCADE, "
                       "RowNo INTEGER NOT NULL, "
                       "Draft DECIMAL_TEXT, "
                       "Displacement DECIMAL_TEXT, "
                       "TPC DECIMAL_TEXT, "
                       "LCF DECIMAL_TEXT, "
                       "MCTC DECIMAL_TEXT, "
                       "PRIMARY KEY (ShipID, RowNo))"),
    };
}

// Version 3: real ships' tables in their own conventions. A ship's keel plate (mm; a table with
// moulded drafts is entered that much below the drafts read on the marks), and of each
// hydrostatic table whether its drafts are extreme or moulded and how its LCF came written.
// Rows kept before read as they always did: no keel plate, extreme drafts, LCF from midships.
QStringList version3RealTables()
{
    return {
        QStringLiteral("ALTER TABLE Ship ADD COLUMN KeelPlate DECIMAL_TEXT"),
        QStringLiteral("ALTER TABLE HydrostaticTable ADD COLUMN Drafts TEXT"),
        QStringLiteral("ALTER TABLE HydrostaticTable ADD COLUMN LcfConvention TEXT"),
    };
}

// Version 5: a ship's tank calibration tables. Each tank with its group, how it is gauged, its
// liquid's density and the trims and heel angles of its columns; each row of its table with the
// gauge and the figures of every column, as decimal texts joined by ';'. The tanks go with their
// ship, the rows with their tank.
QStringList version5Tanks()
{
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS TankTable ("
                       "ShipID INTEGER NOT NULL REFERENCES Ship (ShipID) ON DELETE CASCADE, "
                       "TankNo INTEGER NOT NULL, "
                       "TankName TEXT, "
                       "TankGroup TEXT, "
                       "Gauge TEXT, "
                       "Density DECIMAL_TEXT, "
                       "Trims TEXT, "
                       "Heels TEXT, "
                       "PRIMARY KEY (ShipID, TankNo))"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS TankRow ("
                       "ShipID INTEGER NOT NULL, "
                       "TankNo INTEGER NOT NULL, "
                       "RowNo INTEGER NOT NULL, "
                       "Gauge DECIMAL_TEXT, "
                       "Volumes TEXT, "
                       "Heel TEXT, "
                       "PRIMARY KEY (ShipID, TankNo, RowNo), "
                       "FOREIGN KEY (ShipID, TankNo) REFERENCES TankTable (ShipID, TankNo) "
                       "ON DELETE CASCADE)"),
    };
}

// Version 6: the count of writes of a ship's tank tables, one row per ship, as the other records
// of the catalogue count theirs (version 4). The tanks are written all together, so they are
// counted together; the row goes with its ship. Only this program writes tank tables, each
// write raising the count in the statement that compares it: no trigger is needed.
QStringList version6TankCounts()
{
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS TankTableChanges ("
                       "ShipID INTEGER PRIMARY KEY REFERENCES Ship (ShipID) ON DELETE CASCADE, "
                       "ChangeCount INTEGER NOT NULL DEFAULT 1)"),
    };
}

}  // namespace

QStringList changeCounterStatements()
{
    // Every row starts at 1 (an older file's rows too). The program's own writes raise the count in
    // the statement that compares it; the triggers raise it for any other writer (an older
    // program, a tool) that changes a row without saying so, so that no write goes uncounted.
    QStringList statements;
    const struct {
        const char* table;
        const char* key;
    } counted[] = {{"Ship", "ShipID"}, {"Port", "PortID"}, {"HydrostaticTable", "ShipID"}};
    for (const auto& c : counted) {
        const QString table = QLatin1String(c.table);
        const QString key = QLatin1String(c.key);
        statements
            << QStringLiteral("ALTER TABLE %1 ADD COLUMN ChangeCount INTEGER NOT NULL DEFAULT 1").arg(table)
            << QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1Counted AFTER UPDATE ON %1 "
                              "FOR EACH ROW WHEN NEW.ChangeCount IS OLD.ChangeCount BEGIN "
                              "UPDATE %1 SET ChangeCount = OLD.ChangeCount + 1 WHERE %2 = NEW.%2; END")
                   .arg(table, key);
    }
    return statements;
}

namespace {

    bool hasColumn(sqlite3* db, const QString& table, const QString& column)
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray sql = QStringLiteral("PRAGMA table_info(%1)").arg(table).toUtf8();
        bool found = false;
        if (sqlite3_prepare_v2(db, sql.constData(), sql.size(), &stmt, nullptr) == SQLITE_OK) {
            while (!found && sqlite3_step(stmt) == SQLITE_ROW) {
                const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
                found = name && column.compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0;
            }
        }
        sqlite3_finalize(stmt);
        return found;
    }

    void apply(sqlite3* db, int from)
    {
        if (from < 1)
            for (const QString& statement : version1())
                CipherFile::exec(db, statement);
        // Version 2: the ship-name index. Files written afresh already have it from their first
        // tables, and so may a file of version 1; it is made only where it is missing.
        if (from < 2)
            CipherFile::exec(db, Schema::shipByNameIndex());
        if (from < 3)
            for (const QString& statement : version3RealTables())
                CipherFile::exec(db, statement);
        // Version 4: the change counters. A column already there (a file given them by another
        // program) is not added twice.
        if (from < 4) {
            for (const QString& statement : changeCounterStatements()) {
                if (statement.startsWith(QLatin1String("ALTER TABLE"))) {
                    const QString table = statement.section(QLatin1Char(' '), 2, 2);
                    if (hasColumn(db, table, QLatin1String(ChangeCountColumn)))
                        continue;
                }
                CipherFile::exec(db, statement);
            }
        }
        if (from < 5)
            for (const QString& statement : version5Tanks())
                CipherFile::exec(db, statement);
        if (from < 6)
            for (const QString& statement : version6TankCounts())
                CipherFile::exec(db, statement);
        CipherFile::exec(db, QStringLiteral("PRAGMA user_version = %1").arg(CurrentVersion));
    }

}  // namespace

int version(sqlite3* db)
{
    return CipherFile::queryInt(db, "PRAGMA user_version").value_or(0);
}

void bringUpToDate(sqlite3* db)
{
    const int from = version(db);
    if (from >= CurrentVersion)
        return;
    CipherFile::exec(db, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        apply(db, from);
        CipherFile::exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void addAllVersions(sqlite3* db)
{
    apply(db, 0);
}

}  // namespace SchemaUpgrade
