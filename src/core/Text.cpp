#include "core/Text.h"

namespace pelmora::core {

namespace {

bool IsTrimmed(unsigned char c) { return c <= ' '; }

} // namespace

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsTrimmed(static_cast<unsigned char>(s[i])))
        ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsTrimmed(static_cast<unsigned char>(s[n - 1])))
        --n;
    return std::string(s.substr(0, n));
}

char32_t UpperChar(char32_t c) {
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if (c < 0xE0)
        return c == 0xB5 ? 0x39C : c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : c - 32;
    if (c == 0xFF)
        return 0x178;
    // Latin Extended-A: pairs of capital and small letter.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c & ~char32_t(1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if (c == 0x17F)
        return 'S';
    return c;
}

char32_t LowerChar(char32_t c) {
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xC0 && c <= 0xDE)
        return c == 0xD7 ? c : c + 32;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    return c;
}

std::string UpperCase(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : Utf8ToU32(s))
        AppendUtf8(out, UpperChar(c));
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : Utf8ToU32(s))
        AppendUtf8(out, LowerChar(c));
    return out;
}

bool SameText(std::string_view a, std::string_view b) {
    // Fast path for the common ASCII case.
    bool ascii = true;
    for (unsigned char c : a)
        ascii = ascii && c < 0x80;
    for (unsigned char c : b)
        ascii = ascii && c < 0x80;
    if (ascii) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            unsigned char x = a[i], y = b[i];
            if ((x >= 'a' && x <= 'z' ? x - 32 : x) != (y >= 'a' && y <= 'z' ? y - 32 : y))
                return false;
        }
        return true;
    }
    const std::u32string x = Utf8ToU32(a), y = Utf8ToU32(b);
    if (x.size() != y.size())
        return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (UpperChar(x[i]) != UpperChar(y[i]))
            return false;
    return true;
}

std::string Format(std::string_view pattern, std::initializer_list<Variant> args) {
    std::string out;
    auto arg = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            const char k = pattern[i + 1];
            if (k == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (k == 's' || k == 'd') {
                if (arg != args.end()) {
                    out += k == 'd' && !arg->IsUnassigned() ? std::to_string(arg->ToInt64())
                                                             : arg->ToString();
                    ++arg;
                }
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(s);
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(s.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(s.substr(pos));
    return out;
}

std::u32string Utf8ToU32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        char32_t cp = len == 1 ? c : c & (0x7F >> len);
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const unsigned char cc = s[i + k];
            if ((cc >> 6) != 2) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += cp;
        i += len;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string U32ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s)
        AppendUtf8(out, c);
    return out;
}

size_t Utf8Length(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::string Utf8Mid(std::string_view s, size_t start, size_t count) {
    const std::u32string u = Utf8ToU32(s);
    if (start >= u.size())
        return {};
    return U32ToUtf8(std::u32string_view(u).substr(start, count));
}

std::string Utf8Left(std::string_view s, size_t count) { return Utf8Mid(s, 0, count); }

} // namespace pelmora::core
