// The same cases on both backends: the embedded one, and ODBC through the
// SQLite3 ODBC driver and the real driver manager.

#include "DbTestSupport.h"

#include "core/DateTime.h"
#include "db/DbError.h"
#include "db/Query.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelmora;
using namespace pelmora::db;
using core::Variant;
using test::TestBackend;

namespace {

class Conformance : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        test::OpenFresh(conn, GetParam(), dir,
                        {"CREATE TABLE Item(Id INTEGER PRIMARY KEY, Name VARCHAR(50), "
                         "Amount FLOAT, Big BIGINT, Stamp DATETIME, Flag BIT, Code VARCHAR(10))",
                         "CREATE UNIQUE INDEX Item_Code ON Item(Code)"});
    }

    void Insert(int id, const Variant& name, const Variant& big = Variant()) {
        Query q(conn, "insert into Item(Id, Name, Big) values(:Id, :Name, :Big)");
        q.SetParam("Id", id);
        q.SetParam("Name", name);
        q.SetParam("Big", big);
        q.Execute();
    }

    test::TempDir dir;
    Connection conn;
};

std::string Describe(const testing::TestParamInfo<TestBackend>& info) {
    return test::BackendName(info.param);
}

TEST_P(Conformance, BindsByNameWithRepeatedNamesAndAnyCase) {
    Insert(1, "a", 2);
    Insert(2, "b", 5);
    Insert(3, "c", 1);
    Query q(conn, SqlLines({"select Id", "  from Item", " where Id = :Key or Big = :KEY",
                            " order by Id"}));
    ASSERT_EQ(q.Params().Count(), 1u);
    q.ParamByName("key") = 2;
    q.Open();
    std::vector<int> ids;
    for (; !q.Eof(); q.Next())
        ids.push_back(q.FieldByName("ID").ToInt());
    EXPECT_EQ(ids, (std::vector<int>{1, 2}));

    // Colons inside strings, quoted names and comments are no parameters.
    Query text(conn, "select ':Nope' as \"a:b\", Name from Item -- :Neither\n where Id = :Id");
    ASSERT_EQ(text.Params().Count(), 1u);
    text.SetParam("Id", 3);
    text.Open();
    EXPECT_EQ(text.FieldByName("a:b").ToString(), ":Nope");
    EXPECT_THROW(text.ParamByName("Nope"), DbError);
}

TEST_P(Conformance, UnsetAndNullValuesAreBoundAndReadAsNull) {
    Insert(1, Variant(), Variant::Null());
    Query q(conn, "select Name, Big, Stamp, Flag from Item where Id = 1");
    q.Open();
    for (const char* field : {"Name", "Big", "Stamp", "Flag"})
        EXPECT_TRUE(q.FieldByName(field).IsNull()) << field;

    Query isNull(conn, "select count(*) as n from Item where Name is null and :P is null");
    isNull.Open(); // the parameter was never set: Empty
    EXPECT_EQ(isNull.FieldByName("n").ToInt(), 1);
}

TEST_P(Conformance, ValuesRoundTripWithTheirTypes) {
    const core::TDateTime stamp = core::EncodeDateTime({2024, 2, 29, 13, 45, 7, 123});
    const std::string polish = "Zażółć gęślą jaźń – ŻÓŁĆ GĘŚLĄ JAŹŃ";
    const std::string longText(10000, 'x'); // far past VARCHAR(50): passed whole
    struct Case {
        const char* Column;
        Variant Value;
        core::VarType Expected;
    };
    const Case cases[] = {
        {"Big", Variant(-42), core::varInteger},
        {"Big", Variant(int64_t(5000000000)), core::varInt64},
        {"Big", Variant(int64_t(7)), core::varInteger},
        {"Amount", Variant(1.5), core::varDouble},
        {"Amount", Variant(-0.25), core::varDouble},
        {"Amount", Variant(3), core::varDouble},
        {"Name", Variant(polish), core::varString},
        {"Name", Variant(longText), core::varString},
        {"Name", Variant(""), core::varString},
        {"Stamp", Variant::FromDate(stamp), core::varDate},
        {"Stamp", Variant::FromDate(core::EncodeDate(1999, 12, 31)), core::varDate},
        {"Flag", Variant(true), core::varBoolean},
        {"Flag", Variant(false), core::varBoolean},
    };
    int id = 0;
    for (const Case& c : cases) {
        ++id;
        std::string column = c.Column;
        Query insert(conn, "insert into Item(Id, " + column + ") values(:Id, :Value)");
        insert.SetParam("Id", id);
        insert.SetParam("Value", c.Value);
        EXPECT_EQ(insert.Execute(), 1);
        Query select(conn, "select " + column + " from Item where Id = :Id");
        select.SetParam("Id", id);
        select.Open();
        const Variant& got = select.FieldByName(column);
        SCOPED_TRACE(std::string(c.Column) + " = " + c.Value.ToString().substr(0, 40));
        EXPECT_EQ(got.Type(), c.Expected);
        if (c.Expected == core::varDate) {
            EXPECT_NEAR(got.ToDate(), c.Value.ToDate(), 0.5 / core::MSecsPerDay);
        } else if (c.Expected == core::varDouble) {
            EXPECT_DOUBLE_EQ(got.ToDouble(), c.Value.ToDouble());
        } else if (c.Expected == core::varBoolean) {
            EXPECT_EQ(got.ToBool(), c.Value.ToBool());
        } else {
            EXPECT_EQ(got.ToString(), c.Value.ToString());
        }
    }
    // Polish text inside the statement's own text.
    conn.Execute("update Item set Name = '" + polish + "' where Id = 1");
    Query select(conn, "select Name from Item where Id = 1 and Name = :Name");
    select.SetParam("Name", polish);
    select.Open();
    ASSERT_FALSE(select.Eof());
    EXPECT_EQ(select.FieldByName("Name").ToString(), polish);
}

TEST_P(Conformance, QueryIsReopenedWithNewValues) {
    Insert(1, "one");
    Insert(2, "two");
    Query q(conn, "select Name from Item where Id = :Id");
    q.SetParam("Id", 1);
    q.Open();
    EXPECT_EQ(q.FieldByName("Name").ToString(), "one");
    q.Close();
    EXPECT_FALSE(q.Active());
    EXPECT_THROW(q.FieldByName("Name"), DbError);
    q.SetParam("Id", 2);
    q.Open();
    EXPECT_EQ(q.FieldByName("Name").ToString(), "two");
    q.SetParam("Id", 3);
    q.Open(); // reopening an open query
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_THROW(q.FieldByName("Name"), DbError);
}

TEST_P(Conformance, IteratesRowsWhileOtherStatementsRun) {
    for (int i = 1; i <= 5; ++i)
        Insert(i, "n" + std::to_string(i), i * 10);
    Query q(conn, "select Id, Big from Item order by Id");
    Query update(conn, "update Item set Big = :Big where Id = :Id");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 5);
    int seen = 0;
    for (q.First(); !q.Eof(); q.Next()) {
        ++seen;
        EXPECT_EQ(q.FieldByName("Id").ToInt(), seen);
        update.SetParam("Id", q.FieldByName("Id"));
        update.SetParam("Big", q.FieldByName("Big").ToInt() + 1);
        EXPECT_EQ(update.Execute(), 1);
    }
    EXPECT_EQ(seen, 5);
    q.First();
    EXPECT_EQ(q.FieldByName("Id").ToInt(), 1);
    q.Open();
    EXPECT_EQ(q.FieldByName("Big").ToInt(), 11);
}

TEST_P(Conformance, ExecuteTellsRowsAffected) {
    for (int i = 1; i <= 4; ++i)
        Insert(i, i % 2 ? "odd" : "even");
    Query update(conn, "update Item set Amount = 1 where Name = :Name");
    update.SetParam("Name", "odd");
    EXPECT_EQ(update.Execute(), 2);
    update.SetParam("Name", "none");
    EXPECT_EQ(update.Execute(), 0);
    EXPECT_EQ(conn.Execute("delete from Item where Id > 1"), 3);
}

TEST_P(Conformance, CommitKeepsAndRollbackDrops) {
    EXPECT_FALSE(conn.InTransaction());
    conn.BeginTransaction();
    EXPECT_TRUE(conn.InTransaction());
    EXPECT_THROW(conn.BeginTransaction(), DbError);
    Insert(1, "dropped");
    conn.Rollback();
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(test::CountRows(conn, "Item"), 0);

    conn.BeginTransaction();
    Insert(2, "kept");
    conn.Commit();
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_THROW(conn.Commit(), DbError);
    EXPECT_NO_THROW(conn.Rollback()); // nothing to roll back
    EXPECT_EQ(test::CountRows(conn, "Item"), 1);

    // Closing with an open transaction rolls it back.
    conn.BeginTransaction();
    Insert(3, "lost");
    std::string cs = conn.ConnectionString();
    conn.Close();
    EXPECT_FALSE(conn.Connected());
    conn.Open(cs, dir.Path());
    EXPECT_EQ(test::CountRows(conn, "Item"), 1);
}

TEST_P(Conformance, DuplicateKeysHaveTheirKind) {
    Insert(1, "a");
    try {
        Insert(1, "b");
        FAIL() << "primary key not enforced";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Kind(), DbErrorKind::DuplicateKey) << e.what();
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
    }
    conn.Execute("update Item set Code = 'X' where Id = 1");
    Insert(2, "b");
    try {
        conn.Execute("update Item set Code = 'X' where Id = 2");
        FAIL() << "unique index not enforced";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Kind(), DbErrorKind::DuplicateKey) << e.what();
    }
    // Another constraint is not a duplicate key.
    conn.Execute("CREATE TABLE Strict(Id INTEGER PRIMARY KEY, Name VARCHAR(5) NOT NULL)");
    try {
        conn.Execute("insert into Strict(Id, Name) values(1, NULL)");
        FAIL() << "NOT NULL not enforced";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Kind(), DbErrorKind::Other) << e.what();
    }
}

TEST_P(Conformance, BadStatementsRaiseWithTheDatabasesMessage) {
    Query bad(conn, "selec Id from Item");
    try {
        bad.Open();
        FAIL() << "bad statement accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Kind(), DbErrorKind::Other);
        EXPECT_NE(std::string(e.what()).find("syntax error"), std::string::npos) << e.what();
        if (GetParam() == TestBackend::Odbc) {
            EXPECT_EQ(e.SqlState().size(), 5u);
        }
    }
    Query missing(conn, "select Id from NoSuchTable where Id = :Id");
    EXPECT_THROW(missing.Open(), DbError);
    EXPECT_THROW(conn.Execute("insert into NoSuchTable values(1)"), DbError);
    // The connection is usable after the failures.
    Insert(1, "ok");
    EXPECT_EQ(test::CountRows(conn, "Item"), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, Conformance,
                         testing::Values(TestBackend::Embedded, TestBackend::Odbc), Describe);

} // namespace
