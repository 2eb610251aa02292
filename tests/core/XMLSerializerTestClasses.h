#pragma once
// Small persistent classes in the shape of an exchange object with a units
// collection, declared the way exchange classes are, and a scoped time zone.

#include "core/ClassBuilder.h"
#include "core/Collection.h"
#include "core/Variant.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace pelmora::test {

using core::TClassBuilder;
using core::TClassInfo;
using core::Variant;

PELMORA_ENUM(t_test_kind, tkAlpha, tkBeta, tkGamma);

class TTestUnitItem : public core::TCollectionItem {
    PELMORA_CLASS(TTestUnitItem, core::TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    Variant Id, Przelicznik, Nazwa;
};

inline const TClassInfo& TTestUnitItem::StaticClass() {
    using T = TTestUnitItem;
    static const TClassInfo info = TClassBuilder<T>()
                                       .Variant("Id", &T::Id)
                                       .Variant("Przelicznik", &T::Przelicznik)
                                       .Variant("Nazwa", &T::Nazwa);
    return info;
}

class TTestUnits : public core::TCollectionOf<TTestUnitItem> {
    PELMORA_CLASS(TTestUnits, core::TCollection)
};

inline const TClassInfo& TTestUnits::StaticClass() {
    static const TClassInfo info = TClassBuilder<TTestUnits>();
    return info;
}

class TTestProduct : public core::TPersistent {
    PELMORA_CLASS(TTestProduct, core::TPersistent)
public:
    Variant ID, EXID, Nazwa, Opis, Cena, Kwota, Data, Waga, Pusty, Brak, Tekst;
    t_test_kind Kind = tkAlpha;   // declared default tkAlpha
    t_test_kind Rodzaj = tkGamma; // declared default tkGamma
    bool Aktywny = false;         // no declared default
    bool Zamawialny = true;       // declared default true
    bool Promocyjny = true;       // no declared default
    TTestUnits Jednostki;

    // Read-only: never set by a reader.
    Variant Total() const { return Variant(42); }
};

inline const TClassInfo& TTestProduct::StaticClass() {
    using T = TTestProduct;
    static const TClassInfo info = TClassBuilder<T>()
                                       .Variant("ID", &T::ID)
                                       .Variant("EXID", &T::EXID)
                                       .Variant("Nazwa", &T::Nazwa)
                                       .Variant("Opis", &T::Opis)
                                       .Variant("Cena", &T::Cena)
                                       .Variant("Kwota", &T::Kwota)
                                       .Variant("Data", &T::Data)
                                       .Variant("Waga", &T::Waga)
                                       .Variant("Pusty", &T::Pusty)
                                       .Variant("Brak", &T::Brak)
                                       .Variant("Tekst", &T::Tekst)
                                       .Enum("Kind", &T::Kind)
                                       .Default(tkAlpha)
                                       .Enum("Rodzaj", &T::Rodzaj)
                                       .Default(tkGamma)
                                       .Bool("Aktywny", &T::Aktywny)
                                       .Bool("Zamawialny", &T::Zamawialny)
                                       .Default(true)
                                       .Bool("Promocyjny", &T::Promocyjny)
                                       .Variant("Total", &T::Total)
                                       .Object("Jednostki", &T::Jednostki);
    return info;
}

// Sets TZ (a POSIX zone text such as "XST-1" for one hour east of universal
// time) for the life of the object, and restores the previous value.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            previous_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (previous_)
            setenv("TZ", previous_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};

} // namespace pelmora::test
