#include "domain/tables/ValueFormat.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

namespace tess::tables {
namespace {

TEST(FormatMask, ZeroPlacesHasNoPoint)
{
    EXPECT_EQ(formatMask(0), "0");
    EXPECT_EQ(formatMask(2), "0.00");
    EXPECT_EQ(formatMask(-1), "0");
}

struct ScaledCase {
    const char* name;
    std::int64_t value;
    int decimals;
    const char* shown;
};

class FormatScaledValue : public ::testing::TestWithParam<ScaledCase> { };

TEST_P(FormatScaledValue, ShowsValueWithItsDecimalPlaces)
{
    EXPECT_EQ(formatScaledValue(GetParam().value, GetParam().decimals), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Values, FormatScaledValue,
    ::testing::Values(ScaledCase {"Integer", 1234, 0, "1234"}, ScaledCase {"TwoPlaces", 5000, 2, "50.00"},
        ScaledCase {"LeadingZero", 5, 2, "0.05"}, ScaledCase {"NegativeSmall", -1, 2, "-0.01"},
        ScaledCase {"UnsignedMax", 65535, 2, "655.35"}, ScaledCase {"Zero", 0, 3, "0.000"},
        // Single precision: 2^24 + 1 is not representable and shows as 2^24.
        ScaledCase {"SinglePrecision", 16777217, 0, "16777216"}),
    test::CaseName {});

// The shown text is printf's "%.*f" of the single-precision quotient, for
// every stored 16-bit word, signed or unsigned, and every number of places;
// also on both sides of 2^23, where the quotient stops being exact enough
// for the digits to be written without it.
TEST(FormatScaledValue, WritesWhatPrintfWritesForEveryWord)
{
    constexpr std::int64_t Edge = std::int64_t {1} << 23;
    const std::pair<std::int64_t, std::int64_t> ranges[] {
        {-32768, 65535}, {Edge - 3000, Edge + 3000}, {-Edge - 3000, -Edge + 3000}};
    for (int decimals = 0; decimals <= MaxDecimals; ++decimals) {
        float scale = 1.0f;
        for (int i = 0; i < decimals; ++i)
            scale *= 10.0f;
        for (const auto& [first, last] : ranges)
            for (std::int64_t value = first; value <= last; ++value) {
                char printed[64];
                std::snprintf(
                    printed, sizeof printed, "%.*f", decimals, static_cast<double>(static_cast<float>(value) / scale));
                std::string expected = printed;
                if (expected.front() == '-' && expected.find_first_not_of("-0.") == std::string::npos)
                    expected.erase(0, 1);
                ASSERT_EQ(formatScaledValue(value, decimals), expected) << value << " with " << decimals;
            }
    }
}

struct DecimalTextCase {
    const char* name;
    const char* text;
    int decimals;
    std::optional<std::string> shown;
};

class FormatDecimalText : public ::testing::TestWithParam<DecimalTextCase> { };

TEST_P(FormatDecimalText, RoundsTheDecimalDigits)
{
    EXPECT_EQ(formatDecimalText(GetParam().text, GetParam().decimals), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, FormatDecimalText,
    ::testing::Values(DecimalTextCase {"PadsZeros", "50", 2, "50.00"}, DecimalTextCase {"KeepsPlaces", "1.5", 1, "1.5"},
        DecimalTextCase {"HalfAwayFromZero", "1.25", 1, "1.3"}, DecimalTextCase {"NegativeHalf", "-1.25", 1, "-1.3"},
        DecimalTextCase {"CarryIntoWhole", "9.996", 2, "10.00"}, DecimalTextCase {"LeadingPoint", ".5", 2, "0.50"},
        DecimalTextCase {"TrailingPoint", "7.", 1, "7.0"}, DecimalTextCase {"PlusSign", "+3", 1, "3.0"},
        DecimalTextCase {"LeadingZeros", "007.10", 1, "7.1"}, DecimalTextCase {"NegativeToZero", "-0.001", 2, "0.00"},
        DecimalTextCase {"NoDigits", ".", 1, std::nullopt}, DecimalTextCase {"Empty", "", 1, std::nullopt},
        DecimalTextCase {"TwoPoints", "1.2.3", 1, std::nullopt}, DecimalTextCase {"Space", " 1", 1, std::nullopt},
        DecimalTextCase {"Letters", "1e3", 1, std::nullopt}),
    test::CaseName {});

struct ScaledIntegerCase {
    const char* name;
    const char* text;
    std::optional<std::int32_t> value;
};

class ToScaledInteger : public ::testing::TestWithParam<ScaledIntegerCase> { };

TEST_P(ToScaledInteger, DropsTheLastPoint)
{
    EXPECT_EQ(toScaledInteger(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, ToScaledInteger,
    ::testing::Values(ScaledIntegerCase {"Decimal", "12.34", 1234}, ScaledIntegerCase {"NegativeFraction", "-0.5", -5},
        ScaledIntegerCase {"Integer", "7", 7}, ScaledIntegerCase {"PointFirst", ".5", 5},
        ScaledIntegerCase {"OneDecimalInDefault", "1.5", 15}, ScaledIntegerCase {"Int32Min", "-2147483648", INT32_MIN},
        ScaledIntegerCase {"Overflow", "2147483648", std::nullopt},
        ScaledIntegerCase {"OnlyLastPointGoes", "1.2.3", std::nullopt}, ScaledIntegerCase {"Empty", "", std::nullopt},
        ScaledIntegerCase {"JustPoint", ".", std::nullopt}, ScaledIntegerCase {"Sign", "-", std::nullopt},
        ScaledIntegerCase {"Space", "1 ", std::nullopt}),
    test::CaseName {});

struct Class400Case {
    const char* name;
    int model;
    int capacity;
    int rom;
    bool class400;
};

class IsClass400V : public ::testing::TestWithParam<Class400Case> { };

TEST_P(IsClass400V, DecidesByIndex)
{
    EXPECT_EQ(isClass400V(GetParam().model, GetParam().capacity, GetParam().rom), GetParam().class400);
}

INSTANTIATE_TEST_SUITE_P(Identities, IsClass400V,
    ::testing::Values(Class400Case {"LxRtpEarlyRomFrom11", 1, 11, 5, true},
        Class400Case {"LxRtpEarlyRomBelow11", 1, 10, 18, false}, Class400Case {"LxRtpLaterRomAt11", 1, 11, 20, false},
        Class400Case {"LxRtpLaterRomAt16", 1, 16, 19, true}, Class400Case {"LxRtpRomZeroAt11", 1, 11, 0, false},
        Class400Case {"LxRtpNegativeRom", 1, 30, -1, false}, Class400Case {"QmAt16", 0, 16, 3, true},
        Class400Case {"QmAt15", 0, 15, 3, false}, Class400Case {"LastModelAt16", 11, 16, 0, true},
        Class400Case {"UnsupportedModel", 99, 30, 0, false}),
    test::CaseName {});

} // namespace
} // namespace tess::tables
