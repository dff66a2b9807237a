#include "domain/catalogue/ModelCatalogue.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace tess::catalogue {
namespace {

TEST(ModelCatalogue, ModelNamesFollowTheFixedOrder)
{
    const std::vector<std::string_view> names {"QM71", "LX71RTP", "QM71RTP", "LX71", "LX71ht", "LX75RTP", "QM71K",
        "LX71K", "QM71N", "QM73N", "QM71KRTP", "LX71KRTP"};
    for (int i = 0; i < ModelCount; ++i) {
        const std::optional<Model> model = modelOf(i);
        ASSERT_TRUE(model) << i;
        EXPECT_EQ(indexOf(*model), i);
        EXPECT_EQ(modelName(*model), names[static_cast<std::size_t>(i)]) << i;
    }
}

struct StoredIndexCase {
    const char* name;
    int index;
    std::optional<Model> model;
};

class StoredModelIndex : public ::testing::TestWithParam<StoredIndexCase> { };

TEST_P(StoredModelIndex, NamesACatalogueModelOnlyWithinTheCatalogue)
{
    EXPECT_EQ(modelOf(GetParam().index), GetParam().model);
}

INSTANTIATE_TEST_SUITE_P(, StoredModelIndex,
    ::testing::Values(StoredIndexCase {"First", 0, Model::QM71}, StoredIndexCase {"Last", 11, Model::LX71KRTP},
        StoredIndexCase {"Negative", -1, std::nullopt}, StoredIndexCase {"PastTheEnd", ModelCount, std::nullopt},
        StoredIndexCase {"Unsupported", UnsupportedModel, std::nullopt}),
    test::CaseName {});

TEST(ModelCatalogue, ControlModeNamesComeFromTheModelsFamilyInTheLanguage)
{
    EXPECT_EQ(controlModeName(Model::QM71N, 2, Language::English), "V/F");
    EXPECT_EQ(controlModeName(Model::QM71, 0, Language::Japanese), "センサレス");
    EXPECT_EQ(controlModeName(Model::LX71KRTP, 2, Language::Japanese), "Ｐモード");
    EXPECT_EQ(controlModeName(Model::LX71, 1, Language::English), "V Mode");
    EXPECT_EQ(controlModeName(Model::LX71, 3, Language::English), "");
}

// ---- ROM version lists

struct RomListCase {
    const char* name;
    Model model;
    std::size_t length;
    std::vector<std::pair<int, std::string_view>> entries; // run boundaries
};

class RomVersionLists : public ::testing::TestWithParam<RomListCase> { };

TEST_P(RomVersionLists, HaveTheirLengthAndRunBoundaries)
{
    const auto& c = GetParam();
    const auto& list = romVersionList(c.model);
    ASSERT_EQ(list.size(), c.length);
    for (const auto& [index, code] : c.entries)
        EXPECT_EQ(romVersionText(c.model, index), code) << "index " << index;
    EXPECT_FALSE(romVersionText(c.model, static_cast<int>(c.length)));
    EXPECT_FALSE(romVersionText(c.model, -1));
}

TEST_P(RomVersionLists, HoldDistinctFiveCharacterCodes)
{
    const auto& list = romVersionList(GetParam().model);
    std::set<std::string> seen;
    for (const auto& code : list) {
        ASSERT_EQ(code.size(), 5u) << code;
        EXPECT_EQ(code[2], '-') << code;
        EXPECT_TRUE(code[3] >= 'A' && code[3] <= 'F') << code;
        EXPECT_TRUE(seen.insert(code).second) << "duplicate " << code;
    }
}

INSTANTIATE_TEST_SUITE_P(, RomVersionLists,
    ::testing::Values(
        RomListCase {"QM71", Model::QM71, 394,
            {{0, "00-A8"}, {1, "00-A9"}, {2, "00-B1"}, {3, "00-C1"}, {6, "00-C4"}, {7, "01-A1"}, {15, "01-A9"},
                {60, "02-C9"}, {61, "71-A1"}, {70, "72-A1"}, {97, "61-A1"}, {124, "62-A1"}, {142, "21-B1"},
                {196, "21-C1"}, {322, "24-A1"}, {384, "25-A9"}, {385, "25-B1"}, {393, "25-B9"}}},
        RomListCase {"LX71RTP", Model::LX71RTP, 154,
            {{0, "00-B0"}, {9, "00-B9"}, {10, "00-C1"}, {18, "00-C9"}, {19, "02-A1"}, {46, "13-A1"}, {55, "12-A1"},
                {108, "12-F9"}, {109, "13-B1"}, {153, "13-F9"}}},
        RomListCase {"QM71RTP", Model::QM71RTP, 72, {{0, "01-A1"}, {17, "01-B9"}, {18, "11-A1"}, {71, "11-F9"}}},
        RomListCase {"LX71", Model::LX71, 18, {{0, "01-A1"}, {8, "01-A9"}, {9, "01-B1"}, {17, "01-B9"}}},
        RomListCase {"LX71ht", Model::LX71ht, 234,
            {{0, "02-A1"}, {18, "03-A1"}, {27, "02-C1"}, {45, "03-B1"}, {54, "21-A1"}, {63, "23-A1"}, {162, "24-A1"},
                {233, "25-B9"}}},
        RomListCase {"LX75RTP", Model::LX75RTP, 54, {{0, "01-A1"}, {18, "01-C1"}, {53, "01-F9"}}},
        RomListCase {"QM71K", Model::QM71K, 162,
            {{0, "A1-A1"}, {18, "A2-A1"}, {27, "A3-A1"}, {36, "A1-C1"}, {72, "A2-B1"}, {161, "A3-F9"}}},
        RomListCase {"LX71K", Model::LX71K, 108, {{0, "A1-A1"}, {18, "A3-A1"}, {27, "A1-C1"}, {107, "A3-F9"}}},
        RomListCase {"QM71N", Model::QM71N, 54, {{0, "C1-A1"}, {8, "C1-A9"}, {9, "C1-B1"}, {53, "C1-F9"}}},
        RomListCase {"QM73N", Model::QM73N, 54, {{0, "C2-A1"}, {45, "C2-F1"}, {53, "C2-F9"}}},
        RomListCase {"QM71KRTP", Model::QM71KRTP, 231,
            {{0, "A1-A1"}, {53, "A1-F9"}, {54, "A2-A1"}, {108, "A3-A1"}, {162, "A4-A1"}, {215, "A4-F9"}, {216, "02-A0"},
                {217, "02-B1"}, {218, "02-B2"}, {219, "02-C0"}, {221, "02-C2"}, {222, "02-D1"}, {230, "02-D9"}}},
        RomListCase {"LX71KRTP", Model::LX71KRTP, 177,
            {{0, "A2-A1"}, {54, "A3-A1"}, {108, "A4-A1"}, {161, "A4-F9"}, {162, "02-A0"}, {176, "02-D9"}}}),
    test::CaseName {});

TEST(ModelCatalogue, Lx71KrtpListIsTheQm71KrtpListWithoutItsA1Series)
{
    const auto& qm = romVersionList(Model::QM71KRTP);
    const auto& lx = romVersionList(Model::LX71KRTP);
    ASSERT_EQ(qm.size(), lx.size() + 54);
    EXPECT_TRUE(std::equal(lx.begin(), lx.end(), qm.begin() + 54));
}

// ---- romIndexOf

TEST(RomIndexOf, ComparesTheFirstFiveCharactersOnly)
{
    EXPECT_EQ(romIndexOf(Model::QM71, "01-A1", 393), 7);
    EXPECT_EQ(romIndexOf(Model::QM71, "01-A1.bkh", 393), 7);
    EXPECT_FALSE(romIndexOf(Model::QM71, "01-A", 393));
    EXPECT_FALSE(romIndexOf(Model::QM71, "", 393));
    EXPECT_FALSE(romIndexOf(Model::QM71, "01-G1", 393));
}

TEST(RomIndexOf, LimitIsInclusiveAndCutAtTheListEnd)
{
    EXPECT_EQ(romIndexOf(Model::QM71, "01-A1", 7), 7);
    EXPECT_FALSE(romIndexOf(Model::QM71, "01-A1", 6));
    EXPECT_FALSE(romIndexOf(Model::QM71, "00-A8", -1));
    EXPECT_EQ(romIndexOf(Model::QM71, "25-B9", 30000), 393);
}

TEST(RomIndexOf, SameCodeHasItsOwnIndexInEachModel)
{
    EXPECT_EQ(romIndexOf(Model::LX71KRTP, "A2-A1", 176), 0);
    EXPECT_EQ(romIndexOf(Model::QM71KRTP, "A2-A1", 230), 54);
    EXPECT_EQ(romIndexOf(Model::QM71KRTP, "02-C0", 230), 219);
    EXPECT_EQ(romIndexOf(Model::LX71RTP, "00-B0", 0), 0);
}

// ---- capacity lists

struct CapacityListCase {
    const char* name;
    CapacityListId list;
    std::size_t length;
    std::vector<std::pair<std::size_t, std::string_view>> entries;
};

class CapacityLists : public ::testing::TestWithParam<CapacityListCase> { };

TEST_P(CapacityLists, HaveTheirLengthAndEntries)
{
    const auto& c = GetParam();
    const auto entries = capacityListEntries(c.list);
    ASSERT_EQ(entries.size(), c.length);
    for (const auto& [index, text] : c.entries)
        EXPECT_EQ(entries[index], text) << "index " << index;
}

INSTANTIATE_TEST_SUITE_P(, CapacityLists,
    ::testing::Values(
        CapacityListCase {"A", CapacityListId::A, 39,
            {{0, "1R122"}, {6, "1522"}, {14, "15022"}, {15, "18022"}, {16, "1R144"}, {33, "31544"}, {38, "100044"}}},
        CapacityListCase {
            "B", CapacityListId::B, 22, {{0, "5R522"}, {3, "18R522"}, {10, "9022"}, {11, "5R544"}, {21, "11044"}}},
        CapacityListCase {"C", CapacityListId::C, 26, {{10, "9022"}, {11, "5R544"}, {21, "11044"}, {25, "31544"}}},
        CapacityListCase {"D", CapacityListId::D, 39,
            {{0, "-----"}, {1, "2R222"}, {15, "18022"}, {16, "-----"}, {17, "2R244"}, {38, "100044"}}},
        CapacityListCase {"E", CapacityListId::E, 39,
            {{0, "-----"}, {6, "18R522"}, {10, "5522"}, {11, "6522"}, {16, "-----"}, {22, "18R544"}, {24, "3744"},
                {38, "100044"}}},
        CapacityListCase {"F", CapacityListId::F, 39, {{0, "1R122"}, {16, "1R144"}, {33, "31544"}, {38, "100044"}}},
        CapacityListCase {"G", CapacityListId::G, 39, {{0, "1R122"}, {33, "37544"}, {38, "100044"}}},
        CapacityListCase {"H", CapacityListId::H, 36, {{0, "-----"}, {16, "-----"}, {35, "50044"}}},
        CapacityListCase {"K", CapacityListId::K, 38,
            {{0, "-----"}, {15, "-----"}, {16, "2R240"}, {22, "18R540"}, {31, "13240"}, {37, "31540"}}}),
    test::CaseName {});

TEST(CapacityListRelations, ListsDifferOnlyWhereTheTableSays)
{
    const auto a = capacityListEntries(CapacityListId::A);
    const auto b = capacityListEntries(CapacityListId::B);
    const auto c = capacityListEntries(CapacityListId::C);
    const auto d = capacityListEntries(CapacityListId::D);
    const auto e = capacityListEntries(CapacityListId::E);
    const auto f = capacityListEntries(CapacityListId::F);
    const auto g = capacityListEntries(CapacityListId::G);
    const auto h = capacityListEntries(CapacityListId::H);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool hole = i == 0 || i == 16;
        EXPECT_EQ(d[i], hole ? PlaceholderCapacity : a[i]) << i;
        EXPECT_EQ(e[i], hole ? PlaceholderCapacity : f[i]) << i;
        if (i != 33) {
            EXPECT_EQ(g[i], f[i]) << i;
        }
        if (i < h.size()) {
            EXPECT_EQ(h[i], d[i]) << i;
        }
        if (i < b.size()) {
            EXPECT_EQ(c[i], b[i]) << i;
        }
    }
}

// ---- capacity rule

struct RuleCase {
    const char* name;
    Model model;
    int rom;
    std::optional<CapacityListId> list;
};

class CapacityRule : public ::testing::TestWithParam<RuleCase> { };

TEST_P(CapacityRule, SelectsTheListOfTheRomRange)
{
    EXPECT_EQ(capacityList(GetParam().model, GetParam().rom), GetParam().list);
}

using L = CapacityListId;
INSTANTIATE_TEST_SUITE_P(, CapacityRule,
    ::testing::Values(RuleCase {"QM71", Model::QM71, 393, L::A}, RuleCase {"QM71RTP", Model::QM71RTP, 0, L::A},
        RuleCase {"QM71K", Model::QM71K, 161, L::A}, RuleCase {"QM71KRTP", Model::QM71KRTP, 230, L::A},
        RuleCase {"Lx71Rtp_0", Model::LX71RTP, 0, L::A}, RuleCase {"Lx71Rtp_1", Model::LX71RTP, 1, L::B},
        RuleCase {"Lx71Rtp_9", Model::LX71RTP, 9, L::B}, RuleCase {"Lx71Rtp_10", Model::LX71RTP, 10, L::C},
        RuleCase {"Lx71Rtp_18", Model::LX71RTP, 18, L::C}, RuleCase {"Lx71Rtp_19", Model::LX71RTP, 19, L::D},
        RuleCase {"Lx71Rtp_27", Model::LX71RTP, 27, L::D}, RuleCase {"Lx71Rtp_28", Model::LX71RTP, 28, L::E},
        RuleCase {"Lx71Rtp_54", Model::LX71RTP, 54, L::E}, RuleCase {"Lx71Rtp_55", Model::LX71RTP, 55, L::D},
        RuleCase {"Lx71Rtp_108", Model::LX71RTP, 108, L::D}, RuleCase {"Lx71Rtp_109", Model::LX71RTP, 109, L::E},
        RuleCase {"Lx71Rtp_153", Model::LX71RTP, 153, L::E},
        RuleCase {"Lx71Rtp_154", Model::LX71RTP, 154, std::nullopt}, RuleCase {"Lx71_2", Model::LX71, 2, L::F},
        RuleCase {"Lx71_3", Model::LX71, 3, L::G}, RuleCase {"Lx71_8", Model::LX71, 8, L::G},
        RuleCase {"Lx71_9", Model::LX71, 9, L::F}, RuleCase {"Lx71ht_8", Model::LX71ht, 8, L::H},
        RuleCase {"Lx71ht_9", Model::LX71ht, 9, L::D}, RuleCase {"Lx75Rtp_18", Model::LX75RTP, 18, L::D},
        RuleCase {"Lx75Rtp_19", Model::LX75RTP, 19, std::nullopt}, RuleCase {"Lx71K", Model::LX71K, 50, L::D},
        RuleCase {"Qm71N", Model::QM71N, 0, L::K}, RuleCase {"Qm73N", Model::QM73N, 53, L::K},
        RuleCase {"Lx71Krtp_53", Model::LX71KRTP, 53, L::D}, RuleCase {"Lx71Krtp_54", Model::LX71KRTP, 54, L::E},
        RuleCase {"Lx71Krtp_107", Model::LX71KRTP, 107, L::E}, RuleCase {"Lx71Krtp_108", Model::LX71KRTP, 108, L::D},
        RuleCase {"NegativeRom", Model::QM71, -1, std::nullopt}),
    test::CaseName {});

TEST(CapacityListForSelection, KeepsListDForLx75RtpAtEveryRom)
{
    EXPECT_EQ(capacityListForSelection(Model::LX75RTP, 19), CapacityListId::D);
    EXPECT_EQ(capacityListForSelection(Model::LX75RTP, 53), CapacityListId::D);
    EXPECT_FALSE(capacityText(Model::LX75RTP, 19, 1));
    EXPECT_EQ(capacityListForSelection(Model::LX71, 3), CapacityListId::G);
}

TEST(CapacityText, FollowsTheRuleAndStopsAtTheListEnd)
{
    EXPECT_EQ(capacityText(Model::LX71, 3, 33), "37544");
    EXPECT_EQ(capacityText(Model::LX71, 9, 33), "31544");
    EXPECT_EQ(capacityText(Model::LX71ht, 8, 35), "50044");
    EXPECT_FALSE(capacityText(Model::LX71ht, 8, 36));
    EXPECT_EQ(capacityText(Model::LX71ht, 9, 38), "100044");
    EXPECT_EQ(capacityText(Model::QM73N, 0, 15), "-----");
    EXPECT_FALSE(capacityText(Model::QM71, 0, -1));
}

// ---- model change

TEST(ModelChangeAllowed, PermitsExactlyTheListedMoves)
{
    using enum Model;
    const std::set<std::pair<Model, Model>> allowed {// {data set's model, new model}
        {QM71, QM71}, {QM71K, QM71}, {LX71RTP, LX71RTP}, {LX75RTP, LX71RTP}, {QM71RTP, QM71RTP}, {LX71, LX71},
        {LX71ht, LX71ht}, {LX71K, LX71ht}, {LX71RTP, LX75RTP}, {LX75RTP, LX75RTP}, {QM71, QM71K}, {QM71K, QM71K},
        {LX71ht, LX71K}, {LX71K, LX71K}, {QM71N, QM71N}, {QM73N, QM73N}, {QM71RTP, QM71KRTP}, {LX71ht, QM71KRTP},
        {LX71K, QM71KRTP}, {QM71KRTP, QM71KRTP}, {LX71RTP, LX71KRTP}, {LX75RTP, LX71KRTP}, {LX71KRTP, LX71KRTP}};
    for (const Model from : allModels) {
        for (const Model to : allModels) {
            const bool expected = allowed.contains({from, to});
            EXPECT_EQ(modelChangeAllowed(from, to), expected) << modelName(from) << " -> " << modelName(to);
        }
    }
}

// ---- defaults and rules for a new data set

struct DefaultsCase {
    const char* name;
    Model model;
    int controlMode;
    int capacity;
};

class CatalogueDefaults : public ::testing::TestWithParam<DefaultsCase> { };

TEST_P(CatalogueDefaults, PickTheModesControlModeAndFirstRealCapacity)
{
    const auto& c = GetParam();
    EXPECT_EQ(defaultControlMode(c.model), c.controlMode);
    EXPECT_EQ(defaultCapacity(c.model), c.capacity);
}

INSTANTIATE_TEST_SUITE_P(, CatalogueDefaults,
    ::testing::Values(DefaultsCase {"QM71", Model::QM71, 0, 0}, DefaultsCase {"LX71RTP", Model::LX71RTP, 2, 1},
        DefaultsCase {"QM71RTP", Model::QM71RTP, 1, 0}, DefaultsCase {"LX71", Model::LX71, 2, 0},
        DefaultsCase {"LX71ht", Model::LX71ht, 2, 1}, DefaultsCase {"LX75RTP", Model::LX75RTP, 2, 1},
        DefaultsCase {"QM71K", Model::QM71K, 0, 0}, DefaultsCase {"LX71K", Model::LX71K, 2, 1},
        DefaultsCase {"QM71N", Model::QM71N, 1, 16}, DefaultsCase {"QM73N", Model::QM73N, 1, 16},
        DefaultsCase {"QM71KRTP", Model::QM71KRTP, 1, 0}, DefaultsCase {"LX71KRTP", Model::LX71KRTP, 2, 1}),
    test::CaseName {});

TEST(DefaultCapacity, IsARealEntryOfTheList)
{
    // Where the list in force depends on the ROM version, the range that holds
    // placeholders is the one that matters.
    for (const Model model : allModels) {
        for (const int rom : {0, 30}) {
            if (romVersionText(model, rom)) {
                EXPECT_FALSE(placeholderRefused(model, rom, defaultCapacity(model))) << modelName(model) << " " << rom;
            }
        }
    }
}

struct PlaceholderCase {
    const char* name;
    Model model;
    int rom;
    int capacity;
    bool refused;
};

class PlaceholderRule : public ::testing::TestWithParam<PlaceholderCase> { };

TEST_P(PlaceholderRule, RefusesOnlyPlaceholdersAndMissingEntries)
{
    const auto& c = GetParam();
    EXPECT_EQ(placeholderRefused(c.model, c.rom, c.capacity), c.refused);
}

INSTANTIATE_TEST_SUITE_P(, PlaceholderRule,
    ::testing::Values(PlaceholderCase {"Lx71RtpRom25Cap16", Model::LX71RTP, 25, 16, true},
        PlaceholderCase {"Lx71RtpRom19Cap0", Model::LX71RTP, 19, 0, true},
        PlaceholderCase {"Lx71RtpRom5Cap16ListB", Model::LX71RTP, 5, 16, false},
        PlaceholderCase {"Lx71RtpRom18Cap0ListC", Model::LX71RTP, 18, 0, false},
        PlaceholderCase {"Lx71RtpRom25Cap1", Model::LX71RTP, 25, 1, false},
        PlaceholderCase {"Lx71htCap0", Model::LX71ht, 0, 0, true},
        PlaceholderCase {"Lx71htRom8Cap36BeyondListH", Model::LX71ht, 8, 36, true},
        PlaceholderCase {"Lx75RtpRom40Cap16", Model::LX75RTP, 40, 16, true},
        PlaceholderCase {"Lx71KCap16", Model::LX71K, 0, 16, true},
        PlaceholderCase {"Lx71KCap1", Model::LX71K, 0, 1, false},
        PlaceholderCase {"Qm71Cap0", Model::QM71, 0, 0, false},
        PlaceholderCase {"Qm71NCap15", Model::QM71N, 0, 15, true},
        PlaceholderCase {"Qm73NCap16", Model::QM73N, 0, 16, false},
        PlaceholderCase {"Lx71KrtpCap0", Model::LX71KRTP, 60, 0, true},
        PlaceholderCase {"NegativeCapacity", Model::QM71, 0, -1, true}),
    test::CaseName {});

TEST(ControlModeRules, SModeIsRefusedForLx71AndLx75RtpWithTheirOwnTexts)
{
    EXPECT_EQ(controlModeRefusal(Model::LX71, ControlModeS), TextId::MsgCannotChangeControlMode);
    EXPECT_EQ(controlModeRefusal(Model::LX75RTP, ControlModeS), TextId::MsgCannotSelectControl);
    EXPECT_FALSE(controlModeRefusal(Model::LX71, ControlModeV));
    EXPECT_FALSE(controlModeRefusal(Model::LX71RTP, ControlModeS));
    EXPECT_EQ(text(TextId::MsgCannotSelectControl, Language::English), "Cannot select this Control");
}

TEST(ControlModeRules, PModeIsForcedOutsideTheOpenRomRanges)
{
    EXPECT_TRUE(controlModeLockedToP(Model::LX71, 10));
    EXPECT_FALSE(controlModeLockedToP(Model::LX71, 11));
    EXPECT_TRUE(controlModeLockedToP(Model::LX71RTP, 18));
    EXPECT_FALSE(controlModeLockedToP(Model::LX71RTP, 19));
    EXPECT_FALSE(controlModeLockedToP(Model::LX71RTP, 27));
    EXPECT_TRUE(controlModeLockedToP(Model::LX71RTP, 28));
    EXPECT_FALSE(controlModeLockedToP(Model::LX71RTP, 55));
    EXPECT_FALSE(controlModeLockedToP(Model::LX71RTP, 108));
    EXPECT_TRUE(controlModeLockedToP(Model::LX71RTP, 109));
    EXPECT_FALSE(controlModeLockedToP(Model::LX75RTP, 0));
}

// ---- FileVersion.INI limits

class RomLimitsFixture : public ::testing::Test {
protected:
    // Every section gets values of its own, so a wrong mapping shows.
    void SetUp() override
    {
        for (int s = 0; s < LimitSectionCount; ++s) {
            m_settings.limits[static_cast<std::size_t>(s)].verMax = static_cast<std::int16_t>(10 + s);
            m_settings.limits[static_cast<std::size_t>(s)].newVer = static_cast<std::int16_t>(100 + s);
        }
    }
    std::int16_t verMaxOf(LimitSection s) const { return m_settings.of(s).verMax; }
    std::int16_t newVerOf(LimitSection s) const { return m_settings.of(s).newVer; }

    FileVersionSettings m_settings;
};

TEST_F(RomLimitsFixture, EachModelReadsItsOwnSection)
{
    const std::vector<std::pair<Model, LimitSection>> sections {{Model::QM71, LimitSection::QM71},
        {Model::LX71RTP, LimitSection::LX71RTP}, {Model::QM71RTP, LimitSection::QM71RTP},
        {Model::LX71, LimitSection::LX71}, {Model::LX71ht, LimitSection::LX71ht},
        {Model::LX75RTP, LimitSection::LX75RTP}, {Model::QM71K, LimitSection::QM71K},
        {Model::LX71K, LimitSection::LX71K}, {Model::QM71N, LimitSection::QMPr},
        {Model::QM71KRTP, LimitSection::QM71KRTP}, {Model::LX71KRTP, LimitSection::LX71KRTP}};
    for (const auto& [model, section] : sections) {
        EXPECT_EQ(verMax(model, m_settings), verMaxOf(section)) << modelName(model);
        EXPECT_EQ(newVer(model, m_settings), newVerOf(section)) << modelName(model);
        EXPECT_EQ(newVerForIdentityCheck(model, m_settings), newVerOf(section)) << modelName(model);
    }
}

TEST_F(RomLimitsFixture, Qm73NPreselectsNewVerWButChecksWithItsOwnNewVer)
{
    EXPECT_EQ(verMax(Model::QM73N, m_settings), verMaxOf(LimitSection::QM73N));
    EXPECT_EQ(newVer(Model::QM73N, m_settings), newVerOf(LimitSection::QM71W));
    EXPECT_EQ(newVerForIdentityCheck(Model::QM73N, m_settings), newVerOf(LimitSection::QM73N));
}

TEST_F(RomLimitsFixture, OfferedRomVersionsEndAtVerMaxOrTheListEnd)
{
    m_settings.of(LimitSection::LX71).verMax = 7;
    const auto offered = offeredRomVersions(Model::LX71, m_settings);
    ASSERT_EQ(offered.size(), 8u);
    EXPECT_EQ(offered.back(), "01-A8");

    m_settings.of(LimitSection::LX71).verMax = 5000; // more than the list holds
    EXPECT_EQ(offeredRomVersions(Model::LX71, m_settings).size(), 18u);

    m_settings.of(LimitSection::LX71).verMax = -3;
    EXPECT_TRUE(offeredRomVersions(Model::LX71, m_settings).empty());
}

} // namespace
} // namespace tess::catalogue
