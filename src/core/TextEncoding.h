#pragma once
// Conversions between the program's UTF-8 and the 8-bit code pages used at
// the file boundaries: the INI file and log files (Windows-1250) and the
// exchange files (ISO-8859-2, or whatever a file declares).

#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora::core {

enum class CodePage { Windows1250, Iso8859_2, Iso8859_1, Utf8 };

// What to do with a character the target code page cannot hold.
enum class Unmappable {
    Replace,      // write '?'
    CharRef,      // write an XML character reference &#N;
    Throw,        // raise EncodingError
};

class EncodingError : public std::runtime_error {
public:
    explicit EncodingError(const std::string& message) : std::runtime_error(message) {}
};

// iconv's name of a code page ("WINDOWS-1250", "ISO-8859-2", ...).
const char* CodePageName(CodePage cp);
// A code page from a declared encoding name (case-insensitive; "cp1250" and
// "windows-1250" alike); false when the name is none of the four.
bool CodePageFromName(std::string_view name, CodePage& cp);

// Bytes in `cp` to UTF-8. Bytes the code page leaves undefined become U+FFFD.
std::string DecodeText(std::string_view bytes, CodePage cp);
// UTF-8 to bytes in `cp`.
std::string EncodeText(std::string_view utf8, CodePage cp, Unmappable mode = Unmappable::Replace);
// True when every character of `utf8` exists in `cp`.
bool CanEncode(std::string_view utf8, CodePage cp);

} // namespace pelmora::core
