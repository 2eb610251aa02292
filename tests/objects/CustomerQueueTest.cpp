// The customer queue on real embedded CRM and ERP databases: which customers
// the comparison selects, what the update writes into their contractors, and
// how a stop, a failed update and an unreachable database end it.

#include "CustomerTransfer.h"

#include "app/DM_Klient.h"
#include "core/Text.h"
#include "objects/customers/C2M_KlientListQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace pelmora;
using objects::TC2M_KlientListQueue;
using test::CrmCustomer;
using test::ErpContractor;

namespace {

// `count` characters, a Polish letter (two bytes) among each ten.
std::string PolishText(size_t count) {
    const std::u32string pattern = U"Zażółćabcd";
    std::u32string text;
    for (size_t i = 0; i < count; ++i)
        text += pattern[i % pattern.size()];
    return core::U32ToUtf8(text);
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A customer whose data the ERP holds as given by `erp` (defaults: the same).
CrmCustomer Customer(int id, const std::string& name) {
    return {"{CUS-" + std::to_string(id) + "}",
            name,
            "Kraków",
            "31-042",
            "ul. Grodzka",
            "27",
            "677-198-34-12",
            id};
}

} // namespace

TEST(SplitKontrahentName, FiftyCharactersGoWholeIntoTheFirstPart) {
    const struct {
        size_t Length;
        size_t First, Second;
    } cases[] = {{0, 0, 0}, {49, 49, 0}, {50, 50, 0}, {51, 50, 1}, {120, 50, 70}};
    for (const auto& c : cases) {
        const std::string name = PolishText(c.Length);
        std::string nazwa = "x", nazwa2 = "x";
        objects::SplitKontrahentName(name, nazwa, nazwa2);
        EXPECT_EQ(core::Utf8Length(nazwa), c.First) << c.Length;
        EXPECT_EQ(core::Utf8Length(nazwa2), c.Second) << c.Length;
        EXPECT_EQ(nazwa + nazwa2, name) << c.Length;
    }
}

class CustomerQueue : public test::CustomerTransfer {
protected:
    // One Process of a fresh queue, as the driver runs it.
    TC2M_KlientListQueue& Run() {
        queue_ = std::make_unique<TC2M_KlientListQueue>(Dm());
        queue_->ErpConnection = &Dm().ERP_Connection;
        queue_->CrmConnection = &Dm().CRM_Connection;
        queue_->Process();
        return *queue_;
    }
    // Customers 1 to 3, each of whose contractors has another city.
    void AddThreeDifferingCustomers() {
        for (int id = 1; id <= 3; ++id) {
            const CrmCustomer c = Customer(id, "Klient " + std::to_string(id));
            Add(c);
            ErpContractor k = test::SameAs(c);
            k.Miasto = "Inne";
            Add(k);
        }
    }
    std::unique_ptr<TC2M_KlientListQueue> queue_;
};

TEST_F(CustomerQueue, LongNamesAreSplitAtFiftyCharactersAndThenAgree) {
    const CrmCustomer fifty = Customer(1, PolishText(50));
    const CrmCustomer long120 = Customer(2, PolishText(120));
    const CrmCustomer same = Customer(3, "Piekarnia Złoty Kłos s.c.");
    for (const CrmCustomer& c : {fifty, long120, same}) {
        Add(c);
        ErpContractor k = test::SameAs(c);
        if (c.KntId != 3)
            k.Nazwa1 = "Stara nazwa";
        Add(k);
    }

    TC2M_KlientListQueue& q = Run();
    EXPECT_EQ(q.DatabaseItemCount, 2);
    EXPECT_EQ(Dm().Progress().Processed(), 2);
    EXPECT_EQ(Dm().Progress().Failed(), 0);
    EXPECT_EQ(Contractor(1).Nazwa1, fifty.Name);
    EXPECT_EQ(Contractor(1).Nazwa2, "");
    EXPECT_EQ(core::Utf8Length(*Contractor(2).Nazwa1), 50u);
    EXPECT_EQ(core::Utf8Length(*Contractor(2).Nazwa2), 70u);
    EXPECT_EQ(*Contractor(2).Nazwa1 + *Contractor(2).Nazwa2, long120.Name);
    EXPECT_EQ(Contractor(3), test::SameAs(same));

    // The joined parts now equal the CRM name: nothing is selected any more.
    EXPECT_EQ(Run().DatabaseItemCount, 0);
    EXPECT_TRUE(Contains(Entries(core::LogLevel::Info), "Liczba elementów: 0"));
}

TEST_F(CustomerQueue, NullIsWrittenAsTheEmptyTextAndDoesNotSelectByItself) {
    // Selected for its street; its NULL city goes into the ERP as ''.
    CrmCustomer moved = Customer(1, "Apteka Pod Orłem");
    moved.City.reset();
    ErpContractor movedErp = test::SameAs(moved);
    movedErp.Miasto = "Wrocław";
    movedErp.Ulica = "ul. Stara";
    // Differs only by a NULL tax number: not selected.
    CrmCustomer noNip = Customer(2, "Kwiaciarnia Storczyk");
    noNip.TaxNumber.reset();
    ErpContractor noNipErp = test::SameAs(noNip);
    noNipErp.NipE = "715-260-31-85";
    Add(moved);
    Add(movedErp);
    Add(noNip);
    Add(noNipErp);

    EXPECT_EQ(Run().DatabaseItemCount, 1);
    ErpContractor expected = test::SameAs(moved);
    expected.Miasto = "";
    EXPECT_EQ(Contractor(1), expected);
    EXPECT_EQ(Contractor(2), noNipErp);
    // NULL against '' is no difference either.
    EXPECT_EQ(Run().DatabaseItemCount, 0);
}

TEST_F(CustomerQueue, ValuesAreTrimmedSoLeadingBlanksSelectAgainInEveryRun) {
    CrmCustomer c = Customer(1, "\t Hotel Nad Wisłą ");
    c.Street = "   ul. Bulwar Filadelfijski";
    Add(c);
    ErpContractor k = test::SameAs(c);
    k.Ulica = "ul. Stara";
    Add(k);

    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Run().DatabaseItemCount, 1) << run;
        EXPECT_EQ(Contractor(1).Ulica, "ul. Bulwar Filadelfijski");
        EXPECT_EQ(Contractor(1).Nazwa1, "Hotel Nad Wisłą");
    }
    // The CRM keeps its value.
    db::Query crm(Dm().CRM_Connection, "select ADR_STREET from dbo.ADDRESS");
    crm.Open();
    EXPECT_EQ(crm.FieldByName("ADR_STREET").ToString(), "   ul. Bulwar Filadelfijski");
}

TEST_F(CustomerQueue, TrailingBlanksAreNoDifferenceButABlankAtTheSplitIs) {
    // Trailing blanks are ignored when texts are compared (as on SQL Server).
    CrmCustomer padded = Customer(1, "Kwiaciarnia Storczyk");
    padded.City = "Kraków  ";
    ErpContractor paddedErp = test::SameAs(padded);
    paddedErp.Miasto = "Kraków";
    Add(padded);
    Add(paddedErp);
    // A blank as the 50th or the 51st character is trimmed off one of the two
    // parts, so the joined parts never equal the name again.
    const CrmCustomer blank50 = Customer(2, PolishText(49) + " " + PolishText(20));
    const CrmCustomer blank51 = Customer(3, PolishText(50) + " " + PolishText(10));
    for (const CrmCustomer& c : {blank50, blank51}) {
        Add(c);
        ErpContractor k = test::SameAs(c);
        k.Nazwa1 = "Stara nazwa";
        Add(k);
    }

    for (int run = 0; run < 2; ++run) {
        TC2M_KlientListQueue& q = Run();
        ASSERT_EQ(q.DatabaseItemCount, 2) << run;
        std::vector<std::string> ids{q.Items[0].Knt_KntId, q.Items[1].Knt_KntId};
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, (std::vector<std::string>{"2", "3"})) << run;
    }
    EXPECT_EQ(Contractor(2).Nazwa1, PolishText(49));
    EXPECT_EQ(Contractor(2).Nazwa2, PolishText(20));
    EXPECT_EQ(Contractor(3).Nazwa1, PolishText(50));
    EXPECT_EQ(Contractor(3).Nazwa2, PolishText(10));
    EXPECT_EQ(Contractor(1), paddedErp);
}

TEST_F(CustomerQueue, StopDuringCollectionProcessesNothing) {
    AddThreeDifferingCustomers();
    pump_.OnEvents = [this] { Dm().StopRequested = true; };
    const size_t from = Dm().Log().Entries().size();
    Dm().Progress().StartElementProgress(7); // counters of an earlier queue

    TC2M_KlientListQueue& q = Run();
    EXPECT_EQ(q.Items.size(), 1u);
    EXPECT_EQ(q.DatabaseItemCount, 0);
    EXPECT_EQ(Dm().Progress().Total(), 7); // StartElementProgress not reached
    for (int id = 1; id <= 3; ++id)
        EXPECT_EQ(Contractor(id).Miasto, "Inne");
    const std::vector<std::string> info = Entries(core::LogLevel::Info, from);
    EXPECT_EQ(info, std::vector<std::string>{"Rozpoczęcie zbierania obiektów z bazy danych"});
    EXPECT_TRUE(Entries(core::LogLevel::Error, from).empty());
}

TEST_F(CustomerQueue, StopDuringProcessingLeavesTheRestForTheNextRun) {
    AddThreeDifferingCustomers();
    pump_.OnEvents = [this] {
        if (Dm().Progress().Processed() == 1)
            Dm().StopRequested = true;
    };
    EXPECT_EQ(Run().DatabaseItemCount, 3);
    EXPECT_EQ(Dm().Progress().Processed(), 1);
    EXPECT_EQ(Dm().Progress().Failed(), 0);

    pump_.OnEvents = nullptr;
    Dm().StopRequested = false;
    EXPECT_EQ(Run().DatabaseItemCount, 2);
    EXPECT_EQ(Dm().Progress().Processed(), 2);
    for (int id = 1; id <= 3; ++id)
        EXPECT_EQ(Contractor(id).Miasto, "Kraków");
}

TEST_F(CustomerQueue, FailedUpdateIsCountedWithItsCauseAndSelectedAgain) {
    for (int id = 1; id <= 2; ++id) {
        const CrmCustomer c = Customer(id, "Klient " + std::to_string(id));
        Add(c);
        ErpContractor k = test::SameAs(c);
        k.KodPocztowy = "00-000";
        Add(k);
    }
    // The ERP refuses to change contractor 1.
    Dm().ERP_Connection.Execute(
        "CREATE TRIGGER CDN.Kontrahenci_Blokada BEFORE UPDATE ON Kontrahenci"
        " WHEN old.Knt_KntId = 1 BEGIN SELECT RAISE(ABORT, 'kontrahent zablokowany'); END");
    const size_t from = Dm().Log().Entries().size();

    EXPECT_EQ(Run().DatabaseItemCount, 2);
    EXPECT_EQ(Dm().Progress().Processed(), 1);
    EXPECT_EQ(Dm().Progress().Failed(), 1);
    EXPECT_EQ(Contractor(1).KodPocztowy, "00-000");
    EXPECT_EQ(Contractor(2).KodPocztowy, "31-042");
    const std::vector<std::string> errors = Entries(core::LogLevel::Error, from);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(
        errors[0].starts_with("Błąd aktualizacji danych kontrahenta o ID=1 (klient {CUS-1}):\r\n"))
        << errors[0];
    EXPECT_NE(errors[0].find("kontrahent zablokowany"), std::string::npos) << errors[0];
    EXPECT_TRUE(Contains(Entries(core::LogLevel::Event, from), "Obiekt nieprzetworzony poprawnie"));

    EXPECT_EQ(Run().DatabaseItemCount, 1);
}

TEST_F(CustomerQueue, UnreachableCrmDatabaseEndsTheQueueWithItsCause) {
    const CrmCustomer c = Customer(1, "Klient 1");
    Add(c);
    ErpContractor k = test::SameAs(c);
    k.Miasto = "Inne";
    Add(k);
    // The ERP connection reaches the CRM's dbo on first use: without it the
    // comparison cannot run.
    std::filesystem::remove(installation_.Path("db") / "CRM" / "dbo.sqlite");
    const size_t from = Dm().Log().Entries().size();

    EXPECT_EQ(Run().Items.size(), 0u);
    EXPECT_EQ(Contractor(1).Miasto, "Inne");
    const std::vector<std::string> errors = Entries(core::LogLevel::Error, from);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with(
        "Błąd podczas zbierania zmienionych danych klientów z bazy danych:\r\n"))
        << errors[0];
    EXPECT_FALSE(Contains(Entries(core::LogLevel::Info, from), "Liczba elementów: 0"));
}
