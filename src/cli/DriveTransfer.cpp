#include "cli/DriveTransfer.h"

#include "app/comm/SerialTransferPresenter.h"
#include "app/datafile/ValueCheck.h"
#include "app/mainwindow/Document.h"
#include "cli/ConsoleUi.h"
#include "cli/ProgressLine.h"
#include "cli/StopRequests.h"
#include "domain/text/Texts.h"

#include <atomic>

namespace tess::cli {
namespace {

// Touched from the stop handler: all must be lock-free.
std::atomic<bool> g_interrupted {false};
std::atomic<comm::SerialTransferPresenter*> g_running {nullptr};
// The last stop request, for the journal's "cancelled by".
std::atomic<journal::CancelledBy> g_stoppedBy {journal::CancelledBy::User};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<journal::CancelledBy>::is_always_lock_free);
static_assert(std::atomic<comm::SerialTransferPresenter*>::is_always_lock_free);

void onStop(journal::CancelledBy by)
{
    g_stoppedBy = by;
    interruptDriveTransaction();
}

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

    // Stop requests call interruptDriveTransaction while the transaction runs.
    g_interrupted = false;
    g_stoppedBy = journal::CancelledBy::User;
    const StopRequests stops(onStop);
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
    presenter.setCancelledBy(g_stoppedBy);
    presenter.finishTransaction(outcome.result);
    outcome.cancelled = outcome.result != 0 && presenter.cancelRequested();

    presenter.setStatusListener({});
    ui.setBeforeWrite({});
    return outcome;
}

} // namespace tess::cli
