#pragma once

#include <optional>
#include <string>

#include "ledger/ledger_connection.h"

namespace vat {

// The books at one instant: from construction to destruction every statement on the connection
// runs inside one read-only transaction at REPEATABLE READ, so that a voucher posted meanwhile
// is in all of them or in none. The transaction changes nothing and is rolled back at the end.
class LedgerSnapshot {
public:
    // Throws LedgerError when the transaction cannot begin.
    explicit LedgerSnapshot(LedgerConnection& ledger);
    LedgerSnapshot(const LedgerSnapshot&) = delete;
    LedgerSnapshot& operator=(const LedgerSnapshot&) = delete;
    ~LedgerSnapshot();

    LedgerConnection& Ledger() const { return ledger_; }
    // The name under which another session of the server may read the same instant
    // (SharedSnapshot); none when the server cannot share it.
    const std::optional<std::string>& SharedId() const { return sharedId_; }

private:
    void Begin();

    LedgerConnection& ledger_;
    std::optional<std::string> sharedId_;
};

}  // namespace vat
