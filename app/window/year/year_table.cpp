#include "app/window/year/year_table.h"

#include <QHeaderView>
#include <QStringList>
#include <QTableWidget>

#include "returns/results/number_forms.h"
#include "returns/rules/return_period.h"

namespace {

constexpr int kTotalsRow = 12;
const QColor kChangedBackground(255, 210, 210);
const QColor kChangedText(160, 0, 0);

QString Amount(std::int64_t paise) { return QString::fromStdString(vat::GroupedPaise(paise)); }

// Payable VAT with P, refundable with R, as the accountant notes them.
QString VatText(std::int64_t signedPaise) {
    if (signedPaise == 0) return Amount(0);
    return signedPaise > 0 ? Amount(signedPaise) + " P" : Amount(-signedPaise) + " R";
}

QString UrdText(long long bills, std::int64_t basic, std::int64_t vat) {
    if (bills == 0 && basic == 0 && vat == 0) return "none";
    return QString("%1 %2: %3, VAT %4")
        .arg(bills)
        .arg(bills == 1 ? "bill" : "bills", Amount(basic), Amount(vat));
}

// The figure columns' texts, Input VAT to Left out.
QStringList FigureTexts(const vat::YearTotals& totals) {
    using vat::Figure;
    return {Amount(totals.InputVat()),
            Amount(totals.OutputVat()),
            VatText(totals.Sum(Figure::VatPayable)),
            Amount(totals.Sum(Figure::CstPurchases)),
            Amount(totals.Sum(Figure::CstSales)),
            UrdText(totals.Sum(Figure::UrdPurchaseBills), totals.Sum(Figure::UrdPurchaseBasic),
                    totals.Sum(Figure::UrdPurchaseVat)),
            UrdText(totals.Sum(Figure::UrdSalesBills), totals.Sum(Figure::UrdSalesBasic),
                    totals.Sum(Figure::UrdSalesVat)),
            QString::number(totals.written),
            QString::number(totals.leftOut)};
}

// The net VAT columns show what makes them up on a hover.
QString NetToolTip(std::int64_t plus, std::int64_t minus) {
    return QString("(+) %1  (-) %2").arg(Amount(plus), Amount(minus));
}

void SetCell(QTableWidget& table, int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    const bool figure = column > MonthColumn && column < SchemaCheckColumn;
    item->setTextAlignment((figure ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    table.setItem(row, column, item);
}

void ShowMonth(QTableWidget& table, int row, const vat::YearRow& month) {
    vat::YearTotals figures;
    vat::AddRow(figures, month);
    const QStringList texts = month.generated ? FigureTexts(figures) : QStringList();
    for (int column = InputVatColumn; column <= LeftOutColumn; ++column)
        SetCell(table, row, column, texts.value(column - InputVatColumn));
    SetCell(table, row, SchemaCheckColumn, QString::fromStdString(month.schemaCheck));
    SetCell(table, row, BooksColumn, QString::fromStdString(month.books));
    const QString note = QString::fromStdString(month.note);
    for (int column = MonthColumn; column < YearColumnCount; ++column)
        table.item(row, column)->setToolTip(note);
    if (month.generated) {
        using vat::Figure;
        table.item(row, InputVatColumn)
            ->setToolTip(
                NetToolTip(figures.Sum(Figure::InputVatPlus), figures.Sum(Figure::InputVatMinus)));
        table.item(row, OutputVatColumn)
            ->setToolTip(NetToolTip(figures.Sum(Figure::OutputVatPlus),
                                    figures.Sum(Figure::OutputVatMinus)));
    }
    if (month.booksChanged) {
        QTableWidgetItem* books = table.item(row, BooksColumn);
        books->setBackground(kChangedBackground);
        books->setForeground(kChangedText);
        QFont bold = books->font();
        bold.setBold(true);
        books->setFont(bold);
    }
}

void ShowTotals(QTableWidget& table, const YearRows& rows) {
    vat::YearTotals totals;
    int changed = 0;
    for (const vat::YearRow& month : rows) {
        vat::AddRow(totals, month);
        changed += month.booksChanged ? 1 : 0;
    }
    const QStringList texts = FigureTexts(totals);
    for (int column = InputVatColumn; column <= LeftOutColumn; ++column)
        SetCell(table, kTotalsRow, column, texts[column - InputVatColumn]);
    SetCell(table, kTotalsRow, SchemaCheckColumn,
            QString("%1 of 12 generated").arg(totals.monthsCompleted));
    SetCell(table, kTotalsRow, BooksColumn,
            changed == 0 ? QString() : QString("%1 changed").arg(changed));
}

}  // namespace

void FormatYearTable(QTableWidget& table) {
    table.setColumnCount(YearColumnCount);
    table.setHorizontalHeaderLabels({"Month", "Input VAT", "Output VAT", "VAT (P/R)",
                                     "CST on purchases", "CST on sales", "URD purchases",
                                     "URD sales", "Documents written", "Left out", "Schema check",
                                     "Books", "Filed"});
    table.horizontalHeaderItem(VatColumn)->setToolTip("VAT payable (P) or refundable (R)");
    table.verticalHeader()->hide();
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    // Thirteen rows in view at once, as the file accounts table keeps its rows.
    const int rowHeight = table.fontMetrics().height() + 4;
    table.verticalHeader()->setDefaultSectionSize(rowHeight);
    table.verticalHeader()->setMinimumSectionSize(rowHeight);
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table.horizontalHeader()->setStretchLastSection(true);
    table.setRowCount(kTotalsRow + 1);
    int row = 0;
    for (const vat::MonthEntry& month : vat::FinancialYearMonths())
        SetCell(table, row++, MonthColumn,
                QString::fromLatin1(month.fullName.data(),
                                    static_cast<qsizetype>(month.fullName.size())));
    SetCell(table, kTotalsRow, MonthColumn, "Total");
    for (row = 0; row <= kTotalsRow; ++row) SetCell(table, row, FiledColumn, {});
    QFont bold = table.font();
    bold.setBold(true);
    table.item(kTotalsRow, MonthColumn)->setFont(bold);
}

void ShowYearRows(QTableWidget& table, const YearRows& rows) {
    for (int row = 0; row < kTotalsRow; ++row)
        ShowMonth(table, row, rows[static_cast<std::size_t>(row)]);
    ShowTotals(table, rows);
}

void ShowFilings(QTableWidget& table, const std::array<std::string, 12>& filings) {
    int filed = 0;
    for (int row = 0; row < kTotalsRow; ++row) {
        const std::string& filing = filings[static_cast<std::size_t>(row)];
        table.item(row, FiledColumn)->setText(QString::fromStdString(filing));
        filed += filing.empty() ? 0 : 1;
    }
    table.item(kTotalsRow, FiledColumn)
        ->setText(filed == 0 ? QString() : QString("%1 filed").arg(filed));
}
