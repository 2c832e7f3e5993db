#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <optional>

#include "model/SurveyParticulars.h"

class QJsonObject;

// A survey kept as a file: the inputs of both drafts exactly as a surveyor would type them, so the
// survey can be reopened, sent to the office or reported on without a window. Figures are texts;
// nothing here is computed.
struct SurveyDraftData {
    QString date;     // dd-MM-yyyy
    QString time;     // HH:mm
    QString density;
    QString fwdPort, fwdStbd, midPort, midStbd, aftPort, aftStbd;
    QString fwdX, midX, aftX;
    // Hydrostatic rows: draft, displacement, TPC, LCF.
    QString below[4];
    QString above[4];
    QString mctcPlus50Below, mctcPlus50Above;
    QString mctcMinus50Below, mctcMinus50Above;
    // Deductible quantities by DeductionMaster item, by item number.
    QList<QPair<int, QString>> deductibles;
    // The hand-entered initial net displacement of the Final draft, when there is one.
    std::optional<QString> initialNetDisplacement;
    // The cells of the tables typed over the ship's own table, by name ("hydrostatics.below.lcf");
    // nothing in a file written before it was recorded.
    std::optional<QStringList> typedOverTable;
    QString comments;
    // The TPC at the midship port and starboard drafts, typed for the list correction of a ship
    // without a table ("listTpc": {"port": ..., "stbd": ...}); written only when given.
    QString listTpc[2];
    // The tank sheet ("tanks": {"<tank>": {"reading": ..., "density": ..., "volume": ...}}), by
    // the tank's name; written only when a tank was read.
    struct Tank {
        QString reading, density, volume;
    };
    QMap<QString, Tank> tanks;
    // When the draft's readings began and ended ("readingsStart", "readingsEnd"); written only
    // when given.
    QString readingsStart, readingsEnd;

    // The readings (fwd port, fwd stbd, mid port, mid stbd, aft port, aft stbd) and the marks
    // (Fwd X, Mid X, Aft X), in the order the surveyor reads them.
    static constexpr QString SurveyDraftData::*kReadings[6] = {
        &SurveyDraftData::fwdPort, &SurveyDraftData::fwdStbd, &SurveyDraftData::midPort,
        &SurveyDraftData::midStbd, &SurveyDraftData::aftPort, &SurveyDraftData::aftStbd};
    static constexpr QString SurveyDraftData::*kMarks[3] = {&SurveyDraftData::fwdX, &SurveyDraftData::midX,
                                                            &SurveyDraftData::aftX};
};

struct SurveyFileData {
    enum class Kind { Loading, Discharging };
    Kind kind = Kind::Loading;
    QString ship;
    QString port;
    QString voyage;
    QString cargo;
    std::optional<QString> blQuantity;  // discharging only
    bool listCorrection = false;        // "listCorrection": true; written only when on
    SurveyDraftData initial;
    std::optional<SurveyDraftData> final;
    // "particulars": {"surveyor": ..., ...}; written only when one is given.
    SurveyParticulars particulars;
    // The draft checks read between the two, in the order taken ("draftChecks": [...]); a file
    // without them has none. A loading's planned cargo ("plannedCargo"), written only when given.
    QList<SurveyDraftData> draftChecks;
    std::optional<QString> plannedCargo;
};

namespace SurveyFile {

QString formatName();  // "quorvane-survey/1"

// Why a file was not read: it cannot be read or is no survey, or it is a survey with an entry
// that contradicts itself (one deductible item under two keys) and is refused like a bad figure.
enum class Failure { None, NotRead, Refused };

// Reads a survey file. On failure returns nothing and sets `error` to one sentence that names the
// file and, where it applies, the field ("initial.drafts.fwdPort"), and `failure` to its kind.
std::optional<SurveyFileData> read(const QString& path, QString* error, Failure* failure = nullptr);

// Parses the text of a survey file; `fileName` is only used in messages.
std::optional<SurveyFileData> parse(const QByteArray& text, const QString& fileName, QString* error,
                                    Failure* failure = nullptr);

// The file's JSON object (figures as strings), for a caller that adds entries of its own.
QJsonObject toJson(const SurveyFileData& data);

// The file's text (UTF-8 JSON, figures as strings): toJson, indented.
QByteArray serialize(const SurveyFileData& data);

// Why a draft's comments are not taken (longer than the comment box holds, which also keeps a
// megabyte of remarks from being laid out), or nothing when they fit.
std::optional<QString> commentsRefusal(const SurveyDraftData& draft);

// Writes the file whole or not at all; false with `error` set on failure.
bool write(const QString& path, const SurveyFileData& data, QString* error);

}  // namespace SurveyFile
