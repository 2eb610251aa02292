#pragma once
// The text forms of values in the program's XML files: variants with and
// without normalisation, date-time texts with a zone offset, and base64.

#include "core/DateTime.h"
#include "core/Variant.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora::core {

// A date-time text that cannot be read; what() is e.g. "'2009-13-xx' is not a valid date".
class EXSDateTimeException : public std::runtime_error {
public:
    explicit EXSDateTimeException(const std::string& message) : std::runtime_error(message) {}
};

// The text of a value. Normalised: Double and Currency in general format with
// up to 15 significant digits and "." as decimal separator, Date as a
// date-time text with `localOffsetMinutes`, Null empty; everything else (and
// everything when not normalised) in its ordinary text form (Variant::ToString).
std::string XSVariantToText(const Variant& value, bool normalize, int localOffsetMinutes);

// A value of type code `type` from its text. Normalised: codes 5 and 6 read a
// number with "." (the result is a Double for both), code 7 a date-time text
// moved to `localOffsetMinutes`; any other code (and every code when not
// normalised) converts the text by the ordinary variant conversion. Raises
// ConvertError, or EXSDateTimeException for a date-time text.
Variant XSTextToVariant(std::string_view text, int type, bool normalize, int localOffsetMinutes);

// yyyy-mm-ddThh:nn:ss.zzz followed by "Z" for offset 0, else +hh:nn / -hh:nn
// (positive offsets east of universal time).
std::string XSDateTimeToText(TDateTime value, int offsetMinutes);

// A local date-time from a date-time text: the date part before the first "T"
// (a leading "-" dropped, a year of more than four digits cut to its last
// four), the time part after it, fraction digits read as a whole number of
// milliseconds, and an offset after the fraction moving the value to
// `localOffsetMinutes`. Raises EXSDateTimeException ("'%s' is not a valid
// date" / "time" / "date and time") or ConvertError for fields out of range.
TDateTime XSTextToDateTime(std::string_view text, int localOffsetMinutes);

// Standard base64 with "=" padding and CR LF after every 76 output characters.
std::string EncodeBase64(std::string_view bytes);
// Skips every character outside the alphabet (line breaks, blanks, "=").
std::string DecodeBase64(std::string_view text);

} // namespace pelmora::core
