// An Inverter change keeps the values slot by slot under the new table; the
// saved pair must then say one thing: every word of the .csl as its .csv line
// shows it, the capacity word (S-2) the capacity of the header included.
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Cp932.h"
#include "domain/datafile/DataSetFormat.h"
#include "domain/grid/CellText.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tess {
namespace {

using catalogue::Model;
using catalogue::SelectionChoice;

SelectionChoice choiceOf(Model model, int capacityStep)
{
    SelectionChoice choice;
    choice.model = model;
    choice.controlMode = catalogue::defaultControlMode(model);
    choice.capacityIndex = catalogue::defaultCapacity(model) + capacityStep;
    return choice;
}

struct ChangeCase {
    const char* name;
    SelectionChoice from;
    SelectionChoice to;
};

class InverterChangeSaved : public ::testing::TestWithParam<ChangeCase> { };

// The fields of one .csv line, quotes undone.
std::vector<std::string> csvFields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back().push_back('"');
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

TEST_P(InverterChangeSaved, StoresEveryWordAsTheCsvShowsIt)
{
    const ChangeCase& c = GetParam();
    test::DemoWorkspace demo;
    catalogue::ScriptedSelection selection;
    selection.choices.push_back(c.from);
    newDocument(demo.ws, demo.ui, selection);
    ASSERT_TRUE(demo.ws.doc.state.open);
    selection.choices.push_back(c.to);
    changeInverter(demo.ws, demo.ui, selection);
    ASSERT_EQ(selection.lastOutcome, catalogue::ScriptOutcome::Accepted)
        << testing::PrintToString(demo.ui.englishTexts());

    const std::string path = demo.dir.file("changed.csl");
    demo.ui.fileNames.push_back(path);
    saveDocumentAs(demo.ws, demo.ui);
    ASSERT_TRUE(demo.ws.doc.state.saved);

    const datafile::ParsedDataSet saved = datafile::parseDataSet(test::readFile(path));
    EXPECT_EQ(saved.identity, demo.ws.doc.identity);
    std::istringstream csv(cp932ToUtf8(test::readFile(demo.dir.file("changed.csv"))));
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);)
        lines.push_back(line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0)));
    ASSERT_EQ(lines.size(), 2u + SlotCount);

    const ParameterTable& table = demo.ws.doc.table;
    int checked = 0;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::optional<ParameterDef>& def = table.def(slot);
        if (!def)
            continue;
        const std::vector<std::string> fields = csvFields(lines[2 + static_cast<std::size_t>(slot)]);
        ASSERT_EQ(fields.size(), std::size_t(GridColumnCount)) << def->code;
        EXPECT_EQ(fields[ColCode], def->code);
        const std::int32_t word = saved.values[static_cast<std::size_t>(slot)];
        EXPECT_EQ(fields[ColValue], valueText(word, def->decimals, def->signFlag)) << def->code;
        if (def->capacityWord) {
            EXPECT_EQ(word, demo.ws.doc.identity.capacity) << "the capacity word is the header's capacity";
        }
        ++checked;
    }
    EXPECT_GT(checked, 600);
}

INSTANTIATE_TEST_SUITE_P(Commands, InverterChangeSaved,
    ::testing::Values(ChangeCase {"Qm71NextCapacity", choiceOf(Model::QM71, 0), choiceOf(Model::QM71, 1)},
        ChangeCase {"Qm71PreviousCapacity", choiceOf(Model::QM71, 2), choiceOf(Model::QM71, 1)},
        ChangeCase {"Qm71FarCapacity", choiceOf(Model::QM71, 0), choiceOf(Model::QM71, 5)},
        ChangeCase {"Lx71RtpNextCapacity", choiceOf(Model::LX71RTP, 0), choiceOf(Model::LX71RTP, 1)}),
    test::CaseName {});

// A file whose capacity word says another capacity than its header opens with
// the header's, says so, and waits to be saved in step.
TEST(OpenedCapacityWord, FollowsTheHeaderAndSaysSo)
{
    test::DemoWorkspace demo;
    ASSERT_TRUE(demo.newDefaultDataSet());
    const std::string path = demo.dir.file("two-capacities.csl");
    demo.ui.fileNames.push_back(path);
    saveDocumentAs(demo.ws, demo.ui);
    const ParameterTable& table = demo.ws.doc.table;
    int slot = -1;
    for (int s = 0; s < SlotCount; ++s)
        if (table.def(s) && table.def(s)->capacityWord)
            slot = s;
    ASSERT_GE(slot, 0);
    const int capacity = demo.ws.doc.identity.capacity;
    closeDocument(demo.ws, demo.ui);

    datafile::ParsedDataSet parsed = datafile::parseDataSet(test::readFile(path));
    parsed.values[static_cast<std::size_t>(slot)] = capacity + 3;
    test::writeFile(path, datafile::formatDataSet(parsed.identity, parsed.values));
    demo.ui.messages.clear();

    ASSERT_TRUE(openDocumentAt(demo.ws, demo.ui, path));
    EXPECT_EQ(demo.ws.doc.values[static_cast<std::size_t>(slot)], capacity);
    ASSERT_EQ(demo.ui.englishTexts().size(), 1u);
    EXPECT_NE(demo.ui.englishTexts().front().find(std::to_string(capacity + 3)), std::string::npos);
    EXPECT_FALSE(demo.ws.doc.state.saved);
    saveDocument(demo.ws, demo.ui);
    EXPECT_EQ(datafile::parseDataSet(test::readFile(path)).values[static_cast<std::size_t>(slot)], capacity);
}

} // namespace
} // namespace tess
