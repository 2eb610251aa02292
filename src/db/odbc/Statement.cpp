#include "db/odbc/Statement.h"

#include "db/odbc/Errors.h"
#include "db/odbc/Values.h"

#include <sqlext.h>

namespace pelmora::db::odbc {

int64_t ReadResults(SQLHSTMT stmt, SQLRETURN rc, ResultSet* result) {
    int64_t affected = -1;
    bool haveRows = false;
    // SQL_NO_DATA from executing: a searched UPDATE or DELETE that found no row.
    if (rc == SQL_NO_DATA)
        return 0;
    for (;;) {
        std::vector<ColumnInfo> columns = DescribeColumns(stmt);
        if (!columns.empty()) {
            if (result != nullptr && !haveRows) {
                haveRows = true;
                result->Columns.clear();
                result->Rows.clear();
                for (const ColumnInfo& c : columns)
                    result->Columns.push_back(c.Name);
                for (;;) {
                    SQLRETURN fetch = SQLFetch(stmt);
                    if (fetch == SQL_NO_DATA)
                        break;
                    Check(fetch, SQL_HANDLE_STMT, stmt, "Fetching a row");
                    std::vector<core::Variant> row;
                    row.reserve(columns.size());
                    for (size_t c = 0; c < columns.size(); ++c)
                        row.push_back(
                            ReadColumn(stmt, static_cast<SQLUSMALLINT>(c + 1), columns[c]));
                    result->Rows.push_back(std::move(row));
                }
            }
        } else if (affected < 0) {
            SQLLEN count = -1;
            if (SQL_SUCCEEDED(SQLRowCount(stmt, &count)) && count >= 0)
                affected = count;
        }
        SQLRETURN more = SQLMoreResults(stmt);
        if (more == SQL_NO_DATA)
            break;
        Check(more, SQL_HANDLE_STMT, stmt, "Reading the next result");
    }
    return affected;
}

Statement::Statement(SessionBackend& session, SQLHDBC dbc, const std::string& sql,
                     std::vector<std::string> names)
    : StatementBackend(session), names_(std::move(names)) {
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_), SQL_HANDLE_DBC, dbc,
          "Allocating a statement");
    SQLRETURN rc =
        SQLPrepare(stmt_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) {
        DbError error = MakeError(SQL_HANDLE_STMT, stmt_, {});
        Detach();
        throw error;
    }
}

Statement::~Statement() {
    Detach();
}

void Statement::Release() {
    if (stmt_ != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    stmt_ = SQL_NULL_HSTMT;
}

int64_t Statement::Run(const ParamList& params, ResultSet* result) {
    if (Released())
        throw DbError(DbErrorKind::ConnectionFailed, "Connection is closed");
    SQLFreeStmt(stmt_, SQL_CLOSE);
    SQLFreeStmt(stmt_, SQL_RESET_PARAMS);
    std::vector<BoundValue> values;
    values.reserve(names_.size());
    for (const std::string& name : names_) {
        const core::Variant* value = params.Find(name);
        values.push_back(MakeBound(value != nullptr ? *value : core::Variant::Null()));
    }
    BindAll(stmt_, values);
    SQLRETURN rc = SQLExecute(stmt_);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
        DbError error = MakeError(SQL_HANDLE_STMT, stmt_, {});
        SQLFreeStmt(stmt_, SQL_CLOSE);
        throw error;
    }
    try {
        int64_t affected = ReadResults(stmt_, rc, result);
        SQLFreeStmt(stmt_, SQL_CLOSE);
        return affected;
    } catch (...) {
        SQLFreeStmt(stmt_, SQL_CLOSE);
        throw;
    }
}

} // namespace pelmora::db::odbc
