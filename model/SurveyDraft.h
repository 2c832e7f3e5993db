#pragma once

#include "core/Variant.h"
#include "model/TankSheet.h"
#include "model/VariantArray2D.h"

#include <QString>
#include <QVector>
#include <memory>
#include <optional>

class RowSet;
class ShipRecord;

// One draft of a survey (Initial or Final): the readings, the density, the mark distances, the
// draft panel figures the window works out, the hydrostatic rows around the true mean draft, the
// deductibles on board and what the calculation makes of them.
//
// The numeric properties are dynamic values, and what they hold matters: empty text after
// clear, the Empty value when never assigned, the Integer 0 for a blank entry, a Decimal for
// a figure. Setters throw VbError to the caller when a value is not a number (the property and
// needsSaving keep what they had). Calculate and sumDeductibles report their own failures.
class SurveyDraft {
public:
    // Indices of the hydrostatic tables and of the results.
    enum TableRow { Below = 0, Above = 1, Difference = 2 };
    enum HdtColumn { HydDraft = 0, Displacement = 1, Tpc = 2, Lcf = 3, MctcP50 = 4, MctcM50 = 5 };
    enum MctcColumn { MctcDraft = 0, Mctc = 1 };
    enum IpRow { Increment = 0, Interpolated = 1 };
    enum IpColumn { IpDisplacement = 0, IpTpc = 1, IpLcf = 2, IpMctcP50 = 3, IpMctcM50 = 4 };
    enum Result {
        DisplacementAtTmd = 0,
        FirstTrimCorrection = 1,
        SecondTrimCorrection = 2,
        TotalTrimCorrection = 3,
        ListCorrection = 4,
        DisplacementEvenKeel = 5,
        DensityCorrection = 6,
        TrueDisplacement = 7,
        TotalDeductibles = 8,
        NetDisplacementResult = 9,
        LightShipResult = 10,
        ResultCount = 12
    };

    // A fresh draft: cleared, stamped with the current date and time, an empty deductions list,
    // nothing to save and no record.
    SurveyDraft();
    ~SurveyDraft();
    SurveyDraft(const SurveyDraft&) = delete;
    SurveyDraft& operator=(const SurveyDraft&) = delete;

    // Density of the dock water and the six readings. Setting one to a value whose text differs
    // from the text of the current value stores it as a number and marks the draft unsaved.
    Variant specificGravity() const { return m_specificGravity; }
    void setSpecificGravity(const Variant& specificGravity);
    qint16 draftType() const { return m_draftType; }
    void setDraftType(qint16 draftType) { m_draftType = draftType; }
    Variant fwdPort() const { return m_fwdPort; }
    void setFwdPort(const Variant& fwdPort);
    Variant fwdStbd() const { return m_fwdStbd; }
    void setFwdStbd(const Variant& fwdStbd);
    Variant midPort() const { return m_midPort; }
    void setMidPort(const Variant& midPort);
    Variant midStbd() const { return m_midStbd; }
    void setMidStbd(const Variant& midStbd);
    Variant aftPort() const { return m_aftPort; }
    void setAftPort(const Variant& aftPort);
    Variant aftStbd() const { return m_aftStbd; }
    void setAftStbd(const Variant& aftStbd);

    // finalResult(9).
    Variant netDisplacement() const { return m_finalResult.at(NetDisplacementResult); }

    // Texts; a different text marks the draft unsaved.
    QString comments() const { return m_comments; }
    void setComments(const QString& comments);
    QString surveyDate() const { return m_surveyDate; }
    void setSurveyDate(const QString& date);
    QString surveyTime() const { return m_surveyTime; }
    void setSurveyTime(const QString& time);

    // When the readings of this draft began and ended, as the surveyor wrote the times down
    // (free text, for the calculation sheet; nothing is worked out from them).
    QString readingsStart() const { return m_readingsStart; }
    void setReadingsStart(const QString& time) { m_readingsStart = time; }
    QString readingsEnd() const { return m_readingsEnd; }
    void setReadingsEnd(const QString& time) { m_readingsEnd = time; }

    bool needsSaving() const { return m_needsSaving; }
    void setNeedsSaving(bool needsSaving) { m_needsSaving = needsSaving; }
    bool hasRecord() const { return m_hasRecord; }
    void setHasRecord(bool hasRecord) { m_hasRecord = hasRecord; }

    // The deductions list itself (rows the window adds belong to the draft).
    RowSet& deductions() { return *m_deductions; }
    const RowSet& deductions() const { return *m_deductions; }

    // The forward and midship means are kept exactly as handed over, text or number.
    Variant fwdMean() const { return m_fwdMean; }
    Variant midMean() const { return m_midMean; }
    Variant aftMean() const { return m_aftMean; }
    void setFwdMean(const Variant& fwdMean) { m_fwdMean = fwdMean; }
    void setMidMean(const Variant& midMean) { m_midMean = midMean; }
    void setAftMean(const Variant& aftMean);

    Variant totalDeductibles() const { return m_totalDeductibles; }
    void setTotalDeductibles(const Variant& totalDeductibles);

    // Hydrostatic tables: HDT 3 x 6, MCTCP50 and MCTCM50 3 x 2. The getters return copies; the
    // setters copy the given array element by element as numbers, keep the elements it does not
    // cover, and throw VbError::subscriptOutOfRange() at the first index outside the table, the
    // elements before it staying copied.
    VariantArray2D hdt() const { return m_hdt; }
    void setHdt(const VariantArray2D& hdt);
    VariantArray2D mctcPlus50() const { return m_mctcPlus50; }
    void setMctcPlus50(const VariantArray2D& mctcPlus50);
    VariantArray2D mctcMinus50() const { return m_mctcMinus50; }
    void setMctcMinus50(const VariantArray2D& mctcMinus50);

    // Results of Calculate: ipResult 2 x 5, finalResult 12 elements.
    VariantArray2D ipResult() const { return m_ipResult; }
    QVector<Variant> finalResult() const { return m_finalResult; }
    // Never worked out by the draft: empty text.
    Variant apparentTrim() const { return m_apparentTrim; }

    Variant fwdCorrection() const { return m_fwdCorrection; }
    Variant midCorrection() const { return m_midCorrection; }
    Variant aftCorrection() const { return m_aftCorrection; }
    void setFwdCorrection(const Variant& fwdCorrection);
    void setMidCorrection(const Variant& midCorrection);
    void setAftCorrection(const Variant& aftCorrection);

    Variant fwdTrueDraft() const { return m_fwdTrueDraft; }
    void setFwdTrueDraft(const Variant& fwdTrueDraft);
    Variant midTrueDraft() const { return m_midTrueDraft; }
    void setMidTrueDraft(const Variant& midTrueDraft);
    Variant aftTrueDraft() const { return m_aftTrueDraft; }
    void setAftTrueDraft(const Variant& aftTrueDraft);
    Variant trueTrim() const { return m_trueTrim; }
    void setTrueTrim(const Variant& trueTrim);
    Variant trueMeanDraft() const { return m_trueMeanDraft; }
    void setTrueMeanDraft(const Variant& trueMeanDraft);

    Variant ipFactor() const { return m_ipFactor; }

    // What the ship's own table says of itself, set before Calculate (rows typed by hand leave
    // them unset: a table for salt water, drafts from the keel's underside, no list correction).
    // The density of the water the table was worked out for; unset means 1.025.
    Decimal tableDensity() const { return m_tableDensity; }
    void setTableDensity(const Decimal& density) { m_tableDensity = density; }
    // Metres taken off the true mean draft before the table is entered: the keel plate, for a table
    // whose drafts are moulded. 0 for none.
    Decimal keelCorrection() const { return m_keelCorrection; }
    void setKeelCorrection(const Decimal& metres) { m_keelCorrection = metres; }
    // The list correction in tonnes, added to the displacement with the trim corrections; nothing
    // when the survey does not apply one (finalResult(4) then stays 0).
    std::optional<Decimal> listCorrection() const { return m_listCorrection; }
    void setListCorrection(const std::optional<Decimal>& tonnes) { m_listCorrection = tonnes; }

    // The tanks sounded on this draft (readings as accepted); clear() empties it.
    TankSheet& tankSheet() { return m_tankSheet; }
    const TankSheet& tankSheet() const { return m_tankSheet; }

    // Loads the draft's own ship record; an unknown ship gives an empty record.
    void setShipId(const Variant& id);

    Variant fwdX() const { return m_fwdX; }
    void setFwdX(const Variant& fwdX);
    Variant midX() const { return m_midX; }
    void setMidX(const Variant& midX);
    Variant aftX() const { return m_aftX; }
    void setAftX(const Variant& aftX);
    Variant lbm() const { return m_lbm; }
    void setLbm(const Variant& lbm);

    // Back to a new survey: readings, derived figures, HDT and results become empty text, the
    // date and time are stamped, the deductions list is emptied, nothing to save. The mark
    // distances, LBM, totalDeductibles, the MCTC tables, draftType and the ship stay.
    void clear();
    // Interpolates the hydrostatic rows at the true mean draft, applies the trim and density
    // corrections and takes off the deductibles. A failure shows "clsDraft::Calculate"; what was
    // worked out before it stays, the rest keeps its previous contents.
    void calculate();
    // Opens the deductions list anew, empty. A failure is shown with its source; the list then
    // stays closed.
    void resetDeductions();
    // Totals Quantity over the deductions list into totalDeductibles and returns it. A failure
    // shows "clsDraft::GetTotDeductibles" and returns Empty, totalDeductibles keeping the partial
    // total. A null Quantity makes the total Null.
    Variant sumDeductibles();

private:
    void setMarking(Variant& property, const Variant& newValue);
    void setMarkingText(QString& property, const QString& newText);
    static void setTable(VariantArray2D& table, const VariantArray2D& newValues);
    void calculateSteps();

    Variant m_specificGravity;
    qint16 m_draftType = 0;
    Variant m_fwdPort;
    Variant m_fwdStbd;
    Variant m_midPort;
    Variant m_midStbd;
    Variant m_aftPort;
    Variant m_aftStbd;
    QString m_comments;
    QString m_surveyDate;
    QString m_surveyTime;
    QString m_readingsStart;
    QString m_readingsEnd;
    bool m_needsSaving = false;
    bool m_hasRecord = false;
    Variant m_fwdMean;
    Variant m_midMean;
    Variant m_aftMean;
    Variant m_totalDeductibles;
    Variant m_apparentTrim;
    Variant m_fwdCorrection;
    Variant m_midCorrection;
    Variant m_aftCorrection;
    Variant m_fwdTrueDraft;
    Variant m_midTrueDraft;
    Variant m_aftTrueDraft;
    Variant m_trueTrim;
    Variant m_trueMeanDraft;
    Variant m_ipFactor;
    Decimal m_tableDensity = Decimal(1025) / Decimal(1000);
    Decimal m_keelCorrection;
    std::optional<Decimal> m_listCorrection;
    Variant m_fwdX;
    Variant m_midX;
    Variant m_aftX;
    Variant m_lbm;

    VariantArray2D m_hdt{3, 6};
    VariantArray2D m_mctcPlus50{3, 2};
    VariantArray2D m_mctcMinus50{3, 2};
    VariantArray2D m_ipResult{2, 5};
    QVector<Variant> m_finalResult = QVector<Variant>(ResultCount);

    std::unique_ptr<ShipRecord> m_ship;
    std::unique_ptr<RowSet> m_deductions;
    TankSheet m_tankSheet;
};
