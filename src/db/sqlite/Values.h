#pragma once
// Values between the variant and SQLite's storage.
//
// NOTE: the storage forms here are those documented in db/EmbeddedDatabase.h;
// schema files under deploy/ follow them.

#include "core/Variant.h"

#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace pelmora::db::sqlite {

// What a column's declared type says about reading it.
enum class ColumnClass {
    Plain, // by the stored value's own type
    Date,  // DATE, DATETIME, DATETIME2, SMALLDATETIME, TIME, TIMESTAMP: text read as Date
    Bit,   // BIT: integer read as Boolean
    Float, // FLOAT, REAL, MONEY, DECIMAL/NUMERIC with decimals: numbers read as Double
};

ColumnClass ClassOfDeclType(const char* declType);

// "yyyy-mm-dd hh:nn:ss.zzz".
std::string DateToText(core::TDateTime value);
// Reads "yyyy-mm-dd", optionally followed by " " or "T" and "hh:nn", ":ss",
// ".fraction"; or a time alone "hh:nn[:ss[.fraction]]". Blanks around allowed.
bool TryTextToDate(std::string_view text, core::TDateTime& result);

// Binds one value at a parameter index: Empty/Null as NULL, integers and
// Booleans (1/0) as integers, floating values as reals, dates as text,
// texts as UTF-8 text. Raises DbError for a type that has no SQL form.
void BindValue(sqlite3_stmt* stmt, int index, const core::Variant& value);

// The value of a column of the current row.
core::Variant ReadValue(sqlite3_stmt* stmt, int column, ColumnClass cls);

} // namespace pelmora::db::sqlite
