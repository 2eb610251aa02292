// Value helpers of TDM_Main: the serializer of exchange files' settings lives
// in DM_Main.cpp; here the GUID of file names and the money conversions.

#include "app/DM_Main.h"
#include "core/ConvertError.h"
#include "core/Guid.h"
#include "core/SystemFormats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace pelmora::app {

namespace {

// Significant digits of the general form (and of the rounding below).
constexpr int Precision = 15;
// Decimals RoundMoney keeps before it rounds: the third digit decides.
constexpr size_t KeptDecimals = 3;

// Adds one to a string of decimal digits.
void IncrementDigits(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The value written with the pattern "0.00" and `separator`. Raises
// ConvertError for NaN and infinities.
std::string FormatTwoDecimals(double value, char separator) {
    if (!std::isfinite(value))
        throw core::ConvertError("Cannot format a value that is not a number");
    // The value's 15 significant digits (as the general form shows it), then
    // rounded half away from zero on those decimal digits, not on the binary
    // value: 12,345 gives 12,35.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", Precision - 1, std::fabs(value));
    const std::string s(buf);
    const size_t epos = s.find('e');
    const int exponent = std::atoi(s.c_str() + epos + 1);
    const std::string digits = s.substr(0, 1) + s.substr(2, epos - 2); // Precision digits
    // |value| * 100 = digits * 10^(exponent - Precision + 3).
    const int shift = exponent - Precision + 3;
    std::string hundredths;
    if (shift >= 0) {
        hundredths = digits + std::string(shift, '0');
    } else {
        const int keep = static_cast<int>(digits.size()) + shift;
        const char decider = keep >= 0 ? digits[keep] : '0';
        hundredths = keep > 0 ? digits.substr(0, keep) : "0";
        if (decider >= '5')
            IncrementDigits(hundredths);
    }
    const size_t first = hundredths.find_first_not_of('0');
    hundredths = first == std::string::npos ? "0" : hundredths.substr(first);
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');
    const bool zero = hundredths.find_first_not_of('0') == std::string::npos;
    std::string out = value < 0 && !zero ? "-" : "";
    out += hundredths.substr(0, hundredths.size() - 2);
    out += separator;
    out += hundredths.substr(hundredths.size() - 2);
    return out;
}

} // namespace

bool TDM_Main::NewFileGuid(std::string& text) {
    text = core::NewGuidText();
    return true;
}

bool TDM_Main::RoundMoney(double& value) {
    try {
        const core::FormatSettings& fs = core::SystemFormats();
        std::string text = core::FloatToStr(value, fs);
        const size_t separator = text.find(fs.DecimalSeparator);
        if (separator == std::string::npos)
            return true; // a whole value stays as it is
        // Cut after the third decimal. A value written with an exponent
        // (below 0,00001 or with more than 15 integer digits) has no decimals
        // to cut there: cutting "1,2E20" would read back as 120, so it is
        // rounded as it stands.
        if (text.find('E') == std::string::npos)
            text.erase(std::min(text.size(), separator + 1 + KeptDecimals));
        const double cut = core::StrToFloat(text, fs);
        value = core::StrToFloat(FormatTwoDecimals(cut, fs.DecimalSeparator), fs);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TDM_Main::FloatToDotText(double value, std::string& text) {
    try {
        // NaN or an infinity has no number text an exchange file could carry.
        if (!std::isfinite(value))
            throw core::ConvertError("Cannot format a value that is not a number");
        if (value == 0) {
            text = "0.00";
            return true;
        }
        // A copy of the system's settings with "." in place of ",": the
        // system's own stay untouched.
        core::FormatSettings dot = core::SystemFormats();
        dot.DecimalSeparator = '.';
        text = core::FloatToStr(value, dot, Precision);
        return true;
    } catch (const std::exception&) {
        text.clear();
        log_->AddError("Problem z konwersją separatora wartości typu Double");
        return false;
    }
}

} // namespace pelmora::app
