#pragma once

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <utility>

#include "ui/ChildWindow.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolButton;
class HelpViewer;
class StatusPanels;

// The main window: a multiple-document frame that hosts the child windows, forwards its File
// commands to the active one and enables those the child offers (ChildWindow::offeredCommands).
class MainWindow : public QMainWindow, public ChildHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The one main window of the run, or nullptr when none exists.
    static MainWindow* instance();

    // Child windows are made by factories registered under their window names ("frmQuorvane",
    // "frmZODuraduza", "frmShipParticulars", "frmPortMaster", "frmTipOfDay"), so the frame
    // does not depend on the windows it hosts.
    using Factory = ChildWindow::Factory;
    static void registerChild(const QString& name, Factory factory);
    // Menu commands that belong to other parts of the program (the survey files), by the command
    // name their menu item carries.
    using Command = std::function<void(MainWindow&)>;
    static void registerCommand(const QString& name, Command command);

    // The opening steps: count the child unless it is already open, show the band, show the
    // window (or bring the open one to the front). Returns the child widget, or nullptr when no
    // factory is registered under that name.
    QWidget* openChild(const QString& name);
    // The open child window of that class, or nullptr.
    QWidget* findChildWindow(const QString& name) const;
    // The active child widget, or nullptr.
    QWidget* activeChild() const;

    // The toolbar buttons and File menu items follow the commands `child` offers.
    void commandsChanged(const ChildWindow& child) override;
    // Enables the toolbar buttons and File menu items of the commands offered, greys the others
    // (Open and Exit are always on); none offered is the state with no child window in front.
    void enableCommands(ChildCommands offered);

    // Panel 1 of the status bar.
    void setStatusText(const QString& text) override;
    QString statusText() const;

    // The closing rule of a child window: one less open child (hiding the band at zero), the
    // status hint, and all commands off. Each child calls it from its closing handler once it
    // has agreed to close.
    void childClosing(QWidget* child) override;

    // Panel 1 shows "Press Ctrl-O to open the Open file box" exactly when no window other
    // than the main window is open; `ignore` is a closing window that no longer counts.
    void applyStatusHint(QWidget* ignore = nullptr);

    QMdiArea* mdiArea() const;
    // The Draft Survey menu ("mnuMain2"), and its Recent Surveys submenu ("mnuQuorvaneRecent").
    QMenu* surveyMenu() const { return m_surveyMenu; }
    QMenu* recentSurveysMenu() const { return m_recentSurveysMenu; }

    // Number of child windows open; decides whether the band with the toolbar is shown.
    static int openChildCount;

    // The text panel 1 shows when the main window is the only window open.
    static QString statusHint();

    // The main window of the run, made (deleting itself when closed) and shown when needed.
    static MainWindow* showMainWindow();
    // The main window made, not yet shown (the one there is, when there is one).
    static MainWindow* mainWindow();

    // The menu item or toolbar button with that name ("mnuFile(0)", "tbrMDI(9)"), or nullptr.
    QAction* action(const QString& name) const;

    // The commands, as the menu items and the toolbar buttons run them.
    void showNavigator();     // File, Open: the window navigator, modal
    void showHelp();          // Help, Contents
    void showAbout();         // Help, About: the About box, modal
    // A toolbar button's tag: "New", "Save", "PrintPreview", "Print", "Delete" or "Close".
    void toolbarCommand(const QString& tag);

signals:
    // A child window was made and shown by openChild().
    void childOpened(QWidget* child);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createToolbar();
    void fillWindowMenu();
    void menuCommand(const QString& command);
    void subWindowActivated(QMdiSubWindow* sub);
    QMdiSubWindow* subWindowOf(const QWidget* child) const;
    ChildWindow* activeChildWindow() const;
    bool otherWindowOpen(const QObject* ignore) const;
    // The MDI area's frames, less those being torn down.
    QList<QMdiSubWindow*> liveSubWindows() const;
    bool childWindowOpen() const;
    void forgetChild(QWidget* child);

    QMdiArea* m_mdi = nullptr;
    QToolBar* m_band = nullptr;     // cbMDI
    QToolBar* m_toolbar = nullptr;  // tbrMDI, held in the band
    StatusPanels* m_status = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_surveyMenu = nullptr;
    QMenu* m_recentSurveysMenu = nullptr;
    QMap<QString, QAction*> m_actions;
    // Each toolbar button and File menu item that acts on the active child, with its command.
    QList<std::pair<ChildCommands, QAction*>> m_commandActions;
    QSet<QWidget*> m_counted;  // the open child windows that take part in openChildCount
    QPointer<QWidget> m_lastActivated;
    // Frames whose child window has been destroyed: they are being torn down.
    QSet<const void*> m_deadFrames;
    QPointer<HelpViewer> m_help;
    bool m_destroying = false;
};
