#include "domain/print/PrintLayout.h"

#include "domain/text/Texts.h"

#include <algorithm>
#include <cstdio>

namespace tess::print {
namespace {

PageLayout portrait(Language language)
{
    PageLayout l;
    l.lineHeight = 5;
    l.lastRowPosition = 175;
    l.rowsPerPage = 36;
    l.headerTextY = {16, 21, 26};
    l.firstRowY = 4 * l.lineHeight + 11;
    l.headerLine1 = {{8, 15, 40, 20}, {40, 15, 75, 20}, {75, 15, 97, 20}};
    l.headerLine2 = {{8, 20, 40, 25}, {40, 20, 97, 25}};
    l.line1TextX = {9, 41, 76};
    l.line2TextX = {9, 41};
    l.tableTop = 25;
    l.tableRowHeight = 5;
    l.tableRows = 37;
    if (language == Language::Japanese) {
        l.columnBounds = {8, 16, 48, 80, 89, 97};
        l.columnTextX = {9, 17, 49, 81, 90, 96};
    } else {
        l.columnBounds = {8, 17, 42, 73, 85, 97};
        l.columnTextX = {9, 18, 43, 74, 86, 92};
    }
    return l;
}

PageLayout landscape()
{
    PageLayout l;
    l.lineHeight = 6;
    l.lastRowPosition = 174;
    l.rowsPerPage = 30;
    l.headerTextY = {17, 23, 29};
    l.firstRowY = 4 * l.lineHeight + 11;
    l.headerLine1 = {{6, 16, 40, 22}, {40, 16, 75, 22}, {75, 16, 93, 22}};
    l.headerLine2 = {{6, 22, 40, 28}, {40, 22, 93, 28}};
    l.line1TextX = {7, 41, 76};
    l.line2TextX = {7, 41};
    l.tableTop = 28;
    l.tableRowHeight = 6;
    l.tableRows = 31;
    l.columnBounds = {6, 15, 48, 75, 84, 93};
    l.columnTextX = {7, 16, 49, 76, 85, 91};
    return l;
}

std::string textIn(TextId id, Language language)
{
    return std::string(text(id, language));
}

// The right edge of the frame box a text starts in: the first frame line
// to the right of the text's x.
template <typename Bounds> int boxRight(const Bounds& bounds, int x)
{
    for (const int b : bounds)
        if (b > x)
            return b;
    return LogicalWidth;
}

std::vector<int> rightEdges(const std::vector<LogicalRect>& boxes)
{
    std::vector<int> edges;
    for (const LogicalRect& r : boxes)
        edges.push_back(r.x2);
    return edges;
}

class PageWriter {
public:
    PageWriter(PrintCanvas& canvas, const PrintJob& job, const PageGeometry& page)
        : m_canvas(canvas)
        , m_job(job)
        , m_layout(pageLayout(page.orientation, job.language))
        , m_map(page)
    {
    }

    const PageLayout& layout() const { return m_layout; }

    void frame()
    {
        m_canvas.setPen(FramePenWidth);
        for (const LogicalRect& r : m_layout.headerLine1)
            rect(r);
        for (const LogicalRect& r : m_layout.headerLine2)
            rect(r);
        for (int row = 0; row < m_layout.tableRows; ++row) {
            const int top = m_layout.tableTop + row * m_layout.tableRowHeight;
            for (std::size_t c = 0; c + 1 < m_layout.columnBounds.size(); ++c)
                rect({m_layout.columnBounds[c], top, m_layout.columnBounds[c + 1], top + m_layout.tableRowHeight});
        }
    }

    void header(int pageNumber)
    {
        const Language lang = m_job.language;
        const std::vector<int> line1 = rightEdges(m_layout.headerLine1);
        const std::vector<int> line2 = rightEdges(m_layout.headerLine2);
        const int y1 = m_layout.headerTextY[0];
        const int y2 = m_layout.headerTextY[1];
        const int y3 = m_layout.headerTextY[2];
        text(m_layout.line1TextX[0], y1, textIn(TextId::PrintHeadMachine, lang) + m_job.machine, line1);
        text(m_layout.line1TextX[1], y1, textIn(TextId::PrintHeadCapVolt, lang) + m_job.capacity, line1);
        text(m_layout.line1TextX[2], y1, pageNumberText(pageNumber), line1);
        text(m_layout.line2TextX[0], y2, textIn(TextId::PrintNumberLabel, lang) + m_job.number, line2);
        text(m_layout.line2TextX[1], y2, textIn(TextId::PrintCustomerLabel, lang) + m_job.customer, line2);

        const std::array<TextId, 5> headings = m_job.compareMode
            ? std::array<TextId, 5> {TextId::PrintColArea, TextId::PrintColTitle, TextId::PrintColRange,
                TextId::PrintColValue, TextId::PrintColCompare}
            : std::array<TextId, 5> {TextId::PrintColArea, TextId::PrintColTitle, TextId::PrintColRange,
                TextId::PrintColDefault, TextId::PrintColValue};
        for (std::size_t i = 0; i < headings.size(); ++i)
            text(m_layout.columnTextX[i], y3, textIn(headings[i], lang), m_layout.columnBounds);
    }

    void row(int gridRow, int p)
    {
        static constexpr std::array<int, 5> plain {ColCode, ColName, ColRange, ColDefault, ColValue};
        static constexpr std::array<int, 6> compared {ColCode, ColName, ColRange, ColValue, ColDecimals, ColFigures};
        const int y = m_layout.firstRowY + p;
        const auto put = [&](const auto& columns) {
            for (std::size_t i = 0; i < columns.size(); ++i)
                text(m_layout.columnTextX[i], y, cellText(*m_job.grid, gridRow, columns[i]), m_layout.columnBounds);
        };
        if (m_job.compareMode)
            put(compared);
        else
            put(plain);
    }

private:
    void rect(const LogicalRect& r)
    {
        m_canvas.drawRectangle(m_map.frameX(r.x1), m_map.frameY(r.y1), m_map.frameX(r.x2), m_map.frameY(r.y2));
    }

    template <typename Bounds> void text(int x, int y, const std::string& s, const Bounds& bounds)
    {
        m_canvas.drawText(m_map.textX(x), m_map.textY(y), s, m_map.frameX(boxRight(bounds, x)));
    }

    PrintCanvas& m_canvas;
    const PrintJob& m_job;
    PageLayout m_layout;
    PageMapper m_map;
};

} // namespace

PrintOutcome abandonDocument(PrintCanvas& canvas, CanvasStatus status, int pages)
{
    canvas.abortDocument();
    return PrintOutcome {std::move(status), pages};
}

PrintOutcome endDocument(PrintCanvas& canvas, int pages)
{
    if (CanvasStatus ended = canvas.endDocument(); !ended.ok)
        return PrintOutcome {std::move(ended), pages};
    return PrintOutcome {CanvasStatus::success(), pages};
}

PageLayout pageLayout(Orientation orientation, Language language)
{
    return orientation == Orientation::Portrait ? portrait(language) : landscape();
}

PrintRangeList buildPrintRangeList(const std::array<bool, AreaCount>& checked,
    const std::array<std::uint16_t, AreaCount>& areaFirst, const std::array<std::uint16_t, AreaCount>& areaLast)
{
    PrintRangeList ranges;
    for (std::size_t a = 0; a < checked.size(); ++a)
        if (checked[a])
            ranges.push_back(PrintRange {areaFirst[a], areaLast[a]});
    return ranges;
}

int fontPixelHeight(const PageGeometry& page, const PageLayout& layout)
{
    const long long pitch = static_cast<long long>(page.height) * layout.lineHeight;
    return static_cast<int>(pitch * 45 / (100LL * LogicalHeight));
}

std::string pageNumberText(int page)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "PAGE : %4d", page);
    return buffer;
}

std::string limitChars(std::string_view text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Continuation bytes belong to the character before them.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars == maxChars)
            return std::string(text.substr(0, i));
        ++chars;
    }
    return std::string(text);
}

PrintOutcome printPages(PrintCanvas& canvas, const PrintJob& job)
{
    const PageGeometry page = canvas.page();
    if (page.width <= 0 || page.height <= 0 || !job.grid)
        return PrintOutcome {CanvasStatus::failure("The page has no printable area."), 0};

    PageWriter writer(canvas, job, page);
    const PageLayout& layout = writer.layout();

    if (CanvasStatus begun = canvas.beginDocument(textIn(TextId::ApplicationTitle, job.language)); !begun.ok)
        return PrintOutcome {std::move(begun), 0};
    canvas.setFont(FontSpec {textIn(TextId::PrintFontName, job.language), fontPixelHeight(page, layout), false, true});

    int pageNumber = 1;
    writer.frame();
    writer.header(pageNumber);

    int p = 0;
    bool pageFull = false;
    for (const PrintRange& range : job.ranges) {
        // An area whose first word lies after its last is empty; words
        // beyond the data set have no row to print.
        const int last = std::min(range.last, SlotCount - 1);
        for (int w = std::max(range.first, 0); w <= last; ++w) {
            if (pageFull) {
                if (CanvasStatus next = canvas.newPage(); !next.ok)
                    return abandonDocument(canvas, std::move(next), pageNumber);
                ++pageNumber;
                writer.frame();
                writer.header(pageNumber);
                p = 0;
                pageFull = false;
            }
            writer.row(w + 1, p);
            if (p >= layout.lastRowPosition)
                pageFull = true;
            else
                p += layout.lineHeight;
        }
    }

    return endDocument(canvas, pageNumber);
}

} // namespace tess::print
