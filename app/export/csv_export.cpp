// The error list as CSV: UTF-8 with a byte-order mark, so that spreadsheets read the ledger's
// names right, fields quoted as RFC 4180 asks, CR LF after every record. The groups of what to
// fix follow the rows, after a blank record and a "To fix" line.
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>

#include "app/export/error_list_export.h"
#include "app/export/reconciliation_table.h"
#include "returns/rules/text_sanitiser.h"

namespace {

std::string Field(std::string_view raw) {
    std::string text = vat::Utf8Text(raw);
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

template <typename Cells>
std::string Record(const Cells& cells) {
    std::string record;
    bool first = true;
    for (const auto& cell : cells) {
        if (!first) record += ',';
        first = false;
        record += Field(cell);
    }
    return record + "\r\n";
}

std::string Records(const std::vector<TableRow>& rows) {
    std::string records;
    for (const TableRow& row : rows) {
        std::vector<std::string_view> cells;
        for (const TableCell& cell : row) cells.push_back(cell.text);
        records += Record(cells);
    }
    return records;
}

// The second block: the figures beside the books, then the items.
std::string ReconciliationBlock(const vat::Reconciliation& reconciliation) {
    return "\r\n" + Record(std::array<std::string, 1>{ReconciliationTitle(reconciliation)}) +
           Record(kReconciledFigureColumns) + Records(ReconciledFigureRows(reconciliation)) +
           "\r\n" + Record(kReconcilingItemColumns) + Records(ReconcilingItemRows(reconciliation));
}

}  // namespace

void WriteErrorListCsv(const ErrorListReport& report, const std::filesystem::path& file) {
    std::string text = "\xEF\xBB\xBF";
    for (const HeadingLine& line : report.heading)
        text += Record(std::array<std::string_view, 2>{line.caption, line.text});
    text += "\r\n";
    text += Record(kExportColumns);
    for (const vat::ErrorRow& row : report.rows) text += Record(ExportCells(row));
    if (!report.fixes.empty()) {
        text += "\r\n";
        text += Record(std::array<std::string_view, 1>{"To fix"});
        text += Record(kFixColumns);
        for (const vat::FixGroup& group : report.fixes) text += Record(FixCells(group));
    }
    if (report.reconciliation) text += ReconciliationBlock(*report.reconciliation);

    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw ExportError("Cannot write " + file.string() + ": " + std::strerror(errno));
    out << text;
    out.close();
    if (!out) throw ExportError("Cannot write " + file.string() + ": " + std::strerror(errno));
}
