// Writing objects: the exact file layout, round trips, the program's
// settings, special classes, links, events and file handling.

#include "core/XMLSerializer.h"
#include "core/ClassBuilder.h"
#include "core/DateTime.h"
#include "core/Picture.h"
#include "core/Strings.h"
#include "support/TempDir.h"

#include "XMLSerializerTestClasses.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pelmora::core;
using namespace pelmora::test;

namespace {

const std::filesystem::path DataDir =
    std::filesystem::path(PELMORA_SOURCE_DIR) / "tests" / "core" / "data" / "serializer";

// The product of the golden file.
void FillProduct(TTestProduct& p) {
    p.ID = 1205;
    p.EXID = "4711";
    p.Nazwa = "Śruba M6 – ocynk"; // the dash is not in ISO-8859-2
    p.Opis = "Opis <a> & \"b\"\r\nlinia 2";
    p.Cena = 1234.5;
    p.Kwota = Variant::FromCurrency(12.3456);
    p.Data = Variant::FromDate(EncodeDate(2009, 3, 15) + EncodeTime(14, 5, 9, 120));
    p.Waga = Variant::FromSingle(0.5f);
    p.Pusty = "";
    p.Brak = Variant::Null();
    p.Kind = tkBeta;
    p.Rodzaj = tkGamma;  // its default: not written
    p.Aktywny = false;   // no default: written
    p.Zamawialny = true; // its default: not written
    p.Promocyjny = true; // no default, true: not written
    auto* u1 = p.Jednostki.Add();
    u1->Id = 17;
    u1->Przelicznik = 2.5;
    u1->Nazwa = "szt.";
    auto* u2 = p.Jednostki.Add();
    u2->Id = 18;
    u2->Przelicznik = 0.001;
    u2->Nazwa = "kg";
}

class XMLSerializerWrite : public ::testing::Test {
protected:
    ScopedTimeZone zone_{"XST-1"}; // one hour east of universal time, no daylight time
    TempDir dir_;
};

} // namespace

TEST_F(XMLSerializerWrite, ProgramSettings) {
    TComponent owner;
    auto s = CreateProgramSerializer(&owner);
    EXPECT_EQ(s->Owner(), &owner);
    EXPECT_TRUE(s->XMLSettings().WellFormated());
    EXPECT_EQ(s->XMLSettings().Encoding(), "ISO-8859-2");
    EXPECT_EQ(s->XMLSettings().Standalone(), TxsStandaloneType::Yes);
    EXPECT_TRUE(s->XMLSettings().XSNormalization());
    EXPECT_EQ(s->StorageOptions, TxsStorageOptions{soRecreateCollectionItems});
    EXPECT_EQ(s->SpecialClasses, TxsSpecialClasses{scTCollection});

    TXMLSerializer plain;
    EXPECT_EQ(plain.StorageOptions, TxsStorageOptions{soSortProperties});
    EXPECT_TRUE(plain.SpecialClasses.IsEmpty());
    EXPECT_EQ(plain.XMLSettings().Encoding(), "ISO-8859-1");
    EXPECT_FALSE(plain.XMLSettings().WellFormated());
}

TEST_F(XMLSerializerWrite, GoldenFileByteForByte) {
    ASSERT_EQ(LocalUtcOffsetMinutes(), 60);
    TTestProduct product;
    FillProduct(product);
    auto s = CreateProgramSerializer(nullptr);
    ASSERT_NE(s->SaveObject(&product, product.ClassName()), nullptr);
    const auto path = dir_ / "product.xml";
    ASSERT_TRUE(s->SaveToFile(path.string()));
    const std::string expected = ReadFileBytes(DataDir / "product.xml");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
}

TEST_F(XMLSerializerWrite, RoundTrip) {
    TTestProduct product;
    FillProduct(product);
    auto s = CreateProgramSerializer(nullptr);
    s->SaveObject(&product, product.ClassName());
    const auto path = dir_ / "p.xml";
    ASSERT_TRUE(s->SaveToFile(path.string()));

    TTestProduct back;
    back.Aktywny = true;
    back.Promocyjny = false; // not in the file: stays as it was
    auto r = CreateProgramSerializer(nullptr);
    ASSERT_TRUE(r->LoadFromFile(path.string()));
    ASSERT_NE(r->LoadObject(&back, back.ClassName()), nullptr);

    EXPECT_EQ(back.ID.Type(), varInteger);
    EXPECT_EQ(back.ID.ToInt(), 1205);
    EXPECT_EQ(back.EXID.Type(), varString);
    EXPECT_EQ(back.EXID.ToString(), "4711");
    EXPECT_EQ(back.Nazwa.ToString(), "Śruba M6 – ocynk");
    EXPECT_EQ(back.Opis.ToString(), "Opis <a> & \"b\"\nlinia 2"); // CR LF comes back as LF
    EXPECT_EQ(back.Cena.Type(), varDouble);
    EXPECT_DOUBLE_EQ(back.Cena.ToDouble(), 1234.5);
    EXPECT_EQ(back.Kwota.Type(), varDouble); // Currency arrives as Double
    EXPECT_DOUBLE_EQ(back.Kwota.ToDouble(), 12.3456);
    EXPECT_EQ(back.Data.Type(), varDate);
    const DateParts d = DecodeDateTime(back.Data.ToDate());
    EXPECT_EQ((std::vector<int>{d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.MSec}),
              (std::vector<int>{2009, 3, 15, 14, 5, 9, 120}));
    EXPECT_EQ(back.Waga.Type(), varSingle);
    EXPECT_DOUBLE_EQ(back.Waga.ToDouble(), 0.5);
    // Empty text, Null and Empty are written empty and skipped on reading.
    EXPECT_TRUE(back.Pusty.IsEmpty());
    EXPECT_TRUE(back.Brak.IsEmpty());
    EXPECT_TRUE(back.Tekst.IsEmpty());
    EXPECT_EQ(back.Kind, tkBeta);
    EXPECT_EQ(back.Rodzaj, tkGamma);
    EXPECT_FALSE(back.Aktywny);
    EXPECT_TRUE(back.Zamawialny);
    EXPECT_FALSE(back.Promocyjny); // true without a default is not written
    ASSERT_EQ(back.Jednostki.Count(), 2);
    EXPECT_EQ(back.Jednostki.Items(0)->Id.ToInt(), 17);
    EXPECT_DOUBLE_EQ(back.Jednostki.Items(0)->Przelicznik.ToDouble(), 2.5);
    EXPECT_EQ(back.Jednostki.Items(1)->Nazwa.ToString(), "kg");
    EXPECT_DOUBLE_EQ(back.Jednostki.Items(1)->Przelicznik.ToDouble(), 0.001);
}

TEST_F(XMLSerializerWrite, LayoutWithoutIndentationAndEmptyCollection) {
    TTestUnits units;
    TXMLSerializer s;
    s.SpecialClasses = {scTCollection};
    s.SaveObject(&units, "Jednostki");
    EXPECT_EQ(s.DocumentBytes(),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\r\n"
              "<classes><class classname=\"TTestUnits\" name=\"Jednostki\"><customdata/></class>"
              "</classes>\r\n");
    s.XMLSettings().SetStandalone(TxsStandaloneType::No);
    s.XMLSettings().SetEncoding("UTF-8");
    s.SaveObject(&units, "", true); // no name: nothing written, nothing cleared
    EXPECT_TRUE(s.DocumentBytes().starts_with(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n<classes><class "));
    EXPECT_EQ(s.SaveObject(nullptr, "x"), nullptr);
}

TEST_F(XMLSerializerWrite, SortedPropertiesAndSkippingEvents) {
    TTestUnitItem item(nullptr);
    item.Id = 1;
    item.Przelicznik = 2;
    item.Nazwa = "n";
    TXMLSerializer s; // default options: sorted by name
    std::vector<std::string> saved;
    s.OnPropertySaving = [](TXMLSerializer&, TPersistent*, const std::string&,
                            const std::string& name, bool& skip) { skip = name == "Przelicznik"; };
    s.OnObjectSave = [&](TXMLSerializer&, TPersistent*, const std::string& name, TXMLNode) {
        saved.push_back(name);
    };
    s.SaveObject(&item, "A");
    s.OnObjectSaving = [](TXMLSerializer&, TPersistent*, const std::string&, TXMLNode, bool& skip) {
        skip = true;
    };
    EXPECT_EQ(s.SaveObject(&item, "B"), nullptr);
    EXPECT_EQ(s.DocumentBytes(),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\r\n"
              "<classes><class classname=\"TTestUnitItem\" name=\"A\"><properties>"
              "<property name=\"Id\" type=\"Integer\">1</property>"
              "<property name=\"Nazwa\" type=\"String\">n</property>"
              "</properties></class></classes>\r\n");
    EXPECT_EQ(saved, std::vector<std::string>{"A"});
}

namespace {

// A component with an owned sub-component (found by name: a link) and a
// link to a component elsewhere.
class TTestLinker : public TComponent {
    PELMORA_CLASS(TTestLinker, TComponent)
public:
    using TComponent::TComponent;
    TComponent* Target = nullptr;
};

const TClassInfo& TTestLinker::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TTestLinker>().Link("Target", &TTestLinker::Target);
    return info;
}

} // namespace

TEST_F(XMLSerializerWrite, ComponentLinks) {
    TComponent module;
    TComponent* other = new TComponent(&module); // owned and freed by `module`
    other->SetName("Other");
    TTestLinker* linker = new TTestLinker(&module);
    linker->SetName("Linker");
    linker->Target = other;

    TXMLSerializer s;
    s.SaveObject(linker, "");
    EXPECT_EQ(s.DocumentBytes().find("Target"), std::string::npos); // links need the option

    TXMLSerializer w;
    w.StorageOptions = {soIncludeObjectLinks};
    w.SaveObject(linker, "");
    const std::string text = w.DocumentBytes();
    EXPECT_NE(text.find("<class classname=\"TTestLinker\" name=\"Linker\"><properties>"
                        "<property name=\"Target\" type=\"ObjectLink\" class=\"TComponent\">Other"
                        "</property></properties></class>"),
              std::string::npos)
        << text;

    // Reading resolves a plain name among the owner's components, "A.B" globally.
    TComponent* third = new TComponent(&module);
    third->SetName("Third");
    module.SetName("Module");
    RegisterGlobalComponent(&module);
    const std::pair<const char*, TComponent*> cases[] = {{"Third", third}, {"Module.Other", other}};
    for (const auto& [link, expected] : cases) {
        TXMLSerializer r;
        r.LoadFromBytes(
            std::string("<classes><class classname='TTestLinker' name='Linker'><properties>"
                        "<property name='Target' type='ObjectLink'>") +
            link + "</property></properties></class></classes>");
        r.LoadObject(linker, "");
        EXPECT_EQ(linker->Target, expected) << link;
    }
    UnregisterGlobalComponent(&module);
}

TEST_F(XMLSerializerWrite, StringsAndPictureRoundTrip) {
    TStrings lines;
    lines.SetText("one\r\ntwo\r\nżółw");
    TPicture picture;
    std::string bytes;
    for (int i = 0; i < 200; ++i)
        bytes += static_cast<char>(i * 7);
    picture.LoadBitmap(bytes);

    TXMLSerializer s;
    s.SpecialClasses = {scTStrings, scTBitmap};
    s.XMLSettings().SetWellFormated(true);
    s.XMLSettings().SetEncoding("ISO-8859-2");
    s.SaveObject(&lines, "Lines");
    s.SaveObject(&picture, "Picture");
    const std::string text = s.DocumentBytes();
    EXPECT_NE(
        text.find(
            "<property name=\"Text\" type=\"String\">one\r\ntwo\r\n\xbf\xf3\xb3w\r\n</property>"),
        std::string::npos);
    EXPECT_NE(text.find("<customdata><![CDATA["), std::string::npos);

    TXMLSerializer r;
    r.SpecialClasses = {scTStrings, scTBitmap};
    r.LoadFromBytes(text);
    TStrings lines2;
    TPicture picture2;
    r.LoadObject(&lines2, "lines");
    r.LoadObject(&picture2, "PICTURE");
    EXPECT_EQ(lines2.Lines(), (std::vector<std::string>{"one", "two", "żółw"}));
    EXPECT_EQ(picture2.Bitmap(), bytes);
}

TEST_F(XMLSerializerWrite, FileNamesAndFailures) {
    TTestUnitItem item(nullptr);
    item.Id = 5;
    TXMLSerializer s;
    s.SaveObject(&item, "X");
    int saves = 0;
    s.OnXMLSave = [&](TXMLSerializer&) { ++saves; };
    EXPECT_FALSE(s.SaveToFile(""));                                    // no name at all
    EXPECT_FALSE(s.SaveToFile((dir_ / "missing" / "x.xml").string())); // no such directory
    s.FileName = (dir_ / "named.xml").string();
    EXPECT_TRUE(s.SaveToFile("  "));
    EXPECT_EQ(saves, 1);
    s.XMLSettings().SetEncoding("EBCDIC-XYZ");
    EXPECT_FALSE(s.SaveToFile());
    EXPECT_EQ(saves, 1);

    TXMLSerializer r;
    int loads = 0;
    r.OnXMLLoad = [&](TXMLSerializer&) { ++loads; };
    EXPECT_FALSE(r.LoadFromFile((dir_ / "none.xml").string()));
    r.FileName = "  " + (dir_ / "named.xml").string() + " ";
    EXPECT_TRUE(r.LoadFromFile(""));
    EXPECT_EQ(loads, 1);
    TTestUnitItem back(nullptr);
    ASSERT_NE(r.LoadObject(&back, "x"), nullptr);
    EXPECT_EQ(back.Id.ToInt(), 5);
    EXPECT_THROW(r.LoadFromFile(dir_.Path().string()), EXSSerializationException); // a directory
}

TEST_F(XMLSerializerWrite, AssignCopiesSettings) {
    auto program = CreateProgramSerializer(nullptr);
    program->FileName = "f.xml";
    TXMLSerializer copy;
    copy.Assign(*program);
    EXPECT_EQ(copy.FileName, "f.xml");
    EXPECT_EQ(copy.StorageOptions, program->StorageOptions);
    EXPECT_EQ(copy.SpecialClasses, program->SpecialClasses);
    EXPECT_EQ(copy.XMLSettings().Encoding(), "ISO-8859-2");
    EXPECT_TRUE(copy.XMLSettings().WellFormated());

    // The serializer's own published properties, as the model lists them.
    std::vector<std::string> names;
    for (const TPropertyInfo* p : TXMLSerializer::StaticClass().Properties())
        names.push_back(p->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"FileName", "SpecialClasses", "StorageOptions",
                                               "XMLSettings", "OnXMLLoad", "OnXMLSave",
                                               "OnObjectSave", "OnObjectSaving", "OnObjectLoad",
                                               "OnObjectLoading", "OnSetPropertyError",
                                               "OnPropertyLoading", "OnPropertySaving"}));
}
