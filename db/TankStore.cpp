#include "db/TankStore.h"

#include "db/Connection.h"

#include <sqlite3.h>

namespace TankStore {

namespace {

// Values are bound, never joined into the text: a tank's name cannot end a literal.
class Statement {
public:
    Statement(Connection& c, const char* sql)
        : m_c(c)
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
        if (text.isNull()) {
            sqlite3_bind_null(m_stmt, i);
            return;
        }
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
        while (next()) { }
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

bool keepsTanks(Connection& c)
{
    sqlite3_stmt* stmt = nullptr;
    const bool ok = c.handle()
        && sqlite3_prepare_v2(c.handle(), "SELECT TankNo FROM TankTable LIMIT 0", -1, &stmt, nullptr)
            == SQLITE_OK;
    sqlite3_finalize(stmt);
    return ok;
}

void exec(Connection& c, const char* sql)
{
    Statement s(c, sql);
    s.run();
}

} // namespace

QVector<StoredTank> load(Connection& connection, int shipId)
{
    QVector<StoredTank> tanks;
    if (!keepsTanks(connection))
        return tanks;
    Statement head(connection,
        "SELECT TankNo, TankName, TankGroup, Gauge, Density, Trims, Heels "
        "FROM TankTable WHERE ShipID = ?1 ORDER BY TankNo");
    head.bind(1, shipId);
    QVector<int> numbers;
    while (head.next()) {
        numbers.append(head.integer(0));
        tanks.append(
            {head.text(1), head.text(2), head.text(3), head.text(4), head.text(5), head.text(6), {}});
    }
    Statement rows(connection,
        "SELECT TankNo, Gauge, Volumes, Heel FROM TankRow WHERE ShipID = ?1 "
        "ORDER BY TankNo, RowNo");
    rows.bind(1, shipId);
    while (rows.next()) {
        const int at = numbers.indexOf(rows.integer(0));
        if (at >= 0)
            tanks[at].rows.append({rows.text(1), rows.text(2), rows.text(3)});
    }
    return tanks;
}

void save(Connection& connection, int shipId, const QVector<StoredTank>& tanks)
{
    connection.writeHandle();
    exec(connection, "SAVEPOINT tanks");
    try {
        // The rows go first: on a connection that does not enforce the keys they would stay.
        Statement dropRows(connection, "DELETE FROM TankRow WHERE ShipID = ?1");
        dropRows.bind(1, shipId);
        dropRows.run();
        Statement dropTanks(connection, "DELETE FROM TankTable WHERE ShipID = ?1");
        dropTanks.bind(1, shipId);
        dropTanks.run();
        Statement head(connection,
            "INSERT INTO TankTable (ShipID, TankNo, TankName, TankGroup, Gauge, "
            "Density, Trims, Heels) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        Statement row(connection,
            "INSERT INTO TankRow (ShipID, TankNo, RowNo, Gauge, Volumes, Heel) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
        for (int t = 0; t < tanks.size(); ++t) {
            const StoredTank& s = tanks[t];
            head.bind(1, shipId);
            head.bind(2, t + 1);
            head.bind(3, s.name);
            head.bind(4, s.group);
            head.bind(5, s.gauge);
            head.bind(6, s.density.isEmpty() ? QString() : s.density);
            head.bind(7, s.trims);
            head.bind(8, s.heels);
            head.run();
            for (int r = 0; r < s.rows.size(); ++r) {
                row.bind(1, shipId);
                row.bind(2, t + 1);
                row.bind(3, r + 1);
                row.bind(4, s.rows[r].gauge);
                row.bind(5, s.rows[r].volumes);
                row.bind(6, s.rows[r].heel);
                row.run();
            }
        }
        exec(connection, "RELEASE tanks");
    } catch (...) {
        sqlite3_exec(connection.handle(), "ROLLBACK TO tanks; RELEASE tanks", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace TankStore
