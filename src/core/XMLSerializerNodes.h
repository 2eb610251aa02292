#pragma once
// Element helpers shared by the writing and the reading half of the XML
// serializer (XMLSerializer.cpp, XMLSerializerLoad.cpp); not for other users.

#include "core/Component.h"
#include "core/Text.h"
#include "core/XMLSerializer.h"

#include <libxml/tree.h>

#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

namespace pelmora::core::xmlnodes {

// Element and attribute names of the format.
inline constexpr const char* ClassElement = "class";
inline constexpr const char* PropertiesElement = "properties";
inline constexpr const char* PropertyElement = "property";
inline constexpr const char* CustomDataElement = "customdata";
inline constexpr const char* ItemPrefix = "Item_";

// The name an object is saved or loaded under: the given one, else the
// component's name; empty when there is none.
inline std::string ObjectName(const TPersistent* object, std::string name) {
    if (name.empty())
        if (const auto* component = dynamic_cast<const TComponent*>(object))
            name = component->Name();
    return name;
}

inline const xmlChar* X(const char* s) {
    return reinterpret_cast<const xmlChar*>(s);
}

inline std::string ToString(xmlChar* s) {
    std::string out = s ? reinterpret_cast<const char*>(s) : "";
    xmlFree(s);
    return out;
}

// An attribute's value; empty when the element has none.
inline std::string Attr(TXMLNode node, const char* name) {
    return ToString(xmlGetProp(node, X(name)));
}

// The same without copying when the value is one plain text (as it nearly
// always is); `buffer` holds the value otherwise.
inline std::string_view AttrView(TXMLNode node, const char* name, std::string& buffer) {
    for (xmlAttrPtr a = node->properties; a; a = a->next) {
        if (a->ns || std::strcmp(reinterpret_cast<const char*>(a->name), name) != 0)
            continue;
        const xmlNode* value = a->children;
        if (!value)
            return {};
        if (value->type == XML_TEXT_NODE && !value->next && value->content)
            return reinterpret_cast<const char*>(value->content);
        break;
    }
    buffer = Attr(node, name);
    return buffer;
}

// The text of an element and everything below it.
inline std::string Content(TXMLNode node) {
    return ToString(xmlNodeGetContent(node));
}

// Names compared ignoring case; plain ASCII names without the full case tables.
inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() == b.size()) {
        size_t i = 0;
        for (; i < a.size(); ++i) {
            const unsigned char ca = static_cast<unsigned char>(a[i]);
            const unsigned char cb = static_cast<unsigned char>(b[i]);
            if (ca >= 0x80 || cb >= 0x80)
                break;
            if (ca != cb && std::tolower(ca) != std::tolower(cb))
                return false;
        }
        if (i == a.size())
            return true;
    } else {
        bool ascii = true;
        for (unsigned char c : a)
            ascii = ascii && c < 0x80;
        for (unsigned char c : b)
            ascii = ascii && c < 0x80;
        if (ascii)
            return false;
    }
    return SameText(a, b);
}

inline bool IsElement(TXMLNode node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

inline TXMLNode FirstChild(TXMLNode parent, const char* name) {
    for (TXMLNode c = parent->children; c; c = c->next)
        if (IsElement(c, name))
            return c;
    return nullptr;
}

inline TXMLNode AddElement(TXMLNode parent, const char* name) {
    TXMLNode node = xmlNewDocNode(parent->doc, nullptr, X(name), nullptr);
    xmlAddChild(parent, node);
    return node;
}

inline void SetAttr(TXMLNode node, const char* name, const std::string& value) {
    xmlNewProp(node, X(name), X(value.c_str()));
}

inline void AddText(TXMLNode node, const std::string& text) {
    if (!text.empty())
        xmlNodeAddContentLen(node, X(text.data()), static_cast<int>(text.size()));
}

inline TXMLNode AddPropertyElement(TXMLNode parent, const std::string& name,
                                   const std::string& type) {
    TXMLNode node = AddElement(parent, PropertyElement);
    SetAttr(node, "name", name);
    SetAttr(node, "type", type);
    return node;
}

inline std::string ItemName(int index) {
    return ItemPrefix + std::to_string(index + 1);
}

} // namespace pelmora::core::xmlnodes
