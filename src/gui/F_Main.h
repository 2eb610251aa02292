#pragma once
// The main window: the progress display (object and element labels and
// bars) and the log view. It shows what the engine's progress display and
// log hold, and lends the engine its event processing.

#include "app/DM_Main.h"
#include "core/EventPump.h"
#include "core/ProgressView.h"

#include <QMainWindow>

class QLabel;
class QProgressBar;

namespace pelmora::gui {

class LogWidget;

class TF_Main : public QMainWindow, public core::ProgressView, public core::EventPump {
    Q_OBJECT
public:
    explicit TF_Main(QWidget* parent = nullptr);
    ~TF_Main() override;

    // The views and the events pump to hand to the start-up.
    app::StartupOptions StartupOptions(const std::vector<std::string>& parameters = {});
    // The data module the window works with; set after every data module
    // exists and before the window is shown. Null for none.
    void SetDataModule(app::TDM_Main* dm) { dm_ = dm; }

    LogWidget* LogView() const { return logView_; }
    QLabel* ObjectLabel() const { return objectLabel_; }
    QLabel* ElementLabel() const { return elementLabel_; }
    QProgressBar* ObjectBar() const { return objectBar_; }
    QProgressBar* ElementBar() const { return elementBar_; }

    // core::ProgressView
    void SetObjectLabel(const std::string& text) override;
    void SetElementLabel(const std::string& text) override;
    void SetObjectBar(const core::ProgressBarState& bar) override;
    void SetElementBar(const core::ProgressBarState& bar) override;
    // core::EventPump
    void ProcessEvents() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Runs once, when the window is first shown, after start-up.
    void OnFirstShow();

    app::TDM_Main* dm_ = nullptr; // not owned
    bool shown_ = false;          // the show handler has run
    LogWidget* logView_ = nullptr;
    QLabel* objectLabel_ = nullptr;
    QLabel* elementLabel_ = nullptr;
    QProgressBar* objectBar_ = nullptr;
    QProgressBar* elementBar_ = nullptr;
};

} // namespace pelmora::gui
