// The survey's tank sheets: the tanks read on each draft, worked out at the draft's trim and list
// into the weights of their groups, which fill the deductions list.

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "model/ShipRecord.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"

using Outcome = SurveyInputRules::Outcome;

const TankSheet& SurveyModel::tankSheet(int draft) const
{
    return m_drafts[draft]->tankSheet();
}

Outcome SurveyModel::enterTank(
    int draft, const QString& tank, TankSheetWork::Field field, const QString& typed)
{
    const Tank* known = m_tankTables.find(tank);
    if (!known) {
        Outcome o;
        o.accepted = false;
        o.message = QStringLiteral("There is no tank %1 in the ship's tank tables.").arg(tank);
        return o;
    }
    TankSheet& sheet = m_drafts[draft]->tankSheet();
    TankReading entry = sheet.readings.value(known->name);
    QString& cell = field == TankSheetWork::Field::Reading ? entry.reading
        : field == TankSheetWork::Field::Density           ? entry.density
                                                           : entry.volume;
    const Outcome o = TankSheetWork::enter(field, typed, cell, known->name);
    if (!o.accepted || !o.refresh)
        return o;
    cell = o.text;
    if (entry.isEmpty())
        sheet.readings.remove(known->name);
    else
        sheet.readings.insert(known->name, entry);
    m_drafts[draft]->setNeedsSaving(true);
    return o;
}

TankSheetWork::Result SurveyModel::tankWork(int draft) const
{
    std::optional<Decimal> trim;
    bool valid = false;
    const DraftCorrections::Result p = panel(draft, &valid);
    if (valid && p.corrected)
        trim = p.trueTrim.round(3);
    // The list from the midship drafts across the ship's breadth; level without them.
    Decimal heel;
    const DraftInputs& in = m_inputs[draft];
    try {
        const Variant breadth = m_shipId ? toNumeric(m_ship->breadth(), -1, 0) : Variant();
        const Variant port = toNumeric(Variant(in.readings[2]), -1, 0);
        const Variant stbd = toNumeric(Variant(in.readings[3]), -1, 0);
        if (breadth.isNumber() && port.isNumber() && stbd.isNumber() && !in.readings[2].isEmpty()
            && !in.readings[3].isEmpty())
            heel = TankVolume::heelDegrees(port.toDecimal(), stbd.toDecimal(), breadth.toDecimal())
                       .value_or(Decimal(0));
    } catch (const VbError&) {
        heel = Decimal(0);
    }
    return TankSheetWork::workOut(m_tankTables, m_drafts[draft]->tankSheet(), trim, heel);
}

bool SurveyModel::applyTanks(int draft, Calculation* c)
{
    if (m_drafts[draft]->tankSheet().isEmpty())
        return true;
    bool valid = false;
    const DraftCorrections::Result p = panel(draft, &valid);
    if (!valid || !p.corrected)
        return true; // no trim: the check of the true mean draft stops the calculation
    const TankSheetWork::Result worked = tankWork(draft);
    const auto stop = [c](const QString& text) {
        c->stop = Calculation::Stop::Incomplete;
        c->field = QStringLiteral("tanks");
        c->messages.append({text, QString(), Msg::Icon::Exclamation, c->field});
        return false;
    };
    if (!worked.ok())
        return stop(MessageService::join(worked.refusals.join(QLatin1Char('\n')),
            QStringLiteral("Type the volume of a tank the tables cannot give by hand.")));
    DraftInputs& in = m_inputs[draft];
    for (auto it = worked.totals.begin(); it != worked.totals.end(); ++it) {
        const int item = TankGroups::deductionItem(it.key());
        // Through the rule of a typed deductible: the same figure, rounded as typed.
        const Outcome o = SurveyInputRules::deduction(it.value().toString(), QString(), isDischarging());
        if (!o.accepted)
            return stop(QStringLiteral("The %1 tanks weigh %2 t: %3")
                            .arg(TankGroups::name(it.key()), it.value().toString(), o.message));
        if (in.deductibles.value(item) != o.text) {
            in.deductibles.insert(item, o.text);
            m_drafts[draft]->setNeedsSaving(true);
        }
    }
    return true;
}
