#include "cli/RunCommand.h"

#include "app/ProcessingRun.h"
#include "app/ProgramModules.h"
#include "cli/TerminalEventPump.h"
#include "cli/TerminalLogView.h"
#include "cli/TerminalProgressView.h"
#include "core/Log.h"
#include "core/Text.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace pelmora::cli {

namespace {

// A configuration that does not exist would give a run with nothing to do;
// for a scheduled job that is a failure, so the run is not started.
constexpr const char* MsgNoConfiguration =
    "Brak pliku konfiguracyjnego o nazwie %s\r\nPrzetwarzanie danych nie zostało rozpoczęte.";

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

int RunCommand(const std::string& configPath) {
    TerminalProgressView progress(stderr);
    TerminalLogView view(stdout, &progress);
    TerminalEventPump pump;
    app::StartupOptions options;
    options.LogView = &view;
    options.ProgressView = &progress;
    options.EventPump = &pump;
    options.Parameters = {configPath};

    int status = ExitRunNotStarted;
    app::ProcessingRunResult result;
    {
        app::ProgramModules modules(options);
        app::TDM_Main& dm = modules.Main();
        pump.Bind(&dm);
        // As the window's show handler: the log file first, then the run.
        dm.StartLogFile();
        if (!FileExists(configPath))
            dm.Log().AddError(core::Format(MsgNoConfiguration, {configPath}));
        else if (dm.ConnectionsReady && !TerminalEventPump::SignalPending())
            result = app::RunProcessing(dm);
        if (result.Started)
            status = result.Succeeded() ? ExitRunSucceeded : ExitRunIncomplete;
        pump.Bind(nullptr);
        progress.Hide();
    }
    progress.Hide();
    if (result.Started)
        std::fprintf(stderr,
                     "pelmora-cli: run %s: %d item(s) processed, %d not processed, %d error "
                     "entr%s\n",
                     result.Stopped ? "stopped" : (result.Aborted ? "aborted" : "finished"),
                     result.ProcessedItems, result.FailedItems, result.ErrorEntries,
                     result.ErrorEntries == 1 ? "y" : "ies");
    else
        std::fprintf(stderr, "pelmora-cli: the run was not started (see the log)\n");
    return status;
}

} // namespace pelmora::cli
