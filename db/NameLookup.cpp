#include "db/NameLookup.h"

#include "db/NameList.h"
#include "db/SqlCatalogue.h"

namespace NameLookup {

namespace {

// The names' columns compare without regard to case, so "CORAL MERIDIAN" finds Coral Meridian;
// a survey names its ship exactly, so the few rows found are compared as typed. The rows come
// numbers first: the lowest number of that exact name, or nothing.
std::optional<int> firstExactly(Connection& connection, const QString& sql, const QString& name)
{
    // A NUL would end the statement's text inside its literal; no name the windows store holds one.
    if (name.contains(QChar(0)))
        return std::nullopt;
    const NameList rows(connection, sql);
    std::optional<qint64> found;
    for (int i = 0; i < rows.count(); ++i) {
        if (rows.name(i) == name && rows.id(i) != NameList::NoId && (!found || rows.id(i) < *found))
            found = rows.id(i);
    }
    return found ? std::optional<int>(int(*found)) : std::nullopt;
}

}  // namespace

bool hasShip(Connection& connection, const QString& name)
{
    return shipId(connection, name).has_value();
}

bool hasPort(Connection& connection, const QString& name)
{
    return portId(connection, name).has_value();
}

std::optional<int> shipId(Connection& connection, const QString& name)
{
    return firstExactly(connection, SqlCatalogue::shipsNamed(name), name);
}

std::optional<int> portId(Connection& connection, const QString& name)
{
    return firstExactly(connection, SqlCatalogue::portsNamed(name), name);
}

}  // namespace NameLookup
