#pragma once
// The named queries of TDM_Main's shared operations, each with its fixed SQL
// text; parameters are bound by name and every use closes the query first.
// Queries on the CRM connection come first, then those on the ERP connection.

#include "core/Variant.h"
#include "db/Connection.h"
#include "db/Query.h"

#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

namespace pelmora::app {

// A parameter name and the value bound to it.
using TParamValue = std::pair<std::string_view, core::Variant>;

// Closes `query`, binds `params`, opens it and gives the first row's `field`;
// none when there is no row. The query is closed again before returning.
// Database failures are raised.
std::optional<core::Variant> FirstFieldValue(db::Query& query,
                                             std::initializer_list<TParamValue> params,
                                             std::string_view field);

// Closes `query`, binds `params`, opens it and tells whether it found a row;
// closed again before returning.
bool HasRow(db::Query& query, std::initializer_list<TParamValue> params);

// Closes `query`, binds `params` and executes it; returns the rows affected.
int64_t ExecuteWith(db::Query& query, std::initializer_list<TParamValue> params);

// A transaction of a connection begun here unless the caller has one active, so
// that the read and the write of one allocation go together. Rolled back when
// left without Commit; a caller's transaction is left alone either way.
class TOwnTransaction {
public:
    explicit TOwnTransaction(db::Connection& connection);
    ~TOwnTransaction();
    TOwnTransaction(const TOwnTransaction&) = delete;
    TOwnTransaction& operator=(const TOwnTransaction&) = delete;
    void Commit();

private:
    db::Connection& connection_;
    bool own_;           // begun here
    bool ended_ = false; // committed
};

struct TDM_MainQueries {
    TDM_MainQueries(db::Connection& crm, db::Connection& erp);
    TDM_MainQueries(const TDM_MainQueries&) = delete;
    TDM_MainQueries& operator=(const TDM_MainQueries&) = delete;

    // Closes every query.
    void CloseAll();

    // ---- CRM: identifier ranges.
    db::Query Q_CRMGetZakres;
    db::Query Q_CRMSetZakres;
    // Its text is replaced by the INSERT built for the table on every use.
    db::Query Q_InsZakres;

    // ---- CRM: system registry.
    db::Query Q_SysRegistryValue_byName;
    db::Query Q_Upd_SysRegistry;

    // ---- CRM: identifier translations.
    db::Query Q_CRMFindRep_byID;
    db::Query Q_CRMFindRep_byEXID;
    db::Query Q_CRMFindTowar3_byID;
    db::Query Q_CRMFindTowar3_byEXID;
    db::Query Q_CRMFindJednostka_byID;
    db::Query Q_CRMFindJednostka_byEXID;
    db::Query Q_CRMFindKlient_byID;
    db::Query Q_CRMFindKlient_byEXID;
    db::Query Q_CRMFindPlatnik_byID;
    db::Query Q_CRMFindPlatnik_byEXID;
    db::Query Q_CRMFindDostawca_byID;
    db::Query Q_CRMFindDostawca_byEXID;
    db::Query Q_CRMFindSlownik_byName;
    db::Query Q_CRMFindSlownikEXT_byID;
    db::Query Q_CRMFindSlownikEXT_byEXID;

    // ---- CRM: document state.
    db::Query Q_Upd_ZlecenieSP;
    db::Query Q_UpdateKP;
    db::Query Q_Upd_DokumentMag;

    // ---- ERP: exchange table.
    db::Query Q_DelKolejka;
    db::Query Q_MaxKolejkaId;
    db::Query Q_Ins_Kolejka;

    // ---- ERP: existence checks in schema qad.
    db::Query Q_ERPFindProdukt;
    db::Query Q_ERPFindKlient;
    db::Query Q_ERPFindAgent;
};

} // namespace pelmora::app
