// The deductibles grid: the catalogue of items on board that are not cargo, one quantity each,
// and their way into and out of a draft's deductions list.
#include "survey/SurveyGrids.h"

#include "db/Database.h"
#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/ResultFigures.h"
#include "model/SurveyInputRules.h"
#include "model/SurveyDraft.h"
#include "survey/GridEditor.h"

#include <QKeyEvent>

using GridFigures::isFigure;
using GridFigures::textOf;

bool SurveyGrids::loadDeductionCatalogue()
{
    RowSet items;
    items.open(SqlCatalogue::deductionItems(), sharedConnection());
    if (items.recordCount() < 1) {
        m_itemIds.clear();
        m_deduction->hide();
        return false;
    }
    m_deduction->clearCells();
    m_deduction->setShape(items.recordCount(), 2);
    m_itemIds.clear();
    QStringList names;
    for (int i = 0; !items.eof(); ++i, items.moveNext()) {
        const QString name = textOf(items.value(QStringLiteral("ItemName")));
        m_deduction->setText(i, 0, name);
        m_itemIds.append(items.value(QStringLiteral("ItemID")));
        names.append(name);
    }
    m_deduction->setColumnWidth(0, m_deduction->columnWidthFor(975, names));
    m_deduction->setColumnWidthTwips(1, 1630);
    m_deduction->setColumnRightAligned(1);
    m_deduction->setCurrentQuietly(0, 1);
    m_deduction->show();
    return true;
}

// --- Deductibles ------------------------------------------------------------------------------

void SurveyGrids::deductionFocusIn()
{
    if (m_host.isFilling())
        return;
    if (!m_host.requireShip())
        return;
    m_deduction->editor()->selectAll();
}

bool SurveyGrids::deductionKey(QKeyEvent* event)
{
    const int row = m_deduction->row();
    const int last = m_deduction->rowCount() - 1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!validateDeduction())
            return true;
        if (row >= last)
            m_guard.moveFocus(true);
        else
            m_deduction->moveTo(row + 1, 1);
        return true;
    case Qt::Key_Up:
        if (validateDeduction() && row > 0)
            m_deduction->moveTo(row - 1, 1);
        return true;
    case Qt::Key_Down:
        if (validateDeduction() && row < last)
            m_deduction->moveTo(row + 1, 1);
        return true;
    default:
        return false;
    }
}

bool SurveyGrids::validateDeduction()
{
    const int row = m_deduction->row();
    if (row < 0)
        return true;
    QLineEdit* box = m_deduction->editor();
    if (row >= m_itemIds.size() || m_itemIds.at(row).isNull())
        return true;
    // The figure the cell shows, left as it was: nothing for the survey (the discharge shows a
    // stored list in full, an item without a figure as 0).
    if (box->text().trimmed() == m_deduction->text(row, 1))
        return true;
    try {
        // The survey keeps the quantity of the draft on show and says whether it changed.
        const SurveyInputRules::Outcome o = m_host.enterDeduction(m_itemIds.at(row).toInt32(), box->text());
        if (!o.accepted) {
            MessageService::show(o.message, Msg::Buttons::Ok, o.icon, o.title);
            box->clear();
            return false;
        }
        if (!o.refresh)
            return true;  // nothing new: the cell keeps its figure
        if (!o.text.isEmpty())
            box->setText(o.text);
        m_deduction->setText(row, 1, o.text);
        return true;
    } catch (const VbError&) {
        MessageService::bareSource(m_host.className(), QStringLiteral("txtGridTextbox_Validate"));
        box->clear();
        return false;
    }
}

void SurveyGrids::clearDeductionQuantities()
{
    for (int r = 0; r < m_deduction->rowCount(); ++r)
        m_deduction->setText(r, 1, QString());
    m_deduction->setEditorTextQuietly(QString());
}

void SurveyGrids::showDeductions(const QMap<int, QString>& quantities, const SurveyDraft& draft)
{
    clearDeductionQuantities();
    if (!draft.needsSaving())
        return;
    // The Discharging window shows a stored list in full: an item without a figure reads 0.
    const bool discharging = m_host.isDischarging();
    const RowSet& list = draft.deductions();
    if (discharging && list.isOpen() && list.recordCount() > 0)
        for (int r = 0; r < m_deduction->rowCount(); ++r)
            m_deduction->setText(r, 1, QStringLiteral("0"));
    for (int i = 0; i < m_itemIds.size() && i < m_deduction->rowCount(); ++i) {
        if (m_itemIds.at(i).isNull())
            continue;
        const auto it = quantities.constFind(m_itemIds.at(i).toInt32());
        if (it == quantities.constEnd())
            continue;
        // The Loading window leaves an empty tank blank.
        const std::optional<Decimal> figure = ResultFigures::number(Variant(*it));
        const bool zero = figure && figure->isZero();
        m_deduction->setText(i, 1, zero && !discharging ? QString() : *it);
    }
    m_deduction->setEditorTextQuietly(m_deduction->text(m_deduction->row(), m_deduction->col()));
}

bool SurveyGrids::validateOpenDeduction()
{
    if (validateDeduction())
        return true;
    if (m_deduction->isVisible())
        m_deduction->editor()->setFocus(Qt::OtherFocusReason);
    return false;
}

bool SurveyGrids::focusDeduction(int itemId)
{
    for (int row = 0; row < m_itemIds.size() && row < m_deduction->rowCount(); ++row) {
        if (!m_itemIds.at(row).isNull() && m_itemIds.at(row).toInt32() == itemId) {
            m_deduction->moveTo(row, 1);
            m_deduction->editor()->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}
