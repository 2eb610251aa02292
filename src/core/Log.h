#pragma once
// The program's only channel for messages. Every entry is kept in a model of
// the log view (icon items and text lines) and appended to the log file once
// that file has been started; a front end draws the model through LogView.

#include "core/DateTime.h"
#include "core/SystemFormats.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::core {

class LogView;

enum class LogLevel { Error, Event, Info, Warning };

// Image indexes of the three 16x16 level icons.
constexpr int LogImageInfo = 0;    // information and events
constexpr int LogImageWarning = 1; // warnings
constexpr int LogImageError = 2;   // errors

// Text style numbers of the log view used by the four levels
// (NOTE: the window's style table in gui/LogWidget.cpp gives their looks).
constexpr int LogStyleInfo = 6;
constexpr int LogStyleWarning = 7;
constexpr int LogStyleError = 8;
constexpr int LogStyleEvent = 9;

// One item of the log view: an icon that starts a line, or one line of text.
struct LogViewItem {
    bool IsIcon = false;    // an icon item has no text
    int ImageIndex = 0;     // icon items: one of LogImage*
    int StyleNo = 0;        // text items: one of LogStyle*
    bool StartsLine = true; // false for the first text line, which continues its icon's line
    std::string Text;       // text items: one line, UTF-8, without line breaks
};

// One entry as it was added.
struct LogEntry {
    LogLevel Level = LogLevel::Info;
    std::string Text;     // as given, UTF-8
    size_t FirstItem = 0; // index of the entry's icon in TLog::Items()
    size_t ItemCount = 0; // the icon and the entry's text lines
};

// Short date, a blank and long time, always with the time (the text of the
// program's start and end entries).
std::string DateTimeText(TDateTime value, const FormatSettings& fs = SystemFormats());

// Line breaks of any kind (CR LF, lone CR, lone LF) turned into CR LF.
std::string NormaliseLineBreaks(std::string_view text);

int ImageIndexOf(LogLevel level);
int StyleNoOf(LogLevel level);

class TLog {
public:
    // LogFileName is the bare name made from `moment`, the start-up time.
    explicit TLog(TDateTime moment = Now());
    TLog(const TLog&) = delete;
    TLog& operator=(const TLog&) = delete;

    void AddError(const std::string& text);
    void AddEvent(const std::string& text);
    void AddInfo(const std::string& text);
    void AddWarning(const std::string& text);
    void Add(LogLevel level, const std::string& text);

    // Places the log file in `dir` and writes the entries already in the view
    // into it; nothing happens when the directory does not exist.
    void StartLogFile(const std::filesystem::path& dir);
    // Asks the view to reformat, scroll to its last line and repaint.
    void RefreshView();
    // Appends one entry to the log file, if that file exists.
    void AppendEntry(const std::string& text);

    // The bare file name until StartLogFile, then the full path.
    const std::string& LogFileName() const { return logFileName_; }
    // True once StartLogFile has placed the file in an existing directory.
    bool LogFilePlaced() const { return filePlaced_; }

    // The view that draws this log; null for none. Binding a view refreshes it.
    void SetView(LogView* view);
    LogView* View() const { return view_; }

    const std::vector<LogEntry>& Entries() const { return entries_; }
    const std::vector<LogViewItem>& Items() const { return items_; }

    // The bare log file name for a moment: short date, a blank, long time with
    // "." as time separator, ".log".
    static std::string FileNameFor(TDateTime moment);

private:
    std::vector<LogEntry> entries_;
    std::vector<LogViewItem> items_;
    std::string bareFileName_; // the name made at construction
    std::string logFileName_;  // bare name, then full path after StartLogFile
    bool filePlaced_ = false;  // StartLogFile placed the file
    LogView* view_ = nullptr;  // not owned
};

} // namespace pelmora::core
