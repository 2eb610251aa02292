#pragma once
// pelmora-cli run CONFIG.xml: one unattended run without a window, as the
// window does when a run configuration is named on its command line: start-up
// with that configuration, the log file, the run of the configured object
// kinds, shutdown. Every log entry is printed, with a progress line for the
// current object and element.

#include <string>

namespace pelmora::cli {

// Exit statuses of a run.
inline constexpr int ExitRunSucceeded = 0;  // the run happened and every item was processed
inline constexpr int ExitRunIncomplete = 1; // some item failed, an error was logged, or a stop
inline constexpr int ExitRunNotStarted = 2; // start-up failed or the configuration is missing

// Runs the configuration at `configPath` (as given: relative to the current
// directory); returns one of the statuses above.
int RunCommand(const std::string& configPath);

} // namespace pelmora::cli
