#include "app/cli/cli_report.h"

#include <iomanip>
#include <nlohmann/json.hpp>

#include "returns/number_forms.h"

namespace {

struct CaptionedLabel {
    const char* caption;
    const char* label;
};

// The summary as the window lays it out, caption beside value.
constexpr CaptionedLabel kSummary[] = {
    {"Input Vat (+)", "lbl_InputVAT_Plus"},
    {"Input Vat (-)", "lbl_InputVAT_Minus"},
    {"Output Vat (+)", "lbl_OutputVAT_Plus"},
    {"Output Vat (-)", "lbl_OutputVAT_Minus"},
    {"Purchase CST", "lbl_CST_Purchase"},
    {"CST Payable", "lbl_CST_Sales"},
    {"URD Purchase No Of Bills", "lbl_Pur_URD_NoOfBills"},
    {"URD Purchase Basic Amt", "lbl_Pur_URD_Basic_Amt"},
    {"URD Purchase VAT Amt", "lbl_Pur_URD_VAT_Amt"},
    {"URD Sales No Of Bills", "lbl_Sal_URD_NoOfBills"},
    {"URD Sales Basic Amt", "lbl_Sal_URD_Basic_Amt"},
    {"URD Sales VAT Amt", "lbl_Sal_URD_VAT_Amt"},
};

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

}  // namespace

void PrintHumanReport(const vat::FormState& form, std::ostream& out) {
    constexpr int kCaptionWidth = 26;
    for (const CaptionedLabel& row : kSummary)
        out << std::left << std::setw(kCaptionWidth) << row.caption << form.Caption(row.label)
            << '\n';
    const std::string& verdict = form.Caption("lbl_TaxPayableRefundable");
    out << std::left << std::setw(kCaptionWidth) << (verdict.empty() ? "VAT Pay/Ref" : verdict)
        << form.Caption("lbl_TaxAmt") << "\n\n";

    out << "Validation Errors (" << form.ErrorRows().size() << ")\n";
    for (const vat::ErrorRow& row : form.ErrorRows()) out << row.type << "\t" << row.error << '\n';
    out << '\n';
    for (const vat::UserMessage& message : form.Messages())
        out << (message.critical ? "[!] " : "") << message.text << '\n';
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
