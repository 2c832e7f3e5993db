#pragma once

#include "report/ReportLayout.h"
#include "report/ReportOutput.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;

// Getting a filled report off the screen: onto the default printer, into a PDF file or into a
// picture. Every one of them draws the page with ReportLayout::render.
namespace ReportOutput {

// Sends the pages to the default printer without a printer dialog. With no printer installed,
// or a printer that will not take the job, the user is told so and offered a PDF file instead.
// True only when the page really went to a printer.
bool printToDefaultPrinter(const ReportDocument& document, QWidget* parent = nullptr);

// The pages as a PDF file, written as every output is (files/OutputPaths). False, with the reason
// in `error`, when the file may not or cannot be written.
bool writePdf(const ReportDocument& document, const QString& fileName, QString* error = nullptr);

// Asks for a file name and writes the PDF there; the user is told when it cannot be written.
// True when a file was written; false when it was not or the user chose no file.
bool saveAsPdf(const ReportDocument& document, QWidget* parent = nullptr);

// The PDF file name a user would choose in the save dialog (empty: cancelled). Replaced in tests
// and by the command line, which have no one to ask.
using FileNameProvider = std::function<QString(QWidget* parent, const QString& suggested)>;
void setFileNameProvider(FileNameProvider provider);

// The printer that "Print" uses: the default printer, or nullptr when none is installed.
// Replaced in tests, where there is no print system.
using PrinterProvider = std::function<std::unique_ptr<QPrinter>()>;
void setPrinterProvider(PrinterProvider provider);

}  // namespace ReportOutput

// The preview window of a report: the pages as they will print (the report page, then the
// calculation sheet's), with Print and Save as PDF, zoom and Close. It keeps its own copy of the
// filled document and its own printer, so two previews
// never disturb each other. Its object name is the layout's ("drptQuorvane"), its title the
// report's ("Loadport Draft Survey Report").
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(const ReportDocument& document, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Opens a preview window for the layout (deleted when it is closed).
    static ReportPreview* open(const ReportDocument& document, QWidget* parent = nullptr);

    const ReportLayout& layout() const { return m_document.page(); }
    const ReportDocument& document() const { return m_document; }
    QPrintPreviewWidget* previewWidget() const { return m_preview; }
    QString statusText() const;

public slots:
    bool print();
    bool savePdf();
    // Shows page `page` (from 1) of the report, the first or the last when out of range.
    void showPage(int page);

    // The size a preview opens at: the one it was last left at (a page-shaped 820 x 1000 at
    // first), never more than `available`, the screen's working area less the window frame.
    static QSize openingSize(const QSize& remembered, const QSize& available);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void paintPage(QPrinter* printer);
    void placeOnScreen();
    void restoreZoom();

    ReportDocument m_document;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* m_preview = nullptr;
    QLabel* m_status = nullptr;
};
