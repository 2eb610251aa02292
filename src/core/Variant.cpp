#include "core/Variant.h"

#include "core/ConvertError.h"
#include "core/SystemFormats.h"
#include "core/Text.h"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace pelmora::core {

namespace {

const std::vector<std::string>& TypeNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n(VarTypeNameSlots);
        const std::pair<int, const char*> named[] = {
            {0, "Empty"},      {1, "Null"},      {2, "Smallint"},  {3, "Integer"},
            {4, "Single"},     {5, "Double"},    {6, "Currency"},  {7, "Date"},
            {8, "OleStr"},     {9, "Dispatch"},  {10, "Error"},    {11, "Boolean"},
            {12, "Variant"},   {13, "Unknown"},  {16, "ShortInt"}, {17, "Byte"},
            {18, "Word"},      {19, "LongWord"}, {20, "Int64"},    {72, "StrArg"},
            {256, "String"},   {257, "Any"},     {4095, "TypeMask"}, {8192, "Array"},
            {16384, "ByRef"}};
        for (const auto& [code, name] : named)
            n[code] = name;
        return n;
    }();
    return names;
}

struct IntRange {
    int64_t min, max;
};

bool IntegerRange(int type, IntRange& r) {
    switch (type) {
    case varSmallint: r = {-32768, 32767}; return true;
    case varInteger: r = {INT32_MIN, INT32_MAX}; return true;
    case varShortInt: r = {-128, 127}; return true;
    case varByte: r = {0, 255}; return true;
    case varWord: r = {0, 65535}; return true;
    case varLongWord: r = {0, UINT32_MAX}; return true;
    case varInt64: r = {INT64_MIN, INT64_MAX}; return true;
    default: return false;
    }
}

// Exact text of a Currency value: the integer part and up to four decimals.
std::string CurrencyText(int64_t scaled) {
    const bool negative = scaled < 0;
    const uint64_t abs = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string out = (negative ? "-" : "") + std::to_string(abs / 10000);
    std::string frac = std::to_string(abs % 10000);
    frac.insert(0, 4 - frac.size(), '0');
    while (!frac.empty() && frac.back() == '0')
        frac.pop_back();
    if (!frac.empty())
        out += SystemFormats().DecimalSeparator + frac;
    return out;
}

// Banker's rounding, as a variant cast of a floating value to an integer does.
int64_t RoundHalfEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

} // namespace

const std::string& VarTypeName(int code) {
    static const std::string none;
    if (code < 0 || code >= VarTypeNameSlots)
        return none;
    return TypeNames()[code];
}

int VarTypeFromName(std::string_view name) {
    const auto& names = TypeNames();
    for (int i = 0; i < VarTypeNameSlots; ++i)
        if (SameText(names[i], name))
            return i;
    return 0;
}

Variant Variant::Null() {
    Variant v;
    v.type_ = varNull;
    return v;
}

Variant Variant::FromDate(TDateTime d) {
    Variant v;
    v.type_ = varDate;
    v.real_ = d;
    return v;
}

Variant Variant::FromCurrency(double c) {
    if (!(std::fabs(c) < 922337203685477.0))
        throw ConvertError("'" + FloatToStr(c) + "' is out of the Currency range");
    Variant v;
    v.type_ = varCurrency;
    v.int_ = std::llround(c * 10000.0);
    return v;
}

Variant Variant::FromSingle(float f) {
    Variant v;
    v.type_ = varSingle;
    v.real_ = f;
    return v;
}

Variant Variant::FromOleStr(std::string s) {
    Variant v(std::move(s));
    v.type_ = varOleStr;
    return v;
}

Variant Variant::FromInteger(int64_t i, VarType type) {
    IntRange r;
    if (!IntegerRange(type, r))
        throw ConvertError("Invalid integer variant type " + std::to_string(type));
    if (i < r.min || i > r.max)
        throw ConvertError("'" + std::to_string(i) + "' is out of the range of " + VarTypeName(type));
    Variant v;
    v.type_ = type;
    v.int_ = i;
    return v;
}

bool Variant::IsInteger() const {
    IntRange r;
    return IntegerRange(type_, r);
}

void Variant::CastError(int target) const {
    throw ConvertError("Could not convert variant '" + ToString() + "' of type (" +
                       VarTypeName(type_) + ") into type (" + VarTypeName(target) + ")");
}

std::string Variant::ToString() const {
    switch (type_) {
    case varEmpty:
    case varNull: return {};
    case varString:
    case varOleStr: return text_;
    case varBoolean: return int_ ? "True" : "False";
    case varSingle: return FloatToStr(real_, SystemFormats(), 7);
    case varDouble: return FloatToStr(real_);
    case varCurrency: return CurrencyText(int_);
    case varDate: return DateTimeToStr(real_);
    default:
        if (IsInteger())
            return std::to_string(int_);
        return {};
    }
}

int64_t Variant::ToInt64() const {
    switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return int_ ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate:
        if (!(std::fabs(real_) < 9.2e18))
            CastError(varInt64);
        return RoundHalfEven(real_);
    case varCurrency: return RoundHalfEven(static_cast<double>(int_) / 10000.0);
    case varString:
    case varOleStr: {
        int64_t v;
        if (!TryStrToInt64(text_, v))
            CastError(varInt64);
        return v;
    }
    default:
        if (IsInteger())
            return int_;
        CastError(varInt64);
    }
}

int Variant::ToInt() const {
    const int64_t v = ToInt64();
    if (v < INT32_MIN || v > INT32_MAX)
        CastError(varInteger);
    return static_cast<int>(v);
}

double Variant::ToDouble() const {
    switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return int_ ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return real_;
    case varCurrency: return static_cast<double>(int_) / 10000.0;
    case varString:
    case varOleStr: {
        double v;
        if (!TryStrToFloat(text_, v))
            CastError(varDouble);
        return v;
    }
    default:
        if (IsInteger())
            return static_cast<double>(int_);
        CastError(varDouble);
    }
}

bool Variant::ToBool() const {
    switch (type_) {
    case varEmpty: return false;
    case varString:
    case varOleStr: {
        if (SameText(text_, "True"))
            return true;
        if (SameText(text_, "False"))
            return false;
        double v;
        if (!TryStrToFloat(text_, v))
            CastError(varBoolean);
        return v != 0;
    }
    case varNull: CastError(varBoolean);
    default: return ToDouble() != 0;
    }
}

TDateTime Variant::ToDate() const {
    switch (type_) {
    case varString:
    case varOleStr: {
        TDateTime v;
        if (!TryStrToDateTime(text_, v))
            CastError(varDate);
        return v;
    }
    case varNull: CastError(varDate);
    default: return ToDouble();
    }
}

int64_t Variant::CurrencyScaled() const {
    if (type_ == varCurrency)
        return int_;
    return FromCurrency(ToDouble()).int_;
}

Variant Variant::AsType(int type) const {
    if (type == type_)
        return *this;
    if (type_ == varNull && type != varEmpty && type != varNull)
        CastError(type);
    switch (type) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varString: return Variant(ToString());
    case varOleStr: return FromOleStr(ToString());
    case varBoolean: return Variant(ToBool());
    case varDouble: return Variant(ToDouble());
    case varSingle: return FromSingle(static_cast<float>(ToDouble()));
    case varCurrency: {
        Variant v;
        v.type_ = varCurrency;
        v.int_ = CurrencyScaled();
        return v;
    }
    case varDate: return FromDate(ToDate());
    default: {
        IntRange r;
        if (!IntegerRange(type, r))
            CastError(type);
        const int64_t i = ToInt64();
        if (i < r.min || i > r.max)
            CastError(type);
        return FromInteger(i, static_cast<VarType>(type));
    }
    }
}

bool Variant::operator==(const Variant& other) const {
    if (type_ == varNull || other.type_ == varNull)
        return type_ == other.type_;
    if (type_ == varEmpty && other.type_ == varEmpty)
        return true;
    if (type_ == varEmpty || other.type_ == varEmpty) {
        const Variant& v = type_ == varEmpty ? other : *this;
        if (v.IsText())
            return v.text_.empty();
        return v.ToDouble() == 0;
    }
    if (IsText() && other.IsText())
        return text_ == other.text_;
    if (IsText() || other.IsText()) {
        const Variant& text = IsText() ? *this : other;
        const Variant& value = IsText() ? other : *this;
        double d;
        if (TryStrToFloat(text.text_, d))
            return d == value.ToDouble();
        if (value.type_ == varBoolean)
            return SameText(text.text_, value.ToString());
        return text.text_ == value.ToString();
    }
    if (IsInteger() && other.IsInteger())
        return int_ == other.int_;
    if (type_ == varCurrency && other.type_ == varCurrency)
        return int_ == other.int_;
    return ToDouble() == other.ToDouble();
}

} // namespace pelmora::core
