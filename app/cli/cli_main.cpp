// vat-efile-cli: the Generate Files run without a window, for scheduled and scripted use.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/cli/checked_output.h"
#include "app/cli/cli_books_report.h"
#include "app/cli/cli_companies_report.h"
#include "app/cli/cli_filing.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_report.h"
#include "app/cli/cli_signals.h"
#include "app/cli/exit_status.h"
#include "app/export/error_list_export.h"
#include "app/shared/default_folders.h"
#include "returns/check/books_check.h"
#include "returns/check/filing_check.h"
#include "returns/filing/filing_status.h"
#include "returns/results/json_object_writer.h"
#include "returns/rules/return_period.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "returns/run/month_folder.h"
#include "returns/run/run_memory.h"
#include "returns/run/server_catalogue.h"
#include "returns/year/year_run.h"

namespace {

// Shows progress on a terminal, at most a few times a second.
class TerminalView : public vat::RunObserver {
public:
    void Progress(const std::string& file, long long done, long long total) override {
        if (!terminal_) return;
        if (done != total && done % 200 != 0) return;
        std::cerr << "\r" << file << ": " << done;
        if (total >= 0) std::cerr << " of " << total;
        std::cerr << " vouchers" << (done == total ? "\n" : "") << std::flush;
    }

private:
    bool terminal_ = isatty(STDERR_FILENO) != 0;
};

int Report(const vat::RunResult& result, const CliOptions& options, int status,
           const vat::RunRevision& revision = {}) {
    PrintRunReport(result, revision, options.json, std::cout);
    return status;
}

// A run that never started has no figures to show, only the reasons: on standard error, or
// with --json as the messages of the one object.
int Stop(const CliOptions& options, const std::vector<std::string>& reasons, int status) {
    if (options.json)
        PrintJsonReasons(reasons, std::cout);
    else
        PrintReasons(reasons, std::cerr);
    return status;
}

// Writes the error list where the command line asked; a file that could not be written is
// a message of the run, and fails it.
bool ExportErrors(vat::RunResult& result, const CliOptions& options,
                  const vat::ReturnFolders& folders) {
    // A month's report copies every row: made only when asked for.
    if (options.errorsCsv.empty() && options.errorsXlsx.empty()) return true;
    RunDescription run = DescribeRun(result, std::chrono::system_clock::now());
    if (result.books)
        if (auto filing = vat::MonthFilingStatus(folders, *result.books, result.monthNumber))
            run.filing = vat::FilingStatusText(*filing);
    const ErrorListReport report = MakeErrorListReport(result, run);
    bool exported = true;
    const auto write = [&](const std::filesystem::path& file, auto writer) {
        if (file.empty()) return;
        try {
            writer(report, file);
        } catch (const ExportError& error) {
            std::cerr << "vat-efile-cli: " << error.what() << '\n';
            result.messages.push_back({error.what(), true});
            exported = false;
        }
    };
    write(options.errorsCsv, WriteErrorListCsv);
    write(options.errorsXlsx, WriteErrorListXlsx);
    return exported;
}

std::vector<std::string> MessageTexts(const std::vector<vat::UserMessage>& messages) {
    std::vector<std::string> texts;
    texts.reserve(messages.size());
    for (const vat::UserMessage& message : messages) texts.push_back(message.text);
    return texts;
}

bool AllFilesValid(const std::vector<vat::FileAccount>& accounts) {
    return std::none_of(accounts.begin(), accounts.end(),
                        [](const vat::FileAccount& account) { return account.valid == false; });
}

// A run's exit status. OVER, but a file that failed its check would be rejected by the portal.
int StatusOf(vat::RunOutcome outcome, const std::vector<vat::FileAccount>& accounts = {}) {
    switch (outcome) {
        case vat::RunOutcome::Completed:
            return AllFilesValid(accounts) ? kCompleted : kSchemaErrors;
        case vat::RunOutcome::Failed:
            return kFailed;
        case vat::RunOutcome::Cancelled:
            return kCancelled;
        default:
            return kRefused;
    }
}

vat::FactReading ReadingOf(const CliOptions& options) {
    return options.queryPerVoucher ? vat::FactReading::PerVoucher : vat::FactReading::PerList;
}

vat::RunSelection SelectionOf(const vat::DataFileChoice& choice, const std::string& dataFile,
                              const CliOptions& options, const vat::ReturnFolders& folders) {
    return {.books = choice.books,
            .dataFile = dataFile,
            .monthNumber = options.month,
            .folders = folders,
            .reading = ReadingOf(options),
            .replaceOtherBooks = options.replace,
            .interstateParties = options.interstateParties};
}

// Why the error list cannot be exported where the command line asks, known before the run
// replaces the month's files: the file's folder is not there, or the file would overwrite one
// of the month folder's (a return file, run.json or the user's own).
std::optional<std::string> ExportPathProblem(const std::filesystem::path& file,
                                             const std::filesystem::path& monthFolder) {
    if (file.empty()) return std::nullopt;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(file, error).parent_path();
    if (!std::filesystem::is_directory(folder, error))
        return "cannot export the error list to " + file.string() + ": the folder " +
               folder.string() + " does not exist";
    if (std::filesystem::weakly_canonical(folder, error) ==
        std::filesystem::weakly_canonical(monthFolder, error))
        return "cannot export the error list to " + file.string() +
               ": it lies in the month folder, whose files the run replaces";
    return std::nullopt;
}

// A month's run and its exit status; a run refused before it started has its reasons as its
// messages.
struct MonthRun {
    vat::RunResult result;
    int status = kCompleted;
    vat::RunRevision revision = {};  // of a filed month
};

MonthRun Refused(const std::string& reason) {
    MonthRun refused;
    refused.result.messages.push_back({reason, true});
    refused.status = kRefused;
    return refused;
}

// The messages of choosing the data file come first, as the window shows them first. The check
// before filing runs the month the same way into a throwaway folder, so it replaces nothing.
MonthRun RunMonth(vat::LedgerConnection& ledger, const vat::RunSelection& selection,
                  const std::vector<vat::UserMessage>& selectionMessages, const CliOptions& options,
                  const vat::RunCancel& cancel, vat::RunObserver& observer) {
    const std::filesystem::path monthFolder =
        vat::MonthFolder(selection.folders, *selection.books, options.month);
    if (!options.check)
        if (auto owner =
                vat::OtherBooksFiles(monthFolder, *selection.books, selection.interstateParties);
            owner && !options.replace)
            return Refused(owner->unreadable ? owner->text
                                             : owner->text + "; give --replace to replace them");
    for (const std::filesystem::path& file : {options.errorsCsv, options.errorsXlsx})
        if (auto problem = ExportPathProblem(file, monthFolder)) return Refused(*problem);
    MonthRun run{options.check ? vat::CheckBeforeFiling(ledger, selection, observer, &cancel)
                               : vat::GenerationRun(ledger, selection, observer, &cancel)};
    vat::RunResult& result = run.result;
    result.messages.insert(result.messages.begin(), selectionMessages.begin(),
                           selectionMessages.end());
    run.status = StatusOf(result.outcome, result.accounts);
    if (!options.check) run.revision = vat::RevisionOfRun(result, selection.folders);
    if (result.Completed() && !ExportErrors(result, options, selection.folders))
        run.status = kFailed;
    return run;
}

int ReportMonth(const MonthRun& run, const CliOptions& options) {
    if (run.status == kRefused) return Stop(options, MessageTexts(run.result.messages), kRefused);
    return Report(run.result, options, run.status, run.revision);
}

// The twelve months, each as a run of that month alone, reported as each ends; the year's status
// is its worst month's.
int RunYear(vat::LedgerConnection& ledger, const std::string& dataFile, const CliOptions& options,
            const vat::ReturnFolders& folders, const vat::RunCancel& cancel,
            vat::RunObserver& observer, YearReport& report) {
    int status = kCompleted;
    const vat::YearRunChoices choices{.reading = ReadingOf(options),
                                      .cancel = &cancel,
                                      .replaceOtherBooks = options.replace,
                                      .interstateParties = options.interstateParties,
                                      .observer = &observer};
    vat::RunYear(ledger, dataFile, folders, choices, [&](int month, const vat::RunResult& result) {
        const int monthStatus = StatusOf(result.outcome, result.accounts);
        report.Add(
            month, monthStatus, result,
            result.books ? vat::MonthFilingStatus(folders, *result.books, month) : std::nullopt);
        status = Worse(status, monthStatus);
    });
    report.Finish();
    return status;
}

int ReportYear(vat::LedgerConnection& ledger, const std::string& dataFile,
               const CliOptions& options, const vat::ReturnFolders& folders,
               const vat::RunCancel& cancel, vat::RunObserver& observer) {
    if (!options.json) {
        // The table names its data file and kind at the top, as a month's report does.
        std::cout << dataFile << " \u00b7 Year run: each month, April to March\n";
        YearReport table(std::cout);
        return RunYear(ledger, dataFile, options, folders, cancel, observer, table);
    }
    vat::JsonObjectWriter object(std::cout, 0);
    YearReport months(object);
    const int status = RunYear(ledger, dataFile, options, folders, cancel, observer, months);
    object.Close();
    std::cout << '\n';
    return status;
}

std::string JoinedTexts(const std::vector<vat::UserMessage>& messages) {
    std::string joined;
    for (const vat::UserMessage& message : messages)
        joined += (joined.empty() ? "" : "; ") + message.text;
    return joined;
}

// One data file's month or year, exactly as a run of it alone; a year's months go into the
// report as they end.
CompanyReport RunCompany(vat::LedgerConnection& ledger, const std::string& dataFile,
                         const CliOptions& options, const vat::ReturnFolders& folders,
                         const vat::RunCancel& cancel, vat::RunObserver& observer,
                         CompaniesReport& companies) {
    CompanyReport company{.dataFile = dataFile};
    const vat::DataFileChoice choice = vat::SelectDataFile(ledger, dataFile);
    if (!choice.books) {
        company.status = kFailed;
        company.reason = JoinedTexts(choice.messages);
        company.report = JsonReasons(MessageTexts(choice.messages));
        return company;
    }
    company.dealerTin = choice.books->dealerTin;
    if (options.year) {
        vat::JsonObjectWriter* object = companies.OpenYear();
        YearReport year = object ? YearReport(*object) : YearReport();
        company.status = RunYear(ledger, dataFile, options, folders, cancel, observer, year);
        company.figures = year.Totals();
        if (company.status != kCompleted)
            company.reason = std::to_string(year.Totals().monthsCompleted) + " of " +
                             std::to_string(year.Months()) + " months completed";
        return company;
    }
    const MonthRun run = RunMonth(ledger, SelectionOf(choice, dataFile, options, folders),
                                  choice.messages, options, cancel, observer);
    company.status = run.status;
    company.filing = vat::MonthFilingStatus(folders, *choice.books, options.month);
    company.figures.Add(run.result);
    if (!run.result.Completed()) company.reason = JoinedTexts(run.result.messages);
    company.report = run.status == kRefused ? JsonReasons(MessageTexts(run.result.messages))
                                            : JsonReport(run.result);
    return company;
}

// Every data file of the server in catalogue order, a line each as its run ends; the status is
// the worst of theirs. A cancelled run ends the list.
int RunEveryDataFile(vat::LedgerConnection& ledger, const std::vector<std::string>& dataFiles,
                     const CliOptions& options, const vat::ReturnFolders& folders,
                     const vat::RunCancel& cancel, vat::RunObserver& observer) {
    CompaniesReport report(std::cout, options.json);
    int worst = kCompleted;
    for (const std::string& dataFile : dataFiles) {
        if (cancel.Requested()) {
            worst = Worse(worst, kCancelled);
            break;
        }
        const CompanyReport company =
            RunCompany(ledger, dataFile, options, folders, cancel, observer, report);
        worst = Worse(worst, company.status);
        report.Add(company);
    }
    report.Finish(worst);
    return worst;
}

// Compares the month's books and files with its run record, writing nothing of the month's.
int Verify(vat::LedgerConnection& ledger, const vat::RunSelection& selection,
           const CliOptions& options, const vat::RunCancel& cancel) {
    const std::optional<vat::FilingStatus> filing =
        vat::MonthFilingStatus(selection.folders, *selection.books, selection.monthNumber);
    vat::RunRevision sinceFiling;
    const vat::BooksCheck check =
        vat::CheckBooks(ledger, selection, &cancel, [&](const vat::RunResult& rerun) {
            if (filing) sinceFiling = vat::RevisionOfRun(rerun, selection.folders);
        });
    if (!check.comparison) {
        const int status = StatusOf(check.outcome);
        return Stop(options, MessageTexts(check.messages), status == kCompleted ? kFailed : status);
    }
    if (options.json) {
        nlohmann::ordered_json report = BooksCheckJson(*check.comparison);
        if (filing) AddFilingCheck(report, *filing, sinceFiling);
        PrintJson(report, std::cout);
    } else {
        PrintBooksCheck(*check.comparison, std::cout);
        if (filing) PrintFilingCheck(*filing, sinceFiling, std::cout);
    }
    const bool filedSetsWhole = !filing || filing->altered.empty();
    return check.comparison->Unchanged() && filedSetsWhole ? kCompleted : kBooksChanged;
}

int CliMain(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const vat::ReturnFolders defaults = DefaultFolders(ThisProgramsSurroundings());
    if (arguments.empty()) {
        std::cerr << CliUsage(defaults);
        return kRefused;
    }
    std::string error;
    auto options = ParseCliOptions(arguments, error);
    if (!options) {
        const std::string reason = error + " (see --help)";
        CliOptions asked;
        // A script that asked for JSON still gets one object saying why.
        asked.json = std::find(arguments.begin(), arguments.end(), "--json") != arguments.end();
        if (asked.json) std::cerr << "vat-efile-cli: " << reason << '\n';
        return Stop(asked, {reason}, kRefused);
    }
    if (options->help) {
        std::cout << CliUsage(defaults);
        return kCompleted;
    }

    TerminalView view;
    vat::LedgerConnection ledger(options->connection);
    // A run of one data file logs in once, on the data file; the choice and the run keep that
    // session.
    const bool oneDataFile = !options->listDataFiles && !options->allDataFiles;
    const vat::ServerCatalogue server = oneDataFile
                                            ? vat::OpenServerCatalogueOn(ledger, options->dataFile)
                                            : vat::OpenServerCatalogue(ledger);
    if (!server.connected) {
        std::vector<std::string> reasons = MessageTexts(server.messages);
        reasons.push_back(server.failure);
        return Stop(*options, reasons, kFailed);
    }
    const std::vector<std::string>& dataFiles = server.dataFiles;
    if (options->listDataFiles) {
        if (options->json)
            std::cout << nlohmann::json{{"dataFiles", dataFiles}}.dump(2) << '\n';
        else
            for (const std::string& name : dataFiles) std::cout << TerminalLine(name) << '\n';
        return kCompleted;
    }
    const vat::ReturnFolders folders(
        options->outputFolder.empty() ? defaults.output : options->outputFolder,
        options->schemaFolder.empty() ? defaults.schemas : options->schemaFolder, options->layout);
    // The user's data folder may not exist yet, nor a new folder named by --folder; a failure
    // to make it shows as the run's own.
    const auto makeOutputFolder = [&folders] {
        std::error_code ignored;
        std::filesystem::create_directories(folders.output, ignored);
    };
    vat::RunCancel cancel(ledger);
    const CancelOnSignals cancelOnSignals(cancel);
    if (options->allDataFiles) {
        makeOutputFolder();
        return RunEveryDataFile(ledger, dataFiles, *options, folders, cancel, view);
    }
    if (std::find(dataFiles.begin(), dataFiles.end(), options->dataFile) == dataFiles.end())
        return Stop(*options,
                    {"\"" + options->dataFile +
                     "\" is not a data file of the server (see --list-data-files)"},
                    kRefused);

    const vat::DataFileChoice choice = vat::SelectDataFile(ledger, options->dataFile);
    if (!choice.books) return Stop(*options, MessageTexts(choice.messages), kFailed);
    if (options->markFiled) return MarkMonthFiled(*choice.books, folders, *options);
    makeOutputFolder();
    if (options->year)
        return ReportYear(ledger, options->dataFile, *options, folders, cancel, view);
    const vat::RunSelection selection = SelectionOf(choice, options->dataFile, *options, folders);
    if (options->verify) return Verify(ledger, selection, *options, cancel);
    return ReportMonth(RunMonth(ledger, selection, choice.messages, *options, cancel, view),
                       *options);
}

}  // namespace

// What no part of the program expected (memory exhausted, say) still ends with a reason and a
// status, never an abort. A report that could not be written whole fails the run: a script
// would otherwise keep a cut report as the month's.
int main(int argc, char** argv) {
    vat::ReturnLargeBlocksWhenFreed();
    KeepStandardDescriptorsTaken();
    CheckedStandardOutput output;
    int status = kFailed;
    try {
        status = CliMain(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "vat-efile-cli: " << error.what() << '\n';
    } catch (...) {
        std::cerr << "vat-efile-cli: an unexpected failure\n";
    }
    if (const std::optional<std::string> failure = output.Finish()) {
        std::cerr << "vat-efile-cli: the report could not be written to standard output: "
                  << *failure << '\n';
        return kFailed;
    }
    return status;
}
