#include "returns/declarations/chart_of_accounts.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vat {

namespace {

struct ChartEntry {
    AccountRole role;
    std::string_view name;
    std::vector<long long> accounts;
};

const std::array<ChartEntry, 13>& Chart() {
    using enum AccountRole;
    static const std::array<ChartEntry, 13> chart{{
        {PairedWithSalesParties, "Paired with parties on sales bills", {1}},
        {SalesWithinState, "Sales within the state", {2, 3, 4}},
        {SalesOutsideState, "Sales outside the state", {6}},
        {DiscountWithinState, "Discount on sales within the state", {7, 8, 9}},
        {DiscountOutsideState, "Discount on sales outside the state", {11}},
        {OutputVat, "Output VAT", {12, 13}},
        {CstOnSales, "CST on sales outside the state", {14}},
        {PurchasesWithinState, "Purchases within the state", {16, 17, 18, 34}},
        {PurchasesOutsideState, "Purchases outside the state", {19}},
        {InputVat, "Input VAT", {20, 21, 35}},
        {CstOnPurchases, "CST paid on purchases", {22}},
        {PostedOnPurchases, "Posted on purchases and debit notes", {23}},
        {PostedOnSales, "Posted on sales bills and credit notes", {24}},
    }};
    return chart;
}

const ChartEntry& EntryOf(AccountRole role) {
    return *std::ranges::find(Chart(), role, &ChartEntry::role);
}

}  // namespace

std::span<const long long> AccountsOf(AccountRole role) { return EntryOf(role).accounts; }

std::string PostedOn(PostedSide side, AccountRole role) {
    const std::string column = side == PostedSide::Debit ? "recact=" : "payact=";
    std::string condition;
    for (long long account : AccountsOf(role)) {
        if (!condition.empty()) condition += " or ";
        condition += column + std::to_string(account);
    }
    return condition;
}

std::string SqlListOf(AccountRole role) {
    std::string list = "(";
    for (long long account : AccountsOf(role)) {
        if (list.size() > 1) list += ',';
        list += std::to_string(account);
    }
    return list + ')';
}

std::optional<std::string_view> ChartName(long long account) {
    for (const ChartEntry& entry : Chart())
        if (std::ranges::find(entry.accounts, account) != entry.accounts.end()) return entry.name;
    return std::nullopt;
}

}  // namespace vat
