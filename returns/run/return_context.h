#pragma once

#include <map>
#include <vector>

#include "ledger/buffered_rows.h"
#include "ledger/ledger_connection.h"
#include "returns/declarations/return_file_kind.h"
#include "returns/record/books_digest.h"
#include "returns/results/form_state.h"
#include "returns/rules/return_period.h"
#include "returns/run/return_folders.h"
#include "returns/run/run_cancel.h"

namespace vat {

// How a generator reads the facts of its documents: a few statements over each file's
// lists (the default), or the statements of each voucher one by one.
enum class FactReading { PerList, PerVoucher };

// What every generator of a run reads and changes.
struct ReturnContext {
    LedgerConnection& ledger;
    FormState& form;
    ReturnPeriod period;
    ReturnFolders folders;
    FactReading reading = FactReading::PerList;
    // Where the generators write their files: a run's staging folder, from which the files move
    // into the month folder when the run is complete; empty for the month folder itself. The
    // paths the run shows and lists are the month folder's either way.
    std::filesystem::path writeFolder = {};
    const RunCancel* cancel = nullptr;  // none: the run cannot be cancelled
    BooksDigest* digest = nullptr;      // none: what the run reads is not digested
    // Lists read ahead for a later file of the run (the interstate sales lists, which the local
    // sales file reads first), kept for it so that both files see the same rows.
    std::map<const ReturnFileKind*, std::vector<BufferedRows>> listsReadAhead = {};
};

}  // namespace vat
