#include "app/comm/TransferRecorder.h"

#include "app/common/Workspace.h"
#include "domain/comm/PosixSerialPort.h"
#include "domain/common/Clock.h"
#include "domain/common/FileIo.h"
#include "domain/common/OwnProcess.h"
#include "domain/common/Sha256.h"
#include "domain/journal/JournalFolder.h"
#include "domain/text/Texts.h"

#include <cerrno>
#include <climits>
#include <filesystem>

namespace tess::comm {
namespace {

std::string absolutePath(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(pathOf(path), error);
    return error ? path : utf8Of(full.lexically_normal());
}

} // namespace

journal::JournalTimes journalTimesNow()
{
    return journal::journalTimesAt(systemClock().wallMilliseconds());
}

TransferRecorder::TransferRecorder(const Workspace& ws)
    : m_ws(ws)
{
}

void TransferRecorder::begin(const journal::JournalOptions& options)
{
    m_journal.reset();
    m_cancelledBy = journal::CancelledBy::Close;
    if (m_ws.settings.journalFolder.empty())
        return;
    const journal::JournalTimes times = journalTimesNow();
    journal::JournalHeader h;
    static_cast<journal::JournalOptions&>(h) = options;
    h.utcTime = times.utc;
    h.localTime = times.local;
    h.user = ownUserName();
    h.host = ownHostName();
    h.programVersion = TESS_VERSION_TEXT;
    h.port = m_ws.settings.portName;
    h.device = serialDevicePath(m_ws.settings.portName).value_or("");
    if (options.transaction != journal::JournalTransaction::Read) {
        h.dataFile = absolutePath(m_ws.doc.state.fileName);
        // What is on the disk now: the document may hold edits not saved,
        // and then the digest tells the file apart from what was sent.
        std::string bytes;
        if (!h.dataFile.empty() && readFileBytes(h.dataFile, bytes))
            h.dataFileSha256 = sha256Hex(bytes);
    }
    m_journal = std::make_unique<journal::TransferJournal>(m_ws.settings.journalFolder,
        journal::journalFileName(times.fileStamp, journal::transactionName(options.transaction), ownProcessId()));
    m_journal->header(h);
}

void TransferRecorder::drive(const std::vector<std::uint8_t>& identityBytes)
{
    if (m_journal)
        m_journal->drive(journal::driveIdentityOf(identityBytes));
}

void TransferRecorder::planned(int words)
{
    if (m_journal)
        m_journal->planned(words);
}

WordJournal* TransferRecorder::wordJournal()
{
    return m_journal.get();
}

void TransferRecorder::difference(int word, const std::string& code, int wanted, int held)
{
    if (m_journal)
        m_journal->difference({word, code, wanted, held});
}

std::optional<Message> TransferRecorder::end(journal::JournalEnd end)
{
    if (!m_journal)
        return std::nullopt;
    m_journal->end(end, m_cancelledBy);
    if (m_journal->failure().empty())
        return std::nullopt;
    return message(TextId::JournalNotWritten, m_journal->failure());
}

std::string TransferRecorder::journalPath() const
{
    return m_journal && m_journal->failure().empty() ? m_journal->path() : std::string();
}

std::optional<Message> TransferRecorder::lockPort()
{
    const std::optional<std::string> device = serialDevicePath(m_ws.settings.portName);
    if (!device || m_ws.settings.runtimeFolder.empty())
        return std::nullopt;
    // The lock is named after the device itself, so that "COM1" and the
    // device it stands for are one port.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(pathOf(*device), error);
    const std::string name = error ? *device : utf8Of(real);
    switch (m_lock.acquire(m_ws.settings.runtimeFolder, name, ownProgramName())) {
    case PortLock::Result::Taken:
        return std::nullopt;
    case PortLock::Result::Held:
        return message(TextId::PortInUse, *device, m_lock.holder());
    case PortLock::Result::Failed:
        // A runtime folder that cannot be written locks nothing; the
        // transfer is not held back for it.
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace tess::comm
