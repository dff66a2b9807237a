#include "siminverter/SimOptions.h"

#include "domain/comm/SerialLink.h"
#include "domain/common/Identity.h"

#include <charconv>
#include <limits>

namespace tess::sim {

const char* const SimUsageText
    = "usage: tessaline-siminverter [options] DATASET.csl\n"
      "  --identity TEXT      the ten identity characters (default: from the data set)\n"
      "  --baud N             pace the line at N baud, 9600 for a real one (default: no pacing)\n"
      "  --delay ADDR=MS      answer requests to ADDR correctly, MS milliseconds late\n"
      "  --nak ADDR=CODE      refuse requests to ADDR with the code character CODE\n"
      "  --silent ADDR        never answer requests to ADDR\n"
      "  --overlong ADDR      answer with a reply of 700 characters before its CR LF\n"
      "  --garbage ADDR       answer with a wrong first character\n"
      "  --sum-high ADDR      answer with the checksum's high digit wrong\n"
      "  --sum-low ADDR       answer with the checksum's low digit wrong\n"
      "  --cut ADDR           answer with the first half of the reply and no CR LF\n"
      "  --other-header ADDR  answer a read with another address in the reply's header\n"
      "  --stray ADDR=BYTE    answer with the byte (0x00 to 0xFF) put in before the checksum\n"
      "  --flow-control       the line comes up with software and hardware flow control on\n"
      "  --once               the faults named after this meet only the first request to their address\n"
      "  --hangup-after N     answer N requests, then close the line at the next one\n"
      "  --timing             tell on stderr when each request began and its reply ended\n"
      "ADDR: a byte address in hexadecimal (0x200050) or word:N (0x200000 + 2N, the address of word N)\n";

namespace {

// A whole number from 0 to highest, nothing else around it.
template <typename Number> std::optional<Number> parseNumber(std::string_view text, int base, Number highest)
{
    Number number {};
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, number, base);
    if (text.empty() || failure != std::errc {} || stop != end || number < Number {} || number > highest)
        return std::nullopt;
    return number;
}

// The longest delay taken: ten minutes.
constexpr int LongestDelayMs = 600'000;

// The options that name one address and no parameter.
struct AddressOnlyOption {
    std::string_view name;
    FaultKind kind;
};
constexpr AddressOnlyOption AddressOnlyOptions[] {{"--silent", FaultKind::Silent}, {"--overlong", FaultKind::Overlong},
    {"--garbage", FaultKind::WrongFirst}, {"--sum-high", FaultKind::SumHigh}, {"--sum-low", FaultKind::SumLow},
    {"--cut", FaultKind::Cut}, {"--other-header", FaultKind::OtherHeader}};

std::optional<FaultKind> addressOnlyFault(std::string_view option)
{
    for (const AddressOnlyOption& known : AddressOnlyOptions)
        if (known.name == option)
            return known.kind;
    return std::nullopt;
}

bool takesValue(std::string_view option)
{
    return option == "--identity" || option == "--baud" || option == "--hangup-after" || option == "--delay"
        || option == "--nak" || option == "--stray" || addressOnlyFault(option);
}

} // namespace

std::optional<std::uint32_t> parseRequestAddress(std::string_view text)
{
    constexpr std::string_view WordPrefix = "word:";
    if (text.starts_with(WordPrefix)) {
        const std::optional<int> word = parseNumber<int>(text.substr(WordPrefix.size()), 10, SlotCount - 1);
        if (!word)
            return std::nullopt;
        return comm::ImageAddress + 2 * static_cast<std::uint32_t>(*word);
    }
    if (!text.starts_with("0x") && !text.starts_with("0X"))
        return std::nullopt;
    return parseNumber<std::uint32_t>(text.substr(2), 16, std::numeric_limits<std::uint32_t>::max());
}

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string* error)
{
    SimOptions options;
    bool once = false;
    const auto fail = [error](std::string reason) -> std::optional<SimOptions> {
        if (error)
            *error = std::move(reason);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (!option.starts_with("-")) {
            if (!options.dataSetPath.empty())
                return fail("more than one data set: " + option);
            options.dataSetPath = option;
            continue;
        }
        if (option == "--once") {
            once = true;
            continue;
        }
        if (option == "--flow-control") {
            options.flowControl = true;
            continue;
        }
        if (option == "--timing") {
            options.timing = true;
            continue;
        }
        if (!takesValue(option))
            return fail("unknown option " + option);
        if (i + 1 >= args.size())
            return fail(option + " needs a value");
        const std::string_view value = args[++i];

        if (option == "--identity") {
            options.identityText = value;
        } else if (option == "--baud") {
            const std::optional<int> baud = parseNumber<int>(value, 10, std::numeric_limits<int>::max());
            if (!baud || *baud < 10)
                return fail("--baud needs a rate of at least 10: " + std::string(value));
            options.baud = *baud;
        } else if (option == "--hangup-after") {
            const std::optional<std::size_t> count
                = parseNumber<std::size_t>(value, 10, std::numeric_limits<std::size_t>::max());
            if (!count)
                return fail("--hangup-after needs a number of requests: " + std::string(value));
            options.hangUpAfter = *count;
        } else if (option == "--delay" || option == "--nak" || option == "--stray") {
            // ADDR=MS, ADDR=CODE or ADDR=BYTE
            const std::size_t equals = value.find('=');
            const std::optional<std::uint32_t> address
                = parseRequestAddress(value.substr(0, std::min(equals, value.size())));
            if (equals == std::string_view::npos || !address)
                return fail(option + " needs ADDR="
                    + (option == "--delay"      ? "MS"
                            : option == "--nak" ? "CODE"
                                                : "BYTE")
                    + ": " + std::string(value));
            const std::string_view parameter = value.substr(equals + 1);
            if (option == "--delay") {
                const std::optional<int> ms = parseNumber<int>(parameter, 10, LongestDelayMs);
                if (!ms)
                    return fail("--delay needs milliseconds from 0 to 600000: " + std::string(value));
                options.faults[*address] = Fault {FaultKind::Delay, *ms, once};
            } else if (option == "--stray") {
                const std::optional<int> byte = parameter.starts_with("0x") || parameter.starts_with("0X")
                    ? parseNumber<int>(parameter.substr(2), 16, 0xFF)
                    : std::nullopt;
                if (!byte)
                    return fail("--stray needs a byte from 0x00 to 0xFF: " + std::string(value));
                options.faults[*address] = Fault {FaultKind::Stray, *byte, once};
            } else {
                if (parameter.size() != 1)
                    return fail("--nak needs one code character: " + std::string(value));
                options.faults[*address] = Fault {FaultKind::Refuse, parameter[0], once};
            }
        } else { // the faults that name an address only
            const std::optional<std::uint32_t> address = parseRequestAddress(value);
            if (!address)
                return fail(option + " needs an address, 0x... or word:N: " + std::string(value));
            options.faults[*address] = Fault {*addressOnlyFault(option), 0, once};
        }
    }
    if (options.dataSetPath.empty())
        return fail("no data set named");
    return options;
}

} // namespace tess::sim
