#pragma once

#include "domain/comm/WordJournal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tess::journal {

// The transactions the journal keeps.
enum class JournalTransaction { Read, Write, CompareWithDrive };

// How a transaction ended; a journal without an end line was interrupted
// (a kill, a crash, a power loss).
enum class JournalEnd { Interrupted, Done, WordsRefused, Failed, Cancelled };

// Who stopped a cancelled transaction.
enum class CancelledBy { User, Close, CtrlC, Sigterm, Sighup };

// The drive as its identity block read.
struct DriveIdentity {
    std::string text; // the identity characters: model and ROM code, e.g. "QM71 01-A1"
    // The first five characters and the last five, without blanks.
    std::string model;
    std::string romCode;
    int modeCode = 0;
    int capacityCode = 0;

    bool known() const { return !text.empty(); }
    friend bool operator==(const DriveIdentity&, const DriveIdentity&) = default;
};

// The choices a transaction ran with, as its journal records them: the
// dialog's or the command line's.
struct JournalOptions {
    JournalTransaction transaction = JournalTransaction::Write;
    std::string fromArea;
    std::string toArea;
    bool verify = false;
    bool changedOnly = false;
    bool forced = false;
    bool permitWrite = false;
};

// The first line of a transaction's journal: when, who, where, what, and
// with which choices.
struct JournalHeader : JournalOptions {
    std::string utcTime; // 2026-12-11T10:42:05Z
    std::string localTime; // 2026-12-11 19:42:05 +0900
    std::string user;
    std::string host;
    std::string programVersion;
    std::string port; // as chosen: COM1, or a device
    std::string device; // the device it stands for
    DriveIdentity drive;
    std::string dataFile; // the data set written or compared, as a full path
    std::string dataFileSha256;
};

// One word of a write as the journal tells it.
struct JournalWord {
    int word = 0;
    std::string code;
    int value = 0;
    bool settled = false; // an outcome line follows the announcement
    std::string outcome; // taken, refused, no answer, not sent
    std::string refusal; // the drive's message for a refusal
};

// A word that read back otherwise than it was written, or that the drive
// holds otherwise than the data set compared with it.
struct JournalDifference {
    int word = 0;
    std::string code;
    int wanted = 0;
    int held = 0;
};

// A write held between two words while the user was asked whether to stop.
struct JournalPause {
    std::optional<int> afterWord; // none: before the first word
    std::string afterCode;
    std::size_t wordsBefore = 0; // the words of the summary settled before the hold
    std::string beganUtc;
    std::string beganLocal;
    std::optional<comm::PauseEnd> end; // none: the record ends in the hold
    std::string endedUtc;
    std::string endedLocal;
};

// What a journal file says, as far as it could be read.
struct JournalSummary {
    bool hasHeader = false;
    JournalHeader header;
    int planned = 0; // words a write meant to send; 0 before it knew
    std::vector<JournalWord> words; // in sending order
    std::vector<JournalDifference> differences;
    std::vector<JournalPause> pauses; // in the order they came
    int announced = 0;
    int taken = 0;
    int refused = 0;
    int noAnswer = 0;
    int notSent = 0;
    std::optional<int> lastTaken; // the last word the drive acknowledged
    std::string lastTakenCode;
    JournalEnd end = JournalEnd::Interrupted;
    CancelledBy cancelledBy = CancelledBy::User;
    bool resumed = false; // a later write finished what this one left
    int unreadLines = 0; // lines that were no record (a torn last line)
};

std::string transactionName(JournalTransaction transaction);
std::optional<JournalTransaction> transactionNamed(const std::string& name);
std::string endName(JournalEnd end);
std::optional<JournalEnd> endNamed(const std::string& name);
std::string cancelledByName(CancelledBy by);
std::optional<CancelledBy> cancelledByNamed(const std::string& name);
std::string pauseEndName(comm::PauseEnd end);
std::optional<comm::PauseEnd> pauseEndNamed(const std::string& name);

// A moment as the journal names it: UTC, local with its offset, and the
// stamp a file name starts with.
struct JournalTimes {
    std::string utc; // 2026-12-11T10:42:05Z
    std::string local; // 2026-12-11 19:42:05 +0900
    std::string fileStamp; // 2026-12-11T10-42-05.123Z
};
// The moment epochMs milliseconds after 1970 (UTC).
JournalTimes journalTimesAt(std::int64_t epochMs);

// The identity block's 14 bytes as the journal names the drive.
DriveIdentity driveIdentityOf(const std::vector<std::uint8_t>& identityBytes);

} // namespace tess::journal
