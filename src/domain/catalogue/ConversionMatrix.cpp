#include "domain/catalogue/ConversionMatrix.h"

#include "domain/common/TextParse.h"

#include <vector>

namespace tess::catalogue {
namespace {

// A result code or group value: a decimal integer, which may carry a '+'
// before its own sign ("+-5" is -5).
std::optional<int> parseCode(std::string_view text)
{
    if (text.starts_with('+'))
        text.remove_prefix(1);
    return parseInteger(text, IntegerSign::MinusOnly);
}

} // namespace

MatrixCell findMatrixCell(
    const tables::TableText& matrix, int extent, std::string_view fromCode, std::string_view toCode)
{
    MatrixCell cell;
    if (extent < 0)
        return cell;
    const auto fieldCount = static_cast<std::size_t>(extent) + 3;
    if (matrix.lineCount() < static_cast<std::size_t>(extent) + 4)
        return cell;
    const std::vector<std::string> header = tables::splitRecord(*matrix.line(2));
    if (header.size() < fieldCount)
        return cell;

    cell.status = MatrixCell::Status::NoRow;
    for (int row = 0; row <= extent; ++row) {
        const std::vector<std::string> fields = tables::splitRecord(*matrix.line(static_cast<std::size_t>(row) + 3));
        if (fields.size() < fieldCount) {
            cell.status = MatrixCell::Status::Malformed;
            return cell;
        }
        if (fields[1] != fromCode)
            continue;
        cell.status = MatrixCell::Status::NoColumn;
        cell.row = row;
        cell.rowCode = fields[1];
        for (int column = 0; column <= extent; ++column) {
            const std::size_t field = static_cast<std::size_t>(column) + 2;
            if (header[field] != toCode)
                continue;
            cell.status = MatrixCell::Status::Found;
            cell.column = column;
            cell.columnCode = header[field];
            cell.code = parseCode(fields[field]);
            break;
        }
        break;
    }
    return cell;
}

std::optional<int> groupSetValue(const tables::TableText& groups, std::string_view name)
{
    for (std::size_t i = 0; i < groups.lineCount(); ++i) {
        const std::string_view text = *groups.line(i);
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos || trimSpacesAndTabs(text.substr(0, equals)) != name)
            continue;
        return parseCode(trimSpacesAndTabs(text.substr(equals + 1)));
    }
    return std::nullopt;
}

} // namespace tess::catalogue
