#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "ledger/ledger_connection.h"
#include "returns/run/generation_run.h"

namespace vat {

// How the months of a year run are run.
struct YearRunChoices {
    FactReading reading = FactReading::PerList;
    const RunCancel* cancel = nullptr;
    bool replaceOtherBooks = false;
    FormView* view = nullptr;  // follows each month's form: its progress, its messages
    // Which months to run; none: all twelve.
    std::function<bool(int monthNumber)> wanted = {};
};

// Runs the months of the data file's financial year in order, April to March, each exactly as
// a run of that month alone: on a form of its own, on which the data file is selected first.
// After each month, monthDone gets its number, its outcome and its form. A month that fails
// leaves the next to run; a cancelled run ends the year.
void RunYear(LedgerConnection& ledger, const std::string& dataFile, const ReturnFolders& folders,
             const YearRunChoices& choices,
             const std::function<void(int monthNumber, RunOutcome outcome, const FormState& form)>&
                 monthDone);

// The month folder's run record when a completed run of the form's data file and financial year
// wrote it; nullopt otherwise, for a record that cannot be read too.
std::optional<RunRecord> OwnRunRecord(const std::filesystem::path& monthFolder,
                                      const FormState& form);
// True when the month folder holds files a completed run of the form's data file and financial
// year wrote.
bool MonthGenerated(const std::filesystem::path& monthFolder, const FormState& form);

// The year's figures: the sums of its completed months' figures as their summaries show them,
// in paise, and of their accounts.
struct YearTotals {
    int monthsCompleted = 0;
    std::int64_t inputVatPlus = 0;
    std::int64_t inputVatMinus = 0;
    std::int64_t outputVatPlus = 0;
    std::int64_t outputVatMinus = 0;
    std::int64_t cstPurchases = 0;
    std::int64_t cstSales = 0;
    std::int64_t vatPayable = 0;  // refundable VAT counts negative
    long long urdPurchaseBills = 0;
    std::int64_t urdPurchaseBasic = 0;
    std::int64_t urdPurchaseVat = 0;
    long long urdSalesBills = 0;
    std::int64_t urdSalesBasic = 0;
    std::int64_t urdSalesVat = 0;
    long long written = 0;
    long long leftOut = 0;
    long long schemaErrors = 0;

    // Adds a completed month: its figures and accounts as FiguresJson and AccountsJson give
    // them, from its run or its run record.
    void Add(const nlohmann::ordered_json& figures, const nlohmann::ordered_json& accounts);
    // Adds a month's form when its run completed.
    void Add(RunOutcome outcome, const FormState& form);
};

nlohmann::ordered_json YearTotalsJson(const YearTotals& totals);

}  // namespace vat
