#include "ledger/shared_snapshot.h"

#include "ledger/ledger_error.h"

namespace vat {

SharedSnapshot::SharedSnapshot(const LedgerSnapshot& snapshot)
    : first_(snapshot.Ledger()),
      database_(first_.Database()),
      id_(snapshot.SharedId()),
      ledger_(first_.options_) {}

SharedSnapshot::~SharedSnapshot() {
    if (linked_) first_.watch_.Unlink(ledger_.watch_);
    try {
        OpenQuery(ledger_.lookupRecordset, "ROLLBACK");
    } catch (const LedgerError&) {
        // Cancelled or never opened: closed, its session ends with its transaction.
        ledger_.Close();
    }
}

LedgerConnection& SharedSnapshot::Open() {
    try {
        ConnectLedger(ledger_, database_, true);
        // Linked once connected: the connect begins the watch anew, which forgets a cancel.
        first_.watch_.Link(ledger_.watch_);
        linked_ = true;
        if (cancelled_) ledger_.CancelRunningStatement();
        ImportSnapshot();
    } catch (const LedgerError&) {
        ledger_.Close();
        throw;
    }
    return ledger_;
}

void SharedSnapshot::Cancel() {
    cancelled_ = true;
    ledger_.CancelRunningStatement();
}

void SharedSnapshot::ImportSnapshot() {
    // The id goes into the statement's text, which takes no parameter: only the characters the
    // server writes ids with ("00000003-0000001B-1") pass.
    if (!id_ || id_->empty() ||
        id_->find_first_not_of("0123456789ABCDEFabcdef-") != std::string::npos)
        throw LedgerError("", "The books' snapshot cannot be shared");
    OpenQuery(ledger_.lookupRecordset, "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
    OpenQuery(ledger_.lookupRecordset, "SET TRANSACTION SNAPSHOT '" + *id_ + "'");
}

}  // namespace vat
