#include "cli/SurveyCommandLine.h"

#include "core/AppPaths.h"
#include "cli/CommandLineStart.h"
#include "cli/ServerCommandLine.h"
#include "cli/WindowCommandLine.h"
#include "core/MessageService.h"
#include "db/Database.h"
#include "files/OutputPaths.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/SurveyModel.h"
#include "model/SurveyFinding.h"
#include "report/CalculationSheet.h"
#include "report/ReportFiller.h"
#include "report/ReportOutput.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cstdio>
#include <algorithm>
#include <cstdlib>

namespace {

struct Options {
    QStringList surveys;
    QString pdf;
    QString captions;
    QString pdfDir;
    QString captionsDir;
    QString dataDir;
    QString server;  // --server URI: the catalogue server the copy is brought up to date from
    QString passphraseFile;  // --passphrase-file: the passphrase of a protected database
    bool help = false;
    bool strict = false;  // a warning about the survey fails the run
};

void printErr(const QString& text)
{
    MessageService::printError(text);
}

// The command line as given; false with `error` set when it cannot be understood.
bool parse(const QStringList& args, Options* o, QString* error)
{
    for (int i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        QString value;
        bool inlineValue = false;
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            value = name.mid(name.indexOf(QLatin1Char('=')) + 1);
            name = name.left(name.indexOf(QLatin1Char('=')));
            inlineValue = true;
        }
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            o->help = true;
            continue;
        }
        if (name == QLatin1String("--strict") && !inlineValue) {
            o->strict = true;
            continue;
        }
        if (name == QLatin1String("--survey") && !inlineValue) {
            // Every name up to the next option is a survey file.
            const qsizetype before = o->surveys.size();
            while (i + 1 < args.size() && !args.at(i + 1).startsWith(QLatin1String("--")))
                o->surveys << args.at(++i);
            if (o->surveys.size() == before) {
                *error = QStringLiteral("--survey needs a value");
                return false;
            }
            continue;
        }
        QString* target = name == QLatin1String("--pdf") ? &o->pdf
            : name == QLatin1String("--captions")        ? &o->captions
            : name == QLatin1String("--pdf-dir")         ? &o->pdfDir
            : name == QLatin1String("--captions-dir")    ? &o->captionsDir
            : name == QLatin1String("--data-dir")        ? &o->dataDir
            : name == QLatin1String("--passphrase-file") ? &o->passphraseFile
            : name == QLatin1String("--server")          ? &o->server
                                                         : nullptr;
        if (name == QLatin1String("--survey") && inlineValue) {
            if (value.isEmpty()) {
                *error = QStringLiteral("--survey needs a value");
                return false;
            }
            o->surveys << value;
            continue;
        }
        if (!target) {
            *error = QStringLiteral("unknown argument \"%1\"").arg(args.at(i));
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = args.at(++i);
        }
        if (value.isEmpty()) {
            *error = QStringLiteral("%1 needs a value").arg(name);
            return false;
        }
        *target = value;
    }
    if (o->help)
        return true;
    if (o->surveys.isEmpty()) {
        *error = QStringLiteral("--survey FILE is needed");
        return false;
    }
    if (o->surveys.size() > 1 && (!o->pdf.isEmpty() || !o->captions.isEmpty())) {
        *error = QStringLiteral("--pdf and --captions name the outputs of one survey; with several use "
                                "--pdf-dir and --captions-dir");
        return false;
    }
    // Two surveys of one name would write over each other's report in the folder.
    QSet<QString> names;
    for (const QString& survey : o->surveys) {
        const QString base = QFileInfo(survey).completeBaseName();
        if (names.contains(base) && (!o->pdfDir.isEmpty() || !o->captionsDir.isEmpty())) {
            *error = QStringLiteral("two survey files are called \"%1\": their reports would have one name")
                         .arg(base);
            return false;
        }
        names.insert(base);
    }
    for (const QString* dir : {&o->pdfDir, &o->captionsDir}) {
        if (!dir->isEmpty() && !QFileInfo(*dir).isDir()) {
            *error = QStringLiteral("%1 is no folder").arg(*dir);
            return false;
        }
    }
    return true;
}

// Every box the windows would show, as its title and text on standard error. A question has no
// one to answer it here: it is answered No (or Cancel), which changes and discards nothing.
Msg::Answer printMessage(const MessageRecord& r)
{
    QString text = r.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Msg::Answer answer = Msg::Answer::Ok;
    QString answered;
    if (r.buttons == Msg::Buttons::YesNo) {
        answer = Msg::Answer::No;
        answered = QStringLiteral("\n(answered No)");
    } else if (r.buttons == Msg::Buttons::YesNoCancel || r.buttons == Msg::Buttons::OkCancel) {
        answer = Msg::Answer::Cancel;
        answered = QStringLiteral("\n(answered Cancel)");
    }
    printErr(QStringLiteral("[%1]\n%2%3\n\n").arg(r.title, text, answered));
    return answer;
}

// The offscreen platform's remarks about what it cannot do for a window nobody sees, and the
// missing runtime folder of a session without a desktop, are no news to the user here.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith(QLatin1String("This plugin does not support"))
        || text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    printErr(qFormatLogMessage(type, context, text) + QLatin1Char('\n'));
    if (type == QtFatalMsg)
        std::abort();
}

void tell(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation);
}

QByteArray captionsJson(const ReportDocument& document, const SurveyFindings& findings,
                        const QJsonArray& draftChecks = {})
{
    const ReportLayout& layout = document.page();
    QJsonObject o;
    const QMap<QString, QString> filled = layout.filledCaptionTexts();
    for (auto it = filled.begin(); it != filled.end(); ++it)
        o.insert(it.key(), it.value());
    // What the surveyor should look at before signing, beside the captions of the page.
    QJsonArray checks;
    for (const SurveyFinding& f : findings)
        checks.append(QJsonObject{{QStringLiteral("code"), f.code},
                                  {QStringLiteral("severity"), f.severityName()},
                                  {QStringLiteral("draft"), f.draftName()},
                                  {QStringLiteral("text"), f.text}});
    o.insert(QStringLiteral("checks"), checks);
    // The calculation sheet's figures, line by line, under the names its lines carry.
    if (document.sheet())
        o.insert(QStringLiteral("sheet"), QJsonObject::fromVariantMap(document.sheet()->captions()));
    // Each tank read, draft by draft; only a survey from soundings has them.
    if (document.tanks())
        o.insert(QStringLiteral("tanks"), QJsonObject::fromVariantMap(document.tanks()->captions()));
    // The draft checks read between the two drafts, when the survey has any.
    if (!draftChecks.isEmpty())
        o.insert(QStringLiteral("draftChecks"), draftChecks);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

QString databaseUnreadable()
{
    return QStringLiteral("the survey database (DS.dat and DS.lib in %1) cannot be opened")
        .arg(QDir::toNativeSeparators(AppPaths::appDir()));
}

// Both files are made in full before either is put in place, so that a failure leaves nothing
// half written.
// Where one survey's report goes.
struct Outputs {
    QString pdf;
    QString captions;
    // With --pdf-dir and --captions-dir: the folders and the survey's base name, where each draft
    // check's report goes beside the survey's as "<base>-check-<n>.pdf" and ".json".
    QString pdfDir, captionsDir, base;

    Outputs forCheck(int n) const
    {
        const QString name = base + QStringLiteral("-check-%1").arg(n);
        const QString pdfName = name + QStringLiteral(".pdf");
        const QString jsonName = name + QStringLiteral(".json");
        return {pdfDir.isEmpty() ? QString() : QDir(pdfDir).filePath(pdfName),
                captionsDir.isEmpty() ? QString() : QDir(captionsDir).filePath(jsonName), QString(),
                QString(), QString()};
    }
};

// The draft checks as the captions file lists them: date, time, net displacement and the cargo
// since the Initial draft, as the Daily tab shows them.
QJsonArray draftChecksJson(const SurveyModel& survey)
{
    QJsonArray list;
    for (int check : survey.draftChecks()) {
        const std::optional<Decimal> cargo = survey.cargoSince(check);
        list.append(QJsonObject{{QStringLiteral("date"), survey.inputs(check).date},
                                {QStringLiteral("time"), survey.inputs(check).time},
                                {QStringLiteral("net"), survey.netDisplacementText(check)},
                                {QStringLiteral("cargo"), cargo ? cargo->toString() : QString()}});
    }
    return list;
}

bool writeOutputs(const ReportDocument& layout, const SurveyFindings& findings, const Outputs& o,
                  QString* error, const QJsonArray& draftChecks = {})
{
    QByteArray pdf;
    if (!o.pdf.isEmpty()) {
        QBuffer buffer(&pdf);
        if (!buffer.open(QIODevice::WriteOnly) || !ReportOutput::writePdf(layout, &buffer)) {
            *error = QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(o.pdf));
            return false;
        }
    }
    const QByteArray json =
        o.captions.isEmpty() ? QByteArray() : captionsJson(layout, findings, draftChecks);
    // The pages of the database have been read meanwhile; a report from a damaged one is not made.
    if (!confirmDatabaseWhole()) {
        *error = QStringLiteral("The survey database (DS.dat and DS.lib in %1) is damaged: no report is made "
                                "from it.")
                     .arg(QDir::toNativeSeparators(AppPaths::appDir()));
        return false;
    }

    // Both are staged beside their places before either goes in, so that a failure leaves the
    // files that were there as they were.
    OutputPaths::Output pdfFile(o.pdf);
    OutputPaths::Output jsonFile(o.captions);
    if (!o.pdf.isEmpty() && !pdfFile.stage(pdf, error))
        return false;
    if (!o.captions.isEmpty() && !jsonFile.stage(json, error, {o.pdf}))
        return false;
    if (!o.pdf.isEmpty() && !pdfFile.commit(error))
        return false;
    if (!o.captions.isEmpty() && !jsonFile.commit(error))
        return false;
    return true;
}

// One survey file to its report. Returns the exit status of that file.
int runOne(const QString& path, const Outputs& outputs, bool strict)
{
    const QString cannotOpen = QStringLiteral("The survey file cannot be opened.");
    QString error;
    SurveyFile::Failure failure = SurveyFile::Failure::None;
    const std::optional<SurveyFileData> data = SurveyFile::read(path, &error, &failure);
    if (!data) {
        tell(MessageService::join(cannotOpen, error));
        return failure == SurveyFile::Failure::Refused ? SurveyCommandLine::Refused
                                                       : SurveyCommandLine::Failed;
    }
    if (const std::optional<QString> missing = SurveyFileModel::checkNames(*data, path)) {
        tell(MessageService::join(cannotOpen, *missing));
        return SurveyCommandLine::Failed;
    }
    SurveyModel survey(data->kind == SurveyFileData::Kind::Discharging ? SurveyModel::Kind::Discharging
                                                                       : SurveyModel::Kind::Loading);
    const SurveyLoadResult result = SurveyFileModel::load(survey, *data, path);
    for (const SurveyMessage& m : result.told)
        MessageService::show(m.text, Msg::Buttons::Ok, m.icon, m.title);
    if (!result.loaded()) {
        tell(MessageService::join(QStringLiteral("No report was written."), result.message));
        return SurveyCommandLine::Refused;
    }
    const std::optional<ReportLayout> layout = ReportFiller::fill(survey, false);
    if (!layout) {
        tell(MessageService::join(QStringLiteral("No report was written."),
                                  QStringLiteral("%1: the survey cannot be reported.").arg(path)));
        return SurveyCommandLine::Refused;
    }
    const SurveyFindings findings = survey.findings();
    // The whole document: the report page, the tank sheet of a survey from soundings, and the
    // calculation sheet.
    const ReportDocument document(
        *layout, TankSheetPages::build(survey, *layout), CalculationSheet::build(survey, *layout));
    if (!writeOutputs(document, findings, outputs, &error, draftChecksJson(survey))) {
        tell(MessageService::join(QStringLiteral("No report was written."), error));
        return SurveyCommandLine::Failed;
    }
    // Each draft check's own page beside the survey's, when the outputs go to folders.
    if (!outputs.pdfDir.isEmpty() || !outputs.captionsDir.isEmpty()) {
        for (int check : survey.draftChecks()) {
            const int n = SurveyModel::checkNumber(check);
            const Outputs own = outputs.forCheck(n);
            const QString none = QStringLiteral("No report was written for draft check %1.").arg(n);
            const std::optional<ReportLayout> page = ReportFiller::fillCheck(survey, check, false);
            if (!page) {
                const QString why = QStringLiteral("%1: the draft check cannot be reported.").arg(path);
                tell(MessageService::join(none, why));
                return SurveyCommandLine::Refused;
            }
            const SurveyFindings seen =
                survey.draftFindings(SurveyModel::Initial) + survey.draftFindings(check);
            const QString refused = OutputPaths::firstRefusal({own.pdf, own.captions});
            if (!refused.isEmpty()) {
                tell(MessageService::join(none, refused));
                return SurveyCommandLine::Failed;
            }
            if (!writeOutputs(*page, seen, own, &error)) {
                tell(MessageService::join(none, error));
                return SurveyCommandLine::Failed;
            }
        }
    }
    // The report stands as made; the warnings are for the surveyor to look into before signing.
    bool warned = false;
    for (const SurveyFinding& f : findings) {
        if (!f.isWarning())
            continue;
        printErr(QStringLiteral("warning: %1: %2\n").arg(path, f.text));
        warned = true;
    }
    return warned && strict ? SurveyCommandLine::Warned : SurveyCommandLine::Done;
}

// How bad a file's status is: a report made with warnings is better than a survey refused, and a
// refused survey better than a file that could not be read or written at all.
int severity(int status)
{
    switch (status) {
    case SurveyCommandLine::Done: return 0;
    case SurveyCommandLine::Warned: return 1;
    case SurveyCommandLine::Refused: return 2;
    default: return 3;
    }
}

int run(const Options& o)
{
    // The outputs named on the command line are checked, against the database's folder, before
    // anything is read or written.
    const CommandLineStart::Outcome start = CommandLineStart::prepareDataFolder(o.dataDir, [&o] {
        const QString refused = OutputPaths::firstRefusal({o.pdf, o.captions});
        if (refused.isEmpty())
            return true;
        printErr(QStringLiteral("quorvane-lt: %1 Nothing was written.\n").arg(refused));
        return false;
    });
    if (!start.refusal.isEmpty())
        printErr(QStringLiteral("quorvane-lt: %1\n").arg(start.refusal));
    if (!start.go)
        return SurveyCommandLine::Failed;
    if (!start.prepared)
        printErr(QStringLiteral("quorvane-lt: %1\n").arg(start.prepareError));
    // A protected database opens with the passphrase of --passphrase-file or the environment.
    if (!CommandLineStart::usePassphrase(o.passphraseFile))
        return SurveyCommandLine::Failed;
    // The database is opened once for the whole run.
    // The files are opened on a thread of their own, and then every page of DS.dat is read while
    // the surveys are worked out; its verdict is waited for before the first report is written.
    beginOpeningDatabase(WholeCheck::InBackground);
    // The report's typeface is loaded while the files are keyed.
    ReportLayout::loadTypeface();
    finishOpeningDatabase();
    if (startupFailed()) {
        printErr(QStringLiteral("quorvane-lt: %1\n").arg(databaseUnreadable()));
        return SurveyCommandLine::Failed;
    }
    // Out of reach, the surveys are reported from the copy as it is.
    ServerCommandLine::bringCopyUpToDate(o.server);

    // Each file on its own: a refused one is told and the others still get their reports. The
    // run ends with the worst status of them.
    int worst = SurveyCommandLine::Done;
    for (const QString& path : o.surveys) {
        Outputs outputs{o.pdf, o.captions};
        const QString base = QFileInfo(path).completeBaseName();
        if (!o.pdfDir.isEmpty())
            outputs.pdf = QDir(o.pdfDir).filePath(base + QStringLiteral(".pdf"));
        if (!o.captionsDir.isEmpty())
            outputs.captions = QDir(o.captionsDir).filePath(base + QStringLiteral(".json"));
        outputs.pdfDir = o.pdfDir;
        outputs.captionsDir = o.captionsDir;
        outputs.base = base;
        int status = SurveyCommandLine::Failed;
        if (const QString refused = OutputPaths::firstRefusal({outputs.pdf, outputs.captions});
            !refused.isEmpty())
            printErr(QStringLiteral("quorvane-lt: %1 Nothing was written for %2.\n").arg(refused, path));
        else
            status = runOne(path, outputs, o.strict);
        if (severity(status) > severity(worst))
            worst = status;
        if (startupFailed())
            return SurveyCommandLine::Failed;  // the database was found damaged: nothing more is read
    }
    if (!confirmDatabaseWhole()) {
        printErr(QStringLiteral("quorvane-lt: %1\n").arg(databaseUnreadable()));
        return SurveyCommandLine::Failed;
    }
    return worst;
}

}  // namespace

namespace SurveyCommandLine {

bool wanted(const QStringList& arguments)
{
    for (const QString& a : arguments) {
        if (a == QLatin1String("--survey") || a.startsWith(QLatin1String("--survey="))
            || a == QLatin1String("--help") || a == QLatin1String("-h"))
            return true;
    }
    return false;
}

bool wanted(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return wanted(args);
}

QString helpText()
{
    return WindowCommandLine::usageLines()
        + QStringLiteral(
               "\n"
               "With --survey it runs without any window on screen:\n"
               "  --survey FILE...     the survey files to load (JSON, \"format\": \"quorvane-survey/1\";\n"
               "                       see examples/). Each is loaded as a survey of its kind (Loading or\n"
               "                       Discharging) with all the field checks and roundings of the survey\n"
               "                       window, then the Initial draft calculated, then, when the file has\n"
               "                       one, the Final. No window is made.\n"
               "  --pdf OUT.pdf        writes the filled report page as a PDF file (A4), followed by\n"
               "                       the pages of the calculation sheet.\n"
               "  --captions OUT.json  writes every value caption the report filled as a JSON object,\n"
               "                       caption name to text, e.g. \"lblInitNGDisp\": \"29348.62818 MT\", "
               "and\n"
               "                       under \"checks\" the findings on the survey, each with its "
               "\"code\",\n"
               "                       \"severity\" (information or warning), \"draft\" (initial, final or\n"
               "                       survey) and \"text\"; under \"sheet\" the calculation sheet's\n"
               "                       figures, line by line (\"final.netDisplacement\": ...).\n"
               "  --pdf-dir DIR        writes each survey's report as DIR/<file's base name>.pdf.\n"
               "  --captions-dir DIR   writes each survey's captions as DIR/<file's base name>.json.\n"
               "                       A survey with draft checks (\"draftChecks\") gets one more\n"
               "                       report per check beside its own, <base>-check-<n>.pdf and .json,\n"
               "                       and its captions list the checks under \"draftChecks\".\n"
               "  --data-dir DIR       reads the survey database DS.dat and DS.lib from DIR instead of\n"
               "                       the folder named above.\n"
               "  --passphrase-file FILE  the passphrase of a protected database (Tools, Protect the\n"
               "                       Database...), on the first line of FILE; without it the variable\n"
               "                       QUORVANE_PASSPHRASE is read. A passphrase is never an argument.\n"
               "  --server URI         brings the copy of the catalogue in DS.dat up to date from the\n"
               "                       company's PostgreSQL server first (libpq's URI; the password from\n"
               "                       ~/.pgpass or a service file); out of reach, the copy serves as it "
               "is.\n"
               "  --strict             a warning about a survey makes the exit status 3.\n"
               "  --help               shows this text.\n"
               "\n"
               "Every message a window would show is written to standard error as its title and text;\n"
               "a question is answered No. The plausibility warnings after a calculation are written\n"
               "and the run goes on. After each calculation the survey is checked as a surveyor would\n"
               "before signing (list, trim, density, hull deflection, hydrostatic rows, summer draft and\n"
               "deadweight, cargo against the B/L); each warning is written to standard error as\n"
               "\"warning: FILE: text\" and the report is still made.\n"
               "\n"
               "Exit status:\n"
               "  0  the report was made (and written where asked)\n"
               "  1  bad command line, a file that cannot be read or is no survey, a ship, port or\n"
               "     deductible item the database does not hold, no database, or an output that\n"
               "     cannot be written or may not be: a file of the database, something that is no plain\n"
               "     file, or one file named for both outputs (nothing is written then)\n"
               "  2  a value refused by its field, a deductible item given twice or under a key that is "
               "not\n"
               "     its plain number, or a draft that failed a check of its calculation; nothing is\n"
               "     written for that survey\n"
               "  3  with --strict: the report was made, but a check warned about the survey\n"
               "With several survey files a refused one is reported with its name and the others are\n"
               "still reported; the exit status is the worst of them (1 before 2 before 3).\n"
               "\n"
               "The example surveys need their ship and ports in the database:\n"
               "  quorvane-mkdb DIR --examples    adds them to DIR/DS.dat where they are missing\n"
               "  quorvane-mkdb --examples        adds them to the database the program uses\n");
}

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    Options o;
    QString error;
    if (!parse(args, &o, &error))
        return WindowCommandLine::refuse(error, Failed);
    if (o.help) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return Done;
    }

    // No display is needed or used: the survey is worked out without a window, and the page is
    // drawn into its PDF off screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QGuiApplication app(argc, argv);
    AppPaths::setApplicationNames();
    MessageService::setSink(printMessage);
    const int status = run(o);
    MessageService::setSink({});
    closeDatabase();
    return status;
}

}  // namespace SurveyCommandLine
