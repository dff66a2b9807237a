#include "domain/comm/FrameCodec.h"

#include <array>
#include <optional>

namespace tess::comm {
namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

void appendHexByte(std::string& out, std::uint8_t byte)
{
    out.push_back(HexDigits[byte >> 4]);
    out.push_back(HexDigits[byte & 0x0F]);
}

std::optional<int> hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

// Positions of a data reply: 13 header characters, then the data digits.
constexpr std::size_t DataDigitsStart = 13;
// A checked reply ends with two checksum digits, CR and LF, and its sum
// starts at position 2: six characters at the least.
constexpr std::size_t ShortestCheckedReply = 6;

ReplyFault checkSum(std::string_view text)
{
    if (text.size() < ShortestCheckedReply)
        return ReplyFault::SumHigh;
    const std::uint8_t sum = frameChecksum(text.substr(2, text.size() - 6));
    if (text[text.size() - 4] != HexDigits[sum >> 4])
        return ReplyFault::SumHigh;
    if (text[text.size() - 3] != HexDigits[sum & 0x0F])
        return ReplyFault::SumLow;
    return ReplyFault::None;
}

} // namespace

std::uint8_t frameChecksum(std::string_view chars)
{
    unsigned sum = 0;
    for (const char c : chars)
        sum += static_cast<unsigned char>(c);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::string buildRequestFrame(const FrameRequest& request)
{
    std::string frame;
    frame.reserve(19);
    frame.push_back(FrameEnq);
    frame.push_back(FrameBlk);
    frame.push_back(request.command);
    for (int shift = 24; shift >= 0; shift -= 8)
        appendHexByte(frame, static_cast<std::uint8_t>(request.address >> shift));
    if (request.command == CommandWrite) {
        appendHexByte(frame, static_cast<std::uint8_t>(request.value >> 8));
        appendHexByte(frame, static_cast<std::uint8_t>(request.value));
    } else {
        appendHexByte(frame, request.count);
    }
    appendHexByte(frame, frameChecksum(std::string_view(frame).substr(2)));
    frame.push_back(FrameCr);
    frame.push_back(FrameLf);
    return frame;
}

Reply parseReply(std::string_view text)
{
    Reply reply;
    if (text.empty())
        return reply;
    switch (text[0]) {
    case FrameStx:
        reply.kind = ReplyKind::Data;
        break;
    case FrameAck:
        reply.kind = ReplyKind::Ack;
        break;
    case FrameNak:
        reply.kind = ReplyKind::Nak;
        reply.nakCode = text.size() > 2 ? text[2] : 0;
        return reply;
    default:
        return reply;
    }
    reply.fault = checkSum(text);
    if (reply.fault != ReplyFault::None || reply.kind != ReplyKind::Data)
        return reply;

    // The data digits lie between the header and the checksum digits.
    const std::size_t checksumAt = text.size() - 4;
    if (checksumAt < DataDigitsStart || (checksumAt - DataDigitsStart) % 2 != 0) {
        reply.fault = ReplyFault::BadData;
        return reply;
    }
    reply.data.reserve((checksumAt - DataDigitsStart) / 2);
    for (std::size_t i = DataDigitsStart; i < checksumAt; i += 2) {
        const auto high = hexValue(text[i]);
        const auto low = hexValue(text[i + 1]);
        if (!high || !low) {
            reply.fault = ReplyFault::BadData;
            reply.data.clear();
            return reply;
        }
        reply.data.push_back(static_cast<std::uint8_t>(*high * 16 + *low));
    }
    return reply;
}

TextId nakMessage(char code)
{
    struct Entry {
        char code;
        TextId text;
    };
    static constexpr std::array<Entry, 16> table {{
        {'C', TextId::LinkNakAddress},
        {'D', TextId::LinkNakUndefinedCommandRx0},
        {'E', TextId::LinkNakUpperLimit},
        {'F', TextId::LinkNakDataLength},
        {'O', TextId::LinkNakOverrun},
        {'P', TextId::LinkNakParity},
        {'S', TextId::LinkNakSumHigh},
        {'W', TextId::LinkNakWriteInRunning},
        {'X', TextId::LinkNakOther},
        {'Z', TextId::LinkNakNotBlk},
        {'d', TextId::LinkNakUndefinedCommand},
        {'e', TextId::LinkNakLowerLimit},
        {'s', TextId::LinkNakSumLow},
        {'v', TextId::LinkNakEeprom},
        {'w', TextId::LinkNakWriteProtect},
        {'z', TextId::LinkNakNotEnq},
    }};
    for (const Entry& entry : table)
        if (entry.code == code)
            return entry.text;
    return TextId::LinkNakUnknown;
}

} // namespace tess::comm
