#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tess::cli {

// Columns a UTF-8 text takes on a terminal: full-width characters (kanji,
// kana, full-width forms) count 2, half-width katakana and everything else
// 1. A byte that starts no valid character counts 1.
int displayWidth(std::string_view utf8);

// The longest front of a UTF-8 text, in whole characters, that takes at most
// columns on a terminal.
std::string cutToWidth(std::string_view utf8, int columns);

using TextRow = std::vector<std::string>;

// The rows as a table for the eye: each column padded to its widest cell by
// display width, two spaces between columns, no padding after the last.
void writeAligned(std::ostream& out, const std::vector<TextRow>& rows);

// The rows for other programs: cells joined by tabs, one line per row. A tab
// or line end inside a cell becomes a space, so a row is always one line of
// the same number of fields.
void writeTabSeparated(std::ostream& out, const std::vector<TextRow>& rows);

} // namespace tess::cli
