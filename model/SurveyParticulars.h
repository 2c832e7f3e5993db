#pragma once

#include <QLatin1String>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// The circumstances of a survey, as the surveyor writes them on the form he signs: who surveyed
// and for whom, who was on board and witnessed the readings and soundings, where the ship lay,
// the weather, sea, wind, current and tide, and the instruments used. Every one is optional
// free text; a survey without any is still a survey.
class SurveyParticulars {
public:
    struct Item {
        QLatin1String key;  // as the survey file names it
        QString label;      // as the window and the calculation sheet show it
        int maxLength;
        bool multiLine;  // only the remarks take line breaks
    };

    // Every particular in the order the form lists them.
    static const QList<Item>& items();
    static const Item* item(const QString& key);

    // Each draft's readings began and ended at a time the surveyor writes ("08:10", "12-03 08:10").
    static int readingsTimeMaxLength() { return 16; }

    QString value(const QString& key) const { return m_values.value(key); }
    // Stores the text as given (an empty text removes the particular).
    void setValue(const QString& key, const QString& text);
    bool isEmpty() const { return m_values.isEmpty(); }
    // The particulars given, by key.
    const QMap<QString, QString>& values() const { return m_values; }
    void clear() { m_values.clear(); }

    bool operator==(const SurveyParticulars& other) const { return m_values == other.m_values; }
    bool operator!=(const SurveyParticulars& other) const { return !(*this == other); }

    // Why a text is not taken for a particular: too long for its box, or a control character (a
    // line break outside the remarks); nothing when it is taken.
    static std::optional<QString> refusal(const QString& key, const QString& text);

private:
    QMap<QString, QString> m_values;
};
