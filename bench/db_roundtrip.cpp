// Round trips of the database layer: one parameterised insert of a row and one
// parameterised select of it, on the embedded backend and through ODBC
// (Debian's SQLite3 driver), with one transaction per row and with one
// transaction for all rows. Prints round trips per second.

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/EmbeddedDatabase.h"
#include "db/Query.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace pelmora;
using namespace pelmora::db;
using Clock = std::chrono::steady_clock;

namespace {

// Time each measurement may take, and the most rows it runs.
constexpr double SecondsPerMeasurement = 2.0;
constexpr int MaxRows = 200000;

const char* const TableDdl =
    "CREATE TABLE Bench(Id INTEGER PRIMARY KEY, Name VARCHAR(50), Amount FLOAT, Stamp DATETIME)";

struct Result {
    int Rows = 0;
    double Seconds = 0;
};

// Inserts and reads back rows from `firstId` on until the time is up.
Result Measure(Connection& conn, int firstId, bool transactionPerRow) {
    Query insert(conn,
                 "insert into Bench(Id, Name, Amount, Stamp) values(:Id, :Name, :Amount, :Stamp)");
    Query select(conn, "select Name, Amount, Stamp from Bench where Id = :Id");
    Result r;
    const Clock::time_point start = Clock::now();
    if (!transactionPerRow)
        conn.BeginTransaction();
    while (r.Rows < MaxRows) {
        const int id = firstId + r.Rows;
        if (transactionPerRow)
            conn.BeginTransaction();
        insert.SetParam("Id", id);
        insert.SetParam("Name", "Pozycja zażółć " + std::to_string(id));
        insert.SetParam("Amount", id * 0.25);
        insert.SetParam("Stamp", core::Variant::FromDate(45000.5));
        insert.Execute();
        select.SetParam("Id", id);
        select.Open();
        if (select.Eof() || select.FieldByName("Amount").ToDouble() != id * 0.25) {
            std::fprintf(stderr, "row %d did not come back\n", id);
            std::exit(1);
        }
        select.Close();
        if (transactionPerRow)
            conn.Commit();
        ++r.Rows;
        if ((r.Rows & 15) == 0 &&
            std::chrono::duration<double>(Clock::now() - start).count() >= SecondsPerMeasurement)
            break;
    }
    if (!transactionPerRow)
        conn.Commit();
    r.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return r;
}

void Report(const char* backend, const char* mode, const Result& r) {
    std::printf("%-10s %-22s %8d rows %7.2f s %12.0f round trips/s\n", backend, mode, r.Rows,
                r.Seconds, r.Rows / r.Seconds);
}

void Run(const char* backend, Connection& conn) {
    Report(backend, "transaction per row", Measure(conn, 1, true));
    Report(backend, "one transaction", Measure(conn, 1000000, false));
}

} // namespace

int main() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pelmora-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = pattern;
    int rc = 0;
    try {
        const std::filesystem::path script = dir / "bench.sql";
        std::ofstream(script) << TableDdl << ";\n";
        CreateEmbeddedDatabase(dir, "BENCH", {{"dbo", {script}}});
        Connection embedded;
        embedded.Open(EmbeddedConnectionString(dir, "BENCH"), dir);
        Run("embedded", embedded);

        Connection odbc;
        odbc.Open("Driver=SQLite3;Database=" + (dir / "odbc.sqlite").string(), dir);
        odbc.Execute(TableDdl);
        Run("odbc", odbc);
    } catch (const DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        rc = 1;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return rc;
}
