#include "server/CatalogueCopy.h"

#include "core/VbError.h"
#include "db/CipherFile.h"
#include "db/Connection.h"
#include "server/PgSession.h"

#include <QDateTime>
#include <QSet>
#include <sqlite3.h>

namespace CatalogueCopy {

namespace {

const QStringList kPort{
    QStringLiteral("PortID"), QStringLiteral("PortName"), QStringLiteral("City"), QStringLiteral("Country")};
const QStringList kShip{QStringLiteral("ShipID"), QStringLiteral("ShipName"),
    QStringLiteral("PortOfRegistry"), QStringLiteral("LBP"), QStringLiteral("LOA"), QStringLiteral("Breadth"),
    QStringLiteral("LightShip"), QStringLiteral("CallSign"), QStringLiteral("Flag"),
    QStringLiteral("OfficialNo"), QStringLiteral("IMONo"), QStringLiteral("SummerDraft"),
    QStringLiteral("SummerDeadweight"), QStringLiteral("GrossTonnage"), QStringLiteral("NetTonnage"),
    QStringLiteral("KeelPlate")};
const QStringList kDeduction{QStringLiteral("ItemID"), QStringLiteral("ItemName")};
const QStringList kTable{QStringLiteral("ShipID"), QStringLiteral("Density"), QStringLiteral("Drafts"),
    QStringLiteral("LcfConvention")};
const QStringList kTableRow{QStringLiteral("ShipID"), QStringLiteral("RowNo"), QStringLiteral("Draft"),
    QStringLiteral("Displacement"), QStringLiteral("TPC"), QStringLiteral("LCF"), QStringLiteral("MCTC")};
const QStringList kTank{QStringLiteral("ShipID"), QStringLiteral("TankNo"), QStringLiteral("TankName"),
    QStringLiteral("TankGroup"), QStringLiteral("Gauge"), QStringLiteral("Density"), QStringLiteral("Trims"),
    QStringLiteral("Heels")};
const QStringList kTankRow{QStringLiteral("ShipID"), QStringLiteral("TankNo"), QStringLiteral("RowNo"),
    QStringLiteral("Gauge"), QStringLiteral("Volumes"), QStringLiteral("Heel")};
// The server's row of a ship's tank tables, and the copy's name for it in its bookkeeping.
const char* const kTankHead = "TankTableChanges";

[[noreturn]] void fail(sqlite3* db)
{
    throw VbError(Connection::EngineErrorNumber, QString::fromUtf8(sqlite3_errmsg(db)));
}

// One compiled statement, run again and again with new values.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql)
        : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_stmt, nullptr) != SQLITE_OK)
            fail(db);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds `values` (the first `count` of them; all when -1) and runs; returns the first
    // column of the first row as an integer, or 0 when there is none.
    qint64 run(const QStringList& values, int count = -1)
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        const int n = count < 0 ? int(values.size()) : count;
        for (int i = 0; i < n; ++i) {
            if (values.at(i).isNull()) {
                sqlite3_bind_null(m_stmt, i + 1);
            } else {
                const QByteArray bytes = values.at(i).toUtf8();
                sqlite3_bind_text(m_stmt, i + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            }
        }
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return sqlite3_column_int64(m_stmt, 0);
        if (rc != SQLITE_DONE)
            fail(m_db);
        return 0;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

void prepare(sqlite3* db)
{
    CipherFile::exec(db,
        QStringLiteral("CREATE TABLE IF NOT EXISTS ServerCopy ("
                       "Identity TEXT, LastChange INTEGER, UpdatedAt TEXT)"));
    CipherFile::exec(db,
        QStringLiteral("CREATE TABLE IF NOT EXISTS ServerRowChange ("
                       "TableName TEXT NOT NULL, RowKey INTEGER NOT NULL, "
                       "Change INTEGER NOT NULL, PRIMARY KEY (TableName, RowKey)) "
                       "WITHOUT ROWID"));
}

// The tables whose rows count their writes (ChangeCount), by their key column: a window that read
// a row compares the count before it writes. A ship's tank tables count theirs together, in one
// row of TankTableChanges, in a file that keeps them.
const char* const kCounted[][2] = {
    {"Ship", "ShipID"}, {"Port", "PortID"}, {"HydrostaticTable", "ShipID"}, {"TankTableChanges", "ShipID"}};

bool hasTable(sqlite3* db, const char* table)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = QByteArray("SELECT 1 FROM ") + table + " LIMIT 0";
    const bool has = sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK;
    sqlite3_finalize(stmt);
    return has;
}

// Whether the copy keeps ships' tank tables (a file the program could not bring up to date keeps
// none, and takes none from the server).
bool keepsTanks(sqlite3* db)
{
    return hasTable(db, "TankTable") && hasTable(db, "TankRow") && hasTable(db, "TankTableChanges");
}

bool counts(sqlite3* db)
{
    // A file whose tables could not be given the column (see SchemaUpgrade) has none.
    sqlite3_stmt* stmt = nullptr;
    const bool has
        = sqlite3_prepare_v2(db, "SELECT ChangeCount FROM Ship LIMIT 0", -1, &stmt, nullptr) == SQLITE_OK;
    sqlite3_finalize(stmt);
    return has;
}

// A row the copy deletes and then takes again from the server (the first update, a table removed
// and given again) would start counting afresh, and a window that read the old one could take it
// for the row it read: the counts the rows had are kept aside and, for the rows that come back,
// raised by one.
void keepCounts(sqlite3* db)
{
    for (const auto& [table, key] : kCounted) {
        if (!hasTable(db, table))
            continue;
        CipherFile::exec(db,
            QStringLiteral("INSERT OR REPLACE INTO temp.CopyCountBefore (TableName, RowKey, Count) "
                           "SELECT '%1', %2, ChangeCount FROM %1")
                .arg(QString::fromLatin1(table), QString::fromLatin1(key)));
    }
}

void restoreCounts(sqlite3* db)
{
    for (const auto& [table, key] : kCounted) {
        if (!hasTable(db, table))
            continue;
        CipherFile::exec(db,
            QStringLiteral("UPDATE %1 SET ChangeCount = (SELECT Count + 1 FROM temp.CopyCountBefore "
                           "WHERE TableName = '%1' AND RowKey = %1.%2) "
                           "WHERE %2 IN (SELECT RowKey FROM temp.CopyCountBefore WHERE TableName = '%1')")
                .arg(QString::fromLatin1(table), QString::fromLatin1(key)));
    }
    // Emptied, not dropped: the copy's statements are still open in this transaction.
    CipherFile::exec(db, QStringLiteral("DELETE FROM temp.CopyCountBefore"));
}

bool hasBookkeeping(sqlite3* db)
{
    return CipherFile::queryInt(db, "SELECT count(*) FROM sqlite_master WHERE name = 'ServerCopy'")
               .value_or(0)
        > 0;
}

// A row written over where it is, or added: the engine of this SQLCipher predates UPSERT, and
// INSERT OR REPLACE would delete first - a replaced ship would take her hydrostatic table with
// her (the cascade). Two statements: the UPDATE, and the INSERT when it touched no row.
class Upsert {
public:
    Upsert(sqlite3* db, const QString& table, const QStringList& columns)
        : m_db(db)
        , m_columns(int(columns.size()))
        , m_update(db, updateText(table, columns))
        , m_insert(db, insertText(table, columns))
    {
    }
    void run(const QStringList& row)
    {
        m_update.run(row, m_columns);
        if (sqlite3_changes(m_db) == 0)
            m_insert.run(row, m_columns);
    }

private:
    static QString updateText(const QString& table, const QStringList& columns)
    {
        QStringList sets;
        for (int i = 1; i < columns.size(); ++i)
            sets.append(QStringLiteral("%1 = ?%2").arg(columns.at(i)).arg(i + 1));
        return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?1")
            .arg(table, sets.join(QStringLiteral(", ")), columns.first());
    }
    static QString insertText(const QString& table, const QStringList& columns)
    {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?%1").arg(i + 1));
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }

    sqlite3* m_db;
    int m_columns;
    Statement m_update;
    Statement m_insert;
};

QString selectChanged(const QString& table, const QStringList& columns, const QString& where)
{
    return QStringLiteral("SELECT %1, Change FROM %2 WHERE %3")
        .arg(columns.join(QStringLiteral(", ")), table, where);
}

void fetchInto(PgSession& server, Changes& c, const QString& where, const QStringList& params)
{
    c.ports = server.query(selectChanged(QStringLiteral("Port"), kPort, where), params);
    c.ships = server.query(selectChanged(QStringLiteral("Ship"), kShip, where), params);
    c.deductions = server.query(selectChanged(QStringLiteral("DeductionMaster"), kDeduction, where), params);
    c.tables = server.query(selectChanged(QStringLiteral("HydrostaticTable"), kTable, where), params);
    QStringList qualified;
    for (const QString& column : kTableRow)
        qualified.append(QStringLiteral("r.") + column);
    c.tableRows = server.query(QStringLiteral("SELECT %1 FROM HydrostaticRow r JOIN HydrostaticTable t "
                                              "ON t.ShipID = r.ShipID WHERE t.%2 ORDER BY r.ShipID, r.RowNo")
                                   .arg(qualified.join(QStringLiteral(", ")), where),
        params);
}

// The ships' tank tables whose row in TankTableChanges matches `where` (a condition on its
// columns), each ship with all her tanks and their rows, in order.
void fetchTanksInto(PgSession& server, Changes& c, const QString& where, const QStringList& params)
{
    c.tankShips
        = server.query(selectChanged(QLatin1String(kTankHead), {QStringLiteral("ShipID")}, where), params);
    if (c.tankShips.isEmpty())
        return;
    const auto qualified = [](const QStringList& columns, const QString& alias) {
        QStringList out;
        for (const QString& column : columns)
            out.append(alias + QLatin1Char('.') + column);
        return out.join(QStringLiteral(", "));
    };
    c.tanks = server.query(QStringLiteral("SELECT %1 FROM TankTable t JOIN TankTableChanges h "
                                          "ON h.ShipID = t.ShipID WHERE h.%2 ORDER BY t.ShipID, t.TankNo")
                               .arg(qualified(kTank, QStringLiteral("t")), where),
        params);
    c.tankRows = server.query(
        QStringLiteral("SELECT %1 FROM TankRow r JOIN TankTableChanges h ON h.ShipID = r.ShipID "
                       "WHERE h.%2 ORDER BY r.ShipID, r.TankNo, r.RowNo")
            .arg(qualified(kTankRow, QStringLiteral("r")), where),
        params);
}

// Whether the server keeps ships' tank tables: a catalogue made by an older program has none
// until `quorvane-mkdb --init` is run on it again, and the rest of it is still brought over.
bool serverKeepsTanks(PgSession& server)
{
    return !server.query(QStringLiteral("SELECT to_regclass('tanktablechanges')")).value(0).value(0).isNull();
}

qint64 highest(const QVector<QStringList>& rows, qint64 from)
{
    for (const QStringList& row : rows)
        from = std::max(from, row.last().toLongLong());
    return from;
}

// A ship's tank tables replaced by the server's, for each ship whose tanks changed there: all her
// tanks go and hers from the server come, in the order of their numbers. Like any other write of
// them, it raises the count of writes of her tank tables (TankTableChanges), so that a window
// that read the older tables is refused a save that would undo the newer ones.
void putTanks(sqlite3* copy, const Changes& c, Statement& known, Statement& mark)
{
    const QString name = QString::fromLatin1(kTankHead).toLower();
    Statement shipThere(copy, QStringLiteral("SELECT count(*) FROM Ship WHERE ShipID = ?1"));
    QSet<QString> replaced;
    for (const QStringList& ship : c.tankShips) {
        // The copy holds these tanks already (its own write, read back), or a newer version.
        if (!c.fresh && known.run({name, ship.first()}) >= ship.last().toLongLong())
            continue;
        // Her ship is not in the copy (it went meanwhile): her tanks have nowhere to go.
        if (shipThere.run(ship, 1) == 0)
            continue;
        replaced.insert(ship.first());
        mark.run({name, ship.first(), ship.last()});
    }
    if (replaced.isEmpty())
        return;
    Statement dropRows(copy, QStringLiteral("DELETE FROM TankRow WHERE ShipID = ?1"));
    Statement dropTanks(copy, QStringLiteral("DELETE FROM TankTable WHERE ShipID = ?1"));
    Statement raise(
        copy, QStringLiteral("UPDATE TankTableChanges SET ChangeCount = ChangeCount + 1 WHERE ShipID = ?1"));
    Statement first(copy, QStringLiteral("INSERT INTO TankTableChanges (ShipID) VALUES (?1)"));
    for (const QString& ship : replaced) {
        dropRows.run({ship});
        dropTanks.run({ship});
        raise.run({ship});
        if (sqlite3_changes(copy) == 0)
            first.run({ship});
    }
    Statement addTank(copy,
        QStringLiteral("INSERT INTO TankTable (%1) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
            .arg(kTank.join(QStringLiteral(", "))));
    for (const QStringList& tank : c.tanks)
        if (replaced.contains(tank.first()))
            addTank.run(tank);
    Statement addRow(copy,
        QStringLiteral("INSERT INTO TankRow (%1) VALUES (?1, ?2, ?3, ?4, ?5, ?6)")
            .arg(kTankRow.join(QStringLiteral(", "))));
    for (const QStringList& row : c.tankRows)
        if (replaced.contains(row.first()))
            addRow.run(row);
}

} // namespace

QStringList shipColumns()
{
    return kShip;
}

QStringList portColumns()
{
    return kPort;
}

int Changes::rowCount() const
{
    return int(
        ports.size() + ships.size() + deductions.size() + tables.size() + tankShips.size() + removed.size());
}

State state(sqlite3* copy)
{
    State s;
    if (!hasBookkeeping(copy))
        return s;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(copy, "SELECT Identity, LastChange, UpdatedAt FROM ServerCopy", -1, &stmt, nullptr)
        != SQLITE_OK)
        fail(copy);
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        s.identity = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        s.lastChange = sqlite3_column_int64(stmt, 1);
        s.updatedAt = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)));
    }
    sqlite3_finalize(stmt);
    return s;
}

qint64 rowChange(sqlite3* copy, const QString& table, int key)
{
    if (!hasBookkeeping(copy))
        return 0;
    Statement find(
        copy, QStringLiteral("SELECT Change FROM ServerRowChange WHERE TableName = ?1 AND RowKey = ?2"));
    return find.run({table.toLower(), QString::number(key)});
}

Changes fetch(PgSession& server, const QString& knownIdentity, qint64 since)
{
    Changes c;
    // One snapshot for all the tables: a ship and her port, a table and its rows, agree.
    server.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    try {
        c.identity = server.query(QStringLiteral("SELECT Identity FROM CatalogueInfo")).value(0).value(0);
        c.fresh = c.identity != knownIdentity;
        const qint64 from = c.fresh ? 0 : since;
        const QStringList params{QString::number(from)};
        fetchInto(server, c, QStringLiteral("Change > $1"), params);
        if (serverKeepsTanks(server))
            fetchTanksInto(server, c, QStringLiteral("Change > $1"), params);
        if (!c.fresh) {
            for (const QStringList& r : server.query(
                     QStringLiteral("SELECT TableName, RowKey, Change FROM Removed WHERE Change > $1"),
                     params)) {
                c.removed.append({r.at(0), r.at(1).toInt()});
                c.upTo = std::max(c.upTo, r.at(2).toLongLong());
            }
        } else {
            // A fresh copy starts after every removal made so far.
            c.upTo = server.query(QStringLiteral("SELECT COALESCE(max(Change), 0) FROM Removed"))
                         .value(0)
                         .value(0)
                         .toLongLong();
        }
        server.exec(QStringLiteral("COMMIT"));
    } catch (const ServerError&) {
        if (server.isOpen())
            try {
                server.exec(QStringLiteral("ROLLBACK"));
            } catch (const ServerError&) {
            }
        throw;
    }
    c.upTo = std::max(c.upTo, c.fresh ? 0 : since);
    for (const QVector<QStringList>* rows : {&c.ports, &c.ships, &c.deductions, &c.tables, &c.tankShips})
        c.upTo = highest(*rows, c.upTo);
    return c;
}

Changes fetchShip(PgSession& server, int shipId)
{
    Changes c;
    const QStringList id{QString::number(shipId)};
    const QString where = QStringLiteral("ShipID = $1");
    c.ships = server.query(selectChanged(QStringLiteral("Ship"), kShip, where), id);
    c.tables = server.query(selectChanged(QStringLiteral("HydrostaticTable"), kTable, where), id);
    c.tableRows
        = server.query(QStringLiteral("SELECT %1 FROM HydrostaticRow WHERE ShipID = $1 ORDER BY RowNo")
                           .arg(kTableRow.join(QStringLiteral(", "))),
            id);
    if (c.ships.isEmpty())
        c.removed.append({QStringLiteral("ship"), shipId});
    else if (c.tables.isEmpty())
        c.removed.append({QStringLiteral("hydrostatictable"), shipId});
    return c;
}

Changes fetchTanks(PgSession& server, int shipId)
{
    Changes c;
    fetchTanksInto(server, c, QStringLiteral("ShipID = $1"), {QString::number(shipId)});
    return c;
}

Changes fetchPort(PgSession& server, int portId)
{
    Changes c;
    c.ports = server.query(selectChanged(QStringLiteral("Port"), kPort, QStringLiteral("PortID = $1")),
        {QString::number(portId)});
    if (c.ports.isEmpty())
        c.removed.append({QStringLiteral("port"), portId});
    return c;
}

void apply(sqlite3* copy, const Changes& c, bool moveMark)
{
    CipherFile::exec(copy, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        prepare(copy);
        const bool counted = counts(copy);
        if (counted) {
            CipherFile::exec(copy,
                QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS CopyCountBefore (TableName TEXT NOT NULL, "
                               "RowKey INTEGER NOT NULL, Count INTEGER, PRIMARY KEY (TableName, RowKey))"));
            CipherFile::exec(copy, QStringLiteral("DELETE FROM temp.CopyCountBefore"));
        }
        if (c.fresh && counted)
            keepCounts(copy);
        const bool tanks = keepsTanks(copy);
        if (c.fresh) {
            // The copy becomes the server's: what it held of another catalogue goes.
            if (tanks)
                for (const char* table : {"TankRow", "TankTable", "TankTableChanges"})
                    CipherFile::exec(copy, QStringLiteral("DELETE FROM %1").arg(QString::fromLatin1(table)));
            for (const char* table : {"HydrostaticRow", "HydrostaticTable", "Ship", "Port", "DeductionMaster",
                     "ServerRowChange", "ServerCopy"})
                CipherFile::exec(copy, QStringLiteral("DELETE FROM %1").arg(QString::fromLatin1(table)));
        }
        {
            Statement removeMark(copy,
                QStringLiteral("DELETE FROM ServerRowChange WHERE TableName = ?1 "
                               "AND RowKey = ?2"));
            for (const auto& [table, key] : c.removed) {
                const QString t = table.toLower();
                // A table this program does not know (a later program's) is none of its business:
                // its key is not a ship whose hydrostatic table should go.
                if (t != QLatin1String("port") && t != QLatin1String("ship")
                    && t != QLatin1String("deductionmaster") && t != QLatin1String("hydrostatictable"))
                    continue;
                const QString column = t == QLatin1String("port") ? QStringLiteral("PortID")
                    : t == QLatin1String("deductionmaster")       ? QStringLiteral("ItemID")
                                                                  : QStringLiteral("ShipID");
                const QString name = t == QLatin1String("port") ? QStringLiteral("Port")
                    : t == QLatin1String("ship")                ? QStringLiteral("Ship")
                    : t == QLatin1String("deductionmaster")     ? QStringLiteral("DeductionMaster")
                                                                : QStringLiteral("HydrostaticTable");
                if (counted && name != QLatin1String("DeductionMaster"))
                    CipherFile::exec(copy,
                        QStringLiteral(
                            "INSERT OR REPLACE INTO temp.CopyCountBefore (TableName, RowKey, Count) "
                            "SELECT '%1', %2, ChangeCount FROM %1 WHERE %2 = %3")
                            .arg(name, column)
                            .arg(key));
                CipherFile::exec(
                    copy, QStringLiteral("DELETE FROM %1 WHERE %2 = %3").arg(name, column).arg(key));
                removeMark.run({t, QString::number(key)});
            }
        }
        Statement mark(copy,
            QStringLiteral("INSERT OR REPLACE INTO ServerRowChange (TableName, RowKey, Change) "
                           "VALUES (?1, ?2, ?3)"));
        // An update read in the background may bring a row older than the one a window wrote
        // meanwhile (server first, then the copy): the copy keeps the newer. The version the copy
        // holds already is not written again either: each write raises the row's count of writes,
        // and a window that read the row would take it for someone else's change.
        Statement known(copy,
            QStringLiteral("SELECT Change FROM ServerRowChange WHERE TableName = ?1 "
                           "AND RowKey = ?2"));
        QSet<QString> keptTables;
        auto put = [&](const QString& table, const QStringList& columns, const QVector<QStringList>& rows) {
            Upsert write(copy, table, columns);
            const QString name = table.toLower();
            for (const QStringList& row : rows) {
                if (!c.fresh && known.run({name, row.first()}) >= row.last().toLongLong()) {
                    if (name == QLatin1String("hydrostatictable"))
                        keptTables.insert(row.first());
                    continue;
                }
                write.run(row);
                mark.run({name, row.first(), row.last()});
            }
        };
        // Ports before the ships registered in them, ships before their tables.
        put(QStringLiteral("Port"), kPort, c.ports);
        put(QStringLiteral("Ship"), kShip, c.ships);
        put(QStringLiteral("DeductionMaster"), kDeduction, c.deductions);
        put(QStringLiteral("HydrostaticTable"), kTable, c.tables);
        {
            Statement clearRows(copy, QStringLiteral("DELETE FROM HydrostaticRow WHERE ShipID = ?1"));
            for (const QStringList& table : c.tables)
                if (!keptTables.contains(table.first()))
                    clearRows.run(table, 1);
            Statement addRow(copy,
                QStringLiteral("INSERT INTO HydrostaticRow (%1) VALUES (?1, ?2, ?3, ?4, ?5, "
                               "?6, ?7)")
                    .arg(kTableRow.join(QStringLiteral(", "))));
            for (const QStringList& row : c.tableRows)
                if (!keptTables.contains(row.first()))
                    addRow.run(row);
        }
        if (tanks)
            putTanks(copy, c, known, mark);
        if (counted)
            restoreCounts(copy);
        if (moveMark) {
            const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
            CipherFile::exec(copy, QStringLiteral("DELETE FROM ServerCopy"));
            Statement keep(copy,
                QStringLiteral("INSERT INTO ServerCopy (Identity, LastChange, UpdatedAt) "
                               "VALUES (?1, ?2, ?3)"));
            keep.run({c.identity, QString::number(c.upTo), now});
        }
        CipherFile::exec(copy, QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(copy, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace CatalogueCopy
