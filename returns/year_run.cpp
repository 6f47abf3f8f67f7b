#include "returns/year_run.h"

#include "returns/data_file_selection.h"
#include "returns/number_forms.h"
#include "returns/return_period.h"
#include "returns/run_record.h"

namespace vat {

void RunYear(LedgerConnection& ledger, const std::string& dataFile, const ReturnFolders& folders,
             const YearRunChoices& choices,
             const std::function<void(int, RunOutcome, const FormState&)>& monthDone) {
    for (const MonthEntry& month : FinancialYearMonths()) {
        if (choices.wanted && !choices.wanted(month.number)) continue;
        FormState form;
        form.SetView(choices.view);
        SelectDataFile(ledger, form, dataFile);
        const RunOutcome outcome =
            form.DataFileReady
                ? GenerationRun(ledger, form, month.number, dataFile, folders, choices.reading,
                                choices.cancel, choices.replaceOtherBooks)
                : RunOutcome::Failed;
        monthDone(month.number, outcome, form);
        if (outcome == RunOutcome::Cancelled) return;
    }
}

bool MonthGenerated(const std::filesystem::path& monthFolder, const FormState& form) {
    try {
        const std::optional<RunRecord> record = ReadRunRecord(monthFolder);
        return record && record->dataFile == form.SelectedDataFile && form.YearStart &&
               record->yearStart == form.YearStart->IsoText();
    } catch (const RunRecordError&) {
        return false;
    }
}

std::int64_t SignedVatPaise(const ReturnFigures& figures) {
    return figures.verdict == VatVerdict::Refundable ? -figures.vatAmount : figures.vatAmount;
}

void YearTotals::Add(RunOutcome outcome, const FormState& form) {
    if (outcome != RunOutcome::Completed) return;
    ++monthsCompleted;
    const ReturnFigures& figures = form.Figures();
    using enum TaxFigure;
    inputVatPlus += ShownPaise(figures.Tax(InputVatPlus));
    inputVatMinus += ShownPaise(figures.Tax(InputVatMinus));
    outputVatPlus += ShownPaise(figures.Tax(OutputVatPlus));
    outputVatMinus += ShownPaise(figures.Tax(OutputVatMinus));
    cstPurchases += ShownPaise(figures.Tax(CstPurchases));
    cstSales += ShownPaise(figures.Tax(CstSales));
    vatPayable += SignedVatPaise(figures);
    const UrdTotals urd = figures.urd.value_or(UrdTotals{});
    const auto paise = [](double rupees) { return ScaledDecimal(rupees, 2, Tie::AwayFromZero); };
    urdPurchaseBills += urd.purchaseBills;
    urdPurchaseBasic += paise(urd.purchaseBasic);
    urdPurchaseVat += paise(urd.purchaseVat);
    urdSalesBills += urd.salesBills;
    urdSalesBasic += paise(urd.salesBasic);
    urdSalesVat += paise(urd.salesVat);
    for (const FileAccount& account : form.FileAccounts) {
        written += account.written;
        leftOut += account.LeftOut();
        schemaErrors += account.schemaErrors;
    }
}

nlohmann::ordered_json YearTotalsJson(const YearTotals& totals) {
    const auto rupees = [](std::int64_t paise) { return static_cast<double>(paise) / 100; };
    return {
        {"monthsCompleted", totals.monthsCompleted},
        {"inputVatPlus", rupees(totals.inputVatPlus)},
        {"inputVatMinus", rupees(totals.inputVatMinus)},
        {"outputVatPlus", rupees(totals.outputVatPlus)},
        {"outputVatMinus", rupees(totals.outputVatMinus)},
        {"cstOnPurchases", rupees(totals.cstPurchases)},
        {"cstOnSales", rupees(totals.cstSales)},
        {"vatPayable", rupees(totals.vatPayable)},
        {"urdPurchases",
         {{"bills", totals.urdPurchaseBills},
          {"basicAmount", rupees(totals.urdPurchaseBasic)},
          {"vatAmount", rupees(totals.urdPurchaseVat)}}},
        {"urdSales",
         {{"bills", totals.urdSalesBills},
          {"basicAmount", rupees(totals.urdSalesBasic)},
          {"vatAmount", rupees(totals.urdSalesVat)}}},
        {"written", totals.written},
        {"leftOut", totals.leftOut},
        {"schemaErrors", totals.schemaErrors},
    };
}

}  // namespace vat
