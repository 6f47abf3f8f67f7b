// The command line of vat-efile-cli, read without running anything.
#include "app/cli/cli_options.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "support/program_folder.h"

namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> arguments;
    bool accepted;
    int month;  // when accepted and a run was asked for
    int statementTimeoutSeconds = 600;
};

void PrintTo(const OptionsCase& options, std::ostream* out) { *out << options.name; }

const std::vector<OptionsCase> kCases = {
    {"MonthNameInCapitals", {"--data-file", "d", "--month", "APR"}, true, 4},
    {"MonthNameInAnyCase", {"--data-file", "d", "--month", "oCt"}, true, 10},
    {"MarchEndsTheYear", {"--data-file", "d", "--month", "MAR"}, true, 3},
    {"MonthNumber", {"--month", "12", "--data-file", "d"}, true, 12},
    {"MonthZero", {"--data-file", "d", "--month", "0"}, false, 0},
    {"MonthWithLeadingZero", {"--data-file", "d", "--month", "04"}, true, 4},
    {"FullMonthName", {"--data-file", "d", "--month", "April"}, true, 4},
    {"FullMonthNameInAnyCase", {"--data-file", "d", "--month", "sEPTEMBER"}, true, 9},
    {"ShortenedMonthName", {"--data-file", "d", "--month", "Sept"}, false, 0},
    {"NoDataFile", {"--month", "APR"}, false, 0},
    {"EmptyDataFile", {"--data-file", "", "--month", "APR"}, false, 0},
    {"ValueMissingAtTheEnd", {"--data-file", "d", "--month"}, false, 0},
    {"HelpNeedsNothingElse", {"--help"}, true, 0},
    {"ListNeedsNothingElse", {"--list-data-files"}, true, 0},
    {"UnknownOption", {"--list-data-files", "--all"}, false, 0},
    {"StatementTimeout",
     {"--data-file", "d", "--month", "4", "--statement-timeout", "30"},
     true,
     4,
     30},
    {"NoStatementTimeout",
     {"--data-file", "d", "--month", "4", "--statement-timeout", "0"},
     true,
     4,
     0},
    {"LongestStatementTimeout",
     {"--data-file", "d", "--month", "4", "--statement-timeout", "2147483"},
     true,
     4,
     2147483},
    {"StatementTimeoutTooLong", {"--list-data-files", "--statement-timeout", "2147484"}, false, 0},
    {"NegativeStatementTimeout", {"--list-data-files", "--statement-timeout", "-1"}, false, 0},
    {"StatementTimeoutInMinutes", {"--list-data-files", "--statement-timeout", "10m"}, false, 0},
    {"ErrorListExports",
     {"--data-file", "d", "--month", "4", "--errors-csv", "e.csv", "--errors-xlsx", "e.xlsx"},
     true,
     4},
    {"Year", {"--data-file", "d", "--year"}, true, 0},
    {"YearWithAMonth", {"--data-file", "d", "--year", "--month", "4"}, false, 0},
    {"YearWithVerify", {"--data-file", "d", "--year", "--verify"}, false, 0},
    {"YearWithAnExport", {"--data-file", "d", "--year", "--errors-csv", "e.csv"}, false, 0},
    {"YearWithoutDataFile", {"--year"}, false, 0},
    {"VerifyAMonth", {"--data-file", "d", "--month", "4", "--verify"}, true, 4},
    {"VerifyNeedsAMonth", {"--data-file", "d", "--verify"}, false, 0},
    {"ErrorListExportWithoutItsFile",
     {"--data-file", "d", "--month", "4", "--errors-csv"},
     false,
     0},
    {"EmptyFolder", {"--data-file", "d", "--month", "4", "--folder", ""}, false, 0},
    {"EmptySchemaFolder", {"--data-file", "d", "--month", "4", "--xsd", ""}, false, 0},
    {"EmptyExportFile", {"--data-file", "d", "--month", "4", "--errors-xlsx", ""}, false, 0},
    {"FlatLayout", {"--data-file", "d", "--month", "4", "--layout", "flat"}, true, 4},
    {"CompanyYearLayout",
     {"--data-file", "d", "--month", "4", "--layout", "company-year"},
     true,
     4},
    {"UnknownLayout", {"--data-file", "d", "--month", "4", "--layout", "nested"}, false, 0},
    {"EveryDataFilesMonth", {"--all-data-files", "--month", "APR"}, true, 4},
    {"EveryDataFilesYear", {"--all-data-files", "--year"}, true, 0},
    {"EveryDataFileNeedsMonthOrYear", {"--all-data-files"}, false, 0},
    {"EveryDataFileNotBoth", {"--all-data-files", "--year", "--month", "4"}, false, 0},
    {"EveryDataFileAndOne", {"--all-data-files", "--data-file", "d", "--month", "4"}, false, 0},
    {"EveryDataFileVerify", {"--all-data-files", "--month", "4", "--verify"}, false, 0},
    {"EveryDataFileExport", {"--all-data-files", "--month", "4", "--errors-csv", "e"}, false, 0},
    {"MarkFiled", {"--data-file", "d", "--month", "4", "--mark-filed", "ACK"}, true, 4},
    {"MarkFiledOnADay",
     {"--data-file", "d", "--month", "4", "--mark-filed", "ACK", "--filed-on", "20/05/2014"},
     true,
     4},
    {"MarkFiledOnNoDay",
     {"--data-file", "d", "--month", "4", "--mark-filed", "ACK", "--filed-on", "31/04/2014"},
     false,
     0},
    {"MarkFiledOnAnIsoDay",
     {"--data-file", "d", "--month", "4", "--mark-filed", "ACK", "--filed-on", "2014-05-20"},
     false,
     0},
    {"FiledOnWithoutMarking",
     {"--data-file", "d", "--month", "4", "--filed-on", "20/05/2014"},
     false,
     0},
    {"MarkFiledNeedsAMonth", {"--data-file", "d", "--mark-filed", "ACK"}, false, 0},
    {"MarkFiledAYear", {"--data-file", "d", "--year", "--mark-filed", "ACK"}, false, 0},
    {"MarkFiledAndVerify",
     {"--data-file", "d", "--month", "4", "--mark-filed", "ACK", "--verify"},
     false,
     0},
    {"MarkFiledEveryDataFile", {"--all-data-files", "--month", "4", "--mark-filed", "A"}, false, 0},
};

class CliOptionsParse : public testing::TestWithParam<OptionsCase> {};

TEST_P(CliOptionsParse, AcceptsOrGivesAReason) {
    const OptionsCase& given = GetParam();
    std::string error;
    const auto options = ParseCliOptions(given.arguments, error);
    ASSERT_EQ(options.has_value(), given.accepted) << error;
    if (!options) {
        EXPECT_FALSE(error.empty());
    } else if (!options->help && !options->listDataFiles) {
        EXPECT_EQ(options->month, given.month);
        EXPECT_EQ(options->connection.statementTimeoutSeconds, given.statementTimeoutSeconds);
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, CliOptionsParse, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(CliOptions, TheOutputAndTheSchemaFolderAreGivenApart) {
    std::string error;
    const auto options = ParseCliOptions(
        {"--data-file", "d", "--month", "4", "--folder", "/books/returns", "--xsd", "/authority"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->outputFolder, "/books/returns");
    EXPECT_EQ(options->schemaFolder, "/authority");
    const auto defaults = ParseCliOptions({"--data-file", "d", "--month", "4"}, error);
    ASSERT_TRUE(defaults) << error;
    EXPECT_TRUE(defaults->outputFolder.empty());
    EXPECT_TRUE(defaults->schemaFolder.empty());
    EXPECT_EQ(defaults->layout, vat::MonthFolderLayout::CompanyYear);
    EXPECT_EQ(
        ParseCliOptions({"--data-file", "d", "--month", "4", "--layout", "flat"}, error)->layout,
        vat::MonthFolderLayout::Flat);
}

TEST(CliOptions, TheUsageNamesTheDefaultFolders) {
    const std::string usage =
        CliUsage({"/home/a/.local/share/vat-efile", "/usr/share/vat-efile/XSD"});
    EXPECT_NE(usage.find("\n                     /home/a/.local/share/vat-efile\n"),
              std::string::npos)
        << usage;
    EXPECT_NE(usage.find("\n                     /usr/share/vat-efile/XSD\n"), std::string::npos)
        << usage;
}

// The manual page has an entry for each option the usage describes, and for no other.
TEST(CliOptions, TheManualPageDescribesTheOptionsOfTheUsage) {
    const auto optionsIn = [](const std::string& text, const std::regex& entry) {
        std::set<std::string> options;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), entry);
             it != std::sregex_iterator(); ++it)
            options.insert((*it)[1]);
        return options;
    };
    // An option's line of the usage, and its entry of the page, whose hyphens roff writes as \-.
    const std::regex usageLine("\n  (--[a-z][a-z-]*)");
    const std::regex pageEntry("\n\\.TP\n\\.B[IR]? (--[a-z][a-z-]*)");
    const std::string page =
        std::regex_replace(vat::test::ReadBytes(VAT_SOURCE_DIR "/packaging/vat-efile-cli.1"),
                           std::regex(R"(\\-)"), "-");
    const std::set<std::string> described = optionsIn(CliUsage({"/out", "/xsd"}), usageLine);
    EXPECT_GT(described.size(), 10u);
    EXPECT_EQ(optionsIn(page, pageEntry), described);
}

}  // namespace
