// What a run tells the user about every document and file: the rows of documents no return can
// carry, the account of each file, and an exit status that tells a failed schema check.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/program_run.h"

namespace vat {
namespace {

TEST(RunOutcome, ReachingOverWithAFileThatFailedItsCheckExitsThreeAndAccountsForEveryDocument) {
    test::ProgramFolder folder;
    const test::ProgramResult result =
        test::RunProgram(VAT_CLI_PROGRAM,
                         {"--json", "--data-file", "t_outcome", "--month", "4", "--layout", "flat",
                          "--folder", folder.Path().string()},
                         folder);
    ASSERT_EQ(result.status, 3) << test::Describe(result);
    const nlohmann::json report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["messages"].back(), "OVER");

    std::vector<std::string> leftOut;
    for (const auto& row : report["errors"])
        if (row["error"].get<std::string>().find(" left out: ") != std::string::npos)
            leftOut.push_back(row["error"]);
    const std::vector<std::string> expected{
        "B No.N2 of voucher 2 left out: the amount NaN is not a number",
        "B No.I3 of voucher 3 left out: the amount Infinity is not a finite number",
        "B No.H4 of voucher 4 left out: the amount 100000000000000000000 is beyond what the "
        "totals hold",
        // psqlODBC hands over infinity and a five-digit year in these mangled forms.
        "B No.B5 of voucher 5 left out: the date 0000-00-00 cannot be written in the return",
        "B No.Y7 of voucher 7 left out: the date 1000-00-00 cannot be written in the return",
    };
    EXPECT_EQ(leftOut, expected);
    EXPECT_EQ(report["errors"][0]["document"], "B No.N2 · voucher 2");

    const nlohmann::json purchases = report["returns"][0];
    EXPECT_EQ(purchases, nlohmann::json::parse(R"({"file": "efile_pur04.xml", "path": ")" +
                                               (folder / "04/efile_pur04.xml").string() +
                                               R"(", "listed": 7, "written": 2,
        "belowOneRupee": 0, "interstate": 0, "tinSkipped": 0, "notGoods": 0, "missingData": 5,
        "schemaErrors": 1, "valid": false})"));
    EXPECT_EQ(report["returns"][1]["path"], nullptr) << "no debit notes, no file";
    EXPECT_EQ(report["returns"][1]["valid"], nullptr);

    // A name with U+FFFF is written without it, and the file stays well-formed.
    const std::string file = test::ReadBytes(folder / "04/efile_pur04.xml");
    EXPECT_NE(file.find("<SelName>ODD  NAME BANGALORE</SelName>"), std::string::npos) << file;
}

}  // namespace
}  // namespace vat
