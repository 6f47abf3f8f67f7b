#include "ledger/ledger_connection.h"

#include <sqlext.h>

#include "ledger/ledger_credentials.h"
#include "ledger/ledger_error.h"
#include "ledger/odbc_diagnostics.h"

namespace vat {

LedgerConnection::LedgerConnection() {
    CheckOdbc(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment_), SQL_HANDLE_ENV,
              SQL_NULL_HANDLE, "Cannot start ODBC");
    CheckOdbc(SQLSetEnvAttr(environment_, SQL_ATTR_ODBC_VERSION,
                            reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              SQL_HANDLE_ENV, environment_, "Cannot start ODBC");
}

LedgerConnection::~LedgerConnection() {
    Close();
    SQLFreeHandle(SQL_HANDLE_ENV, environment_);
}

void LedgerConnection::Close() {
    VoucherRecordset.Release();
    LookupRecordset.Release();
    PostingRecordset.Release();
    if (connection_ == SQL_NULL_HDBC) return;
    SQLDisconnect(connection_);
    SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    connection_ = SQL_NULL_HDBC;
    database_.clear();
}

void ConnectLedger(LedgerConnection& ledger, const std::string& database, bool readOnly) {
    ledger.Close();
    const std::string connectionString = LedgerConnectionString(database, readOnly);

    SQLHDBC connection = SQL_NULL_HDBC;
    CheckOdbc(SQLAllocHandle(SQL_HANDLE_DBC, ledger.environment_, &connection), SQL_HANDLE_ENV,
              ledger.environment_, "Cannot open the data file " + database);
    SQLRETURN code =
        SQLDriverConnect(connection, nullptr,
                         reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectionString.c_str())),
                         SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(code)) {
        LedgerError failure =
            OdbcFailure(SQL_HANDLE_DBC, connection, "Cannot open the data file " + database);
        SQLFreeHandle(SQL_HANDLE_DBC, connection);
        throw failure;
    }
    ledger.connection_ = connection;
    ledger.database_ = database;
    ledger.VoucherRecordset.Attach(connection);
    ledger.LookupRecordset.Attach(connection);
    ledger.PostingRecordset.Attach(connection);
}

void OpenQuery(Recordset& recordset, const std::string& sql,
               const std::vector<std::string>& textParameters) {
    recordset.Open(sql, textParameters);
}

}  // namespace vat
