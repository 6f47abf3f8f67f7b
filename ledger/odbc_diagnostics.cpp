#include "ledger/odbc_diagnostics.h"

#include <sqlext.h>

#include "ledger/ledger_credentials.h"

namespace vat {

std::string OneLineDiagnostic(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    std::string line;
    for (std::size_t at = text.find_first_not_of(kSpace); at != std::string_view::npos;) {
        const std::size_t end = text.find_first_of("\r\n", at);
        std::string_view piece = text.substr(at, end == std::string_view::npos ? end : end - at);
        piece.remove_suffix(piece.size() - (piece.find_last_not_of(kSpace) + 1));
        if (!line.empty()) line += ' ';
        line += piece;
        at = end == std::string_view::npos ? end : text.find_first_not_of(kSpace, end);
    }
    return line;
}

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
        messages += OneLineDiagnostic(reinterpret_cast<const char*>(text));
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
