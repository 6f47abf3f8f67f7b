#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ledger/connection_options.h"
#include "ledger/ledger_date.h"
#include "returns/declarations/return_file_kind.h"
#include "returns/run/return_folders.h"

// What the command line asked for.
struct CliOptions {
    bool help = false;
    bool listDataFiles = false;
    bool json = false;
    bool queryPerVoucher = false;
    bool replace = false;       // replace files another data file or financial year wrote
    bool verify = false;        // compare the books with the month's run record; write nothing
    bool check = false;         // run the month into a throwaway folder: the check before filing
    bool year = false;          // run the twelve months of the financial year
    bool allDataFiles = false;  // run the month or the year of every data file of the server
    std::optional<std::string> markFiled;    // --mark-filed: the acknowledgement of the filing
    std::optional<vat::LedgerDate> filedOn;  // --filed-on; today when not given
    std::string dataFile;
    int month = 0;                       // 1 to 12; 0 with --year
    std::filesystem::path outputFolder;  // --folder; empty for the default
    std::filesystem::path schemaFolder;  // --xsd; empty for the default
    vat::MonthFolderLayout layout = vat::MonthFolderLayout::CompanyYear;  // --layout
    vat::InterstateParties interstateParties = vat::InterstateParties::InState;
    std::filesystem::path errorsCsv;  // where to export the error list, when asked
    std::filesystem::path errorsXlsx;
    vat::ConnectionOptions connection;  // --statement-timeout sets its statement timeout
};

// Parses the arguments (without the program name); nullopt with a reason on a bad command line.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments,
                                          std::string& error);

// The usage text, naming the folders used when --folder and --xsd are not given.
std::string CliUsage(const vat::ReturnFolders& defaults);
