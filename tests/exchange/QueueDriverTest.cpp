// The processing driver: the build table, the rules file, the run loop with
// its stop and date stamps, and the work-directory lock against a second
// process.
#include "ExchangeFixture.h"

#include "app/Queue.h"
#include "app/WorkDirectoryLock.h"
#include "core/SystemFormats.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace pelmora;
using core::LogLevel;

namespace {

// What one Process call of a recording queue saw.
struct ProcessCall {
    std::string ObjectName;
    app::t_zlecenie_sp DocumentKind;
    app::t_dokument_mag WarehouseKind;
};

// A queue that records its calls; it requests a stop when its object name is StopIn.
class TRecordingQueue : public exchange::TObjectListQueue {
public:
    using TObjectListQueue::TObjectListQueue;
    static inline std::vector<ProcessCall> Calls;
    static inline std::string StopIn;

    void Process() override {
        Calls.push_back({Rules.ObjectName, DocumentKind, WarehouseKind});
        Progress().StartElementProgress(0);
        if (Rules.ObjectName == StopIn)
            Main().StopRequested = true;
    }
};

// The driver with the tests' classes in place of the build's.
class TTestDriver : public app::TQueue {
public:
    using TQueue::TQueue;
    std::map<std::string, exchange::QueueFactory> Classes; // by queue class name

protected:
    exchange::QueueFactory FactoryOf(const app::TQueueBuildRow& row) const override {
        auto it = Classes.find(row.QueueClass);
        return it == Classes.end() ? nullptr : it->second;
    }
};

constexpr exchange::QueueFactory Recording = &exchange::MakeQueue<TRecordingQueue>;

class DriverTest : public test::ExchangeFixture {
protected:
    DriverTest() {
        TRecordingQueue::Calls.clear();
        TRecordingQueue::StopIn.clear();
        Crm("create table dba.SYS_REGISTRY (RES_ENTRY_NAME varchar(100), RES_ENTRY_VALUE "
            "varchar(100))");
    }
    std::string RegistryValue(const std::string& name) {
        db::Query q(Dm().CRM_Connection,
                    "select RES_ENTRY_VALUE from dba.SYS_REGISTRY where RES_ENTRY_NAME = :N");
        q.SetParam("N", name);
        q.Open();
        return q.Eof() ? "(none)" : q.FieldByName("RES_ENTRY_VALUE").ToString();
    }
    std::vector<std::string> CalledNames() const {
        std::vector<std::string> out;
        for (const ProcessCall& c : TRecordingQueue::Calls)
            out.push_back(c.ObjectName);
        return out;
    }
    static std::string Summary(const std::string& name) {
        return "Przetworzono obiekt: " + name +
               "\r\nLiczba wszystkich elementów obiektu: 0\r\nLiczba przetworzonych elementów "
               "obiektu: 0\r\nLiczba nieprzetworzonych elementów obiektu: 0";
    }
};

TEST_F(DriverTest, InvoiceBitBuildsTwoQueuesEachWithItsOwnEntry) {
    WriteRules({{"ERP_Faktura", "Faktury z ERP", "ERP_FA", "CRM_FA"},
                {"erp_fakturakorygujaca", "Korekty z ERP", "ERP_FK", "CRM_FK"}});
    TTestDriver driver(Dm());
    driver.Classes["TM2CZlecenieSPListQueue"] = Recording;
    driver.ObjectList = app::ERP_Faktura;
    ASSERT_TRUE(driver.BuildQueues());
    EXPECT_EQ(driver.RulesFilePath, RulesPath().string());
    ASSERT_EQ(driver.Queues.size(), 2u);
    const exchange::TObjectListQueue& invoices = *driver.Queues[0];
    const exchange::TObjectListQueue& corrections = *driver.Queues[1];
    EXPECT_EQ(invoices.Rules.ObjectName, "Faktury z ERP");
    EXPECT_EQ(invoices.Rules.ERPLoadName, "ERP_FA");
    EXPECT_EQ(invoices.DocumentKind, app::zsFaktura);
    EXPECT_EQ(corrections.Rules.ObjectName, "Korekty z ERP") << "entry names ignore case";
    EXPECT_EQ(corrections.Rules.CRMSaveName, "CRM_FK");
    EXPECT_EQ(corrections.DocumentKind, app::zsKorektaFaktury);
    for (const auto& q : driver.Queues) {
        EXPECT_EQ(q->CrmConnection, &Dm().CRM_Connection);
        EXPECT_EQ(q->ErpConnection, &Dm().ERP_Connection);
        EXPECT_EQ(q->WarehouseKind, app::dmUnDef);
        EXPECT_NE(q->StyleSheets, nullptr);
    }

    // The next run rereads the file.
    WriteRules({{"ERP_Faktura", "Faktury zmienione"}, {"ERP_FakturaKorygujaca", "Korekty"}});
    TTestDriver next(Dm());
    next.Classes = driver.Classes;
    next.ObjectList = app::ERP_Faktura;
    next.Run();
    EXPECT_EQ(CalledNames(), (std::vector<std::string>{"Faktury zmienione", "Korekty"}));
}

TEST_F(DriverTest, MissingRulesFileRunsNoQueue) {
    TTestDriver driver(Dm());
    driver.Classes["TM2CZlecenieSPListQueue"] = Recording;
    driver.ObjectList = app::ERP_Faktura;
    Dm().Progress().StartObjectProgress(3);
    driver.Run();
    EXPECT_TRUE(driver.Queues.empty());
    EXPECT_TRUE(TRecordingQueue::Calls.empty());
    EXPECT_EQ(Entries(LogLevel::Error),
              std::vector<std::string>{"Brak pliku konfiguracyjnego zasad przetwarzania:\r\n   " +
                                       RulesPath().string() +
                                       "\r\nPrzetwarzanie danych przerwane."});
    EXPECT_EQ(Dm().Progress().QueueCount(), 0) << "the object bar gets no steps";
}

TEST_F(DriverTest, EntryWithoutObjectNameLeavesOnlyItsQueueOut) {
    WriteRules({{"CRM_Zamowienie", ""}, {"CRM_KasaPrzyjela", "Kasa"}}); // no CRM_Faktura
    TTestDriver driver(Dm());
    driver.Classes["TC2MZlecenieSPListQueue"] = Recording;
    driver.ObjectList = app::CRM_Zamowienie | app::CRM_Faktura | app::CRM_KasaPrzyjela;
    driver.Run();
    const std::string tail =
        " w pliku konfiguracyjnym " + RulesPath().string() + "\r\nPrzetwarzanie obiektu przerwane";
    EXPECT_EQ(Entries(LogLevel::Error),
              (std::vector<std::string>{"Brak parametrów obiektu CRM_Zamowienie" + tail,
                                        "Brak parametrów obiektu CRM_Faktura" + tail}));
    ASSERT_EQ(TRecordingQueue::Calls.size(), 1u);
    EXPECT_EQ(TRecordingQueue::Calls[0].ObjectName, "Kasa");
    EXPECT_EQ(TRecordingQueue::Calls[0].DocumentKind, app::zsKasaPrzyjela);
}

TEST_F(DriverTest, StopDuringTheLastQueueLogsItsSummaryAndTheWarning) {
    Crm("insert into dba.SYS_REGISTRY values ('interfejs_wymiana_dokument_wz', '2000-01-01')");
    WriteRules(
        {{"ERP_EXID_Faktura", "EXID faktur"}, {"ERP_WydanieZMagazynu", "ERP_WydanieZMagazynu"}});
    TTestDriver driver(Dm());
    driver.Classes["TM2CZlecenieSPEXIDListQueue"] = Recording;
    driver.Classes["TM2CDokMagListQueue"] = Recording;
    driver.ObjectList = app::ERP_WydanieZMagazynu;
    TRecordingQueue::StopIn = "ERP_WydanieZMagazynu";
    driver.Run();

    ASSERT_EQ(TRecordingQueue::Calls.size(), 2u);
    EXPECT_EQ(TRecordingQueue::Calls[1].WarehouseKind, app::dmWydanieZMagazynu);
    const auto& entries = Dm().Log().Entries();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[entries.size() - 2].Text, Summary("ERP_WydanieZMagazynu"));
    EXPECT_EQ(entries.back().Level, LogLevel::Warning);
    EXPECT_EQ(entries.back().Text, "Proces przetwarzania przerwany");
    EXPECT_TRUE(Logged(LogLevel::Event, Summary("EXID faktur")));
    EXPECT_EQ(RegistryValue("interfejs_wymiana_dokument_wz"), "2000-01-01")
        << "no date stamp for the stopped queue";
}

TEST_F(DriverTest, DateStampOnlyForTheExactObjectNames) {
    const std::string today = core::DateToStr(core::Now());
    struct Case {
        const char* Name;
        std::vector<test::RulesEntry> Rules;
        std::string Wz, Mm; // the registry values after the run
    };
    const Case cases[] = {
        {"exact and other case",
         {{"ERP_EXID_Faktura", "Faktury EXID"},
          {"ERP_WydanieZMagazynu", "ERP_WydanieZMagazynu"},
          {"ERP_PrzesuniecieMM", "erp_przesuniecieMM"}},
         today,
         "2000-01-01"},
        {"by object name, not by entry",
         {{"ERP_EXID_Faktura", "ERP_PrzesuniecieMM"},
          {"ERP_WydanieZMagazynu", "Wydania"},
          {"ERP_PrzesuniecieMM", "Przesunięcia"}},
         "2000-01-01",
         today},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Crm("delete from dba.SYS_REGISTRY");
        Crm("insert into dba.SYS_REGISTRY values ('interfejs_wymiana_dokument_wz', '2000-01-01')");
        Crm("insert into dba.SYS_REGISTRY values ('interfejs_wymiana_dokument_mm', '2000-01-01')");
        WriteRules(c.Rules);
        TTestDriver driver(Dm());
        driver.Classes["TM2CZlecenieSPEXIDListQueue"] = Recording;
        driver.Classes["TM2CDokMagListQueue"] = Recording;
        driver.ObjectList = app::ERP_WydanieZMagazynu | app::ERP_PrzesuniecieMM;
        driver.Run();
        EXPECT_EQ(TRecordingQueue::Calls.size(), 3u);
        TRecordingQueue::Calls.clear();
        EXPECT_EQ(RegistryValue("interfejs_wymiana_dokument_wz"), c.Wz);
        EXPECT_EQ(RegistryValue("interfejs_wymiana_dokument_mm"), c.Mm);
    }
    // A missing registry entry is not created, and nothing is reported.
    Crm("delete from dba.SYS_REGISTRY");
    app::TQueue(Dm()).StampExchangeDate("ERP_WydanieZMagazynu");
    EXPECT_EQ(RegistryValue("interfejs_wymiana_dokument_wz"), "(none)");
    EXPECT_TRUE(Entries(LogLevel::Error).empty());
}

TEST_F(DriverTest, RowsWithoutAQueueClassInThisBuildSaySo) {
    WriteRules({});
    // Bits of no row: a run without queues.
    app::TQueue none(Dm());
    none.ObjectList = app::ERP_Cennik | app::ERP_StanMagazynowy | app::ERP_FakturaKorygujaca;
    none.Run();
    EXPECT_TRUE(none.Queues.empty());
    EXPECT_TRUE(Entries(LogLevel::Info).empty());
    EXPECT_EQ(Dm().Progress().QueueCount(), 0);

    // Every row of the table, as this build has it.
    app::TQueue all(Dm());
    all.ObjectList = 0xFFFF;
    ASSERT_TRUE(all.BuildQueues());
    for (const app::TQueueBuildRow& row : app::QueueBuildTable()) {
        const std::string info = std::string("Obiekt ") + row.ObjectListName +
                                 " nie jest obsługiwany w tej wersji programu: brak kolejki " +
                                 row.QueueClass + " (zasady " + row.RulesEntry + ")";
        EXPECT_EQ(Logged(LogLevel::Info, info), row.Factory() == nullptr) << row.RulesEntry;
    }
}

TEST(QueueBuildTable, RowsInBuildOrder) {
    std::vector<std::string> got;
    for (const app::TQueueBuildRow& row : app::QueueBuildTable()) {
        EXPECT_EQ(row.Bit, app::ObjectListBit(row.ObjectListName)) << row.RulesEntry;
        got.push_back(row.RulesEntry);
    }
    const std::vector<std::string> expected = {
        "ERP_Produkt",           "ERP_Jednostka",
        "ERP_StanMagazynowy",    "CRM_Zamowienie",
        "CRM_Faktura",           "ERP_Faktura",
        "ERP_FakturaKorygujaca", "CRM_KasaPrzyjela",
        "ERP_Naleznosc",         "ERP_EXID_WydanieZMagazynu",
        "CRM_WydanieZMagazynu",  "ERP_EXID_Faktura",
        "ERP_WydanieZMagazynu",  "ERP_EXID_Zatowarowanie",
        "CRM_Zatowarowanie",     "ERP_PrzesuniecieMM",
        "ERP_EXID_Reklamacja",   "CRM_Reklamacja",
    };
    EXPECT_EQ(got, expected);
}

// ---- The work-directory lock.

// A child process that takes the lock of `dir` and holds it until killed.
class LockHolder {
public:
    explicit LockHolder(const std::filesystem::path& dir) {
        int fds[2];
        if (pipe(fds) != 0)
            throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const app::TWorkDirectoryLock lock(dir);
            const char state = lock.Locked() ? 'L' : 'N';
            (void)!write(fds[1], &state, 1);
            for (;;)
                pause();
        }
        close(fds[1]);
        char state = 0;
        Locked = read(fds[0], &state, 1) == 1 && state == 'L';
        close(fds[0]);
    }
    ~LockHolder() { Kill(); }
    // Ends the child abruptly, as a crash would.
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    bool Locked = false;

private:
    pid_t pid_ = -1;
};

TEST_F(DriverTest, SecondProcessRunIsRefusedByTheLock) {
    WriteRules({{"ERP_Produkt", "Towary testowe"}});
    AddGood(1, "Młotek");
    auto run = [&] {
        TTestDriver driver(Dm());
        driver.Classes["TM2CProduktListQueue"] = &exchange::MakeQueue<test::TM2CTestListQueue>;
        driver.ObjectList = app::ERP_Produkt;
        driver.Run();
    };

    LockHolder other(WorkDir());
    ASSERT_TRUE(other.Locked);
    run();
    EXPECT_EQ(Entries(LogLevel::Error),
              std::vector<std::string>{
                  "Katalog roboczy jest używany przez inny proces przetwarzania:\r\n   " +
                  Dm().SettingsFile().WorkDirectory + "\r\nPrzetwarzanie danych przerwane."});
    EXPECT_EQ(PendingCount(), 1);
    EXPECT_TRUE(CrmProducts().empty());

    // The holder crashes: the kernel drops its lock, and the next run works.
    other.Kill();
    run();
    EXPECT_EQ(PendingCount(), 0);
    EXPECT_EQ(CrmProducts(), std::vector<std::string>{"1=Młotek"});
    EXPECT_TRUE(app::TWorkDirectoryLock(WorkDir()).Locked()) << "the run released its lock";
}

TEST_F(DriverTest, RunWithoutAWorkDirectoryProcessesNothing) {
    WriteRules({{"ERP_Faktura", "Faktury"}});
    Dm().SettingsFile().WorkDirectory = (WorkDir() / "brak").string();
    TTestDriver driver(Dm());
    driver.Classes["TM2CZlecenieSPListQueue"] = Recording;
    driver.ObjectList = app::ERP_Faktura;
    driver.Run();
    EXPECT_TRUE(TRecordingQueue::Calls.empty());
    EXPECT_EQ(Entries(LogLevel::Error),
              std::vector<std::string>{"Brak katalogu roboczego:\r\n   " +
                                       (WorkDir() / "brak").string() +
                                       "\r\nPrzetwarzanie danych przerwane."});
}

} // namespace
