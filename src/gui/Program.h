#pragma once
// The program entry of the window: the main window first, then the data
// modules (whose first is the start-up), then the window is shown. Going
// away it runs the shutdown while the window still exists.

#include "app/ProgramModules.h"
#include "gui/F_Main.h"

#include <memory>
#include <string>
#include <vector>

namespace pelmora::gui {

class Program {
public:
    // Needs a QApplication. Sets the application title.
    explicit Program(const std::vector<std::string>& parameters = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the main window; its show handler starts the log file.
    void Show();

    TF_Main& Window() { return *window_; }
    app::ProgramModules& Modules() { return *modules_; }
    app::TDM_Main& Main() { return modules_->Main(); }

private:
    std::unique_ptr<TF_Main> window_;
    std::unique_ptr<app::ProgramModules> modules_;
};

} // namespace pelmora::gui
