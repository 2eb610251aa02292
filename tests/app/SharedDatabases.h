#pragma once
// A test installation whose CRM and ERP databases are made from the
// installation's schema files, with TDM_Main started on it.

#include "app/TestInstallation.h"

#include "app/DM_Main.h"
#include "app/EmbeddedInstallation.h"
#include "core/Log.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pelmora::test {

class SharedDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        const auto data = installation_.Path(TestInstallation::DbFolder);
        app::CreateEmbeddedCrmDatabase(data, TestInstallation::CrmCatalog, true);
        app::CreateEmbeddedErpDatabase(data, TestInstallation::ErpCatalog, true);
        dm_ = std::make_unique<app::TDM_Main>();
        ASSERT_TRUE(dm_->ConnectionsReady);
    }

    app::TDM_Main& Dm() { return *dm_; }
    db::Connection& Crm() { return dm_->CRM_Connection; }
    db::Connection& Erp() { return dm_->ERP_Connection; }

    // The texts of the log entries of one level added after start-up.
    std::vector<std::string> Entries(core::LogLevel level) const {
        std::vector<std::string> out;
        const auto& entries = dm_->Log().Entries();
        for (size_t i = 1; i < entries.size(); ++i) // entry 0: "Start aplikacji"
            if (entries[i].Level == level)
                out.push_back(entries[i].Text);
        return out;
    }
    std::vector<std::string> Errors() const { return Entries(core::LogLevel::Error); }

    TestInstallation installation_;
    std::unique_ptr<app::TDM_Main> dm_;
};

} // namespace pelmora::test
