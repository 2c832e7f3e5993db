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

}  // namespace ReportOutput
