#pragma once
// The abstract exchange object. Every record kind that crosses between the
// two systems has an ERP-side and a CRM-side class derived from it; a queue
// moves one record through the four operations: read it from a database,
// write it to an XML file, read it from an XML file, write it to a database.
// Each published property becomes one "property" element of the XML file.
//
//   class TERPProductObject : public TInterfaceObject {
//       PELMORA_CLASS(TERPProductObject, TInterfaceObject)
//   public:
//       core::Variant ID, KolejkaId;
//       bool LoadFromXML() override { return StandardLoadFromXML(); }
//       bool SaveToXML() override { return StandardSaveToXML(); }
//       bool LoadFromDB() override;
//       bool SaveToDB() override { NotImplemented("SaveToDB"); }
//   };

#include "core/Persistent.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora::db {
class Connection;
}

namespace pelmora::exchange {

// A failure raised by an exchange operation that its class does not provide.
class EInterfaceObjectError : public std::runtime_error {
public:
    explicit EInterfaceObjectError(const std::string& message) : std::runtime_error(message) {}
};

class TInterfaceObject : public core::TPersistent {
    PELMORA_CLASS(TInterfaceObject, core::TPersistent)
public:
    TInterfaceObject() = default;

    // Full path of the XML file LoadFromXML reads and SaveToXML writes; set by the queue.
    std::string XmlFilePath;
    // The ERP connection for ERP-side classes, the CRM connection for CRM-side
    // ones; set by the queue, not owned.
    db::Connection* Connection = nullptr;

    // The four operations, true on success. The base raises
    // EInterfaceObjectError "Nie nadpisana funkcja <operation>"; every concrete
    // class overrides all four.
    virtual bool LoadFromXML();
    virtual bool SaveToXML();
    virtual bool LoadFromDB();
    virtual bool SaveToDB();

protected:
    // The standard LoadFromXML: a serializer from CreateSerializer loads
    // XmlFilePath and this object is read from the "class" element whose class
    // name and name are both its class name. A missing file reads nothing and
    // gives true; any failure on the way (not well-formed XML, a value that
    // cannot be set) gives false without a log entry.
    bool StandardLoadFromXML();
    // The standard SaveToXML: this object written as a "class" element named
    // after its class below the root, the document saved to XmlFilePath; false
    // when anything failed (no log entry). A class's follow-up step comes after.
    bool StandardSaveToXML();

    // Raises EInterfaceObjectError "Funkcja <class>.<operation> nie jest
    // zaimplementowana", for the operations a class does not support.
    [[noreturn]] void NotImplemented(std::string_view operation) const;
};

// The text NotImplemented raises.
std::string NotImplementedText(std::string_view className, std::string_view operation);

} // namespace pelmora::exchange
