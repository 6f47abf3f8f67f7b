#include "app/window/voucher_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "returns/results/number_forms.h"

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString Account(long long code, const std::string& name) {
    return name.empty() ? QString::number(code) : QString::number(code) + ' ' + Text(name);
}

QString TypeName(const std::string& type) {
    if (type == "PR") return "Purchase";
    if (type == "DN") return "Debit note";
    if (type == "SR") return "Sales bill";
    if (type == "CN") return "Credit note";
    return Text(type);
}

// A read-only table of text rows; columns after the first textColumns are right-aligned.
QTableWidget* Table(const char* name, const QStringList& titles, int textColumns,
                    const std::vector<QStringList>& rows, QWidget* parent) {
    auto* table =
        new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(titles.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row = 0; row < table->rowCount(); ++row)
        for (int column = 0; column < table->columnCount(); ++column) {
            auto* item = new QTableWidgetItem(rows[static_cast<std::size_t>(row)].value(column));
            item->setTextAlignment((column < textColumns ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    table->resizeColumnsToContents();
    return table;
}

QString Heading(const vat::VoucherView& view) {
    if (view.type.empty()) return QString("The books hold no voucher %1.").arg(view.voucher);
    return QString("%1 %2 of %3, voucher %4")
        .arg(TypeName(view.type), Text(view.number), Text(view.date))
        .arg(view.voucher);
}

}  // namespace

VoucherDialog::VoucherDialog(const vat::VoucherView& view, QWidget* parent) : QDialog(parent) {
    setObjectName("dlg_Voucher");
    setWindowTitle(QString("Voucher %1").arg(view.voucher));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(Heading(view), this);
    heading->setObjectName("lbl_Voucher");
    layout->addWidget(heading);

    std::vector<QStringList> postings;
    for (const vat::VoucherPosting& posting : view.postings)
        postings.push_back({Text(posting.date), Account(posting.debitAccount, posting.debitName),
                            Account(posting.creditAccount, posting.creditName),
                            posting.cancelled ? "cancelled" : "",
                            Text(vat::GroupedDigits(posting.amount))});
    layout->addWidget(new QLabel("Day-book postings", this));
    layout->addWidget(
        Table("tbl_Postings", {"Date", "Debit", "Credit", "Note", "Amount"}, 4, postings, this));

    std::vector<QStringList> lines;
    for (const vat::VoucherLine& line : view.lines)
        lines.push_back({Text(line.quantity), Text(line.freeQuantity), Text(line.taxRate)});
    layout->addWidget(
        new QLabel(view.linesTable == "bills" ? "Bill lines" : "Inventory lines", this));
    layout->addWidget(Table("tbl_Lines", {"Quantity", "Free", "Tax rate %"}, 0, lines, this));

    std::vector<QStringList> party;
    if (view.party)
        party.push_back({QString::number(view.party->account), Text(view.party->name),
                         Text(view.party->city), Text(view.party->tin), Text(view.party->address1),
                         Text(view.party->address2)});
    layout->addWidget(new QLabel("Party", this));
    layout->addWidget(Table(
        "tbl_Party", {"Account", "Name", "City", "TIN", "Address", "Address (2)"}, 6, party, this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 520);
}
