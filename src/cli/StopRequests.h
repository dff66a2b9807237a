#pragma once

#include "domain/journal/JournalRecord.h"

namespace tess::cli {

// The system's requests to stop the program (Ctrl+C, a closing terminal or
// console, a logout, a service stop) turned, for the object's lifetime, into
// a call of onStop with what asked, instead of the end of the program; the
// handling before it comes back afterwards. onStop runs where the system
// calls it (a signal handler on Linux, a thread of its own on Windows):
// it may only touch lock-free atomics. One at a time.
class StopRequests {
public:
    using Handler = void (*)(journal::CancelledBy by);

    explicit StopRequests(Handler onStop);
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;
};

} // namespace tess::cli
