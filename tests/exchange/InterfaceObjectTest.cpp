// The exchange object base: its failures, the standard XML operations and
// the position collections as the serializer reads and writes them.
#include "TestKind.h"

#include "core/ClassBuilder.h"
#include "core/XMLSerializer.h"
#include "exchange/InterfaceObject.h"
#include "exchange/ObjectCollection.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace pelmora;
using exchange::EInterfaceObjectError;
using exchange::TInterfaceObject;
using pelmora::test::TCRMTestObject;
using pelmora::test::TempDir;

namespace {

// A document line of the tests.
class TTestPozycjeCollectionItem : public exchange::TObjectCollectionItem {
    PELMORA_CLASS(TTestPozycjeCollectionItem, exchange::TObjectCollectionItem)
public:
    using TObjectCollectionItem::TObjectCollectionItem;
    core::Variant Towar;
    core::Variant Ilosc;
};

class TTestPozycjeCollection : public exchange::TObjectCollectionOf<TTestPozycjeCollectionItem> {
    PELMORA_CLASS(TTestPozycjeCollection, exchange::TObjectCollection)
};

// A document with lines, using the standard operations only.
class TTestDokumentObject : public TInterfaceObject {
    PELMORA_CLASS(TTestDokumentObject, TInterfaceObject)
public:
    core::Variant Numer;
    TTestPozycjeCollection Pozycje;
    bool LoadFromXML() override { return StandardLoadFromXML(); }
    bool SaveToXML() override { return StandardSaveToXML(); }
    bool LoadFromDB() override { NotImplemented("LoadFromDB"); }
    bool SaveToDB() override { NotImplemented("SaveToDB"); }
};

// A class that overrides nothing.
class TBareObject : public TInterfaceObject {
    PELMORA_CLASS(TBareObject, TInterfaceObject)
};

} // namespace

const core::TClassInfo& TTestPozycjeCollectionItem::StaticClass() {
    using T = TTestPozycjeCollectionItem;
    static const core::TClassInfo info =
        core::TClassBuilder<T>().Variant("Towar", &T::Towar).Variant("Ilosc", &T::Ilosc);
    return info;
}

const core::TClassInfo& TTestPozycjeCollection::StaticClass() {
    static const core::TClassInfo info = core::TClassBuilder<TTestPozycjeCollection>();
    return info;
}

const core::TClassInfo& TTestDokumentObject::StaticClass() {
    using T = TTestDokumentObject;
    static const core::TClassInfo info =
        core::TClassBuilder<T>().Variant("Numer", &T::Numer).Object("Pozycje", &T::Pozycje);
    return info;
}

const core::TClassInfo& TBareObject::StaticClass() {
    static const core::TClassInfo info = core::TClassBuilder<TBareObject>();
    return info;
}

namespace {

std::string FailureOf(const std::function<bool()>& operation) {
    try {
        operation();
    } catch (const EInterfaceObjectError& e) {
        return e.what();
    }
    return "(no failure)";
}

TEST(InterfaceObject, UnsupportedOperationsRaiseTheirFailures) {
    TBareObject bare;
    TCRMTestObject crm;
    struct Case {
        std::function<bool()> Operation;
        std::string Message;
    };
    const Case cases[] = {
        {[&] { return bare.LoadFromXML(); }, "Nie nadpisana funkcja LoadFromXML"},
        {[&] { return bare.SaveToXML(); }, "Nie nadpisana funkcja SaveToXML"},
        {[&] { return bare.LoadFromDB(); }, "Nie nadpisana funkcja LoadFromDB"},
        {[&] { return bare.SaveToDB(); }, "Nie nadpisana funkcja SaveToDB"},
        {[&] { return crm.SaveToXML(); },
         "Funkcja TCRMTestObject.SaveToXML nie jest zaimplementowana"},
        {[&] { return crm.LoadFromDB(); },
         "Funkcja TCRMTestObject.LoadFromDB nie jest zaimplementowana"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FailureOf(c.Operation), c.Message);
}

TEST(InterfaceObject, SavedDocumentWithLinesReadsBack) {
    TempDir dir;
    TTestDokumentObject out;
    out.XmlFilePath = (dir / "dok.xml").string();
    out.Numer = "FA/1/2024";
    for (int i = 1; i <= 3; ++i) {
        TTestPozycjeCollectionItem* line = out.Pozycje.Add();
        line->Towar = "Towar żółty " + std::to_string(i);
        line->Ilosc = 2.5 * i;
    }
    ASSERT_TRUE(out.SaveToXML());
    const std::string bytes = test::ReadFileBytes(out.XmlFilePath);
    EXPECT_NE(bytes.find("classname=\"TTestDokumentObject\" name=\"TTestDokumentObject\""),
              std::string::npos);
    EXPECT_NE(bytes.find("encoding=\"ISO-8859-2\""), std::string::npos);

    TTestDokumentObject in;
    in.XmlFilePath = out.XmlFilePath;
    ASSERT_TRUE(in.LoadFromXML());
    EXPECT_EQ(in.Numer.ToString(), "FA/1/2024");
    ASSERT_EQ(in.Pozycje.Count(), 3);
    EXPECT_EQ(in.Pozycje.Items(2)->Towar.ToString(), "Towar żółty 3");
    EXPECT_DOUBLE_EQ(in.Pozycje.Items(1)->Ilosc.ToDouble(), 5.0);
}

TEST(InterfaceObject, StandardLoadFromXMLEdgeCases) {
    TempDir dir;
    // A file written by the other side's class holds no element of this class.
    TTestDokumentObject other;
    other.XmlFilePath = (dir / "inny.xml").string();
    other.Numer = "7";
    ASSERT_TRUE(other.SaveToXML());
    test::WriteFileBytes(dir / "zly.xml", "<classes><class");

    struct Case {
        const char* Name;
        std::string Path;
        bool Result;
    };
    const Case cases[] = {
        {"missing file", (dir / "brak.xml").string(), true},
        {"another class's file", other.XmlFilePath, true},
        {"not well-formed", (dir / "zly.xml").string(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TCRMTestObject crm;
        crm.EXID = "przed";
        crm.XmlFilePath = c.Path;
        EXPECT_EQ(crm.LoadFromXML(), c.Result);
        EXPECT_EQ(crm.EXID.ToString(), "przed") << "nothing is read";
    }
}

TEST(InterfaceObject, SaveToXMLIntoAMissingDirectoryFails) {
    TempDir dir;
    TTestDokumentObject doc;
    doc.XmlFilePath = (dir / "brak" / "dok.xml").string();
    EXPECT_FALSE(doc.SaveToXML());
}

} // namespace
