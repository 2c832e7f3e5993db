#include "server/PgSession.h"

#include <QUrl>
#include <QUrlQuery>
#include <libpq-fe.h>
#include <memory>
#include <string>
#include <vector>

ServerError::ServerError(const QString& message, bool unreachable)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_unreachable(unreachable)
{
}

struct PgSession::Result {
    std::unique_ptr<PGresult, decltype(&PQclear)> res{nullptr, &PQclear};
};

PgSession::~PgSession()
{
    close();
}

namespace {

QString trimmedMessage(const char* text)
{
    return QString::fromUtf8(text).trimmed();
}

} // namespace

void PgSession::connect(const QString& uri, const QString& password, int timeoutSeconds)
{
    close();
    m_neededPassword = false;
    const QByteArray timeout = QByteArray::number(timeoutSeconds);
    const QByteArray dsn = uri.toUtf8();
    const QByteArray pass = password.toUtf8();
    // connect_timeout before the URI, so that the URI's own value overrides it; the typed
    // password after it, so that it is used.
    std::vector<const char*> keys{"connect_timeout", "dbname", "application_name"};
    std::vector<const char*> values{timeout.constData(), dsn.constData(), "quorvane-lt"};
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(pass.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (!m_conn)
        throw ServerError(QStringLiteral("out of memory"), true);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        m_neededPassword = PQconnectionNeedsPassword(m_conn) != 0;
        const QString text = trimmedMessage(PQerrorMessage(m_conn));
        close();
        throw ServerError(text, true);
    }
    // Figures come back in the digits they went in with, dates in one form, whoever the server is.
    exec(QStringLiteral("SET client_encoding = 'UTF8'; SET DateStyle = 'ISO'"));
}

bool PgSession::isOpen() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

void PgSession::close()
{
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
}

void PgSession::fail(const QString& what)
{
    const bool gone = !m_conn || PQstatus(m_conn) != CONNECTION_OK;
    throw ServerError(what, gone);
}

PgSession::Result PgSession::run(const QString& sql, const QStringList& params)
{
    if (!m_conn)
        throw ServerError(QStringLiteral("not connected to the catalogue server"), true);
    const QByteArray text = sql.toUtf8();
    std::vector<QByteArray> bytes;
    std::vector<const char*> values;
    bytes.reserve(params.size());
    for (const QString& p : params) {
        bytes.push_back(p.toUtf8());
        values.push_back(p.isNull() ? nullptr : bytes.back().constData());
    }
    Result r;
    if (params.isEmpty())
        r.res.reset(PQexec(m_conn, text.constData()));
    else
        r.res.reset(PQexecParams(
            m_conn, text.constData(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = r.res ? PQresultStatus(r.res.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const char* message = r.res ? PQresultErrorField(r.res.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        fail(message ? QString::fromUtf8(message) : trimmedMessage(PQerrorMessage(m_conn)));
    }
    return r;
}

QVector<PgSession::Row> PgSession::query(const QString& sql, const QStringList& params)
{
    const Result r = run(sql, params);
    const int rows = PQntuples(r.res.get());
    const int cols = PQnfields(r.res.get());
    QVector<Row> out;
    out.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        Row row;
        row.reserve(cols);
        for (int c = 0; c < cols; ++c)
            row.append(PQgetisnull(r.res.get(), i, c) ? QString()
                                                      : QString::fromUtf8(PQgetvalue(r.res.get(), i, c)));
        out.append(row);
    }
    return out;
}

int PgSession::exec(const QString& sql, const QStringList& params)
{
    const Result r = run(sql, params);
    return QByteArray(PQcmdTuples(r.res.get())).toInt();
}

void PgSession::execScript(const QString& sql)
{
    run(sql, {});
}

QString PgSession::withoutPassword(const QString& uri)
{
    QUrl url(uri, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty()) {
        url.setPassword(QString());
        QUrlQuery query(url);
        query.removeAllQueryItems(QStringLiteral("password"));
        url.setQuery(query);
        return url.toString();
    }
    // A key=value connection string: every password=... taken out.
    QStringList kept;
    for (const QString& part : uri.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (!part.trimmed().startsWith(QLatin1String("password"), Qt::CaseInsensitive))
            kept.append(part);
    return kept.join(QLatin1Char(' '));
}
