#pragma once

#include <QStringList>

// A ship's hydrostatic table from and to a file without a window:
//   quorvane-lt [--data-dir DIR] --import-hydrostatics "SHIP NAME" FILE.csv
//   quorvane-lt [--data-dir DIR] --export-hydrostatics "SHIP NAME" FILE.csv
// The import takes a file whose header names the columns (Draft, Displacement, TPC, LCF, MCTC in
// any order and letter case; other columns are ignored), audits it as the table editor does and
// replaces the ship's table; the audit's doubts are printed as warnings.
namespace HydrostaticCommandLine {

enum Status {
    Done = 0,
    Failed = 1,   // bad command line, no database, unknown ship, a file that cannot be read or written
    Refused = 2,  // the file's text or the audit refused the table: nothing was changed
};

// True when the command line asks for an import or an export of a table.
bool wanted(int argc, char** argv);
int main(int argc, char** argv);

}  // namespace HydrostaticCommandLine
