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

// The catalog folder (`folder`) or schema file (`<name>.sqlite`) in `dir` named
// `name`: the same letters first, otherwise without regard to case (database
// and schema names are not case-sensitive on SQL Server).
std::optional<fs::path> FindEntry(const fs::path& dir, const std::string& name, bool folder) {
    std::error_code ec;
    std::optional<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
        std::error_code typeError;
        std::string entryName;
        if (folder && entry.is_directory(typeError))
            entryName = entry.path().filename().string();
        else if (!folder && entry.is_regular_file(typeError) &&
                 entry.path().extension() == EmbeddedSchemaExtension)
            entryName = entry.path().stem().string();
        else
            continue;
        if (entryName == name)
            return entry.path();
        if (!found && core::SameText(entryName, name))
            found = entry.path();
    }
    return found;
}

// Attaches `file` to the connection under `name`.
void Attach(sqlite3* db, const fs::path& file, const std::string& name) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "ATTACH DATABASE ? AS ?", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        std::string path = file.string();
        sqlite3_bind_text(stmt, 1, path.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    DbError error = MakeError(db, rc);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK)
        throw error;
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
            Attach(session->db_, schema.Path, schema.Name);
            session->Configure(schema.Name);
        } catch (const DbError& e) {
            throw DbError(DbErrorKind::ConnectionFailed,
                          "Cannot attach " + schema.Path.string() + ": " + e.what(), {},
                          e.NativeError());
        }
    }
    session->dir_ = dir;
    session->catalog_ = catalog;
    return session;
}

std::optional<std::string> Session::CatalogSchema(const std::string& catalog,
                                                  const std::string& schema) {
    if (dir_.empty() || catalog.empty() || schema.empty())
        return std::nullopt;
    if (core::SameText(catalog, catalog_))
        return schema;
    const std::string key = core::UpperCase(catalog + "." + schema);
    if (auto it = other_.find(key); it != other_.end())
        return it->second;
    std::optional<fs::path> folder = FindEntry(dir_, catalog, true);
    if (!folder)
        return std::nullopt;
    std::optional<fs::path> file = FindEntry(*folder, schema, false);
    if (!file)
        return std::nullopt;
    // Named as the files are, so the attached name reads like the database's.
    const std::string name = folder->filename().string() + "." + file->stem().string();
    try {
        Attach(db_, *file, name);
        Configure(name);
    } catch (const DbError& e) {
        throw DbError(e.Kind(), "Cannot attach " + file->string() + " as " + name + ": " + e.what(),
                      {}, e.NativeError());
    }
    other_.emplace(key, name);
    return name;
}

std::string Session::ResolveCatalogs(const std::string& sql) {
    if (dir_.empty())
        return sql;
    return ResolveCatalogNames(sql, [this](const std::string& catalog, const std::string& schema) {
        return CatalogSchema(catalog, schema);
    });
}

Session::~Session() {
    ReleaseStatements();
    sqlite3_close_v2(db_);
}

std::unique_ptr<StatementBackend> Session::Prepare(const std::string& sql) {
    return std::make_unique<Statement>(*this, db_, ResolveCatalogs(sql));
}

int64_t Session::Execute(const std::string& sql) {
    return ExecuteText(db_, ResolveCatalogs(sql));
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
