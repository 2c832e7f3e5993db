#pragma once

#include <QString>
#include <optional>

class Connection;

// Whether a ship or a port of a given name is stored, asked of the database for that one name
// rather than by reading every row. Names match exactly, letter case included.
namespace NameLookup {

bool hasShip(Connection& connection, const QString& name);
bool hasPort(Connection& connection, const QString& name);

// The number of the ship (the port) of that name, the lowest when several bear it.
std::optional<int> shipId(Connection& connection, const QString& name);
std::optional<int> portId(Connection& connection, const QString& name);

}  // namespace NameLookup
