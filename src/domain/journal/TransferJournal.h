#pragma once

#include "domain/common/FileIo.h"

#include "domain/comm/WordJournal.h"
#include "domain/journal/JournalRecord.h"

#include <string>

namespace tess::journal {

// The journal of one transaction with a drive: a file of JSON lines,
// appended with write(2) and forced to the disk (fsync) at the header, before
// each word a write sends, at each hold for the user's answer and at the end, so that after a kill or a power
// loss it still names every word that may have reached the drive. Anything
// it cannot write is noted once (failure()) and never stops the transfer.
class TransferJournal final : public comm::WordJournal {
public:
    // The file is made in folder (made too when missing) at the header.
    TransferJournal(std::string folder, std::string fileName);
    ~TransferJournal() override;
    TransferJournal(const TransferJournal&) = delete;
    TransferJournal& operator=(const TransferJournal&) = delete;

    const std::string& path() const { return m_path; }
    // Why the journal could not be written; empty while it could.
    const std::string& failure() const { return m_failure; }

    void header(const JournalHeader& header);
    // The drive as its identity block read.
    void drive(const DriveIdentity& drive);
    // The words a write is about to send.
    void planned(int words);
    void wordAnnounced(int word, std::string_view code, std::uint16_t value) override;
    void wordSettled(int word, std::string_view code, comm::WordOutcome outcome, std::string_view refusal) override;
    void pauseBegan(int afterWord, std::string_view afterCode, std::int64_t wallMs) override;
    void pauseEnded(comm::PauseEnd end, std::int64_t wallMs) override;
    void difference(const JournalDifference& difference);
    void end(JournalEnd end, CancelledBy by = CancelledBy::User);

    // Appends to an earlier journal that a later write (its file name) took
    // up what it left; false when the file cannot be written.
    static bool markResumed(const std::string& path, const std::string& by, const std::string& utcTime);

private:
    void append(const std::string& line, bool sync);
    void fail(const IoError& error);

    std::string m_folder;
    std::string m_path;
    AppendFile m_file;
    bool m_opened = false;
    std::string m_failure;
};

} // namespace tess::journal
