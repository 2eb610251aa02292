#include "core/ConvertError.h"
#include "core/DateTime.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

using namespace pelmora::core;

TEST(VarTypeNames, TableAndLookup) {
    EXPECT_EQ(VarTypeName(3), "Integer");
    EXPECT_EQ(VarTypeName(256), "String");
    EXPECT_EQ(VarTypeName(16384), "ByRef");
    EXPECT_EQ(VarTypeName(14), "");
    const std::pair<const char*, int> cases[] = {
        {"Integer", 3}, {"integer", 3}, {"STRING", 256}, {"Currency", 6}, {"Int64", 20},
        {"LongWord", 19}, {"Bogus", 0}, {"", 14}, {"Empty", 0}, {"Null", 1}};
    for (const auto& [name, code] : cases)
        EXPECT_EQ(VarTypeFromName(name), code) << name;
}

TEST(Variant, TextForms) {
    const std::pair<Variant, const char*> cases[] = {
        {Variant(), ""},
        {Variant::Null(), ""},
        {Variant(42), "42"},
        {Variant(int64_t(-9000000000)), "-9000000000"},
        {Variant(1234.5), "1234,5"},
        {Variant(0.1), "0,1"},
        {Variant(1.0 / 3.0), "0,333333333333333"},
        {Variant(1e20), "1E20"},
        {Variant(0.00001), "0,00001"},
        {Variant(1.5e-7), "1,5E-7"},
        {Variant(-2.0), "-2"},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant::FromCurrency(12.3456), "12,3456"},
        {Variant::FromSingle(0.1f), "0,1"},
        {Variant::FromDate(0), "1899-12-30"},
        {Variant::FromDate(EncodeDate(2009, 3, 15) + EncodeTime(14, 5, 9, 0)), "2009-03-15 14:05:09"},
        {Variant("zażółć"), "zażółć"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(v.ToString(), text) << "type " << v.Type();
}

TEST(Variant, ConversionsFromText) {
    EXPECT_EQ(Variant("17").ToInt(), 17);
    EXPECT_EQ(Variant(" -5").ToInt64(), -5);
    EXPECT_EQ(Variant("$FF").ToInt(), 255);
    EXPECT_DOUBLE_EQ(Variant("2,5").ToDouble(), 2.5);
    EXPECT_TRUE(Variant("True").ToBool());
    EXPECT_TRUE(Variant("true").ToBool());
    EXPECT_FALSE(Variant("False").ToBool());
    EXPECT_TRUE(Variant("1").ToBool());
    EXPECT_FALSE(Variant("0").ToBool());
    EXPECT_DOUBLE_EQ(Variant("2009-03-15").ToDate(), EncodeDate(2009, 3, 15));
    EXPECT_DOUBLE_EQ(Variant("2009-03-15 14:05:09").ToDate(),
                     EncodeDate(2009, 3, 15) + EncodeTime(14, 5, 9, 0));
    EXPECT_EQ(Variant(2.5).ToInt(), 2);  // banker's rounding
    EXPECT_EQ(Variant(3.5).ToInt(), 4);
    EXPECT_EQ(Variant(true).ToInt(), -1);
    EXPECT_EQ(Variant().ToInt(), 0);
}

TEST(Variant, ConversionErrorsNameTheValue) {
    const Variant bad[] = {Variant("12a"), Variant("1.5"), Variant(""), Variant("abc")};
    for (const auto& v : bad) {
        try {
            (void)v.ToInt();
            ADD_FAILURE() << v.ToString();
        } catch (const ConvertError& e) {
            EXPECT_NE(std::string(e.what()).find("'" + v.ToString() + "'"), std::string::npos);
        }
    }
    EXPECT_THROW((void)Variant("1.5").ToDouble(), ConvertError); // system separator is ","
    EXPECT_THROW((void)Variant("yes").ToBool(), ConvertError);
    EXPECT_THROW((void)Variant("2009-13-01").ToDate(), ConvertError);
    EXPECT_THROW((void)Variant::Null().ToInt(), ConvertError);
    EXPECT_THROW((void)Variant(70000).AsType(varSmallint), ConvertError);
    EXPECT_THROW((void)Variant("x").AsType(14), ConvertError);
}

TEST(Variant, AsTypeKeepsCodes) {
    EXPECT_EQ(Variant("12").AsType(varInteger).Type(), varInteger);
    EXPECT_EQ(Variant("12").AsType(varByte).ToInt(), 12);
    EXPECT_EQ(Variant(12).AsType(varString).ToString(), "12");
    EXPECT_EQ(Variant(2.5).AsType(varCurrency).CurrencyScaled(), 25000);
    EXPECT_EQ(Variant("x").AsType(varOleStr).Type(), varOleStr);
    EXPECT_TRUE(Variant(5).AsType(varEmpty).IsEmpty());
    EXPECT_TRUE(Variant::Null().AsType(varNull).IsNull());
}

TEST(Variant, Comparisons) {
    struct Case {
        Variant a, b;
        bool equal;
    };
    const Case cases[] = {
        {Variant("1"), Variant(1), true},
        {Variant(1), Variant("1"), true},
        {Variant("1,0"), Variant(1.0), true},
        {Variant("01"), Variant("1"), false},
        {Variant("abc"), Variant("ABC"), false},
        {Variant(1), Variant(1.0), true},
        {Variant(int64_t(5)), Variant(5), true},
        {Variant::Null(), Variant::Null(), true},
        {Variant::Null(), Variant(), false},
        {Variant::Null(), Variant(0), false},
        {Variant(), Variant(), true},
        {Variant(), Variant(""), true},
        {Variant(), Variant(0), true},
        {Variant(), Variant("a"), false},
        {Variant(true), Variant("True"), true},
        {Variant("x"), Variant(3), false},
        {Variant::FromCurrency(2.5), Variant(2.5), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.ToString() << " vs " << c.b.ToString();
}

TEST(DateTime, EncodeDecode) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526);
    const DateParts p = DecodeDateTime(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 999));
    EXPECT_EQ(p.Year, 2024);
    EXPECT_EQ(p.Month, 2);
    EXPECT_EQ(p.Day, 29);
    EXPECT_EQ(p.Hour, 23);
    EXPECT_EQ(p.Minute, 59);
    EXPECT_EQ(p.Second, 59);
    EXPECT_EQ(p.MSec, 999);
    TDateTime d;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, d));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, d));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, d));
}
