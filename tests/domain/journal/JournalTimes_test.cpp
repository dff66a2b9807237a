#include "domain/journal/JournalRecord.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <regex>
#include <string>

namespace tess::journal {
namespace {

// The process's time zone set to a POSIX TZ text for the test's span, and
// given back after it.
class TimeZoneSet {
public:
    explicit TimeZoneSet(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        if (zone)
            put(zone);
    }
    ~TimeZoneSet()
    {
        if (m_old)
            put(m_old->c_str());
        else
            clear();
    }
    TimeZoneSet(const TimeZoneSet&) = delete;
    TimeZoneSet& operator=(const TimeZoneSet&) = delete;

private:
    static void put(const char* zone)
    {
#ifdef _WIN32
        _putenv_s("TZ", zone);
        _tzset();
#else
        setenv("TZ", zone, 1);
        tzset();
#endif
    }
    static void clear()
    {
#ifdef _WIN32
        _putenv("TZ=");
        _tzset();
#else
        unsetenv("TZ");
        tzset();
#endif
    }

    std::optional<std::string> m_old;
};

// Days from 1970-01-01 to the date (the proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Seconds since 1970 of a date and time of day as the texts spell them.
std::int64_t secondsOf(const std::smatch& m, std::size_t first)
{
    const auto field = [&](std::size_t i) { return std::stoi(m[first + i].str()); };
    return daysFromCivil(field(0), static_cast<unsigned>(field(1)), static_cast<unsigned>(field(2))) * 86400
        + field(3) * 3600 + field(4) * 60 + field(5);
}

struct ZoneCase {
    const char* name;
    const char* zone; // a POSIX TZ text; nullptr for the machine's own zone
    std::int64_t epochMs;
    const char* local; // nullptr where the zone is not known in advance
};

class JournalLocalTime : public ::testing::TestWithParam<ZoneCase> { };

TEST_P(JournalLocalTime, OffsetIsTheDifferenceOfTheLocalAndUtcTimes)
{
    const TimeZoneSet zone(GetParam().zone);
    const JournalTimes times = journalTimesAt(GetParam().epochMs);

    const std::regex utcForm(R"((\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)Z)");
    const std::regex localForm(R"((\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d) ([+-])(\d\d)(\d\d))");
    std::smatch utc;
    std::smatch local;
    ASSERT_TRUE(std::regex_match(times.utc, utc, utcForm)) << times.utc;
    ASSERT_TRUE(std::regex_match(times.local, local, localForm)) << times.local;
    EXPECT_EQ(secondsOf(utc, 1), GetParam().epochMs / 1000) << times.utc;

    const int offsetMinutes = std::stoi(local[8].str()) * 60 + std::stoi(local[9].str());
    EXPECT_LT(std::stoi(local[9].str()), 60) << times.local;
    EXPECT_EQ(secondsOf(local, 1) - secondsOf(utc, 1), (local[7] == "-" ? -60 : 60) * offsetMinutes)
        << times.local << " against " << times.utc;
    if (GetParam().local) {
        EXPECT_EQ(times.local, GetParam().local);
    }
}

constexpr std::int64_t Dec11 = 1796985725123; // 2026-12-11T10:42:05.123Z

INSTANTIATE_TEST_SUITE_P(, JournalLocalTime,
    ::testing::Values(ZoneCase {"EastOfUtc", "JST-9", Dec11, "2026-12-11 19:42:05 +0900"},
        ZoneCase {"EastIntoTheNextYear", "JST-9", 1798749725000, "2027-01-01 05:42:05 +0900"},
        ZoneCase {"WestIntoTheYearBefore", "EST5", 1798768800000, "2026-12-31 21:00:00 -0500"},
        ZoneCase {"HalfHourEast", "IST-5:30", Dec11, "2026-12-11 16:12:05 +0530"},
        ZoneCase {"HalfHourWest", "NST3:30", Dec11, "2026-12-11 07:12:05 -0330"},
        // Whether summer time applies to a TZ text is the runtime's choice
        // (wine's keeps standard time): only the agreement is checked.
        ZoneCase {"SummerTime", "EST5EDT", 1782907200000, nullptr},
        ZoneCase {"Utc", "UTC0", Dec11, "2026-12-11 10:42:05 +0000"},
        ZoneCase {"TheMachinesOwnZone", nullptr, Dec11, nullptr}),
    test::CaseName {});

} // namespace
} // namespace tess::journal
