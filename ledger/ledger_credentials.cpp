#include "ledger/ledger_credentials.h"

#include "ledger/ledger_error.h"

namespace vat {

namespace {

constexpr const char* kPassword = "qzt784";

}  // namespace

std::string LedgerConnectionString(const std::string& database) {
    // A name that could close the attribute would let the catalogue rewrite the login.
    if (database.find_first_of(";{}=") != std::string::npos)
        throw LedgerError(
            "", "The data file name \"" + database + "\" cannot be used in a connection string");
    // The program sets its session up itself (read-only, timeouts) with SET statements, which
    // psqlODBC's own ReadOnly=1, a client-side check of the SQL text, would refuse; a DSN that
    // sets it is overridden here, and the server enforces read-only instead.
    return "DSN=edb;UID=SYSTEM;PWD=" + std::string(kPassword) + ";DATABASE=" + database +
           ";ReadOnly=0";
}

std::string HidePassword(std::string text) {
    const std::string password = kPassword;
    for (auto at = text.find(password); at != std::string::npos; at = text.find(password, at))
        text.replace(at, password.size(), "******");
    return text;
}

}  // namespace vat
