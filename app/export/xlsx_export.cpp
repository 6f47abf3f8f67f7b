// The error list as an XLSX workbook: the heading block with its figures as numbers, then the
// rows under a frozen header row with an autofilter; the groups of what to fix on a sheet of
// their own, "To fix", and the return tied to the books on another, "Reconciliation".
#include <xlsxwriter.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/export/error_list_export.h"
#include "app/export/reconciliation_table.h"
#include "returns/rules/text_sanitiser.h"

namespace {

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

class Sheet {
public:
    explicit Sheet(const std::filesystem::path& file)
        : file_(file), workbook_(workbook_new(file.c_str())) {
        if (!workbook_) throw ExportError("Cannot create the workbook " + file.string());
        sheet_ = workbook_add_worksheet(workbook_.get(), "Validation Errors");
        bold_ = workbook_add_format(workbook_.get());
        format_set_bold(bold_);
        amount_ = workbook_add_format(workbook_.get());
        // Digits grouped the Indian way: crores, lakhs, thousands.
        format_set_num_format(
            amount_, R"([>=10000000]##\,##\,##\,##0.00;[>=100000]##\,##\,##0.00;##,##0.00)");
        wrapped_ = workbook_add_format(workbook_.get());
        format_set_text_wrap(wrapped_);
        format_set_align(wrapped_, LXW_ALIGN_VERTICAL_TOP);
    }

    void Text(lxw_row_t row, lxw_col_t column, const std::string& text,
              lxw_format* format = nullptr) {
        if (text.empty()) return;
        Check(worksheet_write_string(sheet_, row, column, vat::Utf8Text(text).c_str(), format));
    }
    // A figure keeps the picture its caption has: two decimals, or none for a count.
    void Number(lxw_row_t row, lxw_col_t column, double value, const std::string& shown) {
        Check(worksheet_write_number(sheet_, row, column, value,
                                     shown.find('.') == std::string::npos ? nullptr : amount_));
    }
    // The widths of the columns; those named wrap their text.
    template <std::size_t N>
    void Columns(const std::array<double, N>& widths, std::initializer_list<lxw_col_t> wrapped) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            Check(worksheet_set_column(
                sheet_, column, column, widths[column],
                std::find(wrapped.begin(), wrapped.end(), column) != wrapped.end() ? wrapped_
                                                                                   : nullptr));
    }
    void Width(lxw_col_t column, double width) {
        Check(worksheet_set_column(sheet_, column, column, width, nullptr));
    }
    void HeaderRow(lxw_row_t row, lxw_row_t lastRow, lxw_col_t columns) {
        worksheet_freeze_panes(sheet_, row + 1, 0);
        Check(worksheet_autofilter(sheet_, row, 0, lastRow, columns - 1), "setting the autofilter");
    }
    // Writes on a new sheet of the workbook from here on.
    void NewSheet(const char* name) {
        sheet_ = workbook_add_worksheet(workbook_.get(), name);
        if (!sheet_) throw ExportError("Cannot add the sheet " + std::string(name));
    }
    void Close() {
        const lxw_error error = workbook_close(workbook_.release());
        if (error != LXW_NO_ERROR)
            throw ExportError("Cannot write " + file_.string() + ": " + lxw_strerror(error));
    }

    lxw_format* Bold() const { return bold_; }
    lxw_format* Wrapped() const { return wrapped_; }

private:
    void Check(lxw_error error, const char* step = "writing a cell") const {
        if (error != LXW_NO_ERROR)
            throw ExportError("Cannot write " + file_.string() + " (" + step +
                              "): " + lxw_strerror(error));
    }

    std::filesystem::path file_;
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* amount_ = nullptr;
    lxw_format* wrapped_ = nullptr;
};

// The groups of what to fix under a frozen header row, their tax as a number.
void WriteFixes(Sheet& sheet, const std::vector<vat::FixGroup>& fixes) {
    sheet.NewSheet("To fix");
    sheet.Columns(std::array<double, 8>{20, 10, 24, 10, 14, 30, 70, 50}, {6, 7});
    for (std::size_t column = 0; column < kFixColumns.size(); ++column)
        sheet.Text(0, column, kFixColumns[column], sheet.Bold());
    lxw_row_t row = 0;
    for (const vat::FixGroup& group : fixes) {
        ++row;
        const std::array<std::string, 8> cells = FixCells(group);
        for (std::size_t column = 0; column < cells.size(); ++column)
            if (column != 3 && column != 4) sheet.Text(row, column, cells[column], sheet.Wrapped());
        sheet.Number(row, 3, static_cast<double>(group.documents), cells[3]);
        sheet.Number(row, 4, static_cast<double>(group.taxPaise) / 100, cells[4]);
    }
    sheet.HeaderRow(0, row, kFixColumns.size());
}

// A heading row in bold, then the rows, amounts as numbers; the row after the last.
template <std::size_t N>
lxw_row_t WriteTable(Sheet& sheet, lxw_row_t row, const std::array<const char*, N>& columns,
                     const std::vector<TableRow>& rows) {
    for (std::size_t column = 0; column < N; ++column)
        sheet.Text(row, column, columns[column], sheet.Bold());
    for (const TableRow& cells : rows) {
        ++row;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const TableCell& cell = cells[column];
            if (cell.number)
                sheet.Number(row, column, *cell.number, cell.text);
            else
                sheet.Text(row, column, cell.text);
        }
    }
    return row + 1;
}

// The second sheet: the figures beside the books, then the items.
void WriteReconciliationSheet(Sheet& sheet, const vat::Reconciliation& reconciliation) {
    sheet.NewSheet("Reconciliation");
    for (std::size_t column = 0; column < kReconcilingItemColumns.size(); ++column)
        sheet.Width(column, column == 8 ? 90 : 14);
    sheet.Text(0, 0, ReconciliationTitle(reconciliation), sheet.Bold());
    const lxw_row_t after =
        WriteTable(sheet, 2, kReconciledFigureColumns, ReconciledFigureRows(reconciliation));
    WriteTable(sheet, after + 1, kReconcilingItemColumns, ReconcilingItemRows(reconciliation));
}

}  // namespace

void WriteErrorListXlsx(const ErrorListReport& report, const std::filesystem::path& file) {
    Sheet sheet(file);
    sheet.Columns(std::array<double, 5>{24, 24, 70, 24, 8}, {2});
    lxw_row_t row = 0;
    for (const HeadingLine& line : report.heading) {
        sheet.Text(row, 0, line.caption, sheet.Bold());
        if (line.number)
            sheet.Number(row, 1, *line.number, line.text);
        else
            sheet.Text(row, 1, line.text);
        ++row;
    }

    const lxw_row_t headerRow = row + 1;
    for (std::size_t column = 0; column < kExportColumns.size(); ++column)
        sheet.Text(headerRow, column, kExportColumns[column], sheet.Bold());
    row = headerRow;
    for (const vat::ErrorRow& error : report.rows) {
        ++row;
        const std::array<std::string, 5> cells = ExportCells(error);
        for (std::size_t column = 0; column < 4; ++column)
            sheet.Text(row, column, cells[column], sheet.Wrapped());
        if (error.line) sheet.Number(row, 4, static_cast<double>(*error.line), "");
    }
    sheet.HeaderRow(headerRow, row, kExportColumns.size());
    if (!report.fixes.empty()) WriteFixes(sheet, report.fixes);
    if (report.reconciliation) WriteReconciliationSheet(sheet, *report.reconciliation);
    sheet.Close();
}
