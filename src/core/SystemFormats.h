#pragma once
// The regional settings the program runs under (a Polish Windows system) and the
// formatting that reads them. Every number and date the program shows or parses
// goes through here; nothing else hard-codes a separator.

#include "core/DateTime.h"

#include <string>
#include <string_view>

namespace pelmora::core {

struct FormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = ' ';
    char DateSeparator = '-';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "yyyy-mm-dd";
    std::string LongTimeFormat = "hh:nn:ss";
};

// The system's settings; read-only after start-up.
const FormatSettings& SystemFormats();

// Floating value in general format: up to `precision` significant digits,
// fixed notation unless the value is below 0.00001 or needs more integer
// digits than the precision, then d,dddE-n.
std::string FloatToStr(double value, const FormatSettings& fs = SystemFormats(),
                       int precision = 15);
// Parses a floating value written with the settings' decimal separator
// (surrounding blanks allowed, exponent allowed). Raises ConvertError.
double StrToFloat(std::string_view text, const FormatSettings& fs = SystemFormats());
bool TryStrToFloat(std::string_view text, double& result,
                   const FormatSettings& fs = SystemFormats());

// Integer text: optional sign, decimal digits, or $/0x hexadecimal. Raises ConvertError.
int64_t StrToInt64(std::string_view text);
bool TryStrToInt64(std::string_view text, int64_t& result);

// Delphi-style format patterns: yyyy yy mm m dd d hh h nn n ss s zzz z,
// "-" stands as written, "/" is the date separator, ":" the time separator,
// text in single or double quotes is copied.
std::string FormatDateTime(std::string_view pattern, TDateTime value,
                           const FormatSettings& fs = SystemFormats());
std::string DateToStr(TDateTime value, const FormatSettings& fs = SystemFormats());
std::string TimeToStr(TDateTime value, const FormatSettings& fs = SystemFormats());
// Short date, and a blank and the long time unless the time of day is zero.
std::string DateTimeToStr(TDateTime value, const FormatSettings& fs = SystemFormats());
// Short date with an optional blank and time (hh:nn or hh:nn:ss). Raises ConvertError.
TDateTime StrToDateTime(std::string_view text, const FormatSettings& fs = SystemFormats());
bool TryStrToDateTime(std::string_view text, TDateTime& result,
                      const FormatSettings& fs = SystemFormats());

} // namespace pelmora::core
