#pragma once

#include <QString>
#include <QStringList>

class VbError;

// Two windows, or a window and the command line, may hold the same ship, port or hydrostatic
// table. Each record counts the writes made to it (the ChangeCount column, see SchemaUpgrade):
// a window keeps the count it read, and its UPDATE or DELETE names that count beside the key, so
// that a record written by someone else meanwhile is left alone and the write is refused with
// ChangedMeanwhile, never put back over the other writer's figures.
namespace ChangeCount {

// The error of a write refused because the record changed since it was read. The number is the
// one the older engine gave when two users changed the same data at the same time.
constexpr int ChangedMeanwhile = 3197;

// The count of a record read from a file without the column (one that could not be upgraded):
// writes then go unchecked, as they always did.
constexpr qint64 NotCounted = -1;

// "changed" when the record is still there, "deleted" when it is gone.
VbError changedMeanwhile(const QString& what);
VbError deletedMeanwhile(const QString& what);

// The clause an UPDATE's SET ends with and the one its WHERE ends with, for the count read:
// ", ChangeCount = ChangeCount + 1" and " AND ChangeCount = 7"; both empty for NotCounted.
QString raised(qint64 countRead);
QString compared(qint64 countRead);

// The one-line list of what differs between two readings of a record: `names` are the fields'
// names as the user knows them, `before` and `after` their values in the same order
// ("Light Ship, Flag").
QString differences(const QStringList& names, const QStringList& before, const QStringList& after);

}  // namespace ChangeCount
