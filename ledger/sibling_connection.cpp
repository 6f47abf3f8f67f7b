#include "ledger/sibling_connection.h"

namespace vat {

SiblingConnection::SiblingConnection(LedgerConnection& first)
    : first_(first), ledger_(first.options_) {
    first_.watch_.Link(ledger_.watch_);
}

SiblingConnection::~SiblingConnection() { first_.watch_.Unlink(ledger_.watch_); }

}  // namespace vat
