#include "cli/TerminalEventPump.h"

#include "app/DM_Main.h"

namespace pelmora::cli {

namespace {

// Set by the handler, read and cleared between items.
volatile std::sig_atomic_t g_signalled = 0;

void OnSignal(int signo) {
    g_signalled = 1;
    // The next signal of this kind ends the program.
    std::signal(signo, SIG_DFL);
}

} // namespace

TerminalEventPump::TerminalEventPump() {
    g_signalled = 0;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

TerminalEventPump::~TerminalEventPump() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

void TerminalEventPump::ProcessEvents() {
    if (g_signalled && main_ && main_->RunInProgress) {
        g_signalled = 0;
        main_->StopRequested = true;
    }
}

bool TerminalEventPump::SignalPending() {
    return g_signalled != 0;
}

} // namespace pelmora::cli
