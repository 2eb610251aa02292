#pragma once
// The four directories of an installation, read from section PATH of
// Pelmora.ini. Each is the program directory followed directly by the INI
// value, which begins with a separator ("\Log" names ProgramDir/Log); "\" and
// "/" are both taken as the separator.

#include <filesystem>
#include <string>

namespace pelmora::core {
class TLog;
}

namespace pelmora::app {

// Name of the INI file in the program directory.
inline constexpr const char* IniFileName = "Pelmora.ini";

// ProgramDir + value, "\" turned into the platform's separator.
std::string FormPath(const std::string& programDir, const std::string& iniValue);

class TSettings {
public:
    // Absolute directory paths, UTF-8; empty until ReadSettings has read them.
    std::string LogDir;            // log files
    std::string XMLSubDir;         // ObjectRules.xml
    std::string DefaultSubDirWork; // the default work directory
    std::string TransforSubDir;    // the XSLT style sheets

    // Reads the four PATH keys of `iniPath`, forms the paths and checks that
    // each directory exists. Every missing directory and a file that cannot be
    // read get their own error entry; false if any did.
    bool ReadSettings(const std::filesystem::path& iniPath, const std::string& programDir,
                      core::TLog& log);
};

} // namespace pelmora::app
