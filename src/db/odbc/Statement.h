#pragma once
// A prepared statement of the ODBC backend: positional text, the parameter name
// of each "?", and one statement handle kept prepared between runs.

#include "db/Backend.h"

#include <sql.h>

#include <string>
#include <vector>

namespace pelmora::db::odbc {

class Statement final : public StatementBackend {
public:
    // Prepares `sql`, whose "?" take the values of `names` in order.
    Statement(SessionBackend& session, SQLHDBC dbc, const std::string& sql,
              std::vector<std::string> names);
    ~Statement() override;

    int64_t Run(const ParamList& params, ResultSet* result) override;

private:
    void Release() override;

    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    std::vector<std::string> names_;
};

// After a statement has run: reads the rows of the first result that has
// columns into `result` (when given), skips the other results, and returns
// the row count of the first result without columns (-1 when there is none).
int64_t ReadResults(SQLHSTMT stmt, SQLRETURN executeRc, ResultSet* result);

} // namespace pelmora::db::odbc
