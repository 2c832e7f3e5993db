#include "db/DataFolder.h"

#include "core/AppPaths.h"
#include "core/VbError.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/NameLookup.h"
#include "db/RowSet.h"
#include "db/Schema.h"
#include "db/SqlCatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DataFolder {

bool writeDeliveredIfMissing(const QString& dir, QString* error)
{
    const QString dat = QDir(dir).filePath(QStringLiteral("DS.dat"));
    if (QFileInfo::exists(dat))
        return true;
    // The folder holds the user's ships from now on: nobody else needs to read it.
    if (!AppPaths::makePrivateFolder(dir)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(dir));
        return false;
    }
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    try {
        // Without DS.dat a workgroup file left behind holds nothing of the user's; it is written anew.
        Schema::writeDeliveredFiles(dir, false);
    } catch (const VbError& e) {
        // Half a database would be taken for the user's own at the next start.
        QFile::remove(dat);
        if (error)
            *error = e.description();
        return false;
    }
    return true;
}

bool prepare(QString* error)
{
    if (!AppPaths::usesUserDataDir())
        return true;
    return writeDeliveredIfMissing(AppPaths::appDir(), error);
}

}  // namespace DataFolder

namespace {

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
    v.shipName = ExampleData::shipName();
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

}  // namespace

namespace ExampleData {

QString shipName()
{
    return QStringLiteral("Coral Meridian");
}

QStringList add(const QString& dir)
{
    QStringList added;
    Connection db;
    openOnDir(db, dir);
    int registry = 0;
    for (const ExamplePort& p : kExamplePorts) {
        const QString name = QLatin1String(p.name);
        int id = NameLookup::portId(db, name).value_or(0);
        if (id == 0) {
            RowSet ports;
            ports.open(SqlCatalogue::portMaster(), db, RowSet::Mode::WriteBack);
            ports.addNew();
            ports.setValue(QStringLiteral("PortName"), Variant(name));
            ports.setValue(QStringLiteral("City"), Variant(QLatin1String(p.city)));
            ports.setValue(QStringLiteral("Country"), Variant(QLatin1String(p.country)));
            ports.update();
            id = ports.value(QStringLiteral("PortID")).toInt32();
            added << QStringLiteral("port ") + name;
        }
        if (name == QLatin1String("Monrovia"))
            registry = id;
    }
    const SqlCatalogue::ShipValues ship = exampleShip(registry);
    if (!NameLookup::hasShip(db, ship.shipName)) {
        db.execute(SqlCatalogue::insertShip(ship));
        added << QStringLiteral("ship ") + ship.shipName;
    }
    db.close();
    return added;
}

}  // namespace ExampleData
