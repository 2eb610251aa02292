#include "app/Progress.h"

#include "core/EventPump.h"
#include "core/Log.h"
#include "core/Text.h"

#include <algorithm>

namespace pelmora::app {

namespace {

// A bar at 0 with room for `steps` steps.
void ResetBar(core::ProgressBarState& bar, int steps) {
    bar.Position = 0;
    bar.Max = bar.Step * std::max(steps, 0);
}

// One step on; a bar never runs past its maximum.
void StepBar(core::ProgressBarState& bar) {
    bar.Position = std::min(bar.Position + bar.Step, bar.Max);
}

} // namespace

TProgress::TProgress(core::TLog& log) : log_(log) {}

void TProgress::SetView(core::ProgressView* view) {
    view_ = view;
    if (view_) {
        view_->SetObjectLabel(objectLabel_);
        view_->SetElementLabel(elementLabel_);
        view_->SetObjectBar(objectBar_);
        view_->SetElementBar(elementBar_);
    }
}

void TProgress::ProcessEvents() {
    if (pump_)
        pump_->ProcessEvents();
}

void TProgress::StartObjectProgress(int n) {
    queueCount_ = n;
    ResetBar(objectBar_, n);
    ResetBar(elementBar_, 1);
    if (view_) {
        view_->SetObjectBar(objectBar_);
        view_->SetElementBar(elementBar_);
    }
    ProcessEvents();
}

void TProgress::ShowObjectName(const std::string& name) {
    objectLabel_ = name;
    if (view_)
        view_->SetObjectLabel(objectLabel_);
    ProcessEvents();
}

void TProgress::ObjectFinished(const std::string& name) {
    StepBar(objectBar_);
    if (view_)
        view_->SetObjectBar(objectBar_);
    log_.AddEvent(core::Format("Przetworzono obiekt: %s\r\n"
                               "Liczba wszystkich elementów obiektu: %d\r\n"
                               "Liczba przetworzonych elementów obiektu: %d\r\n"
                               "Liczba nieprzetworzonych elementów obiektu: %d",
                               {name, total_, processed_, failed_}));
    ProcessEvents();
}

void TProgress::StartElementProgress(int n) {
    total_ = n;
    processed_ = 0;
    failed_ = 0;
    ResetBar(elementBar_, n);
    if (view_)
        view_->SetElementBar(elementBar_);
    ShowElement(0);
}

void TProgress::ShowElement(int i) {
    const std::string position = std::to_string(i) + "/" + std::to_string(total_);
    elementLabel_ = position;
    if (view_)
        view_->SetElementLabel(elementLabel_);
    if (i > 0)
        log_.AddEvent("Przetwarzany element: " + position);
    ProcessEvents();
}

void TProgress::StepElement() {
    StepBar(elementBar_);
    if (view_)
        view_->SetElementBar(elementBar_);
    ProcessEvents();
}

void TProgress::ElementProcessed() {
    ++processed_;
    ++runProcessed_;
    log_.AddEvent("Obiekt przetworzony poprawnie");
    ProcessEvents();
}

void TProgress::ElementNotProcessed() {
    ++failed_;
    ++runFailed_;
    log_.AddEvent("Obiekt nieprzetworzony poprawnie");
    ProcessEvents();
}

void TProgress::ResetRunTotals() {
    runProcessed_ = 0;
    runFailed_ = 0;
}

void TProgress::ClearLabels() {
    objectLabel_.clear();
    elementLabel_.clear();
    if (view_) {
        view_->SetObjectLabel(objectLabel_);
        view_->SetElementLabel(elementLabel_);
    }
    ProcessEvents();
}

} // namespace pelmora::app
