#include "core/XMLValueText.h"

#include "core/ConvertError.h"
#include "core/SystemFormats.h"
#include "core/Text.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace pelmora::core {

namespace {

// Number formats of the files: general format with "." as decimal separator.
const FormatSettings& FileNumberFormat() {
    static const FormatSettings fs = [] {
        FormatSettings f;
        f.DecimalSeparator = '.';
        f.ThousandSeparator = '\0';
        return f;
    }();
    return fs;
}

// Characters from the 1-based position `pos`, at most `count`; empty past the end.
std::string_view Copy(std::string_view s, size_t pos, size_t count) {
    if (pos < 1 || pos > s.size())
        return {};
    return s.substr(pos - 1, count);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A field of decimal digits only; none when empty, not digits, or too long.
std::optional<int> Field(std::string_view s) {
    if (s.empty() || s.size() > 9)
        return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (!IsDigit(c))
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

[[noreturn]] void Invalid(const std::string& text, const char* what) {
    throw EXSDateTimeException("'" + text + "' is not a valid " + what);
}

constexpr int64_t MSecsPerDayInt = 86400000; // milliseconds in one day

} // namespace

std::string XSVariantToText(const Variant& value, bool normalize, int localOffsetMinutes) {
    if (normalize) {
        switch (value.Type()) {
        case varDouble:
        case varCurrency:
            return FloatToStr(value.ToDouble(), FileNumberFormat(), 15);
        case varDate:
            return XSDateTimeToText(value.ToDate(), localOffsetMinutes);
        case varNull:
            return {};
        default:
            break;
        }
    }
    return value.ToString();
}

Variant XSTextToVariant(std::string_view text, int type, bool normalize, int localOffsetMinutes) {
    if (normalize) {
        switch (type) {
        case varDouble:
        case varCurrency: {
            const std::string local =
                ReplaceAll(text, ".", std::string(1, SystemFormats().DecimalSeparator));
            return Variant(StrToFloat(local));
        }
        case varDate:
            return Variant::FromDate(XSTextToDateTime(text, localOffsetMinutes));
        default:
            break;
        }
    }
    return Variant(std::string(text)).AsType(type);
}

std::string XSDateTimeToText(TDateTime value, int offsetMinutes) {
    const DateParts p = DecodeDateTime(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p.Year, p.Month, p.Day,
                  p.Hour, p.Minute, p.Second, p.MSec);
    std::string out = buf;
    if (offsetMinutes == 0)
        return out + "Z";
    const int abs = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    std::snprintf(buf, sizeof buf, "%c%02d:%02d", offsetMinutes > 0 ? '+' : '-', abs / 60,
                  abs % 60);
    return out + buf;
}

TDateTime XSTextToDateTime(std::string_view text, int localOffsetMinutes) {
    const size_t t = text.find('T');
    const std::string datePart(t == std::string_view::npos ? text : text.substr(0, t));
    const std::string timePart(t == std::string_view::npos ? "00:00:00" : text.substr(t + 1));

    // Date: yyyy-mm-dd; a longer year keeps its last four digits.
    std::string_view d = datePart;
    if (!d.empty() && d[0] == '-')
        d.remove_prefix(1);
    const size_t dash = d.find('-');
    if (dash != std::string_view::npos && dash + 1 >= 6) {
        if (!Field(d.substr(0, dash - 4)))
            Invalid(datePart, "date");
        d.remove_prefix(dash - 4);
    }
    const std::optional<int> year = Field(Copy(d, 1, 4));
    const std::optional<int> month = Field(Copy(d, 6, 2));
    const std::optional<int> day = Field(Copy(d, 9, 2));

    // Time: hh:nn:ss, optionally .fraction and an offset after the fraction.
    std::optional<int> hour, minute, second, msec;
    bool hasOffset = false;
    int offset = 0; // minutes east of universal time, as read
    const std::string_view tp = timePart;
    if (!tp.empty()) {
        if (tp.size() < 8)
            Invalid(timePart, "time");
        hour = Field(Copy(tp, 1, 2));
        minute = Field(Copy(tp, 4, 2));
        second = Field(Copy(tp, 7, 2));
        if (tp.size() >= 9 && tp[8] == '.') {
            if (tp.size() < 10 || !IsDigit(tp[9]))
                Invalid(timePart, "time");
            size_t i = 9;
            while (i < tp.size() && IsDigit(tp[i]))
                ++i;
            msec = Field(tp.substr(9, i - 9));
            if (i < tp.size() && (tp[i] == '+' || tp[i] == '-')) {
                // Offset: sign, two-digit hours, one separator, two-digit minutes.
                const std::optional<int> oh = Field(Copy(tp, i + 2, 2));
                const std::optional<int> om = Field(Copy(tp, i + 5, 2));
                if (!oh || !om || Copy(tp, i + 2, 2).size() != 2 || Copy(tp, i + 5, 2).size() != 2)
                    Invalid(timePart, "time");
                hasOffset = true;
                offset = (tp[i] == '-' ? -1 : 1) * (*oh * 60 + *om);
            }
        } else {
            msec = 0;
        }
    }

    if (!year || !month || !day) {
        if (minute && second && msec)
            Invalid(datePart, "date");
        Invalid(datePart + " " + timePart, "date and time");
    }
    if (!minute || !second || !msec)
        Invalid(timePart, "time");

    // An invalid hour, day or millisecond count fails here (ConvertError).
    const TDateTime value =
        EncodeDateTime({*year, *month, *day, hour.value_or(-1), *minute, *second, *msec});
    if (!hasOffset || offset == localOffsetMinutes)
        return value;

    // Moved from the file's offset to universal time and on to local time.
    const DateParts p = DecodeDateTime(value);
    const int64_t days = static_cast<int64_t>(EncodeDate(p.Year, p.Month, p.Day));
    const int64_t ms = ((p.Hour * 60LL + p.Minute) * 60 + p.Second) * 1000 + p.MSec;
    const int64_t total = days * MSecsPerDayInt + ms + (localOffsetMinutes - offset) * 60000LL;
    int64_t newDays = total / MSecsPerDayInt;
    int64_t rest = total % MSecsPerDayInt;
    if (rest < 0) {
        rest += MSecsPerDayInt;
        --newDays;
    }
    const double fraction = static_cast<double>(rest) / MSecsPerDay;
    return newDays >= 0 ? static_cast<double>(newDays) + fraction
                        : static_cast<double>(newDays) - fraction;
}

std::string EncodeBase64(std::string_view bytes) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(bytes.size() * 4 / 3 + bytes.size() / 38 + 8);
    size_t column = 0; // output characters since the last line break
    auto put = [&](char c) {
        if (column == 76) {
            out += "\r\n";
            column = 0;
        }
        out += c;
        ++column;
    };
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t b0 = static_cast<unsigned char>(bytes[i]);
        const uint32_t b1 = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        const uint32_t b2 = i + 2 < bytes.size() ? static_cast<unsigned char>(bytes[i + 2]) : 0;
        const uint32_t n = (b0 << 16) | (b1 << 8) | b2;
        put(alphabet[(n >> 18) & 63]);
        put(alphabet[(n >> 12) & 63]);
        put(i + 1 < bytes.size() ? alphabet[(n >> 6) & 63] : '=');
        put(i + 2 < bytes.size() ? alphabet[n & 63] : '=');
    }
    return out;
}

std::string DecodeBase64(std::string_view text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    };
    std::string out;
    out.reserve(text.size() * 3 / 4);
    uint32_t acc = 0;
    int bits = 0;
    for (char c : text) {
        const int v = value(c);
        if (v < 0)
            continue;
        acc = (acc << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

} // namespace pelmora::core
