#include "domain/tables/ImageConversion.h"
#include "domain/text/Texts.h"
#include "support/CaseName.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace tess::tables {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

FileVersionSettings wideLimits()
{
    FileVersionSettings settings;
    for (RomLimits& limits : settings.limits)
        limits = RomLimits {500, 3};
    return settings;
}

struct IdentityCase {
    const char* name;
    const char* text;
    IdentityCheck result;
    int model;
    int rom;
    bool earlyRtp;
};

class IdentityText : public ::testing::TestWithParam<IdentityCase> { };

TEST_P(IdentityText, NamesModelAndRomVersion)
{
    const IdentityCase& c = GetParam();
    ReceivedIdentity found;
    found.romVersion = -5;
    EXPECT_EQ(checkIdentity(found, bytesOf(c.text), false, {}, wideLimits()), c.result);
    EXPECT_EQ(found.model, c.model);
    if (c.result != IdentityCheck::UnknownModel) {
        EXPECT_EQ(found.romVersion, c.rom);
    }
    EXPECT_EQ(found.earlyRtp, c.earlyRtp);
}

INSTANTIATE_TEST_SUITE_P(Prefixes, IdentityText,
    ::testing::Values(IdentityCase {"Qm71", "QM71 01-A1", IdentityCheck::Known, 0, 7, false},
        IdentityCase {"LowerCaseCountsAlike", "qm71 01-a1", IdentityCheck::Known, 0, 7, false},
        IdentityCase {"Qm71N", "QM71NC1-A1", IdentityCheck::Known, 8, 0, false},
        IdentityCase {"Qm73N", "QM73NC2-A3", IdentityCheck::Known, 9, 2, false},
        IdentityCase {"QmOtherCSeriesIsUnknown", "QM71NC3-A1", IdentityCheck::UnknownModel, -1, 0, false},
        IdentityCase {"Qm71K", "QM71KA1-A1", IdentityCheck::Known, 6, 0, false},
        IdentityCase {"Qm71Rtp", "QR71 01-B1", IdentityCheck::Known, 2, 9, false},
        IdentityCase {"Qm71KRtp", "QR71KA2-A1", IdentityCheck::Known, 10, 54, false},
        IdentityCase {"Qw", "QW73 C2-A1", IdentityCheck::Known, 9, 0, false},
        IdentityCase {"EarlyLxRtpFirstCode", "LX71R00-B0", IdentityCheck::Known, 1, 0, true},
        IdentityCase {"EarlyLxRtpKnowsOnlyFirstCode", "LX71R00-B1", IdentityCheck::UnknownRomVersion, 1, 999, true},
        IdentityCase {"Lx71", "LX71 01-A1", IdentityCheck::Known, 3, 0, false},
        IdentityCase {"Lx71K", "LX71KA1-A1", IdentityCheck::Known, 7, 0, false},
        IdentityCase {"Lx71ht", "LX71h02-A1", IdentityCheck::Known, 4, 0, false},
        IdentityCase {"Lx75Rtp", "LR75 01-A1", IdentityCheck::Known, 5, 0, false},
        IdentityCase {"Lx71KRtp", "LR71KA2-A1", IdentityCheck::Known, 11, 0, false},
        IdentityCase {"LaterLxRtp", "LR71 00-B3", IdentityCheck::Known, 1, 3, false},
        IdentityCase {"UnknownPrefix", "XY71 01-A1", IdentityCheck::UnknownModel, -1, 0, false},
        IdentityCase {"ShortBuffer", "QM", IdentityCheck::UnknownRomVersion, 0, 999, false}),
    test::CaseName {});

TEST(CheckIdentity, RomVersionAboveVerMaxIsUnknown)
{
    FileVersionSettings settings = wideLimits();
    ReceivedIdentity found;
    settings.of(LimitSection::QM71).verMax = 6;
    EXPECT_EQ(checkIdentity(found, bytesOf("QM71 01-A1"), false, {}, settings), IdentityCheck::UnknownRomVersion);
    settings.of(LimitSection::QM71).verMax = 7;
    EXPECT_EQ(checkIdentity(found, bytesOf("QM71 01-A1"), false, {}, settings), IdentityCheck::Known);
}

TEST(CheckIdentity, CompareNamesTheFirstDifference)
{
    ReceivedIdentity found;
    const auto check = [&](InverterIdentity dataSet) {
        return checkIdentity(found, bytesOf("QM71 01-A1"), true, dataSet, wideLimits());
    };
    EXPECT_EQ(check({0, 1, 5, 7}), IdentityCheck::Known);
    EXPECT_EQ(check({2, 1, 5, 8}), IdentityCheck::OtherModel);
    EXPECT_EQ(check({0, 1, 5, 8}), IdentityCheck::OtherRomVersion);
}

TEST(CheckIdentity, ForcedTransferTakesNewestVersionOfTheIdentity)
{
    FileVersionSettings settings = wideLimits();
    settings.of(LimitSection::QM73N).newVer = 11;
    settings.of(LimitSection::QM71W).newVer = 22;
    ReceivedIdentity found;
    found.forcedTransfer = true;
    EXPECT_EQ(checkIdentity(found, bytesOf("QM73NC2-Z9"), true, {9, 0, 0, 3}, settings), IdentityCheck::Known);
    EXPECT_EQ(found.romVersion, 11);
    EXPECT_EQ(checkIdentity(found, bytesOf("QM73NC2-Z9"), true, {8, 0, 0, 11}, settings), IdentityCheck::OtherModel);
    EXPECT_EQ(checkIdentity(found, bytesOf("ZZ73NC2-A1"), false, {}, settings), IdentityCheck::UnknownModel);
}

TEST(CheckModeCapacity, ReadsCodesHighByteFirst)
{
    std::vector<std::uint8_t> buffer = bytesOf("QM71 01-A1");
    buffer.insert(buffer.end(), {0x00, 0x02, 0x01, 0x10});
    ReceivedIdentity found;
    EXPECT_EQ(checkModeCapacity(found, buffer, false, {}), 0);
    EXPECT_EQ(found.controlModeCode, 2);
    EXPECT_EQ(found.capacityCode, 0x110);
    EXPECT_EQ(checkModeCapacity(found, buffer, true, {0, 2, 0x110, 0}), 0);
    EXPECT_EQ(checkModeCapacity(found, buffer, true, {0, 1, 0x111, 0}), -1);
    EXPECT_EQ(checkModeCapacity(found, buffer, true, {0, 2, 0x111, 0}), -2);
    EXPECT_EQ(found.asIdentity(), (InverterIdentity {-1, 2, 0x110, 0}));
}

// ---- image conversion

std::vector<std::uint8_t> imageOf(std::uint16_t word)
{
    std::vector<std::uint8_t> image;
    for (int i = 0; i < SlotCount; ++i) {
        image.push_back(static_cast<std::uint8_t>(word >> 8));
        image.push_back(static_cast<std::uint8_t>(word & 0xFF));
    }
    return image;
}

struct ConversionCase {
    const char* name;
    int model;
    int controlModeCode;
    int tableRom; // -1 for no table
    int foundRom;
    bool earlyRtp;
    int capacityCode;
    bool skipTable;
    int result;
    bool doubled;
};

class ConvertImage : public ::testing::TestWithParam<ConversionCase> { };

TEST_P(ConvertImage, DoublesFirstSlotOfAreaFForThe400VClass)
{
    const ConversionCase& c = GetParam();
    test::Installation inst;
    if (c.tableRom >= 0)
        inst.writeTable(c.model, c.controlModeCode, c.tableRom, test::tableBytes({{6, {100, 120}}}, {}));
    ReceivedIdentity found;
    found.model = c.model;
    found.romVersion = c.foundRom;
    found.earlyRtp = c.earlyRtp;
    found.controlModeCode = c.controlModeCode;
    found.capacityCode = c.capacityCode;
    ParameterSet values {};

    const ImageConversionResult conversion
        = convertParameterImage(found, imageOf(0x0154), c.skipTable, inst.ws.settings.applicationFolder, values);
    EXPECT_EQ(conversion.result, c.result);
    EXPECT_EQ(values[100], c.doubled ? 680 : 340);
    EXPECT_EQ(values[99], 340);
    EXPECT_EQ(values[101], 340);
    EXPECT_EQ(conversion.notice, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Identities, ConvertImage,
    ::testing::Values(ConversionCase {"Capacity16", 0, 0, 7, 7, false, 16, false, 0, true},
        ConversionCase {"Capacity15", 0, 0, 7, 7, false, 15, false, 0, false},
        ConversionCase {"OlderTableStillDoubles", 0, 0, 7, 8, false, 16, false, -3, true},
        ConversionCase {"NoTableAtAll", 0, 0, -1, 7, false, 16, false, -3, false},
        ConversionCase {"SkipTable", 0, 0, 7, 7, false, 16, true, 0, false},
        ConversionCase {"LxRtpEarlyRomFrom11", 1, 2, 5, 5, false, 11, false, 0, true},
        ConversionCase {"EarlyRtpMarkNeeds16", 1, 2, 5, 5, true, 11, false, 0, false},
        ConversionCase {"UnknownModel", -1, 0, -1, 7, false, 16, false, -3, false}),
    test::CaseName {});

TEST(ConvertImage, WordsAreSignedAndDoublingDoesNotWrap)
{
    test::Installation inst;
    inst.writeTable(0, 0, 7, test::tableBytes({{6, {0, 3}}}, {}));
    ReceivedIdentity found {.model = 0, .romVersion = 7, .capacityCode = 16};
    std::vector<std::uint8_t> image = imageOf(0xFFFE);
    image[0] = 0xC0;
    image[1] = 0x00;
    ParameterSet values {};
    ASSERT_EQ(convertParameterImage(found, image, false, inst.ws.settings.applicationFolder, values).result, 0);
    EXPECT_EQ(values[0], -32768);
    EXPECT_EQ(values[1], -2);
}

TEST(ConvertImage, ShortImageLeavesZeros)
{
    ReceivedIdentity found {.model = 0, .romVersion = 7};
    ParameterSet values;
    values.fill(9);
    const std::vector<std::uint8_t> image {0x00, 0x05, 0x01};
    EXPECT_EQ(convertParameterImage(found, image, true, "/nonexistent/", values).result, 0);
    EXPECT_EQ(values[0], 5);
    EXPECT_EQ(values[1], 256);
    EXPECT_EQ(values[2], 0);
}

#ifndef _WIN32
// A FIFO is a Linux file; the Windows file tests refuse what Windows cannot
// read in its place (a file another program holds).
TEST(ConvertImage, UnreadableTableIsToldAndLeavesEveryWordAsReceived)
{
    test::Installation inst;
    // A pipe where the table belongs: it is there, but no table can be read from it.
    const std::string table = inst.tablePath(0, 0, 7);
    std::filesystem::create_directories(std::filesystem::path(table).parent_path());
    ASSERT_EQ(::mkfifo(table.c_str(), 0600), 0);
    ReceivedIdentity found {.model = 0, .romVersion = 7, .capacityCode = 16};
    ParameterSet values {};

    const ImageConversionResult conversion
        = convertParameterImage(found, imageOf(0x0154), false, inst.ws.settings.applicationFolder, values);
    EXPECT_EQ(conversion.result, 0);
    EXPECT_EQ(conversion.notice,
        withCause(message(TextId::TableCloseCsvFiles), fileReasonCause(table, "is not a regular file")));
    EXPECT_EQ(std::count(values.begin(), values.end(), 340), SlotCount);
}
#endif

} // namespace
} // namespace tess::tables
