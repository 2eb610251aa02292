#pragma once
// An open embedded database: the catalog folder's main file with every schema
// file attached under its name (layout in db/EmbeddedDatabase.h).
//
// A statement may name a table of another embedded database in the same data
// directory as CATALOG.schema.table, as on SQL Server: on first use that
// catalog's schema file is attached as "CATALOG.schema" (outside a
// transaction only: SQLite attaches no file inside one). CATALOG.schema.table
// with the session's own catalog is its schema.table.

#include "db/Backend.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

struct sqlite3;

namespace pelmora::db::sqlite {

class Session final : public SessionBackend {
public:
    // Opens DIR/<catalog>/. Raises DbError (ConnectionFailed when the folder or
    // its schema files are missing or unreadable).
    static std::unique_ptr<Session> Open(const std::filesystem::path& dir,
                                         const std::string& catalog);
    // Opens one database file as the main database, with the same settings and
    // functions, nothing attached (creating the file when `create`).
    static std::unique_ptr<Session> OpenFile(const std::filesystem::path& file, bool create);
    ~Session() override;

    BackendKind Kind() const override { return BackendKind::Embedded; }
    std::unique_ptr<StatementBackend> Prepare(const std::string& sql) override;
    int64_t Execute(const std::string& sql) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override;
    void CallProcedure(Connection& connection, const std::string& name, ParamList& params) override;

    sqlite3* Handle() const { return db_; }

private:
    explicit Session(sqlite3* db) : db_(db) {}
    // Settings of one database of the connection (main or an attached schema).
    void Configure(const std::string& schema);
    // The text with its three-part names resolved (see above); attaches what
    // they need. Raises DbError when an attach fails.
    std::string ResolveCatalogs(const std::string& sql);
    // The database name of CATALOG.schema, attaching it on first use; nothing
    // when CATALOG is no embedded database of the data directory.
    std::optional<std::string> CatalogSchema(const std::string& catalog, const std::string& schema);

    sqlite3* db_;
    std::filesystem::path dir_;                // the data directory; empty for a single file
    std::string catalog_;                      // the session's own catalog
    std::map<std::string, std::string> other_; // upper-case "CATALOG.SCHEMA" -> attached name
};

} // namespace pelmora::db::sqlite
