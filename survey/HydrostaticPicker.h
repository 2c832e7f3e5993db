#pragma once

#include "model/SurveyModel.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class GridEditor;
class QLabel;
class SurveyGrids;

// Shows the rows the survey picked from the ship's own table in a survey window's hydrostatic
// grids: the Below and Above rows of fgrdHDT that bracket the true mean draft, and the MCTC tables
// at those drafts 50 cm above and below. What the user typed over a picked figure is kept and
// shown bold; a cell emptied by the user takes the table's figure again at the next pick. Outside
// the table nothing is picked (nothing is ever extrapolated) and lblHydrostaticPick says why. A
// ship without a table leaves the grids to the user, as they always were.
class HydrostaticPicker : public QObject {
    Q_OBJECT
public:
    // `survey` gives the survey the window shows (it may take another from a file).
    HydrostaticPicker(SurveyGrids& grids, std::function<SurveyModel&()> survey, QObject* parent);

    // Picks for the draft on show (0 Initial, 1 Final) and shows the rows. `reloadTable`: read the
    // ship's table again (a draft shown afresh), else only when the ship changed.
    void refresh(int draftIndex, bool reloadTable);
    // A new survey: nothing picked is shown.
    void forget();

    // A cell of fgrdHDT, fgrdMCTCP50 or fgrdMCTCM50 holding a figure typed over the table's.
    bool isTyped(const GridEditor* grid, int row, int column) const;

private:
    struct Cell {
        GridEditor* grid;
        int row;
        int column;
    };
    QVector<Cell> cells() const;
    void showMarks(int draftIndex);

    SurveyGrids& m_grids;
    std::function<SurveyModel&()> m_survey;
    std::optional<int> m_loadedShip;
    QLabel* m_note = nullptr;
    int m_draftIndex = 0;
};
