#include "app/window/reconciliation_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/export/reconciliation_table.h"
#include "returns/results/number_forms.h"

namespace {

// What an item sorts by: its amount as a number, any other cell as its text.
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kVoucherColumn = 1;  // of the items, as the exports lay them out
constexpr int kExplainedColumn = 4;

const QColor kUnexplainedText(192, 0, 0);

QStandardItem* Item(const TableCell& cell) {
    auto* item = new QStandardItem(QString::fromStdString(cell.text));
    item->setEditable(false);
    item->setToolTip(item->text());
    if (cell.number) {
        item->setData(*cell.number, kSortRole);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else {
        item->setData(item->text(), kSortRole);
    }
    return item;
}

template <std::size_t N>
void Fill(QStandardItemModel& model, const std::array<const char*, N>& columns,
          const std::vector<TableRow>& rows) {
    model.clear();
    QStringList headings;
    for (const char* column : columns) headings << column;
    model.setHorizontalHeaderLabels(headings);
    for (const TableRow& row : rows) {
        QList<QStandardItem*> items;
        for (const TableCell& cell : row) items << Item(cell);
        model.appendRow(items);
    }
}

// The figures as the exports give them, with what the items explain beside the remainder;
// VAT payable has no items of its own.
std::vector<TableRow> FigureRowsWithExplained(const vat::Reconciliation& reconciliation) {
    std::vector<TableRow> rows = ReconciledFigureRows(reconciliation);
    for (std::size_t at = 0; at < rows.size(); ++at) {
        TableCell explained;
        if (at < vat::kReconciledFigureCount) {
            const std::int64_t paise =
                reconciliation.Of(static_cast<vat::ReconciledFigure>(at)).Explained();
            explained = {vat::GroupedPaise(paise), static_cast<double>(paise) / 100};
        }
        rows[at].insert(rows[at].begin() + kExplainedColumn, explained);
    }
    return rows;
}

// "12.00 of input VAT and 3.00 of CST on sales are not explained"
QString StatusText(const vat::Reconciliation& reconciliation) {
    if (reconciliation.AllExplained()) return "Every difference is explained.";
    QStringList parts;
    for (int at = 0; at < vat::kReconciledFigureCount; ++at) {
        const auto figure = static_cast<vat::ReconciledFigure>(at);
        if (const std::int64_t left = reconciliation.Of(figure).Unexplained(); left != 0)
            parts << QString::fromStdString(vat::GroupedPaise(left) + " of " +
                                            std::string(vat::ReconciledName(figure)));
    }
    const QString last = parts.takeLast();
    return (parts.isEmpty() ? last : parts.join(", ") + " and " + last) +
           (parts.isEmpty() ? " is not explained." : " are not explained.");
}

QTableView* Table(const char* name, QAbstractItemModel* model, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setModel(model);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(false);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

}  // namespace

ReconciliationView::ReconciliationView(QWidget* parent)
    : QWidget(parent),
      status_(new QLabel(this)),
      figures_(new QStandardItemModel(this)),
      items_(new QStandardItemModel(this)) {
    status_->setObjectName("lbl_ReconciliationStatus");
    auto* sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(items_);
    sorted->setSortRole(kSortRole);
    QTableView* figureTable = Table("tbl_Reconciliation", figures_, this);
    itemTable_ = Table("tbl_ReconcilingItems", sorted, this);
    // The items in the run's order until a heading is clicked.
    itemTable_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    itemTable_->setSortingEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(status_);
    layout->addWidget(figureTable, 1);
    layout->addWidget(itemTable_, 2);

    connect(itemTable_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        emit voucherChosen(index.siblingAtColumn(kVoucherColumn).data(kSortRole).toLongLong());
    });
    show(std::nullopt);
}

void ReconciliationView::show(const std::optional<vat::Reconciliation>& reconciliation) {
    Fill(*figures_,
         std::array{"Figure", "Books", "Return", "Difference", "Explained", "Unexplained"},
         reconciliation ? FigureRowsWithExplained(*reconciliation) : std::vector<TableRow>{});
    Fill(*items_, kReconcilingItemColumns,
         reconciliation ? ReconcilingItemRows(*reconciliation) : std::vector<TableRow>{});
    status_->setText(reconciliation ? StatusText(*reconciliation) : QString());
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, reconciliation && !reconciliation->AllExplained()
                                               ? kUnexplainedText
                                               : this->palette().color(QPalette::WindowText));
    status_->setPalette(palette);
}
