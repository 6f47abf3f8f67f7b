#include "returns/year/year_run.h"

#include "returns/record/run_record.h"
#include "returns/rules/return_period.h"
#include "returns/run/data_file_selection.h"
#include "returns/year/month_chain.h"

namespace vat {

namespace {

// One month of the year, exactly as a run of that month alone, with the data file selected
// first on the connection it runs on.
RunResult RunMonth(LedgerConnection& ledger, const std::string& dataFile,
                   const ReturnFolders& folders, const YearRunChoices& choices,
                   RunObserver& observer, int monthNumber) {
    DataFileChoice choice = SelectDataFile(ledger, dataFile);
    RunResult result;
    if (choice.books) {
        result = GenerationRun(ledger,
                               {.books = choice.books,
                                .dataFile = dataFile,
                                .monthNumber = monthNumber,
                                .folders = folders,
                                .reading = choices.reading,
                                .replaceOtherBooks = choices.replaceOtherBooks,
                                .interstateParties = choices.interstateParties},
                               observer, choices.cancel);
    } else {
        result.outcome = RunOutcome::Failed;
        result.monthNumber = monthNumber;
    }
    result.messages.insert(result.messages.begin(), choice.messages.begin(), choice.messages.end());
    return result;
}

}  // namespace

void RunYear(LedgerConnection& ledger, const std::string& dataFile, const ReturnFolders& folders,
             const YearRunChoices& choices,
             const std::function<void(int, const RunResult&)>& monthDone) {
    std::vector<int> months;
    for (const MonthEntry& month : FinancialYearMonths())
        if (!choices.wanted || choices.wanted(month.number)) months.push_back(month.number);
    RunObserver silent;
    MonthChain chain(ledger, std::move(months), choices.observer ? *choices.observer : silent,
                     [&](LedgerConnection& on, RunObserver& observer, int monthNumber) {
                         return RunMonth(on, dataFile, folders, choices, observer, monthNumber);
                     });
    chain.Run([&](int monthNumber, const RunResult& result) {
        monthDone(monthNumber, result);
        return result.outcome != RunOutcome::Cancelled;
    });
}

std::optional<RunRecord> OwnRunRecord(const std::filesystem::path& monthFolder,
                                      const SelectedBooks& books) {
    try {
        std::optional<RunRecord> record = ReadRunRecordHead(monthFolder);
        if (record && WrittenFrom(OwnerOf(*record), books)) return record;
    } catch (const RunRecordError&) {
        // a record that cannot be read says nothing of the month
    }
    return std::nullopt;
}

bool MonthGenerated(const std::filesystem::path& monthFolder, const SelectedBooks& books) {
    try {
        const std::optional<RecordOwner> owner = ReadRecordOwner(monthFolder);
        return owner && WrittenFrom(*owner, books);
    } catch (const RunRecordError&) {
        return false;  // as OwnRunRecord finds no record
    }
}

std::int64_t YearTotals::InputVat() const {
    return Sum(Figure::InputVatPlus) - Sum(Figure::InputVatMinus);
}

std::int64_t YearTotals::OutputVat() const {
    return Sum(Figure::OutputVatPlus) - Sum(Figure::OutputVatMinus);
}

void YearTotals::Add(const SummaryFigures& figures, const std::vector<FileAccount>& accounts,
                     const std::optional<Reconciliation>& reconciliation) {
    ++monthsCompleted;
    for (const FigureDeclaration& declared : FigureTable())
        sums[static_cast<int>(declared.figure)] += ValueOf(figures, declared.figure).value_or(0);
    for (const FileAccount& account : accounts) {
        written += account.written;
        leftOut += account.LeftOut();
        moved += account.interstate;
        schemaErrors += account.schemaErrors;
    }
    if (!reconciliation) return;
    ++monthsReconciled;
    for (int figure = 0; figure < kReconciledFigureCount; ++figure) {
        const FigureReconciliation& of = reconciliation->figures[figure];
        books[figure] += of.books;
        differences[figure] += of.Difference();
        unexplained += of.Unexplained();
    }
    vatPayableDifference += reconciliation->returnVatPayable - reconciliation->booksVatPayable;
}

void YearTotals::Add(const RunResult& result) {
    if (result.Completed())
        Add(ShownFigures(result.figures), result.accounts, result.reconciliation);
}

void YearTotals::Add(const YearTotals& other) {
    monthsCompleted += other.monthsCompleted;
    for (std::size_t figure = 0; figure < sums.size(); ++figure) sums[figure] += other.sums[figure];
    written += other.written;
    leftOut += other.leftOut;
    moved += other.moved;
    schemaErrors += other.schemaErrors;
    monthsReconciled += other.monthsReconciled;
    for (std::size_t figure = 0; figure < books.size(); ++figure) {
        books[figure] += other.books[figure];
        differences[figure] += other.differences[figure];
    }
    vatPayableDifference += other.vatPayableDifference;
    unexplained += other.unexplained;
}

nlohmann::ordered_json YearTotalsJson(const YearTotals& totals) {
    nlohmann::ordered_json json{{"monthsCompleted", totals.monthsCompleted}};
    for (const FigureDeclaration& declared : FigureTable()) {
        const std::int64_t sum = totals.Sum(declared.figure);
        const nlohmann::ordered_json value =
            declared.isCount ? nlohmann::ordered_json(sum)
                             : nlohmann::ordered_json(static_cast<double>(sum) / 100);
        if (declared.figure == Figure::VatPayable)
            json["vatPayable"] = value;
        else if (declared.jsonPart.empty())
            json[std::string(declared.jsonKey)] = value;
        else
            json[std::string(declared.jsonKey)][std::string(declared.jsonPart)] = value;
    }
    json["written"] = totals.written;
    json["leftOut"] = totals.leftOut;
    json["movedToInterstate"] = totals.moved;
    json["schemaErrors"] = totals.schemaErrors;
    const auto rupees = [](std::int64_t paise) { return static_cast<double>(paise) / 100; };
    json["monthsReconciled"] = totals.monthsReconciled;
    for (int figure = 0; figure < kReconciledFigureCount; ++figure) {
        const std::string key(ReconciledKey(static_cast<ReconciledFigure>(figure)));
        json["books"][key] = rupees(totals.books[figure]);
        json["difference"][key] = rupees(totals.differences[figure]);
    }
    json["difference"]["vatPayable"] = rupees(totals.vatPayableDifference);
    json["unexplained"] = rupees(totals.unexplained);
    return json;
}

}  // namespace vat
