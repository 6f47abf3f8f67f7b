#pragma once

#include "ledger/ledger_connection.h"

namespace vat {

// A second connection for the same work as a first: the same timeouts, and stopped by every
// cancel of the first, until it is destroyed. A cancel before it connects is forgotten by the
// connect, as any connection's is; the work asks its own cancel before its first statement.
// Made and destroyed on the first's thread, used on one thread at a time.
class SiblingConnection {
public:
    explicit SiblingConnection(LedgerConnection& first);
    SiblingConnection(const SiblingConnection&) = delete;
    SiblingConnection& operator=(const SiblingConnection&) = delete;
    ~SiblingConnection();

    LedgerConnection& Ledger() { return ledger_; }

private:
    LedgerConnection& first_;
    LedgerConnection ledger_;
};

}  // namespace vat
