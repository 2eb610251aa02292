#pragma once
// The terminal's log view: prints every entry as it is added, the first line
// after its level, further lines indented.

#include "core/LogView.h"

#include <cstdio>

namespace pelmora::cli {

class TerminalProgressView;

class TerminalLogView : public core::LogView {
public:
    // `progress` (may be null) is the progress line on the same terminal,
    // hidden while an entry is printed.
    explicit TerminalLogView(std::FILE* out = stdout, TerminalProgressView* progress = nullptr)
        : out_(out), progress_(progress) {}

    void EntryAdded(const core::TLog& log, const core::LogEntry& entry) override;
    void Refresh(const core::TLog&) override {}

private:
    std::FILE* out_;                 // not owned
    TerminalProgressView* progress_; // not owned; may be null
};

} // namespace pelmora::cli
