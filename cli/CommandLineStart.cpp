#include "cli/CommandLineStart.h"

#include "core/AppPaths.h"
#include "db/DataFolder.h"

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

}  // namespace CommandLineStart
