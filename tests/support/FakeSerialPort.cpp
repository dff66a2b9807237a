#include "support/FakeSerialPort.h"

#include <algorithm>
#include <cstdio>

namespace tess::test {
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

std::uint32_t hexNumber(const std::string& digits)
{
    return static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
}

} // namespace

comm::PortOpenResult FakeSerialPort::open(const std::string& name)
{
    openedNames.push_back(name);
    m_open = openResult == comm::PortOpenResult::Ok;
    return openResult;
}

void FakeSerialPort::close()
{
    m_open = false;
    ++closeCount;
}

bool FakeSerialPort::write(std::string_view bytes)
{
    if (!m_open || writeFails)
        return false;
    written.emplace_back(bytes);
    if (respond)
        for (Arrival& arrival : respond(written.back()))
            m_pending.push_back(std::move(arrival));
    return true;
}

comm::PortStatus FakeSerialPort::status()
{
    m_clock.advanceMs(msPerQuery);
    if (m_pending.empty())
        return {true, 0, m_queue.size()};
    Arrival arrival = std::move(m_pending.front());
    m_pending.pop_front();
    m_queue += arrival.bytes;
    if (arrival.statusFails)
        return {};
    return {true, arrival.errors, m_queue.size()};
}

std::string FakeSerialPort::read(std::size_t maxBytes)
{
    const std::size_t n = std::min(maxBytes, m_queue.size());
    std::string bytes = m_queue.substr(0, n);
    m_queue.erase(0, n);
    return bytes;
}

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

void FakeInverter::put(std::uint32_t address, const std::string& bytes)
{
    for (const char byte : bytes)
        memory[address++] = static_cast<std::uint8_t>(byte);
}

void FakeInverter::putWord(std::uint32_t address, std::uint16_t value)
{
    memory[address] = static_cast<std::uint8_t>(value >> 8);
    memory[address + 1] = static_cast<std::uint8_t>(value);
}

std::uint16_t FakeInverter::word(std::uint32_t address) const
{
    const auto byteAt = [this](std::uint32_t at) -> unsigned {
        const auto it = memory.find(at);
        return it == memory.end() ? 0u : it->second;
    };
    return static_cast<std::uint16_t>(byteAt(address) << 8 | byteAt(address + 1));
}

FakeSerialPort::Script FakeInverter::operator()(const std::string& frame)
{
    // ENQ BLK command, 8 address digits, then count (2) or value (4) digits.
    const char command = frame.at(2);
    const std::uint32_t address = hexNumber(frame.substr(3, 8));
    if (silentAt.contains(address))
        return {};
    if (const auto refused = nakAt.find(address); refused != nakAt.end())
        return {{nakReplyText(refused->second)}};
    if (command == 'w') {
        putWord(address, static_cast<std::uint16_t>(hexNumber(frame.substr(11, 4))));
        writtenAddresses.push_back(address);
        return {{ackReplyText()}};
    }
    const std::uint32_t count = hexNumber(frame.substr(11, 2));
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto it = memory.find(address + i);
        bytes.push_back(it == memory.end() ? 0 : it->second);
    }
    return {{dataReplyText(address, bytes)}};
}

} // namespace tess::test
