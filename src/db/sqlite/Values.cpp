#include "db/sqlite/Values.h"

#include "core/SystemFormats.h"
#include "core/Text.h"
#include "db/sqlite/Errors.h"

#include <sqlite3.h>

#include <cstdio>
#include <limits>

namespace pelmora::db::sqlite {

namespace {

// Reads exactly `count` digits at `pos`.
bool ReadDigits(std::string_view s, size_t& pos, int count, int& value) {
    if (pos + static_cast<size_t>(count) > s.size())
        return false;
    value = 0;
    for (int i = 0; i < count; ++i) {
        char c = s[pos + static_cast<size_t>(i)];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += static_cast<size_t>(count);
    return true;
}

// "hh:nn[:ss[.fraction]]" from `pos` to the end.
bool ReadTime(std::string_view s, size_t pos, core::DateParts& p) {
    if (!ReadDigits(s, pos, 2, p.Hour) || pos >= s.size() || s[pos++] != ':' ||
        !ReadDigits(s, pos, 2, p.Minute))
        return false;
    if (pos < s.size() && s[pos] == ':') {
        ++pos;
        if (!ReadDigits(s, pos, 2, p.Second))
            return false;
        if (pos < s.size() && s[pos] == '.') {
            ++pos;
            // Milliseconds from the first three digits of the fraction.
            int digits = 0;
            int ms = 0;
            while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
                if (digits < 3)
                    ms = ms * 10 + (s[pos] - '0');
                ++digits;
                ++pos;
            }
            if (digits == 0)
                return false;
            for (int d = digits; d < 3; ++d)
                ms *= 10;
            p.MSec = ms;
        }
    }
    return pos == s.size();
}

} // namespace

ColumnClass ClassOfDeclType(const char* declType) {
    if (declType == nullptr)
        return ColumnClass::Plain;
    std::string_view full(declType);
    size_t open = full.find('(');
    std::string name = core::UpperCase(core::Trim(full.substr(0, open)));
    if (name == "FLOAT" || name == "REAL" || name == "DOUBLE" || name == "DOUBLE PRECISION" ||
        name == "MONEY" || name == "SMALLMONEY")
        return ColumnClass::Float;
    if (name == "DECIMAL" || name == "NUMERIC") {
        // DECIMAL(p,s) with s > 0 holds fractions; SQLite stores 12.00 as the
        // integer 12, which is read back as the Double it stands for.
        size_t comma = full.find(',', open == std::string_view::npos ? full.size() : open);
        if (comma == std::string_view::npos)
            return ColumnClass::Plain;
        int64_t scale = 0;
        std::string digits = core::Trim(full.substr(comma + 1, full.find(')', comma) - comma - 1));
        return core::TryStrToInt64(digits, scale) && scale > 0 ? ColumnClass::Float
                                                               : ColumnClass::Plain;
    }
    if (name == "DATE" || name == "DATETIME" || name == "DATETIME2" || name == "SMALLDATETIME" ||
        name == "TIME" || name == "TIMESTAMP")
        return ColumnClass::Date;
    if (name == "BIT")
        return ColumnClass::Bit;
    return ColumnClass::Plain;
}

std::string DateToText(core::TDateTime value) {
    core::DateParts p = core::DecodeDateTime(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.Year, p.Month,
                  p.Day, p.Hour, p.Minute, p.Second, p.MSec);
    return buffer;
}

bool TryTextToDate(std::string_view text, core::TDateTime& result) {
    std::string trimmed = core::Trim(text);
    std::string_view s(trimmed);
    core::DateParts p;
    size_t pos = 0;
    bool haveDate = s.size() >= 10 && s[4] == '-';
    if (haveDate) {
        if (!ReadDigits(s, pos, 4, p.Year) || s[pos++] != '-' || !ReadDigits(s, pos, 2, p.Month) ||
            pos >= s.size() || s[pos++] != '-' || !ReadDigits(s, pos, 2, p.Day))
            return false;
        if (pos < s.size()) {
            if (s[pos] != ' ' && s[pos] != 'T')
                return false;
            if (!ReadTime(s, pos + 1, p))
                return false;
        }
    } else {
        if (!ReadTime(s, 0, p))
            return false;
        // A time alone lies on day 0, as a time-of-day value does.
        p.Year = 1899;
        p.Month = 12;
        p.Day = 30;
    }
    core::TDateTime date = 0, time = 0;
    if (!core::TryEncodeDate(p.Year, p.Month, p.Day, date) ||
        !core::TryEncodeTime(p.Hour, p.Minute, p.Second, p.MSec, time))
        return false;
    result = date < 0 ? date - time : date + time;
    return true;
}

void BindValue(sqlite3_stmt* stmt, int index, const core::Variant& value) {
    int rc = SQLITE_OK;
    switch (value.Type()) {
    case core::varEmpty:
    case core::varNull:
        rc = sqlite3_bind_null(stmt, index);
        break;
    case core::varSmallint:
    case core::varInteger:
    case core::varShortInt:
    case core::varByte:
    case core::varWord:
    case core::varLongWord:
    case core::varInt64:
        rc = sqlite3_bind_int64(stmt, index, value.ToInt64());
        break;
    case core::varBoolean:
        rc = sqlite3_bind_int(stmt, index, value.ToBool() ? 1 : 0);
        break;
    case core::varSingle:
    case core::varDouble:
    case core::varCurrency:
        rc = sqlite3_bind_double(stmt, index, value.ToDouble());
        break;
    case core::varDate: {
        std::string text = DateToText(value.ToDate());
        rc = sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                               SQLITE_TRANSIENT);
        break;
    }
    case core::varString:
    case core::varOleStr: {
        std::string text = value.ToString();
        rc = sqlite3_bind_text64(stmt, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
        break;
    }
    default:
        Raise(DbErrorKind::Other, "Parameter of type " + core::VarTypeName(value.Type()) +
                                      " cannot be passed to the database");
    }
    if (rc != SQLITE_OK)
        Raise(sqlite3_db_handle(stmt), rc, "Binding a parameter");
}

core::Variant ReadValue(sqlite3_stmt* stmt, int column, ColumnClass cls) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        return core::Variant::Null();
    case SQLITE_INTEGER: {
        sqlite3_int64 v = sqlite3_column_int64(stmt, column);
        if (cls == ColumnClass::Bit)
            return core::Variant(v != 0);
        if (cls == ColumnClass::Float)
            return core::Variant(static_cast<double>(v));
        if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max())
            return core::Variant(static_cast<int>(v));
        return core::Variant(static_cast<int64_t>(v));
    }
    case SQLITE_FLOAT:
        return core::Variant(sqlite3_column_double(stmt, column));
    case SQLITE_BLOB: {
        const void* data = sqlite3_column_blob(stmt, column);
        int size = sqlite3_column_bytes(stmt, column);
        return core::Variant(
            std::string(static_cast<const char*>(data), static_cast<size_t>(size)));
    }
    default: {
        const unsigned char* data = sqlite3_column_text(stmt, column);
        int size = sqlite3_column_bytes(stmt, column);
        std::string text(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
        core::TDateTime date = 0;
        if (cls == ColumnClass::Date && TryTextToDate(text, date))
            return core::Variant::FromDate(date);
        return core::Variant(std::move(text));
    }
    }
}

} // namespace pelmora::db::sqlite
