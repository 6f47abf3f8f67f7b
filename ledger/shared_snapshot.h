#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "ledger/ledger_connection.h"
#include "ledger/ledger_snapshot.h"

namespace vat {

// A second connection that reads the books at the instant of another's LedgerSnapshot, so that
// its statements can run beside the first's. Made on the first connection's thread, then opened
// and used on one thread at a time. A cancel of the first connection stops it too.
class SharedSnapshot {
public:
    // Keeps what the second connection needs of the first; nothing is opened yet.
    explicit SharedSnapshot(const LedgerSnapshot& snapshot);
    SharedSnapshot(const SharedSnapshot&) = delete;
    SharedSnapshot& operator=(const SharedSnapshot&) = delete;
    ~SharedSnapshot();

    // Connects as the first did (the same data file, read-only, the same timeouts) and begins a
    // read-only transaction at the first's instant. Throws LedgerError when it cannot, a server
    // that cannot share the snapshot included; the connection is closed then.
    LedgerConnection& Open();
    // The connection Open opened.
    LedgerConnection& Ledger() { return ledger_; }

    // Thread-safe: stops the statement running now and every later one, an Open in progress
    // included.
    void Cancel();

private:
    void ImportSnapshot();

    LedgerConnection& first_;
    const std::string database_;
    const std::optional<std::string> id_;
    LedgerConnection ledger_;
    bool linked_ = false;
    std::atomic<bool> cancelled_ = false;
};

}  // namespace vat
