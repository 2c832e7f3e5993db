#include "db/Database.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/Schema.h"

#include <QtGlobal>

namespace {
bool g_startupFailed = false;
}

Connection& SharedConnection()
{
    static Connection connection;
    return connection;
}

QString ConnectionString()
{
    return ConnectionString(AppPaths::appDir());
}

QString ConnectionString(const QString& dir)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Password=") + Schema::userPassword()
        + QStringLiteral(";User ID=") + Schema::userName() + QStringLiteral(";")
        + QStringLiteral("Data Source='") + dir + QStringLiteral("/DS.dat")
        + QStringLiteral("';Persist Security Info=True;Jet OLEDB:System database='") + dir
        + QStringLiteral("/DS.lib") + QStringLiteral("';")
        + QStringLiteral("Jet OLEDB:Database Password = ") + Schema::databasePassword();
}

void OpenOnDir(Connection& connection, const QString& dir)
{
    connection.setConnectionString(ConnectionString(dir));
    connection.setFiles(dir + QStringLiteral("/DS.dat"), dir + QStringLiteral("/DS.lib"));
    connection.open();
}

void OpenOnAppDir(Connection& connection)
{
    OpenOnDir(connection, AppPaths::appDir());
}

void OpenDatabase()
{
    g_startupFailed = false;
    Connection& connection = SharedConnection();
    try {
        connection.close();
        OpenOnAppDir(connection);
    } catch (const VbError& e) {
        // The box tells the user only that it failed; the reason goes to the log for support.
        qWarning("%s", qPrintable(e.description()));
        MessageService::startupFailure();
        g_startupFailed = true;
    } catch (const std::exception& e) {
        qWarning("%s", e.what());
        MessageService::startupFailure();
        g_startupFailed = true;
    }
}

bool StartupFailed()
{
    return g_startupFailed;
}

void CloseDatabase()
{
    try {
        SharedConnection().close();
    } catch (...) {
        // Closing at the end of the run: nothing left to tell the user.
    }
}
