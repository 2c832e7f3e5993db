#include "ui/ReportPreview.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "files/OutputPaths.h"

#include <QAction>
#include <QBuffer>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

ReportOutput::FileNameProvider& fileNameProvider()
{
    static ReportOutput::FileNameProvider provider;
    return provider;
}

ReportOutput::PrinterProvider& printerProvider()
{
    static ReportOutput::PrinterProvider provider;
    return provider;
}

QString chooseFileName(QWidget* parent, const QString& suggested)
{
    if (fileNameProvider())
        return fileNameProvider()(parent, suggested);
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save Report as PDF"), suggested,
                                        QStringLiteral("PDF files (*.pdf)"));
}

std::unique_ptr<QPrinter> defaultPrinter()
{
    if (printerProvider())
        return printerProvider()();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

// A4 portrait from the paper's corner, whatever the printer's own default paper.
void setUpPage(QPrinter& printer, const ReportDocument& layout)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setDocName(layout.windowTitle());
}

QRectF paperRect(QPrinter& printer)
{
    return QRectF(QPointF(0, 0), printer.paperRect(QPrinter::DevicePixel).size());
}

// A name for the file that tells one report from another in a folder of them.
QString suggestedFileName(const ReportDocument& document)
{
    const ReportLayout& layout = document.page();
    QString base = layout.windowTitle();
    const QString ship = layout.hasCaption(QStringLiteral("lblShipName2"))
                             ? layout.caption(QStringLiteral("lblShipName2")).trimmed()
                             : QString();
    if (!ship.isEmpty())
        base += QStringLiteral(" - ") + ship;
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& ch : base)
        if (forbidden.contains(ch) || ch.unicode() < 32)
            ch = QLatin1Char('_');
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return QDir(dir).filePath(base + QStringLiteral(".pdf"));
}

bool offerPdfInstead(const ReportDocument& layout, QWidget* parent, const QString& headline)
{
    const Msg::Answer answer = MessageService::show(
        MessageService::join(headline,
                             QStringLiteral("Would you like to save the report as a PDF file instead?")),
        Msg::Buttons::YesNo, Msg::Icon::Exclamation);
    if (answer == Msg::Answer::Yes)
        ReportOutput::saveAsPdf(layout, parent);
    return false;
}

}  // namespace

namespace ReportOutput {

bool writePdf(const ReportDocument& layout, const QString& fileName, QString* error)
{
    // The page is drawn whole first; the file is only touched once there is something to put in.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly) || !writePdf(layout, &buffer)) {
        if (error)
            *error = QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    buffer.close();
    return OutputPaths::write(fileName, pdf, error);
}

void setFileNameProvider(FileNameProvider provider)
{
    fileNameProvider() = std::move(provider);
}

void setPrinterProvider(PrinterProvider provider)
{
    printerProvider() = std::move(provider);
}


bool printToDefaultPrinter(const ReportDocument& layout, QWidget* parent)
{
    std::unique_ptr<QPrinter> printer = defaultPrinter();
    if (!printer)
        return offerPdfInstead(layout, parent, QStringLiteral("No printer is installed."));
    setUpPage(*printer, layout);
    QPainter painter;
    if (!painter.begin(printer.get())) {
        const QString name = printer->printerName();
        return offerPdfInstead(layout, parent,
                               name.isEmpty()
                                   ? QStringLiteral("The printer did not accept the report.")
                                   : QStringLiteral("The printer %1 did not accept the report.").arg(name));
    }
    for (int page = 0; page < layout.pageCount(); ++page) {
        if (page > 0 && !printer->newPage())
            return offerPdfInstead(layout, parent, QStringLiteral("The report could not be printed."));
        layout.renderPage(painter, paperRect(*printer), page);
    }
    if (!painter.end())
        return offerPdfInstead(layout, parent, QStringLiteral("The report could not be printed."));
    return true;
}

bool saveAsPdf(const ReportDocument& layout, QWidget* parent)
{
    QString fileName = chooseFileName(parent, suggestedFileName(layout));
    if (fileName.isEmpty())
        return false;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");
    QString error;
    if (!writePdf(layout, fileName, &error)) {
        MessageService::show(MessageService::join(QStringLiteral("The report could not be saved."), error),
                             Msg::Buttons::Ok, Msg::Icon::Exclamation);
        return false;
    }
    return true;
}

}  // namespace ReportOutput

ReportPreview::ReportPreview(const ReportDocument& document, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(document)
{
    setObjectName(document.page().layoutName());
    setWindowTitle(document.windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);

    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    setUpPage(*m_printer, m_document);
    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setObjectName(QStringLiteral("previewPage"));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportPreview::paintPage);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbrPreview"));
    auto addAction = [&](const QString& name, const QString& text, const QKeySequence& key, auto slot) {
        QAction* a = bar->addAction(text);
        a->setObjectName(name);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    addAction(QStringLiteral("actPrint"), QStringLiteral("&Print"), QKeySequence::Print,
              [this] { print(); });
    addAction(QStringLiteral("actSavePdf"), QStringLiteral("&Save as PDF..."), QKeySequence::Save,
              [this] { savePdf(); });
    bar->addSeparator();
    addAction(QStringLiteral("actZoomIn"), QStringLiteral("Zoom &In"), QKeySequence::ZoomIn,
              [this] { m_preview->zoomIn(); });
    addAction(QStringLiteral("actZoomOut"), QStringLiteral("Zoom &Out"), QKeySequence::ZoomOut,
              [this] { m_preview->zoomOut(); });
    addAction(QStringLiteral("actFitWidth"), QStringLiteral("Fit &Width"), QKeySequence(),
              [this] { m_preview->fitToWidth(); });
    addAction(QStringLiteral("actWholePage"), QStringLiteral("Whole Pa&ge"), QKeySequence(),
              [this] { m_preview->fitInView(); });
    // The calculation sheet follows the report page: a page at a time with Page Up and Down.
    addAction(QStringLiteral("actPreviousPage"), QStringLiteral("P&revious Page"),
              QKeySequence(Qt::Key_PageUp), [this] { showPage(m_preview->currentPage() - 1); });
    addAction(QStringLiteral("actNextPage"), QStringLiteral("&Next Page"), QKeySequence(Qt::Key_PageDown),
              [this] { showPage(m_preview->currentPage() + 1); });
    bar->addSeparator();
    addAction(QStringLiteral("actClose"), QStringLiteral("&Close"), QKeySequence(Qt::Key_Escape),
              [this] { close(); });

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblPreviewStatus"));
    m_status->setContentsMargins(6, 2, 6, 2);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(bar);
    box->addWidget(m_preview, 1);
    box->addWidget(m_status);
    placeOnScreen();
    restoreZoom();
}

namespace {

const char* const kSizeKey = "Report Preview/Size";
const char* const kZoomModeKey = "Report Preview/Zoom Mode";
const char* const kZoomKey = "Report Preview/Zoom";

QSettings previewSettings()
{
    return AppPaths::settings();
}

}  // namespace

QSize ReportPreview::openingSize(const QSize& remembered, const QSize& available)
{
    QSize size = remembered.isValid() && !remembered.isEmpty() ? remembered : QSize(820, 1000);
    if (available.isValid() && !available.isEmpty())
        size = size.boundedTo(available);
    return size.expandedTo(QSize(320, 240));
}

void ReportPreview::placeOnScreen()
{
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // The frame a window manager adds (title bar, edges) comes on top of the size asked for.
    const QSize frame(16, 48);
    resize(openingSize(previewSettings().value(QLatin1String(kSizeKey)).toSize(), area.size() - frame));
    move(area.topLeft() + QPoint(std::max(0, (area.width() - width() - frame.width()) / 2),
                                 std::max(0, (area.height() - height() - frame.height()) / 2)));
}

void ReportPreview::restoreZoom()
{
    QSettings settings = previewSettings();
    const int mode = settings.value(QLatin1String(kZoomModeKey), int(QPrintPreviewWidget::FitInView)).toInt();
    const double factor = settings.value(QLatin1String(kZoomKey), 0.0).toDouble();
    if (mode == QPrintPreviewWidget::CustomZoom && factor > 0.05 && factor < 20.0)
        m_preview->setZoomFactor(factor);
    else if (mode == QPrintPreviewWidget::FitToWidth)
        m_preview->fitToWidth();
    else
        m_preview->fitInView();
}

void ReportPreview::closeEvent(QCloseEvent* event)
{
    // The surveyor's size and zoom are kept for the next report.
    QSettings settings = previewSettings();
    settings.setValue(QLatin1String(kSizeKey), size());
    settings.setValue(QLatin1String(kZoomModeKey), int(m_preview->zoomMode()));
    settings.setValue(QLatin1String(kZoomKey), m_preview->zoomFactor());
    AppPaths::keepSettingsPrivate(settings);
    QWidget::closeEvent(event);
}

ReportPreview::~ReportPreview() = default;

ReportPreview* ReportPreview::open(const ReportDocument& document, QWidget* parent)
{
    auto* preview = new ReportPreview(document, parent);
    preview->show();
    preview->raise();
    preview->activateWindow();
    return preview;
}

void ReportPreview::showPage(int page)
{
    m_preview->setCurrentPage(qBound(1, page, qMax(1, m_preview->pageCount())));
}

QString ReportPreview::statusText() const
{
    return m_status->text();
}

void ReportPreview::paintPage(QPrinter* printer)
{
    // Every page, the report's and the calculation sheet's; the preview pages through them.
    QPainter painter(printer);
    for (int page = 0; page < m_document.pageCount(); ++page) {
        if (page > 0)
            printer->newPage();
        m_document.renderPage(painter, paperRect(*printer), page);
    }
}

bool ReportPreview::print()
{
    m_status->clear();
    const bool printed = ReportOutput::printToDefaultPrinter(m_document, this);
    if (printed)
        m_status->setText(QStringLiteral("The report was sent to the printer."));
    return printed;
}

bool ReportPreview::savePdf()
{
    m_status->clear();
    const bool saved = ReportOutput::saveAsPdf(m_document, this);
    if (saved)
        m_status->setText(QStringLiteral("The report was saved as a PDF file."));
    return saved;
}
