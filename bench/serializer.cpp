// Speed of the XML serializer on a document with 100 positions: writing
// (object to file bytes), reading (file bytes to object) and the round trip
// through a file in a temporary directory, in documents per second.

#include "core/ClassBuilder.h"
#include "core/Collection.h"
#include "core/DateTime.h"
#include "core/XMLSerializer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

using namespace pelmora::core;

namespace {

// Positions of the benchmark document.
constexpr int Positions = 100;
// Seconds each measurement runs for.
constexpr double SecondsPerFigure = 2.0;

class TBenchPosition : public TCollectionItem {
    PELMORA_CLASS(TBenchPosition, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    Variant Lp, TowarEXID, Kod, Nazwa, Ilosc, Jednostka, Przelicznik, CenaNetto, CenaBrutto, Rabat,
        StawkaVat, WartoscNetto, WartoscBrutto, Termin, Opis;
};

const TClassInfo& TBenchPosition::StaticClass() {
    using T = TBenchPosition;
    static const TClassInfo info = TClassBuilder<T>()
                                       .Variant("Lp", &T::Lp)
                                       .Variant("TowarEXID", &T::TowarEXID)
                                       .Variant("Kod", &T::Kod)
                                       .Variant("Nazwa", &T::Nazwa)
                                       .Variant("Ilosc", &T::Ilosc)
                                       .Variant("Jednostka", &T::Jednostka)
                                       .Variant("Przelicznik", &T::Przelicznik)
                                       .Variant("CenaNetto", &T::CenaNetto)
                                       .Variant("CenaBrutto", &T::CenaBrutto)
                                       .Variant("Rabat", &T::Rabat)
                                       .Variant("StawkaVat", &T::StawkaVat)
                                       .Variant("WartoscNetto", &T::WartoscNetto)
                                       .Variant("WartoscBrutto", &T::WartoscBrutto)
                                       .Variant("Termin", &T::Termin)
                                       .Variant("Opis", &T::Opis);
    return info;
}

class TBenchPositions : public TCollectionOf<TBenchPosition> {
    PELMORA_CLASS(TBenchPositions, TCollection)
};

const TClassInfo& TBenchPositions::StaticClass() {
    static const TClassInfo info = TClassBuilder<TBenchPositions>();
    return info;
}

PELMORA_ENUM(t_bench_kind, bkOrder, bkInvoice);

class TBenchDocument : public TPersistent {
    PELMORA_CLASS(TBenchDocument, TPersistent)
public:
    Variant ID, EXID, Numer, Data, Termin, KlientEXID, Klient, Adres, Uwagi, Netto, Brutto, Waluta,
        Magazyn, Platnosc;
    t_bench_kind Kind = bkOrder;
    TBenchPositions Pozycje;
};

const TClassInfo& TBenchDocument::StaticClass() {
    using T = TBenchDocument;
    static const TClassInfo info = TClassBuilder<T>()
                                       .Variant("ID", &T::ID)
                                       .Variant("EXID", &T::EXID)
                                       .Variant("Numer", &T::Numer)
                                       .Variant("Data", &T::Data)
                                       .Variant("Termin", &T::Termin)
                                       .Variant("KlientEXID", &T::KlientEXID)
                                       .Variant("Klient", &T::Klient)
                                       .Variant("Adres", &T::Adres)
                                       .Variant("Uwagi", &T::Uwagi)
                                       .Variant("Netto", &T::Netto)
                                       .Variant("Brutto", &T::Brutto)
                                       .Variant("Waluta", &T::Waluta)
                                       .Variant("Magazyn", &T::Magazyn)
                                       .Variant("Platnosc", &T::Platnosc)
                                       .Enum("ZlecenieSP", &T::Kind)
                                       .Default(bkOrder)
                                       .Object("Pozycje", &T::Pozycje);
    return info;
}

void Fill(TBenchDocument& d) {
    const TDateTime now = EncodeDate(2024, 5, 17) + EncodeTime(10, 30, 15, 250);
    d.ID = 123456;
    d.EXID = "98765";
    d.Numer = "ZS/2024/05/00123";
    d.Data = Variant::FromDate(now);
    d.Termin = Variant::FromDate(now + 14);
    d.KlientEXID = "4711";
    d.Klient = "Przedsiębiorstwo Handlowo-Usługowe „Żuraw” Sp. z o.o.";
    d.Adres = "ul. Świętokrzyska 12/4\r\n00-916 Warszawa";
    d.Uwagi = "Dostawa do magazynu głównego – rampa 3";
    d.Netto = Variant::FromCurrency(123456.78);
    d.Brutto = Variant::FromCurrency(151851.84);
    d.Waluta = "PLN";
    d.Magazyn = 1;
    d.Platnosc = "przelew 14 dni";
    d.Kind = bkInvoice;
    for (int i = 0; i < Positions; ++i) {
        TBenchPosition* p = d.Pozycje.Add();
        p->Lp = i + 1;
        p->TowarEXID = std::to_string(10000 + i);
        p->Kod = "TOW-" + std::to_string(i);
        p->Nazwa = "Wkręt samowiercący ocynkowany 4,2x" + std::to_string(13 + i) + " mm";
        p->Ilosc = 12.5 + i;
        p->Jednostka = "szt.";
        p->Przelicznik = 1.0;
        p->CenaNetto = Variant::FromCurrency(0.1234 * (i + 1));
        p->CenaBrutto = Variant::FromCurrency(0.1518 * (i + 1));
        p->Rabat = 2.5;
        p->StawkaVat = "23";
        p->WartoscNetto = Variant::FromCurrency(1.5425 * (i + 1));
        p->WartoscBrutto = Variant::FromCurrency(1.8973 * (i + 1));
        p->Termin = Variant::FromDate(now + i);
        p->Opis = i % 3 ? Variant() : Variant("pozycja z opisem");
    }
}

// Runs `work` for about SecondsPerFigure and returns runs per second.
double PerSecond(const std::function<void()>& work) {
    using Clock = std::chrono::steady_clock;
    work(); // warm-up
    int runs = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    while (elapsed < SecondsPerFigure) {
        work();
        ++runs;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    return runs / elapsed;
}

} // namespace

int main() {
    TBenchDocument source;
    Fill(source);

    std::string bytes;
    const double write = PerSecond([&] {
        auto s = CreateProgramSerializer(nullptr);
        s->SaveObject(&source, source.ClassName());
        bytes = s->DocumentBytes();
    });

    const double read = PerSecond([&] {
        TBenchDocument target;
        auto s = CreateProgramSerializer(nullptr);
        s->LoadFromBytes(bytes);
        s->LoadObject(&target, target.ClassName());
        if (target.Pozycje.Count() != Positions)
            std::abort();
    });

    const auto dir = std::filesystem::temp_directory_path() /
                     ("pelmora-bench-serializer-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "document.xml").string();
    const double files = PerSecond([&] {
        auto w = CreateProgramSerializer(nullptr);
        w->SaveObject(&source, source.ClassName());
        if (!w->SaveToFile(path))
            std::abort();
        TBenchDocument target;
        auto r = CreateProgramSerializer(nullptr);
        r->LoadFromFile(path);
        r->LoadObject(&target, target.ClassName());
    });
    std::filesystem::remove_all(dir);

    std::printf(
        "XML serializer, document with %d positions (%zu bytes, %d properties per position)\n",
        Positions, bytes.size(),
        static_cast<int>(TBenchPosition::StaticClass().Properties().size()));
    std::printf("  write (object to bytes):          %8.1f documents/s  %7.3f ms each\n", write,
                1000 / write);
    std::printf("  read (bytes to object):           %8.1f documents/s  %7.3f ms each\n", read,
                1000 / read);
    std::printf("  save to file and load it back:    %8.1f documents/s  %7.3f ms each\n", files,
                1000 / files);
    return 0;
}
