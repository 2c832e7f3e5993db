#pragma once

#include "core/Variant.h"
#include "model/VariantArray2D.h"

#include <QString>
#include <QVector>
#include <memory>

class RowSet;
class clsShip;

// One draft of a survey (Initial or Final): the readings, the density, the mark distances, the
// draft panel figures the window works out, the hydrostatic rows around the true mean draft, the
// deductibles on board and what the calculation makes of them.
//
// The numeric properties are dynamic values, and what they hold matters: empty text after
// NewDraft, the Empty value when never assigned, the Integer 0 for a blank entry, a Decimal for
// a figure. Setters throw VbError to the caller when a value is not a number (the property and
// ToSave keep what they had). Calculate and GetTotDeductibles report their own failures.
class clsDraft {
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
    clsDraft();
    ~clsDraft();
    clsDraft(const clsDraft&) = delete;
    clsDraft& operator=(const clsDraft&) = delete;

    // Density of the dock water and the six readings. Setting one to a value whose text differs
    // from the text of the current value stores it as a number and marks the draft unsaved.
    Variant SpecificGravity() const { return m_SpecificGravity; }
    void setSpecificGravity(const Variant& vNewSpecificGravity);
    qint16 DraftType() const { return m_DraftType; }
    void setDraftType(qint16 intNewDraftType) { m_DraftType = intNewDraftType; }
    Variant FwdPort() const { return m_FwdPort; }
    void setFwdPort(const Variant& vNewFwdPort);
    Variant FwdStbd() const { return m_FwdStbd; }
    void setFwdStbd(const Variant& vNewFwdStbd);
    Variant MidPort() const { return m_MidPort; }
    void setMidPort(const Variant& vNewMidPort);
    Variant MidStbd() const { return m_MidStbd; }
    void setMidStbd(const Variant& vNewMidStbd);
    Variant AftPort() const { return m_AftPort; }
    void setAftPort(const Variant& vNewAftPort);
    Variant AftStbd() const { return m_AftStbd; }
    void setAftStbd(const Variant& vNewAftStbd);

    // FinalResult(9).
    Variant NetDisplacement() const { return m_FinalResult.at(NetDisplacementResult); }

    // Texts; a different text marks the draft unsaved.
    QString Comments() const { return m_Comments; }
    void setComments(const QString& strNewComments);
    QString DSDate() const { return m_DSDate; }
    void setDSDate(const QString& strNewDate);
    QString DSTime() const { return m_DSTime; }
    void setDSTime(const QString& strNewTime);

    bool ToSave() const { return m_ToSave; }
    void setToSave(bool blnNewSaveStatus) { m_ToSave = blnNewSaveStatus; }
    bool HasRecord() const { return m_HasRecord; }
    void setHasRecord(bool blnNewRecStatus) { m_HasRecord = blnNewRecStatus; }

    // The deductions list itself (rows the window adds belong to the draft).
    RowSet& Deductions() { return *m_Deductions; }
    const RowSet& Deductions() const { return *m_Deductions; }

    // The forward and midship means are kept exactly as handed over, text or number.
    Variant FwdMean() const { return m_FwdMean; }
    Variant MidMean() const { return m_MidMean; }
    Variant AftMean() const { return m_AftMean; }
    void setFwdMean(const Variant& vNewFwdMean) { m_FwdMean = vNewFwdMean; }
    void setMidMean(const Variant& vNewMidMean) { m_MidMean = vNewMidMean; }
    void setAftMean(const Variant& vNewAftMean);

    Variant TotDeductibles() const { return m_TotDeductibles; }
    void setTotDeductibles(const Variant& vNewTotDeductibles);

    // Hydrostatic tables: HDT 3 x 6, MCTCP50 and MCTCM50 3 x 2. The getters return copies; the
    // setters copy the given array element by element as numbers, keep the elements it does not
    // cover, and throw VbError::subscriptOutOfRange() at the first index outside the table, the
    // elements before it staying copied.
    VariantArray2D HDT() const { return m_HDT; }
    void setHDT(const VariantArray2D& vNewHDT);
    VariantArray2D MCTCP50() const { return m_MCTCP50; }
    void setMCTCP50(const VariantArray2D& vNewMCTCP50);
    VariantArray2D MCTCM50() const { return m_MCTCM50; }
    void setMCTCM50(const VariantArray2D& vNewMCTCM50);

    // Results of Calculate: IpResult 2 x 5, FinalResult 12 elements.
    VariantArray2D IpResult() const { return m_IpResult; }
    QVector<Variant> FinalResult() const { return m_FinalResult; }
    // Never worked out by the draft: empty text.
    Variant ApparentTrim() const { return m_ApparentTrim; }

    Variant FwdCorrection() const { return m_FwdCorrection; }
    Variant MidCorrection() const { return m_MidCorrection; }
    Variant AftCorrection() const { return m_AftCorrection; }
    void setFwdCorrection(const Variant& vNewFwdCorr);
    void setMidCorrection(const Variant& vNewMidCorr);
    void setAftCorrection(const Variant& vNewAftCorr);

    Variant FwdTrueDraft() const { return m_FwdTrueDraft; }
    void setFwdTrueDraft(const Variant& vNewFwdTrueDraft);
    Variant MidTrueDraft() const { return m_MidTrueDraft; }
    void setMidTrueDraft(const Variant& vNewMidTrueDraft);
    Variant AftTrueDraft() const { return m_AftTrueDraft; }
    void setAftTrueDraft(const Variant& vNewAftTrueDraft);
    Variant TrueTrim() const { return m_TrueTrim; }
    void setTrueTrim(const Variant& vNewTrueTrim);
    Variant TrueMeanDraft() const { return m_TrueMeanDraft; }
    void setTrueMeanDraft(const Variant& vNewTMD);

    Variant IpFactor() const { return m_IpFactor; }

    // Loads the draft's own ship record; an unknown ship gives an empty record.
    void setShipID(const Variant& vNewShipID);

    Variant FwdX() const { return m_FwdX; }
    void setFwdX(const Variant& vNewFwdX);
    Variant MidX() const { return m_MidX; }
    void setMidX(const Variant& vNewMidX);
    Variant AftX() const { return m_AftX; }
    void setAftX(const Variant& vNewAftX);
    Variant LBM() const { return m_LBM; }
    void setLBM(const Variant& vNewLBM);

    // Back to a new survey: readings, derived figures, HDT and results become empty text, the
    // date and time are stamped, the deductions list is emptied, nothing to save. The mark
    // distances, LBM, TotDeductibles, the MCTC tables, DraftType and the ship stay.
    void NewDraft();
    // Interpolates the hydrostatic rows at the true mean draft, applies the trim and density
    // corrections and takes off the deductibles. A failure shows "clsDraft::Calculate"; what was
    // worked out before it stays, the rest keeps its previous contents.
    void Calculate();
    // Opens the deductions list anew, empty. A failure is shown with its source; the list then
    // stays closed.
    void InitDeductions();
    // Totals Quantity over the deductions list into TotDeductibles and returns it. A failure
    // shows "clsDraft::GetTotDeductibles" and returns Empty, TotDeductibles keeping the partial
    // total. A null Quantity makes the total Null.
    Variant GetTotDeductibles();

private:
    void setMarking(Variant& property, const Variant& newValue);
    void setMarkingText(QString& property, const QString& newText);
    static void setTable(VariantArray2D& table, const VariantArray2D& newValues);
    void calculateSteps();

    Variant m_SpecificGravity;
    qint16 m_DraftType = 0;
    Variant m_FwdPort;
    Variant m_FwdStbd;
    Variant m_MidPort;
    Variant m_MidStbd;
    Variant m_AftPort;
    Variant m_AftStbd;
    QString m_Comments;
    QString m_DSDate;
    QString m_DSTime;
    bool m_ToSave = false;
    bool m_HasRecord = false;
    Variant m_FwdMean;
    Variant m_MidMean;
    Variant m_AftMean;
    Variant m_TotDeductibles;
    Variant m_ApparentTrim;
    Variant m_FwdCorrection;
    Variant m_MidCorrection;
    Variant m_AftCorrection;
    Variant m_FwdTrueDraft;
    Variant m_MidTrueDraft;
    Variant m_AftTrueDraft;
    Variant m_TrueTrim;
    Variant m_TrueMeanDraft;
    Variant m_IpFactor;
    Variant m_FwdX;
    Variant m_MidX;
    Variant m_AftX;
    Variant m_LBM;

    VariantArray2D m_HDT{3, 6};
    VariantArray2D m_MCTCP50{3, 2};
    VariantArray2D m_MCTCM50{3, 2};
    VariantArray2D m_IpResult{2, 5};
    QVector<Variant> m_FinalResult = QVector<Variant>(ResultCount);

    std::unique_ptr<clsShip> m_Ship;
    std::unique_ptr<RowSet> m_Deductions;
};
