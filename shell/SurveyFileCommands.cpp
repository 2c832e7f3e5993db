#include "shell/SurveyFileCommands.h"

#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "shell/MainWindow.h"
#include "files/SurveyFile.h"
#include "survey/SurveyRecovery.h"
#include "survey/SurveyWindow.h"
#include "files/SurveyFileModel.h"
#include "model/SurveyModel.h"
#include "shell/RecentSurveys.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>

namespace {

SurveyFileCommands::FileChooser& chooser()
{
    static SurveyFileCommands::FileChooser c;
    return c;
}

// Where the last survey file was opened or saved during this run.
QString& lastFolder()
{
    static QString folder;
    return folder;
}

QString startFolder()
{
    if (!lastFolder().isEmpty())
        return lastFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

// Files saved as *.qsurvey.json are known to the desktop as surveys (a double-click opens them
// here); older ones named *.json open as well.
const QString kFilter = QStringLiteral("Survey files (*.qsurvey.json *.json);;All files (*)");
const QString kSuffix = QStringLiteral(".qsurvey.json");

QString chooseFile(QWidget* parent, bool forSaving, const QString& suggested)
{
    if (chooser())
        return chooser()(parent, forSaving, suggested);
    if (forSaving)
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Save Survey As"), suggested, kFilter);
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open Survey"), suggested, kFilter);
}

void warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation);
}

// A file name from the ship and the voyage, without the characters file systems refuse.
QString suggestedName(const SurveyWindow& w)
{
    QString name = (w.shipText() + QLatin1Char(' ') + w.voyageIdText()).simplified();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("-"));
    return (name.isEmpty() ? QStringLiteral("survey") : name) + kSuffix;
}

// Opens a survey file (or a recovery file, which is one) in the survey window of its kind.
// `loaded`: whether every value was taken.
SurveyWindow* openIntoWindow(MainWindow& mdi, const QString& path, bool* loaded,
                             SurveyFileModel::Calculate calc = {})
{
    const QString cannotOpen = QStringLiteral("The survey file cannot be opened.");
    QString error;
    const std::optional<SurveyFileData> data = SurveyFile::read(path, &error);
    if (!data) {
        warn(MessageService::join(cannotOpen, error));
        return nullptr;
    }
    if (const std::optional<QString> missing = SurveyFileModel::checkNames(*data, path)) {
        warn(MessageService::join(cannotOpen, *missing));
        return nullptr;
    }

    // Each survey window exists once: one that holds a survey goes only when the user agrees.
    const QString windowClass = data->kind == SurveyFileData::Kind::Loading ? QStringLiteral("frmQuorvane")
                                                                           : QStringLiteral("frmZODuraduza");
    const QString kind = SurveyFileModel::kindCaption(data->kind);
    if (QWidget* open = mdi.findChildWindow(windowClass)) {
        auto* survey = dynamic_cast<SurveyWindow*>(open);
        if (survey && !survey->shipText().isEmpty()) {
            const Msg::Answer answer = MessageService::show(
                MessageService::join(
                    QStringLiteral("The %1 survey on screen is closed (Draft Survey, Recent Surveys "
                                   "brings it back).")
                        .arg(kind),
                    QStringLiteral("Open %1 in its place?").arg(QDir::toNativeSeparators(path))),
                Msg::Buttons::YesNo, Msg::Icon::Question, QString(), Msg::Answer::No);
            if (answer != Msg::Answer::Yes)
                return nullptr;
        }
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget()))
            sub->close();
        else
            open->close();
        if (mdi.findChildWindow(windowClass))
            return nullptr;  // the window would not close
    }

    auto* window = dynamic_cast<SurveyWindow*>(mdi.openChild(windowClass));
    if (!window) {
        warn(MessageService::join(cannotOpen, QStringLiteral("%1: the %2 survey window is not available.")
                                                  .arg(path, kind)));
        return nullptr;
    }
    // The survey enters the file and the window shows it; the user is told what the survey said
    // on the way, then, where the entry stopped short, why. The figures a file brings are no
    // entry of the surveyor's: nothing is kept meanwhile.
    const SurveyRecovery::Pause pause(window);
    const SurveyLoadResult result = window->enterFile(*data, path, calc);
    SurveyWindow::tell(result.told);
    if (loaded)
        *loaded = result.loaded();
    if (result.outcome == SurveyLoadResult::Outcome::Refused) {
        warn(MessageService::join(QStringLiteral("The survey file was not opened completely."),
                                  result.message
                                      + QStringLiteral(" The window shows the survey as far as it was "
                                                       "entered.")));
    } else if (!result.loaded()) {
        warn(MessageService::join(QStringLiteral("The survey file was opened, but not calculated."),
                                  result.message));
    }
    return window;
}

}  // namespace

namespace SurveyFileCommands {

QString openCommand()
{
    return QStringLiteral("OpenSurvey");
}

QString saveCommand()
{
    return QStringLiteral("SaveSurveyAs");
}

void registerCommands()
{
    MainWindow::registerCommand(openCommand(), [](MainWindow& mdi) { openSurvey(mdi); });
    MainWindow::registerCommand(saveCommand(), [](MainWindow& mdi) { saveSurveyAs(mdi); });
}

void setFileChooser(FileChooser c)
{
    chooser() = std::move(c);
}

void openSurvey(MainWindow& mdi)
{
    const QString path = chooseFile(&mdi, false, startFolder());
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    openFile(mdi, path);
}

SurveyWindow* openFile(MainWindow& mdi, const QString& path)
{
    SurveyWindow* window = openIntoWindow(mdi, path, nullptr);
    if (window) {
        if (SurveyRecovery* keeper = SurveyRecovery::of(window))
            keeper->setSurveyFile(path);
        RecentSurveys::remember(path);
    }
    return window;
}

SurveyWindow* reopenRecovered(MainWindow& mdi, const QString& recoveryPath)
{
    const std::optional<SurveyRecovery::Entry> left = SurveyRecovery::entry(recoveryPath);
    bool loaded = false;
    SurveyFileModel::Calculate calc;
    if (left) {
        calc.initial = left->initialCalculated;
        calc.final = left->finalCalculated;
    }
    SurveyWindow* window = openIntoWindow(mdi, recoveryPath, &loaded, calc);
    if (!window || !left)
        return window;
    // Back on the tab it was left on, as the surveyor's click would bring it.
    window->showTab(left->tab);
    // The window goes on in the same file; a survey not entered whole leaves the file as it was.
    if (SurveyRecovery* keeper = SurveyRecovery::of(window); keeper && loaded)
        keeper->adopt(recoveryPath);
    return window;
}

void saveSurveyAs(MainWindow& mdi)
{
    auto* window = dynamic_cast<SurveyWindow*>(mdi.activeChild());
    if (!window) {
        warn(QStringLiteral("Please open a Loading or Discharging survey first."));
        return;
    }
    if (window->shipText().isEmpty()) {
        warn(QStringLiteral("Please select ship name first."));
        return;
    }
    // A figure still being typed is checked first, as before a calculation.
    if (!window->fieldGuard().validateFocused())
        return;
    const QString path = chooseFile(&mdi, true, QDir(startFolder()).filePath(suggestedName(*window)));
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    saveFile(*window, QFileInfo(path).suffix().isEmpty() ? path + kSuffix : path);
}

bool saveFile(SurveyWindow& window, const QString& path)
{
    const SurveyFileData data = window.surveyData();
    QString error;
    if (!SurveyFile::write(path, data, &error)) {
        warn(MessageService::join(QStringLiteral("The survey could not be saved."), error));
        return false;
    }
    // Kept in the file now: the recovery file goes, and the title names the file.
    if (SurveyRecovery* keeper = SurveyRecovery::of(&window))
        keeper->setSurveyFile(path);
    RecentSurveys::remember(path);
    return true;
}

}  // namespace SurveyFileCommands
