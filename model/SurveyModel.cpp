#include "model/SurveyModel.h"

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/Database.h"
#include "db/NameLookup.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/HydrostaticTable.h"
#include "model/ResultFigures.h"
#include "model/SurveyFieldNames.h"
#include "model/SurveyChecks.h"
#include "model/VariantArray2D.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace {

using SurveyInputRules::Outcome;
using Field = SurveyModel::Field;

QString textOf(const Variant& v)
{
    return v.isNull() ? QString() : v.toText();
}

Variant figureOf(const QString& text)
{
    return toNumeric(Variant(text), -1, 0);
}

namespace Names = SurveyFieldNames;

int readingIndex(Field f)
{
    return int(f) - int(Field::FwdPort);
}

int markIndex(Field f)
{
    return int(f) - int(Field::FwdX);
}

bool isReading(Field f)
{
    return f >= Field::FwdPort && f <= Field::AftStbd;
}

bool isMark(Field f)
{
    return f >= Field::FwdX && f <= Field::AftX;
}

// What a masked box ("99-99-9999", "99:99") shows for a text typed into it: digits go to the
// next digit place, a separator jumps past the next separator of its kind, the rest is prompt.
QString masked(const QString& typed, const QString& mask)
{
    QString out = mask;
    for (QChar& c : out)
        if (c == QLatin1Char('9'))
            c = QLatin1Char('_');
    int pos = 0;
    for (const QChar ch : typed) {
        if (pos >= mask.size())
            break;
        if (ch.isDigit()) {
            while (pos < mask.size() && mask.at(pos) != QLatin1Char('9'))
                ++pos;
            if (pos < mask.size())
                out[pos++] = ch;
        } else {
            const int j = mask.indexOf(ch, pos);
            if (j >= 0)
                pos = j + 1;
        }
    }
    return out;
}

QString decimalText(const Decimal& d)
{
    return d.toLocaleString(QLocale());
}

// A result no ship can float at: the surveyor is asked to look at the figures typed.
SurveyMessage checkYourInput(const char* headline)
{
    return {MessageService::join(QLatin1String(headline), QStringLiteral("Please check your input values.")),
            QString(), Msg::Icon::Exclamation, QString()};
}

}  // namespace

SurveyModel::SurveyModel(Kind kind) : m_kind(kind), m_ship(std::make_unique<ShipRecord>())
{
    appendDraft(0);
    appendDraft(1);
}

SurveyModel::~SurveyModel() = default;

void SurveyModel::clear()
{
    // A new survey has no draft checks yet.
    while (checkCount() > 0)
        removeCheck(FirstCheck + checkCount() - 1);
    m_plannedCargo.clear();
    for (int i = 0; i < 2; ++i) {
        m_drafts[i]->clear();
        // The draft marks stay where they were read: the next survey of the ship reads them there.
        const DraftInputs kept = m_inputs[i];
        m_inputs[i] = DraftInputs();
        m_inputs[i].marks = kept.marks;
        m_inputs[i].ownMarks = kept.ownMarks;
        m_inputs[i].date = m_drafts[i]->surveyDate();
        m_inputs[i].time = m_drafts[i]->surveyTime();
    }
    m_calculated.assign(2, false);
    m_withdrawn.assign(2, false);
    m_differences.assign(2, Differences());
    m_picked.assign(2, {});
    m_onShow = Initial;
    m_view.reset();
    m_draftFindings.assign(2, SurveyFindings());
    m_checked.assign(2, false);
    m_surveyFindings.clear();
    m_listTonnes.assign(2, std::nullopt);
    m_listCorrection = false;
    m_particulars.clear();
}

QList<SurveyModel::DraftTaken> SurveyModel::draftsInOrder() const
{
    QList<DraftTaken> drafts;
    drafts.append({Initial, QStringLiteral("INITIAL DRAFT"), m_drafts[Initial].get()});
    // The draft checks, taken while the cargo was worked, in the order taken.
    for (int check : draftChecks())
        drafts.append(
            {check, QStringLiteral("DRAFT CHECK %1").arg(checkNumber(check)), m_drafts[check].get()});
    drafts.append({Final, QStringLiteral("FINAL DRAFT"), m_drafts[Final].get()});
    return drafts;
}

// --- The header ------------------------------------------------------------------------------

Outcome SurveyModel::setShip(int shipId, const QString& name)
{
    Outcome unable;
    unable.accepted = false;
    unable.message = QStringLiteral("Unable to retrieve ship particulars.");
    unable.icon = Msg::Icon::None;
    try {
        for (const std::unique_ptr<SurveyDraft>& d : m_drafts)
            d->setShipId(Variant(Decimal(shipId)));
        if (m_ship->load(shipId) != 1)
            return unable;
        m_shipId = shipId;
        m_shipName = name;
    } catch (const VbError&) {
        return unable;
    }
    // Her own table, if she has one; one that cannot be read is told of when a draft is shown.
    m_picked.assign(m_picked.size(), {});
    reloadTable();
    return Outcome();
}

std::optional<int> SurveyModel::shipIdByName(const QString& name)
{
    return NameLookup::shipId(sharedConnection(), name);
}

QString SurveyModel::lbpText() const
{
    if (!m_shipId)
        return QString();
    try {
        return textOf(m_ship->lbp());
    } catch (const VbError&) {
        return QString();
    }
}

bool SurveyModel::setPortByName(const QString& name)
{
    const std::optional<int> id = NameLookup::portId(sharedConnection(), name);
    if (!id)
        return false;
    setPort(id, name);
    return true;
}

void SurveyModel::setPort(std::optional<int> portId, const QString& name)
{
    m_portId = portId;
    m_portName = name;
}

QString SurveyModel::portCaption(const Variant& portId) const
{
    if (portId.isEmpty() || portId.isNull() || !portId.isNumeric())
        return QString();
    // The one port, read when the report is filled: the port lists hold only names.
    RowSet port;
    port.open(SqlCatalogue::portById(portId.toInt32()), sharedConnection());
    if (port.eof())
        return QString();
    return textOf(port.value(QStringLiteral("PortName"))) + QStringLiteral(", ")
        + textOf(port.value(QStringLiteral("Country")));
}

Outcome SurveyModel::enterBLQuantity(const QString& typed)
{
    const Outcome o = SurveyInputRules::blQuantity(typed);
    m_blQuantity = o.text;
    return o;
}

int SurveyModel::maxLength(Field field)
{
    if (isReading(field))
        return 6;
    if (isMark(field))
        return 8;
    return 32767;  // a box without a limit of its own
}

// --- The drafts ------------------------------------------------------------------------------

Outcome SurveyModel::enter(int draft, Field field, const QString& typed)
{
    DraftInputs& in = m_inputs[draft];
    Outcome o;
    QString* target = nullptr;
    switch (field) {
    case Field::Density:
        o = SurveyInputRules::density(typed, SurveyInputRules::densityRangeDetail(isDischarging()));
        target = &in.density;
        break;
    case Field::Date:
        o = SurveyInputRules::date(masked(typed, QStringLiteral("99-99-9999")), QDate::currentDate());
        target = &in.date;
        break;
    case Field::Time:
        o = SurveyInputRules::time(masked(typed, QStringLiteral("99:99")), QTime::currentTime());
        target = &in.time;
        break;
    case Field::InitialNetDisplacement:
        o = SurveyInputRules::initialNetDisplacement(typed);
        target = &in.initialNetDisplacement;
        break;
    default:
        if (isReading(field)) {
            const int i = readingIndex(field);
            o = SurveyInputRules::draftReading(typed, SurveyInputRules::invalidReadingText(i));
            target = &in.readings[i];
        } else {
            const int i = markIndex(field);
            o = SurveyInputRules::markDistance(typed, SurveyInputRules::markRangeText(i, isDischarging()));
            in.ownMarks[i] = true;
            target = &in.marks[i];
        }
        break;
    }
    *target = o.text;
    return o;
}

Outcome SurveyModel::enterTable(int draft, Table table, int row, int column, const QString& typed)
{
    DraftInputs& in = m_inputs[draft];
    using SurveyInputRules::TableColumn;
    QString* cell = nullptr;
    TableColumn rule = TableColumn::MctcMinus50;
    if (table == Table::Hydrostatics) {
        cell = &in.hydrostatics[row][column];
        rule = TableColumn(column);
        // The hydrostatic box takes back a keystroke that makes no figure, and says so at once.
        const Outcome key = SurveyInputRules::hydrostaticKeystroke(typed, column == 0, *cell, isDischarging());
        if (!key.accepted)
            return key;
    } else if (table == Table::MctcPlus50) {
        cell = &in.mctcPlus50[row];
        rule = TableColumn::MctcPlus50;
    } else {
        cell = &in.mctcMinus50[row];
    }
    const Outcome o = SurveyInputRules::tableFigure(rule, typed, *cell, isDischarging());
    if (!o.accepted)
        return o;
    *cell = o.text.trimmed().isEmpty() ? QString() : o.text;
    return o;
}

Outcome SurveyModel::enterDeductible(int draft, int itemId, const QString& typed)
{
    DraftInputs& in = m_inputs[draft];
    const Outcome o = SurveyInputRules::deduction(typed, in.deductibles.value(itemId), isDischarging());
    if (!o.accepted)
        return o;
    if (!o.refresh)
        return o;
    if (o.text.isEmpty()) {
        in.deductibles.remove(itemId);
    } else {
        in.deductibles.insert(itemId, o.text);
        m_drafts[draft]->setNeedsSaving(true);
    }
    return o;
}

void SurveyModel::setComments(int draft, const QString& comments)
{
    m_inputs[draft].comments = comments;
}

Outcome SurveyModel::enterListTpc(int draft, int side, const QString& typed)
{
    QString& cell = m_inputs[draft].listTpc[side];
    const Outcome o =
        SurveyInputRules::tableFigure(SurveyInputRules::TableColumn::Tpc, typed, cell, isDischarging());
    if (o.accepted)
        cell = o.text.trimmed().isEmpty() ? QString() : o.text;
    return o;
}

bool SurveyModel::listTpcFromTable() const
{
    return shipTable().has_value();
}

QString SurveyModel::markText(int draft, int mark) const
{
    // The Final draft and the checks work with the Initial draft's marks until one is typed.
    if (draft != Initial && !m_inputs[draft].ownMarks[mark])
        return m_inputs[Initial].marks[mark];
    return m_inputs[draft].marks[mark];
}

DraftCorrections::Result SurveyModel::panel(int draft, bool* valid) const
{
    using namespace DraftCorrections;
    const DraftInputs& d = m_inputs[draft];
    Input in;
    bool readable = true;
    Decimal* readings[6] = {&in.fwdPort, &in.fwdStbd, &in.midPort, &in.midStbd, &in.aftPort, &in.aftStbd};
    for (int i = 0; i < 6; ++i) {
        const std::optional<Decimal> v = readFigure(d.readings[i]);
        readable = readable && v.has_value();
        if (v)
            *readings[i] = *v;
    }
    Decimal* marks[3] = {&in.fwdX, &in.midX, &in.aftX};
    for (int i = 0; i < 3; ++i) {
        const std::optional<Decimal> v = readFigure(markText(draft, i));
        readable = readable && v.has_value();
        if (v)
            *marks[i] = *v;
    }
    try {
        in.lbp = m_shipId ? toNumeric(m_ship->lbp(), -1, 0).toDecimal() : Decimal(0);
    } catch (const VbError&) {
        in.lbp = Decimal(0);  // a ship without a length
    }
    if (valid)
        *valid = readable;
    // A box still holding what is no figure: nothing is worked out rather than half a panel.
    return readable ? compute(in) : Result();
}

DraftCorrections::Texts SurveyModel::panelTexts(int draft) const
{
    bool valid = false;
    const DraftCorrections::Result r = panel(draft, &valid);
    return valid ? DraftCorrections::texts(r) : DraftCorrections::Texts();
}

QList<QPair<int, QString>> SurveyModel::deductionCatalogue()
{
    // Read afresh each time: an item added meanwhile has its line in the list a window shows.
    QList<QPair<int, QString>> items;
    RowSet rows;
    rows.open(SqlCatalogue::deductionItems(), sharedConnection());
    for (; !rows.eof(); rows.moveNext()) {
        const Variant id = rows.value(QStringLiteral("ItemID"));
        items.append({id.isNull() ? -1 : id.toInt32(), textOf(rows.value(QStringLiteral("ItemName")))});
    }
    return items;
}

// --- Calculate -------------------------------------------------------------------------------

bool SurveyModel::checkComplete(int draft, Calculation* c)
{
    const DraftInputs& in = m_inputs[draft];
    struct Check {
        bool missing;
        const char* text;
        QString field;
        bool header;
    };
    const Check checks[14] = {
        {!m_shipId, "Please select ship name.", Names::kShip, true},
        {m_voyage.trimmed().isEmpty(), "Please enter Voyage-ID.", Names::kVoyage, true},
        {m_portName.isEmpty(), "Please select port name.", Names::kPort, true},
        {m_cargo.trimmed().isEmpty(), "Please enter value for cargo.", Names::kCargo, true},
        {in.density.isEmpty(), "Please enter value for Density.", Names::kDensity, false},
        {in.readings[0].isEmpty(), "Please enter value for Forward Port.", Names::reading(0), false},
        {in.readings[1].isEmpty(), "Please enter value for Forward Starboard.", Names::reading(1), false},
        {in.readings[2].isEmpty(), "Please enter value for Midship Port.", Names::reading(2), false},
        {in.readings[3].isEmpty(), "Please enter value for Midship Starboard.", Names::reading(3), false},
        {in.readings[4].isEmpty(), "Please enter value for Aft Port.", Names::reading(4), false},
        {in.readings[5].isEmpty(), "Please enter value for Aft Starboard.", Names::reading(5), false},
        {markText(draft, 0).isEmpty(), "Please enter value for Fwd X.", Names::mark(0), false},
        {markText(draft, 1).isEmpty(), "Please enter value for Mid X.", Names::mark(1), false},
        {markText(draft, 2).isEmpty(), "Please enter value for Aft X.", Names::mark(2), false},
    };
    for (const Check& check : checks) {
        if (check.missing) {
            c->messages.append(
                {MessageService::join(QStringLiteral("Incomplete data."), QLatin1String(check.text)),
                 QString(), Msg::Icon::Exclamation, check.field});
            c->stop = Calculation::Stop::Incomplete;
            c->field = check.field;
            c->headerField = check.header;
            return false;
        }
    }
    return true;
}

bool SurveyModel::checkTables(int draft, Calculation* c)
{
    const DraftInputs& in = m_inputs[draft];
    const QString title = SurveyInputRules::tableTitle();
    static const char* const hdtBlank[4] = {
        "Value of Hyd. Draft can't be left blank.", "Value of Displacement can't be left blank.",
        "Value of TPC can't be left blank.", "Value of LCF can't be left blank."};
    for (int r = 0; r < 2; ++r) {
        for (int col = 0; col < 4; ++col) {
            if (in.hydrostatics[r][col].trimmed().isEmpty()) {
                c->stop = Calculation::Stop::BlankTable;
                c->field = Names::hydrostatic(r, col);
                c->messages.append({QLatin1String(hdtBlank[col]), title, Msg::Icon::Exclamation, c->field});
                return false;
            }
        }
    }
    const struct {
        const std::array<QString, 2>& values;
        const char* blank;
        bool plus;
    } mctc[2] = {{in.mctcPlus50, "Value of MCTC+50 can't be left blank.", true},
                 {in.mctcMinus50, "Value of MCTC-50 can't be left blank.", false}};
    for (const auto& t : mctc) {
        for (int r = 0; r < 2; ++r) {
            if (t.values[r].trimmed().isEmpty()) {
                c->stop = Calculation::Stop::BlankTable;
                c->field = Names::mctc(t.plus, r);
                c->messages.append({QLatin1String(t.blank), title, Msg::Icon::Exclamation, c->field});
                return false;
            }
        }
    }
    return true;
}

SurveyModel::Differences SurveyModel::workDifferences(int draft) const
{
    const DraftInputs& in = m_inputs[draft];
    const auto difference = [](const QString& below, const QString& above) {
        return (figureOf(above) - figureOf(below)).toText();
    };
    Differences d;
    for (int col = 0; col < 4; ++col)
        d.hydrostatics[col] = difference(in.hydrostatics[Below][col], in.hydrostatics[Above][col]);
    // The MCTC tables' drafts lie 50 cm either side of the hydrostatic rows' drafts.
    const QString& below = in.hydrostatics[Below][0];
    const QString& above = in.hydrostatics[Above][0];
    using SurveyInputRules::mctcDraft;
    d.mctcPlus50 = {difference(mctcDraft(below, true), mctcDraft(above, true)),
                    difference(in.mctcPlus50[Below], in.mctcPlus50[Above])};
    d.mctcMinus50 = {difference(mctcDraft(below, false), mctcDraft(above, false)),
                     difference(in.mctcMinus50[Below], in.mctcMinus50[Above])};
    return d;
}

QString SurveyModel::firstNegativeDifference(int draft) const
{
    // Only the draft and the displacement must grow from the Below row to the Above one: a pair
    // of rows that does not is the wrong pair. LCF moves aft or forward with the draft, and TPC
    // and MCTC may fall over a short range; those differences are the table's own.
    const Differences& d = m_differences[draft];
    const auto negative = [](const QString& difference) {
        try {
            return Variant::compare(figureOf(difference), Variant::integer(0)) < 0;
        } catch (const VbError&) {
            return false;
        }
    };
    for (int col : {0, 1})
        if (negative(d.hydrostatics[col]))
            return Names::hydrostatic(Above, col);
    return QString();
}

void SurveyModel::copyToDraft(int draft)
{
    if (!m_shipId)
        return;
    SurveyDraft& d = *m_drafts[draft];
    const DraftInputs& in = m_inputs[draft];
    d.setSpecificGravity(Variant(in.density));
    d.setSurveyDate(in.date);
    d.setSurveyTime(in.time);
    d.setFwdPort(Variant(in.readings[0]));
    d.setFwdStbd(Variant(in.readings[1]));
    d.setMidPort(Variant(in.readings[2]));
    d.setMidStbd(Variant(in.readings[3]));
    d.setAftPort(Variant(in.readings[4]));
    d.setAftStbd(Variant(in.readings[5]));

    // The draft panel as worked out, unrounded, so that the report prints the draft's own means,
    // corrections and corrected drafts; the discharge takes them to 3 places as the panel shows
    // them. Without a length between the marks nothing is corrected.
    bool valid = false;
    const DraftCorrections::Result p = panel(draft, &valid);
    const DraftCorrections::Texts t = valid ? DraftCorrections::texts(p) : DraftCorrections::Texts();
    const bool asShown = isDischarging();
    const bool corrected = valid && p.corrected;
    auto figure = [asShown](bool known, const Decimal& value, const QString& shown) {
        if (asShown)
            return Variant(shown);
        return known ? Variant(value) : Variant(QString());
    };
    d.setFwdMean(figure(valid, p.fwdMean, t.fwdMean));
    d.setMidMean(figure(valid, p.midMean, t.midMean));
    d.setAftMean(figure(valid, p.aftMean, t.aftMean));
    d.setFwdCorrection(figure(corrected, p.fwdCorrection, t.fwdCorrection));
    d.setMidCorrection(figure(corrected, p.midCorrection, t.midCorrection));
    d.setAftCorrection(figure(corrected, p.aftCorrection, t.aftCorrection));
    d.setFwdTrueDraft(figure(corrected, p.fwdTrueDraft, t.fwdTrueDraft));
    d.setMidTrueDraft(figure(corrected, p.midTrueDraft, t.midTrueDraft));
    d.setAftTrueDraft(figure(corrected, p.aftTrueDraft, t.aftTrueDraft));
    d.setFwdX(Variant(markText(draft, 0)));
    d.setMidX(Variant(markText(draft, 1)));
    d.setAftX(Variant(markText(draft, 2)));
    d.setTrueMeanDraft(corrected ? Variant(p.trueMeanDraft) : Variant(QString()));
    d.setLbm(Variant(t.lbm));
    d.setTrueTrim(Variant(t.trueTrim));
    // The total shown by the last calculation; Calculate works it out afresh.
    const Variant shownTotal = d.finalResult().value(SurveyDraft::TotalDeductibles);
    d.setTotalDeductibles(Variant(m_calculated[draft] ? ResultFigures::rounded(shownTotal, 5) : QString()));
    d.setComments(in.comments);

    RowSet& list = d.deductions();
    for (const auto& [id, name] : deductionCatalogue()) {
        bool found = false;
        if (list.recordCount() > 0) {
            list.moveFirst();
            found = list.find(SqlCatalogue::findItem(id));
        }
        if (!found) {
            list.addNew();
            list.setValue(QStringLiteral("ItemID"), Variant::longInt(id));
        }
        list.setValue(QStringLiteral("Quantity"), toNumeric(Variant(in.deductibles.value(id)), -1, 0));
    }
}

void SurveyModel::withdraw(int draft)
{
    m_calculated[draft] = false;
    m_withdrawn[draft] = true;
    clearFindings(draft);
}

SurveyModel::Calculation SurveyModel::calculate(int draft)
{
    Calculation c;
    m_onShow = draft;
    m_view.reset();
    if (!checkComplete(draft, &c) || !checkTables(draft, &c))
        return c;
    const std::optional<HydrostaticTable> table = shipTable();
    if (!checkList(draft, table, &c))
        return c;
    if (!applyTanks(draft, &c))
        return c;
    m_differences[draft] = workDifferences(draft);
    const QString negative = firstNegativeDifference(draft);
    if (!negative.isEmpty()) {
        withdraw(draft);
        c.stop = Calculation::Stop::NegativeDifference;
        c.field = negative;
        c.messages.append(
            {MessageService::join(QStringLiteral("Invalid hydrostatic details...!"),
                                  QStringLiteral("Difference of Above & Below can't be negative.")),
             QString(), Msg::Icon::Exclamation, negative});
        return c;
    }
    copyToDraft(draft);

    const DraftInputs& in = m_inputs[draft];
    SurveyDraft& d = *m_drafts[draft];
    VariantArray2D hdt(3, 6);
    VariantArray2D plus(3, 2);
    VariantArray2D minus(3, 2);
    for (int r = 0; r < 2; ++r) {
        for (int col = 0; col < 4; ++col)
            hdt(r, col) = Variant(in.hydrostatics[r][col]);
        hdt(r, 4) = Variant(QString());
        hdt(r, 5) = Variant(QString());
        plus(r, 0) = Variant(SurveyInputRules::mctcDraft(in.hydrostatics[r][0], true));
        plus(r, 1) = Variant(in.mctcPlus50[r]);
        minus(r, 0) = Variant(SurveyInputRules::mctcDraft(in.hydrostatics[r][0], false));
        minus(r, 1) = Variant(in.mctcMinus50[r]);
    }
    const Differences& difference = m_differences[draft];
    for (int col = 0; col < 4; ++col)
        hdt(2, col) = Variant(difference.hydrostatics[col]);
    hdt(2, 4) = Variant(QString());
    hdt(2, 5) = Variant(QString());
    for (int col = 0; col < 2; ++col) {
        plus(2, col) = Variant(difference.mctcPlus50[col]);
        minus(2, col) = Variant(difference.mctcMinus50[col]);
    }
    d.setHdt(hdt);
    d.setMctcPlus50(plus);
    d.setMctcMinus50(minus);

    // The draft enters the hydrostatic table at the true mean draft; with none it works out
    // nothing, and nothing may look as if it had.
    bool valid = false;
    const DraftCorrections::Result p = panel(draft, &valid);
    if (!valid || !p.corrected || p.trueMeanDraft.isZero()) {
        withdraw(draft);
        c.stop = Calculation::Stop::NoTrueMeanDraft;
        c.field = in.readings[0].isEmpty() ? Names::reading(0) : QString(Names::kReadingsGroup);
        c.messages.append(
            {MessageService::join(QStringLiteral("The true mean draft is 0: nothing was calculated."),
                                  QStringLiteral("Please check the draft readings, the mark distances and the LBP "
                                                 "of the ship.")),
             QString(), Msg::Icon::Exclamation, c.field});
        return c;
    }
    applyTableTerms(draft, table);
    d.calculate();
    m_calculated[draft] = true;
    m_withdrawn[draft] = false;
    m_workedFrom[draft] = workedFrom(draft);
    c.messages += resultWarnings(draft);
    checkPlausibility(draft, &c.messages);
    if (netDisplacementText(draft).trimmed().isEmpty()) {
        clearFindings(draft);
        c.stop = Calculation::Stop::NoNetDisplacement;
        c.field = Names::kReadingsGroup;
        return c;
    }
    checkDraft(draft);
    c.calculated = true;
    return c;
}

std::optional<HydrostaticTable> SurveyModel::shipTable() const
{
    // The table the rows were picked from (a table that cannot be read gives no rows either:
    // the rows are typed, for 1.025).
    return m_table;
}

bool SurveyModel::checkList(int draft, const std::optional<HydrostaticTable>& table, Calculation* c)
{
    m_listTonnes[draft].reset();
    if (!m_listCorrection)
        return true;
    const DraftInputs& in = m_inputs[draft];
    const auto stop = [c](const QString& field, const QString& text) {
        c->stop = Calculation::Stop::Incomplete;
        c->field = field;
        c->messages.append({text, QString(), Msg::Icon::Exclamation, field});
        return false;
    };
    // The readings were checked complete above.
    const std::optional<Decimal> drafts[2] = {DraftCorrections::readFigure(in.readings[2]),
                                              DraftCorrections::readFigure(in.readings[3])};
    static const char* const sideNames[2] = {"port", "starboard"};
    Decimal tpc[2];
    for (int side = Port; side <= Starboard; ++side) {
        if (!drafts[side])
            return stop(Names::reading(2 + side), QStringLiteral("Please enter value for Midship %1.")
                                                      .arg(side == Port ? QStringLiteral("Port")
                                                                        : QStringLiteral("Starboard")));
        if (table) {
            // Read off the ship's table at the midship draft of that side, never beyond it.
            const Decimal at = table->tableDraft(*drafts[side], m_ship->keelPlateMm());
            const std::optional<Decimal> t = HydrostaticPicking::tpcAt(*table, at);
            if (!t) {
                const bool none = table->rows.isEmpty();
                const QString first = none ? QString() : table->rows.first().draft.toString();
                const QString last = none ? QString() : table->rows.last().draft.toString();
                const QString side0 = QLatin1String(sideNames[side]);
                return stop(Names::reading(2 + side),
                            MessageService::join(
                                QStringLiteral("The list correction cannot be worked out."),
                                QStringLiteral("The midship %1 draft of %2 m lies outside the ship's "
                                               "hydrostatic table (%3 m to %4 m).")
                                    .arg(side0, drafts[side]->toString(), first, last)));
            }
            tpc[side] = *t;
        } else {
            const std::optional<Decimal> t = DraftCorrections::readFigure(in.listTpc[side]);
            if (in.listTpc[side].trimmed().isEmpty() || !t) {
                const QString detail = QStringLiteral("Please enter the TPC at the midship %1 draft for the "
                                                      "list correction.")
                                           .arg(QLatin1String(sideNames[side]));
                return stop(Names::listTpc(side),
                            MessageService::join(QStringLiteral("Incomplete data."), detail));
            }
            tpc[side] = *t;
        }
    }
    // The low side's waterplane widens as she lists: the mean of the sides' drafts misses it.
    m_listTonnes[draft] =
        Decimal(6) * (*drafts[Port] - *drafts[Starboard]).abs() * (tpc[Port] - tpc[Starboard]).abs();
    return true;
}

void SurveyModel::applyTableTerms(int draft, const std::optional<HydrostaticTable>& table)
{
    SurveyDraft& d = *m_drafts[draft];
    // The rows in the grids are the ship's own when she has a table (picked from it, or
    // corrected from her booklet): they are for the water her table was worked out for.
    d.setTableDensity(table ? table->density : HydrostaticTable::seaWater());
    // A table of moulded drafts is entered over the keel plate; drafts read on the marks are
    // extreme, from the keel's underside.
    const Decimal keel = table && table->mouldedDrafts ? m_ship->keelPlateMm() : Decimal(0);
    d.setKeelCorrection(keel / Decimal(1000));
    d.setListCorrection(m_listTonnes[draft]);
}

Decimal SurveyModel::lightShip() const
{
    return ResultFigures::number(m_ship->lightShip()).value_or(Decimal(0));
}

SurveyModel::WorkedFrom SurveyModel::workedFrom(int draft) const
{
    WorkedFrom w;
    w.inputs = m_inputs[draft];
    for (int i = 0; i < 3; ++i)
        w.marks[i] = markText(draft, i);
    w.listCorrection = m_listCorrection;
    w.tanks = m_drafts[draft]->tankSheet();
    return w;
}

bool SurveyModel::outdated(int draft) const
{
    if (!m_calculated[draft])
        return false;
    const DraftInputs& now = m_inputs[draft];
    const WorkedFrom& then = m_workedFrom[draft];
    for (int i = 0; i < 3; ++i)
        if (markText(draft, i) != then.marks[i])
            return true;
    // The date, the time and the comments are printed beside the results but work out nothing.
    return now.density != then.inputs.density || now.readings != then.inputs.readings
        || now.hydrostatics != then.inputs.hydrostatics || now.mctcPlus50 != then.inputs.mctcPlus50
        || now.mctcMinus50 != then.inputs.mctcMinus50 || now.deductibles != then.inputs.deductibles
        || now.listTpc != then.inputs.listTpc || m_listCorrection != then.listCorrection
        || m_drafts[draft]->tankSheet() != then.tanks;
}

Decimal SurveyModel::initialNetDisplacement() const
{
    const Variant worked = toNumeric(m_drafts[Initial]->netDisplacement(), 5, 0);
    const QString& typed = m_inputs[Final].initialNetDisplacement;
    if (outdated(Initial)) {
        // An Initial draft whose inputs changed since it was calculated has no net displacement
        // to give until it is calculated again, nor has the Final tab's box that only took it over.
        if (typed == worked.toText())
            return Decimal(0);
    } else if (!worked.toDecimal().isZero()) {
        return worked.toDecimal();
    }
    return ResultFigures::number(Variant(typed)).value_or(Decimal(0));
}

Decimal SurveyModel::loadingConstant(const Decimal& net, const Variant& lightShip)
{
    return net - ResultFigures::number(lightShip).value_or(Decimal(0));
}

Decimal SurveyModel::cargoLoaded(const Decimal& finalNet, const Decimal& initialNet)
{
    return (finalNet - initialNet).round(5);
}

Decimal SurveyModel::cargoDischarged(const Decimal& initialNet, const Decimal& finalNet)
{
    return (initialNet - finalNet.round(5)).round(5);
}

SurveyMessages SurveyModel::resultWarnings(int draft) const
{
    // On arrival she weighs her light ship, the cargo and her constant: less than her light ship,
    // and the draft or the ship's particulars are wrong.
    const std::optional<Decimal> onArrival = draft == Initial ? cargoPlusConstant() : std::nullopt;
    if (onArrival && onArrival->isNegative())
        return {checkYourInput("Value of constant is invalid.")};
    return {};
}

std::optional<Decimal> SurveyModel::netOf(int draft) const
{
    if (!calculated(draft))
        return std::nullopt;
    const Variant net = m_drafts[draft]->netDisplacement();
    if (net.isEmpty() || net.isNull() || (net.isText() && net.toText().trimmed().isEmpty()))
        return std::nullopt;
    return ResultFigures::number(net).value_or(Decimal(0));
}

std::optional<Decimal> SurveyModel::constant() const
{
    // What the ship weighs beyond her light ship and the deductibles: stores, spares and the
    // unknowns.
    const std::optional<Decimal> net = netOf(Initial);
    if (isDischarging() || !net || net->isZero())
        return std::nullopt;
    return loadingConstant(*net, m_ship->lightShip());
}

std::optional<Decimal> SurveyModel::cargoPlusConstant() const
{
    const std::optional<Decimal> net = netOf(Initial);
    if (!isDischarging() || !net || net->isZero())
        return std::nullopt;
    return *net - lightShip();
}

std::optional<Decimal> SurveyModel::assumedConstant() const
{
    // Against the cargo + constant found on arrival (nothing yet: 0) the Bill of Lading quantity
    // gives the constant the ship would have if the bill were right.
    const Decimal bl = ResultFigures::number(Variant(m_blQuantity)).value_or(Decimal(0));
    if (!isDischarging() || bl.isZero())
        return std::nullopt;
    return cargoPlusConstant().value_or(Decimal(0)) - bl;
}

std::optional<Decimal> SurveyModel::cargoQuantity() const
{
    return cargoSince(Final);
}

std::optional<Decimal> SurveyModel::cargoSince(int draft) const
{
    const std::optional<Decimal> net = netOf(draft);
    if (!net)
        return std::nullopt;
    if (!isDischarging())
        return net->isZero() ? std::nullopt
                             : std::optional<Decimal>(cargoLoaded(*net, initialNetDisplacement()));
    return cargoDischarged(initialNetDisplacement(), *net);
}

std::optional<Decimal> SurveyModel::constantAfterDischarge() const
{
    const std::optional<Decimal> net = netOf(Final);
    if (!isDischarging() || !net)
        return std::nullopt;
    return net->round(5) - lightShip();
}

void SurveyModel::checkPlausibility(int draft, SurveyMessages* told)
{
    const Variant net = m_drafts[draft]->netDisplacement();
    const bool empty = net.isEmpty() || net.isNull() || (net.isText() && net.toText().trimmed().isEmpty());
    const bool netPlausible = empty || ResultFigures::plausibleNetDisplacement(net);
    if (!netPlausible)
        told->append(checkYourInput("Invalid Net Displacement value."));
    if (!isDischarging()) {
        if (!netPlausible || draft != Initial)
            return;
        // The constant as its cell shows it: nothing when the net displacement was 0.
        const Decimal netValue = ResultFigures::number(net).value_or(Decimal(0));
        const std::optional<Decimal> found = constant();
        if (netValue.isZero() || !found)
            return;
        if (!ResultFigures::plausibleConstant(Variant(decimalText(*found))))
            told->append(checkYourInput("Invalid constant value."));
        return;
    }
    if (draft != Final)
        return;
    const std::optional<Decimal> cargo = cargoQuantity();
    const std::optional<Decimal> after = constantAfterDischarge();
    if (cargo && cargo->isNegative())
        told->append(checkYourInput("Current value for Total cargo discharged is invalid."));
    if (after && after->isNegative())
        told->append(checkYourInput("Current value for Constant is invalid."));
}

QString SurveyModel::netDisplacementText(int draft) const
{
    if (!calculated(draft))
        return QString();
    return ResultFigures::rounded(m_drafts[draft]->netDisplacement(), isDischarging() ? 6 : 5);
}

SurveyModel::Plausibility SurveyModel::plausibility() const
{
    Plausibility p;
    const auto netOk = [this](int draft) {
        const Variant net = m_drafts[draft]->netDisplacement();
        return !calculated(draft) || ResultFigures::plausibleNetDisplacement(net);
    };
    p.initialNetDisplacement = netOk(Initial);
    p.finalNetDisplacement = netOk(Final);
    if (!isDischarging()) {
        const std::optional<Decimal> found = constant();
        const std::optional<Decimal> cargo = cargoQuantity();
        p.constant = !found || ResultFigures::plausibleConstant(Variant(*found));
        p.cargoLoaded = !cargo || !cargo->isNegative();
    } else {
        const auto notNegative = [](const std::optional<Decimal>& v) { return !v || !v->isNegative(); };
        p.cargoPlusConstant = notNegative(cargoPlusConstant());
        p.assumedConstant = notNegative(assumedConstant());
        p.cargoDischarged = notNegative(cargoQuantity());
        p.constantAfterDischarge = notNegative(constantAfterDischarge());
    }
    return p;
}

SurveyFindings SurveyModel::findings() const
{
    // Findings on results that no longer stand go with them.
    SurveyFindings all;
    for (int draft : {Initial, Final})
        if (!outdated(draft))
            all += m_draftFindings[draft];
    if (!outdated(Initial) && !outdated(Final))
        all += m_surveyFindings;
    return all;
}

void SurveyModel::checkDraft(int draft)
{
    m_draftFindings[draft] = SurveyChecks::draft(*this, draft);
    m_checked[draft] = true;
    // Each draft's tank sheet, a check's too: slack ballast, volumes typed outside the tables.
    if (!m_tankTables.isEmpty()) {
        const SurveyFinding::Draft which = isCheck(draft) ? SurveyFinding::Draft::Check
            : draft == Initial                            ? SurveyFinding::Draft::Initial
                                                          : SurveyFinding::Draft::Final;
        m_draftFindings[draft] += TankSheetWork::draftFindings(m_tankTables, tankWork(draft), which);
    }
    // A check is judged on its own; the survey stays judged from the Final draft.
    if (isCheck(draft))
        return;
    // The survey as a whole is judged from the Final draft's results, once they stand.
    m_surveyFindings = m_checked[Final] ? SurveyChecks::survey(*this) : SurveyFindings();
    // A tank read differently at Initial and Final with no ballast operation noted.
    if (!m_tankTables.isEmpty() && m_checked[Initial] && m_checked[Final])
        m_surveyFindings += TankSheetWork::surveyFindings(tankWork(Initial), tankWork(Final),
            m_inputs[Initial].comments + QLatin1Char('\n') + m_inputs[Final].comments);
}

void SurveyModel::clearFindings(int draft)
{
    m_draftFindings[draft].clear();
    m_checked[draft] = false;
    if (!isCheck(draft))
        m_surveyFindings.clear();
}

SurveyModel::ReportView SurveyModel::reportView() const
{
    if (m_view)
        return *m_view;
    ReportView v;
    v.draftOnShow = m_onShow;
    if (!isDischarging()) {
        v.initialCalculated = constant().has_value();  // the constant box holds a figure
    } else if (m_onShow == Initial) {
        v.initialCalculated = !netDisplacementText(Initial).isEmpty();
    } else {
        const Variant net = m_drafts[Initial]->netDisplacement();
        v.initialCalculated = !outdated(Initial) && net.isNumber() && !net.toDecimal().isZero();
    }
    if (const std::optional<Decimal> cargo = cargoQuantity())
        v.cargoResult = isDischarging() ? Variant(*cargo).toText() : decimalText(*cargo);
    const Variant worked = toNumeric(m_drafts[Initial]->netDisplacement(), 5, 0);
    v.initialNetDisplacement = m_inputs[Final].initialNetDisplacement;
    if (outdated(Initial)) {
        if (v.initialNetDisplacement == worked.toText())
            v.initialNetDisplacement.clear();
    } else if (calculated(Final) && !worked.toDecimal().isZero()) {
        v.initialNetDisplacement = worked.toText();
    }
    v.fwdX = markText(m_onShow, 0);
    v.midX = markText(m_onShow, 1);
    v.aftX = markText(m_onShow, 2);
    return v;
}
