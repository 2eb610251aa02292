#include "exchange/InterfaceObject.h"

#include "app/DM_Main.h"
#include "core/ClassBuilder.h"
#include "core/XMLSerializer.h"

#include <memory>

namespace pelmora::exchange {

namespace {

// The serializer of every exchange file: TDM_Main's while it exists (the
// program), otherwise one with the same settings (tools without a start-up).
std::unique_ptr<core::TXMLSerializer> NewSerializer() {
    if (app::DM_MainExists())
        return app::DM_Main().CreateSerializer();
    return core::CreateProgramSerializer(nullptr);
}

[[noreturn]] void NotOverridden(std::string_view operation) {
    throw EInterfaceObjectError("Nie nadpisana funkcja " + std::string(operation));
}

} // namespace

const core::TClassInfo& TInterfaceObject::StaticClass() {
    static const core::TClassInfo info = core::TClassBuilder<TInterfaceObject>();
    return info;
}

bool TInterfaceObject::LoadFromXML() {
    NotOverridden("LoadFromXML");
}

bool TInterfaceObject::SaveToXML() {
    NotOverridden("SaveToXML");
}

bool TInterfaceObject::LoadFromDB() {
    NotOverridden("LoadFromDB");
}

bool TInterfaceObject::SaveToDB() {
    NotOverridden("SaveToDB");
}

bool TInterfaceObject::StandardLoadFromXML() {
    try {
        std::unique_ptr<core::TXMLSerializer> serializer = NewSerializer();
        // A missing file keeps the empty document: nothing is read.
        serializer->LoadFromFile(XmlFilePath);
        serializer->LoadObject(this, ClassName());
        return true;
    } catch (...) {
        return false;
    }
}

bool TInterfaceObject::StandardSaveToXML() {
    try {
        std::unique_ptr<core::TXMLSerializer> serializer = NewSerializer();
        serializer->SaveObject(this, ClassName());
        return serializer->SaveToFile(XmlFilePath);
    } catch (...) {
        return false;
    }
}

void TInterfaceObject::NotImplemented(std::string_view operation) const {
    throw EInterfaceObjectError(NotImplementedText(ClassName(), operation));
}

std::string NotImplementedText(std::string_view className, std::string_view operation) {
    return "Funkcja " + std::string(className) + "." + std::string(operation) +
           " nie jest zaimplementowana";
}

} // namespace pelmora::exchange
