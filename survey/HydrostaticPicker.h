#pragma once

#include "core/Decimal.h"
#include "model/HydrostaticTable.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class GridEditor;
class QLabel;
class SurveyGrids;

// Fills the hydrostatic grids of a survey window from the ship's own table: the Below and Above
// rows of fgrdHDT that bracket the true mean draft, and the MCTC tables at those drafts 50 cm
// above and below. What the user typed over a picked figure is kept and shown bold; a cell
// emptied by the user takes the table's figure again at the next pick. Outside the table nothing
// is picked (nothing is ever extrapolated) and lblHydrostaticPick says why. A ship without a
// table leaves the grids to the user, as they always were.
class HydrostaticPicker : public QObject {
    Q_OBJECT
public:
    // `shipId` tells which ship the window has chosen (0 for none).
    HydrostaticPicker(SurveyGrids& grids, std::function<int()> shipId, QObject* parent);

    // Picks for the draft on show (0 Initial, 1 Final) at the true mean draft, or, without one
    // (readings still missing), leaves the grids as they are. `reloadTable`: read the ship's table
    // again (a draft shown afresh), else only when the ship changed.
    void refresh(int draftIndex, const std::optional<Decimal>& trueMeanDraft, bool reloadTable);
    // A new survey: nothing picked is remembered.
    void forget();

    // A cell of fgrdHDT, fgrdMCTCP50 or fgrdMCTCM50 holding a figure typed over the table's.
    bool isTyped(const GridEditor* grid, int row, int column) const;

private:
    struct Cell {
        GridEditor* grid;
        int row;
        int column;
    };
    void loadTable(int shipId);
    QVector<Cell> cells() const;
    static quint32 key(int grid, int row, int column) { return quint32(grid << 16 | row << 8 | column); }
    int gridIndex(const GridEditor* grid) const;
    void write(int draftIndex, const Cell& cell, int gridNo, const QString& text);
    void showMarks(int draftIndex);
    void committedByUser(GridEditor* grid, int row, int column);

    SurveyGrids& m_grids;
    std::function<int()> m_shipId;
    int m_loadedShip = -1;
    std::optional<HydrostaticTable> m_table;
    Decimal m_keelPlateMm;
    QLabel* m_note = nullptr;
    int m_draftIndex = 0;
    // Per draft: the figure last written into each cell by a pick.
    std::array<QHash<quint32, QString>, 2> m_picked;
};
