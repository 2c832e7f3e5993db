#pragma once

#include "report/ReportLayout.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// The pages that follow the report page (the calculation sheet, the tank sheet): A4, laid out in
// millimetres as captions, rules and shades, and drawn the same way at any scale.
namespace SheetPage {

constexpr qreal WidthMM = 210.0;
constexpr qreal HeightMM = 297.0;

struct Drawn {
    QList<ReportLayout::Caption> captions;
    QList<ReportLayout::Rule> rules;
    QList<ReportLayout::Shade> shades;
};

// A caption of a sheet page, its design text its text.
ReportLayout::Caption caption(const QString& text, const QRectF& rect, qreal pt, bool bold,
    Qt::Alignment align, const QColor& color = QColor(0, 0, 0), bool wrap = false);

// The report page's caption when the page filled it, else nothing.
QString filledCaption(const ReportLayout& page, const QString& name);

// Draws a page laid out in millimetres into `pageRect`, keeping the paper's proportions, as
// ReportLayout::render draws the report page.
void render(QPainter& painter, const QRectF& pageRect, const Drawn& drawn);

} // namespace SheetPage
