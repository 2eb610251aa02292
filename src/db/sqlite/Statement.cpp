#include "db/sqlite/Statement.h"

#include "core/Text.h"
#include "db/SqlLexer.h"
#include "db/sqlite/Dialect.h"
#include "db/sqlite/Errors.h"
#include "db/sqlite/Values.h"

#include <sqlite3.h>

namespace pelmora::db::sqlite {

namespace {

// Whether a prepared statement changes rows (so its count is the rows affected).
bool ChangesRows(sqlite3_stmt* stmt) {
    for (const SqlToken& t : TokenizeSql(sqlite3_sql(stmt))) {
        if (t.Kind != SqlTokenKind::Word)
            continue;
        std::string word = core::UpperCase(t.Text);
        if (word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "REPLACE")
            return true;
        if (word == "WITH")
            return !sqlite3_stmt_readonly(stmt);
        return false;
    }
    return false;
}

// Prepares the statements of a text one by one.
std::vector<sqlite3_stmt*> PrepareAll(sqlite3* db, const std::string& text) {
    std::vector<sqlite3_stmt*> statements;
    const char* tail = text.c_str();
    const char* end = tail + text.size();
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        int rc = sqlite3_prepare_v3(db, tail, static_cast<int>(end - tail),
                                    SQLITE_PREPARE_PERSISTENT, &stmt, &next);
        if (rc != SQLITE_OK) {
            DbError error = MakeError(db, rc);
            for (sqlite3_stmt* s : statements)
                sqlite3_finalize(s);
            throw error;
        }
        if (stmt != nullptr) // nullptr for blanks and comments only
            statements.push_back(stmt);
        if (next == nullptr || next <= tail)
            break;
        tail = next;
    }
    return statements;
}

void BindParams(sqlite3_stmt* stmt, const ParamList& params) {
    int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(stmt, i);
        const core::Variant* value = nullptr;
        if (name != nullptr && name[0] == ':')
            for (const Param& p : params.Items())
                if (core::SameText(ParamName(p.Name), name + 1)) {
                    value = &p.Value;
                    break;
                }
        // A placeholder the layer does not know (?, @x) stays NULL.
        if (value != nullptr)
            BindValue(stmt, i, *value);
    }
}

// Steps a statement to its end, reading its rows into `result` when given.
void StepAll(sqlite3* db, sqlite3_stmt* stmt, ResultSet* result) {
    std::vector<ColumnClass> classes;
    int columns = sqlite3_column_count(stmt);
    if (result != nullptr) {
        result->Columns.clear();
        result->Rows.clear();
        for (int c = 0; c < columns; ++c) {
            const char* name = sqlite3_column_name(stmt, c);
            result->Columns.emplace_back(name ? name : "");
            classes.push_back(ClassOfDeclType(sqlite3_column_decltype(stmt, c)));
        }
    }
    for (;;) {
        int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            return;
        if (rc != SQLITE_ROW) {
            DbError error = MakeError(db, rc);
            sqlite3_reset(stmt);
            throw error;
        }
        if (result != nullptr) {
            std::vector<core::Variant> row;
            row.reserve(static_cast<size_t>(columns));
            for (int c = 0; c < columns; ++c)
                row.push_back(ReadValue(stmt, c, classes[static_cast<size_t>(c)]));
            result->Rows.push_back(std::move(row));
        }
    }
}

} // namespace

Statement::Statement(SessionBackend& session, sqlite3* db, const std::string& sql)
    : StatementBackend(session), db_(db) {
    statements_ = PrepareAll(db, PrepareSqlText(sql));
    for (sqlite3_stmt* stmt : statements_)
        changesRows_.push_back(ChangesRows(stmt));
}

Statement::~Statement() {
    Detach();
}

void Statement::Release() {
    for (sqlite3_stmt* stmt : statements_)
        sqlite3_finalize(stmt);
    statements_.clear();
}

int64_t Statement::Run(const ParamList& params, ResultSet* result) {
    if (Released())
        Raise(DbErrorKind::ConnectionFailed, "Connection is closed");
    int64_t affected = -1;
    bool haveRows = false;
    for (size_t i = 0; i < statements_.size(); ++i) {
        sqlite3_stmt* stmt = statements_[i];
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        BindParams(stmt, params);
        // The rows are those of the first statement that gives columns.
        bool wantRows = result != nullptr && !haveRows && sqlite3_column_count(stmt) > 0;
        StepAll(db_, stmt, wantRows ? result : nullptr);
        haveRows = haveRows || wantRows;
        if (changesRows_[i])
            affected = (affected < 0 ? 0 : affected) + sqlite3_changes64(db_);
        // Reset at once so that no read lock outlives the call.
        sqlite3_reset(stmt);
    }
    return affected;
}

int64_t ExecuteText(sqlite3* db, const std::string& sql) {
    // One statement at a time, as a later one may use what an earlier one made.
    std::string text = PrepareSqlText(sql);
    const char* tail = text.c_str();
    const char* end = tail + text.size();
    int64_t affected = -1;
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        int rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &stmt, &next);
        if (rc != SQLITE_OK)
            Raise(db, rc);
        if (stmt != nullptr) {
            try {
                StepAll(db, stmt, nullptr);
            } catch (...) {
                sqlite3_finalize(stmt);
                throw;
            }
            if (ChangesRows(stmt))
                affected = (affected < 0 ? 0 : affected) + sqlite3_changes64(db);
            sqlite3_finalize(stmt);
        }
        if (next == nullptr || next <= tail)
            break;
        tail = next;
    }
    return affected;
}

} // namespace pelmora::db::sqlite
