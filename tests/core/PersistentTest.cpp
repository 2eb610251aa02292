// The property model: class information, property access by name,
// collections, components and copying.

#include "core/ClassBuilder.h"
#include "core/Collection.h"
#include "core/Component.h"
#include "core/ConvertError.h"
#include "core/Strings.h"

#include "XMLSerializerTestClasses.h"

#include <gtest/gtest.h>

using namespace pelmora::core;
using namespace pelmora::test;

namespace {

PELMORA_ENUM(t_colour, clRed, clGreen, clBlue);
PELMORA_ENUM_CLASS(TScoped, First, Second);

// A derived class adding properties of every kind, with readers and writers.
class TTestProductEx : public TTestProduct {
    PELMORA_CLASS(TTestProductEx, TTestProduct)
public:
    int Count() const { return count_; }
    void SetCount(int v) { count_ = v; }
    std::string Label;
    double Ratio = 0;
    int64_t Big = 0;
    TSetOf<t_colour> Colours;
    TScoped Scoped = TScoped::First;
    Variant Hidden;
    bool ShowHidden = false;

private:
    int count_ = 0;
};

const TClassInfo& TTestProductEx::StaticClass() {
    using T = TTestProductEx;
    static const TClassInfo info = TClassBuilder<T>()
                                       .Integer("Count", &T::Count, &T::SetCount)
                                       .Text("Label", &T::Label)
                                       .Float("Ratio", &T::Ratio)
                                       .Integer("Big", &T::Big)
                                       .Set("Colours", &T::Colours)
                                       .Enum("Scoped", &T::Scoped)
                                       .Variant("Hidden", &T::Hidden)
                                       .Stored([](const T& o) { return o.ShowHidden; })
                                       .Variant("ID", &T::ID)
                                       .ReadOnly() // redeclared: replaces the base's in place
                                       .Event("OnChange");
    return info;
}

} // namespace

TEST(ClassInfo, PropertiesInDeclarationOrderBaseFirst) {
    const TClassInfo& info = TTestProductEx::StaticClass();
    EXPECT_EQ(info.ClassName(), "TTestProductEx");
    EXPECT_EQ(info.ClassParent(), &TTestProduct::StaticClass());
    EXPECT_TRUE(info.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_FALSE(TTestProduct::StaticClass().InheritsFrom(info));
    std::vector<std::string> names;
    for (const TPropertyInfo* p : info.Properties())
        names.push_back(p->Name);
    const std::vector<std::string> base = {
        "ID",     "EXID",    "Nazwa",      "Opis",       "Cena",  "Kwota",
        "Data",   "Waga",    "Pusty",      "Brak",       "Tekst", "Kind",
        "Rodzaj", "Aktywny", "Zamawialny", "Promocyjny", "Total", "Jednostki"};
    std::vector<std::string> expected = base;
    for (const char* n :
         {"Count", "Label", "Ratio", "Big", "Colours", "Scoped", "Hidden", "OnChange"})
        expected.push_back(n);
    EXPECT_EQ(names, expected);

    TTestProductEx obj;
    EXPECT_EQ(&obj.ClassType(), &info);
    EXPECT_EQ(obj.ClassName(), "TTestProductEx");
    EXPECT_EQ(info.FindProperty("nazwa"), info.Properties()[2]);
    EXPECT_EQ(info.FindProperty("Nothing"), nullptr);
    EXPECT_FALSE(info.FindProperty("ID")->HasWriter());
    EXPECT_FALSE(info.FindProperty("Total")->HasWriter());
    EXPECT_FALSE(info.FindProperty("OnChange")->HasWriter());
    EXPECT_EQ(info.FindProperty("OnChange")->Kind, TPropertyKind::Method);

    const TPropertyInfo* kind = info.FindProperty("Kind");
    EXPECT_EQ(kind->Kind, TPropertyKind::Enumeration);
    EXPECT_EQ(kind->Default, tkAlpha);
    EXPECT_EQ(info.FindProperty("Aktywny")->Default, NoDefault);
    EXPECT_TRUE(info.FindProperty("Aktywny")->Enum->IsBoolean());
    EXPECT_EQ(info.FindProperty("Zamawialny")->Default, 1);
    EXPECT_EQ(info.FindProperty("Scoped")->Enum->Name(1), "Second");
    EXPECT_EQ(info.FindProperty("Jednostki")->Kind, TPropertyKind::Class);
    EXPECT_FALSE(info.FindProperty("Jednostki")->IsLink);

    const TPropertyInfo* hidden = info.FindProperty("Hidden");
    EXPECT_FALSE(hidden->IsStored(obj));
    obj.ShowHidden = true;
    EXPECT_TRUE(hidden->IsStored(obj));
}

TEST(ClassInfo, ValuesByName) {
    TTestProductEx obj;
    const TClassInfo& info = obj.ClassType();
    auto set = [&](const char* name, const Variant& v) { info.FindProperty(name)->Set(obj, v); };
    auto get = [&](const char* name) { return info.FindProperty(name)->Get(obj); };

    set("Count", Variant("12"));
    set("Label", Variant(5));
    set("Ratio", Variant("2,5"));
    set("Big", Variant(int64_t(9000000000)));
    set("Kind", Variant("TKGAMMA"));
    set("Aktywny", Variant(true));
    set("Scoped", Variant(1));
    EXPECT_EQ(obj.Count(), 12);
    EXPECT_EQ(obj.Label, "5");
    EXPECT_DOUBLE_EQ(obj.Ratio, 2.5);
    EXPECT_EQ(obj.Big, 9000000000);
    EXPECT_EQ(obj.Kind, tkGamma);
    EXPECT_TRUE(obj.Aktywny);
    EXPECT_EQ(obj.Scoped, TScoped::Second);

    EXPECT_EQ(get("Count").Type(), varInteger);
    EXPECT_EQ(get("Label").Type(), varString);
    EXPECT_EQ(get("Ratio").Type(), varDouble);
    EXPECT_EQ(get("Big").Type(), varInt64);
    EXPECT_EQ(get("Kind").ToInt(), 2);
    EXPECT_EQ(get("Aktywny").Type(), varBoolean);

    set("Colours", Variant("[clRed, clBlue]"));
    EXPECT_TRUE(obj.Colours.Contains(clRed));
    EXPECT_FALSE(obj.Colours.Contains(clGreen));
    EXPECT_EQ(get("Colours").ToInt(), 5);
    set("Colours", Variant(2));
    EXPECT_EQ(obj.Colours, TSetOf<t_colour>{clGreen});

    // Values outside the type are refused and change nothing.
    const std::pair<const char*, Variant> bad[] = {
        {"Kind", Variant(3)},    {"Kind", Variant("tkOmega")},
        {"Colours", Variant(8)}, {"Colours", Variant("[clPink]")},
        {"Count", Variant("x")}, {"Scoped", Variant(-1)}};
    for (const auto& [name, value] : bad)
        EXPECT_THROW(set(name, value), ConvertError) << name;
    EXPECT_EQ(obj.Kind, tkGamma);
    EXPECT_EQ(obj.Colours, TSetOf<t_colour>{clGreen});
}

TEST(ClassInfo, EnumerationInfo) {
    const TEnumInfo& e = EnumInfoOf<t_colour>();
    EXPECT_EQ(e.TypeName(), "t_colour");
    EXPECT_EQ(e.Count(), 3);
    EXPECT_EQ(e.Name(2), "clBlue");
    EXPECT_EQ(e.Name(3), "");
    EXPECT_EQ(e.Value("CLGREEN"), 1);
    EXPECT_EQ(e.Value("clPink"), -1);
    EXPECT_EQ(EnumInfoOf<bool>().Name(1), "True");
    EXPECT_THROW(TEnumInfo("bad", "a = 1, b"), std::logic_error);
}

TEST(Collection, ItemsAddInsertDelete) {
    TTestUnits units;
    EXPECT_EQ(&units.ItemClass(), &TTestUnitItem::StaticClass());
    TTestUnitItem* a = units.Add();
    TTestUnitItem* c = units.Add();
    TTestUnitItem* b = units.Insert(1);
    EXPECT_EQ(units.Count(), 3);
    EXPECT_EQ(b->Index(), 1);
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(a->Collection(), &units);
    EXPECT_EQ(a->ClassName(), "TTestUnitItem");
    units.Delete(0);
    EXPECT_EQ(units.Items(0), b);
    EXPECT_THROW(units.Items(2), std::out_of_range);
    EXPECT_THROW(units.Delete(5), std::out_of_range);
    EXPECT_THROW(units.Insert(9), std::out_of_range);
    units.Clear();
    EXPECT_EQ(units.Count(), 0);
    EXPECT_THROW(TCollection(TTestProduct::StaticClass()), std::logic_error); // not an item class
}

TEST(Persistent, AssignCopiesPublishedPropertiesDeeply) {
    TTestProduct source;
    source.ID = 1;
    source.Kind = tkGamma;
    source.Aktywny = true;
    source.Jednostki.Add()->Nazwa = "szt.";
    source.Jednostki.Add()->Nazwa = "kg";
    TTestProduct copy;
    copy.Jednostki.Add();
    copy.Assign(source);
    EXPECT_EQ(copy.ID.ToInt(), 1);
    EXPECT_EQ(copy.Kind, tkGamma);
    EXPECT_TRUE(copy.Aktywny);
    ASSERT_EQ(copy.Jednostki.Count(), 2);
    EXPECT_NE(copy.Jednostki.Items(1), source.Jednostki.Items(1));
    EXPECT_EQ(copy.Jednostki.Items(1)->Nazwa.ToString(), "kg");

    TTestProductEx other;
    EXPECT_THROW(other.Assign(source), EConvertError);
    TStrings lines;
    lines.SetText("a\nb\r\nc\rd\r\n");
    EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(lines.Text(), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_THROW(lines.Assign(source), EConvertError);
}

namespace {

// Owned objects held by pointer and by unique_ptr.
class THolder : public TPersistent {
    PELMORA_CLASS(THolder, TPersistent)
public:
    std::unique_ptr<TTestUnits> Owned = std::make_unique<TTestUnits>();
    TTestUnits* Raw = nullptr;
    TStrings* Notes() const { return notes_.get(); }

private:
    std::unique_ptr<TStrings> notes_ = std::make_unique<TStrings>();
};

const TClassInfo& THolder::StaticClass() {
    using T = THolder;
    static const TClassInfo info = TClassBuilder<T>()
                                       .Object("Owned", &T::Owned)
                                       .Object("Raw", &T::Raw)
                                       .Object("Notes", &T::Notes);
    return info;
}

} // namespace

TEST(ClassInfo, ObjectPropertiesAssignIntoTheObjectHeld) {
    THolder h;
    const TClassInfo& info = h.ClassType();
    EXPECT_EQ(info.FindProperty("Owned")->GetObject(h), h.Owned.get());
    EXPECT_EQ(info.FindProperty("Raw")->GetObject(h), nullptr);
    EXPECT_EQ(info.FindProperty("Notes")->GetObject(h), h.Notes());
    TTestUnits source;
    source.Add()->Nazwa = "x";
    info.FindProperty("Owned")->SetObject(h, &source);
    ASSERT_EQ(h.Owned->Count(), 1);
    EXPECT_EQ(h.Owned->Items(0)->Nazwa.ToString(), "x");
    EXPECT_THROW(info.FindProperty("Raw")->SetObject(h, &source), EConvertError); // holds nothing
    EXPECT_THROW(info.FindProperty("Owned")->SetObject(h, nullptr), EConvertError);
    EXPECT_THROW(info.FindProperty("Notes")->SetObject(h, &source), EConvertError); // wrong class
}

TEST(Component, OwnershipAndNames) {
    auto owner = std::make_unique<TComponent>();
    owner->SetName("Main");
    auto* a = new TComponent(owner.get());
    a->SetName("Log");
    auto* b = new TComponent(a);
    b->SetName("File");
    {
        TComponent scoped(owner.get()); // destroyed first: leaves the owner's list
        EXPECT_EQ(owner->ComponentCount(), 2);
    }
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->FindComponent("log"), a);
    EXPECT_EQ(owner->FindComponent(""), nullptr);
    RegisterGlobalComponent(owner.get());
    EXPECT_EQ(FindComponentPath("MAIN.Log.File"), b);
    EXPECT_EQ(FindComponentPath("Main.Nothing.File"), nullptr);
    owner.reset(); // destroys a and b, and unregisters itself
    EXPECT_EQ(FindGlobalComponent("Main"), nullptr);
}
