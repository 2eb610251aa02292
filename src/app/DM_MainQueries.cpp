#include "app/DM_MainQueries.h"

namespace pelmora::app {

using db::SqlLines;

namespace {

// Closes a query when the scope ends, however it ends.
struct CloseOnExit {
    db::Query& Query;
    ~CloseOnExit() { Query.Close(); }
};

void Bind(db::Query& query, std::initializer_list<TParamValue> params) {
    for (const auto& [name, value] : params)
        query.SetParam(name, value);
}

} // namespace

std::optional<core::Variant> FirstFieldValue(db::Query& query,
                                             std::initializer_list<TParamValue> params,
                                             std::string_view field) {
    query.Close();
    Bind(query, params);
    CloseOnExit closer{query};
    query.Open();
    if (query.Eof())
        return std::nullopt;
    return query.FieldByName(field);
}

bool HasRow(db::Query& query, std::initializer_list<TParamValue> params) {
    query.Close();
    Bind(query, params);
    CloseOnExit closer{query};
    query.Open();
    return !query.Eof();
}

int64_t ExecuteWith(db::Query& query, std::initializer_list<TParamValue> params) {
    query.Close();
    Bind(query, params);
    return query.Execute();
}

TOwnTransaction::TOwnTransaction(db::Connection& connection)
    : connection_(connection), own_(!connection.InTransaction()) {
    if (own_)
        connection_.BeginTransaction();
}

TOwnTransaction::~TOwnTransaction() {
    if (own_ && !ended_) {
        try {
            connection_.Rollback();
        } catch (...) {
            // The failure that brought us here is the one reported.
        }
    }
}

void TOwnTransaction::Commit() {
    if (own_ && !ended_) {
        connection_.Commit(); // a failed commit is rolled back by the destructor
        ended_ = true;
    }
}

TDM_MainQueries::TDM_MainQueries(db::Connection& crm, db::Connection& erp)
    : Q_CRMGetZakres(crm, SqlLines({"select ZAK_Min, ZAK_Max", " from dba.Zakres", " where",
                                    "       ZAK_ID_Rep=:RepID and", "       ZAK_Tabela=:TabID"})),
      // SQL Server's "update T ... from T" names the target table once more in
      // FROM; SQLite reads that as a second instance of the table (ambiguous
      // columns), so the embedded backend runs the same update without FROM.
      Q_CRMSetZakres(crm,
                     SqlLines({"update dba.Zakres set ZAK_Min = :Val", " from dba.Zakres",
                               " where ZAK_ID_Rep = :RepID and", "       ZAK_Tabela = :TabID"}),
                     SqlLines({"update dba.Zakres set ZAK_Min = :Val",
                               " where ZAK_ID_Rep = :RepID and", "       ZAK_Tabela = :TabID"})),
      Q_InsZakres(crm, {}),
      Q_SysRegistryValue_byName(crm,
                                SqlLines({"select sr.RES_ENTRY_VALUE", " from dba.SYS_REGISTRY sr",
                                          " where sr.RES_ENTRY_NAME = :KeyName"})),
      Q_Upd_SysRegistry(
          crm, SqlLines({"Update dba.SYS_REGISTRY set", " RES_ENTRY_VALUE = :RES_ENTRY_VALUE ",
                         "where RES_ENTRY_NAME = :RES_ENTRY_NAME"})),
      Q_CRMFindRep_byID(
          crm, SqlLines({"Select r.REP_EXID", " from dba.Rep r", " where r.REP_ID = :RepID"})),
      Q_CRMFindRep_byEXID(
          crm, SqlLines({"Select r.REP_ID", " from dba.Rep r", " where r.REP_EXID = :RepEXID"})),
      Q_CRMFindTowar3_byID(crm, SqlLines({"Select t3.TO3_EXID", " from dba.Towar3 t3",
                                          " where t3.TO3_ID =:TowarID"})),
      Q_CRMFindTowar3_byEXID(crm, SqlLines({"Select t3.TO3_ID", " from dba.Towar3 t3",
                                            " where t3.TO3_EXID =:TowarEXID"})),
      Q_CRMFindJednostka_byID(crm, SqlLines({"Select j.JED_EXID", " from dba.Jednostka j",
                                             " where j.JED_ID = :JednostkaId"})),
      Q_CRMFindJednostka_byEXID(crm, SqlLines({"Select j.JED_ID", " from dba.Jednostka j",
                                               " where j.JED_EXID = :JednostkaEXID"})),
      Q_CRMFindKlient_byID(crm, SqlLines({"Select k.KLI_EXID", " from dba.Klient k",
                                          " where k.KLI_ID = :KlientID"})),
      Q_CRMFindKlient_byEXID(crm, SqlLines({"Select k.KLI_ID", " from dba.Klient k",
                                            " where k.KLI_EXID = :KlientEXID"})),
      Q_CRMFindPlatnik_byID(crm, SqlLines({"Select p.PLA_EXID", " from dba.PLATNIK p",
                                           " where p.PLA_ID = :PlatnikID"})),
      Q_CRMFindPlatnik_byEXID(crm, SqlLines({"Select p.PLA_ID", " from dba.PLATNIK p",
                                             " where p.PLA_EXID = :PlatnikEXID"})),
      Q_CRMFindDostawca_byID(crm, SqlLines({"Select d.DST_EXID", " from dba.DOSTAWCA d",
                                            " where d.DST_ID = :DostawcaID"})),
      Q_CRMFindDostawca_byEXID(crm, SqlLines({"Select d.DST_ID", " from dba.DOSTAWCA d",
                                              " where d.DST_EXID = :DostawcaEXID"})),
      Q_CRMFindSlownik_byName(crm, SqlLines({"Select s.SLO_ID", " from dba.Slownik s",
                                             " where s.SLO_ID_KATEG = :SloKateg and",
                                             "       s.SLO_NAZWA = :SloNazwa"})),
      Q_CRMFindSlownikEXT_byID(crm, SqlLines({"Select s.SOE_EXID", " from dba.SLOWNIK_EXT s",
                                              " where s.SOE_ID_SLO = :SloId"})),
      Q_CRMFindSlownikEXT_byEXID(
          crm, SqlLines({"Select se.SOE_ID_SLO", " from dba.SLOWNIK_EXT se",
                         " inner join dba.SLOWNIK s on s.SLO_ID = se.SOE_ID_SLO",
                         " where UPPER( se.SOE_EXID) = :SloEXID and",
                         "       s.SLO_ID_KATEG = :KategId and", "       s.SLO_AKTYW = :Aktywny"})),
      Q_Upd_ZlecenieSP(crm, SqlLines({"update dbo.ORDER_HEADER", "set ORD_ID_STATUS = 3",
                                      "where ORD_GUID =:ID"})),
      Q_UpdateKP(crm,
                 SqlLines({"update dbo.PAYMENT", "set PAY_STATUS = 3", "where PAY_GUID =:ID"})),
      Q_Upd_DokumentMag(
          crm, SqlLines({"Update dba.DOKUMENT_MAG", " set", " DMG_FLAGA3 = :DMG_FLAGA3",
                         " where DMG_ID = :DMG_ID and", "            DMG_FLAGA2 = :DMG_FLAGA2"})),
      Q_DelKolejka(erp, SqlLines({"Delete from dbo.wymiana_danych", " where id = :KolejkaId"})),
      Q_MaxKolejkaId(erp, SqlLines({"select max(id) as max from dbo.wymiana_danych"})),
      Q_Ins_Kolejka(erp, SqlLines({"Insert into dbo.wymiana_danych(id, id_obiektu, typ_obiektu, "
                                   "data_operacji, num1,num2)",
                                   " values( :KolejkaId, :ID, :Typ, GetDate(), :CRMId,:Num2)"})),
      Q_ERPFindProdukt(erp, SqlLines({"Select u##pt_part", " from qad.pt_mstr",
                                      " where u##pt_part = :UProduktId"})),
      Q_ERPFindKlient(erp, SqlLines({"Select u##cm_addr", " from qad.cm_mstr",
                                     " where u##cm_addr = :UKlientId"})),
      Q_ERPFindAgent(erp, SqlLines({"Select u##sp_addr", " from qad.sp_mstr",
                                    " where u##sp_addr = :UAgent"})) {}

void TDM_MainQueries::CloseAll() {
    for (db::Query* q : {&Q_CRMGetZakres,
                         &Q_CRMSetZakres,
                         &Q_InsZakres,
                         &Q_SysRegistryValue_byName,
                         &Q_Upd_SysRegistry,
                         &Q_CRMFindRep_byID,
                         &Q_CRMFindRep_byEXID,
                         &Q_CRMFindTowar3_byID,
                         &Q_CRMFindTowar3_byEXID,
                         &Q_CRMFindJednostka_byID,
                         &Q_CRMFindJednostka_byEXID,
                         &Q_CRMFindKlient_byID,
                         &Q_CRMFindKlient_byEXID,
                         &Q_CRMFindPlatnik_byID,
                         &Q_CRMFindPlatnik_byEXID,
                         &Q_CRMFindDostawca_byID,
                         &Q_CRMFindDostawca_byEXID,
                         &Q_CRMFindSlownik_byName,
                         &Q_CRMFindSlownikEXT_byID,
                         &Q_CRMFindSlownikEXT_byEXID,
                         &Q_Upd_ZlecenieSP,
                         &Q_UpdateKP,
                         &Q_Upd_DokumentMag,
                         &Q_DelKolejka,
                         &Q_MaxKolejkaId,
                         &Q_Ins_Kolejka,
                         &Q_ERPFindProdukt,
                         &Q_ERPFindKlient,
                         &Q_ERPFindAgent})
        q->Close();
}

} // namespace pelmora::app
