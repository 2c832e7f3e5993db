#pragma once

#include "model/TankTable.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A ship's tank calibration tables as a spreadsheet's CSV: one row per tank and gauge, headed
//   Tank,Group,Sounding,Trim -1,Trim 0,Trim 1,Heel 2P,Heel 2S
// ("Ullage" in place of "Sounding" for tanks gauged by ullage; both columns when the file holds
// both kinds, each row filling one). An optional "Density" column gives a tank's liquid. The
// separator is a comma, a semicolon or a tab; with a separator other than the comma, figures may
// carry a decimal comma ("12,5"). Lines starting with '#' are remarks. A tank leaves empty the
// trim columns its table does not give.
namespace TankTableFile {

// How the file writes the trim: by the stern positive (the program's own) or negative.
enum class TrimSign { SternPositive, SternNegative };
// "stern-positive", "stern-negative"
QString trimSignKey(TrimSign sign);
std::optional<TrimSign> trimSignFromKey(const QString& key);

// The tables the text holds, trims turned to the program's sign. Nothing, with `error` naming the
// file's line (and column) of the first fault, when the text is not such a table:
// "Line 14, column 5 (Trim 1): \"12,5x\" is not a number.".
std::optional<TankTables> parse(const QString& text, TrimSign sign, QString* error);
// The same from a file (UTF-8), a plain file of at most 64 MiB; `notRead` is set when the file
// itself could not be read.
std::optional<TankTables> readFile(
    const QString& path, TrimSign sign, QString* error, bool* notRead = nullptr);

// The tables as CSV with the program's trim sign; with `decimalComma`, ';' separated and figures
// with a decimal comma.
QByteArray toCsv(const TankTables& tables, bool decimalComma = false);
// Written whole or not at all.
bool writeCsv(const QString& path, const TankTables& tables, QString* error, bool decimalComma = false);

} // namespace TankTableFile
