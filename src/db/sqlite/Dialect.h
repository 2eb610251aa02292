#pragma once
// What the embedded backend adds so that the program's T-SQL statements run on
// SQLite: one narrow token-level step for the two forms SQLite's tokenizer
// rejects, and the functions and collation SQLite lacks.

#include <string>
#include <string_view>

struct sqlite3;

namespace pelmora::db::sqlite {

// Name of the registered sequence function: NEXTVAL('schema', 'name').
inline constexpr const char* SequenceFunction = "NEXTVAL";

// The token step, outside strings, quoted names and comments:
//   - a name containing "##" (u##pt_part) is double-quoted;
//   - a parameter containing "##" (:u##x7ln_app) is renamed by ParamName;
//   - schema.name.nextval becomes NEXTVAL('schema', 'name').
// Everything else is left as written.
std::string PrepareSqlText(std::string_view sql);

// The name a parameter has in the text PrepareSqlText gives ("##" as "__").
std::string ParamName(std::string_view name);

// Registers on a connection: GetDate() (local time now, as date text), UPPER and
// LOWER that convert Polish letters, NEXTVAL(schema, name), and the collation
// DATABASE_DEFAULT (binary, as the default comparison). Raises DbError.
void RegisterFunctions(sqlite3* db);

} // namespace pelmora::db::sqlite
