#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/grid/CellText.h"
#include "domain/print/PrintCanvas.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The printout of the parameter grid: the paged layout of the chosen areas,
// drawn on a PrintCanvas.
namespace tess::print {

// Every position on a page is given in logical units, 101 across the
// printable width and 220 down its height.
constexpr int LogicalWidth = 101;
constexpr int LogicalHeight = 220;

constexpr std::size_t NumberMaxChars = 20;
constexpr std::size_t CustomerMaxChars = 50;
constexpr int FramePenWidth = 3;

// Logical units to device pixels: integer arithmetic for frames, so that
// frame lines meet exactly, floating point for text.
class PageMapper {
public:
    explicit PageMapper(const PageGeometry& page)
        : m_width(page.width)
        , m_height(page.height)
    {
    }
    int frameX(int x) const { return static_cast<int>(static_cast<long long>(m_width) * x / LogicalWidth); }
    int frameY(int y) const { return static_cast<int>(static_cast<long long>(m_height) * y / LogicalHeight); }
    double textX(double x) const { return m_width * x / LogicalWidth; }
    double textY(double y) const { return m_height * y / LogicalHeight; }

private:
    int m_width;
    int m_height;
};

struct LogicalRect {
    int x1, y1, x2, y2;
    friend bool operator==(const LogicalRect&, const LogicalRect&) = default;
};

// One of the two page layouts (portrait and landscape); the table's columns
// also depend on the language in portrait.
struct PageLayout {
    int lineHeight = 0; // lh
    int lastRowPosition = 0; // the last p of a page
    int rowsPerPage = 0;
    std::array<int, 3> headerTextY {}; // header lines 1 and 2, column headings
    int firstRowY = 0; // 4 lh + 11: data rows at firstRowY + p

    std::vector<LogicalRect> headerLine1; // three boxes
    std::vector<LogicalRect> headerLine2; // two boxes
    std::array<int, 3> line1TextX {}; // machine, capacity, page number
    std::array<int, 2> line2TextX {}; // number, customer

    int tableTop = 0; // top of the headings row
    int tableRowHeight = 0;
    int tableRows = 0; // the headings row and the data rows
    std::array<int, 6> columnBounds {}; // x of the frame lines, left to right
    std::array<int, 6> columnTextX {}; // positions 1 to 6 (the headings use 1 to 5)
};

PageLayout pageLayout(Orientation orientation, Language language);

// One area's words as chosen for printing, first to last inclusive.
struct PrintRange {
    int first = 0;
    int last = 0;
    friend bool operator==(const PrintRange&, const PrintRange&) = default;
};
using PrintRangeList = std::vector<PrintRange>;

// The ranges of the checked areas in area order, from the area limits given.
PrintRangeList buildPrintRangeList(const std::array<bool, AreaCount>& checked,
    const std::array<std::uint16_t, AreaCount>& areaFirst, const std::array<std::uint16_t, AreaCount>& areaLast);

// Everything one print job shows.
struct PrintJob {
    Language language = Language::English;
    bool compareMode = false;
    std::string machine; // model name, a space and the control-mode name
    std::string capacity; // capacity and voltage text
    std::string number;
    std::string customer;
    PrintRangeList ranges;
    // The grid whose texts the rows show.
    std::optional<GridSource> grid;
};

struct PrintOutcome {
    CanvasStatus status;
    int pages = 0; // pages begun
};

// The text height the printout uses: 45 % of the line pitch, so that a
// row's text stays inside its frame whatever the page size and the longest
// English heading fits its column in a fixed-pitch face.
int fontPixelHeight(const PageGeometry& page, const PageLayout& layout);

// "PAGE : %4d"
std::string pageNumberText(int page);

// The text cut to at most maxChars characters (UTF-8 code points; a
// character is never split).
std::string limitChars(std::string_view text, std::size_t maxChars);

// A failure after the document began (pages of it begun) gives the job
// up.
PrintOutcome abandonDocument(PrintCanvas& canvas, CanvasStatus status, int pages);
// The end of a document of pages: a success unless the canvas fails it.
PrintOutcome endDocument(PrintCanvas& canvas, int pages);

// The job start, the pages with frame, header and rows, and the job end,
// as calls on the canvas. A failing canvas call ends the job there.
PrintOutcome printPages(PrintCanvas& canvas, const PrintJob& job);

} // namespace tess::print
