#include "shell/ChildRegistry.h"

#include "shell/MainWindow.h"
#include "shell/TipOfDayWindow.h"
#include "ships/PortMasterWindow.h"
#include "ships/ShipParticularsWindow.h"
#include "survey/LoadingSurveyWindow.h"
#include "survey/DischargingSurveyWindow.h"

// One line per child window: the class name the menus and the navigator open it by, and how
// to make it. Each window appears here once; the main window keeps it to one open copy.
void registerChildWindows()
{
    MainWindow::registerChild(QStringLiteral("frmTipOfDay"), [] { return new TipOfDayWindow; });
    MainWindow::registerChild(QStringLiteral("frmShipParticulars"), [] { return new ShipParticularsWindow; });
    MainWindow::registerChild(QStringLiteral("frmPortMaster"), [] { return new PortMasterWindow; });
    MainWindow::registerChild(QStringLiteral("frmQuorvane"), [] { return new LoadingSurveyWindow; });
    MainWindow::registerChild(QStringLiteral("frmZODuraduza"), [] { return new DischargingSurveyWindow; });
}
