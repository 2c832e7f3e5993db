#pragma once

// What the tests on the catalogue server share: the script that starts and stops the throw-away
// server of the test program (QUORVANE_PG_STATE names its state file), the URI of a role on it,
// and one surveyor's program.

#include "db/Connection.h"
#include "db/Database.h"
#include "server/CatalogueServer.h"
#include "tests/TestSupport.h"

#include <QTemporaryDir>
#include <QtGlobal>

namespace ServerTestSupport {

// Runs tools/pg_server.sh with `command` (start, stop, pause, resume); its standard output, or
// nothing after a warning.
inline QString serverScript(const QString& command)
{
    const TestSupport::Run r = TestSupport::runProgram(QStringLiteral("bash"),
        {TestSupport::sourceDir() + QStringLiteral("/tools/pg_server.sh"), command,
            QStringLiteral(QUORVANE_PG_STATE)});
    if (r.status != 0)
        qWarning("pg_server.sh %s: %s", qPrintable(command), qPrintable(r.err));
    return r.status == 0 ? r.out.trimmed() : QString();
}

// The URI of the same server for another user.
inline QString uriFor(const QString& adminUri, const QString& user)
{
    QString uri = adminUri;
    return uri.replace(QStringLiteral("quorvane_admin@"), user + QLatin1Char('@'));
}

// One surveyor's program: its own DS.dat (a fresh delivered copy) and its own server link.
struct Surveyor {
    QTemporaryDir dir;
    Connection copy;
    CatalogueServer server;

    explicit Surveyor(const QString& uri)
    {
        TestSupport::copyDatabaseFiles(TestSupport::deliveredDir(), dir.path());
        openOnDir(copy, dir.path());
        server.setUri(uri);
    }
};

} // namespace ServerTestSupport
