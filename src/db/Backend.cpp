#include "db/Backend.h"

namespace pelmora::db {

StatementBackend::StatementBackend(SessionBackend& session) : session_(&session) {
    session.statements_.insert(this);
}

StatementBackend::~StatementBackend() {
    // Reached with the session still set only when a derived constructor threw.
    if (session_ != nullptr)
        session_->statements_.erase(this);
}

void StatementBackend::Detach() {
    if (session_ == nullptr)
        return;
    session_->statements_.erase(this);
    Release();
    session_ = nullptr;
}

SessionBackend::~SessionBackend() = default;

void SessionBackend::ReleaseStatements() {
    while (!statements_.empty())
        (*statements_.begin())->Detach();
}

} // namespace pelmora::db
