#include "cli/WindowCommandLine.h"

#include "cli/SurveyCommandLine.h"
#include "core/MessageService.h"

#include <QFileInfo>

namespace WindowCommandLine {

Options parse(const QStringList& arguments)
{
    Options o;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("debug")) {
            o.debug = true;
        } else if (a == QLatin1String("--data-dir") || a.startsWith(QLatin1String("--data-dir="))) {
            QString value;
            if (a.contains(QLatin1Char('=')))
                value = a.mid(a.indexOf(QLatin1Char('=')) + 1);
            else if (i + 1 < arguments.size())
                value = arguments.at(++i);
            if (value.isEmpty()) {
                o.error = QStringLiteral("--data-dir needs a value");
                return o;
            }
            if (!QFileInfo(value).isDir()) {
                o.error = QStringLiteral("--data-dir %1 is no folder").arg(value);
                return o;
            }
            o.dataDir = value;
        } else if (a == QLatin1String("--server") || a.startsWith(QLatin1String("--server="))) {
            const QString value = a.contains(QLatin1Char('=')) ? a.mid(a.indexOf(QLatin1Char('=')) + 1)
                                  : i + 1 < arguments.size()   ? arguments.at(++i)
                                                               : QString();
            if (value.isEmpty()) {
                o.error = QStringLiteral("--server needs a value");
                return o;
            }
            o.server = value;
        } else if (a == QLatin1String("--passphrase-file")
                   || a.startsWith(QLatin1String("--passphrase-file="))) {
            QString value;
            if (a.contains(QLatin1Char('=')))
                value = a.mid(a.indexOf(QLatin1Char('=')) + 1);
            else if (i + 1 < arguments.size())
                value = arguments.at(++i);
            if (value.isEmpty()) {
                o.error = QStringLiteral("--passphrase-file needs a value");
                return o;
            }
            o.passphraseFile = value;
        } else if (!a.startsWith(QLatin1Char('-')) && QFileInfo(a).isFile()) {
            // A survey window takes one survey: the desktop starts the program once per file.
            if (!o.surveyFile.isEmpty()) {
                o.error = QStringLiteral("one survey file at a time (\"%1\" and \"%2\")").arg(o.surveyFile, a);
                return o;
            }
            o.surveyFile = a;
        } else {
            o.error = a.startsWith(QLatin1Char('-')) || QFileInfo::exists(a)
                          ? QStringLiteral("unknown argument \"%1\"").arg(a)
                          : QStringLiteral("unknown argument \"%1\" (no such option or file)").arg(a);
            return o;
        }
    }
    return o;
}

QString usageLines()
{
    return QStringLiteral(
        "Usage: quorvane-lt [debug] [--data-dir DIR] [--passphrase-file FILE] [--server URI] [FILE]\n"
        "       quorvane-lt --survey FILE [--pdf OUT.pdf] [--captions OUT.json] [--data-dir DIR]\n"
        "                   [--strict]\n"
        "       quorvane-lt --survey FILE... [--pdf-dir DIR] [--captions-dir DIR] [--data-dir DIR]\n"
        "                   [--strict]\n"
        "       quorvane-lt --import-hydrostatics \"SHIP NAME\" FILE.csv [--data-dir DIR]\n"
        "                   [--lcf midship-aft|midship-forward|aft-perpendicular]\n"
        "                   [--drafts extreme|moulded]\n"
        "       quorvane-lt --export-hydrostatics \"SHIP NAME\" FILE.csv [--data-dir DIR]\n"
        "       quorvane-lt --help\n"
        "\n"
        "Without --survey the program opens its main window (a display is needed):\n"
        "  FILE                 a survey file (*.qsurvey.json) to open in the survey window of its\n"
        "                       kind, as Draft Survey, Open Survey does, once the main window is up.\n"
        "  --data-dir DIR       uses the survey database DS.dat and DS.lib in DIR.\n"
        "  --server URI         the company's catalogue server (a PostgreSQL URI), instead of the one\n"
        "                       set in Tools, Catalogue Server; DS.dat is its working copy, brought up\n"
        "                       to date in the background. --survey and the table import and export\n"
        "                       take it too.\n"
        "  --passphrase-file FILE  the passphrase of a protected database (first line of FILE);\n"
        "                       without it, QUORVANE_PASSPHRASE, else the program asks for it.\n"
        "  debug                turns on the tip window's diagnostic messages.\n"
        "  --lcf CONVENTION     how the imported table writes its LCF: from midships positive aft\n"
        "                       (the default), positive forward, or from the aft perpendicular;\n"
        "                       figures marked A or F (\"2.46A\") are read with their letters.\n"
        "  --drafts KIND        extreme (the default: from the keel's underside, as the marks read)\n"
        "                       or moulded (from the top of the keel plate).\n"
        "\n"
        "Where the database is: DS.dat and DS.lib beside the program when DS.dat lies there (a build\n"
        "folder, a portable copy); otherwise the user's data folder ($XDG_DATA_HOME/quorvane-lt,\n"
        "normally ~/.local/share/quorvane-lt), where the first start writes the delivered\n"
        "database. --data-dir DIR overrides both.\n");
}

int refuse(const QString& error, int status)
{
    MessageService::printError(QStringLiteral("quorvane-lt: %1\n\n%2").arg(error, SurveyCommandLine::helpText()));
    return status;
}

}  // namespace WindowCommandLine
