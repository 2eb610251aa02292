// The deployed ObjectRules.xml against the driver's build table, and the
// customer queue run by the driver from it, as the Start action runs it.

#include "CustomerTransfer.h"

#include "app/ProcessingRun.h"
#include "app/Queue.h"
#include "core/XMLSerializer.h"
#include "exchange/QueueObjectRules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace pelmora;

namespace {

const std::filesystem::path DeployedRules =
    std::filesystem::path(PELMORA_SOURCE_DIR) / "deploy" / "ObjectRules.xml";

// The entry's rules, read as the driver reads them.
void ReadEntry(const std::string& entry, exchange::TQueueObjectRules& rules) {
    auto serializer = core::CreateProgramSerializer(nullptr);
    EXPECT_TRUE(serializer->LoadFromFile(DeployedRules.string()));
    EXPECT_NE(serializer->LoadObject(&rules, entry), nullptr) << entry;
}

std::string ObjectNameOf(const std::string& entry) {
    exchange::TQueueObjectRules rules;
    ReadEntry(entry, rules);
    return rules.ObjectName;
}

} // namespace

TEST(DeployedObjectRules, EveryQueueHasItsNamesAndNoMarkIsPartOfAnother) {
    std::vector<std::string> marks;
    std::set<std::string> entries;
    for (const app::TQueueBuildRow& row : app::QueueBuildTable()) {
        if (!entries.insert(row.RulesEntry).second)
            continue;
        exchange::TQueueObjectRules r;
        ReadEntry(row.RulesEntry, r);
        EXPECT_FALSE(r.ObjectName.empty()) << row.RulesEntry;
        if (std::string(row.RulesEntry) == "ERP_StanMagazynowy") {
            // The customer queue passes no files.
            EXPECT_EQ(r.ObjectName, "Klienci");
            continue;
        }
        const bool crmToErp = std::string(row.QueueClass).starts_with("TC2M");
        const std::string source = crmToErp ? r.CRMLoadName : r.ERPLoadName;
        const std::string target = crmToErp ? r.ERPSaveName : r.CRMSaveName;
        const std::string sheet = crmToErp ? r.TransCRMtoERPName : r.TransERPtoCRMName;
        EXPECT_FALSE(source.empty() || target.empty()) << row.RulesEntry;
        EXPECT_TRUE(sheet.ends_with(".xsl")) << row.RulesEntry;
        marks.push_back(source);
        marks.push_back(target);
    }
    for (const std::string& a : marks)
        for (const std::string& b : marks)
            if (&a != &b) {
                EXPECT_EQ(b.find(a), std::string::npos) << a << " in " << b;
            }
    // The driver stamps the registry after these two by their object names.
    EXPECT_EQ(ObjectNameOf("ERP_WydanieZMagazynu"), "ERP_WydanieZMagazynu");
    EXPECT_EQ(ObjectNameOf("ERP_PrzesuniecieMM"), "ERP_PrzesuniecieMM");
}

class CustomerRun : public test::CustomerTransfer {};

TEST_F(CustomerRun, TheDriverBuildsTheCustomerQueueFromTheRulesEntry) {
    std::filesystem::copy_file(DeployedRules, installation_.Path("XML") / "ObjectRules.xml");
    test::CrmCustomer c{"{CUS-1}", "Salon Meblowy Jaworski", "Katowice", "40-098", "ul. Mariacka",
                        "15",      "645-101-66-32",          7};
    Add(c);
    test::ErpContractor k = test::SameAs(c);
    k.NipE = "645-101-66-23";
    Add(k);
    Dm().Przelaczniki().SwitchesFromObjectList(app::ERP_Klient);

    const app::ProcessingRunResult result = app::RunProcessing(Dm());
    EXPECT_TRUE(result.Succeeded()) << result.ErrorEntries;
    EXPECT_EQ(result.ProcessedItems, 1);
    EXPECT_EQ(Contractor(7), test::SameAs(c));
    const std::vector<std::string> events = Entries(core::LogLevel::Event);
    EXPECT_NE(std::find(events.begin(), events.end(),
                        "Przetworzono obiekt: Klienci\r\n"
                        "Liczba wszystkich elementów obiektu: 1\r\n"
                        "Liczba przetworzonych elementów obiektu: 1\r\n"
                        "Liczba nieprzetworzonych elementów obiektu: 0"),
              events.end());
}
