#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>

// Every message box of the program goes through here, so that tests can read what the user
// would have been told and answer the questions, and the command line can print them instead.
namespace Msg {
enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };
}  // namespace Msg

struct MessageRecord {
    QString title;
    QString text;
    Msg::Icon icon = Msg::Icon::None;
    Msg::Buttons buttons = Msg::Buttons::Ok;
    Msg::Answer answer = Msg::Answer::Ok;  // what the box returned
    // The button Enter presses; unset means the first one.
    std::optional<Msg::Answer> defaultButton;
    // Words of the buttons where the standard ones (Yes, No, Cancel) would not say what each
    // does; a button not named keeps its standard word. Escape still answers Cancel (or No).
    QMap<Msg::Answer, QString> buttonTexts;
};

class MessageService {
public:
    static QString appTitle();  // "Quorvane Lt"

    // A headline and its detail, with one empty line between them ("\r\n" twice).
    static QString join(const QString& headline, const QString& detail);

    // Shows a modal box; an empty title shows the application title. `defaultButton` is the
    // button Enter presses (a question about deleting data defaults to No); unset, the first.
    static Msg::Answer show(const QString& text, Msg::Buttons buttons = Msg::Buttons::Ok,
                            Msg::Icon icon = Msg::Icon::None, const QString& title = QString(),
                            std::optional<Msg::Answer> defaultButton = std::nullopt);

    // The same for a box described whole (its buttons' own words among it); an empty title
    // shows the application title.
    static Msg::Answer show(MessageRecord box);

    // The reporting styles of unexpected failures.
    // Coded: title "Quorvane Lt-<code>", headline, then the "contact us" line; exclamation icon.
    static void coded(int code, const QString& headline);
    // Report printing failure: "Error while printing the report." with its detail, stop icon.
    static void printFailure(int code);
    // Sourced: description, then "Source :  <class>::<procedure>"; stop icon; application title.
    static void sourced(const QString& description, const QString& className, const QString& procedure);
    // Bare source: only "<class>::<procedure>"; OK, no icon.
    static void bareSource(const QString& className, const QString& procedure);
    // Plain description: the error text alone; OK, no icon.
    static void plain(const QString& description);
    // The database could not be opened at start-up: `text` says which file and what is wrong.
    // Stop icon, the application's title.
    static void startupFailure(const QString& text);

    // Writes `text` on standard error whole. A control character in it (a NUL or an escape pasted
    // in with a name) is written as \0 or \xNN, so that the line is neither cut short at a NUL
    // nor able to steer the terminal; line breaks and tabs stay as they are.
    static void printError(const QString& text);
    static QByteArray printableBytes(const QString& text);

    // Test seam. In test mode no box is shown: each is recorded and answered from the queue of
    // scripted answers, or, when the queue is empty, with its default button (the first, OK or
    // Yes, unless the call names another).
    static void setTestMode(bool on);
    static bool testMode();
    static void setNextAnswer(Msg::Answer answer);
    static void clearAnswers();
    static QList<MessageRecord> records();
    static void clearRecords();

    // Replaces the visible box by a function (the command line prints the boxes on stderr).
    // Pass an empty function to return to real boxes.
    using Sink = std::function<Msg::Answer(const MessageRecord&)>;
    static void setSink(Sink sink);
    // What shows a real box: the windows install the modal message box at start. Without one a
    // box is printed on stderr and answered with its default button.
    static void setPresenter(Sink presenter);
};
