#pragma once
// What the ODBC backend does to the program's statements and connection strings:
// named parameters become positional, procedures become ODBC call escapes, and
// the OLE DB values become a driver's connection string.

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::db::odbc {

struct PositionalSql {
    std::string Sql;                // ":Name" replaced by "?"
    std::vector<std::string> Names; // the name of each "?", in order (repeats kept)
};

// Replaces every ":Name" outside quoted strings, quoted names and comments.
PositionalSql ToPositional(std::string_view sql);

// "{call name(?, ?)}" for `count` parameters ("{call name}" for none).
std::string CallText(std::string_view name, size_t count);

// A value as an ODBC connection string carries it: in braces ("}" doubled) when
// it has ";", "{", "}" or blanks at its ends, else as it stands.
std::string OdbcValue(std::string_view value);

// The connection string of a SQL Server reached through `driver`. For FreeTDS
// a `Data Source` of "host,port" gives Server and Port, and the client charset
// is UTF-8 (the layer's text), so Polish text arrives intact; other drivers get
// the `Data Source` as Server unchanged.
std::string SqlServerConnectionString(std::string_view driver, std::string_view dataSource,
                                      std::string_view database, std::string_view user,
                                      std::string_view password);

bool IsFreeTds(std::string_view driver);

} // namespace pelmora::db::odbc
