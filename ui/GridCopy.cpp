#include "ui/GridCopy.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

#include <climits>

namespace {

const char* const kCaptionColumns = "quorvaneCaptionColumns";

void copySelection(const QTableView* view)
{
    const QString text = GridCopy::selectedText(view, view->property(kCaptionColumns).toInt());
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

// Ctrl+C reaches the grid as a key: taken before the view's own copy, which takes the current
// cell alone.
class CopyKey : public QObject {
public:
    explicit CopyKey(QTableView* view) : QObject(view), m_view(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_view)
            return false;
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy)) {
                event->accept();
                if (event->type() == QEvent::KeyPress)
                    copySelection(m_view);
                return true;
            }
        }
        return false;
    }

private:
    QTableView* m_view;
};

}  // namespace

namespace GridCopy {

QAction* install(QTableView* view, int captionColumns)
{
    view->setProperty(kCaptionColumns, captionColumns);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setFocusPolicy(Qt::ClickFocus);
    auto* copy = new QAction(QStringLiteral("&Copy"), view);
    copy->setObjectName(QStringLiteral("actGridCopy"));
    copy->setShortcut(QKeySequence::Copy);
    // The key is the grid's own (CopyKey): as a shortcut it would clash with every other grid's.
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, view, [view] { copySelection(view); });
    view->addAction(copy);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->installEventFilter(new CopyKey(view));
    return copy;
}

QString selectedText(const QTableView* view, int captionColumns)
{
    const QItemSelectionModel* selection = view->selectionModel();
    if (!selection || !view->model())
        return {};
    const QModelIndexList cells = selection->selectedIndexes();
    if (cells.isEmpty())
        return {};
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    for (const QModelIndex& i : cells) {
        top = qMin(top, i.row());
        bottom = qMax(bottom, i.row());
        left = qMin(left, i.column());
        right = qMax(right, i.column());
    }
    QStringList lines;
    for (int r = top; r <= bottom; ++r) {
        if (view->isRowHidden(r))
            continue;
        QStringList fields;
        for (int c = 0; c < qMin(captionColumns, left); ++c) {
            if (!view->isColumnHidden(c))
                fields << view->model()->index(r, c).data(Qt::DisplayRole).toString();
        }
        for (int c = left; c <= right; ++c) {
            if (view->isColumnHidden(c))
                continue;
            const QModelIndex i = view->model()->index(r, c);
            fields << (selection->isSelected(i) ? i.data(Qt::DisplayRole).toString() : QString());
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace GridCopy
