#pragma once

#include <QWidget>
#include <optional>

#include "returns/results/reconciliation.h"

class QLabel;
class QStandardItemModel;
class QTableView;

// The shown run's return beside the month's books: a line per figure (Books, Return,
// Difference, Explained, Unexplained), whether every difference is explained, and the
// reconciling items, sortable by any column. A double click on an item hands on its voucher.
class ReconciliationView : public QWidget {
    Q_OBJECT

public:
    explicit ReconciliationView(QWidget* parent);

    // A run without a reconciliation clears the view.
    void show(const std::optional<vat::Reconciliation>& reconciliation);

signals:
    void voucherChosen(long long voucher);

private:
    QLabel* status_;
    QStandardItemModel* figures_;
    QStandardItemModel* items_;
    QTableView* itemTable_;
};
