// run-bench: times a whole Generate Files run of one month of a data file against one
// pass over that month's day-book rows through the same connection, and reports the run's peak
// memory. One data file per process, so that the peak belongs to that run.
//
//   run-bench --data-file NAME [--month M] [--passes N] [--query-per-voucher]
//   run-bench --header
//
// scripts/bench.sh loads the demo ledgers and prints the whole table.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ledger/ledger_error.h"
#include "returns/run/data_file_selection.h"
#include "returns/run/generation_run.h"
#include "returns/run/run_memory.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kRowFormat = "%-20s %-5s %-11s %9s %10s %9s %9s %9s %9s %8s\n";

struct Options {
    std::string dataFile;
    int month = 4;
    int passes = 3;
    vat::FactReading reading = vat::FactReading::PerList;
};

[[noreturn]] void Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "run-bench: %s\nusage: run-bench --data-file NAME [--month M] [--passes N] "
                 "[--query-per-voucher]\n"
                 "       run-bench --header\n",
                 problem.c_str());
    std::exit(2);
}

double Seconds(Clock::duration elapsed) { return std::chrono::duration<double>(elapsed).count(); }

long long CountOf(vat::LedgerConnection& ledger, const std::string& sql) {
    vat::OpenQuery(ledger.lookupRecordset, sql);
    return ledger.lookupRecordset["n"].Integer();
}

// One pass over the month's day book, every row fetched; returns the rows seen.
long long StreamDayBook(vat::LedgerConnection& ledger, int month) {
    vat::Recordset& rows = ledger.postingRecordset;
    vat::OpenQuery(rows,
                   "select * from daybok where extract(month from vdate)=" + std::to_string(month));
    long long count = 0;
    for (; !rows.Eof(); rows.MoveNext()) ++count;
    return count;
}

// Reads the month's day book on the server without sending it, so that the run finds the
// server's cache as warm as the passes after it do.
void WarmDayBook(vat::LedgerConnection& ledger, int month) {
    CountOf(ledger, "select count(*) as n from daybok where extract(month from vdate)=" +
                        std::to_string(month));
}

// The median of several passes, after one that warms the server's cache as the run's own
// first queries would.
double PassSeconds(vat::LedgerConnection& ledger, int month, int passes, long long& rows) {
    rows = StreamDayBook(ledger, month);
    std::vector<double> times;
    for (int i = 0; i < passes; ++i) {
        const auto start = Clock::now();
        StreamDayBook(ledger, month);
        times.push_back(Seconds(Clock::now() - start));
    }
    std::nth_element(times.begin(), times.begin() + passes / 2, times.end());
    return times[passes / 2];
}

// A throwaway program folder with the project's schemas.
fs::path MakeProgramFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("vat-run-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder / "XSD");
    for (const auto& schema : fs::directory_iterator(VAT_SCHEMA_DIR))
        fs::copy_file(schema.path(), folder / "XSD" / schema.path().filename());
    return folder;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

// The processor time this process has used, user and system: unlike the time on the clock, it
// leaves out the server's work and, mostly, what the rest of a busy machine does meanwhile.
double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int Measure(const Options& options) {
    vat::LedgerConnection ledger;
    const vat::DataFileChoice choice = vat::SelectDataFile(ledger, options.dataFile);
    if (!choice.books || !choice.books->TinValid()) {
        std::fprintf(stderr, "run-bench: %s: %s\n", options.dataFile.c_str(),
                     choice.messages.empty() ? "not usable" : choice.messages.back().text.c_str());
        return 1;
    }
    const std::string month = std::to_string(options.month);
    const long long vouchers = CountOf(
        ledger,
        "select count(distinct vno) as n from daybok where extract(month from vdate)=" + month);
    const bool indexed =
        CountOf(ledger, "select count(*) as n from pg_indexes where tablename='daybok'") > 0;

    // The run before the passes: a pass holds the month's whole day book in the driver, and the
    // peak is the run's.
    WarmDayBook(ledger, options.month);
    const fs::path folder = MakeProgramFolder();
    const double processorBefore = ProcessorSeconds();
    const auto start = Clock::now();
    const vat::RunResult result = vat::GenerationRun(ledger, {.books = choice.books,
                                                              .dataFile = options.dataFile,
                                                              .monthNumber = options.month,
                                                              .folders = folder,
                                                              .reading = options.reading});
    const double run = Seconds(Clock::now() - start);
    const double runProcessor = ProcessorSeconds() - processorBefore;
    const double peak = PeakMegabytes();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!result.Completed()) {
        std::fprintf(stderr, "run-bench: the run of %s did not reach OVER: %s\n",
                     options.dataFile.c_str(),
                     result.messages.empty() ? "" : result.messages.back().text.c_str());
        return 1;
    }
    long long rows = 0;
    const double pass = PassSeconds(ledger, options.month, options.passes, rows);

    char passText[32], runText[32], processorText[32], ratioText[32], peakText[32],
        vouchersText[32], rowsText[32];
    std::snprintf(vouchersText, sizeof vouchersText, "%lld", vouchers);
    std::snprintf(rowsText, sizeof rowsText, "%lld", rows);
    std::snprintf(passText, sizeof passText, "%.3f", pass);
    std::snprintf(runText, sizeof runText, "%.2f", run);
    std::snprintf(processorText, sizeof processorText, "%.2f", runProcessor);
    std::snprintf(ratioText, sizeof ratioText, "%.1f", run / pass);
    std::snprintf(peakText, sizeof peakText, "%.0f", peak);
    const char* reading = options.reading == vat::FactReading::PerList ? "per list" : "per voucher";
    std::printf(kRowFormat, options.dataFile.c_str(), indexed ? "yes" : "no", reading, vouchersText,
                rowsText, passText, runText, processorText, ratioText, peakText);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vat::ReturnLargeBlocksWhenFreed();
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--header") {
            std::printf(kRowFormat, "data file", "index", "facts", "vouchers", "day rows", "pass s",
                        "run s", "run cpu s", "run/pass", "peak MB");
            return 0;
        }
        if (option == "--query-per-voucher") {
            options.reading = vat::FactReading::PerVoucher;
            continue;
        }
        if (i + 1 == argc) Usage(option + " needs a value");
        const std::string value = argv[++i];
        if (option == "--data-file") {
            options.dataFile = value;
        } else if (option == "--month") {
            options.month = std::atoi(value.c_str());
            if (options.month < 1 || options.month > 12) Usage("--month is 1 to 12");
        } else if (option == "--passes") {
            options.passes = std::max(1, std::atoi(value.c_str()));
        } else {
            Usage("unknown option " + option);
        }
    }
    if (options.dataFile.empty()) Usage("--data-file is required");
    try {
        return Measure(options);
    } catch (const vat::LedgerError& error) {
        std::fprintf(stderr, "run-bench: %s\n", error.what());
        return 1;
    } catch (const fs::filesystem_error& error) {
        // The schemas are copied from beside the program: a run-bench moved elsewhere has none.
        std::fprintf(stderr, "run-bench: %s\n", error.what());
        return 1;
    }
}
