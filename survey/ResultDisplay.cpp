#include "survey/ResultDisplay.h"

#include "core/Numeric.h"
#include "core/VbError.h"
#include "survey/GridEditor.h"

#include <QHeaderView>
#include <QLineEdit>

namespace {

const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

struct ResultRow {
    const char* caption;
    int places;
};

// From the displacement at the true mean draft to the deductibles; rows 9-11 depend on the tab.
constexpr ResultRow kRows[9] = {
    {"Displacement@TMD", 5},       {"First Trim Correction", 4}, {"Second Trim Correction", 4},
    {"Total Trim Correction", 4},  {"List Correction", 4},       {"Displacement@even keel", 5},
    {"Density Correction", 5},     {"True Displacement", 5},     {"Total Deductibles", 5},
};

}  // namespace

ResultDisplay::ResultDisplay(QWidget* parent)
    : m_grid(new SurveyGrid(RowCount, 2, 0, 1, parent)), m_box(new QLineEdit(m_grid->viewport()))
{
    m_grid->setObjectName(QStringLiteral("fgrdFinalResult"));
    m_grid->setColumnWidthTwips(0, 2100);
    m_grid->setColumnWidthTwips(1, 1620);
    m_grid->setColumnRightAligned(1);
    m_grid->setDataBackground(SurveyGrid::lightYellow());
    m_box->setObjectName(QStringLiteral("txtFnlGrdTxtBox"));
    m_box->setFrame(false);
    m_box->setAlignment(Qt::AlignRight);
    m_box->hide();
    // The box over (10, 1) stays over its cell when a maximised window widens the columns.
    QObject::connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, m_grid, [this] { placeBox(); });
}

void ResultDisplay::reset(const QStringList& lastCaptions, bool boldLastRow)
{
    m_grid->clearCells();
    for (int r = 0; r < 9; ++r)
        m_grid->setText(r, 0, QLatin1String(kRows[r].caption));
    setLastCaptions(lastCaptions);
    m_grid->setCellBold(0, 0, true);
    m_grid->setCellBold(NetDisplacementRow, 0, true);
    m_grid->setCellBold(LastRow, 0, boldLastRow);
    m_grid->setColumnWidthTwips(0, 2100);
    m_grid->setColumnWidthTwips(1, 1620);
    fitCaptions();
}

void ResultDisplay::fitCaptions()
{
    // The captions were measured for a small system font; with a larger one the column widens
    // rather than cut "Second Trim Correction" short.
    // Each caption measured in its own weight: only a few rows are bold.
    QStringList plain, bold;
    for (int r = 0; r < RowCount; ++r)
        (m_grid->cellBold(r, 0) ? bold : plain).append(m_grid->text(r, 0));
    const int needed =
        qMax(m_grid->columnWidthFor(2100, plain, false), m_grid->columnWidthFor(2100, bold, true));
    if (needed > m_grid->ownColumnWidth(0)) {
        m_grid->setColumnWidth(0, needed);
        m_grid->updateGeometry();
    }
}

void ResultDisplay::setLastCaptions(const QStringList& captions)
{
    for (int i = 0; i < 3; ++i)
        m_grid->setText(NetDisplacementRow + i, 0, captions.value(i));
    fitCaptions();
}

void ResultDisplay::showResultRows(const QVector<Variant>& finalResult)
{
    for (int r = 0; r < 9; ++r)
        m_grid->setText(r, 1, ResultFigures::rounded(finalResult.value(r), kRows[r].places));
}

QString ResultDisplay::text(int row, int column) const
{
    return m_grid->text(row, column);
}

void ResultDisplay::setText(int row, int column, const QString& text)
{
    m_grid->setText(row, column, text);
}

void ResultDisplay::setRed(int row, int column, bool red)
{
    m_grid->setCellForeground(row, column, red ? Red : Black);
}

bool ResultDisplay::isRed(int row, int column) const
{
    return m_grid->cellForeground(row, column) == Red;
}

void ResultDisplay::setBold(int row, int column, bool bold)
{
    m_grid->setCellBold(row, column, bold);
}

void ResultDisplay::showInitialNetDisplacementBox()
{
    m_grid->setCurrentCell(SecondLastRow, 1);
    placeBox();
    m_box->show();
    m_box->raise();
}

void ResultDisplay::hideInitialNetDisplacementBox()
{
    m_box->hide();
}

void ResultDisplay::placeBox()
{
    const QTableWidgetItem* cell = m_grid->item(SecondLastRow, 1);
    if (cell)
        m_box->setGeometry(m_grid->visualItemRect(cell));
}

void ResultDisplay::paint(QLineEdit* box, bool red)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Text, red ? Red : Black);
    box->setPalette(p);
}

bool ResultDisplay::isRed(const QLineEdit* box)
{
    return box->palette().color(QPalette::Text) == Red;
}
