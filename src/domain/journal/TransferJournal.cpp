#include "domain/journal/TransferJournal.h"

#include "domain/journal/FlatJson.h"

namespace tess::journal {
namespace {

std::string outcomeName(comm::WordOutcome outcome)
{
    switch (outcome) {
    case comm::WordOutcome::Taken:
        return "taken";
    case comm::WordOutcome::Refused:
        return "refused";
    case comm::WordOutcome::NoAnswer:
        return "no answer";
    case comm::WordOutcome::NotSent:
        return "not sent";
    }
    return {};
}

} // namespace

TransferJournal::TransferJournal(std::string folder, std::string fileName)
    : m_folder(std::move(folder))
{
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
    m_path = m_folder + "/" + fileName;
}

TransferJournal::~TransferJournal() = default;

void TransferJournal::fail(const IoError& error)
{
    if (m_failure.empty())
        m_failure = error.path + ": " + error.detail;
    m_file.close();
}

void TransferJournal::append(const std::string& line, bool sync)
{
    if (!m_failure.empty())
        return;
    if (!m_opened) {
        m_opened = true;
        IoError error;
        // The folder and its parents are private to the user: the records
        // name users, hosts and files.
        if (!makeFolders(m_folder, 0700, &error) || !m_file.create(m_path, &error))
            return fail(error);
    }
    IoError error;
    if (!m_file.append(line + "\n", &error) || (sync && !m_file.flush(&error)))
        return fail(error);
}

void TransferJournal::header(const JournalHeader& h)
{
    FlatJson line;
    line.add("kind", "header")
        .add("transaction", transactionName(h.transaction))
        .add("utc", h.utcTime)
        .add("local", h.localTime)
        .add("user", h.user)
        .add("host", h.host)
        .add("version", h.programVersion)
        .add("port", h.port)
        .add("device", h.device)
        .add("file", h.dataFile)
        .add("sha256", h.dataFileSha256)
        .add("from", h.fromArea)
        .add("to", h.toArea)
        .add("verify", h.verify)
        .add("changedOnly", h.changedOnly)
        .add("forced", h.forced)
        .add("permitWrite", h.permitWrite);
    append(line.text(), true);
    if (h.drive.known())
        drive(h.drive);
}

void TransferJournal::drive(const DriveIdentity& d)
{
    FlatJson line;
    line.add("kind", "drive")
        .add("identity", d.text)
        .add("model", d.model)
        .add("rom", d.romCode)
        .add("modeCode", d.modeCode)
        .add("capacityCode", d.capacityCode);
    append(line.text(), false);
}

void TransferJournal::planned(int words)
{
    append(FlatJson().add("kind", "plan").add("words", words).text(), false);
}

void TransferJournal::wordAnnounced(int word, std::string_view code, std::uint16_t value)
{
    FlatJson line;
    line.add("kind", "word")
        .add("word", word)
        .add("code", std::string(code))
        .add("value", static_cast<int>(static_cast<std::int16_t>(value)))
        .add("step", "send");
    append(line.text(), true);
}

void TransferJournal::wordSettled(int word, std::string_view code, comm::WordOutcome outcome, std::string_view refusal)
{
    FlatJson line;
    line.add("kind", "word").add("word", word).add("code", std::string(code)).add("outcome", outcomeName(outcome));
    if (outcome == comm::WordOutcome::Refused)
        line.add("message", std::string(refusal));
    // Forced to the disk with the next word's announcement or the end.
    append(line.text(), false);
}

void TransferJournal::pauseBegan(int afterWord, std::string_view afterCode, std::int64_t wallMs)
{
    const JournalTimes times = journalTimesAt(wallMs);
    FlatJson line;
    line.add("kind", "pause");
    if (afterWord >= 0)
        line.add("after", afterWord).add("afterCode", std::string(afterCode));
    line.add("utc", times.utc).add("local", times.local);
    // The hold may last long; a power loss meanwhile still leaves it told.
    append(line.text(), true);
}

void TransferJournal::pauseEnded(comm::PauseEnd end, std::int64_t wallMs)
{
    const JournalTimes times = journalTimesAt(wallMs);
    FlatJson line;
    line.add("kind", "pause-end").add("how", pauseEndName(end)).add("utc", times.utc).add("local", times.local);
    append(line.text(), true);
}

void TransferJournal::difference(const JournalDifference& d)
{
    FlatJson line;
    line.add("kind", "verify").add("word", d.word).add("code", d.code).add("wanted", d.wanted).add("held", d.held);
    append(line.text(), false);
}

void TransferJournal::end(JournalEnd end, CancelledBy by)
{
    FlatJson line;
    line.add("kind", "end").add("result", endName(end));
    if (end == JournalEnd::Cancelled)
        line.add("by", cancelledByName(by));
    append(line.text(), true);
}

bool TransferJournal::markResumed(const std::string& path, const std::string& by, const std::string& utcTime)
{
    AppendFile file;
    if (!file.openExisting(path, nullptr))
        return false;
    const std::string line = FlatJson().add("kind", "resumed").add("by", by).add("utc", utcTime).text();
    // A torn last line of the kill that interrupted it stays a line of its own.
    return file.append("\n" + line + "\n", nullptr) && file.flush(nullptr);
}

} // namespace tess::journal
