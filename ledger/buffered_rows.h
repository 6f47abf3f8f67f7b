#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ledger/recordset.h"

namespace vat {

// A whole result held in memory, so that it can be walked again and looked up while the
// connection runs other statements. Its values lie end to end in one text, each found by its
// place and length: a month's lists and sums are hundreds of thousands of short values, which
// as strings of their own would weigh three times as much.
class BufferedRows {
public:
    using Row = std::vector<std::optional<std::string>>;

    BufferedRows() = default;
    BufferedRows(std::vector<std::string> columnNames, const std::vector<Row>& rows);

    std::size_t Size() const { return columnNames_.empty() ? 0 : cells_.size() / Width(); }
    bool Empty() const { return cells_.empty(); }
    std::size_t Width() const { return columnNames_.size(); }

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
        return Field(columnNames_[column.index_], Value(row, column.index_));
    }
    // A field of a row, by name without regard to case, searched on each call.
    Field At(std::size_t row, std::string_view name) const { return At(row, ColumnNamed(name)); }
    // A value of a row by the column's place in the result; nullopt for NULL. Throws
    // std::out_of_range past the last row.
    std::optional<std::string_view> Value(std::size_t row, std::size_t column) const;

private:
    friend BufferedRows ReadAllRows(Recordset& recordset);
    explicit BufferedRows(std::vector<std::string> columnNames);
    void Add(const Row& row);

    struct Cell {
        std::uint32_t offset;
        std::uint32_t length;  // kNull for NULL
    };
    static constexpr std::uint32_t kNull = UINT32_MAX;

    std::vector<std::string> columnNames_;  // lower case
    std::string text_;                      // every value, end to end
    std::vector<Cell> cells_;               // row by row, a cell per column
};

// Reads every remaining row of an open recordset and closes it: the driver holds a whole result
// until its statement closes, as much again as the rows read.
BufferedRows ReadAllRows(Recordset& recordset);

}  // namespace vat
