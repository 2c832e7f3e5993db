#include "cli/ServerCommandLine.h"

#include "core/MessageService.h"
#include "db/Database.h"
#include "server/CatalogueServer.h"

namespace ServerCommandLine {

bool bringCopyUpToDate(const QString& uri)
{
    if (uri.isEmpty())
        return true;
    CatalogueServer& server = CatalogueServer::shared();
    server.setUri(uri);
    const CatalogueServer::UpdateOutcome o = server.update(sharedConnection());
    if (o.done)
        return true;
    if (o.unreachable)
        MessageService::printError(
            QStringLiteral("quorvane-lt: the catalogue server is out of reach (%1); going on "
                           "with the copy in DS.dat\n")
                .arg(QString(o.error).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    else
        MessageService::printError(
            QStringLiteral("quorvane-lt: the copy was not brought up to date: %1\n").arg(o.error));
    return false;
}

} // namespace ServerCommandLine
