#pragma once

#include "domain/common/Message.h"
#include "domain/journal/JournalRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace tess::comm {

// One transfer as its journal tells it.
struct HistoryEntry {
    std::string path; // the journal file
    journal::JournalSummary summary;
};

// Every journal in folder, newest first. None is removed: the history
// keeps what the user keeps.
std::vector<HistoryEntry> readHistory(const std::string& folder);

// The outcome as a person reads it: "done", "refused words", "failed",
// "cancelled (SIGTERM)", "interrupted" (no end was recorded).
std::string outcomeText(const journal::JournalSummary& summary);

// What a later write to a drive has to match for an interrupted write to
// be offered: the port's device, the model and the ROM code.
struct ResumeTarget {
    std::string device; // "" matches any
    std::string model; // "" matches any
    std::string romCode; // "" matches any
};

// The newest write in folder that stopped without an end (a kill, a crash,
// a power loss) and was not taken up since, to the target's drive.
std::optional<HistoryEntry> interruptedWrite(const std::string& folder, const ResumeTarget& target);

// "The write of pump7.csl to QM71 01-A1 on /dev/ttyUSB0 stopped after 136
// of 589 words (2026-12-11 10:42). Finish it now?"
Message resumeQuestion(const journal::JournalSummary& summary);

} // namespace tess::comm
