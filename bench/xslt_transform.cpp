// Transformations per second of a CRM order with 20 positions into the ERP's
// order file: the program's step with the run's cached style sheet, the same
// step compiling the style sheet for every item, and xsltproc applying the
// same style sheet to the same files in one invocation (which compiles it once).

#include "core/Log.h"
#include "core/StylesheetCache.h"
#include "core/TextEncoding.h"
#include "core/TransformationObject.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace pelmora::core;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

extern char** environ;

namespace {

constexpr int FileCount = 200;     // exchange files per round
constexpr int PositionCount = 20;  // positions of each order
constexpr double MinSeconds = 1.5; // each measurement runs at least this long
constexpr int MinRounds = 2;       // and at least this many rounds

// CRM order to ERP order, as a deployment would write it.
const char* const StyleSheet = R"X(<?xml version="1.0" encoding="ISO-8859-2"?>
<!-- CRMtoERP_Zamowienie 1.0 -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" indent="yes"/>
  <xsl:template name="prop">
    <xsl:param name="name"/>
    <xsl:param name="from" select="$name"/>
    <xsl:variable name="p" select="properties/property[@name = $from]"/>
    <xsl:if test="$p">
      <property name="{$name}" type="{$p/@type}"><xsl:value-of select="$p"/></property>
    </xsl:if>
  </xsl:template>
  <xsl:template match="/classes">
    <classes><xsl:apply-templates select="class[@classname = 'TCRMZlecenieSPObject']"/></classes>
  </xsl:template>
  <xsl:template match="class">
    <class classname="TERPZlecenieSPObject" name="TERPZlecenieSPObject">
      <properties>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'ZlecenieSP'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'EXID'"/><xsl:with-param name="from" select="'ID'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'Numer'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'KlientId'"/><xsl:with-param name="from" select="'KlientEXID'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'PlatnikId'"/><xsl:with-param name="from" select="'PlatnikEXID'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'DataRealizacji'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'DataWystawienia'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'Uwagi'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'DataPlatnosci'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'SposobPlatnosci'"/></xsl:call-template>
        <xsl:call-template name="prop"><xsl:with-param name="name" select="'Kwota'"/><xsl:with-param name="from" select="'WartoscBrutto'"/></xsl:call-template>
        <property name="Pozycje" type="Object" class="TERPZlecenieSPPozycjeCollection">
          <class classname="TERPZlecenieSPPozycjeCollection" name="Pozycje">
            <customdata>
              <xsl:for-each select="properties/property[@name = 'Pozycje']/class/customdata/class">
                <class classname="TERPZlecenieSPPozycjeCollectionItem" name="Item_{position()}">
                  <properties>
                    <xsl:call-template name="prop"><xsl:with-param name="name" select="'ProduktID'"/><xsl:with-param name="from" select="'ProduktEXID'"/></xsl:call-template>
                    <xsl:call-template name="prop"><xsl:with-param name="name" select="'Ilosc'"/></xsl:call-template>
                    <xsl:call-template name="prop"><xsl:with-param name="name" select="'Rabat'"/></xsl:call-template>
                    <xsl:call-template name="prop"><xsl:with-param name="name" select="'CenaJednostkowa'"/></xsl:call-template>
                    <xsl:call-template name="prop"><xsl:with-param name="name" select="'JednostkaName'"/><xsl:with-param name="from" select="'JednostkaEXID'"/></xsl:call-template>
                    <xsl:call-template name="prop"><xsl:with-param name="name" select="'StawkaVatName'"/><xsl:with-param name="from" select="'StawkaVatEXID'"/></xsl:call-template>
                    <property name="NrPozycji" type="Integer"><xsl:value-of select="position()"/></property>
                  </properties>
                </class>
              </xsl:for-each>
            </customdata>
          </class>
        </property>
      </properties>
    </class>
  </xsl:template>
</xsl:stylesheet>
)X";

std::string Property(int level, const std::string& name, const std::string& type,
                     const std::string& value) {
    return std::string(level * 2, ' ') + "<property name=\"" + name + "\" type=\"" + type + "\">" +
           value + "</property>\r\n";
}

// One order file as the serializer writes it: ISO-8859-2, indented, CR LF.
std::string OrderFile(int n) {
    const std::string id = "{6F9619FF-8B86-D011-B42D-00C04FC9" + std::to_string(100000 + n) + "}";
    std::string t = "<?xml version=\"1.0\" encoding=\"ISO-8859-2\" standalone=\"yes\"?>\r\n"
                    "<classes>\r\n"
                    "  <class classname=\"TCRMZlecenieSPObject\" name=\"TCRMZlecenieSPObject\">\r\n"
                    "    <properties>\r\n";
    t += Property(3, "ZlecenieSP", "Enumeration", "zsZamowienie");
    t += Property(3, "ID", "String", id);
    t += Property(3, "EXID", "String", "ZAM/" + std::to_string(n) + "/2009");
    t += Property(3, "Numer", "String", "ZAM/" + std::to_string(n) + "/2009");
    t += Property(3, "RepId", "Integer", "4");
    t += Property(3, "RepEXID", "Integer", "4");
    t += Property(3, "KlientEXID", "String", "K" + std::to_string(1000 + n));
    t += Property(3, "PlatnikEXID", "String", "K" + std::to_string(2000 + n));
    t += Property(3, "DataWystawienia", "Date", "2009-03-15T14:05:09.120+01:00");
    t += Property(3, "DataRealizacji", "Date", "2009-03-18T00:00:00.000+01:00");
    t += Property(3, "DataPlatnosci", "Date", "2009-03-29T00:00:00.000+01:00");
    t += Property(3, "WartoscBrutto", "Double", "12345.67");
    t += Property(3, "SposobPlatnosci", "String", "Przelew");
    t += Property(3, "TerminPlatnosci", "Integer", "14");
    t += Property(3, "Uwagi", "String", "Dostawa do magazynu w Łodzi, Źródlana 5 – proszę dzwonić");
    t += Property(3, "Status", "Integer", "2");
    t += "      <property name=\"Pozycje\" type=\"Object\" "
         "class=\"TCRMZlecenieSPPozycjeCollection\">\r\n"
         "        <class classname=\"TCRMZlecenieSPPozycjeCollection\" name=\"Pozycje\">\r\n"
         "          <customdata>\r\n";
    for (int i = 1; i <= PositionCount; ++i) {
        t += "            <class classname=\"TCRMZlecenieSPPozycjeCollectionItem\" name=\"Item_" +
             std::to_string(i) + "\">\r\n              <properties>\r\n";
        t += Property(8, "ProduktEXID", "Integer", std::to_string(4700 + i));
        t += Property(8, "Ilosc", "Double", std::to_string(i * 3));
        t += Property(8, "Rabat", "Double", "2.5");
        t += Property(8, "CenaJednostkowa", "Double", std::to_string(10 + i) + ".99");
        t += Property(8, "JednostkaEXID", "String", i % 2 ? "szt." : "opak.");
        t += Property(8, "StawkaVatEXID", "String", "22%");
        t += "              </properties>\r\n            </class>\r\n";
    }
    t += "          </customdata>\r\n        </class>\r\n      </property>\r\n"
         "    </properties>\r\n  </class>\r\n</classes>\r\n";
    return EncodeText(t, CodePage::Iso8859_2, Unmappable::CharRef);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string SourceName(int i) {
    return "CRM_Zamowienie__" + std::to_string(i) + ".xml";
}
std::string TargetName(int i) {
    return "ERP_Zamowienie__" + std::to_string(i) + ".xml";
}

// Runs `round` (which returns the items it did) until both minimums are met;
// the result is items per second. `between` runs untimed after each round.
template <typename Round, typename Between> double Measure(Round round, Between between) {
    double seconds = 0;
    long items = 0;
    for (int rounds = 0; rounds < MinRounds || seconds < MinSeconds; ++rounds) {
        const auto start = Clock::now();
        items += round();
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        between();
    }
    return items / seconds;
}

// The program's step over every file; `perItemCache` compiles for each item.
long TransformAll(TLog& log, const fs::path& work, const fs::path& sheets, TStylesheetCache& cache,
                  bool perItemCache) {
    long done = 0;
    for (int i = 0; i < FileCount; ++i) {
        TStylesheetCache single;
        TTransformationObject t(log, work, sheets, perItemCache ? single : cache);
        t.SourceName = SourceName(i);
        t.StyleSheetName = "CRMtoERP_Zamowienie.xsl";
        t.TargetName = TargetName(i);
        done += t.Transform() ? 1 : 0;
    }
    return done;
}

void RemoveTargets(const fs::path& work) {
    for (int i = 0; i < FileCount; ++i)
        fs::remove(work / TargetName(i));
}

// xsltproc over every file in one invocation, its output to /dev/null; -1 when
// it cannot be run.
long XsltprocAll(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "xsltproc", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? FileCount : -1;
}

} // namespace

int main() {
    std::string tmpl = (fs::temp_directory_path() / "pelmora-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = tmpl;
    const fs::path work = dir / "work";
    const fs::path sheets = dir / "xslt";
    fs::create_directory(work);
    fs::create_directory(sheets);
    WriteFile(sheets / "CRMtoERP_Zamowienie.xsl", StyleSheet);
    for (int i = 0; i < FileCount; ++i)
        WriteFile(work / SourceName(i), OrderFile(i));
    const auto sourceSize = fs::file_size(work / SourceName(0));

    TLog log;
    TStylesheetCache cache;
    const double cached = Measure([&] { return TransformAll(log, work, sheets, cache, false); },
                                  [&] { RemoveTargets(work); });
    const double perItem = Measure([&] { return TransformAll(log, work, sheets, cache, true); },
                                   [&] { RemoveTargets(work); });
    const auto resultSize = [&] {
        TransformAll(log, work, sheets, cache, false);
        const auto size = fs::file_size(work / TargetName(0));
        RemoveTargets(work);
        return size;
    }();

    std::vector<std::string> args = {"xsltproc", (sheets / "CRMtoERP_Zamowienie.xsl").string()};
    for (int i = 0; i < FileCount; ++i)
        args.push_back((work / SourceName(i)).string());
    bool xsltprocOk = XsltprocAll(args) > 0;
    const double xsltproc = xsltprocOk ? Measure([&] { return XsltprocAll(args); }, [] {}) : 0;

    std::printf("XSLT transformation of an order with %d positions (%ju bytes in, %ju bytes out), "
                "%d files per round\n",
                PositionCount, static_cast<uintmax_t>(sourceSize),
                static_cast<uintmax_t>(resultSize), FileCount);
    std::printf("  Transform, cached style sheet (%zu compilation): %10.0f transformations/s\n",
                cache.CompileCount(), cached);
    std::printf("  Transform, style sheet compiled per item:         %10.0f transformations/s\n",
                perItem);
    if (xsltprocOk)
        std::printf("  xsltproc style.xsl f1 ... f%d > /dev/null:       %10.0f transformations/s\n"
                    "  ratio Transform (cached) / xsltproc: %.2f\n",
                    FileCount, xsltproc, cached / xsltproc);
    else
        std::printf("  xsltproc: not available\n");
    if (!log.Entries().empty())
        std::printf("  %zu log entries, first: %s\n", log.Entries().size(),
                    log.Entries().front().Text.c_str());

    fs::remove_all(dir);
    return log.Entries().empty() ? 0 : 1;
}
