#include "db/odbc/Dialect.h"

#include "core/Text.h"
#include "db/SqlLexer.h"

namespace pelmora::db::odbc {

PositionalSql ToPositional(std::string_view sql) {
    PositionalSql out;
    out.Sql.reserve(sql.size());
    for (const SqlToken& t : TokenizeSql(sql)) {
        if (t.Kind == SqlTokenKind::Param) {
            out.Sql += '?';
            out.Names.emplace_back(t.Name);
        } else {
            out.Sql += t.Text;
        }
    }
    return out;
}

std::string CallText(std::string_view name, size_t count) {
    std::string text = "{call " + std::string(name);
    if (count > 0) {
        text += '(';
        for (size_t i = 0; i < count; ++i)
            text += i == 0 ? "?" : ", ?";
        text += ')';
    }
    return text + "}";
}

std::string OdbcValue(std::string_view value) {
    bool braces = value.find_first_of(";{}") != std::string_view::npos ||
                  (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!braces)
        return std::string(value);
    return "{" + core::ReplaceAll(value, "}", "}}") + "}";
}

bool IsFreeTds(std::string_view driver) {
    std::string upper = core::UpperCase(driver);
    return upper == "FREETDS" || upper.find("TDSODBC") != std::string::npos;
}

std::string SqlServerConnectionString(std::string_view driver, std::string_view dataSource,
                                      std::string_view database, std::string_view user,
                                      std::string_view password) {
    std::string text = "Driver=" + OdbcValue(driver) + ";";
    std::string server = core::Trim(dataSource);
    if (IsFreeTds(driver)) {
        // SQL Server's "host,port" is two keys for FreeTDS; "host\instance" stays.
        size_t comma = server.find(',');
        std::string port;
        if (comma != std::string::npos) {
            port = core::Trim(server.substr(comma + 1));
            server = core::Trim(server.substr(0, comma));
        }
        text += "Server=" + OdbcValue(server) + ";";
        if (!port.empty())
            text += "Port=" + OdbcValue(port) + ";";
    } else {
        text += "Server=" + OdbcValue(server) + ";";
    }
    text += "Database=" + OdbcValue(database) + ";UID=" + OdbcValue(user) +
            ";PWD=" + OdbcValue(password) + ";";
    if (IsFreeTds(driver))
        text += "ClientCharset=UTF-8;";
    return text;
}

} // namespace pelmora::db::odbc
