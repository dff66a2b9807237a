#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "domain/datafile/DataSetFormat.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace tess {
namespace {

using datafile::readDataSet;

// " 1\r\n 0\r\n 5\r\n 23\r\n" followed by the body as given.
std::string cslWithBody(const std::string& body)
{
    return " 1\r\n 0\r\n 5\r\n 23\r\n" + body;
}

std::string valueLines(int count, int first = 1)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += "    " + std::to_string(first + i) + "\r\n";
    return out;
}

// A workspace whose document already holds a data set, so that a read shows
// exactly what it replaced and what it left.
class ReadDataSet : public ::testing::Test {
protected:
    ReadDataSet()
    {
        ws.doc.identity = InverterIdentity {3, 2, 1, 7};
        ws.doc.loadedIdentity = ws.doc.identity;
        ws.doc.values.fill(-7);
        before = ws.doc.values;
    }

    bool read(const std::string& bytes)
    {
        const std::string path = dir.file("data.csl");
        test::writeFile(path, bytes);
        return readDataSet(ws, ui, path);
    }

    test::TempDir dir;
    test::FakeUi ui;
    Workspace ws;
    ParameterSet before {};
};

TEST_F(ReadDataSet, ReplacesIdentityValuesAndLoadedCopy)
{
    ASSERT_TRUE(read(cslWithBody("--Data--\r\n" + valueLines(SlotCount))));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {1, 0, 5, 23}));
    EXPECT_EQ(ws.doc.loadedIdentity, ws.doc.identity);
    EXPECT_EQ(ws.doc.values[0], 1);
    EXPECT_EQ(ws.doc.values[SlotCount - 1], SlotCount);
}

TEST_F(ReadDataSet, KeepsLoadedCopyWhileComparing)
{
    ws.doc.state.compareMode = true;
    ASSERT_TRUE(read(cslWithBody("--Data--\r\n" + valueLines(SlotCount))));
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {1, 0, 5, 23}));
    EXPECT_EQ(ws.doc.loadedIdentity, (InverterIdentity {3, 2, 1, 7}));
}

TEST_F(ReadDataSet, MissingFileChangesNothing)
{
    ws.settings.language = Language::Japanese;
    EXPECT_FALSE(readDataSet(ws, ui, dir.file("absent.csl")));
    EXPECT_FALSE(readDataSet(ws, ui, dir.path())); // a folder
    ASSERT_EQ(ui.shownTexts(),
        (std::vector<std::string> {"ファイルをオープンできません！！\n"
                + fileReasonCause(dir.file("absent.csl"), test::missingReason(dir.file("absent.csl"))).ja,
            "ファイルをオープンできません！！\n" + fileReasonCause(dir.path(), "is a folder").ja}));
    EXPECT_EQ(ws.doc.values, before);
}

struct LayoutCase {
    const char* name;
    std::string body; // after the four identity lines
    std::vector<std::int32_t> firstValues;
    std::int32_t last;
};

class ReadLayout : public ReadDataSet, public ::testing::WithParamInterface<LayoutCase> { };

TEST_P(ReadLayout, ReadsAllValuesInOrder)
{
    ASSERT_TRUE(read(cslWithBody(GetParam().body)));
    EXPECT_TRUE(ui.messages.empty()) << ui.englishTexts().front();
    for (std::size_t i = 0; i < GetParam().firstValues.size(); ++i)
        EXPECT_EQ(ws.doc.values[i], GetParam().firstValues[i]) << "value " << i;
    EXPECT_EQ(ws.doc.values[SlotCount - 1], GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(, ReadLayout,
    ::testing::Values(LayoutCase {"WithSeparator", "--Data--\r\n" + valueLines(SlotCount), {1, 2, 3}, 665},
        // The older layout: line 5 is already the first value.
        LayoutCase {"WithoutSeparator", valueLines(SlotCount), {1, 2, 3}, 665},
        // Stricter than "starts with a minus": a negative number is a value.
        LayoutCase {"WithoutSeparatorFirstValueNegative", valueLines(SlotCount, -3), {-3, -2, -1}, 661},
        LayoutCase {"LfOnlyAndBlankLines",
            "--Data--\n\n" + std::string("1\n 2\t3\n") +
                [] {
                    std::string rest;
                    for (int v = 4; v <= SlotCount; ++v)
                        rest += std::to_string(v) + "\n";
                    return rest;
                }(),
            {1, 2, 3}, 665},
        // A value wider than 8 characters stays one value.
        LayoutCase {"WideValuesStayWhole", "--Data--\r\n-2147483648\r\n 123456789\r\n" + valueLines(SlotCount - 2, 3),
            {std::numeric_limits<std::int32_t>::min(), 123456789, 3}, 665}),
    test::CaseName {});

struct DamageCase {
    const char* name;
    std::string body; // after the four identity lines
    int valuesRead; // values that replace the old ones
    std::string english; // the message
    std::string cause; // its second line, after the file's path
};

class ReadDamaged : public ReadDataSet, public ::testing::WithParamInterface<DamageCase> { };

TEST_P(ReadDamaged, LoadsValuesBeforeTheFaultAndNamesItsLine)
{
    ASSERT_TRUE(read(cslWithBody(GetParam().body)));
    ASSERT_EQ(ui.englishTexts(),
        std::vector<std::string> {GetParam().english + "\n" + dir.file("data.csl") + GetParam().cause});
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {1, 0, 5, 23}));
    for (int i = 0; i < SlotCount; ++i)
        ASSERT_EQ(ws.doc.values[i], i < GetParam().valuesRead ? i + 1 : -7) << "value " << i;
}

const std::string kept = "\nThe values from this line on were not loaded and keep their previous settings.";
const std::string invalid
    = " of the data file holds no valid value (an integer from -2147483648 to 2147483647)." + kept;
const std::string missing = " of the data file holds no value: the file ends early." + kept;

INSTANTIATE_TEST_SUITE_P(, ReadDamaged,
    ::testing::Values(DamageCase {"TextInPlaceOfValue", "--Data--\r\n" + valueLines(9) + "abc\r\n" + valueLines(10, 11),
                          9, "Line 15" + invalid, ", line 15"},
        DamageCase {
            "DigitsFollowedByText", "--Data--\r\n" + valueLines(2) + "   12x4\r\n", 2, "Line 8" + invalid, ", line 8"},
        DamageCase {"AboveThirtyTwoBits", "--Data--\r\n" + valueLines(4) + "2147483648\r\n", 4, "Line 10" + invalid,
            ", line 10"},
        DamageCase {"BelowThirtyTwoBits", "--Data--\r\n-2147483649\r\n", 0, "Line 6" + invalid, ", line 6"},
        DamageCase {"LoneSign", "--Data--\r\n" + valueLines(1) + "  -\r\n", 1, "Line 7" + invalid, ", line 7"},
        DamageCase {"NoSeparatorButText", "Data\r\n" + valueLines(SlotCount), 0, "Line 5" + invalid, ", line 5"},
        DamageCase {"EndsAfterSomeValues", "--Data--\r\n" + valueLines(100), 100, "Line 106" + missing,
            " ends before line 106"},
        DamageCase {"EndsWithoutLineEnd", "--Data--\r\n" + valueLines(3) + "     4", 4, "Line 10" + missing,
            " ends before line 10"},
        DamageCase {"EndsAfterSeparator", "--Data--\r\n", 0, "Line 6" + missing, " ends before line 6"},
        DamageCase {"EndsAfterIdentity", "", 0, "Line 5" + missing, " ends before line 5"}),
    test::CaseName {});

TEST_F(ReadDataSet, NamesTheLineInJapanese)
{
    ws.settings.language = Language::Japanese;
    ASSERT_TRUE(read(cslWithBody("--Data--\r\n" + valueLines(2) + "x\r\n")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.shownTexts()[0].rfind("データファイルの8行目の値が読めません", 0), 0u) << ui.shownTexts()[0];
}

struct HeaderCase {
    const char* name;
    std::string bytes;
};

class ReadBadHeader : public ReadDataSet, public ::testing::WithParamInterface<HeaderCase> { };

TEST_P(ReadBadHeader, RefusesAndChangesNothing)
{
    EXPECT_FALSE(read(GetParam().bytes));
    EXPECT_EQ(ui.englishTexts(),
        std::vector<std::string> {
            std::string(text(TextId::DataFileNotConsoleData, Language::English)) + "\n" + dir.file("data.csl")});
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {3, 2, 1, 7}));
    EXPECT_EQ(ws.doc.loadedIdentity, (InverterIdentity {3, 2, 1, 7}));
    EXPECT_EQ(ws.doc.values, before);
}

INSTANTIATE_TEST_SUITE_P(, ReadBadHeader,
    ::testing::Values(HeaderCase {"Empty", ""}, HeaderCase {"Text", "Hello, world\r\n"},
        HeaderCase {"BinaryBytes", std::string("\x00\xff\x81\x40", 4)},
        HeaderCase {"ThreeNumbers", " 1\r\n 0\r\n 5\r\n"},
        HeaderCase {"SignWithoutDigits", " 1\r\n 0\r\n -\r\n 23\r\n--Data--\r\n"},
        HeaderCase {"SeparatorTooEarly", " 1\r\n 0\r\n--Data--\r\n"}),
    test::CaseName {});

TEST(ParseDataSet, TakesIdentityNumbersByFieldWidth)
{
    // The identity keeps its fixed widths: "123" is read as 12 and 3.
    const auto parsed = datafile::parseDataSet("123 4\r\n-99\r\n" + valueLines(SlotCount));
    ASSERT_EQ(parsed.status, datafile::ParseStatus::Complete);
    EXPECT_EQ(parsed.identity, (InverterIdentity {12, 3, 4, -99}));
    EXPECT_FALSE(parsed.hasSeparator);
}

} // namespace
} // namespace tess
