#pragma once

#include <string>

namespace tess::print {

enum class Orientation { Portrait, Landscape };

// The printable area of one page in device pixels, as the printer setup
// left it.
struct PageGeometry {
    int width = 0;
    int height = 0;
    Orientation orientation = Orientation::Portrait;

    friend bool operator==(const PageGeometry&, const PageGeometry&) = default;
};

struct FontSpec {
    std::string family; // as the program names it; the canvas maps it to an installed face
    int pixelHeight = 0; // device pixels; 0 leaves the device's default size
    bool bold = false;
    bool fixedPitch = true;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// How a canvas operation went. `detail` is the device's own word on a
// failure, shown to the user after the program's message.
struct CanvasStatus {
    bool ok = true;
    std::string detail;

    static CanvasStatus success() { return {}; }
    static CanvasStatus failure(std::string detail) { return CanvasStatus {false, std::move(detail)}; }
};

// Where printed pages go: a printer, a PDF file, or a recording in tests.
// Drawing is in black; rectangles are outlines with the current pen and no
// fill. Positions are device pixels of the printable area, (0, 0) its top
// left corner.
class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;

    // Read before the document begins; the layout follows the orientation.
    virtual PageGeometry page() const = 0;

    // Starts the job with its title; the first page is open afterwards.
    virtual CanvasStatus beginDocument(const std::string& title) = 0;
    virtual void setFont(const FontSpec& font) = 0;
    // A solid black pen of the width in device pixels.
    virtual void setPen(int width) = 0;
    virtual void drawRectangle(int x1, int y1, int x2, int y2) = 0;
    // Text with the top left corner of its line at (x, y), cut off at
    // clipRight so that it never runs over the next frame line.
    virtual void drawText(double x, double y, const std::string& text, double clipRight) = 0;
    // Text whose line ends at x = right, its top at y, cut off at clipLeft
    // so that it never runs into the column before it.
    virtual void drawTextRightAligned(double right, double y, const std::string& text, double clipLeft) = 0;
    virtual CanvasStatus newPage() = 0;
    virtual CanvasStatus endDocument() = 0;
    // Gives up a begun job after a failure; nothing more is drawn.
    virtual void abortDocument() = 0;
};

} // namespace tess::print
