#include "app/comm/TransferHistory.h"

#include "domain/common/FileIo.h"
#include "domain/journal/JournalFolder.h"
#include "domain/journal/JournalReader.h"
#include "domain/text/Texts.h"

namespace tess::comm {
namespace {

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "2026-12-11 19:42:05 +0900" to the minute, as the question names it.
std::string minuteOf(const journal::JournalHeader& header)
{
    const std::string& time = header.localTime.empty() ? header.utcTime : header.localTime;
    return time.size() >= 16 ? time.substr(0, 10) + " " + time.substr(11, 5) : time;
}

bool sameModel(const std::string& a, const std::string& b)
{
    // The identity's five characters may carry a letter the model's name
    // has not: either names the other's start.
    return a.empty() || b.empty() || a.starts_with(b) || b.starts_with(a);
}

} // namespace

std::vector<HistoryEntry> readHistory(const std::string& folder)
{
    std::vector<HistoryEntry> entries;
    if (folder.empty())
        return entries;
    for (const std::string& path : journal::journalFiles(folder)) {
        std::string text;
        if (!readFileBytes(path, text))
            continue;
        entries.push_back({path, journal::readJournal(text)});
    }
    return entries;
}

std::string outcomeText(const journal::JournalSummary& summary)
{
    std::string said = journal::endName(summary.end);
    if (summary.end == journal::JournalEnd::Cancelled)
        said += " (" + journal::cancelledByName(summary.cancelledBy) + ")";
    if (summary.resumed)
        said += ", resumed";
    return said;
}

std::optional<HistoryEntry> interruptedWrite(const std::string& folder, const ResumeTarget& target)
{
    for (HistoryEntry& entry : readHistory(folder)) {
        const journal::JournalSummary& s = entry.summary;
        if (!s.hasHeader || s.header.transaction != journal::JournalTransaction::Write
            || s.end != journal::JournalEnd::Interrupted || s.resumed || !s.header.drive.known())
            continue;
        if (!target.device.empty() && s.header.device != target.device)
            continue;
        if (!sameModel(target.model, s.header.drive.model))
            continue;
        if (!target.romCode.empty() && s.header.drive.romCode != target.romCode)
            continue;
        return std::move(entry);
    }
    return std::nullopt;
}

Message resumeQuestion(const journal::JournalSummary& s)
{
    const std::string port = s.header.device.empty() ? s.header.port : s.header.device;
    const Message which = message(TextId::ResumeWhichWrite, baseName(s.header.dataFile), s.header.drive.text, port);
    const std::string planned = std::to_string(s.planned > 0 ? s.planned : s.announced);
    const Message howFar = message(TextId::ResumeHowFar, std::to_string(s.taken), planned, minuteOf(s.header));
    return Message {which.ja + howFar.ja, which.en + howFar.en};
}

} // namespace tess::comm
