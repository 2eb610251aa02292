#pragma once
// The bytes of an XML document: parsing untrusted files with libxml2 (no
// network, no DTD or external entity loading, default entity-expansion limits)
// and writing a document in the program's exact layout.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

struct _xmlDoc;

namespace pelmora::core {

// The parser's error for bytes that are not a well-formed, acceptable document.
class EXMLParseError : public std::runtime_error {
public:
    EXMLParseError(const std::string& message, int line)
        : std::runtime_error(message), line_(line) {}
    // Line of the error in the file, 0 when unknown.
    int Line() const { return line_; }

private:
    int line_;
};

struct XmlDocDeleter {
    void operator()(_xmlDoc* doc) const;
};
using XmlDocPtr = std::unique_ptr<_xmlDoc, XmlDocDeleter>;

// Parses a whole file's bytes, decoded as its own declaration says. A document
// type declaring an external entity is refused, and so is any document the
// parser refuses (malformed, unknown encoding, entity loop or expansion beyond
// the parser's limits): EXMLParseError with the parser's message. Whitespace-only
// text between elements (layout) is dropped.
XmlDocPtr ParseXMLDocument(std::string_view bytes);

// The document as bytes in the encoding of its declaration ("UTF-8" when it
// names none): the declaration on its own line, then the top-level nodes, each
// line ended by CR LF. With `indent` every element whose content is elements
// puts each child on a line of its own, two blanks deeper than itself; an
// element with text keeps it between its tags. Line breaks inside texts are
// written CR LF, characters the encoding lacks as character references,
// characters XML does not allow as "?". Raises EncodingError for an encoding
// other than ISO-8859-2, ISO-8859-1, Windows-1250 and UTF-8.
std::string WriteXMLDocument(const _xmlDoc* doc, bool indent);

} // namespace pelmora::core
