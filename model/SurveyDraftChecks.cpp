// The draft checks of a survey: drafts read between the Initial and the Final draft while cargo is
// worked, each kept, checked and calculated as those two are (SurveyModel.cpp), and what each
// tells the surveyor of the cargo so far.
#include "model/SurveyModel.h"

#include "core/MessageService.h"
#include "core/VbError.h"
#include "model/DraftCorrections.h"
#include "model/ResultFigures.h"
#include "model/SurveyChecks.h"
#include "model/SurveyDraft.h"

#include <QLocale>

int SurveyModel::appendDraft(qint16 type)
{
    auto d = std::make_unique<SurveyDraft>();
    d->setDraftType(type);
    if (m_shipId)
        d->setShipId(Variant(Decimal(*m_shipId)));
    DraftInputs in;
    in.date = d->surveyDate();
    in.time = d->surveyTime();
    m_drafts.push_back(std::move(d));
    m_inputs.push_back(in);
    m_calculated.push_back(false);
    m_withdrawn.push_back(false);
    m_workedFrom.push_back(WorkedFrom());
    m_differences.push_back(Differences());
    m_picked.push_back({});
    m_draftFindings.push_back(SurveyFindings());
    m_checked.push_back(false);
    m_listTonnes.push_back(std::nullopt);
    return int(m_drafts.size()) - 1;
}

QList<int> SurveyModel::draftChecks() const
{
    QList<int> checks;
    for (int draft = FirstCheck; draft < int(m_drafts.size()); ++draft)
        checks.append(draft);
    return checks;
}

int SurveyModel::addCheck()
{
    // A check is read as the Final draft will be: a draft type of its own is not kept anywhere.
    const int draft = appendDraft(1);
    m_chosenCheck = draft;
    return draft;
}

void SurveyModel::removeCheck(int draft)
{
    if (!isCheck(draft) || draft >= int(m_drafts.size()))
        return;
    const auto at = [draft](auto& list) { list.erase(list.begin() + draft); };
    at(m_drafts);
    at(m_inputs);
    at(m_calculated);
    at(m_withdrawn);
    at(m_workedFrom);
    at(m_differences);
    at(m_picked);
    at(m_draftFindings);
    at(m_checked);
    at(m_listTonnes);
    // The checks after it keep their place in the order taken, one higher.
    const auto moved = [draft, this](int shown) {
        if (shown == draft)
            return checkCount() > 0 ? std::min(draft, FirstCheck + checkCount() - 1) : int(Final);
        return shown > draft ? shown - 1 : shown;
    };
    m_chosenCheck = moved(m_chosenCheck);
    if (m_onShow == draft) {
        m_onShow = Initial;
        m_view.reset();
    } else if (m_onShow > draft) {
        m_onShow -= 1;
    }
}

void SurveyModel::chooseCheck(int draft)
{
    if (isCheck(draft) && draft < int(m_drafts.size()))
        m_chosenCheck = draft;
}

SurveyInputRules::Outcome SurveyModel::enterPlannedCargo(const QString& typed)
{
    // The figure the terminal was given, as a B/L quantity is typed: nothing to nearly a million.
    SurveyInputRules::Outcome o;
    const QString t = typed.trimmed();
    const QString headline = QStringLiteral("Invalid value for Planned cargo.");
    if (t.isEmpty()) {
        m_plannedCargo.clear();
        return o;
    }
    std::optional<Decimal> value;
    bool tooLarge = false;
    try {
        const Variant v(t);
        if (v.isNumeric())
            value = v.toDecimal();
    } catch (const VbError&) {
        tooLarge = true;
    }
    if (!value || tooLarge || value->isNegative() || !(*value < Decimal(1000000))) {
        o.accepted = false;
        o.text = typed;
        o.message = MessageService::join(headline,
            !value && !tooLarge ? QStringLiteral("Please enter numeric value.")
                                : QStringLiteral("Please enter value between 0 and 1000000."));
        return o;
    }
    o.text = DraftCorrections::shown(*value, 5);
    m_plannedCargo = o.text;
    return o;
}

std::optional<Decimal> SurveyModel::cargoToLoad(int draft) const
{
    const std::optional<Decimal> planned = ResultFigures::number(Variant(m_plannedCargo));
    const std::optional<Decimal> loaded = cargoSince(draft);
    if (isDischarging() || m_plannedCargo.isEmpty() || !planned || !loaded)
        return std::nullopt;
    return *planned - *loaded;
}

std::optional<Decimal> SurveyModel::cargoOnBoard(int draft) const
{
    const std::optional<Decimal> bl = ResultFigures::number(Variant(m_blQuantity));
    const std::optional<Decimal> discharged = cargoSince(draft);
    if (!isDischarging() || m_blQuantity.isEmpty() || !bl || !discharged)
        return std::nullopt;
    return *bl - *discharged;
}

SurveyFindings SurveyModel::draftFindings(int draft) const
{
    // Findings on results that no longer stand go with them.
    if (draft < 0 || draft >= int(m_drafts.size()) || outdated(draft))
        return {};
    return m_draftFindings[draft];
}
