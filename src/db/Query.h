#pragma once
// A named query with a fixed SQL text. Parameters are written ":Name" in the text
// and bound by name (without regard to case); an Empty or Null value is bound as
// SQL NULL, texts are passed whole whatever their length. Open runs the statement
// and reads all its rows, so other statements may run on the connection while
// the rows are walked; Execute runs a statement without rows.
//
// Field values: Null for SQL NULL, Integer (Int64 past 32 bits), Double,
// String (UTF-8), Boolean for bit columns, Date for date and time columns.
//
// Where SQLite cannot run a statement as written, an embedded form may be kept
// beside the original; the embedded backend runs that one. Both forms must use
// the same parameter names.

#include "core/Variant.h"
#include "db/ParamList.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::db {

class Connection;
class StatementBackend;

// Lines of a statement joined by line feeds, as a statement quoted line by line
// is kept: SqlLines({"select ZAK_Min, ZAK_Max", " from dba.Zakres"}).
std::string SqlLines(std::initializer_list<std::string_view> lines);

// Rows read by Open.
struct ResultSet {
    std::vector<std::string> Columns;
    std::vector<std::vector<core::Variant>> Rows;
};

class Query {
public:
    Query(Connection& connection, std::string sql, std::string embeddedSql = {});
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // Replaces the text (closing the query); parameters of the new text that
    // existed before keep their values.
    void SetSql(std::string sql, std::string embeddedSql = {});
    const std::string& Sql() const { return sql_; }
    const std::string& EmbeddedSql() const { return embeddedSql_; }
    Connection& GetConnection() const { return *connection_; }

    // Parameters found in the text(s); ParamByName raises DbError for a name
    // the text does not have.
    core::Variant& ParamByName(std::string_view name);
    void SetParam(std::string_view name, const core::Variant& value);
    const ParamList& Params() const { return params_; }

    // Runs the statement and reads its rows; positions on the first row.
    void Open();
    void Close();
    bool Active() const { return active_; }
    void First();
    void Next();
    bool Eof() const;
    int RecordCount() const;

    int FieldCount() const;
    const std::string& FieldName(int index) const;
    // The field of the current row; raises DbError when the query is closed,
    // past the end, or has no such column.
    const core::Variant& FieldByName(std::string_view name) const;
    const core::Variant& Field(int index) const;
    bool HasField(std::string_view name) const;

    // Runs the statement without reading rows; returns the rows affected
    // (-1 when the database does not tell). Closes the query first.
    int64_t Execute();

private:
    const std::string& TextFor(const Connection& connection) const;
    StatementBackend& Prepared();
    void CheckRow() const;

    Connection* connection_;
    std::string sql_;
    std::string embeddedSql_;
    ParamList params_;
    std::unique_ptr<StatementBackend> statement_; // prepared on first use
    uint64_t statementGeneration_ = 0;            // connection generation it belongs to
    ResultSet result_;
    size_t row_ = 0;
    bool active_ = false;
};

} // namespace pelmora::db
