#pragma once

#include <QString>

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
};
