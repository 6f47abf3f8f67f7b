#pragma once

#include <string>

namespace vat {

// How long the program waits for the ledger server before it gives up.
struct ConnectionOptions {
    // A connect the server does not answer fails after this many seconds; 0 waits for ever.
    int loginTimeoutSeconds = 15;
    // The server stops a query after this many seconds, waits for locks included: long enough
    // for a big month, short enough that a table locked by someone else ends. 0: no limit.
    int statementTimeoutSeconds = 600;
};

// "1 second", "15 seconds": a wait as messages name it.
inline std::string SecondsText(int seconds) {
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

}  // namespace vat
