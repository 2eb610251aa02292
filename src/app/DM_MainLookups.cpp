// Translations of identifiers between the CRM and the ERP, the CRM's system
// registry and its fixed status list.

#include "app/DM_Main.h"
#include "app/DM_MainQueries.h"
#include "core/ConvertError.h"
#include "core/SystemFormats.h"
#include "core/Text.h"

#include <array>
#include <exception>
#include <limits>

namespace pelmora::app {

namespace {

// Registry entry holding the identifier of the default supplier.
constexpr const char* DefaultSupplierEntry = "dostawca_domyslny";
// SLO_AKTYW of an active dictionary entry.
constexpr int ActiveEntry = 1;

// The CRM's fixed status list: identifier and name.
struct StatusEntry {
    int Id;
    const char* Name;
};
constexpr std::array<StatusEntry, 5> StatusList{{
    {1, "otwarty"},
    {2, "skasowany"},
    {3, "zaakceptowany"},
    {4, "wydrukowany"},
    {5, "anulowany"},
}};

// An EXID column's value: "" for null; false when there is no row.
bool ExidOf(db::Query& query, std::initializer_list<TParamValue> params, std::string_view field,
            std::string& exid) {
    const std::optional<core::Variant> value = FirstFieldValue(query, params, field);
    if (!value)
        return false;
    exid = value->ToString(); // Null gives ""
    return true;
}

// An identifier column's value; false when there is no row.
bool IdOf(db::Query& query, std::initializer_list<TParamValue> params, std::string_view field,
          int& id) {
    const std::optional<core::Variant> value = FirstFieldValue(query, params, field);
    if (!value)
        return false;
    id = value->ToInt();
    return true;
}

// A registry text as an integer; raises ConvertError for any other text.
int RegistryInteger(const std::string& text) {
    const int64_t value = core::StrToInt64(text);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw core::ConvertError("'" + text + "' is not a valid integer value");
    return static_cast<int>(value);
}

} // namespace

// ---- System registry

bool TDM_Main::ReadRegistryInt(const std::string& name, int& value) {
    const std::optional<core::Variant> text = FirstFieldValue(
        queries_->Q_SysRegistryValue_byName, {{"KeyName", name}}, "RES_ENTRY_VALUE");
    if (!text)
        return false;
    value = RegistryInteger(text->ToString());
    return true;
}

bool TDM_Main::ReadRegistryDate(const std::string& name, core::TDateTime& value) {
    const std::optional<core::Variant> text = FirstFieldValue(
        queries_->Q_SysRegistryValue_byName, {{"KeyName", name}}, "RES_ENTRY_VALUE");
    if (!text)
        return false;
    value = core::StrToDateTime(text->ToString());
    return true;
}

bool TDM_Main::WriteRegistryValue(const std::string& name, const std::string& value) {
    try {
        ExecuteWith(queries_->Q_Upd_SysRegistry,
                    {{"RES_ENTRY_VALUE", value}, {"RES_ENTRY_NAME", name}});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// ---- Identifier translations

bool TDM_Main::RepExidById(int repId, std::string& exid) {
    const std::optional<core::Variant> value =
        FirstFieldValue(queries_->Q_CRMFindRep_byID, {{"RepID", repId}}, "REP_EXID");
    if (!value || value->IsNull())
        return false;
    exid = value->ToString();
    return true;
}

bool TDM_Main::RepIdByExid(const std::string& exid, int& repId) {
    return IdOf(queries_->Q_CRMFindRep_byEXID, {{"RepEXID", exid}}, "REP_ID", repId);
}

bool TDM_Main::ProductExidById(int productId, std::string& exid) {
    return ExidOf(queries_->Q_CRMFindTowar3_byID, {{"TowarID", productId}}, "TO3_EXID", exid);
}

bool TDM_Main::ProductIdByExid(const std::string& exid, int& productId) {
    return IdOf(queries_->Q_CRMFindTowar3_byEXID, {{"TowarEXID", exid}}, "TO3_ID", productId);
}

bool TDM_Main::UnitExidById(int unitId, std::string& exid) {
    return ExidOf(queries_->Q_CRMFindJednostka_byID, {{"JednostkaId", unitId}}, "JED_EXID", exid);
}

bool TDM_Main::UnitIdByExid(const std::string& exid, int& unitId) {
    return IdOf(queries_->Q_CRMFindJednostka_byEXID, {{"JednostkaEXID", exid}}, "JED_ID", unitId);
}

bool TDM_Main::CustomerExidById(int customerId, std::string& exid) {
    return ExidOf(queries_->Q_CRMFindKlient_byID, {{"KlientID", customerId}}, "KLI_EXID", exid);
}

bool TDM_Main::CustomerIdByExid(const std::string& exid, int& customerId) {
    return IdOf(queries_->Q_CRMFindKlient_byEXID, {{"KlientEXID", exid}}, "KLI_ID", customerId);
}

bool TDM_Main::PayerExidById(int payerId, std::string& exid) {
    return ExidOf(queries_->Q_CRMFindPlatnik_byID, {{"PlatnikID", payerId}}, "PLA_EXID", exid);
}

bool TDM_Main::PayerIdByExid(const std::string& exid, int& payerId) {
    return IdOf(queries_->Q_CRMFindPlatnik_byEXID, {{"PlatnikEXID", exid}}, "PLA_ID", payerId);
}

bool TDM_Main::SupplierExidById(int supplierId, std::string& exid) {
    return ExidOf(queries_->Q_CRMFindDostawca_byID, {{"DostawcaID", supplierId}}, "DST_EXID", exid);
}

bool TDM_Main::SupplierIdByExid(const std::string& exid, int& supplierId) {
    if (!exid.empty() &&
        IdOf(queries_->Q_CRMFindDostawca_byEXID, {{"DostawcaEXID", exid}}, "DST_ID", supplierId))
        return true;
    return ReadRegistryInt(DefaultSupplierEntry, supplierId);
}

bool TDM_Main::DictionaryIdByName(int categoryId, const std::string& name, int& dictionaryId) {
    return IdOf(queries_->Q_CRMFindSlownik_byName, {{"SloKateg", categoryId}, {"SloNazwa", name}},
                "SLO_ID", dictionaryId);
}

bool TDM_Main::DictionaryExidById(int dictionaryId, std::string& exid) {
    return ExidOf(queries_->Q_CRMFindSlownikEXT_byID, {{"SloId", dictionaryId}}, "SOE_EXID", exid);
}

bool TDM_Main::DictionaryIdByExid(int categoryId, const std::string& exid, int& dictionaryId) {
    // The EXID is passed as given: only an upper-case one can match.
    return IdOf(queries_->Q_CRMFindSlownikEXT_byEXID,
                {{"SloEXID", exid}, {"KategId", categoryId}, {"Aktywny", ActiveEntry}},
                "SOE_ID_SLO", dictionaryId);
}

// ---- Fixed status list

bool TDM_Main::StatusIdByName(const std::string& name, int& statusId) {
    for (const StatusEntry& s : StatusList)
        if (name == s.Name) {
            statusId = s.Id;
            return true;
        }
    return false;
}

bool TDM_Main::StatusNameById(int statusId, std::string& name) {
    for (const StatusEntry& s : StatusList)
        if (statusId == s.Id) {
            name = s.Name;
            return true;
        }
    return false;
}

// ---- Existence checks in schema qad (ERP)

bool TDM_Main::ErpProductExists(const std::string& productId) {
    return HasRow(queries_->Q_ERPFindProdukt, {{"UProduktId", core::UpperCase(productId)}});
}

bool TDM_Main::ErpCustomerExists(const std::string& customerId) {
    return HasRow(queries_->Q_ERPFindKlient, {{"UKlientId", core::UpperCase(customerId)}});
}

bool TDM_Main::ErpAgentExists(const std::string& agent) {
    return HasRow(queries_->Q_ERPFindAgent, {{"UAgent", core::UpperCase(agent)}});
}

} // namespace pelmora::app
