#include "app/catalogue/InverterSelectionPresenter.h"
#include "app/common/Workspace.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/tables/TableFiles.h"
#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tess {
namespace {

using catalogue::InverterSelectionPresenter;
using catalogue::Model;
using catalogue::PickerNode;
using catalogue::SelectionOutcome;
using Strings = std::vector<std::string>;

// A matrix file: rows and columns carry the codes given, cells are empty
// unless set.
struct Matrix {
    Strings rowCodes;
    Strings columnCodes;
    std::map<std::pair<int, int>, std::string> cells;

    std::string bytes() const
    {
        std::string out = "ROM version conversion\r\nrow,code\r\n,";
        for (const auto& code : columnCodes)
            out += "," + code;
        out += "\r\n";
        for (std::size_t r = 0; r < rowCodes.size(); ++r) {
            out += std::to_string(r) + "," + rowCodes[r];
            for (std::size_t c = 0; c < columnCodes.size(); ++c) {
                const auto cell = cells.find({static_cast<int>(r), static_cast<int>(c)});
                out += "," + (cell == cells.end() ? std::string() : cell->second);
            }
            out += "\r\n";
        }
        return out;
    }
};

Strings firstCodes(Model model, int count)
{
    const auto& list = catalogue::romVersionList(model);
    return Strings(list.begin(), list.begin() + count);
}

// An installation in a temporary folder with only the files a case puts in.
class InverterSelectionPresenterTest : public ::testing::Test {
protected:
    InverterSelectionPresenterTest()
    {
        ws.settings.applicationFolder = dir.path();
        ws.settings.language = Language::English;
        ws.settings.fileVersion.view = false;
        for (auto& limits : ws.settings.fileVersion.limits)
            limits = RomLimits {400, 1};
    }

    void installTable(Model model, int controlMode, int romIndex)
    {
        const std::string name = tables::tableFileName(catalogue::indexOf(model), controlMode, romIndex);
        ASSERT_FALSE(name.empty());
        test::writeFile(dir.file(std::string(catalogue::modelName(model)) + "/" + name), "table\r\n");
    }

    void openNew() { dialog.open(catalogue::SelectionPurpose::NewDataSet); }

    void openChange(InverterIdentity dataSet)
    {
        ws.doc.identity = dataSet;
        dialog.open(catalogue::SelectionPurpose::InverterChange);
    }

    std::string capacityText() const
    {
        return dialog.capacity() < 0 ? std::string() : dialog.capacities()[static_cast<std::size_t>(dialog.capacity())];
    }

    test::TempDir dir;
    test::FakeUi ui;
    Workspace ws;
    InverterSelectionPresenter dialog {ws, ui};
};

// ---- a new data set

TEST_F(InverterSelectionPresenterTest, NewDataSetOpensOnQm71WithOkWaitingForAChoice)
{
    openNew();
    EXPECT_EQ(dialog.captionId(), TextId::SelectCaptionNew);
    EXPECT_EQ(dialog.model(), Model::QM71);
    EXPECT_EQ(dialog.controlModes(), (Strings {"Sensorless", "Vector", "V/F"}));
    EXPECT_EQ(dialog.controlMode(), 0);
    EXPECT_EQ(capacityText(), "1R122");
    EXPECT_EQ(dialog.romText(), "");
    EXPECT_FALSE(dialog.okEnabled());

    dialog.changeCapacity(3);
    EXPECT_TRUE(dialog.okEnabled());
    EXPECT_TRUE(ui.messages.empty());
}

// OK stores the ROM version in force in this dialog (New_Ver when nothing was
// picked), never the index some earlier use of the picker left behind.
TEST_F(InverterSelectionPresenterTest, OkWithoutPickStoresPreselectedVersionNotAnEarlierPick)
{
    ws.view.selection.pickedRomIndex = 7;
    ws.settings.fileVersion.of(LimitSection::QM71).newVer = 2;
    installTable(Model::QM71, 0, 2);
    openNew();
    dialog.changeCapacity(3);
    dialog.ok();

    EXPECT_EQ(dialog.outcome(), SelectionOutcome::Accepted);
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {0, 0, 3, 2}));
    EXPECT_EQ(ws.doc.currentTablePath, dir.file("QM71/QM71S00-B1.bkh"));
}

TEST_F(InverterSelectionPresenterTest, OkWithoutTableForTheChoiceKeepsDialogOpen)
{
    openNew();
    dialog.changeCapacity(3);
    dialog.ok();

    EXPECT_EQ(ui.englishTexts(),
        (Strings {"File is not found.\nPlease parameter-file updata.\n" + dir.file("QM71/QM71S00-A9.bkh")
            + " does not exist"}));
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_FALSE(dialog.okEnabled());
}

TEST_F(InverterSelectionPresenterTest, CancelSetsCancelledFlagAndStoresNothing)
{
    ws.doc.identity = InverterIdentity {3, 2, 1, 7};
    openNew();
    dialog.changeCapacity(3);
    dialog.cancel();

    EXPECT_EQ(dialog.outcome(), SelectionOutcome::Cancelled);
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {3, 2, 1, 7}));
}

struct DefaultsCase {
    const char* name;
    Model model;
    int controlMode;
    int capacity;
    const char* capacityText;
};

class NewDataSetDefaults : public InverterSelectionPresenterTest,
                           public ::testing::WithParamInterface<DefaultsCase> { };

TEST_P(NewDataSetDefaults, PreselectsFirstRealCapacityAndDefaultMode)
{
    const DefaultsCase& c = GetParam();
    openNew();
    dialog.changeModel(c.model);
    EXPECT_EQ(dialog.controlMode(), c.controlMode);
    EXPECT_EQ(dialog.capacity(), c.capacity);
    EXPECT_EQ(capacityText(), c.capacityText);
    EXPECT_FALSE(dialog.okEnabled());
}

INSTANTIATE_TEST_SUITE_P(InverterSelectionPresenter, NewDataSetDefaults,
    ::testing::Values(DefaultsCase {"QM71N", Model::QM71N, 1, 16, "2R240"},
        DefaultsCase {"QM73N", Model::QM73N, 1, 16, "2R240"}, DefaultsCase {"QM71K", Model::QM71K, 0, 0, "1R122"},
        DefaultsCase {"LX71ht", Model::LX71ht, 2, 1, "2R222"}),
    test::CaseName {});

struct ControlModeCase {
    const char* name;
    Model model;
    int pick;
    Strings messages;
    int controlMode;
};

class NewDataSetControlMode : public InverterSelectionPresenterTest,
                              public ::testing::WithParamInterface<ControlModeCase> { };

TEST_P(NewDataSetControlMode, RefusesSModeWhereTheModelHasNone)
{
    const ControlModeCase& c = GetParam();
    openNew();
    dialog.changeModel(c.model);
    dialog.changeControlMode(c.pick);
    EXPECT_EQ(ui.englishTexts(), c.messages);
    EXPECT_EQ(dialog.controlMode(), c.controlMode);
}

INSTANTIATE_TEST_SUITE_P(InverterSelectionPresenter, NewDataSetControlMode,
    ::testing::Values(ControlModeCase {"LX71SMode", Model::LX71, 0, {"Cannot change this control mode."}, 2},
        ControlModeCase {"LX75RTPSMode", Model::LX75RTP, 0, {"Cannot select this Control"}, 2},
        ControlModeCase {"LX71VMode", Model::LX71, 1, {}, 1}, ControlModeCase {"QM71Vector", Model::QM71, 1, {}, 1}),
    test::CaseName {});

// V Mode of LX71 exists from ROM index 11 on: a lower preselected version
// gives way, and the picker offers the V Mode set only.
TEST_F(InverterSelectionPresenterTest, Lx71VModeDropsLowerVersionAndOffersVSetOnly)
{
    openNew();
    dialog.changeModel(Model::LX71);
    ASSERT_EQ(dialog.romVersion(), 1);
    dialog.changeControlMode(1);
    EXPECT_EQ(dialog.romVersion(), -1);

    Strings leaves;
    for (const PickerNode& series : dialog.picker())
        for (const PickerNode& letter : series.children)
            for (const PickerNode& digit : letter.children)
                leaves.push_back(digit.code);
    EXPECT_EQ(leaves, (Strings {"01-B3", "01-B4", "01-B5", "01-B6", "01-B7", "01-B8", "01-B9"}));
}

struct PlaceholderCase {
    const char* name;
    const char* pick;
    Strings messages;
    int capacity;
};

class Lx71rtpPlaceholder : public InverterSelectionPresenterTest,
                           public ::testing::WithParamInterface<PlaceholderCase> { };

TEST_P(Lx71rtpPlaceholder, CapacitySixteenDependsOnTheListOfTheVersion)
{
    const PlaceholderCase& c = GetParam();
    installTable(Model::LX71RTP, 2, *catalogue::romIndexOf(Model::LX71RTP, c.pick, 400));
    openNew();
    dialog.changeModel(Model::LX71RTP);
    dialog.pickRomVersion(c.pick);
    ASSERT_TRUE(ui.messages.empty());
    dialog.changeCapacity(16);
    EXPECT_EQ(ui.englishTexts(), c.messages);
    EXPECT_EQ(dialog.capacity(), c.capacity);
    EXPECT_TRUE(dialog.okEnabled());
}

INSTANTIATE_TEST_SUITE_P(InverterSelectionPresenter, Lx71rtpPlaceholder,
    ::testing::Values(PlaceholderCase {"RomIndex25ListD", "02-A7", {"Please select Cap and Volt."}, 1},
        PlaceholderCase {"RomIndex5ListB", "00-B5", {}, 16}),
    test::CaseName {});

TEST_F(InverterSelectionPresenterTest, Lx71rtpVersionZeroThenFiveSelectsFirstCapacities)
{
    installTable(Model::LX71RTP, 2, 0);
    installTable(Model::LX71RTP, 2, 5);
    openNew();
    dialog.changeModel(Model::LX71RTP);
    dialog.changeCapacity(7);

    dialog.pickRomVersion("00-B0");
    EXPECT_EQ(capacityText(), "1R122");
    EXPECT_TRUE(ws.view.selection.lx71rtpRomZeroMark);
    dialog.pickRomVersion("00-B5");
    EXPECT_EQ(dialog.capacity(), 1);
    EXPECT_EQ(capacityText(), "7R522");
    EXPECT_FALSE(ws.view.selection.lx71rtpRomZeroMark);
    EXPECT_EQ(ws.doc.romIndexShown, 5);
    EXPECT_EQ(ws.doc.capacityIndexShown, 1);
    EXPECT_FALSE(dialog.controlModeEnabled());

    dialog.ok();
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {1, 2, 1, 5}));
}

TEST_F(InverterSelectionPresenterTest, CodeBeyondVerMaxIsRefusedBeforeAnyFileIsRead)
{
    ws.settings.fileVersion.of(LimitSection::QM71).verMax = 10;
    ws.view.selection.pickedRomIndex = 4;
    openNew();
    dialog.pickRomVersion("02-A1");

    // Without any table installed, a lookup would have said "File is not found."
    EXPECT_EQ(ui.englishTexts(), (Strings {"Please Tessaline version updata."}));
    EXPECT_EQ(dialog.romText(), "");
    EXPECT_EQ(ws.view.selection.pickedRomIndex, 4);
    EXPECT_EQ(ws.doc.romIndexShown, std::nullopt);
}

TEST_F(InverterSelectionPresenterTest, PickWithoutTableDisablesOkAndClearsTheChoice)
{
    openNew();
    dialog.changeCapacity(2);
    dialog.pickRomVersion("01-A1");
    EXPECT_EQ(ui.englishTexts(),
        (Strings {"File is not found.\nPlease parameter-file updata.\n" + dir.file("QM71/QM71S01-A1.bkh")
            + " does not exist"}));
    EXPECT_EQ(dialog.romText(), "");
    EXPECT_EQ(dialog.romVersion(), -1);
    EXPECT_FALSE(dialog.okEnabled());
}

// ---- picker

TEST_F(InverterSelectionPresenterTest, PickerFollowsPrefixOrderAndLeavesOutGroups)
{
    const std::vector<PickerNode> tree = catalogue::romPickerTree(Model::QM71, 0);
    Strings prefixes;
    for (const PickerNode& series : tree)
        prefixes.push_back(series.label);
    EXPECT_EQ(prefixes, (Strings {"00", "01", "02", "03", "11", "12", "21", "23", "24", "61", "62", "71", "72", "25"}));

    const PickerNode& s01 = tree[1];
    ASSERT_EQ(s01.children.size(), 3u);
    EXPECT_EQ(s01.children[1].label, "B");
    EXPECT_EQ(s01.children[1].children[6].label, "7");
    EXPECT_EQ(s01.children[1].children[6].code, "01-B7");

    const PickerNode& s61 = tree[9];
    ASSERT_EQ(s61.children.size(), 9u);
    EXPECT_EQ(s61.children[0].label, "A1");
    EXPECT_EQ(s61.children[0].code, "61-A1");
    EXPECT_TRUE(s61.children[0].isLeaf());

    for (const PickerNode& series : tree)
        for (const PickerNode& letter : series.children)
            for (const PickerNode& leaf : letter.children)
                EXPECT_TRUE(leaf.code.rfind("21-A", 0) != 0 && leaf.code.rfind("62-A", 0) != 0) << leaf.code;
    EXPECT_EQ(tree[6].children.front().label, "B"); // 21 starts at B
}

TEST_F(InverterSelectionPresenterTest, PickerOfQm71krtpHoldsA1SeriesOnly)
{
    const std::vector<PickerNode> tree = catalogue::romPickerTree(Model::QM71KRTP, 1);
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree[0].label, "A1");
    ASSERT_EQ(tree[0].children.size(), 1u);
    EXPECT_EQ(tree[0].children[0].children.size(), 9u);
}

// ---- inverter change: model moves

TEST_F(InverterSelectionPresenterTest, ChangeOpensWithDataSetAndDisabledLists)
{
    openChange(InverterIdentity {3, 1, 4, 12});
    EXPECT_EQ(dialog.captionId(), TextId::HintInverterChange);
    EXPECT_EQ(dialog.romText(), "01-B4");
    EXPECT_EQ(dialog.romVersion(), 12);
    EXPECT_EQ(dialog.capacity(), 4);
    EXPECT_FALSE(dialog.modelEnabled());
    EXPECT_FALSE(dialog.controlModeEnabled());
    EXPECT_FALSE(dialog.okEnabled());
}

TEST_F(InverterSelectionPresenterTest, MoveToIncompatibleModelIsRefusedAndModelPutBack)
{
    openChange(InverterIdentity {0, 0, 3, 20});
    dialog.changeModel(Model::QM71RTP);
    EXPECT_EQ(ui.englishTexts(), (Strings {"Machine is not right."}));
    EXPECT_EQ(dialog.model(), Model::QM71);
    EXPECT_TRUE(dialog.isOpen());
}

struct MoveCase {
    const char* name;
    InverterIdentity dataSet;
    Model to;
    Strings messages;
    bool open;
    int capacity;
    const char* capacityText;
};

class ModelMove : public InverterSelectionPresenterTest, public ::testing::WithParamInterface<MoveCase> { };

TEST_P(ModelMove, ChecksVersionAndMapsCapacity)
{
    const MoveCase& c = GetParam();
    ws.doc.currentTablePath = "before";
    openChange(c.dataSet);
    dialog.changeModel(c.to);
    EXPECT_EQ(ui.englishTexts(), c.messages);
    EXPECT_EQ(dialog.isOpen(), c.open);
    if (c.open) {
        EXPECT_EQ(dialog.capacity(), c.capacity);
        EXPECT_EQ(capacityText(), c.capacityText);
    } else {
        EXPECT_EQ(dialog.outcome(), SelectionOutcome::Closed);
        EXPECT_EQ(ws.doc.identity, c.dataSet);
        EXPECT_EQ(ws.doc.currentTablePath, "before");
    }
}

INSTANTIATE_TEST_SUITE_P(InverterSelectionPresenter, ModelMove,
    ::testing::Values(MoveCase {"Lx71rtpRom30ToLx75rtp", {1, 2, 7, 30}, Model::LX75RTP, {}, true, 7, "2222"},
        MoveCase {"Lx71rtpRom30CapacityNotInListD", {1, 2, 6, 30}, Model::LX75RTP,
            {"Unable to change the ROM version with this Voltage and Capacity."}, false, -1, ""},
        MoveCase {
            "Lx71rtpRom50ToLx75rtp", {1, 2, 7, 50}, Model::LX75RTP, {"Cannot change this ROM Version."}, false, -1, ""},
        MoveCase {"Lx75rtpRom3ToLx71rtp", {5, 2, 7, 3}, Model::LX71RTP, {}, true, 7, "2222"},
        MoveCase {"Lx71rtpRom5ToLx71krtp", {1, 2, 3, 5}, Model::LX71KRTP, {"Cannot change this ROM Version."}, false,
            -1, ""}),
    test::CaseName {});

TEST_F(InverterSelectionPresenterTest, DataSetWhoseVersionAllowsNoMoveClosesAtOpen)
{
    openChange(InverterIdentity {5, 2, 3, 20});
    EXPECT_EQ(ui.englishTexts(), (Strings {"Cannot change this ROM Version."}));
    EXPECT_EQ(dialog.outcome(), SelectionOutcome::Closed);
}

// ---- inverter change: ROM acceptance by conversion matrix

// An LX75RTP data set at 01-A3 (index 2) asks for 01-A6 (index 5); the group
// file names 01-A1 (0) and 01-A4 (3) as representatives.
struct MatrixCase {
    const char* name;
    std::string cell; // row 2, column 5
    std::string groupCell; // row 0, column 3
    const char* pick;
    Strings messages;
    bool accepted;
    bool rowForFromCode = true;
    std::string groups = "[GroupSet]\r\n[01-A3]=0\r\n[01-A6]=3\r\n";
};

class MatrixAcceptance : public InverterSelectionPresenterTest, public ::testing::WithParamInterface<MatrixCase> { };

TEST_P(MatrixAcceptance, FollowsCellAndGroupRepresentatives)
{
    const MatrixCase& c = GetParam();
    Matrix matrix {firstCodes(Model::LX75RTP, 36), firstCodes(Model::LX75RTP, 36), {}};
    matrix.cells[{2, 5}] = c.cell;
    matrix.cells[{0, 3}] = c.groupCell;
    if (!c.rowForFromCode)
        matrix.rowCodes[2] = "99-Z9";
    test::writeFile(dir.file("LX75RTPConvertMatrix.rcm"), matrix.bytes());
    test::writeFile(dir.file("LX75RTPGroupSet.txt"), c.groups);
    installTable(Model::LX75RTP, 2, 2);
    installTable(Model::LX75RTP, 2, 5);
    ws.doc.currentTablePath = "before";

    openChange(InverterIdentity {5, 2, 9, 2});
    dialog.pickRomVersion(c.pick);
    EXPECT_EQ(ui.englishTexts(), c.messages);
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(dialog.okEnabled(), c.accepted);
    EXPECT_EQ(dialog.romVersion(), c.accepted ? 5 : 2);
    EXPECT_EQ(dialog.romText(), c.accepted ? c.pick : "01-A3");

    // OK stores the version in force, and the table the window loads is
    // that of the stored identity, not the last probe.
    dialog.changeCapacity(9);
    dialog.ok();
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {5, 2, 9, static_cast<std::int16_t>(c.accepted ? 5 : 2)}));
    EXPECT_EQ(ws.doc.currentTablePath, c.accepted ? dir.file("LX75RTP/LX75RTPP01-A6.bkh") : "before");
}

const Strings refused {"Cannot change this ROM Version."};

INSTANTIATE_TEST_SUITE_P(InverterSelectionPresenter, MatrixAcceptance,
    ::testing::Values(MatrixCase {"EmptyCellAllows", "", "", "01-A6", {}, true},
        MatrixCase {"ZeroRefuses", "0", "", "01-A6", refused, false},
        MatrixCase {"OneAllows", "1", "", "01-A6", {}, true},
        MatrixCase {"FiveRefuses", "5", "", "01-A6", refused, false},
        MatrixCase {"TwoAsksGroupsWhichAllow", "2", "1", "01-A6", {}, true},
        MatrixCase {"TwoAsksGroupsWhichRefuse", "2", "0", "01-A6", refused, false},
        MatrixCase {"GroupsWithoutAnswerRefuse", "2", "2", "01-A6", refused, false},
        MatrixCase {"EmptyDiagonalIsSameVersion", "", "", "01-A3", {"Same ROM Version.", refused[0]}, false},
        MatrixCase {"FromCodeWithoutRowAsksGroups", "0", "1", "01-A6", {}, true, false},
        MatrixCase {"GroupLineMissingRefuses", "2", "1", "01-A6", refused, false, true, "[01-A3]=0\r\n"},
        MatrixCase {
            "GroupValueNotIntegerRefuses", "2", "1", "01-A6", refused, false, true, "[01-A3]=0\r\n[01-A6]=three\r\n"}),
    test::CaseName {});

class MatrixFiles : public InverterSelectionPresenterTest {
protected:
    void SetUp() override
    {
        installTable(Model::LX75RTP, 2, 5);
        test::writeFile(dir.file("LX75RTPGroupSet.txt"), "[01-A3]=0\r\n[01-A6]=3\r\n");
    }
};

TEST_F(MatrixFiles, DiagnosticsShowTheCellLookedAt)
{
    Matrix matrix {firstCodes(Model::LX75RTP, 36), firstCodes(Model::LX75RTP, 36), {{{2, 5}, "1"}}};
    test::writeFile(dir.file("LX75RTPConvertMatrix.rcm"), matrix.bytes());
    openChange(InverterIdentity {5, 2, 9, 2});
    dialog.pickRomVersion("01-A6");
    EXPECT_EQ(dialog.diagnostics().rowCode, "01-A3");
    EXPECT_EQ(dialog.diagnostics().columnCode, "01-A6");
    EXPECT_EQ(dialog.diagnostics().result, "1");
    EXPECT_EQ(dialog.diagnostics().rowIndex, "2");
    EXPECT_EQ(dialog.diagnostics().columnIndex, "5");
}

TEST_F(MatrixFiles, EmptyCellShowsTheMoveWhenViewIsSet)
{
    ws.settings.fileVersion.view = true;
    test::writeFile(dir.file("LX75RTPConvertMatrix.rcm"),
        Matrix {firstCodes(Model::LX75RTP, 36), firstCodes(Model::LX75RTP, 36), {}}.bytes());
    openChange(InverterIdentity {5, 2, 9, 2});
    dialog.pickRomVersion("01-A6");
    EXPECT_EQ(ui.englishTexts(), (Strings {"Now:01-A3\nChange01-A6"}));
    EXPECT_TRUE(dialog.okEnabled());
}

TEST_F(MatrixFiles, MatrixShorterThanItsExtentRefuses)
{
    Matrix matrix {firstCodes(Model::LX75RTP, 20), firstCodes(Model::LX75RTP, 36), {{{2, 5}, "1"}}};
    test::writeFile(dir.file("LX75RTPConvertMatrix.rcm"), matrix.bytes());
    openChange(InverterIdentity {5, 2, 9, 2});
    dialog.pickRomVersion("01-A6");
    EXPECT_EQ(ui.englishTexts(), refused);
    EXPECT_FALSE(dialog.okEnabled());
}

TEST_F(MatrixFiles, UnreadableMatrixClosesDialogUnchanged)
{
    openChange(InverterIdentity {5, 2, 9, 2});
    dialog.pickRomVersion("01-A6");
    EXPECT_EQ(ui.englishTexts(),
        (Strings {"Please close RCM files.\n" + dir.file("LX75RTPConvertMatrix.rcm") + ": "
            + test::missingReason(dir.file("LX75RTPConvertMatrix.rcm"))}));
    EXPECT_EQ(dialog.outcome(), SelectionOutcome::Closed);
    EXPECT_EQ(ws.doc.identity, (InverterIdentity {5, 2, 9, 2}));
}

// A refused version after a model move returns the dialog to the data set's
// model together with its own lists, so OK cannot store a capacity index of
// another model's list.
TEST_F(InverterSelectionPresenterTest, RefusedVersionAfterMoveRestoresDataSetsLists)
{
    Matrix matrix {firstCodes(Model::LX71RTP, 36), firstCodes(Model::LX75RTP, 36), {}};
    matrix.rowCodes[3] = "03-A3"; // LX71RTP index 30
    matrix.cells[{3, 4}] = "0";
    test::writeFile(dir.file("LX75RTPConvertMatrix.rcm"), matrix.bytes());
    test::writeFile(dir.file("LX71RTP_KGroupSet.txt"), "");
    installTable(Model::LX75RTP, 2, 4);

    openChange(InverterIdentity {1, 2, 7, 30});
    dialog.changeModel(Model::LX75RTP);
    dialog.pickRomVersion("01-A5");
    EXPECT_EQ(ui.englishTexts(), refused);
    EXPECT_EQ(dialog.model(), Model::LX71RTP);
    EXPECT_EQ(dialog.romText(), "03-A3");
    EXPECT_EQ(dialog.romVersion(), 30);
    EXPECT_EQ(dialog.capacities().size(), 39u); // list E
    EXPECT_EQ(dialog.capacity(), 7);
    EXPECT_EQ(ws.doc.romIndexShown, 30);
}

// ---- inverter change: models without a matrix

struct DirectCase {
    const char* name;
    InverterIdentity dataSet;
    std::optional<Model> toModel; // nothing: the data set's
    const char* pick;
    Strings messages;
    bool accepted;
    const char* romText;
};

class DirectAcceptance : public InverterSelectionPresenterTest, public ::testing::WithParamInterface<DirectCase> { };

// No conversion file exists in these installations: a model that read one
// would say "Please close RCM files.".
TEST_P(DirectAcceptance, DecidesWithoutConversionFiles)
{
    const DirectCase& c = GetParam();
    const std::optional<Model> to = c.toModel ? c.toModel : catalogue::modelOf(c.dataSet.model);
    ASSERT_TRUE(to);
    const int index = *catalogue::romIndexOf(*to, c.pick, 400);
    installTable(*to, c.dataSet.controlMode, index);
    openChange(c.dataSet);
    if (c.toModel)
        dialog.changeModel(*c.toModel);
    dialog.pickRomVersion(c.pick);
    EXPECT_EQ(ui.englishTexts(), c.messages);
    EXPECT_EQ(dialog.okEnabled(), c.accepted);
    EXPECT_EQ(dialog.romText(), c.romText);
}

INSTANTIATE_TEST_SUITE_P(InverterSelectionPresenter, DirectAcceptance,
    ::testing::Values(
        DirectCase {"Qm71nSameVersion", {8, 1, 16, 10}, std::nullopt, "C1-B2", {"Same ROM Version."}, false, "C1-B2"},
        DirectCase {"Qm71nOtherVersion", {8, 1, 16, 10}, std::nullopt, "C1-B3", {}, true, "C1-B3"},
        DirectCase {"Lx71VModeFrom12To10", {3, 1, 4, 12}, std::nullopt, "01-B2", refused, false, "01-B4"},
        DirectCase {"Lx71VModeFrom12To11", {3, 1, 4, 12}, std::nullopt, "01-B3", {}, true, "01-B3"},
        // Index 5 of QM71KRTP is another version than index 5 of QM71RTP.
        DirectCase {"Qm71rtpToQm71krtpSameIndex", {2, 1, 4, 5}, Model::QM71KRTP, "A1-A6", {}, true, "A1-A6"}),
    test::CaseName {});

TEST_F(InverterSelectionPresenterTest, Lx71VModeRefusalPutsDataSetVersionIntoMainWindowLabel)
{
    installTable(Model::LX71, 1, 10);
    openChange(InverterIdentity {3, 1, 4, 12});
    dialog.pickRomVersion("01-B2");
    EXPECT_EQ(dialog.romVersion(), 12);
    EXPECT_EQ(ws.doc.romIndexShown, 12);
}

} // namespace
} // namespace tess
