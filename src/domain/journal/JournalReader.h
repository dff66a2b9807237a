#pragma once

#include "domain/journal/JournalRecord.h"

#include <string_view>

namespace tess::journal {

// Reads a journal file's text. Lines that are no record (the torn last line
// of a kill mid-write, a damaged line) are counted and passed over: what the
// other lines say still holds.
JournalSummary readJournal(std::string_view text);

} // namespace tess::journal
