// Every conversion the demo's matrices allow, for every model: the report
// accounts for all 665 words, and what each row claims holds against the
// table before and the table after.
#include "app/mainwindow/Commands.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/grid/CellText.h"
#include "domain/tables/ValueFormat.h"
#include "mkdemo/DemoInstallation.h"

#include "support/DemoWorkspace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace tess {
namespace {

using catalogue::Model;
using tables::ConversionKind;
using tables::ConversionRow;

bool reserved(const std::optional<ParameterDef>& def)
{
    return !def || def->nameEnglish == "Reserved";
}

// The range and the value as plain numbers, read here on their own rather
// than as the report reads them.
std::optional<std::pair<double, double>> rangeOf(const ParameterDef& def)
{
    const std::string text = def.range400V ? "640.0/720.0" : std::string(def.rangeText);
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return std::nullopt;
    return std::pair {std::stod(text.substr(0, slash)), std::stod(text.substr(slash + 1))};
}

double number(const std::string& text)
{
    return std::stod(text);
}

void checkRow(const ConversionRow& row, const ParameterTable& before, const ParameterTable& after,
    const ParameterSet& valuesBefore, const ParameterSet& valuesAfter, int capacityAfter)
{
    const std::optional<ParameterDef>& was = before.def(row.slot);
    const std::optional<ParameterDef>& now = after.def(row.slot);
    SCOPED_TRACE(row.codeAfter.empty() ? row.codeBefore : row.codeAfter);
    if (row.has(ConversionKind::NowParameter)) {
        EXPECT_TRUE(reserved(was) && !reserved(now));
    }
    if (row.has(ConversionKind::NowReserved)) {
        EXPECT_TRUE(!reserved(was) && reserved(now));
    }
    if (row.has(ConversionKind::Meaning)) {
        ASSERT_TRUE(was && now);
        EXPECT_TRUE(
            was->code != now->code || was->nameEnglish != now->nameEnglish || was->nameJapanese != now->nameJapanese);
    }
    if (row.has(ConversionKind::DecimalPlaces)) {
        ASSERT_TRUE(was && now);
        EXPECT_NE(was->decimals, now->decimals);
    }
    if (row.has(ConversionKind::DefaultDiffers)) {
        ASSERT_TRUE(was && now);
        EXPECT_NE(number(row.defaultBefore), number(row.defaultAfter));
        if (!now->capacityWord) {
            EXPECT_EQ(number(row.defaultAfter), number(tables::formatUnits(now->defaultUnits, now->decimals)));
        }
    }
    if (row.has(ConversionKind::OutOfRange)) {
        ASSERT_TRUE(now);
        const auto range = rangeOf(*now);
        ASSERT_TRUE(range);
        const double value
            = number(valueText(valuesAfter[static_cast<std::size_t>(row.slot)], now->decimals, now->signFlag));
        EXPECT_TRUE(value < range->first || value > range->second) << value;
    }
    if (row.has(ConversionKind::SetFromCapacity)) {
        ASSERT_TRUE(now && now->capacityWord);
        EXPECT_EQ(valuesAfter[static_cast<std::size_t>(row.slot)], capacityAfter);
        EXPECT_NE(valuesBefore[static_cast<std::size_t>(row.slot)], capacityAfter);
    }
}

// A word left out of the report reads as before.
void checkUnchanged(int slot, const ParameterTable& before, const ParameterTable& after,
    const ParameterSet& valuesBefore, const ParameterSet& valuesAfter)
{
    const std::optional<ParameterDef>& was = before.def(slot);
    const std::optional<ParameterDef>& now = after.def(slot);
    EXPECT_EQ(reserved(was), reserved(now)) << slot;
    EXPECT_EQ(valuesBefore[static_cast<std::size_t>(slot)], valuesAfter[static_cast<std::size_t>(slot)]) << slot;
    if (reserved(was) || reserved(now))
        return;
    EXPECT_EQ(was->code, now->code);
    EXPECT_EQ(was->nameEnglish, now->nameEnglish);
    EXPECT_EQ(was->decimals, now->decimals) << now->code;
    if (const auto range = rangeOf(*now); range && !now->capacityWord) {
        const double value
            = number(valueText(valuesAfter[static_cast<std::size_t>(slot)], now->decimals, now->signFlag));
        EXPECT_TRUE(value >= range->first && value <= range->second) << now->code << " " << value;
    }
}

// A capacity the selection offers at the ROM version: the model's default
// where its list holds one there, else the first entry that names a drive.
int offeredCapacity(Model model, int romVersion)
{
    const auto list = catalogue::capacityListForSelection(model, romVersion);
    if (!list)
        return -1;
    const auto entries = catalogue::capacityListEntries(*list);
    const auto named = [&](int i) {
        return i >= 0 && i < static_cast<int>(entries.size())
            && entries[static_cast<std::size_t>(i)].find_first_not_of(' ') != std::string_view::npos;
    };
    if (named(catalogue::defaultCapacity(model)))
        return catalogue::defaultCapacity(model);
    for (int i = 0; i < static_cast<int>(entries.size()); ++i)
        if (named(i))
            return i;
    return -1;
}

class ConversionEveryModel : public ::testing::TestWithParam<Model> { };

TEST_P(ConversionEveryModel, ReportAccountsForEveryWordAndEachClaimHolds)
{
    const Model model = GetParam();
    test::DemoWorkspace demo;
    Document& doc = demo.ws.doc;
    int converted = 0;
    for (const demo::CoveredTable& from : demo::coveredTables()) {
        if (from.model != model)
            continue;
        const std::string fromRom(catalogue::romVersionText(model, from.romVersion).value_or(""));
        for (const demo::CoveredTable& to : demo::coveredTables()) {
            if (to.model != model || to.controlMode != from.controlMode || to.romVersion == from.romVersion)
                continue;
            SCOPED_TRACE(fromRom + " -> " + std::string(*catalogue::romVersionText(model, to.romVersion)) + " mode "
                + std::to_string(from.controlMode));
            catalogue::ScriptedSelection selection;
            selection.cancelUnlessAccepted = true;
            catalogue::SelectionChoice choice;
            choice.model = model;
            choice.controlMode = from.controlMode;
            choice.romCode = fromRom;
            choice.capacityIndex = offeredCapacity(model, from.romVersion);
            selection.choices.push_back(choice);
            newDocument(demo.ws, demo.ui, selection);
            ASSERT_TRUE(doc.state.open) << testing::PrintToString(demo.ui.englishTexts());

            const ParameterTable before = doc.table;
            const ParameterSet valuesBefore = doc.values;
            choice.romCode = std::string(*catalogue::romVersionText(model, to.romVersion));
            // The same drive size, where the new list holds it.
            choice.capacityText = std::string(catalogue::capacityListEntries(*catalogue::capacityListForSelection(
                model, from.romVersion))[static_cast<std::size_t>(choice.capacityIndex)]);
            choice.capacityIndex = -1;
            selection.choices.push_back(choice);
            changeInverter(demo.ws, demo.ui, selection);
            if (selection.lastOutcome == catalogue::ScriptOutcome::Accepted && doc.content == GridContent::Table) {
                ASSERT_TRUE(doc.conversionReport);
                const tables::ConversionReport& report = *doc.conversionReport;
                EXPECT_EQ(static_cast<int>(report.rows.size()) + report.unchanged, SlotCount);
                std::set<int> reported;
                for (const ConversionRow& row : report.rows) {
                    EXPECT_NE(row.kinds, 0);
                    EXPECT_TRUE(reported.insert(row.slot).second);
                    checkRow(row, before, doc.table, valuesBefore, doc.values, doc.identity.capacity);
                }
                for (int slot = 0; slot < SlotCount; ++slot)
                    if (!reported.contains(slot))
                        checkUnchanged(slot, before, doc.table, valuesBefore, doc.values);
                ++converted;
            } else {
                EXPECT_FALSE(doc.conversionReport);
            }
            demo.ui.answers.push_back(Answer::No);
            closeDocument(demo.ws, demo.ui);
            ASSERT_FALSE(doc.state.open);
            demo.ui.messages.clear();
        }
    }
    // A model whose versions the matrices never let move would test nothing.
    RecordProperty("converted", converted);
    EXPECT_GT(converted, 0);
}

std::vector<Model> demoModels()
{
    std::vector<Model> models;
    for (const demo::CoveredTable& table : demo::coveredTables())
        if (std::find(models.begin(), models.end(), table.model) == models.end())
            models.push_back(table.model);
    return models;
}

INSTANTIATE_TEST_SUITE_P(Demo, ConversionEveryModel, ::testing::ValuesIn(demoModels()),
    [](const ::testing::TestParamInfo<Model>& p) { return std::string(catalogue::modelName(p.param)); });

} // namespace
} // namespace tess
