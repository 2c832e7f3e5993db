#include "shell/Desktop.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "files/OutputPaths.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The maker's addresses. Every mail and web address the program opens is written here once.
const char* const kSupportMail = "mailto:support@quorvane-marine.example?subject=Quorvane%20Lt";
const char* const kBugReports = "https://www.quorvane-marine.example/support/report-a-problem";
const char* const kSite = "https://www.quorvane-marine.example";

Desktop::AddressOpener& addressOpener()
{
    static Desktop::AddressOpener opener;
    return opener;
}

Desktop::ProgramStarter& programStarter()
{
    static Desktop::ProgramStarter starter;
    return starter;
}

bool startProgram(const QString& program, const QStringList& arguments)
{
    if (programStarter())
        return programStarter()(program, arguments);
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    return QProcess::startDetached(program, arguments, QDir::homePath());
}

bool startFirstOf(const QStringList& programs, const QStringList& arguments = QStringList())
{
    for (const QString& program : programs) {
        if (startProgram(program, arguments))
            return true;
    }
    return false;
}

}  // namespace

namespace Desktop {

QUrl supportMailAddress()
{
    return QUrl(QString::fromLatin1(kSupportMail));
}

QUrl bugReportPage()
{
    return QUrl(QString::fromLatin1(kBugReports));
}

QString webMenuCaption()
{
    return QStringLiteral("Quorvane on the &Web");
}

QList<WebPage> webPages()
{
    const QString site = QString::fromLatin1(kSite);
    return {
        {5, QStringLiteral("&Home Page"), QUrl(site + QStringLiteral("/"))},
        {10, QStringLiteral("Product &News"), QUrl(site + QStringLiteral("/news"))},
        {15, QStringLiteral("&Frequently Asked Questions"), QUrl(site + QStringLiteral("/support/faq"))},
        {20, QStringLiteral("&Updates and Downloads"), QUrl(site + QStringLiteral("/downloads"))},
        {25, QStringLiteral("&Draft Survey Guides"), QUrl(site + QStringLiteral("/guides"))},
    };
}

bool openAddress(const QUrl& address)
{
    if (addressOpener())
        return addressOpener()(address);
    return QDesktopServices::openUrl(address);
}

QStringList calculatorPrograms()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("mate-calc"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
}

QStringList editorPrograms()
{
    return {QStringLiteral("gedit"),    QStringLiteral("gnome-text-editor"), QStringLiteral("kate"),
            QStringLiteral("kwrite"),   QStringLiteral("mousepad"),          QStringLiteral("xed"),
            QStringLiteral("pluma"),    QStringLiteral("leafpad"),           QStringLiteral("featherpad")};
}

QString notesFile()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    AppPaths::makePrivateFolder(dir);
    const QString path = dir + QStringLiteral("/Notes.txt");
    // An empty page for the editor, made as every file is (never over a pipe or the database).
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        OutputPaths::write(path, QByteArray(), nullptr, OutputPaths::Access::OwnerOnly);
    return path;
}

bool startCalculator()
{
    if (startFirstOf(calculatorPrograms()))
        return true;
    MessageService::show(
        MessageService::join(QStringLiteral("No calculator could be started."),
                             QStringLiteral("Install a calculator for your desktop (for example "
                                            "gnome-calculator, kcalc, galculator or xcalc) and try again.")),
        Msg::Buttons::Ok, Msg::Icon::Exclamation);
    return false;
}

bool startNotepad()
{
    if (startFirstOf(editorPrograms()))
        return true;
    if (startProgram(QStringLiteral("xdg-open"), {notesFile()}))
        return true;
    MessageService::show(
        MessageService::join(QStringLiteral("No text editor could be started."),
                             QStringLiteral("Install a text editor for your desktop (for example "
                                            "gedit, kate, mousepad or leafpad) and try again.")),
        Msg::Buttons::Ok, Msg::Icon::Exclamation);
    return false;
}

void setAddressOpener(AddressOpener opener)
{
    addressOpener() = std::move(opener);
}

void setProgramStarter(ProgramStarter starter)
{
    programStarter() = std::move(starter);
}

}  // namespace Desktop
