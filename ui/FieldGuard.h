#pragma once

#include <QHash>
#include <QObject>
#include <QWidget>
#include <QPointer>
#include <functional>


// Checks a field before the focus leaves it, the way a surveyor expects a form to behave: the
// check runs when the user tries to move on (Tab, Shift+Tab, Enter handled as Tab, or a click on
// another control of the same window) and may keep the focus in the field. Programmatic focus
// changes and the window losing activation (a message box coming up) run no check.
//
// One guard per window; every window with field checks uses it.
class FieldGuard : public QObject {
    Q_OBJECT
public:
    // true: the focus may leave the field. A check that refuses shows its own message and puts
    // the field the way it wants it (emptied, today's date, ...).
    using Check = std::function<bool()>;

    explicit FieldGuard(QWidget* window);
    ~FieldGuard() override;

    void setCheck(QWidget* field, Check check);
    void removeCheck(QWidget* field);
    bool hasCheck(QWidget* field) const;

    // Runs the check of `field` (true when it has none). Safe against re-entry.
    bool validate(QWidget* field);
    // Runs the check of the window's focused field, if it has one.
    bool validateFocused();

    // Enter as Tab: checks the focused field, then moves the focus to the next (or previous)
    // control in tab order. Returns false when the check kept the focus.
    bool moveFocus(bool forward = true);

    // Switch the guard off while the window fills itself.
    void setEnabled(bool on) { m_enabled = on; }
    bool isEnabled() const { return m_enabled; }

    // The widget whose check is running, or nullptr.
    QWidget* checking() const { return m_checking; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* focusedField() const;
    bool belongsToWindow(QWidget* w) const;

    QPointer<QWidget> m_window;
    QHash<QWidget*, Check> m_checks;
    QPointer<QWidget> m_checking;
    // A field that has just lost the focus to a mouse click: Qt moves the focus before the
    // click itself is delivered, so the click must still ask that field.
    QPointer<QWidget> m_leftByMouse;
    bool m_enabled = true;
};
