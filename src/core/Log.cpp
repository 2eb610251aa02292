#include "core/Log.h"

#include "core/LogView.h"
#include "core/TextEncoding.h"

#include <cstdio>
#include <system_error>

namespace pelmora::core {

namespace {

// Line end of the log file.
constexpr const char* CrLf = "\r\n";

// The parts of a text between its CR LF pairs (the text must be normalised).
std::vector<std::string> SplitCrLf(std::string_view text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t pos = text.find(CrLf, start);
        if (pos == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, pos - start));
        start = pos + 2;
    }
}

// Appends one line with its CR LF, in the log file's code page.
void PutLine(std::string& out, std::string_view utf8Line) {
    out += EncodeText(utf8Line, CodePage::Windows1250, Unmappable::Replace);
    out += CrLf;
}

// Writes `bytes` to the file, created empty or appended to; false when it
// cannot be opened or written. Nothing stays open.
bool WriteFile(const std::string& path, const std::string& bytes, bool append) {
    std::FILE* f = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

std::string DateTimeText(TDateTime value, const FormatSettings& fs) {
    return FormatDateTime(fs.ShortDateFormat + " " + fs.LongTimeFormat, value, fs);
}

std::string NormaliseLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += CrLf;
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += CrLf;
        } else {
            out += c;
        }
    }
    return out;
}

int ImageIndexOf(LogLevel level) {
    switch (level) {
    case LogLevel::Error:
        return LogImageError;
    case LogLevel::Warning:
        return LogImageWarning;
    case LogLevel::Event:
    case LogLevel::Info:
        break;
    }
    return LogImageInfo;
}

int StyleNoOf(LogLevel level) {
    switch (level) {
    case LogLevel::Error:
        return LogStyleError;
    case LogLevel::Event:
        return LogStyleEvent;
    case LogLevel::Warning:
        return LogStyleWarning;
    case LogLevel::Info:
        break;
    }
    return LogStyleInfo;
}

std::string TLog::FileNameFor(TDateTime moment) {
    // The system's time separator may not stand in a file name; this copy of
    // the settings uses "." for this one formatting only.
    FormatSettings fs = SystemFormats();
    fs.TimeSeparator = '.';
    return DateTimeText(moment, fs) + ".log";
}

TLog::TLog(TDateTime moment) : bareFileName_(FileNameFor(moment)), logFileName_(bareFileName_) {}

void TLog::AddError(const std::string& text) {
    Add(LogLevel::Error, text);
}
void TLog::AddEvent(const std::string& text) {
    Add(LogLevel::Event, text);
}
void TLog::AddInfo(const std::string& text) {
    Add(LogLevel::Info, text);
}
void TLog::AddWarning(const std::string& text) {
    Add(LogLevel::Warning, text);
}

void TLog::Add(LogLevel level, const std::string& text) {
    LogEntry entry;
    entry.Level = level;
    entry.Text = text;
    entry.FirstItem = items_.size();

    LogViewItem icon;
    icon.IsIcon = true;
    icon.ImageIndex = ImageIndexOf(level);
    items_.push_back(icon);

    if (!text.empty()) {
        const std::vector<std::string> lines = SplitCrLf(NormaliseLineBreaks(text));
        for (size_t i = 0; i < lines.size(); ++i) {
            LogViewItem line;
            line.StyleNo = StyleNoOf(level);
            line.StartsLine = i > 0;
            line.Text = lines[i];
            items_.push_back(std::move(line));
        }
    }
    entry.ItemCount = items_.size() - entry.FirstItem;
    entries_.push_back(std::move(entry));

    if (view_)
        view_->EntryAdded(*this, entries_.back());
    RefreshView();
    AppendEntry(text);
}

void TLog::RefreshView() {
    if (view_)
        view_->Refresh(*this);
}

void TLog::AppendEntry(const std::string& text) {
    // Until StartLogFile the name is bare and no file is meant.
    if (!filePlaced_)
        return;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(logFileName_), ec))
        return;
    // Any kind of line break counts, so a lone CR or LF neither swallows a
    // character nor leaves a line without its prefix.
    const std::vector<std::string> parts = SplitCrLf(NormaliseLineBreaks(text));
    std::string out;
    PutLine(out, "* " + parts[0]);
    for (size_t i = 1; i < parts.size(); ++i)
        PutLine(out, "  " + parts[i]);
    out += CrLf;
    // A file that cannot be opened (held by another process, say) only loses
    // this entry's copy in the file; the view keeps it and nothing is reported.
    WriteFile(logFileName_, out, true);
}

void TLog::StartLogFile(const std::filesystem::path& dir) {
    std::error_code ec;
    if (dir.empty() || !std::filesystem::is_directory(dir, ec))
        return;
    logFileName_ = (dir / bareFileName_).string();
    filePlaced_ = true;

    std::string out;
    // The first item is the first entry's icon; it is skipped.
    for (size_t i = 1; i < items_.size(); ++i) {
        const LogViewItem& item = items_[i];
        if (item.Text.empty())
            PutLine(out, "");
        else if (item.Text.starts_with("  "))
            PutLine(out, " " + item.Text);
        else
            PutLine(out, "*" + item.Text);
    }
    out += CrLf;
    // Not creatable: later entries find no file and stay on screen only.
    WriteFile(logFileName_, out, false);
}

void TLog::SetView(LogView* view) {
    view_ = view;
    RefreshView();
}

} // namespace pelmora::core
