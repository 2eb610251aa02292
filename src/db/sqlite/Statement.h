#pragma once
// A prepared statement of the embedded backend: the text after the token step,
// as one or more SQLite statements run one after another.

#include "db/Backend.h"

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace pelmora::db::sqlite {

class Statement final : public StatementBackend {
public:
    // Prepares every statement of `sql` (raises DbError).
    Statement(SessionBackend& session, sqlite3* db, const std::string& sql);
    ~Statement() override;

    int64_t Run(const ParamList& params, ResultSet* result) override;

private:
    void Release() override;

    sqlite3* db_;
    std::vector<sqlite3_stmt*> statements_;
    std::vector<bool> changesRows_; // per statement: INSERT, UPDATE or DELETE
};

// Runs all statements of a text without parameters; returns the rows changed
// by its INSERT, UPDATE and DELETE statements (-1 when it has none).
int64_t ExecuteText(sqlite3* db, const std::string& sql);

} // namespace pelmora::db::sqlite
