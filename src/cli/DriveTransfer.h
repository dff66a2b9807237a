#pragma once

#include "domain/common/Language.h"

namespace tess {
struct Document;
} // namespace tess

namespace tess::comm {
class SerialTransferPresenter;
} // namespace tess::comm

namespace tess::cli {

class ConsoleUi;
class ProgressLine;

// How a transaction with the drive ended.
struct TransferOutcome {
    int result = 0; // the presenter's: 0 done, -1 failed, or the file writer's result of a read
    bool cancelled = false; // stopped on an interrupt before it could finish
};

// Runs the presenter's transaction on the calling thread, as the window's
// Execute runs it: the start, the work on the line, the end with its log
// file. While it runs, SIGINT, SIGTERM and SIGHUP (on Windows Ctrl+C, a
// closing console, a logout) ask it to stop between two exchanges instead
// of ending the program, so that the log still tells how
// far it got. With
// acceptIdentity the questions of the work on the line are answered Yes: in
// a write and a comparison those are the identity questions the special
// function switch lets it ask, and nothing else; the start and the end are
// answered as always. The progress goes to progress when there is one.
TransferOutcome runDriveTransaction(
    comm::SerialTransferPresenter& presenter, ConsoleUi& ui, bool acceptIdentity, ProgressLine* progress);

// Before a write of the areas fromArea..toArea: the words that their table
// rows would not take, listed with the word that nothing was sent. True when
// there are any: the command line sends them only with --send-out-of-range.
bool refuseWordsNotAllowed(const Document& doc, ConsoleUi& ui, Language language, int fromArea, int toArea);

// What a stop signal does during runDriveTransaction; safe in a signal handler.
void interruptDriveTransaction();

} // namespace tess::cli
