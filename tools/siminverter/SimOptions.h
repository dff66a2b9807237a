#pragma once

#include "siminverter/SimInverter.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The command line of tessaline-siminverter, parsed apart from the program
// so that the tests can try it.
namespace tess::sim {

struct SimOptions {
    std::string dataSetPath;
    std::string identityText; // empty: the one the data set's model and ROM version give
    int baud = 0; // 0: replies as fast as the pseudo-terminal takes them
    std::map<std::uint32_t, Fault> faults; // by request address
    std::optional<std::size_t> hangUpAfter; // requests answered before the line is closed
    bool flowControl = false; // the line comes up with flow control on
    bool timing = false; // each exchange's moments on stderr
};

// The program's usage text, one option a line.
extern const char* const SimUsageText;

// A request address as the options name it: a byte address in hexadecimal
// ("0x200050") or "word:N", the address of parameter word N (0x200000 + 2N).
std::optional<std::uint32_t> parseRequestAddress(std::string_view text);

// The options of one run (arguments without the program name); nothing, with
// the reason in error, when they are no valid command line.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string* error);

} // namespace tess::sim
