#pragma once

#include <cstdint>
#include <string_view>

namespace tess::comm {

// What became of a word the link was about to send.
enum class WordOutcome {
    Taken, // acknowledged: the drive holds the value
    Refused, // answered with a refusal: the drive kept its own value
    NoAnswer, // no valid answer: the drive may hold the value or not
    NotSent, // the request never went out (a stop, a lost line)
};

// How a write held for the user's answer to Stop went on.
enum class PauseEnd {
    WentOn, // the user chose to go on: the next word went out
    Stopped, // the user stopped the write: no word went out after the hold
};

// Where a write records each word it sends, as evidence that outlives the
// program: told of the word before its request goes out, and of what the
// drive made of it after. The link knows nothing of files; a journal that
// cannot be written does not hold the write back.
class WordJournal {
public:
    virtual ~WordJournal() = default;
    // Before the request: when this returns the word is on record, so a
    // kill or a power loss right after still leaves it named.
    virtual void wordAnnounced(int word, std::string_view code, std::uint16_t value) = 0;
    // After the exchange; the drive's message for a refusal, else empty.
    virtual void wordSettled(int word, std::string_view code, WordOutcome outcome, std::string_view refusal) = 0;
    // The line is held between two words: after afterWord (its code), or
    // before the first (-1, ""); wallMs is the wall clock in milliseconds
    // since 1970.
    virtual void pauseBegan(int afterWord, std::string_view afterCode, std::int64_t wallMs) = 0;
    // The hold is over.
    virtual void pauseEnded(PauseEnd end, std::int64_t wallMs) = 0;
};

} // namespace tess::comm
