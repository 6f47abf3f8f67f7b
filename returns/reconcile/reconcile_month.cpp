#include "returns/reconcile/reconcile_month.h"

#include <algorithm>
#include <array>
#include <future>
#include <memory>
#include <utility>
#include <vector>

#include "returns/facts/list_facts.h"
#include "returns/reconcile/books_postings.h"
#include "returns/reconcile/classify_postings.h"
#include "returns/reconcile/reconciled_accounts.h"

namespace vat {

namespace {

// The return's figure as its summary shows it: what the plus file adds, less the minus file.
std::int64_t ReturnFigure(const ReconciledAccounts& accounts, const SummaryFigures& shown) {
    std::int64_t figure = 0;
    for (const TaxSumReader& reader : accounts.readers) {
        // A reader's sign is the side it reads: the debit notes' credits to input VAT subtract.
        const bool adds = reader.readsDebits == accounts.debitsAdd;
        figure += adds ? shown.Tax(reader.file) : -shown.Tax(reader.file);
    }
    return figure;
}

// The counted vouchers in order, once each, and of each file those it counted once: one pass
// over the counted rows sorted by voucher, lighter than sets over a month's documents.
CountedVouchers CountedVouchersOf(const ListedDocuments& documents) {
    std::vector<std::pair<long long, TaxFigure>> rows;
    for (const ListedDocument& document : documents)
        if (document.counted) rows.emplace_back(document.voucher, document.file);
    std::ranges::sort(rows);
    std::vector<long long> all;
    std::array<std::vector<long long>, kTaxFigureCount> once;
    for (auto row = rows.begin(); row != rows.end();) {
        const auto next =
            std::find_if(row, rows.end(), [&row](const auto& other) { return other != *row; });
        if (all.empty() || all.back() != row->first) all.push_back(row->first);
        if (next - row == 1) once[static_cast<std::size_t>(row->second)].push_back(row->first);
        row = next;
    }
    CountedVouchers counted{.all = ArrayText(all), .once = {}};
    for (std::size_t file = 0; file < once.size(); ++file)
        counted.once[file] = ArrayText(once[file]);
    return counted;
}

}  // namespace

Reconciliation ReconcileMonth(LedgerConnection& ledger, const ReconciledMonth& month,
                              const BooksFiguresSource& booksFigures, const SummaryFigures& shown,
                              const ListedDocuments& documents) {
    // The postings are classified as they are read, a slice at a time: a month's, held whole,
    // would weigh more than anything else the run keeps. The classifier, which indexes the
    // month's documents, is built on a thread of its own while the server reads the first
    // slice; where no thread can be had, when that slice comes.
    std::future<std::unique_ptr<PostingsClassifier>> building =
        std::async(std::launch::async | std::launch::deferred,
                   [&] { return std::make_unique<PostingsClassifier>(month, documents); });
    std::unique_ptr<PostingsClassifier> classifier;
    const auto built = [&]() -> PostingsClassifier& {
        if (!classifier) classifier = building.get();
        return *classifier;
    };
    ReadTaxPostings(ledger, month, CountedVouchersOf(documents),
                    [&built](const TaxPosting& posting) { built().Add(posting); });
    ReconcilingItems items = built().TakeItems();
    const BooksFigures books = booksFigures();

    Reconciliation reconciliation;
    reconciliation.periodStart = month.first.IsoText();
    reconciliation.periodEnd = month.last.IsoText();
    for (const ReconciledAccounts& accounts : ReconciledAccountsTable()) {
        const auto at = static_cast<std::size_t>(accounts.figure);
        const std::span<const long long> held = AccountsOf(accounts.accounts);
        reconciliation.figures[at] = {{held.begin(), held.end()},
                                      books[at],
                                      ReturnFigure(accounts, shown),
                                      std::move(items[at])};
    }
    reconciliation.booksVatPayable = reconciliation.Of(ReconciledFigure::OutputVat).books -
                                     reconciliation.Of(ReconciledFigure::InputVat).books;
    reconciliation.returnVatPayable = shown.SignedVat();
    return reconciliation;
}

std::optional<std::string> OutsideMonthMessage(const ReconciledMonth& month,
                                               const ListedDocuments& documents) {
    long long outside = 0;
    for (const ListedDocument& document : documents)
        if (document.counted && !month.Holds(document.listDate)) ++outside;
    if (outside == 0) return std::nullopt;
    return "The return holds " + std::to_string(outside) +
           (outside == 1 ? " document" : " documents") + " dated outside " + month.Name() +
           ": the lists take every " + month.MonthName() +
           " in the data file; see the reconciliation.";
}

}  // namespace vat
