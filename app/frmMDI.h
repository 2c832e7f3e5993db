#pragma once

#include <QMainWindow>
#include <QMap>
#include <QString>
#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class QToolButton;
class ChildWindow;

// The main window: a multiple-document frame that hosts the child windows, forwards its File
// commands to the active one and enables them from the child's ToolbarState.
class frmMDI : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMDI(QWidget* parent = nullptr);
    ~frmMDI() override;

    // The one main window of the run, or nullptr when none exists.
    static frmMDI* instance();

    // Child windows are made by factories registered under their class names ("frmQuorvane",
    // "frmZODuraduza", "frmShipParticulars", "frmPortMaster", "frmTipOfDay"), so the frame
    // does not depend on the windows it hosts.
    using Factory = std::function<QWidget*()>;
    static void registerChild(const QString& name, Factory factory);

    // The opening steps: count the child unless it is already open, show the band, show the
    // window (or bring the open one to the front). Returns the child widget, or nullptr when no
    // factory is registered under that name.
    QWidget* openChild(const QString& name);
    // The open child window of that class, or nullptr.
    QWidget* findChildWindow(const QString& name) const;
    // The active child widget, or nullptr.
    QWidget* activeChild() const;

    // Enables the toolbar buttons and File menu items from a nine-character state string.
    void SetMDIToolbar(const QString& ButtonSettings);

    // Panel 1 of the status bar.
    void setStatusText(const QString& text);
    QString statusText() const;

    // The closing rule of a child window: one less open child (hiding the band at zero), the
    // status hint, and all commands off. Each child calls it from its closing handler once it
    // has agreed to close.
    void childClosing(QWidget* child);

    // Panel 1 shows "Press Ctrl-O to open the Open file box" exactly when no window other
    // than the main window is open; `ignore` is a closing window that no longer counts.
    void applyStatusHint(QWidget* ignore = nullptr);

    QMdiArea* mdiArea() const;

    // Number of child windows open; decides whether the band with the toolbar is shown.
    static int OpenChildCount;
};
