// pelmora-cli: the terminal front end of Pelmora.
//   pelmora-cli [CONFIG.xml]         start-up and shutdown: checks an installation
//   pelmora-cli run CONFIG.xml       one unattended run (RunCommand.h)
//   pelmora-cli setup DIR [--demo]   lays out an embedded installation (SetupCommand.h)
#include "Version.h"
#include "app/ProgramModules.h"
#include "cli/RunCommand.h"
#include "cli/SetupCommand.h"
#include "cli/TerminalLogView.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Exit status of a call the program does not understand.
constexpr int ExitUsage = 2;

void PrintUsage(std::FILE* out) {
    std::fprintf(
        out,
        "usage: pelmora-cli [--version | --help] [CONFIG.xml]\n"
        "       pelmora-cli run CONFIG.xml\n"
        "       pelmora-cli setup DIR [--demo]\n"
        "\n"
        "  (no command)  start-up and shutdown with every log entry printed: checks the\n"
        "                installation; exit status 1 when the start-up failed.\n"
        "  run           one unattended run of the run configuration CONFIG.xml, as the\n"
        "                window runs one named on its command line; prints the log and a\n"
        "                progress line. Exit status 0: every item was processed;\n"
        "                1: some item failed, an error was logged or the run was stopped\n"
        "                (Ctrl+C stops it after the current item); 2: the run could not\n"
        "                start (start-up failed, CONFIG.xml missing or unreadable).\n"
        "  setup         lays out a new installation with embedded databases in DIR (which\n"
        "                must not exist or be empty), with a run configuration %s of\n"
        "                the customer transfer; --demo adds a demo data set.\n"
        "\n"
        "  The program directory (Pelmora.ini and its folders) is the directory of the\n"
        "  program file, or the one named by PELMORA_HOME.\n",
        pelmora::cli::CustomerRunConfiguration);
}

// Start-up, the log file and shutdown, nothing else.
int CheckInstallation(const std::vector<std::string>& parameters) {
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
    }
    return ready ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--version")) {
        std::printf("pelmora-cli %s\n", PELMORA_VERSION);
        return 0;
    }
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    if (!args.empty() && args[0] == "run") {
        if (args.size() != 2) {
            PrintUsage(stderr);
            return ExitUsage;
        }
        return pelmora::cli::RunCommand(args[1]);
    }
    if (!args.empty() && args[0] == "setup") {
        const bool demo = args.size() == 3 && args[2] == "--demo";
        if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && !demo)) {
            PrintUsage(stderr);
            return ExitUsage;
        }
        return pelmora::cli::SetupCommand(args[1], demo);
    }
    return CheckInstallation(args);
}
