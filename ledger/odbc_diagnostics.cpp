#include "ledger/odbc_diagnostics.h"

#include <sqlext.h>

#include "ledger/ledger_credentials.h"

namespace vat {

LedgerError OdbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, const std::string& context) {
    std::string firstState;
    std::string messages;
    SQLCHAR state[6];
    SQLCHAR text[SQL_MAX_MESSAGE_LENGTH];
    SQLINTEGER nativeError = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1; SQLGetDiagRec(handleType, handle, record, state, &nativeError,
                                               text, sizeof text, &length) == SQL_SUCCESS;
         ++record) {
        if (firstState.empty()) firstState = reinterpret_cast<const char*>(state);
        if (!messages.empty()) messages += "; ";
        messages += reinterpret_cast<const char*>(text);
    }
    if (messages.empty()) messages = "no diagnostic from the driver";
    std::string message = context + ": " + HidePassword(messages);
    if (!firstState.empty()) message += " (SQLSTATE " + firstState + ")";
    return LedgerError(firstState, message);
}

void CheckOdbc(SQLRETURN code, SQLSMALLINT handleType, SQLHANDLE handle,
               const std::string& context) {
    if (!SQL_SUCCEEDED(code)) throw OdbcFailure(handleType, handle, context);
}

}  // namespace vat
