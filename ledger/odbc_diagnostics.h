#pragma once

#include <sql.h>

#include <string>
#include <string_view>

#include "ledger/ledger_error.h"

namespace vat {

// A driver's diagnostic text on one line: each line break, with the spaces and tabs around it,
// becomes one space, and the text's ends are trimmed. The server's messages run over several
// lines (a DETAIL, a HINT, each address tried), which would split a row or a one-line reason.
std::string OneLineDiagnostic(std::string_view text);

// Builds the exception for a failed ODBC call from the handle's diagnostic records, each on one
// line.
LedgerError OdbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, const std::string& context);

// Throws OdbcFailure unless the return code is a success.
void CheckOdbc(SQLRETURN code, SQLSMALLINT handleType, SQLHANDLE handle,
               const std::string& context);

}  // namespace vat
