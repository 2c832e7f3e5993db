#pragma once

#include "core/Decimal.h"
#include "core/Variant.h"
#include "model/ResultFigures.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class QLineEdit;
class QWidget;
class SurveyGrid;

// The displacement result grid of a survey window, fgrdFinalResult: from the displacement at the
// true mean draft down through the trim, list and density corrections and the deductibles to the
// net displacement, then light ship and constant (Initial) or initial net displacement and cargo
// (Final). On the Final tab the box txtFnlGrdTxtBox lies over cell (10, 1), where an initial net
// displacement found elsewhere can be typed.
class ResultDisplay {
public:
    enum Row { NetDisplacementRow = 9, SecondLastRow = 10, LastRow = 11, RowCount = 12 };

    explicit ResultDisplay(QWidget* parent);

    SurveyGrid* grid() const { return m_grid; }
    QLineEdit* initialNetDisplacementBox() const { return m_box; }

    // Empties the grid and writes the captions: rows 0-8 always the same, rows 9-11 as given.
    // (0, 0) and (9, 0) are bold; (11, 0) when `boldLastRow`.
    void reset(const QStringList& lastCaptions, bool boldLastRow);
    // Rows 9-11 captions only.
    void setLastCaptions(const QStringList& captions);
    // Column 1 of rows 0-8 from a draft's finalResult, each to its places.
    void showResultRows(const QVector<Variant>& finalResult);

    QString text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    void setRed(int row, int column, bool red);
    bool isRed(int row, int column) const;
    void setBold(int row, int column, bool bold);

    // The box over (10, 1), made the current cell; or hidden.
    void showInitialNetDisplacementBox();
    void hideInitialNetDisplacementBox();

    // Red for an implausible figure in a read-only panel box, black otherwise.
    static void paint(QLineEdit* box, bool red);
    static bool isRed(const QLineEdit* box);

private:
    void placeBox();
    void fitCaptions();

    SurveyGrid* m_grid;
    QLineEdit* m_box;
};
