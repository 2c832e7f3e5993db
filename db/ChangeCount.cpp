#include "db/ChangeCount.h"

#include "core/VbError.h"

namespace ChangeCount {

VbError changedMeanwhile(const QString& what)
{
    return VbError(
        ChangedMeanwhile,
        QStringLiteral("%1 was changed by another user or program after it was read here.").arg(what));
}

VbError deletedMeanwhile(const QString& what)
{
    return VbError(
        ChangedMeanwhile,
        QStringLiteral("%1 was deleted by another user or program after it was read here.").arg(what));
}

QString raised(qint64 countRead)
{
    return countRead == NotCounted ? QString() : QStringLiteral(", ChangeCount = ChangeCount + 1");
}

QString compared(qint64 countRead)
{
    return countRead == NotCounted ? QString() : QStringLiteral(" AND ChangeCount = %1").arg(countRead);
}

QString differences(const QStringList& names, const QStringList& before, const QStringList& after)
{
    QStringList changed;
    for (int i = 0; i < names.size(); ++i) {
        if (before.value(i) != after.value(i))
            changed.append(names.at(i));
    }
    return changed.join(QStringLiteral(", "));
}

}  // namespace ChangeCount
