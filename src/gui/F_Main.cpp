#include "gui/F_Main.h"

#include "gui/LogWidget.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace pelmora::gui {

namespace {

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

} // namespace

TF_Main::TF_Main(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Varno Pelmora"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    // Left: the switch list and the configuration buttons go here.
    auto* left = new QVBoxLayout;
    top->addLayout(left);

    // Right, top: the progress display.
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
    right->addStretch(1);
    top->addLayout(right, 1);
    layout->addLayout(top);

    // Bottom, full width: the log view.
    logView_ = new LogWidget(central);
    layout->addWidget(logView_, 1);
    setCentralWidget(central);

    resize(900, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
}

TF_Main::~TF_Main() = default;

app::StartupOptions TF_Main::StartupOptions(const std::vector<std::string>& parameters) {
    app::StartupOptions options;
    options.LogView = logView_;
    options.ProgressView = this;
    options.EventPump = this;
    options.Parameters = parameters;
    return options;
}

void TF_Main::SetObjectLabel(const std::string& text) {
    objectLabel_->setText(QString::fromStdString(text));
}

void TF_Main::SetElementLabel(const std::string& text) {
    elementLabel_->setText(QString::fromStdString(text));
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

void TF_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        OnFirstShow();
    }
}

void TF_Main::OnFirstShow() {
    // The switch list and the work-directory field are filled here.
    if (!dm_ || !dm_->Settings)
        return; // no INI file: no log file, the window stays open
    dm_->StartLogFile();
    // The unattended run and the receivables check box follow here.
}

} // namespace pelmora::gui
