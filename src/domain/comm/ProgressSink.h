#pragma once

namespace tess::comm {

// The dialog's progress bar, as the link drives it through a transfer.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setPosition(int position) = 0;
    virtual void setMaximum(int maximum) = 0;
    virtual void step(int by) = 0;
};

} // namespace tess::comm
