#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vat {

// The fixed accounts of the books' chart that the return reads, by what they hold. Every
// statement, figure and name that speaks of an account is built from this one chart.
enum class AccountRole {
    PairedWithSalesParties,
    SalesWithinState,
    SalesOutsideState,
    DiscountWithinState,
    DiscountOutsideState,
    OutputVat,
    CstOnSales,
    PurchasesWithinState,
    PurchasesOutsideState,
    InputVat,
    CstOnPurchases,
    PostedOnPurchases,
    PostedOnSales,
};

// The side of a day-book row an account is posted on: recact is the debited account, payact
// the credited one.
enum class PostedSide { Debit, Credit };

// The role's accounts, in the chart's order.
std::span<const long long> AccountsOf(AccountRole role);

// "recact=20 or recact=21 or recact=35": the rows posting the role's accounts on that side.
std::string PostedOn(PostedSide side, AccountRole role);

// "(20,21,35)", for an SQL "in".
std::string SqlListOf(AccountRole role);

// The name of the role that holds the account ("Input VAT"), if the chart has it.
std::optional<std::string_view> ChartName(long long account);

}  // namespace vat
