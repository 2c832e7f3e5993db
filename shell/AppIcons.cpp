#include "shell/AppIcons.h"

#include <QCoreApplication>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QApplication>
#include <QIconEngine>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QRadialGradient>
#include <cmath>
#include <functional>

// Every picture is drawn on a 32 x 32 canvas and scaled, with a dark outline and a soft
// top-to-bottom shade, so the set reads as one family at 16, 24 and 32 pixels.

namespace {

using Draw = std::function<void(QPainter&)>;

const QColor kOutline(58, 62, 70);

QLinearGradient shade(qreal top, qreal bottom, const QColor& light, const QColor& dark)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    return g;
}

QPen outline(qreal width = 1.4)
{
    QPen pen(kOutline, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void page(QPainter& p, const QRectF& r, qreal fold = 7)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(outline());
    p.setBrush(shade(r.top(), r.bottom(), Qt::white, QColor(226, 230, 236)));
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(200, 206, 214));
    p.drawPath(corner);
}

void textLines(QPainter& p, qreal left, qreal right, qreal top, int count, qreal gap = 3.5)
{
    p.setPen(QPen(QColor(120, 132, 150), 1.3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * gap), QPointF(right - (i % 2) * 3, top + i * gap));
}

void redCross(QPainter& p, const QPointF& c, qreal r)
{
    p.setPen(outline(1.2));
    p.setBrush(shade(c.y() - r, c.y() + r, QColor(246, 98, 86), QColor(196, 36, 30)));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    const qreal a = r * 0.45;
    p.drawLine(QPointF(c.x() - a, c.y() - a), QPointF(c.x() + a, c.y() + a));
    p.drawLine(QPointF(c.x() + a, c.y() - a), QPointF(c.x() - a, c.y() + a));
}

// A bulk carrier seen from the side: hull, boot topping, superstructure aft.
void ship(QPainter& p, qreal dy = 0, qreal scale = 1.0)
{
    p.save();
    p.translate(16, 16 + dy);
    p.scale(scale, scale);
    p.translate(-16, -16);
    QPainterPath hull;
    hull.moveTo(2, 17);
    hull.lineTo(30, 17);
    hull.lineTo(27, 25);
    hull.lineTo(6, 25);
    hull.closeSubpath();
    p.setPen(outline());
    p.setBrush(shade(17, 25, QColor(70, 110, 170), QColor(34, 62, 112)));
    p.drawPath(hull);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 48, 40));
    p.drawRect(QRectF(5.2, 22.2, 22.4, 2.2));
    p.setPen(outline(1.1));
    p.setBrush(shade(8, 17, Qt::white, QColor(214, 220, 228)));
    p.drawRect(QRectF(5, 9, 7, 8));
    p.setBrush(QColor(232, 120, 40));
    p.drawRect(QRectF(7, 5.5, 3, 3.5));
    p.setPen(QPen(QColor(90, 140, 200), 1.0));
    p.drawLine(QPointF(6.5, 11.5), QPointF(10.5, 11.5));
    p.setPen(outline(1.1));
    p.setBrush(QColor(120, 130, 140));
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(14 + i * 5.2, 14, 4.2, 3));
    p.restore();
}

void water(QPainter& p, qreal y)
{
    QPainterPath wave;
    wave.moveTo(1, y);
    for (int i = 0; i < 5; ++i)
        wave.quadTo(4 + i * 6, y - 2, 7 + i * 6, y);
    p.setPen(QPen(QColor(40, 130, 200), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void arrow(QPainter& p, bool down, const QColor& light, const QColor& dark)
{
    QPainterPath a;
    if (down) {
        a.moveTo(21, 1);
        a.lineTo(27, 1);
        a.lineTo(27, 7);
        a.lineTo(31, 7);
        a.lineTo(24, 14);
        a.lineTo(17, 7);
        a.lineTo(21, 7);
    } else {
        a.moveTo(24, 1);
        a.lineTo(31, 8);
        a.lineTo(27, 8);
        a.lineTo(27, 14);
        a.lineTo(21, 14);
        a.lineTo(21, 8);
        a.lineTo(17, 8);
    }
    a.closeSubpath();
    p.setPen(outline(1.2));
    p.setBrush(shade(1, 14, light, dark));
    p.drawPath(a);
}

void drawNew(QPainter& p)
{
    page(p, QRectF(6, 3, 19, 26));
    textLines(p, 10, 21, 14, 4);
    // A small spark at the corner: a fresh document.
    p.setPen(outline(1.0));
    p.setBrush(QColor(255, 206, 60));
    QPainterPath star;
    const QPointF c(24, 8);
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2) ? 2.4 : 6.0;
        const qreal a = i * M_PI / 5 - M_PI / 2;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? star.moveTo(pt) : star.lineTo(pt);
    }
    star.closeSubpath();
    p.drawPath(star);
}

void drawOpen(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(shade(6, 27, QColor(236, 190, 80), QColor(200, 140, 30)));
    QPainterPath back;
    back.moveTo(3, 27);
    back.lineTo(3, 7);
    back.lineTo(11, 7);
    back.lineTo(13, 10);
    back.lineTo(25, 10);
    back.lineTo(25, 27);
    back.closeSubpath();
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(3, 27);
    front.lineTo(8, 15);
    front.lineTo(30, 15);
    front.lineTo(25, 27);
    front.closeSubpath();
    p.setBrush(shade(15, 27, QColor(255, 224, 130), QColor(238, 180, 60)));
    p.drawPath(front);
}

void drawSave(QPainter& p)
{
    QPainterPath disk;
    disk.moveTo(4, 4);
    disk.lineTo(24, 4);
    disk.lineTo(28, 8);
    disk.lineTo(28, 28);
    disk.lineTo(4, 28);
    disk.closeSubpath();
    p.setPen(outline());
    p.setBrush(shade(4, 28, QColor(86, 132, 204), QColor(36, 74, 140)));
    p.drawPath(disk);
    p.setBrush(shade(4, 13, QColor(236, 240, 246), QColor(196, 204, 216)));
    p.drawRect(QRectF(9, 4, 13, 9));
    p.setBrush(QColor(52, 90, 160));
    p.drawRect(QRectF(17, 6, 3, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 17, 16, 11));
    textLines(p, 11, 21, 20.5, 2, 3.5);
}

void drawClose(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(shade(4, 26, Qt::white, QColor(222, 226, 232)));
    p.drawRect(QRectF(3, 5, 22, 19));
    p.setBrush(shade(5, 10, QColor(96, 140, 206), QColor(52, 94, 164)));
    p.drawRect(QRectF(3, 5, 22, 5));
    redCross(p, QPointF(23, 23), 7);
}

void drawPrint(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(shade(11, 23, QColor(196, 202, 210), QColor(130, 138, 150)));
    p.drawRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);
    p.setBrush(QColor(90, 210, 90));
    p.drawEllipse(QPointF(24.5, 15), 1.4, 1.4);
    p.setBrush(shade(19, 29, Qt::white, QColor(228, 232, 238)));
    p.drawRect(QRectF(8, 19, 16, 10));
    textLines(p, 11, 21, 22.5, 2, 3.2);
}

void drawPrintPreview(QPainter& p)
{
    page(p, QRectF(4, 2, 18, 25), 6);
    textLines(p, 7, 18, 10, 4);
    p.setPen(QPen(kOutline, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 24), QPointF(29.5, 29.5));
    p.setPen(outline(1.6));
    QRadialGradient lens(QPointF(19, 18), 7);
    lens.setColorAt(0, QColor(232, 244, 255, 230));
    lens.setColorAt(1, QColor(150, 196, 238, 230));
    p.setBrush(lens);
    p.drawEllipse(QPointF(20, 20), 6, 6);
}

void drawDelete(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(shade(9, 29, QColor(236, 240, 244), QColor(172, 180, 192)));
    QPainterPath bin;
    bin.moveTo(7, 10);
    bin.lineTo(25, 10);
    bin.lineTo(23, 29);
    bin.lineTo(9, 29);
    bin.closeSubpath();
    p.drawPath(bin);
    p.setPen(QPen(QColor(110, 120, 134), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {12.5, 16.0, 19.5})
        p.drawLine(QPointF(x, 13), QPointF(x, 26));
    p.setPen(outline());
    p.setBrush(shade(5, 10, QColor(214, 72, 60), QColor(170, 34, 28)));
    p.drawRoundedRect(QRectF(5, 6, 22, 4), 1.5, 1.5);
    p.drawRect(QRectF(13, 3, 6, 3));
}

void drawExit(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(shade(3, 29, QColor(176, 122, 76), QColor(120, 78, 44)));
    p.drawRect(QRectF(6, 3, 16, 26));
    p.setBrush(QColor(240, 200, 90));
    p.drawEllipse(QPointF(18.5, 16), 1.4, 1.4);
    arrow(p, false, QColor(120, 210, 110), QColor(40, 150, 50));
}

void drawShipParticulars(QPainter& p)
{
    water(p, 27.5);
    ship(p, -1);
}

void drawPortMaster(QPainter& p)
{
    // An anchor: ring, shank, stock and flukes.
    QPen pen(kOutline, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPen inner(QColor(52, 96, 170), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath a;
    a.addEllipse(QPointF(16, 5.5), 2.8, 2.8);
    a.moveTo(16, 8.3);
    a.lineTo(16, 28);
    a.moveTo(10, 12);
    a.lineTo(22, 12);
    a.moveTo(5, 18);
    a.quadTo(6, 28, 16, 28);
    a.quadTo(26, 28, 27, 18);
    a.moveTo(3, 21);
    a.lineTo(5, 18);
    a.lineTo(8, 20);
    a.moveTo(29, 21);
    a.lineTo(27, 18);
    a.lineTo(24, 20);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    p.drawPath(a);
    p.setPen(inner);
    p.drawPath(a);
}

void drawLoading(QPainter& p)
{
    water(p, 29);
    ship(p, 3, 0.9);
    arrow(p, true, QColor(120, 210, 110), QColor(40, 150, 50));
}

void drawDischarging(QPainter& p)
{
    water(p, 29);
    ship(p, 3, 0.9);
    arrow(p, false, QColor(255, 180, 90), QColor(220, 110, 20));
}

void drawCalculator(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(shade(2, 30, QColor(110, 118, 130), QColor(60, 66, 76)));
    p.drawRoundedRect(QRectF(6, 2, 20, 28), 3, 3);
    p.setBrush(shade(5, 11, QColor(210, 236, 200), QColor(170, 210, 160)));
    p.drawRect(QRectF(9, 5, 14, 6));
    p.setPen(Qt::NoPen);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const bool op = (c == 2);
            p.setBrush(op ? QColor(240, 150, 60) : QColor(236, 238, 242));
            p.drawRoundedRect(QRectF(9 + c * 5, 14 + r * 3.8, 3.6, 2.8), 0.8, 0.8);
        }
    }
}

void drawNotepad(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(shade(4, 30, QColor(255, 252, 220), QColor(240, 230, 170)));
    p.drawRect(QRectF(5, 5, 19, 25));
    p.setBrush(QColor(80, 130, 200));
    p.drawRect(QRectF(5, 3, 19, 4));
    textLines(p, 8, 21, 12, 5, 3.4);
    // Pencil across the corner.
    p.save();
    p.translate(24, 18);
    p.rotate(45);
    p.setPen(outline(1.1));
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(-2, -10, 4, 14));
    p.setBrush(QColor(240, 210, 170));
    QPainterPath tip;
    tip.moveTo(-2, 4);
    tip.lineTo(2, 4);
    tip.lineTo(0, 8);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void drawTipOfDay(QPainter& p)
{
    QRadialGradient glass(QPointF(14, 10), 11);
    glass.setColorAt(0, QColor(255, 250, 200));
    glass.setColorAt(1, QColor(250, 200, 40));
    p.setPen(outline());
    p.setBrush(glass);
    QPainterPath bulb;
    bulb.moveTo(12, 22);
    bulb.cubicTo(12, 18, 6, 16, 6, 11);
    bulb.cubicTo(6, 5.5, 10.5, 2, 16, 2);
    bulb.cubicTo(21.5, 2, 26, 5.5, 26, 11);
    bulb.cubicTo(26, 16, 20, 18, 20, 22);
    bulb.closeSubpath();
    p.drawPath(bulb);
    p.setBrush(shade(22, 29, QColor(200, 204, 210), QColor(130, 136, 146)));
    p.drawRoundedRect(QRectF(11.5, 22, 9, 7), 1.5, 1.5);
    p.setPen(QPen(kOutline, 0.9));
    p.drawLine(QPointF(12, 24.5), QPointF(20, 24.5));
    p.drawLine(QPointF(12, 26.8), QPointF(20, 26.8));
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(9, 5, 10, 10), 100 * 16, 70 * 16);
}

void roundBadge(QPainter& p, const QColor& light, const QColor& dark)
{
    p.setPen(outline());
    p.setBrush(shade(2, 30, light, dark));
    p.drawEllipse(QPointF(16, 16), 13.5, 13.5);
}

void badgeText(QPainter& p, const QString& text, qreal pointSize)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(qRound(pointSize));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, text);
}

void drawHelp(QPainter& p)
{
    roundBadge(p, QColor(96, 150, 226), QColor(30, 84, 170));
    badgeText(p, QStringLiteral("?"), 20);
}

void drawAbout(QPainter& p)
{
    roundBadge(p, QColor(96, 150, 226), QColor(30, 84, 170));
    badgeText(p, QStringLiteral("i"), 20);
}

void drawTechSupport(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(shade(7, 26, Qt::white, QColor(220, 226, 234)));
    p.drawRect(QRectF(3, 7, 26, 19));
    p.setBrush(Qt::NoBrush);
    QPainterPath flap;
    flap.moveTo(3, 7);
    flap.lineTo(16, 18);
    flap.lineTo(29, 7);
    p.drawPath(flap);
    p.setPen(QPen(QColor(150, 158, 170), 1.1));
    p.drawLine(QPointF(3, 26), QPointF(13, 16));
    p.drawLine(QPointF(29, 26), QPointF(19, 16));
}

void drawWeb(QPainter& p)
{
    roundBadge(p, QColor(110, 190, 240), QColor(30, 110, 190));
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 6, 13.5);
    p.drawLine(QPointF(16, 2.5), QPointF(16, 29.5));
    p.drawLine(QPointF(2.5, 16), QPointF(29.5, 16));
    p.drawLine(QPointF(5, 9), QPointF(27, 9));
    p.drawLine(QPointF(5, 23), QPointF(27, 23));
}

void drawBug(QPainter& p)
{
    p.setPen(QPen(kOutline, 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int side : {-1, 1}) {
        for (int i = 0; i < 3; ++i) {
            const qreal y = 14 + i * 5;
            p.drawLine(QPointF(16 + side * 6, y), QPointF(16 + side * 12, y - 3 + i * 3));
        }
        p.drawLine(QPointF(16 + side * 2, 7), QPointF(16 + side * 6, 2));
    }
    p.setPen(outline());
    p.setBrush(shade(9, 29, QColor(120, 200, 90), QColor(40, 130, 40)));
    p.drawEllipse(QRectF(9, 10, 14, 19));
    p.setBrush(QColor(60, 70, 60));
    p.drawEllipse(QRectF(11, 5, 10, 7));
    p.drawLine(QPointF(16, 12), QPointF(16, 28));
}

void drawApplication(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(shade(0, 32, QColor(120, 180, 230), QColor(30, 90, 160)));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    ship(p, 0, 0.85);
    // Draft marks on the stem: the figures a surveyor reads.
    p.setPen(QPen(Qt::white, 1.2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(24.5, 18.5 + i * 2.2), QPointF(26.5, 18.5 + i * 2.2));
    p.setPen(QPen(QColor(220, 240, 255), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 25.5), QPointF(29, 25.5));
}

const QHash<QString, Draw>& drawings()
{
    static const QHash<QString, Draw> table = {
        {QStringLiteral("New"), drawNew},
        {QStringLiteral("Open"), drawOpen},
        {QStringLiteral("Save"), drawSave},
        {QStringLiteral("Close"), drawClose},
        {QStringLiteral("Print"), drawPrint},
        {QStringLiteral("PrintPreview"), drawPrintPreview},
        {QStringLiteral("Delete"), drawDelete},
        {QStringLiteral("Exit"), drawExit},
        {QStringLiteral("ShipParticulars"), drawShipParticulars},
        {QStringLiteral("PortMaster"), drawPortMaster},
        {QStringLiteral("Loading"), drawLoading},
        {QStringLiteral("Discharging"), drawDischarging},
        {QStringLiteral("Calculator"), drawCalculator},
        {QStringLiteral("Notepad"), drawNotepad},
        {QStringLiteral("TipOfDay"), drawTipOfDay},
        {QStringLiteral("Help"), drawHelp},
        {QStringLiteral("About"), drawAbout},
        {QStringLiteral("TechSupport"), drawTechSupport},
        {QStringLiteral("Web"), drawWeb},
        {QStringLiteral("Bug"), drawBug},
        {QStringLiteral("Application"), drawApplication},
    };
    return table;
}

QPixmap render(const Draw& draw, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return pm;
}

// A drawn picture, drawn at a size only when that size is first asked for: a menu's pictures are
// drawn when the menu first opens, not at start.
class DrawnIconEngine : public QIconEngine {
public:
    explicit DrawnIconEngine(Draw draw) : m_draw(std::move(draw)) {}

    QIconEngine* clone() const override { return new DrawnIconEngine(*this); }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return side > 0 ? QSize(side, side) : QSize();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        const int side = qMin(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        const quint64 key = (quint64(side) << 8) | (quint64(mode) << 1) | quint64(state);
        if (const auto it = m_drawn.constFind(key); it != m_drawn.constEnd())
            return it.value();
        QPixmap pm = render(m_draw, side);
        // Greyed as the style greys any picture of a command that is off.
        if (mode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            if (QStyle* style = QApplication::style())
                pm = style->generatedIconPixmap(mode, pm, &option);
        }
        m_drawn.insert(key, pm);
        return pm;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), pm);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : {16, 20, 22, 24, 32, 48, 64, 128})
            sizes.append(QSize(side, side));
        return sizes;
    }

    QString key() const override { return QStringLiteral("DrawnIconEngine"); }

private:
    Draw m_draw;
    QHash<quint64, QPixmap> m_drawn;
};

}  // namespace

namespace AppIcons {

QIcon icon(const QString& key)
{
    // Pictures must not outlive the application object: the cache empties itself with it.
    static QHash<QString, QIcon> cache;
    static bool watching = false;
    if (!watching && QCoreApplication::instance()) {
        watching = true;
        QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] {
            cache.clear();
            watching = false;
        });
    }
    const auto cached = cache.constFind(key);
    if (cached != cache.constEnd())
        return cached.value();
    const auto it = drawings().constFind(key);
    if (it == drawings().constEnd())
        return QIcon();
    const QIcon result(new DrawnIconEngine(it.value()));
    cache.insert(key, result);
    return result;
}

QStringList keys()
{
    QStringList list = drawings().keys();
    list.sort();
    return list;
}

}  // namespace AppIcons
