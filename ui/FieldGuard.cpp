#include "ui/FieldGuard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

FieldGuard::FieldGuard(QWidget* window) : QObject(window), m_window(window)
{
    qApp->installEventFilter(this);
}

FieldGuard::~FieldGuard()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void FieldGuard::setCheck(QWidget* field, Check check)
{
    m_checks.insert(field, std::move(check));
    connect(field, &QObject::destroyed, this, [this, field] { m_checks.remove(field); });
}

void FieldGuard::removeCheck(QWidget* field)
{
    m_checks.remove(field);
}

bool FieldGuard::hasCheck(QWidget* field) const
{
    return m_checks.contains(field);
}

bool FieldGuard::validate(QWidget* field)
{
    if (!field || !m_enabled || m_checking)
        return true;
    const auto it = m_checks.constFind(field);
    if (it == m_checks.constEnd())
        return true;
    const Check check = it.value();  // the check may change the table
    m_checking = field;
    bool ok = true;
    try {
        ok = check();
    } catch (...) {
        m_checking = nullptr;
        throw;
    }
    m_checking = nullptr;
    if (!ok && field->isVisible() && field->isEnabled())
        field->setFocus(Qt::OtherFocusReason);
    return ok;
}

bool FieldGuard::validateFocused()
{
    return validate(focusedField());
}

bool FieldGuard::moveFocus(bool forward)
{
    QWidget* current = focusedField();
    if (!validate(current))
        return false;
    if (!m_window)
        return true;
    QWidget* start = current ? current : m_window.data();
    QWidget* w = start;
    // Walk the focus chain of the window to the next control that takes the focus by Tab.
    for (int guard = 0; guard < 10000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == start)
            break;
        if (belongsToWindow(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
            && !w->focusProxy()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

QWidget* FieldGuard::focusedField() const
{
    QWidget* f = QApplication::focusWidget();
    if (!f || !belongsToWindow(f))
        return nullptr;
    // A combo box's line edit reports itself; the check is registered on the combo box.
    for (QWidget* w = f; w && w != m_window; w = w->parentWidget()) {
        if (m_checks.contains(w))
            return w;
    }
    return f;
}

bool FieldGuard::belongsToWindow(QWidget* w) const
{
    return m_window && w && (w == m_window || m_window->isAncestorOf(w));
}

bool FieldGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_enabled || m_checking || !m_window)
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusOut) {
        auto* focus = static_cast<QFocusEvent*>(event);
        QWidget* w = qobject_cast<QWidget*>(watched);
        if (focus->reason() == Qt::MouseFocusReason && w && m_checks.contains(w))
            m_leftByMouse = w;
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
        return false;
    QWidget* target = qobject_cast<QWidget*>(watched);
    if (!target || !belongsToWindow(target))
        return false;
    QWidget* field = focusedField();
    if (type != QEvent::KeyPress && m_leftByMouse) {
        field = m_leftByMouse;
        m_leftByMouse = nullptr;
    }
    if (!field || !m_checks.contains(field))
        return false;

    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)
            return false;
        // Only the key as delivered to the focused field (not its parents' copies) counts.
        if (target != QApplication::focusWidget())
            return false;
        return !validate(field);
    }

    // A click inside the field itself (or its pop-up parts) does not leave it.
    if (target == field || field->isAncestorOf(target))
        return false;
    return !validate(field);
}
