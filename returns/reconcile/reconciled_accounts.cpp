#include "returns/reconcile/reconciled_accounts.h"

#include <algorithm>

namespace vat {

namespace {

// As the return files' tax sums read the accounts: purchases debit input VAT and CST, debit
// notes credit input VAT, sales credit output VAT and CST, credit notes debit output VAT.
const ReconciledAccounts kTable[] = {
    {ReconciledFigure::InputVat,
     {20, 21, 35},
     true,
     {{TaxFigure::InputVatPlus, "PR", true}, {TaxFigure::InputVatMinus, "DN", false}}},
    {ReconciledFigure::OutputVat,
     {12, 13},
     false,
     {{TaxFigure::OutputVatPlus, "SR", false}, {TaxFigure::OutputVatMinus, "CN", true}}},
    {ReconciledFigure::CstPurchases, {22}, true, {{TaxFigure::CstPurchases, "PR", true}}},
    {ReconciledFigure::CstSales, {14}, false, {{TaxFigure::CstSales, "SR", false}}},
};
static_assert(std::size(kTable) == kReconciledFigureCount);

}  // namespace

bool ReconciledAccounts::Holds(long long account) const {
    return std::find(accounts.begin(), accounts.end(), account) != accounts.end();
}

std::string ReconciledAccounts::SqlList() const {
    std::string list = "(";
    for (long long account : accounts) {
        if (list.size() > 1) list += ',';
        list += std::to_string(account);
    }
    return list + ')';
}

std::span<const ReconciledAccounts> ReconciledAccountsTable() { return kTable; }

}  // namespace vat
