#include "ui/TextLimit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>

namespace {

// Takes whatever the user puts in, cut to the limit, rather than refusing the whole paste.
class TrimmedLengthValidator : public QValidator {
public:
    TrimmedLengthValidator(int maxChars, QObject* parent) : QValidator(parent), m_max(maxChars) {}

    State validate(QString& input, int& pos) const override
    {
        input = TextLimit::fit(input, &pos, m_max, true);
        return Acceptable;
    }

private:
    int m_max;
};

qsizetype countedLength(const QString& text, bool trimmed)
{
    return trimmed ? QStringView(text).trimmed().size() : text.size();
}

}  // namespace

namespace TextLimit {

QString fit(const QString& text, int* cursor, int maxChars, bool trimmed)
{
    qsizetype excess = countedLength(text, trimmed) - maxChars;
    if (excess <= 0)
        return text;
    QString out = text;
    int at = std::clamp(*cursor, 0, int(out.size()));
    // Cut just before the cursor first (what was put in last); should that not be enough (the
    // cursor at the start), cut from the end.
    while (excess > 0 && !out.isEmpty()) {
        const int from = at > 0 ? int(std::max<qsizetype>(0, at - excess)) : int(out.size() - excess);
        const int count = at > 0 ? at - from : int(excess);
        out.remove(from, count);
        if (at > 0)
            at = from;
        excess = countedLength(out, trimmed) - maxChars;
    }
    *cursor = std::min(at, int(out.size()));
    return out;
}

void limitTrimmed(QLineEdit* box, int maxChars)
{
    box->setValidator(new TrimmedLengthValidator(maxChars, box));
}

}  // namespace TextLimit

LimitedPlainTextEdit::LimitedPlainTextEdit(int maxLength, QWidget* parent)
    : QPlainTextEdit(parent), m_maxLength(maxLength)
{
}

int LimitedPlainTextEdit::length() const
{
    // The document counts one paragraph separator more than the text has.
    return document()->characterCount() - 1;
}

int LimitedPlainTextEdit::room() const
{
    const QTextCursor c = textCursor();
    return m_maxLength - length() + int(c.selectionEnd() - c.selectionStart());
}

void LimitedPlainTextEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && (text.at(0).isPrint() || event->key() == Qt::Key_Return
                                             || event->key() == Qt::Key_Enter)
                         && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (inserts && !isReadOnly() && room() < int(text.size())) {
        event->accept();  // full: the key is refused, as a full one-line box refuses it
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedPlainTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty() && int(commit.size()) > room()) {
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(commit.left(std::max(0, room())), event->replacementStart(),
                            event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&cut);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void LimitedPlainTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText() || isReadOnly()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Only what fits is laid out at all: a megabyte pasted costs no more than the limit.
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const int fits = std::max(0, room());
    if (text.size() > fits)
        text.truncate(fits);
    QTextCursor c = textCursor();
    c.insertText(text);
    setTextCursor(c);
    ensureCursorVisible();
}
