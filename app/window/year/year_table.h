#pragma once

#include <array>
#include <string>

#include "returns/year/year_rows.h"

class QTableWidget;

// The year's months, April to March, one a row, and their totals in a last row.
using YearRows = std::array<vat::YearRow, 12>;

// The table's columns, in order.
enum YearColumn {
    MonthColumn,
    InputVatColumn,
    OutputVatColumn,
    VatColumn,
    CstPurchasesColumn,
    CstSalesColumn,
    UrdPurchasesColumn,
    UrdSalesColumn,
    WrittenColumn,
    LeftOutColumn,
    SchemaCheckColumn,
    BooksColumn,
    FiledColumn,
    YearColumnCount
};

// Gives the table its columns, a row for each month of the financial year and the totals row.
void FormatYearTable(QTableWidget& table);

// Paints the months' rows and their totals; a month whose books changed is highlighted.
void ShowYearRows(QTableWidget& table, const YearRows& rows);

// Each month's filing ("filed on 20/05/2014 (acknowledgement ACK), revised since filing"; empty
// for a month never marked filed), April first, and how many are filed.
void ShowFilings(QTableWidget& table, const std::array<std::string, 12>& filings);
