#pragma once

#include "report/ReportDocument.h"
#include "report/ReportLayout.h"

#include <QString>

class QIODevice;

// A filled report off the screen without a window: into a PDF document. It draws the page with
// ReportLayout::render, as the preview and the printer do.
namespace ReportOutput {

// Writes the pages as a PDF document (A4 portrait) into `device`, which is open for writing.
// False when it cannot be written.
bool writePdf(const ReportDocument& document, QIODevice* device);

}  // namespace ReportOutput
