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
    if (respond) {
        for (Arrival& arrival : respond(written.back())) {
            if (arrival.afterMs > 0)
                m_timed.emplace(m_clock.milliseconds() + arrival.afterMs, std::move(arrival.bytes));
            else
                m_pending.push_back(std::move(arrival));
        }
    }
    return true;
}

void FakeSerialPort::takeDueArrivals()
{
    while (!m_timed.empty() && m_timed.begin()->first <= m_clock.milliseconds()) {
        m_queue += m_timed.begin()->second;
        m_timed.erase(m_timed.begin());
    }
}

bool FakeSerialPort::waitForInput(int timeoutMs)
{
    takeDueArrivals();
    if (!m_pending.empty() || !m_queue.empty())
        return true;
    const std::int64_t until = m_clock.milliseconds() + std::max(timeoutMs, 0);
    if (!m_timed.empty() && m_timed.begin()->first <= until) {
        m_clock.advanceMs(m_timed.begin()->first - m_clock.milliseconds());
        takeDueArrivals();
        return true;
    }
    m_clock.advanceMs(until - m_clock.milliseconds());
    return false;
}

comm::PortStatus FakeSerialPort::status()
{
    m_clock.advanceMs(msPerQuery);
    takeDueArrivals();
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
    sim::Response response = respond(frame);
    if (!response.text || response.hangUp)
        return {};
    FakeSerialPort::Arrival arrival {std::move(*response.text)};
    arrival.afterMs = response.delayMs;
    return {std::move(arrival)};
}

} // namespace tess::test
