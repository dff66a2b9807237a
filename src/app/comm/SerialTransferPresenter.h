#pragma once

#include "app/comm/TransferMeter.h"
#include "app/comm/TransferRecorder.h"
#include "app/comm/TransferSummary.h"
#include "domain/comm/CommLog.h"
#include "domain/comm/SerialLink.h"
#include "domain/common/Identity.h"
#include "domain/common/Language.h"

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {
class Clock;
class Ui;
class UserStore;
struct Workspace;
} // namespace tess

namespace tess::tables {
struct ReceivedIdentity;
} // namespace tess::tables

namespace tess::comm {

class SerialPort;

// Indexes of the data areas in dialog order ("Fund." is 0).
constexpr int AreaFund = 0;
constexpr int AreaA = 1;
constexpr int AreaG = 7;
constexpr int AreaL = 11;
constexpr int AreaN = 12;
constexpr int AreaO = 13;
constexpr int AreaP = 14;
constexpr int NoArea = -1; // an area list whose text names no item

// The files a read saves, in the working directory.
constexpr std::string_view ReadDataFileName = "ReadData.csl";
constexpr std::string_view UnfoundTableFileName = "unfoundpara.csl";
constexpr std::string_view UnsupportedMachineFileName = "UnMachine.csl";
constexpr std::string_view UnsupportedRomFileName = "UnROMver.csl";

// The per-user value that keeps the verify box's state ("0" off).
constexpr std::string_view UserValueVerifyWrite = "VerifyWrite";

// What Execute runs: a read, a write, or a comparison with the drive (the
// inverter's image read into the comparison columns).
enum class TransferKind { Read, Write, CompareWithDrive };

// Results of a write beside 0 (done) and -1 (failed; Memo1 is cleared and
// Execute stays off until the dialog is opened anew): each keeps Memo1 with
// the words it lists.
// Every word went out and was answered, but the drive refused words of an
// area shown: they are listed (code, name, message), never taken for done.
constexpr int WriteWordsRefused = 1;
// The words read back differ from those the drive took (beyond its refusals).
constexpr int WriteVerifyDiffers = -3;
// A read whose data set was saved, but whose .csv copy could not be put in
// place.
constexpr int ReadCsvNotSaved = -2;

// What became of the chosen areas as write ranges.
enum class WriteRangeChoice {
    Built, // the ranges are there, in sending order
    EndNotUsable, // the end lies before the start or names no area
    StartNotNamed, // the start names no area
};

// The write ranges over the first and last word of each area, in sending
// order: an area of its own; the areas from start to end; from Fund. on,
// Fund. last.
WriteRangeChoice buildWriteRanges(int startArea, int endArea, const std::array<std::uint16_t, AreaCount>& areaFirst,
    const std::array<std::uint16_t, AreaCount>& areaLast, std::vector<WordSpan>& ranges);

// The write filter: unless writing is permitted, the dead time words A-11 to
// A-16 and the analog gain and offset words G-0, -1, -7, -8, -10, -15, -17,
// -18 are held back. The log line for a held-back word ("A-11 data is not
// writed."), nothing for a word that goes out.
std::optional<std::string> heldBackLine(int word, const WordSpan& areaA, const WordSpan& areaG, Language language);

// The captions of the communication dialog in the UI language, one for each
// control that shows a text.
struct SerialTransferTexts {
    std::string caption;
    std::string progressCaption; // above the progress bar: receiving or sending
    std::string messagesCaption; // above the lines of the transaction
    std::string execute;
    std::string close;
    std::string writeAreaGroup; // the start and end area lists
    std::string startAreaLabel;
    std::string endAreaLabel;
    std::string optionsGroup; // the words held back unless writing is permitted
    std::string deadTimeWordsLabel;
    std::string analogWordsLabel;
    std::string analogWordsNote;
    std::string permitWriteCheck;
    std::string displayOptionsGroup; // which refusals the log shows
    std::string showAreaLCheck;
    std::string showAreaNCheck;
    std::string showAreaOCheck;
    std::string hiddenAreasNote;
    std::string forcedTransferCheck;
    std::string verifyCheck; // read the image back after a write
    std::string changedOnlyCheck; // write only the words the drive does not hold
    std::string cancelling; // under the bar once Close asked a transfer to stop
    std::string cancelled; // under the bar after a transfer that stopped so
};

// The communication dialog (`SerialTransferDialog`) without a window: its controls'
// state and the read and write transactions behind Execute, of the kind it is
// made for. Files go to workFolder (""
// is the working directory, as the program runs). The store, when given,
// keeps the verify box's state.
//
// Execute runs in three steps so that a window can keep the middle one, the
// work on the line, off its own thread: beginTransaction and
// finishTransaction touch the workspace and the dialog's state and run where
// the window runs; transfer only reads the workspace and talks to the user
// through the Ui. runTransaction runs all three in a row.
class SerialTransferPresenter {
public:
    SerialTransferPresenter(Workspace& ws, Ui& ui, SerialPort& port, Clock& clock, TransferKind kind,
        std::string workFolder = {}, UserStore* store = nullptr);

    TransferKind kind() const { return m_kind; }
    bool isWriteDialog() const { return m_kind == TransferKind::Write; }
    SerialTransferTexts texts() const;
    const std::vector<std::string>& areaItems() const { return m_areaItems; }

    // The write-only group boxes, shown in a write dialog alone.
    bool writeGroupsVisible() const { return isWriteDialog(); }
    // The area lists and option boxes; off in a raw data set.
    bool writeControlsEnabled() const;

    int startArea() const { return m_startArea; }
    int endArea() const { return m_endArea; }
    void setStartArea(int index);
    void setEndArea(int index);
    // A text typed into an area list: the item it names, or none.
    static int areaIndexOfText(std::string_view text);

    bool writePermitted() const { return m_writePermitted; }
    void setWritePermitted(bool on) { m_writePermitted = on; }
    bool showAreaL() const { return m_showAreaL; }
    void setShowAreaL(bool on) { m_showAreaL = on; }
    bool showAreaN() const { return m_showAreaN; }
    void setShowAreaN(bool on) { m_showAreaN = on; }
    bool showAreaO() const { return m_showAreaO; }
    // Checking the box first tells how O area words are written.
    void setShowAreaO(bool on);

    // The forced transfer box: revealed by Ctrl+F9, hidden and cleared by Ctrl+F10.
    bool forcedBoxVisible() const { return m_forcedBoxVisible; }
    bool forcedTransfer() const { return m_forcedTransfer; }
    void revealForcedBox(); // Ctrl+F9
    void hideForcedBox(); // Ctrl+F10
    void setForcedTransfer(bool on);
    // Closing the dialog ends a forced transfer.
    void close();

    // Read the image back after the write and compare every word sent; on
    // unless the user turned it off last time.
    bool verifyAfterWrite() const { return m_verifyAfterWrite; }
    void setVerifyAfterWrite(bool on);
    // Read the image first and send only the words whose value differs.
    bool changedOnly() const { return m_changedOnly; }
    void setChangedOnly(bool on) { m_changedOnly = on; }
    bool executeEnabled() const { return m_executeEnabled; }
    bool closeEnabled() const { return m_closeEnabled; }
    // What Memo1 shows.
    const std::vector<std::string>& memo() const { return m_memo; }
    // The port Execute will use, with the device it opens here ("Port: COM1
    // → /dev/ttyUSB0").
    std::string portLine() const;
    // What the last transfer did, in a few lines; empty before the first.
    const std::vector<std::string>& summary() const { return m_summary; }

    // Told whenever Memo1 or the buttons change during Execute, so that a
    // window can show them before the transaction goes on. Called where
    // beginTransaction and finishTransaction run.
    void setChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }
    // Told how far the transaction is, from the thread that runs transfer.
    void setStatusListener(std::function<void(const TransferStatus&)> listener)
    {
        m_statusListener = std::move(listener);
    }

    // Execute: the read or the write with its log, the
    // log file where due and the final line. Returns the step's result.
    int runTransaction();
    // Execute's first step: buttons, a new log with "start !!".
    void beginTransaction();
    // Execute's work on the line; its result goes to finishTransaction.
    int transfer();
    // Execute's last step: the read data set opened or the comparison shown,
    // "end !!", the log file where due, the final line, the buttons.
    void finishTransaction(int result);
    // Between begin and finish.
    bool running() const { return m_running; }

    // Asks a running transfer to stop between two exchanges, from any thread.
    void requestCancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel; }
    // Who asked the transfer to stop, for its journal (Close unless told).
    void setCancelledBy(journal::CancelledBy by) { m_record.setCancelledBy(by); }
    // The running or last transaction's journal file; "" for none.
    std::string journalPath() const { return m_record.journalPath(); }
    // The question before a write is stopped; a read or a comparison stops
    // without one. The write holds at the next word boundary while the
    // question waits: no word goes out until the answer. True when the
    // transfer is to stop.
    bool confirmCancel();
    // Whether the transfer is held for the question.
    bool paused() const { return m_pause; }
    // 0, -1, or the data file writer's result.
    int readTransaction();
    // 0 or -1.
    int writeTransaction();
    // The identity and the image, checked as a write checks them, for the
    // comparison columns: 0 or -1.
    int compareTransaction();
    // The write ranges of the chosen areas over the loaded table.
    WriteRangeChoice buildWriteRanges();
    // the saved file becomes the window's data set.
    void loadReadResult();

    // A read saves to this path instead of the working folder's fixed names
    // (the command line's -o); empty: as the window does.
    void setReadFilePath(std::string path) { m_readFilePath = std::move(path); }

    const std::vector<WordSpan>& writeRanges() const { return m_ranges; }
    // The file a read saved ("ReadData.csl" and the others), as named.
    const std::string& fileName() const { return m_fileName; }

private:
    enum class Go { On, Stop };
    // The inverter's data set of a comparison with the drive.
    struct DriveData {
        InverterIdentity identity;
        ParameterSet values {};
    };

    std::string pathOf(std::string_view name) const;
    void showMemo();
    void show(TextId id);
    void showNotice(const std::optional<Message>& notice);
    bool askYes(const Message& question);
    bool settleWait(const LinkState& state);
    void prepareLink(LinkState& state);
    LinkSettings linkSettings() const;
    bool openPort(SerialLink& link);
    int readIdentity(SerialLink& link, const LinkState& state);
    int readIdentityAndImage(LinkState& state);
    Go checkWriteIdentity(const std::vector<std::uint8_t>& identityBytes, tables::ReceivedIdentity& found);
    int writeWords(SerialLink& link, LinkState& state);
    int verifyWrite(SerialLink& link, LinkState& state, const std::vector<int>& planned, std::vector<int>& differing,
        std::vector<bool>& hiddenNotTaken);
    int hiddenArea(const LinkState& state, int word) const;
    void logHiddenNotTaken(const LinkState& state, const std::vector<bool>& hiddenNotTaken);
    void noteWriteOutcome(const LinkState& state, const std::vector<int>& planned);
    TransferEnd transferEnd(int result) const;
    Message refusedWordsMessage(const LinkState& state, const std::vector<std::size_t>& refusals) const;
    int stoppedByUser(const LinkState& state, const std::vector<int>& planned);
    void planTransfer();
    void showComparison();
    int saveRead(const ParameterSet& values, const InverterIdentity& received, int saveMode);
    journal::JournalOptions recordedOptions() const;
    journal::JournalEnd journalEnd(int result) const;

    Workspace& m_ws;
    Ui& m_ui;
    SerialPort& m_port;
    Clock& m_clock;
    std::string m_workFolder;
    UserStore* m_store = nullptr;
    TransferKind m_kind = TransferKind::Read;
    std::vector<std::string> m_areaItems;

    int m_startArea = AreaFund;
    int m_endArea = AreaP;
    bool m_writePermitted = false;
    bool m_showAreaL = false;
    bool m_showAreaN = false;
    bool m_showAreaO = false;
    bool m_forcedBoxVisible = false;
    bool m_forcedTransfer = false;
    bool m_verifyAfterWrite = true;
    bool m_changedOnly = false;

    bool m_executeEnabled = true;
    bool m_closeEnabled = true;
    std::vector<std::string> m_memo;
    std::optional<WriteFacts> m_writeFacts; // once a write's words began to go out
    std::vector<std::string> m_summary;
    CommLog m_log;
    std::vector<WordSpan> m_ranges;
    std::string m_fileName;
    std::string m_readFilePath;

    bool m_running = false;
    std::atomic<bool> m_cancel {false};
    std::atomic<bool> m_pause {false};
    std::optional<DriveData> m_drive;

    std::function<void()> m_changed;
    std::function<void(const TransferStatus&)> m_statusListener;
    TransferMeter m_meter;
    TransferRecorder m_record {m_ws};
};

} // namespace tess::comm
