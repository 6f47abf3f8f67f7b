// What to fix, on the real server: the fixture with one party per cause gives exactly its groups,
// and the check before filing reports them without touching the month folder or its lock.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "disk/month_lock.h"
#include "support/program_folder.h"
#include "support/program_run.h"

namespace vat {
namespace {

using Json = nlohmann::json;

test::ProgramResult RunFixList(const test::ProgramFolder& folder,
                               std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments = {"--data-file", "t_fix_list", "--month",
                                          "APR",         "--folder",   folder.Path().string(),
                                          "--layout",    "flat",       "--json"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return test::RunProgram(VAT_CLI_PROGRAM, arguments, folder);
}

// Each group's cause, party, documents, files, tax and rows, in rank order.
Json Groups(const Json& report) {
    Json groups = Json::array();
    for (const Json& group : report.at("fixes"))
        groups.push_back({group.at("cause"), group.at("party"), group.at("documents"),
                          group.at("files"), group.at("tax"), group.at("rows")});
    return groups;
}

const Json kExpectedGroups = Json::parse(R"([
    ["tinFailsSchema", 1203, 3,
     ["efile_pur04.xml", "efile_sal04.xml", "efile_sal_returns04.xml"], 180.0, [4, 6, 7]],
    ["tinOutOfState", 1301, 3, ["efile_pur04.xml", "efile_pur_rtn04.xml"], 50.0, [0, 1, 5]],
    ["urdTin", 1402, 3, ["efile_pur04.xml"], 30.0, []],
    ["partyMissing", 1505, 1, ["efile_pur04.xml"], 20.0, [2]],
    ["belowOneRupee", null, 1, ["efile_pur04.xml"], 7.0, [3]]
])");

TEST(FixList, OnePartyPerCauseGivesItsGroupWithItsDocumentsAndTax) {
    const test::ProgramFolder folder;
    const test::ProgramResult run = RunFixList(folder);
    ASSERT_EQ(run.status, 3) << test::Describe(run);
    const Json report = Json::parse(run.out);
    EXPECT_EQ(Groups(report), kExpectedGroups) << report.at("fixes").dump(2);
    EXPECT_EQ(report.at("errors").size(), 8u);
    EXPECT_EQ(report.at("fixes").at(0).at("text"),
              "Party 1203 MEDICO: the TIN '29 92877574' holds a space, so 3 records of "
              "efile_pur04.xml, efile_sal04.xml and efile_sal_returns04.xml fail the schema (tax "
              "180.00).");
}

TEST(FixList, TheCheckBeforeFilingLeavesTheMonthFolderAndItsLockAlone) {
    const test::ProgramFolder folder;
    ASSERT_EQ(RunFixList(folder).status, 3);
    const auto month = folder / "04";
    const auto files = test::FolderBytes(month);
    const std::string record = test::ReadBytes(month / "run.json");
    ASSERT_FALSE(record.empty());

    // A run holding the month's lock all along: the check never waits for it.
    const std::optional<MonthLock> held =
        MonthLock::Take(folder.Path(), "04", [] { return false; });
    ASSERT_TRUE(held);
    const test::ProgramResult check = RunFixList(folder, {"--check"});
    ASSERT_EQ(check.status, 3) << test::Describe(check);
    const Json report = Json::parse(check.out);
    EXPECT_EQ(Groups(report), kExpectedGroups);
    EXPECT_TRUE(report.at("monthFolder").is_null());
    EXPECT_EQ(report.at("files"), Json::array());
    EXPECT_EQ(test::FolderBytes(month), files);
    EXPECT_EQ(test::ReadBytes(month / "run.json"), record);
    EXPECT_TRUE(test::StagingFolders(folder, "04").empty());
}

}  // namespace
}  // namespace vat
