#include "objects/customers/C2M_KlientListQueue.h"

#include "app/DM_Klient.h"
#include "app/DM_Main.h"
#include "core/Log.h"
#include "core/Text.h"
#include "db/Query.h"

#include <exception>

namespace pelmora::objects {

namespace {

// A field of the current row as text; NULL gives the empty text.
std::string FieldText(const db::Query& query, const char* name) {
    return query.FieldByName(name).ToString();
}

// The cause of a failure as the database or the conversion told it.
std::string Cause(const std::exception& e) {
    return core::Trim(e.what());
}

} // namespace

void SplitKontrahentName(const std::string& name, std::string& nazwa, std::string& nazwa2) {
    if (core::Utf8Length(name) > KontrahentNazwa1Length) {
        nazwa = core::Utf8Left(name, KontrahentNazwa1Length);
        nazwa2 = core::Utf8Mid(name, KontrahentNazwa1Length);
    } else {
        nazwa = name;
        nazwa2.clear();
    }
}

void TC2M_KlientListQueue::Process() {
    Items.clear();
    DatabaseItemCount = 0;
    if (!CollectFromDatabase())
        return;
    app::TProgress& progress = Progress();
    progress.StartElementProgress(static_cast<int>(Items.size()));
    for (size_t i = 0; i < Items.size(); ++i) {
        progress.ShowElement(static_cast<int>(i + 1));
        if (UpdateKontrahent(Items[i]))
            progress.ElementProcessed();
        else
            progress.ElementNotProcessed();
        progress.StepElement();
        ProcessEvents();
        if (StopRequested())
            break;
    }
}

bool TC2M_KlientListQueue::CollectFromDatabase() {
    Log().AddInfo("Rozpoczęcie zbierania obiektów z bazy danych");
    db::Query& query = Main().Q_ZmianaDanychKlienta;
    try {
        query.Close();
        query.Open();
        while (!query.Eof()) {
            RObiektKlient item;
            item.CUS_GUID = FieldText(query, "CUS_GUID");
            item.Knt_KntId = FieldText(query, "Knt_KntId");
            item.CUS_LONG_NAME = FieldText(query, "CUS_LONG_NAME");
            item.ADR_CITY = FieldText(query, "ADR_CITY");
            item.ADR_POSTALCODE = FieldText(query, "ADR_POSTALCODE");
            item.ADR_STREET = FieldText(query, "ADR_STREET");
            item.ADR_HOUSENUMBER = FieldText(query, "ADR_HOUSENUMBER");
            item.CUS_TAX_NUMBER = FieldText(query, "CUS_TAX_NUMBER");
            Items.push_back(std::move(item));
            query.Next();
            ProcessEvents();
            if (StopRequested()) {
                query.Close();
                return false;
            }
        }
        query.Close();
    } catch (const std::exception& e) {
        query.Close();
        // Without this entry an unreachable database would look like a run
        // with nothing to do.
        Log().AddError(core::Format(
            "Błąd podczas zbierania zmienionych danych klientów z bazy danych:\r\n%s", {Cause(e)}));
        return false;
    }
    DatabaseItemCount = static_cast<int>(Items.size());
    Log().AddInfo(core::Format("Liczba elementów: %d", {DatabaseItemCount}));
    Log().AddInfo("Zakończenie zbierania obiektów z bazy danych");
    return true;
}

bool TC2M_KlientListQueue::UpdateKontrahent(const RObiektKlient& item) {
    try {
        std::string nazwa, nazwa2;
        SplitKontrahentName(item.CUS_LONG_NAME, nazwa, nazwa2);
        db::Query& update = app::DM_Klient().Q_UpdateKontrahent;
        update.Close();
        // Wide texts for the names and the address, plain texts for the
        // postal code and the tax number; an empty text stays a text, not NULL.
        update.SetParam("Nazwa", core::Variant::FromOleStr(core::Trim(nazwa)));
        update.SetParam("Nazwa2", core::Variant::FromOleStr(core::Trim(nazwa2)));
        update.SetParam("Miasto", core::Variant::FromOleStr(core::Trim(item.ADR_CITY)));
        update.SetParam("Kod", core::Variant(core::Trim(item.ADR_POSTALCODE)));
        update.SetParam("Ulica", core::Variant::FromOleStr(core::Trim(item.ADR_STREET)));
        update.SetParam("NumerDomu", core::Variant::FromOleStr(core::Trim(item.ADR_HOUSENUMBER)));
        update.SetParam("NIP", core::Variant(core::Trim(item.CUS_TAX_NUMBER)));
        update.SetParam("KontrahentId",
                        core::Variant(core::Variant(core::Trim(item.Knt_KntId)).ToInt()));
        update.Execute();
        return true;
    } catch (const std::exception& e) {
        // The item is counted as not processed; the cause says why.
        Log().AddError(
            core::Format("Błąd aktualizacji danych kontrahenta o ID=%s (klient %s):\r\n%s",
                         {item.Knt_KntId, item.CUS_GUID, Cause(e)}));
        return false;
    }
}

} // namespace pelmora::objects
