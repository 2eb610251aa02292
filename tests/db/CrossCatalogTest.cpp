// Three-part names CATALOG.schema.table on the embedded backend: a statement
// on one embedded database reaches a table of another in the same data
// directory by its database name, as one query on SQL Server does.

#include "DbTestSupport.h"

#include "db/DbError.h"
#include "db/EmbeddedDatabase.h"
#include "db/Query.h"
#include "db/sqlite/Dialect.h"

#include <gtest/gtest.h>

#include <optional>

using namespace pelmora;
using namespace pelmora::db;

TEST(SqliteCatalogStep, RewritesOnlyThreePartNamesItsResolverKnows) {
    // Knows the catalog CRM (any case) with the schemas dbo and dba.
    const sqlite::CatalogResolver resolve =
        [](const std::string& catalog, const std::string& schema) -> std::optional<std::string> {
        if (catalog == "CRM" || catalog == "crm" || catalog == "C]M")
            return "CRM." + schema;
        return std::nullopt;
    };
    const std::pair<const char*, const char*> cases[] = {
        {"select * from CRM.dbo.CUSTOMER c join ERP.cdn.Kontrahenci k on 1=1",
         "select * from \"CRM.dbo\".CUSTOMER c join ERP.cdn.Kontrahenci k on 1=1"},
        {"from [CRM].[dbo].[CUSTOMER]", "from \"CRM.dbo\".[CUSTOMER]"},
        {"from \"crm\".dba.Zakres", "from \"CRM.dba\".Zakres"},
        {"from [C]]M].dbo.X", "from \"CRM.dbo\".X"},
        // Four parts, a sequence, strings and comments stay as written.
        {"select CRM.dbo.CUSTOMER.CUS_GUID from t", "select CRM.dbo.CUSTOMER.CUS_GUID from t"},
        {"select X.CRM.dbo.T from t", "select X.CRM.dbo.T from t"},
        {"values(CRM.seq.nextval)", "values(CRM.seq.nextval)"},
        {"select 'CRM.dbo.T' -- CRM.dbo.T\n", "select 'CRM.dbo.T' -- CRM.dbo.T\n"},
        {"select dbo.CUSTOMER.CUS_GUID from dbo.CUSTOMER",
         "select dbo.CUSTOMER.CUS_GUID from dbo.CUSTOMER"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(sqlite::ResolveCatalogNames(in, resolve), out) << in;
}

namespace {

// Catalogs CRM (schema dbo) and ERP (schema CDN) in one data directory.
class CrossCatalog : public testing::Test {
protected:
    void SetUp() override {
        CreateEmbeddedDatabase(
            dir / "db", "CRM",
            {{"dbo",
              {test::WriteScript(dir, "crm.sql",
                                 "CREATE TABLE CUSTOMER(CUS_ID INT, CUS_NAME NVARCHAR(50));"
                                 "INSERT INTO CUSTOMER VALUES(1, 'Kowalski');"
                                 "INSERT INTO CUSTOMER VALUES(2, 'Nowak');")}}});
        CreateEmbeddedDatabase(
            dir / "db", "ERP",
            {{"CDN",
              {test::WriteScript(dir, "erp.sql",
                                 "CREATE TABLE Kontrahenci(Knt_KntId INT, Knt_Nazwa1 "
                                 "NVARCHAR(50));"
                                 "INSERT INTO Kontrahenci VALUES(1, 'Kowalsky');"
                                 "INSERT INTO Kontrahenci VALUES(2, 'Nowak');")}}});
        crm.Open(EmbeddedConnectionString("db", "CRM"), dir.Path());
        erp.Open(EmbeddedConnectionString("db", "ERP"), dir.Path());
    }

    test::TempDir dir;
    Connection crm, erp;
};

} // namespace

TEST_F(CrossCatalog, OneQueryOnTheErpConnectionJoinsBothDatabases) {
    // The own catalog's prefix and another catalog's, in other letter case too.
    for (const char* sql :
         {"select c.CUS_ID, k.Knt_Nazwa1 from CRM.dbo.CUSTOMER c"
          " inner join ERP.CDN.Kontrahenci k on k.Knt_KntId = c.CUS_ID"
          " where c.CUS_NAME collate DATABASE_DEFAULT <> k.Knt_Nazwa1 collate DATABASE_DEFAULT",
          "select c.CUS_ID, k.Knt_Nazwa1 from [crm].[DBO].CUSTOMER c"
          " inner join erp.cdn.Kontrahenci k on k.Knt_KntId = c.CUS_ID"
          " where c.CUS_NAME <> k.Knt_Nazwa1"}) {
        Query q(erp, sql);
        q.Open();
        ASSERT_EQ(q.RecordCount(), 1) << sql;
        EXPECT_EQ(q.FieldByName("CUS_ID").ToInt(), 1);
        EXPECT_EQ(q.FieldByName("Knt_Nazwa1").ToString(), "Kowalsky");
        // Reopened on the same session, the attached file is reused.
        q.Close();
        q.Open();
        EXPECT_EQ(q.RecordCount(), 1);
    }
}

TEST_F(CrossCatalog, WritesThroughAnotherCatalogReachItsOwnConnection) {
    Query update(erp, "update CRM.dbo.CUSTOMER set CUS_NAME = :Name where CUS_ID = :Id");
    update.SetParam("Name", "Kowalsky");
    update.SetParam("Id", 1);
    EXPECT_EQ(update.Execute(), 1);
    Query q(crm, "select CUS_NAME from dbo.CUSTOMER where CUS_ID = 1");
    q.Open();
    EXPECT_EQ(q.FieldByName("CUS_NAME").ToString(), "Kowalsky");
    EXPECT_EQ(erp.Execute("delete from CRM.dbo.CUSTOMER where CUS_ID = 2"), 1);
    EXPECT_EQ(test::CountRows(crm, "dbo.CUSTOMER"), 1);
}

TEST_F(CrossCatalog, UnknownCatalogOrSchemaIsTheDatabasesError) {
    for (const char* sql : {"select * from BRAK.dbo.CUSTOMER", "select * from CRM.dba.CUSTOMER"}) {
        Query q(erp, sql);
        EXPECT_THROW(q.Open(), DbError) << sql;
    }
    // The own catalog's name leads to its schema, where there is no such table.
    EXPECT_THROW(erp.Execute("select * from ERP.CDN.Brak"), DbError);
}
