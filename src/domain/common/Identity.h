#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tess {

constexpr int SlotCount = 665; // parameter words of one inverter
constexpr int AreaCount = 16; // data areas "Fund.", A .. S

// The data areas in their fixed order; a parameter code is the area's name,
// a hyphen and a number ("Fund.-0", "A-11").
constexpr std::array<std::string_view, AreaCount> dataAreaNames {
    "Fund.", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "L", "N", "O", "P", "S"};

// The inverter a data set belongs to: four indices into the model catalogue.
struct InverterIdentity {
    std::int16_t model = 0;
    std::int16_t controlMode = 0;
    std::int16_t capacity = 0;
    std::int16_t romVersion = 0;

    friend bool operator==(const InverterIdentity&, const InverterIdentity&) = default;
};

constexpr std::int16_t UnsupportedModel = 99;
constexpr std::int16_t UnsupportedRomVersion = 999;

// The values of one data set, each the setting with its decimal point removed.
using ParameterSet = std::array<std::int32_t, SlotCount>;

} // namespace tess

namespace tess {

// The two model families differ in control-mode letters and in table rules.
enum class ModelFamily { QM, LX };

} // namespace tess
