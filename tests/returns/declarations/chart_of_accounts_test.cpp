// The chart of accounts is the one place the tax accounts are declared: the return files' sums,
// the reconciled figures and the voucher view's names are all built from it.
#include "returns/declarations/chart_of_accounts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "returns/declarations/return_files.h"
#include "returns/reconcile/reconciled_accounts.h"

namespace vat {
namespace {

std::vector<std::string> SumsOf(const ReturnFileKind& kind) {
    std::vector<std::string> sums;
    for (const VoucherSum& sum : kind.basicSums) sums.push_back(sum.condition);
    sums.push_back(kind.taxSum.condition);
    return sums;
}

TEST(ChartOfAccounts, BuildsEachReturnFilesSumsAsTheirStatementsReadThem) {
    const std::vector<std::vector<std::string>> expected = {
        {"recact=16 or recact=17 or recact=18 or recact=34", "recact=20 or recact=21 or recact=35"},
        {"payact=16 or payact=17 or payact=18 or payact=34", "payact=20 or payact=21 or payact=35"},
        {"payact=2 or payact=3 or payact=4", "recact=7 or recact=8 or recact=9",
         "payact=12 or payact=13"},
        {"recact=2 or recact=3 or recact=4", "payact=7 or payact=8 or payact=9",
         "recact=12 or recact=13"},
        {"payact=6", "recact=11", "payact=14"},
        {"recact=19", "recact=22"},
    };
    for (std::size_t file = 0; file < RunOrder().size(); ++file)
        EXPECT_EQ(SumsOf(RunOrder()[file]), expected[file]) << RunOrder()[file].get().baseName;
}

TEST(ChartOfAccounts, GivesTheReconciledFiguresAndTheVoucherViewTheSameAccounts) {
    const std::vector<std::string> lists = {"(20,21,35)", "(12,13)", "(22)", "(14)"};
    for (const ReconciledAccounts& accounts : ReconciledAccountsTable())
        EXPECT_EQ(accounts.SqlList(), lists[static_cast<std::size_t>(accounts.figure)]);
    EXPECT_TRUE(ReconciledAccountsTable()[0].Holds(35));
    EXPECT_FALSE(ReconciledAccountsTable()[0].Holds(22));

    EXPECT_EQ(ChartName(35), "Input VAT");
    EXPECT_EQ(ChartName(34), "Purchases within the state");
    EXPECT_EQ(ChartName(24), "Posted on sales bills and credit notes");
    EXPECT_EQ(ChartName(5), std::nullopt);
}

}  // namespace
}  // namespace vat
