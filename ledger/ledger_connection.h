#pragma once

#include <sql.h>

#include <string>

#include "ledger/recordset.h"

namespace vat {

// The one connection to the ledger server and its three recordsets. A look-up never uses
// VoucherRecordset, so a generator's walk of its voucher list survives every look-up.
class LedgerConnection {
public:
    LedgerConnection();
    LedgerConnection(const LedgerConnection&) = delete;
    LedgerConnection& operator=(const LedgerConnection&) = delete;
    ~LedgerConnection();

    Recordset VoucherRecordset;
    Recordset LookupRecordset;
    Recordset PostingRecordset;

    bool IsOpen() const { return connection_ != SQL_NULL_HDBC; }
    const std::string& Database() const { return database_; }

private:
    friend void ConnectLedger(LedgerConnection& ledger, const std::string& database, bool readOnly);

    void Close();

    SQLHENV environment_ = SQL_NULL_HENV;
    SQLHDBC connection_ = SQL_NULL_HDBC;
    std::string database_;
};

// (Re)opens the connection on a database of the data source "edb". A read-only connection is
// enforced by the server: every transaction of the session is read-only, whatever the data
// source, login or database say, or the connection is refused (LedgerError) and left closed.
void ConnectLedger(LedgerConnection& ledger, const std::string& database, bool readOnly);

// Closes the recordset when open and runs the SQL text on it, positioned on its first row.
void OpenQuery(Recordset& recordset, const std::string& sql);

}  // namespace vat
