#include "support/RecordingCanvas.h"

#include <cmath>

namespace tess::test {
namespace {

bool near(double a, double b)
{
    return std::fabs(a - b) < 0.01;
}

} // namespace

print::CanvasStatus RecordingCanvas::beginDocument(const std::string& jobTitle)
{
    calls.push_back("begin");
    if (failBegin)
        return print::CanvasStatus::failure("no printer");
    title = jobTitle;
    pages = 1;
    return {};
}

void RecordingCanvas::setFont(const print::FontSpec& font)
{
    calls.push_back("font");
    fonts.push_back(font);
}

void RecordingCanvas::setPen(int width)
{
    calls.push_back("pen");
    pens.push_back(width);
}

void RecordingCanvas::drawRectangle(int x1, int y1, int x2, int y2)
{
    calls.push_back("rect");
    rects.push_back(Rect {pages, x1, y1, x2, y2});
}

void RecordingCanvas::drawText(double x, double y, const std::string& text, double clipRight)
{
    calls.push_back("text");
    texts.push_back(Text {pages, x, y, text, clipRight});
}

void RecordingCanvas::drawTextRightAligned(double right, double y, const std::string& text, double clipLeft)
{
    calls.push_back("text");
    texts.push_back(Text {pages, right, y, text, clipLeft, true});
}

print::CanvasStatus RecordingCanvas::newPage()
{
    calls.push_back("newPage");
    if (failNewPageBefore && *failNewPageBefore == pages + 1)
        return print::CanvasStatus::failure("out of paper");
    ++pages;
    return {};
}

print::CanvasStatus RecordingCanvas::endDocument()
{
    calls.push_back("end");
    ended = true;
    return {};
}

void RecordingCanvas::abortDocument()
{
    calls.push_back("abort");
    aborted = true;
}

std::vector<std::string> RecordingCanvas::textsAt(int page, double x) const
{
    std::vector<std::string> found;
    for (const Text& t : texts)
        if (t.page == page && near(t.x, x))
            found.push_back(t.text);
    return found;
}

std::optional<std::string> RecordingCanvas::textAt(int page, double x, double y) const
{
    for (const Text& t : texts)
        if (t.page == page && near(t.x, x) && near(t.y, y))
            return t.text;
    return std::nullopt;
}

std::vector<RecordingCanvas::Rect> RecordingCanvas::rectsOn(int page) const
{
    std::vector<Rect> found;
    for (const Rect& r : rects)
        if (r.page == page)
            found.push_back(r);
    return found;
}

} // namespace tess::test
