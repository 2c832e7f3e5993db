// Picking a draft's hydrostatic rows from the ship's own table, and telling the cells picked
// from those typed over it.

#include "core/MessageService.h"
#include "core/VbError.h"
#include "model/SurveyFieldNames.h"
#include "model/ShipRecord.h"
#include "model/SurveyModel.h"

namespace Names = SurveyFieldNames;

namespace {

// A figure as a file wrote it ("13.90") against the table's (13.9).
bool sameFigure(const QString& text, const Decimal& figure)
{
    const std::optional<Decimal> value = DraftCorrections::readFigure(text);
    return value && *value == figure;
}

}  // namespace

std::array<std::pair<QString, QString*>, 12> SurveyModel::tableCells(int draft)
{
    DraftInputs& in = m_inputs[draft];
    std::array<std::pair<QString, QString*>, 12> cells;
    int k = 0;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column)
            cells[k++] = {Names::hydrostatic(row, column), &in.hydrostatics[row][column]};
        cells[k++] = {Names::mctc(true, row), &in.mctcPlus50[row]};
        cells[k++] = {Names::mctc(false, row), &in.mctcMinus50[row]};
    }
    return cells;
}

SurveyMessages SurveyModel::reloadTable()
{
    m_table.reset();
    m_tankTables = TankTables();
    if (!m_shipId)
        return {};
    try {
        m_tankTables = TankTables::loadForShip(*m_shipId);
        m_table = HydrostaticTable::loadForShip(*m_shipId);
    } catch (const VbError& e) {
        // Without the table the survey goes on as before: the rows are typed.
        return {{MessageService::join(QStringLiteral("The ship's hydrostatic table cannot be read."),
                                      e.description()),
                 QString(), Msg::Icon::Exclamation, QString()}};
    }
    return {};
}

std::optional<Decimal> SurveyModel::pickingDraft(int draft) const
{
    // The rows are picked once the six readings are in: a half-read panel has a true mean draft
    // too, but not the ship's.
    for (const QString& reading : m_inputs[draft].readings)
        if (reading.trimmed().isEmpty())
            return std::nullopt;
    bool valid = false;
    const DraftCorrections::Result p = panel(draft, &valid);
    if (!valid || !p.corrected || !(p.trueMeanDraft > Decimal(0)))
        return std::nullopt;
    return p.trueMeanDraft;
}

bool SurveyModel::isTypedOverTable(int draft, const QString& cell) const
{
    if (!m_table)
        return false;
    const auto cells = const_cast<SurveyModel*>(this)->tableCells(draft);
    for (const auto& [name, text] : cells) {
        if (name != cell)
            continue;
        if (text->isEmpty())
            return false;
        const auto it = m_picked[draft].constFind(name);
        return it == m_picked[draft].constEnd() || *it != *text;
    }
    return false;
}

QStringList SurveyModel::typedOverTable(int draft) const
{
    QStringList typed;
    for (const auto& cell : const_cast<SurveyModel*>(this)->tableCells(draft))
        if (isTypedOverTable(draft, cell.first))
            typed.append(cell.first);
    return typed;
}

QString SurveyModel::pickRows(int draft)
{
    const std::optional<Decimal> trueMeanDraft = pickingDraft(draft);
    if (!m_table || !trueMeanDraft)
        return QString();
    // A table of moulded drafts is entered over the keel plate.
    const HydrostaticPicking::Pick p =
        HydrostaticPicking::pick(*m_table, m_table->tableDraft(*trueMeanDraft, m_ship->keelPlateMm()));
    // The figure of each cell in tableCells() order; empty where nothing is picked.
    std::array<QString, 12> figures;
    if (p.picked) {
        int k = 0;
        for (int row = 0; row < 2; ++row) {
            const HydrostaticRow& r = m_table->rows[row == Below ? p.below : p.above];
            for (int column = 0; column < 4; ++column)
                figures[k++] = HydrostaticTable::value(r, column).toString();
            figures[k++] = p.mctcPlus[row].toString();
            figures[k++] = p.mctcMinus[row].toString();
        }
    }
    const QStringList typed = typedOverTable(draft);
    const auto cells = tableCells(draft);
    for (int k = 0; k < 12; ++k) {
        const auto& [name, text] = cells[k];
        if (typed.contains(name))
            continue;
        *text = figures[k];
        if (figures[k].isEmpty())
            m_picked[draft].remove(name);
        else
            m_picked[draft].insert(name, figures[k]);
    }
    return p.picked ? QString() : p.reason;
}

void SurveyModel::adoptRows(int draft, const std::optional<QStringList>& typed)
{
    m_picked[draft].clear();
    if (!m_table)
        return;
    const auto cells = tableCells(draft);
    if (typed) {
        for (const auto& [name, text] : cells)
            if (!text->isEmpty() && !typed->contains(name))
                m_picked[draft].insert(name, *text);
    } else {
        // The table's own figures: a row of the table at the cell's row's draft, and the MCTC
        // half a metre above and below that draft, as a pick gives them.
        const DraftInputs& in = m_inputs[draft];
        for (int row = 0; row < 2; ++row) {
            const std::optional<Decimal> rowDraft = DraftCorrections::readFigure(in.hydrostatics[row][0]);
            if (!rowDraft)
                continue;
            for (const HydrostaticRow& r : m_table->rows) {
                if (r.draft != *rowDraft)
                    continue;
                for (int column = 0; column < 4; ++column)
                    if (sameFigure(in.hydrostatics[row][column], HydrostaticTable::value(r, column)))
                        m_picked[draft].insert(Names::hydrostatic(row, column), in.hydrostatics[row][column]);
            }
            const HydrostaticPicking::Pick p = HydrostaticPicking::pick(*m_table, *rowDraft);
            // The MCTC figures a pick gives for a row at this draft, whichever row it was.
            for (int k = 0; k < 2 && p.picked; ++k) {
                const Decimal pickedDraft = m_table->rows[k == Below ? p.below : p.above].draft;
                if (pickedDraft != *rowDraft)
                    continue;
                if (sameFigure(in.mctcPlus50[row], p.mctcPlus[k]))
                    m_picked[draft].insert(Names::mctc(true, row), in.mctcPlus50[row]);
                if (sameFigure(in.mctcMinus50[row], p.mctcMinus[k]))
                    m_picked[draft].insert(Names::mctc(false, row), in.mctcMinus50[row]);
            }
        }
    }
    pickRows(draft);
}
