#include "files/SurveyFile.h"

#include "model/SurveyInputRules.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

class Reader {
public:
    Reader(QString fileName, QString* error) : m_file(std::move(fileName)), m_error(error) {}

    bool failed() const { return m_failed; }

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
        for (auto it = deds.begin(); it != deds.end(); ++it) {
            bool ok = false;
            const int item = it.key().toInt(&ok);
            if (!ok) {
                fail(ddp + QLatin1Char('.') + it.key(), QStringLiteral("is not an item number."));
                break;
            }
            d.deductibles.append({item, text(deds, it.key(), ddp)});
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

std::optional<SurveyFileData> parse(const QByteArray& text, const QString& fileName, QString* error)
{
    Reader r(fileName, error);
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(quoteBareNumbers(text), &pe);
    if (pe.error != QJsonParseError::NoError || !doc.isObject()) {
        r.fail(QString(), QStringLiteral("is not a survey file (not a JSON object)."));
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != formatName()) {
        r.fail(QStringLiteral("format"), QStringLiteral("is not a survey file (\"format\" must be \"%1\").")
                                             .arg(formatName()));
        return std::nullopt;
    }
    SurveyFileData data;
    const QString kind = root.value(QStringLiteral("kind")).toString();
    if (kind == QLatin1String("loading")) {
        data.kind = SurveyFileData::Kind::Loading;
    } else if (kind == QLatin1String("discharging")) {
        data.kind = SurveyFileData::Kind::Discharging;
    } else {
        r.fail(QStringLiteral("kind"), QStringLiteral("must be \"loading\" or \"discharging\"."));
        return std::nullopt;
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
        return std::nullopt;
    return data;
}

std::optional<SurveyFileData> read(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: the file cannot be read (%2).").arg(path, f.errorString());
        return std::nullopt;
    }
    return parse(f.readAll(), path, error);
}

QByteArray serialize(const SurveyFileData& data)
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
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
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
