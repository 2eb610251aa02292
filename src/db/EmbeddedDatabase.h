#pragma once
// The layout of an embedded database and its creation.
//
// NOTE: this layout is what the embedded backend opens (sqlite/Session.cpp) and
// what the schema files under deploy/ are written for:
//   DIR/<catalog>/<schema>.sqlite   one SQLite file per schema, attached under
//                                   the schema name (file stem)
//   DIR/<catalog>/main.db           the connection's (empty) main database; it
//                                   makes commits across schemas atomic
// Unqualified names resolve in the schemas in the order of their names
// (case-insensitive): dba before dbo, CDN before dbo, qad, qadx.
//
// NOTE: value storage on SQLite, which schema files and data loaders must follow:
//   - date and time columns are declared DATE, DATETIME, DATETIME2,
//     SMALLDATETIME or TIME and hold ISO text "yyyy-mm-dd hh:nn:ss.zzz"
//     ("yyyy-mm-dd", "yyyy-mm-dd hh:nn", "yyyy-mm-ddThh:nn:ss" are read too);
//     they are read as Date values. GetDate() gives this text in local time.
//   - bit columns are declared BIT and hold 0/1; they are read as Boolean values.
//   - FLOAT, REAL, MONEY and DECIMAL(p,s)/NUMERIC(p,s) with s > 0 are read as
//     Double values (also where SQLite stored a whole number as an integer);
//     INT, BIGINT, DECIMAL(p,0) and the like as integers.
//   - a sequence `schema.name` (used as `schema.name.nextval`) is a table
//     `name` in that schema with one INTEGER column `Value` holding the last
//     number handed out (start it with one row, 0); nextval adds 1 and returns it.
//   - texts compare exactly and case-sensitively (collation BINARY; the name
//     DATABASE_DEFAULT is the same collation).

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora::db {

// File name of the connection's main database inside a catalog folder.
inline constexpr const char* EmbeddedMainFile = "main.db";
// Ending of a schema file.
inline constexpr const char* EmbeddedSchemaExtension = ".sqlite";

struct EmbeddedSchema {
    std::string Name;                           // "dba", "dbo", "CDN", ...
    std::vector<std::filesystem::path> Scripts; // UTF-8 SQL files run in order
};

// The folder of catalog `catalog` under `dir`.
std::filesystem::path EmbeddedCatalogPath(const std::filesystem::path& dir,
                                          const std::string& catalog);

// The connection string that opens that catalog on the embedded backend.
std::string EmbeddedConnectionString(const std::filesystem::path& dir, const std::string& catalog);

// Creates DIR/<catalog>/ (and DIR when missing) with the main file and one
// empty file per schema, then runs each schema's scripts with that schema's
// file as the main database, so the scripts name their tables unqualified.
// Each script runs in one transaction (so it holds no BEGIN or COMMIT of its
// own) and goes through the same token step as the program's statements
// (u##pt_part needs no quotes); the registered functions are available.
// An existing schema file is an error unless `replaceExisting`, which deletes
// it first. Raises DbError; a failed script leaves nothing of itself.
void CreateEmbeddedDatabase(const std::filesystem::path& dir, const std::string& catalog,
                            const std::vector<EmbeddedSchema>& schemas,
                            bool replaceExisting = false);

} // namespace pelmora::db
