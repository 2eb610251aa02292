#include "db/sqlite/Errors.h"

#include <sqlite3.h>

#include <string>

namespace pelmora::db::sqlite {

DbErrorKind KindOf(int extendedCode) {
    switch (extendedCode) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
        return DbErrorKind::DuplicateKey;
    default:
        break;
    }
    switch (extendedCode & 0xff) {
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
        return DbErrorKind::ConnectionFailed;
    default:
        return DbErrorKind::Other;
    }
}

void Raise(sqlite3* db, int rc, std::string_view context) {
    throw MakeError(db, rc, context);
}

DbError MakeError(sqlite3* db, int rc, std::string_view context) {
    int code = rc;
    std::string text = sqlite3_errstr(rc);
    // The connection's record is used when it is of this failure.
    if (db != nullptr && (sqlite3_extended_errcode(db) & 0xff) == (rc & 0xff)) {
        code = sqlite3_extended_errcode(db);
        text = sqlite3_errmsg(db);
    }
    std::string message(context);
    if (!message.empty())
        message += ": ";
    message += text;
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        message += " (another process holds the database; waited " +
                   std::to_string(BusyTimeoutMs / 1000) + " s)";
    return DbError(KindOf(code), message, {}, code);
}

void Raise(DbErrorKind kind, const std::string& message, int code) {
    throw DbError(kind, message, {}, code);
}

} // namespace pelmora::db::sqlite
