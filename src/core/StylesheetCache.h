#pragma once
// Compiled XSLT style sheets of one run. Every item of a queue is transformed
// with the same style sheet, so it is compiled once and reused; a style sheet
// whose modification time or size has changed since it was compiled is
// compiled afresh, and the old compilation goes once nobody uses it.
//
// Lifetime: one cache per run. The driver that runs the queues owns it for the
// run and hands it to every TTransformationObject it makes; a caller outside a
// run may simply make a cache of its own for one transformation. Used on one
// thread only (like the whole run).

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

struct _xsltStylesheet; // libxslt's compiled style sheet (xsltStylesheet)

namespace pelmora::core {

// A style sheet that cannot be read or compiled; the text is the processor's.
class StylesheetError : public std::runtime_error {
public:
    explicit StylesheetError(const std::string& message) : std::runtime_error(message) {}
};

class TStylesheetCache {
public:
    using Stylesheet = std::shared_ptr<_xsltStylesheet>;

    TStylesheetCache();
    ~TStylesheetCache();
    TStylesheetCache(const TStylesheetCache&) = delete;
    TStylesheetCache& operator=(const TStylesheetCache&) = delete;

    // The compiled style sheet of the file at `path`, compiled now when it is not
    // cached or has changed on disk. Throws StylesheetError when the file cannot
    // be read or is no valid style sheet (a failure is not remembered).
    Stylesheet Get(const std::filesystem::path& path);

    // Number of compilations done so far.
    size_t CompileCount() const { return compileCount_; }
    // Number of style sheets held.
    size_t Size() const { return entries_.size(); }
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        std::filesystem::file_time_type ModTime; // of the file when it was compiled
        std::uintmax_t FileSize = 0;             // likewise
        Stylesheet Sheet;
    };
    std::map<std::filesystem::path, Entry> entries_; // by absolute, normalised path
    size_t compileCount_ = 0;
};

} // namespace pelmora::core
