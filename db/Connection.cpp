#include "db/Connection.h"

#include "core/VbError.h"
#include "db/CipherFile.h"
#include "db/CipherKey.h"
#include "db/SchemaUpgrade.h"

#include <QFileInfo>
#include <future>
#include <optional>
#include <utility>
#include <sqlite3.h>

namespace {

constexpr auto JetProvider = "Microsoft.Jet.OLEDB.4.0";

[[noreturn]] void fail(const QString& description)
{
    throw VbError(Connection::EngineErrorNumber, description);
}

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Words after which a '-' is a sign rather than a subtraction.
bool isKeywordBeforeOperand(const QString& word)
{
    static const QStringList words = {
        QStringLiteral("SELECT"), QStringLiteral("WHERE"),   QStringLiteral("AND"),
        QStringLiteral("OR"),     QStringLiteral("NOT"),     QStringLiteral("SET"),
        QStringLiteral("VALUES"), QStringLiteral("WHEN"),    QStringLiteral("THEN"),
        QStringLiteral("ELSE"),   QStringLiteral("IS"),      QStringLiteral("IN"),
        QStringLiteral("LIKE"),   QStringLiteral("BETWEEN"), QStringLiteral("BY"),
        QStringLiteral("ON"),     QStringLiteral("CASE"),    QStringLiteral("DISTINCT"),
    };
    return words.contains(word, Qt::CaseInsensitive);
}

// Length of the numeric literal starting at `i` (digits, an optional point and fraction, an
// optional exponent), 0 when there is none.
int numberLength(const QString& s, int i)
{
    const int n = s.size();
    int j = i;
    while (j < n && isDigit(s[j]))
        ++j;
    if (j < n && s[j] == QLatin1Char('.')) {
        ++j;
        while (j < n && isDigit(s[j]))
            ++j;
    }
    if (j == i || (j == i + 1 && s[i] == QLatin1Char('.')))
        return 0;
    if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
        int k = j + 1;
        if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-')))
            ++k;
        if (k < n && isDigit(s[k])) {
            while (k < n && isDigit(s[k]))
                ++k;
            j = k;
        }
    }
    return j - i;
}

// The most places an exponent may move the point. A figure of the program has at most 28 digits
// either side of the point; a literal beyond that is no figure but a mistake or an attack, and
// writing it out in full would let "1E+999999999" grow into a gigabyte of zeros.
constexpr int MaxExponentShift = 28;

// A decimal literal in plain notation, the exponent worked into the position of the point:
// "1.5E-3" gives "0.0015". Only the digits move; nothing is computed. Nothing when the exponent
// would move the point further than MaxExponentShift places.
std::optional<QString> plainDecimal(const QString& literal)
{
    QString mantissa = literal;
    int exponent = 0;
    const int e = literal.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0) {
        mantissa = literal.left(e);
        // Read digit by digit and stop as soon as the shift is out of bounds, so that no count of
        // exponent digits can overflow it.
        int k = e + 1;
        bool negative = false;
        if (k < literal.size() && (literal[k] == QLatin1Char('+') || literal[k] == QLatin1Char('-')))
            negative = literal[k++] == QLatin1Char('-');
        for (; k < literal.size(); ++k) {
            exponent = exponent * 10 + (literal[k].unicode() - '0');
            if (exponent > MaxExponentShift)
                return std::nullopt;
        }
        if (negative)
            exponent = -exponent;
    }
    int point = mantissa.indexOf(QLatin1Char('.'));
    QString digits = mantissa;
    if (point < 0) {
        point = digits.size();
    } else {
        digits.remove(point, 1);
    }
    point += exponent;
    if (point <= 0) {
        digits.prepend(QString(-point, QLatin1Char('0')));
        point = 0;
    } else if (point > digits.size()) {
        digits.append(QString(point - digits.size(), QLatin1Char('0')));
    }
    QString whole = digits.left(point);
    QString fraction = digits.mid(point);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    return fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
}

// Reads one value of a connection string starting at `i` (just after '='), quoted or not.
QString readValue(const QString& text, int& i)
{
    const int n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    if (i < n && (text[i] == QLatin1Char('\'') || text[i] == QLatin1Char('"'))) {
        const QChar quote = text[i];
        const int start = ++i;
        // The closing quote is the one followed by ';' or the end, so a folder name with a
        // quote in it does not cut the path short.
        for (int j = start; j < n; ++j) {
            if (text[j] != quote)
                continue;
            int k = j + 1;
            while (k < n && text[k] == QLatin1Char(' '))
                ++k;
            if (k == n || text[k] == QLatin1Char(';')) {
                i = k;
                return text.mid(start, j - start);
            }
        }
        i = n;
        return text.mid(start);
    }
    const int start = i;
    while (i < n && text[i] != QLatin1Char(';'))
        ++i;
    return text.mid(start, i - start).trimmed();
}

using Failure = Connection::OpenFailure;

// What the reading of a file found: nothing wrong (an empty text), or why it cannot be used.
struct Verdict {
    Failure::Kind kind = Failure::None;
    QString file;
    QString text;
    bool ok() const { return kind == Failure::None; }
};

// What keeps `path` from being opened before anything is read: missing, or not to be read by this
// user (the file itself, or its folder, which hides whether the file is there at all).
Verdict reachable(const QString& path, const QString& missingText)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!file.exists()) {
        if (folder.exists() && !folder.isExecutable())
            return {Failure::NoPermission, folder.absoluteFilePath(),
                    QStringLiteral("You have no permission to open the folder '%1'.")
                        .arg(folder.absoluteFilePath())};
        return {Failure::Missing, path, missingText};
    }
    if (!file.isFile())
        return {Failure::Missing, path, missingText};
    if (!file.isReadable())
        return {Failure::NoPermission, path,
                QStringLiteral("You have no permission to read '%1'.").arg(path)};
    return {};
}

// Whether the workgroup file knows the user with this password and reads whole.
Verdict workgroupCheck(const QString& path, const QString& password, const QString& user,
                       const QString& failureText, const QString& damagedText)
{
    sqlite3* lib = CipherFile::open(path, password, false, failureText);
    bool known = false;
    bool busy = false;
    if (CipherFile::checkReadable(lib)) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(lib, "SELECT count(*) FROM Users WHERE UserName = ?1", -1, &stmt, nullptr)
            == SQLITE_OK) {
            const QByteArray u = user.toUtf8();
            sqlite3_bind_text(stmt, 1, u.constData(), u.size(), SQLITE_TRANSIENT);
            known = !user.isEmpty() && sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) > 0;
        }
        sqlite3_finalize(stmt);
    } else {
        busy = CipherFile::isBusy(lib);
    }
    // A workgroup file damaged past the page that names the user is found only by reading it all.
    const bool whole = known && CipherFile::quickCheck(lib);
    CipherFile::close(lib);
    if (busy)
        return {Failure::Locked, path, CipherFile::lockedText(path)};
    if (!known)
        return {Failure::WrongPassword, path, failureText};
    return whole ? Verdict() : Verdict {Failure::Damaged, path, damagedText};
}

// Whether the key fits DS.dat and the file holds the ships' table.
bool surveyTablesReadable(sqlite3* db)
{
    if (!CipherFile::checkReadable(db))
        return false;
    return CipherFile::queryInt(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'Ship'")
           == 1;
}

}  // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::setConnectionString(const QString& text)
{
    m_connectionString = text;
}

QString Connection::connectionString() const
{
    return m_connectionString;
}

void Connection::setFiles(const QString& dataSource, const QString& systemDatabase)
{
    m_dataSource = dataSource;
    m_systemDatabase = systemDatabase;
}

QString Connection::connectionStringValue(const QString& text, const QString& key)
{
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const int eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            break;
        const QString name = text.mid(i, eq - i).trimmed();
        i = eq + 1;
        const QString value = readValue(text, i);
        while (i < n && text[i] != QLatin1Char(';'))
            ++i;
        ++i;  // past ';'
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return QString();
}

void Connection::setPassphrase(const QString& passphrase)
{
    m_passphrase = passphrase;
}

QString Connection::passphrase() const
{
    return m_passphrase;
}

void Connection::open(const QString& connectionStringText)
{
    m_openFailure = {};
    m_openedWithPassphrase = false;
    try {
        openFiles(connectionStringText);
        m_openedWithPassphrase = !m_passphrase.isEmpty();
    } catch (const VbError&) {
        if (m_openFailure.kind == OpenFailure::None)
            m_openFailure.kind = OpenFailure::Other;
        if (m_passphrase.isEmpty() || m_openFailure.kind != OpenFailure::WrongPassword)
            throw;
        // A passphrase given for a database that is not protected (one kept in the environment
        // for another folder, say): the program's own passwords open it. When they do not
        // either, the passphrase was wrong, and that is what is told.
        const OpenFailure first = m_openFailure;
        const QString passphrase = std::exchange(m_passphrase, QString());
        try {
            openFiles(QString());
        } catch (const VbError&) {
            m_passphrase = passphrase;
            m_openFailure = first;
            throw;
        }
        m_passphrase = passphrase;
    }
}

bool Connection::openedWithPassphrase() const
{
    return m_openedWithPassphrase;
}

void Connection::keyedWith(const QString& passphrase)
{
    m_passphrase = passphrase;
    m_openedWithPassphrase = !passphrase.isEmpty();
}

void Connection::openFiles(const QString& connectionStringText)
{
    if (!connectionStringText.isEmpty())
        m_connectionString = connectionStringText;
    close();
    m_wholeCheckFailure.clear();
    // The paths given apart are cut out of the text first: whatever a folder's name holds
    // (';Password=...') is then no part of what is read.
    QString cs = m_connectionString;
    for (const QString& path : {m_dataSource, m_systemDatabase}) {
        if (!path.isEmpty())
            cs.replace(path, QString());
    }

    const QString provider = connectionStringValue(cs, QStringLiteral("Provider"));
    if (!provider.isEmpty() && provider.compare(QLatin1String(JetProvider), Qt::CaseInsensitive) != 0)
        fail(QStringLiteral("Provider cannot be found. It may not be properly installed."));

    const QString dataSource = !m_dataSource.isEmpty()
        ? m_dataSource
        : connectionStringValue(cs, QStringLiteral("Data Source"));
    const QString systemDb = !m_systemDatabase.isEmpty()
        ? m_systemDatabase
        : connectionStringValue(cs, QStringLiteral("Jet OLEDB:System database"));
    const QString user = connectionStringValue(cs, QStringLiteral("User ID"));
    // The user's passphrase, when set, keys both files in place of the program's passwords.
    const QString userPassword
        = m_passphrase.isEmpty() ? connectionStringValue(cs, QStringLiteral("Password")) : m_passphrase;
    const QString dbPassword = m_passphrase.isEmpty()
        ? connectionStringValue(cs, QStringLiteral("Jet OLEDB:Database Password"))
        : m_passphrase;
    const auto failAs = [this](const Verdict& v) {
        m_openFailure = {v.kind, v.file};
        fail(v.text);
    };

    m_openedDataSource = dataSource;
    m_openedSystemDatabase = systemDb;
    if (dataSource.isEmpty())
        fail(QStringLiteral("No database file was named in the connection string."));
    if (systemDb.isEmpty())
        fail(QStringLiteral("No workgroup information file was named in the connection string."));

    // The workgroup file first: it must exist and know the user with this password.
    if (const Verdict v = reachable(
            systemDb, QStringLiteral("Could not find the workgroup information file '%1'.").arg(systemDb));
        !v.ok())
        failAs(v);
    const QString badAccount
        = QStringLiteral("Not a valid account name or password (workgroup information file '%1').")
              .arg(systemDb);
    const QString damaged
        = QStringLiteral("The file '%1' is damaged: some of its pages cannot be read.");
    // Each file's key is derived from its password with SQLCipher's full rounds when its first
    // page is read, which is most of the time an opening takes. The two files need nothing from
    // each other, so the workgroup file is checked on a thread of its own while DS.dat is read
    // here; its verdict is still told first, as when one came after the other.
    std::future<Verdict> workgroupFailure = std::async(
        std::launch::async | std::launch::deferred, [systemDb, userPassword, user, badAccount, damaged] {
            if (!CipherFile::journalRollsBackWhole(systemDb, userPassword)) {
                const QString journal = systemDb + QStringLiteral("-journal");
                return Verdict {Failure::Damaged, journal, damaged.arg(journal)};
            }
            return workgroupCheck(systemDb, userPassword, user, badAccount, damaged.arg(systemDb));
        });
    const auto userVerdict = [&workgroupFailure, &badAccount, &systemDb, &failAs] {
        Verdict failure;
        try {
            failure = workgroupFailure.get();
        } catch (const VbError&) {
            failure = {Failure::WrongPassword, systemDb, badAccount};
        }
        if (!failure.ok())
            failAs(failure);
    };

    if (const Verdict v = reachable(dataSource, QStringLiteral("Could not find file '%1'.").arg(dataSource));
        !v.ok()) {
        userVerdict();
        failAs(v);
    }
    const QString badDatabase
        = QStringLiteral("Not a valid password, or '%1' is not a survey database.").arg(dataSource);
    sqlite3* db = nullptr;
    QByteArray keyUsed;
    bool ok = false;
    bool busy = false;
    QString journalFailure;
    try {
        if (!CipherFile::journalRollsBackWhole(dataSource, dbPassword)) {
            journalFailure = damaged.arg(dataSource + QStringLiteral("-journal"));
        } else {
            db = CipherFile::open(dataSource, dbPassword, false, badDatabase, &keyUsed);
            // Read at once: a wrong key or a foreign file shows only here. An empty file reads as
            // an empty database, so the ships' table must be there too.
            ok = surveyTablesReadable(db);
            busy = !ok && CipherFile::isBusy(db);
        }
    } catch (const VbError&) {
        ok = false;
    }
    try {
        userVerdict();
    } catch (...) {
        CipherFile::close(db);
        CipherKey::wipe(keyUsed);
        throw;
    }
    if (!journalFailure.isEmpty()) {
        CipherFile::close(db);
        CipherKey::wipe(keyUsed);
        failAs({Failure::Damaged, dataSource + QStringLiteral("-journal"), journalFailure});
    }
    if (!ok) {
        CipherFile::close(db);
        CipherKey::wipe(keyUsed);
        if (busy)
            failAs({Failure::Locked, dataSource, CipherFile::lockedText(dataSource)});
        failAs({Failure::WrongPassword, dataSource, badDatabase});
    }
    const QString damagedData = damaged.arg(dataSource);
    if (m_wholeCheckInBackground && SchemaUpgrade::version(db) >= SchemaUpgrade::CurrentVersion) {
        // A second connection of its own, keyed with the key already derived, reads the pages
        // while the program goes on; nothing is written before its verdict (confirmWhole).
        m_wholeCheckFile = dataSource;
        m_wholeCheck = std::async(std::launch::async, [dataSource, key = keyUsed, damagedData]() mutable {
            QString verdict;
            sqlite3* reader = nullptr;
            try {
                reader = CipherFile::openWithKey(dataSource, key, false, damagedData);
                if (!CipherFile::quickCheck(reader))
                    verdict = damagedData;
            } catch (const VbError& e) {
                verdict = e.description();
            }
            CipherFile::close(reader);
            CipherKey::wipe(key);
            return verdict;
        });
    } else if (!CipherFile::quickCheck(db)) {
        CipherFile::close(db);
        CipherKey::wipe(keyUsed);
        failAs({Failure::Damaged, dataSource, damagedData});
    }
    CipherKey::wipe(keyUsed);
    try {
        // Deleting a port takes its ships with it; the engine only does that when told to.
        CipherFile::exec(db, QStringLiteral("PRAGMA foreign_keys = ON"));
    } catch (...) {
        CipherFile::close(db);
        throw;
    }
    try {
        // A file written by an earlier version gains the tables it lacks.
        SchemaUpgrade::bringUpToDate(db);
    } catch (const VbError& e) {
        // A file that cannot be written (read-only, locked) still opens as it is: its ships and
        // ports work, and what needs the new tables reports their absence when it is used.
        qWarning("%s", qPrintable(e.description()));
    }
    m_db = db;
}

bool Connection::isOpen() const
{
    return m_db != nullptr;
}

void Connection::close()
{
    // The reader of every page has a connection of its own on the file: it ends first.
    if (m_wholeCheck.valid())
        m_wholeCheck.wait();
    m_wholeCheck = {};
    CipherFile::close(m_db);
    m_db = nullptr;
}

void Connection::setWholeCheckInBackground(bool on)
{
    m_wholeCheckInBackground = on;
}

bool Connection::wholeCheckPending() const
{
    return m_wholeCheck.valid() && m_wholeCheck.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

void Connection::confirmWhole()
{
    if (m_wholeCheck.valid())
        m_wholeCheckFailure = m_wholeCheck.get();
    if (!m_wholeCheckFailure.isEmpty()) {
        m_openFailure = {OpenFailure::Damaged, m_wholeCheckFile};
        close();
        fail(m_wholeCheckFailure);
    }
}

sqlite3* Connection::writeHandle(int closedNumber)
{
    confirmWhole();
    if (!m_db)
        throw VbError(closedNumber, QStringLiteral("Operation is not allowed when the object is closed."));
    return m_db;
}

sqlite3* Connection::handle() const
{
    return m_db;
}

void Connection::throwLastError() const
{
    fail(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
              : QStringLiteral("Operation is not allowed when the object is closed."));
}

sqlite3_stmt* Connection::prepare(const QString& sql) const
{
    if (!m_db)
        throwLastError();
    const QByteArray text = translateSql(sql).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), text.size(), &stmt, &tail) != SQLITE_OK)
        throwLastError();
    if (!stmt)
        fail(QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT', or 'UPDATE'."));
    // One statement per text: a second one smuggled in after a quote must never run.
    const QByteArray rest = QByteArray(tail).trimmed();
    if (!rest.isEmpty() && rest != ";") {
        sqlite3_finalize(stmt);
        fail(QStringLiteral("Characters found after end of SQL statement."));
    }
    return stmt;
}

int Connection::execute(const QString& sql)
{
    writeHandle();
    sqlite3_stmt* stmt = prepare(sql);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throwLastError();
    return sqlite3_changes(m_db);
}

// The program composes its statements in the dialect of its first database engine. SQLite needs
// three things said differently:
//  - Mid$(s, start, length) is substr(s, start, length); Left$(s, n) is substr(s, 1, n);
//  - '&' joins texts, which SQLite writes '||' ('&' would be a bitwise and);
//  - a literal with a decimal point (180.5) or an exponent would be parsed into a binary double
//    before it reaches the column, and a draft or a tonnage must stay exactly the figure typed.
//    Such literals are passed as quoted text instead; the numeric columns keep text affinity
//    (see Schema.cpp), so the digits are stored as typed and read back as exact decimals.
//    Whole numbers of up to 18 digits are exact in SQLite and stay as they are.
// Quoted texts, quoted names and comments are copied untouched.
QString Connection::translateSql(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    const int n = sql.size();
    enum class Prev { Start, Operand, Operator } prev = Prev::Start;
    // One entry per open parenthesis: true while it is a Left$( still waiting for its first comma.
    QList<bool> parens;
    bool nextParenIsLeft = false;
    int i = 0;

    auto emitNumber = [&](int start, bool negative) {
        const int len = numberLength(sql, start);
        const QString literal = sql.mid(start, len);
        const bool fractional = literal.contains(QLatin1Char('.'))
                                || literal.contains(QLatin1Char('e'), Qt::CaseInsensitive) || len > 18;
        if (fractional) {
            const std::optional<QString> plain = plainDecimal(literal);
            if (!plain)
                fail(QStringLiteral("The number %1 cannot be written out exactly: its exponent moves the "
                                    "point more than %2 places.")
                         .arg(literal.left(40) + (literal.size() > 40 ? QStringLiteral("...") : QString()))
                         .arg(MaxExponentShift));
            out += QLatin1Char('\'') + (negative ? QStringLiteral("-") : QString()) + *plain
                   + QLatin1Char('\'');
        } else
            out += (negative ? QStringLiteral("-") : QString()) + literal;
        i = start + len;
        prev = Prev::Operand;
    };

    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            while (j < n) {
                if (sql[j] == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && sql[j + 1] == close) {
                        j += 2;  // a doubled quote stays inside the literal
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = qMin(j + 1, n);
            out += sql.mid(i, j - i);
            i = j;
            prev = Prev::Operand;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const int j = sql.indexOf(QLatin1Char('\n'), i);
            const int end = j < 0 ? n : j;
            out += sql.mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int j = sql.indexOf(QLatin1String("*/"), i + 2);
            const int end = j < 0 ? n : j + 2;
            out += sql.mid(i, end - i);
            i = end;
        } else if (isIdentStart(c)) {
            int j = i + 1;
            while (j < n && isIdentChar(sql[j]))
                ++j;
            const QString word = sql.mid(i, j - i);
            int k = j;
            while (k < n && sql[k].isSpace())
                ++k;
            const bool call = k < n && sql[k] == QLatin1Char('(');
            if (call && word.compare(QLatin1String("Mid$"), Qt::CaseInsensitive) == 0) {
                out += QStringLiteral("substr");
            } else if (call && word.compare(QLatin1String("Left$"), Qt::CaseInsensitive) == 0) {
                out += QStringLiteral("substr");
                nextParenIsLeft = true;
            } else {
                out += word;
            }
            i = j;
            prev = isKeywordBeforeOperand(word) ? Prev::Operator : Prev::Operand;
        } else if (isDigit(c) || (c == QLatin1Char('.') && i + 1 < n && isDigit(sql[i + 1]))) {
            if (c == QLatin1Char('0') && i + 1 < n
                && (sql[i + 1] == QLatin1Char('x') || sql[i + 1] == QLatin1Char('X'))) {
                int j = i + 2;
                while (j < n && sql[j].isLetterOrNumber())
                    ++j;
                out += sql.mid(i, j - i);
                i = j;
                prev = Prev::Operand;
            } else {
                emitNumber(i, false);
            }
        } else if (c == QLatin1Char('-') && prev != Prev::Operand && i + 1 < n
                   && numberLength(sql, i + 1) > 0) {
            emitNumber(i + 1, true);
        } else if (c == QLatin1Char('&')) {
            out += QStringLiteral("||");
            ++i;
            prev = Prev::Operator;
        } else if (c == QLatin1Char('(')) {
            parens.append(nextParenIsLeft);
            nextParenIsLeft = false;
            out += c;
            ++i;
            prev = Prev::Operator;
        } else if (c == QLatin1Char(')')) {
            if (!parens.isEmpty())
                parens.removeLast();
            out += c;
            ++i;
            prev = Prev::Operand;
        } else if (c == QLatin1Char(',')) {
            if (!parens.isEmpty() && parens.last()) {
                out += QStringLiteral(",1,");  // Left$(s, n): substr from the first character
                parens.last() = false;
            } else {
                out += c;
            }
            ++i;
            prev = Prev::Operator;
        } else {
            out += c;
            ++i;
            if (!c.isSpace())
                prev = Prev::Operator;
        }
    }
    return out;
}
