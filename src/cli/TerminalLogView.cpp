#include "cli/TerminalLogView.h"

#include "cli/TerminalProgressView.h"

#include "core/Log.h"

#include <string>

namespace pelmora::cli {

namespace {

const char* LevelTag(core::LogLevel level) {
    switch (level) {
    case core::LogLevel::Error:
        return "error: ";
    case core::LogLevel::Event:
        return "event: ";
    case core::LogLevel::Warning:
        return "warning: ";
    case core::LogLevel::Info:
        break;
    }
    return "info: ";
}

} // namespace

void TerminalLogView::EntryAdded(const core::TLog& log, const core::LogEntry& entry) {
    std::string out = LevelTag(entry.Level);
    const auto& items = log.Items();
    // The entry's text lines follow its icon item.
    for (size_t i = entry.FirstItem + 1; i < entry.FirstItem + entry.ItemCount; ++i) {
        if (i > entry.FirstItem + 1)
            out += "\n  ";
        out += items[i].Text;
    }
    out += '\n';
    if (progress_)
        progress_->Hide();
    std::fputs(out.c_str(), out_);
    std::fflush(out_);
    if (progress_)
        progress_->Show();
}

} // namespace pelmora::cli
