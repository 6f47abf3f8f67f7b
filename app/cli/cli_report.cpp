#include "app/cli/cli_report.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string_view>

#include "app/cli/cli_reconciliation.h"
#include "app/export/error_list_report.h"
#include "app/shared/summary_captions.h"
#include "returns/fixes/fix_groups.h"
#include "returns/record/reconciliation_json.h"
#include "returns/results/number_forms.h"
#include "returns/results/run_json.h"
#include "returns/results/run_outcome_text.h"
#include "returns/rules/text_sanitiser.h"

namespace fs = std::filesystem;

namespace {

// A code as printf's format writes it, e.g. "\\x%02x" gives \x1b.
std::string Escaped(const char* format, unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Ledger text as a terminal may show it: a control character could move the cursor or start an
// escape sequence, so C0 and DEL are written as \x1b, C1 as \u009b and every byte that is not
// UTF-8 (an 8-bit terminal reads 0x9b as a control too) as \x9b. Tab stays; where line ends are
// kept, so do a line feed and a CR ending a line: the schema errors break their text with CR LF.
std::string ShownText(std::string_view text, bool keepLineEnds) {
    std::string shown;
    shown.reserve(text.size());
    const auto needsLook = [](char byte) {
        const auto code = static_cast<unsigned char>(byte);
        return (code < 0x20 && code != '\t') || code >= 0x7f;
    };
    for (std::size_t at = 0; at < text.size();) {
        // Printable ASCII and tabs, most of any text, are shown as they are, a run at a time.
        std::size_t plainEnd = at;
        while (plainEnd < text.size() && !needsLook(text[plainEnd])) ++plainEnd;
        shown += text.substr(at, plainEnd - at);
        at = plainEnd;
        if (at == text.size()) break;
        const auto character = vat::DecodeUtf8(text, at);
        if (!character) {
            shown += Escaped("\\x%02x", static_cast<unsigned char>(text[at++]));
            continue;
        }
        const char32_t c = character->codePoint;
        const bool lineEnd =
            keepLineEnds && (c == '\n' || (c == '\r' && text.substr(at + 1, 1) == "\n"));
        if ((c < 0x20 && c != '\t' && !lineEnd) || c == 0x7f)
            shown += Escaped("\\x%02x", c);
        else if (c >= 0x80 && c <= 0x9f)
            shown += Escaped("\\u%04x", c);
        else
            shown += text.substr(at, character->length);
        at += character->length;
    }
    return shown;
}

}  // namespace

std::string TerminalText(std::string_view text) { return ShownText(text, true); }

std::string TerminalLine(std::string_view text) { return ShownText(text, false); }

namespace {

void PrintAccounts(const std::vector<vat::FileAccount>& accounts, std::ostream& out) {
    if (accounts.empty()) return;
    constexpr const char* kRow = "%-24s %7s %8s %8s %6s %9s %13s %6s\n";
    char line[160];
    std::snprintf(line, sizeof line, kRow, "File", "Listed", "Written", "Left out", "Moved",
                  "Not goods", "Schema errors", "Valid");
    out << line;
    for (const vat::FileAccount& account : accounts) {
        const char* valid = !account.valid ? "-" : *account.valid ? "yes" : "no";
        const auto count = [](long long value) {
            return vat::GroupedDigits(std::to_string(value));
        };
        std::snprintf(line, sizeof line, kRow, account.file.c_str(), count(account.listed).c_str(),
                      count(account.written).c_str(), count(account.LeftOut()).c_str(),
                      count(account.interstate).c_str(), count(account.notGoods).c_str(),
                      count(account.schemaErrors).c_str(), valid);
        out << line;
    }
    if (std::ranges::any_of(accounts, [](const vat::FileAccount& account) {
            return account.interstate > 0 || account.notGoods > 0;
        }))
        out << "Moved: bills below one rupee that the interstate sales file takes; not goods: "
               "debit notes without goods, which no return takes.\n";
    out << '\n';
}

// The largest groups of what to fix, each its text and then its action; then the groups that
// no change of the books brings in, left out by the return's own rule.
void PrintFixes(const std::vector<vat::FixGroup>& fixes, std::ostream& out) {
    constexpr std::size_t kShown = 10;
    const auto firstByRule = std::ranges::find_if_not(fixes, vat::Fixable);
    const auto print = [&out](const std::string& heading, auto first, auto last) {
        const auto groups = static_cast<std::size_t>(last - first);
        if (groups == 0) return;
        out << heading << " (" << groups << (groups == 1 ? " group" : " groups");
        if (groups > kShown) out << ", the " << kShown << " largest";
        out << ")\n";
        for (std::size_t at = 0; at < groups && at < kShown; ++at)
            out << std::right << std::setw(3) << at + 1 << ". " << TerminalText(first[at].text)
                << "\n     " << TerminalText(first[at].action) << '\n';
        out << '\n';
    };
    print("To fix", fixes.begin(), firstByRule);
    print("Left out by the return's rule", firstByRule, fixes.end());
}

}  // namespace

void PrintHumanReport(const vat::RunResult& result, std::ostream& out) {
    if (result.Completed()) {
        out << TerminalText(RunTitle(result))
            << "\nInterstate files: " << vat::InterstatePartiesWords(result.interstateParties)
            << "\n\n";
        constexpr int kCaptionWidth = 26;
        const vat::SummaryCaptions captions = vat::CaptionsOf(result.figures);
        const auto line = [&](std::string_view caption, std::string_view label) {
            out << std::left << std::setw(kCaptionWidth) << caption
                << TerminalText(vat::GroupedDigits(vat::CaptionOf(captions, label))) << '\n';
        };
        for (const vat::FigureDeclaration& declared : vat::FigureTable())
            if (declared.figure != vat::Figure::VatPayable) line(declared.caption, declared.label);
        line(vat::CaptionOf(captions, "lbl_TaxPayableRefundable"),
             vat::Declared(vat::Figure::VatPayable).label);
        out << '\n';
        PrintAccounts(result.accounts, out);
        if (result.reconciliation) PrintReconciliation(*result.reconciliation, out);
        PrintFixes(vat::GroupFixes(result.rows, result.notes), out);
        out << "Validation Errors (" << result.rows.size() << ")\n";
        for (const vat::ErrorRow& row : result.rows) {
            // Type, document, error and file:line, each where the row has it.
            out << TerminalText(row.type);
            if (!row.document.empty()) out << '\t' << TerminalText(row.document);
            out << '\t' << TerminalText(row.error);
            if (!row.file.empty()) {
                out << '\t' << TerminalText(row.file);
                if (row.line) out << ':' << *row.line;
            }
            out << '\n';
        }
        out << '\n';
        if (const std::vector<std::string> files = result.FilesWritten(); !files.empty()) {
            out << "Files in " << TerminalText(result.monthFolder) << '\n';
            for (const std::string& file : files)
                out << "  " << TerminalText(fs::path(file).filename().string()) << '\n';
            out << '\n';
        }
        if (const std::string outcome = vat::RunOutcomeText(result.accounts, result.checkedOnly);
            !outcome.empty())
            out << outcome << "\n\n";
    }
    for (const vat::UserMessage& message : result.messages)
        out << (message.critical ? "[!] " : "") << TerminalText(message.text) << '\n';
}

void PrintReasons(const std::vector<std::string>& reasons, std::ostream& out) {
    for (const std::string& reason : reasons)
        out << "vat-efile-cli: " << TerminalText(reason) << '\n';
}

nlohmann::ordered_json JsonReasons(const std::vector<std::string>& reasons) {
    return {{"labels", nlohmann::ordered_json::object()},
            {"figures", nullptr},
            {"errors", nlohmann::ordered_json::array()},
            {"messages", reasons},
            {"files", nlohmann::ordered_json::array()}};
}

void PrintJsonReasons(const std::vector<std::string>& reasons, std::ostream& out) {
    PrintJson(JsonReasons(reasons), out);
}

namespace {

using Json = nlohmann::ordered_json;

Json TextOrNull(const std::string& text) {
    if (text.empty()) return nullptr;
    return text;
}

Json NumberOrNull(const std::optional<long long>& number) {
    if (!number) return nullptr;
    return *number;
}

Json ErrorJson(const vat::ErrorRow& row) {
    return {{"type", row.type},
            {"error", row.error},
            {"document", TextOrNull(row.document)},
            {"file", TextOrNull(row.file)},
            {"line", NumberOrNull(row.line)},
            {"voucher", NumberOrNull(row.voucher)}};
}

Json FixJson(const vat::FixGroup& group) {
    return {{"cause", vat::CauseCode(group.cause)},
            {"party", NumberOrNull(group.party)},
            {"document", group.document ? Json(*group.document) : Json()},
            {"text", group.text},
            {"action", group.action},
            {"documents", group.documents},
            {"files", group.files},
            {"tax", static_cast<double>(group.taxPaise) / 100},
            {"rows", group.rows}};
}

}  // namespace

void WriteJsonReport(const vat::RunResult& result, vat::JsonObjectWriter& report) {
    const bool completed = result.Completed();
    Json labels = Json::object();
    if (completed)
        for (const auto& [label, caption] : vat::CaptionsOf(result.figures))
            labels[label] = caption;
    report.Member("labels", labels);
    report.Member("figures",
                  completed ? vat::FiguresJson(vat::ShownFigures(result.figures)) : Json());
    report.OpenArray("errors");
    if (completed)
        for (const vat::ErrorRow& row : result.rows) report.Element(ErrorJson(row));
    report.CloseArray();
    report.OpenArray("fixes");
    if (completed)
        for (const vat::FixGroup& group : vat::GroupFixes(result.rows, result.notes))
            report.Element(FixJson(group));
    report.CloseArray();
    Json messages = Json::array();
    for (const vat::UserMessage& message : result.messages) messages.push_back(message.text);
    report.Member("messages", messages);
    report.Member("files", result.FilesWritten());
    report.Member("interstateParties",
                  completed ? Json(vat::InterstatePartiesCode(result.interstateParties)) : Json());
    report.Member("monthFolder",
                  completed && !result.monthFolder.empty() ? Json(result.monthFolder) : Json());
    report.Member("returns", vat::AccountsJson(result.accounts));
    if (result.reconciliation)
        vat::WriteReconciliationJson(report, "reconciliation", *result.reconciliation);
    else
        report.Member("reconciliation", Json());
}

void PrintJsonReport(const vat::RunResult& result, std::ostream& out) {
    vat::JsonObjectWriter report(out, 0);
    WriteJsonReport(result, report);
    report.Close();
    out << '\n';
}

Json JsonReport(const vat::RunResult& result) {
    std::ostringstream text;
    PrintJsonReport(result, text);
    return Json::parse(text.str());
}

void PrintJson(const nlohmann::ordered_json& report, std::ostream& out) {
    // Bytes that are not UTF-8 (a data file in another encoding) must not abort the report.
    out << report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}
