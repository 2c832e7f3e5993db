#pragma once

#include <QColor>
#include <QLineEdit>
#include <QStringList>
#include <QTableWidget>

#include <functional>

class QKeyEvent;
class Variant;

// Reading the figures that stand in grid cells and boxes.
namespace GridFigures {
// A text that can be taken as an exact decimal (blank is not one, nor a number too large).
bool isFigure(const QString& text);
// A value as a cell shows it: a database null shows nothing.
QString textOf(const Variant& value);
}  // namespace GridFigures

// A grid of text cells addressed (row, column) from 0, the way the survey windows lay out their
// tables: the first `fixedRows` rows and `fixedColumns` columns are captions, drawn like headers,
// that can never become the current cell. Measures are given in twips (1440 to the inch).
class SurveyGrid : public QTableWidget {
    Q_OBJECT
public:
    // Read-only cells, read-only boxes and result grids.
    static QColor lightYellow() { return QColor(253, 252, 210); }
    // The text colour for a fixed background: black on a light one, white on a dark one. A box or
    // cell given a colour of its own takes its text colour with it, so that a dark colour scheme
    // (white text) leaves its figures readable.
    static QColor inkOn(const QColor& background);

    // A grid that only shows figures (a result grid): its cells can be selected and copied
    // (Ctrl+C, the context menu's Copy), each row with its caption.
    SurveyGrid(int rows, int columns, int fixedRows, int fixedColumns, QWidget* parent = nullptr);

    // Changes the number of rows and columns; new cells are empty.
    virtual void setShape(int rows, int columns);
    int fixedRows() const { return m_fixedRows; }
    int fixedColumns() const { return m_fixedColumns; }
    bool isFixedCell(int row, int column) const;

    QString text(int row, int column) const;
    void setText(int row, int column, const QString& text);
    // Every cell empty, back to the window colour (captions to the header colour), not bold,
    // black text, left-aligned.
    void clearCells();

    void setColumnWidthTwips(int column, int twips);
    // Right-and-top alignment of every cell of the column, as figures are shown.
    void setColumnRightAligned(int column);
    void setCellBackground(int row, int column, const QColor& colour);
    QColor cellBackground(int row, int column) const;
    void setCellForeground(int row, int column, const QColor& colour);
    QColor cellForeground(int row, int column) const;
    void setCellBold(int row, int column, bool bold);
    bool cellBold(int row, int column) const;
    // The background of every cell that is not a caption.
    void setDataBackground(const QColor& colour);
    // How many rows the grid asks room for (all of them when 0).
    void setVisibleRows(int rows);

    int twipsToPixels(int twips) const;
    // The width of a column that shows each of `texts` whole in the grid's font (bold when
    // asked), and never less than `twips`: the measures were taken for a smaller system font.
    int columnWidthFor(int twips, const QStringList& texts, bool bold = false) const;
    // Room a cell needs beside its text: the view's margins either side and the grid line.
    int cellPadding() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Room the layout gives the grid beyond its own width goes to its columns, each in proportion
    // to its own width, and is taken back when the room shrinks: a maximised window's tables
    // widen. Two grids of one width whose columns share their edges (a table and the grid of its
    // interpolation) still share them. The grid asks only for its columns' own widths.
    void setSpreadsColumns(bool on);
    // A column's width without the room spread into it.
    int ownColumnWidth(int column) const;

protected:
    // The grid an editor (GridEditor) makes of it: nothing selected, the box takes every key.
    struct Edited {};
    SurveyGrid(Edited, int rows, int columns, int fixedRows, int fixedColumns, QWidget* parent);
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableWidgetItem* cell(int row, int column) const;
    void styleCell(QTableWidgetItem* item, int row, int column);
    void ensureItems();

    int m_fixedRows;
    int m_fixedColumns;
    int m_visibleRows = 0;

    void spreadColumns();
    bool m_spreads = false;
    bool m_spreading = false;
    QVector<int> m_spread;  // the pixels spread into each column
};

// A SurveyGrid edited through one floating box laid over its current cell. The cell holds the
// committed text and the box the text being edited; moving to another cell commits the box into
// the cell left (rounded to 4 places, or emptied) and brings the new cell's text into the box.
// What differs from grid to grid (which cells are locked, what follows a commit, the keys, the
// checks) is given by the owner through the hooks below.
class GridEditor : public SurveyGrid {
    Q_OBJECT
public:
    GridEditor(int rows, int columns, int fixedRows, int fixedColumns, const QString& boxName,
               QWidget* parent = nullptr);

    QLineEdit* editor() const { return m_box; }
    // Reshapes without committing the box or moving the focus.
    void setShape(int rows, int columns) override;
    int row() const { return currentRow(); }
    int col() const { return currentColumn(); }

    // Moves the current cell as the user's move does: the cell left is committed, the new one
    // entered and the box focused. Moving onto the current cell only focuses the box.
    void moveTo(int row, int column);
    // Makes a cell current without committing anything and without touching the focus; the box
    // takes the cell's text (while the window sets itself up or refills the grid).
    void setCurrentQuietly(int row, int column);
    // The text a cell holds, or, for the current cell, the text it would take if the box over it
    // were committed now.
    QString committedText(int row, int column) const;
    // Sets the box's text without the owner's change handling reacting.
    void setEditorTextQuietly(const QString& text);
    // True while the grid itself rewrites its box: change handlers must keep still.
    bool isQuiet() const { return m_quiet > 0; }

    // Lays the box over the current cell and locks or unlocks it for that cell.
    void placeEditor();
    // Locks the box (read-only, light yellow) when the current cell is read-only.
    void applyLock();

    // Hooks. readOnlyCell: the box is locked on that cell and nothing is committed into it.
    std::function<bool(int row, int column)> readOnlyCell;
    // After a commit changed a cell; `typed` is the box text as it stood.
    std::function<void(int row, int column, const QString& typed)> committed;
    // A key pressed in the box; return true to swallow it.
    std::function<bool(QKeyEvent* event)> keyPressed;
    // The box received the focus.
    std::function<void()> focusEntered;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void commitCell(int row, int column);
    // What the box would leave in the cell (row, column) were it committed there.
    QString boxCommit(int row, int column) const;
    void enterCell(bool giveFocus);
    bool isReadOnly(int row, int column) const;

    QLineEdit* m_box;
    int m_quiet = 0;
};
