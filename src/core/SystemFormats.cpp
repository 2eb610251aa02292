#include "core/SystemFormats.h"

#include "core/ConvertError.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace pelmora::core {

const FormatSettings& SystemFormats() {
    static const FormatSettings settings;
    return settings;
}

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

std::string Pad(int value, int width) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

} // namespace

std::string FloatToStr(double value, const FormatSettings& fs, int precision) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0)
        return "0";
    // Significant digits and decimal exponent of the rounded value.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, value);
    std::string s(buf);
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const auto epos = s.find('e');
    const int exponent = std::atoi(s.c_str() + epos + 1);
    std::string digits = s.substr(0, 1) + s.substr(2, epos - 2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= precision || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += fs.DecimalSeparator;
            out += digits.substr(1);
        }
        out += 'E';
        if (exponent < 0)
            out += '-';
        out += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out += '0';
        out += fs.DecimalSeparator;
        out.append(-exponent - 1, '0');
        out += digits;
    } else {
        const size_t intDigits = exponent + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits);
            out += fs.DecimalSeparator;
            out += digits.substr(intDigits);
        }
    }
    return out;
}

bool TryStrToFloat(std::string_view text, double& result, const FormatSettings& fs) {
    const std::string_view t = TrimBlanks(text);
    if (t.empty())
        return false;
    std::string c;
    c.reserve(t.size());
    for (char ch : t) {
        if (ch == fs.DecimalSeparator)
            c += '.';
        else if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == 'e' || ch == 'E')
            c += ch;
        else
            return false;
    }
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(c.c_str(), &end);
    if (end != c.c_str() + c.size() || errno == ERANGE)
        return false;
    result = v;
    return true;
}

double StrToFloat(std::string_view text, const FormatSettings& fs) {
    double v;
    if (!TryStrToFloat(text, v, fs))
        throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return v;
}

bool TryStrToInt64(std::string_view text, int64_t& result) {
    std::string_view t = TrimBlanks(text);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t[0] == '$') {
        base = 16;
        t.remove_prefix(1);
    } else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    if (t.empty())
        return false;
    uint64_t v = 0;
    const uint64_t limit = negative ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
    for (char ch : t) {
        int d;
        if (ch >= '0' && ch <= '9')
            d = ch - '0';
        else if (base == 16 && ch >= 'a' && ch <= 'f')
            d = ch - 'a' + 10;
        else if (base == 16 && ch >= 'A' && ch <= 'F')
            d = ch - 'A' + 10;
        else
            return false;
        if (v > (limit - d) / base)
            return false;
        v = v * base + d;
    }
    result = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

int64_t StrToInt64(std::string_view text) {
    int64_t v;
    if (!TryStrToInt64(text, v))
        throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
    return v;
}

std::string FormatDateTime(std::string_view pattern, TDateTime value, const FormatSettings& fs) {
    const DateParts p = DecodeDateTime(value);
    std::string out;
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < pattern.size() && (pattern[i + n] | 0x20) == c)
            ++n;
        return n;
    };
    while (i < pattern.size()) {
        const char ch = pattern[i];
        const char lower = static_cast<char>(ch | 0x20);
        if (ch == '"' || ch == '\'') {
            const size_t end = pattern.find(ch, i + 1);
            const size_t stop = end == std::string_view::npos ? pattern.size() : end;
            out.append(pattern.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        if (ch == '/') {
            out += fs.DateSeparator;
            ++i;
            continue;
        }
        if (ch == ':') {
            out += fs.TimeSeparator;
            ++i;
            continue;
        }
        size_t n = (lower >= 'a' && lower <= 'z') ? run(lower) : 0;
        switch (n ? lower : '\0') {
        case 'y':
            out += n <= 2 ? Pad(p.Year % 100, 2) : Pad(p.Year, 4);
            break;
        case 'm':
            out += n >= 2 ? Pad(p.Month, 2) : std::to_string(p.Month);
            break;
        case 'd':
            out += n >= 2 ? Pad(p.Day, 2) : std::to_string(p.Day);
            break;
        case 'h':
            out += n >= 2 ? Pad(p.Hour, 2) : std::to_string(p.Hour);
            break;
        case 'n':
            out += n >= 2 ? Pad(p.Minute, 2) : std::to_string(p.Minute);
            break;
        case 's':
            out += n >= 2 ? Pad(p.Second, 2) : std::to_string(p.Second);
            break;
        case 'z':
            out += n >= 3 ? Pad(p.MSec, 3) : std::to_string(p.MSec);
            break;
        default:
            out += ch;
            n = 1;
            break;
        }
        i += n;
    }
    return out;
}

std::string DateToStr(TDateTime value, const FormatSettings& fs) {
    return FormatDateTime(fs.ShortDateFormat, value, fs);
}

std::string TimeToStr(TDateTime value, const FormatSettings& fs) {
    return FormatDateTime(fs.LongTimeFormat, value, fs);
}

std::string DateTimeToStr(TDateTime value, const FormatSettings& fs) {
    const DateParts p = DecodeDateTime(value);
    std::string s = DateToStr(value, fs);
    if (p.Hour || p.Minute || p.Second || p.MSec)
        s += ' ' + TimeToStr(value, fs);
    return s;
}

bool TryStrToDateTime(std::string_view text, TDateTime& result, const FormatSettings& fs) {
    const std::string_view t = TrimBlanks(text);
    // Fields of the short date in the order its pattern gives (y, m, d).
    int fields[6] = {0, 0, 0, 0, 0, 0};
    int count = 0;
    size_t i = 0;
    auto number = [&](int& out) {
        size_t start = i;
        int v = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9' && i - start < 6)
            v = v * 10 + (t[i++] - '0');
        out = v;
        return i > start;
    };
    for (; count < 3; ++count) {
        if (!number(fields[count]))
            return false;
        if (count < 2) {
            if (i >= t.size() || t[i] != fs.DateSeparator)
                return false;
            ++i;
        }
    }
    if (i < t.size()) {
        if (t[i] != ' ')
            return false;
        while (i < t.size() && t[i] == ' ')
            ++i;
        for (int k = 3; k < 6; ++k) {
            if (!number(fields[k]))
                return false;
            if (i == t.size())
                break;
            if (t[i] != fs.TimeSeparator || k == 5)
                return false;
            ++i;
        }
        if (i != t.size())
            return false;
    }
    // The short date is yyyy-mm-dd; look at the pattern's first letter to be sure.
    int y = fields[0], m = fields[1], d = fields[2];
    const char first = fs.ShortDateFormat.empty() ? 'y' : static_cast<char>(fs.ShortDateFormat[0] | 0x20);
    if (first == 'd') {
        d = fields[0];
        y = fields[2];
    } else if (first == 'm') {
        m = fields[0];
        d = fields[1];
        y = fields[2];
    }
    TDateTime date, time;
    if (!TryEncodeDate(y, m, d, date) || !TryEncodeTime(fields[3], fields[4], fields[5], 0, time))
        return false;
    result = date >= 0 ? date + time : date - time;
    return true;
}

TDateTime StrToDateTime(std::string_view text, const FormatSettings& fs) {
    TDateTime v;
    if (!TryStrToDateTime(text, v, fs))
        throw ConvertError("'" + std::string(text) + "' is not a valid date and time");
    return v;
}

} // namespace pelmora::core
