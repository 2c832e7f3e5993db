#include "shell/ChildRegistry.h"

#include "shell/frmMDI.h"
#include "shell/frmTipOfDay.h"
#include "ships/frmPortMaster.h"
#include "ships/frmShipParticulars.h"
#include "survey/frmQuorvane.h"
#include "survey/frmZODuraduza.h"

// One line per child window: the class name the menus and the navigator open it by, and how
// to make it. Each window appears here once; the main window keeps it to one open copy.
void registerChildWindows()
{
    frmMDI::registerChild(QStringLiteral("frmTipOfDay"), [] { return new frmTipOfDay; });
    frmMDI::registerChild(QStringLiteral("frmShipParticulars"), [] { return new frmShipParticulars; });
    frmMDI::registerChild(QStringLiteral("frmPortMaster"), [] { return new frmPortMaster; });
    frmMDI::registerChild(QStringLiteral("frmQuorvane"), [] { return new frmQuorvane; });
    frmMDI::registerChild(QStringLiteral("frmZODuraduza"), [] { return new frmZODuraduza; });
}
