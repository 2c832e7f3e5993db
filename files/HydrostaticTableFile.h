#pragma once

#include "model/HydrostaticTable.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// A ship's hydrostatic table as a spreadsheet or a text file: comma, semicolon or tab separated,
// or columns lined up with spaces; a header row or none; with a separator other than the comma,
// figures may carry a decimal comma ("6,10"). Lines starting with '#' are remarks; one that
// names the density ("# Water density 1.025 t/m3") gives the table's density, and one that says
// "# Drafts moulded" marks its drafts moulded. LCF figures marked A or F ("2.46A") are read as
// such; plain ones are kept as written, for the caller to convert from the convention the user
// names (HydrostaticTable::convertLcf).
namespace HydrostaticTableFile {

// What a column of the file is taken for; Ignore for the booklet's other columns (LCB, KM, ...).
enum class Role { Ignore, Draft, Displacement, Tpc, Lcf, Mctc };
QString roleName(Role role);  // "(ignored)", "Draft", "Displacement", "TPC", "LCF", "MCTC"
// The role a column header names, Ignore when it names none of the five.
Role roleFromHeader(const QString& header);

struct Layout {
    enum class Separator { Comma, Semicolon, Tab, Spaces };
    Separator separator = Separator::Comma;
    bool decimalComma = false;
    QStringList header;              // empty when the file has none
    QVector<QStringList> cells;      // the data rows, texts as in the file (trimmed)
    QVector<int> lineNumbers;        // the file's line of each data row, from 1
    std::optional<QString> density;  // from a remark, as written
    bool moulded = false;            // a remark says "Drafts moulded"
    int columnCount = 0;             // the widest row
    QVector<Role> proposed;          // one per column: from the header, else from the figures
};

// Splits the text into rows and columns and proposes the roles. Nothing, with `error` set, when
// the text holds no row of figures.
std::optional<Layout> split(const QString& text, QString* error);
// The same from a file (UTF-8, or Latin-1 when it is not UTF-8), a plain file of at most 64 MiB.
// `notRead` is set when the file itself could not be read (missing, a pipe, too large).
std::optional<Layout> readFile(const QString& path, QString* error, bool* notRead = nullptr);

// Reads the figures of the columns given a role (each of the five exactly once). On the first
// text that is not a figure returns nothing with `error` naming its row (the file's line) and
// column, e.g. "Line 14, column 3 (TPC): \"63,1x\" is not a number.".
std::optional<HydrostaticTable> build(const Layout& layout, const QVector<Role>& roles, QString* error);

// Rows pasted from a spreadsheet: tab-separated, with or without a header; the columns taken
// as the header names them, otherwise in the order Draft, Displacement, TPC, LCF, MCTC.
std::optional<HydrostaticTable> fromPaste(const QString& text, QString* error);

// The table as CSV: remarks with the density, the LCF convention (the program's own, and the one
// the table came in) and the drafts, the header "Draft,Displacement,TPC,LCF,MCTC" and
// one line per row, figures as exact decimal texts with a point.
QByteArray toCsv(const HydrostaticTable& table);
// Written whole or not at all.
bool writeCsv(const QString& path, const HydrostaticTable& table, QString* error);

}  // namespace HydrostaticTableFile
