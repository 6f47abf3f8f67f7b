#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <optional>
#include <vector>

#include "returns/results/error_row.h"

// The error list's rows for the grid, in the order the run found them, under the columns
// Type, Document, Error and File:Line, each text on one line; a cell's tooltip holds its whole
// text as the run gave it.
class ErrorListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { TypeColumn, DocumentColumn, ErrorColumn, FileLineColumn, ColumnCount };
    enum Role {
        SortRole = Qt::UserRole,  // File:Line sorts by file, then by line as a number
        TypeRole,
        FileRole,  // the file's name without its folder; empty for a row without a file
    };

    using QAbstractTableModel::QAbstractTableModel;

    // Brings the model in line with the error list, which only grows until it is cleared.
    void show(const std::vector<vat::ErrorRow>& rows);
    const vat::ErrorRow& errorRow(int row) const { return rows_[static_cast<std::size_t>(row)]; }

    // The rows' Types and file names (FileRole), each once, in the order first met.
    const QStringList& types() const { return types_; }
    const QStringList& files() const { return files_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void noteValues(std::size_t first);

    std::vector<vat::ErrorRow> rows_;
    QStringList types_;
    QStringList files_;
};

// A row whole, for the pane under the list: its Type, Document, Error, the file's path with the
// line, and the voucher when the row names one, each on a line of its own.
QString RowDetail(const vat::ErrorRow& row);

// Shows the rows of one Type and one file, or of all.
class ErrorListFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit ErrorListFilter(QObject* parent);

    void setType(std::optional<QString> type);
    void setFile(std::optional<QString> file);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::optional<QString> type_;
    std::optional<QString> file_;
};
