#include "report/ReportDocument.h"

ReportDocument::ReportDocument(const ReportLayout& page)
    : m_page(page)
{
}

ReportDocument::ReportDocument(const ReportLayout& page, CalculationSheet sheet)
    : m_page(page)
    , m_sheet(std::move(sheet))
{
}

ReportDocument::ReportDocument(
    const ReportLayout& page, std::optional<TankSheetPages> tanks, CalculationSheet sheet)
    : m_page(page)
    , m_tanks(std::move(tanks))
    , m_sheet(std::move(sheet))
{
}

int ReportDocument::pageCount() const
{
    return 1 + (m_tanks ? m_tanks->pageCount() : 0) + (m_sheet ? m_sheet->pageCount() : 0);
}

void ReportDocument::renderPage(QPainter& painter, const QRectF& pageRect, int page) const
{
    if (page == 0) {
        m_page.render(painter, pageRect);
        return;
    }
    int at = page - 1;
    if (m_tanks) {
        if (at < m_tanks->pageCount()) {
            m_tanks->renderPage(painter, pageRect, at);
            return;
        }
        at -= m_tanks->pageCount();
    }
    if (m_sheet && at < m_sheet->pageCount())
        m_sheet->renderPage(painter, pageRect, at);
}
