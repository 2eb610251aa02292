#include "core/Guid.h"
#include "core/SystemFormats.h"
#include "core/Text.h"
#include "core/TextEncoding.h"

#include <gtest/gtest.h>

#include <regex>

using namespace pelmora::core;

namespace {
const std::string PolishLower = "ąćęłńóśźż";
const std::string PolishUpper = "ĄĆĘŁŃÓŚŹŻ";
} // namespace

TEST(TextCase, PolishLetters) {
    EXPECT_EQ(UpperCase(PolishLower), PolishUpper);
    EXPECT_EQ(LowerCase(PolishUpper), PolishLower);
    EXPECT_EQ(UpperCase("Zażółć gęślą jaźń"), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ");
    EXPECT_EQ(UpperCase("šťžäöüß"), "ŠŤŽÄÖÜß");
    EXPECT_TRUE(SameText("Łódź", "ŁÓDŹ"));
    EXPECT_TRUE(SameText("ObjectName", "OBJECTNAME"));
    EXPECT_FALSE(SameText("Łódź", "Lodz"));
}

TEST(TextEncoding, CodePageBytes) {
    // Every Polish letter, both cases, with its byte in each code page.
    struct Case {
        const char* utf8;
        unsigned char cp1250, iso2;
    };
    const Case cases[] = {
        {"ą", 0xB9, 0xB1}, {"ć", 0xE6, 0xE6}, {"ę", 0xEA, 0xEA}, {"ł", 0xB3, 0xB3},
        {"ń", 0xF1, 0xF1}, {"ó", 0xF3, 0xF3}, {"ś", 0x9C, 0xB6}, {"ź", 0x9F, 0xBC},
        {"ż", 0xBF, 0xBF}, {"Ą", 0xA5, 0xA1}, {"Ć", 0xC6, 0xC6}, {"Ę", 0xCA, 0xCA},
        {"Ł", 0xA3, 0xA3}, {"Ń", 0xD1, 0xD1}, {"Ó", 0xD3, 0xD3}, {"Ś", 0x8C, 0xA6},
        {"Ź", 0x8F, 0xAC}, {"Ż", 0xAF, 0xAF}, {"Š", 0x8A, 0xA9}, {"ž", 0x9E, 0xBE},
    };
    for (const auto& c : cases) {
        const std::string w = EncodeText(c.utf8, CodePage::Windows1250);
        const std::string i = EncodeText(c.utf8, CodePage::Iso8859_2);
        ASSERT_EQ(w.size(), 1u) << c.utf8;
        ASSERT_EQ(i.size(), 1u) << c.utf8;
        EXPECT_EQ(static_cast<unsigned char>(w[0]), c.cp1250) << c.utf8;
        EXPECT_EQ(static_cast<unsigned char>(i[0]), c.iso2) << c.utf8;
        EXPECT_EQ(DecodeText(w, CodePage::Windows1250), c.utf8);
        EXPECT_EQ(DecodeText(i, CodePage::Iso8859_2), c.utf8);
    }
}

TEST(TextEncoding, CharactersOutsideTheCodePage) {
    const std::string text = "a€b→c"; // € is in Windows-1250 only, → in neither
    EXPECT_EQ(EncodeText(text, CodePage::Iso8859_2, Unmappable::CharRef), "a&#8364;b&#8594;c");
    EXPECT_EQ(EncodeText(text, CodePage::Windows1250, Unmappable::Replace), "a\x80" "b?c");
    EXPECT_THROW(EncodeText(text, CodePage::Iso8859_2, Unmappable::Throw), EncodingError);
    EXPECT_FALSE(CanEncode("→", CodePage::Windows1250));
    EXPECT_TRUE(CanEncode(PolishLower + PolishUpper, CodePage::Iso8859_2));
    // 0x98 is undefined in Windows-1250.
    EXPECT_EQ(DecodeText("x\x98y", CodePage::Windows1250), "x\xEF\xBF\xBDy");
    CodePage cp;
    ASSERT_TRUE(CodePageFromName("windows-1250", cp));
    EXPECT_EQ(cp, CodePage::Windows1250);
    ASSERT_TRUE(CodePageFromName("iso-8859-2", cp));
    EXPECT_EQ(cp, CodePage::Iso8859_2);
    EXPECT_FALSE(CodePageFromName("koi8-r", cp));
}

TEST(SystemFormats, PolishWindowsSettings) {
    const TDateTime t = EncodeDate(2026, 1, 2) + EncodeTime(3, 4, 5, 60);
    EXPECT_EQ(DateToStr(t), "2026-01-02");
    EXPECT_EQ(TimeToStr(t), "03:04:05");
    EXPECT_EQ(DateTimeToStr(t), "2026-01-02 03:04:05");
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", t), "2026-01-02 03:04:05.060");
    FormatSettings dotted = SystemFormats();
    dotted.TimeSeparator = '.';
    EXPECT_EQ(FormatDateTime(dotted.LongTimeFormat, t, dotted), "03.04.05");
    EXPECT_EQ(FloatToStr(1234567.25), "1234567,25");
    EXPECT_DOUBLE_EQ(StrToFloat(" 3,75 "), 3.75);
}

TEST(Text, FormatAndTrim) {
    EXPECT_EQ(Format("Obiekt %s: %d z %d", {"Klienci", 3, 7}), "Obiekt Klienci: 3 z 7");
    EXPECT_EQ(Format("100%% %s", {"x"}), "100% x");
    EXPECT_EQ(Trim("  \t ab c \r\n"), "ab c");
    EXPECT_EQ(Utf8Left("Łódź Bałuty", 4), "Łódź");
    EXPECT_EQ(Utf8Mid("Łódź Bałuty", 5), "Bałuty");
    EXPECT_EQ(Utf8Length("Łódź"), 4u);
}

TEST(Guid, RegistryForm) {
    const std::string a = NewGuidText(), b = NewGuidText();
    EXPECT_TRUE(std::regex_match(a, std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
        << a;
    EXPECT_EQ(a.size(), 38u);
    EXPECT_NE(a, b);
}
