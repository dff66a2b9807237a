#include "support/FakeSerialPort.h"

#include <algorithm>
#include <cstdio>

namespace tess::test {

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

FakeSerialPort::Script FakeInverter::operator()(const std::string& frame)
{
    std::optional<std::string> reply = answer(frame);
    if (!reply)
        return {};
    return {{std::move(*reply)}};
}

} // namespace tess::test
