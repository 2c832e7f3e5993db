#pragma once

#include "model/SurveyMessage.h"

#include <QTableWidget>
#include <functional>

class SurveyModel;

// The tank sheet of the draft on show, beside the deductibles: one row per tank of the ship's
// tables with its group, the reading, the density and (typed by hand when the table cannot give
// it) the volume, and what the survey works out from them: the trim the table was entered at,
// the volume and the weight. A box left hands its text to the survey; a refused one is told and
// put back. Hidden for a ship without tank tables, so that it takes no part in the window's keys.
class TankSheetPanel : public QTableWidget {
    Q_OBJECT

public:
    enum Column {
        TankColumn,
        GroupColumn,
        ReadingColumn,
        DensityColumn,
        TrimColumn,
        VolumeColumn,
        WeightColumn,
        ColumnCount
    };

    TankSheetPanel(std::function<SurveyModel&()> model, std::function<void(const SurveyMessages&)> tell,
        QWidget* parent = nullptr);

    // Fills the rows with the draft's sheet; shows the panel only when the ship has tank tables.
    void showDraft(int draft);
    int draft() const { return m_draft; }

private:
    void cellChanged(QTableWidgetItem* item);

    std::function<SurveyModel&()> m_model;
    std::function<void(const SurveyMessages&)> m_tell;
    int m_draft = 0;
    bool m_filling = false;
};
