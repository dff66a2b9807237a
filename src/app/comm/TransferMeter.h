#pragma once

#include "domain/comm/ProgressSink.h"
#include "domain/common/Language.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tess {
class Clock;
} // namespace tess

namespace tess::comm {

// The steps of a transaction as the progress bar counts them.
enum class TransferPhase {
    Settling, // the line settles after the port opened
    Identity,
    Reading, // the parameter image of a read or a comparison with the drive
    ReadingToCompare, // the image before a write of the changed words only
    Writing,
    Verifying, // the image read back after a write
};

// What the dialog shows under its progress bar: how far the whole
// transaction is (per mille) and a line such as "Word 40 of 589 written,
// about 1:32 left".
struct TransferStatus {
    int permille = 0;
    std::string text;
};

// How long each step of a transaction takes at 9600 baud, for the progress
// bar's share of each and the time left before the first figures come in.
namespace transferEstimate {
std::int64_t settleMs();
std::int64_t identityMs();
std::int64_t imageReadMs();
std::int64_t writeMs(int words, int writeWaitMs);
} // namespace transferEstimate

// One progress bar over a whole transaction: the transaction plans its
// phases with their estimated time, enters each as it starts it, and the
// link's reports move the bar within the phase. The time left is the rest of
// the current phase at the pace measured in it, plus the estimates of the
// phases still to come (their costs are known: wire time, write waits,
// settle waits). It is shown only once the phase has gone on long enough
// for its pace to hold; earlier figures would mislead. The listener is told
// on the thread that reports.
class TransferMeter final : public ProgressSink {
public:
    using Listener = std::function<void(const TransferStatus&)>;

    TransferMeter(Clock& clock, Language language, Listener listener);

    // Forgets the plan: the next transaction plans anew.
    void clear();
    void addPhase(TransferPhase phase, std::int64_t estimatedMs);
    // A better estimate for the next phase of that kind not yet entered.
    void setEstimate(TransferPhase phase, std::int64_t estimatedMs);
    // Starts the next planned phase of that kind; the phases before it count
    // as done.
    void enter(TransferPhase phase);
    void progressed(const TransferStep& step) override;

    TransferStatus status() const { return m_status; }

private:
    struct Planned {
        TransferPhase phase;
        std::int64_t estimatedMs;
    };

    void tell(int done, int total);

    Clock& m_clock;
    Language m_language;
    Listener m_listener;
    std::vector<Planned> m_phases;
    std::size_t m_current = 0;
    bool m_started = false;
    std::int64_t m_phaseStartMs = 0;
    TransferStatus m_status;
};

} // namespace tess::comm
