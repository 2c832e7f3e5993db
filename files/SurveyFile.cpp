#include "files/SurveyFile.h"

#include "model/SurveyInputRules.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

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

QString decodedKey(const QByteArray& token)
{
    if (!token.contains('\\'))
        return QString::fromUtf8(token.mid(1, token.size() - 2));
    const QJsonDocument d = QJsonDocument::fromJson("[" + token + "]");
    return d.isArray() ? d.array().at(0).toString() : QString::fromUtf8(token);
}

std::optional<DuplicateKey> firstDuplicateKey(const QByteArray& in)
{
    struct Frame {
        bool object = false;
        bool expectKey = false;
        QString key;  // the key whose value is being read
        QStringList keys;
    };
    QList<Frame> stack;
    const auto pathOf = [&stack]() {
        QStringList parts;
        for (qsizetype f = 0; f + 1 < stack.size(); ++f)
            if (stack.at(f).object)
                parts << stack.at(f).key;
        return parts.join(QLatin1Char('.'));
    };
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '"') {
            qsizetype j = i + 1;
            while (j < in.size() && in.at(j) != '"')
                j += in.at(j) == '\\' ? 2 : 1;
            if (!stack.isEmpty() && stack.last().object && stack.last().expectKey) {
                Frame& f = stack.last();
                const QString key = decodedKey(in.mid(i, j + 1 - i));
                if (f.keys.contains(key))
                    return DuplicateKey{pathOf(), key};
                f.keys << key;
                f.key = key;
                f.expectKey = false;
            }
            i = j;
        } else if (c == '{' || c == '[') {
            Frame f;
            f.object = c == '{';
            f.expectKey = f.object;
            stack << f;
        } else if (c == '}' || c == ']') {
            if (!stack.isEmpty())
                stack.removeLast();
        } else if (c == ',' && !stack.isEmpty() && stack.last().object) {
            stack.last().expectKey = true;
        }
    }
    return std::nullopt;
}

// A deductible is keyed by its item's number as the file writes it: digits, no sign, no blank,
// no leading zero. Anything else could name an item a second time in other words.
bool isPlainItemKey(const QString& key)
{
    static const QRegularExpression plain(QStringLiteral("^(0|[1-9][0-9]*)$"));
    return plain.match(key).hasMatch();
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
        return v.toString();
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
        SurveyDraftData d;
        d.date = text(o, QStringLiteral("date"), path);
        d.time = text(o, QStringLiteral("time"), path);
        d.density = text(o, QStringLiteral("density"), path);
        const QString dp = path + QStringLiteral(".drafts");
        const QJsonObject drafts = object(o, QStringLiteral("drafts"), path, false);
        d.fwdPort = text(drafts, QStringLiteral("fwdPort"), dp);
        d.fwdStbd = text(drafts, QStringLiteral("fwdStbd"), dp);
        d.midPort = text(drafts, QStringLiteral("midPort"), dp);
        d.midStbd = text(drafts, QStringLiteral("midStbd"), dp);
        d.aftPort = text(drafts, QStringLiteral("aftPort"), dp);
        d.aftStbd = text(drafts, QStringLiteral("aftStbd"), dp);
        const QString mp = path + QStringLiteral(".marks");
        const QJsonObject marks = object(o, QStringLiteral("marks"), path, false);
        d.fwdX = text(marks, QStringLiteral("fwdX"), mp);
        d.midX = text(marks, QStringLiteral("midX"), mp);
        d.aftX = text(marks, QStringLiteral("aftX"), mp);

        const QString hp = path + QStringLiteral(".hydrostatics");
        const QJsonObject hyd = object(o, QStringLiteral("hydrostatics"), path, false);
        static const char* const columns[4] = {"draft", "displacement", "tpc", "lcf"};
        const QJsonObject below = object(hyd, QStringLiteral("below"), hp, false);
        const QJsonObject above = object(hyd, QStringLiteral("above"), hp, false);
        for (int i = 0; i < 4; ++i) {
            d.below[i] = text(below, QLatin1String(columns[i]), hp + QStringLiteral(".below"));
            d.above[i] = text(above, QLatin1String(columns[i]), hp + QStringLiteral(".above"));
        }
        const QJsonObject plus = object(o, QStringLiteral("mctcPlus50"), path, false);
        d.mctcPlus50Below = text(plus, QStringLiteral("below"), path + QStringLiteral(".mctcPlus50"));
        d.mctcPlus50Above = text(plus, QStringLiteral("above"), path + QStringLiteral(".mctcPlus50"));
        const QJsonObject minus = object(o, QStringLiteral("mctcMinus50"), path, false);
        d.mctcMinus50Below = text(minus, QStringLiteral("below"), path + QStringLiteral(".mctcMinus50"));
        d.mctcMinus50Above = text(minus, QStringLiteral("above"), path + QStringLiteral(".mctcMinus50"));

        const QJsonObject deds = object(o, QStringLiteral("deductibles"), path, false);
        const QString ddp = path + QStringLiteral(".deductibles");
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
        if (o.contains(QStringLiteral("initialNetDisplacement"))) {
            if (!isFinal)
                fail(path + QStringLiteral(".initialNetDisplacement"),
                     QStringLiteral("belongs to the final draft only."));
            d.initialNetDisplacement = text(o, QStringLiteral("initialNetDisplacement"), path);
        }
        d.comments = text(o, QStringLiteral("comments"), path);
        return d;
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
    QJsonObject o;
    putText(o, QStringLiteral("date"), d.date);
    putText(o, QStringLiteral("time"), d.time);
    putText(o, QStringLiteral("density"), d.density);
    QJsonObject drafts;
    putText(drafts, QStringLiteral("fwdPort"), d.fwdPort);
    putText(drafts, QStringLiteral("fwdStbd"), d.fwdStbd);
    putText(drafts, QStringLiteral("midPort"), d.midPort);
    putText(drafts, QStringLiteral("midStbd"), d.midStbd);
    putText(drafts, QStringLiteral("aftPort"), d.aftPort);
    putText(drafts, QStringLiteral("aftStbd"), d.aftStbd);
    o.insert(QStringLiteral("drafts"), drafts);
    QJsonObject marks;
    putText(marks, QStringLiteral("fwdX"), d.fwdX);
    putText(marks, QStringLiteral("midX"), d.midX);
    putText(marks, QStringLiteral("aftX"), d.aftX);
    o.insert(QStringLiteral("marks"), marks);
    static const char* const columns[4] = {"draft", "displacement", "tpc", "lcf"};
    QJsonObject below, above;
    for (int i = 0; i < 4; ++i) {
        putText(below, QLatin1String(columns[i]), d.below[i]);
        putText(above, QLatin1String(columns[i]), d.above[i]);
    }
    o.insert(QStringLiteral("hydrostatics"),
             QJsonObject{{QStringLiteral("below"), below}, {QStringLiteral("above"), above}});
    o.insert(QStringLiteral("mctcPlus50"), QJsonObject{{QStringLiteral("below"), d.mctcPlus50Below},
                                                       {QStringLiteral("above"), d.mctcPlus50Above}});
    o.insert(QStringLiteral("mctcMinus50"), QJsonObject{{QStringLiteral("below"), d.mctcMinus50Below},
                                                        {QStringLiteral("above"), d.mctcMinus50Above}});
    QJsonObject deds;
    for (const auto& [item, quantity] : d.deductibles)
        putText(deds, QString::number(item), quantity);
    o.insert(QStringLiteral("deductibles"), deds);
    if (isFinal && d.initialNetDisplacement)
        putText(o, QStringLiteral("initialNetDisplacement"), *d.initialNetDisplacement);
    putText(o, QStringLiteral("comments"), d.comments);
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
    data.ship = r.text(root, QStringLiteral("ship"), QString(), true);
    data.port = r.text(root, QStringLiteral("port"), QString());
    data.voyage = r.text(root, QStringLiteral("voyage"), QString());
    data.cargo = r.text(root, QStringLiteral("cargo"), QString());
    if (root.contains(QStringLiteral("blQuantity"))) {
        if (data.kind != SurveyFileData::Kind::Discharging)
            r.fail(QStringLiteral("blQuantity"), QStringLiteral("belongs to a discharging survey only."));
        data.blQuantity = r.text(root, QStringLiteral("blQuantity"), QString());
    }
    const QJsonObject initial = r.object(root, QStringLiteral("initial"), QString(), true);
    if (!r.failed())
        data.initial = r.draft(initial, QStringLiteral("initial"), false);
    if (root.contains(QStringLiteral("final")) && !root.value(QStringLiteral("final")).isNull()) {
        const QJsonObject fin = r.object(root, QStringLiteral("final"), QString(), true);
        if (!r.failed())
            data.final = r.draft(fin, QStringLiteral("final"), true);
    }
    if (r.failed())
        return failed();
    return data;
}

std::optional<SurveyFileData> read(const QString& path, QString* error, Failure* failure)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: the file cannot be read (%2).").arg(path, f.errorString());
        if (failure)
            *failure = Failure::NotRead;
        return std::nullopt;
    }
    return parse(f.readAll(), path, error, failure);
}

QJsonObject toJson(const SurveyFileData& data)
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), formatName());
    root.insert(QStringLiteral("kind"), data.kind == SurveyFileData::Kind::Loading ? QStringLiteral("loading")
                                                                                   : QStringLiteral("discharging"));
    root.insert(QStringLiteral("ship"), data.ship);
    root.insert(QStringLiteral("port"), data.port);
    root.insert(QStringLiteral("voyage"), data.voyage);
    root.insert(QStringLiteral("cargo"), data.cargo);
    if (data.kind == SurveyFileData::Kind::Discharging && data.blQuantity)
        root.insert(QStringLiteral("blQuantity"), *data.blQuantity);
    root.insert(QStringLiteral("initial"), draftJson(data.initial, false));
    if (data.final)
        root.insert(QStringLiteral("final"), draftJson(*data.final, true));
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
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("%1: the file cannot be written (%2).").arg(path, f.errorString());
        return false;
    }
    f.write(serialize(data));
    if (!f.commit()) {
        if (error)
            *error = QStringLiteral("%1: the file cannot be written (%2).").arg(path, f.errorString());
        return false;
    }
    return true;
}

}  // namespace SurveyFile
