#pragma once

namespace tess::comm {

// What a transfer loop is doing when it reports progress.
enum class TransferStage {
    Identity, // the identity and the control-mode and capacity words
    Reading, // the parameter image, read in chunks
    Writing, // parameter words, one request each
};

// Where a transfer loop stands: `done` of `total` within its stage. Identity
// counts requests, Reading and Writing count parameter words.
struct TransferStep {
    TransferStage stage = TransferStage::Identity;
    int done = 0;
    int total = 0;
};

// Told after each exchange that moved a transfer on. The link calls it on
// the thread that runs the transfer.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void progressed(const TransferStep& step) = 0;
};

} // namespace tess::comm
