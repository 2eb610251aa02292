#pragma once
// One processing run, the engine side of the Start action, shared by the
// window and the terminal program: the object-list set is recomputed from the
// switches, the start is logged, the progress labels are cleared, a TQueue is
// built from the set and run, the end is logged unless the operator stopped
// the run, and the run flags are cleared again. A front end learns of the
// start and the end through ProcessingRunObserver (the window changes its
// button caption and the enabled state of its actions there).

namespace pelmora::app {

class TDM_Main;

// Told when a run begins and ends; both calls come on the calling thread.
class ProcessingRunObserver {
public:
    virtual ~ProcessingRunObserver() = default;
    // RunInProgress has just been set; the queues have not been built yet.
    virtual void RunStarted() {}
    // RunInProgress and StopRequested have just been cleared.
    virtual void RunFinished() {}
};

// What one call of RunProcessing did.
struct ProcessingRunResult {
    bool Started = false;   // the queues were built and run (false: refused, see RunProcessing)
    bool Stopped = false;   // StopRequested was set when the queues returned
    bool Aborted = false;   // an unforeseen failure ended the run early (it is logged)
    int ProcessedItems = 0; // work items that succeeded, over all queues of the run
    int FailedItems = 0;    // work items that failed, over all queues of the run
    int ErrorEntries = 0;   // error entries logged while the run went on

    // The run happened, was not stopped or aborted, and nothing failed.
    bool Succeeded() const {
        return Started && !Stopped && !Aborted && FailedItems == 0 && ErrorEntries == 0;
    }
};

// Runs the queues of the run configuration's set once, as the Start action
// does after its enabled and stop checks:
//   1. the switches write the run configuration's set (SwitchesToObjectList);
//   2. AddEvent "Rozpoczęcie procesu przetwarzania";
//   3. RunInProgress := true, the object and element labels are cleared
//      (that pumps events, so a click then already counts as Stop),
//      observer->RunStarted();
//   4. a TQueue gets a copy of the set as its ObjectList and runs;
//   5. unless StopRequested is set, AddEvent "Zakończenie procesu przetwarzania";
//   6. RunInProgress := false, StopRequested := false, observer->RunFinished().
// Refused (Started false, nothing logged, nothing changed) when ConnectionsReady
// is false or a run is already going on (a call from inside the event
// processing of a run). A failure that escapes the queues is logged as an
// error, skips the end entry and still clears the flags (Aborted true).
// The observer may be null.
ProcessingRunResult RunProcessing(TDM_Main& dm, ProcessingRunObserver* observer = nullptr);

} // namespace pelmora::app
