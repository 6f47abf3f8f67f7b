#pragma once

#include <atomic>
#include <stdexcept>

#include "ledger/ledger_connection.h"

namespace vat {

// A run that stopped because its cancel was requested.
class RunCancelled : public std::runtime_error {
public:
    RunCancelled() : std::runtime_error("The run was cancelled") {}
};

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
