#include "db/Database.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/Schema.h"

#include <QDir>
#include <QtGlobal>
#include <future>
#include <optional>

namespace {
bool g_startupFailed = false;
QString g_passphrase;
PassphraseAsker g_asker;
}  // namespace

void setDatabasePassphrase(const QString& passphrase)
{
    g_passphrase = passphrase;
}

QString databasePassphrase()
{
    return g_passphrase;
}

void setPassphraseAsker(PassphraseAsker asker)
{
    g_asker = std::move(asker);
}

QString startupFailureText(const Connection& connection, const QString& description)
{
    using Failure = Connection::OpenFailure;
    const Failure f = connection.openFailure();
    const QString file = QDir::toNativeSeparators(f.file);
    QString detail;
    switch (f.kind) {
    case Failure::Missing:
        detail
            = QStringLiteral("The file %1 is missing. Restore DS.dat and DS.lib together from your backup, "
                             "or write a new database with quorvane-mkdb.")
                  .arg(file);
        break;
    case Failure::NoPermission:
        detail = QStringLiteral("You have no permission to read %1. Ask its owner for access, or start the "
                                "program as the user who owns the database.")
                     .arg(file);
        break;
    case Failure::Locked:
        detail = QStringLiteral(
                     "The file %1 is in use by another program, which holds it while it writes to it; "
                     "it was waited for, in vain. Close the other program, or wait until it has "
                     "finished, and start Quorvane Lt again.")
                     .arg(file);
        break;
    case Failure::Damaged:
        detail = QStringLiteral(
                     "The file %1 is damaged: some of its pages cannot be read. It was left as it is; "
                     "restore DS.dat and DS.lib together from your backup.")
                     .arg(file);
        break;
    case Failure::WrongPassword:
        detail = QStringLiteral("The file %1 does not open with the password or the passphrase given: the "
                                "passphrase is wrong, or the file is not a survey database.")
                     .arg(file);
        break;
    case Failure::None:
    case Failure::Other:
        detail = description;
        break;
    }
    return MessageService::join(QStringLiteral("The survey database could not be opened."), detail);
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
    connection.setPassphrase(g_passphrase);
    connection.open();
}

void openOnAppDir(Connection& connection)
{
    openOnDir(connection, AppPaths::appDir());
}

namespace {

// The box says which file and what is wrong with it; the engine's own words go to the log too.
void startupFailure(const QString& description)
{
    qWarning("%s", qPrintable(description));
    MessageService::startupFailure(startupFailureText(sharedConnection(), description));
    g_startupFailed = true;
}

// Opens the shared connection on the files of `dir` with `passphrase`: empty when it opened,
// else why not.
std::optional<QString> openShared(const QString& dir, WholeCheck check, const QString& passphrase)
{
    Connection& connection = sharedConnection();
    try {
        connection.close();
        connection.setWholeCheckInBackground(check == WholeCheck::InBackground);
        connection.setConnectionString(databaseConnectionString(dir));
        connection.setFiles(dir + QStringLiteral("/DS.dat"), dir + QStringLiteral("/DS.lib"));
        connection.setPassphrase(passphrase);
        connection.open();
    } catch (const VbError& e) {
        return e.description();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
    return std::nullopt;
}

std::future<std::optional<QString>> g_opening;
WholeCheck g_check = WholeCheck::BeforeOpening;

void finishOpening(std::optional<QString> failure)
{
    // Files that open neither with the program's passwords nor with a passphrase given: a
    // protected database, whose passphrase the user is asked for (once; a wrong one is refused
    // as a wrong password is).
    for (int attempt = 0; failure && g_asker
         && sharedConnection().openFailure().kind == Connection::OpenFailure::WrongPassword;
         ++attempt) {
        const std::optional<QString> given = g_asker(AppPaths::appDir(), attempt);
        // Cancelled, the start ends with the box of a wrong password.
        if (!given)
            break;
        g_passphrase = *given;
        failure = openShared(AppPaths::appDir(), g_check, g_passphrase);
    }
    if (failure)
        startupFailure(*failure);
}

}  // namespace

void openDatabase(WholeCheck check)
{
    g_startupFailed = false;
    g_check = check;
    finishOpening(openShared(AppPaths::appDir(), check, g_passphrase));
}

void beginOpeningDatabase(WholeCheck check)
{
    g_startupFailed = false;
    g_check = check;
    // The folder is worked out here: it may ask the application object.
    g_opening = std::async(std::launch::async, openShared, AppPaths::appDir(), check, g_passphrase);
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
        startupFailure(e.description());
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
