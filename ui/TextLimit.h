#pragma once

#include <QPlainTextEdit>
#include <QString>

class QLineEdit;

// Character limits that hold however the text arrives: typed, pasted (Ctrl+V, Shift+Insert, the
// context menu) or dropped. What does not fit is cut from the end of what was put in; the text
// already there stays as it was.
namespace TextLimit {

// A one-line box whose trimmed text holds at most `maxChars` characters (leading and trailing
// spaces are not counted, as the box's key filter does not count them either).
void limitTrimmed(QLineEdit* box, int maxChars);

// `text` with the characters just before `cursor` (the end of what was put in) cut until it fits
// in `maxChars` (counted trimmed when `trimmed`); `cursor` follows the cut.
QString fit(const QString& text, int* cursor, int maxChars, bool trimmed);

}  // namespace TextLimit

// A multi-line box that holds at most maxLength() characters (a line break counts as one): typing
// stops there, and a longer paste or drop is cut to what fits.
class LimitedPlainTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LimitedPlainTextEdit(int maxLength, QWidget* parent = nullptr);

    int maxLength() const { return m_maxLength; }
    // The characters the box holds, as counted against the limit.
    int length() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Room left once the selection (which what comes in replaces) is gone.
    int room() const;

    int m_maxLength;
};
