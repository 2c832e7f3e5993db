#include "server/CatalogueServer.h"

#include "core/AppPaths.h"
#include "core/VbError.h"
#include "db/Connection.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QSettings>
#include <sqlite3.h>

namespace {

const char* const kSettingsKey = "Server/URI";

// The row of `table` with key `id` in the copy, as texts in the order of `columns`; empty when
// the copy has no such row.
QStringList copyRow(Connection& copy, const QString& table, const QStringList& columns, int id)
{
    QStringList row;
    sqlite3_stmt* stmt = nullptr;
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = %4")
                            .arg(columns.join(QStringLiteral(", ")), table, columns.first())
                            .arg(id);
    if (sqlite3_prepare_v2(copy.handle(), sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return row;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < columns.size(); ++c) {
            const unsigned char* t = sqlite3_column_text(stmt, c);
            row.append(t ? QString::fromUtf8(reinterpret_cast<const char*>(t)) : QString());
        }
    sqlite3_finalize(stmt);
    return row;
}

// "LBP 181.2, Flag Panama": the columns in which the server's row differs from the copy's.
QString differences(const QStringList& columns, const QStringList& mine, const QStringList& theirs)
{
    QStringList out;
    for (int c = 1; c < columns.size() && c < theirs.size(); ++c)
        if (mine.value(c) != theirs.at(c))
            out.append(QStringLiteral("%1 %2").arg(
                columns.at(c), theirs.at(c).isEmpty() ? QStringLiteral("(blank)") : theirs.at(c)));
    return out.isEmpty() ? QStringLiteral("no column differs from this copy")
                         : out.join(QStringLiteral(", "));
}

QString numberOrNull(const QString& text)
{
    return text.isEmpty() ? QString() : text;
}

void rollback(PgSession& s)
{
    if (!s.isOpen())
        return;
    try {
        s.exec(QStringLiteral("ROLLBACK"));
    } catch (const ServerError&) {
    }
}

// The first update from a server replaces the copy's catalogue with the server's: the ships the
// surveyor kept on this machine alone are kept too, in DS.dat's file as it was, beside it
// ("DS.dat.before-server"), once.
void keepBeforeFirstUpdate(sqlite3* handle)
{
    const char* name = sqlite3_db_filename(handle, "main");
    if (!name || !*name)
        return;
    const QString path = QString::fromUtf8(name);
    const QString kept = path + QStringLiteral(".before-server");
    if (!QFile::exists(kept) && QFile::copy(path, kept))
        QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

CatalogueServer::~CatalogueServer() = default;

CatalogueServer& CatalogueServer::shared()
{
    static CatalogueServer server;
    return server;
}

QString CatalogueServer::savedUri()
{
    return AppPaths::settings().value(QLatin1String(kSettingsKey)).toString();
}

void CatalogueServer::saveUri(const QString& uri)
{
    QSettings settings = AppPaths::settings();
    if (uri.trimmed().isEmpty())
        settings.remove(QLatin1String(kSettingsKey));
    else
        settings.setValue(QLatin1String(kSettingsKey), PgSession::withoutPassword(uri.trimmed()));
}

void CatalogueServer::setUri(const QString& uri)
{
    if (uri == m_uri)
        return;
    m_uri = uri.trimmed();
    m_session.reset();
    setInReach(true);
    m_reachError.clear();
}

QString CatalogueServer::readOnlyReason() const
{
    return QStringLiteral("The catalogue server is out of reach: ships, ports and tables can be read but "
                          "not changed until it is back.");
}

PgSession& CatalogueServer::session()
{
    if (!isSet())
        throw ServerError(QStringLiteral("no catalogue server is set"), true);
    if (!m_session || !m_session->isOpen()) {
        m_session = std::make_unique<PgSession>();
        try {
            m_session->connect(m_uri, m_password);
        } catch (const ServerError& e) {
            m_neededPassword = m_session->neededPassword();
            m_session.reset();
            lost(e.message());
            throw;
        }
        setInReach(true);
        m_neededPassword = false;
        m_reachError.clear();
    }
    return *m_session;
}

PgSession& CatalogueServer::freshSession()
{
    // A session kept from before may have been cut (the server restarted, the network came back
    // under a new address): asked once, and connected again when it does not answer.
    if (m_session && m_session->isOpen()) {
        try {
            m_session->exec(QStringLiteral("SELECT 1"));
        } catch (const ServerError&) {
            m_session.reset();
        }
    }
    return session();
}

void CatalogueServer::setInReach(bool inReach)
{
    const bool changed = inReach != m_inReach;
    m_inReach = inReach;
    if (changed && m_reachListener)
        m_reachListener();
}

void CatalogueServer::lost(const QString& why)
{
    m_session.reset();
    setInReach(false);
    m_reachError = why;
}

CatalogueServer::UpdateOutcome CatalogueServer::update(Connection& copy)
{
    Fetched f;
    try {
        const CatalogueCopy::State state = CatalogueCopy::state(copy.handle());
        f.changes = CatalogueCopy::fetch(freshSession(), state.identity, state.lastChange);
        f.ok = true;
    } catch (const ServerError& e) {
        f.error = e.message();
        f.unreachable = e.unreachable();
        if (e.unreachable())
            lost(e.message());
    } catch (const VbError& e) {
        f.error = e.description();
    }
    return finishUpdate(copy, std::move(f));
}

std::future<CatalogueServer::Fetched> CatalogueServer::beginUpdate(Connection& copy)
{
    CatalogueCopy::State state;
    try {
        state = CatalogueCopy::state(copy.handle());
    } catch (const VbError&) {
    }
    const QString uri = m_uri;
    const QString password = m_password;
    return std::async(std::launch::async, [uri, password, state] {
        Fetched f;
        try {
            PgSession s;
            try {
                s.connect(uri, password);
            } catch (const ServerError&) {
                f.neededPassword = s.neededPassword();
                throw;
            }
            f.changes = CatalogueCopy::fetch(s, state.identity, state.lastChange);
            f.ok = true;
        } catch (const ServerError& e) {
            f.error = e.message();
            f.unreachable = e.unreachable();
        }
        return f;
    });
}

CatalogueServer::UpdateOutcome CatalogueServer::finishUpdate(Connection& copy, Fetched fetched)
{
    UpdateOutcome o;
    if (!fetched.ok) {
        o.error = fetched.error;
        o.unreachable = fetched.unreachable;
        if (fetched.unreachable) {
            lost(fetched.error);
            m_neededPassword = fetched.neededPassword;
        }
        return o;
    }
    setInReach(true);
    m_reachError.clear();
    try {
        sqlite3* handle = copy.writeHandle();
        if (fetched.changes.fresh)
            keepBeforeFirstUpdate(handle);
        CatalogueCopy::apply(handle, fetched.changes);
        o.done = true;
        o.rows = fetched.changes.rowCount();
        o.updatedAt = CatalogueCopy::state(copy.handle()).updatedAt;
    } catch (const VbError& e) {
        o.error = e.description();
    }
    return o;
}

CatalogueServer::WriteOutcome CatalogueServer::write(Connection& copy,
    const std::function<WriteOutcome(PgSession&)>& onServer,
    const std::function<CatalogueCopy::Changes(PgSession&)>& afterwards)
{
    WriteOutcome o;
    PgSession* s = nullptr;
    try {
        s = &freshSession();
        s->exec(QStringLiteral("BEGIN"));
        o = onServer(*s);
        s->exec(o.done ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        // After a change, and after a refusal for a change of someone else: the copy takes the
        // row as the server has it now, so that the window shows the other change.
        if (o.done || o.conflict)
            CatalogueCopy::apply(copy.writeHandle(), afterwards(*s), false);
    } catch (const ServerError& e) {
        if (s)
            rollback(*s);
        o.done = false;
        o.message = e.message();
        o.unreachable = e.unreachable();
        if (e.unreachable())
            lost(e.message());
    } catch (const VbError& e) {
        o.message = e.description();
    }
    return o;
}

CatalogueServer::WriteOutcome CatalogueServer::saveShip(
    Connection& copy, int shipId, const SqlCatalogue::ShipValues& v, const QString& keelPlate)
{
    const QStringList values{v.shipName, v.portOfRegistry, numberOrNull(v.lbp), numberOrNull(v.loa),
        numberOrNull(v.breadth), numberOrNull(v.lightShip), v.callSign, v.flag, numberOrNull(v.officialNo),
        numberOrNull(v.imoNo), numberOrNull(v.summerDraft), numberOrNull(v.summerDeadweight),
        numberOrNull(v.grossTonnage), numberOrNull(v.netTonnage), numberOrNull(keelPlate)};
    const QStringList columns = CatalogueCopy::shipColumns();
    int id = shipId;
    return write(
        copy,
        [&](PgSession& s) {
            WriteOutcome o;
            QStringList marks;
            for (int i = 1; i < columns.size(); ++i)
                marks.append(QStringLiteral("$%1").arg(i));
            if (shipId == 0) {
                id = s.query(QStringLiteral("INSERT INTO Ship (%1) VALUES (%2) RETURNING ShipID")
                                 .arg(columns.mid(1).join(QStringLiteral(", ")),
                                     marks.join(QStringLiteral(", "))),
                          values)
                         .value(0)
                         .value(0)
                         .toInt();
                o.done = true;
                o.id = id;
                return o;
            }
            QStringList sets;
            for (int i = 1; i < columns.size(); ++i)
                sets.append(QStringLiteral("%1 = $%2").arg(columns.at(i)).arg(i));
            QStringList params = values;
            params << QString::number(shipId)
                   << QString::number(
                          CatalogueCopy::rowChange(copy.handle(), QStringLiteral("Ship"), shipId));
            const int n = s.exec(QStringLiteral("UPDATE Ship SET %1 WHERE ShipID = $%2 AND Change = $%3")
                                     .arg(sets.join(QStringLiteral(", ")))
                                     .arg(columns.size())
                                     .arg(columns.size() + 1),
                params);
            o.id = shipId;
            if (n == 1) {
                o.done = true;
                return o;
            }
            o.conflict = true;
            const QStringList mine = copyRow(copy, QStringLiteral("Ship"), columns, shipId);
            const QVector<PgSession::Row> theirs
                = s.query(QStringLiteral("SELECT %1 FROM Ship WHERE ShipID = $1")
                              .arg(columns.join(QStringLiteral(", "))),
                    {QString::number(shipId)});
            if (theirs.isEmpty())
                o.message
                    = QStringLiteral("The ship \"%1\" was deleted from the catalogue by someone else since "
                                     "this copy read her; your change was not saved.")
                          .arg(mine.value(1));
            else
                o.message
                    = QStringLiteral("The ship \"%1\" was changed in the catalogue by someone else since "
                                     "this copy read her; your change was not saved.\r\n\r\nThe other "
                                     "change: %2.")
                          .arg(mine.value(1), differences(columns, mine, theirs.first()));
            return o;
        },
        [&](PgSession& s) { return CatalogueCopy::fetchShip(s, id); });
}

CatalogueServer::WriteOutcome CatalogueServer::deleteShip(Connection& copy, int shipId)
{
    return write(
        copy,
        [&](PgSession& s) {
            WriteOutcome o;
            const qint64 known = CatalogueCopy::rowChange(copy.handle(), QStringLiteral("Ship"), shipId);
            if (s.exec(QStringLiteral("DELETE FROM Ship WHERE ShipID = $1 AND Change = $2"),
                    {QString::number(shipId), QString::number(known)})
                == 1) {
                o.done = true;
                return o;
            }
            const QStringList columns = CatalogueCopy::shipColumns();
            const QStringList mine = copyRow(copy, QStringLiteral("Ship"), columns, shipId);
            const QVector<PgSession::Row> theirs
                = s.query(QStringLiteral("SELECT %1 FROM Ship WHERE ShipID = $1")
                              .arg(columns.join(QStringLiteral(", "))),
                    {QString::number(shipId)});
            o.conflict = !theirs.isEmpty();
            // Already gone: what the user wanted is done.
            o.done = theirs.isEmpty();
            if (o.conflict)
                o.message
                    = QStringLiteral("The ship \"%1\" was changed in the catalogue by someone else since "
                                     "this copy read her; she was not deleted.\r\n\r\nThe other change: %2.")
                          .arg(mine.value(1), differences(columns, mine, theirs.first()));
            return o;
        },
        [&](PgSession& s) { return CatalogueCopy::fetchShip(s, shipId); });
}

CatalogueServer::WriteOutcome CatalogueServer::savePort(
    Connection& copy, int portId, const QString& name, const QString& city, const QString& country)
{
    int id = portId;
    return write(
        copy,
        [&](PgSession& s) {
            WriteOutcome o;
            if (portId == 0) {
                id = s.query(QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ($1, $2, $3) "
                                            "RETURNING PortID"),
                          {name, city, country})
                         .value(0)
                         .value(0)
                         .toInt();
                o.done = true;
                o.id = id;
                return o;
            }
            const qint64 known = CatalogueCopy::rowChange(copy.handle(), QStringLiteral("Port"), portId);
            o.id = portId;
            if (s.exec(QStringLiteral("UPDATE Port SET PortName = $1, City = $2, Country = $3 "
                                      "WHERE PortID = $4 AND Change = $5"),
                    {name, city, country, QString::number(portId), QString::number(known)})
                == 1) {
                o.done = true;
                return o;
            }
            o.conflict = true;
            const QStringList columns = CatalogueCopy::portColumns();
            const QStringList mine = copyRow(copy, QStringLiteral("Port"), columns, portId);
            const QVector<PgSession::Row> theirs
                = s.query(QStringLiteral("SELECT %1 FROM Port WHERE PortID = $1")
                              .arg(columns.join(QStringLiteral(", "))),
                    {QString::number(portId)});
            o.message = theirs.isEmpty()
                ? QStringLiteral("The port \"%1\" was deleted from the catalogue by someone else since this "
                                 "copy read it; your change was not saved.")
                      .arg(mine.value(1))
                : QStringLiteral(
                    "The port \"%1\" was changed in the catalogue by someone else since this copy "
                    "read it; your change was not saved.\r\n\r\nThe other change: %2.")
                      .arg(mine.value(1), differences(columns, mine, theirs.first()));
            return o;
        },
        [&](PgSession& s) { return CatalogueCopy::fetchPort(s, id); });
}

CatalogueServer::WriteOutcome CatalogueServer::deletePort(Connection& copy, int portId)
{
    return write(
        copy,
        [&](PgSession& s) {
            WriteOutcome o;
            const qint64 known = CatalogueCopy::rowChange(copy.handle(), QStringLiteral("Port"), portId);
            const int n = s.exec(QStringLiteral("DELETE FROM Port WHERE PortID = $1 AND Change = $2"),
                {QString::number(portId), QString::number(known)});
            const bool still = n == 0
                && !s.query(QStringLiteral("SELECT 1 FROM Port WHERE PortID = $1"), {QString::number(portId)})
                        .isEmpty();
            o.done = !still;
            o.conflict = still;
            if (still)
                o.message
                    = QStringLiteral("The port was changed in the catalogue by someone else since this copy "
                                     "read it; it was not deleted.");
            return o;
        },
        // The ships registered there went with the port, on the server and (by the same rule)
        // in the copy.
        [&](PgSession& s) { return CatalogueCopy::fetchPort(s, portId); });
}

CatalogueServer::WriteOutcome CatalogueServer::saveHydrostatics(
    Connection& copy, int shipId, const HydrostaticStore::StoredTable& table)
{
    return write(
        copy,
        [&](PgSession& s) {
            WriteOutcome o;
            const QString id = QString::number(shipId);
            const qint64 known
                = CatalogueCopy::rowChange(copy.handle(), QStringLiteral("HydrostaticTable"), shipId);
            // How the table's drafts were taken and its LCF written go with it: a moulded table
            // read as extreme would give every figure of the survey wrong.
            const QString drafts = numberOrNull(table.drafts);
            const QString lcf = numberOrNull(table.lcfConvention);
            if (known == 0) {
                s.exec(QStringLiteral("INSERT INTO HydrostaticTable (ShipID, Density, Drafts, LcfConvention) "
                                      "VALUES ($1, $2, $3, $4)"),
                    {id, numberOrNull(table.density), drafts, lcf});
            } else {
                if (s.exec(QStringLiteral("UPDATE HydrostaticTable SET Density = $2, Drafts = $4, "
                                          "LcfConvention = $5 WHERE ShipID = $1 AND Change = $3"),
                        {id, numberOrNull(table.density), QString::number(known), drafts, lcf})
                    == 0) {
                    o.conflict = true;
                    o.message
                        = QStringLiteral("The hydrostatic table of this ship was changed in the catalogue by "
                                         "someone else since this copy read it; your table was not saved. "
                                         "The copy now holds the other table.");
                    return o;
                }
                s.exec(QStringLiteral("DELETE FROM HydrostaticRow WHERE ShipID = $1"), {id});
            }
            // The rows in batches of one statement each: a few round trips for a whole table.
            constexpr int batch = 500;
            for (int from = 0; from < table.rows.size(); from += batch) {
                QStringList params{id};
                QStringList tuples;
                const int to = std::min<int>(int(table.rows.size()), from + batch);
                for (int r = from; r < to; ++r) {
                    QStringList marks{QStringLiteral("$1"), QStringLiteral("$%1").arg(params.size() + 1)};
                    params.append(QString::number(r));
                    for (int c = 0; c < 5; ++c) {
                        marks.append(QStringLiteral("$%1::numeric").arg(params.size() + 1));
                        params.append(numberOrNull(table.rows.at(r).value(c)));
                    }
                    tuples.append(
                        QStringLiteral("(") + marks.join(QStringLiteral(", ")) + QStringLiteral(")"));
                }
                s.exec(QStringLiteral(
                           "INSERT INTO HydrostaticRow (ShipID, RowNo, Draft, Displacement, TPC, LCF, "
                           "MCTC) VALUES ")
                        + tuples.join(QStringLiteral(", ")),
                    params);
            }
            o.done = true;
            o.id = shipId;
            return o;
        },
        [&](PgSession& s) { return CatalogueCopy::fetchShip(s, shipId); });
}

CatalogueServer::WriteOutcome CatalogueServer::removeHydrostatics(Connection& copy, int shipId)
{
    return write(
        copy,
        [&](PgSession& s) {
            WriteOutcome o;
            const qint64 known
                = CatalogueCopy::rowChange(copy.handle(), QStringLiteral("HydrostaticTable"), shipId);
            const int n
                = s.exec(QStringLiteral("DELETE FROM HydrostaticTable WHERE ShipID = $1 AND Change = $2"),
                    {QString::number(shipId), QString::number(known)});
            const bool still = n == 0
                && !s.query(QStringLiteral("SELECT 1 FROM HydrostaticTable WHERE ShipID = $1"),
                         {QString::number(shipId)})
                        .isEmpty();
            o.done = !still;
            o.conflict = still;
            if (still)
                o.message
                    = QStringLiteral("The hydrostatic table of this ship was changed in the catalogue by "
                                     "someone else since this copy read it; it was not removed.");
            return o;
        },
        [&](PgSession& s) { return CatalogueCopy::fetchShip(s, shipId); });
}

namespace {

// A ship's tanks as texts, by name: what a conflict's message compares.
QMap<QString, QStringList> tankTexts(const QVector<TankStore::StoredTank>& tanks)
{
    QMap<QString, QStringList> out;
    for (const TankStore::StoredTank& t : tanks) {
        QStringList texts{t.group, t.gauge, t.density, t.trims, t.heels};
        for (const TankStore::StoredRow& r : t.rows)
            texts << r.gauge + QLatin1Char('|') + r.volumes + QLatin1Char('|') + r.heel;
        out.insert(t.name, texts);
    }
    return out;
}

// The tanks as the server sends them (CatalogueCopy's rows), in the store's shape.
QVector<TankStore::StoredTank> serverTanks(const CatalogueCopy::Changes& c)
{
    QVector<TankStore::StoredTank> tanks;
    QHash<QString, int> at; // TankNo -> index
    for (const QStringList& t : c.tanks) {
        at.insert(t.at(1), int(tanks.size()));
        tanks.append({t.at(2), t.at(3), t.at(4), t.at(5), t.at(6), t.at(7), {}});
    }
    for (const QStringList& r : c.tankRows)
        if (at.contains(r.at(1)))
            tanks[at.value(r.at(1))].rows.append({r.at(3), r.at(4), r.at(5)});
    return tanks;
}

// "tank \"No.2 DB WBT (P)\" changed (gauges 120, 130), tank \"FPT\" added": how the server's
// tanks differ from the copy's, a few at most.
QString tankDifferences(
    const QVector<TankStore::StoredTank>& mine, const QVector<TankStore::StoredTank>& theirs)
{
    const QMap<QString, QStringList> a = tankTexts(mine);
    const QMap<QString, QStringList> b = tankTexts(theirs);
    QStringList out;
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        if (!a.contains(it.key())) {
            out.append(QStringLiteral("tank \"%1\" added").arg(it.key()));
            continue;
        }
        const QStringList& before = a.value(it.key());
        if (before == it.value())
            continue;
        QStringList what;
        static const char* const heads[] = {"group", "gauging", "density", "trims", "heels"};
        for (int i = 0; i < 5; ++i)
            if (before.value(i) != it.value().value(i))
                what.append(QString::fromLatin1(heads[i]));
        QStringList gauges;
        for (int r = 5; r < std::max(before.size(), it.value().size()); ++r)
            if (before.value(r) != it.value().value(r)) {
                const QString row = it.value().value(r, before.value(r));
                gauges.append(row.section(QLatin1Char('|'), 0, 0));
            }
        if (gauges.size() > 5)
            gauges = gauges.mid(0, 5) << QStringLiteral("...");
        if (!gauges.isEmpty())
            what.append(QStringLiteral("gauges %1").arg(gauges.join(QStringLiteral(", "))));
        out.append(QStringLiteral("tank \"%1\" changed (%2)").arg(it.key(), what.join(QStringLiteral(", "))));
    }
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        if (!b.contains(it.key()))
            out.append(QStringLiteral("tank \"%1\" removed").arg(it.key()));
    if (out.size() > 6)
        out = out.mid(0, 6) << QStringLiteral("...");
    return out.isEmpty() ? QStringLiteral("no tank differs from this copy") : out.join(QStringLiteral(", "));
}

// Rows into `table` (its `columns`, each cast to its type in `types`), many to a statement: a
// few round trips for a ship's whole set of tanks, and few enough values for one statement.
void insertRows(PgSession& s, const QString& table, const QStringList& columns, const QStringList& types,
    const QVector<QStringList>& rows)
{
    const int perStatement = std::max(1, 6000 / int(columns.size()));
    for (int from = 0; from < rows.size(); from += perStatement) {
        QStringList params;
        QStringList tuples;
        const int to = std::min(int(rows.size()), from + perStatement);
        for (int r = from; r < to; ++r) {
            QStringList marks;
            for (int c = 0; c < columns.size(); ++c) {
                params.append(rows.at(r).at(c));
                marks.append(QStringLiteral("$%1::%2").arg(params.size()).arg(types.at(c)));
            }
            tuples.append(QStringLiteral("(") + marks.join(QStringLiteral(", ")) + QStringLiteral(")"));
        }
        s.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns.join(QStringLiteral(", ")))
                + tuples.join(QStringLiteral(", ")),
            params);
    }
}

} // namespace

CatalogueServer::WriteOutcome CatalogueServer::saveTanks(
    Connection& copy, int shipId, const QVector<TankStore::StoredTank>& tanks)
{
    return write(
        copy,
        [&](PgSession& s) {
            WriteOutcome o;
            o.id = shipId;
            const QString id = QString::number(shipId);
            const QStringList name = copyRow(
                copy, QStringLiteral("Ship"), {QStringLiteral("ShipID"), QStringLiteral("ShipName")}, shipId);
            if (s.query(QStringLiteral("SELECT 1 FROM Ship WHERE ShipID = $1"), {id}).isEmpty()) {
                o.conflict = true;
                o.message
                    = QStringLiteral("The ship \"%1\" was deleted from the catalogue by someone else since "
                                     "this copy read her; her tank tables were not saved.")
                          .arg(name.value(1));
                return o;
            }
            const qint64 known
                = CatalogueCopy::rowChange(copy.handle(), QStringLiteral("TankTableChanges"), shipId);
            // The ship's row of tank tables is taken first, under the number the copy read: a
            // write of someone else since then has given it another.
            const int taken = known == 0
                ? s.exec(
                    QStringLiteral(
                        "INSERT INTO TankTableChanges (ShipID) VALUES ($1) ON CONFLICT (ShipID) DO NOTHING"),
                    {id})
                : s.exec(QStringLiteral(
                             "UPDATE TankTableChanges SET Change = Change WHERE ShipID = $1 AND Change = $2"),
                    {id, QString::number(known)});
            if (taken == 0) {
                o.conflict = true;
                const QVector<TankStore::StoredTank> theirs
                    = serverTanks(CatalogueCopy::fetchTanks(s, shipId));
                o.message = QStringLiteral(
                    "The tank tables of the ship \"%1\" were changed in the catalogue by someone else "
                    "since this copy read them; your tables were not saved. The copy now holds the "
                    "other tables.\r\n\r\nThe other change: %2.")
                                .arg(name.value(1), tankDifferences(TankStore::load(copy, shipId), theirs));
                return o;
            }
            if (known != 0) {
                s.exec(QStringLiteral("DELETE FROM TankRow WHERE ShipID = $1"), {id});
                s.exec(QStringLiteral("DELETE FROM TankTable WHERE ShipID = $1"), {id});
            }
            QVector<QStringList> heads;
            QVector<QStringList> rows;
            for (int t = 0; t < tanks.size(); ++t) {
                const TankStore::StoredTank& k = tanks.at(t);
                const QString no = QString::number(t + 1);
                heads.append({id, no, k.name, k.group, k.gauge, numberOrNull(k.density), k.trims, k.heels});
                for (int r = 0; r < k.rows.size(); ++r)
                    rows.append({id, no, QString::number(r + 1), numberOrNull(k.rows.at(r).gauge),
                        k.rows.at(r).volumes, k.rows.at(r).heel});
            }
            insertRows(s, QStringLiteral("TankTable"),
                {QStringLiteral("ShipID"), QStringLiteral("TankNo"), QStringLiteral("TankName"),
                    QStringLiteral("TankGroup"), QStringLiteral("Gauge"), QStringLiteral("Density"),
                    QStringLiteral("Trims"), QStringLiteral("Heels")},
                {QStringLiteral("integer"), QStringLiteral("integer"), QStringLiteral("text"),
                    QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("numeric"),
                    QStringLiteral("text"), QStringLiteral("text")},
                heads);
            insertRows(s, QStringLiteral("TankRow"),
                {QStringLiteral("ShipID"), QStringLiteral("TankNo"), QStringLiteral("RowNo"),
                    QStringLiteral("Gauge"), QStringLiteral("Volumes"), QStringLiteral("Heel")},
                {QStringLiteral("integer"), QStringLiteral("integer"), QStringLiteral("integer"),
                    QStringLiteral("numeric"), QStringLiteral("text"), QStringLiteral("text")},
                rows);
            o.done = true;
            return o;
        },
        [&](PgSession& s) { return CatalogueCopy::fetchTanks(s, shipId); });
}
