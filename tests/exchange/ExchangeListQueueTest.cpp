// The queue pattern with the test kind: real embedded databases, real files
// in the work directory and the real style sheet step.
#include "ExchangeFixture.h"

#include "core/TextEncoding.h"

#include <gtest/gtest.h>

using namespace pelmora;
using core::LogLevel;
using pelmora::test::TERPTestObject;
using pelmora::test::TestSourceName;
using pelmora::test::TestTargetName;

namespace {

class ListQueueTest : public test::ExchangeFixture {
protected:
    // A queue of the test kind run once; the progress counters after it.
    struct Outcome {
        int Total = 0, Processed = 0, Failed = 0;
    };
    Outcome RunQueue(test::TM2CTestListQueue& q) {
        q.Process();
        return {Dm().Progress().Total(), Dm().Progress().Processed(), Dm().Progress().Failed()};
    }
    Outcome RunQueue() {
        auto q = NewTestQueue();
        return RunQueue(*q);
    }
    static bool StartsWith(const std::string& s, const std::string& prefix) {
        return s.rfind(prefix, 0) == 0;
    }
};

TEST_F(ListQueueTest, DatabaseItemGoesThroughTheWholeChain) {
    AddGood(12, "Młotek ślusarski");
    const Outcome o = RunQueue();
    EXPECT_EQ(o.Total, 1);
    EXPECT_EQ(o.Processed, 1);
    EXPECT_EQ(o.Failed, 0);
    EXPECT_EQ(CrmProducts(), std::vector<std::string>{"12=Młotek ślusarski"});
    EXPECT_EQ(PendingCount(), 0);
    EXPECT_TRUE(WorkFiles().empty()) << "every file is deleted after its next stage";

    // The collection lines, in order, around the two counts.
    const std::vector<std::string> info = Entries(LogLevel::Info);
    const std::vector<std::string> expected = {
        "Rozpoczęcie zbierania obiektów z bazy danych",
        "Liczba elementów: 1",
        "Zakończenie zbierania obiektów z bazy danych",
        "Rozpoczęcie zbierania obiektów z plików z katalogu roboczego",
        "Liczba elementów: 0",
        "Zakończenie zbierania obiektów z plików z katalogu roboczego",
    };
    EXPECT_EQ(info, expected);
    EXPECT_TRUE(Logged(LogLevel::Event, "Przetwarzany element: 1/1"));
    EXPECT_TRUE(Logged(LogLevel::Event, "Obiekt przetworzony poprawnie"));
}

TEST_F(ListQueueTest, StopAfterExportLeavesTheSourceFileForTheNextRun) {
    AddGood(5, "Klucz");
    AddGood(6, "Wkrętak");
    TERPTestObject::AfterSave = [this] { Dm().StopRequested = true; };
    const Outcome first = RunQueue();
    EXPECT_EQ(first.Total, 2);
    EXPECT_EQ(first.Failed, 1) << "the stopped item counts as not processed";
    EXPECT_EQ(first.Processed, 0);
    EXPECT_TRUE(CrmProducts().empty());
    const std::vector<std::string> left = WorkFiles();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(StartsWith(left[0], std::string(TestSourceName) + "__{")) << left[0];
    EXPECT_EQ(PendingCount(), 1) << "the second good was never reached";

    // The next run: the file is a stage 1 item, the database is not read for it.
    TERPTestObject::AfterSave = nullptr;
    Dm().StopRequested = false;
    Erp("delete from CDN.TestKolejka");
    TERPTestObject::LoadFromDBCalls = 0;
    auto q = NewTestQueue();
    const Outcome second = RunQueue(*q);
    EXPECT_EQ(q->DatabaseItemCount, 0);
    ASSERT_EQ(q->Items.size(), 1u);
    EXPECT_EQ(q->Items[0]->Stage, exchange::StageSourceFile);
    EXPECT_EQ(second.Processed, 1);
    EXPECT_EQ(TERPTestObject::LoadFromDBCalls, 0);
    EXPECT_EQ(CrmProducts(), std::vector<std::string>{"5=Klucz"});
    EXPECT_TRUE(WorkFiles().empty());
}

TEST_F(ListQueueTest, ExistingTargetFileMakesTheTransformationRefuse) {
    AddGood(7, "Piła");
    // A result of an earlier run, for another good, under the name the
    // transformation is going to use.
    const std::string target = std::string(TestTargetName) + "__{0000-ISTNIEJE}.xml";
    PutTargetFile(target, "99", "Stary wynik");
    auto q = NewTestQueue();
    q->ForcedNames[TestTargetName] = target;
    const Outcome o = RunQueue(*q);

    ASSERT_EQ(q->Items.size(), 2u);
    EXPECT_EQ(q->Items[0]->Stage, exchange::StageDatabase);
    EXPECT_EQ(q->Items[1]->Stage, exchange::StageTargetFile);
    EXPECT_EQ(o.Failed, 1);
    EXPECT_EQ(o.Processed, 1) << "the leftover target file is imported after the refusal";
    EXPECT_TRUE(LoggedPart(LogLevel::Error, "W katalogu roboczym znajduje się plik: \r\n  "));
    EXPECT_EQ(CrmProducts(), std::vector<std::string>{"99=Stary wynik"});
    const std::vector<std::string> left = WorkFiles();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(StartsWith(left[0], std::string(TestSourceName) + "__{"))
        << "the source file stays for the next run";
}

TEST_F(ListQueueTest, RecordPendingAgainSupersedesItsLeftoverFiles) {
    AddGood(3, "Nowa nazwa");
    const std::string oldSource = std::string(TestSourceName) + "__{A}.xml";
    const std::string oldTarget = std::string(TestTargetName) + "__{B}.xml";
    const std::string otherSource = std::string(TestSourceName) + "__{C}.xml";
    PutSourceFile(oldSource, "3", "Stara nazwa");
    PutTargetFile(oldTarget, "3", "Stara nazwa");
    PutSourceFile(otherSource, "4", "Inny towar");

    auto q = NewTestQueue();
    ASSERT_TRUE(q->CollectItems());
    EXPECT_EQ(q->DatabaseItemCount, 1);
    ASSERT_EQ(q->Items.size(), 2u);
    EXPECT_EQ(q->Items[1]->FileName, otherSource);
    EXPECT_EQ(WorkFiles(), std::vector<std::string>{otherSource})
        << "both files of the pending record are deleted at collection";
    EXPECT_TRUE(Logged(LogLevel::Info, "Liczba elementów: 1"));

    q->Process();
    EXPECT_EQ(CrmProducts(), (std::vector<std::string>{"3=Nowa nazwa", "4=Inny towar"}));
}

TEST_F(ListQueueTest, WorkDirectoryEntriesByRuleNameInNameOrder) {
    const std::string both = std::string(TestSourceName) + "_" + TestTargetName + "__{D}.xml";
    PutSourceFile(both, "8", "Oba znaczniki");
    PutSourceFile(std::string(TestSourceName) + "__{B}.xml", "9", "Drugi");
    PutSourceFile(std::string(TestSourceName) + "__{A}.XML", "10", "Wielkie litery");
    PutSourceFile("Inny__{E}.xml", "11", "Obcy plik");
    PutSourceFile(std::string(TestSourceName) + "__{F}.txt", "12", "Nie XML");
    std::filesystem::create_directory(WorkDir() / (std::string(TestSourceName) + "__{G}.xml"));

    auto q = NewTestQueue();
    ASSERT_TRUE(q->CollectItems());
    std::vector<std::string> got;
    for (const auto& item : q->Items)
        got.push_back(std::to_string(item->Stage) + " " + item->FileName);
    // Byte order of the names: "ERP_Test_C..." before "ERP_Test__...".
    const std::vector<std::string> expected = {
        "1 " + both,
        "2 " + both,
        "1 " + std::string(TestSourceName) + "__{A}.XML",
        "1 " + std::string(TestSourceName) + "__{B}.xml",
    };
    EXPECT_EQ(got, expected);
    EXPECT_EQ(WorkFiles().size(), 6u) << "files of no rule name are never touched";
}

TEST_F(ListQueueTest, FileWithBothRuleNamesNeverImportsAnEmptyRecord) {
    const std::string both = std::string(TestSourceName) + "_" + TestTargetName + "__{D}.xml";
    {
        SCOPED_TRACE("stage 1 runs first and takes the file away from the stage 2 item");
        PutSourceFile(both, "8", "Oba znaczniki");
        auto q = NewTestQueue();
        const Outcome o = RunQueue(*q);
        EXPECT_EQ(o.Total, 2);
        EXPECT_EQ(o.Processed, 1);
        EXPECT_EQ(o.Failed, 1) << "the stage 2 item finds no file";
        EXPECT_EQ(CrmProducts(), std::vector<std::string>{"8=Oba znaczniki"});
        EXPECT_TRUE(WorkFiles().empty());
    }
    Crm("delete from dbo.TestProdukty");
    {
        SCOPED_TRACE("the file is superseded by a pending record: no stage 2 item is left");
        PutSourceFile(both, "9", "Stara nazwa");
        AddGood(9, "Nowa nazwa");
        auto q = NewTestQueue();
        ASSERT_TRUE(q->CollectItems());
        EXPECT_EQ(q->Items.size(), 1u);
        q->Process();
        EXPECT_EQ(CrmProducts(), std::vector<std::string>{"9=Nowa nazwa"});
    }
}

TEST_F(ListQueueTest, EmptyRuleNameMatchesNoFileAndTheQueueDoesNotRun) {
    PutSourceFile(std::string(TestSourceName) + "__{A}.xml", "1", "Towar");
    AddGood(2, "Z bazy");
    auto q = NewTestQueue();
    q->Rules.CRMSaveName.clear();
    q->Process();
    EXPECT_TRUE(Logged(LogLevel::Error, "Brak nazw plików wymiany obiektu Towary testowe w pliku "
                                        "konfiguracyjnym\r\nPrzetwarzanie obiektu przerwane"));
    EXPECT_EQ(PendingCount(), 1) << "nothing was exported under an empty name";
    EXPECT_EQ(Dm().Progress().Total(), 0);
}

TEST_F(ListQueueTest, MalformedLeftoverFileIsAnItemWithAnEmptyKey) {
    const std::string broken = std::string(TestSourceName) + "__{ZLY}.xml";
    test::WriteFileBytes(WorkDir() / broken, "<classes><class classname=");
    // A database item whose key texts are empty does not supersede it either.
    Erp("insert into CDN.TestKolejka (TK_IdObiektu) values ('')");
    auto q = NewTestQueue();
    ASSERT_TRUE(q->CollectItems());
    ASSERT_EQ(q->Items.size(), 2u);
    EXPECT_EQ(q->Items[1]->Stage, exchange::StageSourceFile);
    EXPECT_EQ(q->Items[1]->FileName, broken);

    const Outcome o = RunQueue(*q);
    EXPECT_EQ(o.Failed, 2);
    EXPECT_EQ(WorkFiles(), std::vector<std::string>{broken}) << "a failed item keeps its file";
}

TEST_F(ListQueueTest, FailedItemDoesNotStopTheQueue) {
    AddPending(40); // no such good: its LoadFromDB fails
    AddGood(41, "Obcęgi");
    PutTargetFile(std::string(TestTargetName) + "__{A}.xml", "42", "Z pliku");
    const Outcome o = RunQueue();
    EXPECT_EQ(o.Total, 3);
    EXPECT_EQ(o.Failed, 1);
    EXPECT_EQ(o.Processed, 2);
    EXPECT_EQ(CrmProducts(), (std::vector<std::string>{"41=Obcęgi", "42=Z pliku"}));
    EXPECT_TRUE(Logged(LogLevel::Event, "Obiekt nieprzetworzony poprawnie"));
    EXPECT_TRUE(WorkFiles().empty()) << "the failed export left no file behind";
}

TEST_F(ListQueueTest, StopDuringCollectionProcessesNothing) {
    AddGood(1, "A");
    AddGood(2, "B");
    PutTargetFile(std::string(TestTargetName) + "__{A}.xml", "50", "Plik");
    struct Case {
        const char* Name;
        int StopAtEvent; // the event processing call that sets the stop
    };
    for (const Case& c : {Case{"database rows", 1}, Case{"work-directory files", 3}}) {
        SCOPED_TRACE(c.Name);
        Dm().StopRequested = false;
        Dm().Progress().StartElementProgress(7); // a previous queue's counters
        int calls = 0;
        Pump().OnEvents = [&] {
            if (++calls == c.StopAtEvent)
                Dm().StopRequested = true;
        };
        RunQueue();
        Pump().OnEvents = nullptr;
        EXPECT_TRUE(CrmProducts().empty());
        EXPECT_EQ(PendingCount(), 2);
        EXPECT_EQ(WorkFiles().size(), 1u);
        EXPECT_EQ(Dm().Progress().Total(), 0) << "the summary does not repeat older counts";
    }
}

TEST_F(ListQueueTest, UnreachableDatabaseEndsTheQueueWithAnError) {
    Erp("drop table CDN.TestKolejka");
    PutTargetFile(std::string(TestTargetName) + "__{A}.xml", "60", "Plik");
    RunQueue();
    EXPECT_TRUE(LoggedPart(LogLevel::Error, "Błąd zbierania obiektów z bazy danych:\r\n   "));
    EXPECT_FALSE(Logged(LogLevel::Info, "Zakończenie zbierania obiektów z bazy danych"));
    EXPECT_TRUE(CrmProducts().empty()) << "no file is processed after a failed collection";
}

TEST_F(ListQueueTest, MissingWorkDirectoryCollectsNothing) {
    AddGood(1, "A");
    Dm().SettingsFile().WorkDirectory = (WorkDir() / "brak").string();
    RunQueue();
    EXPECT_TRUE(Logged(LogLevel::Error, "Brak katalogu roboczego:\r\n   " +
                                            (WorkDir() / "brak").string() +
                                            "\r\nPrzetwarzanie obiektu przerwane"));
    EXPECT_EQ(PendingCount(), 1) << "nothing was exported";
}

} // namespace
