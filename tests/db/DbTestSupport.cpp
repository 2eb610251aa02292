#include "DbTestSupport.h"

#include "db/EmbeddedDatabase.h"
#include "db/Query.h"

namespace pelmora::test {

const char* BackendName(TestBackend backend) {
    return backend == TestBackend::Embedded ? "Embedded" : "Odbc";
}

std::filesystem::path WriteScript(const TempDir& dir, const std::string& name,
                                  const std::string& sql) {
    std::filesystem::path path = dir / name;
    WriteFileBytes(path, sql);
    return path;
}

void OpenFresh(db::Connection& connection, TestBackend backend, const TempDir& dir,
               const std::vector<std::string>& ddl) {
    if (backend == TestBackend::Embedded) {
        std::string script;
        for (const std::string& statement : ddl)
            script += statement + ";\n";
        db::CreateEmbeddedDatabase(dir / "databases", "TEST",
                                   {{"dbo", {WriteScript(dir, "schema.sql", script)}}});
        connection.Open(db::EmbeddedConnectionString("databases", "TEST"), dir.Path());
    } else {
        connection.Open(std::string("Driver=") + SqliteOdbcDriver +
                            ";Database=" + (dir / "odbc.sqlite").string(),
                        dir.Path());
        for (const std::string& statement : ddl)
            connection.Execute(statement);
    }
}

int CountRows(db::Connection& connection, const std::string& table) {
    db::Query q(connection, "select count(*) as n from " + table);
    q.Open();
    return q.FieldByName("n").ToInt();
}

} // namespace pelmora::test
