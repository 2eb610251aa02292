#include "db/sqlite/Dialect.h"

#include "core/DateTime.h"
#include "core/Text.h"
#include "db/SqlLexer.h"
#include "db/sqlite/Errors.h"
#include "db/sqlite/Values.h"

#include <sqlite3.h>

#include <cstring>
#include <vector>

namespace pelmora::db::sqlite {

namespace {

// The marker SQLite cannot read in names, and what it becomes in parameter names.
constexpr std::string_view HashPair = "##";
constexpr std::string_view HashPairInParam = "__";

std::string QuoteName(std::string_view name) {
    return "\"" + core::ReplaceAll(name, "\"", "\"\"") + "\"";
}

std::string QuoteText(std::string_view text) {
    return "'" + core::ReplaceAll(text, "'", "''") + "'";
}

bool IsDot(const SqlToken& t) {
    return t.Kind == SqlTokenKind::Symbol && t.Text == ".";
}

bool IsNamePart(const SqlToken& t) {
    return t.Kind == SqlTokenKind::Word || t.Kind == SqlTokenKind::QuotedName;
}

// A name part as the database sees it: quotes removed, doubled quotes single.
std::string Unquoted(const SqlToken& t) {
    if (t.Kind != SqlTokenKind::QuotedName || t.Text.size() < 2)
        return std::string(t.Text);
    const char close = t.Text.front() == '[' ? ']' : '"';
    std::string_view inner = t.Text.substr(1, t.Text.size() - 2);
    return core::ReplaceAll(inner, std::string(2, close), std::string(1, close));
}

bool IsPlainWord(const SqlToken& t) {
    return t.Kind == SqlTokenKind::Word && t.Text.find(HashPair) == std::string_view::npos;
}

void GetDateFunction(sqlite3_context* ctx, int, sqlite3_value**) {
    std::string text = DateToText(core::Now());
    sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

template <std::string (*Convert)(std::string_view)>
void CaseFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const unsigned char* data = sqlite3_value_text(argv[0]);
    int size = sqlite3_value_bytes(argv[0]);
    std::string text =
        Convert(std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(size)));
    sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// Runs one statement on the connection; returns the first column of the first
// row in `value` when there is one. Returns the result code.
int RunNested(sqlite3* db, const std::string& sql, sqlite3_int64* value) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW && value != nullptr)
        *value = sqlite3_column_int64(stmt, 0);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// NEXTVAL(schema, name): adds 1 to the one row of the sequence table and
// returns the new value (an empty table starts at 1).
void NextValFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    auto text = [&](int i) {
        const unsigned char* t = sqlite3_value_text(argv[i]);
        return std::string(t ? reinterpret_cast<const char*>(t) : "");
    };
    std::string table = QuoteName(text(0)) + "." + QuoteName(text(1));
    int rc = RunNested(db, "UPDATE " + table + " SET Value = Value + 1", nullptr);
    if (rc == SQLITE_OK && sqlite3_changes(db) == 0)
        rc = RunNested(db, "INSERT INTO " + table + "(Value) VALUES(1)", nullptr);
    sqlite3_int64 value = 0;
    if (rc == SQLITE_OK)
        rc = RunNested(db, "SELECT Value FROM " + table, &value);
    if (rc != SQLITE_OK) {
        std::string message = "sequence " + text(0) + "." + text(1) + ": " + sqlite3_errmsg(db);
        sqlite3_result_error(ctx, message.c_str(), -1);
        sqlite3_result_error_code(ctx, rc);
        return;
    }
    sqlite3_result_int64(ctx, value);
}

int BinaryCollation(void*, int lengthA, const void* a, int lengthB, const void* b) {
    int common = lengthA < lengthB ? lengthA : lengthB;
    int c = std::memcmp(a, b, static_cast<size_t>(common));
    if (c != 0)
        return c;
    return lengthA < lengthB ? -1 : (lengthA > lengthB ? 1 : 0);
}

} // namespace

std::string ParamName(std::string_view name) {
    return core::ReplaceAll(name, HashPair, HashPairInParam);
}

std::string ResolveCatalogNames(std::string_view sql, const CatalogResolver& resolve) {
    std::vector<SqlToken> tokens = TokenizeSql(sql);
    std::string out;
    out.reserve(sql.size() + 16);
    for (size_t i = 0; i < tokens.size(); ++i) {
        const SqlToken& t = tokens[i];
        const bool threeParts = IsNamePart(t) && i + 4 < tokens.size() && IsDot(tokens[i + 1]) &&
                                IsNamePart(tokens[i + 2]) && IsDot(tokens[i + 3]) &&
                                IsNamePart(tokens[i + 4]) && (i == 0 || !IsDot(tokens[i - 1])) &&
                                (i + 5 == tokens.size() || !IsDot(tokens[i + 5])) &&
                                !(tokens[i + 4].Kind == SqlTokenKind::Word &&
                                  core::SameText(tokens[i + 4].Text, "nextval"));
        if (threeParts) {
            if (std::optional<std::string> database =
                    resolve(Unquoted(t), Unquoted(tokens[i + 2]))) {
                out += QuoteName(*database) + "." + std::string(tokens[i + 4].Text);
                i += 4;
                continue;
            }
        }
        out += t.Text;
    }
    return out;
}

std::string PrepareSqlText(std::string_view sql) {
    std::vector<SqlToken> tokens = TokenizeSql(sql);
    std::string out;
    out.reserve(sql.size() + 16);
    for (size_t i = 0; i < tokens.size(); ++i) {
        const SqlToken& t = tokens[i];
        if (t.Kind == SqlTokenKind::Word && i + 4 < tokens.size() && IsPlainWord(t) &&
            IsDot(tokens[i + 1]) && IsPlainWord(tokens[i + 2]) && IsDot(tokens[i + 3]) &&
            tokens[i + 4].Kind == SqlTokenKind::Word &&
            core::SameText(tokens[i + 4].Text, "nextval") && (i == 0 || !IsDot(tokens[i - 1]))) {
            out += std::string(SequenceFunction) + "(" + QuoteText(t.Text) + ", " +
                   QuoteText(tokens[i + 2].Text) + ")";
            i += 4;
        } else if (t.Kind == SqlTokenKind::Word &&
                   t.Text.find(HashPair) != std::string_view::npos) {
            out += QuoteName(t.Text);
        } else if (t.Kind == SqlTokenKind::Param &&
                   t.Name.find(HashPair) != std::string_view::npos) {
            out += ":" + ParamName(t.Name);
        } else {
            out += t.Text;
        }
    }
    return out;
}

void RegisterFunctions(sqlite3* db) {
    constexpr int Deterministic = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    struct Entry {
        const char* Name;
        int Args;
        int Flags;
        void (*Fn)(sqlite3_context*, int, sqlite3_value**);
    };
    const Entry entries[] = {
        {"GetDate", 0, SQLITE_UTF8, GetDateFunction},
        {"UPPER", 1, Deterministic, CaseFunction<core::UpperCase>},
        {"LOWER", 1, Deterministic, CaseFunction<core::LowerCase>},
        {SequenceFunction, 2, SQLITE_UTF8, NextValFunction},
    };
    for (const Entry& e : entries) {
        int rc = sqlite3_create_function_v2(db, e.Name, e.Args, e.Flags, nullptr, e.Fn, nullptr,
                                            nullptr, nullptr);
        if (rc != SQLITE_OK)
            Raise(db, rc, std::string("Registering function ") + e.Name);
    }
    int rc = sqlite3_create_collation_v2(db, "DATABASE_DEFAULT", SQLITE_UTF8, nullptr,
                                         BinaryCollation, nullptr);
    if (rc != SQLITE_OK)
        Raise(db, rc, "Registering collation DATABASE_DEFAULT");
}

} // namespace pelmora::db::sqlite
