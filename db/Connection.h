#pragma once

#include <QString>
#include <future>

struct sqlite3;
struct sqlite3_stmt;
class RowSet;

// One open session on the survey database: DS.dat, kept encrypted with the database password, and
// DS.lib, the workgroup file that must know the user. Every statement of the program passes through
// here as the text the program composed; the few words of the older SQL dialect that SQLite does
// not speak are translated on the way (see translateSql). Failures throw VbError.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The connection string as the program builds it ("Provider=...;Password=...;User ID=...;
    // Data Source='...';...;Jet OLEDB:System database='...';Jet OLEDB:Database Password = ...").
    void setConnectionString(const QString& text);
    QString connectionString() const;

    // The database and workgroup files named apart from the string: a folder name may hold any
    // character, a quote and a semicolon included, and must never be read as further parts of the
    // string. When set, these take the place of Data Source and System database, and the paths'
    // own text is taken out of the string before it is read. Empty texts return to the string's.
    void setFiles(const QString& dataSource, const QString& systemDatabase);

    // The user's own passphrase (see Protection.h): when not empty, DS.dat and DS.lib are both
    // keyed with it instead of the two passwords of the connection string. It is given apart
    // from the string: a passphrase may hold ';' and '=' and must never be read as parts of it.
    void setPassphrase(const QString& passphrase);
    QString passphrase() const;

    // Opens with the connection string set before; the given text, when not empty, replaces it.
    // Throws VbError (and stays closed) when a file is missing, a password or the user is wrong,
    // or a file is not a survey database; openFailure() then tells which file and what is wrong.
    void open(const QString& connectionStringText = QString());

    // Why the last open failed, for the user: which file, and what is wrong with it.
    struct OpenFailure {
        enum Kind {
            None,
            Missing,  // the file is not there
            NoPermission,  // the file, or its folder, may not be read
            Locked,  // another program holds the file while it writes to it
            Damaged,  // pages of the file (or of its journal) cannot be read
            WrongPassword,  // the key reads nothing: a wrong password or passphrase, or no survey file
            Other,  // the engine's own reason (no such provider, no file named, ...)
        };
        Kind kind = None;
        QString file;  // the file (or folder) concerned
    };
    OpenFailure openFailure() const { return m_openFailure; }
    // Whether the open files are keyed with the passphrase (not with the program's passwords).
    bool openedWithPassphrase() const;
    // The files re-keyed (Protection::rekey): from now on keyed with `passphrase`, or with the
    // program's passwords when it is empty.
    void keyedWith(const QString& passphrase);
    // The files the connection was opened on, as the last open named them.
    QString dataSourcePath() const { return m_openedDataSource; }
    QString systemDatabasePath() const { return m_openedSystemDatabase; }
    bool isOpen() const;
    // Closes; never throws. Safe to call on a closed connection.
    void close();

    // Every page of DS.dat is read once on opening, so that a page damaged further in than the
    // first reads is found before anything is written. By default open() does it before it
    // returns. With this set, open() hands the reading to a thread of its own and returns once
    // the file is known to be the survey database, so that the start goes on meanwhile; the
    // verdict is then waited for by confirmWhole(), and by every write, whichever comes first.
    // A file that must first gain tables or an index is still read whole before it is changed.
    void setWholeCheckInBackground(bool on);
    // Waits for the reading of every page when it is still going on. Throws VbError (and closes)
    // when a page of DS.dat was found damaged, then and on every later call until the next open;
    // otherwise does nothing.
    void confirmWhole();
    // True while that reading is still going on.
    bool wholeCheckPending() const;
    // The handle to write through: confirmWhole() first, so that nothing is written to a file
    // found damaged. Throws "Operation is not allowed when the object is closed." when the
    // connection is not open, with `closedNumber` (a row set reports its own closed object).
    sqlite3* writeHandle(int closedNumber = EngineErrorNumber);

    // Runs a statement that returns no rows (INSERT, UPDATE, DELETE); returns the rows affected.
    int execute(const QString& sql);

    // Translates and compiles one statement for the row sets of this connection; the caller
    // finalizes it. Text after the statement (a second statement) is refused.
    sqlite3_stmt* prepare(const QString& sql) const;
    // Throws the engine's last error on this connection as a VbError.
    [[noreturn]] void throwLastError() const;
    sqlite3* handle() const;

    // The number of every error that comes from the database engine.
    static constexpr int EngineErrorNumber = -2147467259;

    // The dialect translation applied to every statement: Mid$( and Left$( become substr(,
    // & becomes ||, and decimal literals are passed as quoted text so that no figure is ever
    // parsed into a binary double (see Connection.cpp). String literals are left untouched.
    // A literal whose exponent moves the point more than 28 places is refused (VbError): the
    // statement never grows by more than a few dozen characters per literal.
    static QString translateSql(const QString& sql);

    // The parts of a connection string, keys compared without regard to case; quotes around a
    // value and blanks around '=' are removed. Empty when the key is absent.
    static QString connectionStringValue(const QString& text, const QString& key);

private:
    void openFiles(const QString& connectionStringText);

    sqlite3* m_db = nullptr;
    bool m_wholeCheckInBackground = false;
    // What the reading of every page found: empty when the file is whole, else what to tell.
    std::future<QString> m_wholeCheck;
    // Kept once found, until the next open: every later write or confirmation is refused with it.
    QString m_wholeCheckFailure;
    QString m_wholeCheckFile;
    QString m_connectionString;
    QString m_passphrase;
    OpenFailure m_openFailure;
    bool m_openedWithPassphrase = false;
    QString m_openedDataSource;
    QString m_openedSystemDatabase;
    QString m_dataSource;
    QString m_systemDatabase;
};
