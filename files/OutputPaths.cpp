#include "files/OutputPaths.h"

#include "core/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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
    return QDir::cleanPath(
        (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName());
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

qint64& faultAfter()
{
    static qint64 bytes = -1;
    return bytes;
}

QString systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

QString cannotWrite(const QString& path, const QString& why)
{
    return QStringLiteral("%1 could not be written (%2).").arg(QDir::toNativeSeparators(path), why);
}

// Writes all of `bytes`, as far as the disk takes them.
bool writeAll(int fd, const QByteArray& bytes, int* error)
{
    qint64 done = 0;
    const qint64 allowed = faultAfter() < 0 ? bytes.size() : std::min<qint64>(faultAfter(), bytes.size());
    while (done < allowed) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(allowed - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : EIO;
            return false;
        }
        done += n;
    }
    if (done < bytes.size()) {
        *error = ENOSPC;
        return false;
    }
    return true;
}

} // namespace

namespace OutputPaths {

QString refusal(const QString& path, const QStringList& taken)
{
    const QString shown = QDir::toNativeSeparators(path);
    for (const QString& db : databaseFiles()) {
        if (sameFile(path, db))
            return QStringLiteral("%1 is a file of the survey database (%2); nothing is ever written "
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

QStringList databaseFiles()
{
    // The standard place counts even when a test or the command line points elsewhere: a report
    // must not land on the user's own ships whichever folder this run uses.
    QStringList folders{AppPaths::appDir(), AppPaths::userDataDir(), AppPaths::programDir()};
    const QString standard = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!standard.isEmpty())
        folders << standard;
    const QString home = QDir::homePath();
    if (!home.isEmpty())
        folders << home + QStringLiteral("/.local/share/") + AppPaths::appName();
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    if (!xdg.isEmpty())
        folders << QFile::decodeName(xdg) + QLatin1Char('/') + AppPaths::appName();
    QStringList files;
    for (const QString& dir : folders) {
        for (const char* base : {"DS.dat", "DS.lib"}) {
            const QString file = QDir::cleanPath(dir) + QLatin1Char('/') + QLatin1String(base);
            for (const QString& name : {file, file + QStringLiteral("-journal"),
                     file + QStringLiteral("-wal"), file + QStringLiteral("-shm")}) {
                if (!files.contains(name))
                    files << name;
            }
        }
    }
    return files;
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

Output::Output(QString path, Access access)
    : m_path(std::move(path))
    , m_access(access)
{
}

Output::~Output()
{
    discard();
}

void Output::discard()
{
    if (!m_temp.isEmpty())
        ::unlink(QFile::encodeName(m_temp).constData());
    m_temp.clear();
}

bool Output::stage(const QByteArray& bytes, QString* error, const QStringList& taken)
{
    discard();
    const auto failed = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (const QString why = refusal(m_path, taken); !why.isEmpty())
        return failed(why);
    // A linked file is written where the link points, as an editor saves it; the link stays.
    const QFileInfo info(m_path);
    m_target = info.absoluteFilePath();
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        m_target = resolved.isEmpty() ? info.symLinkTarget() : resolved;
        if (const QString why = refusal(m_target, taken); !why.isEmpty())
            return failed(why);
    }
    struct stat old { };
    const QByteArray target = QFile::encodeName(m_target);
    const bool exists = ::stat(target.constData(), &old) == 0;
    mode_t mode = 0600;
    if (m_access == Access::Shared) {
        if (exists) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
    }
    const QFileInfo targetInfo(m_target);
    QByteArray pattern = QFile::encodeName(
        targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return failed(cannotWrite(m_path, systemError(errno)));
    m_temp = QFile::decodeName(pattern);
    int why = 0;
    bool ok = ::fchmod(fd, mode) == 0 || (why = errno, false);
    ok = ok && writeAll(fd, bytes, &why);
    ok = ok && (::fsync(fd) == 0 || (why = errno, false));
    if (::close(fd) != 0 && ok) {
        why = errno;
        ok = false;
    }
    if (!ok) {
        discard();
        return failed(cannotWrite(m_path, systemError(why)));
    }
    return true;
}

bool Output::commit(QString* error)
{
    if (m_temp.isEmpty()) {
        if (error)
            *error = cannotWrite(m_path, QStringLiteral("nothing was prepared"));
        return false;
    }
    if (::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_target).constData()) != 0) {
        const int why = errno;
        discard();
        if (error)
            *error = cannotWrite(m_path, systemError(why));
        return false;
    }
    m_temp.clear();
    // The new name lasts once the folder is on the disk too.
    const int dir = ::open(QFile::encodeName(QFileInfo(m_target).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool write(const QString& path, const QByteArray& bytes, QString* error, Access access)
{
    Output out(path, access);
    return out.stage(bytes, error) && out.commit(error);
}

void setWriteFaultAfter(qint64 bytes)
{
    faultAfter() = bytes;
}

} // namespace OutputPaths
