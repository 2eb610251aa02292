// The queue pattern with the tests' object kind on real embedded databases:
// the collection of n pending database items and m leftover files (keys that
// no database item has, so every file is checked against all items), for
// 1 000 + 1 000 and 4 000 + 4 000, with the ratio of the two times (about 4
// when the collection is linear, 16 when it is quadratic); then the cost per
// item of a whole run (export, transformation, import).

#include "../tests/exchange/TestKind.h"

#include "app/DM_Main.h"
#include "core/XMLSerializer.h"
#include "db/EmbeddedDatabase.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace pelmora;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

// Measurements per collection size; the best one is printed.
constexpr int Repeats = 3;
// Items of the whole-run measurement.
constexpr int RunItems = 500;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// A program directory with Pelmora.ini, its four directories and both
// databases, removed at the end.
class Installation {
public:
    Installation() {
        std::string tmpl = (fs::temp_directory_path() / "pelmora-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir_ = tmpl;
        for (const char* d : {"Log", "XML", "Work", "Transformacje"})
            fs::create_directories(dir_ / d);
        db::CreateEmbeddedDatabase(dir_ / "db", "CRM", {{"dba", {}}, {"dbo", {}}});
        db::CreateEmbeddedDatabase(dir_ / "db", "ERP", {{"CDN", {}}});
        std::ofstream ini(dir_ / "Pelmora.ini", std::ios::binary);
        ini << "[PATH]\r\nLogDir=\\Log\r\nXMLSubDir=\\XML\r\nDefaultSubDirWork=\\Work\r\n"
               "TransforSubDir=\\Transformacje\r\n\r\n"
               "[OPTIMA]\r\nOptima_Serwer_Bazy=sqlite:db\r\nOptima_Nazwa_Bazy=ERP\r\n"
               "Optima_UzytkownikBazy=sa\r\nOptima_HasloBazy=x\r\n\r\n"
               "[Tomba]\r\nTomba_Serwer_Bazy=sqlite:db\r\nTomba_Nazwa_Bazy=CRM\r\n"
               "Tomba_UzytkownikBazy=crm\r\nTomba_HasloBazy=x\r\n";
        ini.close();
        std::ofstream sheet(dir_ / "Transformacje" / test::TestStyleSheet, std::ios::binary);
        sheet << test::TestStyleSheetText;
        setenv("PELMORA_HOME", dir_.c_str(), 1);
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path Work() const { return dir_ / "Work"; }

private:
    fs::path dir_;
};

void Reset(app::TDM_Main& dm, const fs::path& work) {
    dm.ERP_Connection.Execute("delete from CDN.TestKolejka");
    dm.ERP_Connection.Execute("delete from CDN.TestTowary");
    dm.CRM_Connection.Execute("delete from dbo.TestProdukty");
    for (const auto& e : fs::directory_iterator(work))
        fs::remove_all(e.path());
}

// Goods 1..n pending in the ERP.
void AddPendingGoods(app::TDM_Main& dm, int n) {
    dm.ERP_Connection.BeginTransaction();
    db::Query good(dm.ERP_Connection,
                   "insert into CDN.TestTowary (TT_Id, TT_Nazwa) values (:Id, :Nazwa)");
    db::Query pending(dm.ERP_Connection, "insert into CDN.TestKolejka (TK_IdObiektu) values (:Id)");
    for (int id = 1; id <= n; ++id) {
        good.SetParam("Id", id);
        good.SetParam("Nazwa", "Towar zażółć " + std::to_string(id));
        good.Execute();
        pending.SetParam("Id", id);
        pending.Execute();
    }
    dm.ERP_Connection.Commit();
}

// m source files of goods that are not pending (ids after n).
void AddLeftoverFiles(app::TDM_Main& dm, const fs::path& work, int n, int m) {
    for (int i = 1; i <= m; ++i) {
        test::TERPTestObject o;
        o.ID = std::to_string(n + i);
        o.Nazwa = "Pozostały " + std::to_string(i);
        auto s = dm.CreateSerializer();
        s->SaveObject(&o, o.ClassName());
        s->SaveToFile(
            (work / (std::string(test::TestSourceName) + "__{" + std::to_string(i) + "}.xml"))
                .string());
    }
}

std::unique_ptr<test::TM2CTestListQueue> NewQueue(app::TDM_Main& dm) {
    auto q = std::make_unique<test::TM2CTestListQueue>(dm);
    q->CrmConnection = &dm.CRM_Connection;
    q->ErpConnection = &dm.ERP_Connection;
    q->Rules.ObjectName = "Towary testowe";
    q->Rules.ERPLoadName = test::TestSourceName;
    q->Rules.CRMSaveName = test::TestTargetName;
    q->Rules.TransERPtoCRMName = test::TestStyleSheet;
    return q;
}

double CollectSeconds(app::TDM_Main& dm, const fs::path& work, int count) {
    Reset(dm, work);
    AddPendingGoods(dm, count);
    AddLeftoverFiles(dm, work, count, count);
    double best = 1e30;
    for (int r = 0; r < Repeats; ++r) {
        auto q = NewQueue(dm);
        const Clock::time_point start = Clock::now();
        const bool ok = q->CollectItems();
        best = std::min(best, Seconds(start));
        if (!ok || q->Items.size() != static_cast<size_t>(2 * count)) {
            std::fprintf(stderr, "collection of %d + %d gave %zu items\n", count, count,
                         q->Items.size());
            std::exit(1);
        }
    }
    return best;
}

} // namespace

int main() {
    Installation inst;
    app::TDM_Main dm;
    if (!dm.ConnectionsReady) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    for (const char* sql : test::TestErpTables)
        dm.ERP_Connection.Execute(sql);
    for (const char* sql : test::TestCrmTables)
        dm.CRM_Connection.Execute(sql);

    const double small = CollectSeconds(dm, inst.Work(), 1000);
    std::printf("collection, 1000 database items + 1000 files: %8.1f ms\n", small * 1000);
    const double large = CollectSeconds(dm, inst.Work(), 4000);
    std::printf("collection, 4000 database items + 4000 files: %8.1f ms\n", large * 1000);
    std::printf("ratio 4000/1000: %.2f (linear about 4, quadratic about 16)\n", large / small);

    Reset(dm, inst.Work());
    AddPendingGoods(dm, RunItems);
    auto q = NewQueue(dm);
    const Clock::time_point start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    q->Process();
    const double run = Seconds(start);
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    if (dm.Progress().Processed() != RunItems) {
        std::fprintf(stderr, "whole run processed %d of %d items\n", dm.Progress().Processed(),
                     RunItems);
        return 1;
    }
    std::printf("whole run, %d items: %.1f ms, %.3f ms per item (processor %.3f ms per item; the "
                "rest waits for the databases' durable commits)\n",
                RunItems, run * 1000, run * 1000 / RunItems, cpu * 1000 / RunItems);
    return 0;
}
