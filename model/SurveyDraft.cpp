#include "model/SurveyDraft.h"

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/ShipRecord.h"

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
    return toNumeric(value, -1, 0);
}

}  // namespace

SurveyDraft::SurveyDraft()
    : m_ship(std::make_unique<ShipRecord>()), m_deductions(std::make_unique<RowSet>())
{
    clear();
    resetDeductions();
    m_needsSaving = false;
    m_hasRecord = false;
}

SurveyDraft::~SurveyDraft() = default;

// A reading counts as changed when its text changes: retyping 5.2 is no change, while 5.20 over
// 5.2 is a new entry and the draft must be saved again.
void SurveyDraft::setMarking(Variant& property, const Variant& newValue)
{
    if (!newValue.isNull() && !property.isNull() && newValue.toText() == property.toText())
        return;
    // Converted before anything is stored: a value that is not a number leaves the draft alone.
    property = asNumber(newValue);
    m_needsSaving = true;
}

void SurveyDraft::setMarkingText(QString& property, const QString& newText)
{
    if (newText == property)
        return;
    property = newText;
    m_needsSaving = true;
}

void SurveyDraft::setSpecificGravity(const Variant& specificGravity)
{
    setMarking(m_specificGravity, specificGravity);
}

void SurveyDraft::setFwdPort(const Variant& fwdPort) { setMarking(m_fwdPort, fwdPort); }
void SurveyDraft::setFwdStbd(const Variant& fwdStbd) { setMarking(m_fwdStbd, fwdStbd); }
void SurveyDraft::setMidPort(const Variant& midPort) { setMarking(m_midPort, midPort); }
void SurveyDraft::setMidStbd(const Variant& midStbd) { setMarking(m_midStbd, midStbd); }
void SurveyDraft::setAftPort(const Variant& aftPort) { setMarking(m_aftPort, aftPort); }
void SurveyDraft::setAftStbd(const Variant& aftStbd) { setMarking(m_aftStbd, aftStbd); }

void SurveyDraft::setComments(const QString& comments)
{
    setMarkingText(m_comments, comments);
}

void SurveyDraft::setSurveyDate(const QString& date) { setMarkingText(m_surveyDate, date); }
void SurveyDraft::setSurveyTime(const QString& time) { setMarkingText(m_surveyTime, time); }

void SurveyDraft::setAftMean(const Variant& aftMean) { m_aftMean = asNumber(aftMean); }

void SurveyDraft::setTotalDeductibles(const Variant& totalDeductibles)
{
    m_totalDeductibles = asNumber(totalDeductibles);
}

void SurveyDraft::setFwdCorrection(const Variant& fwdCorrection)
{
    m_fwdCorrection = asNumber(fwdCorrection);
}

void SurveyDraft::setMidCorrection(const Variant& midCorrection)
{
    m_midCorrection = asNumber(midCorrection);
}

void SurveyDraft::setAftCorrection(const Variant& aftCorrection)
{
    m_aftCorrection = asNumber(aftCorrection);
}

void SurveyDraft::setFwdTrueDraft(const Variant& fwdTrueDraft)
{
    m_fwdTrueDraft = asNumber(fwdTrueDraft);
}

void SurveyDraft::setMidTrueDraft(const Variant& midTrueDraft)
{
    m_midTrueDraft = asNumber(midTrueDraft);
}

void SurveyDraft::setAftTrueDraft(const Variant& aftTrueDraft)
{
    m_aftTrueDraft = asNumber(aftTrueDraft);
}

void SurveyDraft::setTrueTrim(const Variant& trueTrim) { m_trueTrim = asNumber(trueTrim); }
void SurveyDraft::setTrueMeanDraft(const Variant& trueMeanDraft)
{
    m_trueMeanDraft = asNumber(trueMeanDraft);
}

void SurveyDraft::setFwdX(const Variant& fwdX) { m_fwdX = asNumber(fwdX); }
void SurveyDraft::setMidX(const Variant& midX) { m_midX = asNumber(midX); }
void SurveyDraft::setAftX(const Variant& aftX) { m_aftX = asNumber(aftX); }
void SurveyDraft::setLbm(const Variant& lbm) { m_lbm = asNumber(lbm); }

void SurveyDraft::setShipId(const Variant& id)
{
    const qint32 shipId = asNumber(id).toInt32();
    // A failed load has told the user already; the draft simply has no ship particulars then.
    m_ship->load(shipId);
}

// Element by element, in row order, so a table wider or longer than the draft's is copied up to
// the first cell that does not fit, and that cell raises the error.
void SurveyDraft::setTable(VariantArray2D& table, const VariantArray2D& newValues)
{
    for (int i = newValues.lowerBound(1); i <= newValues.upperBound(1); ++i) {
        for (int j = newValues.lowerBound(2); j <= newValues.upperBound(2); ++j) {
            Variant& cell = table.at(i, j);
            cell = asNumber(newValues.at(i, j));
        }
    }
}

void SurveyDraft::setHdt(const VariantArray2D& hdt) { setTable(m_hdt, hdt); }
void SurveyDraft::setMctcPlus50(const VariantArray2D& mctcPlus50) { setTable(m_mctcPlus50, mctcPlus50); }
void SurveyDraft::setMctcMinus50(const VariantArray2D& mctcMinus50) { setTable(m_mctcMinus50, mctcMinus50); }

void SurveyDraft::clear()
{
    m_specificGravity = emptyText();
    m_surveyDate = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
    m_surveyTime = QTime::currentTime().toString(QStringLiteral("HH:mm"));

    for (Variant* reading : {&m_fwdPort, &m_fwdStbd, &m_midPort, &m_midStbd, &m_aftPort, &m_aftStbd})
        *reading = emptyText();

    for (Variant* derived : {&m_fwdMean, &m_midMean, &m_aftMean, &m_apparentTrim, &m_fwdCorrection,
                             &m_midCorrection, &m_aftCorrection, &m_fwdTrueDraft, &m_midTrueDraft,
                             &m_aftTrueDraft, &m_trueTrim, &m_trueMeanDraft, &m_ipFactor})
        *derived = emptyText();

    m_hdt.fill(emptyText());
    m_finalResult.fill(emptyText());
    m_ipResult.fill(emptyText());

    m_comments = QString();
    m_tankSheet.clear();
    m_readingsStart = QString();
    m_readingsEnd = QString();

    // Reports its own failure, so the reset always completes.
    resetDeductions();

    m_needsSaving = false;
    m_hasRecord = false;
}

void SurveyDraft::resetDeductions()
{
    try {
        const QString sql = SqlCatalogue::emptyDeductions();
        if (m_deductions->isOpen())
            m_deductions->close();
        m_deductions->open(sql, sharedConnection(), RowSet::Mode::InMemory);
    } catch (const VbError& e) {
        MessageService::sourced(e.description(), QStringLiteral("clsDraft"),
                                QStringLiteral("InitDeductions"));
    } catch (const std::exception& e) {
        MessageService::sourced(QString::fromLocal8Bit(e.what()), QStringLiteral("clsDraft"),
                                QStringLiteral("InitDeductions"));
    }
}
