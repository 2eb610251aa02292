#pragma once
// An open embedded database: the catalog folder's main file with every schema
// file attached under its name (layout in db/EmbeddedDatabase.h).

#include "db/Backend.h"

#include <filesystem>
#include <memory>
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

    sqlite3* db_;
};

} // namespace pelmora::db::sqlite
