// The main window's switches, configuration actions, chooser, receivables
// option, enabled states and version key, on the offscreen platform.
#include "WindowFixture.h"

#include "app/SettingsFile.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

using namespace pelmora;
using test::WindowFixture;

namespace {

const std::vector<std::string> SwitchNames = {"Klienci", "Zamówienia", "Faktury", "Kasa przyjęła"};

// A run configuration file with the given set, work directory and option.
void WriteConfiguration(const std::filesystem::path& path, app::TObjectListSet set,
                        const std::string& workDirectory, bool akcept) {
    app::TSettingsFile configuration;
    configuration.ObjectList = set;
    configuration.WorkDirectory = workDirectory;
    configuration.AkceptNaleznoscKlient = akcept;
    ASSERT_TRUE(configuration.Save(path.string()));
}

// The pointer moved to `pos` of the list's viewport.
void MovePointer(gui::SwitchList* list, const QPoint& pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(list->viewport()->mapToGlobal(pos)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
}

QPoint CentreOf(gui::SwitchList* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

void ClickSwitch(gui::SwitchList* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(list, row));
}

class SwitchesAndConfigurationTest : public WindowFixture {
protected:
    void SetUp() override { PrepareInstallation(); }
};

} // namespace

TEST_F(SwitchesAndConfigurationTest, InteractiveStartShowsEverySwitchCrmToErp) {
    StartAndShow();
    gui::TF_Main& w = Window();
    ASSERT_TRUE(Dm().ConnectionsReady);
    EXPECT_EQ(Dm().Przelaczniki().LoadMode, app::LoadModeInteractive);

    gui::SwitchList* list = w.Switches();
    ASSERT_EQ(list->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list->item(i)->text().toStdString(), SwitchNames[i]);
        EXPECT_FALSE(list->item(i)->icon().isNull());
    }
    EXPECT_EQ(ShownStates(), (std::vector<int>{2, 2, 2, 2}));
    EXPECT_EQ(list->iconSize(), QSize(24, 24));
    EXPECT_EQ(list->viewMode(), QListView::ListMode);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);

    // Work directory from the settings, option from the configuration's default.
    EXPECT_EQ(w.WorkDirectoryField()->text().toStdString(), inst.Dir() + "/Work");
    EXPECT_TRUE(w.WorkDirectoryField()->isReadOnly());
    EXPECT_TRUE(w.ReceivablesOption()->isChecked());

    // Captions, hints and enabled states.
    struct ButtonCase {
        QPushButton* Button;
        const char* Caption;
        const char* Hint;
    } buttons[] = {
        {w.StartButton(), "Start", "Rozpocznij proces pretwarzania danych"},
        {w.SaveButton(), "Zapisz konf.", "Zapisz bierzącą konfigurację"},
        {w.OpenButton(), "Otwórz konf.", "Otwórz wczesniej zapisany plik konfiguracyjny"},
        {w.ChooserButton(), "...", ""},
    };
    for (const ButtonCase& c : buttons) {
        EXPECT_EQ(c.Button->text().toStdString(), c.Caption);
        EXPECT_EQ(c.Button->toolTip().toStdString(), c.Hint) << c.Caption;
        EXPECT_TRUE(c.Button->isEnabled()) << c.Caption;
    }

    // The hint follows the item under the pointer; over no item it stays.
    MovePointer(list, CentreOf(list, 2));
    EXPECT_EQ(list->toolTip().toStdString(), "Przetwarzanie obiektu z systemu CRM do ERP");
    ClickSwitch(list, 2);
    EXPECT_EQ(ShownStates(), (std::vector<int>{2, 2, 3, 2}));
    EXPECT_EQ(EngineStates(), ShownStates());
    MovePointer(list, CentreOf(list, 2));
    EXPECT_EQ(list->toolTip().toStdString(), "Brak przetwarzania");
    MovePointer(list, QPoint(list->viewport()->width() - 2, list->viewport()->height() - 2));
    ASSERT_EQ(list->itemAt(QPoint(list->viewport()->width() - 2, list->viewport()->height() - 2)),
              nullptr);
    EXPECT_EQ(list->toolTip().toStdString(), "Brak przetwarzania");
    ClickSwitch(list, 2);
    EXPECT_EQ(ShownStates(), (std::vector<int>{2, 2, 2, 2}));
}

TEST_F(SwitchesAndConfigurationTest, OpenedConfigurationWithErpFakturaShowsFakturyErpToCrm) {
    test::TempDir files;
    const auto config = files / "faktury.xml";
    WriteConfiguration(config, app::ERP_Faktura, (files / "praca").string(), false);

    StartAndShow();
    dialogs->OpenAnswer = config.string();
    Window().OpenButton()->click();
    EXPECT_EQ(dialogs->Asked, 1);
    EXPECT_EQ(Dm().Przelaczniki().LoadMode, app::LoadModeFromConfiguration);
    EXPECT_EQ(ShownStates(), (std::vector<int>{3, 3, 1, 3}));
    EXPECT_EQ(EngineStates(), ShownStates());
    EXPECT_EQ(Window().WorkDirectoryField()->text().toStdString(), (files / "praca").string());
    EXPECT_FALSE(Window().ReceivablesOption()->isChecked());
    EXPECT_FALSE(Dm().SettingsFile().AkceptNaleznoscKlient);
    EXPECT_TRUE(Logged(core::LogLevel::Event,
                       "Wczytanie zasad przetwarzania z pliku:\r\n" + config.string()));
    EXPECT_TRUE(Logged(core::LogLevel::Event,
                       "Zmiana katalogu roboczego:\r\n" + (files / "praca").string()));

    ClickSwitch(Window().Switches(), 2);
    EXPECT_EQ(ShownStates(), (std::vector<int>{3, 3, 2, 3}));
    EXPECT_EQ(Dm().Przelaczniki().SwitchesToObjectList(), app::CRM_Faktura);

    // A cancelled dialog changes nothing.
    dialogs->OpenAnswer.clear();
    const size_t entries = Dm().Log().Entries().size();
    Window().OpenButton()->click();
    EXPECT_EQ(Dm().Log().Entries().size(), entries);
    EXPECT_EQ(ShownStates(), (std::vector<int>{3, 3, 2, 3}));
}

TEST_F(SwitchesAndConfigurationTest, UnreadableConfigurationIsReportedAndChangesNothing) {
    test::TempDir files;
    const auto broken = files / "zepsuty.xml";
    test::WriteFileBytes(broken, "<classes><class classname=");
    StartAndShow();
    const std::string workDirectory = Dm().SettingsFile().WorkDirectory;
    dialogs->OpenAnswer = broken.string();
    Window().OpenButton()->click();
    EXPECT_TRUE(Logged(core::LogLevel::Event,
                       "Wczytanie zasad przetwarzania z pliku:\r\n" + broken.string()));
    EXPECT_TRUE(Logged(core::LogLevel::Error,
                       "Błąd ładowania pliku konfiguracyjnego o nazwie " + broken.string()));
    EXPECT_EQ(Dm().SettingsFile().WorkDirectory, workDirectory);
}

TEST_F(SwitchesAndConfigurationTest, SaveAfterLoadingErpProduktWritesOnlySwitchBits) {
    test::TempDir files;
    const auto loaded = files / "wejscie.xml";
    const auto saved = files / "wyjscie.xml";
    WriteConfiguration(loaded, app::ERP_Produkt | app::ERP_Klient | app::ERP_Naleznosc,
                       (files / "praca").string(), true);

    StartAndShow();
    dialogs->OpenAnswer = loaded.string();
    Window().OpenButton()->click();
    EXPECT_EQ(ShownStates(), (std::vector<int>{2, 3, 3, 3}));
    dialogs->SaveAnswer = saved.string();
    Window().SaveButton()->click();
    EXPECT_TRUE(Logged(core::LogLevel::Event,
                       "Zapisanie zasad przetwarzania do pliku:\r\n" + saved.string()));

    const std::string bytes = test::ReadFileBytes(saved);
    EXPECT_NE(bytes.find(">ERP_Klient<"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find("ERP_Produkt"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find("ERP_Naleznosc"), std::string::npos) << bytes;
    app::TSettingsFile back;
    ASSERT_TRUE(back.Load(saved.string()));
    EXPECT_EQ(back.ObjectList, app::ERP_Klient);
    EXPECT_EQ(back.WorkDirectory, (files / "praca").string());

    // A file that cannot be written gets an error entry besides the usual one.
    const auto nowhere = files / "brak" / "plik.xml";
    dialogs->SaveAnswer = nowhere.string();
    Window().SaveButton()->click();
    EXPECT_TRUE(Logged(core::LogLevel::Event,
                       "Zapisanie zasad przetwarzania do pliku:\r\n" + nowhere.string()));
    EXPECT_TRUE(Logged(core::LogLevel::Error,
                       "Błąd zapisu pliku konfiguracyjnego o nazwie " + nowhere.string()));
}

TEST_F(SwitchesAndConfigurationTest, ChooserAndReceivablesOption) {
    test::TempDir files;
    StartAndShow();
    dialogs->DirectoryAnswer = files.Path().string();
    Window().ChooserButton()->click();
    EXPECT_EQ(Dm().SettingsFile().WorkDirectory, files.Path().string());
    EXPECT_EQ(Window().WorkDirectoryField()->text().toStdString(), files.Path().string());
    EXPECT_TRUE(
        Logged(core::LogLevel::Event, "Zmiana katalogu roboczego: \r\n" + files.Path().string()));

    dialogs->DirectoryAnswer.clear();
    Window().ChooserButton()->click();
    EXPECT_EQ(Dm().SettingsFile().WorkDirectory, files.Path().string());

    Window().ReceivablesOption()->click();
    EXPECT_FALSE(Dm().SettingsFile().AkceptNaleznoscKlient);
    Window().ReceivablesOption()->click();
    EXPECT_TRUE(Dm().SettingsFile().AkceptNaleznoscKlient);
}

TEST_F(SwitchesAndConfigurationTest, StartAndIdleActionsDisabledWithoutConnections) {
    std::filesystem::remove(inst.Path("Transformacje"));
    StartAndShow();
    ASSERT_FALSE(Dm().ConnectionsReady);
    gui::TF_Main& w = Window();
    for (QPushButton* b : {w.StartButton(), w.SaveButton(), w.OpenButton(), w.ChooserButton()})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_TRUE(w.ReceivablesOption()->isEnabled());
    // The switches are still there and clickable.
    EXPECT_EQ(ShownStates(), (std::vector<int>{2, 2, 2, 2}));
    ClickSwitch(w.Switches(), 0);
    EXPECT_EQ(ShownStates(), (std::vector<int>{3, 2, 2, 2}));

    w.StartAction()->trigger();
    w.SaveAction()->trigger();
    QTest::mouseClick(w.StartButton(), Qt::LeftButton);
    EXPECT_EQ(CountStartingWith("Rozpoczęcie procesu przetwarzania"), 0);
    EXPECT_EQ(dialogs->Asked, 0);
}

TEST_F(SwitchesAndConfigurationTest, CtrlAltVListsTheVersions) {
    StartAndShow();
    gui::TF_Main& w = Window();
    const std::string versionPrefix =
        "Plik: " + QCoreApplication::applicationFilePath().section('/', -1).toStdString() +
        "  wersja: ";
    struct Case {
        QWidget* Target;
        Qt::KeyboardModifiers Modifiers;
        int Key;
        bool Lists;
    } cases[] = {
        {w.LogView(), Qt::ControlModifier | Qt::AltModifier, Qt::Key_V, true},
        {w.Switches(), Qt::ControlModifier | Qt::AltModifier, Qt::Key_V, true},
        {w.WorkDirectoryField(), Qt::ControlModifier | Qt::AltModifier, Qt::Key_V, true},
        {w.StartButton(), Qt::ControlModifier | Qt::AltModifier, Qt::Key_V, true},
        {&w, Qt::ControlModifier | Qt::AltModifier, Qt::Key_V, true},
        {w.LogView(), Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, Qt::Key_V, false},
        {w.LogView(), Qt::ControlModifier, Qt::Key_V, false},
        {w.LogView(), Qt::AltModifier, Qt::Key_V, false},
        {w.LogView(), Qt::ControlModifier | Qt::AltModifier, Qt::Key_B, false},
    };
    for (const Case& c : cases) {
        const int before = CountStartingWith(versionPrefix);
        QTest::keyClick(c.Target, static_cast<Qt::Key>(c.Key), c.Modifiers);
        EXPECT_EQ(CountStartingWith(versionPrefix), before + (c.Lists ? 1 : 0))
            << c.Target->metaObject()->className() << " " << c.Modifiers.toInt();
    }
    // The rules file's version note is listed too.
    EXPECT_GE(CountStartingWith("Plik: ObjectRules.xml  "), 1);
}
