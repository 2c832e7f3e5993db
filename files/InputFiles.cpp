#include "files/InputFiles.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace InputFiles {

std::optional<QByteArray> read(const QString& path, qint64 limit, QString* error, QString* systemError)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto failed = [error](const QString& text) -> std::optional<QByteArray> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    const auto cannotRead = [&shown, systemError](int number) {
        const QString why = QString::fromLocal8Bit(std::strerror(number));
        if (systemError)
            *systemError = why;
        return QStringLiteral("%1 cannot be read (%2).").arg(shown, why);
    };
    // A file compiled into the program (":/examples/...") is no user's input.
    if (path.startsWith(QLatin1Char(':'))) {
        QFile resource(path);
        if (!resource.open(QIODevice::ReadOnly) || resource.size() > limit)
            return failed(QStringLiteral("%1 cannot be read.").arg(shown));
        return resource.readAll();
    }
    // Without O_NONBLOCK, opening a pipe nobody writes to would wait for ever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return failed(cannotRead(errno));
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        const int why = errno;
        ::close(fd);
        return failed(cannotRead(why));
    }
    const QString tooLarge
        = QStringLiteral("%1 is larger than %2 MiB, the most such a file may hold; it was not read.")
              .arg(shown)
              .arg(limit / kMiB);
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return failed(QStringLiteral("%1 is a folder; only a plain file is read.").arg(shown));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(QStringLiteral("%1 is not a plain file (a pipe, a device or the like); only a plain "
                                     "file is read.")
                          .arg(shown));
    }
    if (st.st_size > limit) {
        ::close(fd);
        return failed(tooLarge);
    }
    // The size may grow while it is read: no more than the limit and one byte is ever taken in.
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size) + 1);
    qint64 done = 0;
    while (true) {
        if (done == bytes.size()) {
            if (done > limit)
                break;
            bytes.resize(qsizetype(std::min<qint64>(limit + 1, done * 2 + 4096)));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int why = errno;
            ::close(fd);
            return failed(cannotRead(why));
        }
        if (n == 0)
            break;
        done += n;
    }
    ::close(fd);
    if (done > limit)
        return failed(tooLarge);
    bytes.truncate(qsizetype(done));
    return bytes;
}

} // namespace InputFiles
