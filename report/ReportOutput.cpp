#include "report/ReportOutput.h"

#include "core/MessageService.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace ReportOutput {

bool writePdf(const ReportLayout& layout, QIODevice* device)
{
    QPdfWriter writer(device);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(600);
    writer.setTitle(layout.windowTitle());
    writer.setCreator(MessageService::appTitle());
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    layout.render(painter, QRectF(0, 0, writer.width(), writer.height()));
    return painter.end();
}

}  // namespace ReportOutput
