#pragma once
// The run configuration: which object kinds a run processes, the work
// directory of the exchange files and a few stored options. One object, owned
// by TDM_Main, lives as long as the program; the operator saves it to an XML
// file and loads it back, and a file named on the command line is loaded at
// start-up. The file is an ordinary serialized object (class element
// "TSettingsFile"), written in ISO-8859-2 by the program's serializer.

#include "core/Persistent.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora::app {

class TDM_Main;

// The object-list set: one bit per object kind (bit 0x8000 has no name).
using TObjectListSet = uint16_t;

// One object kind of the set: its name in ObjectListToProcess and its bit.
struct TObjectListKind {
    std::string_view Name;
    TObjectListSet Bit;
};

// NOTE: the one table of the object kinds. Its order is the order of the names
// in the text form of the set; the queue driver and the main window's switches
// use the bit constants below, which are taken from this table.
inline constexpr TObjectListKind ObjectListKinds[] = {
    {"ERP_Produkt", 0x0002},           // products and units of measure
    {"ERP_Cennik", 0x0004},            // price lists: no queue
    {"ERP_Klient", 0x0001},            // customers
    {"ERP_StanMagazynowy", 0x0008},    // stock levels: no queue
    {"CRM_Zamowienie", 0x0010},        // CRM orders
    {"CRM_Faktura", 0x0020},           // CRM invoices
    {"ERP_Faktura", 0x0040},           // ERP invoices and invoice corrections
    {"ERP_FakturaKorygujaca", 0x0080}, // no queue of its own
    {"CRM_KasaPrzyjela", 0x0100},      // CRM cash receipts
    {"CRM_WydanieZMagazynu", 0x0800},  // CRM warehouse issues and their feedback
    {"ERP_WydanieZMagazynu", 0x0400},  // ERP warehouse issues and invoice feedback
    {"CRM_Zatowarowanie", 0x2000},     // CRM deliveries and their feedback
    {"ERP_PrzesuniecieMM", 0x1000},    // ERP inter-warehouse moves
    {"ERP_Naleznosc", 0x0200},         // receivables
    {"CRM_Reklamacja", 0x4000},        // CRM complaints and their feedback
};

// The bit of a kind named in the table; 0 for a name it does not hold.
constexpr TObjectListSet ObjectListBit(std::string_view name) {
    for (const TObjectListKind& kind : ObjectListKinds)
        if (kind.Name == name)
            return kind.Bit;
    return 0;
}

// The bits of the set, by the names of the kinds.
inline constexpr TObjectListSet ERP_Klient = ObjectListBit("ERP_Klient");
inline constexpr TObjectListSet ERP_Produkt = ObjectListBit("ERP_Produkt");
inline constexpr TObjectListSet ERP_Cennik = ObjectListBit("ERP_Cennik");
inline constexpr TObjectListSet ERP_StanMagazynowy = ObjectListBit("ERP_StanMagazynowy");
inline constexpr TObjectListSet CRM_Zamowienie = ObjectListBit("CRM_Zamowienie");
inline constexpr TObjectListSet CRM_Faktura = ObjectListBit("CRM_Faktura");
inline constexpr TObjectListSet ERP_Faktura = ObjectListBit("ERP_Faktura");
inline constexpr TObjectListSet ERP_FakturaKorygujaca = ObjectListBit("ERP_FakturaKorygujaca");
inline constexpr TObjectListSet CRM_KasaPrzyjela = ObjectListBit("CRM_KasaPrzyjela");
inline constexpr TObjectListSet ERP_Naleznosc = ObjectListBit("ERP_Naleznosc");
inline constexpr TObjectListSet ERP_WydanieZMagazynu = ObjectListBit("ERP_WydanieZMagazynu");
inline constexpr TObjectListSet CRM_WydanieZMagazynu = ObjectListBit("CRM_WydanieZMagazynu");
inline constexpr TObjectListSet ERP_PrzesuniecieMM = ObjectListBit("ERP_PrzesuniecieMM");
inline constexpr TObjectListSet CRM_Zatowarowanie = ObjectListBit("CRM_Zatowarowanie");
inline constexpr TObjectListSet CRM_Reklamacja = ObjectListBit("CRM_Reklamacja");

// The text form of a set: the names of its bits in the table's order, joined
// by "," without blanks; the empty set gives the empty text.
std::string ObjectListText(TObjectListSet set);
// The set a text names: every bit whose name occurs anywhere in the text
// (case-sensitive substring test; separators are not looked at), so
// "ERP_FakturaKorygujaca" also sets ERP_Faktura.
TObjectListSet ObjectListFromText(std::string_view text);

class TSettingsFile : public core::TPersistent {
    PELMORA_CLASS(TSettingsFile, core::TPersistent)
public:
    // The defaults. Load and Save create their serializer through the owner's
    // CreateSerializer; without an owner, a serializer with the same settings.
    explicit TSettingsFile(TDM_Main* owner = nullptr) : owner_(owner) {}

    // Published properties, in the order the serializer writes them.
    std::string CRMUser;               // kept and written back; no step reads it
    std::string CRMPassword;           // kept and written back; no step reads it
    std::string MFGUser;               // kept and written back; no step reads it
    std::string MFGPassword;           // kept and written back; no step reads it
    std::string WorkDirectory;         // the work directory of the exchange files
    bool AkceptNaleznoscKlient = true; // the main window's receivables option
    // ObjectListToProcess: the text form of ObjectList (reader and writer below).

    // The object-list set itself.
    TObjectListSet ObjectList = 0;

    // Reader and writer of ObjectListToProcess: ObjectListText(ObjectList), and
    // ObjectList := ObjectListFromText(text) (the set is cleared first).
    std::string ObjectListToProcess() const { return ObjectListText(ObjectList); }
    void SetObjectListToProcess(const std::string& text) { ObjectList = ObjectListFromText(text); }

    // Reads the configuration from `fileName`. A missing file reads nothing and
    // answers true; a file that is not well-formed XML, or a value that cannot
    // be set, answers false and leaves the configuration as it was. Properties
    // the file holds replace the current values; the others keep theirs. No
    // log entry: the caller reports.
    bool Load(const std::string& fileName);
    // Writes the configuration to `fileName`, replacing an existing file; false
    // on any failure, without a log entry.
    bool Save(const std::string& fileName);

    // Copies every value of another TSettingsFile (the set bit for bit).
    void Assign(const core::TPersistent& source) override;

private:
    TDM_Main* owner_; // not owned; supplies the serializer
};

} // namespace pelmora::app
