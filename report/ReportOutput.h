#pragma once

#include "report/ReportLayout.h"

#include <QString>

// A filled report off the screen without a window: into a PDF file. It draws the page with
// ReportLayout::render, as the preview and the printer do.
namespace ReportOutput {

// Writes the page to a PDF file (A4 portrait). False, with the reason in `error`, when the file
// cannot be written.
bool writePdf(const ReportLayout& layout, const QString& fileName, QString* error = nullptr);

}  // namespace ReportOutput
