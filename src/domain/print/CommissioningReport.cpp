#include "domain/print/CommissioningReport.h"

#include "domain/text/Texts.h"

#include <algorithm>
#include <array>

namespace tess::print {
namespace {

// The page in logical units (101 across, 220 down, as the printout), A4
// portrait. Every text line takes one pitch.
constexpr int Pitch = 5;
constexpr int LeftX = 8;
constexpr int RightX = 97;
constexpr int TitleY = 6;
constexpr int HeaderTopY = 14; // the first line of the header block on page 1
constexpr int HeaderValueX = 36;
constexpr int HeaderLines = 10;
constexpr int TransactionLines = 3;
constexpr int LaterTableTopY = 14; // the column headings on pages after the first
constexpr int LastLineY = 200; // no table line starts below
constexpr int FooterY = 208;
constexpr int SignatureLines = 5; // a blank line, then two pairs of label and line

// The table's columns.
constexpr int CodeX = LeftX;
constexpr int NameX = 18;
constexpr int ValueLeftX = 53; // the value column's left edge
constexpr int DefaultLeftX = 68;
constexpr int RangeX = 82;

std::string textIn(TextId id, Language language)
{
    return std::string(text(id, language));
}

constexpr int CountLineY = HeaderTopY + HeaderLines * Pitch;

// The column headings' line on page 1: below the header block, the count and
// the transaction.
int firstTableTopY(const CommissioningReportInput& input)
{
    const int transaction = input.transaction ? TransactionLines * Pitch : 0;
    return CountLineY + Pitch + transaction + Pitch / 2;
}

int linesFrom(int tableTopY)
{
    // Rows start one pitch below the headings and go on to LastLineY.
    return (LastLineY - (tableTopY + Pitch)) / Pitch + 1;
}

class ReportWriter {
public:
    ReportWriter(PrintCanvas& canvas, const CommissioningReportInput& input, const PageGeometry& page)
        : m_canvas(canvas)
        , m_in(input)
        , m_map(page)
        , m_textHeight(fontPixelHeight(page, pageLayout(Orientation::Portrait, input.language)))
        , m_linePen(std::max(1, page.height / 1000))
    {
    }

    void normalFont() { m_canvas.setFont(FontSpec {fontName(), m_textHeight, false, true}); }
    void boldFont(int scalePercent)
    {
        m_canvas.setFont(FontSpec {fontName(), m_textHeight * scalePercent / 100, true, true});
    }

    void title(int pageNumber, int pages)
    {
        boldFont(160);
        text(LeftX, TitleY, textIn(TextId::ReportTitle, m_in.language), RightX);
        normalFont();
        if (pageNumber > 1 && !m_in.tag.empty())
            textRight(RightX, TitleY + 1, m_in.tag, 60);
        textRight(RightX, FooterY, reportPageNumberText(pageNumber, pages), LeftX);
    }

    void headerBlock()
    {
        const Language lang = m_in.language;
        const std::array<std::pair<TextId, std::string>, HeaderLines> lines {{
            {TextId::ReportSite, m_in.site},
            {TextId::ReportTag, m_in.tag},
            {TextId::ReportEngineer, m_in.engineer},
            {TextId::ReportDateTime, m_in.dateTime},
            {TextId::ReportProgram, m_in.programVersion},
            {TextId::ReportFile, m_in.fileName},
            {TextId::ReportSha256, m_in.fileSha256},
            {TextId::ReportModel, m_in.model + " " + m_in.controlMode},
            {TextId::ReportCapacity, m_in.capacity},
            {TextId::ReportRomVersion, m_in.romVersion},
        }};
        int y = HeaderTopY;
        for (const auto& [label, value] : lines) {
            text(LeftX, y, textIn(label, lang), HeaderValueX);
            text(HeaderValueX, y, value, LogicalWidth);
            y += Pitch;
        }

        const std::string changed = std::to_string(m_in.changedCount);
        const std::string all = std::to_string(m_in.parameterCount);
        const Message count = m_in.allListed ? message(TextId::ReportAllListed, changed, all)
                                             : message(TextId::ReportChangedCount, changed, all);
        y = CountLineY;
        boldFont(100);
        text(LeftX, y, count.in(lang), RightX);
        normalFont();

        if (const auto& t = m_in.transaction) {
            y += Pitch;
            text(LeftX, y, message(TextId::ReportTransaction, t->time, t->outcome).in(lang), LogicalWidth);
            y += Pitch;
            text(LeftX + 2, y,
                message(
                    TextId::ReportTransactionCounts, std::to_string(t->written), std::to_string(t->planned), t->verify)
                    .in(lang),
                LogicalWidth);
            y += Pitch;
            std::string refused;
            for (const std::string& code : t->refusedCodes)
                refused += (refused.empty() ? "" : ", ") + code;
            if (refused.empty())
                refused = textIn(TextId::ReportRefusedNone, lang);
            text(LeftX + 2, y, message(TextId::ReportRefusedWords, refused).in(lang), LogicalWidth);
        }
    }

    void columnHeadings(int y)
    {
        const Language lang = m_in.language;
        boldFont(100);
        text(CodeX, y, textIn(TextId::ReportColCode, lang), NameX);
        text(NameX, y, textIn(TextId::ReportColName, lang), ValueLeftX);
        textRight(DefaultLeftX - 1, y, textIn(TextId::ReportColValue, lang), ValueLeftX);
        textRight(RangeX - 1, y, textIn(TextId::ReportColDefault, lang), DefaultLeftX);
        text(RangeX, y, textIn(TextId::ReportColRange, lang), LogicalWidth);
        normalFont();
        rule(y + Pitch - 1);
    }

    void line(const ReportLine& l, int y)
    {
        const ReportGroup& group = m_in.groups[static_cast<std::size_t>(l.group)];
        if (l.row < 0) {
            boldFont(100);
            text(CodeX, y, message(TextId::ReportAreaHeading, group.area).in(m_in.language), RightX);
            normalFont();
            return;
        }
        const ReportRow& row = group.rows[static_cast<std::size_t>(l.row)];
        text(CodeX + 1, y, row.code, NameX);
        text(NameX, y, row.name, ValueLeftX);
        number(ReportValuePointX, y, row.value, ValueLeftX, DefaultLeftX);
        number(ReportDefaultPointX, y, row.defaultValue, DefaultLeftX, RangeX);
        text(RangeX, y, row.range, LogicalWidth);
    }

    void noneChanged(int y) { text(CodeX + 1, y, textIn(TextId::ReportNoneChanged, m_in.language), RightX); }

    void signatures(int y)
    {
        const Language lang = m_in.language;
        y += Pitch;
        for (const TextId who : {TextId::ReportSignEngineer, TextId::ReportSignCustomer}) {
            y += Pitch;
            text(LeftX, y, textIn(who, lang), 34);
            text(66, y, textIn(TextId::ReportSignDate, lang), 74);
            m_canvas.setPen(m_linePen);
            const int lineY = y + Pitch - 1;
            m_canvas.drawRectangle(m_map.frameX(34), m_map.frameY(lineY), m_map.frameX(64), m_map.frameY(lineY));
            m_canvas.drawRectangle(m_map.frameX(74), m_map.frameY(lineY), m_map.frameX(RightX), m_map.frameY(lineY));
            y += Pitch;
        }
    }

private:
    std::string fontName() const { return textIn(TextId::PrintFontName, m_in.language); }

    void text(int x, int y, const std::string& s, int clipRight)
    {
        m_canvas.drawText(m_map.textX(x), m_map.textY(y), s, m_map.textX(clipRight));
    }

    void textRight(int right, int y, const std::string& s, int clipLeft)
    {
        m_canvas.drawTextRightAligned(m_map.textX(right), m_map.textY(y), s, m_map.textX(clipLeft));
    }

    // The whole part ends at the point, the decimals start there.
    void number(int pointX, int y, const std::string& s, int clipLeft, int clipRight)
    {
        const DecimalParts parts = splitAtDecimalPoint(s);
        if (!parts.whole.empty())
            textRight(pointX, y, parts.whole, clipLeft);
        if (!parts.fraction.empty())
            text(pointX, y, parts.fraction, clipRight - 1);
    }

    void rule(int y)
    {
        m_canvas.setPen(std::max(1, m_linePen / 2));
        m_canvas.drawRectangle(m_map.frameX(LeftX), m_map.frameY(y), m_map.frameX(RightX), m_map.frameY(y));
    }

    PrintCanvas& m_canvas;
    const CommissioningReportInput& m_in;
    PageMapper m_map;
    int m_textHeight;
    // About a quarter of a millimetre on A4, whatever the resolution.
    int m_linePen;
};

} // namespace

ReportCapacity reportCapacity(const CommissioningReportInput& input)
{
    return ReportCapacity {linesFrom(firstTableTopY(input)), linesFrom(LaterTableTopY), SignatureLines};
}

std::vector<ReportPage> layOutReport(const CommissioningReportInput& input)
{
    const ReportCapacity capacity = reportCapacity(input);
    std::vector<ReportPage> pages(1);
    int room = capacity.firstPageLines;
    const auto place = [&](const ReportLine& line, int needs) {
        if (room < needs) {
            pages.emplace_back();
            room = capacity.laterPageLines;
        }
        pages.back().lines.push_back(line);
        --room;
    };
    for (std::size_t g = 0; g < input.groups.size(); ++g) {
        const ReportGroup& group = input.groups[g];
        if (group.rows.empty())
            continue;
        const int index = static_cast<int>(g);
        place(ReportLine {index, -1}, 2);
        for (std::size_t r = 0; r < group.rows.size(); ++r)
            place(ReportLine {index, static_cast<int>(r)}, 1);
    }
    // Without any row, the page says so on its first line.
    if (pages.size() == 1 && pages.front().lines.empty())
        --room;
    if (room < capacity.signatureLines) {
        pages.emplace_back();
        room = capacity.laterPageLines;
    }
    pages.back().signatures = true;
    return pages;
}

std::string reportPageNumberText(int page, int pages)
{
    return std::to_string(page) + " / " + std::to_string(pages);
}

DecimalParts splitAtDecimalPoint(const std::string& number)
{
    const std::size_t point = number.find('.');
    if (point == std::string::npos)
        return DecimalParts {number, {}};
    return DecimalParts {number.substr(0, point), number.substr(point)};
}

PrintOutcome printCommissioningReport(PrintCanvas& canvas, const CommissioningReportInput& input)
{
    const PageGeometry page = canvas.page();
    if (page.width <= 0 || page.height <= 0)
        return PrintOutcome {CanvasStatus::failure("The page has no printable area."), 0};

    const std::vector<ReportPage> pages = layOutReport(input);
    const int pageCount = static_cast<int>(pages.size());
    if (CanvasStatus begun = canvas.beginDocument(textIn(TextId::ReportTitle, input.language)); !begun.ok)
        return PrintOutcome {std::move(begun), 0};

    ReportWriter writer(canvas, input, page);
    for (int n = 1; n <= pageCount; ++n) {
        if (n > 1)
            if (CanvasStatus next = canvas.newPage(); !next.ok)
                return abandonDocument(canvas, std::move(next), n - 1);
        const ReportPage& content = pages[static_cast<std::size_t>(n - 1)];
        writer.title(n, pageCount);
        int y = LaterTableTopY;
        if (n == 1) {
            writer.headerBlock();
            y = firstTableTopY(input);
        }
        writer.columnHeadings(y);
        y += Pitch;
        if (n == 1 && content.lines.empty()) {
            writer.noneChanged(y);
            y += Pitch;
        }
        for (const ReportLine& line : content.lines) {
            writer.line(line, y);
            y += Pitch;
        }
        if (content.signatures)
            writer.signatures(y);
    }

    return endDocument(canvas, pageCount);
}

} // namespace tess::print
