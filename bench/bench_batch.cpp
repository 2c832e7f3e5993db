// Forty survey files to forty PDF reports: in one run of quorvane-lt --survey (the database opened
// once, no window) against forty runs of one file each. Prints timings; it checks nothing.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const int kSurveys = 40;

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString lt = QStringLiteral(QUORVANE_LT_BIN);
    QTemporaryDir dir;
    for (const char* name : {"DS.dat", "DS.lib"})
        QFile::copy(QStringLiteral(QUORVANE_DELIVERED_DIR "/") + QLatin1String(name), dir.filePath(QLatin1String(name)));
    if (!run(QStringLiteral(QUORVANE_MKDB_BIN), {dir.path(), QStringLiteral("--examples")}))
        return 1;
    QDir().mkpath(dir.filePath(QStringLiteral("in")));
    QDir().mkpath(dir.filePath(QStringLiteral("out")));
    QStringList files;
    for (int i = 0; i < kSurveys; ++i) {
        const QString file = dir.filePath(QStringLiteral("in/survey-%1.json").arg(i, 2, 10, QLatin1Char('0')));
        QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/examples/loading-port-hedland.json"), file);
        files << file;
    }

    // Warm the file cache and the font cache first.
    run(lt, {"--survey", files.first(), "--pdf", dir.filePath("warm.pdf"), "--data-dir", dir.path()});

    QList<double> batches;
    QList<double> singles;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        QStringList args{QStringLiteral("--survey")};
        args << files << "--pdf-dir" << dir.filePath("out") << "--data-dir" << dir.path();
        if (!run(lt, args))
            return 1;
        batches << t.nsecsElapsed() / 1e6;

        t.restart();
        for (const QString& f : files)
            if (!run(lt, {"--survey", f, "--pdf", dir.filePath("out/single.pdf"), "--data-dir", dir.path()}))
                return 1;
        singles << t.nsecsElapsed() / 1e6;
    }
    const double batch = median(batches);
    const double single = median(singles);
    std::printf("%d surveys in one run      %9.1f ms  (%.1f ms a survey)\n", kSurveys, batch, batch / kSurveys);
    std::printf("%d runs of one survey      %9.1f ms  (%.1f ms a survey)\n", kSurveys, single, single / kSurveys);
    std::printf("a survey in a batch costs %.2f of a one-survey run\n", (batch / kSurveys) / (single / kSurveys));
    return 0;
}
