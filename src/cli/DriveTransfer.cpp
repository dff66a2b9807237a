#include "cli/DriveTransfer.h"

#include "app/comm/SerialTransferPresenter.h"
#include "app/datafile/ValueCheck.h"
#include "app/mainwindow/Document.h"
#include "cli/ConsoleUi.h"
#include "cli/ProgressLine.h"
#include "domain/text/Texts.h"

#include <array>
#include <atomic>
#include <csignal>

namespace tess::cli {
namespace {

// Touched from the signal handler: both must be lock-free.
std::atomic<bool> g_interrupted {false};
std::atomic<comm::SerialTransferPresenter*> g_running {nullptr};
// The last stop signal, for the journal's "cancelled by".
std::atomic<int> g_signal {0};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<comm::SerialTransferPresenter*>::is_always_lock_free);

extern "C" void onInterrupt(int signal)
{
    g_signal = signal;
    interruptDriveTransaction();
}

journal::CancelledBy cancelledBy(int signal)
{
    switch (signal) {
    case SIGINT:
        return journal::CancelledBy::CtrlC;
    case SIGTERM:
        return journal::CancelledBy::Sigterm;
    case SIGHUP:
        return journal::CancelledBy::Sighup;
    default:
        return journal::CancelledBy::User;
    }
}

// The signals that stop a transfer between two exchanges: Ctrl+C, and the
// ends a closing terminal, a logout or a service stop send (SIGHUP,
// SIGTERM). Killed outright, the program would leave no log of the words it
// had already written.
constexpr std::array<int, 3> StopSignals {SIGINT, SIGTERM, SIGHUP};

// The stop signals handled by interruptDriveTransaction for the scope's
// lifetime; the handling before it comes back afterwards. A program started
// with a signal ignored (SIGINT in the background of a script, SIGHUP under
// nohup) keeps ignoring it.
class InterruptScope {
public:
    InterruptScope()
    {
        g_interrupted = false;
        g_signal = 0;
        for (std::size_t i = 0; i < StopSignals.size(); ++i) {
            if (sigaction(StopSignals[i], nullptr, &m_previous[i]) != 0 || m_previous[i].sa_handler == SIG_IGN)
                continue;
            struct sigaction action { };
            action.sa_handler = onInterrupt;
            sigemptyset(&action.sa_mask);
            m_installed[i] = sigaction(StopSignals[i], &action, nullptr) == 0;
        }
    }
    ~InterruptScope()
    {
        for (std::size_t i = 0; i < StopSignals.size(); ++i)
            if (m_installed[i])
                sigaction(StopSignals[i], &m_previous[i], nullptr);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    std::array<struct sigaction, StopSignals.size()> m_previous {};
    std::array<bool, StopSignals.size()> m_installed {};
};

// The presenter the handler stops while the scope lasts. An interrupt that
// came before it was named stops it as soon as it is.
class RunningScope {
public:
    explicit RunningScope(comm::SerialTransferPresenter& presenter)
    {
        g_running = &presenter;
        if (g_interrupted)
            presenter.requestCancel();
    }
    ~RunningScope() { g_running = nullptr; }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;
};

class AnswerYesScope {
public:
    AnswerYesScope(ConsoleUi& ui, bool yes)
        : m_ui(ui)
    {
        m_ui.setAnswerYes(yes);
    }
    ~AnswerYesScope() { m_ui.setAnswerYes(false); }
    AnswerYesScope(const AnswerYesScope&) = delete;
    AnswerYesScope& operator=(const AnswerYesScope&) = delete;

private:
    ConsoleUi& m_ui;
};

} // namespace

void interruptDriveTransaction()
{
    g_interrupted = true;
    if (comm::SerialTransferPresenter* presenter = g_running)
        presenter->requestCancel();
}

bool refuseWordsNotAllowed(const Document& doc, ConsoleUi& ui, Language language, int fromArea, int toArea)
{
    std::vector<comm::WordSpan> ranges;
    // Areas the write would refuse are told by the write itself.
    if (comm::buildWriteRanges(fromArea, toArea, doc.table.areaFirst, doc.table.areaLast, ranges)
        != comm::WriteRangeChoice::Built)
        return false;
    const std::vector<ValueFailure> failures = datafile::wordsNotAllowed(doc, ranges);
    if (failures.empty())
        return false;
    ui.showMessage(withCause(datafile::wordsToSendList(failures), message(TextId::CliWriteNotAllowed)), language);
    return true;
}

TransferOutcome runDriveTransaction(
    comm::SerialTransferPresenter& presenter, ConsoleUi& ui, bool acceptIdentity, ProgressLine* progress)
{
    if (progress) {
        presenter.setStatusListener(
            [progress](const comm::TransferStatus& status) { progress->update(status.permille, status.text); });
        ui.setBeforeWrite([progress] { progress->clear(); });
    }

    const InterruptScope interrupts;
    TransferOutcome outcome;
    presenter.beginTransaction();
    {
        // beginTransaction forgets any earlier stop: the handler may name
        // this presenter only from here on.
        const RunningScope running(presenter);
        const AnswerYesScope answers(ui, acceptIdentity);
        outcome.result = presenter.transfer();
    }
    if (progress)
        progress->clear();
    presenter.setCancelledBy(cancelledBy(g_signal));
    presenter.finishTransaction(outcome.result);
    outcome.cancelled = outcome.result != 0 && presenter.cancelRequested();

    presenter.setStatusListener({});
    ui.setBeforeWrite({});
    return outcome;
}

} // namespace tess::cli
