#include "ui/CatalogueWrites.h"

#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <sqlite3.h>

namespace CatalogueWrites {

bool viaServer()
{
    return CatalogueServer::shared().isSet();
}

bool allowed()
{
    const CatalogueServer& server = CatalogueServer::shared();
    if (server.writable())
        return true;
    MessageService::show(MessageService::join(server.readOnlyReason(), server.reachError()), Msg::Buttons::Ok,
        Msg::Icon::Exclamation);
    return false;
}

bool report(const CatalogueServer::WriteOutcome& outcome)
{
    if (outcome.done)
        return true;
    if (outcome.unreachable)
        MessageService::show(
            MessageService::join(CatalogueServer::shared().readOnlyReason(), outcome.message),
            Msg::Buttons::Ok, Msg::Icon::Exclamation);
    else
        MessageService::show(outcome.conflict
                ? outcome.message
                : MessageService::join(
                    QStringLiteral("The catalogue server refused the change."), outcome.message),
            Msg::Buttons::Ok, Msg::Icon::Exclamation);
    return false;
}

qint64 countInCopy(const QString& table, int id)
{
    const QString key = table == QLatin1String("Port") ? QStringLiteral("PortID") : QStringLiteral("ShipID");
    sqlite3* db = sharedConnection().handle();
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql
        = QStringLiteral("SELECT ChangeCount FROM %1 WHERE %2 = ?1").arg(table, key).toUtf8();
    // A file whose tables could not be given the column: its writes go unchecked.
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        return ChangeCount::NotCounted;
    sqlite3_bind_int(stmt, 1, id);
    const qint64 count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    return count;
}

bool copyHolds(const QString& table, int id, qint64 countRead)
{
    return countRead == ChangeCount::NotCounted || countInCopy(table, id) == countRead;
}

bool saveTankTables(int shipId, const TankTables& tables, qint64& changeCount)
{
    if (!viaServer()) {
        changeCount = TankTables::saveForShip(shipId, tables, nullptr, changeCount);
        return true;
    }
    if (!allowed())
        return false;
    // The copy may have taken newer tables from the server since the window read them, which the
    // server would then let this save undo unseen.
    if (!copyHolds(QStringLiteral("TankTableChanges"), shipId, changeCount))
        throw ChangeCount::changedMeanwhile(QStringLiteral("The ship's tank tables"));
    if (!report(CatalogueServer::shared().saveTanks(sharedConnection(), shipId, TankTables::stored(tables))))
        return false;
    changeCount = countInCopy(QStringLiteral("TankTableChanges"), shipId);
    return true;
}

} // namespace CatalogueWrites
