#include "gui/print/PdfFileCanvas.h"

#include "gui/common/QtText.h"

#include <QPageLayout>
#include <QPageSize>

namespace tess::gui {

void setUpReportPage(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
}

PdfFileCanvas::PdfFileCanvas(const std::string& path)
    : m_printer(QPrinter::HighResolution)
    , m_canvas(m_printer)
{
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(fromPath(path));
    setUpReportPage(m_printer);
}

print::PdfCanvasMaker pdfCanvasMaker()
{
    return [](const std::string& path) { return std::make_unique<PdfFileCanvas>(path); };
}

} // namespace tess::gui
