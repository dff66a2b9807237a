#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"
#include "domain/tables/ParameterTable.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// File comparison: a second data set laid out beside the open one in the
// same grid.
namespace tess::tables {

// The data set of the compared file, kept apart from the open one: the open
// data set's identity and values stay what Save, Save As and data write use.
struct ComparedDataSet {
    InverterIdentity identity;
    ParameterSet values {};
};

// What the compared file's own table says of one of its slots: the grid
// shows its code, names and range, and its value with its decimal places.
struct ComparedRow {
    std::string code;
    std::string nameJapanese;
    std::string nameEnglish;
    std::string rangeText;
    bool range400V = false;
    int decimals = 0;
    bool capacityWord = false;
};

// A second data set laid out beside the open one.
struct Comparison {
    ComparedDataSet compared;
    // By slot; nothing for the slots the compared file's table does not walk.
    std::vector<std::optional<ComparedRow>> rows = std::vector<std::optional<ComparedRow>>(SlotCount);
    // The slots whose shown words differ.
    std::bitset<SlotCount> differs;
    // The area limits of the compared file's table, which printing takes.
    std::array<std::uint16_t, AreaCount> areaFirst {};
    std::array<std::uint16_t, AreaCount> areaLast {};
};

// What the comparison of a second data set with the open one needs.
struct CompareRequest {
    std::string applicationFolder;
    InverterIdentity openIdentity;
    ParameterSet openValues {};
    // The open data set's table: its capacity word shows the capacity index.
    const ParameterTable* openTable = nullptr;
    // The user's own table folder beside the installation ("": none).
    std::string userFolder;
};

// The comparison and what to tell the user, in order.
struct TableComparison {
    bool done = false; // the whole walk succeeded: comparison holds it
    Comparison comparison;
    std::vector<Message> notices;
};

// The rules of `compareParameterTable` below as a function of values.
TableComparison compareWithTable(const CompareRequest& request, const ComparedDataSet& compared);

} // namespace tess::tables
