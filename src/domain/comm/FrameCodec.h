#pragma once

#include "domain/text/Texts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess::comm {

constexpr char FrameEnq = 0x05; // start of a request
constexpr char FrameBlk = 0x20; // station byte
constexpr char FrameStx = 0x02; // data reply
constexpr char FrameAck = 0x06; // write acknowledged
constexpr char FrameNak = 0x15; // request refused, code at position 2
constexpr char FrameCr = 0x0D;
constexpr char FrameLf = 0x0A;

constexpr char CommandRead = 'r';
constexpr char CommandWrite = 'w';

// The longest count one read request may carry (one byte on the wire).
constexpr int MaxReadCount = 255;

// One request to the inverter: a read of `count` bytes or a write of one
// 16-bit word at a byte address.
struct FrameRequest {
    char command = CommandRead;
    std::uint32_t address = 0;
    std::uint8_t count = 0; // read only
    std::uint16_t value = 0; // write only

    static FrameRequest read(std::uint32_t address, std::uint8_t count)
    {
        return FrameRequest {CommandRead, address, count, 0};
    }
    static FrameRequest write(std::uint32_t address, std::uint16_t value)
    {
        return FrameRequest {CommandWrite, address, 0, value};
    }
};

// The sum of the character codes modulo 256.
std::uint8_t frameChecksum(std::string_view chars);

// The request as it goes on the wire: ENQ, BLK, the command character, the
// data bytes as "%02X" digits (address, then count or value, most significant
// byte first), the checksum of the command character and the digits, CR LF.
// 17 characters for a read, 19 for a write.
std::string buildRequestFrame(const FrameRequest& request);

enum class ReplyKind {
    Data, // STX: the bytes of a read
    Ack, // ACK: a write was taken
    Nak, // NAK: refused, with a code character
    Invalid, // any other first character (or nothing at all)
};

enum class ReplyFault {
    None,
    SumHigh, // the checksum's high digit differs (the low one is then not compared)
    SumLow, // the high digit matches, the low one differs
    BadData, // a checked data reply whose data digits are no whole hexadecimal bytes
};

struct Reply {
    ReplyKind kind = ReplyKind::Invalid;
    ReplyFault fault = ReplyFault::None;
    char nakCode = 0; // the code character of a NAK (0 when the reply ends before it)
    std::vector<std::uint8_t> data; // decoded bytes of a checked data reply
};

// Classifies a collected reply text and checks it. Data and acknowledge
// replies carry their checksum in the two digits before CR LF: the sum of
// the characters from position 2 up to them. A reply too short to hold the
// checksum and its terminator fails the check on the high digit. Data bytes
// come from the digits 13+2i and 14+2i up to the checksum. The header before
// them (address and count) is not examined: a drive may echo it as it likes,
// and a late reply is kept off by reading the line empty after a failure.
Reply parseReply(std::string_view text);

// The message for a negative acknowledge code; codes are case sensitive.
TextId nakMessage(char code);

} // namespace tess::comm
