#pragma once
// pelmora-cli run as a child process, with its output and exit status.

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace pelmora::test {

// The program next to the test programs.
inline const std::filesystem::path CliProgram =
    std::filesystem::path(PELMORA_BINARY_DIR) / "bin" / "pelmora-cli";

struct CliResult {
    int Status = -1;
    std::string Output; // standard output and error together
};

// Runs pelmora-cli with `arguments` (shell words); with `home`, under PELMORA_HOME=home.
inline CliResult RunCli(const std::string& arguments, const std::filesystem::path& home = {}) {
    CliResult r;
    std::string command;
    if (!home.empty())
        command = "PELMORA_HOME='" + home.string() + "' ";
    command += "'" + CliProgram.string() + "' " + arguments + " 2>&1";
    std::FILE* p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.Output.append(buf, n);
    const int status = pclose(p);
    r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace pelmora::test
