#pragma once
// The terminal's progress display: one line with the object and the element
// being processed. On a terminal the line is redrawn in place (and hidden
// while a log entry is printed); into a file or a pipe every change is one
// line "progress: ...".

#include "core/ProgressView.h"

#include <cstdio>
#include <string>

namespace pelmora::cli {

class TerminalProgressView : public core::ProgressView {
public:
    explicit TerminalProgressView(std::FILE* out = stderr);
    ~TerminalProgressView() override;
    TerminalProgressView(const TerminalProgressView&) = delete;
    TerminalProgressView& operator=(const TerminalProgressView&) = delete;

    void SetObjectLabel(const std::string& text) override;
    void SetElementLabel(const std::string& text) override;
    void SetObjectBar(const core::ProgressBarState&) override {}
    void SetElementBar(const core::ProgressBarState&) override {}

    // The line as it reads now: "Przetwarzany obiekt: <object>  Przetwarzany
    // element: <element>" (the element part only when there is one); empty
    // while both labels are blank.
    std::string Line() const;

    // Around other output to the same terminal: Hide clears a drawn line,
    // Show draws it again.
    void Hide();
    void Show();

private:
    void Changed();

    std::FILE* out_;     // not owned
    bool inPlace_;       // `out_` is a terminal: the line is redrawn in place
    bool drawn_ = false; // a line is on the terminal now
    std::string objectLabel_;
    std::string elementLabel_;
    std::string lastPrinted_; // the last line written (not in place)
};

} // namespace pelmora::cli
