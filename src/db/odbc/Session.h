#pragma once
// An open ODBC connection through the unixODBC driver manager.

#include "db/Backend.h"

#include <sql.h>

#include <memory>
#include <string>

namespace pelmora::db::odbc {

// Seconds a connection attempt may take before it fails.
inline constexpr SQLUINTEGER LoginTimeoutSeconds = 15;

class Session final : public SessionBackend {
public:
    // Connects with an ODBC connection string ("Driver=...;..."), without
    // prompting. Raises DbError (ConnectionFailed).
    static std::unique_ptr<Session> Open(const std::string& odbcConnectionString);
    ~Session() override;

    BackendKind Kind() const override { return BackendKind::Odbc; }
    std::unique_ptr<StatementBackend> Prepare(const std::string& sql) override;
    int64_t Execute(const std::string& sql) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override { return inTransaction_; }
    void CallProcedure(Connection& connection, const std::string& name, ParamList& params) override;

private:
    Session() = default;
    void EndTransaction(SQLSMALLINT completion, const char* what);

    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    bool inTransaction_ = false;
};

} // namespace pelmora::db::odbc
