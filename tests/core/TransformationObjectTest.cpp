#include "core/TransformationObject.h"
#include "Version.h"
#include "core/Log.h"
#include "core/StylesheetCache.h"
#include "core/TextEncoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

using namespace pelmora::core;
using pelmora::test::ReadFileBytes;
using pelmora::test::TempDir;
using pelmora::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

// An exchange file as the program writes it, with one text property, encoded
// in ISO-8859-2 (characters outside it as references).
std::string SourceFile(const std::string& utf8Name) {
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-2\" standalone=\"yes\"?>\r\n"
        "<classes>\r\n"
        "  <class classname=\"TCRMZlecenieSPObject\" name=\"TCRMZlecenieSPObject\">\r\n"
        "    <properties>\r\n"
        "      <property name=\"Uwagi\" type=\"String\">" +
        utf8Name +
        "</property>\r\n"
        "    </properties>\r\n"
        "  </class>\r\n"
        "</classes>\r\n";
    return EncodeText(text, CodePage::Iso8859_2, Unmappable::CharRef);
}

// Copies the remark into an attribute and into the text of the receiving class.
const std::string RemarkSheet = R"X(<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" indent="no" encoding="ISO-8859-2"/>
  <xsl:template match="/">
    <classes><class classname="TERPZlecenieSPObject" name="{//property[@name='Uwagi']}"><xsl:value-of select="//property[@name='Uwagi']"/></class></classes>
  </xsl:template>
</xsl:stylesheet>
)X";

const std::string IndentingSheet =
    R"X(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" indent="yes"/>
  <xsl:template match="/">
    <classes><class name="x"><p a="{//property}"><xsl:value-of select="//property"/></p></class></classes>
  </xsl:template>
</xsl:stylesheet>
)X";

class TransformationTest : public ::testing::Test {
protected:
    TransformationTest() {
        fs::create_directory(WorkDir());
        fs::create_directory(SheetDir());
    }
    fs::path WorkDir() const { return dir_ / "work"; }
    fs::path SheetDir() const { return dir_ / "xslt"; }

    void PutSource(const std::string& name, const std::string& bytes) {
        WriteFileBytes(WorkDir() / name, bytes);
    }
    void PutSheet(const std::string& name, const std::string& text) {
        WriteFileBytes(SheetDir() / name, text);
    }
    bool Run(const std::string& source, const std::string& sheet, const std::string& target) {
        TTransformationObject t(log_, WorkDir(), SheetDir(), cache_);
        t.SourceName = source;
        t.StyleSheetName = sheet;
        t.TargetName = target;
        return t.Transform();
    }
    std::vector<std::string> Errors() const {
        std::vector<std::string> out;
        for (const LogEntry& e : log_.Entries())
            if (e.Level == LogLevel::Error)
                out.push_back(e.Text);
        return out;
    }
    std::vector<std::string> WorkFiles() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(WorkDir()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir_;
    TLog log_;
    TStylesheetCache cache_;
};

// The character data of the first element named `name` in a file, parsed as
// any reader of the file would.
std::string ParsedText(const fs::path& file, const char* name, std::string* attribute = nullptr) {
    xmlDocPtr doc = xmlReadFile(file.c_str(), nullptr, XML_PARSE_NONET);
    if (doc == nullptr)
        return "<not well-formed>";
    std::string text;
    for (xmlNodePtr n = xmlDocGetRootElement(doc); n != nullptr;) {
        if (n->type == XML_ELEMENT_NODE && xmlStrEqual(n->name, BAD_CAST name)) {
            xmlChar* c = xmlNodeGetContent(n);
            text = reinterpret_cast<const char*>(c);
            xmlFree(c);
            if (attribute != nullptr) {
                xmlChar* a = xmlGetProp(n, BAD_CAST "name");
                *attribute = a ? reinterpret_cast<const char*>(a) : "";
                xmlFree(a);
            }
            break;
        }
        n = n->children ? n->children : n->next;
    }
    xmlFreeDoc(doc);
    return text;
}

TEST_F(TransformationTest, ResultIsIso88592ByteForByte) {
    // Each character with the bytes it must have in the result file, in text
    // and in attribute values alike.
    struct Case {
        const char* utf8;
        const char* bytes;
    };
    const Case cases[] = {
        // The six letters whose codes differ between Windows-1250 and ISO-8859-2.
        {"Ś", "\xA6"},
        {"Ź", "\xAC"},
        {"ś", "\xB6"},
        {"ź", "\xBC"},
        {"Ą", "\xA1"},
        {"ą", "\xB1"},
        // Polish letters with the same code in both.
        {"ę", "\xEA"},
        {"ó", "\xF3"},
        {"ł", "\xB3"},
        {"ż", "\xBF"},
        {"ć", "\xE6"},
        {"ń", "\xF1"},
        {"Ę", "\xCA"},
        {"Ó", "\xD3"},
        {"Ł", "\xA3"},
        {"Ż", "\xAF"},
        {"Ć", "\xC6"},
        {"Ń", "\xD1"},
        // Letters at other codes in Windows-1250, which are control codes in ISO-8859-2.
        {"Š", "\xA9"},
        {"Ť", "\xAB"},
        {"Ž", "\xAE"},
        {"š", "\xB9"},
        {"ť", "\xBB"},
        {"ž", "\xBE"},
        // Shared by both code pages.
        {"A", "A"},
        {"Ä", "\xC4"},
        {"§", "\xA7"},
        {"°", "\xB0"},
        {"\xC2\xA0", "\xA0"},
        // Not in ISO-8859-2 (the first three are in Windows-1250).
        {"€", "&#8364;"},
        {"„", "&#8222;"},
        {"–", "&#8211;"},
        {"α", "&#945;"},
    };
    std::string utf8, bytes;
    for (const Case& c : cases) {
        utf8 += c.utf8;
        bytes += c.bytes;
    }
    PutSource("CRM__1.xml", SourceFile(utf8));
    PutSheet("order.xsl", RemarkSheet);

    ASSERT_TRUE(Run("CRM__1.xml", "order.xsl", "ERP__1.xml")) << ::testing::PrintToString(Errors());
    EXPECT_TRUE(Errors().empty());
    const std::string expected = std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>") +
                                 "<classes><class classname=\"TERPZlecenieSPObject\" name=\"" +
                                 bytes + "\">" + bytes + "</class></classes>";
    EXPECT_EQ(ReadFileBytes(WorkDir() / "ERP__1.xml"), expected);

    // Read back as its declaration says, the file holds the very characters.
    std::string attribute;
    EXPECT_EQ(ParsedText(WorkDir() / "ERP__1.xml", "class", &attribute), utf8);
    EXPECT_EQ(attribute, utf8);
}

TEST_F(TransformationTest, NoLineBreakAfterHeaderNorAtEnd) {
    PutSource("CRM__1.xml", SourceFile("ąŚŠ"));
    PutSheet("indent.xsl", IndentingSheet);
    ASSERT_TRUE(Run("CRM__1.xml", "indent.xsl", "ERP__1.xml"));
    const std::string bytes = ReadFileBytes(WorkDir() / "ERP__1.xml");
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><classes>", 0), 0u)
        << bytes;
    // No xsl:output encoding: attribute values keep their letters all the same.
    EXPECT_NE(bytes.find("<p a=\"\xB1\xA6\xA9\">\xB1\xA6\xA9</p>"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.substr(bytes.size() - 10), "</classes>");
    EXPECT_EQ(bytes.find("<?xml", 1), std::string::npos) << "a second declaration";
}

TEST_F(TransformationTest, RefusesToOverwriteTarget) {
    PutSource("CRM__1.xml", SourceFile("ą"));
    PutSheet("order.xsl", RemarkSheet);
    WriteFileBytes(WorkDir() / "ERP__1.xml", "earlier result");

    EXPECT_FALSE(Run("CRM__1.xml", "order.xsl", "ERP__1.xml"));
    const std::string target = (WorkDir() / "ERP__1.xml").string();
    EXPECT_EQ(Errors(),
              std::vector<std::string>{"W katalogu roboczym znajduje się plik: \r\n  " + target +
                                       "\r\n Proces transformacji został przerwany"});
    EXPECT_EQ(ReadFileBytes(WorkDir() / "ERP__1.xml"), "earlier result");
    // The source stays for the next run, and nothing else is left behind.
    EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"CRM__1.xml", "ERP__1.xml"}));
}

TEST_F(TransformationTest, MissingFilesAreNamed) {
    PutSource("CRM__1.xml", SourceFile("ą"));
    PutSheet("order.xsl", RemarkSheet);
    struct Case {
        const char* source;
        const char* sheet;
        std::string expected;
    };
    const Case cases[] = {
        {"CRM__2.xml", "order.xsl",
         "Brak pliku do transformacj: \r\n  " + (WorkDir() / "CRM__2.xml").string()},
        {"CRM__1.xml", "missing.xsl",
         "Brak pliku transformacyjnego: \r\n  " + (SheetDir() / "missing.xsl").string()},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Run(c.source, c.sheet, "ERP__1.xml")) << c.source << " " << c.sheet;
        ASSERT_FALSE(Errors().empty());
        EXPECT_EQ(Errors().back(), c.expected);
    }
    EXPECT_EQ(Errors().size(), 2u);
    EXPECT_FALSE(fs::exists(WorkDir() / "ERP__1.xml"));
}

TEST_F(TransformationTest, ProcessorFailuresAreLoggedAndWriteNothing) {
    struct Case {
        const char* what;
        std::string source;
        std::string sheet;
        fs::path namedFile; // the file the entry names
    };
    const Case cases[] = {
        {"source not well-formed", "<classes><class></classes>", RemarkSheet,
         WorkDir() / "CRM__1.xml"},
        {"style sheet not well-formed", SourceFile("a"), "<xsl:stylesheet", SheetDir() / "s.xsl"},
        {"not a style sheet", SourceFile("a"),
         R"X(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
              <xsl:template match="/"><xsl:value-of select="1 +"/></xsl:template></xsl:stylesheet>)X",
         SheetDir() / "s.xsl"},
        {"terminating message", SourceFile("a"),
         R"X(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
              <xsl:template match="/"><xsl:message terminate="yes">stop</xsl:message></xsl:template>
            </xsl:stylesheet>)X",
         WorkDir() / "CRM__1.xml"},
    };
    for (const Case& c : cases) {
        TLog log;
        TStylesheetCache cache;
        PutSource("CRM__1.xml", c.source);
        PutSheet("s.xsl", c.sheet);
        TTransformationObject t(log, WorkDir(), SheetDir(), cache);
        t.SourceName = "CRM__1.xml";
        t.StyleSheetName = "s.xsl";
        t.TargetName = "ERP__1.xml";
        EXPECT_FALSE(t.Transform()) << c.what;
        ASSERT_EQ(log.Entries().size(), 1u) << c.what;
        EXPECT_EQ(log.Entries()[0].Level, LogLevel::Error);
        const std::string prefix =
            "Transformacja pliku nie powiodła się: \r\n  " + c.namedFile.string() + "\r\n  ";
        EXPECT_EQ(log.Entries()[0].Text.rfind(prefix, 0), 0u) << c.what << log.Entries()[0].Text;
        EXPECT_GT(log.Entries()[0].Text.size(), prefix.size()) << c.what << ": no cause given";
        EXPECT_EQ(WorkFiles(), std::vector<std::string>{"CRM__1.xml"}) << c.what;
    }
}

TEST_F(TransformationTest, SourceCannotReachFilesOrNetwork) {
    WriteFileBytes(dir_ / "secret.txt", "TOPSECRET");
    const std::string secretUrl = "file://" + (dir_ / "secret.txt").string();
    const std::string sheet =
        R"X(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
      <xsl:output method="xml"/>
      <xsl:template match="/"><r><xsl:value-of select="/"/></r></xsl:template></xsl:stylesheet>)X";
    PutSheet("copy.xsl", sheet);
    struct Case {
        std::string source;
        bool succeeds;
    };
    const Case cases[] = {
        // An external general entity: refused, and the document with it.
        {"<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secretUrl + "\">]><r>a&s;b</r>", false},
        {"<!DOCTYPE r [<!ENTITY s SYSTEM \"http://127.0.0.1:9/x\">]><r>a&s;b</r>", false},
        // An external DTD is not read, so an entity it would declare is unknown.
        {"<!DOCTYPE r SYSTEM \"" + secretUrl + "\"><r>a&s;b</r>", false},
        // A DTD that is not needed does no harm.
        {"<!DOCTYPE r SYSTEM \"" + secretUrl + "\"><r>ab</r>", true},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string target = "ERP__" + std::to_string(++n) + ".xml";
        PutSource("CRM__1.xml", c.source);
        EXPECT_EQ(Run("CRM__1.xml", "copy.xsl", target), c.succeeds) << c.source;
        if (c.succeeds) {
            EXPECT_EQ(ReadFileBytes(WorkDir() / target),
                      "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r>ab</r>");
        } else {
            EXPECT_FALSE(fs::exists(WorkDir() / target)) << c.source;
        }
    }
    const std::vector<std::string> errors = Errors();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NE(errors[0].find("external entity refused: " + secretUrl), std::string::npos)
        << errors[0];
    for (const std::string& e : errors)
        EXPECT_EQ(e.find("TOPSECRET"), std::string::npos) << e;
    // Internal entities are still expanded.
    PutSource("CRM__1.xml", "<!DOCTYPE r [<!ENTITY s \"wewn\">]><r>a&s;b</r>");
    ASSERT_TRUE(Run("CRM__1.xml", "copy.xsl", "ERP__9.xml"));
    EXPECT_EQ(ReadFileBytes(WorkDir() / "ERP__9.xml"),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r>awewnb</r>");
}

TEST_F(TransformationTest, StyleSheetMayNotReadOtherFilesNorWrite) {
    WriteFileBytes(dir_ / "secret.xml", "<s>TOPSECRET</s>");
    PutSource("CRM__1.xml", "<r>" + (dir_ / "secret.xml").string() + "</r>");
    const std::string head =
        R"X(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
             xmlns:exsl="http://exslt.org/common" xmlns:m="urn:map" extension-element-prefixes="exsl"
             exclude-result-prefixes="m">
           <m:e>ąŚ</m:e>
           <xsl:template match="/">)X";
    const std::string tail = "</xsl:template></xsl:stylesheet>";
    struct Case {
        const char* what;
        std::string body;
        bool succeeds;
    };
    const Case cases[] = {
        {"document() of a file named by the source",
         "<r><xsl:value-of select=\"document(/r)\"/></r>", false},
        {"exsl:document writes a file",
         "<exsl:document href=\"" + (WorkDir() / "written.xml").string() +
             "\"><x/></exsl:document><r/>",
         false},
        {"document('') reads the style sheet's own tables",
         "<r><xsl:value-of select=\"document('')//m:e\"/></r>", true},
    };
    int n = 0;
    for (const Case& c : cases) {
        PutSheet("s.xsl", head + c.body + tail);
        cache_.Clear();
        const std::string target = "ERP__" + std::to_string(++n) + ".xml";
        EXPECT_EQ(Run("CRM__1.xml", "s.xsl", target), c.succeeds) << c.what;
        if (c.succeeds) {
            EXPECT_EQ(ReadFileBytes(WorkDir() / target),
                      "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r>\xB1\xA6</r>")
                << c.what;
        } else {
            EXPECT_FALSE(fs::exists(WorkDir() / target)) << c.what;
        }
    }
    EXPECT_FALSE(fs::exists(WorkDir() / "written.xml"));
}

// Uses keys, numbering, sorting and an EXSLT function, so that reuse of one
// compilation would show if it carried state from one item to the next.
const std::string StatefulSheet = R"X(<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform" xmlns:str="http://exslt.org/strings">
  <xsl:output method="xml" indent="yes"/>
  <xsl:key name="byName" match="property" use="@name"/>
  <xsl:template match="/">
    <classes><class classname="T" name="T">
      <xsl:for-each select="//property">
        <xsl:sort select="."/>
        <p n="{position()}"><xsl:number/>:<xsl:value-of select="str:padding(2, '*')"/><xsl:value-of select="key('byName', @name)"/></p>
      </xsl:for-each>
    </class></classes>
  </xsl:template>
</xsl:stylesheet>
)X";

TEST_F(TransformationTest, CachedStyleSheetGivesTheSameBytes) {
    PutSheet("s.xsl", StatefulSheet);
    const std::vector<std::string> texts = {"źdźbło", "Šťastný", "ąęść", "żółw"};
    std::vector<std::string> cached;
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string n = std::to_string(i);
        PutSource("CRM__" + n + ".xml", SourceFile(texts[i]));
        ASSERT_TRUE(Run("CRM__" + n + ".xml", "s.xsl", "ERP__" + n + ".xml"));
        cached.push_back(ReadFileBytes(WorkDir() / ("ERP__" + n + ".xml")));
    }
    EXPECT_EQ(cache_.CompileCount(), 1u);

    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string n = std::to_string(i);
        TStylesheetCache fresh;
        TTransformationObject t(log_, WorkDir(), SheetDir(), fresh);
        t.SourceName = "CRM__" + n + ".xml";
        t.StyleSheetName = "s.xsl";
        t.TargetName = "single__" + n + ".xml";
        ASSERT_TRUE(t.Transform());
        EXPECT_EQ(ReadFileBytes(WorkDir() / t.TargetName), cached[i]) << texts[i];
    }
}

TEST_F(TransformationTest, ChangedStyleSheetIsCompiledAfresh) {
    PutSource("CRM__1.xml", SourceFile("ą"));
    PutSheet("s.xsl", RemarkSheet);
    ASSERT_TRUE(Run("CRM__1.xml", "s.xsl", "ERP__1.xml"));
    ASSERT_TRUE(Run("CRM__1.xml", "s.xsl", "ERP__2.xml"));
    EXPECT_EQ(cache_.CompileCount(), 1u);

    // Same size, later modification time.
    std::string changed = RemarkSheet;
    changed.replace(changed.find("TERPZlecenieSPObject"), 20, "TCRMZlecenieSPObject");
    const auto before = fs::last_write_time(SheetDir() / "s.xsl");
    PutSheet("s.xsl", changed);
    fs::last_write_time(SheetDir() / "s.xsl", before + std::chrono::seconds(2));

    ASSERT_TRUE(Run("CRM__1.xml", "s.xsl", "ERP__3.xml"));
    EXPECT_EQ(cache_.CompileCount(), 2u);
    EXPECT_NE(ReadFileBytes(WorkDir() / "ERP__3.xml").find("TCRMZlecenieSPObject"),
              std::string::npos);

    // A change that breaks the style sheet is not hidden by the old compilation.
    PutSheet("s.xsl", "<broken");
    EXPECT_FALSE(Run("CRM__1.xml", "s.xsl", "ERP__4.xml"));
    EXPECT_FALSE(fs::exists(WorkDir() / "ERP__4.xml"));
}

// --- Version listing ----------------------------------------------------------

std::string ProgramVersion() {
    return std::to_string(PELMORA_VERSION_MAJOR) + "." + std::to_string(PELMORA_VERSION_MINOR) +
           "." + std::to_string(PELMORA_VERSION_PATCH) + ".0";
}

std::vector<std::string> InfoTexts(const TLog& log) {
    std::vector<std::string> out;
    for (const LogEntry& e : log.Entries())
        out.push_back(e.Text);
    return out;
}

TEST(TransformationVersions, ListsProgramAndAnnotatedFiles) {
    TempDir dir;
    fs::create_directory(dir / "xml");
    fs::create_directory(dir / "xslt");
    WriteFileBytes(dir / "xml" / "ObjectRules.xml",
                   EncodeText("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>\r\n"
                              "<!-- reguły 2009-03 -->\r\n<classes/>\r\n",
                              CodePage::Iso8859_2));
    // The note is decoded as the file's declaration says.
    WriteFileBytes(dir / "xslt" / "CRMtoERP_Zamowienie.xsl",
                   EncodeText("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>\r\n"
                              "<!-- wersja 1.2 źródło -->\r\n<xsl:stylesheet/>",
                              CodePage::Iso8859_2));
    WriteFileBytes(dir / "xslt" / "ERPtoCRM_Faktura.xsl",
                   "<?xml version=\"1.0\"?>\r\n<xsl:stylesheet/>");
    WriteFileBytes(dir / "xslt" / "notes.txt", "<!-- not a style sheet -->");

    TLog log;
    const fs::path program = fs::read_symlink("/proc/self/exe");
    TTransformationObject::LogVersions(log, program, dir / "xml", dir / "xslt");
    EXPECT_EQ(InfoTexts(log),
              (std::vector<std::string>{
                  "Plik: " + program.filename().string() + "  wersja: " + ProgramVersion(),
                  "Plik: ObjectRules.xml  reguły 2009-03",
                  "Plik: CRMtoERP_Zamowienie.xsl  wersja 1.2 źródło",
              }));
    for (const LogEntry& e : log.Entries())
        EXPECT_EQ(e.Level, LogLevel::Info);
}

TEST(TransformationVersions, MissingRulesFileIsAWarning) {
    TempDir dir;
    TLog log;
    TTransformationObject::LogVersions(log, dir / "pelmora", dir / "xml", dir / "xslt");
    ASSERT_EQ(log.Entries().size(), 2u);
    EXPECT_EQ(log.Entries()[0].Text, "Plik: pelmora  wersja: ?");
    EXPECT_EQ(log.Entries()[1].Level, LogLevel::Warning);
    EXPECT_EQ(log.Entries()[1].Text,
              "Nie można odczytać pliku: \r\n  " + (dir / "xml" / "ObjectRules.xml").string());
}

TEST(TransformationVersions, FileVersionOnlyForTheProgram) {
    TempDir dir;
    WriteFileBytes(dir / "other", "MZ");
    EXPECT_EQ(TTransformationObject::FileVersionText("/proc/self/exe"), ProgramVersion());
    EXPECT_EQ(TTransformationObject::FileVersionText(dir / "other"), "?");
    EXPECT_EQ(TTransformationObject::FileVersionText(dir / "missing"), "?");
}

TEST(TransformationVersions, VersionCommentRecognition) {
    struct Case {
        const char* text;
        const char* entry; // null: nothing logged
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\"?><!-- v 1.0 --><a/>", "Plik: f.xsl  v 1.0"},
        {"<!-- first --> <!-- second -->", "Plik: f.xsl  first"},
        {"<!--v 1.0 --><a/>", nullptr},      // no blank after "<!--"
        {"<!-- v 1.0--><a/>", nullptr},      // no blank before "-->"
        {"<a/>", nullptr},                   // no comment at all
        {"<!-- -->", "Plik: f.xsl  "},       // the blank is shared: an empty note
        {"a --> b <!-- c", "Plik: f.xsl  "}, // end before start: an empty note
    };
    for (const Case& c : cases) {
        TLog log;
        TTransformationObject::VersionComment(log, "f.xsl", c.text);
        if (c.entry == nullptr) {
            EXPECT_TRUE(log.Entries().empty()) << c.text;
        } else {
            ASSERT_EQ(log.Entries().size(), 1u) << c.text;
            EXPECT_EQ(log.Entries()[0].Text, c.entry);
            EXPECT_EQ(log.Entries()[0].Level, LogLevel::Info);
        }
    }
}

} // namespace
