#pragma once
// What the window tests share: one QApplication on the offscreen platform,
// a test installation whose databases are made from the schema files and
// whose XML directory holds the deployment's ObjectRules.xml, the program
// started on it with dialogs that answer from the test, and a few helpers.

#include "app/EmbeddedInstallation.h"
#include "app/TestInstallation.h"

#include "app/DM_Main.h"
#include "core/Log.h"
#include "gui/F_Main.h"
#include "gui/FileDialogs.h"
#include "gui/LogWidget.h"
#include "gui/Program.h"
#include "gui/SwitchList.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::test {

// Answers the window's dialogs with what the test put here; an empty answer
// is a cancelled dialog.
class ScriptedDialogs : public gui::FileDialogs {
public:
    std::string SaveAnswer;
    std::string OpenAnswer;
    std::string DirectoryAnswer;
    int Asked = 0; // dialogs opened so far

    std::string SaveConfigurationFile(QWidget*) override { return Answer(SaveAnswer); }
    std::string OpenConfigurationFile(QWidget*) override { return Answer(OpenAnswer); }
    std::string ChooseDirectory(QWidget*, const std::string&) override {
        return Answer(DirectoryAnswer);
    }

private:
    std::string Answer(const std::string& a) {
        ++Asked;
        return a;
    }
};

// The one QApplication of the test program, on the offscreen platform.
inline void EnsureApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

class WindowFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    // Real CRM and ERP databases from the schema files and the deployment's rules file.
    void PrepareInstallation() {
        const auto data = inst.Path(TestInstallation::DbFolder);
        app::CreateEmbeddedCrmDatabase(data, TestInstallation::CrmCatalog, true);
        app::CreateEmbeddedErpDatabase(data, TestInstallation::ErpCatalog, true);
        std::filesystem::copy_file(std::filesystem::path(PELMORA_SOURCE_DIR) / "deploy" /
                                       "ObjectRules.xml",
                                   inst.Path("XML") / "ObjectRules.xml",
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // The program as the entry creates it (window, then data modules), with
    // the scripted dialogs in place; not shown yet.
    void Start(const std::vector<std::string>& parameters = {}) {
        program = std::make_unique<gui::Program>(parameters);
        auto owned = std::make_unique<ScriptedDialogs>();
        dialogs = owned.get();
        Window().SetFileDialogs(std::move(owned));
    }
    void StartAndShow(const std::vector<std::string>& parameters = {}) {
        Start(parameters);
        program->Show();
        QApplication::processEvents();
    }

    gui::TF_Main& Window() { return program->Window(); }
    app::TDM_Main& Dm() { return program->Main(); }

    // The states the switch list shows, in order.
    std::vector<int> ShownStates() {
        std::vector<int> out;
        for (int i = 0; i < Window().Switches()->count(); ++i)
            out.push_back(gui::SwitchList::StateOf(Window().Switches()->item(i)));
        return out;
    }
    // The states the engine's switches hold, in order.
    std::vector<int> EngineStates() {
        std::vector<int> out;
        for (const auto& sw : Dm().Przelaczniki().Switches())
            out.push_back(sw.State);
        return out;
    }

    // The texts of the entries of one level added after start-up's first entry.
    std::vector<std::string> Entries(core::LogLevel level) {
        std::vector<std::string> out;
        const auto& entries = Dm().Log().Entries();
        for (size_t i = 1; i < entries.size(); ++i)
            if (entries[i].Level == level)
                out.push_back(entries[i].Text);
        return out;
    }
    bool Logged(core::LogLevel level, const std::string& text) {
        const auto all = Entries(level);
        return std::find(all.begin(), all.end(), text) != all.end();
    }
    // Entries of any level whose text begins with `prefix`.
    int CountStartingWith(const std::string& prefix) {
        int n = 0;
        for (const auto& e : Dm().Log().Entries())
            n += e.Text.starts_with(prefix) ? 1 : 0;
        return n;
    }

    // Declared first, so the program goes before its installation.
    TestInstallation inst;
    std::unique_ptr<gui::Program> program;
    ScriptedDialogs* dialogs = nullptr; // owned by the window
};

} // namespace pelmora::test
