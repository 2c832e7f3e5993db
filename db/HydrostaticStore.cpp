#include "db/HydrostaticStore.h"

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

private:
    Connection& m_c;
    sqlite3_stmt* m_stmt = nullptr;
};

void exec(Connection& c, const char* sql)
{
    Statement s(c, sql);
    s.run();
}

}  // namespace

void remove(Connection& connection, int shipId);

std::optional<StoredTable> load(Connection& connection, int shipId)
{
    Statement head(connection,
                   "SELECT Density, Drafts, LcfConvention FROM HydrostaticTable WHERE ShipID = ?1");
    head.bind(1, shipId);
    if (!head.next())
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

void save(Connection& connection, int shipId, const StoredTable& table)
{
    connection.writeHandle();
    exec(connection, "SAVEPOINT hydrostatics");
    try {
        {
            remove(connection, shipId);
            Statement head(connection, "INSERT INTO HydrostaticTable (ShipID, Density, Drafts, "
                                       "LcfConvention) VALUES (?1, ?2, ?3, ?4)");
            head.bind(1, shipId);
            head.bind(2, table.density);
            head.bind(3, table.drafts);
            head.bind(4, table.lcfConvention);
            head.run();
            Statement row(connection, "INSERT INTO HydrostaticRow (ShipID, RowNo, Draft, Displacement, "
                                      "TPC, LCF, MCTC) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
            for (int r = 0; r < table.rows.size(); ++r) {
                row.bind(1, shipId);
                row.bind(2, r + 1);
                for (int c = 0; c < 5; ++c)
                    row.bind(3 + c, table.rows.at(r).value(c));
                row.run();
            }
        }
        exec(connection, "RELEASE hydrostatics");
    } catch (...) {
        sqlite3_exec(connection.handle(), "ROLLBACK TO hydrostatics; RELEASE hydrostatics", nullptr, nullptr,
                     nullptr);
        throw;
    }
}

void remove(Connection& connection, int shipId)
{
    // The rows go with their table by the foreign key; said here too, so that no row is left
    // behind on a connection that does not enforce the keys.
    connection.writeHandle();
    Statement rows(connection, "DELETE FROM HydrostaticRow WHERE ShipID = ?1");
    rows.bind(1, shipId);
    rows.run();
    Statement head(connection, "DELETE FROM HydrostaticTable WHERE ShipID = ?1");
    head.bind(1, shipId);
    head.run();
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
