// pelmora-cli as a process: the start-up on a temporary program directory,
// every log entry on the terminal, the log file, and the exit status.
#include "app/TestInstallation.h"

#include "cli/CliProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sys/wait.h>

namespace {

using pelmora::test::RunCli;
using Result = pelmora::test::CliResult;
const std::filesystem::path& Program = pelmora::test::CliProgram;

class PelmoraCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(Program))
            GTEST_FAIL() << "build the target pelmora-cli first: " << Program;
    }
};

} // namespace

TEST_F(PelmoraCli, PrintsItsVersion) {
    const Result r = RunCli("--version");
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(std::regex_match(r.Output, std::regex("pelmora-cli \\d+\\.\\d+\\.\\d+\n")))
        << r.Output;
}

TEST_F(PelmoraCli, CompleteInstallationStartsWritesTheLogAndEnds) {
    pelmora::test::TestInstallation inst;
    const Result r = RunCli("");
    EXPECT_EQ(r.Status, 0) << r.Output;
    const std::regex expected("event: Start aplikacji: [0-9: -]+\n"
                              "event: Koniec aplikacji: [0-9: -]+\n");
    EXPECT_TRUE(std::regex_match(r.Output, expected)) << r.Output;

    const std::filesystem::path file = inst.OnlyLogFile();
    ASSERT_FALSE(file.empty());
    const std::string bytes = pelmora::test::ReadFileBytes(file);
    EXPECT_TRUE(bytes.starts_with("*Start aplikacji: ")) << bytes;
    EXPECT_NE(bytes.find("\r\n\r\n* Koniec aplikacji: "), std::string::npos) << bytes;
}

TEST_F(PelmoraCli, FailedStartUpPrintsTheErrorsAndExitsNonZero) {
    pelmora::test::TestInstallation inst;
    inst.Set("OPTIMA", "Optima_Nazwa_Bazy", "BrakBazy");
    inst.WriteIni();
    std::filesystem::remove(inst.Path("Transformacje"));
    const Result r = RunCli("");
    EXPECT_EQ(r.Status, 1) << r.Output;
    EXPECT_NE(r.Output.find("error: Brak katalogu z plikami do transformacji:\n   " + inst.Dir() +
                            "/Transformacje\n"),
              std::string::npos)
        << r.Output;
    EXPECT_NE(
        r.Output.find("error: Wystąpił błąd podczas podłączenia do bazy danych systemu ERP.\n"),
        std::string::npos)
        << r.Output;
    // The entries of the start-up are in the log file all the same.
    const std::string bytes = pelmora::test::ReadFileBytes(inst.OnlyLogFile());
    EXPECT_NE(bytes.find("*Brak katalogu z plikami do transformacji:\r\n"), std::string::npos);

    std::filesystem::remove(inst.IniPath());
    const Result noIni = RunCli("");
    EXPECT_EQ(noIni.Status, 1);
    EXPECT_NE(noIni.Output.find("error: Brak pliku konfiguracyjnego: \n   " +
                                inst.IniPath().string() + "\n"),
              std::string::npos)
        << noIni.Output;
}
