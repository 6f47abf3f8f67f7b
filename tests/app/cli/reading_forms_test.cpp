// What a person reads, on every surface the command line gives, in the forms the accountant
// reads: amounts grouped the Indian way (12,40,000.00), days as dd/MM/yyyy, no code words of the
// JSON, and the data file and month named at the top. Each surface is the real program's output.
#include <gtest/gtest.h>

#include <regex>

#include "support/program_folder.h"
#include "support/program_run.h"

namespace vat {
namespace {

using test::ProgramFolder;

// Its files reach 50,000.00 and 1,234.50; its interstate buyer is left out with a row.
const char* const kDataFile = "t_interstate_sales";

struct Surface {
    const char* name;
    std::vector<std::string> arguments;  // after --data-file and --folder; "{csv}" the export
    std::vector<std::string> top;        // what the first lines say of the run, with its name
    bool showsThousands = true;          // it shows amounts of a thousand or more
    bool readsExport = false;            // the CSV the run exported, not its standard output
};

const std::vector<Surface> kSurfaces = {
    {"Run", {"--month", "APR"}, {"APR 2014 \u00b7 Run"}},
    {"Check", {"--month", "APR", "--check"}, {"APR 2014 \u00b7 Check before filing"}},
    {"Verify", {"--month", "APR", "--verify"}, {"Files of APR written"}, false},
    {"Year", {"--year"}, {"Year run"}},
    {"ExportedErrorList",
     {"--month", "APR", "--errors-csv", "{csv}"},
     {"Month,APR 2014", "Kind,"},
     true,
     true},
};

void PrintTo(const Surface& surface, std::ostream* out) { *out << surface.name; }

class ReadingForms : public testing::TestWithParam<Surface> {};

TEST_P(ReadingForms, GroupAmountsWriteDaysAsPeopleDoAndNameTheRunAtTheTop) {
    const ProgramFolder folder;
    const std::string csv = (folder / "errors.csv").string();
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"--data-file", kDataFile, "--folder", folder.Path().string()});
        for (std::string& argument : arguments)
            if (argument == "{csv}") argument = csv;
        return test::RunProgram(VAT_CLI_PROGRAM, arguments, folder);
    };
    // The month is there to verify.
    const test::ProgramResult april = run({"--month", "APR"});
    ASSERT_TRUE(april.status == 0 || april.status == 3) << test::Describe(april);
    const test::ProgramResult result = run(GetParam().arguments);
    ASSERT_GE(result.status, 0) << test::Describe(result);
    const std::string text = GetParam().readsExport ? test::ReadBytes(csv) : result.out;
    ASSERT_FALSE(text.empty()) << test::Describe(result);

    // The first lines: the CSV names the run a line a fact.
    std::size_t end = 0;
    for (int line = 0; line < 5 && end != std::string::npos; ++line) end = text.find('\n', end + 1);
    const std::string top = text.substr(0, end);
    EXPECT_NE(top.find(kDataFile), std::string::npos) << top;
    for (const std::string& said : GetParam().top)
        EXPECT_NE(top.find(said), std::string::npos) << said << " in\n" << top;
    std::smatch found;
    EXPECT_FALSE(std::regex_search(text, found, std::regex(R"(\b\d{4}-\d\d-\d\d\b)")))
        << "a day as yyyy-mm-dd: " << found.str() << "\n"
        << text;
    EXPECT_FALSE(std::regex_search(text, found, std::regex(R"((^|[^\d,.])\d{4,}\.\d\d(?!\d))")))
        << "an amount not grouped: " << found.str() << "\n"
        << text;
    EXPECT_FALSE(std::regex_search(text, found, std::regex(R"(\b(leftOut|notListed)\b)")))
        << "a code word: " << found.str() << "\n"
        << text;
    if (GetParam().showsThousands) {
        EXPECT_TRUE(std::regex_search(text, std::regex(R"(\d\d?,\d\d\d\.\d\d)")))
            << "no amount of a thousand or more shown at all\n"
            << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, ReadingForms, testing::ValuesIn(kSurfaces),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vat
