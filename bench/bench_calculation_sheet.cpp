// How much the calculation sheet adds to a report's PDF: the loading example with particulars and
// its two drafts, filled and written as the one report page, and filled and written as the whole
// document (the page, then the sheet built and laid out). Prints the median of each and their
// ratio; the aim is the whole document in under 1.5 times the page alone. Checks nothing.
//   bench_calculation_sheet [--runs N] [--mkdb PATH]
#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Database.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/SurveyModel.h"
#include "report/CalculationSheet.h"
#include "report/ReportDocument.h"
#include "report/ReportFiller.h"
#include "report/ReportOutput.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// How long each building of the sheet took (its lines and their layout, before any drawing).
std::vector<double>& buildingMs()
{
    static std::vector<double> times;
    return times;
}

// One report from the survey as read: the filling and the PDF, timed together as --pdf does them.
double once(const SurveyFileData& data, bool withSheet, int* pages, qsizetype* bytes)
{
    QElapsedTimer clock;
    clock.start();
    SurveyModel survey(SurveyModel::Kind::Loading);
    SurveyFileModel::load(survey, data, QStringLiteral("bench.json"));
    const std::optional<ReportLayout> page = ReportFiller::fill(survey, false);
    if (!page)
        return -1;
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    if (withSheet) {
        QElapsedTimer building;
        building.start();
        CalculationSheet sheet = CalculationSheet::build(survey, *page);
        buildingMs().push_back(double(building.nsecsElapsed()) / 1e6);
        const ReportDocument document(*page, std::move(sheet));
        ReportOutput::writePdf(document, &buffer);
        *pages = document.pageCount();
    } else {
        ReportOutput::writePdf(*page, &buffer);
        *pages = 1;
    }
    *bytes = pdf.size();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    int runs = 21;
    QString mkdb
        = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../tools/quorvane-mkdb"));
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = qMax(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--mkdb"))
            mkdb = args[i + 1];
    }
    QTemporaryDir root;
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
    for (const QStringList& a :
        {QStringList{root.path()}, QStringList{root.path(), QStringLiteral("--examples")}}) {
        if (QProcess::execute(mkdb, a) != 0) {
            std::fprintf(stderr, "failed: %s %s\n", qPrintable(mkdb), qPrintable(a.join(' ')));
            return 1;
        }
    }
    MessageService::setTestMode(true);
    AppPaths::setAppDir(root.path());
    openDatabase();
    if (startupFailed())
        return 1;

    QString error;
    std::optional<SurveyFileData> data = SurveyFile::read(
        QStringLiteral(QUORVANE_SOURCE_DIR "/examples/loading-port-hedland.json"), &error);
    if (!data) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    // A survey as a surveyor files it: every particular given, the times of both drafts' readings.
    for (const SurveyParticulars::Item& item : SurveyParticulars::items())
        data->particulars.setValue(item.key, item.label + QStringLiteral(" as written on the form"));
    data->initial.readingsStart = QStringLiteral("07:40");
    data->initial.readingsEnd = QStringLiteral("08:20");
    if (data->final) {
        data->final->readingsStart = QStringLiteral("17:10");
        data->final->readingsEnd = QStringLiteral("17:55");
    }

    int pages = 0;
    qsizetype bytes = 0;
    once(*data, true, &pages, &bytes); // the typeface loaded, the catalogue read once
    std::vector<double> page, whole;
    int wholePages = 0;
    qsizetype pageBytes = 0, wholeBytes = 0;
    for (int i = 0; i < runs; ++i) {
        // Taken in turn, so that a busy moment of the machine falls on both alike.
        page.push_back(once(*data, false, &pages, &pageBytes));
        whole.push_back(once(*data, true, &wholePages, &wholeBytes));
    }
    const double p = median(page);
    const double w = median(whole);
    std::printf("report page alone:        %8.2f ms  (1 page, %lld bytes)\n", p, (long long)pageBytes);
    std::printf("page + calculation sheet: %8.2f ms  (%d pages, %lld bytes)\n", w, wholePages,
        (long long)wholeBytes);
    std::printf("  of which building the sheet: %.2f ms\n", median(buildingMs()));
    std::printf("ratio: %.2f (aim: under 1.5), median of %d runs each\n", p > 0 ? w / p : 0.0, runs);
    closeDatabase();
    return 0;
}
