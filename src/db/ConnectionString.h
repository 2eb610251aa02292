#pragma once
// The keys of a connection string "Key=Value;Key=Value". Keys compare without
// regard to case and blanks around them; a value is taken as it stands up to the
// next ";", except that a value beginning with "{" runs to the matching "}"
// (ODBC's form, "}}" standing for "}").

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmora::db {

class ConnectionString {
public:
    explicit ConnectionString(std::string_view text);

    bool Has(std::string_view key) const;
    // The value of a key; empty when absent. The first occurrence counts.
    std::string Get(std::string_view key) const;
    const std::vector<std::pair<std::string, std::string>>& Items() const { return items_; }

private:
    std::vector<std::pair<std::string, std::string>> items_;
};

} // namespace pelmora::db
