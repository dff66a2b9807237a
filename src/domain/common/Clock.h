#pragma once

#include <cstdint>

namespace tess {

// Wall time for the serial protocol's deadlines, kept behind an interface so
// that tests can run the deadlines without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t seconds() = 0; // local clock in whole seconds
    // The same clock in milliseconds: seconds() is this divided by 1000, so
    // a wait can end exactly when the seconds clock turns.
    virtual std::int64_t wallMilliseconds() = 0;
    virtual std::int64_t milliseconds() = 0; // monotonic
    virtual void sleepMs(int ms) = 0;
};

Clock& systemClock();

} // namespace tess
