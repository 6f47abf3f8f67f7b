#pragma once

#include <atomic>

#include "ledger/ledger_connection.h"
#include "returns/results/returns_errors.h"

namespace vat {

// How a Cancel button or a signal stops a run: the run looks at the request between vouchers
// and between files, and a statement waiting for the server is stopped there.
class RunCancel {
public:
    explicit RunCancel(LedgerConnection& ledger) : ledger_(ledger) {}

    // Thread-safe, but not for a signal handler: it calls the ODBC driver.
    void Request() {
        requested_ = true;
        ledger_.CancelRunningStatement();
    }
    bool Requested() const { return requested_; }
    void ThrowIfRequested() const {
        if (requested_) throw RunCancelled();
    }

private:
    LedgerConnection& ledger_;
    std::atomic<bool> requested_ = false;
};

}  // namespace vat
