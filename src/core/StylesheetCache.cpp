#include "core/StylesheetCache.h"

#include "core/XsltSupport.h"

#include <libxml/parser.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>

#include <system_error>

namespace pelmora::core {

namespace fs = std::filesystem;

namespace {

// Compiles one style sheet. Style sheets are trusted deployment files: they may
// use DTDs, entities and xsl:include/xsl:import of local files, but the style
// sheet itself is never fetched over the network.
TStylesheetCache::Stylesheet Compile(const fs::path& path) {
    InitialiseXslt();
    ProcessorMessages messages;
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XSLT_PARSE_OPTIONS | XML_PARSE_NONET);
    if (doc == nullptr)
        throw StylesheetError(messages.Text("the style sheet is not a well-formed XML document"));
    xsltStylesheetPtr style = xsltParseStylesheetDoc(doc);
    if (style == nullptr) {
        xmlFreeDoc(doc); // not taken over on failure
        throw StylesheetError(messages.Text("the document is not a valid XSLT style sheet"));
    }
    if (style->errors > 0) {
        xsltFreeStylesheet(style); // frees the document as well
        throw StylesheetError(messages.Text("the document is not a valid XSLT style sheet"));
    }
    return TStylesheetCache::Stylesheet(style, xsltFreeStylesheet);
}

} // namespace

TStylesheetCache::TStylesheetCache() = default;
TStylesheetCache::~TStylesheetCache() = default;

TStylesheetCache::Stylesheet TStylesheetCache::Get(const fs::path& path) {
    std::error_code ec;
    fs::path key = fs::absolute(path, ec);
    if (ec)
        throw StylesheetError(path.string() + ": " + ec.message());
    key = key.lexically_normal();
    const fs::file_time_type modTime = fs::last_write_time(key, ec);
    if (ec)
        throw StylesheetError(key.string() + ": " + ec.message());
    const std::uintmax_t fileSize = fs::file_size(key, ec);
    if (ec)
        throw StylesheetError(key.string() + ": " + ec.message());

    auto it = entries_.find(key);
    if (it != entries_.end()) {
        if (it->second.ModTime == modTime && it->second.FileSize == fileSize)
            return it->second.Sheet;
        entries_.erase(it); // changed on disk: never use the old compilation again
    }
    Stylesheet sheet = Compile(key);
    ++compileCount_;
    entries_.emplace(key, Entry{modTime, fileSize, sheet});
    return sheet;
}

} // namespace pelmora::core
