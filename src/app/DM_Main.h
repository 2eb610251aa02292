#pragma once
// The main data module: both database connections, the log, the directory
// settings, the ERP login values and the three run flags. Creating it runs
// the program's start-up, destroying it the shutdown. One instance exists
// while the program runs; the other modules reach it through DM_Main().

#include "app/DocumentKinds.h"
#include "app/Progress.h"
#include "app/Przelaczniki.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "core/DateTime.h"
#include "core/Log.h"
#include "core/XMLSerializer.h"
#include "db/Connection.h"
#include "db/Query.h"

#include <exception>
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

// Kinds of the feedback rows AddExidToQueue writes into the exchange table
// (the value is the entry type number, the name the Typ_obiektu text).
enum class TExidEntryType : int {
    ZlecenieEXID = 0,         // "ZlecenieEXID": an order
    FakturaEXID = 1,          // "FakturaEXID": an invoice
    WplataGotowkiEXID = 2,    // "WplataGotowkiEXID": a cash receipt
    WydanieZMagazynuEXID = 3, // "WydanieZMagazynuEXID": a warehouse issue
};
// The Typ_obiektu text of an entry type; empty for a value outside the list.
std::string ExidEntryTypeText(TExidEntryType type);

// The shared queries of TDM_Main (DM_MainQueries.h).
struct TDM_MainQueries;

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
    // Customers whose CRM name, address or tax number differ from their ERP
    // contractor, on ERP_Connection. Its text names both databases by the
    // Initial Catalog of the connection strings, set when they are built
    // (DM_MainKlient.h).
    db::Query Q_ZmianaDanychKlienta{ERP_Connection, {}};

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

    // The run configuration; exists from start-up on, with its defaults
    // until ApplyStartupConfiguration gives it its start-up values.
    TSettingsFile& SettingsFile() { return *settingsFile_; }
    const TSettingsFile& SettingsFile() const { return *settingsFile_; }

    // The object switches; exist from start-up on.
    TPrzelaczniki& Przelaczniki() { return *przelaczniki_; }
    const TPrzelaczniki& Przelaczniki() const { return *przelaczniki_; }

    // The start-up steps, each true on success (run by the constructor).
    bool CheckIniFile();
    bool ReadIniFile();
    // Without a command-line parameter the run configuration's WorkDirectory
    // becomes the settings' DefaultSubDirWork; with one, the file it names is
    // loaded ("Błąd ładowania pliku konfiguracyjnego o nazwie %s" when that
    // fails). The switches get their load mode and states here.
    bool ApplyStartupConfiguration();

    // ---- Shared operations (DM_MainLookups.cpp, DM_MainRanges.cpp,
    // DM_MainValues.cpp, DM_MainExchange.cpp). All answer true on success;
    // "not found" is a plain false without a log entry. Unless stated, a
    // database failure is not caught and reaches the caller as db::DbError
    // (a conversion failure as core::ConvertError).

    // A new serializer with the settings of every exchange file: well-formatted,
    // "ISO-8859-2", options {soRecreateCollectionItems}, special classes
    // {scTCollection}. The caller owns it.
    std::unique_ptr<core::TXMLSerializer> CreateSerializer();

    // Sales rep whose identifier ranges the program uses; always 0.
    int RangeOwner = 0;

    // Identifier ranges in dba.Zakres (CRM). GetIdRange: true when the range
    // of (table, rep) is usable (ZAK_Min < ZAK_Max, both present), next :=
    // ZAK_Min; no row: false. SetIdRangeMin stores value + 1 as ZAK_Min; a
    // failure is caught and gives false.
    bool GetIdRange(int table, int rep, int& next);
    bool SetIdRangeMin(int table, int rep, int value);
    // The next identifier of `table` from RangeOwner's range, creating the range
    // (0, table, 0, 100000) when there is none. Runs in a transaction of the CRM
    // connection unless one is active. Every failure is caught and logged
    // ("Bład pobierania zakresu dla  tabeli %d"): false.
    bool NextId(int table, int& id);

    // A new GUID in registry form: braces, upper-case hexadecimal, 38 characters.
    bool NewFileGuid(std::string& text);

    // The CRM's system registry (dba.SYS_REGISTRY). Reading: no row gives
    // false; a value that does not convert raises. WriteRegistryValue only
    // updates (a missing name changes nothing and answers true); a failure is
    // caught and gives false.
    bool ReadRegistryInt(const std::string& name, int& value);
    bool ReadRegistryDate(const std::string& name, core::TDateTime& value);
    bool WriteRegistryValue(const std::string& name, const std::string& value);

    // Rounds to two decimals (12,3466 -> 12,35; 1234 stays 1234); a conversion
    // failure is caught: false, value unchanged.
    bool RoundMoney(double& value);
    // The value with "." as decimal separator, shortest general form, up to 15
    // significant digits; zero gives "0.00". A value that cannot be formatted
    // gives "" and the error "Problem z konwersją separatora wartości typu Double".
    bool FloatToDotText(double value, std::string& text);

    // Identifier translations between the CRM and the ERP (CRM connection).
    // A found row whose EXID is null gives "" and true (RepExidById: false).
    bool RepExidById(int repId, std::string& exid);
    bool RepIdByExid(const std::string& exid, int& repId);
    bool ProductExidById(int productId, std::string& exid);
    bool ProductIdByExid(const std::string& exid, int& productId);
    bool UnitExidById(int unitId, std::string& exid);
    bool UnitIdByExid(const std::string& exid, int& unitId);
    bool CustomerExidById(int customerId, std::string& exid);
    bool CustomerIdByExid(const std::string& exid, int& customerId);
    bool PayerExidById(int payerId, std::string& exid);
    bool PayerIdByExid(const std::string& exid, int& payerId);
    bool SupplierExidById(int supplierId, std::string& exid);
    // An empty EXID, or one not found, answers with the registry value
    // "dostawca_domyslny" (false when that is missing).
    bool SupplierIdByExid(const std::string& exid, int& supplierId);
    bool DictionaryIdByName(int categoryId, const std::string& name, int& dictionaryId);
    bool DictionaryExidById(int dictionaryId, std::string& exid);
    // Active entries of the category whose upper-cased EXID equals `exid` as
    // given (so only an upper-case EXID can match).
    bool DictionaryIdByExid(int categoryId, const std::string& exid, int& dictionaryId);
    // The fixed CRM status list: 1 otwarty, 2 skasowany, 3 zaakceptowany,
    // 4 wydrukowany, 5 anulowany (whole, exact names).
    bool StatusIdByName(const std::string& name, int& statusId);
    bool StatusNameById(int statusId, std::string& name);

    // Document state in the CRM. MarkSalesDocumentExported sets the status 3 of
    // an order or invoice (dbo.ORDER_HEADER) or a cash receipt (dbo.PAYMENT);
    // other kinds: nothing, true. SetWarehouseDocumentState sets DMG_FLAGA3 of
    // the document (id, kind code). Failures are caught and logged ("Błąd
    // podczas zapisywania stanu wymiany danych z systemem dla dokumentu o
    // ID=%d"): false.
    bool MarkSalesDocumentExported(const std::string& documentGuid, t_zlecenie_sp kind);
    bool SetWarehouseDocumentState(int state, int documentId, int kindCode);

    // The ERP's exchange table dbo.Wymiana_Danych. DeleteQueueEntry removes
    // one row (a failure is caught: false). AddExidToQueue inserts a feedback
    // row with the key max(id) + 1, the server's current time, Num1 := crmId
    // and Num2 := extra (null when empty), in a transaction of the ERP
    // connection unless one is active; failures are caught and logged ("Blad
    // dodawania EXID do kolejki wymiany danych. ..."): false.
    bool DeleteQueueEntry(int entryId);
    bool AddExidToQueue(int objectId, int crmId, const std::string& extra, TExidEntryType type);

    // Existence checks in the ERP's schema qad, on the upper-cased text.
    bool ErpProductExists(const std::string& productId);
    bool ErpCustomerExists(const std::string& customerId);
    bool ErpAgentExists(const std::string& agent);

    // The shared queries, for tests and diagnostics.
    TDM_MainQueries& Queries() { return *queries_; }

private:
    void Startup(const StartupOptions& options);
    bool OpenConnections();
    void CloseQueries();
    // The database's own words for a failure just reported, as an info entry.
    void LogFailureCause(const std::exception& e);

    std::unique_ptr<core::TLog> log_;
    std::unique_ptr<TProgress> progress_;
    std::unique_ptr<TSettingsFile> settingsFile_;
    // Created with the module, so they exist whichever start-up step ends it.
    std::unique_ptr<TPrzelaczniki> przelaczniki_ = std::make_unique<TPrzelaczniki>();
    std::unique_ptr<TDM_MainQueries> queries_; // on the two connections above
    core::EventPump* eventPump_ = nullptr;     // not owned
};

// The one TDM_Main of the program; raises std::logic_error when none exists.
TDM_Main& DM_Main();
// True while a TDM_Main exists.
bool DM_MainExists();

} // namespace pelmora::app
