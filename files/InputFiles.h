#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Every file the program reads from the user: opened only when it is a plain file (a pipe or a
// device is refused at once, never waited on) and read up to a limit, so that a survey named
// /dev/zero or a table of a gigabyte costs a message, not the machine's memory.
namespace InputFiles {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kSurveyLimit = 16 * kMiB; // survey files and recovery files
constexpr qint64 kTableLimit = 64 * kMiB; // hydrostatic (and tank) tables

// The whole file, or nothing with `error` naming the file and why: "x.json is not a plain file
// (a pipe, a device or the like); only a plain file is read.", "x.csv is larger than 64 MiB, the
// most a table file may hold.", "x.json cannot be read (No such file or directory)."
// `systemError`, when given, is set to the system's reason alone when the file could not be
// opened or read at all (a missing file), for callers that word that message themselves.
std::optional<QByteArray> read(
    const QString& path, qint64 limit, QString* error, QString* systemError = nullptr);

} // namespace InputFiles
