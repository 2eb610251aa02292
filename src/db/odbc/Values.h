#pragma once
// Values between the variant and ODBC buffers. Texts travel as UTF-16
// (SQL_C_WCHAR) so that the driver, not the locale, converts them.

#include "core/Variant.h"

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::db::odbc {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Texts up to this many UTF-16 units go as SQL_WVARCHAR, longer ones as
// SQL_WLONGVARCHAR (nvarchar(4000) is SQL Server's largest sized form).
inline constexpr size_t MaxSizedText = 4000;

// One parameter value with the buffer it is bound from.
struct BoundValue {
    SQLSMALLINT CType = SQL_C_CHAR;
    SQLSMALLINT SqlType = SQL_VARCHAR;
    SQLULEN ColumnSize = 1;
    SQLSMALLINT Digits = 0;
    SQLLEN Indicator = SQL_NULL_DATA;
    std::u16string Text;
    SQLINTEGER Int32 = 0;
    SQLBIGINT Int64 = 0;
    double Real = 0;
    unsigned char Bit = 0;
    SQL_TIMESTAMP_STRUCT Timestamp{};

    void* Buffer();
    SQLLEN BufferLength() const;
};

// Empty/Null as NULL, integers as INTEGER or BIGINT, Booleans as BIT, floating
// values as DOUBLE, dates as TIMESTAMP (milliseconds), texts as wide text of
// their whole length. Raises DbError for a type that has no SQL form.
BoundValue MakeBound(const core::Variant& value);

// Binds `values` as input parameters 1..n; they must stay in place until the
// statement has run.
void BindAll(SQLHSTMT stmt, std::vector<BoundValue>& values);

struct ColumnInfo {
    std::string Name;
    SQLSMALLINT Type = SQL_UNKNOWN_TYPE;
    SQLULEN Size = 0;
    SQLSMALLINT Digits = 0;
};

std::vector<ColumnInfo> DescribeColumns(SQLHSTMT stmt);

// The value of a column of the current row (SQLGetData, once per column, in order).
core::Variant ReadColumn(SQLHSTMT stmt, SQLUSMALLINT column, const ColumnInfo& info);

} // namespace pelmora::db::odbc
