#include "ledger/ledger_snapshot.h"

#include "ledger/ledger_error.h"

namespace vat {

LedgerSnapshot::LedgerSnapshot(LedgerConnection& ledger) : ledger_(ledger) {
    OpenQuery(ledger_.LookupRecordset, "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
}

LedgerSnapshot::~LedgerSnapshot() {
    try {
        OpenQuery(ledger_.LookupRecordset, "ROLLBACK");
    } catch (const LedgerError&) {
        // A cancelled or broken connection has no transaction left to end; the next connect
        // starts afresh.
    }
}

}  // namespace vat
