#include "files/OutputPaths.h"

#include "core/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {

// The path as the file system will resolve it: links followed, "." and ".." gone. A file that
// does not exist yet is named by its folder's canonical path, so that "dir/../DS.dat" or a
// linked folder still compares equal with the database it would land on.
QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString direct = info.canonicalFilePath();
    if (!direct.isEmpty())
        return direct;
    const QString folder = info.absoluteDir().canonicalPath();
    return QDir::cleanPath((folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/')
                           + info.fileName());
}

// One file under two names: the same canonical path, or, for files that exist, the same file
// (a hard link has a path of its own).
bool sameFile(const QString& a, const QString& b)
{
    if (canonical(a) == canonical(b))
        return true;
    std::error_code ec;
    const bool same = std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(a).toStdString()),
                                                  std::filesystem::path(QFile::encodeName(b).toStdString()), ec);
    return !ec && same;
}

// The survey database, its workgroup file and what the engine keeps beside them while it writes:
// a report landing on any of these would destroy the user's ships and ports, or be taken for a
// journal to roll back at the next start.
QStringList databaseFiles()
{
    const QString dir = AppPaths::appDir();
    QStringList files;
    for (const char* base : {"DS.dat", "DS.lib"}) {
        const QString file = dir + QLatin1Char('/') + QLatin1String(base);
        files << file << file + QStringLiteral("-journal") << file + QStringLiteral("-wal")
              << file + QStringLiteral("-shm");
    }
    return files;
}

}  // namespace

namespace OutputPaths {

QString refusal(const QString& path, const QStringList& taken)
{
    const QString shown = QDir::toNativeSeparators(path);
    for (const QString& db : databaseFiles()) {
        if (sameFile(path, db))
            return QStringLiteral("%1 is a file of the survey database (%2); a report is never written "
                                  "over it.")
                .arg(shown, QDir::toNativeSeparators(db));
    }
    for (const QString& other : taken) {
        if (!other.isEmpty() && sameFile(path, other))
            return QStringLiteral("%1 is named for two outputs; each output needs a file of its own.")
                .arg(shown);
    }
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("%1 is a folder; an output needs a file name.").arg(shown);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1 is not a plain file (a pipe, a device or the like); an output is "
                              "only written to a plain file.")
            .arg(shown);
    return QString();
}

QString firstRefusal(const QStringList& paths)
{
    QStringList taken;
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        const QString why = refusal(path, taken);
        if (!why.isEmpty())
            return why;
        taken << path;
    }
    return QString();
}

}  // namespace OutputPaths
