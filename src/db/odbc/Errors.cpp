#include "db/odbc/Errors.h"

#include <sqlext.h>

#include <vector>

namespace pelmora::db::odbc {

DbErrorKind KindOf(std::string_view sqlState, int nativeError, std::string_view message) {
    if (sqlState == "23000" &&
        (nativeError == SqlServerDuplicateKey || nativeError == SqlServerDuplicateIndex))
        return DbErrorKind::DuplicateKey;
    if (sqlState == "HY000" && nativeError == SqliteConstraint &&
        message.find("UNIQUE constraint failed") != std::string_view::npos)
        return DbErrorKind::DuplicateKey;
    if (sqlState.substr(0, 2) == "08" || sqlState == "28000")
        return DbErrorKind::ConnectionFailed;
    return DbErrorKind::Other;
}

DbError MakeError(SQLSMALLINT handleType, SQLHANDLE handle, std::string_view context,
                  bool connecting) {
    std::string firstState;
    int firstNative = 0;
    std::string message(context);
    DbErrorKind kind = DbErrorKind::Other;
    bool any = false;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        std::vector<SQLCHAR> text(1024);
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRec(handleType, handle, record, state, &native, text.data(),
                                     static_cast<SQLSMALLINT>(text.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(text.size())) {
            text.resize(static_cast<size_t>(length) + 1);
            rc = SQLGetDiagRec(handleType, handle, record, state, &native, text.data(),
                               static_cast<SQLSMALLINT>(text.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        std::string stateText(reinterpret_cast<const char*>(state));
        std::string recordText(reinterpret_cast<const char*>(text.data()));
        DbErrorKind recordKind = KindOf(stateText, static_cast<int>(native), recordText);
        if (!any) {
            firstState = stateText;
            firstNative = static_cast<int>(native);
            kind = recordKind;
        } else if (recordKind == DbErrorKind::DuplicateKey) {
            kind = recordKind;
        }
        message += message.empty() ? "" : (any ? "\n" : ": ");
        message += recordText;
        any = true;
    }
    if (!any)
        message += message.empty() ? "ODBC call failed" : ": ODBC call failed";
    if (connecting)
        kind = DbErrorKind::ConnectionFailed;
    return DbError(kind, message, firstState, firstNative);
}

void Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, std::string_view context) {
    if (!SQL_SUCCEEDED(rc))
        throw MakeError(handleType, handle, context);
}

} // namespace pelmora::db::odbc
