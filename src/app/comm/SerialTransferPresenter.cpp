#include "app/comm/SerialTransferPresenter.h"

#include "app/comm/CommSettingsPresenter.h"
#include "app/comm/LogViewerPresenter.h"
#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "app/datafile/ValueCheck.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/CompareCommand.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/ReceivedImageReport.h"
#include "domain/comm/SerialPort.h"
#include "domain/common/Clock.h"
#include "domain/common/FileIo.h"
#include "domain/settings/UserStore.h"
#include "domain/tables/FileCompare.h"
#include "domain/tables/ImageConversion.h"
#include "domain/tables/TableFiles.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <span>

namespace tess::comm {
namespace {

// Pause between two looks at the clock while the line settles, so that the
// wait neither spins nor freezes the window.
constexpr int SettlePollMs = 10;

// Dead time compensation words of area A and analog gain and offset words
// of area G, as distances from the area's first word.
constexpr int DeadTimeFirst = 11;
constexpr int DeadTimeLast = 16;
constexpr std::array<int, 8> AnalogWords {0, 1, 7, 8, 10, 15, 17, 18};

WordSpan areaSpan(const ParameterTable& table, int area)
{
    const auto index = static_cast<std::size_t>(area);
    return WordSpan {table.areaFirst[index], table.areaLast[index]};
}

Message joined(const Message& a, const std::string& middle, const Message& b)
{
    return Message {a.ja + middle + b.ja, a.en + middle + b.en};
}

// The identity text as the inverter sent it, made safe for a message: bytes
// that are no printable ASCII show as '?', trailing zeros are dropped.
std::string identityText(std::span<const std::uint8_t> buffer)
{
    std::string text;
    for (std::size_t i = 0; i < tables::IdentityTextLength && i < buffer.size(); ++i) {
        const std::uint8_t byte = buffer[i];
        text.push_back(byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?');
    }
    while (!text.empty() && text.back() == '?' && buffer[text.size() - 1] == 0)
        text.pop_back();
    return text;
}

} // namespace

WriteRangeChoice buildWriteRanges(int startArea, int endArea, const std::array<std::uint16_t, AreaCount>& areaFirst,
    const std::array<std::uint16_t, AreaCount>& areaLast, std::vector<WordSpan>& ranges)
{
    ranges.clear();
    const auto named = [](int area) { return area >= 0 && area < AreaCount; };
    if (!named(startArea))
        return WriteRangeChoice::StartNotNamed;
    if (!named(endArea) || startArea > endArea)
        return WriteRangeChoice::EndNotUsable;
    const auto add = [&](int area) {
        const auto index = static_cast<std::size_t>(area);
        ranges.push_back(WordSpan {areaFirst[index], areaLast[index]});
    };
    if (startArea == endArea) {
        add(startArea);
        return WriteRangeChoice::Built;
    }
    // Fund. holds the words the others depend on: it goes last.
    for (int area = std::max(startArea, AreaFund + 1); area <= endArea; ++area)
        add(area);
    if (startArea == AreaFund)
        add(AreaFund);
    return WriteRangeChoice::Built;
}

std::optional<std::string> heldBackLine(int word, const WordSpan& areaA, const WordSpan& areaG, Language language)
{
    std::string letter;
    int distance = 0;
    if (areaA.contains(word)) {
        distance = word - areaA.first;
        if (distance < DeadTimeFirst || distance > DeadTimeLast)
            return std::nullopt;
        letter = "A";
    } else if (areaG.contains(word)) {
        distance = word - areaG.first;
        if (std::find(AnalogWords.begin(), AnalogWords.end(), distance) == AnalogWords.end())
            return std::nullopt;
        letter = "G";
    } else {
        return std::nullopt;
    }
    return letter + "-" + std::to_string(distance) + std::string(text(TextId::TransHeldBackSuffix, language));
}

SerialTransferPresenter::SerialTransferPresenter(
    Workspace& ws, Ui& ui, SerialPort& port, Clock& clock, TransferKind kind, std::string workFolder, UserStore* store)
    : m_ws(ws)
    , m_ui(ui)
    , m_port(port)
    , m_clock(clock)
    , m_workFolder(std::move(workFolder))
    , m_store(store)
    , m_kind(kind)
    , m_meter(clock, ws.settings.language, [this](const TransferStatus& status) {
        if (m_statusListener)
            m_statusListener(status);
    })
{
    if (!m_workFolder.empty() && m_workFolder.back() != '/')
        m_workFolder.push_back('/');
    for (const std::string_view name : dataAreaNames)
        m_areaItems.emplace_back(name);
    if (m_store && m_store->readString(UserValueVerifyWrite) == "0")
        m_verifyAfterWrite = false;
}

void SerialTransferPresenter::setVerifyAfterWrite(bool on)
{
    m_verifyAfterWrite = on;
    if (m_store)
        m_store->writeString(UserValueVerifyWrite, on ? "1" : "0");
}

SerialTransferTexts SerialTransferPresenter::texts() const
{
    const Language language = m_ws.settings.language;
    const auto t = [language](TextId id) { return std::string(text(id, language)); };
    const bool write = isWriteDialog();
    SerialTransferTexts texts;
    texts.caption = t(TextId::SerialCaption);
    texts.progressCaption = t(write ? TextId::SerialProgressWrite : TextId::SerialProgressRead);
    texts.messagesCaption = t(TextId::SerialMessagesCaption);
    texts.execute = t(TextId::SerialExecute);
    texts.close = t(TextId::SerialClose);
    texts.writeAreaGroup = t(TextId::SerialWriteAreaGroup);
    texts.startAreaLabel = t(TextId::SerialStartArea);
    texts.endAreaLabel = t(TextId::SerialEndArea);
    texts.optionsGroup = t(TextId::SerialOptionsGroup);
    texts.deadTimeWordsLabel = t(TextId::SerialDeadTimeWords);
    texts.analogWordsLabel = t(TextId::SerialAnalogWords);
    texts.analogWordsNote = t(TextId::SerialAnalogWordsNote);
    texts.permitWriteCheck = t(TextId::SerialWriteEnable);
    texts.displayOptionsGroup = t(TextId::SerialDisplayOptionsGroup);
    texts.showAreaLCheck = t(TextId::SerialShowAreaL);
    texts.showAreaNCheck = t(TextId::SerialShowAreaN);
    texts.showAreaOCheck = t(TextId::SerialShowAreaO);
    texts.hiddenAreasNote = t(TextId::SerialHiddenAreasNote);
    texts.forcedTransferCheck = t(write ? TextId::SerialForcedWrite : TextId::SerialForcedRead);
    texts.verifyCheck = t(TextId::SerialVerifyCheck);
    texts.changedOnlyCheck = t(TextId::SerialChangedOnlyCheck);
    texts.cancelling = t(TextId::TransStatusCancelling);
    texts.cancelled = t(TextId::TransStatusCancelled);
    return texts;
}

bool SerialTransferPresenter::writeControlsEnabled() const
{
    return isWriteDialog() && m_ws.doc.content != GridContent::Raw;
}

void SerialTransferPresenter::setStartArea(int index)
{
    m_startArea = index >= 0 && index < AreaCount ? index : NoArea;
}

void SerialTransferPresenter::setEndArea(int index)
{
    m_endArea = index >= 0 && index < AreaCount ? index : NoArea;
}

int SerialTransferPresenter::areaIndexOfText(std::string_view typed)
{
    for (int i = 0; i < AreaCount; ++i)
        if (dataAreaNames[static_cast<std::size_t>(i)] == typed)
            return i;
    return NoArea;
}

void SerialTransferPresenter::setShowAreaO(bool on)
{
    if (on && !m_showAreaO)
        show(TextId::SerialAreaOWarning);
    m_showAreaO = on;
}

void SerialTransferPresenter::revealForcedBox()
{
    m_forcedBoxVisible = true;
}

void SerialTransferPresenter::hideForcedBox()
{
    m_forcedBoxVisible = false;
    m_forcedTransfer = false;
}

void SerialTransferPresenter::setForcedTransfer(bool on)
{
    m_forcedTransfer = on && m_forcedBoxVisible;
}

void SerialTransferPresenter::close()
{
    m_forcedTransfer = false;
}

std::string SerialTransferPresenter::pathOf(std::string_view name) const
{
    if (!m_readFilePath.empty() && name == m_readFilePath)
        return m_readFilePath;
    return m_workFolder + std::string(name);
}

void SerialTransferPresenter::showMemo()
{
    m_memo = m_log.lines();
    if (m_changed)
        m_changed();
}

void SerialTransferPresenter::show(TextId id)
{
    m_ui.showMessage(message(id), m_ws.settings.language);
}

void SerialTransferPresenter::showNotice(const std::optional<Message>& notice)
{
    if (notice)
        m_ui.showMessage(*notice, m_ws.settings.language);
}

bool SerialTransferPresenter::askYes(const Message& question)
{
    return m_ui.ask(question, message(TextId::SavePromptCaption), Buttons::YesNo, m_ws.settings.language)
        == Answer::Yes;
}

bool SerialTransferPresenter::settleWait(const LinkState& state)
{
    // Only sleeps: the transfer never runs the window's event loop from
    // inside (a click handled there would start another command in the
    // middle of this one). A stop asked for meanwhile ends the wait.
    m_meter.enter(TransferPhase::Settling);
    const std::int64_t t0 = m_clock.seconds();
    while (m_clock.seconds() <= t0 + 1) {
        if (state.cancelRequested && state.cancelRequested->load())
            return false;
        m_clock.sleepMs(SettlePollMs);
    }
    return true;
}

WriteRangeChoice SerialTransferPresenter::buildWriteRanges()
{
    const ParameterTable& table = m_ws.doc.table;
    return comm::buildWriteRanges(m_startArea, m_endArea, table.areaFirst, table.areaLast, m_ranges);
}

int SerialTransferPresenter::runTransaction()
{
    beginTransaction();
    const int result = transfer();
    finishTransaction(result);
    return result;
}

void SerialTransferPresenter::beginTransaction()
{
    m_running = true;
    m_cancel = false;
    m_pause = false;
    m_drive.reset();
    m_writeFacts.reset();
    m_summary.clear();
    m_executeEnabled = false;
    // Close stays available: during a transfer it stops it.
    m_closeEnabled = true;
    m_log.clear();
    m_log.append(std::string(text(TextId::TransStart, m_ws.settings.language)));
    m_record.begin(recordedOptions());
    showMemo();
}

journal::JournalOptions SerialTransferPresenter::recordedOptions() const
{
    journal::JournalOptions options;
    options.transaction = m_kind == TransferKind::Read ? journal::JournalTransaction::Read
        : m_kind == TransferKind::Write                ? journal::JournalTransaction::Write
                                                       : journal::JournalTransaction::CompareWithDrive;
    if (isWriteDialog()) {
        const auto areaName = [](int area) {
            return area >= 0 && area < AreaCount ? std::string(dataAreaNames[static_cast<std::size_t>(area)])
                                                 : std::string();
        };
        options.fromArea = areaName(m_startArea);
        options.toArea = areaName(m_endArea);
        options.verify = m_verifyAfterWrite;
        options.changedOnly = m_changedOnly;
        options.forced = m_forcedTransfer;
        options.permitWrite = m_writePermitted;
    }
    return options;
}

journal::JournalEnd SerialTransferPresenter::journalEnd(int result) const
{
    if (result == 0)
        return journal::JournalEnd::Done;
    if (isWriteDialog() && result == WriteWordsRefused)
        return journal::JournalEnd::WordsRefused;
    return m_cancel ? journal::JournalEnd::Cancelled : journal::JournalEnd::Failed;
}

int SerialTransferPresenter::transfer()
{
    // The port stays this program's from the identity to the last word,
    // though the port itself is closed and opened between the two.
    if (const std::optional<Message> inUse = m_record.lockPort()) {
        m_log.append(inUse->in(m_ws.settings.language));
        m_ui.showMessage(*inUse, m_ws.settings.language);
        return -1;
    }
    const struct PortUnlock {
        TransferRecorder& record;
        ~PortUnlock() { record.unlockPort(); }
    } unlock {m_record};
    switch (m_kind) {
    case TransferKind::Read:
        return readTransaction();
    case TransferKind::CompareWithDrive:
        return compareTransaction();
    case TransferKind::Write:
        break;
    }
    switch (buildWriteRanges()) {
    case WriteRangeChoice::Built:
        break;
    case WriteRangeChoice::EndNotUsable:
        show(TextId::TransSetAreaError);
        return -1;
    case WriteRangeChoice::StartNotNamed:
        // Execute stays on: the start can be chosen again.
        show(TextId::TransAreaNotDefined);
        return -2;
    }
    // A damaged or hand-edited value goes to a running drive only when the
    // user has seen it and agreed.
    if (!datafile::confirmWordsToSend(m_ws, m_ui, m_ranges))
        return -1;
    return writeTransaction();
}

void SerialTransferPresenter::finishTransaction(int result)
{
    const Language language = m_ws.settings.language;
    if (const std::optional<Message> unrecorded = m_record.end(journalEnd(result)))
        m_ui.showMessage(*unrecorded, language);
    if (m_kind == TransferKind::Read && result != -1)
        loadReadResult();
    if (m_kind == TransferKind::CompareWithDrive && result == 0)
        showComparison();

    m_log.append(std::string(text(TextId::TransEnd, language)));
    showMemo();

    if (isWriteDialog() || result != 0) {
        // Only a log that reached the file is announced as being there; one
        // that did not is told as missing, since writelog.txt, kept as it
        // was, holds an earlier transfer's log (the drive was written all
        // the same, so the transfer's result stands).
        if (saveCommLogTelling(m_ws, m_ui, m_log.lines(), m_workFolder, message(TextId::TransLogMissing)))
            m_log.append(std::string(text(TextId::TransLogFileLine, language)));
    } else if (m_kind == TransferKind::CompareWithDrive) {
        m_log.append(std::string(text(TextId::TransComparedWithDrive, language)));
    } else {
        m_log.append(std::string(text(TextId::TransSavedAsPrefix, language)) + m_fileName
            + std::string(text(TextId::TransSavedAsSuffix, language)));
    }
    showMemo();

    m_log.clear();
    m_running = false;
    m_executeEnabled = true;
    m_closeEnabled = true;
    if (result == -1) {
        // Another attempt needs the dialog opened anew.
        m_memo.clear();
        m_executeEnabled = false;
    }
    // The words read back otherwise stay on screen; another attempt still
    // needs the dialog opened anew.
    if (result == WriteVerifyDiffers)
        m_executeEnabled = false;
    m_summary = transferSummary(transferEnd(result), m_writeFacts, language);
    if (m_changed)
        m_changed();
}

TransferEnd SerialTransferPresenter::transferEnd(int result) const
{
    if (result == 0)
        return TransferEnd::Done;
    if (m_kind == TransferKind::Write && result == WriteWordsRefused)
        return TransferEnd::WordsRefused;
    if (m_kind == TransferKind::Write && result == WriteVerifyDiffers)
        return TransferEnd::VerifyDiffers;
    return m_cancel ? TransferEnd::StoppedByUser : TransferEnd::Failed;
}

void SerialTransferPresenter::noteWriteOutcome(const LinkState& state, const std::vector<int>& planned)
{
    const GridSource grid = gridSource(m_ws);
    WriteFacts facts;
    facts.planned = static_cast<int>(planned.size());
    facts.written = static_cast<int>(state.writtenWords.size());
    for (std::size_t i = 0; i < state.refusedWords.size(); ++i) {
        const int word = state.refusedWords[i];
        if (hiddenArea(state, word) != NoArea)
            continue;
        std::string name;
        if (word + 1 < GridRowsWithTable)
            name = cellText(grid, word + 1, ColName);
        facts.refused.push_back({wordLogName(grid, word), name, nakMessage(state.refusalCodes[i])});
    }
    for (const int word : state.failedWords)
        facts.noAnswer.push_back(wordLogName(grid, word));
    std::vector<bool> sent(SlotCount, false);
    for (const std::vector<int>* words : {&state.writtenWords, &state.refusedWords, &state.failedWords})
        for (const int word : *words)
            sent[static_cast<std::size_t>(word)] = true;
    facts.notSent = notSentRanges(
        planned, [&](int word) { return sent[static_cast<std::size_t>(word)]; },
        [&](int word) { return wordLogName(grid, word); });
    m_writeFacts = std::move(facts);
}

bool SerialTransferPresenter::confirmCancel()
{
    if (!m_running)
        return false;
    if (m_kind == TransferKind::Write) {
        m_pause = true;
        const bool stop = askYes(message(TextId::TransAskCancelWrite));
        // The stop is asked for before the hold ends, so that not one more
        // word goes out after a Yes.
        if (stop)
            requestCancel();
        m_pause = false;
        return stop;
    }
    requestCancel();
    return true;
}

void SerialTransferPresenter::prepareLink(LinkState& state)
{
    state.commDirection = isWriteDialog() ? CommandWrite : CommandRead;
    state.commPhase = CommandRead;
    state.identityFill = 0;
    state.logInsertCounter = 0;
    state.progress = &m_meter;
    state.cancelRequested = &m_cancel;
    state.pauseRequested = &m_pause;
    if (!isWriteDialog())
        return;
    // From the identity on, so that a hold before the first word is on
    // record too.
    state.journal = m_record.wordJournal();

    const ParameterTable& table = m_ws.doc.table;
    state.writeWholeImage = m_ws.doc.content == GridContent::Raw;
    state.writeRanges = m_ranges;
    state.showAreaL = m_showAreaL;
    state.showAreaN = m_showAreaN;
    state.showAreaO = m_showAreaO;
    state.areaL = areaSpan(table, AreaL);
    state.areaN = areaSpan(table, AreaN);
    state.areaO = areaSpan(table, AreaO);
    if (!m_writePermitted) {
        const WordSpan areaA = areaSpan(table, AreaA);
        const WordSpan areaG = areaSpan(table, AreaG);
        const Language language = m_ws.settings.language;
        state.writeFilter = [areaA, areaG, language](int word) { return heldBackLine(word, areaA, areaG, language); };
    }
}

void SerialTransferPresenter::planTransfer()
{
    // One bar over the whole transaction: each step's share is its time at
    // 9600 baud; the words of a write are known once the ranges are.
    m_meter.clear();
    m_meter.addPhase(TransferPhase::Settling, transferEstimate::settleMs());
    m_meter.addPhase(TransferPhase::Identity, transferEstimate::identityMs());
    if (!isWriteDialog()) {
        m_meter.addPhase(TransferPhase::Reading, transferEstimate::imageReadMs());
        return;
    }
    m_meter.addPhase(TransferPhase::Settling, transferEstimate::settleMs());
    if (m_changedOnly)
        m_meter.addPhase(TransferPhase::ReadingToCompare, transferEstimate::imageReadMs());
    LinkState state;
    prepareLink(state);
    SerialLink planner(m_port, m_clock, linkSettings(), {m_ws.doc.values, gridSource(m_ws)}, state, m_log);
    m_meter.addPhase(TransferPhase::Writing,
        transferEstimate::writeMs(static_cast<int>(planner.plannedWords().size()), m_ws.settings.writeWaitMs));
    if (m_verifyAfterWrite)
        m_meter.addPhase(TransferPhase::Verifying, transferEstimate::imageReadMs());
}

LinkSettings SerialTransferPresenter::linkSettings() const
{
    return LinkSettings {transferPortName(m_ws.settings.portName), m_ws.settings.language, m_ws.settings.writeWaitMs};
}

std::string SerialTransferPresenter::portLine() const
{
    const std::string name = transferPortName(m_ws.settings.portName);
    const std::optional<std::string> device = serialDevicePath(name);
    const Language language = m_ws.settings.language;
    if (!device)
        return message(TextId::TransPortNamesNoDevice, name).in(language);
    if (*device == name)
        return message(TextId::TransPortShown, name).in(language);
    return message(TextId::TransPortShownWithDevice, name, *device).in(language);
}

bool SerialTransferPresenter::openPort(SerialLink& link)
{
    std::optional<Message> failure = link.openCommPort();
    if (failure) {
        // The fixed text and the system's reason, then what to do about it.
        const Message advice = message(TextId::TransPortOpenAdvice);
        failure->ja += "\n" + advice.ja;
        failure->en += "\n" + advice.en;
    }
    showNotice(failure);
    return !failure;
}

int SerialTransferPresenter::readIdentity(SerialLink& link, const LinkState& state)
{
    m_meter.enter(TransferPhase::Identity);
    if (link.readIdentityBlock(IdentityAddress, static_cast<int>(tables::IdentityTextLength)) != 0) {
        if (state.stop != TransferStop::Cancelled)
            show(TextId::TransReadIdentityError);
        return -1;
    }
    if (link.readIdentityBlock(ModeCapacityAddress, 4) != 0) {
        if (state.stop != TransferStop::Cancelled)
            show(TextId::TransReadModeCapacityError);
        return -1;
    }
    m_record.drive({state.identity.begin(), state.identity.begin() + tables::IdentityBufferLength});
    return 0;
}

int SerialTransferPresenter::stoppedByUser(const LinkState& state, const std::vector<int>& planned)
{
    // Never success: the log and the message say what was done before the
    // stop, a write the words the inverter took.
    const Language language = m_ws.settings.language;
    Message said = message(TextId::TransCancelledRead);
    if (isWriteDialog()) {
        const std::size_t written = state.writtenWords.size();
        said = message(TextId::TransCancelledWrite, std::to_string(written), std::to_string(planned.size()));
        m_log.append(said.in(language));
        if (!state.writtenWords.empty()) {
            m_log.append(message(TextId::TransLastWordWritten, wordLogName(gridSource(m_ws), state.writtenWords.back()))
                             .in(language));
        }
    } else {
        m_log.append(said.in(language));
    }
    m_ui.showMessage(said, language);
    return -1;
}

int SerialTransferPresenter::readIdentityAndImage(LinkState& state)
{
    const LinkSettings settings = linkSettings();
    SerialLink link(m_port, m_clock, settings, {m_ws.doc.values, gridSource(m_ws)}, state, m_log);
    if (!openPort(link)) {
        link.closeCommPort();
        return -1;
    }
    if (!settleWait(state)) {
        link.closeCommPort();
        return stoppedByUser(state, {});
    }
    int step = readIdentity(link, state);
    if (step == 0) {
        m_meter.enter(TransferPhase::Reading);
        if (link.readParameterImage() != 0) {
            if (state.stop != TransferStop::Cancelled)
                show(TextId::TransReadDataError);
            step = -1;
        }
    }
    link.closeCommPort();
    if (state.stop == TransferStop::Cancelled)
        return stoppedByUser(state, {});
    return step;
}

int SerialTransferPresenter::readTransaction()
{
    m_fileName.clear();
    planTransfer();
    LinkState state;
    prepareLink(state);
    if (const int step = readIdentityAndImage(state); step != 0)
        return step;

    const std::span<const std::uint8_t> identityBytes(state.identity.data(), tables::IdentityBufferLength);
    const std::span<const std::uint8_t> image(state.image.data(), tables::ParameterImageLength);
    const bool special = m_ws.settings.fileVersion.specialFunctions;
    tables::ReceivedIdentity found;
    found.forcedTransfer = m_forcedTransfer;

    // The values go to a set of their own: the open data set stays as it is
    // until the saved file is loaded in its place.
    ParameterSet values {};
    std::string_view name;
    datafile::SaveMode mode = datafile::SaveMode::InverterRead;
    const tables::IdentityCheck identity
        = tables::checkIdentity(found, identityBytes, false, m_ws.doc.identity, m_ws.settings.fileVersion);
    switch (identity) {
    case tables::IdentityCheck::Known: {
        tables::checkModeCapacity(found, identityBytes, false, m_ws.doc.identity);
        name = ReadDataFileName;
        const tables::ImageConversionResult conversion
            = tables::convertParameterImage(found, image, false, m_ws.settings.tableFolders(), values);
        keepReceivedImage(m_ws.doc, image);
        showNotice(conversion.notice);
        if (conversion.result == -3) {
            m_ui.showMessage(joined(message(TextId::TransNoTablePrefix), identityText(identityBytes),
                                 message(TextId::TransNoTableSuffix)),
                m_ws.settings.language);
            if (!special)
                return -1;
            show(TextId::TransSavedAsUnfound);
            name = UnfoundTableFileName;
        }
        break;
    }
    case tables::IdentityCheck::UnknownModel:
    case tables::IdentityCheck::UnknownRomVersion: {
        // An unknown model or ROM version: saved under a name that says so
        // when the special functions allow, the table skipped for an unknown
        // ROM version.
        struct Unsupported {
            TextId said;
            TextId savedAs;
            bool skipTable;
            std::string_view name;
            datafile::SaveMode mode;
        };
        const Unsupported unsupported = identity == tables::IdentityCheck::UnknownModel
            ? Unsupported {TextId::TransReadUnsupportedMachine, TextId::TransSavedAsUnMachine, false,
                UnsupportedMachineFileName, datafile::SaveMode::UnsupportedMachine}
            : Unsupported {TextId::TransReadUnsupportedRom, TextId::TransSavedAsUnRom, true, UnsupportedRomFileName,
                datafile::SaveMode::UnsupportedRom};
        show(unsupported.said);
        if (!special)
            return -1;
        show(unsupported.savedAs);
        tables::checkModeCapacity(found, identityBytes, false, m_ws.doc.identity);
        showNotice(
            tables::convertParameterImage(found, image, unsupported.skipTable, m_ws.settings.tableFolders(), values)
                .notice);
        name = unsupported.name;
        mode = unsupported.mode;
        break;
    }
    case tables::IdentityCheck::OtherModel:
    case tables::IdentityCheck::OtherRomVersion:
        // Not compared: a read takes whichever inverter answers.
        return -1;
    }

    m_fileName = m_readFilePath.empty() ? std::string(name) : m_readFilePath;
    return saveRead(values, found.asIdentity(), static_cast<int>(mode));
}

int SerialTransferPresenter::saveRead(const ParameterSet& values, const InverterIdentity& received, int saveMode)
{
    const auto mode = static_cast<datafile::SaveMode>(saveMode);
    const InverterIdentity identity = datafile::savedIdentity(mode, m_ws.doc.identity, received);
    // The readable copy of a data set from an unsupported inverter shows its
    // values under its own identity, not the rows of whatever data set was
    // open before.
    std::optional<datafile::CsvCopy> csv;
    if (mode != datafile::SaveMode::InverterRead) {
        GridSource raw;
        raw.content = GridContent::Raw;
        raw.values = &values;
        raw.language = m_ws.settings.language;
        csv.emplace(datafile::CsvCopy {identity, raw});
    }
    BusyScope busy(m_ui);
    const datafile::DataSetFileWrite written
        = datafile::writeDataSetFiles(pathOf(m_fileName), identity, values, csv, *m_ws.writer);
    if (written.failure)
        m_ui.showMessage(*written.failure, m_ws.settings.language);
    switch (written.result) {
    case datafile::SaveResult::Saved:
        return 0;
    case datafile::SaveResult::CsvNotSaved:
        return ReadCsvNotSaved;
    case datafile::SaveResult::NothingWritten:
        break;
    }
    return -1;
}

void SerialTransferPresenter::loadReadResult()
{
    if (m_fileName.empty())
        return;
    Document& doc = m_ws.doc;
    const std::string previous = doc.state.fileName;
    doc.state.fileName = pathOf(m_fileName);
    // A file that cannot be read leaves the window, its file name included,
    // as it was.
    if (!datafile::readDataSet(m_ws, m_ui, doc.state.fileName)) {
        doc.state.fileName = previous;
        show(TextId::MsgDataFileNotOpened);
        return;
    }
    showLoadedDataSet(m_ws, m_ui, LoadPurpose::InverterRead);
}

SerialTransferPresenter::Go SerialTransferPresenter::checkWriteIdentity(
    const std::vector<std::uint8_t>& identityBytes, tables::ReceivedIdentity& found)
{
    const bool special = m_ws.settings.fileVersion.specialFunctions;
    const InverterIdentity& dataSet = m_ws.doc.identity;
    found = tables::ReceivedIdentity {};
    found.forcedTransfer = m_forcedTransfer;

    switch (tables::checkIdentity(found, identityBytes, true, dataSet, m_ws.settings.fileVersion)) {
    case tables::IdentityCheck::Known:
        break;
    case tables::IdentityCheck::UnknownModel:
        if (!special) {
            show(TextId::TransWriteUnsupportedMachine);
            return Go::Stop;
        }
        return askYes(message(TextId::TransAskUnsupportedMachine)) ? Go::On : Go::Stop;
    case tables::IdentityCheck::UnknownRomVersion:
        if (!special) {
            show(TextId::TransWriteUnsupportedVersion);
            return Go::Stop;
        }
        return askYes(
                   joined(Message {}, identityText(identityBytes), message(TextId::TransAskUnsupportedVersionSuffix)))
            ? Go::On
            : Go::Stop;
    case tables::IdentityCheck::OtherModel:
        show(TextId::TransMachineMismatch);
        return Go::Stop;
    case tables::IdentityCheck::OtherRomVersion:
        if (!special) {
            show(TextId::TransVersionMismatch);
            return Go::Stop;
        }
        return askYes(message(TextId::TransAskVersionMismatch)) ? Go::On : Go::Stop;
    }

    switch (tables::checkModeCapacity(found, identityBytes, true, dataSet)) {
    case -1:
        show(TextId::TransControlModeWrong);
        return Go::Stop;
    case -2:
        show(TextId::TransCapacityWrong);
        return Go::Stop;
    default:
        break;
    }
    show(TextId::TransIdentityOk);

    // The inverter's own table, looked up without touching the open data
    // set's table choice.
    const InverterIdentity inverter = found.asIdentity();
    if (!tables::findTableFile(m_ws.settings.tableFolders(), inverter.model, inverter.controlMode, inverter.romVersion)
             .empty())
        return Go::On;
    if (!special) {
        show(TextId::TransNoTableStop);
        return Go::Stop;
    }
    return askYes(message(TextId::TransAskNoTable)) ? Go::On : Go::Stop;
}

int SerialTransferPresenter::writeTransaction()
{
    planTransfer();
    LinkState state;
    prepareLink(state);
    const LinkSettings settings = linkSettings();
    SerialLink link(m_port, m_clock, settings, {m_ws.doc.values, gridSource(m_ws)}, state, m_log);
    link.calibrateWriteWait();
    if (!openPort(link)) {
        link.closeCommPort();
        return -1;
    }
    if (!settleWait(state)) {
        link.closeCommPort();
        return stoppedByUser(state, {});
    }
    const int step = readIdentity(link, state);
    link.closeCommPort();
    if (state.stop == TransferStop::Cancelled)
        return stoppedByUser(state, {});
    if (step != 0)
        return -1;

    const std::vector<std::uint8_t> identityBytes(
        state.identity.begin(), state.identity.begin() + tables::IdentityBufferLength);
    tables::ReceivedIdentity inverter;
    if (checkWriteIdentity(identityBytes, inverter) == Go::Stop)
        return -1;
    // A stop asked for while a question was open: nothing has been written.
    if (m_cancel)
        return stoppedByUser(state, {});

    state.commPhase = CommandWrite;
    if (!openPort(link)) {
        show(TextId::TransPortOpenError);
        link.closeCommPort();
        return -1;
    }
    if (!settleWait(state)) {
        link.closeCommPort();
        return stoppedByUser(state, {});
    }
    const int result = writeWords(link, state);
    link.closeCommPort();
    return result;
}

int SerialTransferPresenter::writeWords(SerialLink& link, LinkState& state)
{
    const Language language = m_ws.settings.language;
    if (m_changedOnly) {
        // The inverter's image first: the words it already holds are left out.
        m_meter.enter(TransferPhase::ReadingToCompare);
        if (link.readParameterImage() != 0) {
            if (state.stop == TransferStop::Cancelled)
                return stoppedByUser(state, {});
            show(TextId::TransCompareReadError);
            return -1;
        }
        state.equalWords.assign(SlotCount, false);
        for (int word = 0; word < SlotCount; ++word) {
            const std::uint16_t held = state.imageWord(word);
            state.equalWords[static_cast<std::size_t>(word)]
                = held == static_cast<std::uint16_t>(m_ws.doc.values[static_cast<std::size_t>(word)] & 0xFFFF);
        }
    }

    const std::vector<int> planned = link.plannedWords();
    m_meter.setEstimate(
        TransferPhase::Writing, transferEstimate::writeMs(static_cast<int>(planned.size()), state.writeWaitMs));
    m_meter.enter(TransferPhase::Writing);
    m_record.planned(static_cast<int>(planned.size()));
    const int result = link.transferParameterImage();
    noteWriteOutcome(state, planned);
    if (state.stop == TransferStop::Cancelled)
        return stoppedByUser(state, planned);
    if (m_changedOnly)
        m_log.append(message(TextId::TransSkippedAsEqual, std::to_string(state.skippedAsEqual)).in(language));
    if (result != 0)
        show(TextId::TransWriteDataError);

    // Refusals in an area whose lines are hidden are expected (the O area
    // takes its words only while its key is held): they are told apart and
    // fail nothing. Those of a shown area never pass for written.
    std::vector<bool> hiddenNotTaken(SlotCount, false);
    std::vector<std::size_t> shownRefusals;
    for (std::size_t i = 0; i < state.refusedWords.size(); ++i) {
        const int word = state.refusedWords[i];
        if (hiddenArea(state, word) != NoArea)
            hiddenNotTaken[static_cast<std::size_t>(word)] = true;
        else
            shownRefusals.push_back(i);
    }
    std::vector<int> differing;
    int verified = 0;
    if (m_verifyAfterWrite && state.stop == TransferStop::None) {
        verified = verifyWrite(link, state, planned, differing, hiddenNotTaken);
        if (state.stop == TransferStop::Cancelled)
            return -1;
    }
    logHiddenNotTaken(state, hiddenNotTaken);
    const Message refused = refusedWordsMessage(state, shownRefusals);
    if (!shownRefusals.empty()) {
        const std::string listed = refused.in(language);
        for (const std::string_view line : splitLines(listed))
            m_log.append(std::string(line));
    }

    if (result != 0 || verified != 0)
        return -1;
    // A refused word reads back as the drive's own value: the refusal tells why.
    const auto refusedHere = [&](int word) {
        return std::any_of(
            shownRefusals.begin(), shownRefusals.end(), [&](std::size_t i) { return state.refusedWords[i] == word; });
    };
    if (!std::all_of(differing.begin(), differing.end(), refusedHere)) {
        show(TextId::TransVerifyMismatch);
        return WriteVerifyDiffers;
    }
    if (!shownRefusals.empty()) {
        m_ui.showMessage(refused, language);
        return WriteWordsRefused;
    }
    return 0;
}

int SerialTransferPresenter::hiddenArea(const LinkState& state, int word) const
{
    if (state.areaL.contains(word) && !state.showAreaL)
        return AreaL;
    if (state.areaN.contains(word) && !state.showAreaN)
        return AreaN;
    if (state.areaO.contains(word) && !state.showAreaO)
        return AreaO;
    return NoArea;
}

void SerialTransferPresenter::logHiddenNotTaken(const LinkState& state, const std::vector<bool>& hiddenNotTaken)
{
    for (const int area : {AreaL, AreaN, AreaO}) {
        int count = 0;
        for (int word = 0; word < SlotCount; ++word)
            if (hiddenNotTaken[static_cast<std::size_t>(word)] && hiddenArea(state, word) == area)
                ++count;
        if (count > 0 && m_writeFacts)
            m_writeFacts->hiddenNotTaken.push_back({std::string(dataAreaNames[static_cast<std::size_t>(area)]), count});
        if (count > 0)
            m_log.append(message(
                TextId::TransHiddenAreaNotTaken, std::to_string(count), dataAreaNames[static_cast<std::size_t>(area)])
                             .in(m_ws.settings.language));
    }
}

Message SerialTransferPresenter::refusedWordsMessage(
    const LinkState& state, const std::vector<std::size_t>& refusals) const
{
    Message said = message(TextId::TransWordsRefused, std::to_string(refusals.size()));
    for (const std::size_t i : refusals) {
        const int word = state.refusedWords[i];
        const GridSource grid = gridSource(m_ws);
        std::string named = wordLogName(grid, word);
        if (word + 1 < GridRowsWithTable) {
            if (const std::string name = cellText(grid, word + 1, ColName); !name.empty())
                named += " " + name;
        }
        const TextId why = nakMessage(state.refusalCodes[i]);
        said.ja += "\n" + named + ": " + std::string(text(why, Language::Japanese));
        said.en += "\n" + named + ": " + std::string(text(why, Language::English));
    }
    return said;
}

int SerialTransferPresenter::verifyWrite(SerialLink& link, LinkState& state, const std::vector<int>& planned,
    std::vector<int>& differing, std::vector<bool>& hiddenNotTaken)
{
    const Language language = m_ws.settings.language;
    m_meter.enter(TransferPhase::Verifying);
    if (link.readParameterImage() != 0) {
        if (state.stop == TransferStop::Cancelled)
            return stoppedByUser(state, planned);
        show(TextId::TransVerifyReadError);
        return -1;
    }
    // Every word that went out is compared, also those refused or without an
    // answer: the inverter may hold them or not.
    std::vector<bool> sent(SlotCount, false);
    for (const std::vector<int>* words : {&state.writtenWords, &state.refusedWords, &state.failedWords})
        for (const int word : *words)
            sent[static_cast<std::size_t>(word)] = true;
    int compared = 0;
    for (const int word : planned) {
        if (!sent[static_cast<std::size_t>(word)])
            continue;
        const auto held = static_cast<std::int16_t>(state.imageWord(word));
        const auto wanted = static_cast<std::int16_t>(m_ws.doc.values[static_cast<std::size_t>(word)] & 0xFFFF);
        // A word of a hidden area the drive did not take is told apart and
        // not counted; one it took is verified as any other.
        if (held != wanted && hiddenArea(state, word) != NoArea) {
            hiddenNotTaken[static_cast<std::size_t>(word)] = true;
            continue;
        }
        ++compared;
        if (held == wanted)
            continue;
        differing.push_back(word);
        m_record.difference(word, wordLogName(gridSource(m_ws), word), wanted, held);
        m_log.append(message(TextId::TransVerifyWordLine, wordLogName(gridSource(m_ws), word), std::to_string(wanted),
            std::to_string(held))
                         .in(language));
    }
    if (m_writeFacts)
        m_writeFacts->verify = VerifyCount {compared, static_cast<int>(differing.size())};
    if (differing.empty())
        m_log.append(message(TextId::TransVerifyAllMatch, std::to_string(compared)).in(language));
    else
        m_log.append(message(TextId::TransVerifyDiffers, std::to_string(compared), std::to_string(differing.size()))
                         .in(language));
    return 0;
}

int SerialTransferPresenter::compareTransaction()
{
    planTransfer();
    LinkState state;
    prepareLink(state);
    if (const int step = readIdentityAndImage(state); step != 0)
        return step;

    // The checks of a write: what is compared must be the open data set's
    // inverter.
    const std::vector<std::uint8_t> identityBytes(
        state.identity.begin(), state.identity.begin() + tables::IdentityBufferLength);
    tables::ReceivedIdentity found;
    if (checkWriteIdentity(identityBytes, found) == Go::Stop)
        return -1;
    // A check answered Yes before the codes were compared leaves them unread.
    tables::checkModeCapacity(found, identityBytes, false, m_ws.doc.identity);
    DriveData drive;
    const std::span<const std::uint8_t> image(state.image.data(), tables::ParameterImageLength);
    showNotice(tables::convertParameterImage(found, image, false, m_ws.settings.tableFolders(), drive.values).notice);
    keepReceivedImage(m_ws.doc, image);
    drive.identity = found.asIdentity();
    for (int word = 0; word < SlotCount; ++word) {
        const auto at = static_cast<std::size_t>(word);
        if (drive.values[at] != m_ws.doc.values[at])
            m_record.difference(word, wordLogName(gridSource(m_ws), word), m_ws.doc.values[at], drive.values[at]);
    }
    m_drive = drive;
    return 0;
}

void SerialTransferPresenter::showComparison()
{
    if (!m_drive)
        return;
    tables::ComparedDataSet compared {m_drive->identity, m_drive->values};
    compareWithDrive(m_ws, m_ui, compared, transferPortName(m_ws.settings.portName));
    m_drive.reset();
}

} // namespace tess::comm
