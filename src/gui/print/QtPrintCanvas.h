#pragma once

#include "domain/print/PrintCanvas.h"

#include <QPainter>
#include <QString>

class QPrinter;

namespace tess::gui {

// The printout on a QPrinter: the system printer or, with the printer's
// PDF output format, a PDF file. Positions are device pixels of the
// printable area, as the page layout computes them from the page size read here.
class QtPrintCanvas final : public print::PrintCanvas {
public:
    explicit QtPrintCanvas(QPrinter& printer);
    ~QtPrintCanvas() override;

    print::PageGeometry page() const override;
    print::CanvasStatus beginDocument(const std::string& title) override;
    void setFont(const print::FontSpec& font) override;
    void setPen(int width) override;
    void drawRectangle(int x1, int y1, int x2, int y2) override;
    void drawText(double x, double y, const std::string& text, double clipRight) override;
    void drawTextRightAligned(double right, double y, const std::string& text, double clipLeft) override;
    print::CanvasStatus newPage() override;
    print::CanvasStatus endDocument() override;
    void abortDocument() override;

private:
    // What names the device in a failure: the output file or the printer.
    std::string deviceName() const;

    QPrinter& m_printer;
    QPainter m_painter;
};

} // namespace tess::gui
