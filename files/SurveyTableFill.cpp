#include "files/SurveyTableFill.h"

#include "core/Numeric.h"
#include "core/VbError.h"
#include "model/DraftCorrections.h"
#include "model/HydrostaticTable.h"
#include "model/SurveyInputRules.h"
#include "model/SurveyModel.h"
#include "model/ShipRecord.h"

namespace SurveyTableFill {

namespace {

bool hasNoRows(const SurveyDraftData& d)
{
    for (int c = 0; c < 4; ++c)
        if (!d.below[c].isEmpty() || !d.above[c].isEmpty())
            return false;
    return d.mctcPlus50Below.isEmpty() && d.mctcPlus50Above.isEmpty() && d.mctcMinus50Below.isEmpty()
           && d.mctcMinus50Above.isEmpty();
}

// The true mean draft the window works out from the draft's figures once they are typed: each
// reading rounded as its box rounds it, each mark distance likewise.
std::optional<Decimal> trueMeanDraft(const SurveyDraftData& d, const Decimal& lbp)
{
    DraftCorrections::Input in;
    const std::pair<const QString*, Decimal*> readings[6] = {
        {&d.fwdPort, &in.fwdPort}, {&d.fwdStbd, &in.fwdStbd}, {&d.midPort, &in.midPort},
        {&d.midStbd, &in.midStbd}, {&d.aftPort, &in.aftPort}, {&d.aftStbd, &in.aftStbd}};
    for (const auto& [text, value] : readings) {
        const SurveyInputRules::Outcome o = SurveyInputRules::draftReading(*text, QString());
        const std::optional<Decimal> v = DraftCorrections::readFigure(o.text);
        if (!o.accepted || text->trimmed().isEmpty() || !v)
            return std::nullopt;
        *value = *v;
    }
    const std::pair<const QString*, Decimal*> marks[3] = {
        {&d.fwdX, &in.fwdX}, {&d.midX, &in.midX}, {&d.aftX, &in.aftX}};
    for (const auto& [text, value] : marks) {
        const SurveyInputRules::Outcome o = SurveyInputRules::markDistance(*text, QString());
        const std::optional<Decimal> v = DraftCorrections::readFigure(o.text);
        if (!o.accepted || !v)
            return std::nullopt;
        *value = *v;
    }
    in.lbp = lbp;
    const DraftCorrections::Result r = DraftCorrections::compute(in);
    if (!r.corrected || !(r.trueMeanDraft > Decimal(0)))
        return std::nullopt;
    return r.trueMeanDraft;
}

}  // namespace

std::optional<Unfilled> complete(SurveyFileData& data, const QString& fileName)
{
    QList<std::pair<SurveyDraftData*, QString>> drafts = {
        {&data.initial, QStringLiteral("initial")}, {data.final ? &*data.final : nullptr, QStringLiteral("final")}};
    // The draft checks take their rows from the table as the two drafts do.
    for (qsizetype i = 0; i < data.draftChecks.size(); ++i)
        drafts.append({&data.draftChecks[i], QStringLiteral("draftChecks[%1]").arg(i)});
    std::optional<HydrostaticTable> table;
    Decimal lbp;
    Decimal keelPlateMm;
    bool looked = false;
    std::optional<Unfilled> first;
    for (const auto& [draft, path] : drafts) {
        if (!draft || !hasNoRows(*draft))
            continue;
        const QString field = path + QStringLiteral(".hydrostatics");
        auto leave = [&](const QString& why) {
            if (!first)
                first = Unfilled{field, QStringLiteral("%1: field \"%2\": %3").arg(fileName, field, why)};
        };
        try {
            if (!looked) {
                looked = true;
                // The name as the file gives it: the names were checked against the database.
                if (const std::optional<int> shipId = SurveyModel::shipIdByName(data.ship)) {
                    table = HydrostaticTable::loadForShip(*shipId);
                    ShipRecord ship;
                    if (ship.load(*shipId) == 1) {
                        lbp = toNumeric(ship.lbp(), -1, 0).toDecimal();
                        keelPlateMm = ship.keelPlateMm();
                    }
                }
            }
        } catch (const VbError& e) {
            leave(QStringLiteral("the ship's hydrostatic table cannot be read (%1).").arg(e.description()));
            continue;
        }
        // Without a table the rows stay blank, and the window's own checks say which one is missing;
        // so they do for a draft whose readings leave no true mean draft.
        if (!table)
            continue;
        const std::optional<Decimal> t = trueMeanDraft(*draft, lbp);
        if (!t)
            continue;
        // A table of moulded drafts is entered over the keel plate.
        const HydrostaticPicking::Pick p =
            HydrostaticPicking::pick(*table, table->tableDraft(*t, keelPlateMm));
        if (!p.picked) {
            leave(p.reason);
            continue;
        }
        const HydrostaticRow& below = table->rows[p.below];
        const HydrostaticRow& above = table->rows[p.above];
        for (int c = 0; c < 4; ++c) {
            draft->below[c] = HydrostaticTable::value(below, c).toString();
            draft->above[c] = HydrostaticTable::value(above, c).toString();
        }
        draft->mctcPlus50Below = p.mctcPlus[0].toString();
        draft->mctcPlus50Above = p.mctcPlus[1].toString();
        draft->mctcMinus50Below = p.mctcMinus[0].toString();
        draft->mctcMinus50Above = p.mctcMinus[1].toString();
    }
    return first;
}

}  // namespace SurveyTableFill
