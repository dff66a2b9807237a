#include "domain/common/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace tess {
namespace {

class SystemClock final : public Clock {
public:
    // From the millisecond clock, so that both turn to the next second together.
    std::int64_t seconds() override { return wallMilliseconds() / 1000; }
    std::int64_t wallMilliseconds() override
    {
        using namespace std::chrono;
        return duration_cast<std::chrono::milliseconds>(system_clock::now().time_since_epoch()).count();
    }
    std::int64_t milliseconds() override
    {
        using namespace std::chrono;
        return duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void sleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

} // namespace

Clock& systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace tess
