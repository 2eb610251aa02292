#include "app/DM_MainKlient.h"

#include "core/Text.h"
#include "db/ConnectionString.h"
#include "db/Query.h"

namespace pelmora::app {

namespace {

// What the two texts of the query write differently.
struct Dialect {
    const char* Concat; // joins the two name parts of the contractor
    bool TrimRight;     // compares each side without its trailing blanks
};

// SQL Server joins texts with + and, comparing texts, ignores trailing blanks.
constexpr Dialect SqlServer{"+", false};
// SQLite joins with || (NULL when either part is NULL, as + does) and compares
// every character, so trailing blanks are taken off both sides explicitly.
constexpr Dialect Embedded{"||", true};

// One side of a comparison, in the database's default collation.
std::string Side(const Dialect& d, const std::string& expression) {
    const std::string side = d.TrimRight ? "rtrim(" + expression + ", ' ')" : expression;
    return side + " COLLATE DATABASE_DEFAULT";
}

// The comparison: a customer is selected when any of its values differs from
// its contractor's; a comparison with a NULL side is not true.
std::string ComparisonSql(const std::string& crmDatabase, const std::string& erpDatabase,
                          const Dialect& d) {
    const std::string crm = QuotedDatabaseName(crmDatabase) + ".";
    const std::string erp = QuotedDatabaseName(erpDatabase) + ".";
    auto differs = [&d](const std::string& crmColumn, const std::string& erpColumn) {
        return Side(d, crmColumn) + " <> " + Side(d, erpColumn);
    };
    const std::string lines[] = {
        "select CUS_GUID, Knt_KntId, CUS_LONG_NAME, ADR_CITY, ADR_POSTALCODE, ADR_STREET,"
        " ADR_HOUSENUMBER, CUS_TAX_NUMBER",
        "from " + crm + "dbo.CUSTOMER",
        "inner join " + crm + "dbo.ADDRESS on ADR_GUID_CUS = CUS_GUID",
        "inner join " + crm + "dbo.CUSTOMER_ORGANIZATION on CUS_GUID = CUO_GUID_CUS",
        "inner join " + erp + "cdn.Kontrahenci on Knt_KntId = CUO_EXID_CUS",
        "where " + differs("ADR_CITY", "Knt_Miasto"),
        "or " + differs("ADR_POSTALCODE", "Knt_KodPocztowy"),
        "or " + differs("ADR_STREET", "Knt_Ulica"),
        "or " + differs("ADR_HOUSENUMBER", "Knt_NrDomu"),
        "or " + differs("CUS_LONG_NAME", std::string("(Knt_Nazwa1") + d.Concat + "Knt_Nazwa2)"),
        "or " + differs("CUS_TAX_NUMBER", "Knt_NipE"),
    };
    std::string sql;
    for (const std::string& line : lines) {
        if (!sql.empty())
            sql += '\n';
        sql += line;
    }
    return sql;
}

} // namespace

std::string QuotedDatabaseName(const std::string& name) {
    return "[" + core::ReplaceAll(name, "]", "]]") + "]";
}

std::string ZmianaDanychKlientaSql(const std::string& crmDatabase, const std::string& erpDatabase) {
    return ComparisonSql(crmDatabase, erpDatabase, SqlServer);
}

std::string ZmianaDanychKlientaEmbeddedSql(const std::string& crmDatabase,
                                           const std::string& erpDatabase) {
    return ComparisonSql(crmDatabase, erpDatabase, Embedded);
}

void SetZmianaDanychKlientaSql(db::Query& query, const std::string& crmConnectionString,
                               const std::string& erpConnectionString) {
    // The databases the connections open (as db::Connection reads the strings).
    const std::string crm =
        core::Trim(db::ConnectionString(crmConnectionString).Get("Initial Catalog"));
    const std::string erp =
        core::Trim(db::ConnectionString(erpConnectionString).Get("Initial Catalog"));
    query.SetSql(ZmianaDanychKlientaSql(crm, erp), ZmianaDanychKlientaEmbeddedSql(crm, erp));
}

} // namespace pelmora::app
