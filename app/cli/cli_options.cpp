#include "app/cli/cli_options.h"

#include <charconv>
#include <string_view>

#include "disk/month_lock.h"
#include "returns/filing/mark_filed.h"
#include "returns/rules/return_period.h"

namespace {

constexpr std::string_view kUsage =
    R"(Usage: vat-efile-cli --data-file NAME --month M [--folder DIR] [--layout flat] [--xsd DIR]
                     [--json] [--replace] [--query-per-voucher] [--statement-timeout SECONDS]
                     [--errors-csv FILE] [--errors-xlsx FILE]
       vat-efile-cli --data-file NAME --year [--folder DIR] [--layout flat] [--xsd DIR] [--json]
                     [--replace]
       vat-efile-cli --data-file NAME --month M --verify [--folder DIR] [--layout flat]
                     [--xsd DIR] [--json]
       vat-efile-cli --all-data-files (--month M | --year) [--folder DIR] [--layout flat]
                     [--xsd DIR] [--json] [--replace]
       vat-efile-cli --data-file NAME --month M --check [--xsd DIR] [--json]
                     [--errors-csv FILE] [--errors-xlsx FILE]
       vat-efile-cli --data-file NAME --month M --mark-filed ACK [--filed-on DD/MM/YYYY]
                     [--folder DIR] [--layout flat] [--json]
       vat-efile-cli --list-data-files [--json]

Writes the month's six VAT e-filing return files of a data file and checks them against
the schemas, as the window's Generate Files does, with a run record (run.json) beside them.

  --data-file NAME   the company data file (a database of the data source edb)
  --month M          APR ... MAR or APRIL ... MARCH (any case), or 1 to 12
  --folder DIR       write the month folders in DIR, April's as
                     DIR/<data file>/<financial year>/04 (e.g. DIR/acme/2014-15/04);
                     by default DIR is
                     {output}
  --layout flat      write the month folder straight in DIR (DIR/04), shared by every
                     data file and year: a run of other books there is refused unless
                     --replace (--layout company-year is the default)
  --interstate-parties all
                     write out-of-state parties into the interstate files with their own
                     TIN (by default, in-state, those files take only parties whose TIN
                     begins with 29, as the return's rule asks)
  --all-data-files   run the month (or with --year the year) of every data file of the
                     server in turn, each exactly as a run of it alone; prints a line a
                     data file and a total line, or with --json
                     {"dataFiles": [each run's object with "dataFile" and "exitStatus"],
                     "totals": {...}, "exitStatus": N}; a data file that cannot be opened
                     shows why in its line and the others go on
  --xsd DIR          check the files against the schemas in DIR, e.g. the tax authority's
                     own eval_pur.xsd and the others; by default those in
                     {schemas}
  --json             print one JSON object with the figures, errors, messages and files
  --replace          replace the month's files even when a run of another data file or
                     another financial year wrote them (otherwise refused)
  --year             run the twelve months of the financial year, April to March, each
                     as a run of that month alone; prints the year's table, or with
                     --json {"months": [each month's object], "totals": {...}}
  --verify           re-read the month's books without writing anything and compare them
                     with the month's run record, and the month's files with their hashes
  --check            the check before filing: run the month exactly as a run would, into
                     a throwaway folder, and report its errors and what to fix, leaving
                     the month's folder and its lock alone; the exit status is the run's
  --mark-filed ACK   the month's files were uploaded to the portal, which acknowledged
                     them as ACK: keep a read-only copy of them and of their run record
                     for good (the month's files must be as their run wrote them); a
                     later run of the month reports what it changes since filing
  --filed-on DD/MM/YYYY  the day the files were filed (today by default)
  --query-per-voucher  read each voucher's facts with statements of its own (slow;
                     for comparing with the default reading per list)
  --errors-csv FILE  also write the error list, with a heading of the run and its
                     figures, to FILE as CSV (UTF-8)
  --errors-xlsx FILE the same as an Excel workbook
  --list-data-files  print the data files as the window lists them, one a line
  --statement-timeout SECONDS
                     stop a query on the server that runs longer, waits for locks
                     included (default 600; 0 for no limit)
  --help             print this text

One run of a month writes its files at a time: another run of the same month and folder
waits up to 5 seconds, then is refused. The month's files change only when a run reaches
OVER; a run that fails or is cancelled keeps the month's earlier files. SIGINT or SIGTERM
cancels the run; a second one ends the program at once (the next run cleans up).

Exit status: 0 when the run reached OVER and every file passed its schema check; 1 when it
failed (no server, a data file that does not open, a file or this report that could not be
written whole); 2 when
it was refused (a bad command line, an unknown data file, an incorrect TIN, an unusable
schema, another run of the month); 3 when it reached OVER but one or more files failed their
schema check; 4 when --verify found the books or the month's files changed since the
files were written; 5 when it was cancelled. A year run ends with the worst of its months'
statuses, from best to worst: 0, 3, 2, 1, 5; a run of every data file with the worst of
theirs.
)";

void Replace(std::string& text, std::string_view placeholder, const std::string& value) {
    text.replace(text.find(placeholder), placeholder.size(), value);
}

static_assert(vat::ConnectionOptions{}.statementTimeoutSeconds == 600, "the usage names it");
static_assert(vat::kMonthLockWait == std::chrono::seconds(5), "the usage names it");

// The server keeps a statement timeout in milliseconds in a 32-bit integer.
constexpr int kLongestStatementTimeoutSeconds = 2'147'483;

std::optional<int> ParseSeconds(const std::string& text) {
    int seconds = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds < 0 ||
        seconds > kLongestStatementTimeoutSeconds)
        return std::nullopt;
    return seconds;
}

}  // namespace

std::string CliUsage(const vat::ReturnFolders& defaults) {
    std::string usage(kUsage);
    Replace(usage, "{output}", defaults.output.string());
    Replace(usage, "{schemas}", defaults.schemas.string());
    return usage;
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments,
                                          std::string& error) {
    CliOptions options;
    bool monthGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return std::nullopt;
            }
            return arguments[++i];
        };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--list-data-files") {
            options.listDataFiles = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--query-per-voucher") {
            options.queryPerVoucher = true;
        } else if (argument == "--replace") {
            options.replace = true;
        } else if (argument == "--verify") {
            options.verify = true;
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--year") {
            options.year = true;
        } else if (argument == "--all-data-files") {
            options.allDataFiles = true;
        } else if (argument == "--mark-filed") {
            options.markFiled = value();
            if (!options.markFiled) return std::nullopt;
        } else if (argument == "--filed-on") {
            auto text = value();
            if (!text) return std::nullopt;
            options.filedOn = vat::ParsePersonsDate(*text);
            if (!options.filedOn) {
                error = "--filed-on takes a day as DD/MM/YYYY, not \"" + *text + "\"";
                return std::nullopt;
            }
        } else if (argument == "--layout") {
            auto layout = value();
            if (!layout) return std::nullopt;
            if (*layout == "flat") {
                options.layout = vat::MonthFolderLayout::Flat;
            } else if (*layout == "company-year") {
                options.layout = vat::MonthFolderLayout::CompanyYear;
            } else {
                error = "unknown layout \"" + *layout + "\": give flat or company-year";
                return std::nullopt;
            }
        } else if (argument == "--interstate-parties") {
            auto parties = value();
            if (!parties) return std::nullopt;
            const auto chosen = vat::InterstatePartiesOfCode(*parties);
            if (!chosen) {
                error = "unknown choice of interstate parties \"" + *parties +
                        "\": give in-state or all";
                return std::nullopt;
            }
            options.interstateParties = *chosen;
        } else if (argument == "--data-file") {
            auto name = value();
            if (!name) return std::nullopt;
            options.dataFile = *name;
        } else if (argument == "--month") {
            auto text = value();
            if (!text) return std::nullopt;
            auto month = vat::ParseMonth(*text);
            if (!month) {
                error =
                    "unknown month \"" + *text + "\": give APR ... MAR, APRIL ... MARCH or 1 to 12";
                return std::nullopt;
            }
            options.month = *month;
            monthGiven = true;
        } else if (argument == "--statement-timeout") {
            auto text = value();
            if (!text) return std::nullopt;
            auto seconds = ParseSeconds(*text);
            if (!seconds) {
                error = "--statement-timeout takes whole seconds from 0 (no limit) to " +
                        std::to_string(kLongestStatementTimeoutSeconds) + ", not \"" + *text + "\"";
                return std::nullopt;
            }
            options.connection.statementTimeoutSeconds = *seconds;
        } else if (argument == "--folder" || argument == "--xsd") {
            auto folder = value();
            if (!folder) return std::nullopt;
            // An empty name would quietly mean the default folder.
            if (folder->empty()) {
                error = argument + " needs a folder, not an empty name";
                return std::nullopt;
            }
            (argument == "--folder" ? options.outputFolder : options.schemaFolder) = *folder;
        } else if (argument == "--errors-csv" || argument == "--errors-xlsx") {
            auto file = value();
            if (!file) return std::nullopt;
            if (file->empty()) {
                error = argument + " needs a file, not an empty name";
                return std::nullopt;
            }
            (argument == "--errors-csv" ? options.errorsCsv : options.errorsXlsx) = *file;
        } else {
            error = "unknown argument \"" + argument + "\"";
            return std::nullopt;
        }
    }
    if (options.help || options.listDataFiles) return options;
    if (options.filedOn && !options.markFiled) {
        error = "--filed-on is the day of --mark-filed";
        return std::nullopt;
    }
    if (options.markFiled &&
        (options.allDataFiles || options.year || options.verify || options.check ||
         !options.errorsCsv.empty() || !options.errorsXlsx.empty())) {
        error = "--mark-filed marks one month filed: it takes --data-file and --month only";
        return std::nullopt;
    }
    if (options.allDataFiles) {
        if (!options.dataFile.empty() || options.verify || options.check ||
            !options.errorsCsv.empty() || !options.errorsXlsx.empty()) {
            error =
                "--all-data-files runs every data file: it takes neither --data-file, "
                "--verify, --check nor an export";
            return std::nullopt;
        }
        if (options.year == monthGiven) {
            error = "--all-data-files needs either --month or --year";
            return std::nullopt;
        }
        return options;
    }
    if (options.year) {
        if (monthGiven || options.verify || options.check || !options.errorsCsv.empty() ||
            !options.errorsXlsx.empty()) {
            error =
                "--year runs every month: it takes neither --month, --verify, --check nor an "
                "export";
            return std::nullopt;
        }
        if (options.dataFile.empty()) {
            error = "a year run needs --data-file";
            return std::nullopt;
        }
        return options;
    }
    if (options.dataFile.empty() || !monthGiven) {
        error = "a run needs --data-file and --month";
        return std::nullopt;
    }
    if (options.check && options.verify) {
        error = "--check and --verify are two different checks: give one";
        return std::nullopt;
    }
    return options;
}
