#pragma once

#include "report/CalculationSheet.h"
#include "report/ReportLayout.h"

#include <optional>

class QPainter;

// What the surveyor prints, previews or saves: the report page, followed by the pages of the
// calculation sheet when there is one. A report page alone converts to a document of one page.
class ReportDocument {
public:
    ReportDocument(const ReportLayout& page); // NOLINT: the one-page report is a document too
    ReportDocument(const ReportLayout& page, CalculationSheet sheet);

    const ReportLayout& page() const { return m_page; }
    const std::optional<CalculationSheet>& sheet() const { return m_sheet; }
    QString windowTitle() const { return m_page.windowTitle(); }

    // The report page is page 0; the sheet's pages follow.
    int pageCount() const;
    void renderPage(QPainter& painter, const QRectF& pageRect, int page) const;

private:
    ReportLayout m_page;
    std::optional<CalculationSheet> m_sheet;
};
