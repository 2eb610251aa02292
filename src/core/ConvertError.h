#pragma once
// The one error type of value conversions (text to number, variant casts, dates).

#include <stdexcept>
#include <string>

namespace pelmora::core {

class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace pelmora::core
