// Reading objects: the rules that change results, encodings, layout, and
// files the parser must refuse.

#include "core/DateTime.h"
#include "core/XMLSerializer.h"
#include "support/TempDir.h"

#include "XMLSerializerTestClasses.h"

#include <gtest/gtest.h>

using namespace pelmora::core;
using namespace pelmora::test;

namespace {

// A UTF-8 file with one TTestProduct element holding `properties` and `extra`.
std::string ProductFile(const std::string& properties, const std::string& extra = "") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<classes>\n"
           "<class classname=\"TTestProduct\" name=\"TTestProduct\">\n<properties>\n" +
           properties + "</properties>\n" + extra + "</class>\n</classes>\n";
}

std::string Prop(const std::string& name, const std::string& type, const std::string& text) {
    return "<property name=\"" + name + "\" type=\"" + type + "\">" + text + "</property>\n";
}

// Reads the product from `file` with the program's serializer.
TXMLNode Load(TTestProduct& product, const std::string& file,
              TXMLSerializer* serializer = nullptr) {
    std::unique_ptr<TXMLSerializer> own;
    if (!serializer) {
        own = CreateProgramSerializer(nullptr);
        serializer = own.get();
    }
    serializer->LoadFromBytes(file);
    return serializer->LoadObject(&product, product.ClassName());
}

std::string Units(const std::vector<std::pair<int, std::string>>& items) {
    std::string out = "<property name=\"Jednostki\" type=\"Object\" class=\"TTestUnits\">"
                      "<class classname=\"TTestUnits\" name=\"Jednostki\"><customdata>";
    for (const auto& [n, name] : items)
        out += "<class classname=\"TTestUnitItem\" name=\"Item_" + std::to_string(n) +
               "\"><properties>" + Prop("Nazwa", "String", name) + "</properties></class>";
    return out + "</customdata></class></property>\n";
}

} // namespace

TEST(XMLSerializerRead, ElementsWithoutTextLeaveTheValue) {
    TTestProduct p;
    p.ID = 7;
    p.EXID = "keep";
    ASSERT_NE(Load(p, ProductFile("<property name=\"ID\" type=\"Integer\"/>" +
                                  Prop("EXID", "String", "") + Prop("Brak", "Null", "") +
                                  Prop("Pusty", "Empty", ""))),
              nullptr);
    EXPECT_EQ(p.ID.ToInt(), 7);
    EXPECT_EQ(p.EXID.ToString(), "keep");
    EXPECT_TRUE(p.Brak.IsEmpty());
    EXPECT_TRUE(p.Pusty.IsEmpty());
}

TEST(XMLSerializerRead, TypeNamesDecideTheValue) {
    struct Case {
        const char* type;
        const char* text;
        VarType expectedType;
        const char* expectedText;
    };
    const Case cases[] = {
        {"Integer", "17", varInteger, "17"},
        {"integer", "17", varInteger, "17"},
        {"Smallint", "-7", varSmallint, "-7"},
        {"Int64", "9000000000", varInt64, "9000000000"},
        {"Double", "1234.5", varDouble, "1234,5"},
        {"Currency", "12.3456", varDouble, "12,3456"}, // Currency arrives as Double
        {"Single", "0,5", varSingle, "0,5"},
        {"Boolean", "True", varBoolean, "True"},
        {"String", " a b ", varString, " a b "},
        {"OleStr", "żółw", varOleStr, "żółw"},
        {"NoSuchType", "abc", varEmpty, ""}, // an unknown type sets an empty value
    };
    for (const Case& c : cases) {
        TTestProduct p;
        p.Opis = "before";
        Load(p, ProductFile(Prop("Opis", c.type, c.text)));
        EXPECT_EQ(p.Opis.Type(), c.expectedType) << c.type;
        EXPECT_EQ(p.Opis.ToString(), c.expectedText) << c.type;
    }
}

TEST(XMLSerializerRead, PropertyThatCannotBeSet) {
    const std::string file =
        ProductFile("<property name=\"ID\">5</property>\n" + Prop("Cena", "Integer", "abc") +
                    Prop("EXID", "String", "x"));
    {
        TTestProduct p;
        try {
            Load(p, file);
            FAIL() << "no exception";
        } catch (const EXSSetPropertyException& e) {
            EXPECT_STREQ(e.what(), "XML Serializer. Cannot set property value");
            EXPECT_EQ(e.PropertyName(), "ID");
        }
        EXPECT_TRUE(p.EXID.IsEmpty()); // the load ended there
    }
    {
        auto s = CreateProgramSerializer(nullptr);
        s->StorageOptions.Include(soIgnoreSetPropertyError);
        TTestProduct p;
        EXPECT_NO_THROW(Load(p, file, s.get()));
        EXPECT_EQ(p.EXID.ToString(), "x");
    }
    {
        auto s = CreateProgramSerializer(nullptr);
        std::vector<std::string> failed;
        s->OnSetPropertyError = [&](TXMLSerializer&, const std::string& name, TXMLNode,
                                    const std::exception&, bool& handled) {
            failed.push_back(name);
            handled = true;
        };
        TTestProduct p;
        EXPECT_NO_THROW(Load(p, file, s.get()));
        EXPECT_EQ(failed, (std::vector<std::string>{"ID", "Cena"}));
        EXPECT_EQ(p.EXID.ToString(), "x");
    }
}

TEST(XMLSerializerRead, FindingTheClassElement) {
    const std::string body = Prop("ID", "Integer", "3");
    TTestProduct p;
    auto s = CreateProgramSerializer(nullptr);
    // No element of that class or name: nothing read, no error.
    s->LoadFromBytes("<classes><class classname=\"TOther\" name=\"TTestProduct\"><properties>" +
                     body + "</properties></class></classes>");
    EXPECT_EQ(s->LoadObject(&p, "TTestProduct"), nullptr);
    EXPECT_EQ(s->LoadObject(&p, "Other"), nullptr);
    EXPECT_TRUE(p.ID.IsEmpty());
    // Names are compared ignoring case; the first match is read.
    s->LoadFromBytes(
        "<classes><CLASS classname=\"ttestproduct\" name=\"TTESTPRODUCT\"><properties>" + body +
        "</properties></CLASS><class classname=\"TTestProduct\" "
        "name=\"TTestProduct\"><properties>" +
        Prop("ID", "Integer", "4") + "</properties></class></classes>");
    EXPECT_NE(s->LoadObject(&p, "TTestProduct"), nullptr);
    EXPECT_EQ(p.ID.ToInt(), 3);
    // An empty document holds nothing.
    auto fresh = CreateProgramSerializer(nullptr);
    EXPECT_EQ(fresh->LoadObject(&p, "TTestProduct"), nullptr);
}

TEST(XMLSerializerRead, UnknownReadOnlyAndExtraElementsAreIgnored) {
    TTestProduct p;
    ASSERT_NE(Load(p, ProductFile("<!-- note -->" + Prop("Nieznany", "Integer", "1") +
                                      Prop("Total", "Integer", "5") + "<extra a=\"1\">x</extra>" +
                                      Prop("id", "Integer", "9"),
                                  "<unknown><class classname=\"TTestProduct\"/></unknown>")),
              nullptr);
    EXPECT_EQ(p.ID.ToInt(), 9); // property names are found ignoring case
    EXPECT_EQ(p.Total().ToInt(), 42);
}

TEST(XMLSerializerRead, EnumerationsAndBooleans) {
    TTestProduct p;
    p.Kind = tkBeta;
    p.Aktywny = true;
    Load(p, ProductFile(Prop("Rodzaj", "Enumeration", "TKALPHA") +
                        Prop("Aktywny", "Enumeration", "False") +
                        Prop("Promocyjny", "Boolean", "False")));
    EXPECT_EQ(p.Kind, tkBeta); // not in the file: kept
    EXPECT_EQ(p.Rodzaj, tkAlpha);
    EXPECT_FALSE(p.Aktywny);
    EXPECT_FALSE(p.Promocyjny);
    EXPECT_THROW(Load(p, ProductFile(Prop("Kind", "Enumeration", "tkOmega"))),
                 EXSSetPropertyException);
    EXPECT_EQ(p.Kind, tkBeta);
}

TEST(XMLSerializerRead, CollectionItemsAreRecreatedAndMatchedByName) {
    struct Case {
        const char* what;
        int before;                                    // items in the collection before reading
        std::vector<std::pair<int, std::string>> file; // item number and name in file order
        bool recreate;
        std::vector<std::string> after; // item names after reading
        std::vector<int> survivors;     // positions before reading of the items left
    };
    const Case cases[] = {
        {"surplus removed from the front", 3, {{1, "a"}, {2, "b"}}, true, {"a", "b"}, {1, 2}},
        {"missing items added", 0, {{2, "b"}, {1, "a"}}, true, {"a", "b"}, {}},
        {"gap in the names", 0, {{1, "a"}, {3, "c"}}, true, {"a", ""}, {}},
        {"without recreation the count stays", 1, {{1, "a"}, {2, "b"}}, false, {"a"}, {0}},
        {"empty customdata empties it", 2, {}, true, {}, {}},
    };
    for (const Case& c : cases) {
        TTestProduct p;
        std::vector<TTestUnitItem*> before;
        for (int i = 0; i < c.before; ++i)
            before.push_back(p.Jednostki.Add());
        auto s = CreateProgramSerializer(nullptr);
        if (!c.recreate)
            s->StorageOptions.Exclude(soRecreateCollectionItems);
        Load(p, ProductFile(Units(c.file)), s.get());
        std::vector<std::string> names;
        for (int i = 0; i < p.Jednostki.Count(); ++i)
            names.push_back(p.Jednostki.Items(i)->Nazwa.ToString());
        EXPECT_EQ(names, c.after) << c.what;
        for (size_t i = 0; i < c.survivors.size(); ++i)
            EXPECT_EQ(p.Jednostki.Items(static_cast<int>(i)), before[c.survivors[i]]) << c.what;
    }
    // No customdata at all: the collection is left alone.
    TTestProduct p;
    p.Jednostki.Add();
    Load(p,
         ProductFile("<property name=\"Jednostki\" type=\"Object\"><class classname=\"TTestUnits\" "
                     "name=\"Jednostki\"/></property>"));
    EXPECT_EQ(p.Jednostki.Count(), 1);
}

TEST(XMLSerializerRead, DateTimeOffsetsFollowTheLocalZone) {
    const std::string file = ProductFile(Prop("Data", "Date", "2009-03-15T14:05:09.120+01:00") +
                                         Prop("Cena", "Date", "12009-03-15T14:05:09.5"));
    const std::pair<const char*, int> zones[] = {{"XST-1", 14}, {"XST-2", 15}, {"XST+0", 13}};
    for (const auto& [zone, hour] : zones) {
        ScopedTimeZone tz(zone);
        TTestProduct p;
        Load(p, file);
        const DateParts d = DecodeDateTime(p.Data.ToDate());
        EXPECT_EQ((std::vector<int>{d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second, d.MSec}),
                  (std::vector<int>{2009, 3, 15, hour, 5, 9, 120}))
            << zone;
        const DateParts y = DecodeDateTime(p.Cena.ToDate()); // five-digit year, one-digit fraction
        EXPECT_EQ((std::vector<int>{y.Year, y.Hour, y.MSec}), (std::vector<int>{2009, 14, 5}))
            << zone;
    }
    TTestProduct p;
    EXPECT_THROW(Load(p, ProductFile(Prop("Data", "Date", "2009-02-30T10:00:00"))),
                 EXSSetPropertyException);
}

TEST(XMLSerializerRead, FilesAreDecodedByTheirDeclaration) {
    const std::pair<const char*, std::string> cases[] = {
        {"ISO-8859-2", "\xa6l\xb1sk \xbf\xf3\xb3w"},
        {"iso-8859-2", "\xa6l\xb1sk \xbf\xf3\xb3w"},
        {"windows-1250", "\x8cl\xb9sk \xbf\xf3\xb3w"},
        {"UTF-8", "Śląsk żółw"},
        {"ISO-8859-1", "Caf\xe9"},
    };
    for (const auto& [encoding, text] : cases) {
        TTestProduct p;
        Load(p, std::string("<?xml version=\"1.0\" encoding=\"") + encoding +
                    "\"?><classes><class classname=\"TTestProduct\" name=\"TTestProduct\">"
                    "<properties><property name=\"Nazwa\" type=\"String\">" +
                    text + "</property></properties></class></classes>");
        EXPECT_EQ(p.Nazwa.ToString(), std::string(encoding) == "ISO-8859-1" ? "Café" : "Śląsk żółw")
            << encoding;
    }
}

TEST(XMLSerializerRead, LayoutIsIgnoredAndLineBreaksBecomeLineFeeds) {
    TTestProduct p;
    Load(p, "<classes>\r\n\t<class classname=\"TTestProduct\" name=\"TTestProduct\">\r\n  \t"
            "<properties>\r\n\r\n   <property name=\"Opis\" type=\"String\">a\r\nb</property>\r\n"
            "   <property name=\"Tekst\" type=\"String\">   </property>\r\n" +
                Units({{1, "x"}}) + "</properties>\r\n</class>\r\n</classes>");
    EXPECT_EQ(p.Opis.ToString(), "a\nb");
    EXPECT_EQ(p.Tekst.ToString(), "   "); // blanks as a value are kept
    ASSERT_EQ(p.Jednostki.Count(), 1);
    EXPECT_EQ(p.Jednostki.Items(0)->Nazwa.ToString(), "x");
}

TEST(XMLSerializerRead, LoadingEventsCanSkip) {
    auto s = CreateProgramSerializer(nullptr);
    s->OnPropertyLoading = [](TXMLSerializer&, TPersistent*, const std::string&,
                              const std::string& name, TXMLNode,
                              bool& skip) { skip = name == "ID"; };
    std::vector<std::string> loaded;
    s->OnObjectLoad = [&](TXMLSerializer&, TPersistent*, const std::string& name, TXMLNode) {
        loaded.push_back(name);
    };
    TTestProduct p;
    Load(p,
         ProductFile(Prop("ID", "Integer", "1") + Prop("EXID", "String", "e") + Units({{1, "u"}})),
         s.get());
    EXPECT_TRUE(p.ID.IsEmpty());
    EXPECT_EQ(p.EXID.ToString(), "e");
    EXPECT_EQ(loaded, (std::vector<std::string>{"Item_1", "Jednostki", "TTestProduct"}));

    s->OnObjectLoading = [](TXMLSerializer&, TPersistent*, const std::string&, TXMLNode,
                            bool& skip) { skip = true; };
    TTestProduct q;
    EXPECT_NE(Load(q, ProductFile(Prop("EXID", "String", "e")), s.get()), nullptr);
    EXPECT_TRUE(q.EXID.IsEmpty());
}

TEST(XMLSerializerRead, RefusedFilesLeaveTheDocument) {
    TempDir dir;
    const std::string good = ProductFile(Prop("ID", "Integer", "1"));
    const std::pair<const char*, std::string> refused[] = {
        {"external entity",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE classes [<!ENTITY xxe SYSTEM "
         "\"file:///etc/hostname\">]>\n"
         "<classes><class classname=\"TTestProduct\" name=\"TTestProduct\"><properties>"
         "<property name=\"EXID\" type=\"String\">&xxe;</property></properties></class></classes>"},
        {"external parameter entity", "<?xml version=\"1.0\"?>\n<!DOCTYPE classes [<!ENTITY % p "
                                      "SYSTEM \"http://127.0.0.1:1/x.dtd\"> %p;]>"
                                      "\n<classes/>"},
        {"entity bomb",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE classes [\n <!ENTITY a \"aaaaaaaaaa\">\n"
         " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n <!ENTITY c "
         "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
         " <!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n <!ENTITY e "
         "\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n"
         " <!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">\n <!ENTITY g "
         "\"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">\n"
         " <!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">\n <!ENTITY i "
         "\"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">\n"
         "]>\n<classes>&i;</classes>\n"},
        {"not well-formed", "<?xml version=\"1.0\"?>\n<classes>\n<class>\n</classes>\n"},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"X-NO-SUCH-CODE\"?><classes/>"},
        {"empty file", ""},
    };
    for (const auto& [what, bytes] : refused) {
        auto s = CreateProgramSerializer(nullptr);
        WriteFileBytes(dir / "good.xml", good);
        WriteFileBytes(dir / "bad.xml", bytes);
        ASSERT_TRUE(s->LoadFromFile((dir / "good.xml").string()));
        try {
            s->LoadFromFile((dir / "bad.xml").string());
            ADD_FAILURE() << what << ": loaded";
        } catch (const EXMLParseError& e) {
            EXPECT_STRNE(e.what(), "") << what;
        }
        TTestProduct p;
        ASSERT_NE(s->LoadObject(&p, p.ClassName()), nullptr) << what;
        EXPECT_EQ(p.ID.ToInt(), 1) << what;
        EXPECT_TRUE(p.EXID.IsEmpty()) << what;
    }
}

TEST(XMLSerializerRead, InternalEntitiesAreRead) {
    TTestProduct p;
    Load(
        p,
        "<?xml version=\"1.0\"?>\n<!DOCTYPE classes [<!ENTITY co \"Comarch &amp; Co\">]>\n"
        "<classes><class classname=\"TTestProduct\" name=\"TTestProduct\"><properties>"
        "<property name=\"EXID\" type=\"String\">[&co;]</property></properties></class></classes>");
    EXPECT_EQ(p.EXID.ToString(), "[Comarch & Co]");
}
