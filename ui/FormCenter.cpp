#include "ui/FormCenter.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace {

// Half of a measure (in pixels), rounded half to even as the old runtime did when it stored it whole.
int halfEven(int a)
{
    const int q = a / 2;
    const bool half = a % 2 != 0;
    if (!half)
        return q;
    // a is odd: a/2 lies exactly between q and q +/- 1; take the even one.
    const int other = a > 0 ? q + 1 : q - 1;
    return q % 2 == 0 ? q : other;
}

}  // namespace

bool centreOnScreen(QWidget* window)
{
    if (!window)
        return false;
    // Twips (1) are the only scale the placement was ever worked out in.
    const QVariant scaleMode = window->property("ScaleMode");
    if (scaleMode.isValid() && scaleMode.toInt() != 1)
        return false;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;

    // A child of the main window moves its sub-window, the frame the user sees.
    QWidget* target = window;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        target = sub;

    const QRect area = screen->availableGeometry();
    const QSize size = target->isWindow() ? target->frameGeometry().size() : target->size();
    int left = halfEven(2 * halfEven(area.width()) - size.width());
    int top = halfEven(2 * halfEven(area.height()) - size.height());
    // A window taller or wider than the screen keeps its title bar on it, so it can be moved.
    left = std::max(0, left);
    top = std::max(0, top);
    if (target->isWindow())
        target->move(area.left() + left, area.top() + top);
    else
        target->move(left, top);
    return true;
}
