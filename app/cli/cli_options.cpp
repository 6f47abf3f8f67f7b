#include "app/cli/cli_options.h"

#include "returns/return_period.h"

const char* const kCliUsage =
    "Usage: vat-efile-cli --data-file NAME --month M [--folder DIR] [--json]\n"
    "                     [--query-per-voucher]\n"
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
    "  --list-data-files  print the data files as the window lists them, one a line\n"
    "  --help             print this text\n"
    "\n"
    "Exit status: 0 when the run reached OVER, 1 when it failed, 2 when it was refused.\n";

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
        } else if (argument == "--folder") {
            auto folder = value();
            if (!folder) return std::nullopt;
            options.programFolder = *folder;
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
