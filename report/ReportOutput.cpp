#include "report/ReportOutput.h"

#include "core/MessageService.h"

#include <QDir>
#include <QFile>
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

bool writePdf(const ReportLayout& layout, const QString& fileName, QString* error)
{
    QFile file(fileName);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && writePdf(layout, &file);
    if (!written && error)
        *error = QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(fileName));
    return written;
}

}  // namespace ReportOutput
