// Runs of vat-efile-cli that overlap, are interrupted or meet a schema that cannot be used, on the
// real server: the month's files always come from one complete run.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <thread>

#include "support/fuse_disk.h"
#include "support/program_folder.h"
#include "support/program_run.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::BackgroundProgram;
using test::Describe;
using test::ProgramFolder;
using test::ProgramResult;

const std::string kCancelled = "The run was cancelled; the month's earlier files were kept.";

std::vector<std::string> AprilRun(const std::string& dataFile, const ProgramFolder& folder,
                                  bool replaceOtherBooks = false) {
    std::vector<std::string> arguments = {"--data-file", dataFile,
                                          "--month",     "APR",
                                          "--folder",    folder.Path().string(),
                                          "--xsd",       (folder / "XSD").string(),
                                          "--layout",    "flat",
                                          "--json"};
    if (replaceOtherBooks) arguments.emplace_back("--replace");
    return arguments;
}

// The month folder a run of the data file alone writes.
std::map<std::string, std::string> AprilAlone(const std::string& dataFile) {
    ProgramFolder folder;
    const ProgramResult result =
        test::RunProgram(VAT_CLI_PROGRAM, AprilRun(dataFile, folder), folder);
    EXPECT_EQ(result.status, 0) << Describe(result);
    return test::FolderBytes(folder / "04");
}

nlohmann::json Messages(const ProgramResult& result) {
    return nlohmann::json::parse(result.out, nullptr, false)["messages"];
}

// Waits up to a minute for the condition, checking it every few milliseconds.
bool Await(const std::function<bool()>& condition) {
    for (const auto end = Clock::now() + std::chrono::minutes(1); Clock::now() < end;) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// A demo data file of a few thousand April vouchers, big enough to be stopped in the middle of
// a file; dropped afterwards.
class DemoLedger {
public:
    DemoLedger() {
        const std::string load = std::string(VAT_DEMO_LEDGER_PROGRAM) +
                                 " --seed 11 --months 4 --vouchers-per-month 4000 | " +
                                 VAT_SOURCE_DIR + "/scripts/load-ledger.sh " + kName +
                                 " - >/dev/null 2>&1";
        EXPECT_EQ(std::system(load.c_str()), 0) << load;
    }
    // As the superuser, who may also stop the server's autovacuum of the fresh data file.
    ~DemoLedger() {
        test::AdminPsql("edb", "drop database " + std::string(kName) + " with (force)");
    }

    static constexpr const char* kName = "t_cli_interrupted";
};

TEST(CliRunSafety, OfTwoRunsOfAMonthAtOnceTheSecondIsRefusedAndTheFirstsFilesStand) {
    const auto expected = AprilAlone("t_run_demo");
    ProgramFolder folder;
    // The run that gets the month first waits on the table meanwhile: the other waits for the
    // month for five seconds and gives up.
    std::optional<test::TableLock> lock(std::in_place, "t_run_demo", "daybok");
    BackgroundProgram first(VAT_CLI_PROGRAM, AprilRun("t_run_demo", folder), folder, "first");
    BackgroundProgram second(VAT_CLI_PROGRAM, AprilRun("t_run_demo", folder), folder, "second");
    ASSERT_TRUE(Await([&] { return first.Finished() || second.Finished(); }));
    lock.reset();
    const ProgramResult results[] = {first.Wait(), second.Wait()};

    const bool firstWon = results[0].status == 0;
    const ProgramResult& winner = results[firstWon ? 0 : 1];
    const ProgramResult& loser = results[firstWon ? 1 : 0];
    EXPECT_EQ(winner.status, 0) << Describe(winner);
    EXPECT_EQ(loser.status, 2) << Describe(loser);
    EXPECT_EQ(Messages(loser), nlohmann::json::array({"another run is writing the files of 04 in " +
                                                      folder.Path().string()}))
        << loser.out;
    EXPECT_EQ(test::FolderBytes(folder / "04"), expected);
    EXPECT_TRUE(test::StagingFolders(folder, "04").empty());
}

TEST(CliRunSafety, TwoDataFilesStartedTogetherLeaveTheWholeMonthOfOneOfThem) {
    // April of t_run_figures has no interstate sales file, t_run_demo's has all six.
    const auto figures = AprilAlone("t_run_figures");
    const auto demo = AprilAlone("t_run_demo");
    ASSERT_NE(figures.size(), demo.size());
    ProgramFolder folder;
    // Each may replace what the other wrote.
    BackgroundProgram first(VAT_CLI_PROGRAM, AprilRun("t_run_figures", folder, true), folder,
                            "first");
    BackgroundProgram second(VAT_CLI_PROGRAM, AprilRun("t_run_demo", folder, true), folder,
                             "second");
    const ProgramResult results[] = {first.Wait(), second.Wait()};
    for (const ProgramResult& result : results) EXPECT_EQ(result.status, 0) << Describe(result);
    const auto month = test::FolderBytes(folder / "04");
    EXPECT_TRUE(month == figures || month == demo) << "the month mixes two runs";
    EXPECT_TRUE(test::StagingFolders(folder, "04").empty());
}

// A run stopped while it writes a file, or while a query waits for the server, ends within a
// second, says so and leaves the month folder as it was, the user's own file included.
struct Interruption {
    const char* name;
    int signal;
    bool tableLocked;  // the run waits for the server, not in the middle of a file
};

void PrintTo(const Interruption& interruption, std::ostream* out) { *out << interruption.name; }

class CliInterrupted : public testing::TestWithParam<Interruption> {};

TEST_P(CliInterrupted, EndsWithinASecondKeepingTheMonthAsItWas) {
    const DemoLedger ledger;
    ProgramFolder folder;
    const ProgramResult earlier =
        test::RunProgram(VAT_CLI_PROGRAM, AprilRun(DemoLedger::kName, folder), folder);
    ASSERT_EQ(earlier.status, 0) << Describe(earlier);
    std::ofstream(folder / "04/notes.txt") << "the accountant's own";
    const auto before = test::FolderBytes(folder / "04");

    std::optional<test::TableLock> lock;
    if (GetParam().tableLocked) lock.emplace(DemoLedger::kName, "daybok");
    BackgroundProgram run(VAT_CLI_PROGRAM, AprilRun(DemoLedger::kName, folder), folder, "run");
    // The first file half-written in the staging folder, or the run waiting for the table.
    const auto stopHere = [&] {
        for (const fs::path& staging : test::StagingFolders(folder, "04")) {
            if (GetParam().tableLocked) return true;
            std::error_code gone;  // the folder may go while it is read
            for (const auto& entry : fs::recursive_directory_iterator(staging, gone))
                if (entry.path().filename().string().starts_with("efile_pur04.xml.")) return true;
        }
        return false;
    };
    ASSERT_TRUE(Await(stopHere)) << Describe(run.Wait());
    if (lock) std::this_thread::sleep_for(std::chrono::milliseconds(300));  // into the query

    const auto signalled = Clock::now();
    run.Signal(GetParam().signal);
    ASSERT_TRUE(Await([&] { return run.Finished(); }));
    EXPECT_LT(Clock::now() - signalled, std::chrono::seconds(1));
    const ProgramResult result = run.Wait();
    EXPECT_EQ(result.status, 5) << Describe(result);
    EXPECT_EQ(Messages(result), nlohmann::json::array({kCancelled})) << result.out;
    EXPECT_EQ(test::FolderBytes(folder / "04"), before);
    EXPECT_TRUE(test::StagingFolders(folder, "04").empty());
}

INSTANTIATE_TEST_SUITE_P(Cli, CliInterrupted,
                         testing::Values(Interruption{"SigtermInTheMiddleOfAFile", SIGTERM, false},
                                         Interruption{"SigintDuringAQuery", SIGINT, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A USB disk formatted for Windows cannot exchange two folders: each run still puts its month in
// place whole, and the accountant's own file stays.
class CliOnAWindowsDisk : public testing::TestWithParam<test::FuseDisk::Format> {};

TEST_P(CliOnAWindowsDisk, PutsEachRunsMonthInPlace) {
    const test::FuseDisk usb(GetParam());
    if (!usb.Folder()) GTEST_SKIP() << usb.Why();
    const ProgramFolder folder;  // the schemas and the program's standard error
    std::vector<std::string> arguments = AprilRun("t_run_demo", folder);
    *(std::ranges::find(arguments, "--folder") + 1) = usb.Folder()->string();
    const fs::path month = *usb.Folder() / "04";
    for (int run = 1; run <= 2; ++run) {
        const ProgramResult result = test::RunProgram(VAT_CLI_PROGRAM, arguments, folder);
        ASSERT_EQ(result.status, 0) << Describe(result);
        if (run == 1) std::ofstream(month / "notes.txt") << "the accountant's own";
    }
    auto expected = AprilAlone("t_run_demo");
    expected["notes.txt"] = "the accountant's own";
    EXPECT_EQ(test::FolderBytes(month), expected);
    std::set<std::string> beside;
    for (const auto& entry : fs::directory_iterator(*usb.Folder()))
        beside.insert(entry.path().filename().string());
    EXPECT_EQ(beside, (std::set<std::string>{"04", ".04.lock"}));
}

INSTANTIATE_TEST_SUITE_P(Cli, CliOnAWindowsDisk,
                         testing::Values(test::FuseDisk::Format::Ntfs,
                                         test::FuseDisk::Format::Exfat),
                         [](const auto& info) {
                             return info.param == test::FuseDisk::Format::Ntfs ? "Ntfs" : "Exfat";
                         });

// A schema that cannot be used refuses the run before anything is written, a month without
// documents of its kind included (April of t_run_figures has no interstate sales).
struct UnusableSchema {
    const char* name;
    const char* schema;
    std::optional<std::string> bytes;  // none: the schema is missing
};

void PrintTo(const UnusableSchema& schema, std::ostream* out) { *out << schema.name; }

class CliUnusableSchema : public testing::TestWithParam<UnusableSchema> {};

TEST_P(CliUnusableSchema, RefusesTheRunBeforeAnyFileIsWritten) {
    ProgramFolder folder;
    const fs::path schema = folder / (std::string("XSD/") + GetParam().schema);
    fs::remove(schema);
    if (GetParam().bytes) std::ofstream(schema) << *GetParam().bytes;
    const ProgramResult result =
        test::RunProgram(VAT_CLI_PROGRAM, AprilRun("t_run_figures", folder), folder);
    EXPECT_EQ(result.status, 2) << Describe(result);
    const nlohmann::json messages = Messages(result);
    ASSERT_EQ(messages.size(), 1u) << result.out;
    EXPECT_TRUE(messages[0].get<std::string>().starts_with("The schema " + schema.string() +
                                                           " cannot be used: Load XSD failed: "))
        << messages[0];
    EXPECT_FALSE(fs::exists(folder / "04"));
    EXPECT_TRUE(test::StagingFolders(folder, "04").empty());
}

INSTANTIATE_TEST_SUITE_P(Cli, CliUnusableSchema,
                         testing::Values(UnusableSchema{"Missing", "eval_sal.xsd", std::nullopt},
                                         UnusableSchema{"NotXml", "eval_pur.xsd", "<xs:schema"},
                                         UnusableSchema{"NotASchema", "eval_sal_is.xsd",
                                                        "<schema/>"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vat
