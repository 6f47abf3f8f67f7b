#include "returns/run/server_catalogue.h"

#include "ledger/data_file_catalogue.h"
#include "ledger/ledger_error.h"

namespace vat {

ServerCatalogue OpenServerCatalogue(LedgerConnection& ledger, FormState& form) {
    ServerCatalogue catalogue;
    try {
        ConnectLedger(ledger, "edb", false);
        catalogue.dataFiles = ListDataFiles(ledger);
        catalogue.connected = true;
    } catch (const LedgerError& error) {
        catalogue.failure = error.what();
        form.ShowMessage({"UNABLE TO CONNECT", false, catalogue.failure});
    }
    return catalogue;
}

}  // namespace vat
