#pragma once
// A program directory with real embedded databases and a started TDM_Main,
// the test kind's tables and style sheet, and helpers to read the outcome.

#include "TestKind.h"
#include "app/DM_Main.h"
#include "app/TestInstallation.h"
#include "core/EventPump.h"
#include "core/Log.h"
#include "core/XMLSerializer.h"
#include "db/Query.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::test {

// Counts the event processing and runs a test's action there.
class CountingPump : public core::EventPump {
public:
    void ProcessEvents() override {
        ++Calls;
        if (OnEvents)
            OnEvents();
    }
    int Calls = 0;
    std::function<void()> OnEvents;
};

// One entry of ObjectRules.xml.
struct RulesEntry {
    std::string Entry;
    std::string ObjectName;
    std::string ErpLoad = TestSourceName;
    std::string CrmSave = TestTargetName;
    std::string Sheet = TestStyleSheet;
};

class ExchangeFixture : public ::testing::Test {
protected:
    ExchangeFixture() {
        WriteFileBytes(install_.Path("Transformacje") / TestStyleSheet, TestStyleSheetText);
        app::StartupOptions options;
        options.EventPump = &pump_;
        dm_ = std::make_unique<app::TDM_Main>(options);
        for (const char* sql : TestErpTables)
            dm_->ERP_Connection.Execute(sql);
        for (const char* sql : TestCrmTables)
            dm_->CRM_Connection.Execute(sql);
        TERPTestObject::LoadFromDBCalls = 0;
        TERPTestObject::AfterSave = nullptr;
    }
    ~ExchangeFixture() override { TERPTestObject::AfterSave = nullptr; }

    app::TDM_Main& Dm() { return *dm_; }
    CountingPump& Pump() { return pump_; }
    std::filesystem::path WorkDir() const { return install_.Path("Work"); }
    std::filesystem::path RulesPath() const { return install_.Path("XML") / "ObjectRules.xml"; }

    // A good in the ERP and, when `pending`, its row in the exchange table.
    void AddGood(int id, const std::string& name, bool pending = true) {
        Erp("insert into CDN.TestTowary (TT_Id, TT_Nazwa) values (" + std::to_string(id) + ", '" +
            name + "')");
        if (pending)
            AddPending(id);
    }
    void AddPending(int id) {
        Erp("insert into CDN.TestKolejka (TK_IdObiektu) values (" + std::to_string(id) + ")");
    }
    void Erp(const std::string& sql) { dm_->ERP_Connection.Execute(sql); }
    void Crm(const std::string& sql) { dm_->CRM_Connection.Execute(sql); }

    // The CRM products as "EXID=Nazwa", in insertion order.
    std::vector<std::string> CrmProducts() {
        db::Query q(dm_->CRM_Connection, "select TP_EXID, TP_Nazwa from dbo.TestProdukty");
        q.Open();
        std::vector<std::string> out;
        for (; !q.Eof(); q.Next())
            out.push_back(q.FieldByName("TP_EXID").ToString() + "=" +
                          q.FieldByName("TP_Nazwa").ToString());
        return out;
    }
    int PendingCount() {
        db::Query q(dm_->ERP_Connection, "select count(*) as N from CDN.TestKolejka");
        q.Open();
        return q.FieldByName("N").ToInt();
    }

    // Names of the files in the work directory, in name order (the lock file left out).
    std::vector<std::string> WorkFiles() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(WorkDir()))
            if (e.path().filename() != "Pelmora.lock")
                out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    // A file of `object` (its class's element) in the work directory.
    void PutObjectFile(const std::string& name, core::TPersistent& object) {
        auto s = dm_->CreateSerializer();
        s->SaveObject(&object, object.ClassName());
        ASSERT_TRUE(s->SaveToFile((WorkDir() / name).string()));
    }
    void PutSourceFile(const std::string& name, const std::string& id, const std::string& nazwa) {
        TERPTestObject o;
        o.ID = id;
        o.Nazwa = nazwa;
        PutObjectFile(name, o);
    }
    void PutTargetFile(const std::string& name, const std::string& exid, const std::string& nazwa) {
        TCRMTestObject o;
        o.EXID = exid;
        o.Nazwa = nazwa;
        PutObjectFile(name, o);
    }

    void WriteRules(const std::vector<RulesEntry>& entries) {
        auto s = dm_->CreateSerializer();
        for (const RulesEntry& e : entries) {
            exchange::TQueueObjectRules rules;
            rules.ObjectName = e.ObjectName;
            rules.ERPLoadName = e.ErpLoad;
            rules.CRMSaveName = e.CrmSave;
            rules.TransERPtoCRMName = e.Sheet;
            s->SaveObject(&rules, e.Entry);
        }
        ASSERT_TRUE(s->SaveToFile(RulesPath().string()));
    }

    // The test kind's queue on both connections with the kind's rules.
    std::unique_ptr<TM2CTestListQueue> NewTestQueue() {
        auto q = std::make_unique<TM2CTestListQueue>(*dm_);
        q->CrmConnection = &dm_->CRM_Connection;
        q->ErpConnection = &dm_->ERP_Connection;
        q->Rules.ObjectName = "Towary testowe";
        q->Rules.ERPLoadName = TestSourceName;
        q->Rules.CRMSaveName = TestTargetName;
        q->Rules.TransERPtoCRMName = TestStyleSheet;
        return q;
    }

    // Texts of the log entries of one level, in order.
    std::vector<std::string> Entries(core::LogLevel level) const {
        std::vector<std::string> out;
        for (const core::LogEntry& e : dm_->Log().Entries())
            if (e.Level == level)
                out.push_back(e.Text);
        return out;
    }
    bool Logged(core::LogLevel level, const std::string& text) const {
        const auto all = Entries(level);
        return std::find(all.begin(), all.end(), text) != all.end();
    }
    // Whether some entry of the level contains `part`.
    bool LoggedPart(core::LogLevel level, const std::string& part) const {
        for (const std::string& t : Entries(level))
            if (t.find(part) != std::string::npos)
                return true;
        return false;
    }

    TestInstallation install_;

private:
    CountingPump pump_;
    std::unique_ptr<app::TDM_Main> dm_;
};

} // namespace pelmora::test
