#include "core/IniFile.h"

#include "core/Text.h"
#include "core/TextEncoding.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace pelmora::core {

namespace {

// The UTF-8 byte-order mark.
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Removes one pair of matching enclosing quotes, as the profile calls do.
std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

bool TIniFile::Load(const std::filesystem::path& path, std::string* error) {
    sections_.clear();
    problems_.clear();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error)
            *error = std::strerror(EISDIR);
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = std::strerror(errno ? errno : ENOENT);
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error)
            *error = std::strerror(EIO);
        return false;
    }
    Parse(bytes);
    return true;
}

void TIniFile::Parse(std::string_view bytes) {
    sections_.clear();
    problems_.clear();
    const std::string text = bytes.starts_with(Utf8Bom) ? std::string(bytes.substr(Utf8Bom.size()))
                                                        : DecodeText(bytes, CodePage::Windows1250);
    // Index in sections_ of the section the following lines belong to.
    constexpr size_t None = static_cast<size_t>(-1);
    size_t current = None;
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trim(std::string_view(text).substr(pos, end - pos));
        ++lineNo;
        // CR LF, lone CR and lone LF each end a line.
        pos = end + ((end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);

        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string::npos) {
                problems_.push_back({lineNo, line});
                current = None;
                continue;
            }
            const std::string name = Trim(std::string_view(line).substr(1, close - 1));
            // A repeated section adds its new keys to the first one of its name.
            current = None;
            for (size_t i = 0; i < sections_.size() && current == None; ++i)
                if (SameText(sections_[i].Name, name))
                    current = i;
            if (current == None) {
                sections_.push_back({name, {}});
                current = sections_.size() - 1;
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (current == None || eq == std::string::npos || eq == 0) {
            problems_.push_back({lineNo, line});
            continue;
        }
        Key key{Trim(std::string_view(line).substr(0, eq)),
                Unquote(Trim(std::string_view(line).substr(eq + 1)))};
        std::vector<Key>& keys = sections_[current].Keys;
        bool known = false;
        for (const Key& k : keys)
            known = known || SameText(k.Name, key.Name);
        if (!known)
            keys.push_back(std::move(key));
    }
}

const TIniFile::Section* TIniFile::FindSection(std::string_view name) const {
    for (const Section& s : sections_)
        if (SameText(s.Name, name))
            return &s;
    return nullptr;
}

const TIniFile::Key* TIniFile::FindKey(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s)
        return nullptr;
    for (const Key& k : s->Keys)
        if (SameText(k.Name, key))
            return &k;
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const Key* k = FindKey(section, key);
    return k ? k->Value : std::string(defaultValue);
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindKey(section, key) != nullptr;
}

} // namespace pelmora::core
