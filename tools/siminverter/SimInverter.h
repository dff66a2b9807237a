#pragma once

#include "domain/common/Identity.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// A simulated inverter for trying the communication without the hardware:
// the memory the program reads and writes, and the replies to its request
// frames. The tests put it behind a fake serial port; the program
// tessaline-siminverter puts it on a pseudo-terminal (SimPty).
namespace tess::sim {

// Correct reply texts, checksum and CR LF included.
std::string dataReplyText(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
std::string ackReplyText();
std::string nakReplyText(char code);

// The ten identity characters an inverter of the data set's model and ROM
// version sends: the model's five-character prefix and the ROM code. Empty
// when the catalogue names no such model or ROM version.
std::string identityTextFor(int model, int romVersion);

class SimInverter {
public:
    // Reads come from here (zeros where nothing was put); writes land here.
    std::map<std::uint32_t, std::uint8_t> memory;
    std::map<std::uint32_t, char> nakAt; // request address -> refusal code
    std::set<std::uint32_t> silentAt; // request address -> no reply
    std::vector<std::uint32_t> writtenAddresses; // every word written, in order

    void put(std::uint32_t address, std::string_view bytes);
    void putWord(std::uint32_t address, std::uint16_t word);
    std::uint16_t word(std::uint32_t address) const;

    // The identity text, the control-mode and capacity words and the 665
    // values of a data set, as the inverter would hold them.
    void loadDataSet(const std::string& identityText, const InverterIdentity& identity, const ParameterSet& values);

    // The reply to one request frame (ENQ BLK command, digits, checksum,
    // CR LF); nothing for silence. A frame that is not a well-formed request
    // is refused with the code an inverter gives for it.
    std::optional<std::string> answer(std::string_view frame);

    // Takes bytes as they come off the line and answers every complete frame
    // (up to LF) among them; a partial frame waits for the rest.
    std::string feed(std::string_view bytes);

private:
    std::string m_pending;
};

} // namespace tess::sim
