#include "core/catalogue/ConversionMatrix.h"

#include <charconv>
#include <vector>

namespace tess::catalogue {
namespace {

// A decimal integer with an optional sign and nothing else.
std::optional<int> parseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

MatrixCell findMatrixCell(const tables::TableText& matrix, int extent, std::string_view fromCode, std::string_view toCode)
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
            cell.code = parseInteger(fields[field]);
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
        if (equals == std::string_view::npos || trimmed(text.substr(0, equals)) != name)
            continue;
        return parseInteger(trimmed(text.substr(equals + 1)));
    }
    return std::nullopt;
}

} // namespace tess::catalogue
