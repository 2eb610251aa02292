#pragma once
// Run-time information about persistent classes: each class's name, its base
// and its published properties in declaration order, with what the XML
// serializer needs to write and read them by name. Classes declare it with
// PELMORA_CLASS (Persistent.h) and TClassBuilder (ClassBuilder.h); enumeration
// types with PELMORA_ENUM below.

#include "core/Variant.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace pelmora::core {

class TPersistent;
class TCollection;
class TCollectionItem;
class TClassInfo;

// The kinds of published properties.
enum class TPropertyKind {
    Variant,     // a Variant value, written with its own type code
    Integer,     // a whole number (int or int64_t), as an Integer or Int64 variant
    Float,       // a double, as a Double variant
    Text,        // 8-bit text, as a String variant
    WideText,    // wide text, as an OleStr variant
    Enumeration, // an ordinal with named values; Booleans included
    Set,         // a set of an enumeration's values, as a bit mask
    Class,       // an object: owned (object, collection) or a component link
    Method,      // an event; listed, but never written or read
};

// Declared default of an ordinal property that has none: the most negative
// 32-bit integer (which counts as true when compared as a Boolean).
constexpr int64_t NoDefault = INT32_MIN;

// The named values of an enumeration type, ordinal 0 upwards.
class TEnumInfo {
public:
    // `identifiers` is the comma-separated list as written in the enum's
    // declaration ("zsZamowienie, zsFaktura"); values must not be given explicitly.
    TEnumInfo(std::string typeName, std::string_view identifiers, bool isBoolean = false);

    const std::string& TypeName() const { return typeName_; }
    bool IsBoolean() const { return isBoolean_; }
    int Count() const { return static_cast<int>(names_.size()); }
    // Identifier of an ordinal; empty when out of range.
    const std::string& Name(int64_t ordinal) const;
    // Ordinal of an identifier, ignoring case; -1 when there is none.
    int Value(std::string_view identifier) const;

private:
    std::string typeName_;
    std::vector<std::string> names_;
    bool isBoolean_;
};

// The Boolean type: False = 0, True = 1.
const TEnumInfo& BooleanEnumInfo();

// The enumeration information of an enum type declared with PELMORA_ENUM or
// PELMORA_ENUM_CLASS (found through the hook function those macros define).
template <class E> const TEnumInfo& EnumInfoOf() {
    if constexpr (std::is_same_v<E, bool>)
        return BooleanEnumInfo();
    else
        return PelmoraEnumInfo(static_cast<E*>(nullptr));
}

// A set of values of an enumeration with at most 32 values, as a bit mask
// (bit n for ordinal n).
template <class E> class TSetOf {
public:
    TSetOf() = default;
    TSetOf(std::initializer_list<E> values) {
        for (E v : values)
            Include(v);
    }
    static TSetOf FromBits(uint32_t bits) {
        TSetOf s;
        s.bits_ = bits;
        return s;
    }
    uint32_t Bits() const { return bits_; }
    bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    bool IsEmpty() const { return bits_ == 0; }
    TSetOf& Include(E v) {
        bits_ |= Bit(v);
        return *this;
    }
    TSetOf& Exclude(E v) {
        bits_ &= ~Bit(v);
        return *this;
    }
    bool operator==(const TSetOf&) const = default;

private:
    static uint32_t Bit(E v) { return uint32_t(1) << static_cast<int>(v); }
    uint32_t bits_ = 0;
};

// One published property. Built by TClassBuilder; read by the serializer.
struct TPropertyInfo {
    std::string Name;
    TPropertyKind Kind = TPropertyKind::Variant;
    // Enumeration: its values; Set: the values of its elements.
    const TEnumInfo* Enum = nullptr;
    // Class: a component link (the writer stores the pointer) rather than an
    // owned object (the writer copies the contents with Assign).
    bool IsLink = false;
    // Enumeration: the declared default ordinal, or NoDefault.
    int64_t Default = NoDefault;

    // Stored condition; none means always stored.
    std::function<bool(const TPersistent&)> StoredIf;
    // Every kind but Class and Method: the value as a variant (ordinals and sets
    // as numbers, Booleans as Boolean) and the writer from a variant.
    std::function<Variant(const TPersistent&)> Get;
    std::function<void(TPersistent&, const Variant&)> Set;
    // Enumeration and Set: the ordinal (or bit mask) directly.
    std::function<int64_t(const TPersistent&)> GetOrdinal;
    std::function<void(TPersistent&, int64_t)> SetOrdinal;
    // Class: the object held (may be none) and the writer.
    std::function<TPersistent*(const TPersistent&)> GetObject;
    std::function<void(TPersistent&, TPersistent*)> SetObject;

    bool IsStored(const TPersistent& obj) const { return !StoredIf || StoredIf(obj); }
    bool HasWriter() const;
};

// A class: name, base class and published properties.
class TClassInfo {
public:
    // Creates an item of this class inside a collection (collection item classes only).
    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection&)>;

    // A property whose name repeats one of a base class replaces it in place.
    TClassInfo(std::string name, const TClassInfo* parent, std::vector<TPropertyInfo> properties,
               ItemFactory createItem = {});
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const std::string& ClassName() const { return name_; }
    const TClassInfo* ClassParent() const { return parent_; }
    bool InheritsFrom(const TClassInfo& other) const;

    // Every published property, those of the base classes first, each class's
    // own in declaration order.
    const std::vector<const TPropertyInfo*>& Properties() const { return all_; }
    // The published property of that name, ignoring case; none when there is none.
    const TPropertyInfo* FindProperty(std::string_view name) const;

    bool CanCreateItem() const { return static_cast<bool>(createItem_); }
    std::unique_ptr<TCollectionItem> CreateItem(TCollection& collection) const;

private:
    std::string name_;
    const TClassInfo* parent_;
    std::vector<TPropertyInfo> own_;
    std::vector<const TPropertyInfo*> all_; // into own_ and the bases' own_
    ItemFactory createItem_;
};

} // namespace pelmora::core

// Declares an enumeration type with ordinals 0, 1, ... and its value names,
// at namespace scope:  PELMORA_ENUM(t_zlecenie_sp, zsZamowienie, zsFaktura);
#define PELMORA_ENUM(Name, ...)                                                                    \
    enum Name : int { __VA_ARGS__ };                                                               \
    inline const ::pelmora::core::TEnumInfo& PelmoraEnumInfo(Name*) {                              \
        static const ::pelmora::core::TEnumInfo info(#Name, #__VA_ARGS__);                         \
        return info;                                                                               \
    }

// The same as a scoped enumeration (values written Name::Value in code).
#define PELMORA_ENUM_CLASS(Name, ...)                                                              \
    enum class Name : int { __VA_ARGS__ };                                                         \
    inline const ::pelmora::core::TEnumInfo& PelmoraEnumInfo(Name*) {                              \
        static const ::pelmora::core::TEnumInfo info(#Name, #__VA_ARGS__);                         \
        return info;                                                                               \
    }
