#pragma once

#include "core/Variant.h"
#include "report/ReportLayout.h"

#include <QString>
#include <optional>

class clsDraft;
class clsShip;
class QWidget;
class RowSet;

// What the survey report reads of a survey window: the header fields, the indicators that tell
// whether a draft was calculated, the two drafts and the ship's particulars. The survey windows
// answer through SurveyWindow's accessors; tests and the command line may answer themselves.
class ReportSource {
public:
    virtual ~ReportSource() = default;

    virtual bool isDischarging() const = 0;
    virtual QString shipText() const = 0;  // dcbShip as shown
    virtual QString portText() const = 0;  // dcbPort as shown
    virtual Variant portId() const = 0;    // the chosen port's PortID; Empty when none
    virtual QString fwdXText() const = 0;
    virtual QString aftXText() const = 0;
    virtual QString lbpText() const = 0;
    virtual QString voyageIdText() const = 0;
    virtual QString cargoText() const = 0;
    // The signs that the Initial draft was calculated: the loading window's constant box, the
    // discharging window's net displacement cell (9, 1) of fgrdFinalResult.
    virtual QString constantText() const = 0;
    virtual QString finalResultText(int row, int column) const = 0;
    // The Total Cargo box (loaded or discharged) and the initial net displacement of the Final tab.
    virtual QString cargoResultText() const = 0;
    virtual QString initialNetDisplacementText() const = 0;
    virtual QString currentTabCaption() const = 0;
    // The window's inputs into the Initial (0) or Final (1) draft.
    virtual void CopyFormToDraft(int index) = 0;
    virtual clsDraft& initialDraft() const = 0;
    virtual clsDraft& finalDraft() const = 0;
    virtual clsShip& shipRecord() const = 0;
    virtual RowSet& portList() const = 0;
    // Where the preview window and the message boxes belong.
    virtual QWidget* window() const { return nullptr; }
};

namespace ReportFiller {

// The report layout of the window, filled as far as the survey allows: the ship and voyage,
// the Initial column when the Initial draft was calculated, the Final column, constant and cargo
// when the Final draft was. Nothing, after telling the user, when the survey cannot be reported
// (no ship, no port, the user declines an incomplete Initial draft, nothing calculated) or
// when filling failed (the failure is reported twice, as every report failure is).
std::optional<ReportLayout> Fill(ReportSource& source, bool blnShowPreview);

// The whole Print / Print Preview command: fills a fresh copy of the layout and shows it in its
// preview window or sends it to the default printer.
void RPrint(ReportSource& source, bool blnShowPreview = true);

// A survey window answers through its own accessors of the same names.
template <class Window>
class WindowReportSource final : public ReportSource {
public:
    explicit WindowReportSource(Window& w) : m_w(w) {}
    bool isDischarging() const override { return m_w.isDischarging(); }
    QString shipText() const override { return m_w.shipText(); }
    QString portText() const override { return m_w.portText(); }
    Variant portId() const override { return m_w.portId(); }
    QString fwdXText() const override { return m_w.fwdXText(); }
    QString aftXText() const override { return m_w.aftXText(); }
    QString lbpText() const override { return m_w.lbpText(); }
    QString voyageIdText() const override { return m_w.voyageIdText(); }
    QString cargoText() const override { return m_w.cargoText(); }
    QString constantText() const override { return m_w.constantText(); }
    QString finalResultText(int row, int column) const override { return m_w.finalResultText(row, column); }
    QString cargoResultText() const override { return m_w.cargoResultText(); }
    QString initialNetDisplacementText() const override { return m_w.initialNetDisplacementText(); }
    QString currentTabCaption() const override { return m_w.currentTabCaption(); }
    void CopyFormToDraft(int index) override { m_w.CopyFormToDraft(index); }
    clsDraft& initialDraft() const override { return m_w.initialDraft(); }
    clsDraft& finalDraft() const override { return m_w.finalDraft(); }
    clsShip& shipRecord() const override { return m_w.shipRecord(); }
    RowSet& portList() const override { return m_w.portList(); }
    QWidget* window() const override { return &m_w; }

private:
    Window& m_w;
};

template <class Window>
void RPrintWindow(Window& window, bool blnShowPreview = true)
{
    WindowReportSource<Window> source(window);
    RPrint(source, blnShowPreview);
}

// The caption texts of one draft's column, worked out from the draft alone ("lblInit" or
// "lblFin" before each stem). Throws VbError on a draft that holds no figures where the
// report needs them.
void fillDraftColumn(ReportLayout& layout, const QString& prefix, clsDraft& draft);

// The hull deflection caption of a draft: "Sag 12.5 cm", "Hog 3 cm", or nothing when the hull
// is neither hogged nor sagged.
std::optional<QString> deflectionText(const Variant& fwdMean, const Variant& midMean,
                                      const Variant& aftMean);

}  // namespace ReportFiller
