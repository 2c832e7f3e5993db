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

int draftTabStep(const QKeyEvent& key)
{
    if (!switchesDraftTab(key))
        return 0;
    return key.key() == Qt::Key_Tab || key.key() == Qt::Key_PageDown ? 1 : -1;
}

}  // namespace SurveyKeys
