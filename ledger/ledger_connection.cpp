#include "ledger/ledger_connection.h"

#include <sqlext.h>

#include <chrono>

#include "ledger/connection_options.h"
#include "ledger/ledger_credentials.h"
#include "ledger/ledger_error.h"
#include "ledger/odbc_diagnostics.h"

namespace vat {

LedgerConnection::LedgerConnection(ConnectionOptions options) : options_(options) {
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
    voucherRecordset.Release();
    lookupRecordset.Release();
    postingRecordset.Release();
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
    Recordset& session = ledger.lookupRecordset;
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

void SetStatementTimeout(LedgerConnection& ledger, int seconds) {
    OpenQuery(ledger.lookupRecordset,
              "SET statement_timeout = " + std::to_string(seconds * 1000LL));
}

// A run's statements each read a month of the day book once, and plan as such:
// - without JIT compilation, where the server has it: it costs them more than it saves (30 to
//   80 ms a statement at 50,000 vouchers, and a second for one whose estimate calls for
//   optimisation too);
// - without parallel workers: a run already keeps two sessions and the program at work at once,
//   and a statement's workers start processes that take the cores those use. At 50,000 vouchers
//   on two cores, a run took 0.70 s without them against 0.80 s with (medians of seven).
void PlanForTheRun(LedgerConnection& ledger) {
    OpenQuery(ledger.lookupRecordset,
              "select set_config(name, value, false) from pg_settings join (values ('jit', 'off'), "
              "('max_parallel_workers_per_gather', '0')) as wanted(name, value) using (name)");
}

// Connects to the database through the data source edb. A server that takes the connection
// and never answers is given up after the login timeout, and the failure says so.
SQLHDBC OpenOdbcConnection(SQLHENV environment, const std::string& database,
                           int loginTimeoutSeconds) {
    const std::string context = "Cannot open the data file " + database;
    SQLHDBC connection = SQL_NULL_HDBC;
    CheckOdbc(SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection), SQL_HANDLE_ENV, environment,
              context);
    // psqlODBC hands the login timeout to libpq as its connect_timeout.
    SQLRETURN code = SQLSetConnectAttr(
        connection, SQL_ATTR_LOGIN_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)), 0);
    const auto started = std::chrono::steady_clock::now();
    if (SQL_SUCCEEDED(code)) {
        const std::string connectionString = LedgerConnectionString(database);
        code = SQLDriverConnect(
            connection, nullptr,
            reinterpret_cast<SQLCHAR*>(const_cast<char*>(connectionString.c_str())), SQL_NTS,
            nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    }
    if (SQL_SUCCEEDED(code)) return connection;

    LedgerError failure = OdbcFailure(SQL_HANDLE_DBC, connection, context);
    SQLFreeHandle(SQL_HANDLE_DBC, connection);
    if (loginTimeoutSeconds > 0 &&
        std::chrono::steady_clock::now() - started >= std::chrono::seconds(loginTimeoutSeconds))
        throw LedgerError(failure.SqlState(), "The data file " + database +
                                                  " did not answer within " +
                                                  SecondsText(loginTimeoutSeconds) + " (login)");
    throw failure;
}

}  // namespace

void ConnectLedger(LedgerConnection& ledger, const std::string& database, bool readOnly) {
    // Each login costs the server a password exchange and a new process. The session kept was
    // verified read-only when it was opened; setting its timeout again proves it still answers,
    // where a session the server ended (for a restore, say) gives way to a new login.
    if (ledger.connection_ != SQL_NULL_HDBC && ledger.database_ == database &&
        ledger.readOnly_ == readOnly && !ledger.watch_.CancelRequested()) {
        try {
            SetStatementTimeout(ledger, ledger.options_.statementTimeoutSeconds);
            return;
        } catch (const LedgerError&) {
            // a new session follows
        }
    }
    ledger.Close();
    // From here a cancel is kept for the new session's first query.
    ledger.watch_.Begin(database, ledger.options_.statementTimeoutSeconds);
    ledger.connection_ =
        OpenOdbcConnection(ledger.environment_, database, ledger.options_.loginTimeoutSeconds);
    ledger.database_ = database;
    for (Recordset* recordset :
         {&ledger.voucherRecordset, &ledger.lookupRecordset, &ledger.postingRecordset})
        recordset->Attach(ledger.connection_, ledger.watch_);
    try {
        SetStatementTimeout(ledger, ledger.options_.statementTimeoutSeconds);
        PlanForTheRun(ledger);
        if (readOnly) MakeSessionReadOnly(ledger);
    } catch (const LedgerError&) {
        ledger.Close();
        throw;
    }
    ledger.readOnly_ = readOnly;
}

void OpenQuery(Recordset& recordset, const std::string& sql,
               const std::vector<std::string>& textParameters) {
    recordset.Open(sql, textParameters);
}

}  // namespace vat
