// vat-efile-cli where its report cannot be written (a full disk, a closed standard output) and
// where a month's run record is not one it can read: a failure said in one line, never success
// and never a crash.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "disk/local_time.h"
#include "support/program_folder.h"
#include "support/program_run.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::Describe;
using test::ProgramFolder;
using test::ProgramResult;

ProgramResult RunCli(const std::vector<std::string>& arguments, const ProgramFolder& folder,
                     const std::string& outputTo = "") {
    std::vector<std::string> words = arguments;
    for (std::string& word : words)
        if (word == "{folder}") word = folder.Path().string();
    return test::RunProgram(VAT_CLI_PROGRAM, words, folder, "", outputTo);
}

const std::vector<std::string> kApril = {"--data-file", "t_run_demo", "--month",  "APR",
                                         "--folder",    "{folder}",   "--layout", "flat"};

std::vector<std::string> AprilWith(const std::vector<std::string>& more) {
    std::vector<std::string> arguments = kApril;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

struct Report {
    const char* name;
    std::vector<std::string> arguments;
    bool monthWrittenFirst = false;  // for --verify
};

void PrintTo(const Report& report, std::ostream* out) { *out << report.name; }

const Report kReports[] = {
    {"AMonth", kApril},
    {"AMonthAsJson", AprilWith({"--json"})},
    {"TheCheckOfAMonth", AprilWith({"--verify"}), true},
    {"TheCheckOfAMonthAsJson", AprilWith({"--verify", "--json"}), true},
    {"AYear", {"--data-file", "t_run_figures", "--year", "--folder", "{folder}"}},
    {"EveryDataFileAsJson",
     {"--all-data-files", "--month", "APR", "--json", "--folder", "{folder}"}},
    {"TheDataFiles", {"--list-data-files"}},
    {"TheDataFilesAsJson", {"--list-data-files", "--json"}},
    {"TheUsage", {"--help"}},
};

class UnwrittenReport : public testing::TestWithParam<Report> {};

TEST_P(UnwrittenReport, FailsWithTheReasonInOneLine) {
    const struct {
        const char* outputTo;
        const char* reason;
    } outputs[] = {{">/dev/full", "No space left on device"}, {">&-", "Bad file descriptor"}};
    for (const auto& output : outputs) {
        ProgramFolder folder;
        if (GetParam().monthWrittenFirst) {
            ASSERT_EQ(RunCli(kApril, folder).status, 0);
        }
        const ProgramResult result = RunCli(GetParam().arguments, folder, output.outputTo);
        EXPECT_EQ(result.status, 1) << output.outputTo << '\n' << Describe(result);
        EXPECT_TRUE(result.err.ends_with(
            std::string("vat-efile-cli: the report could not be written to standard output: ") +
            output.reason + "\n"))
            << output.outputTo << '\n'
            << result.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, UnwrittenReport, testing::ValuesIn(kReports),
                         [](const auto& info) { return std::string(info.param.name); });

// With standard output closed, nothing the program opens takes its place: the month's files
// are as a run writes them.
TEST(Cli, AClosedStandardOutputLeavesTheMonthsFilesWhole) {
    ProgramFolder folder;
    EXPECT_EQ(RunCli(AprilWith({"--json"}), folder, ">&-").status, 1);
    const ProgramResult check = RunCli(AprilWith({"--verify"}), folder);
    EXPECT_EQ(check.status, 0) << Describe(check);
}

TEST(Cli, AnErrorListThatCannotBeWrittenFailsTheRun) {
    for (const char* option : {"--errors-csv", "--errors-xlsx"}) {
        ProgramFolder folder;
        const ProgramResult result = RunCli(AprilWith({option, "/dev/full"}), folder);
        EXPECT_EQ(result.status, 1) << option << '\n' << Describe(result);
        // The workbook's library says more of its own before.
        EXPECT_NE(result.err.find("vat-efile-cli: Cannot write /dev/full: "), std::string::npos)
            << option << '\n'
            << result.err;
    }
}

// A record nested deeper than any the program writes, or naming its data file twice, is
// refused by every reading of it, the check's and the guard's before a run replaces the month.
TEST(Cli, ARecordNestedDeepOrNamingItsDataFileTwiceIsRefused) {
    const struct {
        const char* name;
        std::string member;  // put ahead of the record's own members
        std::string reason;
    } cases[] = {
        {"deep", "\"deep\": " + std::string(100'000, '[') + std::string(100'000, ']') + ", ",
         "its members nest deeper than 32 levels"},
        {"twice", R"("dataFile": "t_run_figures", )",
         "its member \"dataFile\" is given twice in one object"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        ASSERT_EQ(RunCli(kApril, folder).status, 0);
        const fs::path record = folder / "04" / "run.json";
        std::string text = test::ReadBytes(record);
        text.insert(text.find('{') + 1, c.member);
        std::ofstream(record, std::ios::trunc) << text;
        const std::string refusal = record.string() + " is not a run record: " + c.reason;

        const ProgramResult verify = RunCli(AprilWith({"--verify"}), folder);
        EXPECT_EQ(verify.status, 2) << c.name << '\n' << Describe(verify);
        EXPECT_EQ(verify.err, "vat-efile-cli: " + refusal + "\n") << c.name;
        const ProgramResult run = RunCli(kApril, folder);
        EXPECT_EQ(run.status, 2) << c.name << '\n' << Describe(run);
        EXPECT_EQ(run.err, "vat-efile-cli: The files in " + (folder / "04").string() +
                               " have a run record that cannot be read (" + refusal +
                               "); give --replace to replace them\n")
            << c.name;
    }
}

// A record that cannot be read at all is no question of whose files to replace: --replace is
// not offered as the cure.
TEST(Cli, ARecordThatCannotBeReadAtAllIsNotOfferedToBeReplaced) {
    ProgramFolder folder;
    ASSERT_EQ(RunCli(kApril, folder).status, 0);
    const fs::path record = folder / "04" / "run.json";
    fs::remove(record);
    fs::create_directory(record);
    const ProgramResult run = RunCli(kApril, folder);
    EXPECT_EQ(run.status, 2) << Describe(run);
    EXPECT_EQ(run.err, "vat-efile-cli: The files in " + (folder / "04").string() +
                           " have a run record that cannot be read (Cannot read " +
                           record.string() + ": it is not a regular file)\n");
}

// The check of a month whose record another data file's run wrote names that data file.
TEST(Cli, TheCheckOfAnotherDataFilesMonthNamesIt) {
    ProgramFolder folder;
    ASSERT_EQ(RunCli(kApril, folder).status, 0);
    const ProgramResult verify = RunCli({"--data-file", "t_run_figures", "--month", "APR",
                                         "--folder", "{folder}", "--layout", "flat", "--verify"},
                                        folder);
    EXPECT_EQ(verify.status, 2) << Describe(verify);
    const auto record = nlohmann::json::parse(test::ReadBytes(folder / "04" / "run.json"));
    EXPECT_EQ(verify.err,
              "vat-efile-cli: The run record in " + (folder / "04").string() +
                  " is of month 4 of t_run_demo (financial year 01/04/2014 to 31/03/2015), "
                  "written " +
                  PersonsForm(record["writtenAt"].get<std::string>()) +
                  "; generate the month's files again.\n");
}

}  // namespace
}  // namespace vat
