#include "db/Protection.h"

#include "core/VbError.h"
#include "db/CipherFile.h"
#include "db/CipherKey.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace Protection {

namespace {

    constexpr qint64 kFileLimit = 4096;

    [[noreturn]] void fail(const QString& text)
    {
        throw VbError(Connection::EngineErrorNumber, text);
    }

    // Re-keys one open file; false with the engine's words in `error` when it could not.
    bool rekeyHandle(sqlite3* db, const QString& key, QString* error)
    {
        QByteArray bytes = key.toUtf8();
        const int rc = sqlite3_rekey(db, bytes.constData(), bytes.size());
        CipherKey::wipe(bytes);
        if (rc == SQLITE_OK && CipherFile::checkReadable(db))
            return true;
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }

    // Re-keys the workgroup file from `oldKey` to `newKey`.
    void rekeyWorkgroup(const QString& path, const QString& oldKey, const QString& newKey)
    {
        const QString cannot = QStringLiteral("The workgroup file '%1' could not be re-keyed.").arg(path);
        sqlite3* lib = CipherFile::open(path, oldKey, false, cannot);
        QString error;
        const bool ok = CipherFile::checkReadable(lib) && rekeyHandle(lib, newKey, &error);
        CipherFile::close(lib);
        if (!ok)
            fail(error.isEmpty() ? cannot : cannot + QLatin1Char(' ') + error);
    }

}  // namespace

QString passphraseProblem(const QString& passphrase)
{
    if (passphrase.size() < MinimumLength)
        return QStringLiteral("A passphrase needs at least %1 characters.").arg(MinimumLength);
    for (const QChar c : passphrase) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("A passphrase cannot hold control characters (a tab, a line end).");
    }
    return QString();
}

void rekey(Connection& connection, const QString& newPassphrase)
{
    // Every page must have been found whole before the file is written all over.
    sqlite3* dat = connection.writeHandle();
    const QString datPath = connection.dataSourcePath();
    const QString libPath = connection.systemDatabasePath();
    if (!newPassphrase.isEmpty()) {
        const QString problem = passphraseProblem(newPassphrase);
        if (!problem.isEmpty())
            fail(problem);
    }
    const bool protectedNow = connection.openedWithPassphrase();
    const QString oldLib = protectedNow ? connection.passphrase() : Schema::userPassword();
    const QString newLib = newPassphrase.isEmpty() ? Schema::userPassword() : newPassphrase;
    const QString newDat = newPassphrase.isEmpty() ? Schema::databasePassword() : newPassphrase;

    rekeyWorkgroup(libPath, oldLib, newLib);
    QString error;
    if (!rekeyHandle(dat, newDat, &error)) {
        // The two files must open with one key: the workgroup file goes back to the old one.
        try {
            rekeyWorkgroup(libPath, newLib, oldLib);
        } catch (const VbError&) {
        }
        fail(QStringLiteral("The database '%1' could not be re-keyed. %2").arg(datPath, error));
    }
    connection.keyedWith(newPassphrase);
    setDatabasePassphrase(newPassphrase);
}

std::optional<QString> readPassphraseFile(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("the passphrase file %1 does not exist").arg(path);
        return std::nullopt;
    }
    // A pipe or a device would be read without end, or not at all.
    if (!info.isFile()) {
        *error = QStringLiteral("the passphrase file %1 is not a regular file").arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the passphrase file %1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kFileLimit + 1);
    if (bytes.size() > kFileLimit) {
        *error = QStringLiteral("the passphrase file %1 is larger than %2 bytes").arg(path).arg(kFileLimit);
        return std::nullopt;
    }
    QByteArray line = bytes;
    const int end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty()) {
        *error = QStringLiteral("the passphrase file %1 holds no passphrase on its first line").arg(path);
        return std::nullopt;
    }
    return QString::fromUtf8(line);
}

std::optional<QString> commandLinePassphrase(const QString& file, QString* error)
{
    if (!file.isEmpty())
        return readPassphraseFile(file, error);
    const QString fromEnvironment = qEnvironmentVariable(EnvironmentVariable);
    if (fromEnvironment.isEmpty())
        return std::nullopt;
    return fromEnvironment;
}

}  // namespace Protection
