#include "domain/journal/JournalRecord.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace tess::journal {
namespace {

template <typename E, std::size_t N>
std::optional<E> named(const std::array<std::pair<E, const char*>, N>& names, const std::string& name)
{
    for (const auto& [value, text] : names)
        if (name == text)
            return value;
    return std::nullopt;
}

template <typename E, std::size_t N> std::string nameOf(const std::array<std::pair<E, const char*>, N>& names, E value)
{
    for (const auto& [v, text] : names)
        if (v == value)
            return text;
    return {};
}

constexpr std::array<std::pair<JournalTransaction, const char*>, 3> TransactionNames {{
    {JournalTransaction::Read, "read"},
    {JournalTransaction::Write, "write"},
    {JournalTransaction::CompareWithDrive, "compare-drive"},
}};

constexpr std::array<std::pair<JournalEnd, const char*>, 5> EndNames {{
    {JournalEnd::Interrupted, "interrupted"},
    {JournalEnd::Done, "done"},
    {JournalEnd::WordsRefused, "refused words"},
    {JournalEnd::Failed, "failed"},
    {JournalEnd::Cancelled, "cancelled"},
}};

constexpr std::array<std::pair<CancelledBy, const char*>, 5> CancelledByNames {{
    {CancelledBy::User, "user"},
    {CancelledBy::Close, "Close"},
    {CancelledBy::CtrlC, "Ctrl+C"},
    {CancelledBy::Sigterm, "SIGTERM"},
    {CancelledBy::Sighup, "SIGHUP"},
}};

constexpr std::array<std::pair<comm::PauseEnd, const char*>, 2> PauseEndNames {{
    {comm::PauseEnd::WentOn, "went on"},
    {comm::PauseEnd::Stopped, "stopped"},
}};

std::string trimmed(std::string text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The local time's offset from UTC, "+0900" or "-0330", from the two
// broken-down times of one moment: the same on every system, where
// strftime's %z is not (Windows' runtime writes the zone's name there).
std::string utcOffsetText(const std::tm& local, const std::tm& utc)
{
    // The two dates are at most a day apart.
    int days = local.tm_yday - utc.tm_yday;
    if (local.tm_year != utc.tm_year)
        days = local.tm_year > utc.tm_year ? 1 : -1;
    const long seconds = ((days * 24L + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min) * 60
        + local.tm_sec - utc.tm_sec;
    const long minutes = std::labs(seconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02ld%02ld", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

} // namespace

std::string transactionName(JournalTransaction transaction)
{
    return nameOf(TransactionNames, transaction);
}

std::optional<JournalTransaction> transactionNamed(const std::string& name)
{
    return named(TransactionNames, name);
}

std::string endName(JournalEnd end)
{
    return nameOf(EndNames, end);
}

std::optional<JournalEnd> endNamed(const std::string& name)
{
    return named(EndNames, name);
}

std::string cancelledByName(CancelledBy by)
{
    return nameOf(CancelledByNames, by);
}

std::optional<CancelledBy> cancelledByNamed(const std::string& name)
{
    return named(CancelledByNames, name);
}

std::string pauseEndName(comm::PauseEnd end)
{
    return nameOf(PauseEndNames, end);
}

std::optional<comm::PauseEnd> pauseEndNamed(const std::string& name)
{
    return named(PauseEndNames, name);
}

JournalTimes journalTimesAt(std::int64_t epochMs)
{
    const auto seconds = static_cast<std::time_t>(epochMs / 1000);
    const auto millis = static_cast<int>(epochMs % 1000);
    std::tm utc {};
    std::tm local {};
    ::gmtime_r(&seconds, &utc);
    ::localtime_r(&seconds, &local);
    char buffer[64];
    JournalTimes times;
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    times.utc = buffer;
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S ", &local);
    times.local = buffer + utcOffsetText(local, utc);
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H-%M-%S", &utc);
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "%s.%03dZ", buffer, millis);
    times.fileStamp = stamp;
    return times;
}

DriveIdentity driveIdentityOf(const std::vector<std::uint8_t>& identityBytes)
{
    DriveIdentity drive;
    if (identityBytes.size() < 14)
        return drive;
    std::string text;
    for (std::size_t i = 0; i < 10; ++i) {
        const auto c = static_cast<char>(identityBytes[i]);
        // Whatever the drive sent, the record stays printable.
        text += identityBytes[i] >= 0x20 && identityBytes[i] < 0x7F ? c : ' ';
    }
    // Five characters of model, five of ROM code: "QM71 01-A1", "QM71K01-A1".
    drive.text = trimmed(text);
    drive.model = trimmed(text.substr(0, 5));
    drive.romCode = trimmed(text.substr(5));
    drive.modeCode = identityBytes[10] << 8 | identityBytes[11];
    drive.capacityCode = identityBytes[12] << 8 | identityBytes[13];
    if (drive.text.empty())
        drive.text = "?";
    return drive;
}

} // namespace tess::journal
