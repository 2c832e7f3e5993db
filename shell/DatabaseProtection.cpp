#include "shell/DatabaseProtection.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Protection.h"
#include "shell/MainWindow.h"
#include "shell/PassphraseKeyring.h"
#include "ui/PassphraseDialog.h"

#include <QDir>

namespace DatabaseProtection {

namespace {

    const QString kProtectTitle = QStringLiteral("Protect the Database");
    const QString kUnprotectTitle = QStringLiteral("Remove the Protection");

    void tell(const QString& text, const QString& title, Msg::Icon icon = Msg::Icon::Exclamation)
    {
        MessageService::show(text, Msg::Buttons::Ok, icon, title);
    }

    QString folder()
    {
        return QDir::toNativeSeparators(AppPaths::appDir());
    }

}  // namespace

const char* protectCommand()
{
    return "ProtectDatabase";
}

const char* unprotectCommand()
{
    return "UnprotectDatabase";
}

void registerCommands()
{
    MainWindow::registerCommand(QLatin1String(protectCommand()), [](MainWindow& mdi) { protect(mdi); });
    MainWindow::registerCommand(QLatin1String(unprotectCommand()), [](MainWindow& mdi) { unprotect(mdi); });
}

void protect(MainWindow& mdi)
{
    Connection& connection = sharedConnection();
    const bool already = connection.openedWithPassphrase();
    const std::optional<PassphraseDialog::Entry> entry
        = PassphraseDialog::ask(PassphraseDialog::Purpose::Choose, AppPaths::appDir(), &mdi);
    if (!entry)
        return;
    const QString problem = Protection::passphraseProblem(entry->passphrase);
    if (!problem.isEmpty()) {
        tell(MessageService::join(QStringLiteral("The database was not protected."), problem),
             kProtectTitle);
        return;
    }
    if (entry->again != entry->passphrase) {
        tell(MessageService::join(QStringLiteral("The database was not protected."),
                                  QStringLiteral("The two passphrases typed differ.")),
             kProtectTitle);
        return;
    }
    const QString question = already
        ? QStringLiteral("DS.dat and DS.lib in %1 will be keyed with the new passphrase; the one in use "
                         "until now will open nothing. Go on?")
              .arg(folder())
        : QStringLiteral("DS.dat and DS.lib in %1 will be keyed with your passphrase; the program's own "
                         "password will open nothing, and without the passphrase nobody can read the "
                         "ships and ports. Go on?")
              .arg(folder());
    if (MessageService::show(question, Msg::Buttons::YesNo, Msg::Icon::Question, kProtectTitle,
                             Msg::Answer::No)
        != Msg::Answer::Yes)
        return;
    try {
        Protection::rekey(connection, entry->passphrase);
    } catch (const VbError& e) {
        tell(MessageService::join(QStringLiteral("The database was not protected."), e.description()),
             kProtectTitle, Msg::Icon::Critical);
        return;
    }
    tell(QStringLiteral("The database in %1 is protected by your passphrase. It will be asked for at every "
                        "start; keep it safe.")
             .arg(folder()),
         kProtectTitle, Msg::Icon::Information);
    // Only where the desktop runs a keyring is it offered; a passphrase kept for this folder before
    // is forgotten either way, as it fits no more.
    PassphraseKeyring::forget(AppPaths::appDir());
    if (PassphraseKeyring::available()
        && MessageService::show(
               QStringLiteral("Keep the passphrase in the desktop's keyring, so that it is not "
                              "asked for at start?"),
               Msg::Buttons::YesNo, Msg::Icon::Question, kProtectTitle, Msg::Answer::No)
            == Msg::Answer::Yes
        && !PassphraseKeyring::store(AppPaths::appDir(), entry->passphrase))
        tell(QStringLiteral("The keyring did not keep the passphrase; it will be asked for at start."),
             kProtectTitle);
}

void unprotect(MainWindow& mdi)
{
    Connection& connection = sharedConnection();
    if (!connection.openedWithPassphrase()) {
        tell(QStringLiteral("The database in %1 is not protected by a passphrase.").arg(folder()),
             kUnprotectTitle, Msg::Icon::Information);
        return;
    }
    const std::optional<PassphraseDialog::Entry> entry
        = PassphraseDialog::ask(PassphraseDialog::Purpose::Confirm, AppPaths::appDir(), &mdi);
    if (!entry)
        return;
    // Whoever sits at the open program must still know the passphrase to take it away.
    if (entry->passphrase != connection.passphrase()) {
        tell(MessageService::join(QStringLiteral("The protection was not removed."),
                                  QStringLiteral("The passphrase typed is not the database's.")),
             kUnprotectTitle);
        return;
    }
    if (MessageService::show(
            QStringLiteral("DS.dat and DS.lib in %1 will be keyed with the program's own password "
                           "again: anyone with the program can then read them. Go on?")
                .arg(folder()),
            Msg::Buttons::YesNo, Msg::Icon::Question, kUnprotectTitle, Msg::Answer::No)
        != Msg::Answer::Yes)
        return;
    try {
        Protection::rekey(connection, QString());
    } catch (const VbError& e) {
        tell(MessageService::join(QStringLiteral("The protection was not removed."), e.description()),
             kUnprotectTitle, Msg::Icon::Critical);
        return;
    }
    PassphraseKeyring::forget(AppPaths::appDir());
    tell(QStringLiteral(
             "The protection was removed: the database in %1 opens with the program's own password "
             "again.")
             .arg(folder()),
         kUnprotectTitle, Msg::Icon::Information);
}

void installStartAsker()
{
    setPassphraseAsker([](const QString& dataDir, int attempt) -> std::optional<QString> {
        // The keyring first, where one runs and keeps the passphrase; the dialog when it keeps none,
        // or after the one it kept opened nothing. A passphrase typed wrong is not asked again.
        static bool fromKeyring = false;
        if (attempt == 0) {
            fromKeyring = false;
            if (const std::optional<QString> kept = PassphraseKeyring::read(dataDir)) {
                fromKeyring = true;
                return kept;
            }
        } else if (!fromKeyring || attempt > 1) {
            return std::nullopt;
        }
        const std::optional<PassphraseDialog::Entry> entry
            = PassphraseDialog::ask(PassphraseDialog::Purpose::Open, dataDir, nullptr);
        if (!entry)
            return std::nullopt;
        return entry->passphrase;
    });
}

}  // namespace DatabaseProtection
