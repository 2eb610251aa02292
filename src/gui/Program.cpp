#include "gui/Program.h"

#include <QCoreApplication>

namespace pelmora::gui {

Program::Program(const std::vector<std::string>& parameters) {
    QCoreApplication::setApplicationName(QStringLiteral("Pelmora"));
    window_ = std::make_unique<TF_Main>();
    modules_ = std::make_unique<app::ProgramModules>(window_->StartupOptions(parameters));
    window_->SetDataModule(&modules_->Main());
}

Program::~Program() {
    // The shutdown's end entry still reaches the window's log view.
    modules_.reset();
    window_->SetDataModule(nullptr);
    window_.reset();
}

void Program::Show() {
    window_->show();
}

} // namespace pelmora::gui
