#pragma once

#include "domain/print/PrintCanvas.h"

#include <optional>
#include <string>
#include <vector>

namespace tess::test {

// Records every call a printout makes, page by page, so tests check
// positions and texts exactly. Failures can be scripted.
class RecordingCanvas : public print::PrintCanvas {
public:
    struct Text {
        int page;
        double x;
        double y;
        std::string text;
        double clipRight; // the clip's left edge for right-aligned text
        bool rightAligned = false; // x is where the text ends
    };
    struct Rect {
        int page;
        int x1, y1, x2, y2;
        friend bool operator==(const Rect&, const Rect&) = default;
    };

    explicit RecordingCanvas(print::PageGeometry geometry)
        : m_geometry(geometry)
    {
    }

    print::PageGeometry page() const override { return m_geometry; }
    print::CanvasStatus beginDocument(const std::string& title) override;
    void setFont(const print::FontSpec& font) override;
    void setPen(int width) override;
    void drawRectangle(int x1, int y1, int x2, int y2) override;
    void drawText(double x, double y, const std::string& text, double clipRight) override;
    void drawTextRightAligned(double right, double y, const std::string& text, double clipLeft) override;
    print::CanvasStatus newPage() override;
    print::CanvasStatus endDocument() override;
    void abortDocument() override;

    // The texts of a page at the x given (within a hundredth of a pixel),
    // top to bottom.
    std::vector<std::string> textsAt(int page, double x) const;
    // The text of a page at (x, y), if any.
    std::optional<std::string> textAt(int page, double x, double y) const;
    std::vector<Rect> rectsOn(int page) const;

    // The calls in order by kind: "begin", "font", "pen", "rect", "text",
    // "newPage", "end", "abort".
    std::vector<std::string> calls;
    std::string title;
    std::vector<print::FontSpec> fonts;
    std::vector<int> pens;
    std::vector<Rect> rects;
    std::vector<Text> texts;
    int pages = 0; // pages begun
    bool ended = false;
    bool aborted = false;

    bool failBegin = false;
    std::optional<int> failNewPageBefore; // the page number whose start fails

private:
    print::PageGeometry m_geometry;
};

} // namespace tess::test
