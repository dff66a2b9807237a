#include "app/comm/TransferMeter.h"

#include "domain/comm/SerialLink.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tess::comm {
namespace {

// The time left a status line shows ("…, about 1:32 left"), in
// milliseconds; none when it shows none.
std::optional<std::int64_t> shownLeftMs(const std::string& line)
{
    const std::size_t about = line.rfind(", about ");
    if (about == std::string::npos)
        return std::nullopt;
    const std::string figure = line.substr(about + 8);
    const std::size_t colon = figure.find(':');
    return (std::stoll(figure.substr(0, colon)) * 60 + std::stoll(figure.substr(colon + 1, 2))) * 1000;
}

// A write as a slow line makes it: the settle waits take their longest, the
// identity reads four times their wire time, each word a quarter more than
// its wire time and wait. The time left, once shown, is within a fifth of
// what really remains; before the write's pace is known it is not shown.
TEST(TransferMeter, TimeLeftFollowsThePaceOfTheWordsOnceItHolds)
{
    constexpr int Words = 500;
    constexpr int WriteWaitMs = 120;
    test::FakeClock clock;
    std::vector<TransferStatus> told;
    TransferMeter meter(clock, Language::English, [&](const TransferStatus& status) { told.push_back(status); });
    meter.addPhase(TransferPhase::Settling, transferEstimate::settleMs());
    meter.addPhase(TransferPhase::Identity, transferEstimate::identityMs());
    meter.addPhase(TransferPhase::Settling, transferEstimate::settleMs());
    meter.addPhase(TransferPhase::Writing, transferEstimate::writeMs(Words, WriteWaitMs));
    meter.addPhase(TransferPhase::Verifying, transferEstimate::imageReadMs());

    const std::int64_t perWordMs = transferEstimate::writeMs(Words, WriteWaitMs) * 5 / 4 / Words;
    const std::int64_t verifyMs = transferEstimate::imageReadMs();
    meter.enter(TransferPhase::Settling);
    clock.advanceMs(2000);
    meter.enter(TransferPhase::Identity);
    for (int step = 1; step <= IdentityRequests; ++step) {
        clock.advanceMs(transferEstimate::identityMs() * 4 / IdentityRequests);
        meter.progressed({TransferStage::Identity, step, IdentityRequests});
    }
    meter.enter(TransferPhase::Settling);
    clock.advanceMs(2000);
    meter.enter(TransferPhase::Writing);
    int firstShown = 0;
    for (int word = 1; word <= Words; ++word) {
        clock.advanceMs(perWordMs);
        told.clear();
        meter.progressed({TransferStage::Writing, word, Words});
        ASSERT_EQ(told.size(), 1u);
        const std::optional<std::int64_t> shown = shownLeftMs(told.front().text);
        if (!shown)
            continue;
        firstShown = firstShown == 0 ? word : firstShown;
        const std::int64_t actual = (Words - word) * perWordMs + verifyMs;
        EXPECT_LE(std::llabs(*shown - actual), actual / 5 + 1000) << told.front().text << " at word " << word;
    }
    EXPECT_GE(firstShown, 5);
    EXPECT_LE(firstShown, 20);
}

} // namespace
} // namespace tess::comm
