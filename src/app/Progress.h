#pragma once
// The progress display of a run: which object kind (queue) is processed and
// which of its work items, on two bars with a label each, and a short account
// of every item and of every object kind in the log. The driver and the
// queues call these operations; the counters and bar positions live here and a
// front end shows them through core::ProgressView. Every call ends by
// processing pending events, so a Stop click is seen between items.

#include "core/ProgressView.h"

#include <string>

namespace pelmora::core {
class TLog;
class EventPump;
} // namespace pelmora::core

namespace pelmora::app {

class TProgress {
public:
    explicit TProgress(core::TLog& log);
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    // The controls that show the display and the events pump; null for none.
    // Binding a view shows the current state on it.
    void SetView(core::ProgressView* view);
    void SetEventPump(core::EventPump* pump) { pump_ = pump; }

    // Queue count := n; object bar to 0 with room for n steps; element bar to
    // 0 with room for one step.
    void StartObjectProgress(int n);
    // Object label := name.
    void ShowObjectName(const std::string& name);
    // Object bar one step on; logs the queue's summary with its counters.
    void ObjectFinished(const std::string& name);
    // Total := n, processed and failed := 0; element bar to 0 with room for n
    // steps; ShowElement(0).
    void StartElementProgress(int n);
    // Element label := "i/total"; for i > 0 also logs "Przetwarzany element: i/total".
    void ShowElement(int i);
    // Element bar one step on.
    void StepElement();
    // Processed + 1, logs "Obiekt przetworzony poprawnie".
    void ElementProcessed();
    // Failed + 1, logs "Obiekt nieprzetworzony poprawnie".
    void ElementNotProcessed();
    // Both labels blank (the Start action does this before each run).
    void ClearLabels();
    // Run totals to 0 (the Start action does this before each run).
    void ResetRunTotals();

    int QueueCount() const { return queueCount_; }
    int Total() const { return total_; }
    int Processed() const { return processed_; }
    int Failed() const { return failed_; }
    // Items of all queues since ResetRunTotals that succeeded / failed.
    int RunProcessed() const { return runProcessed_; }
    int RunFailed() const { return runFailed_; }
    const core::ProgressBarState& ObjectBar() const { return objectBar_; }
    const core::ProgressBarState& ElementBar() const { return elementBar_; }
    const std::string& ObjectLabel() const { return objectLabel_; }
    const std::string& ElementLabel() const { return elementLabel_; }

private:
    void ProcessEvents();

    core::TLog& log_;
    core::ProgressView* view_ = nullptr; // not owned
    core::EventPump* pump_ = nullptr;    // not owned
    int queueCount_ = 0;                 // queues of the current run
    int total_ = 0;                      // work items of the current queue
    int processed_ = 0;                  // items of the current queue that succeeded
    int failed_ = 0;                     // items of the current queue that failed
    int runProcessed_ = 0;               // items of the whole run that succeeded
    int runFailed_ = 0;                  // items of the whole run that failed
    core::ProgressBarState objectBar_;
    core::ProgressBarState elementBar_;
    std::string objectLabel_;
    std::string elementLabel_;
};

} // namespace pelmora::app
