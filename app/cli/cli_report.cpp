#include "app/cli/cli_report.h"

#include <cstdio>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <string_view>

#include "returns/number_forms.h"
#include "returns/run_outcome_text.h"
#include "returns/summary_captions.h"
#include "returns/text_sanitiser.h"

namespace {

double Rupees(std::int64_t paise) { return static_cast<double>(paise) / 100; }

// The figures as the summary shows them, under readable keys, as JSON numbers.
nlohmann::ordered_json FiguresJson(const vat::ReturnFigures& figures) {
    using enum vat::TaxFigure;
    const auto shown = [&](vat::TaxFigure figure) {
        return Rupees(vat::ShownPaise(figures.Tax(figure)));
    };
    const auto verdict = [&]() -> nlohmann::ordered_json {
        if (figures.verdict == vat::VatVerdict::Payable) return "payable";
        if (figures.verdict == vat::VatVerdict::Refundable) return "refundable";
        return nullptr;
    };
    const auto urd = [&](long long vat::UrdTotals::*bills, double vat::UrdTotals::*basic,
                         double vat::UrdTotals::*tax) -> nlohmann::ordered_json {
        if (!figures.urd) return nullptr;
        const vat::UrdTotals& totals = *figures.urd;
        return {
            {"bills", totals.*bills},
            {"basicAmount", Rupees(vat::ScaledDecimal(totals.*basic, 2, vat::Tie::AwayFromZero))},
            {"vatAmount", Rupees(vat::ScaledDecimal(totals.*tax, 2, vat::Tie::AwayFromZero))}};
    };
    const vat::SecondaryFigures& secondary = figures.secondary;
    return {
        {"inputVatPlus", shown(InputVatPlus)},
        {"inputVatMinus", shown(InputVatMinus)},
        {"outputVatPlus", shown(OutputVatPlus)},
        {"outputVatMinus", shown(OutputVatMinus)},
        {"cstOnPurchases", shown(CstPurchases)},
        {"cstOnSales", shown(CstSales)},
        {"vat", verdict()},
        {"vatAmount", Rupees(figures.vatAmount)},
        {"urdPurchases", urd(&vat::UrdTotals::purchaseBills, &vat::UrdTotals::purchaseBasic,
                             &vat::UrdTotals::purchaseVat)},
        {"urdSales",
         urd(&vat::UrdTotals::salesBills, &vat::UrdTotals::salesBasic, &vat::UrdTotals::salesVat)},
        {"netInputVat",
         {{"plus", Rupees(secondary.inputPlus)},
          {"minus", Rupees(secondary.inputMinus)},
          {"net", Rupees(secondary.inputNet)}}},
        {"netOutputVat",
         {{"plus", Rupees(secondary.outputPlus)},
          {"minus", Rupees(secondary.outputMinus)},
          {"net", Rupees(secondary.outputNet)}}},
        {"payableVat", Rupees(secondary.Payable())},
    };
}

// A code as printf's format writes it, e.g. "\\x%02x" gives \x1b.
std::string Escaped(const char* format, unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Ledger text as a terminal may show it: a control character could move the cursor or start an
// escape sequence, so C0 and DEL are written as \x1b, C1 as \u009b and every byte that is not
// UTF-8 (an 8-bit terminal reads 0x9b as a control too) as \x9b. Tab and line feed stay, and so
// does a CR ending a line: the schema errors break their text with CR LF.
std::string TerminalText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto character = vat::DecodeUtf8(text, at);
        if (!character) {
            shown += Escaped("\\x%02x", static_cast<unsigned char>(text[at++]));
            continue;
        }
        const char32_t c = character->codePoint;
        const bool lineEnd = c == '\n' || (c == '\r' && text.substr(at + 1, 1) == "\n");
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

void PrintHumanReport(const vat::FormState& form, std::ostream& out) {
    constexpr int kCaptionWidth = 26;
    for (const vat::CaptionedLabel& row : vat::VisibleSummary())
        out << std::left << std::setw(kCaptionWidth) << row.caption
            << TerminalText(form.Caption(row.label)) << '\n';
    const std::string& verdict = form.Caption("lbl_TaxPayableRefundable");
    out << std::left << std::setw(kCaptionWidth)
        << (verdict.empty() ? "VAT Pay/Ref" : TerminalText(verdict))
        << TerminalText(form.Caption("lbl_TaxAmt")) << "\n\n";

    out << "Validation Errors (" << form.ErrorRows().size() << ")\n";
    for (const vat::ErrorRow& row : form.ErrorRows())
        out << TerminalText(row.type) << "\t" << TerminalText(row.error) << '\n';
    out << '\n';
    if (const std::string outcome = vat::RunOutcomeText(form.FileAccounts); !outcome.empty())
        out << outcome << "\n\n";
    for (const vat::UserMessage& message : form.Messages())
        out << (message.critical ? "[!] " : "") << TerminalText(message.text) << '\n';
}

void PrintJsonReport(const vat::FormState& form, std::ostream& out) {
    nlohmann::ordered_json report;
    report["labels"] = nlohmann::ordered_json::object();
    for (const auto& [label, caption] : form.Captions()) report["labels"][label] = caption;
    report["figures"] = FiguresJson(form.Figures());
    report["errors"] = nlohmann::ordered_json::array();
    for (const vat::ErrorRow& row : form.ErrorRows())
        report["errors"].push_back({{"type", row.type}, {"error", row.error}});
    report["messages"] = nlohmann::ordered_json::array();
    for (const vat::UserMessage& message : form.Messages())
        report["messages"].push_back(message.text);
    report["files"] = form.FilesWritten;
    // Bytes that are not UTF-8 (a data file in another encoding) must not abort the report.
    out << report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}
