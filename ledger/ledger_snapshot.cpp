#include "ledger/ledger_snapshot.h"

#include "ledger/ledger_error.h"

namespace vat {

LedgerSnapshot::LedgerSnapshot(LedgerConnection& ledger) : ledger_(ledger) {
    OpenQuery(ledger_.lookupRecordset, "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
}

LedgerSnapshot::~LedgerSnapshot() {
    try {
        OpenQuery(ledger_.lookupRecordset, "ROLLBACK");
    } catch (const LedgerError&) {
        // A cancelled connection refuses every statement, the ROLLBACK too: closed, its session
        // ends on the server with its transaction, which would otherwise hold its locks until
        // the next connect.
        ledger_.Close();
    }
}

}  // namespace vat
