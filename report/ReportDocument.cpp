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

int ReportDocument::pageCount() const
{
    return 1 + (m_sheet ? m_sheet->pageCount() : 0);
}

void ReportDocument::renderPage(QPainter& painter, const QRectF& pageRect, int page) const
{
    if (page == 0)
        m_page.render(painter, pageRect);
    else if (m_sheet && page - 1 < m_sheet->pageCount())
        m_sheet->renderPage(painter, pageRect, page - 1);
}
