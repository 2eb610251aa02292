#pragma once
// The main data module: both database connections, the log, the directory
// settings, the ERP login values and the three run flags. Creating it runs
// the program's start-up, destroying it the shutdown. One instance exists
// while the program runs; the other modules reach it through DM_Main().

#include "app/Progress.h"
#include "app/Settings.h"
#include "core/Log.h"
#include "db/Connection.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::core {
class EventPump;
class LogView;
class ProgressView;
} // namespace pelmora::core

namespace pelmora::app {

// Environment variable naming the program directory in place of the
// directory of the program file.
inline constexpr const char* ProgramHomeVariable = "PELMORA_HOME";

// The directory named by PELMORA_HOME when it is set and not empty, otherwise
// the directory of the running program file; absolute, without a trailing
// separator.
std::string ProgramDirectory();

// Server, database, user and password of one database, from the INI file.
struct DatabaseLogin {
    std::string Server;
    std::string Database;
    std::string User;
    std::string Password;
};

// "Provider=SQLOLEDB.1;Password=...;Persist Security Info=True;User ID=...;
// Initial Catalog=...;Data Source=...", the values copied as they stand.
std::string BuildConnectionString(const DatabaseLogin& login);

// What a front end hands to the start-up.
struct StartupOptions {
    core::LogView* LogView = nullptr;           // draws the log; null for none
    core::ProgressView* ProgressView = nullptr; // shows the progress; null for none
    core::EventPump* EventPump = nullptr;       // processes pending events; null for none
    std::vector<std::string> Parameters;        // command-line parameters, without the program
};

class TDM_Main {
public:
    // The start-up sequence: every failure gets its error entry and clears
    // ConnectionsReady; nothing is raised.
    explicit TDM_Main(const StartupOptions& options = {});
    // The shutdown sequence: the end entry, the log destroyed, the queries closed.
    ~TDM_Main();
    TDM_Main(const TDM_Main&) = delete;
    TDM_Main& operator=(const TDM_Main&) = delete;

    // CRM database; closed unless start-up opened it.
    db::Connection CRM_Connection;
    // ERP database; closed unless start-up opened it.
    db::Connection ERP_Connection;

    // Directory of the program (see ProgramDirectory()).
    std::string ProgramDir;
    // Full path of Pelmora.ini in ProgramDir.
    std::filesystem::path IniPath;
    // The four directories; null when the INI file is missing.
    std::unique_ptr<TSettings> Settings;

    // Section Tomba: the CRM connection values.
    DatabaseLogin CrmLogin;
    // Section OPTIMA: the ERP connection values.
    DatabaseLogin ErpLogin;
    // ODBC driver of each database on the ODBC backend; empty: the layer's default.
    std::string CrmOdbcDriver;
    std::string ErpOdbcDriver;
    // Connection strings built from the values above (start-up step of the connections).
    std::string CrmConnectionString;
    std::string ErpConnectionString;

    // Section OPTIMA: the ERP's COM login.
    std::string ErpOperator;         // Uzytkownik
    std::string ErpOperatorPassword; // Haslo
    std::string ErpCompany;          // Firma
    std::string ErpInstallDir;       // Optima_Sciezka: made current before the COM login

    // True unless some start-up step failed; only ever goes from true to false.
    bool ConnectionsReady = true;
    // A run is going on (the main window sets and clears it).
    bool RunInProgress = false;
    // The operator asked the run to stop (the main window sets it).
    bool StopRequested = false;

    // The command-line parameters given to start-up.
    std::vector<std::string> Parameters;

    // The log; exists from the first start-up step to the shutdown.
    core::TLog& Log() { return *log_; }
    // The progress display of a run.
    TProgress& Progress() { return *progress_; }

    // Hands control to the front end's event processing (no-op without a pump).
    void ProcessEvents();
    // The events pump in use; null for none.
    core::EventPump* EventPump() const { return eventPump_; }

    // What the window's show handler does with the log: starts the log file in
    // the settings' LogDir; nothing when there are no settings.
    void StartLogFile();

    // The start-up steps, each true on success (run by the constructor).
    bool CheckIniFile();
    bool ReadIniFile();
    // The run configuration and the switches get their start-up values here.
    bool ApplyStartupConfiguration();

private:
    void Startup(const StartupOptions& options);
    bool OpenConnections();
    void CloseQueries();

    std::unique_ptr<core::TLog> log_;
    std::unique_ptr<TProgress> progress_;
    core::EventPump* eventPump_ = nullptr; // not owned
};

// The one TDM_Main of the program; raises std::logic_error when none exists.
TDM_Main& DM_Main();
// True while a TDM_Main exists.
bool DM_MainExists();

} // namespace pelmora::app
