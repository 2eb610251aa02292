#pragma once

#include <string>

namespace pelmora::core {

// A new random GUID in registry form: braces, upper-case hexadecimal, 38 characters.
std::string NewGuidText();

} // namespace pelmora::core
