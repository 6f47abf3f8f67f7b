#pragma once

#include <sql.h>

#include <string>

#include "ledger/ledger_error.h"

namespace vat {

// Builds the exception for a failed ODBC call from the handle's diagnostic records.
LedgerError OdbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, const std::string& context);

// Throws OdbcFailure unless the return code is a success.
void CheckOdbc(SQLRETURN code, SQLSMALLINT handleType, SQLHANDLE handle,
               const std::string& context);

}  // namespace vat
