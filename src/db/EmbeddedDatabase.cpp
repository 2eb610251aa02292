#include "db/EmbeddedDatabase.h"

#include "db/DbError.h"
#include "db/sqlite/Session.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace pelmora::db {

namespace fs = std::filesystem;

namespace {

std::string ReadScript(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw DbError(DbErrorKind::Other, "Cannot read SQL script " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    // A byte-order mark is no SQL.
    if (s.rfind("\xEF\xBB\xBF", 0) == 0)
        s.erase(0, 3);
    return s;
}

} // namespace

fs::path EmbeddedCatalogPath(const fs::path& dir, const std::string& catalog) {
    return dir / catalog;
}

std::string EmbeddedConnectionString(const fs::path& dir, const std::string& catalog) {
    return "Provider=SQLOLEDB.1;Password=;Persist Security Info=True;User ID=;Initial Catalog=" +
           catalog + ";Data Source=sqlite:" + dir.string();
}

void CreateEmbeddedDatabase(const fs::path& dir, const std::string& catalog,
                            const std::vector<EmbeddedSchema>& schemas, bool replaceExisting) {
    if (catalog.empty())
        throw DbError(DbErrorKind::Other, "No database name given");
    fs::path folder = EmbeddedCatalogPath(dir, catalog);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw DbError(DbErrorKind::Other,
                      "Cannot create database folder " + folder.string() + ": " + ec.message());
    sqlite::Session::OpenFile(folder / EmbeddedMainFile, true);
    for (const EmbeddedSchema& schema : schemas) {
        fs::path file = folder / (schema.Name + EmbeddedSchemaExtension);
        if (fs::exists(file, ec)) {
            if (!replaceExisting)
                throw DbError(DbErrorKind::Other, "Schema file exists already: " + file.string());
            fs::remove(file, ec);
            fs::remove(fs::path(file.string() + "-journal"), ec);
        }
        std::unique_ptr<sqlite::Session> session = sqlite::Session::OpenFile(file, true);
        for (const fs::path& script : schema.Scripts) {
            std::string sql = ReadScript(script);
            // One transaction per script: a failing script leaves nothing of itself.
            session->Begin();
            try {
                session->Execute(sql);
                session->Commit();
            } catch (const DbError& e) {
                if (session->InTransaction())
                    session->Rollback();
                throw DbError(e.Kind(), script.string() + ": " + e.what(), e.SqlState(),
                              e.NativeError());
            }
        }
    }
}

} // namespace pelmora::db
