#pragma once
// A temporary program directory for start-up tests: Pelmora.ini, the four
// directories and the CRM and ERP databases as real embedded databases.
// PELMORA_HOME names it while the object lives. Header only, so the window's
// and the terminal program's tests use it too.

#include "core/TextEncoding.h"
#include "db/EmbeddedDatabase.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::test {

class TestInstallation {
public:
    // INI directory values and the directories they name.
    static constexpr const char* LogValue = "\\Log";
    static constexpr const char* XmlValue = "\\XML";
    static constexpr const char* WorkValue = "\\Work";
    static constexpr const char* TransforValue = "\\Transformacje";
    // Folder of the embedded databases, and their catalogs.
    static constexpr const char* DbFolder = "db";
    static constexpr const char* CrmCatalog = "CRM";
    static constexpr const char* ErpCatalog = "ERP";

    TestInstallation() {
        if (const char* old = std::getenv("PELMORA_HOME"))
            oldHome_ = old;
        setenv("PELMORA_HOME", Dir().c_str(), 1);
        for (const char* d : {"Log", "XML", "Work", "Transformacje"})
            std::filesystem::create_directories(temp_.Path() / d);
        db::CreateEmbeddedDatabase(temp_.Path() / DbFolder, CrmCatalog, {{"dba", {}}, {"dbo", {}}});
        db::CreateEmbeddedDatabase(temp_.Path() / DbFolder, ErpCatalog, {{"CDN", {}}});
        sections_ = {
            {"PATH",
             {{"LogDir", LogValue},
              {"XMLSubDir", XmlValue},
              {"DefaultSubDirWork", WorkValue},
              {"TransforSubDir", TransforValue}}},
            {"OPTIMA",
             {{"Uzytkownik", "ADMIN"},
              {"Haslo", "tajne"},
              {"Firma", "Firma Testowa"},
              {"Optima_Sciezka", "C:\\Optima"},
              {"Optima_Serwer_Bazy", std::string("sqlite:") + DbFolder},
              {"Optima_Nazwa_Bazy", ErpCatalog},
              {"Optima_UzytkownikBazy", "sa"},
              {"Optima_HasloBazy", "erp-haslo"}}},
            {"Tomba",
             {{"Tomba_Serwer_Bazy", std::string("sqlite:") + DbFolder},
              {"Tomba_Nazwa_Bazy", CrmCatalog},
              {"Tomba_UzytkownikBazy", "crm"},
              {"Tomba_HasloBazy", "crm-haslo"}}},
        };
        WriteIni();
    }
    ~TestInstallation() {
        if (oldHome_)
            setenv("PELMORA_HOME", oldHome_->c_str(), 1);
        else
            unsetenv("PELMORA_HOME");
    }
    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    // The program directory, as start-up forms it.
    std::string Dir() const { return temp_.Path().string(); }
    std::filesystem::path Path(const std::string& name) const { return temp_.Path() / name; }
    std::filesystem::path IniPath() const { return Path("Pelmora.ini"); }
    std::filesystem::path LogDir() const { return Path("Log"); }

    // Changes (or adds) one value; WriteIni writes it.
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        for (auto& [name, keys] : sections_)
            if (name == section) {
                for (auto& kv : keys)
                    if (kv.first == key) {
                        kv.second = value;
                        return;
                    }
                keys.emplace_back(key, value);
                return;
            }
        sections_.push_back({section, {{key, value}}});
    }
    void Remove(const std::string& section, const std::string& key) {
        for (auto& [name, keys] : sections_)
            if (name == section)
                std::erase_if(keys, [&](const auto& kv) { return kv.first == key; });
    }
    // Pelmora.ini in Windows-1250 with CR LF line ends.
    void WriteIni() const {
        std::string text;
        for (const auto& [name, keys] : sections_) {
            text += "[" + name + "]\r\n";
            for (const auto& [key, value] : keys)
                text += key + "=" + value + "\r\n";
            text += "\r\n";
        }
        WriteFileBytes(IniPath(), core::EncodeText(text, core::CodePage::Windows1250));
    }

    // The one file in the log directory, or an empty path when there is none.
    std::filesystem::path OnlyLogFile() const {
        std::filesystem::path found;
        int count = 0;
        for (const auto& e : std::filesystem::directory_iterator(LogDir()))
            if (e.is_regular_file()) {
                found = e.path();
                ++count;
            }
        return count == 1 ? found : std::filesystem::path();
    }

private:
    TempDir temp_;
    std::optional<std::string> oldHome_; // PELMORA_HOME before this installation
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections_;
};

} // namespace pelmora::test
