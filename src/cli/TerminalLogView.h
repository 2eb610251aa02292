#pragma once
// The terminal's log view: prints every entry as it is added, the first line
// after its level, further lines indented.

#include "core/LogView.h"

#include <cstdio>

namespace pelmora::cli {

class TerminalLogView : public core::LogView {
public:
    explicit TerminalLogView(std::FILE* out = stdout) : out_(out) {}

    void EntryAdded(const core::TLog& log, const core::LogEntry& entry) override;
    void Refresh(const core::TLog&) override {}

private:
    std::FILE* out_; // not owned
};

} // namespace pelmora::cli
