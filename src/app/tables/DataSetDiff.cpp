#include "app/tables/DataSetDiff.h"

#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/GridFilter.h"
#include "app/tables/FileCompareCommand.h"

#include <cstdint>

namespace tess::tables {
namespace {

// One table lays out both data sets only when it is the exact table of
// both: one shown with an older ROM version's table stands in is read with
// its own.
bool ofOneTable(const Document& left, const Document& right)
{
    return left.identity.model == right.identity.model && left.identity.controlMode == right.identity.controlMode
        && left.identity.romVersion == right.identity.romVersion && !left.table.substitute && !right.table.substitute;
}

// The number a data set's grid shows in a slot: the word read as signed or
// not by its sign flag, with its decimal places; the capacity word holds the
// capacity index.
struct ShownNumber {
    std::int64_t units = 0;
    int decimals = 0;
};

ShownNumber shownNumber(const Document& doc, const ParameterDef& def)
{
    if (def.capacityWord)
        return {doc.identity.capacity, 0};
    const auto low = static_cast<std::uint16_t>(doc.values[static_cast<std::size_t>(def.slot)]);
    const std::int64_t stored = def.signFlag == 0 ? static_cast<std::int16_t>(low) : low;
    return {stored, def.decimals};
}

std::int64_t powerOfTen(int exponent)
{
    std::int64_t power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}

// Read with other decimal places the same word is another value ("10.0"
// and "1.00"), while "0" and "0.0" are the same.
bool sameNumber(const ShownNumber& a, const ShownNumber& b)
{
    return a.units * powerOfTen(b.decimals) == b.units * powerOfTen(a.decimals);
}

std::optional<DataSetDiff> diffOfOneTable(Workspace& left, const Workspace& right, Ui& ui)
{
    Document& doc = left.doc;
    const ComparedDataSet compared {right.doc.identity, right.doc.values};
    std::optional<Comparison> shownBefore = doc.comparison;
    if (compareParameterTable(left, ui, compared) != CompareResult::Done)
        return std::nullopt;
    const Comparison comparison = std::move(*doc.comparison);
    doc.comparison = std::move(shownBefore);

    const GridSource ours = gridSource(left);
    const GridSource theirs = gridSource(right);
    DataSetDiff diff;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const auto index = static_cast<std::size_t>(slot);
        if (!comparison.rows[index] || !comparison.differs[index])
            continue;
        const int row = slot + 1;
        DiffLine& line = diff.lines.emplace_back();
        line.slot = slot;
        line.code = cellText(ours, row, ColCode);
        line.name = cellText(ours, row, ColName);
        line.left = cellText(ours, row, ColValue);
        line.right = cellText(theirs, row, ColValue);
    }
    return diff;
}

DataSetDiff diffOfOwnTables(const Workspace& left, const Workspace& right)
{
    const GridSource ours = gridSource(left);
    const GridSource theirs = gridSource(right);
    DataSetDiff diff;
    diff.ownTables = true;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::optional<ParameterDef>& a = left.doc.table.def(slot);
        const std::optional<ParameterDef>& b = right.doc.table.def(slot);
        if (!a && !b)
            continue;
        const int row = slot + 1;
        DiffLine line;
        line.slot = slot;
        if (a)
            line.left = cellText(ours, row, ColValue);
        if (b)
            line.right = cellText(theirs, row, ColValue);
        if (a && b && sameNumber(shownNumber(left.doc, *a), shownNumber(right.doc, *b)))
            continue;
        const GridSource& named = a ? ours : theirs;
        line.code = cellText(named, row, ColCode);
        line.name = cellText(named, row, ColName);
        if (a && b && b->code != a->code) {
            line.otherCode = cellText(theirs, row, ColCode);
            line.otherName = cellText(theirs, row, ColName);
        }
        diff.lines.push_back(std::move(line));
    }
    return diff;
}

} // namespace

std::optional<DataSetDiff> diffDataSets(Workspace& left, const Workspace& right, Ui& ui)
{
    if (ofOneTable(left.doc, right.doc))
        return diffOfOneTable(left, right, ui);
    return diffOfOwnTables(left, right);
}

DataSetDiff diffWithDefaults(const Workspace& ws)
{
    GridFilterSettings changed;
    changed.changedOnly = true;
    const GridSource grid = gridSource(ws);
    DataSetDiff diff;
    for (const int row : filterGridRows(ws.doc, changed).rows) {
        DiffLine& line = diff.lines.emplace_back();
        line.slot = row - 1;
        line.code = cellText(grid, row, ColCode);
        line.name = cellText(grid, row, ColName);
        line.left = cellText(grid, row, ColValue);
        line.right = cellText(grid, row, ColDefault);
    }
    return diff;
}

} // namespace tess::tables
