// Identifier ranges of the CRM (dba.Zakres) and the allocation of new keys.

#include "app/DM_Main.h"
#include "app/DM_MainQueries.h"
#include "core/Text.h"

#include <exception>

namespace pelmora::app {

namespace {

// A range created by NextId: identifiers 0 to 99999.
constexpr int NewRangeMin = 0;
constexpr int NewRangeMax = 100000; // exclusive

} // namespace

bool TDM_Main::GetIdRange(int table, int rep, int& next) {
    db::Query& q = queries_->Q_CRMGetZakres;
    q.Close();
    q.SetParam("RepID", rep);
    q.SetParam("TabID", table);
    struct CloseAgain {
        db::Query& Query;
        ~CloseAgain() { Query.Close(); }
    } closeAgain{q};
    q.Open();
    if (q.Eof())
        return false;
    const core::Variant& min = q.FieldByName("ZAK_Min");
    const core::Variant& max = q.FieldByName("ZAK_Max");
    if (min.IsUnassigned() || max.IsUnassigned())
        return false;
    if (min.ToInt64() >= max.ToInt64())
        return false;
    next = min.ToInt();
    return true;
}

bool TDM_Main::SetIdRangeMin(int table, int rep, int value) {
    try {
        ExecuteWith(queries_->Q_CRMSetZakres,
                    {{"Val", value + 1}, {"RepID", rep}, {"TabID", table}});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TDM_Main::NextId(int table, int& id) {
    const std::string error = core::Format("Bład pobierania zakresu dla  tabeli %d", {table});
    try {
        // The read of the range and the update of ZAK_Min go together.
        TOwnTransaction transaction(CRM_Connection);
        int next = 0;
        if (!GetIdRange(table, RangeOwner, next)) {
            db::Query& insert = queries_->Q_InsZakres;
            insert.SetSql(core::Format("INSERT INTO DBA.ZAKRES( ZAK_ID_REP, ZAK_TABELA, ZAK_MIN, "
                                       "ZAK_MAX) VALUES( %d, %d, %d, %d)",
                                       {RangeOwner, table, NewRangeMin, NewRangeMax}));
            insert.Execute();
            if (!GetIdRange(table, RangeOwner, next)) {
                log_->AddError(error);
                return false;
            }
        }
        // An identifier whose taking was not stored would be handed out again
        // by the next call: without the update, no identifier.
        if (!SetIdRangeMin(table, RangeOwner, next)) {
            log_->AddError(error);
            return false;
        }
        transaction.Commit();
        id = next;
        return true;
    } catch (const std::exception& e) {
        log_->AddError(error);
        LogFailureCause(e);
        return false;
    }
}

} // namespace pelmora::app
