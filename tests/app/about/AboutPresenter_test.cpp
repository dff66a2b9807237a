#include "app/about/AboutPresenter.h"
#include "app/common/Workspace.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

namespace tess {
namespace {

Workspace installation(bool specialFunctions)
{
    Workspace ws;
    ws.settings.fileVersion.fileVersion = "12";
    ws.settings.fileVersion.specialFunctions = specialFunctions;
    ws.settings.tableFileCount = {3, 0, 2, 0, 0, 0, 1, 0, 0, 5};
    return ws;
}

TEST(AboutPresenter, SpecialFunctionsShowTheCountsOfModelsZeroToEight)
{
    const AboutPresenter box(installation(true));
    EXPECT_EQ(box.totalFiles(), 6); // model 9's five tables are left out
    EXPECT_TRUE(box.countsVisible());
    EXPECT_EQ(box.clientWidth(), 672);
    EXPECT_EQ(box.countsFirstColumn(),
        "File Version 12     Total Files : 6\n\n*Number of the files every model.\n\n"
        "QM71 : 3\n\nQM71RTP : 2\n\nLX71ht : 0\n\nQM71K : 1");
    EXPECT_EQ(box.countsSecondColumn(), "LX71RTP : 0\n\nLX71 : 0\n\nLX75RTP : 0\n\nLX71K : 0");
    EXPECT_EQ(box.countsThirdColumn(), "QM71N : 0\n\n");
}

TEST(AboutPresenter, TheUsersOwnTablesAreCountedBesideTheInstallations)
{
    Workspace ws = installation(true);
    ws.settings.userTableFileCount = {1, 0, 0, 0, 0, 0, 0, 2, 0, 4};
    const AboutPresenter box(ws);
    EXPECT_EQ(box.totalFiles(), 6);
    EXPECT_EQ(box.countsFirstColumn(),
        "File Version 12     Total Files : 6 / 3\n\n*Number of the files every model.\n\n"
        "QM71 : 3 / 1\n\nQM71RTP : 2 / 0\n\nLX71ht : 0 / 0\n\nQM71K : 1 / 0");
    EXPECT_EQ(box.countsSecondColumn(), "LX71RTP : 0 / 0\n\nLX71 : 0 / 0\n\nLX75RTP : 0 / 0\n\nLX71K : 0 / 2");
    EXPECT_EQ(box.countsThirdColumn(), "QM71N : 0 / 0\n\n");
}

TEST(AboutPresenter, WithoutSpecialFunctionsStaysNarrow)
{
    const AboutPresenter box(installation(false));
    EXPECT_FALSE(box.countsVisible());
    EXPECT_EQ(box.clientWidth(), 375);
}

TEST(AboutPresenter, ShowsTitleVersionsAndCaptionInTheLanguage)
{
    Workspace ws = installation(false);
    ws.settings.language = Language::Japanese;
    const AboutPresenter japanese(ws);
    EXPECT_EQ(japanese.caption(), "ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(japanese.programName(), "71Series Tessaline");
    EXPECT_EQ(japanese.productName(),
        "Copyright (C) 2026 The Tessaline developers. All rights reserved.\n\nVersion 4.50\n\nFile Version 12");
    ws.settings.language = Language::English;
    EXPECT_EQ(AboutPresenter(ws).caption(), "Version information");
}

struct SpotCase {
    const char* name;
    int x;
    int y;
    bool reversed;
};

class AboutBoxSpot : public ::testing::TestWithParam<SpotCase> { };

TEST_P(AboutBoxSpot, DoubleClickReversesTheTitleOnlyOnTheSpot)
{
    AboutPresenter box(installation(false));
    box.mouseMoved(GetParam().x, GetParam().y);
    box.doubleClicked();
    EXPECT_EQ(box.programName(), GetParam().reversed ? "enilasseT seireS17" : "71Series Tessaline");
}

INSTANTIATE_TEST_SUITE_P(, AboutBoxSpot,
    ::testing::Values(SpotCase {"TopLeft", 32, 28, true}, SpotCase {"BottomRight", 33, 29, true},
        SpotCase {"LeftOfSpot", 31, 28, false}, SpotCase {"RightOfSpot", 34, 29, false},
        SpotCase {"AboveSpot", 32, 27, false}, SpotCase {"BelowSpot", 33, 30, false}),
    test::CaseName {});

TEST(AboutPresenter, ReversedTitleHoldsOnTheSpotAndReturnsOffIt)
{
    AboutPresenter box(installation(false));
    box.doubleClicked(); // no position over the icon yet
    EXPECT_EQ(box.programName(), "71Series Tessaline");
    box.mouseMoved(32, 28);
    box.doubleClicked();
    box.mouseMoved(33, 29);
    EXPECT_EQ(box.programName(), "enilasseT seireS17");
    box.mouseMoved(40, 10);
    EXPECT_EQ(box.programName(), "71Series Tessaline");
}

} // namespace
} // namespace tess
