#pragma once
// A started program on a test installation whose CRM and ERP databases are
// made from the installation's schema files, with helpers that put customers
// into the CRM and contractors into the ERP and read the contractors back.

#include "app/TestInstallation.h"

#include "app/DM_Main.h"
#include "app/EmbeddedInstallation.h"
#include "app/ProgramModules.h"
#include "core/EventPump.h"
#include "core/Log.h"
#include "db/Query.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::test {

using OptText = std::optional<std::string>; // nullopt: NULL

// A customer as the CRM holds it, linked to contractor KntId.
struct CrmCustomer {
    std::string Guid;
    OptText Name, City, PostalCode, Street, HouseNumber, TaxNumber;
    int KntId = 0;
};

// A contractor row of the ERP.
struct ErpContractor {
    int KntId = 0;
    OptText Nazwa1, Nazwa2, Miasto, KodPocztowy, Ulica, NrDomu, NipE;
    bool operator==(const ErpContractor&) const = default;
};

// The contractor that agrees with `c` (a name up to 50 characters).
inline ErpContractor SameAs(const CrmCustomer& c) {
    return {c.KntId,      c.Name,   std::string(), c.City,
            c.PostalCode, c.Street, c.HouseNumber, c.TaxNumber};
}

// Calls `onEvents` whenever the program processes pending events.
class CallbackPump : public core::EventPump {
public:
    std::function<void()> OnEvents;
    void ProcessEvents() override {
        if (OnEvents)
            OnEvents();
    }
};

class CustomerTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        const auto data = installation_.Path(TestInstallation::DbFolder);
        app::CreateEmbeddedCrmDatabase(data, TestInstallation::CrmCatalog, true);
        app::CreateEmbeddedErpDatabase(data, TestInstallation::ErpCatalog, true);
        app::StartupOptions options;
        options.EventPump = &pump_;
        modules_ = std::make_unique<app::ProgramModules>(options);
        ASSERT_TRUE(Dm().ConnectionsReady);
    }

    app::TDM_Main& Dm() { return modules_->Main(); }

    static core::Variant Value(const OptText& v) {
        return v ? core::Variant::FromOleStr(*v) : core::Variant::Null();
    }
    static OptText Text(const core::Variant& v) {
        return v.IsNull() ? std::nullopt : OptText(v.ToString());
    }

    void Add(const CrmCustomer& c) {
        db::Connection& crm = Dm().CRM_Connection;
        db::Query customer(crm, "insert into dbo.CUSTOMER (CUS_GUID, CUS_LONG_NAME, CUS_TAX_NUMBER)"
                                " values (:Guid, :Name, :Nip)");
        customer.SetParam("Guid", c.Guid);
        customer.SetParam("Name", Value(c.Name));
        customer.SetParam("Nip", Value(c.TaxNumber));
        customer.Execute();
        db::Query address(crm, "insert into dbo.ADDRESS (ADR_GUID, ADR_GUID_CUS, ADR_CITY,"
                               " ADR_POSTALCODE, ADR_STREET, ADR_HOUSENUMBER)"
                               " values (:AdrGuid, :Guid, :City, :Code, :Street, :House)");
        address.SetParam("AdrGuid", "A" + c.Guid);
        address.SetParam("Guid", c.Guid);
        address.SetParam("City", Value(c.City));
        address.SetParam("Code", Value(c.PostalCode));
        address.SetParam("Street", Value(c.Street));
        address.SetParam("House", Value(c.HouseNumber));
        address.Execute();
        db::Query link(crm, "insert into dbo.CUSTOMER_ORGANIZATION (CUO_GUID_CUS, CUO_ID_ORG,"
                            " CUO_EXID_CUS) values (:Guid, 1, :Knt)");
        link.SetParam("Guid", c.Guid);
        link.SetParam("Knt", c.KntId);
        link.Execute();
    }

    void Add(const ErpContractor& k) {
        db::Query q(Dm().ERP_Connection,
                    "insert into CDN.Kontrahenci (Knt_KntId, Knt_Nazwa1, Knt_Nazwa2, Knt_Miasto,"
                    " Knt_KodPocztowy, Knt_Ulica, Knt_NrDomu, Knt_NipE)"
                    " values (:Id, :N1, :N2, :Miasto, :Kod, :Ulica, :Nr, :Nip)");
        q.SetParam("Id", k.KntId);
        q.SetParam("N1", Value(k.Nazwa1));
        q.SetParam("N2", Value(k.Nazwa2));
        q.SetParam("Miasto", Value(k.Miasto));
        q.SetParam("Kod", Value(k.KodPocztowy));
        q.SetParam("Ulica", Value(k.Ulica));
        q.SetParam("Nr", Value(k.NrDomu));
        q.SetParam("Nip", Value(k.NipE));
        q.Execute();
    }

    ErpContractor Contractor(int id) {
        db::Query q(Dm().ERP_Connection, "select * from CDN.Kontrahenci where Knt_KntId = :Id");
        q.SetParam("Id", id);
        q.Open();
        EXPECT_FALSE(q.Eof()) << "no contractor " << id;
        if (q.Eof())
            return {};
        return {id,
                Text(q.FieldByName("Knt_Nazwa1")),
                Text(q.FieldByName("Knt_Nazwa2")),
                Text(q.FieldByName("Knt_Miasto")),
                Text(q.FieldByName("Knt_KodPocztowy")),
                Text(q.FieldByName("Knt_Ulica")),
                Text(q.FieldByName("Knt_NrDomu")),
                Text(q.FieldByName("Knt_NipE"))};
    }

    // The texts of the entries of one level since entry `from`.
    std::vector<std::string> Entries(core::LogLevel level, size_t from = 0) {
        std::vector<std::string> out;
        const auto& entries = Dm().Log().Entries();
        for (size_t i = from; i < entries.size(); ++i)
            if (entries[i].Level == level)
                out.push_back(entries[i].Text);
        return out;
    }

    TestInstallation installation_;
    CallbackPump pump_;
    std::unique_ptr<app::ProgramModules> modules_;
};

} // namespace pelmora::test
