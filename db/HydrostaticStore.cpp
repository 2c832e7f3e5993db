#include "db/HydrostaticStore.h"

#include "db/ChangeCount.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/NameLookup.h"

#include <sqlite3.h>

namespace HydrostaticStore {

namespace {

// The statements here bind their values instead of joining them into the text: a figure goes in
// as the text of its digits and comes back the same, and a ship's name cannot end a literal.
class Statement {
public:
    Statement(Connection& c, const char* sql) : m_c(c)
    {
        if (!c.handle())
            c.throwLastError();
        if (sqlite3_prepare_v2(c.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            c.throwLastError();
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    sqlite3_stmt* handle() const { return m_stmt; }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int i, int value) { sqlite3_bind_int(m_stmt, i, value); }
    void bind(int i, const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
    }
    bool next()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            m_c.throwLastError();
        return false;
    }
    void run()
    {
        while (next()) {
        }
        sqlite3_reset(m_stmt);
    }
    QString text(int column) const
    {
        const unsigned char* t = sqlite3_column_text(m_stmt, column);
        return t ? QString::fromUtf8(reinterpret_cast<const char*>(t)) : QString();
    }
    int integer(int column) const { return sqlite3_column_int(m_stmt, column); }
    qint64 integer64(int column) const { return sqlite3_column_int64(m_stmt, column); }
    bool isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }

private:
    Connection& m_c;
    sqlite3_stmt* m_stmt = nullptr;
};

void exec(Connection& c, const char* sql)
{
    Statement s(c, sql);
    s.run();
}

// Whether the file counts the writes of the tables (version 4 of SchemaUpgrade): a file that
// could not be upgraded (read-only) is read and written as before.
bool counted(Connection& c)
{
    sqlite3_stmt* stmt = nullptr;
    const bool ok = c.handle()
        && sqlite3_prepare_v2(c.handle(), "SELECT ChangeCount FROM HydrostaticTable LIMIT 0", -1, &stmt,
                              nullptr)
            == SQLITE_OK;
    sqlite3_finalize(stmt);
    return ok;
}

// The count the ship's table holds now: 0 without a table row.
qint64 countNow(Connection& c, int shipId)
{
    Statement now(c, "SELECT ChangeCount FROM HydrostaticTable WHERE ShipID = ?1");
    now.bind(1, shipId);
    return now.next() ? now.integer64(0) : 0;
}

[[noreturn]] void refuse(Connection& c, int shipId)
{
    Statement ship(c, "SELECT count(*) FROM Ship WHERE ShipID = ?1");
    ship.bind(1, shipId);
    const bool shipThere = ship.next() && ship.integer(0) > 0;
    throw shipThere ? ChangeCount::changedMeanwhile(QStringLiteral("The ship's hydrostatic table"))
                    : ChangeCount::deletedMeanwhile(QStringLiteral("The ship"));
}

// Puts the table's own row in place with the density and conventions of `table` (null: the ship
// has no table), counting the write, on the terms of save.
void writeHead(Connection& c, int shipId, const StoredTable* table, std::optional<qint64> countRead)
{
    // Parameters left unbound are null: a removed table keeps no density and no conventions.
    const auto bindTable = [&](Statement& s) {
        if (table) {
            s.bind(2, table->density);
            s.bind(3, table->drafts);
            s.bind(4, table->lcfConvention);
        }
    };
    if (!counted(c)) {
        Statement drop(c, "DELETE FROM HydrostaticTable WHERE ShipID = ?1");
        drop.bind(1, shipId);
        drop.run();
        if (table) {
            Statement head(c, "INSERT INTO HydrostaticTable (ShipID, Density, Drafts, LcfConvention) "
                              "VALUES (?1, ?2, ?3, ?4)");
            head.bind(1, shipId);
            bindTable(head);
            head.run();
        }
        return;
    }
    // The first statement writes, so that the file is held for this write from the comparison on.
    if (countRead && *countRead == 0) {
        // Read without a table: only a table nobody else has made since may be made.
        Statement head(c, "INSERT OR IGNORE INTO HydrostaticTable (ShipID, Density, Drafts, LcfConvention) "
                          "VALUES (?1, ?2, ?3, ?4)");
        head.bind(1, shipId);
        bindTable(head);
        head.run();
        if (sqlite3_changes(c.handle()) == 0)
            refuse(c, shipId);
        return;
    }
    Statement head(c, countRead ? "UPDATE HydrostaticTable SET Density = ?2, Drafts = ?3, "
                                  "LcfConvention = ?4, ChangeCount = ChangeCount + 1 "
                                  "WHERE ShipID = ?1 AND ChangeCount = ?5"
                                : "UPDATE HydrostaticTable SET Density = ?2, Drafts = ?3, "
                                  "LcfConvention = ?4, ChangeCount = ChangeCount + 1 WHERE ShipID = ?1");
    head.bind(1, shipId);
    bindTable(head);
    if (countRead)
        sqlite3_bind_int64(head.handle(), 5, *countRead);
    head.run();
    if (sqlite3_changes(c.handle()) > 0)
        return;
    if (countRead)
        refuse(c, shipId);
    if (table) {
        Statement insert(c, "INSERT INTO HydrostaticTable (ShipID, Density, Drafts, LcfConvention) "
                            "VALUES (?1, ?2, ?3, ?4)");
        insert.bind(1, shipId);
        bindTable(insert);
        insert.run();
    }
}

void deleteRows(Connection& c, int shipId)
{
    Statement rows(c, "DELETE FROM HydrostaticRow WHERE ShipID = ?1");
    rows.bind(1, shipId);
    rows.run();
}

// Runs `work` in a savepoint of its own: all of it is kept, or none of it.
template <typename Work> void inSavepoint(Connection& c, Work work)
{
    c.writeHandle();
    exec(c, "SAVEPOINT hydrostatics");
    try {
        work();
        exec(c, "RELEASE hydrostatics");
    } catch (...) {
        sqlite3_exec(c.handle(), "ROLLBACK TO hydrostatics; RELEASE hydrostatics", nullptr, nullptr,
                     nullptr);
        throw;
    }
}

}  // namespace

std::optional<StoredTable> load(Connection& connection, int shipId, qint64* changeCount)
{
    const bool withCount = counted(connection);
    Statement head(connection,
                   withCount ? "SELECT Density, Drafts, LcfConvention, ChangeCount FROM HydrostaticTable "
                               "WHERE ShipID = ?1"
                             : "SELECT Density, Drafts, LcfConvention FROM HydrostaticTable "
                               "WHERE ShipID = ?1");
    head.bind(1, shipId);
    if (changeCount)
        *changeCount = withCount ? 0 : ChangeCount::NotCounted;
    if (!head.next())
        return std::nullopt;
    if (changeCount && withCount)
        *changeCount = head.integer64(3);
    // A table removed leaves its row without a density, to keep its count.
    if (withCount && head.isNull(0))
        return std::nullopt;
    StoredTable table;
    table.density = head.text(0);
    table.drafts = head.text(1);
    table.lcfConvention = head.text(2);
    Statement rows(connection, "SELECT Draft, Displacement, TPC, LCF, MCTC FROM HydrostaticRow "
                               "WHERE ShipID = ?1 ORDER BY RowNo");
    rows.bind(1, shipId);
    while (rows.next())
        table.rows.append({rows.text(0), rows.text(1), rows.text(2), rows.text(3), rows.text(4)});
    return table;
}

qint64 save(Connection& connection, int shipId, const StoredTable& table, std::optional<qint64> countRead)
{
    if (countRead && *countRead == ChangeCount::NotCounted)
        countRead.reset();
    inSavepoint(connection, [&] {
        writeHead(connection, shipId, &table, countRead);
        deleteRows(connection, shipId);
        Statement row(connection,
                      "INSERT INTO HydrostaticRow (ShipID, RowNo, Draft, Displacement, "
                      "TPC, LCF, MCTC) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        for (int r = 0; r < table.rows.size(); ++r) {
            row.bind(1, shipId);
            row.bind(2, r + 1);
            for (int c = 0; c < 5; ++c)
                row.bind(3 + c, table.rows.at(r).value(c));
            row.run();
        }
    });
    return counted(connection) ? countNow(connection, shipId) : ChangeCount::NotCounted;
}

qint64 remove(Connection& connection, int shipId, std::optional<qint64> countRead)
{
    if (countRead && *countRead == ChangeCount::NotCounted)
        countRead.reset();
    // The rows go first: they would go with their table by the foreign key, but not on a
    // connection that does not enforce the keys, and the table's own row now stays.
    const bool withCount = counted(connection);
    inSavepoint(connection, [&] {
        if (!withCount || countRead || countNow(connection, shipId) > 0)
            writeHead(connection, shipId, nullptr, countRead);
        deleteRows(connection, shipId);
    });
    return withCount ? countNow(connection, shipId) : ChangeCount::NotCounted;
}

int shipIdByName(Connection& connection, const QString& shipName)
{
    // An exact name first; only when none matches, the name as the ship list compares it.
    if (const std::optional<int> exact = NameLookup::shipId(connection, shipName))
        return *exact;
    Statement loose(connection, "SELECT ShipID FROM Ship WHERE ShipName = ?1 COLLATE NOCASE "
                                "ORDER BY ShipID LIMIT 1");
    loose.bind(1, shipName);
    return loose.next() ? loose.integer(0) : 0;
}

}  // namespace HydrostaticStore
