#include "db/Connection.h"

#include "core/Text.h"
#include "db/Backend.h"
#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "db/odbc/Dialect.h"
#include "db/odbc/Session.h"
#include "db/sqlite/Session.h"

namespace pelmora::db {

namespace {

// `Data Source` prefix that selects the embedded backend.
constexpr std::string_view EmbeddedPrefix = "sqlite:";

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && core::SameText(s.substr(0, prefix.size()), prefix);
}

} // namespace

Connection::Connection() = default;

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
        // A failing rollback on the way out has nobody to tell.
    }
}

void Connection::Open(const std::string& connectionString, const std::filesystem::path& baseDir,
                      const std::string& odbcDriver) {
    Close();
    connectionString_ = connectionString;
    db::ConnectionString keys(connectionString);
    std::string dataSource = core::Trim(keys.Get("Data Source"));
    std::unique_ptr<SessionBackend> session;
    if (StartsWithNoCase(dataSource, EmbeddedPrefix)) {
        std::filesystem::path dir(dataSource.substr(EmbeddedPrefix.size()));
        if (dir.is_relative())
            dir = baseDir / dir;
        session = sqlite::Session::Open(dir, core::Trim(keys.Get("Initial Catalog")));
    } else if (!keys.Has("Provider") && (keys.Has("Driver") || keys.Has("DSN"))) {
        session = odbc::Session::Open(connectionString);
    } else {
        std::string driver = core::Trim(odbcDriver);
        if (driver.empty())
            driver = DefaultOdbcDriver;
        session = odbc::Session::Open(
            odbc::SqlServerConnectionString(driver, dataSource, keys.Get("Initial Catalog"),
                                            keys.Get("User ID"), keys.Get("Password")));
    }
    session_ = std::move(session);
    ++generation_;
}

void Connection::Close() {
    if (!session_)
        return;
    std::unique_ptr<SessionBackend> session = std::move(session_);
    ++generation_;
    if (session->InTransaction())
        session->Rollback();
}

bool Connection::Connected() const {
    return session_ != nullptr;
}

BackendKind Connection::Kind() const {
    return session_ ? session_->Kind() : BackendKind::None;
}

SessionBackend& Connection::Session() {
    if (!session_)
        throw DbError(DbErrorKind::ConnectionFailed, "Connection is closed");
    return *session_;
}

int64_t Connection::Execute(const std::string& sql) {
    return Session().Execute(sql);
}

void Connection::BeginTransaction() {
    SessionBackend& s = Session();
    if (s.InTransaction())
        throw DbError(DbErrorKind::Other, "A transaction is already active");
    s.Begin();
}

void Connection::Commit() {
    SessionBackend& s = Session();
    if (!s.InTransaction())
        throw DbError(DbErrorKind::Other, "No transaction is active");
    s.Commit();
}

void Connection::Rollback() {
    SessionBackend& s = Session();
    // The database may have ended the transaction itself (SQLite does on some
    // errors); a rollback then has nothing left to do.
    if (s.InTransaction())
        s.Rollback();
}

bool Connection::InTransaction() const {
    return session_ && session_->InTransaction();
}

void Connection::RegisterProcedure(const std::string& name, Procedure procedure) {
    procedures_[core::UpperCase(core::Trim(name))] = std::move(procedure);
}

const Procedure* Connection::FindProcedure(const std::string& name) const {
    auto it = procedures_.find(core::UpperCase(core::Trim(name)));
    return it == procedures_.end() ? nullptr : &it->second;
}

} // namespace pelmora::db
