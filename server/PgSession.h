#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>
#include <stdexcept>

struct pg_conn;

// What the server said when it refused or could not be reached. `unreachable` tells the two
// apart: a server out of reach leaves the copy read-only, a refusal (a right the server's GRANTs
// withhold, a broken rule) is only reported.
class ServerError : public std::runtime_error {
public:
    ServerError(const QString& message, bool unreachable);
    QString message() const { return m_message; }
    bool unreachable() const { return m_unreachable; }

private:
    QString m_message;
    bool m_unreachable;
};

// One session on the catalogue's PostgreSQL server through libpq. The URI is libpq's own
// ("postgresql://user@host:port/db?sslmode=verify-full"), and so are the ways of finding the
// password (~/.pgpass, a service file, PGPASSWORD); a password typed into the window is handed
// over apart from the URI and never kept. Values travel as texts, NULL as a null QString, so that
// a figure's digits reach the server and come back exactly as they were.
class PgSession {
public:
    PgSession() = default;
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    // Connects; throws ServerError (unreachable) when the server cannot be reached or signed
    // into. A URI without connect_timeout waits `timeoutSeconds` at most for an answer.
    void connect(const QString& uri, const QString& password = QString(), int timeoutSeconds = 5);
    bool isOpen() const;
    void close();
    // True when the last connect failed only for want of a password.
    bool neededPassword() const { return m_neededPassword; }

    using Row = QStringList;
    // Runs one statement with $1, $2... bound to `params`; returns its rows. Throws ServerError
    // with the server's message (unreachable when the connection has gone).
    QVector<Row> query(const QString& sql, const QStringList& params = {});
    // The same for a statement whose rows do not matter; returns the rows it touched.
    int exec(const QString& sql, const QStringList& params = {});
    // Several statements in one text, without parameters (the schema).
    void execScript(const QString& sql);

    // The URI with any password taken out, as it may be shown or kept in the settings.
    static QString withoutPassword(const QString& uri);

private:
    struct Result;
    Result run(const QString& sql, const QStringList& params);
    [[noreturn]] void fail(const QString& what);

    pg_conn* m_conn = nullptr;
    bool m_neededPassword = false;
};
