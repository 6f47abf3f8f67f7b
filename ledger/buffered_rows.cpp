#include "ledger/buffered_rows.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "ledger/ledger_error.h"

namespace vat {

BufferedRows::BufferedRows(std::vector<std::string> columnNames)
    : columnNames_(std::move(columnNames)) {
    for (std::string& name : columnNames_)
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
}

BufferedRows::BufferedRows(std::vector<std::string> columnNames, const std::vector<Row>& rows)
    : BufferedRows(std::move(columnNames)) {
    for (const Row& row : rows) Add(row);
}

void BufferedRows::Add(const Row& row) {
    if (row.size() != Width())
        throw LedgerError("", "A row of " + std::to_string(row.size()) + " values in a result of " +
                                  std::to_string(Width()) + " columns");
    for (const std::optional<std::string>& value : row) {
        if (!value) {
            cells_.push_back({0, kNull});
            continue;
        }
        if (text_.size() + value->size() >= kNull)
            throw LedgerError("", "The result is too large to hold: more than 4 GB of text");
        cells_.push_back(
            {static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(value->size())});
        text_ += *value;
    }
}

std::optional<std::string_view> BufferedRows::Value(std::size_t row, std::size_t column) const {
    if (row >= Size() || column >= Width())
        throw std::out_of_range("no value " + std::to_string(row) + ", " + std::to_string(column));
    const Cell cell = cells_[row * Width() + column];
    if (cell.length == kNull) return std::nullopt;
    return std::string_view(text_).substr(cell.offset, cell.length);
}

BufferedRows::Column BufferedRows::ColumnNamed(std::string_view name) const {
    const auto same = [&](const std::string& column) {
        return std::equal(
            column.begin(), column.end(), name.begin(), name.end(),
            [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    };
    const auto at = std::find_if(columnNames_.begin(), columnNames_.end(), same);
    if (at == columnNames_.end())
        throw LedgerError("", "The list has no field " + std::string(name));
    return Column(static_cast<std::size_t>(at - columnNames_.begin()));
}

BufferedRows ReadAllRows(Recordset& recordset) {
    BufferedRows all(recordset.ColumnNames());
    for (; !recordset.Eof(); recordset.MoveNext()) all.Add(recordset.Row());
    recordset.Close();
    return all;
}

}  // namespace vat
