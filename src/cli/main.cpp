// pelmora-cli: the terminal front end of Pelmora. Runs the program's start-up,
// starts the log file, prints every log entry, and runs the shutdown.
#include "Version.h"
#include "app/ProgramModules.h"
#include "cli/TerminalLogView.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintUsage() {
    std::printf("usage: pelmora-cli [--version | --help] [run-configuration.xml]\n"
                "  The program directory (Pelmora.ini, its folders) is the directory of\n"
                "  the program file, or the one named by PELMORA_HOME.\n"
                "  Exit status 1 when the start-up failed (see the log).\n");
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> parameters;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("pelmora-cli %s\n", PELMORA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            PrintUsage();
            return 0;
        }
        parameters.emplace_back(argv[i]);
    }

    pelmora::cli::TerminalLogView view;
    pelmora::app::StartupOptions options;
    options.LogView = &view;
    options.Parameters = parameters;

    bool ready = false;
    {
        pelmora::app::ProgramModules modules(options);
        pelmora::app::TDM_Main& dm = modules.Main();
        // As the window's show handler does once start-up is done.
        dm.StartLogFile();
        ready = dm.ConnectionsReady;
        // The runs come here.
    }
    return ready ? 0 : 1;
}
