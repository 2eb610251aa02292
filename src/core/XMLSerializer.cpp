#include "core/XMLSerializer.h"

#include "core/ClassBuilder.h"
#include "core/Collection.h"
#include "core/DateTime.h"
#include "core/Picture.h"
#include "core/Strings.h"
#include "core/Text.h"
#include "core/XMLSerializerNodes.h"

#include <libxml/tree.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace pelmora::core {

using namespace xmlnodes;

namespace {

// Deepest nesting of objects written, against an object that holds itself.
constexpr int MaxObjectDepth = 100;

// Object nesting of the writer, counted up and down around each object.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) {
        if (++depth_ > MaxObjectDepth) {
            --depth_;
            throw EXSSerializationException("XML Serializer. Objects nested too deep");
        }
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

} // namespace

EXSSetPropertyException::EXSSetPropertyException(std::string propertyName, std::string reason)
    : EXSSerializationException("XML Serializer. Cannot set property value"),
      propertyName_(std::move(propertyName)), reason_(std::move(reason)) {}

// ---- TxsXMLSettings ----

const TClassInfo& TxsXMLSettings::StaticClass() {
    using T = TxsXMLSettings;
    static const TClassInfo info =
        TClassBuilder<T>()
            .WideText("Encoding", &T::Encoding, &T::SetEncoding)
            .Enum("Standalone", &T::Standalone, &T::SetStandalone)
            .Default(TxsStandaloneType::Yes)
            .Bool("XSNormalization", &T::XSNormalization, &T::SetXSNormalization)
            .Default(true)
            .Bool("WellFormated", &T::WellFormated, &T::SetWellFormated)
            .Default(false);
    return info;
}

std::string TxsXMLSettings::Encoding() const {
    const _xmlDoc* doc = serializer_.Document();
    return doc->encoding ? reinterpret_cast<const char*>(doc->encoding) : "";
}

void TxsXMLSettings::SetEncoding(const std::string& encoding) {
    _xmlDoc* doc = serializer_.Document();
    xmlFree(const_cast<xmlChar*>(doc->encoding));
    doc->encoding = encoding.empty() ? nullptr : xmlStrdup(X(encoding.c_str()));
}

TxsStandaloneType TxsXMLSettings::Standalone() const {
    return serializer_.Document()->standalone == 1 ? TxsStandaloneType::Yes : TxsStandaloneType::No;
}

void TxsXMLSettings::SetStandalone(TxsStandaloneType value) {
    serializer_.Document()->standalone = value == TxsStandaloneType::Yes ? 1 : 0;
}

void TxsXMLSettings::Assign(const TPersistent& source) {
    const auto* from = dynamic_cast<const TxsXMLSettings*>(&source);
    if (!from) {
        TPersistent::Assign(source);
        return;
    }
    if (from == this)
        return;
    SetEncoding(from->Encoding());
    SetStandalone(from->Standalone());
    xsNormalization_ = from->xsNormalization_;
    wellFormated_ = from->wellFormated_;
}

// ---- TXMLSerializer ----

const TClassInfo& TXMLSerializer::StaticClass() {
    using T = TXMLSerializer;
    static const TClassInfo info =
        TClassBuilder<T>()
            .Text("FileName", &T::FileName)
            .Set("SpecialClasses", &T::SpecialClasses)
            .Set("StorageOptions", &T::StorageOptions)
            .Object("XMLSettings",
                    [](const T& s) -> const TxsXMLSettings& { return s.XMLSettings(); })
            .Event("OnXMLLoad")
            .Event("OnXMLSave")
            .Event("OnObjectSave")
            .Event("OnObjectSaving")
            .Event("OnObjectLoad")
            .Event("OnObjectLoading")
            .Event("OnSetPropertyError")
            .Event("OnPropertyLoading")
            .Event("OnPropertySaving");
    return info;
}

TXMLSerializer::TXMLSerializer(TComponent* owner)
    : TComponent(owner), settings_(std::make_unique<TxsXMLSettings>(*this)) {}

TXMLSerializer::~TXMLSerializer() = default;

_xmlDoc* TXMLSerializer::Document() {
    if (!document_) {
        XmlDocPtr doc(xmlNewDoc(X("1.0")));
        doc->encoding = xmlStrdup(X("ISO-8859-1"));
        doc->standalone = 1;
        xmlDocSetRootElement(doc.get(), xmlNewDocNode(doc.get(), nullptr, X("classes"), nullptr));
        document_ = std::move(doc);
    }
    return document_.get();
}

TXMLNode TXMLSerializer::Root() {
    return xmlDocGetRootElement(Document());
}

std::string TXMLSerializer::ResolveFileName(std::string_view fileName) const {
    const std::string name = Trim(fileName);
    return name.empty() ? Trim(FileName) : name;
}

bool TXMLSerializer::LoadFromFile(std::string_view fileName) {
    const std::string path = ResolveFileName(fileName);
    std::error_code ec;
    if (path.empty())
        return false;
    if (!std::filesystem::exists(path, ec)) {
        // Only a file that is not there counts as missing; a path that cannot
        // be looked at (no permission) is an error.
        if (ec)
            throw EXSSerializationException("Cannot read the file " + path + ": " + ec.message());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, ec) || !in)
        throw EXSSerializationException("Cannot read the file " + path);
    std::string bytes;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0)
        bytes.append(buf, static_cast<size_t>(in.gcount()));
    if (in.bad())
        throw EXSSerializationException("Cannot read the file " + path);
    LoadFromBytes(bytes);
    if (OnXMLLoad)
        OnXMLLoad(*this);
    return true;
}

void TXMLSerializer::LoadFromBytes(std::string_view bytes) {
    document_ = ParseXMLDocument(bytes);
}

std::string TXMLSerializer::DocumentBytes() {
    return WriteXMLDocument(Document(), settings_->WellFormated());
}

bool TXMLSerializer::SaveToFile(std::string_view fileName) {
    try {
        const std::string path = ResolveFileName(fileName);
        if (path.empty())
            return false;
        const std::string bytes = DocumentBytes();
        // Written beside the target and renamed over it, so that the file is
        // either the old one or the complete new one.
        const std::string temp = path + ".tmp";
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                std::error_code ec;
                std::filesystem::remove(temp, ec);
                return false;
            }
        }
        std::error_code ec;
        std::filesystem::rename(temp, path, ec);
        if (ec) {
            std::filesystem::remove(temp, ec);
            return false;
        }
        if (OnXMLSave)
            OnXMLSave(*this);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

TXMLNode TXMLSerializer::SaveObject(TPersistent* object, std::string name, bool clear,
                                    TXMLNode parent) {
    if (!object)
        return nullptr;
    name = ObjectName(object, std::move(name));
    if (name.empty())
        return nullptr;
    if (!parent)
        parent = Root();
    if (clear)
        while (TXMLNode child = parent->children) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        }
    return WriteObject(parent, object, name);
}

TXMLNode TXMLSerializer::WriteObject(TXMLNode parent, TPersistent* object,
                                     const std::string& name) {
    DepthGuard guard(writeDepth_);
    bool skip = false;
    if (OnObjectSaving)
        OnObjectSaving(*this, object, name, parent, skip);
    if (skip)
        return nullptr;
    TXMLNode element = AddElement(parent, ClassElement);
    SetAttr(element, "classname", object->ClassName());
    SetAttr(element, "name", name);

    const std::vector<const TPropertyInfo*>& declared = object->ClassType().Properties();
    std::vector<const TPropertyInfo*> sorted;
    const std::vector<const TPropertyInfo*>* props = &declared;
    if (StorageOptions.Contains(soSortProperties) && declared.size() > 1) {
        sorted = declared;
        std::stable_sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) {
            return UpperCase(a->Name) < UpperCase(b->Name);
        });
        props = &sorted;
    }
    if (!props->empty()) {
        TXMLNode properties = AddElement(element, PropertiesElement);
        for (const TPropertyInfo* p : *props)
            WriteProperty(properties, object, name, *p);
    }
    WriteSpecialClass(element, object);
    if (OnObjectSave)
        OnObjectSave(*this, object, name, element);
    return element;
}

void TXMLSerializer::WriteProperty(TXMLNode properties, TPersistent* object,
                                   const std::string& objectName, const TPropertyInfo& prop) {
    if (prop.Kind == TPropertyKind::Method || !prop.IsStored(*object))
        return;
    bool skip = false;
    if (OnPropertySaving)
        OnPropertySaving(*this, object, objectName, prop.Name, skip);
    if (skip)
        return;

    switch (prop.Kind) {
    case TPropertyKind::Enumeration: {
        // Equal to the declared default: not written. Without a default the
        // marker counts as true for a Boolean, so a true Boolean is not written.
        const int64_t value = prop.GetOrdinal(*object);
        const bool isDefault =
            prop.Enum->IsBoolean() ? (value != 0) == (prop.Default != 0) : value == prop.Default;
        if (isDefault)
            return;
        std::string identifier = prop.Enum->Name(value);
        if (identifier.empty())
            identifier = std::to_string(value);
        AddText(AddPropertyElement(properties, prop.Name, "Enumeration"), identifier);
        return;
    }
    case TPropertyKind::Class: {
        TPersistent* value = prop.GetObject(*object);
        if (!value)
            return;
        if (auto* component = dynamic_cast<TComponent*>(value)) {
            auto* self = dynamic_cast<TComponent*>(object);
            const bool owned = self && component->Owner() == self;
            if (!owned || self->FindComponent(component->Name()) == component) {
                if (!StorageOptions.Contains(soIncludeObjectLinks))
                    return;
                TXMLNode node = AddPropertyElement(properties, prop.Name, "ObjectLink");
                SetAttr(node, "class", component->ClassName());
                AddText(node, component->Name());
                return;
            }
        }
        TXMLNode node = AddPropertyElement(properties, prop.Name, "Object");
        SetAttr(node, "class", value->ClassName());
        WriteObject(node, value, prop.Name);
        return;
    }
    default: {
        const Variant value = prop.Get(*object);
        AddText(AddPropertyElement(properties, prop.Name, VarTypeName(value.Type())),
                VariantToText(value));
        return;
    }
    }
}

void TXMLSerializer::WriteSpecialClass(TXMLNode element, TPersistent* object) {
    if (SpecialClasses.Contains(scTCollection))
        if (auto* collection = dynamic_cast<TCollection*>(object)) {
            TXMLNode data = AddElement(element, CustomDataElement);
            for (int i = 0; i < collection->Count(); ++i)
                WriteObject(data, collection->Items(i), ItemName(i));
            return;
        }
    if (SpecialClasses.Contains(scTStrings))
        if (auto* strings = dynamic_cast<TStrings*>(object)) {
            TXMLNode data = AddElement(element, CustomDataElement);
            AddText(AddPropertyElement(data, "Text", "String"), strings->Text());
            return;
        }
    if (SpecialClasses.Contains(scTBitmap))
        if (auto* picture = dynamic_cast<TPicture*>(object)) {
            TXMLNode data = AddElement(element, CustomDataElement);
            const std::string base64 = EncodeBase64(picture->Bitmap());
            xmlAddChild(data, xmlNewCDataBlock(element->doc, X(base64.c_str()),
                                               static_cast<int>(base64.size())));
            return;
        }
}

std::string TXMLSerializer::VariantToText(const Variant& value) const {
    const int offset = value.Type() == varDate ? LocalUtcOffsetMinutes() : 0;
    return XSVariantToText(value, settings_->XSNormalization(), offset);
}

Variant TXMLSerializer::TextToVariant(const std::string& text, int type) const {
    const int offset = type == varDate ? LocalUtcOffsetMinutes() : 0;
    return XSTextToVariant(text, type, settings_->XSNormalization(), offset);
}

void TXMLSerializer::Assign(const TPersistent& source) {
    const auto* from = dynamic_cast<const TXMLSerializer*>(&source);
    if (!from) {
        TComponent::Assign(source);
        return;
    }
    if (from == this)
        return;
    FileName = from->FileName;
    SpecialClasses = from->SpecialClasses;
    StorageOptions = from->StorageOptions;
    settings_->Assign(*from->settings_);
}

std::unique_ptr<TXMLSerializer> CreateProgramSerializer(TComponent* owner) {
    auto serializer = std::make_unique<TXMLSerializer>(owner);
    serializer->XMLSettings().SetWellFormated(true);
    serializer->XMLSettings().SetEncoding("ISO-8859-2");
    serializer->StorageOptions = {soRecreateCollectionItems};
    serializer->SpecialClasses = {scTCollection};
    return serializer;
}

} // namespace pelmora::core
