#pragma once

#include <QString>
#include <functional>

class QWidget;

// What a child window asks of the frame that hosts it. The main window answers; a window opened
// without one (a test, the command line) finds none and asks nothing.
class ChildHost {
public:
    virtual ~ChildHost() = default;
    // Enables the toolbar buttons and File menu items from a nine-character state string.
    virtual void SetMDIToolbar(const QString& state) = 0;
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

    // Nine characters of "0"/"1": which of New, Save, Print, Print Preview, Delete and Close
    // the window offers now (positions 1, 2, 4, 5, 7, 9; the separator positions are not read).
    virtual QString ToolbarState() const = 0;

    virtual void RNew() {}
    virtual void RSave() {}
    virtual void RDelete() {}
    virtual void RPrint(bool blnShowPreview = true) { (void)blnShowPreview; }

    // Called by the main window each time the child becomes the active window. The default hands
    // ToolbarState to SetMDIToolbar and clears the status text; a window with a hint of its own
    // overrides it.
    virtual void Activated();

    // The tip window lives in the main window but is neither counted nor governs the commands.
    virtual bool CountsAsChild() const { return true; }

    // The frame of the run, or nullptr when none exists.
    static ChildHost* host();
    static void setHost(ChildHost* host);

    // Child windows are made by factories registered under their class names ("frmQuorvane",
    // "frmZODuraduza", "frmShipParticulars", "frmPortMaster", "frmTipOfDay"), so that neither the
    // frame nor anything else depends on the windows it opens.
    using Factory = std::function<QWidget*()>;
    static void registerFactory(const QString& name, Factory factory);
    // A new child window of that class, opened nowhere; nullptr when no factory has that name.
    static QWidget* create(const QString& name);
};
