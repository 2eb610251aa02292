#include "db/ConnectionString.h"

#include "core/Text.h"

namespace pelmora::db {

ConnectionString::ConnectionString(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eq = text.find('=', pos);
        size_t semi = text.find(';', pos);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            // A part without "=" carries no key; skip it.
            if (semi == std::string_view::npos)
                break;
            pos = semi + 1;
            continue;
        }
        std::string key = core::Trim(text.substr(pos, eq - pos));
        size_t valueStart = eq + 1;
        size_t firstNonBlank = text.find_first_not_of(' ', valueStart);
        std::string value;
        if (firstNonBlank != std::string_view::npos && text[firstNonBlank] == '{') {
            size_t i = firstNonBlank + 1;
            while (i < text.size()) {
                if (text[i] == '}') {
                    if (i + 1 < text.size() && text[i + 1] == '}') {
                        value += '}';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            size_t next = text.find(';', i);
            pos = next == std::string_view::npos ? text.size() : next + 1;
        } else {
            size_t end = semi == std::string_view::npos ? text.size() : semi;
            value = std::string(text.substr(valueStart, end - valueStart));
            pos = end == text.size() ? end : end + 1;
        }
        if (!key.empty())
            items_.emplace_back(std::move(key), std::move(value));
    }
}

bool ConnectionString::Has(std::string_view key) const {
    for (const auto& [k, v] : items_)
        if (core::SameText(k, key))
            return true;
    return false;
}

std::string ConnectionString::Get(std::string_view key) const {
    for (const auto& [k, v] : items_)
        if (core::SameText(k, key))
            return v;
    return {};
}

} // namespace pelmora::db
