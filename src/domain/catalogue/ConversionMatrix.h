#pragma once

#include "domain/tables/TableFiles.h"

#include <optional>
#include <string>
#include <string_view>

namespace tess::catalogue {

// The cell of a conversion matrix (.rcm) for a move between two ROM version
// codes. The matrix is read as lines split by the record rule: line 2 is the
// header whose field 2 + c names column c, line 3 + r is row r whose field 1
// names the row and whose field 2 + c is its cell in column c; rows and
// columns run from 0 to the extent.
struct MatrixCell {
    enum class Status {
        Found, // the row of the from-code and in it the column of the to-code
        NoRow, // no row names the from-code
        NoColumn, // the row was found, no column names the to-code
        Malformed, // fewer lines, or fields, than the extent asks for before the row was found
    };
    Status status = Status::Malformed;
    int row = -1;
    int column = -1;
    std::string rowCode;
    std::string columnCode;
    // The cell as a decimal integer; nothing for any other text (an empty
    // cell is the usual one).
    std::optional<int> code;
};

// The first row naming fromCode and in it the first column naming toCode,
// codes compared as whole texts.
MatrixCell findMatrixCell(
    const tables::TableText& matrix, int extent, std::string_view fromCode, std::string_view toCode);

// The value of the group set line named name ("[01-A1]=3"): the first line
// whose text before its first equals sign is name, blanks around it ignored;
// nothing when there is none or its value is no decimal integer.
std::optional<int> groupSetValue(const tables::TableText& groups, std::string_view name);

} // namespace tess::catalogue
