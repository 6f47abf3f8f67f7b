#include "ledger/ledger_credentials.h"

#include "ledger/ledger_error.h"
#include "ledger/ledger_login.h"

namespace vat {

std::string LedgerConnectionString(const std::string& database) {
    // A name that could close the attribute would let the catalogue rewrite the login.
    if (database.find_first_of(";{}=") != std::string::npos)
        throw LedgerError(
            "", "The data file name \"" + database + "\" cannot be used in a connection string");
    // The program sets its session up itself (read-only, timeouts) with SET statements, which
    // psqlODBC's own ReadOnly=1, a client-side check of the SQL text, would refuse; a DSN that
    // sets it is overridden here, and the server enforces read-only instead. A result comes
    // whole with its execute, without a cursor and its round trip per slice: the largest, a
    // month's voucher list, is a few tens of thousands of rows, which the run holds anyway. An
    // error rolls back the whole (read-only) transaction, which spares a savepoint around every
    // statement. The driver's logs stay off whatever the data source says: they copy the
    // connection string, password included, into files anyone may read.
    return std::string("DSN=edb;UID=") + kLedgerUser + ";PWD=" + kLedgerPassword +
           ";DATABASE=" + database +
           ";ReadOnly=0;UseDeclareFetch=0;Protocol=7.4-1;Debug=0;CommLog=0";
}

std::string HidePassword(std::string text) {
    const std::string password = kLedgerPassword;
    for (auto at = text.find(password); at != std::string::npos; at = text.find(password, at))
        text.replace(at, password.size(), "******");
    return text;
}

}  // namespace vat
