#include "db/SqlLexer.h"

#include "core/Text.h"

namespace pelmora::db {

namespace {

bool IsWordChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || c == '_' ||
           c == '#' || c == '$' || c == '@' || u >= 0x80;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// End of a quoted run starting at `start` (the opening character), with the
// closing character doubled as its escape; the end of the text when unclosed.
size_t QuotedEnd(std::string_view s, size_t start, char close) {
    size_t i = start + 1;
    while (i < s.size()) {
        if (s[i] == close) {
            if (i + 1 < s.size() && s[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

} // namespace

std::vector<SqlToken> TokenizeSql(std::string_view s) {
    std::vector<SqlToken> tokens;
    size_t i = 0;
    auto push = [&](SqlTokenKind kind, size_t end, std::string_view name = {}) {
        tokens.push_back(SqlToken{kind, s.substr(i, end - i), name});
        i = end;
    };
    while (i < s.size()) {
        char c = s[i];
        if (c == '\'') {
            push(SqlTokenKind::String, QuotedEnd(s, i, '\''));
        } else if (c == '"') {
            push(SqlTokenKind::QuotedName, QuotedEnd(s, i, '"'));
        } else if (c == '[') {
            push(SqlTokenKind::QuotedName, QuotedEnd(s, i, ']'));
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            size_t end = s.find('\n', i);
            push(SqlTokenKind::Comment, end == std::string_view::npos ? s.size() : end);
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            size_t end = s.find("*/", i + 2);
            push(SqlTokenKind::Comment, end == std::string_view::npos ? s.size() : end + 2);
        } else if (IsSpace(c)) {
            size_t end = i;
            while (end < s.size() && IsSpace(s[end]))
                ++end;
            push(SqlTokenKind::Space, end);
        } else if (IsWordChar(c)) {
            size_t end = i;
            while (end < s.size() && IsWordChar(s[end]))
                ++end;
            push(SqlTokenKind::Word, end);
        } else if (c == ':' && i + 1 < s.size() && IsWordChar(s[i + 1]) &&
                   (i == 0 || s[i - 1] != ':')) {
            size_t end = i + 1;
            while (end < s.size() && IsWordChar(s[end]))
                ++end;
            push(SqlTokenKind::Param, end, s.substr(i + 1, end - i - 1));
        } else {
            push(SqlTokenKind::Symbol, i + 1);
        }
    }
    return tokens;
}

std::vector<std::string> ParamNamesOf(std::string_view sql) {
    std::vector<std::string> names;
    for (const SqlToken& t : TokenizeSql(sql)) {
        if (t.Kind != SqlTokenKind::Param)
            continue;
        bool known = false;
        for (const std::string& n : names)
            known = known || core::SameText(n, t.Name);
        if (!known)
            names.emplace_back(t.Name);
    }
    return names;
}

} // namespace pelmora::db
