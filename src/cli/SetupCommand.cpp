#include "cli/SetupCommand.h"

#include "app/DM_Main.h"
#include "app/EmbeddedInstallation.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "core/IniFile.h"
#include "core/Text.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace pelmora::cli {

namespace fs = std::filesystem;

namespace {

// Files and folders of the deploy folder.
constexpr const char* DeployIni = "Pelmora.ini";
constexpr const char* DeployRules = "ObjectRules.xml";
constexpr const char* DeployDemo = "demo";
constexpr const char* StyleSheetExtension = ".xsl";
// Prefix of an embedded data source.
constexpr std::string_view EmbeddedPrefix = "sqlite:";

// A failure of the set-up, with what to tell the user.
struct SetupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

bool IsEmptyDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec) && fs::is_empty(p, ec) && !ec;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SetupError("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void CreateDirectory(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        throw SetupError("cannot create " + dir.string() + ": " + ec.message());
}

void CopyFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::none, ec);
    if (ec)
        throw SetupError("cannot copy " + from.string() + " to " + to.string() + ": " +
                         ec.message());
}

// The *.sql files of a folder in name order (none when it is missing).
std::vector<fs::path> SqlFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && it->path().extension() == ".sql")
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    return files;
}

// The style sheets anywhere under the deploy folder, in name order.
std::vector<fs::path> StyleSheets(const fs::path& deploy) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(deploy, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) &&
            core::SameText(it->path().extension().string(), StyleSheetExtension))
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    return files;
}

// The data directory of an embedded data source, relative to the installation.
fs::path EmbeddedDataDir(const std::string& dataSource, const fs::path& dir, const char* key) {
    const std::string source = core::Trim(dataSource);
    if (source.size() < EmbeddedPrefix.size() ||
        !core::SameText(std::string_view(source).substr(0, EmbeddedPrefix.size()), EmbeddedPrefix))
        throw SetupError(std::string(key) +
                         " is not an embedded data source (sqlite:DIR): " + source);
    const fs::path data(source.substr(EmbeddedPrefix.size()));
    return data.is_relative() ? dir / data : data;
}

// Runs the demo scripts of one database on a connection to it, all in one
// transaction.
void LoadDemoData(const fs::path& folder, const app::DatabaseLogin& login, const fs::path& dir) {
    const std::vector<fs::path> scripts = SqlFiles(folder);
    if (scripts.empty())
        return;
    db::Connection connection;
    connection.Open(app::BuildConnectionString(login), dir);
    connection.BeginTransaction();
    try {
        for (const fs::path& script : scripts) {
            try {
                connection.Execute(ReadFile(script));
            } catch (const std::exception& e) {
                throw SetupError(script.string() + ": " + core::Trim(e.what()));
            }
        }
        connection.Commit();
    } catch (...) {
        connection.Rollback();
        throw;
    }
}

// Removes what a failed set-up made: the whole directory when it made it,
// otherwise (an empty directory before) its content.
void RemoveLayout(const fs::path& dir, bool existedBefore) {
    std::error_code ec;
    if (!existedBefore) {
        fs::remove_all(dir, ec);
        return;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        fs::remove_all(entry.path(), ec);
}

struct Layout {
    app::TSettings Settings;     // the four directories
    app::DatabaseLogin Crm, Erp; // the connection values of the INI file
    fs::path CrmData, ErpData;   // data directories of the two databases
};

Layout LayOut(const fs::path& dir, const fs::path& deploy, bool demo) {
    Layout layout;
    const fs::path iniPath = dir / app::IniFileName;
    CopyFile(deploy / DeployIni, iniPath);
    core::TIniFile ini;
    std::string error;
    if (!ini.Load(iniPath, &error))
        throw SetupError("cannot read " + iniPath.string() + ": " + error);

    const std::string programDir = dir.string();
    app::TSettings& s = layout.Settings;
    s.LogDir = app::FormPath(programDir, ini.ReadString("PATH", "LogDir"));
    s.XMLSubDir = app::FormPath(programDir, ini.ReadString("PATH", "XMLSubDir"));
    s.DefaultSubDirWork = app::FormPath(programDir, ini.ReadString("PATH", "DefaultSubDirWork"));
    s.TransforSubDir = app::FormPath(programDir, ini.ReadString("PATH", "TransforSubDir"));
    for (const std::string* d : {&s.LogDir, &s.XMLSubDir, &s.DefaultSubDirWork, &s.TransforSubDir})
        CreateDirectory(*d);

    CopyFile(deploy / DeployRules, fs::path(s.XMLSubDir) / DeployRules);
    for (const fs::path& sheet : StyleSheets(deploy))
        CopyFile(sheet, fs::path(s.TransforSubDir) / sheet.filename());

    layout.Crm = {ini.ReadString("Tomba", "Tomba_Serwer_Bazy"),
                  ini.ReadString("Tomba", "Tomba_Nazwa_Bazy"),
                  ini.ReadString("Tomba", "Tomba_UzytkownikBazy"),
                  ini.ReadString("Tomba", "Tomba_HasloBazy")};
    layout.Erp = {ini.ReadString("OPTIMA", "Optima_Serwer_Bazy"),
                  ini.ReadString("OPTIMA", "Optima_Nazwa_Bazy"),
                  ini.ReadString("OPTIMA", "Optima_UzytkownikBazy"),
                  ini.ReadString("OPTIMA", "Optima_HasloBazy")};
    layout.CrmData = EmbeddedDataDir(layout.Crm.Server, dir, "Tomba_Serwer_Bazy");
    layout.ErpData = EmbeddedDataDir(layout.Erp.Server, dir, "Optima_Serwer_Bazy");
    try {
        app::CreateEmbeddedCrmDatabase(layout.CrmData, core::Trim(layout.Crm.Database), false,
                                       deploy / app::DeploySchemaFolder);
        app::CreateEmbeddedErpDatabase(layout.ErpData, core::Trim(layout.Erp.Database), false,
                                       deploy / app::DeploySchemaFolder);
        if (demo) {
            LoadDemoData(deploy / DeployDemo / app::CrmSchemaFolder, layout.Crm, dir);
            LoadDemoData(deploy / DeployDemo / app::ErpSchemaFolder, layout.Erp, dir);
        }
    } catch (const SetupError&) {
        throw;
    } catch (const std::exception& e) {
        throw SetupError(core::Trim(e.what()));
    }

    // The customer transfer, working in the default work directory.
    app::TSettingsFile configuration;
    configuration.WorkDirectory = s.DefaultSubDirWork;
    configuration.ObjectList = app::ERP_Klient;
    const fs::path configPath = dir / CustomerRunConfiguration;
    if (!configuration.Save(configPath.string()))
        throw SetupError("cannot write " + configPath.string());
    return layout;
}

} // namespace

int SetupCommand(const fs::path& target, bool demo) {
    std::error_code ec;
    const fs::path dir = fs::absolute(target, ec).lexically_normal();
    fs::path clean = dir;
    if (clean.filename().empty())
        clean = clean.parent_path(); // "DIR/" names DIR
    const bool existed = fs::exists(clean, ec);
    if (existed && !IsEmptyDirectory(clean)) {
        std::fprintf(stderr,
                     "pelmora-cli setup: %s exists already and is not empty; nothing was changed.\n"
                     "  Choose a new directory (or an empty one).\n",
                     clean.string().c_str());
        return ExitSetupFailed;
    }
    const fs::path deploy = app::DeployDirectory();
    if (deploy.empty()) {
        std::fprintf(stderr, "pelmora-cli setup: no deploy folder found (set %s)\n",
                     app::DeployDirVariable);
        return ExitSetupFailed;
    }

    try {
        CreateDirectory(clean);
        const Layout layout = LayOut(clean, deploy, demo);
        std::printf("Installation in %s%s\n"
                    "  Pelmora.ini, %s, %s, %s, %s\n"
                    "  CRM database %s in %s, ERP database %s in %s\n"
                    "  run configuration of the customer transfer: %s\n"
                    "Unattended run:  PELMORA_HOME=%s pelmora-cli run %s\n"
                    "Window:          PELMORA_HOME=%s pelmora\n",
                    clean.string().c_str(), demo ? " (with the demo data)" : "",
                    layout.Settings.LogDir.c_str(), layout.Settings.XMLSubDir.c_str(),
                    layout.Settings.DefaultSubDirWork.c_str(),
                    layout.Settings.TransforSubDir.c_str(), layout.Crm.Database.c_str(),
                    layout.CrmData.string().c_str(), layout.Erp.Database.c_str(),
                    layout.ErpData.string().c_str(),
                    (clean / CustomerRunConfiguration).string().c_str(), clean.string().c_str(),
                    (clean / CustomerRunConfiguration).string().c_str(), clean.string().c_str());
        return ExitSetupDone;
    } catch (const std::exception& e) {
        RemoveLayout(clean, existed);
        std::fprintf(stderr, "pelmora-cli setup: %s\n  Nothing was left in %s.\n", e.what(),
                     clean.string().c_str());
        return ExitSetupFailed;
    }
}

} // namespace pelmora::cli
