#pragma once

#include <sql.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/ledger_date.h"
#include "ledger/query_watch.h"

namespace vat {

class BufferedRows;

// One value of the current row. Every column is fetched as text and converted here, so an
// amount is the double nearest its decimal text whatever the driver's type mapping.
class Field {
public:
    Field(std::string_view name, std::optional<std::string_view> value)
        : name_(name), value_(value) {}
    // A kept value read as a field; valid while value is.
    Field(std::string_view name, const std::optional<std::string>& value)
        : Field(name, value ? std::optional<std::string_view>(*value) : std::nullopt) {}

    bool IsNull() const { return !value_; }
    // The text as the server gave it, valid while its row is; nullopt for NULL.
    std::optional<std::string_view> Raw() const { return value_; }
    // The same, to keep.
    std::optional<std::string> Owned() const {
        return value_ ? std::optional<std::string>(*value_) : std::nullopt;
    }

    std::string Text() const;                // NULL reads as empty
    long long Integer() const;               // NULL reads as 0
    double Double() const;                   // NULL reads as 0
    std::optional<LedgerDate> Date() const;  // NULL reads as nullopt

private:
    std::string_view name_;
    std::optional<std::string_view> value_;
};

// A forward-only result set with the end-of-set tests a voucher walk needs.
class Recordset {
public:
    Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset();

    bool Eof() const { return eof_; }

    void MoveNext();

    // The current row's field, looked up by name without regard to case.
    Field operator[](std::string_view name) const;

    // The columns' names in lower case, and the current row's values.
    const std::vector<std::string>& ColumnNames() const { return columnNames_; }
    const std::vector<std::optional<std::string>>& Row() const { return row_; }

private:
    friend class LedgerConnection;
    friend void OpenQuery(Recordset& recordset, const std::string& sql,
                          const std::vector<std::string>& textParameters);
    friend void ConnectLedger(class LedgerConnection& ledger, const std::string& database,
                              bool readOnly);
    friend BufferedRows ReadAllRows(Recordset& recordset);

    void Attach(SQLHDBC connection, QueryWatch& watch);
    void Release();
    void Close();
    void Open(const std::string& sql, const std::vector<std::string>& textParameters = {});
    void BindParameters(const std::vector<std::string>& textParameters);
    void BindColumns();
    void FetchRow();
    // A value longer than its bound buffer, read again whole.
    std::string LongValue(SQLUSMALLINT column);

    // Every column is fetched as text into a buffer of its own; longer values are rare (names,
    // addresses) and read again on their own.
    static constexpr std::size_t kBoundWidth = 256;

    SQLHDBC connection_ = SQL_NULL_HDBC;
    QueryWatch* watch_ = nullptr;
    SQLHSTMT statement_ = SQL_NULL_HSTMT;
    std::string sql_;
    bool open_ = false;
    bool eof_ = true;
    std::vector<std::string> columnNames_;  // lower case
    std::vector<std::optional<std::string>> row_;
    std::string boundText_;  // kBoundWidth bytes per column, bound while the result is open
    std::vector<SQLLEN> boundLengths_;
    std::vector<std::string> parameters_;  // bound while the statement runs
    std::vector<SQLLEN> parameterLengths_;
};

}  // namespace vat
