#pragma once
// The narrow interface through which the progress display reaches its
// controls: the object and element labels and their two progress bars. The
// counters and bar positions are kept by the engine (app/Progress.h); a front
// end only shows them.

#include <string>

namespace pelmora::core {

// One progress bar: position, maximum and step of one call.
struct ProgressBarState {
    int Position = 0;
    int Max = 0;
    int Step = 5; // one step of the bar; a bar with room for n steps has Max = Step * n
};

class ProgressView {
public:
    virtual ~ProgressView() = default;

    virtual void SetObjectLabel(const std::string& text) = 0;
    virtual void SetElementLabel(const std::string& text) = 0;
    virtual void SetObjectBar(const ProgressBarState& bar) = 0;
    virtual void SetElementBar(const ProgressBarState& bar) = 0;
};

} // namespace pelmora::core
