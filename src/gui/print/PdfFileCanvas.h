#pragma once

#include "app/print/CommissioningReportPresenter.h"
#include "gui/print/QtPrintCanvas.h"

#include <QPrinter>

#include <string>

namespace tess::gui {

// Sets a printer up for the commissioning report: A4 portrait.
void setUpReportPage(QPrinter& printer);

// A PDF file of A4 portrait pages through Qt's PDF printer: the
// commissioning report's output. The file is complete once the document
// has ended.
class PdfFileCanvas final : public print::PrintCanvas {
public:
    explicit PdfFileCanvas(const std::string& path);

    print::PageGeometry page() const override { return m_canvas.page(); }
    print::CanvasStatus beginDocument(const std::string& title) override { return m_canvas.beginDocument(title); }
    void setFont(const print::FontSpec& font) override { m_canvas.setFont(font); }
    void setPen(int width) override { m_canvas.setPen(width); }
    void drawRectangle(int x1, int y1, int x2, int y2) override { m_canvas.drawRectangle(x1, y1, x2, y2); }
    void drawText(double x, double y, const std::string& text, double clipRight) override
    {
        m_canvas.drawText(x, y, text, clipRight);
    }
    void drawTextRightAligned(double right, double y, const std::string& text, double clipLeft) override
    {
        m_canvas.drawTextRightAligned(right, y, text, clipLeft);
    }
    print::CanvasStatus newPage() override { return m_canvas.newPage(); }
    print::CanvasStatus endDocument() override { return m_canvas.endDocument(); }
    void abortDocument() override { m_canvas.abortDocument(); }

private:
    QPrinter m_printer;
    QtPrintCanvas m_canvas;
};

// What makes a PdfFileCanvas for a path; it needs a running
// QGuiApplication for its fonts.
print::PdfCanvasMaker pdfCanvasMaker();

} // namespace tess::gui
