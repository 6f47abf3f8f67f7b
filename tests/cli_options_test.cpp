// The command line of vat-efile-cli, read without running anything.
#include "app/cli/cli_options.h"

#include <gtest/gtest.h>

namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> arguments;
    bool accepted;
    int month;  // when accepted and a run was asked for
};

void PrintTo(const OptionsCase& options, std::ostream* out) { *out << options.name; }

const std::vector<OptionsCase> kCases = {
    {"MonthNameInCapitals", {"--data-file", "d", "--month", "APR"}, true, 4},
    {"MonthNameInAnyCase", {"--data-file", "d", "--month", "oCt"}, true, 10},
    {"MarchEndsTheYear", {"--data-file", "d", "--month", "MAR"}, true, 3},
    {"MonthNumber", {"--month", "12", "--data-file", "d"}, true, 12},
    {"MonthZero", {"--data-file", "d", "--month", "0"}, false, 0},
    {"MonthWithLeadingZero", {"--data-file", "d", "--month", "04"}, true, 4},
    {"FullMonthName", {"--data-file", "d", "--month", "April"}, false, 0},
    {"NoDataFile", {"--month", "APR"}, false, 0},
    {"EmptyDataFile", {"--data-file", "", "--month", "APR"}, false, 0},
    {"ValueMissingAtTheEnd", {"--data-file", "d", "--month"}, false, 0},
    {"HelpNeedsNothingElse", {"--help"}, true, 0},
    {"ListNeedsNothingElse", {"--list-data-files"}, true, 0},
    {"UnknownOption", {"--list-data-files", "--all"}, false, 0},
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
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, CliOptionsParse, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
