#include "domain/tables/ConversionReport.h"

#include "support/CaseName.h"
#include "support/TypedTable.h"

#include <gtest/gtest.h>

namespace tess::tables {
namespace {

using test::TypedTable;

// One record of a typed table: a parameter with its range and places.
ParameterDef& parameter(TypedTable& t, int slot, const std::string& code, const std::string& english,
    const std::string& range, int decimals, std::int64_t defaultUnits, std::int16_t signFlag = 1)
{
    ParameterDef& def = t.record(slot, code);
    def.nameEnglish = t.keep(english);
    def.nameJapanese = t.keep("和" + english);
    def.rangeText = t.keep(range);
    def.decimals = decimals;
    def.defaultUnits = defaultUnits;
    def.signFlag = signFlag;
    return def;
}

void reserved(TypedTable& t, int slot, const std::string& code)
{
    ParameterDef& def = t.record(slot, code);
    def.nameEnglish = t.keep("Reserved");
    def.nameJapanese = t.keep("予備");
    def.rangeText = t.keep("0/0");
}

TEST(ReportConversion, SameTablesAndValuesChangeNothing)
{
    TypedTable table;
    parameter(table, 0, "A-0", "Accel", "0.0/3600.0", 1, 50);
    reserved(table, 1, "A-1");
    ParameterSet values {};
    values[0] = 100;
    const ConversionReport report = reportConversion(table.table(), table.table(), values, values, 3, 3);
    EXPECT_TRUE(report.rows.empty());
    EXPECT_EQ(report.unchanged, SlotCount);
}

struct KindCase {
    const char* name;
    // Sets up slot 5 of the tables before and after and the word kept there.
    void (*make)(TypedTable& before, TypedTable& after, std::int32_t& value);
    unsigned kinds;
};

constexpr unsigned bit(ConversionKind k)
{
    return 1u << static_cast<unsigned>(k);
}

const KindCase KindCases[] = {
    {"CodeDiffers",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Accel", "0/100", 0, 10);
            parameter(a, 5, "A-6", "Accel", "0/100", 0, 10);
            v = 10;
        },
        bit(ConversionKind::Meaning)},
    {"NameDiffers",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Accel", "0/100", 0, 10);
            parameter(a, 5, "A-5", "Decel", "0/100", 0, 10);
            v = 10;
        },
        bit(ConversionKind::Meaning)},
    {"AboveNewRange",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Accel", "0.00/655.35", 2, 10);
            parameter(a, 5, "A-5", "Accel", "0.00/100.00", 2, 10);
            v = 10001;
        },
        bit(ConversionKind::OutOfRange)},
    {"AtNewRangeEdgeIsInside",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Accel", "0.00/655.35", 2, 10);
            parameter(a, 5, "A-5", "Accel", "0.00/100.00", 2, 10);
            v = 10000;
        },
        0},
    {"BelowSignedRange",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Bias", "-100/100", 0, 0, 0);
            parameter(a, 5, "A-5", "Bias", "-50/50", 0, 0, 0);
            v = 0xFF9C; // -100 as the signed word reads it
        },
        bit(ConversionKind::OutOfRange)},
    {"UnparsableRangeIsNotClaimed",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Mode", "0/1", 0, 0);
            parameter(a, 5, "A-5", "Mode", "see manual", 0, 0);
            v = 9;
        },
        0},
    {"Range400VIsTheFixedOne",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "F-0", "Voltage", "0.0/255.0", 1, 2000);
            parameter(a, 5, "F-0", "Voltage", "0.0/255.0", 1, 2000).range400V = true;
            v = 2000;
        },
        bit(ConversionKind::OutOfRange)},
    {"DecimalPlacesDiffer",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Gain", "0.0/6553.5", 1, 10);
            parameter(a, 5, "A-5", "Gain", "0.00/655.35", 2, 100);
            v = 10;
        },
        bit(ConversionKind::DecimalPlaces)},
    {"DefaultDiffers",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Accel", "0/100", 0, 10);
            parameter(a, 5, "A-5", "Accel", "0/100", 0, 20);
            v = 10;
        },
        bit(ConversionKind::DefaultDiffers)},
    {"ReservedBecomesParameter",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            reserved(b, 5, "A-5");
            parameter(a, 5, "A-5", "Boost", "0/100", 0, 10);
            v = 0;
        },
        bit(ConversionKind::NowParameter)},
    {"NewParameterOutsideItsRange",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            reserved(b, 5, "A-5");
            parameter(a, 5, "A-5", "Boost", "1/100", 0, 10);
            v = 0;
        },
        bit(ConversionKind::NowParameter) | bit(ConversionKind::OutOfRange)},
    {"NoRecordBecomesParameter",
        [](TypedTable&, TypedTable& a, std::int32_t& v) {
            parameter(a, 5, "A-5", "Boost", "0/100", 0, 10);
            v = 0;
        },
        bit(ConversionKind::NowParameter)},
    {"ParameterBecomesReserved",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            parameter(b, 5, "A-5", "Boost", "0/100", 0, 10);
            reserved(a, 5, "A-5");
            v = 10;
        },
        bit(ConversionKind::NowReserved)},
    {"ReservedInAnyWidthOrNumberStaysReserved",
        [](TypedTable& b, TypedTable& a, std::int32_t& v) {
            ParameterDef& def = b.record(5, "A-5");
            def.nameEnglish = b.keep("RESERVE 1");
            def.nameJapanese = b.keep("ﾖﾋﾞ");
            def.rangeText = b.keep("0/0");
            reserved(a, 5, "A-5");
            v = 0;
        },
        0},
};

class ConversionKinds : public ::testing::TestWithParam<KindCase> { };

TEST_P(ConversionKinds, TheRowSaysWhatChanged)
{
    TypedTable before;
    TypedTable after;
    ParameterSet values {};
    GetParam().make(before, after, values[5]);
    const ConversionReport report = reportConversion(before.table(), after.table(), values, values, 3, 3);
    if (GetParam().kinds == 0) {
        EXPECT_TRUE(report.rows.empty());
        EXPECT_EQ(report.unchanged, SlotCount);
        return;
    }
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].slot, 5);
    EXPECT_EQ(report.rows[0].kinds, GetParam().kinds);
    EXPECT_EQ(report.unchanged, SlotCount - 1);
    for (int k = 0; k < ConversionKindCount; ++k)
        EXPECT_EQ(report.counts[static_cast<std::size_t>(k)], (GetParam().kinds >> k) & 1u) << k;
}

INSTANTIATE_TEST_SUITE_P(ReportConversion, ConversionKinds, ::testing::ValuesIn(KindCases), test::CaseName {});

TEST(ReportConversion, AWordWhoseValueChangedUnderTheSameTableReadsConverted)
{
    TypedTable table;
    parameter(table, 6, "F-0", "Voltage", "0.0/6553.5", 1, 2000);
    parameter(table, 7, "S-2", "Capacity", "0/99", 0, 0).capacityWord = true;
    ParameterSet received {};
    received[6] = 340;
    ParameterSet converted = received;
    converted[6] = 680; // doubled for the 400 V class
    converted[7] = 16;
    const ConversionReport report = reportConversion(table.table(), table.table(), received, converted, 16, 16);
    ASSERT_EQ(report.rows.size(), 2u);
    EXPECT_EQ(report.rows[0].kinds, bit(ConversionKind::ValueConverted));
    EXPECT_EQ(report.rows[0].valueBefore, "34.0");
    EXPECT_EQ(report.rows[0].valueAfter, "68.0");
    EXPECT_EQ(report.rows[1].kinds, bit(ConversionKind::SetFromCapacity));
    EXPECT_EQ(report.count(ConversionKind::ValueConverted), 1);
}

TEST(ReportConversion, CapacityWordSetToTheNewIndexIsReportedWithItsTexts)
{
    TypedTable before;
    TypedTable after;
    parameter(before, 7, "S-2", "Capacity", "0/99", 0, 0).capacityWord = true;
    parameter(after, 7, "S-2", "Capacity", "0/99", 0, 0).capacityWord = true;
    parameter(before, 8, "S-3", "Gain", "0.0/10.0", 1, 5);
    parameter(after, 8, "S-3", "Gain", "0.0/10.0", 1, 15);
    ParameterSet was {};
    was[7] = 3;
    was[8] = 12;
    ParameterSet now = was;
    now[7] = 4;
    const ConversionReport report = reportConversion(before.table(), after.table(), was, now, 3, 4);
    ASSERT_EQ(report.rows.size(), 2u);
    const ConversionRow& capacity = report.rows[0];
    EXPECT_TRUE(capacity.has(ConversionKind::SetFromCapacity));
    EXPECT_EQ(capacity.valueBefore, "3");
    EXPECT_EQ(capacity.valueAfter, "4");
    EXPECT_EQ(capacity.defaultAfter, "4");
    const ConversionRow& gain = report.rows[1];
    EXPECT_EQ(gain.kinds, bit(ConversionKind::DefaultDiffers));
    EXPECT_EQ(gain.codeBefore, "S-3");
    EXPECT_EQ(gain.nameEnglishAfter, "Gain");
    EXPECT_EQ(gain.valueAfter, "1.2");
    EXPECT_EQ(gain.defaultBefore, "0.5");
    EXPECT_EQ(gain.defaultAfter, "1.5");
    EXPECT_EQ(gain.rangeAfter, "0.0/10.0");
    EXPECT_EQ(report.count(ConversionKind::SetFromCapacity), 1);
    EXPECT_EQ(report.unchanged, SlotCount - 2);
}

TEST(ReportConversion, DefaultsOfOtherPlacesButTheSameNumberAgree)
{
    TypedTable before;
    TypedTable after;
    parameter(before, 0, "A-0", "Gain", "0/100", 0, 10);
    parameter(after, 0, "A-0", "Gain", "0.0/100.0", 1, 100);
    ParameterSet values {};
    const ConversionReport report = reportConversion(before.table(), after.table(), values, values, 0, 0);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].kinds, bit(ConversionKind::DecimalPlaces));
}

struct RangeCase {
    const char* name;
    const char* text;
    int decimals;
    std::optional<UnitRange> expected;
};

const RangeCase RangeCases[] = {
    {"Plain", "0/1", 0, UnitRange {0, 1}},
    {"Signed", "-100/100", 0, UnitRange {-100, 100}},
    {"TwoPlaces", "0.00/655.35", 2, UnitRange {0, 65535}},
    {"FinerThanUnitsWidens", "0.05/9.95", 1, UnitRange {0, 100}},
    {"CoarserThanUnits", "1/2", 2, UnitRange {100, 200}},
    {"LabelAndUnit", "400V:640.0/720.0[V]", 1, UnitRange {6400, 7200}},
    {"NoSlash", "0-100", 0, std::nullopt},
    {"Words", "see manual", 0, std::nullopt},
    {"EmptySide", "/100", 0, std::nullopt},
    {"Reversed", "100/0", 0, std::nullopt},
    {"TooManyDigits", "0/12345678901234567", 0, std::nullopt},
};

class RangeTexts : public ::testing::TestWithParam<RangeCase> { };

TEST_P(RangeTexts, ParseAsUnitsOrNotAtAll)
{
    const std::optional<UnitRange> range = parseRange(GetParam().text, GetParam().decimals);
    ASSERT_EQ(range.has_value(), GetParam().expected.has_value());
    if (range) {
        EXPECT_EQ(range->low, GetParam().expected->low);
        EXPECT_EQ(range->high, GetParam().expected->high);
    }
}

INSTANTIATE_TEST_SUITE_P(ParseRange, RangeTexts, ::testing::ValuesIn(RangeCases), test::CaseName {});

} // namespace
} // namespace tess::tables
