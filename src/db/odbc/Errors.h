#pragma once
// ODBC diagnostics turned into the layer's DbError.

#include "db/DbError.h"

#include <sql.h>

#include <string>
#include <string_view>

namespace pelmora::db::odbc {

// SQL Server's native errors for a duplicate key: a primary-key or unique
// constraint (2627) and a unique index (2601).
inline constexpr int SqlServerDuplicateKey = 2627;
inline constexpr int SqlServerDuplicateIndex = 2601;
// SQLite's SQLITE_CONSTRAINT, which Debian's SQLite3 ODBC driver reports as the
// native error under SQLSTATE HY000.
inline constexpr int SqliteConstraint = 19;

// The kind of one diagnostic record: SQLSTATE 23000 with 2627/2601 (SQL Server
// drivers) or HY000 with 19 and "UNIQUE constraint failed" (SQLite3 driver) is a
// duplicate key; class 08 (connection exception) and 28000 (login refused) are
// connection failures.
DbErrorKind KindOf(std::string_view sqlState, int nativeError, std::string_view message);

// The DbError of a handle's diagnostic records. The first record gives SQLSTATE
// and native error, all records the message; a duplicate key in any record makes
// the kind. `connecting`: every failure is a connection failure.
DbError MakeError(SQLSMALLINT handleType, SQLHANDLE handle, std::string_view context,
                  bool connecting = false);

// Raises MakeError unless `rc` is a success.
void Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, std::string_view context);

} // namespace pelmora::db::odbc
