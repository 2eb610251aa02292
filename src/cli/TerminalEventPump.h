#pragma once
// The terminal's event processing: there is no window to repaint, so the only
// event is an interrupt. SIGINT or SIGTERM during a run asks the run to stop,
// as the window's Stop button does: the queues end after their current item,
// leaving what is unfinished for the next run. A second signal ends the
// program at once (the default action is restored after the first).

#include "core/EventPump.h"

#include <csignal>

namespace pelmora::app {
class TDM_Main;
}

namespace pelmora::cli {

class TerminalEventPump : public core::EventPump {
public:
    // Installs the handlers of SIGINT and SIGTERM.
    TerminalEventPump();
    // Restores the handlers that were there before.
    ~TerminalEventPump() override;
    TerminalEventPump(const TerminalEventPump&) = delete;
    TerminalEventPump& operator=(const TerminalEventPump&) = delete;

    // The module whose StopRequested a signal sets; null for none.
    void Bind(app::TDM_Main* main) { main_ = main; }

    // Sets StopRequested when a signal came since the last call.
    void ProcessEvents() override;

    // A signal came (and has not been handed on yet).
    static bool SignalPending();

private:
    app::TDM_Main* main_ = nullptr; // not owned
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

} // namespace pelmora::cli
