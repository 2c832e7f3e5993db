#include "report/ReportOutput.h"

#include "core/MessageService.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace ReportOutput {

bool writePdf(const ReportLayout& layout, const QString& fileName, QString* error)
{
    QPdfWriter writer(fileName);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(600);
    writer.setTitle(layout.windowTitle());
    writer.setCreator(MessageService::appTitle());
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    layout.render(painter, QRectF(0, 0, writer.width(), writer.height()));
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    return true;
}

QImage toImage(const ReportLayout& layout, int dpi)
{
    const qreal pxPerMM = dpi / 25.4;
    QImage image(qRound(ReportLayout::PageWidthMM * pxPerMM), qRound(ReportLayout::PageHeightMM * pxPerMM),
                 QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    layout.render(painter, QRectF(image.rect()));
    painter.end();
    return image;
}

}  // namespace ReportOutput
