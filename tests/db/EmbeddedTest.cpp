// Cases of the embedded backend alone: attached schemas, what it adds to
// SQLite for T-SQL statements, its procedures, and its durability settings.

#include "DbTestSupport.h"

#include "core/DateTime.h"
#include "core/Text.h"
#include "db/DbError.h"
#include "db/EmbeddedDatabase.h"
#include "db/Query.h"
#include "db/StoredProc.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <thread>

using namespace pelmora;
using namespace pelmora::db;
using core::Variant;

namespace {

// A CRM-like catalog with the schemas dba and dbo, and an ERP-like one with
// the staging schemas qad and qadx, under dir/db.
class Embedded : public testing::Test {
protected:
    void SetUp() override {
        CreateEmbeddedDatabase(
            dir / "db", "CRM",
            {{"dba",
              {test::WriteScript(
                  dir, "dba.sql",
                  "CREATE TABLE Zakres(ZAK_ID_Rep INTEGER, ZAK_Tabela INTEGER,"
                  " ZAK_Min INTEGER, ZAK_Max INTEGER,"
                  " PRIMARY KEY(ZAK_ID_Rep, ZAK_Tabela));"
                  "CREATE TABLE TOWAR3(TO3_ID INTEGER PRIMARY KEY,"
                  " TO3_EXID VARCHAR(20), TO3_NAZWA VARCHAR(50));"
                  "CREATE TABLE SLOWNIK_EXT(SOE_ID_SLO INTEGER, SOE_EXID VARCHAR(20));"
                  "INSERT INTO Zakres VALUES(0, 7, 10, 100);"
                  "INSERT INTO TOWAR3 VALUES(1, 'P-1', 'Śruba');"
                  "INSERT INTO SLOWNIK_EXT VALUES(5, 'vat23');")}},
             {"dbo",
              {test::WriteScript(dir, "dbo.sql",
                                 "CREATE TABLE ORDER_DETAIL(ORD_ID INTEGER, QTY FLOAT,"
                                 " STAMP DATETIME DEFAULT (GetDate()));")}}});
        CreateEmbeddedDatabase(
            dir / "db", "ERP",
            {{"qad",
              {test::WriteScript(dir, "qad.sql",
                                 "CREATE TABLE pt_mstr(u##pt_part VARCHAR(30) PRIMARY KEY);"
                                 "INSERT INTO pt_mstr VALUES('ŚRUBA-8');")}},
             {"qadx",
              {test::WriteScript(dir, "qadx.sql",
                                 "CREATE TABLE x7ln_mstr(x7ln_id INTEGER PRIMARY KEY,"
                                 " u##x7ln_app VARCHAR(20));"
                                 "CREATE TABLE x7ln_mstr_seq(Value INTEGER NOT NULL);"
                                 "INSERT INTO x7ln_mstr_seq VALUES(0);")}}});
        crm.Open(EmbeddedConnectionString(dir / "db", "CRM"), "/nonexistent");
        erp.Open(EmbeddedConnectionString("db", "ERP"), dir.Path());
    }

    test::TempDir dir;
    Connection crm, erp;
};

TEST_F(Embedded, SchemasAreAttachedUnderTheirNames) {
    EXPECT_EQ(crm.Kind(), BackendKind::Embedded);
    Query q(crm, SqlLines({"select ZAK_Min, ZAK_Max", " from dba.Zakres", " where",
                           "       ZAK_ID_Rep=:RepID and", "       ZAK_Tabela=:TabID"}));
    q.SetParam("RepID", 0);
    q.SetParam("TabID", 7);
    q.Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.FieldByName("ZAK_Min").ToInt(), 10);

    crm.Execute("INSERT INTO DBA.ZAKRES( ZAK_ID_REP, ZAK_TABELA, ZAK_MIN, ZAK_MAX) "
                "VALUES( 0, 18, 0, 100000)");
    EXPECT_EQ(test::CountRows(crm, "dba.Zakres"), 2);
    EXPECT_EQ(crm.Execute("insert into [dbo].[ORDER_DETAIL](ORD_ID, QTY) values(1, 2.5)"), 1);
    // An unqualified name resolves in the first schema that has it.
    Query t(crm, "select TO3_NAZWA from TOWAR3 where TO3_ID = 1");
    t.Open();
    EXPECT_EQ(t.FieldByName("TO3_NAZWA").ToString(), "Śruba");
    // Nothing landed in the connection's main file.
    Query main(crm, "select count(*) as n from main.sqlite_master");
    main.Open();
    EXPECT_EQ(main.FieldByName("n").ToInt(), 0);
}

TEST_F(Embedded, RegisteredFunctionsAndCollation) {
    const core::TDateTime before = core::Now();
    crm.Execute("insert into dbo.ORDER_DETAIL(ORD_ID) values(1)");
    Query q(crm, "select STAMP, UPPER('zażółć gęślą jaźń') as U, LOWER('ŻÓŁW') as L,"
                 " UPPER(NULL) as N from dbo.ORDER_DETAIL");
    q.Open();
    ASSERT_EQ(q.FieldByName("STAMP").Type(), core::varDate); // DEFAULT (GetDate())
    EXPECT_GE(q.FieldByName("STAMP").ToDate(), before - 1.0 / 86400);
    EXPECT_LE(q.FieldByName("STAMP").ToDate(), core::Now() + 1.0 / 86400);
    EXPECT_EQ(q.FieldByName("U").ToString(), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ");
    EXPECT_EQ(q.FieldByName("L").ToString(), "żółw");
    EXPECT_TRUE(q.FieldByName("N").IsNull());

    // The EXID lookup upper-cases the stored value and compares exactly.
    Query exid(crm, SqlLines({"Select se.SOE_ID_SLO", " from dba.SLOWNIK_EXT se",
                              " where UPPER( se.SOE_EXID) = :SloEXID"}));
    for (const auto& [given, found] : {std::pair{"VAT23", true}, std::pair{"vat23", false}}) {
        exid.SetParam("SloEXID", given);
        exid.Open();
        EXPECT_EQ(!exid.Eof(), found) << given;
    }
    Query collate(crm, "select count(*) as n from dba.TOWAR3"
                       " where TO3_EXID COLLATE DATABASE_DEFAULT = :E");
    collate.SetParam("E", "P-1");
    collate.Open();
    EXPECT_EQ(collate.FieldByName("n").ToInt(), 1);
}

TEST_F(Embedded, NumbersFollowTheDeclaredType) {
    // (Debian's SQLite3 ODBC driver reports DECIMAL columns as text, so this
    // case is not part of the conformance suite.)
    crm.Execute("CREATE TABLE dbo.Prices(Id INT PRIMARY KEY, Price DECIMAL(18,2),"
                " Qty DECIMAL(10,0), Cost MONEY)");
    Query insert(crm, "insert into dbo.Prices values(:Id, :Price, :Qty, :Cost)");
    insert.SetParam("Id", 1);
    insert.SetParam("Price", 12.0); // stored by SQLite as the integer 12
    insert.SetParam("Qty", 12);
    insert.SetParam("Cost", 3);
    insert.Execute();
    Query q(crm, "select Price, Qty, Cost from dbo.Prices");
    q.Open();
    EXPECT_EQ(q.FieldByName("Price").Type(), core::varDouble);
    EXPECT_DOUBLE_EQ(q.FieldByName("Price").ToDouble(), 12.0);
    EXPECT_EQ(q.FieldByName("Qty").Type(), core::varInteger);
    EXPECT_EQ(q.FieldByName("Cost").Type(), core::varDouble);
}

TEST_F(Embedded, HashNamesAndNextval) {
    Query find(erp, SqlLines({"Select u##pt_part", " from qad.pt_mstr",
                              " where u##pt_part = :UProduktId"}));
    find.SetParam("UProduktId", "ŚRUBA-8");
    find.Open();
    ASSERT_FALSE(find.Eof());
    EXPECT_EQ(find.FieldByName("u##pt_part").ToString(), "ŚRUBA-8");

    Query insert(erp, "insert into qadx.x7ln_mstr(x7ln_id, u##x7ln_app)"
                      " values(qadx.x7ln_mstr_seq.nextval, :u##x7ln_app)");
    ASSERT_EQ(insert.Params().Count(), 1u);
    for (const char* app : {"first", "second"}) {
        insert.ParamByName("u##x7ln_app") = app;
        EXPECT_EQ(insert.Execute(), 1);
    }
    Query rows(erp, "select x7ln_id, u##x7ln_app from qadx.x7ln_mstr order by x7ln_id");
    rows.Open();
    ASSERT_EQ(rows.RecordCount(), 2);
    EXPECT_EQ(rows.FieldByName("x7ln_id").ToInt(), 1);
    rows.Next();
    EXPECT_EQ(rows.FieldByName("x7ln_id").ToInt(), 2);
    EXPECT_EQ(rows.FieldByName("u##x7ln_app").ToString(), "second");

    // A sequence that does not exist is an error of the statement.
    EXPECT_THROW(erp.Execute("select qadx.no_such_seq.nextval"), DbError);
    // A rolled back transaction hands the number out again.
    erp.BeginTransaction();
    erp.Execute("select qadx.x7ln_mstr_seq.nextval");
    erp.Rollback();
    Query next(erp, "select qadx.x7ln_mstr_seq.nextval as v");
    next.Open();
    EXPECT_EQ(next.FieldByName("v").ToInt(), 3);
}

TEST_F(Embedded, EmbeddedFormRunsWhereTheOriginalCannot) {
    // SQLite reads UPDATE ... FROM the same table as a self-join.
    const std::string original =
        SqlLines({"update dba.Zakres set ZAK_Min = :Val", " from dba.Zakres",
                  " where ZAK_ID_Rep = :RepID and", "       ZAK_Tabela = :TabID"});
    Query asWritten(crm, original);
    asWritten.SetParam("Val", 11);
    EXPECT_THROW(asWritten.Execute(), DbError);

    Query q(crm, original,
            SqlLines({"update dba.Zakres set ZAK_Min = :Val", " where ZAK_ID_Rep = :RepID and",
                      "       ZAK_Tabela = :TabID"}));
    q.SetParam("Val", 11);
    q.SetParam("RepID", 0);
    q.SetParam("TabID", 7);
    EXPECT_EQ(q.Execute(), 1);
    Query check(crm, "select ZAK_Min from dba.Zakres where ZAK_Tabela = 7");
    check.Open();
    EXPECT_EQ(check.FieldByName("ZAK_Min").ToInt(), 11);
}

TEST_F(Embedded, RegisteredProcedureRunsByName) {
    crm.RegisterProcedure("dba.CodeProdInfo_PFA", [](Connection& c, ParamList& params) {
        Query q(c, "insert into dbo.ORDER_DETAIL(ORD_ID, QTY) values(:DokumentID, :TypUI)");
        q.SetParam("DokumentID", params.ByName("DokumentID"));
        q.SetParam("TypUI", params.ByName("TypUI"));
        q.Execute();
    });
    StoredProc proc(crm, "DBA.codeprodinfo_pfa");
    proc.AddParam("TypUI") = 100;
    proc.SetParam("DokumentID", 42);
    proc.ExecProc();
    Query q(crm, "select ORD_ID, QTY from dbo.ORDER_DETAIL");
    q.Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.FieldByName("ORD_ID").ToInt(), 42);
    EXPECT_EQ(q.FieldByName("QTY").ToInt(), 100);

    // Another name drops the parameters; an unknown procedure fails.
    proc.SetProcedureName("dba.DecodeProdInfo_DefTemp_FA");
    EXPECT_EQ(proc.Params().Count(), 0u);
    EXPECT_THROW(proc.ParamByName("TypUI"), DbError);
    try {
        proc.ExecProc();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.Kind(), DbErrorKind::Other);
        EXPECT_NE(std::string(e.what()).find("DecodeProdInfo_DefTemp_FA"), std::string::npos);
    }
}

TEST_F(Embedded, TransactionAcrossSchemasIsAtomic) {
    crm.BeginTransaction();
    crm.Execute("insert into dba.TOWAR3 values(2, 'P-2', 'Nit')");
    crm.Execute("insert into dbo.ORDER_DETAIL(ORD_ID) values(2)");
    crm.Rollback();
    EXPECT_EQ(test::CountRows(crm, "dba.TOWAR3"), 1);
    EXPECT_EQ(test::CountRows(crm, "dbo.ORDER_DETAIL"), 0);

    // A process that dies inside such a transaction leaves neither write.
    const std::string cs = crm.ConnectionString();
    crm.Close();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Connection c;
        c.Open(cs, dir.Path());
        c.BeginTransaction();
        c.Execute("insert into dba.TOWAR3 values(3, 'P-3', 'Wkręt')");
        c.Execute("insert into dbo.ORDER_DETAIL(ORD_ID) values(3)");
        _exit(0); // no commit, no cleanup
    }
    int status = 0;
    waitpid(child, &status, 0);
    crm.Open(cs, dir.Path());
    EXPECT_EQ(test::CountRows(crm, "dba.TOWAR3"), 1);
    EXPECT_EQ(test::CountRows(crm, "dbo.ORDER_DETAIL"), 0);

    crm.BeginTransaction();
    crm.Execute("insert into dba.TOWAR3 values(4, 'P-4', 'Kołek')");
    crm.Execute("insert into dbo.ORDER_DETAIL(ORD_ID) values(4)");
    crm.Commit();
    EXPECT_EQ(test::CountRows(crm, "dba.TOWAR3"), 2);
    EXPECT_EQ(test::CountRows(crm, "dbo.ORDER_DETAIL"), 1);

    // Rollback journal (atomic across files) with full syncs on every schema.
    for (const char* schema : {"main", "dba", "dbo"}) {
        Query mode(crm, std::string("PRAGMA ") + schema + ".journal_mode");
        mode.Open();
        EXPECT_EQ(core::LowerCase(mode.Field(0).ToString()), "delete") << schema;
        Query sync(crm, std::string("PRAGMA ") + schema + ".synchronous");
        sync.Open();
        EXPECT_EQ(sync.Field(0).ToInt(), 3) << schema; // EXTRA
    }
}

TEST_F(Embedded, WriterWaitsForAnotherWriter) {
    Query timeout(crm, "PRAGMA busy_timeout");
    timeout.Open();
    EXPECT_GE(timeout.Field(0).ToInt(), 1000);

    // Another connection holds the write lock for a short while; the write
    // here waits for it instead of failing at once.
    Connection other;
    other.Open(crm.ConnectionString(), dir.Path());
    other.BeginTransaction();
    other.Execute("insert into dba.TOWAR3 values(5, 'P-5', 'Podkładka')");
    std::thread holder([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.Commit();
    });
    EXPECT_NO_THROW(crm.Execute("insert into dba.TOWAR3 values(6, 'P-6', 'Zawleczka')"));
    holder.join();
    EXPECT_EQ(test::CountRows(crm, "dba.TOWAR3"), 3);

    // A reader inside its own transaction cannot wait for the writer (SQLite
    // sees the deadlock and gives up at once): a clear error, and no change.
    crm.Execute("BEGIN");
    EXPECT_EQ(test::CountRows(crm, "dba.TOWAR3"), 3);
    other.BeginTransaction();
    other.Execute("insert into dba.TOWAR3 values(7, 'P-7', 'Nakrętka')");
    try {
        crm.Execute("insert into dba.TOWAR3 values(8, 'P-8', 'Sworzeń')");
        ADD_FAILURE() << "wrote past another writer";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Kind(), DbErrorKind::Other);
        EXPECT_NE(std::string(e.what()).find("database is locked"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("another process"), std::string::npos) << e.what();
    }
    crm.Rollback();
    other.Commit();
    EXPECT_EQ(test::CountRows(crm, "dba.TOWAR3"), 4);
}

TEST_F(Embedded, MissingOrEmptyFolderFailsTheOpen) {
    Connection c;
    const std::filesystem::path base = dir.Path();
    struct Case {
        std::string ConnectionString;
        const char* Why;
    };
    std::filesystem::create_directories(dir / "db" / "EMPTY");
    const Case cases[] = {
        {EmbeddedConnectionString("db", "NOPE"), "missing catalog folder"},
        {EmbeddedConnectionString("nowhere", "CRM"), "missing DIR"},
        {EmbeddedConnectionString("db", "EMPTY"), "folder without schema files"},
        {EmbeddedConnectionString("db", ""), "no Initial Catalog"},
    };
    for (const Case& c2 : cases) {
        try {
            c.Open(c2.ConnectionString, base);
            ADD_FAILURE() << c2.Why << " opened";
        } catch (const DbError& e) {
            EXPECT_EQ(e.Kind(), DbErrorKind::ConnectionFailed) << c2.Why;
        }
        EXPECT_FALSE(c.Connected()) << c2.Why;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "db" / "NOPE"));
    EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
    EXPECT_THROW(c.Execute("select 1"), DbError);

    // A schema file that is no database fails the open too.
    test::WriteFileBytes(dir / "db" / "EMPTY" / "dba.sqlite", std::string(4096, 'x'));
    EXPECT_THROW(c.Open(EmbeddedConnectionString("db", "EMPTY"), base), DbError);
}

TEST_F(Embedded, CreatingADatabaseGuardsExistingFiles) {
    EXPECT_THROW(CreateEmbeddedDatabase(dir / "db", "CRM", {{"dba", {}}}), DbError);
    crm.Close();
    CreateEmbeddedDatabase(dir / "db", "CRM", {{"dba", {}}}, true);
    crm.Open(EmbeddedConnectionString(dir / "db", "CRM"), {});
    EXPECT_THROW(test::CountRows(crm, "dba.TOWAR3"), DbError); // a fresh, empty schema
    EXPECT_EQ(test::CountRows(crm, "dbo.ORDER_DETAIL"), 0);    // the other one untouched

    // A failing script leaves nothing of itself and names the script.
    auto bad = test::WriteScript(dir, "bad.sql", "CREATE TABLE A(x INTEGER); CREATE TABLE A(y);");
    try {
        CreateEmbeddedDatabase(dir / "db", "NEW", {{"dbo", {bad}}});
        FAIL();
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("bad.sql"), std::string::npos) << e.what();
    }
    Connection fresh;
    fresh.Open(EmbeddedConnectionString(dir / "db", "NEW"), {});
    Query tables(fresh, "select count(*) as n from dbo.sqlite_master");
    tables.Open();
    EXPECT_EQ(tables.FieldByName("n").ToInt(), 0);
}

} // namespace
