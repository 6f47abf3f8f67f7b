#pragma once

#include "ledger/ledger_connection.h"
#include "returns/run/generation_run.h"

namespace vat {

// The check before filing: runs the selection's month exactly as a run would, but into a
// throwaway folder, so that the month folder and its lock are left alone. The result is the
// run's, with its rows, notes, figures and accounts; it names no month folder, no written file
// and no record, since nothing it wrote is kept.
RunResult CheckBeforeFiling(LedgerConnection& ledger, const RunSelection& selection,
                            RunObserver& observer, const RunCancel* cancel = nullptr);

}  // namespace vat
