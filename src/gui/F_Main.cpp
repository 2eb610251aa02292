#include "gui/F_Main.h"

#include "app/Przelaczniki.h"
#include "app/SettingsFile.h"
#include "core/Log.h"
#include "core/Text.h"
#include "core/TransformationObject.h"
#include "gui/FileDialogs.h"
#include "gui/LogWidget.h"
#include "gui/SwitchList.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace pelmora::gui {

namespace {

// Captions and hints of the actions.
constexpr const char* StartCaption = "Start";
constexpr const char* StopCaption = "Stop"; // the Start button while a run goes on
constexpr const char* StartHint = "Rozpocznij proces pretwarzania danych";
constexpr const char* SaveCaption = "Zapisz konf.";
constexpr const char* SaveHint = "Zapisz bierzącą konfigurację";
constexpr const char* OpenCaption = "Otwórz konf.";
constexpr const char* OpenHint = "Otwórz wczesniej zapisany plik konfiguracyjny";
constexpr const char* ChooserCaption = "...";

// Log entries of the actions.
constexpr const char* MsgSaved = "Zapisanie zasad przetwarzania do pliku:\r\n%s";
constexpr const char* MsgLoaded = "Wczytanie zasad przetwarzania z pliku:\r\n%s";
constexpr const char* MsgWorkDirectoryLoaded = "Zmiana katalogu roboczego:\r\n%s";
// NOTE: a blank before the line break, unlike the entry of a load.
constexpr const char* MsgWorkDirectoryChosen = "Zmiana katalogu roboczego: \r\n%s";
// A configuration file that could not be written or read; the entries above
// are written all the same.
constexpr const char* MsgSaveFailed = "Błąd zapisu pliku konfiguracyjnego o nazwie %s";
constexpr const char* MsgLoadFailed = "Błąd ładowania pliku konfiguracyjnego o nazwie %s";

// The modifiers the key handler compares; others (keypad) are not looked at.
constexpr Qt::KeyboardModifiers ComparedModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A bar shows position and maximum of the engine's bar; with no room at all
// it stays empty (a range of 0..0 would make Qt show a busy indicator).
void ShowBar(QProgressBar* widget, const core::ProgressBarState& bar) {
    if (bar.Max <= 0) {
        widget->setRange(0, 1);
        widget->setValue(0);
    } else {
        widget->setRange(0, bar.Max);
        widget->setValue(bar.Position);
    }
}

QProgressBar* NewBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    bar->setRange(0, 1);
    bar->setValue(0);
    return bar;
}

QAction* NewAction(QObject* parent, const char* caption, const char* hint) {
    auto* action = new QAction(QString::fromUtf8(caption), parent);
    if (hint) {
        action->setToolTip(QString::fromUtf8(hint));
        action->setStatusTip(QString::fromUtf8(hint));
    }
    return action;
}

// A push button that follows its action: caption, hint (the status tip, so
// actions without a hint show none), enabled and visible; a click triggers it.
QPushButton* ActionButton(QAction* action, QWidget* parent) {
    auto* button = new QPushButton(parent);
    const auto follow = [button, action] {
        button->setText(action->text());
        button->setToolTip(action->statusTip());
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return button;
}

} // namespace

TF_Main::TF_Main(QWidget* parent) : QMainWindow(parent), dialogs_(std::make_unique<FileDialogs>()) {
    setWindowTitle(QStringLiteral("Varno Pelmora"));
    CreateActions();
    BuildControls();

    // The key handler sits on the window and on every control that takes the focus.
    for (QObject* watched :
         std::initializer_list<QObject*>{this, logView_, switchList_, workDirectoryField_,
                                         startButton_, saveButton_, openButton_, chooserButton_})
        watched->installEventFilter(this);

    resize(900, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    UpdateStartAction();
    UpdateIdleActions();
}

TF_Main::~TF_Main() = default;

void TF_Main::CreateActions() {
    chooserAction_ = NewAction(this, ChooserCaption, nullptr);
    saveAction_ = NewAction(this, SaveCaption, SaveHint);
    openAction_ = NewAction(this, OpenCaption, OpenHint);
    startAction_ = NewAction(this, StartCaption, StartHint);
    connect(chooserAction_, &QAction::triggered, this, [this] { ExecuteChooser(); });
    connect(saveAction_, &QAction::triggered, this, [this] { ExecuteSave(); });
    connect(openAction_, &QAction::triggered, this, [this] { ExecuteOpen(); });
    connect(startAction_, &QAction::triggered, this, [this] { ExecuteStart(); });
}

void TF_Main::BuildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* top = new QHBoxLayout;

    // Left: the switch list and the configuration buttons.
    auto* left = new QVBoxLayout;
    switchList_ = new SwitchList(central);
    left->addWidget(switchList_, 1);
    auto* configButtons = new QHBoxLayout;
    saveButton_ = ActionButton(saveAction_, central);
    openButton_ = ActionButton(openAction_, central);
    configButtons->addWidget(saveButton_);
    configButtons->addWidget(openButton_);
    left->addLayout(configButtons);
    top->addLayout(left);

    // Right, top: the progress display and the Start button.
    auto* right = new QVBoxLayout;
    auto* progress = new QGridLayout;
    objectLabel_ = new QLabel(central);
    elementLabel_ = new QLabel(central);
    objectBar_ = NewBar(central);
    elementBar_ = NewBar(central);
    progress->addWidget(new QLabel(QStringLiteral("Przetwarzany obiekt:"), central), 0, 0);
    progress->addWidget(objectLabel_, 0, 1);
    progress->addWidget(objectBar_, 1, 0, 1, 2);
    progress->addWidget(new QLabel(QStringLiteral("Przetwarzany element:"), central), 2, 0);
    progress->addWidget(elementLabel_, 2, 1);
    progress->addWidget(elementBar_, 3, 0, 1, 2);
    progress->setColumnStretch(1, 1);
    right->addLayout(progress);
    startButton_ = ActionButton(startAction_, central);
    right->addWidget(startButton_, 0, Qt::AlignRight);

    // Right, middle: the receivables option.
    auto* options = new QGroupBox(QStringLiteral("Opcje przetwarzania"), central);
    auto* optionsLayout = new QVBoxLayout(options);
    receivablesOption_ = new QCheckBox(
        QStringLiteral("akceptuj należności w przypadku braku klienta w Kestrix"), options);
    optionsLayout->addWidget(receivablesOption_);
    right->addWidget(options);
    connect(receivablesOption_, &QCheckBox::toggled, this,
            [this](bool checked) { OnReceivablesToggled(checked); });
    right->addStretch(1);

    // Right, bottom: the work directory and its chooser.
    right->addWidget(new QLabel(QStringLiteral("Katalog roboczy:"), central));
    auto* workDirectory = new QHBoxLayout;
    workDirectoryField_ = new QLineEdit(central);
    workDirectoryField_->setReadOnly(true);
    chooserButton_ = ActionButton(chooserAction_, central);
    chooserButton_->setFixedWidth(chooserButton_->fontMetrics().horizontalAdvance("....") + 16);
    workDirectory->addWidget(workDirectoryField_, 1);
    workDirectory->addWidget(chooserButton_);
    right->addLayout(workDirectory);
    top->addLayout(right, 1);
    layout->addLayout(top);

    // Bottom, full width: the log view.
    logView_ = new LogWidget(central);
    layout->addWidget(logView_, 1);
    setCentralWidget(central);

    connect(switchList_, &QListWidget::itemClicked, this, [this] { OnSwitchClicked(); });
}

app::StartupOptions TF_Main::StartupOptions(const std::vector<std::string>& parameters) {
    app::StartupOptions options;
    options.LogView = logView_;
    options.ProgressView = this;
    options.EventPump = this;
    options.Parameters = parameters;
    return options;
}

void TF_Main::SetDataModule(app::TDM_Main* dm) {
    dm_ = dm;
    if (!dm_ || !dm_->RunInProgress)
        UpdateStartAction();
    UpdateIdleActions();
}

void TF_Main::SetFileDialogs(std::unique_ptr<FileDialogs> dialogs) {
    dialogs_ = dialogs ? std::move(dialogs) : std::make_unique<FileDialogs>();
}

// --- Enabling updates --------------------------------------------------------

void TF_Main::UpdateStartAction() {
    if (!dm_) {
        startAction_->setEnabled(false);
        return;
    }
    if (dm_->RunInProgress) {
        dm_->StopRequested = true;
        startAction_->setEnabled(true);
        return;
    }
    startAction_->setEnabled(dm_->ConnectionsReady);
}

void TF_Main::UpdateIdleActions() {
    const bool idle = dm_ && dm_->ConnectionsReady && !dm_->RunInProgress;
    chooserAction_->setEnabled(idle);
    saveAction_->setEnabled(idle);
    openAction_->setEnabled(idle);
}

// --- Progress display and event processing -------------------------------------

void TF_Main::SetObjectLabel(const std::string& text) {
    objectLabel_->setText(Q(text));
}

void TF_Main::SetElementLabel(const std::string& text) {
    elementLabel_->setText(Q(text));
}

void TF_Main::SetObjectBar(const core::ProgressBarState& bar) {
    ShowBar(objectBar_, bar);
}

void TF_Main::SetElementBar(const core::ProgressBarState& bar) {
    ShowBar(elementBar_, bar);
}

void TF_Main::ProcessEvents() {
    QCoreApplication::processEvents();
}

void TF_Main::RunStarted() {
    UpdateIdleActions();
    startAction_->setText(QString::fromUtf8(StopCaption));
}

void TF_Main::RunFinished() {
    UpdateIdleActions();
    startAction_->setText(QString::fromUtf8(StartCaption));
    UpdateStartAction();
}

// --- Show handler and unattended mode -------------------------------------------

void TF_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        OnFirstShow();
    }
}

void TF_Main::OnFirstShow() {
    if (!dm_)
        return;
    switchList_->Fill(dm_->Przelaczniki());
    ShowWorkDirectory();
    if (!dm_->Settings)
        return; // no INI file: no log file, the window stays open
    dm_->StartLogFile();
    if (dm_->Przelaczniki().LoadMode == app::LoadModeFromConfiguration) {
        // Once the window is on the screen and the event loop runs, so that
        // closing it ends the program.
        QMetaObject::invokeMethod(
            this, [this] { RunUnattended(); }, Qt::QueuedConnection);
        return;
    }
    receivablesOption_->setChecked(dm_->SettingsFile().AkceptNaleznoscKlient);
}

void TF_Main::RunUnattended() {
    if (dm_ && dm_->ConnectionsReady)
        ExecuteStart();
    close();
}

void TF_Main::closeEvent(QCloseEvent* event) {
    // The run sees the request at its next check and leaves its unfinished
    // files in the work directory; the program ends when it has returned.
    if (dm_ && dm_->RunInProgress)
        dm_->StopRequested = true;
    QMainWindow::closeEvent(event);
}

// --- Actions ---------------------------------------------------------------------

void TF_Main::ExecuteStart() {
    UpdateStartAction();
    if (!startAction_->isEnabled() || !startAction_->isVisible())
        return;
    // The path of a Stop click: the update above has set the flag.
    if (dm_->StopRequested)
        return;
    app::RunProcessing(*dm_, this);
}

void TF_Main::ExecuteSave() {
    if (!dm_ || !saveAction_->isEnabled())
        return;
    app::TSettingsFile& configuration = dm_->SettingsFile();
    configuration.ObjectList = dm_->Przelaczniki().SwitchesToObjectList();
    const std::string fileName = dialogs_->SaveConfigurationFile(this);
    if (fileName.empty())
        return;
    const bool saved = configuration.Save(fileName);
    dm_->Log().AddEvent(core::Format(MsgSaved, {fileName}));
    if (!saved)
        dm_->Log().AddError(core::Format(MsgSaveFailed, {fileName}));
}

void TF_Main::ExecuteOpen() {
    if (!dm_ || !openAction_->isEnabled())
        return;
    const std::string fileName = dialogs_->OpenConfigurationFile(this);
    if (fileName.empty())
        return;
    app::TSettingsFile& configuration = dm_->SettingsFile();
    const bool loaded = configuration.Load(fileName);
    app::TPrzelaczniki& switches = dm_->Przelaczniki();
    switches.LoadMode = app::LoadModeFromConfiguration;
    switches.ApplyLoadMode(configuration.ObjectList);
    switchList_->Fill(switches);
    ShowWorkDirectory();
    receivablesOption_->setChecked(configuration.AkceptNaleznoscKlient);
    dm_->Log().AddEvent(core::Format(MsgLoaded, {fileName}));
    if (!loaded)
        dm_->Log().AddError(core::Format(MsgLoadFailed, {fileName}));
    dm_->Log().AddEvent(core::Format(MsgWorkDirectoryLoaded, {configuration.WorkDirectory}));
}

void TF_Main::ExecuteChooser() {
    if (!dm_ || !chooserAction_->isEnabled())
        return;
    app::TSettingsFile& configuration = dm_->SettingsFile();
    const std::string chosen = dialogs_->ChooseDirectory(this, configuration.WorkDirectory);
    if (chosen.empty())
        return;
    configuration.WorkDirectory = chosen;
    ShowWorkDirectory();
    dm_->Log().AddEvent(core::Format(MsgWorkDirectoryChosen, {chosen}));
}

void TF_Main::OnSwitchClicked() {
    if (!dm_)
        return;
    const QList<QListWidgetItem*> selected = switchList_->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem* item = selected.front();
    const int state = dm_->Przelaczniki().Click(item->text().toStdString());
    if (state >= 0)
        SwitchList::ShowState(item, state);
}

void TF_Main::OnReceivablesToggled(bool checked) {
    if (dm_)
        dm_->SettingsFile().AkceptNaleznoscKlient = checked;
}

void TF_Main::ShowWorkDirectory() {
    workDirectoryField_->setText(dm_ ? Q(dm_->SettingsFile().WorkDirectory) : QString());
}

// --- Key handler -------------------------------------------------------------------

bool TF_Main::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool TF_Main::HandleKey(const QKeyEvent* event) {
    if (!dm_ || dm_->RunInProgress || event->key() != Qt::Key_V ||
        (event->modifiers() & ComparedModifiers) != (Qt::ControlModifier | Qt::AltModifier))
        return false;
    ListVersions();
    return true;
}

void TF_Main::ListVersions() {
    // Without settings (no INI file) the program directory stands in for the
    // directories of the rules file and the style sheets.
    const std::string xmlDirectory = dm_->Settings ? dm_->Settings->XMLSubDir : dm_->ProgramDir;
    const std::string transforDirectory =
        dm_->Settings ? dm_->Settings->TransforSubDir : dm_->ProgramDir;
    core::TTransformationObject::LogVersions(dm_->Log(),
                                             QCoreApplication::applicationFilePath().toStdString(),
                                             xmlDirectory, transforDirectory);
}

} // namespace pelmora::gui
