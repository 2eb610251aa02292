#pragma once
// Reader of INI files as the Windows profile calls read them: "[section]"
// headers and "key=value" lines, names matched without regard to case, the
// first occurrence of a section or key wins, a missing key reads as the
// default (empty) text. The file is Windows-1250 text (a UTF-8 file that
// starts with a byte-order mark is read as UTF-8); values come out as UTF-8.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::core {

// A line that could not be read as a header, a key, a comment or a blank line.
struct IniProblem {
    int LineNo = 0;   // 1-based
    std::string Text; // the line as read (UTF-8), trimmed
};

class TIniFile {
public:
    TIniFile() = default;

    // Reads and parses the file; false when it cannot be read, with the
    // system's reason in `error`. The previous content is dropped either way.
    bool Load(const std::filesystem::path& path, std::string* error = nullptr);
    // Parses the bytes of an INI file.
    void Parse(std::string_view bytes);

    // Value of `key` in `section`, blanks around it removed and one pair of
    // enclosing quotes taken off; `defaultValue` when there is no such key.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // Lines that were not understood: text outside any section counts too.
    const std::vector<IniProblem>& Problems() const { return problems_; }

private:
    struct Key {
        std::string Name;
        std::string Value;
    };
    struct Section {
        std::string Name;
        std::vector<Key> Keys;
    };

    const Section* FindSection(std::string_view name) const;
    const Key* FindKey(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_;
    std::vector<IniProblem> problems_;
};

} // namespace pelmora::core
