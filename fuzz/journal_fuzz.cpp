// Feeds arbitrary bytes as a journal file: the reader never fails, counts
// every word it takes once, and a summary's counts agree with its words.
#include "domain/journal/FlatJson.h"
#include "domain/journal/JournalReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace tess::journal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const JournalSummary s = readJournal(text);
    if (s.announced != static_cast<int>(s.words.size()))
        std::abort();
    if (s.taken + s.refused + s.noAnswer + s.notSent > s.announced)
        std::abort();
    if (s.lastTaken && s.taken == 0)
        std::abort();
    // A hold stands between words the summary has.
    for (const JournalPause& pause : s.pauses)
        if (pause.wordsBefore > s.words.size())
            std::abort();

    // A line the reader takes, written again, reads as the same object.
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    if (const std::optional<FlatJson> line = FlatJson::parse(firstLine)) {
        const std::optional<FlatJson> again = FlatJson::parse(line->text());
        if (!again || again->text() != line->text())
            std::abort();
    }
    return 0;
}
