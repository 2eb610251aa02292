#pragma once
// The main window, the operator's whole interface: the object switches, the
// buttons that save and load the run configuration, the progress display
// with the Start/Stop button, the receivables option, the work directory with
// its chooser, and the log view across the bottom. It shows what the engine's
// switches, run configuration, progress display and log hold, starts runs
// through app::RunProcessing, and lends the engine its event processing so
// that the window repaints and a Stop click is seen while a run goes on.
//
// Started with a run configuration on the command line (load mode 0), the
// window runs everything once as soon as it has been shown and closes again.

#include "app/DM_Main.h"
#include "app/ProcessingRun.h"
#include "core/EventPump.h"
#include "core/ProgressView.h"

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelmora::gui {

class FileDialogs;
class LogWidget;
class SwitchList;

class TF_Main : public QMainWindow,
                public core::ProgressView,
                public core::EventPump,
                public app::ProcessingRunObserver {
    Q_OBJECT
public:
    explicit TF_Main(QWidget* parent = nullptr);
    ~TF_Main() override;

    // The views and the events pump to hand to the start-up.
    app::StartupOptions StartupOptions(const std::vector<std::string>& parameters = {});
    // The data module the window works with; set after every data module
    // exists and before the window is shown. Null for none.
    void SetDataModule(app::TDM_Main* dm);

    // The dialogs that ask for files and folders; tests put their own in place.
    void SetFileDialogs(std::unique_ptr<FileDialogs> dialogs);
    FileDialogs& Dialogs() const { return *dialogs_; }

    LogWidget* LogView() const { return logView_; }
    QLabel* ObjectLabel() const { return objectLabel_; }
    QLabel* ElementLabel() const { return elementLabel_; }
    QProgressBar* ObjectBar() const { return objectBar_; }
    QProgressBar* ElementBar() const { return elementBar_; }
    SwitchList* Switches() const { return switchList_; }
    QCheckBox* ReceivablesOption() const { return receivablesOption_; }
    QLineEdit* WorkDirectoryField() const { return workDirectoryField_; }
    QPushButton* StartButton() const { return startButton_; }
    QPushButton* SaveButton() const { return saveButton_; }
    QPushButton* OpenButton() const { return openButton_; }
    QPushButton* ChooserButton() const { return chooserButton_; }
    QAction* StartAction() const { return startAction_; }
    QAction* SaveAction() const { return saveAction_; }
    QAction* OpenAction() const { return openAction_; }
    QAction* ChooserAction() const { return chooserAction_; }

    // The enabling update of the Start action: outside a run enabled when
    // ConnectionsReady; during a run it sets StopRequested and stays enabled,
    // so a click on "Stop" asks the run to stop.
    void UpdateStartAction();
    // The enabling update of the chooser, save and open actions:
    // ConnectionsReady and not RunInProgress.
    void UpdateIdleActions();

    // core::ProgressView
    void SetObjectLabel(const std::string& text) override;
    void SetElementLabel(const std::string& text) override;
    void SetObjectBar(const core::ProgressBarState& bar) override;
    void SetElementBar(const core::ProgressBarState& bar) override;
    // core::EventPump
    void ProcessEvents() override;
    // app::ProcessingRunObserver: the button reads "Stop" and the idle
    // actions are disabled while the run goes on.
    void RunStarted() override;
    void RunFinished() override;

protected:
    void showEvent(QShowEvent* event) override;
    // Closing during a run asks it to stop; the program ends once it has.
    void closeEvent(QCloseEvent* event) override;
    // The key handler of the window and of the controls that take the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void CreateActions();

    // Runs once, when the window is first shown, after start-up.
    void OnFirstShow();
    // The unattended mode: the Start handler when ConnectionsReady, then close.
    void RunUnattended();

    // The action handlers.
    void ExecuteStart();
    void ExecuteSave();
    void ExecuteOpen();
    void ExecuteChooser();
    void OnSwitchClicked();
    void OnReceivablesToggled(bool checked);
    // Ctrl+Alt+V outside a run lists the versions; true when handled.
    bool HandleKey(const QKeyEvent* event);
    void ListVersions();

    // The run configuration's work directory in the field.
    void ShowWorkDirectory();

    app::TDM_Main* dm_ = nullptr; // not owned
    std::unique_ptr<FileDialogs> dialogs_;
    bool shown_ = false; // the show handler has run

    LogWidget* logView_ = nullptr;
    QLabel* objectLabel_ = nullptr;
    QLabel* elementLabel_ = nullptr;
    QProgressBar* objectBar_ = nullptr;
    QProgressBar* elementBar_ = nullptr;
    SwitchList* switchList_ = nullptr;
    QCheckBox* receivablesOption_ = nullptr;
    QLineEdit* workDirectoryField_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* chooserButton_ = nullptr;
    QAction* startAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* chooserAction_ = nullptr;
};

} // namespace pelmora::gui
