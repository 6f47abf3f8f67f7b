#pragma once

#include <QTableView>
#include <optional>
#include <vector>

#include "returns/results/error_row.h"

class ErrorListFilter;
class ErrorListModel;

// The error list: Type, Document, Error and File:Line under a light grey heading row. A click
// on a heading sorts by that column; the rows can be narrowed to one Type and one file. Every
// row is one line high, so that a screenful shows many; a cell too narrow for its text ends in
// an ellipsis and shows the whole text in its tooltip. The current row and a double click are
// handed on.
class ErrorGrid : public QTableView {
    Q_OBJECT

public:
    explicit ErrorGrid(QWidget* parent);

    // Gives the columns their share of the grid's present width; the Error column takes
    // whatever the grid gains later.
    void fitColumns();

    // Brings the rows in line with the error list.
    void showRows(const std::vector<vat::ErrorRow>& rows);

    // Narrows the list; nullopt shows all.
    void filterByType(std::optional<QString> type);
    void filterByFile(std::optional<QString> file);

    // The Types and file names of the rows, each once, in the order first met; a row without a
    // file gives the empty name.
    const QStringList& types() const;
    const QStringList& files() const;

    int rowCount() const;         // all rows
    int visibleRowCount() const;  // the rows the filters let through
    // The row shown at a position of the view.
    const vat::ErrorRow& errorRowAt(int visibleRow) const;

signals:
    void rowChosen(const vat::ErrorRow& row);
    // The row the user is on, or nullptr when none is.
    void currentRowShown(const vat::ErrorRow* row);

private:
    ErrorListModel* model_;
    ErrorListFilter* filter_;
};
