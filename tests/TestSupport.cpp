#include "tests/TestSupport.h"

#include "core/AppPaths.h"
#include "db/Database.h"
#include "core/MessageService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace TestSupport {

void initTestEnvironment()
{
    QLocale::setDefault(QLocale::c());
    MessageService::setTestMode(true);
    MessageService::clearRecords();
    MessageService::clearAnswers();
    QStandardPaths::setTestModeEnabled(true);
    static QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    // Survey windows keep their recovery files here, not in the user's data folder.
    static QTemporaryDir userDataDir;
    AppPaths::setUserDataDir(userDataDir.path());
}

QStringList messageTexts()
{
    QStringList out;
    for (const MessageRecord& r : MessageService::records())
        out << r.text;
    return out;
}

QString deliveredDir()
{
    return QStringLiteral(QUORVANE_DELIVERED_DIR);
}

QString sourceDir()
{
    return QStringLiteral(QUORVANE_SOURCE_DIR);
}

bool copyDatabaseFiles(const QString& from, const QString& to)
{
    for (const char* name : {"DS.dat", "DS.lib"}) {
        const QString target = to + QLatin1Char('/') + QLatin1String(name);
        if (QFile::exists(target) && !QFile::remove(target))
            return false;
        if (!QFile::copy(from + QLatin1Char('/') + QLatin1String(name), target)
            || !QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner))
            return false;
    }
    return true;
}

QString useFreshDatabaseCopy(const QTemporaryDir& dir)
{
    const QString target = dir.path();
    copyDatabaseFiles(deliveredDir(), target);
    AppPaths::setAppDir(target);
    return target;
}

bool openFreshDatabaseCopy(const QTemporaryDir& dir)
{
    useFreshDatabaseCopy(dir);
    openDatabase();
    return !startupFailed();
}

Run runProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env, int timeoutMs)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

}  // namespace TestSupport
