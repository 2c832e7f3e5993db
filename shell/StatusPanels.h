#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

// The main window's status bar `sb1`: panel 1 the message, then Caps Lock ("CAPS"), Num Lock
// ("NUM") and Insert ("INS"), shown dark when on and greyed when off, then the time and the
// date, kept current by a clock.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);
    ~StatusPanels() override;

    // Panel 1.
    void setMessage(const QString& text);
    QString message() const;

    // The panel with that 1-based number (1 message, 2 CAPS, 3 NUM, 4 INS, 5 time, 6 date).
    QLabel* panel(int number) const;

    bool capsLock() const { return m_caps; }
    bool numLock() const { return m_num; }
    bool insertMode() const { return m_insert; }

    // Reads the clock and the lock keys again.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showKeyStates();

    QLabel* m_panels[6] = {};
    QTimer* m_clock = nullptr;
    bool m_caps = false;
    bool m_num = false;
    bool m_insert = false;
};
