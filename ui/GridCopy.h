#pragma once

#include <QString>

class QAction;
class QTableView;

// Figures shown in a grid taken elsewhere (a spreadsheet, the day's log): the cells selected with
// the mouse (or Ctrl+A) go to the clipboard as tab-separated text, by Ctrl+C or the grid's
// context menu, "Copy".
namespace GridCopy {

// Lets the cells of `view` be selected, makes the view take the focus when clicked, and adds the
// Copy command (objectName "actGridCopy", also in the context menu). The first `captionColumns`
// columns hold the rows' captions, which cannot be selected: each row copied takes them along.
// Returns the command.
QAction* install(QTableView* view, int captionColumns = 0);

// The selected cells of `view`, row by row: the row's captions, then its cells, separated by
// tabs, each row ended by a line end; the rectangle around the selection, its unselected cells
// empty, hidden rows and columns left out. Empty when nothing is selected.
QString selectedText(const QTableView* view, int captionColumns = 0);

}  // namespace GridCopy
