#pragma once

#include <string>

namespace vat {

// The connection string for a database of the data source "edb". Server, port and driver come
// from odbc.ini; this adds only the login the accounting package's server expects.
std::string LedgerConnectionString(const std::string& database);

// The text with every occurrence of the login's password masked, for messages.
std::string HidePassword(std::string text);

}  // namespace vat
