// The return tied to the books on the real server: a voucher of each reason gives its item,
// and the books' figures are the sums of the month's live tax postings.
#include <gtest/gtest.h>

#include <tuple>

#include "returns/record/run_record.h"
#include "support/ledger_session.h"

namespace vat {
namespace {

using enum ReconcilingReason;
using enum ReconciledFigure;

// Reason, voucher, account, amount in paise, document: what an item says.
using Seen =
    std::tuple<ReconcilingReason, long long, long long, std::int64_t, std::optional<std::string>>;

std::vector<Seen> ItemsOf(const FigureReconciliation& figure) {
    std::vector<Seen> seen;
    for (const ReconcilingItem& item : figure.items)
        seen.emplace_back(item.reason, item.voucher, item.account, item.amount, item.document);
    return seen;
}

TEST(Reconciliation, AVoucherOfEachReasonGivesItsItem) {
    test::LedgerSession session("t_reconcile");
    const RunResult result = session.Run(4);
    ASSERT_TRUE(result.Completed());
    ASSERT_TRUE(result.reconciliation);
    const Reconciliation& reconciliation = *result.reconciliation;
    EXPECT_EQ(reconciliation.periodStart, "2014-04-01");
    EXPECT_EQ(reconciliation.periodEnd, "2014-04-30");

    const FigureReconciliation& input = reconciliation.Of(InputVat);
    // The live postings of April 2014 on 20, 21 and 35, debits less credits:
    // 123.45 (JV) + 50.00 + 15.00 + 5.00 + 4.00 - 10.00 (debit note) - 2.00 (credit).
    EXPECT_EQ(input.books, 12345 + 5000 + 1500 + 500 + 400 - 1000 - 200);
    EXPECT_EQ(input.returned, 7200);  // 67.00 + 20.00 + 5.00 less the note's 10.00 twice
    EXPECT_EQ(ItemsOf(input), (std::vector<Seen>{
                                  {TypeNotRead, 101, 20, -12345, std::nullopt},
                                  {NotLive, 103, 21, 700, "B No.P103"},
                                  {OtherPeriod, 103, 20, 1000, "B No.P103"},
                                  {CountedAgain, 104, 20, -1000, "DN No.D104"},
                                  {LeftOut, 105, 20, -1500, "B No.P105"},
                                  {OtherPeriod, 106, 20, 2000, "B No.P106"},
                                  {OtherSide, 108, 21, 200, std::nullopt},
                                  {NotListed, 109, 20, -400, std::nullopt},
                              }));
    EXPECT_EQ(input.items.front().text,
              "voucher 101 (JV, 05/04/2014): input VAT account 20 debited 123.45; no return file "
              "reads input VAT on JV vouchers");

    const FigureReconciliation& output = reconciliation.Of(OutputVat);
    EXPECT_EQ(output.books, 1800);
    EXPECT_EQ(output.returned, 900);
    EXPECT_EQ(ItemsOf(output), (std::vector<Seen>{{NotListed, 102, 12, -1800, std::nullopt},
                                                  {OtherPeriod, 107, 12, 900, "Inv No.S107"}}));
    EXPECT_EQ(output.items.front().text,
              "voucher 102 (SR, 06/04/2014): output VAT account 12 credited 18.00; no list of "
              "efile_sal04.xml takes it: a cash sale (ca_sale 1)");

    EXPECT_EQ(reconciliation.Of(CstPurchases).books, 1000);
    EXPECT_EQ(reconciliation.Of(CstPurchases).returned, 1000);
    EXPECT_TRUE(reconciliation.AllExplained());
    EXPECT_EQ(reconciliation.booksVatPayable, 1800 - input.books);
    EXPECT_EQ(reconciliation.returnVatPayable, 900 - 7200);

    ASSERT_GE(result.messages.size(), 2u);
    EXPECT_EQ(result.messages.end()[-2].text,
              "The return holds 2 documents dated outside April 2014: the lists take every April "
              "in the data file; see the reconciliation.");
    EXPECT_EQ(result.messages.back().text, "OVER");
    const std::optional<RunRecord> written = ReadRunRecord(result.monthFolder);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->reconciliation, result.reconciliation);
}

}  // namespace
}  // namespace vat
