#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The small readers every settings line, table field and command-line value
// goes through, one for each rule, so that a number or a blank means the same
// wherever it is read.
namespace tess {

// The text without the spaces and tabs at either end (settings names and
// values, group set lines, a typed port name).
std::string_view trimSpacesAndTabs(std::string_view text);

// An ASCII letter in upper case; every other byte as it is (the bytes of a
// double-byte character included, so callers fold only single-byte ones).
constexpr char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The signs an integer text may start with.
enum class IntegerSign {
    // "+12", "-12", "12": the number fields of tables and data set files.
    PlusOrMinus,
    // "-12", "12": the values the program writes itself and the command
    // line's numbers.
    MinusOnly,
};

// A decimal integer within the signed 32-bit range: a sign as `signs` allows,
// then one or more digits, and nothing else (no blanks).
std::optional<std::int32_t> parseInteger(std::string_view text, IntegerSign signs = IntegerSign::PlusOrMinus);

} // namespace tess
