#pragma once
// The one error type of the database layer: what kind of failure it was and
// the database's own words for it.

#include <stdexcept>
#include <string>

namespace pelmora::db {

enum class DbErrorKind {
    DuplicateKey,     // a primary-key or unique constraint refused a row
    ConnectionFailed, // the database could not be reached, or the link was lost
    Other,            // everything else: bad statement, lock timeout, misuse
};

class DbError : public std::runtime_error {
public:
    DbError(DbErrorKind kind, const std::string& message, std::string sqlState = {},
            int nativeError = 0)
        : std::runtime_error(message), kind_(kind), sqlState_(std::move(sqlState)),
          nativeError_(nativeError) {}

    DbErrorKind Kind() const { return kind_; }
    // Five-character ODBC state ("23000"); empty on the embedded backend.
    const std::string& SqlState() const { return sqlState_; }
    // The driver's or database's own error number (SQLite's extended result code
    // on the embedded backend).
    int NativeError() const { return nativeError_; }

private:
    DbErrorKind kind_;
    std::string sqlState_;
    int nativeError_;
};

} // namespace pelmora::db
