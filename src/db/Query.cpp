#include "db/Query.h"

#include "core/Text.h"
#include "db/Backend.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqlLexer.h"

namespace pelmora::db {

std::string SqlLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

Query::Query(Connection& connection, std::string sql, std::string embeddedSql)
    : connection_(&connection) {
    SetSql(std::move(sql), std::move(embeddedSql));
}

Query::~Query() = default;

void Query::SetSql(std::string sql, std::string embeddedSql) {
    Close();
    statement_.reset();
    sql_ = std::move(sql);
    embeddedSql_ = std::move(embeddedSql);
    ParamList params;
    for (const std::string* text : {&sql_, &embeddedSql_})
        for (const std::string& name : ParamNamesOf(*text)) {
            core::Variant& value = params.Add(name);
            if (const core::Variant* old = params_.Find(name))
                value = *old;
        }
    params_ = std::move(params);
}

core::Variant& Query::ParamByName(std::string_view name) {
    return params_.ByName(name);
}

void Query::SetParam(std::string_view name, const core::Variant& value) {
    params_.ByName(name) = value;
}

const std::string& Query::TextFor(const Connection& connection) const {
    if (connection.Kind() == BackendKind::Embedded && !embeddedSql_.empty())
        return embeddedSql_;
    return sql_;
}

StatementBackend& Query::Prepared() {
    SessionBackend& session = connection_->Session();
    if (!statement_ || statementGeneration_ != connection_->Generation()) {
        statement_.reset();
        statement_ = session.Prepare(TextFor(*connection_));
        statementGeneration_ = connection_->Generation();
    }
    return *statement_;
}

void Query::Open() {
    Close();
    ResultSet result;
    Prepared().Run(params_, &result);
    result_ = std::move(result);
    row_ = 0;
    active_ = true;
}

void Query::Close() {
    active_ = false;
    result_ = ResultSet();
    row_ = 0;
}

void Query::First() {
    if (!active_)
        throw DbError(DbErrorKind::Other, "Query is closed");
    row_ = 0;
}

void Query::Next() {
    if (!active_)
        throw DbError(DbErrorKind::Other, "Query is closed");
    if (row_ < result_.Rows.size())
        ++row_;
}

bool Query::Eof() const {
    return !active_ || row_ >= result_.Rows.size();
}

int Query::RecordCount() const {
    return active_ ? static_cast<int>(result_.Rows.size()) : 0;
}

int Query::FieldCount() const {
    return static_cast<int>(result_.Columns.size());
}

const std::string& Query::FieldName(int index) const {
    if (index < 0 || index >= FieldCount())
        throw DbError(DbErrorKind::Other, "Field index out of range");
    return result_.Columns[static_cast<size_t>(index)];
}

void Query::CheckRow() const {
    if (!active_)
        throw DbError(DbErrorKind::Other, "Query is closed");
    if (row_ >= result_.Rows.size())
        throw DbError(DbErrorKind::Other, "No current row");
}

const core::Variant& Query::Field(int index) const {
    CheckRow();
    if (index < 0 || index >= FieldCount())
        throw DbError(DbErrorKind::Other, "Field index out of range");
    return result_.Rows[row_][static_cast<size_t>(index)];
}

bool Query::HasField(std::string_view name) const {
    for (const std::string& column : result_.Columns)
        if (core::SameText(column, name))
            return true;
    return false;
}

const core::Variant& Query::FieldByName(std::string_view name) const {
    for (size_t i = 0; i < result_.Columns.size(); ++i)
        if (core::SameText(result_.Columns[i], name)) {
            CheckRow();
            return result_.Rows[row_][i];
        }
    if (!active_)
        throw DbError(DbErrorKind::Other, "Query is closed");
    throw DbError(DbErrorKind::Other, "Field '" + std::string(name) + "' not found");
}

int64_t Query::Execute() {
    Close();
    return Prepared().Run(params_, nullptr);
}

} // namespace pelmora::db
