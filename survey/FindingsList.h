#pragma once

#include "model/SurveyFinding.h"

#include <QListWidget>

// What the survey's checks found about the draft on show, under its results: one line per
// finding, a warning or an information icon and the sentence. It only shows; it never asks.
class FindingsList : public QListWidget {
    Q_OBJECT
public:
    explicit FindingsList(QWidget* parent = nullptr);

    void showFindings(const SurveyFindings& findings);
    QSize sizeHint() const override;
};
