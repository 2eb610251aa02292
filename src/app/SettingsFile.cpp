#include "app/SettingsFile.h"

#include "app/DM_Main.h"
#include "core/ClassBuilder.h"
#include "core/XMLSerializer.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace pelmora::app {

namespace {

// Every name of the table is a distinct single bit, and bit 0x8000 is unnamed.
constexpr bool KindsAreDistinctBits() {
    TObjectListSet seen = 0;
    for (const TObjectListKind& kind : ObjectListKinds) {
        if (kind.Bit == 0 || (kind.Bit & (kind.Bit - 1)) != 0 || (seen & kind.Bit) != 0 ||
            kind.Bit == 0x8000)
            return false;
        seen |= kind.Bit;
    }
    return seen == 0x7FFF;
}
static_assert(KindsAreDistinctBits(), "each object kind needs its own bit");

// Name of the class element and of the entry the configuration is written as.
constexpr const char* EntryName = "TSettingsFile";

std::unique_ptr<core::TXMLSerializer> NewSerializer(TDM_Main* owner) {
    return owner ? owner->CreateSerializer() : core::CreateProgramSerializer(nullptr);
}

} // namespace

std::string ObjectListText(TObjectListSet set) {
    std::string text;
    for (const TObjectListKind& kind : ObjectListKinds)
        if ((set & kind.Bit) != 0) {
            text += kind.Name;
            text += ',';
        }
    if (!text.empty())
        text.pop_back();
    return text;
}

TObjectListSet ObjectListFromText(std::string_view text) {
    TObjectListSet set = 0;
    for (const TObjectListKind& kind : ObjectListKinds)
        if (text.find(kind.Name) != std::string_view::npos)
            set |= kind.Bit;
    return set;
}

const core::TClassInfo& TSettingsFile::StaticClass() {
    using T = TSettingsFile;
    static const core::TClassInfo info =
        core::TClassBuilder<T>()
            .Text("CRMUser", &T::CRMUser)
            .Text("CRMPassword", &T::CRMPassword)
            .Text("MFGUser", &T::MFGUser)
            .Text("MFGPassword", &T::MFGPassword)
            .Text("WorkDirectory", &T::WorkDirectory)
            .Bool("AkceptNaleznoscKlient", &T::AkceptNaleznoscKlient)
            .Default(true)
            .Text("ObjectListToProcess", &T::ObjectListToProcess, &T::SetObjectListToProcess);
    return info;
}

void TSettingsFile::Assign(const core::TPersistent& source) {
    const auto* other = dynamic_cast<const TSettingsFile*>(&source);
    if (!other) {
        core::TPersistent::Assign(source);
        return;
    }
    CRMUser = other->CRMUser;
    CRMPassword = other->CRMPassword;
    MFGUser = other->MFGUser;
    MFGPassword = other->MFGPassword;
    WorkDirectory = other->WorkDirectory;
    AkceptNaleznoscKlient = other->AkceptNaleznoscKlient;
    ObjectList = other->ObjectList;
}

bool TSettingsFile::Load(const std::string& fileName) {
    try {
        // Read into a copy, so a file that fails half-way changes nothing.
        TSettingsFile loaded(owner_);
        loaded.Assign(*this);
        auto serializer = NewSerializer(owner_);
        if (!serializer->LoadFromFile(fileName))
            return true; // no such file: nothing to read
        serializer->LoadObject(&loaded, EntryName);
        Assign(loaded);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TSettingsFile::Save(const std::string& fileName) {
    try {
        auto serializer = NewSerializer(owner_);
        if (!serializer->SaveObject(this, EntryName))
            return false;
        return serializer->SaveToFile(fileName);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace pelmora::app
