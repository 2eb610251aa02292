#pragma once
// The variant value carried by every published property, database field and
// query parameter. Type codes are the OLE variant codes, with String (256)
// for 8-bit text beside OleStr (8) for wide text. Inside the program all text
// is UTF-8 whatever its code.

#include "core/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora::core {

enum VarType : uint16_t {
    varEmpty = 0,
    varNull = 1,
    varSmallint = 2,
    varInteger = 3,
    varSingle = 4,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,
    varOleStr = 8,
    varDispatch = 9,
    varError = 10,
    varBoolean = 11,
    varVariant = 12,
    varUnknown = 13,
    varShortInt = 16,
    varByte = 17,
    varWord = 18,
    varLongWord = 19,
    varInt64 = 20,
    varStrArg = 72,
    varString = 256,
    varAny = 257,
    varTypeMask = 4095,
    varArray = 8192,
    varByRef = 16384,
};

// Highest slot of the type-name table.
constexpr int VarTypeNameSlots = 16385;

// The type name of a code ("Integer", "String", ...); empty for an unnamed slot.
const std::string& VarTypeName(int code);
// First slot, counting from 0, whose name equals `name` ignoring case; a
// non-empty name that matches none gives 0 (Empty); an empty name gives the
// first empty slot (14), which no conversion accepts.
int VarTypeFromName(std::string_view name);

class Variant {
public:
    Variant() = default; // Empty
    Variant(int v) : type_(varInteger), int_(v) {}
    Variant(int64_t v) : type_(varInt64), int_(v) {}
    Variant(double v) : type_(varDouble), real_(v) {}
    Variant(bool v) : type_(varBoolean), int_(v ? 1 : 0) {}
    Variant(const char* v) : type_(varString), text_(v) {}
    Variant(std::string v) : type_(varString), text_(std::move(v)) {}
    Variant(std::string_view v) : type_(varString), text_(v) {}

    static Variant Null();
    static Variant FromDate(TDateTime v);
    static Variant FromCurrency(double v);
    static Variant FromSingle(float v);
    static Variant FromOleStr(std::string v);
    // An integer of a given integer type code (Smallint, Byte, Word, ...), range-checked.
    static Variant FromInteger(int64_t v, VarType type);

    VarType Type() const { return type_; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsNull() const { return type_ == varNull; }
    // Empty or Null, as "unassigned" means throughout.
    bool IsUnassigned() const { return type_ == varEmpty || type_ == varNull; }
    bool IsText() const { return type_ == varString || type_ == varOleStr; }
    bool IsInteger() const;
    bool IsFloat() const { return type_ == varSingle || type_ == varDouble || type_ == varCurrency; }
    bool IsNumeric() const { return IsInteger() || IsFloat(); }

    // Ordinary text form: text as is, integers in decimal, floating values in
    // general format with the system decimal separator, Booleans "True"/"False",
    // dates as short date (and long time when there is one), Empty and Null as "".
    std::string ToString() const;
    // Conversions as a variant cast does them; raise ConvertError naming the value.
    int64_t ToInt64() const;
    int ToInt() const;
    double ToDouble() const;
    bool ToBool() const;
    TDateTime ToDate() const;
    // Currency values are kept scaled by 10 000, exactly.
    int64_t CurrencyScaled() const;

    // The value converted to another type code; raises ConvertError.
    Variant AsType(int type) const;

    // Loose equality: Null equals only Null; Empty equals Empty and the zero
    // of the other side's type; a text and a number compare as numbers when the
    // text converts ("1" equals 1); texts compare exactly.
    bool operator==(const Variant& other) const;
    bool operator!=(const Variant& other) const { return !(*this == other); }

private:
    [[noreturn]] void CastError(int target) const;

    VarType type_ = varEmpty;
    int64_t int_ = 0;  // integers, Booleans (0/1) and Currency scaled by 10 000
    double real_ = 0;  // Single, Double, Date
    std::string text_; // String and OleStr, UTF-8
};

} // namespace pelmora::core
