#include "ui/CatalogueWrites.h"

#include "core/MessageService.h"
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

} // namespace CatalogueWrites
