#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

QString& programOverride()
{
    static QString dir;
    return dir;
}

QString cleanAbsolute(const QString& dir)
{
    return dir.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
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
    return chooseDataDir(programDir(), userDataDir());
}

void setAppDir(const QString& dir)
{
    overrideDir() = cleanAbsolute(dir);
}

QString programDir()
{
    if (!programOverride().isEmpty())
        return programOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void setProgramDir(const QString& dir)
{
    programOverride() = cleanAbsolute(dir);
}

QString userDataDir()
{
    if (!overrideUserDataDir().isEmpty())
        return overrideUserDataDir();
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // Without a home folder there is no user's folder: the program's own is all there is.
    return dir.isEmpty() ? programDir() : QDir::cleanPath(dir);
}

QString chooseDataDir(const QString& programDir, const QString& userDir)
{
    // DS.dat holds the user's ships: where it lies beside the program, it is the database, even
    // when its workgroup file has gone missing (the start-up then says it cannot open it, rather
    // than silently showing the user an empty database from elsewhere).
    if (QFileInfo::exists(QDir(programDir).filePath(QStringLiteral("DS.dat"))))
        return QDir::cleanPath(programDir);
    return QDir::cleanPath(userDir);
}

bool usesUserDataDir()
{
    return overrideDir().isEmpty() && qgetenv("QUORVANE_APP_DIR").isEmpty()
        && appDir() == userDataDir() && appDir() != QDir::cleanPath(programDir());
}

void setUserDataDir(const QString& dir)
{
    overrideUserDataDir() = cleanAbsolute(dir);
}

bool makePrivateFolder(const QString& dir)
{
    const QString target = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    QStringList missing;
    for (QString d = target; !d.isEmpty() && !QFileInfo::exists(d);) {
        missing << d;
        const QString up = QFileInfo(d).absolutePath();
        if (up == d)
            break;
        d = up;
    }
    if (missing.isEmpty())
        return QFileInfo(target).isDir();
    if (!QDir().mkpath(target))
        return false;
    const QString user = QDir::cleanPath(userDataDir());
    for (const QString& made : missing) {
        if (made == target || made == user || made.startsWith(user + QLatin1Char('/')))
            QFile::setPermissions(made,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return true;
}

void keepSettingsPrivate(QSettings& settings)
{
    settings.sync();
    const QString file = settings.fileName();
    if (QFileInfo(file).isFile())
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString appName()
{
    return QStringLiteral("quorvane-lt");
}

QSettings settings()
{
    return QSettings(appName(), appName());
}

void setApplicationNames()
{
    // No organisation: the data folder is then ~/.local/share/quorvane-lt rather than
    // ~/.local/share/<organisation>/quorvane-lt. The tip setting names its store itself.
    QCoreApplication::setApplicationName(appName());
    QCoreApplication::setOrganizationName(QString());
}

}  // namespace AppPaths
