#pragma once
// Text helpers on UTF-8 strings: trimming, case that knows the Polish
// letters, case-insensitive comparison, and the %s / %d formatting of messages.

#include "core/Variant.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace pelmora::core {

// Trim removes control characters and blanks (everything up to ' ') at the ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Upper and lower case of Latin letters, Polish ones included (ą→Ą, ś→Ś).
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
char32_t UpperChar(char32_t c);
char32_t LowerChar(char32_t c);
// Equality ignoring case, in the sense of UpperCase.
bool SameText(std::string_view a, std::string_view b);

// Fills "%s" and "%d" (and "%%") in order from the arguments' text forms.
std::string Format(std::string_view pattern, std::initializer_list<Variant> args);

// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// UTF-8 <-> code points. Invalid sequences decode as U+FFFD.
std::u32string Utf8ToU32(std::string_view s);
std::string U32ToUtf8(std::u32string_view s);
void AppendUtf8(std::string& out, char32_t c);
// Number of code points.
size_t Utf8Length(std::string_view s);
// The first `count` code points.
std::string Utf8Left(std::string_view s, size_t count);
// Code points from position `start` (0-based), at most `count`.
std::string Utf8Mid(std::string_view s, size_t start, size_t count = std::string_view::npos);

} // namespace pelmora::core
