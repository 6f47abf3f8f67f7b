#pragma once

#include <memory>

#include "returns/reconcile/listed_document.h"
#include "returns/reconcile/reconciled_month.h"
#include "returns/reconcile/tax_posting.h"
#include "returns/results/reconciliation.h"

namespace vat {

// The postings by which each figure of the return differs from the month's books, signed as
// return minus books. The postings are every tax posting of the vouchers the return counted
// and every live tax posting of the month of the others, added one by one in the books' order
// (a month's need not be held whole), less any the return holds just as the books do, which
// make no item; the documents are every row of the run's lists. A posting the books count and
// no reason explains gets no item: it stays in the figure's unexplained remainder.
class PostingsClassifier {
public:
    PostingsClassifier(const ReconciledMonth& month, const ListedDocuments& documents);
    PostingsClassifier(const PostingsClassifier&) = delete;
    PostingsClassifier& operator=(const PostingsClassifier&) = delete;
    ~PostingsClassifier();

    void Add(const TaxPosting& posting);
    // The items of every posting added; the classifier holds none afterwards.
    ReconcilingItems TakeItems();

private:
    struct Figures;
    std::unique_ptr<Figures> figures_;
};

}  // namespace vat
