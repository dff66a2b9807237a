#include "app/comm/TransferHistoryPresenter.h"

#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "domain/comm/PosixSerialPort.h"
#include "domain/text/Texts.h"

namespace tess::comm {
namespace {

std::string wordLine(const journal::JournalWord& w, Language language)
{
    std::string outcome = w.settled ? w.outcome : std::string(text(TextId::HistoryWordUnsettled, language));
    if (!w.refusal.empty())
        outcome += " (" + w.refusal + ")";
    return message(TextId::HistoryWordLine, w.code, std::to_string(w.value), outcome).in(language);
}

std::string differenceLine(const journal::JournalDifference& d, Language language)
{
    return message(TextId::HistoryDifferenceLine, d.code, std::to_string(d.wanted), std::to_string(d.held))
        .in(language);
}

// "held after A-5 while Stop was asked (2026-12-11 19:42:05 +0900), went on
// (2026-12-11 19:42:31 +0900)"
std::string pauseLine(const journal::JournalPause& p, Language language)
{
    const auto when = [](const std::string& local, const std::string& utc) { return local.empty() ? utc : local; };
    const std::string began = when(p.beganLocal, p.beganUtc);
    const Message held = p.afterWord ? message(TextId::HistoryPauseAfter, p.afterCode, began)
                                     : message(TextId::HistoryPauseBeforeFirst, began);
    const std::string ended = when(p.endedLocal, p.endedUtc);
    const Message how = !p.end       ? message(TextId::HistoryPauseNoEnd)
        : *p.end == PauseEnd::WentOn ? message(TextId::HistoryPauseWentOn, ended)
                                     : message(TextId::HistoryPauseStopped, ended);
    return held.in(language) + how.in(language);
}

// The port a transfer used, as it can be chosen again: "COM1" stands for
// another device once TESSALINE_COM1 names another, and then the device the
// transfer used is the one meant.
std::string portAgain(const journal::JournalHeader& h)
{
    const std::optional<std::string> device = serialDevicePath(h.port);
    if (device && (h.device.empty() || *device == h.device))
        return h.port;
    if (isDeviceName(h.device))
        return h.device;
    return {};
}

} // namespace

TransferHistoryPresenter::TransferHistoryPresenter(Workspace& ws, Ui& ui)
    : m_ws(ws)
    , m_ui(ui)
{
}

TransferHistoryTexts TransferHistoryPresenter::texts() const
{
    const Language language = m_ws.settings.language;
    TransferHistoryTexts t;
    t.caption = text(TextId::HistoryCaption, language);
    for (const TextId id :
        {TextId::HistoryTitleTime, TextId::HistoryTitleFile, TextId::HistoryTitleDrive, TextId::HistoryTitlePort,
            TextId::HistoryTitleKind, TextId::HistoryTitleOutcome, TextId::HistoryTitleSent, TextId::HistoryTitleTaken})
        t.columnTitles.emplace_back(text(id, language));
    t.openDataSet = text(TextId::HistoryOpenDataSet, language);
    t.compareWithDrive = text(TextId::HistoryCompareWithDrive, language);
    t.close = text(TextId::HistoryClose, language);
    return t;
}

void TransferHistoryPresenter::reload()
{
    m_entries = readHistory(m_ws.settings.journalFolder);
    m_rows.clear();
    for (const HistoryEntry& entry : m_entries) {
        const journal::JournalSummary& s = entry.summary;
        const std::string& time = s.header.localTime.empty() ? s.header.utcTime : s.header.localTime;
        m_rows.push_back({time.substr(0, 19), s.header.dataFile, s.header.drive.text,
            s.header.device.empty() ? s.header.port : s.header.device, journal::transactionName(s.header.transaction),
            outcomeText(s), std::to_string(s.announced), std::to_string(s.taken)});
    }
    m_chosen = -1;
}

void TransferHistoryPresenter::choose(int row)
{
    m_chosen = row >= 0 && row < static_cast<int>(m_entries.size()) ? row : -1;
}

const HistoryEntry* TransferHistoryPresenter::chosenEntry() const
{
    return m_chosen < 0 ? nullptr : &m_entries[static_cast<std::size_t>(m_chosen)];
}

std::vector<std::string> TransferHistoryPresenter::chosenDetails() const
{
    std::vector<std::string> lines;
    const HistoryEntry* entry = chosenEntry();
    if (!entry)
        return lines;
    const Language language = m_ws.settings.language;
    const journal::JournalSummary& s = entry->summary;
    // Each hold between the word settled before it and the one after.
    auto pause = s.pauses.begin();
    for (std::size_t i = 0; i <= s.words.size(); ++i) {
        for (; pause != s.pauses.end() && (pause->wordsBefore <= i || i == s.words.size()); ++pause)
            lines.push_back(pauseLine(*pause, language));
        if (i < s.words.size())
            lines.push_back(wordLine(s.words[i], language));
    }
    for (const journal::JournalDifference& d : s.differences)
        lines.push_back(differenceLine(d, language));
    return lines;
}

bool TransferHistoryPresenter::openEnabled() const
{
    const HistoryEntry* entry = chosenEntry();
    return entry && !entry->summary.header.dataFile.empty();
}

bool TransferHistoryPresenter::openChosenDataSet()
{
    return openEnabled() && openDocumentAt(m_ws, m_ui, chosenEntry()->summary.header.dataFile);
}

std::optional<DriveComparison> TransferHistoryPresenter::compareChosenWithDrive()
{
    if (!openChosenDataSet())
        return std::nullopt;
    return DriveComparison {portAgain(chosenEntry()->summary.header)};
}

} // namespace tess::comm
