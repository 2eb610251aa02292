#include "db/StoredProc.h"

#include "db/Backend.h"
#include "db/Connection.h"
#include "db/DbError.h"

namespace pelmora::db {

StoredProc::StoredProc(Connection& connection, std::string procedureName)
    : connection_(&connection), name_(std::move(procedureName)) {}

void StoredProc::SetProcedureName(std::string name) {
    if (name != name_)
        params_.Clear();
    name_ = std::move(name);
}

core::Variant& StoredProc::AddParam(std::string_view name) {
    return params_.Add(name);
}

core::Variant& StoredProc::ParamByName(std::string_view name) {
    return params_.ByName(name);
}

void StoredProc::SetParam(std::string_view name, const core::Variant& value) {
    params_.Add(name) = value;
}

void StoredProc::ExecProc() {
    if (name_.empty())
        throw DbError(DbErrorKind::Other, "No procedure name given");
    connection_->Session().CallProcedure(*connection_, name_, params_);
}

} // namespace pelmora::db
