#pragma once

#include <sql.h>

#include <string>
#include <vector>

#include "ledger/connection_options.h"
#include "ledger/query_watch.h"
#include "ledger/recordset.h"

namespace vat {

// The one connection to the ledger server and its three recordsets. A look-up never uses
// voucherRecordset, so a generator's walk of its voucher list survives every look-up.
class LedgerConnection {
public:
    explicit LedgerConnection(ConnectionOptions options = {});
    LedgerConnection(const LedgerConnection&) = delete;
    LedgerConnection& operator=(const LedgerConnection&) = delete;
    ~LedgerConnection();

    Recordset voucherRecordset;
    Recordset lookupRecordset;
    Recordset postingRecordset;

    const std::string& Database() const { return database_; }

    // Thread-safe, for a Cancel button: stops the query running now on the server, and fails
    // every later query until the connection is reopened, so that a cancel falling between two
    // queries still ends the work. The stopped query throws a LedgerError saying it was cancelled.
    void CancelRunningStatement() { watch_.Cancel(); }

private:
    friend void ConnectLedger(LedgerConnection& ledger, const std::string& database, bool readOnly);
    friend class LedgerSnapshot;
    friend class SharedSnapshot;
    friend class SiblingConnection;

    void Close();

    ConnectionOptions options_;
    QueryWatch watch_;
    SQLHENV environment_ = SQL_NULL_HENV;
    SQLHDBC connection_ = SQL_NULL_HDBC;
    std::string database_;
    bool readOnly_ = false;
};

// (Re)opens the connection on a database of the data source "edb". A read-only connection is
// enforced by the server: every transaction of the session is read-only, whatever the data
// source, login or database say, or the connection is refused (LedgerError) and left closed.
// Every session gets the options' statement timeout; a server that does not answer the connect
// within the login timeout is given up. A session already open on the database, as read-only as
// asked, not cancelled and still answering, is kept: choosing a data file and running its
// months log in once.
void ConnectLedger(LedgerConnection& ledger, const std::string& database, bool readOnly);

// Closes the recordset when open and runs the SQL text on it, positioned on its first row.
// Each "?" of the text takes one of the text parameters, bound, never spliced into the text.
void OpenQuery(Recordset& recordset, const std::string& sql,
               const std::vector<std::string>& textParameters = {});

}  // namespace vat
