// pelmora-cli setup and run as processes: a new embedded installation with the
// demo data, an unattended customer transfer on it, and the exit statuses.

#include "db/Connection.h"
#include "db/EmbeddedDatabase.h"
#include "db/Query.h"
#include "support/TempDir.h"

#include "cli/CliProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace pelmora;

namespace {

using pelmora::test::RunCli;
using Result = pelmora::test::CliResult;
const fs::path& Program = pelmora::test::CliProgram;

bool Has(const Result& r, const std::string& text) {
    return r.Output.find(text) != std::string::npos;
}

// A new demo installation in dir/inst.
class SetupAndRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(Program))
            GTEST_FAIL() << "build the target pelmora-cli first: " << Program;
        const Result r = RunCli("setup '" + Inst().string() + "' --demo");
        ASSERT_EQ(r.Status, 0) << r.Output;
    }
    fs::path Inst() const { return temp_.Path() / "inst"; }
    std::string Config() const { return "'" + (Inst() / "Klienci.xml").string() + "'"; }
    Result Run() const { return RunCli("run " + Config(), Inst()); }

    // A connection to the installation's ERP database.
    void OpenErp(db::Connection& erp) const {
        erp.Open(db::EmbeddedConnectionString(Inst() / "db", "ERP"), Inst());
    }
    std::string ContractorStreet(int id) const {
        db::Connection erp;
        OpenErp(erp);
        db::Query q(erp, "select Knt_Ulica from CDN.Kontrahenci where Knt_KntId = :Id");
        q.SetParam("Id", id);
        q.Open();
        return q.Eof() ? "?" : q.FieldByName("Knt_Ulica").ToString();
    }

    test::TempDir temp_;
};

} // namespace

TEST_F(SetupAndRun, DemoTransferChangesTheDifferingContractorsOnce) {
    for (const char* path : {"Pelmora.ini", "Log", "XML/ObjectRules.xml", "Work", "Transformacje",
                             "db/CRM/dbo.sqlite", "db/ERP/CDN.sqlite", "Klienci.xml"})
        EXPECT_TRUE(fs::exists(Inst() / path)) << path;
    EXPECT_EQ(ContractorStreet(1003), "ul. Kościuszki");

    const Result first = Run();
    EXPECT_EQ(first.Status, 0) << first.Output;
    EXPECT_TRUE(Has(first, "info: Liczba elementów: 8\n")) << first.Output;
    EXPECT_TRUE(Has(first, "progress: Przetwarzany obiekt: Klienci  Przetwarzany element: 8/8\n"))
        << first.Output;
    EXPECT_TRUE(Has(first, "event: Zakończenie procesu przetwarzania\n")) << first.Output;
    EXPECT_EQ(ContractorStreet(1003), "ul. Lwowska");
    // The log file of the run is in the installation's log directory.
    EXPECT_FALSE(fs::is_empty(Inst() / "Log"));

    const Result second = Run();
    EXPECT_EQ(second.Status, 0) << second.Output;
    EXPECT_TRUE(Has(second, "info: Liczba elementów: 0\n")) << second.Output;
}

TEST_F(SetupAndRun, ExitStatusTellsWhetherEveryItemWasProcessed) {
    // One contractor the ERP refuses to change.
    {
        db::Connection erp;
        OpenErp(erp);
        erp.Execute("CREATE TRIGGER CDN.Blokada BEFORE UPDATE ON Kontrahenci"
                    " WHEN old.Knt_KntId = 1005 BEGIN SELECT RAISE(ABORT, 'zablokowany'); END");
    }
    const Result failed = Run();
    EXPECT_EQ(failed.Status, 1) << failed.Output;
    EXPECT_TRUE(Has(failed, "event: Obiekt nieprzetworzony poprawnie\n")) << failed.Output;
    EXPECT_TRUE(Has(failed, "zablokowany")) << failed.Output;

    const Result missing = RunCli("run '" + (Inst() / "Brak.xml").string() + "'", Inst());
    EXPECT_EQ(missing.Status, 2) << missing.Output;
    EXPECT_TRUE(Has(missing, "error: Brak pliku konfiguracyjnego o nazwie ")) << missing.Output;

    const Result usage = RunCli("run", Inst());
    EXPECT_EQ(usage.Status, 2) << usage.Output;

    // A start-up that fails (no ERP database of that name) starts no run.
    const fs::path ini = Inst() / "Pelmora.ini";
    std::string text = test::ReadFileBytes(ini);
    const std::string key = "Optima_Nazwa_Bazy=ERP";
    ASSERT_NE(text.find(key), std::string::npos);
    text.replace(text.find(key), key.size(), "Optima_Nazwa_Bazy=BrakBazy");
    test::WriteFileBytes(ini, text);
    const Result notStarted = Run();
    EXPECT_EQ(notStarted.Status, 2) << notStarted.Output;
    EXPECT_TRUE(
        Has(notStarted, "error: Wystąpił błąd podczas podłączenia do bazy danych systemu ERP.\n"))
        << notStarted.Output;
    EXPECT_FALSE(Has(notStarted, "Rozpoczęcie procesu przetwarzania")) << notStarted.Output;
    EXPECT_EQ(ContractorStreet(1003), "ul. Lwowska"); // the first run's work stays
}

TEST_F(SetupAndRun, SetupRefusesAnExistingDirectoryAndChangesNothing) {
    ASSERT_EQ(Run().Status, 0);
    const Result again = RunCli("setup '" + Inst().string() + "' --demo");
    EXPECT_EQ(again.Status, 1) << again.Output;
    EXPECT_TRUE(Has(again, "exists already and is not empty")) << again.Output;
    EXPECT_EQ(ContractorStreet(1003), "ul. Lwowska");

    // Any other directory with something in it is refused too; an empty one is taken.
    const fs::path other = temp_.Path() / "other";
    fs::create_directories(other);
    test::WriteFileBytes(other / "notatki.txt", "moje");
    EXPECT_EQ(RunCli("setup '" + other.string() + "'").Status, 1);
    EXPECT_EQ(test::ReadFileBytes(other / "notatki.txt"), "moje");
    EXPECT_FALSE(fs::exists(other / "Pelmora.ini"));
    const fs::path empty = temp_.Path() / "empty";
    fs::create_directories(empty);
    EXPECT_EQ(RunCli("setup '" + empty.string() + "'").Status, 0);
    EXPECT_TRUE(fs::exists(empty / "db" / "ERP" / "CDN.sqlite"));
}
