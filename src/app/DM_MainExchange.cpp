// Document state in the CRM and the ERP's exchange table dbo.Wymiana_Danych.

#include "app/DM_Main.h"
#include "app/DM_MainQueries.h"
#include "core/Text.h"

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

namespace pelmora::app {

namespace {

// The entry of a failed state update, with the document's identifier.
constexpr const char* StateError =
    "Błąd podczas zapisywania stanu wymiany danych z systemem dla dokumentu o ID=%d";

} // namespace

std::string ExidEntryTypeText(TExidEntryType type) {
    switch (type) {
    case TExidEntryType::ZlecenieEXID:
        return "ZlecenieEXID";
    case TExidEntryType::FakturaEXID:
        return "FakturaEXID";
    case TExidEntryType::WplataGotowkiEXID:
        return "WplataGotowkiEXID";
    case TExidEntryType::WydanieZMagazynuEXID:
        return "WydanieZMagazynuEXID";
    }
    return {};
}

bool TDM_Main::MarkSalesDocumentExported(const std::string& documentGuid, t_zlecenie_sp kind) {
    try {
        switch (kind) {
        case zsZamowienie:
        case zsFaktura:
            ExecuteWith(queries_->Q_Upd_ZlecenieSP, {{"ID", documentGuid}});
            break;
        case zsKasaPrzyjela:
            ExecuteWith(queries_->Q_UpdateKP, {{"ID", documentGuid}});
            break;
        default:
            break; // no state to keep for the other kinds
        }
        return true;
    } catch (const std::exception& e) {
        // The GUID text stands where the message has its number.
        log_->AddError(core::Format(core::ReplaceAll(StateError, "%d", "%s"), {documentGuid}));
        LogFailureCause(e);
        return false;
    }
}

bool TDM_Main::SetWarehouseDocumentState(int state, int documentId, int kindCode) {
    try {
        ExecuteWith(queries_->Q_Upd_DokumentMag,
                    {{"DMG_FLAGA3", state}, {"DMG_ID", documentId}, {"DMG_FLAGA2", kindCode}});
        return true;
    } catch (const std::exception& e) {
        log_->AddError(core::Format(StateError, {documentId}));
        LogFailureCause(e);
        return false;
    }
}

bool TDM_Main::DeleteQueueEntry(int entryId) {
    try {
        ExecuteWith(queries_->Q_DelKolejka, {{"KolejkaId", entryId}});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TDM_Main::AddExidToQueue(int objectId, int crmId, const std::string& extra,
                              TExidEntryType type) {
    const std::string typeText = ExidEntryTypeText(type);
    try {
        if (typeText.empty())
            throw std::invalid_argument("Unknown entry type " +
                                        std::to_string(static_cast<int>(type)));
        // The maximum and the insert go together.
        TOwnTransaction transaction(ERP_Connection);
        const std::optional<core::Variant> max =
            FirstFieldValue(queries_->Q_MaxKolejkaId, {}, "max");
        // An empty table has no maximum: the first key is 1.
        const int64_t key = (max && !max->IsNull() ? max->ToInt64() : 0) + 1;
        ExecuteWith(queries_->Q_Ins_Kolejka,
                    {{"KolejkaId", key},
                     {"ID", objectId},
                     {"Typ", typeText},
                     {"CRMId", crmId},
                     {"Num2", extra.empty() ? core::Variant::Null() : core::Variant(extra)}});
        transaction.Commit();
        return true;
    } catch (const std::exception& e) {
        log_->AddError(core::Format("Blad dodawania EXID do kolejki wymiany danych. Identyfikator "
                                    "obiektu %d Typ Obiektu %s ",
                                    {objectId, typeText}));
        LogFailureCause(e);
        return false;
    }
}

} // namespace pelmora::app
