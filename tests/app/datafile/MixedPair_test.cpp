#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/Commands.h"
#include "domain/common/FileIo.h"

#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess {
namespace {

// A save stopped between its two renames leaves the new .csl beside the
// previous .csv. Open tells it, naming the .csv, and leaves Save ready to
// write the matching pair; a matching pair opens without a word.
TEST(OpenMixedPair, IsToldAndSaveWritesTheMatchingCopy)
{
    test::DemoWorkspace demo;
    Workspace& ws = demo.ws;
    ASSERT_TRUE(demo.newDefaultDataSet());
    const std::string csl = demo.dir.file("pump.csl");
    const std::string csv = demo.dir.file("pump.csv");
    demo.ui.fileNames.push_back(csl);
    saveDocumentAs(ws, demo.ui);
    const std::string previousCsv = test::readFile(csv);
    ASSERT_EQ(commitCellEdit(ws, demo.ui, test::oneDecimalRow(ws.doc), "12.5").outcome, CellOutcome::Accepted);
    ASSERT_EQ(saveDocument(ws, demo.ui), 0);
    const std::string matchingCsv = test::readFile(csv);
    closeDocument(ws, demo.ui);
    test::writeFile(csv, previousCsv);
    demo.ui.messages.clear();

    demo.ui.fileNames.push_back(csl);
    openDocument(ws, demo.ui);
    ASSERT_TRUE(ws.doc.state.open);
    EXPECT_EQ(demo.ui.englishTexts(),
        std::vector<std::string> {csv + " does not show the values of " + csl
            + " (a save may have stopped halfway); a save or an export writes a matching copy."});
    EXPECT_FALSE(ws.doc.state.saved);
    EXPECT_TRUE(ws.view.commands.saveItem);
    ASSERT_EQ(saveDocument(ws, demo.ui), 0);
    EXPECT_TRUE(test::readFile(csv) == matchingCsv);

    closeDocument(ws, demo.ui);
    demo.ui.messages.clear();
    demo.ui.fileNames.push_back(csl);
    openDocument(ws, demo.ui);
    EXPECT_TRUE(demo.ui.messages.empty());
    EXPECT_TRUE(ws.doc.state.saved);
}

} // namespace
} // namespace tess
