#pragma once
// Fresh databases for the database-layer tests: the embedded backend, and the
// ODBC backend through Debian's SQLite3 ODBC driver (driver entry "SQLite3").

#include "db/Connection.h"
#include "support/TempDir.h"

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::test {

enum class TestBackend { Embedded, Odbc };

// ODBC driver entry of Debian's libsqliteodbc that works (the "SQLite" entry
// names a library the package does not ship).
inline constexpr const char* SqliteOdbcDriver = "SQLite3";

const char* BackendName(TestBackend backend);
// How GoogleTest prints a backend parameter.
inline void PrintTo(TestBackend backend, std::ostream* os) { *os << BackendName(backend); }

// Opens a new database of `backend` in `dir` whose schema is made by `ddl`
// (one statement each): on the embedded backend a catalog "TEST" with the one
// schema "dbo" under dir/databases, opened as the relative "sqlite:databases";
// through ODBC a SQLite file opened with a Driver= string.
void OpenFresh(db::Connection& connection, TestBackend backend, const TempDir& dir,
               const std::vector<std::string>& ddl);

// Writes `sql` to `dir/name` and returns the path (for schema scripts).
std::filesystem::path WriteScript(const TempDir& dir, const std::string& name,
                                  const std::string& sql);

// The number of rows of a table.
int CountRows(db::Connection& connection, const std::string& table);

} // namespace pelmora::test
