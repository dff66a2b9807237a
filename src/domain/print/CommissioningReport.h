#pragma once

#include "domain/common/Language.h"
#include "domain/print/PrintCanvas.h"
#include "domain/print/PrintLayout.h"

#include <optional>
#include <string>
#include <vector>

// The commissioning report: the handover document a customer signs, with the
// drive's identity, the values that differ from the table's defaults and the
// last write to the drive, laid out on A4 portrait pages of a PrintCanvas.
namespace tess::print {

// One parameter as the grid shows it, in the report's language.
struct ReportRow {
    std::string code;
    std::string name;
    std::string value;
    std::string defaultValue;
    std::string range;
};

// The rows of one data area ("Fund.", "A", ...), in word order.
struct ReportGroup {
    std::string area;
    std::vector<ReportRow> rows;
};

// The last write to this drive, as its journal or the communication log
// tells it. Texts are ready to print.
struct ReportTransaction {
    std::string time;
    std::string outcome; // done, refused words, failed, ...
    int written = 0; // words the drive took
    int planned = 0; // words the write meant to send
    std::vector<std::string> refusedCodes;
    std::string verify; // the read-back's result
};

struct CommissioningReportInput {
    Language language = Language::English;
    // Typed by the engineer.
    std::string site;
    std::string tag;
    std::string engineer;
    // From the program and the data set.
    std::string dateTime;
    std::string programVersion;
    std::string fileName;
    std::string fileSha256;
    std::string model;
    std::string controlMode;
    std::string capacity;
    std::string romVersion;

    std::vector<ReportGroup> groups;
    int changedCount = 0;
    int parameterCount = 0;
    bool allListed = false; // the groups hold every parameter, not only the changed ones
    std::optional<ReportTransaction> transaction;
};

// What one page holds: the lines of the table it carries, as indices into
// the report's groups, and whether the signatures close it.
struct ReportLine {
    int group = 0;
    int row = -1; // -1: the group's heading
    friend bool operator==(const ReportLine&, const ReportLine&) = default;
};

struct ReportPage {
    std::vector<ReportLine> lines;
    bool signatures = false;
};

// How many table lines (headings and rows) a page takes: the first one less,
// for the header block; and the room the signatures need on the last one.
struct ReportCapacity {
    int firstPageLines = 0;
    int laterPageLines = 0;
    int signatureLines = 0;
};
ReportCapacity reportCapacity(const CommissioningReportInput& input);

// The pages, laid out before anything is drawn, so that every page can say
// how many there are. A heading never ends a page without a row of its own.
std::vector<ReportPage> layOutReport(const CommissioningReportInput& input);

// "n / m"
std::string reportPageNumberText(int page, int pages);

// The part of a number left of its decimal point (the sign and the integer
// digits) and the rest (the point and the decimals), so that numbers of a
// column line up on their points. A text without a point is all whole part.
struct DecimalParts {
    std::string whole;
    std::string fraction;
    friend bool operator==(const DecimalParts&, const DecimalParts&) = default;
};
DecimalParts splitAtDecimalPoint(const std::string& number);

// The logical x where the value and default columns keep their decimal
// points.
constexpr int ReportValuePointX = 64;
constexpr int ReportDefaultPointX = 78;

// Draws the report on the canvas, which should give an A4 portrait page. A
// failing canvas call ends the job there.
PrintOutcome printCommissioningReport(PrintCanvas& canvas, const CommissioningReportInput& input);

} // namespace tess::print
