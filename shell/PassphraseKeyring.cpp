#include "shell/PassphraseKeyring.h"

#include <QDir>
#include <QFileInfo>

#ifdef QUORVANE_KEYCHAIN
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>
#endif

namespace PassphraseKeyring {

namespace {

#ifdef QUORVANE_KEYCHAIN
    const QString kService = QStringLiteral("quorvane-lt");

    // One entry per database folder, by its canonical path.
    QString keyOf(const QString& dataDir)
    {
        const QString canonical = QFileInfo(dataDir).canonicalFilePath();
        return QStringLiteral("database passphrase:")
            + (canonical.isEmpty() ? QDir::cleanPath(dataDir) : canonical);
    }

    // Runs a job to its end, or gives up after a few seconds (a keyring that does not answer).
    bool run(QKeychain::Job& job)
    {
        job.setAutoDelete(false);
        QEventLoop loop;
        bool finished = false;
        QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
            finished = true;
            loop.quit();
        });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        job.start();
        if (!finished)
            loop.exec();
        return finished && job.error() == QKeychain::NoError;
    }
#endif

}  // namespace

bool available()
{
#ifdef QUORVANE_KEYCHAIN
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()
        && bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value();
#else
    return false;
#endif
}

std::optional<QString> read(const QString& dataDir)
{
#ifdef QUORVANE_KEYCHAIN
    if (!available())
        return std::nullopt;
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(keyOf(dataDir));
    if (!run(job) || job.textData().isEmpty())
        return std::nullopt;
    return job.textData();
#else
    Q_UNUSED(dataDir);
    return std::nullopt;
#endif
}

bool store(const QString& dataDir, const QString& passphrase)
{
#ifdef QUORVANE_KEYCHAIN
    if (!available())
        return false;
    QKeychain::WritePasswordJob job(kService);
    job.setKey(keyOf(dataDir));
    job.setTextData(passphrase);
    return run(job);
#else
    Q_UNUSED(dataDir);
    Q_UNUSED(passphrase);
    return false;
#endif
}

void forget(const QString& dataDir)
{
#ifdef QUORVANE_KEYCHAIN
    if (!available())
        return;
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(keyOf(dataDir));
    run(job);
#else
    Q_UNUSED(dataDir);
#endif
}

}  // namespace PassphraseKeyring
