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

namespace {

// Makes every later transaction of the session read-only on the server, whatever the data
// source, the login or the database set as default, and checks that the server agrees. In
// autocommit mode the SET is committed at once, so no rollback of the driver undoes it.
void MakeSessionReadOnly(LedgerConnection& ledger) {
    Recordset& session = ledger.LookupRecordset;
    try {
        OpenQuery(session, "SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
        OpenQuery(session, "SHOW transaction_read_only");
        const std::string readOnly = session["transaction_read_only"].Text();
        if (readOnly != "on")
            throw LedgerError("", "the server reports transaction_read_only \"" + readOnly + "\"");
    } catch (const LedgerError& failure) {
        throw LedgerError(failure.SqlState(),
                          "The data file " + ledger.Database() +
                              " could not be opened read-only: " + failure.what());
    }
}

}  // namespace

void ConnectLedger(LedgerConnection& ledger, const std::string& database, bool readOnly) {
    ledger.Close();
    const std::string connectionString = LedgerConnectionString(database);

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
    if (!readOnly) return;
    try {
        MakeSessionReadOnly(ledger);
    } catch (const LedgerError&) {
        ledger.Close();
        throw;
    }
}

void OpenQuery(Recordset& recordset, const std::string& sql) { recordset.Open(sql); }

}  // namespace vat
