#pragma once

#include <QFlags>
#include <QObject>
#include <QString>
#include <functional>

class QWidget;
class ChildWindow;

// The File commands that act on the active child window, each a toolbar button and (but Delete)
// a File menu item. A child window says which of them it offers now; the rest are greyed. The
// enumeration is known to Qt's meta-objects, so that a test that compares sets names the commands.
namespace ChildCommandEnum {
Q_NAMESPACE
enum class ChildCommand {
    New = 0x01,
    Save = 0x02,
    Print = 0x04,
    PrintPreview = 0x08,
    Delete = 0x10,
    Close = 0x20,
};
Q_ENUM_NS(ChildCommand)
}  // namespace ChildCommandEnum

using ChildCommand = ChildCommandEnum::ChildCommand;
Q_DECLARE_FLAGS(ChildCommands, ChildCommand)
Q_DECLARE_OPERATORS_FOR_FLAGS(ChildCommands)

// What a child window asks of the frame that hosts it. The main window answers; a window opened
// without one (a test, the command line) finds none and asks nothing.
class ChildHost {
public:
    virtual ~ChildHost() = default;
    // The commands `child` offers have changed: the toolbar buttons and File menu items follow
    // its offeredCommands().
    virtual void commandsChanged(const ChildWindow& child) = 0;
    // Panel 1 of the status bar.
    virtual void setStatusText(const QString& text) = 0;
    // The child has agreed to close.
    virtual void childClosing(QWidget* child) = 0;
};

// The contract between the main window and its child windows. A child window is a QWidget that
// also derives from ChildWindow; the main window forwards its File commands to the active one.
class ChildWindow {
public:
    virtual ~ChildWindow() = default;

    // Which of the File commands the window offers now.
    virtual ChildCommands offeredCommands() const = 0;

    virtual void newRecord() {}
    virtual void saveRecord() {}
    virtual void deleteRecord() {}
    virtual void print(bool showPreview = true) { (void)showPreview; }

    // Called by the main window each time the child becomes the active window. The default has the
    // commands follow offeredCommands() and clears the status text; a window with a hint of its
    // own overrides it.
    virtual void activated();

    // The tip window lives in the main window but is neither counted nor governs the commands.
    virtual bool countsAsChild() const { return true; }

    // The frame of the run, or nullptr when none exists.
    static ChildHost* host();
    static void setHost(ChildHost* host);

    // Child windows are made by factories registered under their window names ("frmQuorvane",
    // "frmZODuraduza", "frmShipParticulars", "frmPortMaster", "frmTipOfDay"), so that neither the
    // frame nor anything else depends on the windows it opens.
    using Factory = std::function<QWidget*()>;
    static void registerFactory(const QString& name, Factory factory);
    // A new child window of that class, opened nowhere; nullptr when no factory has that name.
    static QWidget* create(const QString& name);

protected:
    // Tells the frame, when there is one, that offeredCommands() has changed.
    void offeredCommandsChanged() const;
};
