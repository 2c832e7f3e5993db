#include "model/SurveyParticulars.h"

#include <algorithm>

const QList<SurveyParticulars::Item>& SurveyParticulars::items()
{
    // Names fit a line of the form; the instruments carry their calibration dates, the remarks
    // whatever else the surveyor wants on record.
    static const QList<Item> list = {
        {QLatin1String("surveyor"), QStringLiteral("Surveyor"), 60, false},
        {QLatin1String("company"), QStringLiteral("Company"), 80, false},
        {QLatin1String("role"), QStringLiteral("Surveyed as"), 40, false},
        {QLatin1String("client"), QStringLiteral("Client"), 80, false},
        {QLatin1String("master"), QStringLiteral("Master"), 60, false},
        {QLatin1String("chiefOfficer"), QStringLiteral("Chief Officer"), 60, false},
        {QLatin1String("chiefEngineer"), QStringLiteral("Chief Engineer"), 60, false},
        {QLatin1String("draftWitness"), QStringLiteral("Drafts witnessed by"), 60, false},
        {QLatin1String("soundingWitness"), QStringLiteral("Soundings witnessed by"), 60, false},
        {QLatin1String("berth"), QStringLiteral("Berth / anchorage"), 60, false},
        {QLatin1String("weather"), QStringLiteral("Weather"), 60, false},
        {QLatin1String("sea"), QStringLiteral("Sea and swell"), 60, false},
        {QLatin1String("wind"), QStringLiteral("Wind"), 60, false},
        {QLatin1String("current"), QStringLiteral("Current"), 60, false},
        {QLatin1String("tide"), QStringLiteral("Tide"), 60, false},
        {QLatin1String("instruments"), QStringLiteral("Instruments"), 200, false},
        {QLatin1String("remarks"), QStringLiteral("Remarks"), 1000, true},
    };
    return list;
}

const SurveyParticulars::Item* SurveyParticulars::item(const QString& key)
{
    const QList<Item>& list = items();
    const auto it = std::find_if(list.begin(), list.end(), [&key](const Item& i) { return i.key == key; });
    return it == list.end() ? nullptr : &*it;
}

void SurveyParticulars::setValue(const QString& key, const QString& text)
{
    if (text.isEmpty())
        m_values.remove(key);
    else
        m_values.insert(key, text);
}

std::optional<QString> SurveyParticulars::refusal(const QString& key, const QString& text)
{
    const Item* i = item(key);
    if (!i)
        return QStringLiteral("it is not a particular of the survey");
    if (text.size() > i->maxLength)
        return QStringLiteral("the box takes at most %1 characters").arg(i->maxLength);
    const auto control = [i](QChar c) {
        const bool line = c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t');
        return c.category() == QChar::Other_Control && !(i->multiLine && line);
    };
    if (std::any_of(text.begin(), text.end(), control))
        return i->multiLine
            ? QStringLiteral("it holds a control character; the box takes none but line breaks")
            : QStringLiteral("it holds a control character (a tab, a line break and the like); "
                             "the box takes none");
    return std::nullopt;
}
