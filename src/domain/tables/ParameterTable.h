#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "domain/common/Identity.h"

namespace tess {

// One parameter record of a table file, as read, with its position. The
// texts are views into the texts of the ParameterTable that holds the record,
// and live as long as it (or a copy of it) does.
struct ParameterDef {
    std::string_view code; // field 0, e.g. "A-11"
    std::string_view nameJapanese; // field 1
    std::string_view nameEnglish; // field 2
    std::string_view rangeText; // field 3
    std::string_view defaultText; // field 4
    int decimals = 0; // field 6, possibly replaced from the capacity file
    int significantFigures = 0; // field 7
    std::int16_t signFlag = 0; // field 8: 0 signed, otherwise unsigned 16-bit
    int slot = 0; // ParameterSet index the record was assigned to
    int line = 0; // line number in the file, counted from 0

    // What the loaded table makes of the record for this identity. The
    // default in stored units with `decimals` places, after the capacity,
    // V/F and 400 V rules.
    std::int64_t defaultUnits = 0;
    // The decimal places as the file (or the capacity default file of the
    // record's motor group) writes them.
    std::string_view decimalsText;
    // The range is the 400 V class's fixed one rather than rangeText.
    bool range400V = false;
    // The word holds the capacity index of the identity ("S-2").
    bool capacityWord = false;
};

using ParameterDefs = std::array<std::optional<ParameterDef>, SlotCount>;

// The records of no table.
const std::shared_ptr<const ParameterDefs>& noParameterDefs();

// The parameter table of one InverterIdentity.
struct ParameterTable {
    std::string path;
    std::array<std::uint16_t, AreaCount> areaFirst {};
    std::array<std::uint16_t, AreaCount> areaLast {};
    std::string capacityFileName;
    // The records by slot, shared by the copies of the table (every
    // document and comparison holds one).
    std::shared_ptr<const ParameterDefs> defs = noParameterDefs();
    bool substitute = false;
    // Every record was read, but the file is not whole: its last line is cut
    // or its line ends change (the loader has said where).
    bool fileDamaged = false;
    // What the records' texts are views into (the table file's decoded text),
    // shared by the copies of the table.
    std::shared_ptr<const void> texts;

    const std::optional<ParameterDef>& def(int slot) const { return defs->at(static_cast<std::size_t>(slot)); }
};

} // namespace tess
