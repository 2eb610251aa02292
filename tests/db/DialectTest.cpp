// The text steps of both backends, connection strings and error kinds, which
// need no database; and the SQL Server path, which here can only fail to connect.

#include "db/odbc/Dialect.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/SqlLexer.h"
#include "db/StoredProc.h"
#include "db/odbc/Errors.h"
#include "db/sqlite/Dialect.h"
#include "db/sqlite/Errors.h"
#include "db/sqlite/Values.h"

#include "DbTestSupport.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace pelmora;
using namespace pelmora::db;

TEST(SqlLexer, FindsParametersOnlyOutsideQuotesAndComments) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"select * from t where a = :A and b = :b", {"A", "b"}},
        {"where a = :Id or b = :ID or c = :id", {"Id"}},
        {"select ':x', \":y\", [:z] from t -- :c\n where d = :D /* :e */", {"D"}},
        {"select 'it''s :q' from t where a=:a", {"a"}},
        {"select a::int, '12:30' from t", {}},
        {" values( :KolejkaId, :ID, :Typ, GetDate(), :CRMId,:Num2)",
         {"KolejkaId", "ID", "Typ", "CRMId", "Num2"}},
        {"where u##x7ln_app = :u##x7ln_app", {"u##x7ln_app"}},
        {"select 'unclosed :p", {}},
    };
    for (const auto& [sql, names] : cases)
        EXPECT_EQ(ParamNamesOf(sql), names) << sql;
    std::string joined;
    const char* text = "select [a]]b], 'x''y' -- c\n/* d */ :P";
    for (const SqlToken& t : TokenizeSql(text))
        joined += t.Text;
    EXPECT_EQ(joined, text);
}

TEST(OdbcDialect, NamedParametersBecomePositional) {
    odbc::PositionalSql p =
        odbc::ToPositional("update t set a = :Val, b = ':Val' where k = :Key or j = :val -- :Key");
    EXPECT_EQ(p.Sql, "update t set a = ?, b = ':Val' where k = ? or j = ? -- :Key");
    EXPECT_EQ(p.Names, (std::vector<std::string>{"Val", "Key", "val"}));
    EXPECT_EQ(odbc::CallText("dba.CodeProdInfo_PFA", 2), "{call dba.CodeProdInfo_PFA(?, ?)}");
    EXPECT_EQ(odbc::CallText("dba.Clean", 0), "{call dba.Clean}");
}

TEST(SqliteDialect, TokenStepTouchesOnlyItsForms) {
    const std::pair<const char*, const char*> cases[] = {
        {"Select u##pt_part\n from qad.pt_mstr\n where u##pt_part = :UProduktId",
         "Select \"u##pt_part\"\n from qad.pt_mstr\n where \"u##pt_part\" = :UProduktId"},
        {"values(qadx.x7ln_mstr_seq.nextval, :u##x7ln_app)",
         "values(NEXTVAL('qadx', 'x7ln_mstr_seq'), :u__x7ln_app)"},
        {"select QADX.SEQ.NEXTVAL", "select NEXTVAL('QADX', 'SEQ')"},
        {"select 'u##a', \"u##b\", t.u##c, a.b.nextval_x from t -- u##d",
         "select 'u##a', \"u##b\", t.\"u##c\", a.b.nextval_x from t -- u##d"},
        {"select dba.Zakres.ZAK_Min from dba.Zakres", "select dba.Zakres.ZAK_Min from dba.Zakres"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(sqlite::PrepareSqlText(in), out) << in;
    EXPECT_EQ(sqlite::ParamName("u##x7ln_app"), "u__x7ln_app");
}

TEST(SqliteValues, DateTexts) {
    using core::EncodeDateTime;
    const std::pair<const char*, core::DateParts> good[] = {
        {"2024-02-29 13:45:07.123", {2024, 2, 29, 13, 45, 7, 123}},
        {"2024-02-29", {2024, 2, 29, 0, 0, 0, 0}},
        {" 2024-02-29T13:45 ", {2024, 2, 29, 13, 45, 0, 0}},
        {"2024-02-29 13:45:07.1", {2024, 2, 29, 13, 45, 7, 100}},
        {"2024-02-29 13:45:07.123456", {2024, 2, 29, 13, 45, 7, 123}},
        {"1899-12-29 06:00:00", {1899, 12, 29, 6, 0, 0, 0}},
    };
    for (const auto& [text, parts] : good) {
        core::TDateTime value = 0;
        ASSERT_TRUE(sqlite::TryTextToDate(text, value)) << text;
        EXPECT_NEAR(value, EncodeDateTime(parts), 1e-9) << text;
    }
    core::TDateTime value = 0;
    ASSERT_TRUE(sqlite::TryTextToDate("13:45:07", value));
    EXPECT_NEAR(value, core::EncodeTime(13, 45, 7, 0), 1e-9);
    for (const char* bad : {"", "2024-02-30", "2024-2-3", "yesterday", "2024-02-29 25:00",
                            "2024-02-29x13:00", "2024-02-29 13:45:07."})
        EXPECT_FALSE(sqlite::TryTextToDate(bad, value)) << bad;
    EXPECT_EQ(sqlite::DateToText(EncodeDateTime({2009, 3, 5, 4, 5, 6, 7})),
              "2009-03-05 04:05:06.007");
    EXPECT_EQ(sqlite::ClassOfDeclType("datetime"), sqlite::ColumnClass::Date);
    EXPECT_EQ(sqlite::ClassOfDeclType("DATETIME2(3)"), sqlite::ColumnClass::Date);
    EXPECT_EQ(sqlite::ClassOfDeclType("bit"), sqlite::ColumnClass::Bit);
    EXPECT_EQ(sqlite::ClassOfDeclType("VARCHAR(10)"), sqlite::ColumnClass::Plain);
    EXPECT_EQ(sqlite::ClassOfDeclType(nullptr), sqlite::ColumnClass::Plain);
    EXPECT_EQ(sqlite::ClassOfDeclType("DECIMAL(18, 2)"), sqlite::ColumnClass::Float);
    EXPECT_EQ(sqlite::ClassOfDeclType("numeric(10,0)"), sqlite::ColumnClass::Plain);
    EXPECT_EQ(sqlite::ClassOfDeclType("DECIMAL"), sqlite::ColumnClass::Plain);
    EXPECT_EQ(sqlite::ClassOfDeclType("MONEY"), sqlite::ColumnClass::Float);
    EXPECT_EQ(sqlite::ClassOfDeclType("INT"), sqlite::ColumnClass::Plain);
}

TEST(ErrorKinds, ByTheDriversCodes) {
    struct Case {
        const char* State;
        int Native;
        const char* Message;
        DbErrorKind Kind;
    };
    const Case cases[] = {
        {"23000", 2627, "Violation of PRIMARY KEY constraint 'PK_X'.", DbErrorKind::DuplicateKey},
        {"23000", 2601, "Cannot insert duplicate key row in object 'dba.X'.",
         DbErrorKind::DuplicateKey},
        {"23000", 547, "The INSERT statement conflicted with the FOREIGN KEY constraint",
         DbErrorKind::Other},
        {"23000", 515, "Cannot insert the value NULL into column", DbErrorKind::Other},
        {"HY000", 19, "[SQLite]UNIQUE constraint failed: t.id (19)", DbErrorKind::DuplicateKey},
        {"HY000", 19, "[SQLite]NOT NULL constraint failed: t.x (19)", DbErrorKind::Other},
        {"HY000", 1, "[SQLite]UNIQUE constraint failed", DbErrorKind::Other},
        {"08S01", 20004, "Read from the server failed", DbErrorKind::ConnectionFailed},
        {"08001", 0, "Unable to connect to data source", DbErrorKind::ConnectionFailed},
        {"28000", 18456, "Login failed for user 'sa'.", DbErrorKind::ConnectionFailed},
        {"42000", 102, "Incorrect syntax near 'x'.", DbErrorKind::Other},
    };
    for (const Case& c : cases)
        EXPECT_EQ(odbc::KindOf(c.State, c.Native, c.Message), c.Kind) << c.State << " " << c.Native;

    EXPECT_EQ(sqlite::KindOf(SQLITE_CONSTRAINT_PRIMARYKEY), DbErrorKind::DuplicateKey);
    EXPECT_EQ(sqlite::KindOf(SQLITE_CONSTRAINT_UNIQUE), DbErrorKind::DuplicateKey);
    EXPECT_EQ(sqlite::KindOf(SQLITE_CONSTRAINT_NOTNULL), DbErrorKind::Other);
    EXPECT_EQ(sqlite::KindOf(SQLITE_CONSTRAINT_FOREIGNKEY), DbErrorKind::Other);
    EXPECT_EQ(sqlite::KindOf(SQLITE_CANTOPEN), DbErrorKind::ConnectionFailed);
    EXPECT_EQ(sqlite::KindOf(SQLITE_BUSY), DbErrorKind::Other);
}

TEST(ConnectionStrings, OleDbKeysAndOdbcForms) {
    ConnectionString cs("Provider=SQLOLEDB.1;Password=tajne;Persist Security Info=True;"
                        "User ID=sa;Initial Catalog=CRM;Data Source=SERWER\\SQL2008");
    EXPECT_EQ(cs.Get("password"), "tajne");
    EXPECT_EQ(cs.Get("User ID"), "sa");
    EXPECT_EQ(cs.Get("Initial Catalog"), "CRM");
    EXPECT_EQ(cs.Get("DATA SOURCE"), "SERWER\\SQL2008");
    EXPECT_FALSE(cs.Has("Driver"));
    EXPECT_EQ(cs.Get("Driver"), "");

    // A value with ";" is cut there, as the plain concatenation gives it.
    ConnectionString cut("Password=a;b;User ID=u");
    EXPECT_EQ(cut.Get("Password"), "a");
    EXPECT_EQ(cut.Get("User ID"), "u");
    ConnectionString braced("Driver={SQLite3};PWD={x;}}y};Database=/tmp/a b.db;");
    EXPECT_EQ(braced.Get("Driver"), "SQLite3");
    EXPECT_EQ(braced.Get("PWD"), "x;}y");
    EXPECT_EQ(braced.Get("Database"), "/tmp/a b.db");

    EXPECT_EQ(odbc::SqlServerConnectionString("FreeTDS", "srv,1433", "CRM", "sa", "p;w"),
              "Driver=FreeTDS;Server=srv;Port=1433;Database=CRM;UID=sa;PWD={p;w};"
              "ClientCharset=UTF-8;");
    EXPECT_EQ(odbc::SqlServerConnectionString("FreeTDS", "SERWER\\SQL2008", "ERP", "u", ""),
              "Driver=FreeTDS;Server=SERWER\\SQL2008;Database=ERP;UID=u;PWD=;"
              "ClientCharset=UTF-8;");
    EXPECT_EQ(odbc::SqlServerConnectionString("ODBC Driver 18 for SQL Server", "srv,1433", "CRM",
                                              "sa", "}x"),
              "Driver=ODBC Driver 18 for SQL Server;Server=srv,1433;Database=CRM;UID=sa;"
              "PWD={}}x};");
}

TEST(SqlServerPath, UnreachableServerIsAConnectionFailure) {
    // The OLE DB string with a server name goes to FreeTDS (or the driver the
    // INI names); nothing listens on port 1 here, and no driver is "NoSuchDriver".
    const std::string cs = "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;"
                           "User ID=sa;Initial Catalog=CRM;Data Source=127.0.0.1,1";
    for (const char* driver : {"", "NoSuchDriver"}) {
        Connection c;
        try {
            c.Open(cs, "/", driver);
            ADD_FAILURE() << "connected through '" << driver << "'";
        } catch (const DbError& e) {
            EXPECT_EQ(e.Kind(), DbErrorKind::ConnectionFailed) << e.what();
            EXPECT_FALSE(e.SqlState().empty()) << e.what();
        }
        EXPECT_FALSE(c.Connected());
    }
}

TEST(SqlServerPath, ProceduresGoAsCallEscapes) {
    // The SQLite3 driver has no procedures: the call reaches it, with its two
    // bound parameters, and comes back as the driver's error.
    test::TempDir dir;
    Connection c;
    c.Open(std::string("Driver=") + test::SqliteOdbcDriver + ";Database=" +
               (dir / "p.sqlite").string(),
           dir.Path());
    EXPECT_EQ(c.Kind(), BackendKind::Odbc);
    c.RegisterProcedure("dba.CodeProdInfo_PFA", [](Connection&, ParamList&) {
        FAIL() << "an embedded procedure ran on the ODBC backend";
    });
    StoredProc proc(c, "dba.CodeProdInfo_PFA");
    proc.SetParam("TypUI", 100);
    proc.SetParam("DokumentID", "ąę");
    try {
        proc.ExecProc();
        ADD_FAILURE() << "the SQLite3 driver ran a procedure";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Kind(), DbErrorKind::Other) << e.what();
        EXPECT_FALSE(e.SqlState().empty());
    }
}
