#pragma once

#include <string>
#include <vector>

#include "ledger/ledger_connection.h"
#include "returns/results/user_message.h"

namespace vat {

// What start-up found on the server: its data files, or why it could not be reached.
struct ServerCatalogue {
    bool connected = false;
    std::vector<std::string> dataFiles;  // in the catalogue's own row order
    std::string failure;                 // the driver's description when not connected
    std::vector<UserMessage> messages;   // for the user
};

// Start-up's connection, the same for every front end: the server's own database "edb",
// read-write, and the data files of its catalogue. A server that cannot be reached is
// reported to the user as "UNABLE TO CONNECT", with the driver's description as its detail.
ServerCatalogue OpenServerCatalogue(LedgerConnection& ledger);

// The same catalogue for a run of one data file, read on the data file's own read-only session
// (every database sees the server's catalogue), so that the run that follows logs in no more.
// A data file that cannot be opened is told as start-up tells it, through "edb": a server that
// cannot be reached, or a name that is not one of its data files.
ServerCatalogue OpenServerCatalogueOn(LedgerConnection& ledger, const std::string& dataFile);

}  // namespace vat
