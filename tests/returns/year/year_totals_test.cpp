// The year's reconciliation totals on plain months: each difference is the return less the
// books, a refund month's VAT payable counting below zero.
#include <gtest/gtest.h>

#include "returns/year/year_run.h"

namespace vat {
namespace {

struct ReconciledMonth {
    std::int64_t returnVatPayable, booksVatPayable;  // paise
    std::int64_t returnedInputVat, booksInputVat;
};

TEST(YearTotals, EachDifferenceIsTheReturnLessTheBooksSummedOverTheReconciledMonths) {
    YearTotals totals;
    for (const ReconciledMonth& month : {ReconciledMonth{50000, 20000, 90000, 100000},
                                         ReconciledMonth{-10000, 5000, 40000, 25000}}) {
        Reconciliation reconciliation;
        reconciliation.returnVatPayable = month.returnVatPayable;
        reconciliation.booksVatPayable = month.booksVatPayable;
        reconciliation.Of(ReconciledFigure::InputVat).returned = month.returnedInputVat;
        reconciliation.Of(ReconciledFigure::InputVat).books = month.booksInputVat;
        totals.Add({}, {}, reconciliation);
    }
    totals.Add({}, {});  // a month without a reconciliation adds none

    EXPECT_EQ(totals.monthsReconciled, 2);
    EXPECT_EQ(totals.vatPayableDifference, 30000 - 15000);
    EXPECT_EQ(totals.differences[static_cast<int>(ReconciledFigure::InputVat)], -10000 + 15000);
    EXPECT_EQ(totals.Books(ReconciledFigure::InputVat), 125000);
    const nlohmann::ordered_json json = YearTotalsJson(totals);
    EXPECT_EQ(json["difference"]["vatPayable"], 150.0);
    EXPECT_EQ(json["difference"]["inputVat"], 50.0);
}

}  // namespace
}  // namespace vat
