#pragma once

#include "report/CalculationSheet.h"
#include "report/ReportLayout.h"
#include "report/TankSheetPages.h"

#include <optional>

class QPainter;

// What the surveyor prints, previews or saves: the report page, followed by the tank sheet when the
// deductibles were worked out from soundings, then the pages of the calculation sheet when there
// is one. A report page alone converts to a document of one page.
class ReportDocument {
public:
    ReportDocument(const ReportLayout& page); // NOLINT: the one-page report is a document too
    ReportDocument(const ReportLayout& page, CalculationSheet sheet);
    ReportDocument(const ReportLayout& page, std::optional<TankSheetPages> tanks, CalculationSheet sheet);

    const ReportLayout& page() const { return m_page; }
    const std::optional<CalculationSheet>& sheet() const { return m_sheet; }
    const std::optional<TankSheetPages>& tanks() const { return m_tanks; }
    QString windowTitle() const { return m_page.windowTitle(); }

    // The report page is page 0; the tank sheet's pages follow, then the calculation sheet's.
    int pageCount() const;
    void renderPage(QPainter& painter, const QRectF& pageRect, int page) const;

private:
    ReportLayout m_page;
    std::optional<TankSheetPages> m_tanks;
    std::optional<CalculationSheet> m_sheet;
};
