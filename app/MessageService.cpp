#include "app/MessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <deque>

namespace {

struct State {
    bool testMode = false;
    std::deque<Msg::Answer> answers;
    QList<MessageRecord> records;
    MessageService::Sink sink;
};

State& state()
{
    static State s;
    return s;
}

Msg::Answer firstButton(Msg::Buttons buttons)
{
    switch (buttons) {
    case Msg::Buttons::YesNo:
    case Msg::Buttons::YesNoCancel:
        return Msg::Answer::Yes;
    default:
        return Msg::Answer::Ok;
    }
}

Msg::Answer showReal(const MessageRecord& r)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(r.title);
    QString shown = r.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    switch (r.icon) {
    case Msg::Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Msg::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Msg::Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Msg::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Msg::Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (r.buttons) {
    case Msg::Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Msg::Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Msg::Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Msg::Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (r.defaultButton) {
        switch (*r.defaultButton) {
        case Msg::Answer::Ok: box.setDefaultButton(QMessageBox::Ok); break;
        case Msg::Answer::Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
        case Msg::Answer::Yes: box.setDefaultButton(QMessageBox::Yes); break;
        case Msg::Answer::No: box.setDefaultButton(QMessageBox::No); break;
        }
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Msg::Answer::Yes;
    case QMessageBox::No: return Msg::Answer::No;
    case QMessageBox::Cancel: return Msg::Answer::Cancel;
    default:
        // Escape on a Yes/No box counts as No, as the close box does.
        if (r.buttons == Msg::Buttons::YesNo)
            return Msg::Answer::No;
        if (r.buttons == Msg::Buttons::YesNoCancel || r.buttons == Msg::Buttons::OkCancel)
            return Msg::Answer::Cancel;
        return Msg::Answer::Ok;
    }
}

}  // namespace

QString MessageService::appTitle()
{
    return QStringLiteral("Quorvane Lt");
}

QString MessageService::join(const QString& headline, const QString& detail)
{
    return headline + QStringLiteral("\r\n\r\n") + detail;
}

Msg::Answer MessageService::show(const QString& text, Msg::Buttons buttons, Msg::Icon icon,
                                 const QString& title, std::optional<Msg::Answer> defaultButton)
{
    MessageRecord r;
    r.title = title.isEmpty() ? appTitle() : title;
    r.text = text;
    r.icon = icon;
    r.buttons = buttons;
    r.defaultButton = defaultButton;
    State& s = state();
    if (s.testMode) {
        if (!s.answers.empty()) {
            r.answer = s.answers.front();
            s.answers.pop_front();
        } else {
            r.answer = defaultButton.value_or(firstButton(buttons));
        }
    } else if (s.sink) {
        r.answer = s.sink(r);
    } else {
        r.answer = showReal(r);
    }
    s.records.append(r);
    return r.answer;
}

void MessageService::coded(int code, const QString& headline)
{
    show(join(headline, QStringLiteral("Please contact us with the error no. on the titlebar of this dialog box.")),
         Msg::Buttons::Ok, Msg::Icon::Exclamation, appTitle() + QStringLiteral("-%1").arg(code, 5, 10, QChar('0')));
}

void MessageService::printFailure(int code)
{
    show(join(QStringLiteral("Error while printing the report."),
              QStringLiteral("Please contact us with the error number on the titlebar of this dialog box")),
         Msg::Buttons::Ok, Msg::Icon::Critical, appTitle() + QStringLiteral("-%1").arg(code, 5, 10, QChar('0')));
}

void MessageService::sourced(const QString& description, const QString& className, const QString& procedure)
{
    show(join(description, QStringLiteral("Source :  ") + className + QStringLiteral("::") + procedure),
         Msg::Buttons::Ok, Msg::Icon::Critical);
}

void MessageService::bareSource(const QString& className, const QString& procedure)
{
    show(className + QStringLiteral("::") + procedure);
}

void MessageService::plain(const QString& description)
{
    show(description);
}

void MessageService::startupFailure()
{
    show(join(QStringLiteral("An internal error has occured."),
              QStringLiteral("Please contact us with the error no. mentioned on the titlebar of this dialog box")),
         Msg::Buttons::Ok, Msg::Icon::Critical);
}

void MessageService::setTestMode(bool on)
{
    state().testMode = on;
}

bool MessageService::testMode()
{
    return state().testMode;
}

void MessageService::setNextAnswer(Msg::Answer answer)
{
    state().answers.push_back(answer);
}

void MessageService::clearAnswers()
{
    state().answers.clear();
}

QList<MessageRecord> MessageService::records()
{
    return state().records;
}

void MessageService::clearRecords()
{
    state().records.clear();
}

void MessageService::setSink(Sink sink)
{
    state().sink = std::move(sink);
}
