#include "app/cli/cli_options.h"

#include <charconv>

#include "returns/return_period.h"

const char* const kCliUsage =
    "Usage: vat-efile-cli --data-file NAME --month M [--folder DIR] [--json]\n"
    "                     [--query-per-voucher]\n"
    "                     [--statement-timeout SECONDS]\n"
    "                     [--errors-csv FILE] [--errors-xlsx FILE]\n"
    "       vat-efile-cli --list-data-files\n"
    "\n"
    "Writes the month's six VAT e-filing return files of a data file and checks them against\n"
    "the schemas, as the window's Generate Files does.\n"
    "\n"
    "  --data-file NAME   the company data file (a database of the data source edb)\n"
    "  --month M          APR, MAY, ... MAR (any case) or 1 to 12\n"
    "  --folder DIR       the program folder: schemas are read from DIR/XSD and the month\n"
    "                     folders are written in DIR (default: the folder of this program)\n"
    "  --json             print one JSON object with the figures, errors, messages and files\n"
    "  --query-per-voucher  read each voucher's facts with statements of its own (slow;\n"
    "                     for comparing with the default reading per list)\n"
    "  --errors-csv FILE  also write the error list, with a heading of the run and its\n"
    "                     figures, to FILE as CSV (UTF-8)\n"
    "  --errors-xlsx FILE the same as an Excel workbook\n"
    "  --list-data-files  print the data files as the window lists them, one a line\n"
    "  --statement-timeout SECONDS\n"
    "                     stop a query on the server that runs longer, waits for locks\n"
    "                     included (default 600; 0 for no limit)\n"
    "  --help             print this text\n"
    "\n"
    "Exit status: 0 when the run reached OVER, 1 when it failed, 2 when it was refused.\n";

namespace {

static_assert(vat::ConnectionOptions{}.statementTimeoutSeconds == 600, "the usage names it");

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
        } else if (argument == "--data-file") {
            auto name = value();
            if (!name) return std::nullopt;
            options.dataFile = *name;
        } else if (argument == "--month") {
            auto text = value();
            if (!text) return std::nullopt;
            auto month = vat::ParseMonth(*text);
            if (!month) {
                error = "unknown month \"" + *text + "\": give APR ... MAR or 1 to 12";
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
        } else if (argument == "--folder") {
            auto folder = value();
            if (!folder) return std::nullopt;
            options.programFolder = *folder;
        } else if (argument == "--errors-csv" || argument == "--errors-xlsx") {
            auto file = value();
            if (!file) return std::nullopt;
            (argument == "--errors-csv" ? options.errorsCsv : options.errorsXlsx) = *file;
        } else {
            error = "unknown argument \"" + argument + "\"";
            return std::nullopt;
        }
    }
    if (options.help || options.listDataFiles) return options;
    if (options.dataFile.empty() || !monthGiven) {
        error = "a run needs --data-file and --month";
        return std::nullopt;
    }
    return options;
}
