#pragma once

#include <optional>
#include <string>

namespace tess {
class Ui;
class UserStore;
struct Workspace;
} // namespace tess

namespace tess::comm {

// What the window needs to finish a write that stopped without an end: the
// same file to the same port, over the same areas, with the same choices;
// only the words the drive does not hold yet go out (changed-only).
struct ResumePlan {
    std::string journalPath; // the interrupted write's journal, marked once finished
    std::string dataFile;
    std::string port;
    int startArea = 0;
    int endArea = 0;
    bool permitWrite = false;
    bool verify = false;
};

// At the window's start: the newest interrupted write in the workspace's
// journal folder is offered once. Yes gives what to run; No is remembered
// in store (by its journal), so that the same write is not offered again,
// while a later interrupted one is. A file changed since the write is said
// so, once, and not offered.
std::optional<ResumePlan> offerInterruptedWrite(const Workspace& ws, Ui& ui, UserStore& store);

// After the resumed write (its transfer's result, its journal `by`): one
// that came through, with or without words the drive refused, is noted in
// the interrupted write's journal, so that it is offered no more. True when
// it was noted.
bool markWriteResumed(const ResumePlan& plan, int writeResult, const std::string& by);

} // namespace tess::comm
