#pragma once
// Plumbing shared by the style-sheet cache and the transformation object:
// the one-time set-up of libxml2/libxslt/libexslt and the capture of the
// processor's diagnostic messages, which would otherwise go to stderr.

#include <libxml/xmlerror.h>

#include <string>

namespace pelmora::core {

// Initialises the XML parser and registers the EXSLT functions; safe to call
// any number of times.
void InitialiseXslt();

// While an object of this class lives, every message of libxml2 and libxslt on
// this thread is collected here instead of being printed; the handlers in force
// before are restored when it goes. Objects may nest: the innermost collects.
class ProcessorMessages {
public:
    ProcessorMessages();
    ~ProcessorMessages();
    ProcessorMessages(const ProcessorMessages&) = delete;
    ProcessorMessages& operator=(const ProcessorMessages&) = delete;

    // Adds a message; `isError` counts it among ErrorCount.
    void Add(const std::string& text, bool isError = false);
    // Messages of error level so far (parser errors, refused accesses), warnings
    // and libxslt's untyped messages not counted.
    int ErrorCount() const { return errorCount_; }
    // The messages so far, trimmed, lines joined by LF; `fallback` when none.
    std::string Text(const std::string& fallback) const;

private:
    std::string text_;
    int errorCount_ = 0;
    // The handlers in force before, restored by the destructor.
    xmlGenericErrorFunc prevGeneric_;
    void* prevGenericContext_;
    xmlStructuredErrorFunc prevStructured_;
    void* prevStructuredContext_;
    xmlGenericErrorFunc prevXslt_;
    void* prevXsltContext_;
};

} // namespace pelmora::core
