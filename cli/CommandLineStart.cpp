#include "cli/CommandLineStart.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/DataFolder.h"
#include "db/Database.h"
#include "db/Protection.h"

#include <QFileInfo>

namespace CommandLineStart {

Outcome prepareDataFolder(const QString& dataDir, const std::function<bool()>& beforeWriting)
{
    Outcome o;
    if (!dataDir.isEmpty()) {
        if (!QFileInfo(dataDir).isDir()) {
            o.refusal = QStringLiteral("--data-dir %1 is no folder").arg(dataDir);
            return o;
        }
        AppPaths::setAppDir(dataDir);
    }
    if (beforeWriting && !beforeWriting())
        return o;
    o.go = true;
    o.prepared = DataFolder::prepare(&o.prepareError);
    return o;
}

bool usePassphrase(const QString& passphraseFile)
{
    QString error;
    const std::optional<QString> passphrase = Protection::commandLinePassphrase(passphraseFile, &error);
    if (!error.isEmpty()) {
        MessageService::printError(QStringLiteral("quorvane-lt: %1\n").arg(error));
        return false;
    }
    setDatabasePassphrase(passphrase.value_or(QString()));
    return true;
}

}  // namespace CommandLineStart
