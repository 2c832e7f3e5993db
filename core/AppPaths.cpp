#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& overrideDir()
{
    static QString dir;
    return dir;
}

QString& overrideUserDataDir()
{
    static QString dir;
    return dir;
}
}  // namespace

namespace AppPaths {

QString appDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    const QByteArray env = qgetenv("QUORVANE_APP_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(env));
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void setAppDir(const QString& dir)
{
    overrideDir() = dir.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

QString userDataDir()
{
    if (!overrideUserDataDir().isEmpty())
        return overrideUserDataDir();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void setUserDataDir(const QString& dir)
{
    overrideUserDataDir() = dir.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

QString appName()
{
    return QStringLiteral("quorvane-lt");
}

}  // namespace AppPaths
