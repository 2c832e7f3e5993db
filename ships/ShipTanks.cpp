// Ship Particulars' way to the ship's tank tables.

#include "core/MessageService.h"
#include "ships/ShipParticularsWindow.h"
#include "ships/TankTableWindow.h"

void ShipParticularsWindow::openTankTables()
{
    // The tables belong to a stored ship: a new one must be saved first.
    if (m_recordMode != Mode::Existing || m_isDirty || currentShipId() <= 0) {
        MessageService::show(
            QStringLiteral("Please save the ship's particulars before editing her tank tables."),
            Msg::Buttons::Ok, Msg::Icon::Exclamation);
        return;
    }
    auto* editor = new TankTableWindow(currentShipId(), m_nameOnShow, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::WindowModal);
    editor->open();
}
