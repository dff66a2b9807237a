#include "siminverter/SimInverter.h"

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/comm/FrameCodec.h"
#include "domain/comm/SerialLink.h"

#include <array>
#include <cstdio>

namespace tess::sim {
namespace {

std::string hexByte(unsigned byte)
{
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", byte & 0xFFu);
    return digits;
}

// Position 0 is the kind, the sum runs from position 2 to the checksum.
std::string withChecksum(std::string text)
{
    unsigned sum = 0;
    for (std::size_t i = 2; i < text.size(); ++i)
        sum += static_cast<unsigned char>(text[i]);
    return text + hexByte(sum) + "\r\n";
}

std::optional<std::uint32_t> hexNumber(std::string_view digits)
{
    std::uint32_t number = 0;
    for (const char c : digits) {
        int value = 0;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else
            return std::nullopt;
        number = number << 4 | static_cast<std::uint32_t>(value);
    }
    return number;
}

// The model's first five identity characters; the ROM code follows.
constexpr std::array<std::string_view, catalogue::ModelCount> IdentityPrefixes {
    "QM71 ", "LR71 ", "QR71 ", "LX71 ", "LX71h", "LR75 ", "QM71K", "LX71K", "QM71N", "QM73N", "QR71K", "LR71K"};

// The same digit's value plus one, so that a checksum digit comes out wrong.
char otherDigit(char digit)
{
    const std::uint32_t value = hexNumber(std::string_view(&digit, 1)).value_or(0);
    return hexByte((value + 1) & 0xF).back();
}

constexpr std::size_t ReadFrameLength = 17;
constexpr std::size_t WriteFrameLength = 19;

} // namespace

std::string dataReplyText(std::uint32_t address, const std::vector<std::uint8_t>& bytes)
{
    std::string text = "\x02 r";
    for (int shift = 24; shift >= 0; shift -= 8)
        text += hexByte(address >> shift);
    text += hexByte(static_cast<unsigned>(bytes.size()));
    for (const std::uint8_t byte : bytes)
        text += hexByte(byte);
    return withChecksum(text);
}

std::string ackReplyText()
{
    return withChecksum("\x06 w");
}

std::string nakReplyText(char code)
{
    return std::string("\x15 ") + code + "\r\n";
}

std::string identityTextFor(int model, int romVersion)
{
    const std::optional<catalogue::Model> known = catalogue::modelOf(model);
    if (!known)
        return {};
    const std::optional<std::string_view> code = catalogue::romVersionText(*known, romVersion);
    if (!code || code->size() != 5)
        return {};
    return std::string(IdentityPrefixes[static_cast<std::size_t>(catalogue::indexOf(*known))]) + std::string(*code);
}

void SimInverter::put(std::uint32_t address, std::string_view bytes)
{
    for (const char byte : bytes)
        memory[address++] = static_cast<std::uint8_t>(byte);
}

void SimInverter::putWord(std::uint32_t address, std::uint16_t value)
{
    memory[address] = static_cast<std::uint8_t>(value >> 8);
    memory[address + 1] = static_cast<std::uint8_t>(value);
}

std::uint16_t SimInverter::word(std::uint32_t address) const
{
    const auto byteAt = [this](std::uint32_t at) -> unsigned {
        const auto it = memory.find(at);
        return it == memory.end() ? 0u : it->second;
    };
    return static_cast<std::uint16_t>(byteAt(address) << 8 | byteAt(address + 1));
}

void SimInverter::loadDataSet(
    const std::string& identityText, const InverterIdentity& identity, const ParameterSet& values)
{
    for (int slot = 0; slot < SlotCount; ++slot)
        putWord(comm::ImageAddress + 2 * static_cast<std::uint32_t>(slot),
            static_cast<std::uint16_t>(values[static_cast<std::size_t>(slot)] & 0xFFFF));
    // The last two words of the image are the control-mode and capacity codes.
    putWord(comm::ModeCapacityAddress, static_cast<std::uint16_t>(identity.controlMode));
    putWord(comm::ModeCapacityAddress + 2, static_cast<std::uint16_t>(identity.capacity));
    put(comm::IdentityAddress, identityText);
}

std::optional<std::string> faultyReplyText(const std::string& correct, const Fault& fault)
{
    if (fault.kind == FaultKind::Refuse)
        return nakReplyText(static_cast<char>(fault.parameter));
    if (fault.kind == FaultKind::Silent)
        return std::nullopt;
    // A correct reply ends in two checksum digits and CR LF.
    if (correct.size() < 4)
        return correct;
    const std::size_t sumAt = correct.size() - 4;
    std::string text = correct;
    switch (fault.kind) {
    case FaultKind::Refuse:
    case FaultKind::Silent:
    case FaultKind::Delay:
        break;
    case FaultKind::Overlong:
        // Digits before the checksum, summed with it: the checksum holds, the
        // length is what is wrong.
        text.resize(sumAt);
        text.append(OverlongReplyChars - 2 - sumAt, '0');
        return withChecksum(text);
    case FaultKind::WrongFirst:
        text[0] = WrongFirstChar;
        break;
    case FaultKind::SumHigh:
        text[sumAt] = otherDigit(text[sumAt]);
        break;
    case FaultKind::SumLow:
        text[sumAt + 1] = otherDigit(text[sumAt + 1]);
        break;
    case FaultKind::Cut:
        text.resize(text.size() / 2);
        break;
    case FaultKind::Stray:
        text.insert(sumAt, 1, static_cast<char>(fault.parameter));
        break;
    case FaultKind::OtherHeader:
        // The address digits (positions 3 to 10) of a data reply; a drive
        // may echo them as it likes.
        if (text[0] != comm::FrameStx || sumAt < 11)
            break;
        text.replace(3, 8, "FFFFFFFF");
        text.resize(sumAt);
        return withChecksum(text);
    }
    return text;
}

std::optional<Fault> SimInverter::takeFault(std::uint32_t address)
{
    if (const auto it = faults.find(address); it != faults.end()) {
        const Fault fault = it->second;
        if (fault.once)
            faults.erase(it);
        return fault;
    }
    if (silentAt.contains(address))
        return Fault {FaultKind::Silent};
    if (const auto refused = nakAt.find(address); refused != nakAt.end())
        return Fault {FaultKind::Refuse, refused->second};
    return std::nullopt;
}

Response SimInverter::respond(std::string_view frame)
{
    if (hangUpAfter && m_requests >= *hangUpAfter)
        return Response {std::nullopt, 0, true};
    ++m_requests;
    const auto refuse = [](char code) { return Response {nakReplyText(code)}; };

    if (frame.empty() || frame[0] != comm::FrameEnq)
        return refuse('z');
    if (frame.size() < 2 || frame[1] != comm::FrameBlk)
        return refuse('Z');
    if (frame.size() < 3 || (frame[2] != comm::CommandRead && frame[2] != comm::CommandWrite))
        return refuse('D');
    const char command = frame[2];
    const std::size_t length = command == comm::CommandRead ? ReadFrameLength : WriteFrameLength;
    if (frame.size() != length || frame[length - 2] != comm::FrameCr || frame[length - 1] != comm::FrameLf)
        return refuse('F');
    const std::string_view summed = frame.substr(2, length - 6);
    const std::optional<std::uint32_t> sum = hexNumber(frame.substr(length - 4, 2));
    const std::optional<std::uint32_t> digits = hexNumber(frame.substr(3, length - 7));
    if (!sum || !digits)
        return refuse('X');
    const unsigned expected = comm::frameChecksum(summed);
    if ((*sum >> 4) != (expected >> 4))
        return refuse('S');
    if ((*sum & 0xF) != (expected & 0xF))
        return refuse('s');

    const std::uint32_t address = *hexNumber(frame.substr(3, 8));
    const std::optional<Fault> fault = takeFault(address);
    // A request that is refused or lost changes nothing; any other fault is
    // the line's, after the inverter did its work.
    if (fault && (fault->kind == FaultKind::Refuse || fault->kind == FaultKind::Silent))
        return Response {faultyReplyText({}, *fault)};

    std::string correct;
    if (command == comm::CommandWrite) {
        putWord(address, static_cast<std::uint16_t>(*hexNumber(frame.substr(11, 4))));
        writtenAddresses.push_back(address);
        correct = ackReplyText();
    } else {
        const std::uint32_t count = *hexNumber(frame.substr(11, 2));
        std::vector<std::uint8_t> bytes;
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto it = memory.find(address + i);
            bytes.push_back(it == memory.end() ? 0 : it->second);
        }
        correct = dataReplyText(address, bytes);
    }
    if (!fault)
        return Response {std::move(correct)};
    return Response {faultyReplyText(correct, *fault), fault->kind == FaultKind::Delay ? fault->parameter : 0};
}

std::optional<std::string> SimInverter::answer(std::string_view frame)
{
    return respond(frame).text;
}

std::vector<Response> SimInverter::receive(std::string_view bytes)
{
    m_pending += bytes;
    std::vector<Response> responses;
    for (std::size_t end = m_pending.find(comm::FrameLf); end != std::string::npos;
         end = m_pending.find(comm::FrameLf)) {
        const std::string frame = m_pending.substr(0, end + 1);
        m_pending.erase(0, end + 1);
        responses.push_back(respond(frame));
    }
    return responses;
}

std::string SimInverter::feed(std::string_view bytes)
{
    std::string replies;
    for (const Response& response : receive(bytes))
        if (response.text)
            replies += *response.text;
    return replies;
}

} // namespace tess::sim
