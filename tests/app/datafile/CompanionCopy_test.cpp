// A .csv that is not the copy of its .csl (a save cut short between its two
// renames) is told on Open, and the next save writes the matching copy.
#include "app/common/Workspace.h"
#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/Commands.h"
#include "domain/common/FileIo.h"
#include "domain/datafile/CompanionCsv.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tess {
namespace {

using test::oneDecimalRow;

enum class PairState { Matching, NewDataFileBesideOldCopy, NoCopy, CopyInTheOtherLanguage, DataFileCutShort };

struct CopyCase {
    const char* name;
    PairState state;
    bool told;
};

// pump.csl saved, and newer.csl: the same data set with one value changed,
// as a later save of pump.csl would write it.
class CompanionCopy : public ::testing::TestWithParam<CopyCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(demo.newDefaultDataSet());
        saveAs(pump);
        const int row = oneDecimalRow(demo.ws.doc);
        ASSERT_EQ(commitCellEdit(demo.ws, demo.ui, row, "12.5").outcome, CellOutcome::Accepted);
        saveAs(newer);
        closeDocument(demo.ws, demo.ui);
        demo.ui.messages.clear();
    }

    void saveAs(const std::string& path)
    {
        demo.ui.fileNames.push_back(path);
        saveDocumentAs(demo.ws, demo.ui);
        ASSERT_TRUE(demo.ws.doc.state.saved);
    }

    // The messages that speak of pump.csv's copy being from another save.
    std::vector<std::string> copyNotices() const
    {
        std::vector<std::string> found;
        for (const std::string& text : demo.ui.englishTexts())
            if (text.find(csv) != std::string::npos && text.find("another save") != std::string::npos)
                found.push_back(text);
        return found;
    }

    bool openPump()
    {
        demo.ui.fileNames.push_back(pump);
        openDocument(demo.ws, demo.ui);
        return demo.ws.doc.state.open;
    }

    test::DemoWorkspace demo;
    const std::string pump = demo.dir.file("pump.csl");
    const std::string csv = demo.dir.file("pump.csv");
    const std::string newer = demo.dir.file("newer.csl");
};

TEST_P(CompanionCopy, OpenTellsACopyFromAnotherSave)
{
    switch (GetParam().state) {
    case PairState::Matching:
        break;
    case PairState::NewDataFileBesideOldCopy:
        test::writeFile(pump, test::readFile(newer));
        break;
    case PairState::NoCopy:
        ASSERT_EQ(std::remove(csv.c_str()), 0);
        break;
    case PairState::CopyInTheOtherLanguage: {
        // Saved once more while the window shows Japanese.
        ASSERT_TRUE(openPump());
        demo.ws.settings.language = Language::Japanese;
        ASSERT_EQ(saveDocument(demo.ws, demo.ui), datafile::SaveResult::Saved);
        closeDocument(demo.ws, demo.ui);
        demo.ws.settings.language = Language::English;
        demo.ui.messages.clear();
        break;
    }
    case PairState::DataFileCutShort: {
        const std::string whole = test::readFile(newer);
        test::writeFile(pump, whole.substr(0, whole.size() / 2));
        break;
    }
    }

    openPump();
    const std::vector<std::string> notices = copyNotices();
    EXPECT_EQ(notices.size(), GetParam().told ? 1u : 0u) << testing::PrintToString(demo.ui.englishTexts());
    for (const std::string& notice : notices)
        EXPECT_NE(notice.find("Save writes the matching copy"), std::string::npos) << notice;
}

INSTANTIATE_TEST_SUITE_P(Cases, CompanionCopy,
    ::testing::Values(CopyCase {"Matching", PairState::Matching, false},
        CopyCase {"NewDataFileBesideOldCopy", PairState::NewDataFileBesideOldCopy, true},
        CopyCase {"NoCopy", PairState::NoCopy, false},
        CopyCase {"CopyInTheOtherLanguage", PairState::CopyInTheOtherLanguage, false},
        CopyCase {"DataFileCutShort", PairState::DataFileCutShort, false}),
    test::CaseName());

class CompanionCopyRepair : public CompanionCopy { };

TEST_F(CompanionCopyRepair, SaveWritesTheMatchingCopy)
{
    const std::string newerCopy = test::readFile(demo.dir.file("newer.csv"));
    test::writeFile(pump, test::readFile(newer));
    ASSERT_TRUE(openPump());
    ASSERT_EQ(copyNotices().size(), 1u);

    ASSERT_EQ(saveDocument(demo.ws, demo.ui), datafile::SaveResult::Saved);
    EXPECT_EQ(test::readFile(csv), newerCopy);

    closeDocument(demo.ws, demo.ui);
    demo.ui.messages.clear();
    ASSERT_TRUE(openPump());
    EXPECT_TRUE(copyNotices().empty());
}

} // namespace
} // namespace tess
