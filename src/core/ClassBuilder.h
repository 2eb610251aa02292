#pragma once
// Declares the published properties of a class, one call per property, in
// declaration order (the order in which the serializer writes them):
//
//   const TClassInfo& TSettingsFile::StaticClass() {
//       using T = TSettingsFile;
//       static const TClassInfo info = TClassBuilder<T>()
//           .Text("CRMUser", &T::CRMUser)                                // a std::string member
//           .Variant("ID", &T::ID)                                       // a Variant member
//           .Variant("Sort", &T::GetSort, &T::SetSort)                   // reader and writer
//           .Text("ObjectListToProcess", &T::ListText, &T::SetListText)
//           .Bool("AkceptNaleznoscKlient", &T::Akcept).Default(true)     // declared default
//           .Bool("Aktywny", &T::Aktywny)                                // no declared default
//           .Enum("ZlecenieSP", &T::ZlecenieSP).Default(zsZamowienie)    // a PELMORA_ENUM type
//           .Object("Pozycje", &T::Pozycje)      // owned object or collection (pointer, unique_ptr
//           or member) .Link("Connection", &T::Conn)        // a component link (TComponent-derived
//           pointer) .Variant("Hidden", &T::Hidden).Stored(&T::IsHiddenStored)    // stored
//           condition .Variant("Total", &T::GetTotal);     // reader only: read-only property
//       return info;
//   }
//
// A reader is a data member pointer, a const member function or any callable
// taking `const T&`; a writer a member function or callable taking `T&` and the
// value. A data member without an explicit writer is written directly.
// Members of base classes may be named too (&TBase::Field).

#include "core/ClassInfo.h"
#include "core/Collection.h"
#include "core/Component.h"
#include "core/ConvertError.h"
#include "core/Persistent.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace pelmora::core {

namespace detail {

// The ordinal a variant stands for in an enumeration: an identifier (any case)
// for a text, 0/1 for a Boolean, the number otherwise. Raises ConvertError.
int64_t EnumOrdinalFromVariant(const TEnumInfo& info, const Variant& value);
// The bit mask of a set from a number or from "[a,b]" identifiers. Raises ConvertError.
int64_t SetBitsFromVariant(const TEnumInfo& info, const Variant& value);
// Raises ConvertError unless 0 <= ordinal < info.Count().
void CheckOrdinal(const TEnumInfo& info, int64_t ordinal);
// Raises EConvertError for an owned-object writer given nothing or holding nothing.
void AssignOwnedObject(TPersistent* current, TPersistent* source, const std::string& property);

template <class X> TPersistent* AsObjectPointer(X* p) {
    return p;
}
template <class X> TPersistent* AsObjectPointer(const std::unique_ptr<X>& p) {
    return p.get();
}
template <class X> TPersistent* AsObjectPointer(const X& x) {
    static_assert(std::is_base_of_v<TPersistent, X>, "an object property must hold a TPersistent");
    return const_cast<X*>(&x);
}

template <class X> struct PointeeOf { using type = std::remove_cv_t<X>; };
template <class X> struct PointeeOf<X*> { using type = X; };
template <class X> struct PointeeOf<std::unique_ptr<X>> { using type = X; };

template <class X> struct IsSetOf : std::false_type {};
template <class E> struct IsSetOf<TSetOf<E>> : std::true_type { using Element = E; };

} // namespace detail

template <class T> class TClassBuilder {
public:
    TClassBuilder() : name_(T::StaticClassName()) {}

    // A Variant property.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Variant(std::string name, G get, S set = nullptr) {
        TPropertyInfo& p = Start(std::move(name), TPropertyKind::Variant);
        p.Get = [get](const TPersistent& o) { return core::Variant(Read(get, o)); };
        if constexpr (Writable<G, S>)
            p.Set = [get, set](TPersistent& o, const core::Variant& v) { Write(get, set, o, v); };
        return *this;
    }

    // An 8-bit text property (std::string), written with type String.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Text(std::string name, G get, S set = nullptr) {
        return TextOf(std::move(name), TPropertyKind::Text, get, set);
    }
    // A wide text property (std::string holding UTF-8 as well), written with type OleStr.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& WideText(std::string name, G get, S set = nullptr) {
        return TextOf(std::move(name), TPropertyKind::WideText, get, set);
    }

    // A whole-number property (int: type Integer; int64_t: type Int64).
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Integer(std::string name, G get, S set = nullptr) {
        using V = ValueOf<G>;
        static_assert(std::is_integral_v<V>, "Integer needs a whole-number member");
        TPropertyInfo& p = Start(std::move(name), TPropertyKind::Integer);
        p.Get = [get](const TPersistent& o) {
            if constexpr (sizeof(V) > 4)
                return core::Variant(static_cast<int64_t>(Read(get, o)));
            else
                return core::Variant(static_cast<int>(Read(get, o)));
        };
        if constexpr (Writable<G, S>)
            p.Set = [get, set](TPersistent& o, const core::Variant& v) {
                if constexpr (sizeof(V) > 4)
                    Write(get, set, o, static_cast<V>(v.ToInt64()));
                else
                    Write(get, set, o, static_cast<V>(v.ToInt()));
            };
        return *this;
    }

    // A floating-point property (double), written with type Double.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Float(std::string name, G get, S set = nullptr) {
        TPropertyInfo& p = Start(std::move(name), TPropertyKind::Float);
        p.Get = [get](const TPersistent& o) {
            return core::Variant(static_cast<double>(Read(get, o)));
        };
        if constexpr (Writable<G, S>)
            p.Set = [get, set](TPersistent& o, const core::Variant& v) {
                Write(get, set, o, v.ToDouble());
            };
        return *this;
    }

    // An enumeration property: a PELMORA_ENUM type, or bool (see Bool).
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Enum(std::string name, G get, S set = nullptr) {
        using E = ValueOf<G>;
        static_assert(std::is_enum_v<E> || std::is_same_v<E, bool>,
                      "Enum needs an enumeration member");
        const TEnumInfo* info = &EnumInfoOf<E>();
        TPropertyInfo& p = Start(std::move(name), TPropertyKind::Enumeration);
        p.Enum = info;
        p.GetOrdinal = [get](const TPersistent& o) { return static_cast<int64_t>(Read(get, o)); };
        p.Get = [get](const TPersistent& o) {
            if constexpr (std::is_same_v<E, bool>)
                return core::Variant(static_cast<bool>(Read(get, o)));
            else
                return core::Variant(static_cast<int>(Read(get, o)));
        };
        if constexpr (Writable<G, S>) {
            auto setOrdinal = [get, set, info](TPersistent& o, int64_t ordinal) {
                detail::CheckOrdinal(*info, ordinal);
                if constexpr (std::is_same_v<E, bool>)
                    Write(get, set, o, ordinal != 0);
                else
                    Write(get, set, o, static_cast<E>(ordinal));
            };
            p.SetOrdinal = setOrdinal;
            p.Set = [setOrdinal, info](TPersistent& o, const core::Variant& v) {
                setOrdinal(o, detail::EnumOrdinalFromVariant(*info, v));
            };
        }
        return *this;
    }

    // A Boolean property: an enumeration with the values False and True.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Bool(std::string name, G get, S set = nullptr) {
        static_assert(std::is_same_v<ValueOf<G>, bool>, "Bool needs a bool member");
        return Enum(std::move(name), get, set);
    }

    // A set property (TSetOf<E>), written as its bit mask with type Integer.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Set(std::string name, G get, S set = nullptr) {
        using V = ValueOf<G>;
        static_assert(detail::IsSetOf<V>::value, "Set needs a TSetOf member");
        const TEnumInfo* info = &EnumInfoOf<typename detail::IsSetOf<V>::Element>();
        TPropertyInfo& p = Start(std::move(name), TPropertyKind::Set);
        p.Enum = info;
        p.GetOrdinal = [get](const TPersistent& o) {
            return static_cast<int64_t>(Read(get, o).Bits());
        };
        p.Get = [get](const TPersistent& o) {
            const uint32_t bits = Read(get, o).Bits();
            return bits <= INT32_MAX ? core::Variant(static_cast<int>(bits))
                                     : core::Variant(static_cast<int64_t>(bits));
        };
        if constexpr (Writable<G, S>) {
            auto setBits = [get, set, info](TPersistent& o, int64_t bits) {
                detail::SetBitsFromVariant(*info, core::Variant(bits)); // range check
                Write(get, set, o, V::FromBits(static_cast<uint32_t>(bits)));
            };
            p.SetOrdinal = setBits;
            p.Set = [setBits, info](TPersistent& o, const core::Variant& v) {
                setBits(o, detail::SetBitsFromVariant(*info, v));
            };
        }
        return *this;
    }

    // An owned object or collection: a pointer, unique_ptr or object member, or
    // a reader returning one. Its writer copies the given object into the one
    // held (Assign); with an explicit writer, that writer gets the pointer.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Object(std::string name, G get, S set = nullptr) {
        TPropertyInfo& p = Start(std::move(name), TPropertyKind::Class);
        p.GetObject = [get](const TPersistent& o) { return detail::AsObjectPointer(Read(get, o)); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>) {
            using X = typename detail::PointeeOf<ValueOf<G>>::type;
            const std::string propName = p.Name;
            p.SetObject = [set, propName](TPersistent& o, TPersistent* src) {
                X* value = src ? dynamic_cast<X*>(src) : nullptr;
                if (src && !value)
                    throw ConvertError("Invalid class of the value of property " + propName);
                std::invoke(set, static_cast<T&>(o), value);
            };
        } else {
            const std::string propName = p.Name;
            p.SetObject = [get, propName](TPersistent& o, TPersistent* src) {
                detail::AssignOwnedObject(detail::AsObjectPointer(Read(get, o)), src, propName);
            };
        }
        return *this;
    }

    // A link to a component that this object does not own as its contents: a
    // pointer member (to TComponent or a class derived from it), or a reader
    // and a writer taking such a pointer.
    template <class G, class S = std::nullptr_t>
    TClassBuilder& Link(std::string name, G get, S set = nullptr) {
        using P = ValueOf<G>;
        static_assert(std::is_pointer_v<P>, "Link needs a component pointer");
        using C = std::remove_cv_t<std::remove_pointer_t<P>>;
        static_assert(std::is_base_of_v<TComponent, C>, "Link needs a component pointer");
        TPropertyInfo& p = Start(std::move(name), TPropertyKind::Class);
        p.IsLink = true;
        p.GetObject = [get](const TPersistent& o) -> TPersistent* { return Read(get, o); };
        if constexpr (Writable<G, S>) {
            const std::string propName = p.Name;
            p.SetObject = [get, set, propName](TPersistent& o, TPersistent* src) {
                C* value = src ? dynamic_cast<C*>(src) : nullptr;
                if (src && !value)
                    throw ConvertError("Invalid class of the value of property " + propName);
                Write(get, set, o, value);
            };
        }
        return *this;
    }

    // An event property: listed in the class information, never written or read.
    TClassBuilder& Event(std::string name) {
        Start(std::move(name), TPropertyKind::Method);
        return *this;
    }

    // The declared default of the last property (an enumeration or Boolean).
    template <class V> TClassBuilder& Default(V value) {
        TPropertyInfo& p = Last();
        if (p.Kind != TPropertyKind::Enumeration)
            throw std::logic_error("Default applies to enumeration properties: " + p.Name);
        p.Default = static_cast<int64_t>(value);
        return *this;
    }

    // The stored condition of the last property: a constant, a const member
    // function returning bool, or a callable taking `const T&`.
    TClassBuilder& Stored(bool stored) {
        Last().StoredIf = [stored](const TPersistent&) { return stored; };
        return *this;
    }
    template <class F> TClassBuilder& Stored(F condition) {
        Last().StoredIf = [condition](const TPersistent& o) {
            return static_cast<bool>(std::invoke(condition, static_cast<const T&>(o)));
        };
        return *this;
    }

    // Takes the writer away from the last property.
    TClassBuilder& ReadOnly() {
        TPropertyInfo& p = Last();
        p.Set = nullptr;
        p.SetOrdinal = nullptr;
        p.SetObject = nullptr;
        return *this;
    }

    operator TClassInfo() const { return TClassInfo(name_, Parent(), props_, ItemFactory()); }

private:
    template <class G>
    using ValueOf = std::remove_cvref_t<std::invoke_result_t<const G&, const T&>>;

    // Whether a property declared with reader G and writer S can be written.
    template <class G, class S>
    static constexpr bool Writable =
        !std::is_same_v<S, std::nullptr_t> || std::is_member_object_pointer_v<G>;

    template <class G> static decltype(auto) Read(const G& get, const TPersistent& o) {
        return std::invoke(get, static_cast<const T&>(o));
    }

    template <class G, class S, class V>
    static void Write(const G& get, const S& set, TPersistent& o, V&& value) {
        if constexpr (std::is_same_v<S, std::nullptr_t>)
            std::invoke(get, static_cast<T&>(o)) = std::forward<V>(value);
        else
            std::invoke(set, static_cast<T&>(o), std::forward<V>(value));
    }

    template <class G, class S>
    TClassBuilder& TextOf(std::string name, TPropertyKind kind, G get, S set) {
        TPropertyInfo& p = Start(std::move(name), kind);
        if (kind == TPropertyKind::WideText)
            p.Get = [get](const TPersistent& o) {
                return core::Variant::FromOleStr(std::string(Read(get, o)));
            };
        else
            p.Get = [get](const TPersistent& o) {
                return core::Variant(std::string(Read(get, o)));
            };
        if constexpr (Writable<G, S>)
            p.Set = [get, set](TPersistent& o, const core::Variant& v) {
                Write(get, set, o, v.ToString());
            };
        return *this;
    }

    TPropertyInfo& Start(std::string name, TPropertyKind kind) {
        TPropertyInfo& p = props_.emplace_back();
        p.Name = std::move(name);
        p.Kind = kind;
        return p;
    }

    TPropertyInfo& Last() {
        if (props_.empty())
            throw std::logic_error("No property declared yet in " + name_);
        return props_.back();
    }

    static const TClassInfo* Parent() {
        if constexpr (std::is_same_v<T, TPersistent>)
            return nullptr;
        else
            return &T::inherited::StaticClass();
    }

    static TClassInfo::ItemFactory ItemFactory() {
        if constexpr (std::is_base_of_v<TCollectionItem, T> && !std::is_abstract_v<T> &&
                      std::is_constructible_v<T, TCollection*>)
            return [](TCollection& c) -> std::unique_ptr<TCollectionItem> {
                return std::make_unique<T>(&c);
            };
        else
            return {};
    }

    std::string name_;
    std::vector<TPropertyInfo> props_;
};

} // namespace pelmora::core
