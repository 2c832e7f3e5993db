#pragma once

#include "core/MessageService.h"

#include <QList>
#include <QString>

// What the survey has to say to the surveyor: a refused value, a check that stopped a
// calculation, a result no ship can float at. The survey only says it; a window shows it in a
// box, the command line prints it.
struct SurveyMessage {
    QString text;
    QString title;  // empty: the program's own title
    Msg::Icon icon = Msg::Icon::Exclamation;
    // The survey file's name of the field it concerns ("drafts.fwdPort", "voyage"); empty when
    // it concerns the survey as a whole.
    QString field;
};
using SurveyMessages = QList<SurveyMessage>;
