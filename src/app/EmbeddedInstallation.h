#pragma once
// Fresh embedded CRM and ERP databases made from the schema files an
// installation carries (deploy/schema: crm/*.sql and erp/*.sql, one file per
// schema, named after it). The tests, the demo installation and a new embedded
// installation use these.

#include "db/EmbeddedDatabase.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora::app {

// Environment variable naming the folder of the schema files, before the search.
inline constexpr const char* SchemaDirVariable = "PELMORA_SCHEMA_DIR";
// Folders under the schema folder for the two databases.
inline constexpr const char* CrmSchemaFolder = "crm";
inline constexpr const char* ErpSchemaFolder = "erp";

// Environment variable naming the folder of the deployment files (Pelmora.ini,
// ObjectRules.xml, schema/, demo/, style sheets) in place of the search.
inline constexpr const char* DeployDirVariable = "PELMORA_DEPLOY_DIR";
// Folder of the schema files under the deployment folder.
inline constexpr const char* DeploySchemaFolder = "schema";

// The deployment folder: $PELMORA_DEPLOY_DIR when set (empty when it is no
// folder); otherwise the first of <source tree>/deploy and <program file's
// dir>/../share/pelmora that holds schema/; empty when none does.
std::filesystem::path DeployDirectory();

// The schema folder: $PELMORA_SCHEMA_DIR when set; otherwise the first that
// exists of <source tree>/deploy/schema, <program file's dir>/../share/pelmora/schema
// and <program file's dir>/schema. Raises db::DbError when none exists.
std::filesystem::path SchemaDirectory();

// The schemas of one database: every *.sql in `folder`, in name order, each
// run inside the schema named after its file ("dba.sql" -> dba). Raises
// db::DbError when the folder holds none.
std::vector<db::EmbeddedSchema> SchemasIn(const std::filesystem::path& folder);

// Creates the embedded database `catalog` under `dataDir` (dataDir/<catalog>/)
// from the CRM's or the ERP's schema files of `schemaDir` (default:
// SchemaDirectory()). An existing schema file is an error unless
// `replaceExisting`. Raises db::DbError.
void CreateEmbeddedCrmDatabase(const std::filesystem::path& dataDir, const std::string& catalog,
                               bool replaceExisting = false,
                               const std::filesystem::path& schemaDir = {});
void CreateEmbeddedErpDatabase(const std::filesystem::path& dataDir, const std::string& catalog,
                               bool replaceExisting = false,
                               const std::filesystem::path& schemaDir = {});

} // namespace pelmora::app
