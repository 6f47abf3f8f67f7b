#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/recordset.h"

namespace vat {

// A whole result held in memory, so that it can be walked again and looked up while the
// connection runs other statements.
class BufferedRows {
public:
    using Row = std::vector<std::optional<std::string>>;

    BufferedRows() = default;
    BufferedRows(std::vector<std::string> columnNames, std::vector<Row> rows);

    std::size_t Size() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }

    // A column found by its name once, for reading it from many rows.
    class Column {
        friend class BufferedRows;
        explicit Column(std::size_t index) : index_(index) {}
        std::size_t index_;
    };

    // The column by name without regard to case; throws LedgerError for a name the result does
    // not have.
    Column ColumnNamed(std::string_view name) const;
    Field At(std::size_t row, Column column) const {
        return Field(columnNames_[column.index_], &rows_.at(row)[column.index_]);
    }
    // A field of a row, by name without regard to case, searched on each call.
    Field At(std::size_t row, std::string_view name) const { return At(row, ColumnNamed(name)); }
    // Every field of a row, in the result's column order; nullopt for NULL.
    const Row& Values(std::size_t row) const { return rows_.at(row); }

private:
    std::vector<std::string> columnNames_;  // lower case
    std::vector<Row> rows_;
};

// Reads every remaining row of an open recordset and closes it: the driver holds a whole result
// until its statement closes, as much again as the rows read.
BufferedRows ReadAllRows(Recordset& recordset);

}  // namespace vat
