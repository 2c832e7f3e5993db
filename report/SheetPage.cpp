#include "report/SheetPage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <map>

namespace SheetPage {

ReportLayout::Caption caption(const QString& text, const QRectF& rect, qreal pt, bool bold,
    Qt::Alignment align, const QColor& color, bool wrap)
{
    ReportLayout::Caption c;
    c.text = text;
    c.designText = text;
    c.rect = rect;
    c.pointSize = pt;
    c.bold = bold;
    c.align = align;
    c.color = color;
    c.wrap = wrap;
    return c;
}

QString filledCaption(const ReportLayout& page, const QString& name)
{
    return page.hasCaption(name) && page.isFilled(name) ? page.caption(name) : QString();
}

void render(QPainter& painter, const QRectF& pageRect, const Drawn& drawn)
{
    const qreal s = qMin(pageRect.width() / WidthMM, pageRect.height() / HeightMM);
    const QPointF origin = pageRect.topLeft()
        + QPointF((pageRect.width() - WidthMM * s) / 2, (pageRect.height() - HeightMM * s) / 2);
    auto map = [&](const QRectF& r) { return QRectF(origin + r.topLeft() * s, r.size() * s); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const ReportLayout::Shade& shade : drawn.shades)
        painter.fillRect(map(shade.rect), shade.color);
    for (const ReportLayout::Rule& r : drawn.rules) {
        QPen pen(r.color, r.width * s);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(QLineF(origin + r.line.p1() * s, origin + r.line.p2() * s));
    }
    // Most lines are one short figure in its type style at its size: the font of each style is
    // made once a page, and only a text that does not fit at its size is fitted caption by caption.
    struct Style {
        QFont font;
        QFontMetricsF metrics;
    };
    // A map's entries stay where they are when others are added: the last style set is known by
    // its address.
    std::map<int, Style> styles;
    const auto styleOf = [&](const ReportLayout::Caption& c) -> const Style& {
        const int key = qRound(c.pointSize * 100) * 4 + (c.bold ? 2 : 0) + (c.italic ? 1 : 0);
        auto it = styles.find(key);
        if (it == styles.end()) {
            ReportLayout::Caption probe = c;
            probe.text = QStringLiteral("0");
            probe.wrap = false;
            probe.rect = QRectF(0, 0, 100, 100);
            const QFont font = ReportLayout::fit(probe, painter.device(), s).font;
            it = styles.emplace(key, Style{font, QFontMetricsF(font, painter.device())}).first;
        }
        return it->second;
    };
    const Style* lastStyle = nullptr;
    QColor lastColor;
    for (const ReportLayout::Caption& c : drawn.captions) {
        if (c.text.isEmpty())
            continue;
        const int flags = int(c.align) | (c.wrap ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine));
        if (!c.wrap && !c.text.contains(QLatin1Char('\n')) && !c.text.contains(QLatin1Char('\r'))) {
            const Style& style = styleOf(c);
            const qreal advance = style.metrics.horizontalAdvance(c.text);
            if (advance <= c.rect.width() * s && style.metrics.height() <= c.rect.height() * s * 1.15) {
                // Set on its baseline where the box's alignment puts it, as drawText in the box
                // would, without laying the one line out again.
                const QRectF box = map(c.rect);
                const qreal x = (c.align & Qt::AlignRight) ? box.right() - advance
                    : (c.align & Qt::AlignHCenter)         ? box.center().x() - advance / 2
                                                           : box.left();
                const qreal y = (c.align & Qt::AlignTop)
                    ? box.top() + style.metrics.ascent()
                    : box.center().y() - style.metrics.height() / 2 + style.metrics.ascent();
                // The painter is told of a font or a colour only when it changes.
                if (&style != lastStyle) {
                    painter.setFont(style.font);
                    lastStyle = &style;
                }
                if (c.color != lastColor) {
                    painter.setPen(c.color);
                    lastColor = c.color;
                }
                painter.drawText(QPointF(x, y), c.text);
                continue;
            }
        }
        const ReportLayout::Fitted f = ReportLayout::fit(c, painter.device(), s);
        painter.setFont(f.font);
        painter.setPen(c.color);
        lastStyle = nullptr;
        lastColor = c.color;
        painter.drawText(map(c.rect), flags, f.text);
    }
    painter.restore();
}

} // namespace SheetPage
