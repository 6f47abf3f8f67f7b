#include "returns/run/server_catalogue.h"

#include "ledger/data_file_catalogue.h"
#include "ledger/ledger_error.h"

namespace vat {

ServerCatalogue OpenServerCatalogue(LedgerConnection& ledger) {
    ServerCatalogue catalogue;
    try {
        ConnectLedger(ledger, "edb", false);
        catalogue.dataFiles = ListDataFiles(ledger);
        catalogue.connected = true;
    } catch (const LedgerError& error) {
        catalogue.failure = error.what();
        catalogue.messages.push_back({"UNABLE TO CONNECT", true, catalogue.failure});
    }
    return catalogue;
}

}  // namespace vat
