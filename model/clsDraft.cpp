#include "model/clsDraft.h"

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/clsShip.h"

#include <QDate>
#include <QTime>

namespace {

// What a cleared field holds until the window hands it a value again.
Variant emptyText()
{
    return Variant(QString());
}

// A figure as the draft stores it: blank becomes the Integer 0, anything else an exact decimal.
Variant asNumber(const Variant& value)
{
    return ToNumeric(value, -1, 0);
}

}  // namespace

clsDraft::clsDraft()
    : m_Ship(std::make_unique<clsShip>()), m_Deductions(std::make_unique<RowSet>())
{
    NewDraft();
    InitDeductions();
    m_ToSave = false;
    m_HasRecord = false;
}

clsDraft::~clsDraft() = default;

// A reading counts as changed when its text changes: retyping 5.2 is no change, while 5.20 over
// 5.2 is a new entry and the draft must be saved again.
void clsDraft::setMarking(Variant& property, const Variant& newValue)
{
    if (!newValue.isNull() && !property.isNull() && newValue.toText() == property.toText())
        return;
    // Converted before anything is stored: a value that is not a number leaves the draft alone.
    property = asNumber(newValue);
    m_ToSave = true;
}

void clsDraft::setMarkingText(QString& property, const QString& newText)
{
    if (newText == property)
        return;
    property = newText;
    m_ToSave = true;
}

void clsDraft::setSpecificGravity(const Variant& vNewSpecificGravity)
{
    setMarking(m_SpecificGravity, vNewSpecificGravity);
}

void clsDraft::setFwdPort(const Variant& vNewFwdPort) { setMarking(m_FwdPort, vNewFwdPort); }
void clsDraft::setFwdStbd(const Variant& vNewFwdStbd) { setMarking(m_FwdStbd, vNewFwdStbd); }
void clsDraft::setMidPort(const Variant& vNewMidPort) { setMarking(m_MidPort, vNewMidPort); }
void clsDraft::setMidStbd(const Variant& vNewMidStbd) { setMarking(m_MidStbd, vNewMidStbd); }
void clsDraft::setAftPort(const Variant& vNewAftPort) { setMarking(m_AftPort, vNewAftPort); }
void clsDraft::setAftStbd(const Variant& vNewAftStbd) { setMarking(m_AftStbd, vNewAftStbd); }

void clsDraft::setComments(const QString& strNewComments)
{
    setMarkingText(m_Comments, strNewComments);
}

void clsDraft::setDSDate(const QString& strNewDate) { setMarkingText(m_DSDate, strNewDate); }
void clsDraft::setDSTime(const QString& strNewTime) { setMarkingText(m_DSTime, strNewTime); }

void clsDraft::setAftMean(const Variant& vNewAftMean) { m_AftMean = asNumber(vNewAftMean); }

void clsDraft::setTotDeductibles(const Variant& vNewTotDeductibles)
{
    m_TotDeductibles = asNumber(vNewTotDeductibles);
}

void clsDraft::setFwdCorrection(const Variant& vNewFwdCorr)
{
    m_FwdCorrection = asNumber(vNewFwdCorr);
}

void clsDraft::setMidCorrection(const Variant& vNewMidCorr)
{
    m_MidCorrection = asNumber(vNewMidCorr);
}

void clsDraft::setAftCorrection(const Variant& vNewAftCorr)
{
    m_AftCorrection = asNumber(vNewAftCorr);
}

void clsDraft::setFwdTrueDraft(const Variant& vNewFwdTrueDraft)
{
    m_FwdTrueDraft = asNumber(vNewFwdTrueDraft);
}

void clsDraft::setMidTrueDraft(const Variant& vNewMidTrueDraft)
{
    m_MidTrueDraft = asNumber(vNewMidTrueDraft);
}

void clsDraft::setAftTrueDraft(const Variant& vNewAftTrueDraft)
{
    m_AftTrueDraft = asNumber(vNewAftTrueDraft);
}

void clsDraft::setTrueTrim(const Variant& vNewTrueTrim) { m_TrueTrim = asNumber(vNewTrueTrim); }
void clsDraft::setTrueMeanDraft(const Variant& vNewTMD) { m_TrueMeanDraft = asNumber(vNewTMD); }

void clsDraft::setFwdX(const Variant& vNewFwdX) { m_FwdX = asNumber(vNewFwdX); }
void clsDraft::setMidX(const Variant& vNewMidX) { m_MidX = asNumber(vNewMidX); }
void clsDraft::setAftX(const Variant& vNewAftX) { m_AftX = asNumber(vNewAftX); }
void clsDraft::setLBM(const Variant& vNewLBM) { m_LBM = asNumber(vNewLBM); }

void clsDraft::setShipID(const Variant& vNewShipID)
{
    const qint32 shipId = asNumber(vNewShipID).toInt32();
    // A failed load has told the user already; the draft simply has no ship particulars then.
    m_Ship->SetShip(shipId);
}

// Element by element, in row order, so a table wider or longer than the draft's is copied up to
// the first cell that does not fit, and that cell raises the error.
void clsDraft::setTable(VariantArray2D& table, const VariantArray2D& newValues)
{
    for (int i = newValues.lowerBound(1); i <= newValues.upperBound(1); ++i) {
        for (int j = newValues.lowerBound(2); j <= newValues.upperBound(2); ++j) {
            Variant& cell = table.at(i, j);
            cell = asNumber(newValues.at(i, j));
        }
    }
}

void clsDraft::setHDT(const VariantArray2D& vNewHDT) { setTable(m_HDT, vNewHDT); }
void clsDraft::setMCTCP50(const VariantArray2D& vNewMCTCP50) { setTable(m_MCTCP50, vNewMCTCP50); }
void clsDraft::setMCTCM50(const VariantArray2D& vNewMCTCM50) { setTable(m_MCTCM50, vNewMCTCM50); }

void clsDraft::NewDraft()
{
    m_SpecificGravity = emptyText();
    m_DSDate = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    m_DSTime = QTime::currentTime().toString(QStringLiteral("HH:mm"));

    for (Variant* reading : {&m_FwdPort, &m_FwdStbd, &m_MidPort, &m_MidStbd, &m_AftPort, &m_AftStbd})
        *reading = emptyText();

    for (Variant* derived : {&m_FwdMean, &m_MidMean, &m_AftMean, &m_ApparentTrim, &m_FwdCorrection,
                             &m_MidCorrection, &m_AftCorrection, &m_FwdTrueDraft, &m_MidTrueDraft,
                             &m_AftTrueDraft, &m_TrueTrim, &m_TrueMeanDraft, &m_IpFactor})
        *derived = emptyText();

    m_HDT.fill(emptyText());
    m_FinalResult.fill(emptyText());
    m_IpResult.fill(emptyText());

    m_Comments = QString();

    // Reports its own failure, so the reset always completes.
    InitDeductions();

    m_ToSave = false;
    m_HasRecord = false;
}

void clsDraft::InitDeductions()
{
    try {
        const QString sql = SqlCatalogue::emptyDeductions();
        if (m_Deductions->isOpen())
            m_Deductions->close();
        m_Deductions->open(sql, SharedConnection(), RowSet::Mode::InMemory);
    } catch (const VbError& e) {
        MessageService::sourced(e.description(), QStringLiteral("clsDraft"),
                                QStringLiteral("InitDeductions"));
    } catch (const std::exception& e) {
        MessageService::sourced(QString::fromLocal8Bit(e.what()), QStringLiteral("clsDraft"),
                                QStringLiteral("InitDeductions"));
    }
}
