#include "survey/SurveyKeys.h"

#include <QKeyEvent>

namespace SurveyKeys {

bool switchesDraftTab(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Tab:
        return mods == Qt::ControlModifier;
    case Qt::Key_Backtab:
        return mods == (Qt::ControlModifier | Qt::ShiftModifier);
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        return mods == Qt::ControlModifier;
    default:
        return false;
    }
}

}  // namespace SurveyKeys
