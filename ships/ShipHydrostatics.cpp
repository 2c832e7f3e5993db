// Ship Particulars' way to the ship's hydrostatic table.

#include "core/MessageService.h"
#include "ships/HydrostaticTableWindow.h"
#include "ships/ShipParticularsWindow.h"

#include <QComboBox>

void ShipParticularsWindow::openHydrostaticTable()
{
    // The table belongs to a stored ship: a new one must be saved first.
    if (m_recordMode != Mode::Existing || m_isDirty || currentShipId() <= 0) {
        MessageService::show(QStringLiteral("Please save the ship's particulars before editing her hydrostatic table."),
                             Msg::Buttons::Ok, Msg::Icon::Exclamation);
        return;
    }
    auto* editor = new HydrostaticTableWindow(currentShipId(), m_nameOnShow, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::WindowModal);
    editor->open();
}
