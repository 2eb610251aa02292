#pragma once
// Writes the published properties of an object, and of the objects and
// collections hanging from it, into an XML document, and reads them back into
// an existing object; loads and saves the document as a file. It knows no
// exchange classes: everything comes from the class information (ClassInfo.h).
//
// Saving:   auto s = CreateProgramSerializer(owner);
//           s->SaveObject(&obj, obj.ClassName());  s->SaveToFile(path);
// Loading:  auto s = CreateProgramSerializer(owner);
//           s->LoadFromFile(path);  s->LoadObject(&obj, obj.ClassName());

#include "core/ClassInfo.h"
#include "core/Component.h"
#include "core/Persistent.h"
#include "core/Variant.h"
#include "core/XMLDocumentText.h"
#include "core/XMLValueText.h"

#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

struct _xmlDoc;
struct _xmlNode;

namespace pelmora::core {

// An element of the serializer's document (libxml2's node).
using TXMLNode = _xmlNode*;

// Container kinds whose contents are written in a "customdata" element.
PELMORA_ENUM(TxsSpecialClassType, scTStrings, scTCollection, scTBitmap);
// Switches of writing and reading.
PELMORA_ENUM(TxsStorageOptionType, soIncludeObjectLinks, soSortProperties, soIgnoreSetPropertyError,
             soRecreateCollectionItems);
// The declaration's standalone value.
PELMORA_ENUM_CLASS(TxsStandaloneType, No, Yes);

using TxsSpecialClasses = TSetOf<TxsSpecialClassType>;
using TxsStorageOptions = TSetOf<TxsStorageOptionType>;

class EXSSerializationException : public std::runtime_error {
public:
    explicit EXSSerializationException(const std::string& message) : std::runtime_error(message) {}
};

// A property that could not be set while reading; what() is always
// "XML Serializer. Cannot set property value".
class EXSSetPropertyException : public EXSSerializationException {
public:
    EXSSetPropertyException(std::string propertyName, std::string reason);
    // The property and the error that kept it from being set.
    const std::string& PropertyName() const { return propertyName_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string propertyName_;
    std::string reason_;
};

class TXMLSerializer;

// Output settings of one serializer, acting directly on its document.
class TxsXMLSettings : public TPersistent {
    PELMORA_CLASS(TxsXMLSettings, TPersistent)
public:
    explicit TxsXMLSettings(TXMLSerializer& serializer) : serializer_(serializer) {}

    // The encoding named in the document's declaration (default "ISO-8859-1").
    std::string Encoding() const;
    void SetEncoding(const std::string& encoding);
    // The declaration's standalone value (default Yes).
    TxsStandaloneType Standalone() const;
    void SetStandalone(TxsStandaloneType value);
    // Normalised text forms of floating-point numbers, dates and nulls (default true).
    bool XSNormalization() const { return xsNormalization_; }
    void SetXSNormalization(bool value) { xsNormalization_ = value; }
    // Every element on its own indented line when the document is written (default false).
    bool WellFormated() const { return wellFormated_; }
    void SetWellFormated(bool value) { wellFormated_ = value; }

    // From other settings: all four values.
    void Assign(const TPersistent& source) override;

private:
    TXMLSerializer& serializer_;
    bool xsNormalization_ = true;
    bool wellFormated_ = false;
};

// The events; none is needed (the program assigns none).
using TxsNotifyEvent = std::function<void(TXMLSerializer& aSender)>;
using TxsOnObjectSave = std::function<void(TXMLSerializer& aSender, TPersistent* aObject,
                                           const std::string& aObjectName, TXMLNode aNode)>;
using TxsOnObjectSaving =
    std::function<void(TXMLSerializer& aSender, TPersistent* aObject,
                       const std::string& aObjectName, TXMLNode aNode, bool& aSkipObject)>;
using TxsOnObjectLoad = TxsOnObjectSave;
using TxsOnObjectLoading = TxsOnObjectSaving;
using TxsOnSetPropertyError =
    std::function<void(TXMLSerializer& aSender, const std::string& aPropertyName, TXMLNode aNode,
                       const std::exception& aE, bool& aHandled)>;
using TxsOnPropertyLoading = std::function<void(
    TXMLSerializer& aSender, TPersistent* aProperty, const std::string& aObjectName,
    const std::string& aPropertyName, TXMLNode aNode, bool& aSkipProperty)>;
using TxsOnPropertySaving = std::function<void(
    TXMLSerializer& aSender, TPersistent* aProperty, const std::string& aObjectName,
    const std::string& aPropertyName, bool& aSkipProperty)>;

class TXMLSerializer : public TComponent {
    PELMORA_CLASS(TXMLSerializer, TComponent)
public:
    explicit TXMLSerializer(TComponent* owner = nullptr);
    ~TXMLSerializer() override;

    // Published properties.
    std::string FileName;                               // used when a file name is empty
    TxsSpecialClasses SpecialClasses;                   // default empty
    TxsStorageOptions StorageOptions{soSortProperties}; // default {soSortProperties}
    TxsXMLSettings& XMLSettings() { return *settings_; }
    const TxsXMLSettings& XMLSettings() const { return *settings_; }
    // Copies the values.
    void SetXMLSettings(const TxsXMLSettings& settings) { settings_->Assign(settings); }

    TxsNotifyEvent OnXMLLoad, OnXMLSave;
    TxsOnObjectSave OnObjectSave;
    TxsOnObjectSaving OnObjectSaving;
    TxsOnObjectLoad OnObjectLoad;
    TxsOnObjectLoading OnObjectLoading;
    TxsOnSetPropertyError OnSetPropertyError;
    TxsOnPropertyLoading OnPropertyLoading;
    TxsOnPropertySaving OnPropertySaving;

    // The document, created on first use: version "1.0", root element
    // "classes", encoding "ISO-8859-1", standalone "yes".
    _xmlDoc* Document();
    // Its root element.
    TXMLNode Root();

    // Trimmed name, empty meaning FileName. A missing file gives false and
    // leaves the document; otherwise the document is replaced by the parsed
    // file, OnXMLLoad is raised and the result is true. Raises EXMLParseError
    // for a file the parser refuses, EXSSerializationException for one that
    // cannot be read.
    bool LoadFromFile(std::string_view fileName = {});
    // The same from bytes already in memory (no file involved, no event).
    void LoadFromBytes(std::string_view bytes);
    // Same name rule; the document's text replaces the file's content (written
    // to a temporary file beside it, then renamed over it); OnXMLSave; true.
    // Any error gives false.
    bool SaveToFile(std::string_view fileName = {});
    // The bytes SaveToFile writes. Raises EncodingError for an unsupported encoding.
    std::string DocumentBytes();

    // Writes `object` as a "class" element under `parent` (default: the root)
    // and returns it; none when nothing was written. An empty name means the
    // component name of a component; still empty, nothing is written. With
    // `clear` the parent's children are removed first.
    TXMLNode SaveObject(TPersistent* object, std::string name, bool clear = false,
                        TXMLNode parent = nullptr);
    // Reads `object` from its "class" element under `parent` (default: the
    // root), found by class name and name ignoring case, and returns that
    // element; none when there is none (not an error). Raises
    // EXSSetPropertyException when a property cannot be set (unless the
    // options or OnSetPropertyError pass over it).
    TXMLNode LoadObject(TPersistent* object, std::string name, TXMLNode parent = nullptr);

    // The value conversions under the current XSNormalization and local offset.
    std::string VariantToText(const Variant& value) const;
    Variant TextToVariant(const std::string& text, int type) const;

    // From another serializer: FileName, SpecialClasses, StorageOptions and the settings.
    void Assign(const TPersistent& source) override;

private:
    friend class TxsXMLSettings;

    TXMLNode WriteObject(TXMLNode parent, TPersistent* object, const std::string& name);
    void WriteProperty(TXMLNode properties, TPersistent* object, const std::string& objectName,
                       const TPropertyInfo& prop);
    void WriteSpecialClass(TXMLNode element, TPersistent* object);
    TXMLNode ReadObject(TXMLNode parent, TPersistent* object, const std::string& name,
                        TXMLNode from = nullptr);
    void ReadProperty(TXMLNode node, TPersistent* object, const std::string& objectName);
    void SetPropertyFromNode(TPersistent* object, const TPropertyInfo& prop,
                             const std::string& type, const std::string& text);
    void ReadSpecialClass(TXMLNode element, TPersistent* object);
    std::string ResolveFileName(std::string_view fileName) const;

    XmlDocPtr document_;
    std::unique_ptr<TxsXMLSettings> settings_;
    int writeDepth_ = 0; // objects being written, against an object that holds itself
};

// The serializer with the program's settings: WellFormated true, Encoding
// "ISO-8859-2", StorageOptions exactly {soRecreateCollectionItems},
// SpecialClasses exactly {scTCollection}; Standalone Yes, XSNormalization true.
// NOTE: TDM_Main::CreateSerializer returns this.
std::unique_ptr<TXMLSerializer> CreateProgramSerializer(TComponent* owner);

} // namespace pelmora::core
