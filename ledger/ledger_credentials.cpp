#include "ledger/ledger_credentials.h"

#include "ledger/ledger_error.h"
#include "ledger/ledger_login.h"

namespace vat {

std::string LedgerConnectionString(const std::string& database, bool readOnly) {
    // A name that could close the attribute would let the catalogue rewrite the login.
    if (database.find_first_of(";{}=") != std::string::npos)
        throw LedgerError(
            "", "The data file name \"" + database + "\" cannot be used in a connection string");
    std::string text = std::string("DSN=edb;UID=") + kLedgerUser + ";PWD=" + kLedgerPassword +
                       ";DATABASE=" + database;
    // Large results come through a cursor in slices rather than whole into the driver's memory.
    // An error rolls back the whole (read-only) transaction, which spares the driver a
    // savepoint around every statement.
    text += ";UseDeclareFetch=1;Fetch=2000;Protocol=7.4-1";
    // Only the server's own setting makes a session read-only; psqlODBC's ReadOnly=1 is a
    // client-side check of the SQL text and, beside ConnSettings, drops the setting.
    if (readOnly) text += ";ConnSettings=SET default_transaction_read_only TO on";
    return text;
}

std::string HidePassword(std::string text) {
    const std::string password = kLedgerPassword;
    for (auto at = text.find(password); at != std::string::npos; at = text.find(password, at))
        text.replace(at, password.size(), "******");
    return text;
}

}  // namespace vat
