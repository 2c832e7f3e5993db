#pragma once

#include "core/Decimal.h"
#include "core/MessageService.h"

#include <QDate>
#include <QString>
#include <QTime>

// The checks a survey window runs on a field when the user leaves it, without the window: what
// the box shows afterwards, what the user is told, whether the move may go on.
namespace SurveyInputRules {

// The most a survey's comments may hold, in characters: a page's remarks, and short enough to lay
// out at once however it arrives (typed, pasted, read from a file).
constexpr int kCommentLimit = 2000;

struct Outcome {
    bool accepted = true;
    QString text;     // the box's text afterwards (written back rounded, emptied, or replaced)
    QString message;  // what the user is told; empty when nothing is said
    bool refresh = false;  // the draft panel is to be worked out again
    QString title;         // the box's title; empty: the application title
    Msg::Icon icon = Msg::Icon::Exclamation;
};

// A draft reading: rounded to 3 places, then 0 < r < 100 on the rounded figure. An empty box is
// accepted and the panel worked out again, so that no mean stands on a reading taken away.
Outcome draftReading(const QString& typed, const QString& invalidText);

// Dock-water density: rounded to 4 places, then 0 < d < 10 on the rounded figure.
Outcome density(const QString& typed, const QString& rangeDetail);
// The range a density must lie in, as the window of the survey says it (the discharge window
// has its own wording).
QString densityRangeDetail(bool discharging = false);

// What the user is told of a draft reading that is no figure: 0..5 = fwd port, fwd stbd, mid
// port, mid stbd, aft port, aft stbd.
QString invalidReadingText(int reading);
// The range of a mark distance, as the window of the survey says it: 0..2 = Fwd-X, Mid-X, Aft-X.
QString markRangeText(int mark, bool discharging);

// A mark distance: -1000 < x < 1000 as typed, then written back rounded to 4 places.
Outcome markDistance(const QString& typed, const QString& rangeText);

// The masked date "dd-MM-yyyy" as shown (prompt characters included). A date typed month first
// (12-25-2004) is turned round; an impossible one is replaced by today.
Outcome date(const QString& shown, const QDate& today);
// The masked time "HH:mm"; an impossible one is replaced by the time now.
Outcome time(const QString& shown, const QTime& now);

// The initial net displacement typed on the Final tab: rounded to 5 places, 0 <= v < 1000000.
Outcome initialNetDisplacement(const QString& typed);

// The Bill of Lading quantity of a discharge: 0 <= q < 1000000 as typed, written back rounded to
// 5 places.
Outcome blQuantity(const QString& typed);

// A text that can be taken as an exact decimal (blank is not one, nor a number too large).
bool isFigure(const QString& text);
// What may stand in the hydrostatic box while a figure is being typed; anything else the box
// refuses at the keystroke.
bool isTyping(const QString& text);
// A keystroke leaving `text` in the hydrostatic box, which held `before`: refused, with its
// message, when the text makes no figure, or in the draft column a draft too large for the MCTC
// tables' drafts 50 cm either side. A refused keystroke leaves the box with what it held (a
// discharge) or empty.
Outcome hydrostaticKeystroke(const QString& text, bool draftColumn, const QString& before, bool discharging);
// The draft of an MCTC table's row: the hydrostatic row's draft 50 cm up (MCTC+50) or down
// (MCTC-50); empty for an empty draft. Throws VbError for a draft too large to hold.
QString mctcDraft(const QString& hydrostaticDraft, bool up);

// The figures of the hydrostatic tables: columns of fgrdHDT, and the MCTC of the MCTC tables.
enum class TableColumn { HydDraft, Displacement, Tpc, Lcf, MctcPlus50, MctcMinus50 };
QString tableTitle();  // "Hydrostatic Data Table"
// The open range a column's figure must lie in: low < figure < high.
struct TableRange {
    Decimal low;
    Decimal high;
};
TableRange tableRange(TableColumn column);
// A table figure typed over a cell that held `cellText`: blank passes (the blank check before
// Calculate is the place for it); a refused figure leaves the box with the cell's text, or empty
// where the column wants it so (TPC); an accepted one is rounded to the column's places.
Outcome tableFigure(TableColumn column, const QString& typed, const QString& cellText, bool discharging);

// A deductible quantity typed over a cell that held `cellText`: 0 <= q < 100000 rounded to 4
// places; blank empties the cell; a refused quantity empties the box. `refresh` is set when the
// cell takes a new figure (the draft has then changed).
Outcome deduction(const QString& typed, const QString& cellText, bool discharging);

}  // namespace SurveyInputRules
