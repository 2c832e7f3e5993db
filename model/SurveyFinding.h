#pragma once

#include <QList>
#include <QString>

// One thing a surveyor should look at before signing a survey: a reading, a table row or a result
// that the figures alone do not refuse but that a ship seldom shows. Found after each Calculate;
// nothing is changed by it.
struct SurveyFinding {
    enum class Severity { Information, Warning };
    // The draft it concerns, or the survey as a whole (the two drafts together).
    // A draft check read between the two is judged as a draft of its own.
    enum class Draft { Initial, Final, Survey, Check };

    QString code;  // "list", "deflection", ...
    Severity severity = Severity::Warning;
    Draft draft = Draft::Initial;
    QString text;  // one sentence with the figures

    bool isWarning() const { return severity == Severity::Warning; }
    // The names the command line writes: "information"/"warning", "initial"/"final"/"survey".
    QString severityName() const;
    QString draftName() const;
};

using SurveyFindings = QList<SurveyFinding>;
