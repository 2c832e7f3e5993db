// quorvane-mkdb: writes the delivered survey database (DS.dat) and its workgroup file (DS.lib).
//
//   quorvane-mkdb DIR              writes both files into DIR; refuses when DIR/DS.dat exists
//   quorvane-mkdb DIR --force      replaces them (DS.dat holds the user's ships: this loses them)
//   quorvane-mkdb DIR --if-missing writes them only when DIR/DS.dat is missing, else does nothing

#include "app/VbError.h"
#include "db/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <cstdio>
#include <cstring>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quorvane-mkdb DIR [--force | --if-missing]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QString dir;
    bool force = false;
    bool ifMissing = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--force") == 0)
            force = true;
        else if (std::strcmp(argv[i], "--if-missing") == 0)
            ifMissing = true;
        else if (argv[i][0] == '-' || !dir.isEmpty())
            return usage();
        else
            dir = QString::fromLocal8Bit(argv[i]);
    }
    if (dir.isEmpty() || (force && ifMissing))
        return usage();

    const QString dat = QDir(dir).filePath(QStringLiteral("DS.dat"));
    if (QFileInfo::exists(dat) && !force) {
        if (ifMissing)
            return 0;
        std::fprintf(stderr,
                     "quorvane-mkdb: %s already exists and holds the user's ships; it was left as it is "
                     "(use --force to replace it)\n",
                     qPrintable(QDir::toNativeSeparators(dat)));
        return 1;
    }
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "quorvane-mkdb: cannot create the folder %s\n", qPrintable(dir));
        return 1;
    }
    try {
        Schema::writeDeliveredFiles(dir, force);
    } catch (const VbError& e) {
        std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
