#include "survey/GridEditor.h"

#include "model/SurveyInputRules.h"

#include "core/Numeric.h"
#include "ui/GridCopy.h"
#include "core/VbError.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTimer>

namespace {

// A grid column that no one sized: about nine figures of the grid's font.
constexpr int DefaultColumnTwips = 975;

enum Role { RightAlignedRole = Qt::UserRole + 1 };

class QuietScope {
public:
    explicit QuietScope(int& counter) : m_counter(counter) { ++m_counter; }
    ~QuietScope() { --m_counter; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    int& m_counter;
};

}  // namespace

bool GridFigures::isFigure(const QString& text)
{
    return SurveyInputRules::isFigure(text);
}

QString GridFigures::textOf(const Variant& value)
{
    return value.isNull() ? QString() : value.toText();
}

// --- SurveyGrid -------------------------------------------------------------------------------

SurveyGrid::SurveyGrid(int rows, int columns, int fixedRows, int fixedColumns, QWidget* parent)
    : SurveyGrid(Edited{}, rows, columns, fixedRows, fixedColumns, parent)
{
    GridCopy::install(this, fixedColumns);
}

SurveyGrid::SurveyGrid(Edited, int rows, int columns, int fixedRows, int fixedColumns, QWidget* parent)
    : QTableWidget(rows, columns, parent), m_fixedRows(fixedRows), m_fixedColumns(fixedColumns)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(twipsToPixels(DefaultColumnTwips));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab leaves the grid for the next control of the window, as it leaves any box.
    setTabKeyNavigation(false);
    ensureItems();
    // A width set from outside (captions measured, a table laid out) is the column's own.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (m_spreading)
            return;
        if (column < m_spread.size())
            m_spread[column] = 0;
        if (m_spreads)
            QTimer::singleShot(0, this, &SurveyGrid::spreadColumns);
    });
}

int SurveyGrid::twipsToPixels(int twips) const
{
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return (twips * dpi + 720) / 1440;
}

int SurveyGrid::cellPadding() const
{
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return 2 * margin + 6;
}

int SurveyGrid::columnWidthFor(int twips, const QStringList& texts, bool bold) const
{
    QFont f = font();
    f.setBold(bold);
    const QFontMetrics metrics(f);
    int widest = 0;
    for (const QString& t : texts)
        widest = qMax(widest, metrics.horizontalAdvance(t));
    return qMax(twipsToPixels(twips), widest + cellPadding());
}

void SurveyGrid::setShape(int rows, int columns)
{
    setRowCount(rows);
    setColumnCount(columns);
    ensureItems();
    updateGeometry();
}

bool SurveyGrid::isFixedCell(int row, int column) const
{
    return row < m_fixedRows || column < m_fixedColumns;
}

QTableWidgetItem* SurveyGrid::cell(int row, int column) const
{
    return item(row, column);
}

void SurveyGrid::ensureItems()
{
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            if (!item(r, c)) {
                auto* it = new QTableWidgetItem;
                styleCell(it, r, c);
                setItem(r, c, it);
            }
        }
    }
}

void SurveyGrid::styleCell(QTableWidgetItem* it, int row, int column)
{
    it->setText(QString());
    QFont f = font();
    f.setBold(false);
    it->setFont(f);
    // Captions are disabled items, so the view never makes one current; their text is set black
    // explicitly so that they do not look greyed out.
    // A caption is drawn as a header: the scheme's button colours, whatever the data cells use.
    it->setForeground(palette().color(isFixedCell(row, column) ? QPalette::ButtonText : QPalette::Text));
    if (isFixedCell(row, column)) {
        it->setFlags(Qt::NoItemFlags);
        it->setBackground(palette().color(QPalette::Button));
    } else {
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        it->setBackground(palette().color(QPalette::Base));
    }
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    const bool right = header && header->data(RightAlignedRole).toBool();
    it->setTextAlignment(right ? Qt::AlignRight | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
}

QString SurveyGrid::text(int row, int column) const
{
    const QTableWidgetItem* it = cell(row, column);
    return it ? it->text() : QString();
}

void SurveyGrid::setText(int row, int column, const QString& text)
{
    if (QTableWidgetItem* it = cell(row, column))
        it->setText(text);
}

void SurveyGrid::clearCells()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* it = cell(r, c))
                styleCell(it, r, c);
}

void SurveyGrid::setColumnWidthTwips(int column, int twips)
{
    setColumnWidth(column, twipsToPixels(twips));
    updateGeometry();
}

void SurveyGrid::setColumnRightAligned(int column)
{
    // The column remembers it through its (hidden) header item, so cells added later follow.
    if (!horizontalHeaderItem(column))
        setHorizontalHeaderItem(column, new QTableWidgetItem);
    horizontalHeaderItem(column)->setData(RightAlignedRole, true);
    for (int r = 0; r < rowCount(); ++r)
        if (QTableWidgetItem* it = cell(r, column))
            it->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
}

QColor SurveyGrid::inkOn(const QColor& background)
{
    return background.lightnessF() > 0.5 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

void SurveyGrid::setCellBackground(int row, int column, const QColor& colour)
{
    if (QTableWidgetItem* it = cell(row, column)) {
        it->setBackground(colour);
        it->setForeground(inkOn(colour));
    }
}

QColor SurveyGrid::cellBackground(int row, int column) const
{
    const QTableWidgetItem* it = cell(row, column);
    return it ? it->background().color() : QColor();
}

void SurveyGrid::setCellForeground(int row, int column, const QColor& colour)
{
    if (QTableWidgetItem* it = cell(row, column))
        it->setForeground(colour);
}

QColor SurveyGrid::cellForeground(int row, int column) const
{
    const QTableWidgetItem* it = cell(row, column);
    return it ? it->foreground().color() : QColor();
}

void SurveyGrid::setCellBold(int row, int column, bool bold)
{
    if (QTableWidgetItem* it = cell(row, column)) {
        QFont f = it->font();
        f.setBold(bold);
        it->setFont(f);
    }
}

bool SurveyGrid::cellBold(int row, int column) const
{
    const QTableWidgetItem* it = cell(row, column);
    return it && it->font().bold();
}

void SurveyGrid::setDataBackground(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Text, inkOn(colour));
    setPalette(p);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (!isFixedCell(r, c))
                setCellBackground(r, c, colour);
}

void SurveyGrid::setVisibleRows(int rows)
{
    m_visibleRows = rows;
    updateGeometry();
}

QSize SurveyGrid::sizeHint() const
{
    int w = 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c)
        w += ownColumnWidth(c);
    const int shown = m_visibleRows > 0 ? qMin(m_visibleRows, rowCount()) : rowCount();
    int h = 2 * frameWidth();
    for (int r = 0; r < shown; ++r)
        h += rowHeight(r);
    if (shown < rowCount())
        w += verticalScrollBar()->sizeHint().width();
    return {w, h};
}

QSize SurveyGrid::minimumSizeHint() const
{
    return sizeHint();
}

int SurveyGrid::ownColumnWidth(int column) const
{
    return columnWidth(column) - m_spread.value(column);
}

void SurveyGrid::setSpreadsColumns(bool on)
{
    m_spreads = on;
    spreadColumns();
}

void SurveyGrid::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    spreadColumns();
}

void SurveyGrid::spreadColumns()
{
    m_spread.resize(columnCount());
    QScopedValueRollback<bool> spreading(m_spreading, true);
    int own = 0;
    for (int c = 0; c < columnCount(); ++c)
        own += isColumnHidden(c) ? 0 : ownColumnWidth(c);
    const int room = m_spreads ? qMax(own, viewport()->width()) : own;
    // Each column's right edge is placed where its share of the room ends, so that two grids
    // given the same room and sharing an edge of their own widths share it spread as well.
    int edge = 0;
    int ownEdge = 0;
    for (int c = 0; c < columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const int width = ownColumnWidth(c);
        ownEdge += width;
        const int next = own > 0 ? int(qint64(ownEdge) * room / own) : ownEdge;
        m_spread[c] = (next - edge) - width;
        if (columnWidth(c) != next - edge)
            setColumnWidth(c, next - edge);
        edge = next;
    }
}

// --- GridEditor -------------------------------------------------------------------------------

GridEditor::GridEditor(int rows, int columns, int fixedRows, int fixedColumns, const QString& boxName,
                       QWidget* parent)
    : SurveyGrid(Edited{}, rows, columns, fixedRows, fixedColumns, parent), m_box(new QLineEdit(viewport()))
{
    m_box->setObjectName(boxName);
    m_box->setFrame(false);
    m_box->installEventFilter(this);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridEditor::placeEditor);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &GridEditor::placeEditor);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &GridEditor::placeEditor);
    connect(verticalHeader(), &QHeaderView::sectionResized, this, &GridEditor::placeEditor);
}

void GridEditor::setShape(int rows, int columns)
{
    QuietScope quiet(m_quiet);
    SurveyGrid::setShape(rows, columns);
}

bool GridEditor::isReadOnly(int row, int column) const
{
    return readOnlyCell && readOnlyCell(row, column);
}

void GridEditor::moveTo(int row, int column)
{
    if (row == currentRow() && column == currentColumn()) {
        placeEditor();
        m_box->setFocus(Qt::OtherFocusReason);
        return;
    }
    setCurrentCell(row, column);
}

void GridEditor::setCurrentQuietly(int row, int column)
{
    QuietScope quiet(m_quiet);
    setCurrentCell(row, column);
    m_box->setText(text(row, column));
    placeEditor();
}

void GridEditor::setEditorTextQuietly(const QString& text)
{
    QuietScope quiet(m_quiet);
    m_box->setText(text);
}

void GridEditor::placeEditor()
{
    const QModelIndex index = currentIndex();
    if (index.isValid()) {
        m_box->setGeometry(visualRect(index));
        // The figure being typed stands where the cell shows it.
        const QTableWidgetItem* header = horizontalHeaderItem(index.column());
        const bool right = header && header->data(RightAlignedRole).toBool();
        m_box->setAlignment(right ? Qt::AlignRight | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
    }
    applyLock();
}

void GridEditor::applyLock()
{
    const bool locked = isReadOnly(currentRow(), currentColumn());
    m_box->setReadOnly(locked);
    QPalette p = m_box->palette();
    p.setColor(QPalette::Base, locked ? lightYellow() : palette().color(QPalette::Base));
    p.setColor(QPalette::Text, locked ? inkOn(lightYellow()) : palette().color(QPalette::Text));
    m_box->setPalette(p);
}

void GridEditor::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    SurveyGrid::currentChanged(current, previous);
    if (m_quiet)
        return;
    if (previous.isValid())
        commitCell(previous.row(), previous.column());
    if (current.isValid())
        enterCell(true);
}

QString GridEditor::committedText(int row, int column) const
{
    if (row != currentRow() || column != currentColumn())
        return text(row, column);
    return boxCommit(row, column);
}

QString GridEditor::boxCommit(int row, int column) const
{
    const QString held = text(row, column);
    if (isReadOnly(row, column))
        return held;
    const QString boxText = m_box->text().trimmed();
    if (boxText.compare(held, Qt::CaseInsensitive) == 0)
        return held;
    if (boxText.isEmpty())
        return QString();
    try {
        return toNumeric(Variant(boxText), 4, 0).toText();
    } catch (const VbError&) {
        // Not a figure (a lone "-" moved away with Enter): the cell keeps what it held.
        return held;
    }
}

void GridEditor::commitCell(int row, int column)
{
    const QString typed = m_box->text();
    const QString now = boxCommit(row, column);
    if (now != text(row, column)) {
        setText(row, column, now);
        if (committed && !now.isEmpty())
            committed(row, column, typed);
    }
    setEditorTextQuietly(QString());
}

void GridEditor::enterCell(bool giveFocus)
{
    scrollTo(currentIndex());
    placeEditor();
    const QString t = text(currentRow(), currentColumn());
    if (!t.isEmpty())
        m_box->setText(t);
    if (giveFocus)
        m_box->setFocus(Qt::OtherFocusReason);
    // The figure in the box is there to be typed over.
    m_box->setSelection(0, m_box->text().size());
}

bool GridEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box) {
        if (event->type() == QEvent::KeyPress && keyPressed && keyPressed(static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::FocusIn && focusEntered)
            focusEntered();
    }
    return SurveyGrid::eventFilter(watched, event);
}

void GridEditor::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex before = currentIndex();
    SurveyGrid::mousePressEvent(event);
    // A click on the cell already current (around its box) goes back into the box.
    if (before.isValid() && currentIndex() == before && indexAt(event->position().toPoint()) == before)
        m_box->setFocus(Qt::MouseFocusReason);
}

void GridEditor::resizeEvent(QResizeEvent* event)
{
    SurveyGrid::resizeEvent(event);
    placeEditor();
}
