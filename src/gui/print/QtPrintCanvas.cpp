#include "gui/print/QtPrintCanvas.h"

#include "gui/common/Fonts.h"
#include "gui/common/QtText.h"

#include <QPrinter>

namespace tess::gui {

QtPrintCanvas::QtPrintCanvas(QPrinter& printer)
    : m_printer(printer)
{
}

QtPrintCanvas::~QtPrintCanvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

print::PageGeometry QtPrintCanvas::page() const
{
    const QPageLayout layout = m_printer.pageLayout();
    const QRect paint = layout.paintRectPixels(m_printer.resolution());
    return print::PageGeometry {paint.width(), paint.height(),
        layout.orientation() == QPageLayout::Landscape ? print::Orientation::Landscape : print::Orientation::Portrait};
}

std::string QtPrintCanvas::deviceName() const
{
    if (m_printer.outputFormat() == QPrinter::PdfFormat || !m_printer.outputFileName().isEmpty())
        return toPath(m_printer.outputFileName());
    return toUtf8(m_printer.printerName());
}

print::CanvasStatus QtPrintCanvas::beginDocument(const std::string& title)
{
    m_printer.setDocName(fromUtf8(title));
    if (!m_painter.begin(&m_printer))
        return print::CanvasStatus::failure(deviceName());
    m_painter.setBrush(Qt::NoBrush);
    return print::CanvasStatus::success();
}

void QtPrintCanvas::setFont(const print::FontSpec& wanted)
{
    QFont font(printFontFamily(fromUtf8(wanted.family)));
    if (wanted.pixelHeight > 0)
        font.setPixelSize(wanted.pixelHeight);
    font.setBold(wanted.bold);
    font.setFixedPitch(wanted.fixedPitch);
    if (wanted.fixedPitch)
        font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    m_painter.setFont(font);
}

void QtPrintCanvas::setPen(int width)
{
    m_painter.setPen(QPen(Qt::black, width, Qt::SolidLine));
    m_painter.setBrush(Qt::NoBrush);
}

void QtPrintCanvas::drawRectangle(int x1, int y1, int x2, int y2)
{
    m_painter.drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
}

void QtPrintCanvas::drawText(double x, double y, const std::string& text, double clipRight)
{
    if (clipRight <= x || text.empty())
        return;
    const qreal lineHeight = m_painter.fontMetrics().height();
    // Drawing into a rectangle cuts the text off at its right edge.
    m_painter.drawText(
        QRectF(x, y, clipRight - x, lineHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, fromUtf8(text));
}

void QtPrintCanvas::drawTextRightAligned(double right, double y, const std::string& text, double clipLeft)
{
    if (right <= clipLeft || text.empty())
        return;
    const qreal lineHeight = m_painter.fontMetrics().height();
    m_painter.drawText(QRectF(clipLeft, y, right - clipLeft, lineHeight),
        Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, fromUtf8(text));
}

print::CanvasStatus QtPrintCanvas::newPage()
{
    if (!m_printer.newPage())
        return print::CanvasStatus::failure(deviceName());
    return print::CanvasStatus::success();
}

print::CanvasStatus QtPrintCanvas::endDocument()
{
    const bool ended = m_painter.end();
    if (!ended || m_printer.printerState() == QPrinter::Error)
        return print::CanvasStatus::failure(deviceName());
    return print::CanvasStatus::success();
}

void QtPrintCanvas::abortDocument()
{
    m_printer.abort();
    if (m_painter.isActive())
        m_painter.end();
}

} // namespace tess::gui
