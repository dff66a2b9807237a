#pragma once

#include <cstdint>

namespace tess {

// Wall time for the serial protocol's deadlines, kept behind an interface so
// that tests can run the deadlines without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t seconds() = 0;      // local clock in whole seconds
    virtual std::int64_t milliseconds() = 0; // monotonic
    virtual void sleepMs(int ms) = 0;
};

Clock& systemClock();

} // namespace tess
