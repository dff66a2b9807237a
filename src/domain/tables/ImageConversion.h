#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Message.h"
#include "domain/settings/FileVersionSettings.h"
#include "domain/tables/TableFiles.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The identity checks and the parameter image conversion of a communication
// read or write: what the inverter says it is, compared with the catalogue
// and the open data set, and its 665 parameter words turned into values.
namespace tess::tables {

constexpr std::size_t IdentityTextLength = 10; // bytes 0..9: model and ROM code text
constexpr std::size_t IdentityBufferLength = 14; // + control-mode and capacity codes
constexpr std::size_t ParameterImageLength = 2 * SlotCount;

// What the checks found out about the inverter, kept for the rest of the
// transaction that asked.
struct ReceivedIdentity {
    int model = -1; // model index, -1 when the text names none
    int romVersion = 0; // ROM version index
    bool earlyRtp = false; // an early LX71RTP ("LX" with "R" at character 4)
    int controlModeCode = 0; // as received, 0..65535
    int capacityCode = 0; // as received, 0..65535
    // The communication dialog's forced transfer: take the model's newest ROM
    // version instead of looking the received code up.
    bool forcedTransfer = false;

    // The four numbers as an InverterIdentity (for saving what was read).
    InverterIdentity asIdentity() const;
};

// What the identity text told of the inverter, beside the data set when compared.
enum class IdentityCheck {
    Known, // model and ROM version known (and, compared, those of the data set)
    UnknownModel, // the text names no model (model -1)
    UnknownRomVersion, // the ROM code is not in the model's list up to its Ver_max (ROM version index 999)
    OtherModel, // compared: the model differs from the data set's
    OtherRomVersion, // compared: the ROM version differs from the data set's
};

// the model from the first characters of the identity text
// and the ROM version index from characters 5..9, into found. Missing bytes
// count as 0.
IdentityCheck checkIdentity(ReceivedIdentity& found, std::span<const std::uint8_t> identityBuffer, bool compare,
    const InverterIdentity& dataSet, const FileVersionSettings& settings);

// the control-mode code (bytes 10, 11) and capacity code
// (bytes 12, 13), high byte first, into found. With compare -1 when the
// control mode differs from dataSet's, else -2 when the capacity does, else
// 0; without compare 0.
int checkModeCapacity(ReceivedIdentity& found, std::span<const std::uint8_t> identityBuffer, bool compare,
    const InverterIdentity& dataSet);

// What converting the image came to. result: -3 when the identity has no
// table of its own (the values are stored all the same), else 0. notice: a
// table file that is there but could not be read ("Please close CSV
// files." with its reason); the values are stored without the doubling.
struct ImageConversionResult {
    int result = 0;
    std::optional<Message> notice;
};

// `convertParameterImage`: the image's 665 big-endian words, each a signed
// 16-bit number, into values. The first slot of area "F" in the identity's
// table (or the newest older one) holds its word doubled when the received
// capacity code is of the 400 V class. With skipTable no table is looked up
// and the result is 0. Missing bytes count as 0.
ImageConversionResult convertParameterImage(const ReceivedIdentity& found, std::span<const std::uint8_t> image,
    bool skipTable, const TableFolders& folders, ParameterSet& values);

} // namespace tess::tables
