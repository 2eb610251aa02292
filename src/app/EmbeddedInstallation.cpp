#include "app/EmbeddedInstallation.h"

#include "db/DbError.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace pelmora::app {

namespace fs = std::filesystem;

namespace {

bool IsDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

void CreateFrom(const fs::path& dataDir, const std::string& catalog, bool replaceExisting,
                const fs::path& schemaDir, const char* folder) {
    const fs::path root = schemaDir.empty() ? SchemaDirectory() : schemaDir;
    db::CreateEmbeddedDatabase(dataDir, catalog, SchemasIn(root / folder), replaceExisting);
}

} // namespace

namespace {

// <program file's dir>, empty when it cannot be read.
fs::path ProgramFileDirectory() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

// The first of <source tree>/deploy and <program file's dir>/../share/pelmora
// that holds schema/; empty when none does.
fs::path SearchDeployDirectory() {
    std::vector<fs::path> candidates;
#ifdef PELMORA_SOURCE_DIR
    candidates.push_back(fs::path(PELMORA_SOURCE_DIR) / "deploy");
#endif
    if (const fs::path exeDir = ProgramFileDirectory(); !exeDir.empty())
        candidates.push_back(exeDir.parent_path() / "share" / "pelmora");
    for (const fs::path& c : candidates)
        if (IsDirectory(c / DeploySchemaFolder))
            return c;
    return {};
}

} // namespace

fs::path DeployDirectory() {
    if (const char* env = std::getenv(DeployDirVariable); env && *env)
        return IsDirectory(env) ? fs::path(env) : fs::path();
    return SearchDeployDirectory();
}

fs::path SchemaDirectory() {
    if (const char* dir = std::getenv(SchemaDirVariable); dir && *dir) {
        if (!IsDirectory(dir))
            throw db::DbError(db::DbErrorKind::Other, std::string("Schema folder named by ") +
                                                          SchemaDirVariable +
                                                          " does not exist: " + dir);
        return dir;
    }
    if (const fs::path deploy = SearchDeployDirectory(); !deploy.empty())
        return deploy / DeploySchemaFolder;
    if (const fs::path exeDir = ProgramFileDirectory();
        !exeDir.empty() && IsDirectory(exeDir / DeploySchemaFolder))
        return exeDir / DeploySchemaFolder;
    throw db::DbError(db::DbErrorKind::Other, "No folder of database schema files found");
}

std::vector<db::EmbeddedSchema> SchemasIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && it->path().extension() == ".sql")
            files.push_back(it->path());
    if (files.empty())
        throw db::DbError(db::DbErrorKind::Other, "No schema files in " + folder.string());
    std::sort(files.begin(), files.end());
    std::vector<db::EmbeddedSchema> schemas;
    for (const fs::path& f : files)
        schemas.push_back({f.stem().string(), {f}});
    return schemas;
}

void CreateEmbeddedCrmDatabase(const fs::path& dataDir, const std::string& catalog,
                               bool replaceExisting, const fs::path& schemaDir) {
    CreateFrom(dataDir, catalog, replaceExisting, schemaDir, CrmSchemaFolder);
}

void CreateEmbeddedErpDatabase(const fs::path& dataDir, const std::string& catalog,
                               bool replaceExisting, const fs::path& schemaDir) {
    CreateFrom(dataDir, catalog, replaceExisting, schemaDir, ErpSchemaFolder);
}

} // namespace pelmora::app
