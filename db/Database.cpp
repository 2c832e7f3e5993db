#include "db/Database.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/Schema.h"

#include <QtGlobal>
#include <future>
#include <optional>

namespace {
bool g_startupFailed = false;
}

Connection& sharedConnection()
{
    static Connection connection;
    return connection;
}

QString databaseConnectionString()
{
    return databaseConnectionString(AppPaths::appDir());
}

QString databaseConnectionString(const QString& dir)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Password=") + Schema::userPassword()
        + QStringLiteral(";User ID=") + Schema::userName() + QStringLiteral(";")
        + QStringLiteral("Data Source='") + dir + QStringLiteral("/DS.dat")
        + QStringLiteral("';Persist Security Info=True;Jet OLEDB:System database='") + dir
        + QStringLiteral("/DS.lib") + QStringLiteral("';")
        + QStringLiteral("Jet OLEDB:Database Password = ") + Schema::databasePassword();
}

void openOnDir(Connection& connection, const QString& dir)
{
    connection.setConnectionString(databaseConnectionString(dir));
    connection.setFiles(dir + QStringLiteral("/DS.dat"), dir + QStringLiteral("/DS.lib"));
    connection.open();
}

void openOnAppDir(Connection& connection)
{
    openOnDir(connection, AppPaths::appDir());
}

namespace {

// The box tells the user only that the start failed; the reason goes to the log for support.
void startupFailure(const char* reason)
{
    qWarning("%s", reason);
    MessageService::startupFailure();
    g_startupFailed = true;
}

// Opens the shared connection on the files of `dir`: empty when it opened, else why not.
std::optional<QString> openShared(const QString& dir, WholeCheck check)
{
    Connection& connection = sharedConnection();
    try {
        connection.close();
        connection.setWholeCheckInBackground(check == WholeCheck::InBackground);
        openOnDir(connection, dir);
    } catch (const VbError& e) {
        return e.description();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
    return std::nullopt;
}

std::future<std::optional<QString>> g_opening;

void finishOpening(const std::optional<QString>& failure)
{
    if (failure)
        startupFailure(qPrintable(*failure));
}

}  // namespace

void openDatabase(WholeCheck check)
{
    g_startupFailed = false;
    finishOpening(openShared(AppPaths::appDir(), check));
}

void beginOpeningDatabase(WholeCheck check)
{
    g_startupFailed = false;
    // The folder is worked out here: it may ask the application object.
    g_opening = std::async(std::launch::async, openShared, AppPaths::appDir(), check);
}

void finishOpeningDatabase()
{
    if (g_opening.valid())
        finishOpening(g_opening.get());
}

bool confirmDatabaseWhole()
{
    if (g_startupFailed)
        return false;  // told already
    try {
        sharedConnection().confirmWhole();
    } catch (const VbError& e) {
        startupFailure(qPrintable(e.description()));
    }
    return !g_startupFailed;
}

bool startupFailed()
{
    return g_startupFailed;
}

void closeDatabase()
{
    try {
        sharedConnection().close();
    } catch (...) {
        // Closing at the end of the run: nothing left to tell the user.
    }
}
