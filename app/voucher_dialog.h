#pragma once

#include <QDialog>

#include "returns/facts/voucher_view.h"

// A voucher as the books hold it, read-only: its day-book postings, its bill or inventory
// lines and the party's ledger row. Opened from a row of the error list.
class VoucherDialog : public QDialog {
    Q_OBJECT

public:
    // otherVouchers: further vouchers the row could have meant, named in a note.
    VoucherDialog(const vat::VoucherView& view, const std::vector<long long>& otherVouchers,
                  QWidget* parent);
};
