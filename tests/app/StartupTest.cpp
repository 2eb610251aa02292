// Start-up and shutdown of TDM_Main against temporary program directories
// with real embedded databases.
#include "app/TestInstallation.h"

#include "app/DM_Main.h"
#include "app/ProgramModules.h"
#include "core/Log.h"
#include "core/TextEncoding.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace pelmora;
using pelmora::core::LogLevel;
using pelmora::test::TestInstallation;

namespace {

std::vector<std::string> Errors(app::TDM_Main& dm) {
    std::vector<std::string> out;
    for (const core::LogEntry& e : dm.Log().Entries())
        if (e.Level == LogLevel::Error)
            out.push_back(e.Text);
    return out;
}

// "yyyy-mm-dd hh:nn:ss", the system formats of the start and end entries.
const std::regex StartEntry("Start aplikacji: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
const std::regex EndEntry("Koniec aplikacji: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");

const char* const CrmError = "Wystąpił błąd podczas podłączenia do bazy danych systemu CRM.";
const char* const ErpError = "Wystąpił błąd podczas podłączenia do bazy danych systemu ERP.";

} // namespace

TEST(Startup, CompleteInstallationConnectsBothDatabases) {
    TestInstallation inst;
    app::TDM_Main dm;
    EXPECT_TRUE(dm.ConnectionsReady);
    EXPECT_FALSE(dm.RunInProgress);
    EXPECT_FALSE(dm.StopRequested);
    ASSERT_EQ(dm.Log().Entries().size(), 1u);
    EXPECT_EQ(dm.Log().Entries()[0].Level, LogLevel::Event);
    EXPECT_TRUE(std::regex_match(dm.Log().Entries()[0].Text, StartEntry))
        << dm.Log().Entries()[0].Text;

    EXPECT_EQ(dm.ProgramDir, inst.Dir());
    ASSERT_TRUE(dm.Settings);
    EXPECT_EQ(dm.Settings->LogDir, inst.Dir() + "/Log");
    EXPECT_EQ(dm.Settings->XMLSubDir, inst.Dir() + "/XML");
    EXPECT_EQ(dm.Settings->DefaultSubDirWork, inst.Dir() + "/Work");
    EXPECT_EQ(dm.Settings->TransforSubDir, inst.Dir() + "/Transformacje");

    EXPECT_EQ(dm.ErpOperator, "ADMIN");
    EXPECT_EQ(dm.ErpOperatorPassword, "tajne");
    EXPECT_EQ(dm.ErpCompany, "Firma Testowa");
    EXPECT_EQ(dm.ErpInstallDir, "C:\\Optima");
    EXPECT_EQ(dm.CrmConnectionString,
              "Provider=SQLOLEDB.1;Password=crm-haslo;Persist Security Info=True;User ID=crm;"
              "Initial Catalog=CRM;Data Source=sqlite:db");
    EXPECT_EQ(dm.ErpConnectionString,
              "Provider=SQLOLEDB.1;Password=erp-haslo;Persist Security Info=True;User ID=sa;"
              "Initial Catalog=ERP;Data Source=sqlite:db");
    EXPECT_TRUE(dm.CRM_Connection.Connected());
    EXPECT_TRUE(dm.ERP_Connection.Connected());
    EXPECT_EQ(&app::DM_Main(), &dm);
}

// One row per situation of the start-up's failure table.
struct FailureCase {
    const char* Name;
    std::function<void(TestInstallation&)> Break;
    std::function<std::vector<std::string>(const TestInstallation&)> Errors;
    bool Settings;    // the settings object exists
    bool CrmOpen;     // the CRM connection was opened
    bool ErpOpen;     // the ERP connection was opened
    bool CauseLogged; // an info entry with the database's reason follows the error
};

class StartupFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StartupFailure, LogsItsErrorsAndClearsConnectionsReady) {
    const FailureCase& c = GetParam();
    TestInstallation inst;
    c.Break(inst);
    app::TDM_Main dm;

    EXPECT_FALSE(dm.ConnectionsReady);
    EXPECT_EQ(Errors(dm), c.Errors(inst));
    EXPECT_EQ(static_cast<bool>(dm.Settings), c.Settings);
    EXPECT_EQ(dm.CRM_Connection.Connected(), c.CrmOpen);
    EXPECT_EQ(dm.ERP_Connection.Connected(), c.ErpOpen);

    const auto& entries = dm.Log().Entries();
    ASSERT_FALSE(entries.empty());
    EXPECT_TRUE(std::regex_match(entries[0].Text, StartEntry));
    const bool lastIsCause = entries.back().Level == LogLevel::Info;
    EXPECT_EQ(lastIsCause, c.CauseLogged);
    EXPECT_EQ(entries.size(), 1 + c.Errors(inst).size() + (c.CauseLogged ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    FailureTable, StartupFailure,
    ::testing::Values(
        FailureCase{"IniMissing", [](TestInstallation& i) { std::filesystem::remove(i.IniPath()); },
                    [](const TestInstallation& i) {
                        return std::vector<std::string>{"Brak pliku konfiguracyjnego: \r\n " +
                                                        i.IniPath().string()};
                    },
                    false, false, false, false},
        FailureCase{"IniIsADirectory",
                    [](TestInstallation& i) {
                        std::filesystem::remove(i.IniPath());
                        std::filesystem::create_directory(i.IniPath());
                    },
                    [](const TestInstallation& i) {
                        return std::vector<std::string>{"Brak pliku konfiguracyjnego: \r\n " +
                                                        i.IniPath().string()};
                    },
                    false, false, false, false},
        FailureCase{"OneDirectoryMissing",
                    [](TestInstallation& i) { std::filesystem::remove(i.Path("Work")); },
                    [](const TestInstallation& i) {
                        return std::vector<std::string>{
                            "Brak domyślnego, roboczego katalogu:\r\n " + i.Dir() + "/Work"};
                    },
                    true, true, true, false},
        FailureCase{"EveryDirectoryMissing",
                    [](TestInstallation& i) {
                        for (const char* d : {"Log", "XML", "Work", "Transformacje"})
                            std::filesystem::remove(i.Path(d));
                    },
                    [](const TestInstallation& i) {
                        return std::vector<std::string>{
                            "Brak katalogu z plikami *.log:\r\n " + i.Dir() + "/Log",
                            "Brak katalogu z plikami *.xml:\r\n " + i.Dir() + "/XML",
                            "Brak domyślnego, roboczego katalogu:\r\n " + i.Dir() + "/Work",
                            "Brak katalogu z plikami do transformacji:\r\n " + i.Dir() +
                                "/Transformacje"};
                    },
                    true, true, true, false},
        FailureCase{"CrmUnreachable",
                    [](TestInstallation& i) {
                        i.Set("Tomba", "Tomba_Nazwa_Bazy", "BrakBazy");
                        i.WriteIni();
                    },
                    [](const TestInstallation&) { return std::vector<std::string>{CrmError}; },
                    true, false, false, true},
        FailureCase{"ErpUnreachable",
                    [](TestInstallation& i) {
                        i.Set("OPTIMA", "Optima_Nazwa_Bazy", "BrakBazy");
                        i.WriteIni();
                    },
                    [](const TestInstallation&) { return std::vector<std::string>{ErpError}; },
                    true, true, false, true},
        FailureCase{"DirectoryMissingAndCrmUnreachable",
                    [](TestInstallation& i) {
                        std::filesystem::remove(i.Path("XML"));
                        i.Set("Tomba", "Tomba_Serwer_Bazy", "sqlite:brak");
                        i.WriteIni();
                    },
                    [](const TestInstallation& i) {
                        return std::vector<std::string>{
                            "Brak katalogu z plikami *.xml:\r\n " + i.Dir() + "/XML", CrmError};
                    },
                    true, false, false, true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.Name; });

TEST(Startup, UnreadableIniFileFailsBothReadingSteps) {
    TestInstallation inst;
    // A socket in place of the file: it exists, but cannot be opened for reading
    // (a permission test would not do, the tests may run as root).
    std::filesystem::remove(inst.IniPath());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = inst.IniPath().string();
    ASSERT_LT(path.size(), sizeof(addr.sun_path));
    std::copy(path.begin(), path.end(), addr.sun_path);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);

    {
        app::TDM_Main dm;
        EXPECT_FALSE(dm.ConnectionsReady);
        EXPECT_EQ(Errors(dm), (std::vector<std::string>{"Błąd ładowania pliku:\r\n " + path,
                                                        "Błąd ładowania pliku: \r\n " + path}));
        // The settings exist but hold nothing; no connection was tried.
        ASSERT_TRUE(dm.Settings);
        EXPECT_EQ(dm.Settings->LogDir, "");
        EXPECT_FALSE(dm.CRM_Connection.Connected());
        EXPECT_FALSE(dm.ERP_Connection.Connected());
        // No log directory: StartLogFile writes nothing.
        dm.StartLogFile();
        EXPECT_FALSE(dm.Log().LogFilePlaced());
    }
    close(fd);
}

TEST(Startup, IniValuesAsTheProfileCallsReadThem) {
    TestInstallation inst;
    // Lower-case names, "/" separators, a missing LogDir, a quoted value, a
    // Windows-1250 letter, a ";" inside a connection value, a line that is no INI.
    const std::string ini = "[path]\r\n"
                            "xmlsubdir = /XML\r\n"
                            "DEFAULTSUBDIRWORK=\\Work\r\n"
                            "TransforSubDir=\\Transformacje\r\n"
                            "to nie jest wpis\r\n"
                            "[optima]\r\n"
                            "uzytkownik=\"Operator Główny\"\r\n"
                            "optima_serwer_bazy=sqlite:db\r\n"
                            "OPTIMA_NAZWA_BAZY=ERP\r\n"
                            "[TOMBA]\r\n"
                            "Tomba_Serwer_Bazy=sqlite:db\r\n"
                            "Tomba_Nazwa_Bazy=CRM\r\n"
                            "Tomba_HasloBazy=a;b\r\n";
    test::WriteFileBytes(inst.IniPath(), core::EncodeText(ini, core::CodePage::Windows1250));
    app::TDM_Main dm;

    ASSERT_TRUE(dm.Settings);
    // A missing key is the empty text: the log directory is ProgramDir itself.
    EXPECT_EQ(dm.Settings->LogDir, inst.Dir());
    EXPECT_EQ(dm.Settings->XMLSubDir, inst.Dir() + "/XML");
    EXPECT_EQ(dm.Settings->DefaultSubDirWork, inst.Dir() + "/Work");
    EXPECT_EQ(dm.ErpOperator, "Operator Główny");
    EXPECT_EQ(dm.ErpOperatorPassword, "");
    EXPECT_EQ(dm.CrmConnectionString,
              "Provider=SQLOLEDB.1;Password=a;b;Persist Security Info=True;User ID=;"
              "Initial Catalog=CRM;Data Source=sqlite:db");
    // The line that is no INI gets a warning; otherwise the start-up is clean.
    EXPECT_TRUE(Errors(dm).empty());
    EXPECT_TRUE(dm.ConnectionsReady);
    ASSERT_EQ(dm.Log().Entries().size(), 2u);
    EXPECT_EQ(dm.Log().Entries()[1].Level, LogLevel::Warning);
    EXPECT_EQ(dm.Log().Entries()[1].Text,
              "Nieczytelny wiersz 5 pliku " + inst.IniPath().string() + ":\r\n to nie jest wpis");
}

TEST(Startup, ConnectionStringCopiesValuesAsTheyStand) {
    EXPECT_EQ(app::BuildConnectionString({"srv\\inst;x=1", "Baza", "jan", "p;w=d"}),
              "Provider=SQLOLEDB.1;Password=p;w=d;Persist Security Info=True;User ID=jan;"
              "Initial Catalog=Baza;Data Source=srv\\inst;x=1");
    EXPECT_EQ(app::BuildConnectionString({}),
              "Provider=SQLOLEDB.1;Password=;Persist Security Info=True;User ID=;"
              "Initial Catalog=;Data Source=");
}

TEST(Startup, ProgramDirectoryFollowsPelmoraHome) {
    const char* old = std::getenv("PELMORA_HOME");
    const std::string saved = old ? old : "";

    setenv("PELMORA_HOME", "/tmp/inst//dir/", 1);
    EXPECT_EQ(app::ProgramDirectory(), "/tmp/inst/dir");

    // Unset or empty: the directory of the program file.
    unsetenv("PELMORA_HOME");
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(app::ProgramDirectory(), exe.parent_path().string());
    setenv("PELMORA_HOME", "", 1);
    EXPECT_EQ(app::ProgramDirectory(), exe.parent_path().string());

    if (old)
        setenv("PELMORA_HOME", saved.c_str(), 1);
    else
        unsetenv("PELMORA_HOME");
}

TEST(Startup, ShutdownLogsTheEndAndReleasesTheModule) {
    TestInstallation inst;
    std::string logFile;
    {
        app::ProgramModules modules;
        EXPECT_TRUE(app::DM_MainExists());
        EXPECT_EQ(&modules.Produkt().Main(), &modules.Main());
        EXPECT_EQ(&modules.Naleznosc().Main(), &modules.Main());
        modules.Main().StartLogFile();
        logFile = modules.Main().Log().LogFileName();
    }
    EXPECT_FALSE(app::DM_MainExists());
    EXPECT_THROW(app::DM_Main(), std::logic_error);

    const std::string bytes = test::ReadFileBytes(logFile);
    const std::string tail = "\r\n\r\n";
    ASSERT_TRUE(bytes.ends_with(tail));
    // The last entry: "* Koniec aplikacji: ..." and its empty line.
    const size_t start = bytes.rfind("* ", bytes.size() - tail.size());
    ASSERT_NE(start, std::string::npos);
    const std::string last = bytes.substr(start + 2, bytes.size() - tail.size() - start - 2);
    EXPECT_TRUE(std::regex_match(last, EndEntry)) << last;
}
