#include "app/ProcessingRun.h"

#include "app/DM_Main.h"
#include "app/Queue.h"
#include "core/Log.h"
#include "core/Text.h"

#include <exception>

namespace pelmora::app {

namespace {

// Entries at the start and the end of a run.
constexpr const char* MsgRunStarted = "Rozpoczęcie procesu przetwarzania";
constexpr const char* MsgRunFinished = "Zakończenie procesu przetwarzania";
// A failure no step caught; the run ends without its end entry.
constexpr const char* MsgRunAborted = "Proces przetwarzania przerwany z powodu błędu:\r\n%s";

// Counts the error entries added since `first`.
int CountErrors(const core::TLog& log, size_t first) {
    int errors = 0;
    const auto& entries = log.Entries();
    for (size_t i = first; i < entries.size(); ++i)
        errors += entries[i].Level == core::LogLevel::Error;
    return errors;
}

} // namespace

ProcessingRunResult RunProcessing(TDM_Main& dm, ProcessingRunObserver* observer) {
    ProcessingRunResult result;
    if (!dm.ConnectionsReady || dm.RunInProgress)
        return result;

    core::TLog& log = dm.Log();
    const size_t firstEntry = log.Entries().size();

    dm.SettingsFile().ObjectList = dm.Przelaczniki().SwitchesToObjectList();
    log.AddEvent(MsgRunStarted);

    // The running set is a copy: switch clicks during the run act on the next one.
    const TObjectListSet objectList = dm.SettingsFile().ObjectList;
    dm.RunInProgress = true;
    result.Started = true;
    try {
        dm.Progress().ResetRunTotals();
        dm.Progress().ClearLabels();
        if (observer)
            observer->RunStarted();
        TQueue queue(dm);
        queue.ObjectList = objectList;
        queue.Run();
    } catch (const std::exception& e) {
        result.Aborted = true;
        log.AddError(core::Format(MsgRunAborted, {core::Trim(e.what())}));
    } catch (...) {
        result.Aborted = true;
        log.AddError(core::Format(MsgRunAborted, {std::string("?")}));
    }

    result.Stopped = dm.StopRequested;
    if (!result.Stopped && !result.Aborted)
        log.AddEvent(MsgRunFinished);
    result.ProcessedItems = dm.Progress().RunProcessed();
    result.FailedItems = dm.Progress().RunFailed();
    result.ErrorEntries = CountErrors(log, firstEntry);

    dm.RunInProgress = false;
    dm.StopRequested = false;
    if (observer)
        observer->RunFinished();
    return result;
}

} // namespace pelmora::app
