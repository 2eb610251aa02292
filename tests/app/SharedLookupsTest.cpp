// TDM_Main's shared operations against embedded CRM and ERP databases made
// from the installation's schema files: identifier ranges, the registry,
// identifier translations, document state and the exchange table.
#include "app/SharedDatabases.h"

#include "core/ConvertError.h"
#include "core/DateTime.h"
#include "db/DbError.h"
#include "db/Query.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace pelmora;
using pelmora::test::SharedDatabases;

namespace {

// The first field of the first row of `sql`; Empty when there is no row.
core::Variant Scalar(db::Connection& c, const std::string& sql) {
    db::Query q(c, sql);
    q.Open();
    return q.Eof() ? core::Variant() : q.Field(0);
}

// A trigger that makes every `event` ("INSERT", "UPDATE") on `table` of
// `schema` fail, standing for a database that refuses the statement.
void RefuseOn(db::Connection& c, const std::string& schema, const std::string& table,
              const std::string& event) {
    c.Execute("CREATE TRIGGER " + schema + ".refuse_" + table + " BEFORE " + event + " ON " +
              table + " BEGIN SELECT RAISE(ABORT, 'refused'); END");
}

const char* const RangeError7 = "Bład pobierania zakresu dla  tabeli 7";

} // namespace

using SharedRanges = SharedDatabases;

TEST_F(SharedRanges, NextIdCreatesTheRangeAndCountsUp) {
    int id = -1;
    ASSERT_TRUE(Dm().NextId(20, id));
    EXPECT_EQ(id, 0);
    ASSERT_TRUE(Dm().NextId(20, id));
    EXPECT_EQ(id, 1);
    EXPECT_EQ(Scalar(Crm(), "select count(*) from dba.Zakres").ToInt(), 1);
    EXPECT_EQ(Scalar(Crm(), "select ZAK_Min from dba.Zakres where ZAK_ID_Rep = 0 and "
                            "ZAK_Tabela = 20")
                  .ToInt(),
              2);
    EXPECT_EQ(Scalar(Crm(), "select ZAK_Max from dba.Zakres where ZAK_Tabela = 20").ToInt(),
              100000);
    EXPECT_FALSE(Crm().InTransaction());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(SharedRanges, NextIdTakesAnExistingRangeOfRepZeroOnly) {
    Crm().Execute("insert into dba.Zakres values (0, 7, 500, 600)");
    Crm().Execute("insert into dba.Zakres values (3, 7, 9000, 9100)");
    int id = -1;
    ASSERT_TRUE(Dm().NextId(7, id));
    EXPECT_EQ(id, 500);
    EXPECT_EQ(Scalar(Crm(), "select ZAK_Min from dba.Zakres where ZAK_ID_Rep = 3").ToInt(), 9000);
}

TEST_F(SharedRanges, ExhaustedRangeFailsWithTheRangeError) {
    Crm().Execute("insert into dba.Zakres values (0, 7, 100, 100)");
    int id = -1;
    EXPECT_FALSE(Dm().NextId(7, id));
    EXPECT_EQ(id, -1);
    ASSERT_FALSE(Errors().empty());
    EXPECT_EQ(Errors().front(), RangeError7);
    EXPECT_EQ(Scalar(Crm(), "select count(*) from dba.Zakres").ToInt(), 1);
    EXPECT_FALSE(Crm().InTransaction());
}

TEST_F(SharedRanges, LastIdentifierOfARangeIsHandedOutOnce) {
    Crm().Execute("insert into dba.Zakres values (0, 33, 99, 100)");
    int id = -1;
    ASSERT_TRUE(Dm().NextId(33, id));
    EXPECT_EQ(id, 99);
    EXPECT_FALSE(Dm().NextId(33, id));
    EXPECT_EQ(id, 99);
}

TEST_F(SharedRanges, RefusedUpdateFailsAndLeavesNothingBehind) {
    // Without the stored update the same identifier would come again next time.
    RefuseOn(Crm(), "dba", "Zakres", "UPDATE");
    int id = -1;
    EXPECT_FALSE(Dm().NextId(21, id));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "Bład pobierania zakresu dla  tabeli 21");
    // The range created in the same allocation is rolled back with it.
    EXPECT_EQ(Scalar(Crm(), "select count(*) from dba.Zakres").ToInt(), 0);
    EXPECT_FALSE(Crm().InTransaction());
}

TEST_F(SharedRanges, NextIdJoinsTheCallersTransaction) {
    Crm().BeginTransaction();
    int id = -1;
    ASSERT_TRUE(Dm().NextId(18, id));
    EXPECT_EQ(id, 0);
    EXPECT_TRUE(Crm().InTransaction());
    Crm().Rollback();
    ASSERT_TRUE(Dm().NextId(18, id));
    EXPECT_EQ(id, 0);
}

TEST_F(SharedRanges, GetIdRangeUsableOnlyWithBothValuesAndRoomLeft) {
    const struct {
        const char* Row; // values of (ZAK_Min, ZAK_Max)
        bool Usable;
    } cases[] = {
        {"3, 10", true},     {"3, 3", false},    {"11, 10", false},
        {"NULL, 10", false}, {"3, NULL", false},
    };
    for (const auto& c : cases) {
        Crm().Execute("delete from dba.Zakres");
        Crm().Execute(std::string("insert into dba.Zakres values (0, 47, ") + c.Row + ")");
        int next = -1;
        EXPECT_EQ(Dm().GetIdRange(47, 0, next), c.Usable) << c.Row;
        if (c.Usable) {
            EXPECT_EQ(next, 3);
        }
    }
    int next = -1;
    EXPECT_FALSE(Dm().GetIdRange(48, 0, next)) << "no row";
}

TEST_F(SharedRanges, SetIdRangeMinStoresTheNextFreeIdentifierAndCatchesFailures) {
    Crm().Execute("insert into dba.Zakres values (0, 19, 10, 50)");
    EXPECT_TRUE(Dm().SetIdRangeMin(19, 0, 24));
    EXPECT_EQ(Scalar(Crm(), "select ZAK_Min from dba.Zakres").ToInt(), 25);
    RefuseOn(Crm(), "dba", "Zakres", "UPDATE");
    EXPECT_FALSE(Dm().SetIdRangeMin(19, 0, 30));
    EXPECT_EQ(Scalar(Crm(), "select ZAK_Min from dba.Zakres").ToInt(), 25);
    EXPECT_TRUE(Errors().empty());
}

using SharedRegistry = SharedDatabases;

TEST_F(SharedRegistry, ReadsIntegersAndDates) {
    Crm().Execute("insert into dba.SYS_REGISTRY values ('dostawca_domyslny', '42')");
    Crm().Execute("insert into dba.SYS_REGISTRY values ('interfejs_wymiana_dokument_wz', "
                  "'2024-03-05 10:20:30')");
    Crm().Execute("insert into dba.SYS_REGISTRY values ('tekst', 'abc')");
    int value = 0;
    ASSERT_TRUE(Dm().ReadRegistryInt("dostawca_domyslny", value));
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(Dm().ReadRegistryInt("brak", value));
    EXPECT_THROW(Dm().ReadRegistryInt("tekst", value), core::ConvertError);

    core::TDateTime date = 0;
    ASSERT_TRUE(Dm().ReadRegistryDate("interfejs_wymiana_dokument_wz", date));
    EXPECT_NEAR(date, core::EncodeDate(2024, 3, 5) + core::EncodeTime(10, 20, 30, 0), 1e-8);
    EXPECT_FALSE(Dm().ReadRegistryDate("brak", date));
    EXPECT_THROW(Dm().ReadRegistryDate("tekst", date), core::ConvertError);
}

TEST_F(SharedRegistry, WriteOnlyUpdatesExistingNames) {
    Crm().Execute("insert into dba.SYS_REGISTRY values ('interfejs_wymiana_dokument_mm', 'x')");
    EXPECT_TRUE(Dm().WriteRegistryValue("interfejs_wymiana_dokument_mm", "2024-06-01 08:00:00"));
    EXPECT_EQ(Scalar(Crm(), "select RES_ENTRY_VALUE from dba.SYS_REGISTRY").ToString(),
              "2024-06-01 08:00:00");
    EXPECT_TRUE(Dm().WriteRegistryValue("nowy_wpis", "1"));
    EXPECT_EQ(Scalar(Crm(), "select count(*) from dba.SYS_REGISTRY").ToInt(), 1);
    RefuseOn(Crm(), "dba", "SYS_REGISTRY", "UPDATE");
    EXPECT_FALSE(Dm().WriteRegistryValue("interfejs_wymiana_dokument_mm", "y"));
}

using SharedValues = SharedDatabases;

TEST_F(SharedValues, RoundMoney) {
    const struct {
        double In;
        double Out;
    } cases[] = {
        {12.3466, 12.35}, {1234, 1234},       {12.345, 12.35}, {2.675, 2.68},
        {12.3449, 12.34}, {-12.3466, -12.35}, {0.005, 0.01},   {-0.004, 0},
        {99.995, 100},    {0.1 + 0.2, 0.3},   {1.5e-6, 0},     {1.2e20, 1.2e20},
    };
    for (const auto& c : cases) {
        double v = c.In;
        EXPECT_TRUE(Dm().RoundMoney(v)) << c.In;
        EXPECT_DOUBLE_EQ(v, c.Out) << c.In;
    }
}

TEST_F(SharedValues, FloatToDotText) {
    const struct {
        double In;
        const char* Out;
    } cases[] = {
        {1.5, "1.5"},
        {0, "0.00"},
        {-2.25, "-2.25"},
        {12, "12"},
        {1234567.891, "1234567.891"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
    };
    for (const auto& c : cases) {
        std::string text = "?";
        EXPECT_TRUE(Dm().FloatToDotText(c.In, text));
        EXPECT_EQ(text, c.Out) << c.In;
    }
    EXPECT_TRUE(Errors().empty());
    std::string text = "?";
    EXPECT_FALSE(Dm().FloatToDotText(std::nan(""), text));
    EXPECT_EQ(text, "");
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "Problem z konwersją separatora wartości typu Double");
}

TEST_F(SharedValues, NewFileGuidIsARegistryFormGuid) {
    std::string a, b;
    ASSERT_TRUE(Dm().NewFileGuid(a));
    ASSERT_TRUE(Dm().NewFileGuid(b));
    EXPECT_EQ(a.size(), 38u);
    EXPECT_EQ(a.front(), '{');
    EXPECT_EQ(a.back(), '}');
    EXPECT_EQ(a.find_first_of("abcdef"), std::string::npos);
    EXPECT_NE(a, b);
}

using SharedTranslations = SharedDatabases;

TEST_F(SharedTranslations, ProductBothWaysWithNullExid) {
    Crm().Execute("insert into dba.Towar3 (TO3_ID, TO3_EXID) values (5, 'P-100')");
    Crm().Execute("insert into dba.Towar3 (TO3_ID, TO3_EXID) values (6, NULL)");
    std::string exid = "?";
    ASSERT_TRUE(Dm().ProductExidById(5, exid));
    EXPECT_EQ(exid, "P-100");
    ASSERT_TRUE(Dm().ProductExidById(6, exid));
    EXPECT_EQ(exid, "");
    EXPECT_FALSE(Dm().ProductExidById(7, exid));
    int id = 0;
    ASSERT_TRUE(Dm().ProductIdByExid("P-100", id));
    EXPECT_EQ(id, 5);
    EXPECT_FALSE(Dm().ProductIdByExid("p-100", id)) << "identifiers compare exactly";
}

TEST_F(SharedTranslations, EveryPairFindsItsRowBothWays) {
    using ById = bool (app::TDM_Main::*)(int, std::string&);
    using ByExid = bool (app::TDM_Main::*)(const std::string&, int&);
    const struct {
        const char* Insert; // a row with identifier 5 and EXID 'X5'
        ById ExidById;
        ByExid IdByExid;
    } pairs[] = {
        {"insert into dba.Rep (REP_ID, REP_EXID) values (5, 'X5')", &app::TDM_Main::RepExidById,
         &app::TDM_Main::RepIdByExid},
        {"insert into dba.Towar3 (TO3_ID, TO3_EXID) values (5, 'X5')",
         &app::TDM_Main::ProductExidById, &app::TDM_Main::ProductIdByExid},
        {"insert into dba.Jednostka (JED_ID, JED_EXID) values (5, 'X5')",
         &app::TDM_Main::UnitExidById, &app::TDM_Main::UnitIdByExid},
        {"insert into dba.Klient (KLI_ID, KLI_EXID) values (5, 'X5')",
         &app::TDM_Main::CustomerExidById, &app::TDM_Main::CustomerIdByExid},
        {"insert into dba.PLATNIK (PLA_ID, PLA_EXID) values (5, 'X5')",
         &app::TDM_Main::PayerExidById, &app::TDM_Main::PayerIdByExid},
        {"insert into dba.DOSTAWCA (DST_ID, DST_EXID) values (5, 'X5')",
         &app::TDM_Main::SupplierExidById, &app::TDM_Main::SupplierIdByExid},
    };
    for (const auto& p : pairs) {
        std::string exid;
        int id = 0;
        EXPECT_FALSE((Dm().*p.ExidById)(5, exid)) << p.Insert;
        EXPECT_FALSE((Dm().*p.IdByExid)("X5", id)) << p.Insert;
        Crm().Execute(p.Insert);
        ASSERT_TRUE((Dm().*p.ExidById)(5, exid)) << p.Insert;
        EXPECT_EQ(exid, "X5");
        ASSERT_TRUE((Dm().*p.IdByExid)("X5", id)) << p.Insert;
        EXPECT_EQ(id, 5);
    }
}

TEST_F(SharedTranslations, RepWithNullExidIsNotFound) {
    Crm().Execute("insert into dba.Rep (REP_ID, REP_EXID) values (1, NULL)");
    Crm().Execute("insert into dba.Rep (REP_ID, REP_EXID) values (2, 'AG2')");
    std::string exid;
    EXPECT_FALSE(Dm().RepExidById(1, exid));
    ASSERT_TRUE(Dm().RepExidById(2, exid));
    EXPECT_EQ(exid, "AG2");
}

TEST_F(SharedTranslations, SupplierFallsBackToTheDefaultSupplier) {
    Crm().Execute("insert into dba.DOSTAWCA values (8, 'D8')");
    int id = 0;
    // Without the registry value an unknown supplier is not found.
    EXPECT_FALSE(Dm().SupplierIdByExid("", id));
    EXPECT_FALSE(Dm().SupplierIdByExid("D9", id));
    Crm().Execute("insert into dba.SYS_REGISTRY values ('dostawca_domyslny', '3')");
    ASSERT_TRUE(Dm().SupplierIdByExid("D8", id));
    EXPECT_EQ(id, 8);
    ASSERT_TRUE(Dm().SupplierIdByExid("D9", id));
    EXPECT_EQ(id, 3);
    // An empty EXID never runs its query, even when a supplier has an empty EXID.
    Crm().Execute("insert into dba.DOSTAWCA values (9, '')");
    ASSERT_TRUE(Dm().SupplierIdByExid("", id));
    EXPECT_EQ(id, 3);
}

TEST_F(SharedTranslations, DictionaryMatchesOnlyAnUpperCaseExidOfActiveEntries) {
    Crm().Execute("insert into dba.Slownik (SLO_ID, SLO_ID_KATEG, SLO_NAZWA, SLO_AKTYW) values "
                  "(11, 4, 'Przelew', 1), (12, 4, 'Gotówka', 0), (13, 5, 'Przelew', 1)");
    Crm().Execute("insert into dba.SLOWNIK_EXT values (11, 'przelew'), (12, 'GOT')");
    int id = 0;
    ASSERT_TRUE(Dm().DictionaryIdByExid(4, "PRZELEW", id));
    EXPECT_EQ(id, 11);
    EXPECT_FALSE(Dm().DictionaryIdByExid(4, "przelew", id));
    EXPECT_FALSE(Dm().DictionaryIdByExid(4, "GOT", id)) << "inactive entry";
    EXPECT_FALSE(Dm().DictionaryIdByExid(5, "PRZELEW", id)) << "other category";
    ASSERT_TRUE(Dm().DictionaryIdByName(5, "Przelew", id));
    EXPECT_EQ(id, 13);
    std::string exid;
    ASSERT_TRUE(Dm().DictionaryExidById(12, exid));
    EXPECT_EQ(exid, "GOT");
}

TEST_F(SharedTranslations, FixedStatusList) {
    int id = 0;
    ASSERT_TRUE(Dm().StatusIdByName("zaakceptowany", id));
    EXPECT_EQ(id, 3);
    EXPECT_FALSE(Dm().StatusIdByName("Zaakceptowany", id));
    EXPECT_FALSE(Dm().StatusIdByName("zaakceptowany ", id));
    std::string name;
    ASSERT_TRUE(Dm().StatusNameById(5, name));
    EXPECT_EQ(name, "anulowany");
    EXPECT_FALSE(Dm().StatusNameById(6, name));
}

TEST_F(SharedTranslations, QadChecksUpperCaseTheText) {
    Erp().Execute("insert into qad.pt_mstr values ('abc-1', 'ABC-1')");
    Erp().Execute("insert into qad.cm_mstr values ('k1', 'K1')");
    EXPECT_TRUE(Dm().ErpProductExists("abc-1"));
    EXPECT_FALSE(Dm().ErpProductExists("abc-2"));
    EXPECT_TRUE(Dm().ErpCustomerExists("K1"));
    EXPECT_FALSE(Dm().ErpAgentExists("k1"));
}

using SharedExchange = SharedDatabases;

TEST_F(SharedExchange, AddExidToQueueWritesAFeedbackRow) {
    ASSERT_TRUE(Dm().AddExidToQueue(900, 77, "3150", app::TExidEntryType::WydanieZMagazynuEXID));
    Erp().Execute("insert into dbo.Wymiana_Danych (Id, Id_obiektu, Typ_obiektu) values "
                  "(41, 1, 'WZ')");
    ASSERT_TRUE(Dm().AddExidToQueue(901, 78, "", app::TExidEntryType::FakturaEXID));

    db::Query q(Erp(), "select Id, Id_obiektu, Typ_obiektu, Data_operacji, Num1, Num2 "
                       "from dbo.Wymiana_Danych where Id <> 41 order by Id");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName("Id").ToInt(), 1) << "an empty table starts at 1";
    EXPECT_EQ(q.FieldByName("Id_obiektu").ToInt(), 900);
    EXPECT_EQ(q.FieldByName("Typ_obiektu").ToString(), "WydanieZMagazynuEXID");
    EXPECT_EQ(q.FieldByName("Num1").ToInt(), 77);
    EXPECT_EQ(q.FieldByName("Num2").ToInt(), 3150);
    EXPECT_NEAR(q.FieldByName("Data_operacji").ToDate(), core::Now(), 1.0 / 1440);
    q.Next();
    EXPECT_EQ(q.FieldByName("Id").ToInt(), 42);
    EXPECT_EQ(q.FieldByName("Typ_obiektu").ToString(), "FakturaEXID");
    EXPECT_TRUE(q.FieldByName("Num2").IsNull());
    EXPECT_FALSE(Erp().InTransaction());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(SharedExchange, AddExidToQueueFailureIsLogged) {
    RefuseOn(Erp(), "dbo", "Wymiana_Danych", "INSERT");
    EXPECT_FALSE(Dm().AddExidToQueue(900, 77, "1", app::TExidEntryType::ZlecenieEXID));
    ASSERT_FALSE(Errors().empty());
    EXPECT_EQ(Errors()[0], "Blad dodawania EXID do kolejki wymiany danych. Identyfikator obiektu "
                           "900 Typ Obiektu ZlecenieEXID ");
    EXPECT_FALSE(Erp().InTransaction());
}

TEST_F(SharedExchange, DeleteQueueEntry) {
    Erp().Execute("insert into dbo.Wymiana_Danych (Id, Id_obiektu, Typ_obiektu) values "
                  "(1, 10, 'PRODUKT'), (2, 11, 'PRODUKT')");
    EXPECT_TRUE(Dm().DeleteQueueEntry(1));
    EXPECT_TRUE(Dm().DeleteQueueEntry(5)) << "no such row is no failure";
    EXPECT_EQ(Scalar(Erp(), "select count(*) from dbo.Wymiana_Danych").ToInt(), 1);
    RefuseOn(Erp(), "dbo", "Wymiana_Danych", "DELETE");
    EXPECT_FALSE(Dm().DeleteQueueEntry(2));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(SharedExchange, MarkSalesDocumentExportedByKind) {
    Crm().Execute("insert into dbo.ORDER_HEADER (ORD_GUID, ORD_ID_STATUS) values ('{O1}', 2)");
    Crm().Execute("insert into dbo.PAYMENT (PAY_GUID, PAY_STATUS) values ('{P1}', 1)");
    EXPECT_TRUE(Dm().MarkSalesDocumentExported("{O1}", app::zsZamowienie));
    EXPECT_EQ(Scalar(Crm(), "select ORD_ID_STATUS from dbo.ORDER_HEADER").ToInt(), 3);
    EXPECT_TRUE(Dm().MarkSalesDocumentExported("{P1}", app::zsKorektaFaktury));
    EXPECT_EQ(Scalar(Crm(), "select PAY_STATUS from dbo.PAYMENT").ToInt(), 1);
    EXPECT_TRUE(Dm().MarkSalesDocumentExported("{P1}", app::zsKasaPrzyjela));
    EXPECT_EQ(Scalar(Crm(), "select PAY_STATUS from dbo.PAYMENT").ToInt(), 3);

    RefuseOn(Crm(), "dbo", "ORDER_HEADER", "UPDATE");
    EXPECT_FALSE(Dm().MarkSalesDocumentExported("{O1}", app::zsFaktura));
    ASSERT_FALSE(Errors().empty());
    EXPECT_EQ(Errors()[0], "Błąd podczas zapisywania stanu wymiany danych z systemem dla "
                           "dokumentu o ID={O1}");
}

TEST_F(SharedExchange, SetWarehouseDocumentStateMatchesIdAndKind) {
    Crm().Execute("insert into dba.DOKUMENT_MAG (DMG_ID, DMG_FLAGA2, DMG_FLAGA3) values "
                  "(4, 203, 0), (5, 205, 0)");
    EXPECT_TRUE(Dm().SetWarehouseDocumentState(1, 4, 203));
    EXPECT_TRUE(Dm().SetWarehouseDocumentState(1, 5, 203));
    EXPECT_EQ(Scalar(Crm(), "select DMG_FLAGA3 from dba.DOKUMENT_MAG where DMG_ID = 4").ToInt(), 1);
    EXPECT_EQ(Scalar(Crm(), "select DMG_FLAGA3 from dba.DOKUMENT_MAG where DMG_ID = 5").ToInt(), 0);
    RefuseOn(Crm(), "dba", "DOKUMENT_MAG", "UPDATE");
    EXPECT_FALSE(Dm().SetWarehouseDocumentState(1, 5, 205));
    ASSERT_FALSE(Errors().empty());
    EXPECT_EQ(Errors()[0], "Błąd podczas zapisywania stanu wymiany danych z systemem dla "
                           "dokumentu o ID=5");
}
