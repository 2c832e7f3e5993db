#pragma once

// A ship's tank calibration tables from and to a file without a window:
//   quorvane-lt [--data-dir DIR] --import-tanks "SHIP NAME" FILE.csv [--trim-sign
//   stern-positive|stern-negative] quorvane-lt [--data-dir DIR] --export-tanks "SHIP NAME" FILE.csv
// The import reads the file (see TankTableFile), audits it as the table window does and replaces
// all the ship's tanks; the audit's doubts are printed as warnings.
namespace TankCommandLine {

enum Status {
    Done = 0,
    Failed = 1, // bad command line, no database, unknown ship, a file that cannot be read or written
    Refused = 2, // the file's text or the audit refused the tables: nothing was changed
};

// True when the command line asks for an import or an export of tank tables.
bool wanted(int argc, char** argv);
int main(int argc, char** argv);

} // namespace TankCommandLine
