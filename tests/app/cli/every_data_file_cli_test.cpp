// vat-efile-cli --all-data-files: every data file of the server, each exactly as a run of it
// alone, a database without books reported in its own line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <ranges>
#include <sstream>

#include "support/program_folder.h"
#include "support/program_run.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using test::Describe;
using test::ProgramFolder;

test::ProgramResult RunCli(const std::vector<std::string>& arguments,
                           const ProgramFolder& scratch) {
    return test::RunProgram(VAT_CLI_PROGRAM, arguments, scratch);
}

// A database of the server that holds no books, there while the test lasts.
class DatabaseWithoutBooks {
public:
    DatabaseWithoutBooks() { test::AdminPsql("edb", "create database emptyco"); }
    ~DatabaseWithoutBooks() { test::AdminPsql("edb", "drop database emptyco with (force)"); }
};

const char* const kNoBooks = "emptyco holds no books of the accounting package (no table super)";

// Text with one folder's path put as another's.
std::string Moved(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::int64_t Paise(const Json& rupees) { return std::llround(rupees.get<double>() * 100); }

// The totals' reconciliation is the sum of every data file's own, as its object prints it.
void ExpectTotalsAddUpTheReconciliations(const Json& report) {
    const Json& totals = report["totals"];
    int reconciled = 0;
    std::map<std::string, std::int64_t> books, differences;
    std::int64_t vatPayableDifference = 0, unexplained = 0;
    for (const Json& company : report["dataFiles"]) {
        if (!company.contains("reconciliation") || company["reconciliation"].is_null()) continue;
        const Json& reconciliation = company["reconciliation"];
        ++reconciled;
        for (const auto& [key, value] : totals["books"].items()) {
            books[key] += Paise(reconciliation[key]["books"]);
            differences[key] += Paise(reconciliation[key]["difference"]);
            unexplained += Paise(reconciliation[key]["unexplained"]);
        }
        vatPayableDifference += Paise(reconciliation["vatPayable"]["difference"]);
    }
    ASSERT_GT(reconciled, 1) << "too few reconciled data files to add up";
    EXPECT_EQ(totals["monthsReconciled"], reconciled);
    ASSERT_EQ(totals["books"].size(), 4u) << totals.dump(1);
    for (const auto& [key, value] : totals["books"].items()) {
        EXPECT_EQ(Paise(value), books[key]) << key;
        EXPECT_EQ(Paise(totals["difference"][key]), differences[key]) << key;
    }
    EXPECT_EQ(Paise(totals["difference"]["vatPayable"]), vatPayableDifference);
    EXPECT_EQ(Paise(totals["unexplained"]), unexplained);
    EXPECT_NE(std::ranges::count(books | std::views::values, 0), std::ssize(books))
        << "every book figure is 0: nothing was added up";
}

TEST(EveryDataFile, IsEachRunAloneWithALineEachAndTheWorstStatus) {
    const DatabaseWithoutBooks emptyco;
    ProgramFolder all, alone;
    const test::ProgramResult listed = RunCli({"--list-data-files"}, all);
    std::vector<std::string> dataFiles;
    std::istringstream names(listed.out);
    for (std::string name; std::getline(names, name);) dataFiles.push_back(name);
    ASSERT_EQ(dataFiles.back(), "emptyco") << listed.out;

    const test::ProgramResult every = RunCli(
        {"--all-data-files", "--month", "APR", "--json", "--folder", all.Path().string()}, all);
    const Json report = Json::parse(every.out);
    ASSERT_EQ(report["dataFiles"].size(), dataFiles.size()) << every.out;
    // Exit statuses from best to worst.
    const std::vector<int> ranked = {0, 3, 2, 1, 5};
    const auto rank = [&](int status) { return std::find(ranked.begin(), ranked.end(), status); };
    int worst = 0;
    for (std::size_t at = 0; at < dataFiles.size(); ++at) {
        Json company = report["dataFiles"][at];
        const std::string& dataFile = dataFiles[at];
        EXPECT_EQ(company["dataFile"], dataFile);
        const test::ProgramResult run = RunCli({"--data-file", dataFile, "--month", "APR", "--json",
                                                "--folder", alone.Path().string()},
                                               alone);
        EXPECT_EQ(company["exitStatus"], run.status) << dataFile;
        if (rank(run.status) > rank(worst)) worst = run.status;
        company.erase("dataFile");
        company.erase("dealerTin");
        company.erase("exitStatus");
        // Figures, labels, rows, messages, accounts and file paths; then the files themselves.
        EXPECT_EQ(Moved(company.dump(1), all.Path().string(), alone.Path().string()),
                  Json::parse(run.out).dump(1))
            << dataFile;
        if (company["monthFolder"].is_string()) {
            const fs::path folder = company["monthFolder"].get<std::string>();
            EXPECT_EQ(folder.parent_path().parent_path(), all / dataFile);
            EXPECT_EQ(folder.filename(), "04");
            EXPECT_EQ(test::FolderBytes(folder),
                      test::FolderBytes(
                          Moved(folder.string(), all.Path().string(), alone.Path().string())))
                << dataFile;
        }
    }
    ExpectTotalsAddUpTheReconciliations(report);
    EXPECT_EQ(report["dataFiles"].back()["messages"], Json::array({kNoBooks}));
    EXPECT_EQ(report["exitStatus"], every.status);
    EXPECT_EQ(every.status, worst);
    EXPECT_EQ(worst, 1) << "the database without books failed";

    const test::ProgramResult lines =
        RunCli({"--all-data-files", "--month", "APR", "--folder", all.Path().string()}, all);
    EXPECT_EQ(lines.status, 1) << Describe(lines);
    std::istringstream printed(lines.out);
    std::vector<std::string> printedLines;
    for (std::string line; std::getline(printed, line);) printedLines.push_back(line);
    ASSERT_EQ(printedLines.size(), dataFiles.size() + 3) << lines.out;  // heading, total, note
    EXPECT_TRUE(printedLines[dataFiles.size()].starts_with("emptyco")) << lines.out;
    EXPECT_TRUE(printedLines[dataFiles.size()].ends_with(std::string("1 failed: ") + kNoBooks))
        << lines.out;
    EXPECT_TRUE(printedLines[dataFiles.size() + 1].starts_with("Total")) << lines.out;
}

// A database whose name holds a line break and an escape sequence, and one the books' login may
// not connect to: each keeps to its line of the list and of the run, its name and its reason
// (the server's message of several lines) shown on one.
TEST(EveryDataFile, StrangeNamesAndTheServersReasonsKeepToTheirLines) {
    struct Databases {
        Databases() {
            test::AdminPsql("edb", "create database \"odd\nname\x1b[2J\"");
            test::AdminPsql("edb", "create database locked");
            test::AdminPsql("edb", "revoke connect on database locked from public");
        }
        ~Databases() {
            test::AdminPsql("edb", "drop database \"odd\nname\x1b[2J\"");
            test::AdminPsql("edb", "drop database locked");
        }
    } databases;
    ProgramFolder folder;
    const test::ProgramResult listed = RunCli({"--list-data-files"}, folder);
    EXPECT_TRUE(listed.out.ends_with("\nodd\\x0aname\\x1b[2J\nlocked\n")) << listed.out;

    const test::ProgramResult every =
        RunCli({"--all-data-files", "--month", "APR", "--folder", folder.Path().string()}, folder);
    std::vector<std::string> lines;
    std::istringstream printed(every.out);
    for (std::string line; std::getline(printed, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 4u) << every.out;
    const std::string& odd = lines[lines.size() - 4];
    const std::string& locked = lines[lines.size() - 3];
    EXPECT_TRUE(odd.starts_with("odd\\x0aname\\x1b[2J ")) << every.out;
    EXPECT_TRUE(locked.starts_with("locked ")) << every.out;
    EXPECT_NE(locked.find("permission denied for database \"locked\" DETAIL:  User does not "
                          "have CONNECT privilege."),
              std::string::npos)
        << every.out;
    EXPECT_TRUE(lines[lines.size() - 2].starts_with("Total")) << every.out;
}

}  // namespace
}  // namespace vat
