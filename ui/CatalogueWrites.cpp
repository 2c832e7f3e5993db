#include "ui/CatalogueWrites.h"

#include "core/MessageService.h"

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

} // namespace CatalogueWrites
