#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The delivered survey database: the tables of DS.dat with their relations, the catalogue rows
// it ships with, and the workgroup file DS.lib that knows the program's user.
namespace Schema {

// The passwords and the user the program signs in with.
QString databasePassword();  // DS.dat's own key
QString userName();          // the workgroup user
QString userPassword();      // the workgroup user's password

// The statements that create the tables of DS.dat, in order.
QStringList tableStatements();

// The index of the ships by name, which the name lookups and the ordered name list use: one of
// the first tables' statements, and added by SchemaUpgrade to files written before it existed.
QString shipByNameIndex();

struct DeductionItem {
    int itemId;
    QString itemName;
};
// The deductible items, in the order they are stored (the report relies on their ids).
QList<DeductionItem> deductionItems();
// The tips of the day, in stored order.
QStringList tips();

// Writes a fresh DS.dat (tables and catalogue rows) keyed with `dbPassword`. An existing file is
// replaced only when `overwrite` is set. Throws VbError on failure or when the file exists.
void writeDatabaseFile(const QString& path, const QString& dbPassword, bool overwrite);
// Writes a workgroup file keyed with the user's password that knows that one user.
void writeWorkgroupFile(const QString& path, const QString& user, const QString& password, bool overwrite);
// Both files, DS.dat and DS.lib, into `dir` with the program's own passwords and user.
void writeDeliveredFiles(const QString& dir, bool overwrite);

}  // namespace Schema
