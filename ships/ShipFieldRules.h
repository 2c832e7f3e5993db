#pragma once

#include "core/Decimal.h"

#include <QList>
#include <QString>

// The checks of the ship particulars form, kept apart from the window so that they can be tried
// on plain texts: the number fields with their places and ranges, the mandatory fields, and the
// literal a checked figure goes into the SQL as.
namespace ShipFieldRules {

// The number fields, in the order a save checks them.
enum class NumberField {
    OfficialNo,
    IMONo,
    LOA,
    LBP,
    Breadth,
    LightShip,
    GrossTonnage,
    NetTonnage,
    SummerDeadweight,
    SummerDraft,
    KeelPlate,  // mm; a table with moulded drafts is entered this much below the marks' drafts
};

// Official No. first, then to Summer Draft, and the Keel Plate last: the order in which a save
// runs the checks.
const QList<NumberField>& saveOrder();

struct NumberRule {
    QString objectName;  // "txtBreadth"
    int maxLength;  // characters the box takes for the kept figure (see fitsLength)
    int decimals;  // places the figure is rounded to; -1 keeps it as typed
    Decimal upper;  // the figure must stay below this
    bool zeroAccepted;  // everything but the Official No. takes a 0
    QString rangeMessage;  // told when the rounded figure falls outside
};
NumberRule rule(NumberField field);

// The title every check of the form shows its message under.
QString checkTitle();  // "Ship Particulars"
QString notNumericMessage();  // "Invalid value. Only numbers are allowed."

struct NumberCheck {
    enum Verdict { Blank, Accepted, NotNumeric, OutOfRange };
    Verdict verdict = Blank;
    QString text;  // Accepted: the rounded figure as it goes back into the box
    QString message;  // NotNumeric / OutOfRange: what the user is told
    bool ok() const { return verdict == Blank || verdict == Accepted; }
};
// A blank text (after trimming) is left alone; anything else must be a number in the locale's
// format, rounded to the field's places, and lie in the field's range after rounding.
NumberCheck checkNumber(NumberField field, const QString& text);

// Whether a text (as it is being typed) stays within the box's length. Digits beyond the places
// the figure is rounded to do not count: they only decide the rounding, and cutting them off
// while typing would turn 12.34567 into 12.345 and so into 12.34 instead of 12.35.
bool fitsLength(NumberField field, const QString& text);

// The mandatory fields, and which one the focus goes to when one is missing.
enum class Mandatory { None, ShipName, Port, LBP, LOA, Breadth, LightShip };
struct MandatoryCheck {
    Mandatory field = Mandatory::None;
    QString message;
    bool ok() const { return field == Mandatory::None; }
};
// The name first (nothing else is looked at without it); then the port, whose message gives way
// to the first missing figure of LBP, LOA, Breadth and Light Ship.
MandatoryCheck checkMandatory(const QString& shipName, bool portChosen, const QString& lbp,
                              const QString& loa, const QString& breadth, const QString& lightShip);

// The SQL literal of a checked number field: its exact figure with '.' as the point, whatever
// the locale; a blank field is 0. A text that is not a number throws VbError.
QString numberLiteral(const QString& fieldText);

}  // namespace ShipFieldRules
