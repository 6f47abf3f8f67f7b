#include "app/window/file_accounts_table.h"

#include <QHeaderView>
#include <QTableWidget>

namespace {

enum Column {
    FileColumn,
    WrittenColumn,
    LeftOutColumn,
    MovedColumn,
    SchemaErrorsColumn,
    ValidColumn,
    ColumnCount
};

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* Count(long long count) { return Cell(QString::number(count), Qt::AlignRight); }

QString ValidText(const std::optional<bool>& valid) {
    if (!valid) return {};
    return *valid ? "yes" : "no";
}

}  // namespace

void FormatFileAccountsTable(QTableWidget& table) {
    table.setColumnCount(ColumnCount);
    table.setHorizontalHeaderLabels(
        {"File", "Written", "Left out", "Moved", "Schema errors", "Valid"});
    table.horizontalHeaderItem(LeftOutColumn)
        ->setToolTip("Documents left out of every return, each listed with the reason");
    table.horizontalHeaderItem(MovedColumn)
        ->setToolTip("Bills below one rupee that the interstate sales file takes");
    table.verticalHeader()->hide();
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = table.fontMetrics().height() + 4;
    table.verticalHeader()->setDefaultSectionSize(rowHeight);
    table.verticalHeader()->setMinimumSectionSize(rowHeight);
    table.horizontalHeader()->setFixedHeight(rowHeight + 2);
    table.horizontalHeader()->setSectionResizeMode(FileColumn, QHeaderView::Stretch);
    for (int column = WrittenColumn; column <= ValidColumn; ++column)
        table.horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

void ShowFileAccounts(QTableWidget& table, const std::vector<vat::FileAccount>& accounts) {
    table.setRowCount(static_cast<int>(accounts.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const vat::FileAccount& account = accounts[static_cast<std::size_t>(row)];
        table.setItem(row, FileColumn, Cell(QString::fromStdString(account.file), Qt::AlignLeft));
        table.setItem(row, WrittenColumn, Count(account.written));
        table.setItem(row, LeftOutColumn, Count(account.LeftOut()));
        table.setItem(row, MovedColumn, Count(account.interstate));
        table.setItem(row, SchemaErrorsColumn, Count(account.schemaErrors));
        table.setItem(row, ValidColumn, Cell(ValidText(account.valid), Qt::AlignLeft));
    }
}
