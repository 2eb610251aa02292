#pragma once
// Splits SQL text into tokens just far enough to find parameters and names
// outside quoted strings, quoted identifiers ("..." and [...]) and comments.
// The token texts joined give back the input.

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::db {

enum class SqlTokenKind {
    Word,       // run of letters, digits, _ # $ @ and non-ASCII bytes
    Param,      // ":Name"
    String,     // '...'
    QuotedName, // "..." or [...]
    Comment,    // -- to the end of the line, or /* ... */
    Space,      // blanks and line breaks
    Symbol,     // any other single character
};

struct SqlToken {
    SqlTokenKind Kind;
    std::string_view Text; // the token as written
    std::string_view Name; // for Param: the name without the colon
};

std::vector<SqlToken> TokenizeSql(std::string_view sql);

// Parameter names in order of first appearance, each once (compared without
// regard to case).
std::vector<std::string> ParamNamesOf(std::string_view sql);

} // namespace pelmora::db
