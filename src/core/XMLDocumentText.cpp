#include "core/XMLDocumentText.h"

#include "core/Text.h"
#include "core/TextEncoding.h"

#include <libxml/SAX2.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <limits>

namespace pelmora::core {

namespace {

// What the parser reported, collected through the context's error hook.
struct ParseReport {
    std::string message;
    int line = 0;
};

ParseReport& ReportOf(void* ctx) {
    return *static_cast<ParseReport*>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

// The first error (not warning) of the parse is the one reported.
void OnParserError(void* ctx, xmlErrorPtr error) {
    if (!ctx || !error || error->level < XML_ERR_ERROR)
        return;
    ParseReport& report = ReportOf(ctx);
    if (report.message.empty()) {
        report.message = Trim(error->message ? error->message : "XML parser error");
        report.line = error->line;
    }
}

// Entity declarations pass through, except external ones, which stop the parse.
void OnEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId,
                  const xmlChar* systemId, xmlChar* content) {
    if (type == XML_EXTERNAL_GENERAL_PARSED_ENTITY ||
        type == XML_EXTERNAL_GENERAL_UNPARSED_ENTITY || type == XML_EXTERNAL_PARAMETER_ENTITY) {
        auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
        ParseReport& report = ReportOf(ctx);
        if (report.message.empty()) {
            report.message = std::string("External entity '") +
                             reinterpret_cast<const char*>(name) + "' is not allowed";
            report.line = xmlSAX2GetLineNumber(ctx);
        }
        ctxt->wellFormed = 0;
        xmlStopParser(ctxt);
        return;
    }
    xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

void OnUnparsedEntityDecl(void* ctx, const xmlChar* name, const xmlChar* publicId,
                          const xmlChar* systemId, const xmlChar* notation) {
    (void)publicId;
    (void)systemId;
    (void)notation;
    OnEntityDecl(ctx, name, XML_EXTERNAL_GENERAL_UNPARSED_ENTITY, nullptr, nullptr, nullptr);
}

bool IsBlank(const xmlChar* s) {
    if (!s)
        return true;
    for (; *s; ++s)
        if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n')
            return false;
    return true;
}

// Drops whitespace-only text beside elements: the layout of the file.
void DropLayout(xmlNodePtr node) {
    bool hasElement = false;
    for (xmlNodePtr c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) {
            hasElement = true;
            break;
        }
    xmlNodePtr c = node->children;
    while (c) {
        xmlNodePtr next = c->next;
        if (c->type == XML_ELEMENT_NODE) {
            DropLayout(c);
        } else if (hasElement && c->type == XML_TEXT_NODE && IsBlank(c->content)) {
            xmlUnlinkNode(c);
            xmlFreeNode(c);
        }
        c = next;
    }
}

const char* Str(const xmlChar* s) {
    return s ? reinterpret_cast<const char*>(s) : "";
}

// Whether XML 1.0 allows the character at all.
bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// How a text is put into the document's text.
enum class Escape {
    Text,      // character data: markup characters escaped
    Attribute, // attribute value: also quotes, tabs and line breaks as references
    Raw,       // inside a CDATA section: nothing escaped
};

// Appends `text` escaped as `mode` says; line breaks in texts become CR LF and
// characters XML does not allow become "?".
void AppendEscaped(std::string& out, std::string_view text, Escape mode) {
    // Plain ASCII without markup or control characters is copied as it is.
    bool plain = true;
    for (unsigned char c : text)
        if (c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"') {
            plain = false;
            break;
        }
    if (plain) {
        out.append(text);
        return;
    }
    const bool attribute = mode == Escape::Attribute;
    const bool raw = mode == Escape::Raw;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            // A UTF-8 sequence: copied when valid and allowed, else "?".
            const size_t len = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
            char32_t cp = len ? c & (0x7F >> len) : 0;
            bool valid = len != 0 && i + len <= text.size();
            for (size_t k = 1; valid && k < len; ++k) {
                const unsigned char cc = static_cast<unsigned char>(text[i + k]);
                valid = (cc >> 6) == 2;
                cp = (cp << 6) | (cc & 0x3F);
            }
            // Overlong forms decode below the sequence's range.
            valid = valid &&
                    cp >= (len == 2   ? 0x80u
                           : len == 3 ? 0x800u
                                      : 0x10000u) &&
                    IsXmlChar(cp);
            if (valid)
                out.append(text.substr(i, len));
            else
                out += '?';
            i += valid ? len : 1;
            continue;
        }
        switch (c) {
        case '&':
            out += raw ? "&" : "&amp;";
            break;
        case '<':
            out += raw ? "<" : "&lt;";
            break;
        case '>':
            out += raw ? ">" : "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\r\n";
            break;
        case '\r':
            if (attribute) {
                out += "&#13;";
            } else {
                out += "\r\n";
                if (i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            }
            break;
        default:
            out += c < 0x20 ? '?' : static_cast<char>(c);
            break;
        }
        ++i;
    }
}

std::string NodeContent(const xmlNode* node) {
    xmlChar* s = xmlNodeGetContent(node);
    std::string out = Str(s);
    xmlFree(s);
    return out;
}

std::string QualifiedName(const xmlNode* node) {
    std::string name;
    if (node->ns && node->ns->prefix) {
        name = Str(node->ns->prefix);
        name += ':';
    }
    return name + Str(node->name);
}

void Indent(std::string& out, int level) {
    out.append(static_cast<size_t>(level) * 2, ' ');
}

void WriteNode(std::string& out, const xmlNode* node, int level, bool indent);

void WriteElement(std::string& out, const xmlNode* node, int level, bool indent) {
    const std::string name = QualifiedName(node);
    out += '<';
    out += name;
    for (const xmlNs* ns = node->nsDef; ns; ns = ns->next) {
        out += ns->prefix ? std::string(" xmlns:") + Str(ns->prefix) : std::string(" xmlns");
        out += "=\"";
        AppendEscaped(out, Str(ns->href), Escape::Attribute);
        out += '"';
    }
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        out += ' ';
        if (a->ns && a->ns->prefix) {
            out += Str(a->ns->prefix);
            out += ':';
        }
        out += Str(a->name);
        out += "=\"";
        AppendEscaped(out, NodeContent(reinterpret_cast<const xmlNode*>(a)), Escape::Attribute);
        out += '"';
    }
    if (!node->children) {
        out += "/>";
        return;
    }
    out += '>';
    // Children on lines of their own only when none of them is character data.
    bool structured = indent;
    for (const xmlNode* c = node->children; c && structured; c = c->next)
        if (c->type != XML_ELEMENT_NODE && c->type != XML_COMMENT_NODE && c->type != XML_PI_NODE)
            structured = false;
    for (const xmlNode* c = node->children; c; c = c->next) {
        if (structured) {
            out += "\r\n";
            Indent(out, level + 1);
        }
        WriteNode(out, c, level + 1, structured);
    }
    if (structured) {
        out += "\r\n";
        Indent(out, level);
    }
    out += "</";
    out += name;
    out += '>';
}

void WriteNode(std::string& out, const xmlNode* node, int level, bool indent) {
    switch (node->type) {
    case XML_ELEMENT_NODE:
        WriteElement(out, node, level, indent);
        break;
    case XML_TEXT_NODE:
        AppendEscaped(out, Str(node->content), Escape::Text);
        break;
    case XML_ENTITY_REF_NODE:
        AppendEscaped(out, NodeContent(node), Escape::Text);
        break;
    case XML_CDATA_SECTION_NODE: {
        // "]]>" inside the data is split over two sections.
        // NOTE: the whole text is encoded at the end, so a character the
        // encoding lacks would become a reference here too; the program only
        // puts base64 (ASCII) into sections.
        std::string data;
        AppendEscaped(data, Str(node->content), Escape::Raw);
        out += "<![CDATA[" + ReplaceAll(data, "]]>", "]]]]><![CDATA[>") + "]]>";
        break;
    }
    case XML_COMMENT_NODE:
        out += "<!--" + std::string(Str(node->content)) + "-->";
        break;
    case XML_PI_NODE:
        out += "<?" + std::string(Str(node->name));
        if (node->content && *node->content)
            out += " " + std::string(Str(node->content));
        out += "?>";
        break;
    default:
        break; // document type and the like are not written
    }
}

} // namespace

void XmlDocDeleter::operator()(_xmlDoc* doc) const {
    xmlFreeDoc(doc);
}

XmlDocPtr ParseXMLDocument(std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw EXMLParseError("XML file too large", 0);
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt)
        throw EXMLParseError("XML parser could not be created", 0);
    ParseReport report;
    ctxt->_private = &report;
    ctxt->sax->serror = OnParserError;
    ctxt->sax->entityDecl = OnEntityDecl;
    ctxt->sax->unparsedEntityDecl = OnUnparsedEntityDecl;
    // No network; no DTD loading and no entity substitution (options left out);
    // the parser's default limits on entity expansion stay in force.
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, XML_PARSE_NONET);
    const bool wellFormed = ctxt->wellFormed != 0;
    xmlFreeParserCtxt(ctxt);
    XmlDocPtr result(doc);
    if (!result || !wellFormed) {
        throw EXMLParseError(report.message.empty() ? "XML document is not well-formed"
                                                    : report.message,
                             report.line);
    }
    if (xmlNodePtr root = xmlDocGetRootElement(result.get()))
        DropLayout(root);
    return result;
}

std::string WriteXMLDocument(const _xmlDoc* doc, bool indent) {
    const std::string encoding = doc->encoding ? Str(doc->encoding) : "";
    CodePage cp = CodePage::Utf8;
    if (!encoding.empty() && !CodePageFromName(encoding, cp))
        throw EncodingError("Unsupported encoding \"" + encoding + "\"");
    std::string out = "<?xml version=\"";
    out += doc->version ? Str(doc->version) : "1.0";
    out += '"';
    if (!encoding.empty())
        out += " encoding=\"" + encoding + "\"";
    if (doc->standalone == 1)
        out += " standalone=\"yes\"";
    else if (doc->standalone == 0)
        out += " standalone=\"no\"";
    out += "?>\r\n";
    for (const xmlNode* n = doc->children; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE && n->type != XML_COMMENT_NODE && n->type != XML_PI_NODE)
            continue;
        WriteNode(out, n, 0, indent);
        out += "\r\n";
    }
    return EncodeText(out, cp, Unmappable::CharRef);
}

} // namespace pelmora::core
