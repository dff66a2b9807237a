#include "cli/StopRequests.h"

#include <array>
#include <atomic>
#include <csignal>

namespace tess::cli {
namespace {

// The signals that stop a transfer between two exchanges: Ctrl+C, and the
// ends a closing terminal, a logout or a service stop send (SIGHUP,
// SIGTERM). Killed outright, the program would leave no log of the words it
// had already written.
constexpr std::array<int, 3> StopSignals {SIGINT, SIGTERM, SIGHUP};

std::atomic<StopRequests::Handler> g_handler {nullptr};
static_assert(std::atomic<StopRequests::Handler>::is_always_lock_free);
std::array<struct sigaction, StopSignals.size()> g_previous {};
std::array<bool, StopSignals.size()> g_installed {};

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

extern "C" void onStopSignal(int signal)
{
    if (const StopRequests::Handler handler = g_handler)
        handler(cancelledBy(signal));
}

} // namespace

// A program started with a signal ignored (SIGINT in the background of a
// script, SIGHUP under nohup) keeps ignoring it.
StopRequests::StopRequests(Handler onStop)
{
    g_handler = onStop;
    for (std::size_t i = 0; i < StopSignals.size(); ++i) {
        g_installed[i] = false;
        if (sigaction(StopSignals[i], nullptr, &g_previous[i]) != 0 || g_previous[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction action { };
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        g_installed[i] = sigaction(StopSignals[i], &action, nullptr) == 0;
    }
}

StopRequests::~StopRequests()
{
    for (std::size_t i = 0; i < StopSignals.size(); ++i)
        if (g_installed[i])
            sigaction(StopSignals[i], &g_previous[i], nullptr);
    g_handler = nullptr;
}

} // namespace tess::cli
