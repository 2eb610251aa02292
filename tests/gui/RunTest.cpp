// Runs from the main window on real embedded databases: the customer queue
// started with the Start button, a Stop click during the run, and the
// unattended mode with and without a working start-up.
#include "WindowFixture.h"

#include "app/SettingsFile.h"
#include "db/Query.h"
#include "gui/LogWidget.h"
#include "support/TempDir.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

#include <functional>

using namespace pelmora;
using test::WindowFixture;

namespace {

// Contractors 1001..1000+n whose city differs from their CRM customer's.
void SeedCustomers(app::TDM_Main& dm, int n) {
    for (int i = 1; i <= n; ++i) {
        const std::string id = std::to_string(1000 + i);
        const std::string guid = "{0000000" + std::to_string(i) + "-0000-0000-0000-000000000000}";
        dm.CRM_Connection.Execute("INSERT INTO dbo.CUSTOMER (CUS_GUID, CUS_LONG_NAME, "
                                  "CUS_TAX_NUMBER) VALUES ('" +
                                  guid + "', 'Klient " + id + "', '111-222-33-4" +
                                  std::to_string(i) + "')");
        dm.CRM_Connection.Execute("INSERT INTO dbo.ADDRESS (ADR_GUID, ADR_GUID_CUS, ADR_CITY, "
                                  "ADR_POSTALCODE, ADR_STREET, ADR_HOUSENUMBER) VALUES ('A" +
                                  guid + "', '" + guid +
                                  "', 'Łódź', '90-001', 'ul. Piotrkowska', '" + std::to_string(i) +
                                  "')");
        dm.CRM_Connection.Execute("INSERT INTO dbo.CUSTOMER_ORGANIZATION (CUO_GUID_CUS, "
                                  "CUO_ID_ORG, CUO_EXID_CUS) VALUES ('" +
                                  guid + "', 1, " + id + ")");
        dm.ERP_Connection.Execute(
            "INSERT INTO CDN.Kontrahenci (Knt_KntId, Knt_Nazwa1, Knt_Nazwa2, "
            "Knt_Miasto, Knt_KodPocztowy, Knt_Ulica, Knt_NrDomu, Knt_NipE) "
            "VALUES (" +
            id + ", 'Klient " + id + "', '', 'Lodz', '90-001', 'ul. Piotrkowska', '" +
            std::to_string(i) + "', '111-222-33-4" + std::to_string(i) + "')");
    }
}

// Contractors whose city is the CRM's.
int UpdatedContractors(app::TDM_Main& dm) {
    db::Query q(dm.ERP_Connection,
                "select count(*) as N from CDN.Kontrahenci where Knt_Miasto = 'Łódź'");
    q.Open();
    return q.FieldByName("N").ToInt();
}

// Only the customer switch on: the other queues are not part of these runs.
void OnlyCustomers(gui::TF_Main& w) {
    for (int row = 1; row < 4; ++row) {
        QListWidget* list = w.Switches();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row)).center());
    }
}

// Calls `act` once, when the log view first draws a line that contains `text`.
class WhenLogged : public QObject {
public:
    WhenLogged(gui::LogWidget* view, std::string text, std::function<void()> act)
        : view_(view), text_(std::move(text)), act_(std::move(act)) {
        connect(view_->document(), &QTextDocument::contentsChanged, this, [this] {
            if (!done_ &&
                view_->document()->toPlainText().contains(QString::fromStdString(text_))) {
                done_ = true;
                act_();
            }
        });
    }
    bool Done() const { return done_; }

private:
    gui::LogWidget* view_;
    std::string text_;
    std::function<void()> act_;
    bool done_ = false;
};

class RunTest : public WindowFixture {
protected:
    void SetUp() override { PrepareInstallation(); }
};

} // namespace

TEST_F(RunTest, StartProcessesTheCustomerQueue) {
    StartAndShow();
    ASSERT_TRUE(Dm().ConnectionsReady);
    SeedCustomers(Dm(), 2);
    gui::TF_Main& w = Window();
    OnlyCustomers(w);

    // What the window shows while the first item is processed.
    std::string caption;
    bool idleActionsEnabled = true;
    int versionEntries = -1;
    WhenLogged during(w.LogView(), "Przetwarzany element: 1/2", [&] {
        caption = w.StartButton()->text().toStdString();
        idleActionsEnabled = w.SaveAction()->isEnabled() || w.OpenAction()->isEnabled() ||
                             w.ChooserAction()->isEnabled();
        // Ctrl+Alt+V does nothing during a run.
        QTest::keyClick(w.LogView(), Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
        versionEntries = CountStartingWith("Plik: ");
    });
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);

    ASSERT_TRUE(during.Done());
    EXPECT_EQ(caption, "Stop");
    EXPECT_FALSE(idleActionsEnabled);
    EXPECT_EQ(versionEntries, 0);
    EXPECT_EQ(UpdatedContractors(Dm()), 2);
    EXPECT_TRUE(Logged(core::LogLevel::Event, "Rozpoczęcie procesu przetwarzania"));
    EXPECT_TRUE(Logged(core::LogLevel::Event, "Zakończenie procesu przetwarzania"));
    EXPECT_EQ(CountStartingWith("Przetworzono obiekt: Klienci\r\n"), 1);
    EXPECT_TRUE(Entries(core::LogLevel::Error).empty());
    // The set the run used, recomputed from the switches.
    EXPECT_EQ(Dm().SettingsFile().ObjectList, app::ERP_Klient);
    // Idle again.
    EXPECT_FALSE(Dm().RunInProgress);
    EXPECT_FALSE(Dm().StopRequested);
    EXPECT_EQ(w.StartButton()->text().toStdString(), "Start");
    EXPECT_TRUE(w.StartButton()->isEnabled());
    EXPECT_TRUE(w.SaveButton()->isEnabled());
    EXPECT_EQ(w.ObjectLabel()->text().toStdString(), "Klienci");
    EXPECT_EQ(w.ElementLabel()->text().toStdString(), "2/2");
}

TEST_F(RunTest, StopDuringTheRunEndsItEarly) {
    StartAndShow();
    SeedCustomers(Dm(), 3);
    gui::TF_Main& w = Window();
    OnlyCustomers(w);
    // The operator clicks "Stop" while the first item is processed.
    WhenLogged stop(w.LogView(), "Przetwarzany element: 1/3", [&] {
        QMetaObject::invokeMethod(w.StartButton(), "click", Qt::QueuedConnection);
    });
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);

    ASSERT_TRUE(stop.Done());
    EXPECT_TRUE(Logged(core::LogLevel::Warning, "Proces przetwarzania przerwany"));
    EXPECT_FALSE(Logged(core::LogLevel::Event, "Zakończenie procesu przetwarzania"));
    // The item in hand was finished; the others wait for the next run.
    EXPECT_EQ(UpdatedContractors(Dm()), 1);
    EXPECT_EQ(CountStartingWith("Przetwarzany element: 2/3"), 0);
    // The Stop click started nothing of its own.
    EXPECT_EQ(CountStartingWith("Rozpoczęcie procesu przetwarzania"), 1);
    EXPECT_FALSE(Dm().RunInProgress);
    EXPECT_FALSE(Dm().StopRequested);
    EXPECT_EQ(w.StartButton()->text().toStdString(), "Start");

    // The next run takes the rest.
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);
    EXPECT_EQ(UpdatedContractors(Dm()), 3);
    EXPECT_EQ(CountStartingWith("Zakończenie procesu przetwarzania"), 1);
}

TEST_F(RunTest, UnattendedModeRunsOnceAndCloses) {
    test::TempDir files;
    const auto config = files / "klienci.xml";
    {
        app::TSettingsFile configuration;
        configuration.ObjectList = app::ERP_Klient | app::ERP_Produkt;
        configuration.WorkDirectory = inst.Path("Work").string();
        ASSERT_TRUE(configuration.Save(config.string()));
    }
    Start({config.string()});
    ASSERT_TRUE(Dm().ConnectionsReady);
    EXPECT_EQ(Dm().Przelaczniki().LoadMode, app::LoadModeFromConfiguration);
    SeedCustomers(Dm(), 2);
    program->Show();
    EXPECT_TRUE(Window().isVisible());
    QApplication::processEvents();

    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(UpdatedContractors(Dm()), 2);
    EXPECT_TRUE(Logged(core::LogLevel::Event, "Zakończenie procesu przetwarzania"));
    // The product bit no switch shows was dropped: no product queue ran.
    EXPECT_EQ(Dm().SettingsFile().ObjectList, app::ERP_Klient);
    EXPECT_EQ(CountStartingWith("Przetworzono obiekt: Produkty"), 0);
    EXPECT_TRUE(Dm().Log().LogFilePlaced());
}

TEST_F(RunTest, UnattendedModeWithStartupErrorsClosesWithoutARun) {
    test::TempDir files;
    const auto config = files / "klienci.xml";
    {
        app::TSettingsFile configuration;
        configuration.ObjectList = app::ERP_Klient;
        ASSERT_TRUE(configuration.Save(config.string()));
    }
    std::filesystem::remove(inst.Path("Work"));
    std::string logFile;
    {
        Start({config.string()});
        ASSERT_FALSE(Dm().ConnectionsReady);
        program->Show();
        QApplication::processEvents();
        EXPECT_FALSE(Window().isVisible());
        EXPECT_EQ(CountStartingWith("Rozpoczęcie procesu przetwarzania"), 0);
        logFile = Dm().Log().LogFileName();
        program.reset();
    }
    const std::string bytes = test::ReadFileBytes(logFile);
    EXPECT_NE(bytes.find("Brak domy\x9Clnego, roboczego katalogu:"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Koniec aplikacji: "), std::string::npos);
}

TEST_F(RunTest, ClosingTheWindowDuringARunStopsIt) {
    StartAndShow();
    SeedCustomers(Dm(), 3);
    gui::TF_Main& w = Window();
    OnlyCustomers(w);
    WhenLogged closeNow(w.LogView(), "Przetwarzany element: 1/3", [&] { w.close(); });
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);
    ASSERT_TRUE(closeNow.Done());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(Logged(core::LogLevel::Warning, "Proces przetwarzania przerwany"));
    EXPECT_EQ(UpdatedContractors(Dm()), 1);
}

TEST_F(RunTest, StartupEndedBeforeTheConfigurationStepClosesTheWindow) {
    // As start-up leaves things when it ends after the settings and before the
    // configuration step: settings read, load mode still 0, no connections.
    Start();
    Dm().Przelaczniki().LoadMode = app::LoadModeFromConfiguration;
    Dm().ConnectionsReady = false;
    program->Show();
    QApplication::processEvents();
    EXPECT_FALSE(Window().isVisible());
    EXPECT_TRUE(Dm().Log().LogFilePlaced());
    EXPECT_EQ(CountStartingWith("Rozpoczęcie procesu przetwarzania"), 0);
}
