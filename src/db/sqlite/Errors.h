#pragma once
// SQLite result codes turned into the layer's DbError.

#include "db/DbError.h"

#include <string_view>

struct sqlite3;

namespace pelmora::db::sqlite {

// How long a statement waits for another process's write lock, in milliseconds.
inline constexpr int BusyTimeoutMs = 5000;

// The kind of an extended result code: the primary-key and unique constraint
// codes are duplicate keys; CANTOPEN and NOTADB refuse the connection.
DbErrorKind KindOf(int extendedCode);

// The DbError of the connection's last error, `rc` being the code the failing
// call returned. `context` (may be empty) is put before the message.
DbError MakeError(sqlite3* db, int rc, std::string_view context = {});
// Raises a DbError from the connection's last error, `rc` being the code the
// failing call returned. `context` (may be empty) is put before the message.
[[noreturn]] void Raise(sqlite3* db, int rc, std::string_view context = {});
// Raises a DbError of a given kind from a message of the layer's own.
[[noreturn]] void Raise(DbErrorKind kind, const std::string& message, int code = 0);

} // namespace pelmora::db::sqlite
