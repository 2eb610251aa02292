#include "core/XsltSupport.h"

#include "core/Text.h"

#include <libexslt/exslt.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace pelmora::core {

namespace {

// Longest message text kept; a broken document can produce thousands of lines.
constexpr size_t MaxMessageChars = 4000;

void GenericHandler(void* context, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (size > 0) {
        std::vector<char> buf(static_cast<size_t>(size) + 1);
        std::vsnprintf(buf.data(), buf.size(), format, args);
        static_cast<ProcessorMessages*>(context)->Add(std::string(buf.data(), size));
    }
    va_end(args);
}

void StructuredHandler(void* context, xmlErrorPtr error) {
    if (error == nullptr || error->message == nullptr)
        return;
    std::string text;
    if (error->file != nullptr) {
        text += error->file;
        text += ':';
        if (error->line > 0)
            text += std::to_string(error->line) + ':';
        text += ' ';
    }
    text += error->message;
    if (text.empty() || text.back() != '\n')
        text += '\n';
    static_cast<ProcessorMessages*>(context)->Add(text, error->level >= XML_ERR_ERROR);
}

} // namespace

void InitialiseXslt() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        exsltRegisterAll();
    });
}

ProcessorMessages::ProcessorMessages()
    : prevGeneric_(xmlGenericError), prevGenericContext_(xmlGenericErrorContext),
      prevStructured_(xmlStructuredError), prevStructuredContext_(xmlStructuredErrorContext),
      prevXslt_(xsltGenericError), prevXsltContext_(xsltGenericErrorContext) {
    xmlSetGenericErrorFunc(this, GenericHandler);
    xmlSetStructuredErrorFunc(this, StructuredHandler);
    xsltSetGenericErrorFunc(this, GenericHandler);
}

ProcessorMessages::~ProcessorMessages() {
    xmlSetGenericErrorFunc(prevGenericContext_, prevGeneric_);
    xmlSetStructuredErrorFunc(prevStructuredContext_, prevStructured_);
    xsltSetGenericErrorFunc(prevXsltContext_, prevXslt_);
}

void ProcessorMessages::Add(const std::string& text, bool isError) {
    if (isError)
        ++errorCount_;
    if (text_.size() < MaxMessageChars)
        text_ += text.substr(0, MaxMessageChars - text_.size());
}

std::string ProcessorMessages::Text(const std::string& fallback) const {
    std::string t = Trim(ReplaceAll(text_, "\r\n", "\n"));
    return t.empty() ? fallback : t;
}

} // namespace pelmora::core
