#include "db/sqlite/Session.h"

#include "core/Text.h"
#include "db/EmbeddedDatabase.h"
#include "db/sqlite/Dialect.h"
#include "db/sqlite/Errors.h"
#include "db/sqlite/Statement.h"

#include <sqlite3.h>

#include <algorithm>
#include <system_error>
#include <vector>

namespace pelmora::db::sqlite {

namespace fs = std::filesystem;

namespace {

std::string QuoteName(std::string_view name) {
    return "\"" + core::ReplaceAll(name, "\"", "\"\"") + "\"";
}

struct SchemaFile {
    std::string Name;
    fs::path Path;
};

// The schema files of a catalog folder, in the order of their names.
std::vector<SchemaFile> SchemaFiles(const fs::path& folder) {
    std::vector<SchemaFile> files;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError) ||
            entry.path().extension() != EmbeddedSchemaExtension)
            continue;
        files.push_back({entry.path().stem().string(), entry.path()});
    }
    if (ec)
        Raise(DbErrorKind::ConnectionFailed,
              "Cannot read database folder " + folder.string() + ": " + ec.message());
    std::sort(files.begin(), files.end(), [](const SchemaFile& a, const SchemaFile& b) {
        std::string ua = core::UpperCase(a.Name), ub = core::UpperCase(b.Name);
        return ua != ub ? ua < ub : a.Name < b.Name;
    });
    return files;
}

sqlite3* OpenHandle(const fs::path& file, bool create) {
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(file.string().c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        DbError error = MakeError(db, rc, "Cannot open " + file.string());
        sqlite3_close_v2(db);
        throw DbError(DbErrorKind::ConnectionFailed, error.what(), {}, error.NativeError());
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    return db;
}

} // namespace

void Session::Configure(const std::string& schema) {
    std::string s = QuoteName(schema);
    // Rollback journal: only there is a commit across several files atomic;
    // EXTRA syncs the journal's directory too, so a commit survives power loss.
    ExecuteText(db_, "PRAGMA " + s + ".journal_mode=DELETE; PRAGMA " + s + ".synchronous=EXTRA;");
    // Reading the schema now tells a damaged or foreign file at open.
    ExecuteText(db_, "SELECT count(*) FROM " + s + ".sqlite_master;");
}

std::unique_ptr<Session> Session::OpenFile(const fs::path& file, bool create) {
    std::unique_ptr<Session> session(new Session(OpenHandle(file, create)));
    try {
        RegisterFunctions(session->db_);
        session->Configure("main");
        ExecuteText(session->db_, "PRAGMA foreign_keys=ON;");
    } catch (const DbError& e) {
        throw DbError(DbErrorKind::ConnectionFailed,
                      "Cannot open " + file.string() + ": " + e.what(), {}, e.NativeError());
    }
    return session;
}

std::unique_ptr<Session> Session::Open(const fs::path& dir, const std::string& catalog) {
    if (catalog.empty())
        Raise(DbErrorKind::ConnectionFailed,
              "No database (Initial Catalog) named for " + dir.string());
    fs::path folder = EmbeddedCatalogPath(dir, catalog);
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        Raise(DbErrorKind::ConnectionFailed, "Database folder not found: " + folder.string());
    std::vector<SchemaFile> schemas = SchemaFiles(folder);
    if (schemas.empty())
        Raise(DbErrorKind::ConnectionFailed,
              "Database folder holds no schema files (*.sqlite): " + folder.string());
    std::unique_ptr<Session> session = OpenFile(folder / EmbeddedMainFile, true);
    for (const SchemaFile& schema : schemas) {
        try {
            sqlite3_stmt* stmt = nullptr;
            int rc = sqlite3_prepare_v2(session->db_, "ATTACH DATABASE ? AS ?", -1, &stmt, nullptr);
            if (rc == SQLITE_OK) {
                std::string path = schema.Path.string();
                sqlite3_bind_text(stmt, 1, path.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(stmt, 2, schema.Name.c_str(), -1, SQLITE_TRANSIENT);
                rc = sqlite3_step(stmt);
                if (rc == SQLITE_DONE)
                    rc = SQLITE_OK;
            }
            DbError error = MakeError(session->db_, rc);
            sqlite3_finalize(stmt);
            if (rc != SQLITE_OK)
                throw error;
            session->Configure(schema.Name);
        } catch (const DbError& e) {
            throw DbError(DbErrorKind::ConnectionFailed,
                          "Cannot attach " + schema.Path.string() + ": " + e.what(), {},
                          e.NativeError());
        }
    }
    return session;
}

Session::~Session() {
    ReleaseStatements();
    sqlite3_close_v2(db_);
}

std::unique_ptr<StatementBackend> Session::Prepare(const std::string& sql) {
    return std::make_unique<Statement>(*this, db_, sql);
}

int64_t Session::Execute(const std::string& sql) {
    return ExecuteText(db_, sql);
}

void Session::Begin() {
    // IMMEDIATE takes the write locks at once, so a busy database makes the
    // begin wait (busy timeout) instead of failing a later write.
    ExecuteText(db_, "BEGIN IMMEDIATE");
}

void Session::Commit() {
    ExecuteText(db_, "COMMIT");
}

void Session::Rollback() {
    ExecuteText(db_, "ROLLBACK");
}

bool Session::InTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

void Session::CallProcedure(Connection& connection, const std::string& name, ParamList& params) {
    const Procedure* procedure = connection.FindProcedure(name);
    if (procedure == nullptr)
        Raise(DbErrorKind::Other, "Could not find stored procedure '" + name + "'");
    (*procedure)(connection, params);
}

} // namespace pelmora::db::sqlite
