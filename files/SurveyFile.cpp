#include "files/SurveyFile.h"

#include "files/InputFiles.h"
#include "files/OutputPaths.h"

#include "model/SurveyFieldNames.h"

#include "model/SurveyInputRules.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// JSON numbers would reach us as doubles, and a figure must never pass through a double: every
// number token outside a string is turned into a string holding its digits as written.
QByteArray quoteBareNumbers(const QByteArray& in)
{
    QByteArray out;
    out.reserve(in.size() + 64);
    bool inString = false;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (inString) {
            out.append(c);
            if (c == '\\' && i + 1 < in.size()) {
                out.append(in.at(++i));
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
            out.append(c);
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            qsizetype j = i;
            while (j < in.size() && QByteArray("+-.eE0123456789").contains(in.at(j)))
                ++j;
            out.append('"').append(in.mid(i, j - i)).append('"');
            i = j - 1;
        } else {
            out.append(c);
        }
    }
    return out;
}

// The first key given twice in one object, as "path.key" (the path of the object, its key), or
// nothing. The JSON reader keeps one of the two silently; a survey file that says one thing twice
// must not have one of them dropped unseen. Keys are compared as the reader decodes them.
struct DuplicateKey {
    QString objectPath;
    QString key;
};

// A key as the reader decodes it, in UTF-8: the token itself unless it holds an escape.
std::string decodedKey(const QByteArray& in, qsizetype from, qsizetype to)
{
    const QByteArrayView token(in.constData() + from, to - from);
    if (!token.contains('\\'))
        return std::string(token.constData() + 1, size_t(token.size() - 2));
    const QJsonDocument d = QJsonDocument::fromJson("[" + token.toByteArray() + "]");
    return d.isArray() ? d.array().at(0).toString().toStdString() : token.toByteArray().toStdString();
}

std::optional<DuplicateKey> firstDuplicateKey(const QByteArray& in)
{
    struct Frame {
        bool object = false;
        bool expectKey = false;
        std::string key;  // the key whose value is being read
        // A hash set of the keys' bytes: a file of 200,000 keys is checked in one pass.
        std::unordered_set<std::string> keys;
    };
    std::vector<Frame> stack;
    const auto pathOf = [&stack]() {
        QStringList parts;
        for (size_t f = 0; f + 1 < stack.size(); ++f)
            if (stack[f].object)
                parts << QString::fromStdString(stack[f].key);
        return parts.join(QLatin1Char('.'));
    };
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '"') {
            qsizetype j = i + 1;
            while (j < in.size() && in.at(j) != '"')
                j += in.at(j) == '\\' ? 2 : 1;
            if (!stack.empty() && stack.back().object && stack.back().expectKey) {
                Frame& f = stack.back();
                std::string key = decodedKey(in, i, std::min(j + 1, in.size()));
                if (!f.keys.insert(key).second)
                    return DuplicateKey{pathOf(), QString::fromStdString(key)};
                f.key = std::move(key);
                f.expectKey = false;
            }
            i = j;
        } else if (c == '{' || c == '[') {
            Frame f;
            f.object = c == '{';
            f.expectKey = f.object;
            stack.push_back(std::move(f));
        } else if (c == '}' || c == ']') {
            if (!stack.empty())
                stack.pop_back();
        } else if (c == ',' && !stack.empty() && stack.back().object) {
            stack.back().expectKey = true;
        }
    }
    return std::nullopt;
}

// A deductible is keyed by its item's number as the file writes it: digits, no sign, no blank,
// no leading zero. Anything else could name an item a second time in other words.
bool isPlainItemKey(const QString& key)
{
    if (key.isEmpty() || (key.size() > 1 && key.front() == QLatin1Char('0')))
        return false;
    return std::all_of(key.begin(), key.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

bool isMultiLineParticular(const QString& key)
{
    const SurveyParticulars::Item* item = SurveyParticulars::item(key);
    return item && item->multiLine;
}

class Reader {
public:
    Reader(QString fileName, QString* error) : m_file(std::move(fileName)), m_error(error) {}

    bool failed() const { return m_failed; }
    bool refused() const { return m_refused; }

    // A survey that contradicts itself: refused as a figure is, not taken for a foreign file.
    void refuse(const QString& field, const QString& what)
    {
        if (!m_failed)
            m_refused = true;
        fail(field, what);
    }

    void fail(const QString& field, const QString& what)
    {
        if (m_failed)
            return;
        m_failed = true;
        if (m_error) {
            *m_error = field.isEmpty()
                ? QStringLiteral("%1: %2").arg(m_file, what)
                : QStringLiteral("%1: field \"%2\": %3").arg(m_file, field, what);
        }
    }

    // A figure or text: a JSON string (numbers were made strings before parsing); absent is "".
    QString text(const QJsonObject& o, const QString& key, const QString& path, bool required = false)
    {
        const QString field = path.isEmpty() ? key : path + QLatin1Char('.') + key;
        const QJsonValue v = o.value(key);
        if (v.isUndefined() || v.isNull()) {
            if (required)
                fail(field, QStringLiteral("is missing."));
            return QString();
        }
        if (!v.isString()) {
            fail(field, QStringLiteral("must be a text or a number."));
            return QString();
        }
        const QString value = v.toString();
        // The boxes of the window take no control character (an escape would reach the report
        // and the terminal); only the comments box takes line breaks, and a pasted tab. The ship
        // and the port are picked from their lists: a name no list holds is refused there.
        if (key == SurveyFieldNames::kShip || key == SurveyFieldNames::kPort)
            return value;
        const bool comments = key == SurveyFieldNames::kComments
                              || (path == SurveyFieldNames::kParticulars && isMultiLineParticular(key));
        const auto control = [comments](QChar c) {
            const bool lineOrTab = c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t');
            return c.category() == QChar::Other_Control && !(comments && lineOrTab);
        };
        if (std::any_of(value.begin(), value.end(), control)) {
            refuse(field, comments ? QStringLiteral("holds a control character (a NUL, an escape and the "
                                                    "like); the box takes none but line breaks.")
                                   : QStringLiteral("holds a control character (a tab, a line break, a NUL "
                                                    "and the like); the box takes none."));
            return QString();
        }
        return value;
    }

    QJsonObject object(const QJsonObject& o, const QString& key, const QString& path, bool required)
    {
        const QString field = path.isEmpty() ? key : path + QLatin1Char('.') + key;
        const QJsonValue v = o.value(key);
        if (v.isUndefined() || v.isNull()) {
            if (required)
                fail(field, QStringLiteral("is missing."));
            return {};
        }
        if (!v.isObject()) {
            fail(field, QStringLiteral("must be an object."));
            return {};
        }
        return v.toObject();
    }

    SurveyDraftData draft(const QJsonObject& o, const QString& path, bool isFinal)
    {
        namespace N = SurveyFieldNames;
        const auto sub = [&path](QLatin1String name) { return path + QLatin1Char('.') + name; };
        SurveyDraftData d;
        d.date = text(o, N::kDate, path);
        d.time = text(o, N::kTime, path);
        d.density = text(o, N::kDensity, path);
        const QJsonObject drafts = object(o, N::kReadingsGroup, path, false);
        for (int i = 0; i < 6; ++i)
            d.*SurveyDraftData::kReadings[i] = text(drafts, N::kReadings[i], sub(N::kReadingsGroup));
        const QJsonObject marks = object(o, N::kMarksGroup, path, false);
        for (int i = 0; i < 3; ++i)
            d.*SurveyDraftData::kMarks[i] = text(marks, N::kMarks[i], sub(N::kMarksGroup));

        const QString hp = sub(N::kHydrostatics);
        const QJsonObject hyd = object(o, N::kHydrostatics, path, false);
        const QJsonObject below = object(hyd, N::kRows[0], hp, false);
        const QJsonObject above = object(hyd, N::kRows[1], hp, false);
        for (int i = 0; i < 4; ++i) {
            d.below[i] = text(below, N::kColumns[i], hp + QLatin1Char('.') + N::kRows[0]);
            d.above[i] = text(above, N::kColumns[i], hp + QLatin1Char('.') + N::kRows[1]);
        }
        const QJsonObject plus = object(o, N::kMctcPlus50, path, false);
        d.mctcPlus50Below = text(plus, N::kRows[0], sub(N::kMctcPlus50));
        d.mctcPlus50Above = text(plus, N::kRows[1], sub(N::kMctcPlus50));
        const QJsonObject minus = object(o, N::kMctcMinus50, path, false);
        d.mctcMinus50Below = text(minus, N::kRows[0], sub(N::kMctcMinus50));
        d.mctcMinus50Above = text(minus, N::kRows[1], sub(N::kMctcMinus50));

        const QJsonObject deds = object(o, N::kDeductibles, path, false);
        const QString ddp = sub(N::kDeductibles);
        QMap<int, QString> keyOfItem;
        for (auto it = deds.begin(); it != deds.end(); ++it) {
            bool ok = false;
            const int item = it.key().trimmed().toInt(&ok);
            if (!ok) {
                fail(ddp + QLatin1Char('.') + it.key(), QStringLiteral("is not an item number."));
                break;
            }
            if (keyOfItem.contains(item)) {
                refuse(ddp, QStringLiteral("the keys \"%1\" and \"%2\" both name item %3; an item is "
                                           "given once.")
                                .arg(keyOfItem.value(item), it.key())
                                .arg(item));
                break;
            }
            keyOfItem.insert(item, it.key());
        }
        for (auto it = deds.begin(); it != deds.end() && !m_failed; ++it) {
            if (!isPlainItemKey(it.key())) {
                refuse(ddp + QLatin1Char('.') + it.key(),
                       QStringLiteral("the key \"%1\" is not an item number written plainly (digits "
                                      "only, without sign, blank or leading zero).")
                           .arg(it.key()));
                break;
            }
            d.deductibles.append({it.key().toInt(), text(deds, it.key(), ddp)});
        }
        std::sort(d.deductibles.begin(), d.deductibles.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        if (o.contains(N::kInitialNetDisplacement)) {
            if (!isFinal)
                fail(sub(N::kInitialNetDisplacement), QStringLiteral("belongs to the final draft only."));
            d.initialNetDisplacement = text(o, N::kInitialNetDisplacement, path);
        }
        if (o.contains(N::kTypedOverTable))
            d.typedOverTable = cellNames(o.value(N::kTypedOverTable), sub(N::kTypedOverTable));
        d.comments = text(o, N::kComments, path);
        if (o.contains(N::kListTpc)) {
            const QJsonObject tpc = object(o, N::kListTpc, path, false);
            for (int side = 0; side < 2; ++side)
                d.listTpc[side] = text(tpc, N::kListSides[side], sub(N::kListTpc));
        }
        // The tank sheet, by the tank's name.
        if (o.contains(QLatin1String("tanks"))) {
            const QString tp = sub(QLatin1String("tanks"));
            const QJsonObject tanks = object(o, QStringLiteral("tanks"), path, false);
            for (auto it = tanks.begin(); it != tanks.end() && !m_failed; ++it) {
                const QJsonObject t = object(tanks, it.key(), tp, false);
                const QString at = tp + QLatin1Char('.') + it.key();
                SurveyDraftData::Tank entry;
                entry.reading = text(t, QStringLiteral("reading"), at);
                entry.density = text(t, QStringLiteral("density"), at);
                entry.volume = text(t, QStringLiteral("volume"), at);
                d.tanks.insert(it.key(), entry);
            }
        }
        d.readingsStart = readingsTime(o, N::kReadingsStart, path);
        d.readingsEnd = readingsTime(o, N::kReadingsEnd, path);
        return d;
    }

    // The time a draft's readings began or ended: free text of a time's length.
    QString readingsTime(const QJsonObject& o, const QString& key, const QString& path)
    {
        const QString value = text(o, key, path);
        if (value.size() > SurveyParticulars::readingsTimeMaxLength())
            refuse(path + QLatin1Char('.') + key, QStringLiteral("the box takes at most %1 characters.")
                                                      .arg(SurveyParticulars::readingsTimeMaxLength()));
        return value;
    }

    // The survey's particulars: every key one the survey knows, every value a text its box takes.
    SurveyParticulars particulars(const QJsonObject& root)
    {
        namespace N = SurveyFieldNames;
        SurveyParticulars p;
        const QJsonObject o = object(root, N::kParticulars, QString(), false);
        for (auto it = o.begin(); it != o.end() && !m_failed; ++it) {
            const QString field = N::kParticulars + QLatin1Char('.') + it.key();
            if (!SurveyParticulars::item(it.key())) {
                fail(field, QStringLiteral("is not a particular of the survey."));
                break;
            }
            const QString value = text(o, it.key(), N::kParticulars);
            if (m_failed)
                break;
            if (const std::optional<QString> why = SurveyParticulars::refusal(it.key(), value)) {
                refuse(field, *why + QLatin1Char('.'));
                break;
            }
            p.setValue(it.key(), value);
        }
        return p;
    }

    // A list of the names of a draft's table cells.
    QStringList cellNames(const QJsonValue& v, const QString& field)
    {
        namespace N = SurveyFieldNames;
        QStringList cells;
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 4; ++column)
                cells.append(N::hydrostatic(row, column));
            cells.append(N::mctc(true, row));
            cells.append(N::mctc(false, row));
        }
        QStringList names;
        if (!v.isArray()) {
            fail(field, QStringLiteral("must be a list of table cells."));
            return names;
        }
        for (const QJsonValue& name : v.toArray()) {
            if (!name.isString() || !cells.contains(name.toString())) {
                fail(field, QStringLiteral("names no cell of the draft's tables."));
                return names;
            }
            names.append(name.toString());
        }
        return names;
    }

private:
    QString m_file;
    QString* m_error;
    bool m_failed = false;
    bool m_refused = false;
};

void putText(QJsonObject& o, const QString& key, const QString& value)
{
    o.insert(key, value);
}

QJsonObject draftJson(const SurveyDraftData& d, bool isFinal)
{
    namespace N = SurveyFieldNames;
    QJsonObject o;
    putText(o, N::kDate, d.date);
    putText(o, N::kTime, d.time);
    putText(o, N::kDensity, d.density);
    QJsonObject drafts;
    for (int i = 0; i < 6; ++i)
        putText(drafts, N::kReadings[i], d.*SurveyDraftData::kReadings[i]);
    o.insert(N::kReadingsGroup, drafts);
    QJsonObject marks;
    for (int i = 0; i < 3; ++i)
        putText(marks, N::kMarks[i], d.*SurveyDraftData::kMarks[i]);
    o.insert(N::kMarksGroup, marks);
    QJsonObject below, above;
    for (int i = 0; i < 4; ++i) {
        putText(below, N::kColumns[i], d.below[i]);
        putText(above, N::kColumns[i], d.above[i]);
    }
    o.insert(N::kHydrostatics, QJsonObject{{N::kRows[0], below}, {N::kRows[1], above}});
    o.insert(N::kMctcPlus50, QJsonObject{{N::kRows[0], d.mctcPlus50Below}, {N::kRows[1], d.mctcPlus50Above}});
    o.insert(N::kMctcMinus50,
             QJsonObject{{N::kRows[0], d.mctcMinus50Below}, {N::kRows[1], d.mctcMinus50Above}});
    QJsonObject deds;
    for (const auto& [item, quantity] : d.deductibles)
        putText(deds, QString::number(item), quantity);
    o.insert(N::kDeductibles, deds);
    if (isFinal && d.initialNetDisplacement)
        putText(o, N::kInitialNetDisplacement, *d.initialNetDisplacement);
    if (d.typedOverTable)
        o.insert(N::kTypedOverTable, QJsonArray::fromStringList(*d.typedOverTable));
    putText(o, N::kComments, d.comments);
    if (!d.listTpc[0].isEmpty() || !d.listTpc[1].isEmpty())
        o.insert(N::kListTpc, QJsonObject{{N::kListSides[0], d.listTpc[0]}, {N::kListSides[1], d.listTpc[1]}});
    if (!d.tanks.isEmpty()) {
        QJsonObject tanks;
        for (auto it = d.tanks.begin(); it != d.tanks.end(); ++it) {
            QJsonObject t;
            putText(t, QStringLiteral("reading"), it->reading);
            putText(t, QStringLiteral("density"), it->density);
            putText(t, QStringLiteral("volume"), it->volume);
            tanks.insert(it.key(), t);
        }
        o.insert(QStringLiteral("tanks"), tanks);
    }
    if (!d.readingsStart.isEmpty())
        putText(o, N::kReadingsStart, d.readingsStart);
    if (!d.readingsEnd.isEmpty())
        putText(o, N::kReadingsEnd, d.readingsEnd);
    return o;
}

}  // namespace

namespace SurveyFile {

QString formatName()
{
    return QStringLiteral("quorvane-survey/1");
}

std::optional<SurveyFileData> parse(const QByteArray& text, const QString& fileName, QString* error,
                                    Failure* failure)
{
    Reader r(fileName, error);
    const auto failed = [&]() -> std::optional<SurveyFileData> {
        if (failure)
            *failure = r.refused() ? Failure::Refused : Failure::NotRead;
        return std::nullopt;
    };
    if (failure)
        *failure = Failure::None;
    QJsonParseError pe;
    const QByteArray quoted = quoteBareNumbers(text);
    const QJsonDocument doc = QJsonDocument::fromJson(quoted, &pe);
    if (pe.error != QJsonParseError::NoError || !doc.isObject()) {
        r.fail(QString(), QStringLiteral("is not a survey file (not a JSON object)."));
        return failed();
    }
    if (const std::optional<DuplicateKey> twice = firstDuplicateKey(quoted)) {
        const bool deductibles = twice->objectPath.endsWith(QLatin1String("deductibles"));
        const QString what = deductibles
            ? QStringLiteral("the keys \"%1\" and \"%1\" both name item %1; an item is given once.")
                  .arg(twice->key)
            : QStringLiteral("the key \"%1\" is given twice; one of the two would be lost.").arg(twice->key);
        if (deductibles)
            r.refuse(twice->objectPath, what);
        else
            r.fail(twice->objectPath, what);
        return failed();
    }
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != formatName()) {
        r.fail(QStringLiteral("format"), QStringLiteral("is not a survey file (\"format\" must be \"%1\").")
                                             .arg(formatName()));
        return failed();
    }
    SurveyFileData data;
    const QString kind = root.value(QStringLiteral("kind")).toString();
    if (kind == QLatin1String("loading")) {
        data.kind = SurveyFileData::Kind::Loading;
    } else if (kind == QLatin1String("discharging")) {
        data.kind = SurveyFileData::Kind::Discharging;
    } else {
        r.fail(QStringLiteral("kind"), QStringLiteral("must be \"loading\" or \"discharging\"."));
        return failed();
    }
    data.ship = r.text(root, SurveyFieldNames::kShip, QString(), true);
    data.port = r.text(root, SurveyFieldNames::kPort, QString());
    data.voyage = r.text(root, SurveyFieldNames::kVoyage, QString());
    data.cargo = r.text(root, SurveyFieldNames::kCargo, QString());
    if (root.contains(SurveyFieldNames::kBlQuantity)) {
        if (data.kind != SurveyFileData::Kind::Discharging)
            r.fail(SurveyFieldNames::kBlQuantity, QStringLiteral("belongs to a discharging survey only."));
        data.blQuantity = r.text(root, SurveyFieldNames::kBlQuantity, QString());
    }
    if (root.contains(SurveyFieldNames::kListCorrection)) {
        const QJsonValue on = root.value(SurveyFieldNames::kListCorrection);
        if (!on.isBool())
            r.fail(SurveyFieldNames::kListCorrection, QStringLiteral("must be true or false."));
        data.listCorrection = on.toBool();
    }
    if (root.contains(SurveyFieldNames::kParticulars))
        data.particulars = r.particulars(root);
    const QJsonObject initial = r.object(root, SurveyFieldNames::kDrafts[0], QString(), true);
    if (!r.failed())
        data.initial = r.draft(initial, SurveyFieldNames::kDrafts[0], false);
    if (root.contains(SurveyFieldNames::kDrafts[1]) && !root.value(SurveyFieldNames::kDrafts[1]).isNull()) {
        const QJsonObject fin = r.object(root, SurveyFieldNames::kDrafts[1], QString(), true);
        if (!r.failed())
            data.final = r.draft(fin, SurveyFieldNames::kDrafts[1], true);
    }
    // The draft checks, between the two drafts: a list of drafts as the Initial one is kept.
    if (root.contains(SurveyFieldNames::kDraftChecks) && !r.failed()) {
        const QJsonValue checks = root.value(SurveyFieldNames::kDraftChecks);
        if (!checks.isArray()) {
            r.fail(SurveyFieldNames::kDraftChecks, QStringLiteral("must be a list of drafts."));
        } else {
            const QJsonArray list = checks.toArray();
            for (qsizetype i = 0; i < list.size() && !r.failed(); ++i) {
                const QString path = SurveyFieldNames::draftPath(2 + int(i));
                if (!list.at(i).isObject()) {
                    r.fail(path, QStringLiteral("must be an object."));
                    break;
                }
                data.draftChecks.append(r.draft(list.at(i).toObject(), path, false));
            }
        }
    }
    if (root.contains(SurveyFieldNames::kPlannedCargo)) {
        if (data.kind != SurveyFileData::Kind::Loading)
            r.fail(SurveyFieldNames::kPlannedCargo, QStringLiteral("belongs to a loading survey only."));
        data.plannedCargo = r.text(root, SurveyFieldNames::kPlannedCargo, QString());
    }
    if (r.failed())
        return failed();
    return data;
}

std::optional<SurveyFileData> read(const QString& path, QString* error, Failure* failure)
{
    QString systemError;
    const std::optional<QByteArray> bytes =
        InputFiles::read(path, InputFiles::kSurveyLimit, error, &systemError);
    if (!systemError.isEmpty() && error)
        *error = QStringLiteral("%1: the file cannot be read (%2).").arg(path, systemError);
    if (!bytes) {
        if (failure)
            *failure = Failure::NotRead;
        return std::nullopt;
    }
    return parse(*bytes, path, error, failure);
}

QJsonObject toJson(const SurveyFileData& data)
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), formatName());
    root.insert(QStringLiteral("kind"), data.kind == SurveyFileData::Kind::Loading ? QStringLiteral("loading")
                                                                                   : QStringLiteral("discharging"));
    root.insert(SurveyFieldNames::kShip, data.ship);
    root.insert(SurveyFieldNames::kPort, data.port);
    root.insert(SurveyFieldNames::kVoyage, data.voyage);
    root.insert(SurveyFieldNames::kCargo, data.cargo);
    if (data.kind == SurveyFileData::Kind::Discharging && data.blQuantity)
        root.insert(SurveyFieldNames::kBlQuantity, *data.blQuantity);
    if (data.listCorrection)
        root.insert(SurveyFieldNames::kListCorrection, true);
    if (!data.particulars.isEmpty()) {
        QJsonObject particulars;
        for (auto it = data.particulars.values().begin(); it != data.particulars.values().end(); ++it)
            particulars.insert(it.key(), it.value());
        root.insert(SurveyFieldNames::kParticulars, particulars);
    }
    root.insert(SurveyFieldNames::kDrafts[0], draftJson(data.initial, false));
    if (data.final)
        root.insert(SurveyFieldNames::kDrafts[1], draftJson(*data.final, true));
    // Only a survey with draft checks (or a planned cargo) has the keys: other files stay as they were.
    if (!data.draftChecks.isEmpty()) {
        QJsonArray checks;
        for (const SurveyDraftData& check : data.draftChecks)
            checks.append(draftJson(check, false));
        root.insert(SurveyFieldNames::kDraftChecks, checks);
    }
    if (data.kind == SurveyFileData::Kind::Loading && data.plannedCargo && !data.plannedCargo->isEmpty())
        root.insert(SurveyFieldNames::kPlannedCargo, *data.plannedCargo);
    return root;
}

QByteArray serialize(const SurveyFileData& data)
{
    return QJsonDocument(toJson(data)).toJson(QJsonDocument::Indented);
}

std::optional<QString> commentsRefusal(const SurveyDraftData& draft)
{
    if (draft.comments.size() <= SurveyInputRules::kCommentLimit)
        return std::nullopt;
    return QStringLiteral("comments hold at most %1 characters, the file has %2")
        .arg(SurveyInputRules::kCommentLimit)
        .arg(draft.comments.size());
}

bool write(const QString& path, const SurveyFileData& data, QString* error)
{
    return OutputPaths::write(path, serialize(data), error);
}

}  // namespace SurveyFile
