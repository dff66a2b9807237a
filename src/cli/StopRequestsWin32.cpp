#include "cli/StopRequests.h"

#include <atomic>

#include <windows.h>

namespace tess::cli {
namespace {

std::atomic<StopRequests::Handler> g_handler {nullptr};
static_assert(std::atomic<StopRequests::Handler>::is_always_lock_free);
// Set when the requests are no longer turned into stops: the transfer has
// ended and written its log.
HANDLE g_ended = nullptr;

// Windows ends the process once the handler of a closing console, a logout
// or a shutdown returns, and at the latest some five seconds after asking:
// the handler waits for the transfer to stop between two words and write
// its log, for a little less than that.
constexpr DWORD EndWaitMs = 4500;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    const StopRequests::Handler handler = g_handler;
    if (!handler)
        return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        handler(journal::CancelledBy::CtrlC);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        // The console window closed: what a closing terminal is on Linux.
        handler(journal::CancelledBy::Sighup);
        break;
    default: // CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT: what SIGTERM is
        handler(journal::CancelledBy::Sigterm);
        break;
    }
    if (g_ended)
        ::WaitForSingleObject(g_ended, EndWaitMs);
    return TRUE;
}

} // namespace

StopRequests::StopRequests(Handler onStop)
{
    if (!g_ended)
        g_ended = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    else
        ::ResetEvent(g_ended);
    g_handler = onStop;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopRequests::~StopRequests()
{
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_handler = nullptr;
    if (g_ended)
        ::SetEvent(g_ended);
}

} // namespace tess::cli
