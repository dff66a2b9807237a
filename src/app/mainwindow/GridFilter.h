#pragma once

#include "domain/common/GridColumns.h"
#include "domain/common/Message.h"

#include <bitset>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

struct Document;

// What the user asked the grid to show: the search text and the filters
// beside it. The default shows every row, as the grid does without them.
struct GridFilterSettings {
    // Matched against the code and both names, whatever the language in
    // force. Words separated by blanks must each be found, in any of them.
    std::string searchText;
    bool changedOnly = false; // "Changed from default"
    bool hideReserved = false; // "Hide reserved"
    // "Differences only": has an effect only while a comparison is shown.
    bool differencesOnly = false;

    friend bool operator==(const GridFilterSettings&, const GridFilterSettings&) = default;
};

// The grid rows to show, in order, what marks each row and the counts the
// status bar shows.
struct GridFilterResult {
    std::vector<int> rows; // grid rows (slot + 1), ascending
    // By grid row: the stored value differs from the table's default.
    std::bitset<GridRowsWithTable> changed;
    // By grid row, while a comparison is shown: the two values differ.
    std::bitset<GridRowsWithTable> differs;
    // By grid row: the stored value is one its table row would not take
    // (checkDataSet): a damaged or hand-edited file.
    std::bitset<GridRowsWithTable> notAllowed;
    int shownParameters = 0; // the rows shown that hold a parameter
    // Of the whole data set, shown or not: the counts do not change while
    // the user narrows the grid.
    int changedCount = 0;
    int differenceCount = 0;
    int notAllowedCount = 0;
};

// Whether the fields pass the grid's search: every word of searchText
// (separated by blanks) is found in one of them, as the search box finds it
// (case and width folded, see filterGridRows). An empty search passes all.
bool matchesGridSearch(std::string_view searchText, std::span<const std::string_view> fields);

// The rows of the document's grid (rows 1 to its row count - 1) that pass
// the search and the filters, and the marks of every row.
//
// Changed from default: the stored value and the default shown in the
// default column, compared as numbers in the 16 bits the grid shows of a
// value (so "1.50" and 150 agree, and a default of -1 agrees with a stored
// 65535 of the same word). A row without a table default is never changed:
// a row without parameter, a row the table load did not reach and every row
// of a data set shown without its table.
//
// Reserved: a row without parameter, or one whose name is the tables'
// placeholder for an unused slot: "予備" (full or half width, possibly
// numbered) in Japanese or "Reserved"/"Reserve" in English.
//
// Search: case-insensitive for ASCII. A word matches as typed, and also with
// widths and kana folded: half-width katakana (with its sound marks) and
// hiragana count as full-width katakana, full-width letters and digits as
// ASCII, so "ﾓｰﾀ", "モータ" and "もーた" find each other.
//
// Differs: while comparing, the judgment column holds the difference marker
// the comparison wrote, so the tint, the count and the marker agree.
GridFilterResult filterGridRows(const Document& doc, const GridFilterSettings& settings);

// The position (in result.rows) of the next or previous differing row shown
// after or before `from`; from the last one on it goes round to the first
// (and back). Without a position it starts from the top (or the bottom).
// Nothing when no row shown differs.
std::optional<std::size_t> stepToDifference(
    const GridFilterResult& result, std::optional<std::size_t> from, bool forward);

// The status bar counts: "665 rows, 3 changed from default", while
// comparing followed by ", 12 differences", and when values are not what
// their table rows allow, by ", 2 outside their table rows".
Message gridCountsText(const GridFilterResult& result, bool comparing);

} // namespace tess
