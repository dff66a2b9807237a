#include "domain/common/TextParse.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace tess {
namespace {

struct IntegerCase {
    const char* name;
    std::string_view text;
    std::optional<std::int32_t> plusOrMinus;
    std::optional<std::int32_t> minusOnly;
};

class ParseInteger : public ::testing::TestWithParam<IntegerCase> { };

TEST_P(ParseInteger, AcceptsExactlyTheSignsItIsGiven)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(parseInteger(c.text), c.plusOrMinus);
    EXPECT_EQ(parseInteger(c.text, IntegerSign::PlusOrMinus), c.plusOrMinus);
    EXPECT_EQ(parseInteger(c.text, IntegerSign::MinusOnly), c.minusOnly);
}

INSTANTIATE_TEST_SUITE_P(, ParseInteger,
    ::testing::Values(IntegerCase {"Digits", "1234", 1234, 1234}, IntegerCase {"Negative", "-12", -12, -12},
        IntegerCase {"Plus", "+12", 12, std::nullopt}, IntegerCase {"LeadingZeros", "007", 7, 7},
        IntegerCase {"Int32Min", "-2147483648", INT32_MIN, INT32_MIN},
        IntegerCase {"Int32Max", "2147483647", INT32_MAX, INT32_MAX},
        IntegerCase {"AboveInt32", "2147483648", std::nullopt, std::nullopt},
        IntegerCase {"BelowInt32", "-2147483649", std::nullopt, std::nullopt},
        IntegerCase {"Empty", "", std::nullopt, std::nullopt},
        IntegerCase {"OnlyMinus", "-", std::nullopt, std::nullopt},
        IntegerCase {"OnlyPlus", "+", std::nullopt, std::nullopt},
        IntegerCase {"TwoSigns", "+-5", std::nullopt, std::nullopt},
        IntegerCase {"LeadingBlank", " 5", std::nullopt, std::nullopt},
        IntegerCase {"TrailingBlank", "5 ", std::nullopt, std::nullopt},
        IntegerCase {"Decimal", "1.5", std::nullopt, std::nullopt},
        IntegerCase {"Hexadecimal", "0x10", std::nullopt, std::nullopt},
        IntegerCase {"NineDigits", "999999999", 999999999, 999999999},
        IntegerCase {"TenDigits", "1000000000", 1000000000, 1000000000},
        IntegerCase {"MinusNineDigits", "-999999999", -999999999, -999999999}, IntegerCase {"MinusZero", "-0", 0, 0},
        IntegerCase {"NineLetters", "zzzzzzzzz", std::nullopt, std::nullopt},
        IntegerCase {"ByteAboveAscii", "1\xB5", std::nullopt, std::nullopt}),
    test::CaseName {});

struct TrimCase {
    const char* name;
    std::string_view text;
    std::string_view trimmed;
};

class TrimSpacesAndTabs : public ::testing::TestWithParam<TrimCase> { };

TEST_P(TrimSpacesAndTabs, DropsOnlySpacesAndTabsAtTheEnds)
{
    EXPECT_EQ(trimSpacesAndTabs(GetParam().text), GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(, TrimSpacesAndTabs,
    ::testing::Values(TrimCase {"BothEnds", " \t COM1 \t", "COM1"}, TrimCase {"InnerBlanksStay", " a b ", "a b"},
        TrimCase {"LineEndsStay", "\r a\n", "\r a\n"}, TrimCase {"OnlyBlanks", " \t ", ""}, TrimCase {"Empty", "", ""}),
    test::CaseName {});

} // namespace
} // namespace tess
