#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The dialogs that ask for the database's passphrase (see db/Protection.h): at start, for a
// protected database; choosing one (typed twice) for Tools, "Protect the Database..."; and the
// one in use, to confirm "Remove the Protection...". They are no message boxes: each is a small
// dialog of its own, replaceable as a whole so that tests answer it without anything modal.
namespace PassphraseDialog {

enum class Purpose {
    Open,  // "Passphrase of the database in DIR"
    Choose,  // a new passphrase and the same again
    Confirm,  // the passphrase in use
};

// What the user typed; `again` only for Choose. Nothing: Cancel.
struct Entry {
    QString passphrase;
    QString again;
};

using Asker = std::function<std::optional<Entry>(Purpose purpose, const QString& dataDir, QWidget* parent)>;

// The dialog in use; an empty function brings the real one back.
void setAsker(Asker asker);
std::optional<Entry> ask(Purpose purpose, const QString& dataDir, QWidget* parent = nullptr);

}  // namespace PassphraseDialog
