#pragma once
// The text of TDM_Main's query Q_ZmianaDanychKlienta: the customers whose CRM
// name, address or tax number differ from their ERP contractor. One query on
// the ERP connection reads both databases, named by their database names.

#include <string>

namespace pelmora::db {
class Query;
}

namespace pelmora::app {

// A database name as the first part of a three-part name: "[name]", a "]" in
// it doubled. Both backends read this form.
std::string QuotedDatabaseName(const std::string& name);

// The query's text with the CRM and ERP databases named `crmDatabase` and
// `erpDatabase`; select list CUS_GUID, Knt_KntId, CUS_LONG_NAME, ADR_CITY,
// ADR_POSTALCODE, ADR_STREET, ADR_HOUSENUMBER, CUS_TAX_NUMBER.
std::string ZmianaDanychKlientaSql(const std::string& crmDatabase, const std::string& erpDatabase);
// The same for the embedded backend: texts joined with || instead of +, and
// trailing blanks taken off both sides of each comparison, as SQL Server
// ignores them when it compares texts.
std::string ZmianaDanychKlientaEmbeddedSql(const std::string& crmDatabase,
                                           const std::string& erpDatabase);

// Gives `query` both texts for the databases (Initial Catalog) of the two
// connection strings.
void SetZmianaDanychKlientaSql(db::Query& query, const std::string& crmConnectionString,
                               const std::string& erpConnectionString);

} // namespace pelmora::app
