#pragma once
// The seam between the layer's front classes (Connection, Query, StoredProc) and
// a backend (sqlite/, odbc/). A backend implements one session per open
// connection and prepared statements of that session.

#include "db/Connection.h"
#include "db/ParamList.h"
#include "db/Query.h"

#include <cstdint>
#include <set>
#include <string>

namespace pelmora::db {

class SessionBackend;

// One prepared statement. Its session releases it when the session closes;
// after that Run raises DbError.
class StatementBackend {
public:
    virtual ~StatementBackend();
    // Binds `params` by the names in the text, runs the statement and, when
    // `result` is given, reads all rows into it. Returns the rows affected
    // (-1 when unknown).
    virtual int64_t Run(const ParamList& params, ResultSet* result) = 0;

protected:
    explicit StatementBackend(SessionBackend& session);
    // Frees the backend handles; called once, by the destructor of a derived
    // class or by the session when it closes first.
    virtual void Release() = 0;
    bool Released() const { return session_ == nullptr; }
    // Derived destructors call this before their members go.
    void Detach();

private:
    friend class SessionBackend;
    SessionBackend* session_;
};

class SessionBackend {
public:
    virtual ~SessionBackend();
    virtual BackendKind Kind() const = 0;
    virtual std::unique_ptr<StatementBackend> Prepare(const std::string& sql) = 0;
    virtual int64_t Execute(const std::string& sql) = 0;
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;
    virtual void CallProcedure(Connection& connection, const std::string& name,
                               ParamList& params) = 0;

protected:
    SessionBackend() = default;
    // Derived destructors call this first, while their handles still exist.
    void ReleaseStatements();

private:
    friend class StatementBackend;
    std::set<StatementBackend*> statements_;
};

} // namespace pelmora::db
