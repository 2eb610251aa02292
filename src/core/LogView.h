#pragma once
// The narrow interface through which the log shows its entries. The log keeps
// its entries and the view's items itself (see core/Log.h); a front end
// implements this to draw them: the window's log view, the terminal's output.

#include <cstddef>

namespace pelmora::core {

class TLog;
struct LogEntry;

class LogView {
public:
    virtual ~LogView() = default;

    // One entry was added; its items are log.Items()[entry.FirstItem ..
    // entry.FirstItem + entry.ItemCount).
    virtual void EntryAdded(const TLog& log, const LogEntry& entry) = 0;
    // Reformat the view, scroll it to its last line and repaint it.
    virtual void Refresh(const TLog& log) = 0;
};

} // namespace pelmora::core
