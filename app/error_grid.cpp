#include "app/error_grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

namespace {

enum Column { CodeColumn, TypeColumn, ErrorColumn };

constexpr int kTypeWidthUnits = 150;
constexpr int kErrorWidthUnits = 350;

QTableWidgetItem* ReadOnlyItem(const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    return item;
}

}  // namespace

void FormatErrorGrid(QTableWidget& grid) {
    grid.setUpdatesEnabled(false);
    grid.setRowCount(0);
    grid.setColumnCount(3);
    grid.setHorizontalHeaderLabels({"Code", "Type", "Error"});
    grid.setColumnHidden(CodeColumn, true);
    grid.verticalHeader()->hide();
    grid.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid.horizontalHeader()->setStyleSheet(
        "QHeaderView::section { background-color: rgb(224, 224, 224); padding: 2px 4px;"
        " border: none; border-right: 1px solid gray; border-bottom: 1px solid gray; }");
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setWordWrap(true);
    // A fixed scroll bar keeps the Error column's width, and so every row's wrapping, the same
    // however many rows the list holds.
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const int available =
        grid.width() - 2 * grid.frameWidth() - grid.verticalScrollBar()->sizeHint().width();
    grid.setColumnWidth(TypeColumn,
                        available * kTypeWidthUnits / (kTypeWidthUnits + kErrorWidthUnits));
    grid.horizontalHeader()->setStretchLastSection(true);
    grid.setUpdatesEnabled(true);
}

void ShowErrorRows(QTableWidget& grid, const std::vector<vat::ErrorRow>& rows) {
    const int shown = static_cast<int>(rows.size()) < grid.rowCount() ? 0 : grid.rowCount();
    grid.setRowCount(static_cast<int>(rows.size()));
    for (int row = shown; row < grid.rowCount(); ++row) {
        grid.setItem(row, TypeColumn, ReadOnlyItem(rows[row].type));
        grid.setItem(row, ErrorColumn, ReadOnlyItem(rows[row].error));
        grid.resizeRowToContents(row);
    }
}
