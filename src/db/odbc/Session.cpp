#include "db/odbc/Session.h"

#include "db/odbc/Dialect.h"
#include "db/odbc/Errors.h"
#include "db/odbc/Statement.h"

#include <sqlext.h>

namespace pelmora::db::odbc {

std::unique_ptr<Session> Session::Open(const std::string& connectionString) {
    std::unique_ptr<Session> s(new Session());
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &s->env_)))
        throw DbError(DbErrorKind::ConnectionFailed, "Cannot allocate an ODBC environment");
    SQLSetEnvAttr(s->env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, s->env_, &s->dbc_)))
        throw MakeError(SQL_HANDLE_ENV, s->env_, "Cannot allocate an ODBC connection", true);
    SQLSetConnectAttr(s->dbc_, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(LoginTimeoutSeconds)), 0);
    SQLRETURN rc = SQLDriverConnect(
        s->dbc_, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectionString.c_str())),
        SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc))
        throw MakeError(SQL_HANDLE_DBC, s->dbc_, "Cannot connect", true);
    s->connected_ = true;
    return s;
}

Session::~Session() {
    ReleaseStatements();
    if (connected_) {
        if (inTransaction_)
            SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
        SQLDisconnect(dbc_);
    }
    if (dbc_ != SQL_NULL_HDBC)
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    if (env_ != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

std::unique_ptr<StatementBackend> Session::Prepare(const std::string& sql) {
    PositionalSql positional = ToPositional(sql);
    return std::make_unique<Statement>(*this, dbc_, positional.Sql, std::move(positional.Names));
}

int64_t Session::Execute(const std::string& sql) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt), SQL_HANDLE_DBC, dbc_,
          "Allocating a statement");
    SQLRETURN rc =
        SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
    try {
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            throw MakeError(SQL_HANDLE_STMT, stmt, {});
        int64_t affected = ReadResults(stmt, rc, nullptr);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return affected;
    } catch (...) {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        throw;
    }
}

void Session::Begin() {
    Check(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_OFF)),
                            0),
          SQL_HANDLE_DBC, dbc_, "Beginning a transaction");
    inTransaction_ = true;
}

void Session::EndTransaction(SQLSMALLINT completion, const char* what) {
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, completion);
    if (!SQL_SUCCEEDED(rc)) {
        DbError error = MakeError(SQL_HANDLE_DBC, dbc_, what);
        // A failed commit leaves the transaction for a rollback; a failed
        // rollback ends it all the same (the server drops it with the link).
        if (completion == SQL_COMMIT)
            throw error;
        inTransaction_ = false;
        SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_ON)), 0);
        throw error;
    }
    inTransaction_ = false;
    Check(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_ON)),
                            0),
          SQL_HANDLE_DBC, dbc_, what);
}

void Session::Commit() {
    EndTransaction(SQL_COMMIT, "Committing");
}

void Session::Rollback() {
    EndTransaction(SQL_ROLLBACK, "Rolling back");
}

void Session::CallProcedure(Connection&, const std::string& name, ParamList& params) {
    std::vector<std::string> names;
    for (const Param& p : params.Items())
        names.push_back(p.Name);
    Statement call(*this, dbc_, CallText(name, names.size()), std::move(names));
    call.Run(params, nullptr);
}

} // namespace pelmora::db::odbc
