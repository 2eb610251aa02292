// The reading half of TXMLSerializer: objects from the document.

#include "core/XMLSerializer.h"

#include "core/Collection.h"
#include "core/ConvertError.h"
#include "core/Picture.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/XMLSerializerNodes.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <unordered_map>

namespace pelmora::core {

using namespace xmlnodes;

namespace {

// The variant type code of a type name, as VarTypeFromName gives it, with the
// named slots kept in a table: the names are ASCII, so an ASCII text matches
// the first slot of the same name in any case, and anything else is left to
// VarTypeFromName.
int TypeCodeFromName(const std::string& name) {
    static const std::unordered_map<std::string, int> codes = [] {
        std::unordered_map<std::string, int> map;
        for (int code = 0; code < VarTypeNameSlots; ++code)
            if (const std::string& n = VarTypeName(code); !n.empty())
                map.emplace(UpperCase(n), code); // the first slot of a name stays
        return map;
    }();
    if (name.empty() || !std::all_of(name.begin(), name.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return VarTypeFromName(name);
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto it = codes.find(upper);
    return it == codes.end() ? 0 : it->second;
}

} // namespace

TXMLNode TXMLSerializer::LoadObject(TPersistent* object, std::string name, TXMLNode parent) {
    if (!object)
        return nullptr;
    name = ObjectName(object, std::move(name));
    if (name.empty())
        return nullptr;
    if (!parent)
        parent = Root();
    if (!parent)
        return nullptr;
    return ReadObject(parent, object, name);
}

TXMLNode TXMLSerializer::ReadObject(TXMLNode parent, TPersistent* object, const std::string& name,
                                    TXMLNode from) {
    // The first matching child; the search may start at `from` (a child of
    // `parent`) and then goes on from the first child up to it.
    const std::string& className = object->ClassName();
    std::string buffer;
    auto matches = [&](TXMLNode c) {
        return c->type == XML_ELEMENT_NODE &&
               SameName(reinterpret_cast<const char*>(c->name), ClassElement) &&
               SameName(AttrView(c, "name", buffer), name) &&
               SameName(AttrView(c, "classname", buffer), className);
    };
    TXMLNode element = nullptr;
    TXMLNode first = parent->children;
    if (from && from->parent == parent) {
        // Only a match before `from` could come first; look there after.
        TXMLNode found = nullptr;
        for (TXMLNode c = from; c && !found; c = c->next)
            if (matches(c))
                found = c;
        for (TXMLNode c = first; c != from && !element; c = c->next)
            if (matches(c))
                element = c;
        if (!element)
            element = found;
    } else {
        for (TXMLNode c = first; c && !element; c = c->next)
            if (matches(c))
                element = c;
    }
    if (!element)
        return nullptr;

    bool skip = false;
    if (OnObjectLoading)
        OnObjectLoading(*this, object, name, element, skip);
    if (skip)
        return element;
    if (TXMLNode properties = FirstChild(element, PropertiesElement))
        for (TXMLNode c = properties->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE)
                ReadProperty(c, object, name);
    ReadSpecialClass(element, object);
    if (OnObjectLoad)
        OnObjectLoad(*this, object, name, element);
    return element;
}

void TXMLSerializer::ReadProperty(TXMLNode node, TPersistent* object,
                                  const std::string& objectName) {
    const TPropertyInfo* prop = object->ClassType().FindProperty(Attr(node, "name"));
    if (!prop || !prop->HasWriter())
        return;
    bool skip = false;
    if (OnPropertyLoading)
        OnPropertyLoading(*this, object, objectName, prop->Name, node, skip);
    if (skip)
        return;

    const std::string type = Attr(node, "type");
    if (SameText(type, "Object")) {
        // The object held is read in place; the reader creates no objects.
        if (prop->Kind == TPropertyKind::Class)
            if (TPersistent* value = prop->GetObject(*object))
                ReadObject(node, value, prop->Name);
        return;
    }
    const std::string text = Content(node);
    if (text.empty())
        return; // the property keeps its value
    try {
        SetPropertyFromNode(object, *prop, type, text);
    } catch (const std::exception& e) {
        if (StorageOptions.Contains(soIgnoreSetPropertyError))
            return;
        bool handled = false;
        if (OnSetPropertyError)
            OnSetPropertyError(*this, prop->Name, node, e, handled);
        if (!handled)
            throw EXSSetPropertyException(prop->Name, e.what());
    }
}

void TXMLSerializer::SetPropertyFromNode(TPersistent* object, const TPropertyInfo& prop,
                                         const std::string& type, const std::string& text) {
    if (SameText(type, "ObjectLink")) {
        // Only for a component property: "A.B" is the global component A and
        // the path B inside it, a plain name a component of this one's owner.
        if (prop.Kind != TPropertyKind::Class)
            return;
        if (!prop.IsLink && !dynamic_cast<TComponent*>(prop.GetObject(*object)))
            return;
        TComponent* found = nullptr;
        if (text.find('.') != std::string::npos)
            found = FindComponentPath(text);
        else if (const auto* self = dynamic_cast<const TComponent*>(object); self && self->Owner())
            found = self->Owner()->FindComponent(text);
        prop.SetObject(*object, found);
        return;
    }
    if (prop.Kind == TPropertyKind::Class)
        throw ConvertError("Property " + prop.Name + " holds an object, not a \"" + type +
                           "\" value");
    if (SameText(type, "Enumeration")) {
        if (prop.Kind == TPropertyKind::Enumeration) {
            const int ordinal = prop.Enum->Value(text);
            if (ordinal < 0)
                throw ConvertError("'" + text + "' is not a value of " + prop.Enum->TypeName());
            prop.SetOrdinal(*object, ordinal);
        } else {
            prop.Set(*object, Variant(text));
        }
        return;
    }
    prop.Set(*object, TextToVariant(text, TypeCodeFromName(type)));
}

void TXMLSerializer::ReadSpecialClass(TXMLNode element, TPersistent* object) {
    if (SpecialClasses.Contains(scTCollection))
        if (auto* collection = dynamic_cast<TCollection*>(object)) {
            TXMLNode data = FirstChild(element, CustomDataElement);
            if (!data)
                return;
            if (StorageOptions.Contains(soRecreateCollectionItems)) {
                // As many items as there are item elements; surplus ones go from the front.
                int wanted = 0;
                for (TXMLNode c = data->children; c; c = c->next)
                    if (c->type == XML_ELEMENT_NODE &&
                        SameName(reinterpret_cast<const char*>(c->name), ClassElement))
                        ++wanted;
                while (collection->Count() < wanted)
                    collection->Add();
                while (collection->Count() > wanted)
                    collection->Delete(0);
            }
            // Items usually follow each other in order: each search starts
            // after the element of the one before.
            TXMLNode from = nullptr;
            for (int i = 0; i < collection->Count(); ++i)
                if (TXMLNode found = ReadObject(data, collection->Items(i), ItemName(i), from))
                    from = found->next;
            return;
        }
    if (SpecialClasses.Contains(scTStrings))
        if (auto* strings = dynamic_cast<TStrings*>(object)) {
            if (TXMLNode data = FirstChild(element, CustomDataElement))
                for (TXMLNode c = data->children; c; c = c->next)
                    if (IsElement(c, PropertyElement) && SameText(Attr(c, "name"), "Text")) {
                        strings->SetText(Content(c));
                        break;
                    }
            return;
        }
    if (SpecialClasses.Contains(scTBitmap))
        if (auto* picture = dynamic_cast<TPicture*>(object)) {
            if (TXMLNode data = FirstChild(element, CustomDataElement))
                if (data->children)
                    picture->LoadBitmap(DecodeBase64(Content(data->children)));
            return;
        }
}

} // namespace pelmora::core
