#include "app/Settings.h"

#include "core/IniFile.h"
#include "core/Log.h"
#include "core/Text.h"

#include <system_error>

namespace pelmora::app {

namespace {

// Section of the directory keys.
constexpr const char* PathSection = "PATH";

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), ec);
}

} // namespace

std::string FormPath(const std::string& programDir, const std::string& iniValue) {
    std::string value = iniValue;
    for (char& c : value)
        if (c == '\\' || c == '/')
            c = static_cast<char>(std::filesystem::path::preferred_separator);
    return programDir + value;
}

bool TSettings::ReadSettings(const std::filesystem::path& iniPath, const std::string& programDir,
                             core::TLog& log) {
    core::TIniFile ini;
    if (!ini.Load(iniPath)) {
        log.AddError(core::Format("Błąd ładowania pliku:\r\n %s", {iniPath.string()}));
        return false;
    }
    // Lines the reader could not understand would otherwise pass unnoticed and
    // only show up as empty values.
    for (const core::IniProblem& p : ini.Problems())
        log.AddWarning(core::Format("Nieczytelny wiersz %d pliku %s:\r\n %s",
                                    {p.LineNo, iniPath.string(), p.Text}));

    LogDir = FormPath(programDir, ini.ReadString(PathSection, "LogDir"));
    XMLSubDir = FormPath(programDir, ini.ReadString(PathSection, "XMLSubDir"));
    DefaultSubDirWork = FormPath(programDir, ini.ReadString(PathSection, "DefaultSubDirWork"));
    TransforSubDir = FormPath(programDir, ini.ReadString(PathSection, "TransforSubDir"));

    // Every directory is checked, even after one is found missing.
    bool ok = true;
    const struct {
        const std::string& Path;
        const char* Message;
    } checks[] = {
        {LogDir, "Brak katalogu z plikami *.log:\r\n %s"},
        {XMLSubDir, "Brak katalogu z plikami *.xml:\r\n %s"},
        {DefaultSubDirWork, "Brak domyślnego, roboczego katalogu:\r\n %s"},
        {TransforSubDir, "Brak katalogu z plikami do transformacji:\r\n %s"},
    };
    for (const auto& check : checks) {
        if (!DirectoryExists(check.Path)) {
            log.AddError(core::Format(check.Message, {check.Path}));
            ok = false;
        }
    }
    return ok;
}

} // namespace pelmora::app
