#include "returns/reconcile/reconciled_accounts.h"

#include <algorithm>

namespace vat {

namespace {

// As the return files' tax sums read the accounts: purchases debit input VAT and CST, debit
// notes credit input VAT, sales credit output VAT and CST, credit notes debit output VAT.
const ReconciledAccounts kTable[] = {
    {ReconciledFigure::InputVat,
     AccountRole::InputVat,
     true,
     {{TaxFigure::InputVatPlus, "PR", true}, {TaxFigure::InputVatMinus, "DN", false}}},
    {ReconciledFigure::OutputVat,
     AccountRole::OutputVat,
     false,
     {{TaxFigure::OutputVatPlus, "SR", false}, {TaxFigure::OutputVatMinus, "CN", true}}},
    {ReconciledFigure::CstPurchases,
     AccountRole::CstOnPurchases,
     true,
     {{TaxFigure::CstPurchases, "PR", true}}},
    {ReconciledFigure::CstSales,
     AccountRole::CstOnSales,
     false,
     {{TaxFigure::CstSales, "SR", false}}},
};
static_assert(std::size(kTable) == kReconciledFigureCount);

}  // namespace

bool ReconciledAccounts::Holds(long long account) const {
    return std::ranges::find(AccountsOf(accounts), account) != AccountsOf(accounts).end();
}

std::string ReconciledAccounts::SqlList() const { return SqlListOf(accounts); }

std::span<const ReconciledAccounts> ReconciledAccountsTable() { return kTable; }

}  // namespace vat
