// quorvane-mkdb: writes the delivered survey database (DS.dat) and its workgroup file (DS.lib).
//
//   quorvane-mkdb DIR              writes both files into DIR; refuses when DIR/DS.dat exists
//   quorvane-mkdb DIR --force      replaces them (DS.dat holds the user's ships: this loses them)
//   quorvane-mkdb DIR --if-missing writes them only when DIR/DS.dat is missing, else does nothing
//   quorvane-mkdb DIR --examples   adds the ship and the ports of the example surveys (examples/)
//                                  to the existing DIR/DS.dat where they are missing; no other row
//                                  is touched; the ship gets her hydrostatic table
//                                  (examples/coral-meridian-hydrostatics.csv) unless she has one,
//                                  and her tank tables (examples/coral-meridian-tanks.csv) likewise
//   quorvane-mkdb --examples       the same on the database quorvane-lt uses (beside it, or the
//                                  user's data folder, which is created with the delivered
//                                  database when it is missing)
//   quorvane-mkdb --server URI --init
//                                  makes the company's catalogue on a PostgreSQL server: its
//                                  tables, the deductible items, and the roles quorvane_reader
//                                  (reads and adds) and quorvane_editor (also changes and deletes);
//                                  refuses a server that has them already
//   quorvane-mkdb DIR --protect    re-keys DIR/DS.dat and DIR/DS.lib with the user's passphrase
//                                  (the program's own passwords then open nothing)
//   quorvane-mkdb DIR --unprotect  keys them with the program's own passwords again
//   The passphrase comes from --passphrase-file FILE (its first line) or the environment variable
//   QUORVANE_PASSPHRASE, never from an argument; --examples on a protected database takes it too.

#include "core/AppPaths.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/DataFolder.h"
#include "db/Database.h"
#include "db/Protection.h"
#include "db/Schema.h"
#include "files/HydrostaticTableFile.h"
#include "files/TankTableFile.h"
#include "model/HydrostaticTable.h"
#include "model/TankTable.h"
#include "server/PgSession.h"
#include "server/ServerSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <cstdio>
#include <cstring>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: quorvane-mkdb DIR [--force | --if-missing | --examples]\n"
                 "       quorvane-mkdb --examples\n"
                 "       quorvane-mkdb --server URI --init\n"
                 "       quorvane-mkdb DIR --protect | --unprotect [--passphrase-file FILE]\n"
                 "       (the passphrase: the first line of FILE, or $QUORVANE_PASSPHRASE)\n");
    return 2;
}

// The folder of quorvane-lt: installed, the two programs lie side by side; in a build folder this
// tool sits in tools/, one level below the program.
QString programFolder()
{
    const QString own = QCoreApplication::applicationDirPath();
    const QString parent = QDir::cleanPath(own + QStringLiteral("/.."));
    if (!QFileInfo::exists(QDir(own).filePath(AppPaths::appName()))
        && QFileInfo::exists(QDir(parent).filePath(AppPaths::appName())))
        return parent;
    return own;
}

int initServer(const QString& uri)
{
    try {
        PgSession session;
        session.connect(uri);
        ServerSchema::init(session);
    } catch (const ServerError& e) {
        std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("quorvane-mkdb: the catalogue is on %s; make the surveyors members of %s or %s\n",
                qPrintable(PgSession::withoutPassword(uri)), ServerSchema::ReaderRole,
                ServerSchema::EditorRole);
    return 0;
}

int addExamples(const QString& dir)
{
    if (!QFileInfo::exists(QDir(dir).filePath(QStringLiteral("DS.dat")))) {
        std::fprintf(stderr, "quorvane-mkdb: there is no DS.dat in %s to add the examples to\n",
                     qPrintable(QDir::toNativeSeparators(dir)));
        return 1;
    }
    for (const QString& added : ExampleData::add(dir))
        std::printf("quorvane-mkdb: added the %s\n", qPrintable(added));

    Connection db;
    openOnDir(db, dir);
    const QString shipName = ExampleData::shipName();
    const int shipId = HydrostaticTable::shipIdByName(shipName, &db);
    if (shipId != 0 && !HydrostaticTable::loadForShip(shipId, &db)) {
        QString error;
        const auto layout = HydrostaticTableFile::readFile(QStringLiteral(":/examples/coral-meridian-hydrostatics.csv"),
                                                           &error);
        const auto table = layout ? HydrostaticTableFile::build(*layout, layout->proposed, &error) : std::nullopt;
        if (!table) {
            std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(error));
            return 1;
        }
        HydrostaticTable::saveForShip(shipId, *table, &db);
        std::printf("quorvane-mkdb: added the hydrostatic table of %s (%d rows)\n", qPrintable(shipName),
                    int(table->rows.size()));
    }
    // Her tank tables, unless she has some.
    if (shipId != 0 && TankTables::loadForShip(shipId, &db).isEmpty()) {
        QString error;
        const std::optional<TankTables> tanks
            = TankTableFile::readFile(QStringLiteral(":/examples/coral-meridian-tanks.csv"),
                                      TankTableFile::TrimSign::SternPositive, &error);
        if (!tanks) {
            std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(error));
            return 1;
        }
        TankTables::saveForShip(shipId, *tanks, &db);
        std::printf("quorvane-mkdb: added the tank tables of %s (%d tanks)\n", qPrintable(shipName),
                    int(tanks->tanks.size()));
    }
    db.close();
    return 0;
}

// --protect and --unprotect: the files opened as the program opens them (with the passphrase, or
// with the program's own passwords), then re-keyed.
int changeProtection(const QString& dir, bool protect)
{
    const QString passphrase = databasePassphrase();
    if (passphrase.isEmpty()) {
        std::fprintf(stderr,
                     "quorvane-mkdb: %s needs the passphrase: --passphrase-file FILE or the variable %s\n",
                     protect ? "--protect" : "--unprotect", Protection::EnvironmentVariable);
        return 2;
    }
    if (protect) {
        const QString problem = Protection::passphraseProblem(passphrase);
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(problem));
            return 1;
        }
    }
    Connection db;
    try {
        openOnDir(db, dir);
    } catch (const VbError& e) {
        QString text = startupFailureText(db, e.description());
        std::fprintf(stderr, "quorvane-mkdb: %s\n",
                     qPrintable(text.replace(QLatin1String("\r\n\r\n"), QLatin1String(" "))));
        return 1;
    }
    if (!protect && !db.openedWithPassphrase()) {
        std::printf("quorvane-mkdb: the database in %s is not protected; it was left as it is\n",
                    qPrintable(QDir::toNativeSeparators(dir)));
        return 0;
    }
    try {
        Protection::rekey(db, protect ? passphrase : QString());
    } catch (const VbError& e) {
        std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(e.description()));
        return 1;
    }
    db.close();
    std::printf(protect ? "quorvane-mkdb: the database in %s is protected by the passphrase\n"
                        : "quorvane-mkdb: the database in %s opens with the program's own password again\n",
                qPrintable(QDir::toNativeSeparators(dir)));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    AppPaths::setApplicationNames();
    if (argc == 4 && std::strcmp(argv[1], "--server") == 0 && std::strcmp(argv[3], "--init") == 0)
        return initServer(QString::fromLocal8Bit(argv[2]));
    QString dir;
    bool dirGiven = false;
    bool force = false;
    bool ifMissing = false;
    bool examples = false;
    bool protect = false;
    bool unprotect = false;
    QString passphraseFile;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--protect") == 0)
            protect = true;
        else if (std::strcmp(argv[i], "--unprotect") == 0)
            unprotect = true;
        else if (std::strcmp(argv[i], "--passphrase-file") == 0 && i + 1 < argc)
            passphraseFile = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--force") == 0)
            force = true;
        else if (std::strcmp(argv[i], "--if-missing") == 0)
            ifMissing = true;
        else if (std::strcmp(argv[i], "--examples") == 0)
            examples = true;
        else if (argv[i][0] == '-' || dirGiven)
            return usage();
        else {
            dir = QString::fromLocal8Bit(argv[i]);
            dirGiven = true;
        }
    }
    // An empty folder name must not fall back to the database the program uses.
    if (dirGiven && dir.isEmpty()) {
        std::fprintf(stderr, "quorvane-mkdb: the folder name is empty\n");
        return usage();
    }
    if ((dir.isEmpty() && !examples) || (force && ifMissing) || (examples && (force || ifMissing)))
        return usage();
    if ((protect || unprotect) && (protect == unprotect || dir.isEmpty() || force || ifMissing || examples))
        return usage();
    {
        QString error;
        const std::optional<QString> passphrase = Protection::commandLinePassphrase(passphraseFile, &error);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(error));
            return 1;
        }
        setDatabasePassphrase(passphrase.value_or(QString()));
    }
    if (protect || unprotect)
        return changeProtection(dir, protect);
    if (examples) {
        try {
            if (dir.isEmpty()) {
                AppPaths::setProgramDir(programFolder());
                dir = AppPaths::appDir();
                QString error;
                if (AppPaths::usesUserDataDir() && !DataFolder::writeDeliveredIfMissing(dir, &error)) {
                    std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(error));
                    return 1;
                }
                std::printf("quorvane-mkdb: the database in %s\n", qPrintable(QDir::toNativeSeparators(dir)));
            }
            return addExamples(dir);
        } catch (const VbError& e) {
            std::fprintf(stderr, "quorvane-mkdb: %s\n", qPrintable(e.description()));
            return 1;
        }
    }

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
    if (!AppPaths::makePrivateFolder(dir)) {
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
