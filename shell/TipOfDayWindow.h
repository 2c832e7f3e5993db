#pragma once

#include "ui/ChildWindow.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

// "Tip of the Day": one piece of advice from the TipOfDay table, picked at random, shown at
// start-up (unless switched off) and from Help, Daily Tips. It lives in the main window but is
// not one of the windows that the File commands work on.
class TipOfDayWindow : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    explicit TipOfDayWindow(QWidget* parent = nullptr);

    ChildCommands offeredCommands() const override { return {}; }
    bool countsAsChild() const override { return false; }
    void activated() override;

    // The tips read when the window opened, in stored order.
    QStringList tips() const { return m_tips; }
    // The 1-based position of the tip shown, 0 when none is.
    int currentTip() const { return m_current; }

    // The setting "Show Tips at Startup" in section "Options" (a missing value counts as on).
    static bool showTipsAtStartup();
    static void storeShowTipsAtStartup(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadTips();
    void pickTip();

    QLabel* lblTipText = nullptr;
    QCheckBox* chkLoadTipsAtStartup = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdOK = nullptr;
    QStringList m_tips;
    int m_current = 0;
    QRandomGenerator m_random;
};
