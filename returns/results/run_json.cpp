#include "returns/results/run_json.h"

#include "returns/results/number_forms.h"

namespace vat {

namespace {

double Rupees(std::int64_t paise) { return static_cast<double>(paise) / 100; }

}  // namespace

nlohmann::ordered_json FiguresJson(const ReturnFigures& figures) {
    using enum TaxFigure;
    const auto shown = [&](TaxFigure figure) { return Rupees(ShownPaise(figures.Tax(figure))); };
    const auto verdict = [&]() -> nlohmann::ordered_json {
        if (figures.verdict == VatVerdict::Payable) return "payable";
        if (figures.verdict == VatVerdict::Refundable) return "refundable";
        return nullptr;
    };
    const auto urd = [&](long long UrdTotals::*bills, double UrdTotals::*basic,
                         double UrdTotals::*tax) -> nlohmann::ordered_json {
        if (!figures.urd) return nullptr;
        const UrdTotals& totals = *figures.urd;
        return {{"bills", totals.*bills},
                {"basicAmount", Rupees(ScaledDecimal(totals.*basic, 2, Tie::AwayFromZero))},
                {"vatAmount", Rupees(ScaledDecimal(totals.*tax, 2, Tie::AwayFromZero))}};
    };
    const SecondaryFigures& secondary = figures.secondary;
    return {
        {"inputVatPlus", shown(InputVatPlus)},
        {"inputVatMinus", shown(InputVatMinus)},
        {"outputVatPlus", shown(OutputVatPlus)},
        {"outputVatMinus", shown(OutputVatMinus)},
        {"cstOnPurchases", shown(CstPurchases)},
        {"cstOnSales", shown(CstSales)},
        {"vat", verdict()},
        {"vatAmount", Rupees(figures.vatAmount)},
        {"urdPurchases",
         urd(&UrdTotals::purchaseBills, &UrdTotals::purchaseBasic, &UrdTotals::purchaseVat)},
        {"urdSales", urd(&UrdTotals::salesBills, &UrdTotals::salesBasic, &UrdTotals::salesVat)},
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

nlohmann::ordered_json AccountsJson(const std::vector<FileAccount>& accounts) {
    nlohmann::ordered_json returns = nlohmann::ordered_json::array();
    for (const FileAccount& account : accounts) {
        returns.push_back({
            {"file", account.file},
            {"path", account.path ? nlohmann::ordered_json(*account.path) : nullptr},
            {"listed", account.listed},
            {"written", account.written},
            {"belowOneRupee", account.belowOneRupee},
            {"interstate", account.interstate},
            {"tinSkipped", account.tinSkipped},
            {"notGoods", account.notGoods},
            {"missingData", account.missingData},
            {"schemaErrors", account.schemaErrors},
            {"valid", account.valid ? nlohmann::ordered_json(*account.valid) : nullptr},
        });
    }
    return returns;
}

double FigureIn(const nlohmann::ordered_json& figures, const char* key, const char* part) {
    if (!figures.is_object() || !figures.contains(key)) return 0;
    const nlohmann::ordered_json* value = &figures.at(key);
    if (part) value = value->is_object() && value->contains(part) ? &value->at(part) : nullptr;
    return value && value->is_number() ? value->get<double>() : 0;
}

double SignedVatIn(const nlohmann::ordered_json& figures) {
    const double amount = FigureIn(figures, "vatAmount");
    return figures.is_object() && figures.value("vat", nlohmann::ordered_json()) == "refundable"
               ? -amount
               : amount;
}

}  // namespace vat
