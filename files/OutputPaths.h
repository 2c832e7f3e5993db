#pragma once

#include <QString>
#include <QStringList>

// Where a report may be written without window or question: never over the survey database or
// its journals, never over something that is no plain file (a pipe, a device, a folder), and
// never twice into one file in the same run.
namespace OutputPaths {

// Why `path` may not take an output, or an empty text when it may. `taken` are the files the
// same run writes other outputs to (a second output in one file would replace the first).
QString refusal(const QString& path, const QStringList& taken = {});

// The first refusal among all the outputs of one run; blank entries are outputs not asked for.
QString firstRefusal(const QStringList& paths);

}  // namespace OutputPaths
