#pragma once

#include <QDialog>

#include "returns/facts/voucher_view.h"

// A voucher as the books hold it, read-only: its day-book postings, its bill or inventory
// lines and the party's ledger row. Opened from a row of the error list.
class VoucherDialog : public QDialog {
    Q_OBJECT

public:
    VoucherDialog(const vat::VoucherView& view, QWidget* parent);
};
