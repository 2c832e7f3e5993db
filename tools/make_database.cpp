// quorvane-mkdb: writes the delivered survey database (DS.dat) and its workgroup file (DS.lib).
//
//   quorvane-mkdb DIR              writes both files into DIR; refuses when DIR/DS.dat exists
//   quorvane-mkdb DIR --force      replaces them (DS.dat holds the user's ships: this loses them)
//   quorvane-mkdb DIR --if-missing writes them only when DIR/DS.dat is missing, else does nothing
//   quorvane-mkdb DIR --examples   adds the ship and the ports of the example surveys (examples/)
//                                  to the existing DIR/DS.dat where they are missing; no other row
//                                  is touched; the ship gets her hydrostatic table
//                                  (examples/coral-meridian-hydrostatics.csv) unless she has one

#include "core/AppPaths.h"
#include "db/Database.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/Schema.h"
#include "db/SqlCatalogue.h"
#include "files/HydrostaticTableFile.h"
#include "model/HydrostaticTable.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <cstdio>
#include <cstring>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quorvane-mkdb DIR [--force | --if-missing | --examples]\n");
    return 2;
}

// The ports and the ship the example surveys name. The ship is a Panamax bulk carrier; her
// particulars are the ones the example reports print and the calculation uses (LBP, light ship).
struct ExamplePort {
    const char* name;
    const char* city;
    const char* country;
};
const ExamplePort kExamplePorts[] = {
    {"Monrovia", "Monrovia", "Liberia"},
    {"Port Hedland", "Port Hedland", "Australia"},
    {"Qingdao", "Qingdao", "China"},
};

SqlCatalogue::ShipValues exampleShip(int portOfRegistry)
{
    SqlCatalogue::ShipValues v;
    v.shipName = QStringLiteral("Coral Meridian");
    v.lbp = QStringLiteral("217");
    v.loa = QStringLiteral("225");
    v.breadth = QStringLiteral("32.26");
    v.lightShip = QStringLiteral("10850");
    v.callSign = QStringLiteral("A8QZ5");
    v.portOfRegistry = QString::number(portOfRegistry);
    v.officialNo = QStringLiteral("16044");
    v.imoNo = QStringLiteral("9587301");
    v.flag = QStringLiteral("Liberia");
    v.grossTonnage = QStringLiteral("40170");
    v.netTonnage = QStringLiteral("25933");
    v.summerDraft = QStringLiteral("14.12");
    v.summerDeadweight = QStringLiteral("76498.5");
    return v;
}

// The key of the row whose `nameColumn` reads exactly `name`, or 0 when there is none.
int findByName(Connection& db, const QString& sql, const QString& nameColumn, const QString& keyColumn,
               const QString& name)
{
    RowSet rows;
    rows.open(sql, db);
    for (; !rows.eof(); rows.moveNext()) {
        const Variant v = rows.value(nameColumn);
        if (!v.isNull() && v.toText() == name)
            return rows.value(keyColumn).toInt32();
    }
    return 0;
}

int addExamples(const QString& dir)
{
    if (!QFileInfo::exists(QDir(dir).filePath(QStringLiteral("DS.dat")))) {
        std::fprintf(stderr, "quorvane-mkdb: there is no DS.dat in %s to add the examples to\n",
                     qPrintable(QDir::toNativeSeparators(dir)));
        return 1;
    }
    AppPaths::setAppDir(dir);
    Connection db;
    OpenOnAppDir(db);
    int registry = 0;
    for (const ExamplePort& p : kExamplePorts) {
        const QString name = QLatin1String(p.name);
        int id = findByName(db, SqlCatalogue::portList(), QStringLiteral("PortName"),
                            QStringLiteral("PortID"), name);
        if (id == 0) {
            RowSet ports;
            ports.open(SqlCatalogue::portMaster(), db, RowSet::Mode::WriteBack);
            ports.addNew();
            ports.setValue(QStringLiteral("PortName"), Variant(name));
            ports.setValue(QStringLiteral("City"), Variant(QLatin1String(p.city)));
            ports.setValue(QStringLiteral("Country"), Variant(QLatin1String(p.country)));
            ports.update();
            id = ports.value(QStringLiteral("PortID")).toInt32();
            std::printf("quorvane-mkdb: added the port %s\n", p.name);
        }
        if (name == QLatin1String("Monrovia"))
            registry = id;
    }
    const SqlCatalogue::ShipValues ship = exampleShip(registry);
    if (findByName(db, SqlCatalogue::shipList(), QStringLiteral("ShipName"), QStringLiteral("ShipID"),
                   ship.shipName)
        == 0) {
        db.execute(SqlCatalogue::insertShip(ship));
        std::printf("quorvane-mkdb: added the ship %s\n", qPrintable(ship.shipName));
    }
    const int shipId = HydrostaticTable::shipIdByName(ship.shipName, &db);
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
        std::printf("quorvane-mkdb: added the hydrostatic table of %s (%d rows)\n", qPrintable(ship.shipName),
                    int(table->rows.size()));
    }
    db.close();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QString dir;
    bool force = false;
    bool ifMissing = false;
    bool examples = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--force") == 0)
            force = true;
        else if (std::strcmp(argv[i], "--if-missing") == 0)
            ifMissing = true;
        else if (std::strcmp(argv[i], "--examples") == 0)
            examples = true;
        else if (argv[i][0] == '-' || !dir.isEmpty())
            return usage();
        else
            dir = QString::fromLocal8Bit(argv[i]);
    }
    if (dir.isEmpty() || (force && ifMissing) || (examples && (force || ifMissing)))
        return usage();
    if (examples) {
        try {
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
