#include "ledger/buffered_rows.h"

#include <algorithm>
#include <cctype>

#include "ledger/ledger_error.h"

namespace vat {

BufferedRows::BufferedRows(std::vector<std::string> columnNames, std::vector<Row> rows)
    : columnNames_(std::move(columnNames)), rows_(std::move(rows)) {
    for (std::string& name : columnNames_)
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
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
    std::vector<BufferedRows::Row> rows;
    for (; !recordset.Eof(); recordset.MoveNext()) rows.push_back(recordset.TakeRow());
    BufferedRows all(recordset.ColumnNames(), std::move(rows));
    recordset.Close();
    return all;
}

}  // namespace vat
