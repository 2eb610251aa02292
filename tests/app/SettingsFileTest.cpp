// The run configuration: the text form of the object-list set, Load and Save
// through the program's serializer, and the start-up step that applies it.
#include "app/TestInstallation.h"

#include "app/DM_Main.h"
#include "app/SettingsFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace pelmora;
using app::TObjectListSet;
using app::TSettingsFile;
using pelmora::test::TempDir;
using pelmora::test::TestInstallation;

namespace {

// Whether `haystack` holds `needle`.
bool Holds(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

} // namespace

TEST(ObjectList, TextOfASet) {
    const struct {
        TObjectListSet Set;
        const char* Text;
    } cases[] = {
        {0, ""},
        {app::ERP_Faktura | app::ERP_FakturaKorygujaca, "ERP_Faktura,ERP_FakturaKorygujaca"},
        {app::ERP_Klient | app::ERP_Produkt, "ERP_Produkt,ERP_Klient"},
        {0x8000, ""},
        {0x7FFF, "ERP_Produkt,ERP_Cennik,ERP_Klient,ERP_StanMagazynowy,CRM_Zamowienie,"
                 "CRM_Faktura,ERP_Faktura,ERP_FakturaKorygujaca,CRM_KasaPrzyjela,"
                 "CRM_WydanieZMagazynu,ERP_WydanieZMagazynu,CRM_Zatowarowanie,"
                 "ERP_PrzesuniecieMM,ERP_Naleznosc,CRM_Reklamacja"},
    };
    for (const auto& c : cases) {
        TSettingsFile s;
        s.ObjectList = c.Set;
        EXPECT_EQ(s.ObjectListToProcess(), c.Text) << std::hex << c.Set;
    }
}

TEST(ObjectList, SetOfAText) {
    const struct {
        const char* Text;
        TObjectListSet Set;
    } cases[] = {
        {"", 0},
        {"ERP_FakturaKorygujaca", 0x00C0},
        {"CRM_Zamowienie;CRM_Faktura", 0x0030},
        {"erp_klient,CRM_ZAMOWIENIE", 0},
        {"xxERP_Naleznoscyy", 0x0200},
        {"ERP_WydanieZMagazynu CRM_WydanieZMagazynu", 0x0C00},
    };
    for (const auto& c : cases) {
        TSettingsFile s;
        s.ObjectList = 0x8001; // cleared first
        s.SetObjectListToProcess(c.Text);
        EXPECT_EQ(s.ObjectList, c.Set) << c.Text;
    }
}

TEST(SettingsFile, DefaultsAndTheWrittenFile) {
    TempDir dir;
    TSettingsFile s;
    EXPECT_TRUE(s.AkceptNaleznoscKlient);
    EXPECT_EQ(s.ObjectList, 0);
    EXPECT_EQ(s.WorkDirectory, "");

    s.CRMUser = "crm";
    s.MFGPassword = "tajne";
    s.WorkDirectory = "/srv/wymiana/Żółw";
    s.AkceptNaleznoscKlient = false;
    s.ObjectList = app::CRM_Zamowienie | app::CRM_KasaPrzyjela;
    const auto file = dir.Path() / "run.xml";
    ASSERT_TRUE(s.Save(file.string()));

    const std::string bytes = pelmora::test::ReadFileBytes(file);
    EXPECT_TRUE(Holds(bytes, "encoding=\"ISO-8859-2\"")) << bytes;
    EXPECT_TRUE(Holds(bytes, "TSettingsFile"));
    EXPECT_TRUE(Holds(bytes, "CRM_Zamowienie,CRM_KasaPrzyjela"));
    EXPECT_TRUE(Holds(bytes, "/srv/wymiana/\xAF\xF3\xB3w")) << "ISO-8859-2 bytes of Żółw";
    // Declaration order of the properties.
    EXPECT_LT(bytes.find("CRMUser"), bytes.find("MFGPassword"));
    EXPECT_LT(bytes.find("WorkDirectory"), bytes.find("AkceptNaleznoscKlient"));
    EXPECT_LT(bytes.find("AkceptNaleznoscKlient"), bytes.find("ObjectListToProcess"));

    TSettingsFile loaded;
    ASSERT_TRUE(loaded.Load(file.string()));
    EXPECT_EQ(loaded.CRMUser, "crm");
    EXPECT_EQ(loaded.CRMPassword, "");
    EXPECT_EQ(loaded.MFGPassword, "tajne");
    EXPECT_EQ(loaded.WorkDirectory, "/srv/wymiana/Żółw");
    EXPECT_FALSE(loaded.AkceptNaleznoscKlient);
    EXPECT_EQ(loaded.ObjectList, app::CRM_Zamowienie | app::CRM_KasaPrzyjela);
}

TEST(SettingsFile, LoadKeepsWhatTheFileDoesNotHold) {
    TempDir dir;
    const auto file = (dir.Path() / "run.xml").string();
    TSettingsFile written;
    written.ObjectList = app::ERP_FakturaKorygujaca;
    ASSERT_TRUE(written.Save(file)); // the option's default is not written

    TSettingsFile s;
    s.AkceptNaleznoscKlient = false;
    s.WorkDirectory = "/tmp/w";
    ASSERT_TRUE(s.Load(file));
    EXPECT_FALSE(s.AkceptNaleznoscKlient);
    EXPECT_EQ(s.WorkDirectory, "/tmp/w") << "an empty text is not written, so it is kept";
    EXPECT_EQ(s.ObjectList, 0x00C0) << "the correction kind's name holds the invoice kind's";
}

TEST(SettingsFile, MissingFileIsNoFailureAndBadFilesChangeNothing) {
    TempDir dir;
    TSettingsFile s;
    s.WorkDirectory = "/tmp/w";
    s.ObjectList = app::ERP_Klient;
    EXPECT_TRUE(s.Load((dir.Path() / "none.xml").string()));
    EXPECT_EQ(s.WorkDirectory, "/tmp/w");

    const struct {
        const char* Name;
        std::string Text;
    } bad[] = {
        {"not XML", "<?xml version=\"1.0\"?><classes><class"},
        {"value that cannot be set",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><classes>"
         "<class classname=\"TSettingsFile\" name=\"TSettingsFile\"><properties>"
         "<property name=\"WorkDirectory\" type=\"String\">/inny</property>"
         "<property name=\"AkceptNaleznoscKlient\" type=\"Enumeration\">Moze</property>"
         "</properties></class></classes>"},
    };
    for (const auto& b : bad) {
        const auto file = dir.Path() / "bad.xml";
        pelmora::test::WriteFileBytes(file, b.Text);
        EXPECT_FALSE(s.Load(file.string())) << b.Name;
        EXPECT_EQ(s.WorkDirectory, "/tmp/w") << b.Name;
        EXPECT_TRUE(s.AkceptNaleznoscKlient) << b.Name;
        EXPECT_EQ(s.ObjectList, app::ERP_Klient) << b.Name;
    }
    EXPECT_FALSE(s.Save((dir.Path() / "no-such-dir" / "x.xml").string()));
}

// ---- Start-up: ApplyStartupConfiguration

namespace {

std::vector<std::string> EntriesOf(app::TDM_Main& dm, core::LogLevel level) {
    std::vector<std::string> out;
    for (const core::LogEntry& e : dm.Log().Entries())
        if (e.Level == level)
            out.push_back(e.Text);
    return out;
}

app::StartupOptions WithParameter(const std::string& p) {
    app::StartupOptions o;
    o.Parameters = {p};
    return o;
}

} // namespace

TEST(StartupConfiguration, WithoutParameterTheDefaultWorkDirectory) {
    TestInstallation inst;
    app::TDM_Main dm;
    EXPECT_TRUE(dm.ConnectionsReady);
    EXPECT_EQ(dm.SettingsFile().WorkDirectory, inst.Dir() + "/Work");
    EXPECT_EQ(dm.SettingsFile().ObjectList, 0);
    EXPECT_TRUE(dm.SettingsFile().AkceptNaleznoscKlient);
}

TEST(StartupConfiguration, ParameterLoadsTheNamedFile) {
    TestInstallation inst;
    const std::string file = inst.Path("nocny.xml").string();
    {
        TSettingsFile s;
        s.WorkDirectory = inst.Path("Work").string();
        s.ObjectList = app::CRM_Faktura;
        ASSERT_TRUE(s.Save(file));
    }
    app::TDM_Main dm(WithParameter(file));
    EXPECT_TRUE(dm.ConnectionsReady);
    EXPECT_EQ(dm.SettingsFile().WorkDirectory, inst.Path("Work").string());
    EXPECT_EQ(dm.SettingsFile().ObjectList, app::CRM_Faktura);
    EXPECT_TRUE(EntriesOf(dm, core::LogLevel::Error).empty());
}

TEST(StartupConfiguration, UnreadableFileClearsConnectionsReady) {
    TestInstallation inst;
    const std::string file = inst.Path("zly.xml").string();
    pelmora::test::WriteFileBytes(file, "to nie jest XML");
    app::TDM_Main dm(WithParameter(file));
    EXPECT_FALSE(dm.ConnectionsReady);
    EXPECT_EQ(EntriesOf(dm, core::LogLevel::Error),
              std::vector<std::string>{"Błąd ładowania pliku konfiguracyjnego o nazwie " + file});
    EXPECT_TRUE(dm.CRM_Connection.Connected()) << "start-up goes on";
}

TEST(StartupConfiguration, MissingFileKeepsTheDefaultsWithAWarning) {
    TestInstallation inst;
    const std::string file = inst.Path("brak.xml").string();
    app::TDM_Main dm(WithParameter(file));
    EXPECT_TRUE(dm.ConnectionsReady);
    EXPECT_EQ(dm.SettingsFile().WorkDirectory, "");
    EXPECT_EQ(dm.SettingsFile().ObjectList, 0);
    EXPECT_TRUE(EntriesOf(dm, core::LogLevel::Error).empty());
    const auto warnings = EntriesOf(dm, core::LogLevel::Warning);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(Holds(warnings[0], file));
}
