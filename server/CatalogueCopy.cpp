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
// a row compares the count before it writes.
const char* const kCounted[][2] = {{"Ship", "ShipID"}, {"Port", "PortID"}, {"HydrostaticTable", "ShipID"}};

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
    for (const auto& [table, key] : kCounted)
        CipherFile::exec(db,
            QStringLiteral("INSERT OR REPLACE INTO temp.CopyCountBefore (TableName, RowKey, Count) "
                           "SELECT '%1', %2, ChangeCount FROM %1")
                .arg(QString::fromLatin1(table), QString::fromLatin1(key)));
}

void restoreCounts(sqlite3* db)
{
    for (const auto& [table, key] : kCounted)
        CipherFile::exec(db,
            QStringLiteral("UPDATE %1 SET ChangeCount = (SELECT Count + 1 FROM temp.CopyCountBefore "
                           "WHERE TableName = '%1' AND RowKey = %1.%2) "
                           "WHERE %2 IN (SELECT RowKey FROM temp.CopyCountBefore WHERE TableName = '%1')")
                .arg(QString::fromLatin1(table), QString::fromLatin1(key)));
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

qint64 highest(const QVector<QStringList>& rows, qint64 from)
{
    for (const QStringList& row : rows)
        from = std::max(from, row.last().toLongLong());
    return from;
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
    return int(ports.size() + ships.size() + deductions.size() + tables.size() + removed.size());
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
    for (const QVector<QStringList>* rows : {&c.ports, &c.ships, &c.deductions, &c.tables})
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
        if (c.fresh) {
            // The copy becomes the server's: what it held of another catalogue goes.
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
