#pragma once

#include <QString>

class QComboBox;
class RowSet;

// Drop-down lists of names that may run to thousands: the ships and the ports.
namespace NameCombo {

// Sets a list up for many names: it is as wide as `visibleChars` characters instead of as wide as
// its longest name (which means measuring every name), and its rows are laid out as rows of one
// height. Typing a name's first letters still goes to that name.
void prepare(QComboBox* combo, int visibleChars);

// Replaces the items by the rows' names, each with its number (the id column) as item data, in
// one insertion rather than one per name; no item is current afterwards. A null name is an empty
// item, a null number no data.
void fill(QComboBox* combo, RowSet& rows, const QString& nameColumn, const QString& idColumn);

}  // namespace NameCombo
