#include "files/SurveyFileModel.h"

#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/Database.h"
#include "db/NameLookup.h"
#include "files/SurveyTableFill.h"
#include "model/ResultFigures.h"
#include "model/SurveyFieldNames.h"
#include "model/SurveyModel.h"
#include "model/SurveyDraft.h"

#include <algorithm>

namespace {

using Kind = SurveyFileData::Kind;
using Field = SurveyModel::Field;

namespace Names = SurveyFieldNames;

// Records on `result` a value not entered: the field, the value and the sentence naming the file,
// "... was refused." or, with `why`, "... was not taken: <why>.".
void refuse(SurveyLoadResult& result, const QString& fileName, const QString& field, const QString& value,
            const QString& why = QString())
{
    result.outcome = SurveyLoadResult::Outcome::Refused;
    result.field = field;
    result.value = value;
    result.message = why.isEmpty()
        ? QStringLiteral("%1: field \"%2\": the value \"%3\" was refused.").arg(fileName, field, value)
        : QStringLiteral("%1: field \"%2\": the value \"%3\" was not taken: %4.")
              .arg(fileName, field, value, why);
}

// Records on `result` that the Initial (Final) draft stopped at the check behind `field`, unless
// an earlier refusal or failure already stands.
void notCalculated(SurveyLoadResult& result, const QString& fileName, const QString& field, int draft)
{
    if (!result.loaded())
        return;  // the first refusal or failure is the one reported
    result.outcome = SurveyLoadResult::Outcome::NotCalculated;
    result.field = field;
    if (SurveyModel::isCheck(draft)) {
        result.message = QStringLiteral("%1: field \"%2\": draft check %3 could not be calculated.")
                             .arg(fileName, field)
                             .arg(SurveyModel::checkNumber(draft));
        return;
    }
    const bool isFinal = draft == SurveyModel::Final;
    result.message = QStringLiteral("%1: field \"%2\": the %3 draft could not be calculated.")
                         .arg(fileName, field, isFinal ? QStringLiteral("Final") : QStringLiteral("Initial"));
}

// The initial net displacement typed over the Final results, when it counts as an input: only
// where the Initial draft has none of its own.
std::optional<QString> typedInitialNet(const QString& typed, const SurveyDraft& initial)
{
    const QString text = typed.trimmed();
    const std::optional<Decimal> initialNet = ResultFigures::number(initial.netDisplacement());
    if (text.isEmpty() || (initialNet && !initialNet->isZero()))
        return std::nullopt;
    return text;
}

class Entry {
public:
    Entry(SurveyModel& m, const QString& fileName, SurveyFileModel::Calculate calc)
        : m_m(m), m_file(fileName), m_calc(calc)
    {
    }

    SurveyLoadResult run(const SurveyFileData& data)
    {
        if (!enterHeader(data) || !enterDraft(data.initial, SurveyModel::Initial))
            return m_result;
        if (m_calc.initial)
            calculate(SurveyModel::Initial);
        if (!enterChecks(data))
            return m_result;
        if (!data.final)
            return m_result;
        if (!m_m.hasShip()) {
            m_result.told.append({QStringLiteral("Please select a ship first."), QString(),
                                  Msg::Icon::Exclamation, Names::kShip});
            refuse(Names::kDrafts[SurveyModel::Final], QString(),
                   QStringLiteral("the Final tab could not be opened"));
            return m_result;
        }
        m_m.setDraftOnShow(SurveyModel::Final);
        if (enterDraft(*data.final, SurveyModel::Final) && m_calc.final)
            calculate(SurveyModel::Final);
        return m_result;
    }

private:
    static QString path(int draft) { return Names::draftPath(draft); }

    // The draft checks, in the order taken, each entered and calculated as a draft is.
    bool enterChecks(const SurveyFileData& data)
    {
        if (data.plannedCargo && !data.plannedCargo->isEmpty()) {
            if (!fits(*data.plannedCargo, 32767, Names::kPlannedCargo))
                return false;
            if (!told(m_m.enterPlannedCargo(*data.plannedCargo), Names::kPlannedCargo).accepted)
                return refuse(Names::kPlannedCargo, *data.plannedCargo);
        }
        for (qsizetype i = 0; i < data.draftChecks.size(); ++i) {
            const int draft = m_m.addCheck();
            if (!enterDraft(data.draftChecks.at(i), draft))
                return false;
            if (m_calc.checks.value(i, true))
                calculate(draft);
        }
        return true;
    }

    bool enterHeader(const SurveyFileData& data)
    {
        if (!data.ship.isEmpty()) {
            const std::optional<int> id = SurveyModel::shipIdByName(data.ship);
            if (!id)
                return refuse(Names::kShip, data.ship, QStringLiteral("it is not in the list"));
            if (!told(m_m.setShip(*id, data.ship), Names::kShip).accepted)
                return refuse(Names::kShip, data.ship);
        }
        if (!text(data.voyage, SurveyModel::voyageMaxLength(), Names::kVoyage))
            return false;
        m_m.setVoyage(data.voyage.isEmpty() ? m_m.voyage() : data.voyage);
        if (!data.port.isEmpty() && !m_m.setPortByName(data.port))
            return refuse(Names::kPort, data.port, QStringLiteral("it is not in the list"));
        if (!text(data.cargo, SurveyModel::cargoMaxLength(), Names::kCargo))
            return false;
        m_m.setCargo(data.cargo.isEmpty() ? m_m.cargo() : data.cargo);
        // Read and checked with the file; a file without them keeps the survey's.
        if (!data.particulars.isEmpty())
            m_m.setParticulars(data.particulars);
        // Chosen for the survey as a whole; a file without the key keeps the survey's choice.
        if (data.listCorrection)
            m_m.setListCorrection(true);
        // The Bill of Lading quantity sits on the Initial tab, before the arrival draft is worked.
        if (data.kind == Kind::Discharging && data.blQuantity && !data.blQuantity->isEmpty()) {
            if (!fits(*data.blQuantity, 32767, Names::kBlQuantity))
                return false;
            if (!told(m_m.enterBLQuantity(*data.blQuantity), Names::kBlQuantity).accepted)
                return refuse(Names::kBlQuantity, *data.blQuantity);
        }
        return true;
    }

    bool enterDraft(const SurveyDraftData& d, int draft)
    {
        const auto p = [draft](const QString& name) { return Names::inDraft(draft, name); };
        if (!field(draft, Field::Density, d.density, p(Names::kDensity))
            || !field(draft, Field::Date, d.date, p(Names::kDate), false)
            || !field(draft, Field::Time, d.time, p(Names::kTime), false))
            return false;
        for (int i = 0; i < 6; ++i)
            if (!field(draft, Field(int(Field::FwdPort) + i), d.*SurveyDraftData::kReadings[i],
                       p(Names::reading(i))))
                return false;
        for (int i = 0; i < 3; ++i)
            if (!field(draft, Field(int(Field::FwdX) + i), d.*SurveyDraftData::kMarks[i], p(Names::mark(i))))
                return false;

        // Down each column of the hydrostatic table, Below then Above, as Enter leads.
        // Down each column of the hydrostatic table, Below then Above, as Enter leads.
        using Table = SurveyModel::Table;
        for (int c = 0; c < 4; ++c) {
            if (!cell(draft, Table::Hydrostatics, SurveyModel::Below, c, d.below[c],
                      p(Names::hydrostatic(SurveyModel::Below, c)))
                || !cell(draft, Table::Hydrostatics, SurveyModel::Above, c, d.above[c],
                         p(Names::hydrostatic(SurveyModel::Above, c))))
                return false;
        }
        const std::pair<Table, const QString*> mctc[4] = {
            {Table::MctcPlus50, &d.mctcPlus50Below}, {Table::MctcPlus50, &d.mctcPlus50Above},
            {Table::MctcMinus50, &d.mctcMinus50Below}, {Table::MctcMinus50, &d.mctcMinus50Above}};
        for (int i = 0; i < 4; ++i) {
            const auto& [table, value] = mctc[i];
            if (!cell(draft, table, i % 2, 1, *value, p(Names::mctc(table == Table::MctcPlus50, i % 2))))
                return false;
        }

        if (!m_items)
            m_items = SurveyModel::deductionCatalogue();
        for (const auto& [item, quantity] : d.deductibles) {
            const QString name = p(Names::deductible(item));
            const bool known = std::any_of(m_items->begin(), m_items->end(),
                                           [item = item](const auto& i) { return i.first == item; });
            if (!known)
                return refuse(name, quantity, QStringLiteral("the deductibles list has no item %1").arg(item));
            if (quantity.isEmpty())
                continue;
            if (!told(m_m.enterDeductible(draft, item, quantity), name).accepted)
                return refuse(name, quantity);
        }
        // The tank sheet: its group totals fill the deductibles when the draft is calculated.
        for (auto it = d.tanks.begin(); it != d.tanks.end(); ++it) {
            const QString name = p(QStringLiteral("tanks.") + it.key());
            const std::pair<TankSheetWork::Field, const QString*> cells[3] = {
                {TankSheetWork::Field::Reading, &it->reading},
                {TankSheetWork::Field::Density, &it->density},
                {TankSheetWork::Field::Volume, &it->volume}};
            for (const auto& [f, value] : cells) {
                if (value->isEmpty())
                    continue;
                if (!fits(*value, 32767, name))
                    return false;
                if (!told(m_m.enterTank(draft, it.key(), f, *value), name).accepted)
                    return refuse(name, *value);
            }
        }
        if (const std::optional<QString> why = SurveyFile::commentsRefusal(d))
            return refuse(p(Names::kComments), d.comments.left(40) + QStringLiteral("..."), *why);
        if (!d.comments.isEmpty())
            m_m.setComments(draft, d.comments);
        for (int side = 0; side < 2; ++side) {
            const QString name = p(Names::listTpc(side));
            if (d.listTpc[side].isEmpty())
                continue;
            if (!fits(d.listTpc[side], 32767, name))
                return false;
            if (!told(m_m.enterListTpc(draft, side, d.listTpc[side]), name).accepted)
                return refuse(name, d.listTpc[side]);
        }
        if (!d.readingsStart.isEmpty())
            m_m.draft(draft).setReadingsStart(d.readingsStart);
        if (!d.readingsEnd.isEmpty())
            m_m.draft(draft).setReadingsEnd(d.readingsEnd);
        // The rows picked from the ship's table follow the readings as they stand.
        m_m.adoptRows(draft, d.typedOverTable);
        if (draft == SurveyModel::Final && d.initialNetDisplacement)
            return field(draft, Field::InitialNetDisplacement, *d.initialNetDisplacement,
                         p(Names::kInitialNetDisplacement));
        return true;
    }

    bool fits(const QString& value, int maxLength, const QString& name)
    {
        // The box would cut a longer text at its length, and the figure would change unseen.
        if (value.size() > maxLength)
            return refuse(name, value, QStringLiteral("the box takes at most %1 characters").arg(maxLength));
        return true;
    }

    bool text(const QString& value, int maxLength, const QString& name)
    {
        return value.isEmpty() || fits(value, maxLength, name);
    }

    bool field(int draft, Field f, const QString& value, const QString& name, bool limited = true)
    {
        if (value.isEmpty())
            return true;  // nothing typed: the field keeps what stands in it
        if (limited && !fits(value, SurveyModel::maxLength(f), name))
            return false;
        if (!told(m_m.enter(draft, f, value), name).accepted)
            return refuse(name, value);
        return true;
    }

    bool cell(int draft, SurveyModel::Table table, int row, int column, const QString& value, const QString& name)
    {
        if (value.isEmpty())
            return true;
        if (!told(m_m.enterTable(draft, table, row, column, value), name).accepted)
            return refuse(name, value);
        return true;
    }

    void calculate(int draft)
    {
        const SurveyModel::Calculation c = m_m.calculate(draft);
        for (SurveyMessage m : c.messages) {
            if (!m.field.isEmpty() && !c.headerField)
                m.field = path(draft) + QLatin1Char('.') + m.field;
            m_result.told.append(m);
        }
        if (!c.calculated)
            notCalculated(m_result, m_file,
                                           c.headerField ? c.field : path(draft) + QLatin1Char('.') + c.field,
                                           draft);
    }

    // What a step said goes on the record, under the file's name of its field.
    const SurveyInputRules::Outcome& told(const SurveyInputRules::Outcome& o, const QString& name)
    {
        if (!o.message.isEmpty())
            m_result.told.append({o.message, o.title, o.icon, name});
        return o;
    }

    bool refuse(const QString& name, const QString& value, const QString& why = QString())
    {
        ::refuse(m_result, m_file, name, value, why);
        return false;
    }

    SurveyModel& m_m;
    QString m_file;
    SurveyFileModel::Calculate m_calc;
    // The deductibles list, read when the first draft comes to be entered.
    std::optional<QList<QPair<int, QString>>> m_items;
    SurveyLoadResult m_result;
};

SurveyDraftData draftData(const SurveyModel& m, int draft)
{
    const SurveyModel::DraftInputs& in = m.inputs(draft);
    SurveyDraftData d;
    d.density = in.density;
    d.date = in.date;
    d.time = in.time;
    for (int i = 0; i < 6; ++i)
        d.*SurveyDraftData::kReadings[i] = in.readings[i];
    for (int i = 0; i < 3; ++i)
        d.*SurveyDraftData::kMarks[i] = m.markText(draft, i);
    for (int c = 0; c < 4; ++c) {
        d.below[c] = in.hydrostatics[SurveyModel::Below][c];
        d.above[c] = in.hydrostatics[SurveyModel::Above][c];
    }
    d.mctcPlus50Below = in.mctcPlus50[SurveyModel::Below];
    d.mctcPlus50Above = in.mctcPlus50[SurveyModel::Above];
    d.mctcMinus50Below = in.mctcMinus50[SurveyModel::Below];
    d.mctcMinus50Above = in.mctcMinus50[SurveyModel::Above];
    for (auto it = in.deductibles.begin(); it != in.deductibles.end(); ++it)
        d.deductibles.append({it.key(), it.value()});
    d.comments = in.comments;
    d.listTpc[0] = in.listTpc[SurveyModel::Port];
    d.listTpc[1] = in.listTpc[SurveyModel::Starboard];
    for (auto it = m.tankSheet(draft).readings.begin(); it != m.tankSheet(draft).readings.end(); ++it)
        d.tanks.insert(it.key(), {it->reading, it->density, it->volume});
    d.readingsStart = m.draft(draft).readingsStart();
    d.readingsEnd = m.draft(draft).readingsEnd();
    // Which rows came from the ship's own table: they follow the draft when it is opened again.
    if (m.table())
        d.typedOverTable = m.typedOverTable(draft);
    return d;
}

}  // namespace

namespace SurveyFileModel {

QString kindCaption(Kind kind)
{
    return kind == Kind::Loading ? QStringLiteral("Loading") : QStringLiteral("Discharging");
}

bool hasInputs(const SurveyDraftData& d)
{
    bool any = !d.density.isEmpty() || !d.comments.trimmed().isEmpty() || !d.deductibles.isEmpty()
        || !d.mctcPlus50Below.isEmpty() || !d.mctcPlus50Above.isEmpty() || !d.mctcMinus50Below.isEmpty()
        || !d.mctcMinus50Above.isEmpty() || d.initialNetDisplacement.has_value() || !d.listTpc[0].isEmpty()
        || !d.listTpc[1].isEmpty() || !d.tanks.isEmpty() || !d.readingsStart.isEmpty()
        || !d.readingsEnd.isEmpty();
    for (QString SurveyDraftData::*reading : SurveyDraftData::kReadings)
        any = any || !(d.*reading).isEmpty();
    for (int c = 0; c < 4; ++c)
        any = any || !d.below[c].isEmpty() || !d.above[c].isEmpty();
    return any;
}

std::optional<QString> checkNames(const SurveyFileData& data, const QString& fileName)
{
    try {
        if (!NameLookup::hasShip(sharedConnection(), data.ship))
            return QStringLiteral("%1: field \"ship\": there is no ship \"%2\" in the database.")
                .arg(fileName, data.ship);
        if (!data.port.isEmpty() && !NameLookup::hasPort(sharedConnection(), data.port))
            return QStringLiteral("%1: field \"port\": there is no port \"%2\" in the database.")
                .arg(fileName, data.port);
        QList<int> items;
        for (const auto& [id, name] : SurveyModel::deductionCatalogue())
            items.append(id);
        const std::pair<const SurveyDraftData*, QString> drafts[2] = {
            {&data.initial, Names::kDrafts[SurveyModel::Initial]},
            {data.final ? &*data.final : nullptr, Names::kDrafts[SurveyModel::Final]}};
        QList<std::pair<const SurveyDraftData*, QString>> all(std::begin(drafts), std::end(drafts));
        for (qsizetype i = 0; i < data.draftChecks.size(); ++i)
            all.append({&data.draftChecks.at(i), Names::draftPath(SurveyModel::FirstCheck + int(i))});
        for (const auto& [draft, path] : all) {
            if (!draft)
                continue;
            for (const auto& [item, quantity] : draft->deductibles)
                if (!items.contains(item))
                    return QStringLiteral("%1: field \"%2.deductibles.%3\": there is no deductible item %3 "
                                          "in the database.")
                        .arg(fileName, path)
                        .arg(item);
        }
    } catch (const VbError& e) {
        return QStringLiteral("%1: the database cannot be read (%2).").arg(fileName, e.description());
    }
    return std::nullopt;
}

SurveyLoadResult load(SurveyModel& model, const SurveyFileData& data, const QString& fileName, Calculate calc)
{
    try {
        // Rows the file leaves out come from the ship's own table.
        SurveyFileData complete = data;
        const std::optional<SurveyTableFill::Unfilled> unfilled =
            SurveyTableFill::complete(complete, fileName);
        SurveyLoadResult r = Entry(model, fileName, calc).run(complete);
        if (unfilled && r.outcome == SurveyLoadResult::Outcome::NotCalculated) {
            r.field = unfilled->field;
            r.message = unfilled->message;
        }
        return r;
    } catch (const VbError& e) {
        SurveyLoadResult r;
        r.outcome = SurveyLoadResult::Outcome::NotCalculated;
        r.message =
            QStringLiteral("%1: the survey could not be entered (%2).").arg(fileName, e.description());
        return r;
    }
}

SurveyFileData read(const SurveyModel& model)
{
    SurveyFileData data;
    data.kind = model.isDischarging() ? Kind::Discharging : Kind::Loading;
    data.ship = model.shipName();
    data.port = model.portName();
    data.voyage = model.voyage();
    data.cargo = model.cargo();
    if (model.isDischarging() && !model.blQuantity().isEmpty())
        data.blQuantity = model.blQuantity();
    data.listCorrection = model.listCorrection();
    data.particulars = model.particulars();
    data.initial = draftData(model, SurveyModel::Initial);
    SurveyDraftData fin = draftData(model, SurveyModel::Final);
    // The initial net displacement typed over the Final results counts as an input only where the
    // Initial draft has none of its own.
    if (const std::optional<QString> typed =
            typedInitialNet(model.inputs(SurveyModel::Final).initialNetDisplacement, model.draft(SurveyModel::Initial)))
        fin.initialNetDisplacement = *typed;
    // A Final draft on show is written even before anything is entered in it: it opens again there.
    if (hasInputs(fin) || model.draftOnShow() == SurveyModel::Final)
        data.final = fin;
    for (int check : model.draftChecks())
        data.draftChecks.append(draftData(model, check));
    if (!model.isDischarging() && !model.plannedCargo().isEmpty())
        data.plannedCargo = model.plannedCargo();
    return data;
}

}  // namespace SurveyFileModel
