#include "report/ReportOutput.h"

#include "core/MessageService.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace ReportOutput {

bool writePdf(const ReportDocument& document, QIODevice* device)
{
    QPdfWriter writer(device);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(600);
    writer.setTitle(document.windowTitle());
    writer.setCreator(MessageService::appTitle());
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0 && !writer.newPage())
            return false;
        document.renderPage(painter, QRectF(0, 0, writer.width(), writer.height()), page);
    }
    return painter.end();
}

}  // namespace ReportOutput
