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

ServerCatalogue OpenServerCatalogueOn(LedgerConnection& ledger, const std::string& dataFile) {
    ServerCatalogue catalogue;
    try {
        ConnectLedger(ledger, dataFile, true);
        catalogue.dataFiles = ListDataFiles(ledger);
        catalogue.connected = true;
        return catalogue;
    } catch (const LedgerError&) {
        return OpenServerCatalogue(ledger);
    }
}

}  // namespace vat
