#include "returns/year/year_run.h"

#include <cmath>

#include "returns/record/run_record.h"
#include "returns/results/run_json.h"
#include "returns/rules/return_period.h"
#include "returns/run/data_file_selection.h"

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

std::optional<RunRecord> OwnRunRecord(const std::filesystem::path& monthFolder,
                                      const FormState& form) {
    try {
        std::optional<RunRecord> record = ReadRunRecord(monthFolder);
        if (record && WrittenFrom(*record, form)) return record;
    } catch (const RunRecordError&) {
        // a record that cannot be read says nothing of the month
    }
    return std::nullopt;
}

bool MonthGenerated(const std::filesystem::path& monthFolder, const FormState& form) {
    return OwnRunRecord(monthFolder, form).has_value();
}

void YearTotals::Add(const nlohmann::ordered_json& figures,
                     const nlohmann::ordered_json& accounts) {
    // The figures are whole paise in rupees, which a double holds exactly.
    const auto paise = [&](const char* key, const char* part = nullptr) {
        return static_cast<std::int64_t>(std::llround(FigureIn(figures, key, part) * 100));
    };
    ++monthsCompleted;
    inputVatPlus += paise("inputVatPlus");
    inputVatMinus += paise("inputVatMinus");
    outputVatPlus += paise("outputVatPlus");
    outputVatMinus += paise("outputVatMinus");
    cstPurchases += paise("cstOnPurchases");
    cstSales += paise("cstOnSales");
    vatPayable += std::llround(SignedVatIn(figures) * 100);
    urdPurchaseBills += std::llround(FigureIn(figures, "urdPurchases", "bills"));
    urdPurchaseBasic += paise("urdPurchases", "basicAmount");
    urdPurchaseVat += paise("urdPurchases", "vatAmount");
    urdSalesBills += std::llround(FigureIn(figures, "urdSales", "bills"));
    urdSalesBasic += paise("urdSales", "basicAmount");
    urdSalesVat += paise("urdSales", "vatAmount");
    for (const nlohmann::ordered_json& account : accounts) {
        const long long writtenHere = account.value("written", 0LL);
        written += writtenHere;
        leftOut += account.value("listed", 0LL) - writtenHere;
        schemaErrors += account.value("schemaErrors", 0LL);
    }
}

void YearTotals::Add(RunOutcome outcome, const FormState& form) {
    if (outcome == RunOutcome::Completed)
        Add(FiguresJson(form.Figures()), AccountsJson(form.FileAccounts));
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
