#include "core/MessageService.h"

#include <cstdio>
#include <deque>

namespace {

struct State {
    bool testMode = false;
    std::deque<Msg::Answer> answers;
    QList<MessageRecord> records;
    MessageService::Sink sink;
    MessageService::Sink presenter;
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

// With no presenter installed (a run without windows) the box is printed and answered with its
// default button.
Msg::Answer printed(const MessageRecord& r)
{
    QString shown = r.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    MessageService::printError(r.title + QStringLiteral(": ") + shown + QLatin1Char('\n'));
    return r.defaultButton.value_or(firstButton(r.buttons));
}

}  // namespace

QByteArray MessageService::printableBytes(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t') || c.category() != QChar::Other_Control)
            shown += c;
        else if (c.unicode() == 0)
            shown += QStringLiteral("\\0");
        else
            shown += QStringLiteral("\\x")
                + QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
    }
    return shown.toLocal8Bit();
}

void MessageService::printError(const QString& text)
{
    const QByteArray bytes = printableBytes(text);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

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
    r.title = title;
    r.text = text;
    r.icon = icon;
    r.buttons = buttons;
    r.defaultButton = defaultButton;
    return show(std::move(r));
}

Msg::Answer MessageService::show(MessageRecord r)
{
    if (r.title.isEmpty())
        r.title = appTitle();
    State& s = state();
    if (s.testMode) {
        if (!s.answers.empty()) {
            r.answer = s.answers.front();
            s.answers.pop_front();
        } else {
            r.answer = r.defaultButton.value_or(firstButton(r.buttons));
        }
    } else if (s.sink) {
        r.answer = s.sink(r);
    } else {
        r.answer = s.presenter ? s.presenter(r) : printed(r);
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

void MessageService::startupFailure(const QString& text)
{
    show(text, Msg::Buttons::Ok, Msg::Icon::Critical);
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

void MessageService::setPresenter(Sink presenter)
{
    state().presenter = std::move(presenter);
}

