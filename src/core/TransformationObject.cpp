#include "core/TransformationObject.h"

#include "Version.h"
#include "core/Guid.h"
#include "core/Log.h"
#include "core/Text.h"
#include "core/TextEncoding.h"
#include "core/XsltSupport.h"

#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>
#include <libxslt/imports.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace pelmora::core {

namespace fs = std::filesystem;

namespace {

// Log texts of Transform and LogVersions.
constexpr const char* MsgNoSource = "Brak pliku do transformacj: \r\n  %s";
constexpr const char* MsgNoStyleSheet = "Brak pliku transformacyjnego: \r\n  %s";
constexpr const char* MsgTargetExists =
    "W katalogu roboczym znajduje się plik: \r\n  %s\r\n Proces transformacji został przerwany";
// A processor or file failure: the file concerned and the cause.
constexpr const char* MsgFailed = "Transformacja pliku nie powiodła się: \r\n  %s\r\n  %s";
constexpr const char* MsgProgramVersion = "Plik: %s  wersja: %s";
constexpr const char* MsgVersionNote = "Plik: %s  %s";
constexpr const char* MsgUnreadable = "Nie można odczytać pliku: \r\n  %s";

// The rules file whose version note LogVersions lists.
constexpr const char* RulesFileName = "ObjectRules.xml";
// Extension of the style sheets LogVersions lists (compared ignoring case).
constexpr const char* StyleSheetExtension = ".xsl";
// Markers of a version note.
constexpr std::string_view NoteStart = "<!-- ";
constexpr std::string_view NoteEnd = " -->";

// A processor or file failure inside Transform.
struct TransformFailure {
    fs::path File;     // the file concerned
    std::string Cause; // what went wrong
};

using DocPtr = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

bool ReadBytes(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad())
        return false;
    bytes = std::move(ss).str();
    return true;
}

std::string ErrnoText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// --- Source documents: untrusted -------------------------------------------

// While alive, libxml2 loads no external entity and no external DTD subset: a
// source document must not make the program read files or reach the network.
class RefuseExternalEntities {
public:
    explicit RefuseExternalEntities(ProcessorMessages& messages)
        : previous_(xmlGetExternalEntityLoader()) {
        active_ = &messages;
        xmlSetExternalEntityLoader(Refuse);
    }
    ~RefuseExternalEntities() {
        xmlSetExternalEntityLoader(previous_);
        active_ = nullptr;
    }
    RefuseExternalEntities(const RefuseExternalEntities&) = delete;
    RefuseExternalEntities& operator=(const RefuseExternalEntities&) = delete;

private:
    static xmlParserInputPtr Refuse(const char* url, const char*, xmlParserCtxtPtr) {
        if (active_ != nullptr)
            active_->Add(std::string("external entity refused: ") + (url ? url : "") + "\n", true);
        return nullptr;
    }
    static inline ProcessorMessages* active_ = nullptr; // where Refuse reports
    xmlExternalEntityLoader previous_;
};

// Parses a source document from its bytes: internal entities are expanded,
// external ones are refused and external DTDs not read, nothing comes from the
// network. A document with errors the parser could recover from (an entity it
// may not load or does not know, a namespace error) fails as well: its result
// would silently lack data.
DocPtr ParseSource(const fs::path& path) {
    std::string bytes;
    if (!ReadBytes(path, bytes))
        throw TransformFailure{path, ErrnoText(errno)};
    if (bytes.size() > static_cast<size_t>(INT_MAX))
        throw TransformFailure{path, "file too large"};
    ProcessorMessages messages;
    DocPtr doc(nullptr, xmlFreeDoc);
    {
        RefuseExternalEntities refuse(messages);
        doc.reset(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), path.c_str(), nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOCDATA));
    }
    if (!doc || messages.ErrorCount() > 0)
        throw TransformFailure{path, messages.Text("not a well-formed XML document")};
    return doc;
}

// --- Applying the style sheet ----------------------------------------------

// A refused access ends the transformation: a result without the data the style
// sheet meant to read, or without the file it meant to write, is no result.
int RefuseAccess(xsltSecurityPrefsPtr, xsltTransformContextPtr ctxt, const char*) {
    if (ctxt != nullptr)
        ctxt->state = XSLT_STATE_STOPPED;
    return 0;
}

// Reading files is refused except for the style sheet's own file, which
// document('') reads for tables kept inside the style sheet.
int CheckReadFile(xsltSecurityPrefsPtr sec, xsltTransformContextPtr ctxt, const char* value) {
    if (ctxt != nullptr && ctxt->style != nullptr && ctxt->style->doc != nullptr &&
        ctxt->style->doc->URL != nullptr && value != nullptr) {
        std::error_code ec;
        if (fs::equivalent(fs::path(value),
                           fs::path(reinterpret_cast<const char*>(ctxt->style->doc->URL)), ec))
            return 1;
    }
    return RefuseAccess(sec, ctxt, value);
}

using SecurityPtr = std::unique_ptr<xsltSecurityPrefs, decltype(&xsltFreeSecurityPrefs)>;
using ContextPtr = std::unique_ptr<xsltTransformContext, decltype(&xsltFreeTransformContext)>;

SecurityPtr NewSecurityPrefs() {
    SecurityPtr sec(xsltNewSecurityPrefs(), xsltFreeSecurityPrefs);
    if (!sec)
        throw std::bad_alloc();
    xsltSetSecurityPrefs(sec.get(), XSLT_SECPREF_READ_FILE, CheckReadFile);
    xsltSetSecurityPrefs(sec.get(), XSLT_SECPREF_WRITE_FILE, RefuseAccess);
    xsltSetSecurityPrefs(sec.get(), XSLT_SECPREF_CREATE_DIRECTORY, RefuseAccess);
    xsltSetSecurityPrefs(sec.get(), XSLT_SECPREF_READ_NETWORK, RefuseAccess);
    xsltSetSecurityPrefs(sec.get(), XSLT_SECPREF_WRITE_NETWORK, RefuseAccess);
    return sec;
}

DocPtr Apply(xsltStylesheetPtr style, xmlDocPtr source, const fs::path& sourcePath) {
    ProcessorMessages messages;
    SecurityPtr sec = NewSecurityPrefs();
    ContextPtr ctxt(xsltNewTransformContext(style, source), xsltFreeTransformContext);
    if (!ctxt)
        throw TransformFailure{sourcePath, messages.Text("no transformation context")};
    xsltSetCtxtSecurityPrefs(sec.get(), ctxt.get());
    DocPtr result(xsltApplyStylesheetUser(style, source, nullptr, nullptr, nullptr, ctxt.get()),
                  xmlFreeDoc);
    if (!result || ctxt->state != XSLT_STATE_OK)
        throw TransformFailure{sourcePath, messages.Text("the transformation failed")};
    return result;
}

// --- The result text ---------------------------------------------------------

// The text of the result tree in UTF-8, as the style sheet's xsl:output asks.
// XML output gets no XML declaration (the result file has its own) and not the
// line break libxslt's serializer adds after the last node; text and HTML
// output are exactly what libxslt writes.
std::string ResultText(xmlDocPtr result, xsltStylesheetPtr style) {
    const xmlChar* method = nullptr;
    XSLT_GET_IMPORT_PTR(method, style, method)
    int indent = -1;
    XSLT_GET_IMPORT_INT(indent, style, indent)
    const bool isText = method != nullptr && xmlStrEqual(method, BAD_CAST "text");
    const bool isHtml = (method != nullptr && xmlStrEqual(method, BAD_CAST "html")) ||
                        (method == nullptr && result->type == XML_HTML_DOCUMENT_NODE);

    std::unique_ptr<xmlOutputBuffer, decltype(&xmlOutputBufferClose)> buf(
        xmlAllocOutputBuffer(nullptr), xmlOutputBufferClose);
    if (!buf)
        throw std::bad_alloc();
    if (isText || isHtml) {
        // Neither writes a declaration; libxslt's own serializer does them.
        if (xsltSaveResultTo(buf.get(), result, style) < 0)
            throw std::runtime_error("the result cannot be serialised");
    } else {
        // A document without an encoding would have its attribute values'
        // non-ASCII characters written as references; the text stays UTF-8 here.
        if (result->encoding == nullptr)
            result->encoding = xmlStrdup(BAD_CAST "UTF-8");
        for (xmlNodePtr child = result->children; child != nullptr; child = child->next) {
            xmlNodeDumpOutput(buf.get(), result, child, 0, indent == 1, "UTF-8");
            // Between top-level nodes libxslt separates a DTD and a comment.
            if (indent == 1 && child->next != nullptr &&
                (child->type == XML_DTD_NODE || child->type == XML_COMMENT_NODE))
                xmlOutputBufferWriteString(buf.get(), "\n");
        }
    }
    xmlOutputBufferFlush(buf.get());
    if (buf->error != 0)
        throw std::runtime_error("the result cannot be serialised");
    return std::string(reinterpret_cast<const char*>(xmlOutputBufferGetContent(buf.get())),
                       xmlOutputBufferGetSize(buf.get()));
}

// --- Writing the result file -------------------------------------------------

enum class WriteOutcome { Written, Exists, Failed };

bool WriteAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Creates `path` exclusively and writes `bytes`; a partly written file is removed.
WriteOutcome WriteExclusive(const fs::path& path, const std::string& bytes, int& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return error == EEXIST ? WriteOutcome::Exists : WriteOutcome::Failed;
    }
    bool ok = WriteAll(fd, bytes);
    error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok)
        ::unlink(path.c_str());
    return ok ? WriteOutcome::Written : WriteOutcome::Failed;
}

// Writes a new file at `target` that never overwrites an existing one and never
// appears half-written: the bytes go to a temporary file beside it (a name no
// queue collects: not *.xml) that is then linked to the target name, which
// fails when that name exists. Where the file system has no hard links the
// target is written directly, created exclusively.
WriteOutcome WriteNewFile(const fs::path& target, const std::string& bytes, int& error) {
    const fs::path temp = target.parent_path() / (".~" + NewGuidText() + ".tmp");
    const WriteOutcome tempOutcome = WriteExclusive(temp, bytes, error);
    if (tempOutcome != WriteOutcome::Written)
        return WriteOutcome::Failed;
    const int linked = ::link(temp.c_str(), target.c_str());
    const int linkError = errno;
    ::unlink(temp.c_str());
    if (linked == 0)
        return WriteOutcome::Written;
    error = linkError;
    if (linkError == EEXIST)
        return WriteOutcome::Exists;
    if (linkError == EPERM || linkError == EOPNOTSUPP || linkError == ENOTSUP ||
        linkError == EMLINK || linkError == ENOSYS)
        return WriteExclusive(target, bytes, error);
    return WriteOutcome::Failed;
}

// Any directory entry of that name counts, also a directory or a dangling link.
bool EntryExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

bool IsFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// --- LogVersions ---------------------------------------------------------------

// The text of an XML file in UTF-8, decoded as its declaration says (UTF-8 when
// it names none or an encoding unknown here).
std::string DecodeXmlText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return DecodeText(bytes.substr(3), CodePage::Utf8);
    CodePage cp = CodePage::Utf8;
    if (bytes.substr(0, 5) == "<?xml") {
        const std::string_view decl = bytes.substr(0, bytes.find("?>"));
        const size_t at = decl.find("encoding");
        if (at != std::string_view::npos) {
            const size_t quote = decl.find_first_of("\"'", at);
            if (quote != std::string_view::npos) {
                const size_t end = decl.find(decl[quote], quote + 1);
                if (end != std::string_view::npos &&
                    !CodePageFromName(decl.substr(quote + 1, end - quote - 1), cp))
                    cp = CodePage::Utf8;
            }
        }
    }
    return DecodeText(bytes, cp);
}

// The version note of one file, if it has one.
void ListFile(TLog& log, const fs::path& path) {
    std::string bytes;
    if (!IsFile(path) || !ReadBytes(path, bytes)) {
        log.AddWarning(Format(MsgUnreadable, {path.string()}));
        return;
    }
    TTransformationObject::VersionComment(log, path.filename().string(), DecodeXmlText(bytes));
}

bool HasStyleSheetExtension(const fs::path& path) {
    return SameText(path.extension().string(), StyleSheetExtension);
}

} // namespace

TTransformationObject::TTransformationObject(TLog& log, fs::path workDirectory,
                                             fs::path transformationDirectory,
                                             TStylesheetCache& styleSheets)
    : log_(log), workDirectory_(std::move(workDirectory)),
      transformationDirectory_(std::move(transformationDirectory)), styleSheets_(styleSheets) {}

bool TTransformationObject::Transform() {
    const fs::path sourcePath = workDirectory_ / SourceName;
    const fs::path styleSheetPath = transformationDirectory_ / StyleSheetName;
    const fs::path targetPath = workDirectory_ / TargetName;
    try {
        InitialiseXslt();
        if (SourceName.empty() || !IsFile(sourcePath)) {
            log_.AddError(Format(MsgNoSource, {sourcePath.string()}));
            return false;
        }
        const DocPtr source = ParseSource(sourcePath);

        if (StyleSheetName.empty() || !IsFile(styleSheetPath)) {
            log_.AddError(Format(MsgNoStyleSheet, {styleSheetPath.string()}));
            return false;
        }
        TStylesheetCache::Stylesheet sheet;
        try {
            sheet = styleSheets_.Get(styleSheetPath);
        } catch (const StylesheetError& e) {
            throw TransformFailure{styleSheetPath, e.what()};
        }

        const DocPtr result = Apply(sheet.get(), source.get(), sourcePath);
        std::string bytes = ResultHeader;
        bytes += EncodeText(ResultText(result.get(), sheet.get()), CodePage::Iso8859_2,
                            Unmappable::CharRef);

        if (TargetName.empty() || EntryExists(targetPath)) {
            log_.AddError(Format(MsgTargetExists, {targetPath.string()}));
            return false;
        }
        int error = 0;
        switch (WriteNewFile(targetPath, bytes, error)) {
        case WriteOutcome::Written:
            return true;
        case WriteOutcome::Exists: // appeared since the check above
            log_.AddError(Format(MsgTargetExists, {targetPath.string()}));
            return false;
        case WriteOutcome::Failed:
            throw TransformFailure{targetPath, ErrnoText(error)};
        }
        return false;
    } catch (const TransformFailure& f) {
        log_.AddError(Format(MsgFailed, {f.File.string(), ReplaceAll(f.Cause, "\n", "\r\n  ")}));
    } catch (const std::exception& e) {
        log_.AddError(Format(MsgFailed, {sourcePath.string(), e.what()}));
    }
    return false;
}

void TTransformationObject::LogVersions(TLog& log, const fs::path& programFile,
                                        const fs::path& xmlDirectory,
                                        const fs::path& transformationDirectory) {
    log.AddInfo(
        Format(MsgProgramVersion, {programFile.filename().string(), FileVersionText(programFile)}));
    ListFile(log, xmlDirectory / RulesFileName);

    // In name order: the order of a directory listing is not defined here.
    std::vector<fs::path> styleSheets;
    std::error_code ec;
    for (fs::directory_iterator it(transformationDirectory, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (HasStyleSheetExtension(it->path()) && it->is_regular_file(typeError))
            styleSheets.push_back(it->path());
    }
    std::sort(styleSheets.begin(), styleSheets.end());
    for (const fs::path& path : styleSheets)
        ListFile(log, path);
}

std::string TTransformationObject::FileVersionText(const fs::path& path) {
    std::error_code ec;
    if (!fs::equivalent(path, "/proc/self/exe", ec) || ec)
        return "?";
    return Format("%d.%d.%d.%d",
                  {PELMORA_VERSION_MAJOR, PELMORA_VERSION_MINOR, PELMORA_VERSION_PATCH, 0});
}

void TTransformationObject::VersionComment(TLog& log, const std::string& fileName,
                                           const std::string& fileText) {
    const size_t start = fileText.find(NoteStart);
    const size_t end = fileText.find(NoteEnd);
    if (start == std::string::npos || end == std::string::npos)
        return;
    const size_t from = start + NoteStart.size();
    const std::string note = end > from ? fileText.substr(from, end - from) : std::string();
    log.AddInfo(Format(MsgVersionNote, {fileName, note}));
}

} // namespace pelmora::core
