#pragma once
// One connection to one database (the CRM's or the ERP's). The connection string
// is the OLE DB form the program builds,
//   "Provider=SQLOLEDB.1;Password=...;Persist Security Info=True;User ID=...;
//    Initial Catalog=...;Data Source=..."
// and its `Data Source` picks the backend:
//   - "sqlite:DIR": the embedded backend. DIR (relative to `baseDir` unless
//     absolute) holds the folder `<Initial Catalog>`, which holds one file
//     `<schema>.sqlite` per schema, each attached under its schema name
//     (see EmbeddedDatabase.h). A missing folder fails the open.
//   - anything else: Microsoft SQL Server through unixODBC: Server from `Data
//     Source`, Database from `Initial Catalog`, UID/PWD from `User ID`/`Password`,
//     with the ODBC driver `odbcDriver` (FreeTDS when empty).
// A string that has a `Driver` or `DSN` key and no `Provider` key is an ODBC
// connection string and goes to the driver manager unchanged.

#include "db/ParamList.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace pelmora::db {

class SessionBackend;
class Connection;

enum class BackendKind {
    None,     // not connected
    Embedded, // SQLite files
    Odbc,     // unixODBC driver manager
};

// A stored procedure of the embedded backend: gets the connection it runs on and
// the parameters set before the call (it may change their values).
using Procedure = std::function<void(Connection& connection, ParamList& params)>;

// ODBC driver used for a SQL Server when the INI names none.
inline constexpr const char* DefaultOdbcDriver = "FreeTDS";

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Closes the connection if open, then opens it from `connectionString`.
    // `baseDir` is the directory a relative "sqlite:DIR" is resolved against
    // (the program directory). Raises DbError (ConnectionFailed when the database
    // cannot be reached or the embedded folder is missing).
    void Open(const std::string& connectionString, const std::filesystem::path& baseDir,
              const std::string& odbcDriver = {});
    // Rolls back an open transaction and closes; does nothing when closed.
    void Close();
    bool Connected() const;
    BackendKind Kind() const;
    // The string of the last Open.
    const std::string& ConnectionString() const { return connectionString_; }

    // Runs a plain command without parameters; returns the rows affected
    // (-1 when the database does not tell).
    int64_t Execute(const std::string& sql);

    // One transaction at a time; Commit and Rollback end it. Beginning a second
    // one, or committing none, raises DbError; Rollback without an active
    // transaction does nothing (the database may have ended it on an error).
    void BeginTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    // Stored procedures of the embedded backend, by name without regard to case
    // ("dba.CodeProdInfo_PFA"). They stay registered across Close and Open; the
    // ODBC backend calls the server's procedures instead.
    void RegisterProcedure(const std::string& name, Procedure procedure);
    const Procedure* FindProcedure(const std::string& name) const;

    // For Query and StoredProc: the open backend (raises DbError when closed), and
    // a number that changes with every Open, so they know when their prepared
    // statements belong to a closed session.
    SessionBackend& Session();
    uint64_t Generation() const { return generation_; }

private:
    std::unique_ptr<SessionBackend> session_;
    std::string connectionString_;
    uint64_t generation_ = 0;
    std::map<std::string, Procedure> procedures_; // key: upper-case name
};

} // namespace pelmora::db
