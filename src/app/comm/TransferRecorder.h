#pragma once

#include "domain/comm/PortLock.h"
#include "domain/journal/JournalRecord.h"
#include "domain/journal/TransferJournal.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tess {
struct Message;
struct Workspace;
} // namespace tess

namespace tess::comm {

class WordJournal;

// The evidence one transaction leaves beside writelog.txt: its journal in
// the user's journal folder (none when the settings name no folder), and the
// lock on its port while it runs. What cannot be recorded is told once at
// the end and stops nothing.
class TransferRecorder {
public:
    explicit TransferRecorder(const Workspace& ws);

    // A new journal for a transaction that starts now.
    void begin(const journal::JournalOptions& options);
    void drive(const std::vector<std::uint8_t>& identityBytes);
    void planned(int words);
    WordJournal* wordJournal();
    void difference(int word, const std::string& code, int wanted, int held);
    void setCancelledBy(journal::CancelledBy by) { m_cancelledBy = by; }
    // The end line; the warning to show when the journal could not be
    // written.
    std::optional<Message> end(journal::JournalEnd end);
    // The journal file of the running or last transaction; "" for none.
    std::string journalPath() const;

    // Takes the lock of the settings' port for the transaction: nothing when
    // it is taken (or there is nothing to lock), else what to tell.
    std::optional<Message> lockPort();
    void unlockPort() { m_lock.release(); }

private:
    const Workspace& m_ws;
    std::unique_ptr<journal::TransferJournal> m_journal;
    journal::CancelledBy m_cancelledBy = journal::CancelledBy::Close;
    PortLock m_lock;
};

// The present moment as the journal names it.
journal::JournalTimes journalTimesNow();

} // namespace tess::comm
