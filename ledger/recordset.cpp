#include "ledger/recordset.h"

#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <charconv>

#include "ledger/ledger_error.h"
#include "ledger/odbc_diagnostics.h"

namespace vat {

namespace {

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

template <typename Number>
Number ParseNumber(std::string_view name, std::string_view raw) {
    std::string_view text = Trimmed(raw);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw LedgerError("", "The field " + std::string(name) + " holds \"" + std::string(raw) +
                                  "\", which is not a number");
    return value;
}

}  // namespace

std::string Field::Text() const { return std::string(value_.value_or(std::string_view())); }

long long Field::Integer() const {
    if (IsNull()) return 0;
    // An integer column may reach us in a numeric type ("12.00"): take its whole part.
    const std::string_view raw = *value_;
    if (raw.find('.') != std::string_view::npos) return static_cast<long long>(Double());
    return ParseNumber<long long>(name_, raw);
}

double Field::Double() const { return IsNull() ? 0.0 : ParseNumber<double>(name_, *value_); }

std::optional<LedgerDate> Field::Date() const {
    if (IsNull()) return std::nullopt;
    // A timestamp column carries a time after the date: the date is its first ten characters.
    auto date = LedgerDate::Parse(value_->substr(0, 10));
    if (!date)
        throw LedgerError("", "The field " + std::string(name_) + " holds \"" +
                                  std::string(*value_) + "\", which is not a date");
    return date;
}

Recordset::~Recordset() { Release(); }

void Recordset::Attach(SQLHDBC connection, QueryWatch& watch) {
    Release();
    connection_ = connection;
    watch_ = &watch;
}

void Recordset::Release() {
    Close();
    if (statement_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, statement_);
    statement_ = SQL_NULL_HSTMT;
    connection_ = SQL_NULL_HDBC;
    watch_ = nullptr;
}

void Recordset::Close() {
    if (statement_ != SQL_NULL_HSTMT) {
        if (open_) SQLFreeStmt(statement_, SQL_CLOSE);
        SQLFreeStmt(statement_, SQL_UNBIND);
    }
    open_ = false;
    eof_ = true;
    columnNames_.clear();
    row_.clear();
}

void Recordset::Open(const std::string& sql, const std::vector<std::string>& textParameters) {
    if (connection_ == SQL_NULL_HDBC) throw LedgerError("08003", "The ledger is not connected");
    Close();
    sql_ = sql;
    if (statement_ == SQL_NULL_HSTMT)
        CheckOdbc(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement_), SQL_HANDLE_DBC,
                  connection_, "Cannot prepare a query");

    BindParameters(textParameters);
    watch_->Run(
        statement_, [this] { return "The query \"" + sql_ + "\" failed"; },
        [this] {
            return SQLExecDirect(
                statement_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql_.c_str())), SQL_NTS);
        });

    SQLSMALLINT columns = 0;
    CheckOdbc(SQLNumResultCols(statement_, &columns), SQL_HANDLE_STMT, statement_,
              "Cannot read the columns of \"" + sql_ + "\"");
    for (SQLSMALLINT column = 1; column <= columns; ++column) {
        SQLCHAR name[256];
        SQLSMALLINT nameLength = 0;
        CheckOdbc(SQLDescribeCol(statement_, column, name, sizeof name, &nameLength, nullptr,
                                 nullptr, nullptr, nullptr),
                  SQL_HANDLE_STMT, statement_, "Cannot read the columns of \"" + sql_ + "\"");
        columnNames_.push_back(LowerCase(reinterpret_cast<const char*>(name)));
    }
    BindColumns();
    open_ = true;
    FetchRow();
}

void Recordset::BindParameters(const std::vector<std::string>& textParameters) {
    SQLFreeStmt(statement_, SQL_RESET_PARAMS);
    parameters_ = textParameters;
    parameterLengths_.assign(parameters_.size(), SQL_NTS);
    for (std::size_t index = 0; index < parameters_.size(); ++index) {
        std::string& text = parameters_[index];
        CheckOdbc(
            SQLBindParameter(statement_, static_cast<SQLUSMALLINT>(index + 1), SQL_PARAM_INPUT,
                             SQL_C_CHAR, SQL_LONGVARCHAR, text.size(), 0, text.data(),
                             static_cast<SQLLEN>(text.size() + 1), &parameterLengths_[index]),
            SQL_HANDLE_STMT, statement_, "Cannot bind a parameter of \"" + sql_ + "\"");
    }
}

void Recordset::BindColumns() {
    boundText_.assign(columnNames_.size() * kBoundWidth, '\0');
    boundLengths_.assign(columnNames_.size(), 0);
    for (std::size_t index = 0; index < columnNames_.size(); ++index)
        CheckOdbc(SQLBindCol(statement_, static_cast<SQLUSMALLINT>(index + 1), SQL_C_CHAR,
                             &boundText_[index * kBoundWidth], kBoundWidth, &boundLengths_[index]),
                  SQL_HANDLE_STMT, statement_, "Cannot read the columns of \"" + sql_ + "\"");
}

void Recordset::FetchRow() {
    row_.clear();
    // The whole result came with the execute: a fetch only copies a row out of the driver.
    const SQLRETURN code = columnNames_.empty() ? SQLRETURN{SQL_NO_DATA} : SQLFetch(statement_);
    if (code == SQL_NO_DATA) {
        eof_ = true;
        return;
    }
    if (!SQL_SUCCEEDED(code))
        throw OdbcFailure(SQL_HANDLE_STMT, statement_, "Cannot read a row of \"" + sql_ + "\"");
    eof_ = false;
    row_.resize(columnNames_.size());
    for (std::size_t index = 0; index < columnNames_.size(); ++index) {
        const SQLLEN length = boundLengths_[index];
        if (length == SQL_NULL_DATA) continue;
        if (length == SQL_NO_TOTAL || length >= SQLLEN{kBoundWidth})
            row_[index] = LongValue(static_cast<SQLUSMALLINT>(index + 1));
        else
            row_[index].emplace(&boundText_[index * kBoundWidth], static_cast<std::size_t>(length));
    }
}

std::string Recordset::LongValue(SQLUSMALLINT column) {
    std::string value;
    char buffer[4096];
    for (;;) {
        SQLLEN length = 0;
        const SQLRETURN code =
            SQLGetData(statement_, column, SQL_C_CHAR, buffer, sizeof buffer, &length);
        if (code == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(code))
            throw OdbcFailure(SQL_HANDLE_STMT, statement_,
                              "Cannot read the field " + columnNames_[column - 1]);
        const bool truncated = length == SQL_NO_TOTAL || length >= SQLLEN(sizeof buffer);
        value.append(buffer, truncated ? sizeof buffer - 1 : static_cast<std::size_t>(length));
        if (code != SQL_SUCCESS_WITH_INFO || !truncated) break;
    }
    return value;
}

void Recordset::MoveNext() {
    if (!open_ || eof_) throw LedgerError("", "Cannot move past the end of \"" + sql_ + "\"");
    FetchRow();
}

Field Recordset::operator[](std::string_view name) const {
    if (!open_ || eof_ || row_.empty())
        throw LedgerError(
            "", "No current row to read the field " + std::string(name) + " from \"" + sql_ + "\"");
    const std::string lower = LowerCase(name);
    auto at = std::find(columnNames_.begin(), columnNames_.end(), lower);
    if (at == columnNames_.end())
        throw LedgerError("", "The query \"" + sql_ + "\" has no field " + std::string(name));
    size_t index = static_cast<size_t>(at - columnNames_.begin());
    return Field(columnNames_[index], row_[index]);
}

}  // namespace vat
