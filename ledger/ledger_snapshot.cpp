#include "ledger/ledger_snapshot.h"

#include "ledger/ledger_error.h"

namespace vat {

LedgerSnapshot::LedgerSnapshot(LedgerConnection& ledger) : ledger_(ledger) {
    Begin();
    // The first statement of the transaction fixes its instant, so it is the one shared.
    try {
        OpenQuery(ledger_.lookupRecordset, "select pg_export_snapshot() as id");
        sharedId_ = ledger_.lookupRecordset["id"].Text();
    } catch (const LedgerError&) {
        // The failure aborted the transaction, which has read nothing yet: begun again, unshared.
        try {
            OpenQuery(ledger_.lookupRecordset, "ROLLBACK");
            Begin();
        } catch (const LedgerError&) {
            ledger_.Close();
            throw;
        }
    }
}

void LedgerSnapshot::Begin() {
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
