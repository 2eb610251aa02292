#include "db/odbc/Values.h"

#include "core/DateTime.h"
#include "core/Text.h"
#include "db/odbc/Errors.h"

#include <cstdio>
#include <limits>

namespace pelmora::db::odbc {

namespace {

// SQL Server's own type codes that a driver may report (sqlncli.h).
constexpr SQLSMALLINT SqlSsTime2 = -154;
constexpr SQLSMALLINT SqlSsTimestampOffset = -155;
// UTF-16 units read per SQLGetData call of a long text.
constexpr size_t TextChunk = 2048;
// Nanoseconds in a millisecond (ODBC fractions are in nanoseconds).
constexpr SQLUINTEGER NanosPerMilli = 1000000;

core::Variant FromInteger(SQLBIGINT v) {
    if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max())
        return core::Variant(static_cast<int>(v));
    return core::Variant(static_cast<int64_t>(v));
}

core::Variant ReadWideText(SQLHSTMT stmt, SQLUSMALLINT column) {
    std::u16string text;
    std::vector<SQLWCHAR> buffer(TextChunk + 1);
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc =
            SQLGetData(stmt, column, SQL_C_WCHAR, buffer.data(),
                       static_cast<SQLLEN>(buffer.size() * sizeof(SQLWCHAR)), &indicator);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, SQL_HANDLE_STMT, stmt, "Reading a text column");
        if (indicator == SQL_NULL_DATA)
            return core::Variant::Null();
        size_t units = TextChunk;
        if (rc == SQL_SUCCESS && indicator != SQL_NO_TOTAL)
            units = static_cast<size_t>(indicator) / sizeof(SQLWCHAR);
        if (units > TextChunk)
            units = TextChunk;
        text.append(reinterpret_cast<const char16_t*>(buffer.data()), units);
        if (rc == SQL_SUCCESS)
            break;
    }
    return core::Variant(Utf16ToUtf8(text));
}

core::Variant ReadBinary(SQLHSTMT stmt, SQLUSMALLINT column) {
    std::string bytes;
    std::vector<char> buffer(TextChunk * 2);
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(stmt, column, SQL_C_BINARY, buffer.data(),
                                  static_cast<SQLLEN>(buffer.size()), &indicator);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, SQL_HANDLE_STMT, stmt, "Reading a binary column");
        if (indicator == SQL_NULL_DATA)
            return core::Variant::Null();
        size_t count = buffer.size();
        if (rc == SQL_SUCCESS && indicator != SQL_NO_TOTAL &&
            static_cast<size_t>(indicator) < count)
            count = static_cast<size_t>(indicator);
        bytes.append(buffer.data(), count);
        if (rc == SQL_SUCCESS)
            break;
    }
    return core::Variant(std::move(bytes));
}

// Reads a fixed-size value; false for NULL.
template <typename T>
bool ReadFixed(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, T& value) {
    SQLLEN indicator = 0;
    Check(SQLGetData(stmt, column, cType, &value, sizeof value, &indicator), SQL_HANDLE_STMT, stmt,
          "Reading a column");
    return indicator != SQL_NULL_DATA;
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char32_t c : core::Utf8ToU32(text)) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD; // a lone surrogate
        }
        core::AppendUtf8(out, c);
    }
    return out;
}

void* BoundValue::Buffer() {
    switch (CType) {
    case SQL_C_WCHAR:
        return Text.data();
    case SQL_C_SLONG:
        return &Int32;
    case SQL_C_SBIGINT:
        return &Int64;
    case SQL_C_DOUBLE:
        return &Real;
    case SQL_C_BIT:
        return &Bit;
    case SQL_C_TYPE_TIMESTAMP:
        return &Timestamp;
    default:
        return nullptr;
    }
}

SQLLEN BoundValue::BufferLength() const {
    return CType == SQL_C_WCHAR ? static_cast<SQLLEN>(Text.size() * sizeof(char16_t)) : 0;
}

BoundValue MakeBound(const core::Variant& value) {
    BoundValue b;
    switch (value.Type()) {
    case core::varEmpty:
    case core::varNull:
        break; // SQL_C_CHAR / SQL_VARCHAR with the NULL indicator
    case core::varSmallint:
    case core::varInteger:
    case core::varShortInt:
    case core::varByte:
    case core::varWord:
    case core::varLongWord:
    case core::varInt64: {
        int64_t v = value.ToInt64();
        if (v >= std::numeric_limits<SQLINTEGER>::min() &&
            v <= std::numeric_limits<SQLINTEGER>::max()) {
            b.CType = SQL_C_SLONG;
            b.SqlType = SQL_INTEGER;
            b.Int32 = static_cast<SQLINTEGER>(v);
        } else {
            b.CType = SQL_C_SBIGINT;
            b.SqlType = SQL_BIGINT;
            b.Int64 = v;
        }
        b.ColumnSize = 0;
        b.Indicator = 0;
        break;
    }
    case core::varBoolean:
        b.CType = SQL_C_BIT;
        b.SqlType = SQL_BIT;
        b.Bit = value.ToBool() ? 1 : 0;
        b.ColumnSize = 0;
        b.Indicator = 0;
        break;
    case core::varSingle:
    case core::varDouble:
    case core::varCurrency:
        b.CType = SQL_C_DOUBLE;
        b.SqlType = SQL_DOUBLE;
        b.Real = value.ToDouble();
        b.ColumnSize = 0;
        b.Indicator = 0;
        break;
    case core::varDate: {
        core::DateParts p = core::DecodeDateTime(value.ToDate());
        b.CType = SQL_C_TYPE_TIMESTAMP;
        b.SqlType = SQL_TYPE_TIMESTAMP;
        b.Timestamp.year = static_cast<SQLSMALLINT>(p.Year);
        b.Timestamp.month = static_cast<SQLUSMALLINT>(p.Month);
        b.Timestamp.day = static_cast<SQLUSMALLINT>(p.Day);
        b.Timestamp.hour = static_cast<SQLUSMALLINT>(p.Hour);
        b.Timestamp.minute = static_cast<SQLUSMALLINT>(p.Minute);
        b.Timestamp.second = static_cast<SQLUSMALLINT>(p.Second);
        b.Timestamp.fraction = static_cast<SQLUINTEGER>(p.MSec) * NanosPerMilli;
        b.ColumnSize = 23; // yyyy-mm-dd hh:nn:ss.zzz
        b.Digits = 3;
        b.Indicator = sizeof(SQL_TIMESTAMP_STRUCT);
        break;
    }
    case core::varString:
    case core::varOleStr:
        b.CType = SQL_C_WCHAR;
        b.Text = Utf8ToUtf16(value.ToString());
        b.SqlType = b.Text.size() > MaxSizedText ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
        b.ColumnSize = b.Text.empty() ? 1 : b.Text.size();
        b.Indicator = static_cast<SQLLEN>(b.Text.size() * sizeof(char16_t));
        break;
    default:
        throw DbError(DbErrorKind::Other, "Parameter of type " + core::VarTypeName(value.Type()) +
                                              " cannot be passed to the database");
    }
    return b;
}

void BindAll(SQLHSTMT stmt, std::vector<BoundValue>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        BoundValue& b = values[i];
        SQLRETURN rc = SQLBindParameter(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                        b.CType, b.SqlType, b.ColumnSize, b.Digits, b.Buffer(),
                                        b.BufferLength(), &b.Indicator);
        Check(rc, SQL_HANDLE_STMT, stmt, "Binding parameter " + std::to_string(i + 1));
    }
}

std::vector<ColumnInfo> DescribeColumns(SQLHSTMT stmt) {
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(stmt, &count), SQL_HANDLE_STMT, stmt, "Reading the columns");
    std::vector<ColumnInfo> columns;
    for (SQLSMALLINT c = 1; c <= count; ++c) {
        SQLCHAR name[512] = {};
        SQLSMALLINT nameLength = 0, nullable = 0;
        ColumnInfo info;
        Check(SQLDescribeCol(stmt, static_cast<SQLUSMALLINT>(c), name, sizeof name, &nameLength,
                             &info.Type, &info.Size, &info.Digits, &nullable),
              SQL_HANDLE_STMT, stmt, "Reading the columns");
        info.Name = reinterpret_cast<const char*>(name);
        columns.push_back(std::move(info));
    }
    return columns;
}

core::Variant ReadColumn(SQLHSTMT stmt, SQLUSMALLINT column, const ColumnInfo& info) {
    switch (info.Type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT: {
        SQLBIGINT v = 0;
        return ReadFixed(stmt, column, SQL_C_SBIGINT, v) ? FromInteger(v) : core::Variant::Null();
    }
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        if (info.Digits == 0 && info.Size <= 18) {
            SQLBIGINT v = 0;
            return ReadFixed(stmt, column, SQL_C_SBIGINT, v) ? FromInteger(v)
                                                             : core::Variant::Null();
        }
        [[fallthrough]];
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        double v = 0;
        return ReadFixed(stmt, column, SQL_C_DOUBLE, v) ? core::Variant(v) : core::Variant::Null();
    }
    case SQL_BIT: {
        unsigned char v = 0;
        return ReadFixed(stmt, column, SQL_C_BIT, v) ? core::Variant(v != 0)
                                                     : core::Variant::Null();
    }
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME:
    case SQL_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT ts{};
        if (!ReadFixed(stmt, column, SQL_C_TYPE_TIMESTAMP, ts))
            return core::Variant::Null();
        core::DateParts p{ts.year,
                          ts.month,
                          ts.day,
                          ts.hour,
                          ts.minute,
                          ts.second,
                          static_cast<int>(ts.fraction / NanosPerMilli)};
        core::TDateTime date = 0, time = 0;
        if (!core::TryEncodeDate(p.Year, p.Month, p.Day, date) ||
            !core::TryEncodeTime(p.Hour, p.Minute, p.Second, p.MSec, time))
            throw DbError(DbErrorKind::Other, "Column " + info.Name + " holds an invalid date");
        return core::Variant::FromDate(core::EncodeDateTime(p));
    }
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case SqlSsTime2: {
        SQL_TIME_STRUCT t{};
        if (!ReadFixed(stmt, column, SQL_C_TYPE_TIME, t))
            return core::Variant::Null();
        core::TDateTime time = 0;
        if (!core::TryEncodeTime(t.hour, t.minute, t.second, 0, time))
            throw DbError(DbErrorKind::Other, "Column " + info.Name + " holds an invalid time");
        return core::Variant::FromDate(time);
    }
    case SQL_GUID: {
        SQLGUID g{};
        if (!ReadFixed(stmt, column, SQL_C_GUID, g))
            return core::Variant::Null();
        // The registry form with braces, as an OLE DB GUID field reads.
        char text[40];
        std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      static_cast<unsigned>(g.Data1), unsigned{g.Data2}, unsigned{g.Data3},
                      unsigned{g.Data4[0]}, unsigned{g.Data4[1]}, unsigned{g.Data4[2]},
                      unsigned{g.Data4[3]}, unsigned{g.Data4[4]}, unsigned{g.Data4[5]},
                      unsigned{g.Data4[6]}, unsigned{g.Data4[7]});
        return core::Variant(std::string(text));
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return ReadBinary(stmt, column);
    case SqlSsTimestampOffset:
    default:
        return ReadWideText(stmt, column);
    }
}

} // namespace pelmora::db::odbc
