#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "ledger/ledger_connection.h"
#include "returns/results/reconciliation.h"
#include "returns/results/summary_figures.h"
#include "returns/run/generation_run.h"

namespace vat {

// How the months of a year run are run.
struct YearRunChoices {
    FactReading reading = FactReading::PerList;
    const RunCancel* cancel = nullptr;
    bool replaceOtherBooks = false;
    InterstateParties interstateParties = InterstateParties::InState;
    RunObserver* observer = nullptr;  // follows each month's run
    // Which months to run; none: all twelve.
    std::function<bool(int monthNumber)> wanted = {};
};

// Runs the months of the data file's financial year in order, April to March, each exactly as
// a run of that month alone, with the data file selected first; a month begins on a second
// connection while the one before reads its postings (MonthChain). After each month, monthDone
// gets its number and its result. A month that fails leaves the next to run; a cancelled run
// ends the year.
void RunYear(LedgerConnection& ledger, const std::string& dataFile, const ReturnFolders& folders,
             const YearRunChoices& choices,
             const std::function<void(int monthNumber, const RunResult& result)>& monthDone);

// The month folder's run record, without its documents, when a completed run of these books
// (data file and financial year) wrote it; nullopt otherwise, for a record that cannot be read
// too.
std::optional<RunRecord> OwnRunRecord(const std::filesystem::path& monthFolder,
                                      const SelectedBooks& books);
// True when the month folder holds files a completed run of these books wrote; reads the
// record's owner alone.
bool MonthGenerated(const std::filesystem::path& monthFolder, const SelectedBooks& books);

// The year's figures: the sums of its completed months' figures as their summaries show them,
// and of their accounts.
struct YearTotals {
    int monthsCompleted = 0;
    std::array<std::int64_t, kFigureCount> sums = {};  // by Figure: paise, or bills
    long long written = 0;
    long long leftOut = 0;  // as FileAccount::LeftOut counts them
    long long moved = 0;    // bills the interstate sales file takes from the local sales lists
    long long schemaErrors = 0;
    // The reconciled months' books figures and differences (return - books), in paise.
    int monthsReconciled = 0;
    std::array<std::int64_t, kReconciledFigureCount> books = {};
    std::array<std::int64_t, kReconciledFigureCount> differences = {};
    std::int64_t vatPayableDifference = 0;
    std::int64_t unexplained = 0;

    std::int64_t Sum(Figure figure) const { return sums[static_cast<int>(figure)]; }
    std::int64_t Books(ReconciledFigure figure) const { return books[static_cast<int>(figure)]; }
    // The year's columns, the same in the window and on the command line: input and output
    // VAT net of their returns, (+) less (-).
    std::int64_t InputVat() const;
    std::int64_t OutputVat() const;
    // Adds a completed month, from its run or its run record.
    void Add(const SummaryFigures& figures, const std::vector<FileAccount>& accounts,
             const std::optional<Reconciliation>& reconciliation = std::nullopt);
    void Add(const RunResult& result);
    // Adds another's totals, reconciliation included: every data file's, for the server's.
    void Add(const YearTotals& other);
};

nlohmann::ordered_json YearTotalsJson(const YearTotals& totals);

}  // namespace vat
