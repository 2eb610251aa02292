#pragma once
// What the embedded backend adds so that the program's T-SQL statements run on
// SQLite: one narrow token-level step for the two forms SQLite's tokenizer
// rejects, and the functions and collation SQLite lacks.

#include <functional>
#include <optional>
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

// Answers for a three-part name CATALOG.schema.table the database name under
// which that catalog's schema is reached in this session, or nothing when the
// catalog is not one the session knows (the name then stays as written).
// Catalog and schema come unquoted.
using CatalogResolver = std::function<std::optional<std::string>(const std::string& catalog,
                                                                 const std::string& schema)>;

// The catalog step, outside strings and comments: every name of exactly three
// parts (words or quoted names, `a.b.c` not part of a longer dotted name and
// not a sequence's `.nextval`) whose first two parts `resolve` knows becomes
// "database".c. SQLite has no catalogs; this lets a statement on one embedded
// database name a table of another by its database name, as on SQL Server.
std::string ResolveCatalogNames(std::string_view sql, const CatalogResolver& resolve);

// The name a parameter has in the text PrepareSqlText gives ("##" as "__").
std::string ParamName(std::string_view name);

// Registers on a connection: GetDate() (local time now, as date text), UPPER and
// LOWER that convert Polish letters, NEXTVAL(schema, name), and the collation
// DATABASE_DEFAULT (binary, as the default comparison). Raises DbError.
void RegisterFunctions(sqlite3* db);

} // namespace pelmora::db::sqlite
