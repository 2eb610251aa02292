// The value texts of the XML files: variants, date-time texts and base64.

#include "core/ConvertError.h"
#include "core/DateTime.h"
#include "core/XMLSerializer.h"
#include "core/XMLValueText.h"

#include "XMLSerializerTestClasses.h"

#include <gtest/gtest.h>

using namespace pelmora::core;

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

std::string Parts(TDateTime v) {
    const DateParts p = DecodeDateTime(v);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.Year, p.Month, p.Day,
                  p.Hour, p.Minute, p.Second, p.MSec);
    return buf;
}

} // namespace

TEST(XSValueText, VariantToText) {
    const TDateTime date = At(2009, 3, 15, 14, 5, 9, 120);
    struct Case {
        Variant value;
        bool normalize;
        int offset;
        const char* text;
    };
    const Case cases[] = {
        {Variant(1234.5), true, 0, "1234.5"},
        {Variant(0.1), true, 0, "0.1"},
        {Variant(1.0 / 3.0), true, 0, "0.333333333333333"},
        {Variant(1e20), true, 0, "1E20"},
        {Variant(-2.0), true, 0, "-2"},
        {Variant::FromCurrency(12.3456), true, 0, "12.3456"},
        {Variant::FromSingle(0.5f), true, 0, "0,5"}, // Single keeps the system separator
        {Variant::Null(), true, 0, ""},
        {Variant(), true, 0, ""},
        {Variant(""), true, 0, ""},
        {Variant(7), true, 0, "7"},
        {Variant(true), true, 0, "True"},
        {Variant::FromDate(date), true, 60, "2009-03-15T14:05:09.120+01:00"},
        {Variant::FromDate(date), true, 0, "2009-03-15T14:05:09.120Z"},
        {Variant::FromDate(date), true, -330, "2009-03-15T14:05:09.120-05:30"},
        {Variant::FromDate(At(999, 1, 2)), true, 120, "0999-01-02T00:00:00.000+02:00"},
        {Variant(1234.5), false, 0, "1234,5"},
        {Variant::FromDate(date), false, 60, "2009-03-15 14:05:09"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XSVariantToText(c.value, c.normalize, c.offset), c.text)
            << VarTypeName(c.value.Type()) << " " << c.normalize;
}

TEST(XSValueText, TextToVariant) {
    struct Case {
        const char* text;
        int type;
        bool normalize;
        VarType resultType;
        double number;
    };
    const Case cases[] = {
        {"1234.5", varDouble, true, varDouble, 1234.5},
        {"12.5", varCurrency, true, varDouble, 12.5},
        {"1,5", varDouble, true, varDouble, 1.5},
        {"1,5", varSingle, true, varSingle, 1.5},
        {"17", varInteger, true, varInteger, 17},
        {"True", varBoolean, true, varBoolean, -1},
        {"1,5", varDouble, false, varDouble, 1.5},
        {"12,5", varCurrency, false, varCurrency, 12.5},
    };
    for (const Case& c : cases) {
        const Variant v = XSTextToVariant(c.text, c.type, c.normalize, 0);
        EXPECT_EQ(v.Type(), c.resultType) << c.text;
        EXPECT_DOUBLE_EQ(v.ToDouble(), c.number) << c.text;
    }
    EXPECT_EQ(XSTextToVariant("abc", varString, true, 0).ToString(), "abc");
    EXPECT_TRUE(XSTextToVariant("abc", varEmpty, true, 0).IsEmpty());
    EXPECT_THROW(XSTextToVariant("abc", varInteger, true, 0), ConvertError);
    EXPECT_THROW(XSTextToVariant("1.5", varDouble, false, 0), ConvertError);
    EXPECT_THROW(XSTextToVariant("x", 14, true, 0), ConvertError); // the slot of an empty type name
    EXPECT_EQ(Parts(XSTextToVariant("2009-03-15T14:05:09.120Z", varDate, true, 0).ToDate()),
              "2009-03-15 14:05:09.120");
}

TEST(XSValueText, ReadingDateTimes) {
    struct Case {
        const char* text;
        int local;
        const char* expected;
    };
    const Case cases[] = {
        {"2009-03-15T14:05:09.120+01:00", 60, "2009-03-15 14:05:09.120"},
        {"2009-03-15T14:05:09.120+01:00", 120, "2009-03-15 15:05:09.120"},
        {"2009-03-15T14:05:09.120-05:30", 60, "2009-03-15 20:35:09.120"},
        {"2009-03-15T23:30:00.000-01:00", 60, "2009-03-16 01:30:00.000"},
        {"2009-03-15T14:05:09.5", 60, "2009-03-15 14:05:09.005"}, // digits read as milliseconds
        {"2009-03-15T14:05:09+01:00", 120,
         "2009-03-15 14:05:09.000"}, // offset without fraction: ignored
        {"2009-03-15T14:05:09.120Z", 120, "2009-03-15 14:05:09.120"}, // "Z": taken as local time
        {"12009-03-15T10:00:00", 0, "2009-03-15 10:00:00.000"},       // five-digit year
        {"-2009-03-15", 0, "2009-03-15 00:00:00.000"},
        {"2009-03-15", 0, "2009-03-15 00:00:00.000"},
        {"0044-03-15T00:00:00.000+01:00", 0, "0044-03-14 23:00:00.000"},
        {"1899-12-30T00:30:00.000+01:00", 0, "1899-12-29 23:30:00.000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Parts(XSTextToDateTime(c.text, c.local)), c.expected) << c.text;
}

TEST(XSValueText, DateTimeErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"2009-xx-15T10:00:00", "'2009-xx-15' is not a valid date"},
        {"x2009-03-15", "'x2009-03-15' is not a valid date"},
        {"2009-03-15T10:00", "'10:00' is not a valid time"},
        {"2009-03-15T10:0x:00", "'10:0x:00' is not a valid time"},
        {"2009-03-15T10:00:00.", "'10:00:00.' is not a valid time"},
        {"2009-03-15T10:00:00.x", "'10:00:00.x' is not a valid time"},
        {"2009-03-15T10:00:00.1+1:00", "'10:00:00.1+1:00' is not a valid time"},
        {"2009-03-15T", "'' is not a valid time"},
        {"2009-0x-15T", "'2009-0x-15 ' is not a valid date and time"},
        {"2009-0x-15T10:0x:00", "'2009-0x-15 10:0x:00' is not a valid date and time"},
    };
    for (const auto& [text, message] : cases) {
        try {
            XSTextToDateTime(text, 0);
            ADD_FAILURE() << text;
        } catch (const EXSDateTimeException& e) {
            EXPECT_STREQ(e.what(), message) << text;
        }
    }
    // Fields out of range fail when the value is composed.
    for (const char* text : {"2009-02-30T10:00:00", "2009-03-15T25:00:00",
                             "2009-03-15T10:00:00.1000", "2009-03-15Txx:00:00"})
        EXPECT_THROW(XSTextToDateTime(text, 0), ConvertError) << text;
}

TEST(XSValueText, SerializerUsesTheLocalOffsetNow) {
    pelmora::test::ScopedTimeZone tz("XST-2");
    TXMLSerializer s;
    const Variant date = Variant::FromDate(At(2009, 1, 15, 12));
    EXPECT_EQ(s.VariantToText(date), "2009-01-15T12:00:00.000+02:00");
    EXPECT_EQ(Parts(s.TextToVariant("2009-01-15T12:00:00.000+01:00", varDate).ToDate()),
              "2009-01-15 13:00:00.000");
    s.XMLSettings().SetXSNormalization(false);
    EXPECT_EQ(s.VariantToText(Variant(2.5)), "2,5");
}

TEST(XSValueText, Base64) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},        {"f", "Zg=="},          {"fo", "Zm8="},
        {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}, {std::string("\0\xff\x10", 3), "AP8Q"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(EncodeBase64(bytes), text);
        EXPECT_EQ(DecodeBase64(text), bytes);
    }
    const std::string line(57, 'x'); // exactly 76 characters of output
    EXPECT_EQ(EncodeBase64(line).find('\r'), std::string::npos);
    const std::string longer = EncodeBase64(line + "xyz");
    EXPECT_EQ(longer.size(), 76u + 2 + 4);
    EXPECT_EQ(longer.substr(76, 2), "\r\n");
    EXPECT_EQ(DecodeBase64(longer), line + "xyz");
    EXPECT_EQ(DecodeBase64(" Zm9v\r\nYm\tFy==!"), "foobar");
}
