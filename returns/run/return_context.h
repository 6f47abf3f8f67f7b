#pragma once

#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/declarations/return_file_kind.h"
#include "returns/reconcile/listed_document.h"
#include "returns/record/books_digest.h"
#include "returns/rules/return_period.h"
#include "returns/run/prepared_file.h"
#include "returns/run/return_folders.h"
#include "returns/run/run_cancel.h"
#include "returns/run/run_result.h"
#include "returns/run/run_schemas.h"

namespace vat {

class FilesAhead;

// What every generator of a run reads and adds to.
struct ReturnContext {
    LedgerConnection& ledger;
    const SelectedBooks& books;
    ReturnPeriod period;
    ReturnFolders folders;
    RunResult& result;  // the generators add their accounts, rows, messages and totals
    RunObserver& observer;
    FactReading reading = FactReading::PerList;
    InterstateParties interstateParties = InterstateParties::InState;
    // Where the generators write their files: a run's staging folder, from which the files move
    // into the month folder when the run is complete; empty for the month folder itself. The
    // paths the run shows and lists are the month folder's either way.
    std::filesystem::path writeFolder = {};
    const RunCancel* cancel = nullptr;  // none: the run cannot be cancelled
    RunSchemas schemas = {};            // what the files are checked against, compiled once
    BooksDigest* digest = nullptr;      // none: what the run reads is not digested
    UrdTotals urd = {};
    // Every row of the run's lists and what became of it, for the reconciliation.
    ListedDocuments listed = {};
    // The run's files prepared ahead on a second connection; none: each file is prepared on
    // the ledger when it is generated, with the lists read ahead for later files kept here.
    FilesAhead* filesAhead = nullptr;
    ListsReadAhead listsReadAhead = {};
};

}  // namespace vat
