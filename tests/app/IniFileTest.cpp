// The INI reader: the profile calls' matching rules, the file's code page and
// the lines it cannot read.
#include "core/IniFile.h"

#include "core/TextEncoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using pelmora::core::TIniFile;

namespace {
std::string Cp1250(const std::string& utf8) {
    return pelmora::core::EncodeText(utf8, pelmora::core::CodePage::Windows1250);
}
} // namespace

TEST(IniFile, ReadsAsTheProfileCalls) {
    TIniFile ini;
    ini.Parse(Cp1250("; komentarz\r\n"
                     "[Sekcja]\r\n"
                     "  Klucz  =  wartość z odstępami  \r\n"
                     "Pusty=\r\n"
                     "Cytat=\"  w cudzysłowie  \"\n"
                     "Pojedynczy='a'\r"
                     "Rowna=a=b\r\n"
                     "klucz=drugi raz\r\n"
                     "# też komentarz\r\n"
                     "[sekcja]\r\n"
                     "Dopisany=z powtórzonej sekcji\r\n"
                     "KLUCZ=trzeci raz\r\n"
                     "[Inna]\r\n"
                     "Klucz=inna\r\n"));
    struct Case {
        const char *Section, *Key, *Value;
    } cases[] = {
        {"Sekcja", "Klucz", "wartość z odstępami"}, // trimmed, first occurrence wins
        {"SEKCJA", "KLUCZ", "wartość z odstępami"}, // names without regard to case
        {"Sekcja", "Pusty", ""},
        {"Sekcja", "Cytat", "  w cudzysłowie  "}, // one pair of quotes taken off
        {"Sekcja", "Pojedynczy", "a"},
        {"Sekcja", "Rowna", "a=b"},
        {"Sekcja", "Dopisany", "z powtórzonej sekcji"},
        {"Inna", "Klucz", "inna"},
        {"Sekcja", "Brak", ""}, // missing key: the empty text
        {"Brak", "Klucz", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(c.Section, c.Key), c.Value) << c.Section << "/" << c.Key;
    EXPECT_EQ(ini.ReadString("Sekcja", "Brak", "domyślna"), "domyślna");
    EXPECT_TRUE(ini.ValueExists("sekcja", "pusty"));
    EXPECT_FALSE(ini.ValueExists("Sekcja", "Brak"));
    EXPECT_TRUE(ini.SectionExists("INNA"));
    EXPECT_TRUE(ini.Problems().empty());
}

TEST(IniFile, DecodesWindows1250AndMatchesPolishNamesWithoutCase) {
    TIniFile ini;
    ini.Parse(
        pelmora::core::EncodeText("[Łódź]\r\nŻółw=Gęś\r\n", pelmora::core::CodePage::Windows1250));
    EXPECT_EQ(ini.ReadString("ŁÓDŹ", "żÓŁW"), "Gęś");
    // A UTF-8 file with a byte-order mark is read as UTF-8.
    ini.Parse("\xEF\xBB\xBF[Łódź]\r\nŻółw=Gęś\r\n");
    EXPECT_EQ(ini.ReadString("Łódź", "Żółw"), "Gęś");
}

TEST(IniFile, ListsTheLinesItCannotRead) {
    TIniFile ini;
    ini.Parse("przed=sekcją\n"
              "[PATH\n"
              "LogDir=\\Log\n"
              "[PATH]\n"
              "bez znaku równości\n"
              "=bez klucza\n"
              "LogDir=\\Log\n");
    ASSERT_EQ(ini.Problems().size(), 5u);
    const int lines[] = {1, 2, 3, 5, 6};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(ini.Problems()[i].LineNo, lines[i]);
    EXPECT_EQ(ini.Problems()[4].Text, "=bez klucza");
    EXPECT_EQ(ini.ReadString("PATH", "LogDir"), "\\Log");
}

TEST(IniFile, LoadReportsAFileThatCannotBeRead) {
    pelmora::test::TempDir dir;
    TIniFile ini;
    std::string error;
    EXPECT_FALSE(ini.Load(dir.Path() / "brak.ini", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ini.Load(dir.Path(), &error));
    pelmora::test::WriteFileBytes(dir.Path() / "a.ini", "[A]\nb=c\n");
    EXPECT_TRUE(ini.Load(dir.Path() / "a.ini"));
    EXPECT_EQ(ini.ReadString("a", "B"), "c");
}
