#pragma once

#include <QString>

class QComboBox;
class NameList;

// Drop-down lists of names that may run to thousands: the ships and the ports.
namespace NameCombo {

// Sets a list up for many names: it is as wide as `visibleChars` characters instead of as wide as
// its longest name (which means measuring every name), and its rows are laid out as rows of one
// height. Typing a name's first letters still goes to that name.
void prepare(QComboBox* combo, int visibleChars);

// Replaces the items of a list set up by prepare() by the list's names, each with its number as
// item data (an int; none for a row without a number), all at once rather than one per name; no
// item is current afterwards.
void fill(QComboBox* combo, const NameList& list);

}  // namespace NameCombo
