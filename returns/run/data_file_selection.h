#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ledger/ledger_connection.h"
#include "ledger/ledger_date.h"
#include "returns/results/user_message.h"

namespace vat {

// The books a run reads: the data file and what its settings row gives.
struct SelectedBooks {
    std::string dataFile;
    LedgerDate yearStart;
    std::optional<LedgerDate> yearEnd;
    std::string dealerTin;  // as stored; a run is refused unless it has 11 characters
    bool TinValid() const;
    friend bool operator==(const SelectedBooks&, const SelectedBooks&) = default;
};

// What choosing a data file gave: its books, or none when it cannot be opened or has no
// settings row, and the messages for the user.
struct DataFileChoice {
    std::optional<SelectedBooks> books;
    std::vector<UserMessage> messages;
};

// Reads the settings row of the data file on a connection already opened to it.
DataFileChoice ReadSelectedBooks(LedgerConnection& ledger, const std::string& dataFile);

// What choosing a data file does: reconnect read-only and read its settings row. A TIN that is
// not 11 characters is reported now; the run then refuses.
DataFileChoice SelectDataFile(LedgerConnection& ledger, const std::string& dataFile);

}  // namespace vat
