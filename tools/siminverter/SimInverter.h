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

// How a faulty line or inverter answers one request.
enum class FaultKind {
    Refuse, // a negative acknowledge with the fault's code; a write is not stored
    Silent, // no reply at all; a write is not stored
    Delay, // the correct reply, sent the fault's milliseconds late
    Overlong, // the correct reply padded with digits to OverlongReplyChars before CR LF
    WrongFirst, // the correct reply with a first character no reply starts with
    SumHigh, // the checksum's high digit wrong
    SumLow, // the checksum's low digit wrong
    Cut, // the first half of the correct reply: no CR LF ever comes
    Stray, // the correct reply with the fault's byte put in before its checksum (line noise)
    OtherHeader, // a data reply whose header names another address, the checksum right
};

struct Fault {
    FaultKind kind = FaultKind::Silent;
    int parameter = 0; // Delay: milliseconds; Refuse: the code character; Stray: the byte
    bool once = false; // only the first request to the address meets it

    friend bool operator==(const Fault&, const Fault&) = default;
};

// An over-long reply holds this many characters before its CR LF.
constexpr std::size_t OverlongReplyChars = 700;
// The first character of a reply with the WrongFirst fault.
constexpr char WrongFirstChar = '?';

// The reply text with a fault worked into it (a correct reply for Delay,
// the refusal for Refuse, nothing for Silent).
std::optional<std::string> faultyReplyText(const std::string& correct, const Fault& fault);

// What the inverter does about one request: the reply to put on the line and
// when, or that the line goes dead.
struct Response {
    std::optional<std::string> text; // nothing: silence
    int delayMs = 0; // from the moment the request has arrived
    bool hangUp = false; // the line is closed instead of answered
};

class SimInverter {
public:
    // Reads come from here (zeros where nothing was put); writes land here.
    std::map<std::uint32_t, std::uint8_t> memory;
    std::map<std::uint32_t, char> nakAt; // request address -> refusal code
    std::set<std::uint32_t> silentAt; // request address -> no reply
    // Request address (a write of word k: 0x200000 + 2k) -> its fault; taken
    // before nakAt and silentAt. A fault met once is gone afterwards.
    std::map<std::uint32_t, Fault> faults;
    // After this many requests the next one hangs the line up.
    std::optional<std::size_t> hangUpAfter;
    std::vector<std::uint32_t> writtenAddresses; // every word written, in order

    void put(std::uint32_t address, std::string_view bytes);
    void putWord(std::uint32_t address, std::uint16_t word);
    std::uint16_t word(std::uint32_t address) const;

    // The identity text, the control-mode and capacity words and the 665
    // values of a data set, as the inverter would hold them.
    void loadDataSet(const std::string& identityText, const InverterIdentity& identity, const ParameterSet& values);

    // What the inverter does about one request frame (ENQ BLK command,
    // digits, checksum, CR LF). A frame that is not a well-formed request is
    // refused with the code an inverter gives for it.
    Response respond(std::string_view frame);

    // The reply text alone, for a line that keeps its own time: the delay is
    // left out, a hang-up is silence.
    std::optional<std::string> answer(std::string_view frame);

    // Takes bytes as they come off the line and answers every complete frame
    // (up to LF) among them; a partial frame waits for the rest.
    std::vector<Response> receive(std::string_view bytes);
    // The same, the reply texts one after the other (delays left out).
    std::string feed(std::string_view bytes);

private:
    // The fault a request to the address meets, if any.
    std::optional<Fault> takeFault(std::uint32_t address);

    std::string m_pending;
    std::size_t m_requests = 0;
};

} // namespace tess::sim
