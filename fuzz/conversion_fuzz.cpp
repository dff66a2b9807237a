// Looks up arbitrary bytes as a conversion matrix and its group set, as an
// inverter change does. Input: byte 0 chooses the extent (0..63); the rest is
// the matrix, followed by the group set after a line "@@". The matrix's
// first two lines are never read as matrix lines, so they give the from-code
// and the to-code. A cell found lies inside the extent and under the codes
// asked for.
#include "domain/catalogue/ConversionMatrix.h"
#include "domain/tables/TableFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace tess;
using catalogue::MatrixCell;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int extent = data[0] % 64;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string_view groupBytes;
    if (const std::size_t at = rest.find("\n@@\n"); at != std::string_view::npos) {
        groupBytes = rest.substr(at + 4);
        rest = rest.substr(0, at);
    }
    tables::TableText matrix;
    matrix.assign(std::string(rest));
    tables::TableText groups;
    groups.assign(std::string(groupBytes));
    const std::string fromCode(matrix.line(0).value_or(""));
    const std::string toCode(matrix.line(1).value_or(""));

    const MatrixCell cell = catalogue::findMatrixCell(matrix, extent, fromCode, toCode);
    switch (cell.status) {
    case MatrixCell::Status::Found:
        if (cell.column < 0 || cell.column > extent || cell.columnCode != toCode)
            std::abort();
        [[fallthrough]];
    case MatrixCell::Status::NoColumn:
        if (cell.row < 0 || cell.row > extent || cell.rowCode != fromCode)
            std::abort();
        break;
    case MatrixCell::Status::NoRow:
    case MatrixCell::Status::Malformed:
        if (cell.row != -1 || cell.code)
            std::abort();
        break;
    }

    (void)catalogue::groupSetValue(groups, "[" + fromCode + "]");
    (void)catalogue::groupSetValue(groups, "[" + toCode + "]");
    return 0;
}
