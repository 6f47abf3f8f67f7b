// How often a run of vat-efile-cli logs in to the server, as the server's own log of connections
// tells: once for a data file, and once more for each month's run, whose second connection reads
// the files ahead in the run's snapshot; for every data file once for the catalogue too.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/program_folder.h"
#include "support/program_run.h"
#include "support/server_psql.h"

namespace vat {
namespace {

namespace fs = std::filesystem;
using test::ProgramFolder;

// The server logs every login while the test lasts (pg-cluster.sh sends its log to server.log in
// the data folder).
class LoggedLogins : public testing::Test {
protected:
    void SetUp() override {
        test::AdminPsql("edb", "alter system set log_connections = on");
        test::AdminPsql("edb", "select pg_reload_conf()");
        // The server takes the setting up in a moment; new sessions then log.
        for (int tries = 0; tries < 100 && test::AdminPsql("edb", "show log_connections") != "on\n";
             ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_EQ(test::AdminPsql("edb", "show log_connections"), "on\n");
        std::string folder = test::AdminPsql("edb", "show data_directory");
        log_ = fs::path(folder.substr(0, folder.find('\n'))) / "server.log";
        ASSERT_TRUE(fs::exists(log_)) << log_;
    }
    void TearDown() override {
        test::AdminPsql("edb", "alter system reset log_connections");
        test::AdminPsql("edb", "select pg_reload_conf()");
    }

    // Runs the program under a name of its own and counts the logins the server logged for it.
    int LoginsOf(const std::vector<std::string>& arguments, const ProgramFolder& folder) {
        const std::string name =
            "vat-logins-" + std::to_string(getpid()) + "-" + std::to_string(++runs_);
        const test::ProgramResult result =
            test::RunProgram(VAT_CLI_PROGRAM, arguments, folder, "PGAPPNAME=" + name);
        EXPECT_NE(result.status, -1) << test::Describe(result);
        std::ifstream log(log_);
        int logins = 0;
        for (std::string line; std::getline(log, line);)
            if (line.find("connection authorized: ") != std::string::npos &&
                line.ends_with("application_name=" + name))
                ++logins;
        return logins;
    }

private:
    fs::path log_;
    int runs_ = 0;
};

TEST_F(LoggedLogins, OneForADataFileAndOneForEachOfEveryDataFileAndOneForEachRunsFilesAhead) {
    ProgramFolder folder;
    const std::vector<std::string> april = {"--data-file", "t_run_figures", "--month",
                                            "APR",         "--folder",      folder.Path().string()};
    const auto with = [&](std::vector<std::string> arguments, const char* option) {
        arguments.push_back(option);
        return arguments;
    };
    // Each run of the month reads the books on this one session, and its files on a second
    // connection of its own sharing its snapshot.
    EXPECT_EQ(LoginsOf(april, folder), 2) << "a month";
    EXPECT_EQ(LoginsOf(with(april, "--verify"), folder), 2) << "--verify";
    EXPECT_EQ(LoginsOf(with(april, "--check"), folder), 2) << "--check";
    EXPECT_EQ(
        LoginsOf({"--data-file", "t_run_figures", "--year", "--folder", folder.Path().string()},
                 folder),
        2 + 12)
        << "--year: a month begins on a second session while the one before ends";

    const test::ProgramResult listed =
        test::RunProgram(VAT_CLI_PROGRAM, {"--list-data-files"}, folder);
    const auto dataFiles = std::count(listed.out.begin(), listed.out.end(), '\n');
    // A data file refused before its run reads no files ahead.
    const int everyDataFile = LoginsOf(
        {"--all-data-files", "--month", "APR", "--folder", folder.Path().string()}, folder);
    EXPECT_GT(everyDataFile, 1 + dataFiles) << "--all-data-files: the catalogue, each data file";
    EXPECT_LE(everyDataFile, 1 + 2 * dataFiles) << "--all-data-files: and each run's second";
}

}  // namespace
}  // namespace vat
