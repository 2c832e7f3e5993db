#pragma once

#include <QList>
#include <QString>

class FieldGuard;
class QLineEdit;

// The text fields of the ship and port records (names, city, call sign, flag). A control
// character in one of them - a NUL, a tab or a line break pasted in with the name - cannot be
// seen in the box, would be stored unseen and cut short wherever the name is printed; so both
// windows refuse it when the field is left, with the field's own message, and again before a save.
namespace NameFields {

struct Field {
    QLineEdit* box = nullptr;
    QString caption;  // "Ship name", "City", ...
    QString title;  // the title of the window's checks; empty: the application's
};

// True when `text` holds a control character (Unicode category Cc).
bool hasControlCharacter(const QString& text);

// What the user is told about such a text in the field named `caption`.
QString controlCharacterMessage(const QString& caption);

// Checks one field: shows the message, selects the text and keeps the focus in the box when it
// holds a control character. True when the field may be left.
bool check(const Field& field);

// Every field in order, stopping at the first refused.
bool checkAll(const QList<Field>& fields);

// Gives each field its check on leaving.
void guard(FieldGuard& guard, const QList<Field>& fields);

}  // namespace NameFields
