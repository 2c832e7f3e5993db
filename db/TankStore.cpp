#include "db/TankStore.h"

#include "core/VbError.h"
#include "db/ChangeCount.h"
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
    qint64 integer64(int column) const { return sqlite3_column_int64(m_stmt, column); }
    void bind64(int i, qint64 value) { sqlite3_bind_int64(m_stmt, i, value); }

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

// Whether the file counts the writes of the tank tables (version 6 of SchemaUpgrade): a file that
// could not be upgraded (read-only) is read and written as before.
bool counted(Connection& c)
{
    sqlite3_stmt* stmt = nullptr;
    const bool ok = c.handle()
        && sqlite3_prepare_v2(c.handle(), "SELECT ChangeCount FROM TankTableChanges LIMIT 0", -1, &stmt,
               nullptr)
            == SQLITE_OK;
    sqlite3_finalize(stmt);
    return ok;
}

// The count the ship's tank tables hold now: 0 when they were never written.
qint64 countNow(Connection& c, int shipId)
{
    Statement now(c, "SELECT ChangeCount FROM TankTableChanges WHERE ShipID = ?1");
    now.bind(1, shipId);
    return now.next() ? now.integer64(0) : 0;
}

[[noreturn]] void refuse(Connection& c, int shipId)
{
    Statement ship(c, "SELECT count(*) FROM Ship WHERE ShipID = ?1");
    ship.bind(1, shipId);
    const bool shipThere = ship.next() && ship.integer(0) > 0;
    throw shipThere ? ChangeCount::changedMeanwhile(QStringLiteral("The ship's tank tables"))
                    : ChangeCount::deletedMeanwhile(QStringLiteral("The ship"));
}

// Counts this write of the ship's tank tables, first of all the savepoint's statements, so that
// the file is held for the write from the comparison on; refuses it when the count is no longer
// the one read.
void countWrite(Connection& c, int shipId, bool compare, qint64 countRead)
{
    if (compare && countRead == 0) {
        // Read before any write: only tables nobody else has written since may be written.
        Statement first(c, "INSERT OR IGNORE INTO TankTableChanges (ShipID) "
                           "SELECT ?1 WHERE EXISTS (SELECT 1 FROM Ship WHERE ShipID = ?1)");
        first.bind(1, shipId);
        first.run();
        if (sqlite3_changes(c.handle()) == 0)
            refuse(c, shipId);
        return;
    }
    Statement raise(c, compare ? "UPDATE TankTableChanges SET ChangeCount = ChangeCount + 1 "
                                   "WHERE ShipID = ?1 AND ChangeCount = ?2"
                                 : "UPDATE TankTableChanges SET ChangeCount = ChangeCount + 1 "
                                   "WHERE ShipID = ?1");
    raise.bind(1, shipId);
    if (compare)
        raise.bind64(2, countRead);
    raise.run();
    if (sqlite3_changes(c.handle()) > 0)
        return;
    if (compare)
        refuse(c, shipId);
    Statement first(c, "INSERT OR IGNORE INTO TankTableChanges (ShipID) "
                       "SELECT ?1 WHERE EXISTS (SELECT 1 FROM Ship WHERE ShipID = ?1)");
    first.bind(1, shipId);
    first.run();
}

} // namespace

QVector<StoredTank> load(Connection& connection, int shipId, qint64* changeCount)
{
    QVector<StoredTank> tanks;
    const bool withCount = counted(connection);
    if (changeCount)
        *changeCount = withCount ? countNow(connection, shipId) : ChangeCount::NotCounted;
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

qint64 save(
    Connection& connection, int shipId, const QVector<StoredTank>& tanks, std::optional<qint64> countRead)
{
    if (countRead && *countRead == ChangeCount::NotCounted)
        countRead.reset();
    connection.writeHandle();
    const bool withCount = counted(connection);
    exec(connection, "SAVEPOINT tanks");
    try {
        if (withCount)
            countWrite(connection, shipId, countRead.has_value(), countRead.value_or(0));
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
    return withCount ? countNow(connection, shipId) : ChangeCount::NotCounted;
}

} // namespace TankStore
