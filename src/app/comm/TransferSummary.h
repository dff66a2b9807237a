#pragma once

#include "domain/common/Language.h"
#include "domain/text/Texts.h"

#include <optional>
#include <string>
#include <vector>

namespace tess::comm {

// How a transfer ended, as its summary's first line says it.
enum class TransferEnd {
    Done,
    Failed,
    StoppedByUser,
    WordsRefused, // every word went out, but the drive refused some
    VerifyDiffers, // the words read back differ from those the drive took
};

// A word the drive refused: its code, its name and why.
struct RefusedWord {
    std::string code; // "B-0"
    std::string name; // the grid's name of the word; may be empty
    TextId reason;
};

// Words left out together, first to last in sending order, by their codes.
struct CodeRange {
    std::string first;
    std::string last;
};

// The area of a hidden L, N or O word the drive did not take, with how many.
struct HiddenArea {
    std::string area;
    int words = 0;
};

// What the words read back after a write showed.
struct VerifyCount {
    int compared = 0;
    int differing = 0;
};

// What a write did to each of its words, for the summary.
struct WriteFacts {
    int planned = 0;
    int written = 0; // taken by the drive
    std::vector<RefusedWord> refused;
    std::vector<CodeRange> notSent;
    std::vector<std::string> noAnswer; // codes
    std::vector<HiddenArea> hiddenNotTaken;
    std::optional<VerifyCount> verify; // none: not read back
};

// The lines the dialog shows after a transfer: how it ended; for a write
// the words written of those planned, each refused word (code, name,
// reason), what was not sent (code ranges), the words without an answer and
// the verify result over the words sent. Read in a few seconds; the log
// keeps the detail.
std::vector<std::string> transferSummary(TransferEnd end, const std::optional<WriteFacts>& write, Language language);

// The runs of planned words (in sending order) that were not sent, as code
// ranges: a run breaks at every word that went out.
template <typename SentTest, typename CodeOf>
std::vector<CodeRange> notSentRanges(const std::vector<int>& planned, SentTest sent, CodeOf codeOf)
{
    std::vector<CodeRange> ranges;
    bool open = false;
    for (const int word : planned) {
        if (sent(word)) {
            open = false;
            continue;
        }
        if (open) {
            ranges.back().last = codeOf(word);
        } else {
            ranges.push_back({codeOf(word), codeOf(word)});
            open = true;
        }
    }
    return ranges;
}

} // namespace tess::comm
