#pragma once
// A stored procedure called by name ("dba.CodeProdInfo_PFA") with named input
// parameters set before each call. Through ODBC it runs as
// "{call name(?, ...)}" with the parameters in the order they were added; on the
// embedded backend the procedure registered with the connection under that name
// runs (Connection::RegisterProcedure).

#include "core/Variant.h"
#include "db/ParamList.h"

#include <string>
#include <string_view>

namespace pelmora::db {

class Connection;

class StoredProc {
public:
    explicit StoredProc(Connection& connection, std::string procedureName = {});

    // Setting another name drops the parameters; the caller adds them anew.
    void SetProcedureName(std::string name);
    const std::string& ProcedureName() const { return name_; }
    Connection& GetConnection() const { return *connection_; }

    // Adds a parameter (unless it exists) and returns its value.
    core::Variant& AddParam(std::string_view name);
    // Raises DbError for a name not added.
    core::Variant& ParamByName(std::string_view name);
    // Sets a parameter, adding it when absent.
    void SetParam(std::string_view name, const core::Variant& value);
    void ClearParams() { params_.Clear(); }
    const ParamList& Params() const { return params_; }

    // Calls the procedure; raises DbError.
    void ExecProc();

private:
    Connection* connection_;
    std::string name_;
    ParamList params_;
};

} // namespace pelmora::db
