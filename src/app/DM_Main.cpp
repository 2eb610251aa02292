#include "app/DM_Main.h"

#include "app/DM_MainKlient.h"
#include "app/DM_MainQueries.h"
#include "core/DateTime.h"
#include "core/EventPump.h"
#include "core/IniFile.h"
#include "core/Text.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace pelmora::app {

namespace {

// The TDM_Main that exists now; null before start-up and after shutdown.
TDM_Main* g_instance = nullptr;

// Sections of the connection keys.
constexpr const char* ErpSection = "OPTIMA";
constexpr const char* CrmSection = "Tomba";

// Plain command run on the ERP connection right after it is opened.
constexpr const char* ErpSetupCommand = "SET ARITHABORT ON";

// A path without a trailing separator (the root stays as it is).
std::string WithoutTrailingSeparator(const std::filesystem::path& p) {
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 &&
           s.back() == static_cast<char>(std::filesystem::path::preferred_separator))
        s.pop_back();
    return s;
}

// The cause a failed connection attempt reported, as one more entry after the
// error of the failure table, so the operator sees why.
void LogCause(core::TLog& log, const std::exception& e) {
    const std::string cause = core::Trim(e.what());
    if (!cause.empty())
        log.AddInfo(cause);
}

} // namespace

std::string ProgramDirectory() {
    std::error_code ec;
    if (const char* home = std::getenv(ProgramHomeVariable); home && *home) {
        std::filesystem::path p = std::filesystem::absolute(home, ec);
        return WithoutTrailingSeparator(ec ? std::filesystem::path(home) : p);
    }
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return WithoutTrailingSeparator(std::filesystem::current_path(ec));
    return WithoutTrailingSeparator(exe.parent_path());
}

std::string BuildConnectionString(const DatabaseLogin& login) {
    return "Provider=SQLOLEDB.1;Password=" + login.Password +
           ";Persist Security Info=True;User ID=" + login.User +
           ";Initial Catalog=" + login.Database + ";Data Source=" + login.Server;
}

TDM_Main::TDM_Main(const StartupOptions& options)
    : queries_(std::make_unique<TDM_MainQueries>(CRM_Connection, ERP_Connection)) {
    g_instance = this;
    try {
        Startup(options);
    } catch (...) {
        // The steps report their own failures; this is only for the unforeseen.
        g_instance = nullptr;
        throw;
    }
}

TDM_Main::~TDM_Main() {
    log_->AddEvent(core::Format("Koniec aplikacji: %s", {core::DateTimeText(core::Now())}));
    progress_.reset();
    log_.reset();
    CloseQueries();
    if (g_instance == this)
        g_instance = nullptr;
}

void TDM_Main::Startup(const StartupOptions& options) {
    RunInProgress = false;
    StopRequested = false;
    ConnectionsReady = true;
    Parameters = options.Parameters;

    // One moment names the log file and stands in the start entry.
    const core::TDateTime started = core::Now();
    if (!log_)
        log_ = std::make_unique<core::TLog>(started);
    log_->SetView(options.LogView);
    progress_ = std::make_unique<TProgress>(*log_);
    progress_->SetView(options.ProgressView);
    progress_->SetEventPump(options.EventPump);
    eventPump_ = options.EventPump;

    // Before the log file exists; the entry reaches it through StartLogFile.
    log_->AddEvent(core::Format("Start aplikacji: %s", {core::DateTimeText(started)}));

    ProgramDir = ProgramDirectory();
    IniPath = std::filesystem::path(ProgramDir) / IniFileName;

    // The run configuration with its defaults (the switches exist since the
    // module was created).
    settingsFile_ = std::make_unique<TSettingsFile>(this);

    if (!CheckIniFile()) {
        ConnectionsReady = false;
        return;
    }
    Settings = std::make_unique<TSettings>();
    if (!Settings->ReadSettings(IniPath, ProgramDir, *log_))
        ConnectionsReady = false;
    if (!ReadIniFile()) {
        ConnectionsReady = false;
        return;
    }
    if (!ApplyStartupConfiguration())
        ConnectionsReady = false;
    if (!OpenConnections())
        ConnectionsReady = false;
}

bool TDM_Main::CheckIniFile() {
    std::error_code ec;
    // As a file-exists test: a directory of that name is no INI file.
    const bool exists =
        std::filesystem::exists(IniPath, ec) && !std::filesystem::is_directory(IniPath, ec);
    if (!exists)
        log_->AddError(core::Format("Brak pliku konfiguracyjnego: \r\n %s", {IniPath.string()}));
    return exists;
}

bool TDM_Main::ReadIniFile() {
    core::TIniFile ini;
    if (!ini.Load(IniPath)) {
        log_->AddError(core::Format("Błąd ładowania pliku: \r\n %s", {IniPath.string()}));
        return false;
    }
    ErpOperator = ini.ReadString(ErpSection, "Uzytkownik");
    ErpOperatorPassword = ini.ReadString(ErpSection, "Haslo");
    ErpCompany = ini.ReadString(ErpSection, "Firma");
    ErpInstallDir = ini.ReadString(ErpSection, "Optima_Sciezka");
    ErpLogin.Server = ini.ReadString(ErpSection, "Optima_Serwer_Bazy");
    ErpLogin.Database = ini.ReadString(ErpSection, "Optima_Nazwa_Bazy");
    ErpLogin.User = ini.ReadString(ErpSection, "Optima_UzytkownikBazy");
    ErpLogin.Password = ini.ReadString(ErpSection, "Optima_HasloBazy");
    CrmLogin.Server = ini.ReadString(CrmSection, "Tomba_Serwer_Bazy");
    CrmLogin.Database = ini.ReadString(CrmSection, "Tomba_Nazwa_Bazy");
    CrmLogin.User = ini.ReadString(CrmSection, "Tomba_UzytkownikBazy");
    CrmLogin.Password = ini.ReadString(CrmSection, "Tomba_HasloBazy");
    // NOTE: the optional ODBC driver keys are documented in deploy/Pelmora.ini.
    ErpOdbcDriver = ini.ReadString(ErpSection, "Optima_SterownikBazy");
    CrmOdbcDriver = ini.ReadString(CrmSection, "Tomba_SterownikBazy");
    return true;
}

bool TDM_Main::ApplyStartupConfiguration() {
    // The file named on the command line, as given (also in the messages).
    const std::string fileName = Parameters.empty() ? std::string() : Parameters.front();
    const std::string failure =
        core::Format("Błąd ładowania pliku konfiguracyjnego o nazwie %s", {fileName});
    bool ok = true;
    try {
        if (Parameters.empty()) {
            przelaczniki_->LoadMode = LoadModeInteractive;
            if (Settings)
                settingsFile_->WorkDirectory = Settings->DefaultSubDirWork;
        } else {
            std::error_code ec;
            if (!std::filesystem::exists(std::filesystem::path(fileName), ec))
                // Loads nothing and is no failure; said, so an unattended run
                // that does nothing is explained in its log.
                log_->AddWarning(core::Format(
                    "Brak pliku konfiguracyjnego o nazwie %s: ustawienia domyślne", {fileName}));
            if (!settingsFile_->Load(fileName)) {
                log_->AddError(failure);
                ok = false;
            }
            przelaczniki_->LoadMode = LoadModeFromConfiguration;
        }
        przelaczniki_->ApplyLoadMode(settingsFile_->ObjectList);
    } catch (const std::exception& e) {
        log_->AddError(failure);
        LogCause(*log_, e);
        ok = false;
    }
    return ok;
}

std::unique_ptr<core::TXMLSerializer> TDM_Main::CreateSerializer() {
    return core::CreateProgramSerializer(nullptr);
}

bool TDM_Main::OpenConnections() {
    CRM_Connection.Close();
    CrmConnectionString = BuildConnectionString(CrmLogin);
    ERP_Connection.Close();
    ErpConnectionString = BuildConnectionString(ErpLogin);
    SetZmianaDanychKlientaSql(Q_ZmianaDanychKlienta, CrmConnectionString, ErpConnectionString);

    try {
        CRM_Connection.Open(CrmConnectionString, ProgramDir, CrmOdbcDriver);
    } catch (const std::exception& e) {
        log_->AddError("Wystąpił błąd podczas podłączenia do bazy danych systemu CRM.");
        LogCause(*log_, e);
        return false;
    }
    try {
        ERP_Connection.Open(ErpConnectionString, ProgramDir, ErpOdbcDriver);
        // SQLite knows no session options of SQL Server: on the embedded
        // backend the command is accepted without being run.
        if (ERP_Connection.Kind() != db::BackendKind::Embedded)
            ERP_Connection.Execute(ErpSetupCommand);
    } catch (const std::exception& e) {
        log_->AddError("Wystąpił błąd podczas podłączenia do bazy danych systemu ERP.");
        LogCause(*log_, e);
        return false;
    }
    return true;
}

void TDM_Main::LogFailureCause(const std::exception& e) {
    LogCause(*log_, e);
}

void TDM_Main::CloseQueries() {
    queries_->CloseAll();
    Q_ZmianaDanychKlienta.Close();
}

void TDM_Main::ProcessEvents() {
    if (eventPump_)
        eventPump_->ProcessEvents();
}

void TDM_Main::StartLogFile() {
    if (Settings)
        log_->StartLogFile(std::filesystem::path(Settings->LogDir));
}

TDM_Main& DM_Main() {
    if (!g_instance)
        throw std::logic_error("TDM_Main does not exist");
    return *g_instance;
}

bool DM_MainExists() {
    return g_instance != nullptr;
}

} // namespace pelmora::app
