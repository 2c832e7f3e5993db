#include "app/ChildWindow.h"

#include "app/frmMDI.h"

void ChildWindow::Activated()
{
    if (frmMDI* mdi = frmMDI::instance()) {
        mdi->SetMDIToolbar(ToolbarState());
        mdi->setStatusText(QString());
    }
}
