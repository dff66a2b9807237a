#pragma once

#include "domain/common/Language.h"
#include "domain/tables/ConversionReport.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The conversion report as the engineer reads it: the kinds' names, the
// counts, and the .csv the window and the command line save.
namespace tess::tables {

std::string_view conversionKindText(ConversionKind kind, Language language);

// A row as the engineer reads it, in the .csv and in the window alike: code
// and name (as the new table has them, or the old one's where the new has
// no record), the kinds, code and name before, value before and after,
// default before and after, and the new range.
constexpr int ConversionColumnCount = 10;
std::string_view conversionColumnTitle(int column, Language language);
std::array<std::string, ConversionColumnCount> conversionRowFields(const ConversionRow& row, Language language);

// The kinds of a row by name, in the enum's order, joined by " / ".
std::string conversionKindsText(const ConversionRow& row, Language language);

// One line per kind that occurs ("Outside range: 3"), then "n words kept
// unchanged".
std::vector<std::string> conversionSummary(const ConversionReport& report, Language language);

// The .csv: the column titles, one line per row (code and name as the new
// table has them, or the old one's where the new has no record), a blank
// line, then the counts as "kind,n" and the unchanged line. CP932 with CR LF
// line ends, like the .csv copy of a data set.
std::string formatConversionReportCsv(const ConversionReport& report, Language language);

// The reports of several data sets in one .csv: the same, with each line led
// by the data file's name (a "File" column first).
struct NamedConversionReport {
    std::string file;
    const ConversionReport* report = nullptr;
};
std::string formatConversionReportsCsv(std::span<const NamedConversionReport> reports, Language language);

} // namespace tess::tables
