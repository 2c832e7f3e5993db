#include "db/CipherFile.h"

#include "core/VbError.h"
#include "db/CipherKey.h"
#include "db/Connection.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace CipherFile {

namespace {

int cipherMajorVersion(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    int major = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA cipher_version", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        if (text)
            major = QString::fromUtf8(text).section(QLatin1Char('.'), 0, 0).toInt();
    }
    sqlite3_finalize(stmt);
    return major;
}

}  // namespace

sqlite3* openWithKey(const QString& path, const QByteArray& keyBytes, bool create, const QString& failureText)
{
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const QByteArray file = path.toUtf8();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.constData(), &db, flags, nullptr) != SQLITE_OK) {
        close(db);
        throw VbError(Connection::EngineErrorNumber, failureText);
    }
    if (sqlite3_key(db, keyBytes.constData(), keyBytes.size()) != SQLITE_OK) {
        close(db);
        throw VbError(Connection::EngineErrorNumber, failureText);
    }
    // SQLCipher 4 changed its defaults; the delivered files are written in the format of 3, which
    // both libraries read when told to.
    if (cipherMajorVersion(db) >= 4)
        exec(db, QStringLiteral("PRAGMA cipher_compatibility = 3"));
    sqlite3_busy_timeout(db, 2000);
    return db;
}

sqlite3* open(const QString& path, const QString& key, bool create, const QString& failureText,
              QByteArray* keyUsed)
{
    QByteArray k = key.toUtf8();
    // A file that is already there is opened with its key derived here from its salt: the engine
    // takes it as given. Should that not read the file (a wrong password, or a file keyed some
    // other way), the engine derives the key from the password itself, as it always did.
    if (!k.isEmpty()) {
        const QByteArray salt = CipherKey::fileSalt(path);
        if (!salt.isEmpty()) {
            QByteArray raw = CipherKey::rawKey(k, salt);
            sqlite3* db = nullptr;
            try {
                db = openWithKey(path, raw, create, failureText);
            } catch (...) {
                CipherKey::wipe(raw);
                throw;
            }
            // A file held by another program reads nothing with any key: that is told, not
            // taken for a wrong key (and waited for a second time).
            if (checkReadable(db) || isBusy(db)) {
                if (keyUsed)
                    *keyUsed = raw;
                CipherKey::wipe(raw);
                return db;
            }
            CipherKey::wipe(raw);
            close(db);
        }
    }
    sqlite3* db = openWithKey(path, k, create, failureText);
    if (keyUsed)
        *keyUsed = k;
    return db;
}

bool checkReadable(sqlite3* db)
{
    // A wrong key is not noticed when it is given, only when the first page is decrypted.
    return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

bool isBusy(sqlite3* db)
{
    const int code = db ? sqlite3_extended_errcode(db) & 0xff : SQLITE_OK;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

QString lockedText(const QString& path)
{
    return QStringLiteral(
               "The file '%1' is in use by another program, which holds it while it writes to it.")
        .arg(path);
}

bool quickCheck(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW;
    if (ok) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        ok = text && qstrcmp(text, "ok") == 0 && sqlite3_step(stmt) == SQLITE_DONE;
    }
    sqlite3_finalize(stmt);
    return ok;
}

bool journalRollsBackWhole(const QString& path, const QString& key)
{
    const QString journal = path + QStringLiteral("-journal");
    const QFileInfo info(journal);
    if (!info.exists() || info.size() == 0)
        return true;
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("check.db"));
    if (!scratch.isValid() || !QFile::copy(path, copy)
        || !QFile::copy(journal, copy + QStringLiteral("-journal")))
        return false;
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(copy + QStringLiteral("-journal"), QFile::ReadOwner | QFile::WriteOwner);
    sqlite3* db = nullptr;
    try {
        db = open(copy, key, false, QString());
    } catch (const VbError&) {
        return false;
    }
    const bool ok = checkReadable(db) && quickCheck(db);
    close(db);
    return ok;
}

std::optional<int> queryInt(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    std::optional<int> value;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return value;
}

void exec(sqlite3* db, const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString text = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_free(err);
        throw VbError(Connection::EngineErrorNumber, text);
    }
}

void close(sqlite3* db)
{
    if (db)
        sqlite3_close_v2(db);
}

}  // namespace CipherFile
